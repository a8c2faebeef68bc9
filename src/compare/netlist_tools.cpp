// The toolbar's netlist button: "Protel Ref" lists the component blocks of a Protel 99 SE
// or Altium Designer netlist in a new workbook and marks repeated designators red;
// "Pads Protel" writes the "Value" of every PADS Layout part into the comment line of its
// block and rewrites the netlist in place.
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "capture/netlist_readers.h"
#include "capture/pads_attach.h"
#include "capture/part_lists.h"
#include "compare/compare_sheet.h"
#include "compare/netlist_line_buffer.h"
#include "compare/pads_writing.h"
#include "compare/toolbar_commands.h"
#include "platform/services.h"
#include "platform/workbook_helpers.h"
#include "vb/error.h"

namespace compare {

namespace xl = platform::xl;
namespace pads = platform::pads;

namespace {

constexpr long kCheckHeadingFill = platform::rgb(150, 250, 250);
constexpr const char* kNoRepeatsMessage = "没有元件重复!!!";
constexpr const char* kRepeatsMarkedMessage = "元件序号有重复,\n已经用红色标示!";

constexpr const char* kPushQuestion =
    "请确定打开的Layout软件中pcb文件,是由Layout转换成Protel99se或者Altium Designer的pcb源文件.";
constexpr const char* kDesignFilter = "文件类型(*.pcb)|*.pcb";
constexpr const char* kDesignTitle = "请打开由PADS转换成Protel99se或者Altium Designer的pcb源文件";
constexpr const char* kPushedMessage = "Net文件检查结束,\n请重新在Protel中加载Net文件!";

// The parts section ends at the first line "(" that is none of the three lines a
// component block takes.
size_t partsSectionEnd(const vb::LineTexts& lines) {
  size_t next = 0;
  auto firstOpen = [&](size_t until) {
    for (; next < until && next < lines.size(); ++next)
      if (lines[next] == "(") return true;
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
  vb::LineTexts lines = s.files.readLineTexts(path);  // a file that cannot be read is untrapped
  lines.keepFirst(partsSectionEnd(lines));
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

// PADS Layout with the design whose values are pushed, or nothing when the user answered
// No. A running PADS Layout is used after the user confirmed its design; one that does not
// run is started and opens the design file the user picks.
pads::AppPtr reachLayoutDesign(platform::ToolContext& t) {
  vb::SkipOnError skip;
  pads::AppPtr app;
  if (skip.step([&] { app = attachRunningPads(t.services.programs, kToolbarLayoutProgId); }))
    return platform::askYes(t.user(), platform::kTitle, kPushQuestion) ? app : nullptr;
  // Any other failure than a program that does not run leaves no design to read from.
  if (skip.number() != vb::kCannotCreate) vb::raise(skip.number(), skip.description());
  app = capture::attachPadsDesign(t, kToolbarLayoutProgId, kDesignFilter, kDesignTitle,
                                  capture::EmptyPathRule::OpenAnyway)
            .app;
  if (!app) vb::raise(vb::kObjectNotSet);
  return app;
}

// PADS_Compare_Protel99se.
void pushLayoutValues(platform::ToolContext& t) {
  platform::Services& s = t.services;
  // The setting is checked, but no spreadsheet program is needed.
  platform::spreadsheetProgId(s, t.settings.spreadsheetProgram());
  const std::string path = t.dialog.choose(kNetlistFilter, kNetlistTitle);
  if (path.empty()) throw vb::ProgramEnd();
  // A file that cannot be read stops the command before anything is written.
  NetlistLineBuffer netlist = NetlistLineBuffer::read(s.files, path);

  const pads::AppPtr app = reachLayoutDesign(t);
  if (!app) return;
  pads::Design& design = app->activeDocument();
  const long count = design.componentCount();
  t.state.partCount = count;
  if (count == 0) {
    platform::notify(s.user, platform::kTitle, design.name() + "\n" + kNoComponentsLine);
    return;
  }
  // Designator -> value; the first part of a name wins.
  std::unordered_map<std::string, std::string> valueOf;
  valueOf.reserve(static_cast<size_t>(count));
  for (const pads::Part* part : design.components()) valueOf.emplace(part->name(), capture::partValueText(*part, ""));
  t.state.lastRow = count + 1;

  const size_t end = netlist.componentSectionEnd();
  for (size_t k = 1; k < end; k += 2) {
    if (!netlist.isDesignatorLine(k, end)) continue;
    auto found = valueOf.find(netlist.text(k));
    if (found != valueOf.end()) netlist.replace(k + 2, found->second);
  }
  netlist.rewrite(s.files, path);  // a failed write is reported; the file stays as it was
  platform::notify(s.user, platform::kTitle, kPushedMessage);
}

}  // namespace

void runNetlistTool(platform::ToolContext& t, const std::string& caption) {
  if (caption == "Protel Ref") checkNetlistDesignators(t);
  else if (caption == "Pads Protel") pushLayoutValues(t);
}

}  // namespace compare
