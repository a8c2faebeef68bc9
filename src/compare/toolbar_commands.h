#pragma once
// The comparison and write-back commands behind the toolbar's "Compare", "Add Value",
// "Modify" and netlist buttons.
#include <string>

#include "capture/tool_state.h"

namespace compare {

void compareClick(capture::ToolContext& t);   // "Compare"
void addValueClick(capture::ToolContext& t);  // "Add Value"
void modifyClick(capture::ToolContext& t);    // "Modify"
// The netlist button: "Protel Ref" checks a netlist for duplicate designators, "Pads Protel"
// writes PADS Layout values into a netlist; any other caption does nothing.
void netlistButtonClick(capture::ToolContext& t, const std::string& caption);

}  // namespace compare
