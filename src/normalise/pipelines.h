#pragma once
// The change-report pipelines that follow a part list.
#include "capture/tool_state.h"

namespace normalise {

// 转换: the rest of "Create" after its list operation (change report, designator sort,
// category BOM, sheet names and finish).
void zhuanhuan(capture::ToolContext& t);

// Format转换: the rest of "Format BOM" after the PADS Layout or Altium Designer list (the
// seventeen-column change report, the designator sort for Altium Designer, the value sort,
// the split BOM on sheet 1, the category rows removed when the part types are not kept,
// the sheet names and the finish).
void formatZhuanhuan(capture::ToolContext& t);

}  // namespace normalise
