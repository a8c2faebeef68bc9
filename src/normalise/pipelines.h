#pragma once
// The change-report pipelines that follow a part list.
#include "capture/tool_state.h"

namespace normalise {

// 转换: the rest of "Create" after its list operation (change report, designator sort,
// category BOM, sheet names and finish).
void zhuanhuan(capture::ToolContext& t);

}  // namespace normalise
