// The toolbar's netlist button: "Protel Ref" lists the component blocks of a Protel 99 SE
// or Altium Designer netlist in a new workbook and marks repeated designators red.
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "capture/netlist_readers.h"
#include "capture/part_lists.h"
#include "compare/toolbar_commands.h"
#include "platform/services.h"
#include "platform/workbook_helpers.h"
#include "vb/error.h"

namespace compare {

namespace xl = platform::xl;

namespace {

constexpr const char* kNetlistFilter = "文件类型(*.net)|*.net";
constexpr long kCheckHeadingFill = platform::rgb(150, 250, 250);
constexpr const char* kNoRepeatsMessage = "没有元件重复!!!";
constexpr const char* kRepeatsMarkedMessage = "元件序号有重复,\n已经用红色标示!";

// The parts section ends at the first line "(" that is none of the three lines a
// component block takes.
size_t partsSectionEnd(const std::vector<vb::AnsiLine>& lines) {
  size_t next = 0;
  auto firstOpen = [&](size_t until) {
    for (; next < until && next < lines.size(); ++next)
      if (lines[next].text == "(") return true;
    return false;
  };
  for (const capture::ComponentBlock& b : capture::componentBlocks(lines)) {
    if (firstOpen(b.bracketLine)) return next;
    next = b.commentLine() + 1;
  }
  return firstOpen(lines.size()) ? next : lines.size();
}

// The rows (from 0) of the entries whose designator occurs more than once, in order.
std::vector<long> repeatedRows(const std::vector<capture::NetlistEntry>& entries) {
  std::unordered_map<std::string_view, long> count;
  count.reserve(entries.size());
  for (const capture::NetlistEntry& e : entries) ++count[e.designator];
  std::vector<long> rows;
  for (size_t i = 0; i < entries.size(); ++i)
    if (count.find(entries[i].designator)->second > 1) rows.push_back(static_cast<long>(i));
  return rows;
}

// Check_Protel99se_RefDes: the netlist is only read.
void checkNetlistDesignators(platform::ToolContext& t) {
  platform::Services& s = t.services;
  // Attaching stops the command when no program can be attached or started.
  platform::attachOrStartSpreadsheet(s, t.settings, t.state.spreadsheetApp);
  const std::string path = t.dialog.choose(kNetlistFilter, "请选择" + t.sourceProgram() + "的net文件");
  if (path.empty()) throw vb::ProgramEnd();
  std::vector<vb::AnsiLine> lines = s.files.readLines(path);  // a file that cannot be read is untrapped
  lines.resize(partsSectionEnd(lines));
  std::vector<capture::NetlistEntry> entries = capture::readProtel99se(lines);
  const long n = static_cast<long>(entries.size());
  platform::checkListFitsSheet(n);
  const std::vector<long> repeated = repeatedRows(entries);

  // Without a workbook there is no list to mark: the failure stops the command.
  xl::SheetPtr sheet = platform::newReportWorkbook(*t.state.spreadsheetApp)->sheet(1);
  vb::SkipOnError skip;
  skip.step([&] { sheet->columns("A:F").autoFilter(); });
  capture::writeNetlistList(sheet, std::move(entries), kCheckHeadingFill);
  t.state.lastRow = n + 1;
  // Neighbouring rows are filled as one range.
  for (size_t i = 0; i < repeated.size();) {
    size_t j = i + 1;
    while (j < repeated.size() && repeated[j] == repeated[j - 1] + 1) ++j;
    const long first = repeated[i] + 2, last = repeated[j - 1] + 2;
    skip.step([&] { sheet->range(sheet->cell(first, 1), sheet->cell(last, 5)).setInteriorColor(platform::kMarkRed); });
    i = j;
  }
  platform::notify(s.user, platform::kTitle, repeated.empty() ? kNoRepeatsMessage : kRepeatsMarkedMessage);
}

}  // namespace

void runNetlistTool(platform::ToolContext& t, const std::string& caption) {
  if (caption == "Protel Ref") checkNetlistDesignators(t);
}

}  // namespace compare
