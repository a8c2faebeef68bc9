#pragma once
// The BOM report of "Format BOM" on sheet 1, split by board side (fenceng) or by mounting
// type (fentype), built from the sorted seventeen-column change report on sheet 3.
#include "normalise/change_report.h"

namespace report {

void fenceng(const normalise::Flow& f);
void fentype(const normalise::Flow& f);

}  // namespace report
