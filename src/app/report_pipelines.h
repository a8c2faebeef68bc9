#pragma once
// The report pipelines that follow a part list: the change report, the designator and
// value sorts, the BOM report on sheet 1, the sheet names and the finish.
#include "platform/tool_state.h"

namespace app {

// The rest of "Create" after its list command (转换): the change report, the natural
// designator sort (every source but "Logic" and "Layout"), the value sort, the category
// BOM, the sheet names, the finish, and the category rows removed when KeepClassification
// is "否".
void buildCreateReports(platform::ToolContext& t);

// The rest of "Format BOM" after the PADS Layout or Altium Designer list (Format转换): the
// seventeen-column change report, the designator sort for Altium Designer, the value
// sort, the split BOM on sheet 1, the category rows removed when the part types are not
// kept, the sheet names and the finish.
void buildFormatBomReports(platform::ToolContext& t);

}  // namespace app
