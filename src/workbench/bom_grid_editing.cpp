// Editing the BOM grid one row at a time: the row click that makes a row current and
// lines the edit strip up with the grid's columns, "+" and "-", and "表格列宽恢复".
#include <iterator>
#include <string>

#include "vb/convert.h"
#include "vb/error.h"
#include "workbench/bom_view.h"
#include "workbench/grid_columns.h"
#include "workbench/leading_number.h"

namespace workbench {

namespace {

// An edit box over a grid column: its width is the column's plus extraWidth, its left
// edge the column's left edge plus offset.
struct BoxPlace {
  const char* box;  // the control's name
  int column;
  int extraWidth, offset;
};
const BoxPlace kEditBarPlaces[] = {
    {"Text5", kCodeColumn, 0, 45},      {"Text3", kNameColumn, 0, 45},
    {"Text2", kRatingColumn, 20, 60},     {"Text6", kQuantityColumn, 20, 35},
    {"Text7", kDesignatorColumn, 20, 35},
};
constexpr int kSearchBoxCount = 3;  // Text5, Text3, Text2

// The row buttons sit on the clicked row: below the grid's top by the row's top + 755,
// and from the grid's left edge by these offsets.
constexpr int kRowButtonDrop = 755;
constexpr int kPlusOffset = 575, kMinusOffset = 9575;

// The placeholder texts of the row "+" appends, sub-items 1 to 9; 备注 stays empty.
const char* const kNewRowTexts[] = {"--", "--", "新增项目", "--", "", "--", "", "", ""};

void placeBox(ui::TextBox& box, const ui::ListView& grid, int column, int extraWidth, int offset) {
  box.setSize(grid.columnWidth(column) + extraWidth, box.height());
  box.move(grid.columnLeft(column) + offset, box.top());
}

// A position from 1 as CurrentRowIndex holds it.
int rowPosition(int row) { return row + 1; }

}  // namespace

void BomView::showInPreview(int row) {
  listView4.clearRows();
  std::vector<std::string> cells;
  if (row >= 0)
    for (int c = 0; c < kPreviewColumnCount; ++c) cells.push_back(listView2.cell(row, c));
  else
    cells.push_back("");
  listView4.addRow(std::move(cells));
}

void BomView::fillEditBoxes(int row) {
  text2.setEnabled(true);
  text2.setBackColor(kRatingBoxActive);
  if (row < 0) return;  // no row selected: the boxes keep their texts
  text2.setText(listView2.cell(row, kRatingColumn));
  text6.setText(listView2.cell(row, kQuantityColumn));
  text7.setText(listView2.cell(row, kDesignatorColumn));
}

void BomView::placeEditBoxes(int count) {
  for (int k = 0; k < count; ++k) {
    const BoxPlace& p = kEditBarPlaces[k];
    placeBox(find<ui::TextBox>(p.box), listView2, p.column, p.extraWidth, p.offset);
  }
}

void BomView::gridRowClicked() {
  command11.move(kClearButtonLeft, kClearButtonTop, command11.width(), kClearButtonHeight);
  if (listView2.rowCount() == 0) return;
  const int row = listView2.selectedRow();  // -1: a click below the last row selects none
  vb::SkipOnError guard;
  showInPreview(row);
  if (row >= 0) guard.step([&] { currentRowIndex = rowPosition(row); });
  fillEditBoxes(row);
  placeEditBoxes(static_cast<int>(std::size(kEditBarPlaces)));
  // Widths the user dragged in the grid's headings reach the preview and the candidates.
  for (int c = 0; c < kPreviewColumnCount; ++c) listView4.setColumnWidth(c, listView2.columnWidth(c));
  for (int c = 0; c < kRecordColumnCount; ++c) listView3.setColumnWidth(c, listView2.columnWidth(c));
  for (auto [button, offset] : {std::pair{&command13, kPlusOffset}, std::pair{&command14, kMinusOffset}}) {
    if (row >= 0)
      button->move(listView2.left() + offset, listView2.rowTop(row) + kRowButtonDrop, button->width(),
                   listView2.rowHeight() - 10);
    else
      button->move(listView2.left() + offset, button->top());
  }
}

void BomView::appendRow() {
  const int selected = listView2.selectedRow();
  if (selected >= 0 && selected != listView2.rowCount() - 1) {
    platform::notify(services_.user, platform::kTitle, "请选中最后一行,再进行添加行!");
    return;
  }
  vb::SkipOnError guard;
  newRowFlag = 1;
  listView2.addRow(std::vector<std::string>(kGridColumnCount));
  const int row = listView2.rowCount() - 1;
  // Numbered after the row above it, or after the row above a "Total:" row; with no row
  // to read the 序号 stays empty.
  int above = row - 1;
  if (above >= 0 && listView2.cell(above, kNumberColumn) == "Total:") --above;
  if (above >= 0)
    guard.step([&] {
      listView2.setCell(row, kNumberColumn, vb::numberText(leadingNumber(listView2.cell(above, kNumberColumn)) + 1));
    });
  for (int c = 1; c <= 9; ++c) listView2.setCell(row, c, kNewRowTexts[c - 1]);
  listView4.clearRows();
  std::vector<std::string> preview{vb::numberText(leadingNumber(listView2.cell(row, kNumberColumn)))};
  for (int c = 1; c < kPreviewColumnCount; ++c) preview.push_back(listView2.cell(row, c));
  listView4.addRow(std::move(preview));
  listView2.setSelectedRow(row);
  guard.step([&] { currentRowIndex = rowPosition(row); });
  text2.setText("请输入");
  text6.setText("");
  text7.setText("");
}

void BomView::removeCurrentRow() {
  vb::SkipOnError guard;
  const int current = currentRowIndex - 1;  // from 0; -1 and below name no row
  if (current >= 0) listView2.removeRow(current);
  if (current >= 0 && current < listView2.rowCount()) listView2.setSelectedRow(current);
  const int row = listView2.selectedRow();
  if (row >= 0) guard.step([&] { currentRowIndex = rowPosition(row); });
  showInPreview(row);
  fillEditBoxes(row);
  if (listView2.rowCount() == 0) {
    text2.setText("");
    text6.setText("");
    text7.setText("");
  }
}

void BomView::restoreColumnWidths() {
  for (int c = 0; c < kRecordColumnCount; ++c) listView2.setColumnWidth(c, kGridColumns[c].width);
  for (int c = 0; c < kRecordColumnCount; ++c) listView3.setColumnWidth(c, kGridColumns[c].width);
  for (int c = 0; c < kPreviewColumnCount; ++c) listView4.setColumnWidth(c, kGridColumns[c].width);
  placeEditBoxes(kSearchBoxCount);
}


}  // namespace workbench
