#pragma once
// "Format BOM" with the source "Excel": the sheet "Special BOM" in front of the BOM on the
// first sheet of the active workbook, a fixed number of designators per line.
#include "platform/tool_state.h"

namespace report {

void buildSpecialBom(platform::ToolContext& t);

}  // namespace report
