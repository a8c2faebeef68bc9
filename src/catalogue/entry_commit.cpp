// EntryCommit: one catalogue entry written into a grid row, and the candidate pick that
// commits a listed entry.
#include "catalogue/catalogue_commands.h"

#include "vb/convert.h"
#include "vb/text.h"

namespace catalogue {

using namespace workbench;

CatalogueCommands::CatalogueCommands(BomView& view, platform::Services& services, platform::Settings& settings,
                                     std::function<platform::CommonDialog&()> dialog)
    : view_(view), services_(services), settings_(settings), dialog_(std::move(dialog)) {}

EntryTexts CatalogueCommands::entryTexts(size_t entry) const {
  const auto& t = catalogue_.keys(entry).texts;
  return {t[kCodeColumn], t[kNameColumn], t[kRatingColumn], t[kUnitColumn], t[kPriceColumn], t[kSupplierColumn]};
}

int CatalogueCommands::selectCurrentRow() {
  ui::ListView& grid = view_.bomGrid();
  const int row = view_.currentRowIndex - 1;
  if (row < 0 || row >= grid.rowCount()) return -1;
  grid.setSelectedRow(row);
  return row;
}

void CatalogueCommands::commitEntry(int row, const EntryTexts& e, Commit kind) {
  ui::ListView& grid = view_.bomGrid();
  if (row < 0 || row >= grid.rowCount()) return;
  matchedCode = e.code;
  grid.setCell(row, kCodeColumn, matchedCode);
  grid.setCell(row, kNameColumn, e.name);
  grid.setCell(row, kRatingColumn, e.rating);
  grid.setCell(row, kUnitColumn, e.unit);
  if (kind != Commit::BulkMatch) {
    grid.setCell(row, kQuantityColumn, view_.text6.text());
    grid.setCell(row, kDesignatorColumn, vb::ucase(view_.text7.text()));
  }
  // The row "+" appended has its material now: the next new row starts with empty boxes.
  if (kind == Commit::Entry && view_.newRowFlag == 1 && row == grid.rowCount() - 1) {
    view_.newRowFlag = 0;
    view_.text6.setText("");
    view_.text7.setText("");
  }
  grid.setCell(row, kPriceColumn, e.price);
  grid.setCell(row, kSupplierColumn, e.supplier);
  // 报价 = 用量 × 单价; a quote that cannot be computed is empty, never an earlier one.
  const auto quantity = vb::parseNumber(grid.cell(row, kQuantityColumn));
  const auto price = vb::parseNumber(grid.cell(row, kPriceColumn));
  grid.setCell(row, kQuoteColumn, quantity && price ? vb::numberText(*quantity * *price) : "");
}

void CatalogueCommands::parkClearButton() {
  ui::Button& c = view_.command11;
  c.move(kParkedLeft, kParkedTop, c.width(), c.height());
}

void CatalogueCommands::sizeCandidateColumns() {
  for (int c = 0; c < kRecordColumnCount; ++c)
    view_.candidateGrid().setColumnWidth(c, view_.bomGrid().columnWidth(c));
}

void CatalogueCommands::listCandidate(size_t entry) {
  const auto& t = catalogue_.keys(entry).texts;
  view_.candidateGrid().addRow(std::vector<std::string>(t.begin(), t.end()));
}

void CatalogueCommands::pickCandidate() {
  parkClearButton();
  ui::ListView& candidates = view_.candidateGrid();
  const int picked = candidates.selectedRow();
  if (picked < 0) return;
  const std::string rating = candidates.cell(picked, kRatingColumn);
  view_.text2.setText(rating);
  if (rating.empty()) return;
  const EntryTexts e{candidates.cell(picked, kCodeColumn),  candidates.cell(picked, kNameColumn),
                     rating,                                   candidates.cell(picked, kUnitColumn),
                     candidates.cell(picked, kPriceColumn), candidates.cell(picked, kSupplierColumn)};
  candidates.clearRows();
  commitEntry(selectCurrentRow(), e, Commit::Entry);
}

}  // namespace catalogue
