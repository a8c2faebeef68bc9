// "Modify": the values of the active sheet ("List Report", "BOM Report" or "Compare")
// written back into the design open in PADS Layout or PADS Logic, or into the comment lines
// of a Protel 99 SE / Altium Designer netlist, only where they differ. The source box and
// the active sheet's name choose one of eight cases; the count of parts rewritten ends it.
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "compare/compare_sheet.h"
#include "compare/netlist_line_buffer.h"
#include "compare/pads_writing.h"
#include "compare/toolbar_commands.h"
#include "platform/services.h"
#include "platform/workbook_helpers.h"
#include "report/designator_split.h"
#include "vb/convert.h"
#include "vb/error.h"

namespace compare {

namespace xl = platform::xl;
namespace pads = platform::pads;

namespace {

constexpr const char* kModifyFailed = "是否打了开Excel,是否选择了对应软件";
constexpr const char* kBomNetlistFilter = "Files,*.net,所有文件(*.*),*.*";

enum class Target { Layout, Logic, Netlist };
// How a row names its designators and value.
enum class RowKind {
  ListReport,  // E the designator, F the value
  BomReport,   // each designator of E, B the value
  Compare,     // F the designator, D the value
};

struct ModifyCase {
  const char* source;     // contained in SourceProgram
  const char* sheetName;  // the active sheet's whole name
  Target target;
  RowKind rows;
  long firstCol, lastCol;  // the columns read
  long lastRowCol;         // whose last non-empty cell ends the rows
  const char* resultPrefix;
};

// Tested in order; the first whose two tests hold runs.
const ModifyCase kModifyCases[] = {
    {"Layout", "List Report", Target::Layout, RowKind::ListReport, 1, 8, 1, "PCB文档修改了"},
    {"Logic", "List Report", Target::Logic, RowKind::ListReport, 1, 8, 1, "SCH文档修改了"},
    {"Layout", "BOM Report", Target::Layout, RowKind::BomReport, 1, 5, 1, "PCB文档修改了"},
    {"Logic", "BOM Report", Target::Logic, RowKind::BomReport, 1, 5, 1, "SCH文档修改了"},
    {"Protel99se", "BOM Report", Target::Netlist, RowKind::BomReport, 1, 5, 1, "修改了"},
    {"Layout", "Compare", Target::Layout, RowKind::Compare, 2, 8, 6, "PCB文档修改了"},
    {"Logic", "Compare", Target::Logic, RowKind::Compare, 2, 8, 6, "SCH文档修改了"},
    {"Protel99se", "Compare", Target::Netlist, RowKind::Compare, 2, 8, 6, "修改了"},
};

// One value to write: a designator and the sheet's value for it, in row order.
struct Write {
  std::string designator, value;
};

// The writes of the rows read, by the case's rule. A "Compare" row whose BOM designator
// (B) is empty belongs to a part the BOM lacks and writes nothing.
std::vector<Write> writesOf(const ModifyCase& c, const vb::Table& rows, const std::string& joinSymbol) {
  std::vector<Write> out;
  auto cell = [&](long r, long col) { return vb::toText(rows(r, col - c.firstCol + 1)); };
  for (long r = 1; r <= rows.rows(); ++r) {
    switch (c.rows) {
      case RowKind::ListReport: out.push_back({cell(r, 5), cell(r, 6)}); break;
      case RowKind::BomReport: {
        const std::string list = cell(r, 5);
        if (list.empty()) break;
        const std::string value = cell(r, 2);
        for (std::string& d : report::designatorSplit(list, joinSymbol)) out.push_back({std::move(d), value});
        break;
      }
      case RowKind::Compare:
        if (!cell(r, 2).empty()) out.push_back({cell(r, 6), cell(r, 4)});
        break;
    }
  }
  return out;
}

// Into the design: each designator's attribute compared and, where it differs or is
// missing, written. A part counts once its new value was added.
long writeIntoDesign(pads::Design& design, const std::string& attribute, const std::vector<Write>& writes) {
  long count = 0;
  vb::SkipOnError skip;
  for (const Write& w : writes) {
    pads::Part* part = nullptr;
    skip.step([&] { part = design.component(w.designator); });
    if (!part) continue;
    bool differs = false;
    if (!skip.step([&] {
          const pads::Attribute* a = part->attribute(attribute);
          differs = !a || a->value() != w.value;
        }))
      continue;
    if (differs && setPartAttribute(design, w.designator, attribute, w.value)) ++count;
  }
  return count;
}

// Into the netlist's comment lines: for each write, the first designator line of its
// designator whose comment differs gets the value.
long writeIntoNetlist(NetlistLineBuffer& lines, const std::vector<Write>& writes) {
  const size_t end = lines.componentSectionEnd();
  std::unordered_map<std::string, std::vector<size_t>> linesOf;
  for (size_t k = 1; k < end; k += 2)
    if (lines.isDesignatorLine(k, end)) linesOf[lines.text(k)].push_back(k);
  long count = 0;
  for (const Write& w : writes) {
    auto found = linesOf.find(w.designator);
    if (found == linesOf.end()) continue;
    for (size_t k : found->second) {
      if (lines.text(k + 2) == w.value) continue;
      lines.replace(k + 2, w.value);
      ++count;
      break;
    }
  }
  return count;
}

std::string resultMessage(const ModifyCase& c, long count) {
  return c.resultPrefix + std::to_string(count) + "个元件属性";
}

}  // namespace

void writeValuesBack(platform::ToolContext& t) {
  platform::Services& s = t.services;
  auto failed = [&] { platform::notify(s.user, platform::kTitle, kModifyFailed); };
  vb::SkipOnError skip;
  skip.step([&] { platform::attachSpreadsheet(s, t.settings, t.state.spreadsheetApp); });
  xl::AppPtr app = t.state.spreadsheetApp;
  std::string sheetName;
  if (!app || !skip.step([&] { sheetName = app->activeSheet()->name(); })) return failed();
  const std::string source = t.sourceProgram();
  const ModifyCase* c = nullptr;
  for (const ModifyCase& m : kModifyCases)
    if (source.find(m.source) != std::string::npos && sheetName == m.sheetName) {
      c = &m;
      break;
    }
  if (!c) return failed();

  // The rows from row 2 to the last non-empty cell of the case's column.
  vb::Table rows;
  const bool read = skip.step([&] {
    xl::SheetPtr sheet = app->activeSheet();
    const long last = platform::lastUsedRow(*sheet, c->lastRowCol);
    if (last >= 2) rows = platform::blockRead(sheet->range(sheet->cell(2, c->firstCol), sheet->cell(last, c->lastCol)));
  });

  if (c->target == Target::Netlist) {
    if (!read) return failed();
    std::string path;
    if (c->rows == RowKind::BomReport) {
      std::optional<std::string> chosen;
      skip.step([&] { chosen = app->getOpenFilename(kBomNetlistFilter, kNetlistTitle); });
      path = chosen.value_or("");
    } else {
      path = t.dialog.choose(kNetlistFilter, kNetlistTitle);
    }
    if (path.empty()) return;
    // A file that cannot be read is never rewritten, and a failed write never counts.
    std::optional<NetlistLineBuffer> lines;
    if (!skip.step([&] { lines = NetlistLineBuffer::read(s.files, path); })) return failed();
    const long count = writeIntoNetlist(*lines, writesOf(*c, rows, t.settings.joinSymbol()));
    if (!skip.step([&] { lines->rewrite(s.files, path); })) return failed();
    platform::notify(s.user, platform::kTitle, resultMessage(*c, count));
    return;
  }

  // A List Report writes the attribute the settings name now; the others write "Value".
  pads::AppPtr pads;
  std::string attribute = "Value";
  if (c->rows == RowKind::ListReport && !read) return failed();
  const char* progId = c->target == Target::Layout ? kToolbarLayoutProgId : pads::kLogicProgId;
  if (!skip.step([&] { pads = attachRunningPads(s.programs, progId); })) return failed();
  if (c->rows == RowKind::ListReport &&
      !skip.step([&] {
        attribute = c->target == Target::Layout ? t.settings.layoutAttribute() : t.settings.logicAttribute();
      }))
    return failed();
  long count = 0;
  skip.step([&] { count = writeIntoDesign(pads->activeDocument(), attribute, writesOf(*c, rows, t.settings.joinSymbol())); });
  platform::notify(s.user, platform::kTitle, resultMessage(*c, count));
}

}  // namespace compare
