#pragma once
// The BOM report of "Format BOM" on sheet 1, split by board side or by mounting type,
// built from the sorted seventeen-column change report on sheet 3.
#include "platform/tool_state.h"

namespace report {

void splitBomBySide(const platform::ReportFlow& f);
void splitBomByMounting(const platform::ReportFlow& f);

}  // namespace report
