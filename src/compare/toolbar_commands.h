#pragma once
// The comparison and write-back commands behind the toolbar's "Compare", "Add Value",
// "Modify" and netlist buttons. They read the sheets of the active workbook, the PADS
// designs, the netlist files the user picks, SourceProgram and the settings.
#include <string>

#include "platform/tool_state.h"

namespace compare {

void compareWithDesign(platform::ToolContext& t);     // "Compare"
void copyAttributeToValue(platform::ToolContext& t);  // "Add Value"
void writeValuesBack(platform::ToolContext& t);       // "Modify"
// The netlist button: "Protel Ref" checks a netlist for duplicate designators, "Pads Protel"
// writes PADS Layout values into a netlist; any other caption does nothing.
void runNetlistTool(platform::ToolContext& t, const std::string& caption);

}  // namespace compare
