// "Compare": the BOM on sheet 1 of the active workbook beside the parts of the design
// open in PADS Layout or PADS Logic, or of a Protel 99 SE / Altium Designer netlist, on
// sheet 2, which becomes the sheet "Compare". Sheet 2 is renamed and rebuilt only once
// the design side is in hand, so a missing program, an empty design or a file that
// cannot be read leaves it as it was.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "capture/pads_attach.h"
#include "compare/compare_sheet.h"
#include "compare/netlist_line_buffer.h"
#include "compare/pads_writing.h"
#include "compare/toolbar_commands.h"
#include "platform/services.h"
#include "platform/workbook_helpers.h"
#include "report/designator_split.h"
#include "vb/convert.h"

namespace compare {

namespace xl = platform::xl;
namespace pads = platform::pads;

namespace {

// Component entries of the netlists are eight lines long from the file's first line.
constexpr size_t kEntryLines = 8;

// The design side: designator, package and value of each part, in the design's order.
using DesignSide = vb::Table;

// The parts of the active design of a running PADS program; nothing when it has none
// (after the message naming the design).
std::optional<DesignSide> padsSide(platform::ToolContext& t, const char* progId, bool layout) {
  pads::AppPtr app = attachRunningPads(t.services.programs, progId);
  pads::Design& design = app->activeDocument();
  const long count = design.componentCount();
  t.state.partCount = count;
  if (count == 0) {
    platform::notify(t.user(), platform::kTitle, design.name() + "\n" + kNoComponentsLine);
    return std::nullopt;
  }
  DesignSide side(count, 3);
  long row = 1;
  for (pads::Part* part : design.components()) {
    if (row > count) break;
    side(row, 1) = part->name();
    side(row, 2) = layout ? part->decal() : part->pcbDecal();
    side(row, 3) = capture::partValueText(*part, "");
    ++row;
  }
  t.state.lastRow = row;
  return side;
}

// The netlist's component entries, one row per examined line (every eighth from the
// first): an entry's designator, footprint and comment, an empty row for any other line,
// up to the first line "(".
std::optional<DesignSide> netlistSide(platform::ToolContext& t) {
  // A cancel is an error the command does not handle: sheet 2 stays as it was.
  const std::string path = t.dialog.chooseOrRaise(kNetlistFilter, kNetlistTitle);
  if (path.empty()) return std::nullopt;
  const NetlistLineBuffer lines = NetlistLineBuffer::read(t.services.files, path);
  const size_t n = lines.size();
  long rows = 0;
  std::vector<std::pair<long, size_t>> found;  // row, line of "["
  for (size_t k = 0; k < n; k += kEntryLines) {
    ++rows;
    const std::string& line = lines.text(k);
    if (line == "[") found.emplace_back(rows, k);
    else if (line == "(") break;
  }
  DesignSide side(rows, 3);
  for (const auto& [row, k] : found)
    for (long c = 1; c <= 3; ++c) side(row, c) = lines.text(k + static_cast<size_t>(c));
  return side;
}

// Sheet 2 as the sheet "Compare", emptied, its columns A:H text-formatted.
xl::SheetPtr prepareSheet(platform::ToolContext& t) {
  xl::SheetPtr sheet = t.state.spreadsheetApp->sheet(2);
  sheet->setName(kCompareSheetName);
  sheet->cells().clear();
  platform::textFirst(sheet->columns("A:H"));
  return sheet;
}

// The BOM side: one row per designator of the BOM lines on sheet 1 (split at a fixed ","),
// with the line's decal and value, from B2.
void writeBomSide(platform::ToolContext& t, xl::Sheet& sheet) {
  xl::SheetPtr bom = t.state.spreadsheetApp->sheet(1);
  const long last = platform::lastUsedRow(*bom, 1);
  if (last < 2) return;
  const vb::Table lines = platform::blockRead(bom->range(bom->cell(2, 1), bom->cell(last, 5)));
  std::vector<std::string> designators;
  std::vector<long> lineOf;
  for (long r = 1; r <= lines.rows(); ++r) {
    const std::string list = vb::toText(lines(r, 5));
    if (list.empty()) continue;
    for (std::string& d : report::designatorSplit(list, ",")) {
      designators.push_back(std::move(d));
      lineOf.push_back(r);
    }
  }
  const long n = static_cast<long>(designators.size());
  if (n == 0) return;
  platform::checkListFitsSheet(n);
  vb::Table side(n, 3);
  for (long i = 1; i <= n; ++i) {
    side(i, 1) = std::move(designators[static_cast<size_t>(i - 1)]);
    side(i, 2) = lines(lineOf[static_cast<size_t>(i - 1)], 3);
    side(i, 3) = lines(lineOf[static_cast<size_t>(i - 1)], 2);
  }
  platform::blockWrite(sheet.cell(2, kBomDesignatorCol), side, 3);
}

}  // namespace

void compareWithDesign(platform::ToolContext& t) {
  const std::string source = t.sourceProgram();
  if (source != "Layout" && source != "Logic" && source != "Protel99se") {
    platform::notify(t.user(), platform::kTitle, kChooseSourceMessage);
    return;
  }
  platform::attachSpreadsheet(t.services, t.settings, t.state.spreadsheetApp);
  std::optional<DesignSide> side = source == "Layout" ? padsSide(t, kToolbarLayoutProgId, true)
                                   : source == "Logic" ? padsSide(t, pads::kLogicProgId, false)
                                                       : netlistSide(t);
  if (!side) return;
  platform::checkListFitsSheet(side->rows());
  xl::SheetPtr sheet = prepareSheet(t);
  platform::blockWrite(sheet->cell(2, kDesignDesignatorCol), *side, 3);
  writeBomSide(t, *sheet);
  sheet->cells().entireColumn().autoFit();
  finishComparison(t);
}

}  // namespace compare
