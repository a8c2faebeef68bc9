#pragma once
// The part lists that "Create" and "Format BOM" begin with: each leaves the list on the
// second sheet of the active workbook and hands PartCount, LastRow, PrefixCount and the
// spreadsheet program on in the ToolState.
#include <array>
#include <string>

#include "capture/netlist_readers.h"
#include "platform/tool_state.h"

namespace capture {

using platform::ToolContext;
using platform::MirrorAnswer;
using platform::ToolState;

// "Create": the PADS Logic and PADS Layout part lists (the latter with the coordinate
// files when asked), and the list the user prepared on the first sheet of a workbook.
void listFromPadsLogic(ToolContext& t);
void listFromPadsLayout(ToolContext& t);
void listFromPreparedWorkbook(ToolContext& t);

// "Create" from the netlist or component file of another design tool: one row per source
// text, with the file dialog's filter and title and the rule that reads the file.
struct NetlistSource {
  const char* source;  // the text of SourceProgram
  const char* filter;
  const char* title;
  std::vector<NetlistEntry> (*read)(const vb::LineTexts& lines);
};
extern const std::array<NetlistSource, 7> kNetlistSources;
// The row of a source text, or nullptr when it names no netlist.
const NetlistSource* findNetlistSource(const std::string& source);
void listFromNetlist(ToolContext& t, const NetlistSource& source);
// The netlist list on a sheet, as "Create" and the netlist duplicate check write it:
// "No.", "Comment", "Footprint", "Qty", "Designator" in A1:E1 (bold, black, on the
// heading fill), the text format on A1:F of the last row, one row per entry (number,
// comment, footprint, 1, designator), the columns and rows fitted, and grid borders with
// a black outline around A1:E. Each step is skipped when it fails.
void writeNetlistList(const platform::xl::SheetPtr& sheet, std::vector<NetlistEntry> entries, long headingFill);

// "Format BOM": the lists of PADS Layout and of an Altium Designer BOM. True when a list
// was made, so that the "Format BOM" report pipeline follows.
bool formatListFromPadsLayout(ToolContext& t);
bool formatListFromAltiumBom(ToolContext& t);

}  // namespace capture
