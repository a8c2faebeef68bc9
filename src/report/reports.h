#pragma once
// The BOM reports the toolbar runs directly.
#include "capture/tool_state.h"

namespace report {

// "Format BOM" with the source "Excel": the special BOM in front of the active workbook.
void formatBom(capture::ToolContext& t);

}  // namespace report
