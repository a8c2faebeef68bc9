#include "platform/workbook_helpers.h"

#include "vb/convert.h"
#include "vb/error.h"

namespace platform {

std::string spreadsheetProgId(Services& s, const std::string& setting) {
  if (setting == "Excel") return "Excel.Application";
  if (setting == "WPS") return "ET.Application";
  notify(s.user, kTitle, kChooseSpreadsheetMessage);
  throw vb::ProgramEnd();
}

void attachSpreadsheet(Services& s, Settings& settings, xl::AppPtr& app) {
  std::string id = spreadsheetProgId(s, settings.spreadsheetProgram());
  app = s.programs.attachSpreadsheet(id);
}

bool attachOrStartSpreadsheet(Services& s, Settings& settings, xl::AppPtr& app) {
  try {
    attachSpreadsheet(s, settings, app);
    return false;
  } catch (const vb::Error& e) {
    if (e.number() != vb::kCannotCreate) {
      app.reset();
      throw;
    }
  }
  std::string id = spreadsheetProgId(s, settings.spreadsheetProgram());
  try {
    app = s.programs.startSpreadsheet(id);
  } catch (const vb::Error&) {
    app.reset();
    throw;
  }
  return true;
}

xl::WorkbookPtr newReportWorkbook(xl::Application& app) {
  xl::WorkbookPtr wb = app.addWorkbook();
  app.setVisible(true);
  while (wb->sheetCount() < 3) wb->addSheet(nullptr, wb->sheet(wb->sheetCount()).get());
  return wb;
}

void checkListFitsSheet(long rows) {
  if (rows + 1 <= xl::kMaxRows) return;
  vb::raise(vb::kOverflow, "元件数量 " + std::to_string(rows) + " 超过工作表的最大行数,无法输出元件清单");
}

long lastUsedRow(xl::Sheet& sheet, long column) {
  return sheet.cell(xl::kMaxRows, column).end(xl::xlUp).row();
}

vb::Table blockRead(const xl::Range& range) { return range.values(); }

void blockWrite(const xl::Range& anchor, const vb::Table& table, long cols) {
  if (table.rows() == 0 || cols <= 0) return;
  anchor.resize(table.rows(), cols).setValues(table);
}

void blockWrite(const xl::Range& anchor, const vb::Table& table) { blockWrite(anchor, table, table.cols()); }

void textFirst(const xl::Range& range) { range.setNumberFormatLocal("@"); }

void listHeaderStyle(const xl::Range& headings, const xl::Range& filterRange) {
  xl::StyleChange c;
  c.bold = true;
  c.fontSize = 15;
  c.fill = kListHeaderFill;
  headings.apply(c);
  filterRange.autoFilter();
}

void gridBorders(const xl::Range& range, std::optional<int> colorIndex) {
  range.setBordersWeight(2);
  range.borderAround(9, std::nullopt, colorIndex);
}

void prefixPrompt(User& user, int16_t& prefixCount) {
  std::string answer = user.input(kTitle, kPrefixPrompt, "");
  vb::SkipOnError guard;
  guard.step([&] { prefixCount = vb::toInteger(vb::Variant(answer)); });
}

}  // namespace platform
