// Every step of the export and the import runs under SkipOnError: a failing step is
// skipped and the command goes on.
#include "workbench/standard_bom.h"

#include <string>
#include <vector>

#include "platform/workbook_helpers.h"
#include "vb/convert.h"
#include "vb/error.h"
#include "workbench/grid_columns.h"
#include "workbench/leading_number.h"

namespace workbench {

namespace xl = platform::xl;

namespace {

constexpr const char* kTotal = "Total:";

struct ColumnWidth {
  const char* columns;
  double width;
};
const ColumnWidth kStandardBomWidths[] = {{"A:A", 10}, {"B:B", 15}, {"C:C", 15}, {"D:D", 30},
                                          {"E:E", 25}, {"G:G", 35}, {"K:K", 20}};

// A grid text as a cell value: a text that the general format reads as this very number
// goes in as the number; any other text that it would turn into a number ("0402",
// "0100234", "1E3", " 12") goes into a text-formatted cell, so it reads back as written.
void writeGridText(const xl::Range& cell, const std::string& text) {
  if (auto n = vb::parseNumber(text)) {
    if (vb::numberText(*n) == text) {
      cell.setValue(vb::Variant(*n));
      return;
    }
    platform::textFirst(cell);
  }
  cell.setValue(vb::Variant(text));
}

}  // namespace

void exportStandardBom(platform::Services& s, platform::Settings& settings, ui::ListView& grid, xl::AppPtr& app) {
  if (grid.rowCount() == 0) return;
  platform::checkListFitsSheet(grid.rowCount() + 1);  // the header and the "Total:" row must fit too
  vb::SkipOnError guard;
  xl::AppPtr attached;
  if (!guard.step([&] { platform::attachSpreadsheet(s, settings, attached); })) return;
  app = attached;
  xl::SheetPtr sheet;
  if (!guard.step([&] { sheet = platform::newReportWorkbook(*app)->sheet(1); })) return;

  for (int r = grid.rowCount() - 1; r >= 0; --r)
    if (grid.cell(r, kNumberColumn) == kTotal) {
      grid.removeRow(r);
      break;
    }
  const long n = grid.rowCount();
  double quantityTotal = 0, quoteTotal = 0;
  for (int r = 0; r < n; ++r) {
    grid.setSelectedRow(r);
    const long row = r + 2;
    for (int c = 0; c < kGridColumnCount; ++c) {
      std::string text = grid.cell(r, c);
      if (c == kQuantityColumn && vb::toText(sheet->get(row, kRatingColumn + 1)).empty()) text.clear();
      guard.step([&] { writeGridText(sheet->cell(row, c + 1), text); });
    }
    guard.step([&] { quoteTotal += leadingNumber(grid.cell(r, kQuoteColumn)); });
    guard.step([&] { quantityTotal += leadingNumber(vb::toText(sheet->get(row, kQuantityColumn + 1))); });
  }
  // Below the last exported row, also when the last rows have no 序号.
  const long totalRow = n + 2;
  guard.step([&] { platform::gridBorders(sheet->range("A1:k" + std::to_string(totalRow))); });
  guard.step([&] {
    vb::Table headings(1, kGridColumnCount);
    for (int c = 0; c < kGridColumnCount; ++c) headings(1, c + 1) = vb::Variant(std::string(kGridColumns[c].heading));
    xl::Range header = sheet->range("A1:K1");
    header.setValues(headings);
    header.setBold(true);
  });
  guard.step([&] { sheet->columns("A:K").autoFilter(); });
  for (const ColumnWidth& w : kStandardBomWidths) guard.step([&] { sheet->columns(w.columns).setColumnWidth(w.width); });
  guard.step([&] { sheet->cell(totalRow, 1).setValue(vb::Variant(std::string(kTotal))); });
  if (n > 0) {
    guard.step([&] { sheet->cell(totalRow, kQuoteColumn + 1).setValue(vb::Variant(quoteTotal)); });
    guard.step([&] { sheet->cell(totalRow, kQuantityColumn + 1).setValue(vb::Variant(quantityTotal)); });
  }
  guard.step([&] { sheet->cells().setFontSize(9); });
  guard.step([&] { sheet->cells().setWrapText(true); });
  guard.step([&] { sheet->usedRange().entireColumn().autoFit(); });
  platform::notify(s.user, platform::kTitle, kDoneMessage);
}

namespace {

// A BOM report row (line number or title, value, decal, quantity, designators) spread over
// the grid's columns; the remark is value and decal when the row has a decal.
std::vector<std::string> reportRowCells(const vb::Table& block, long r) {
  auto text = [&](long c) { return vb::toText(block(r, c)); };
  std::vector<std::string> cells(kGridColumnCount);
  cells[kNumberColumn] = text(1);
  cells[kNameColumn] = text(3);
  cells[kRatingColumn] = text(2);
  cells[kQuantityColumn] = text(4);
  cells[kDesignatorColumn] = text(5);
  if (!cells[kNameColumn].empty()) cells[kRemarkColumn] = text(2) + " " + text(3);
  return cells;
}

// A standard BOM row, columns A to K as they stand.
std::vector<std::string> standardRowCells(const vb::Table& block, long r) {
  std::vector<std::string> cells(kGridColumnCount);
  for (int c = 0; c < kGridColumnCount; ++c) cells[static_cast<size_t>(c)] = vb::toText(block(r, c + 1));
  return cells;
}

// Asks before a "Special BOM" sheet of the active workbook is deleted; false when the
// user declines, and the import stops.
bool deleteSpecialBomSheet(platform::Services& s, xl::Application& app, vb::SkipOnError& guard) {
  bool goOn = true;
  guard.step([&] { app.setDisplayAlerts(false); });
  guard.step([&] {
    xl::WorkbookPtr wb = app.activeWorkbook();
    const long count = wb->sheetCount();
    for (long k = 1; k <= count; ++k) {
      xl::SheetPtr sheet = wb->sheet(k);
      if (sheet->name() != "Special BOM") continue;
      if (platform::askYes(s.user, platform::kTitle, kDeleteSpecialBomQuestion)) sheet->remove();
      else goOn = false;
      break;
    }
  });
  guard.step([&] { app.setDisplayAlerts(true); });
  return goOn;
}

}  // namespace

void importBomSheet(platform::Services& s, platform::Settings& settings, ui::ListView& grid, xl::AppPtr& app) {
  vb::SkipOnError guard;
  xl::AppPtr attached;
  if (!guard.step([&] { platform::attachSpreadsheet(s, settings, attached); })) {
    platform::notify(s.user, platform::kTitle, kOpenImportMessage);
    return;
  }
  app = attached;
  if (!deleteSpecialBomSheet(s, *app, guard)) return;
  // Only an import that goes ahead replaces the user's rows.
  grid.clearRows();
  xl::SheetPtr sheet;
  if (!guard.step([&] {
        sheet = app->activeWorkbook()->sheet(1);
        sheet->select();
      }))
    return;
  long last = 1;
  guard.step([&] { last = platform::lastUsedRow(*sheet, 1); });
  if (last < 2) return;
  guard.step([&] {
    if (sheet->get(1, 5) == vb::Variant(std::string("Name"))) {
      vb::Table block = platform::blockRead(sheet->range("A2:E" + std::to_string(last)));
      for (long r = 1; r <= block.rows(); ++r) grid.addRow(reportRowCells(block, r));
    } else if (sheet->get(1, 11) == vb::Variant(std::string("备注"))) {
      vb::Table block = platform::blockRead(sheet->range("A2:K" + std::to_string(last)));
      for (long r = 1; r <= block.rows(); ++r) grid.addRow(standardRowCells(block, r));
    }
  });
}

}  // namespace workbench
