// The tab "Logic<->Layout": the sheet "Compare" walked row by row. The BOM side (B to D)
// is the Logic list ListView5, the design side (F to H) the Layout list ListView6; item k
// of either list is sheet row k + 1. A row click shows its part in both PADS programs and
// marks the row as reviewed; "M" marks its package; Enter in the row's editor writes a
// new value into the designs, the lists and the sheet.
#include <string>

#include "compare/compare_sheet.h"
#include "compare/pads_writing.h"
#include "platform/workbook_helpers.h"
#include "vb/convert.h"
#include "vb/error.h"
#include "workbench/bom_view.h"
#include "workbench/pads_selection.h"
#include "workbench/running_spreadsheet.h"

namespace workbench {

namespace pads = platform::pads;
namespace xl = platform::xl;

namespace {

constexpr int kNumberCell = 0, kDesignatorCell = 1, kValueCell = 3;
constexpr long kVisitedFill = platform::rgb(255, 255, 50);
constexpr long kPackageFill = platform::rgb(155, 255, 200);
constexpr long kEditedFill = platform::rgb(155, 155, 200);

// The editor, "M" and "同步修改" stand on one side's list; each side's columns of the sheet.
struct Side {
  int editorLeft, markLeft;
  long visitedColumn, packageColumn, valueColumn;
  PadsProgram program;
};
constexpr Side kLogicSide{3575, 3250, 1, 3, 4, PadsProgram::Logic};    // A, C, D
constexpr Side kLayoutSide{8700, 8400, 5, 7, 8, PadsProgram::Layout};  // E, G, H
// The overlay's offsets from the clicked row (whose top the list reports from its own top).
constexpr int kEditorTopOffset = 700, kMarkTopOffset = 725, kHeightShrink = 10, kCheckTop = 360;

PadsProgram otherProgram(PadsProgram p) { return p == PadsProgram::Layout ? PadsProgram::Logic : PadsProgram::Layout; }

// One cell of row `row` of the sheet "Compare" of the active workbook filled, then, when
// given, its value set. Nothing happens when there is no such sheet.
void markCompareCell(xl::Application& app, long row, long column, long fill, const vb::Variant* value = nullptr) {
  vb::SkipOnError skip;
  skip.step([&] {
    xl::SheetPtr sheet = app.sheet(compare::kCompareSheetName);
    xl::Range cell = sheet->range(sheet->cell(row, column), sheet->cell(row, column));
    cell.setInteriorColor(fill);
    if (value) cell.setValue(*value);
  });
}

// ClearSelection, then the value written to the designator's part: true when the design
// took it (a program that does not run takes nothing).
bool writeValue(platform::Programs& programs, PadsProgram program, const std::string& designator,
                const std::string& value) {
  pads::AppPtr app = attachIfRunning(programs, program);
  clearSelection(app);
  vb::SkipOnError skip;
  return app && skip.value([&] { return compare::setPartValue(app->activeDocument(), designator, value); }, false);
}

}  // namespace

void BomView::importCompareSheet() {
  listView5.clearRows();
  listView6.clearRows();
  vb::SkipOnError skip;
  if (!attachRunningSpreadsheet(services_, settings_, spreadsheetApp_)) {
    platform::notify(services_.user, platform::kTitle, "请打开您将要导入的xls.");
    return;
  }
  skip.step([&] {
    // A comparison's used range starts at A1, so array row i is sheet row i.
    vb::Table used = platform::blockRead(spreadsheetApp_->sheet(compare::kCompareSheetName)->usedRange());
    auto text = [&](long r, long c) { return c <= used.cols() ? vb::toText(used.at(r, c)) : std::string(); };
    for (long r = 2; r <= used.rows(); ++r) {
      const std::string k = std::to_string(r - 1);
      listView5.addRow({k, text(r, 2), text(r, 3), text(r, 4)});
      listView6.addRow({k, text(r, 6), text(r, 7), text(r, 8)});
    }
    if (listView6.rowCount() > 0) text9.setText(listView6.cell(0, kValueCell));
  });
  spreadsheetApp_.reset();
}

void BomView::logicRowClicked() { compareRowClicked(listView5, kLogicSide.editorLeft); }
void BomView::layoutRowClicked() { compareRowClicked(listView6, kLayoutSide.editorLeft); }

void BomView::compareRowClicked(ui::ListView& list, int editorLeft) {
  const Side& side = editorLeft == kLogicSide.editorLeft ? kLogicSide : kLayoutSide;
  const int row = list.selectedRow();
  if (list.rowCount() == 0 || row < 0) return;
  ui::Button& mark = find<ui::Button>("Command18");
  const int rowTop = list.rowTop(row), rowHeight = list.rowHeight();
  text9.move(side.editorLeft, rowTop + kEditorTopOffset, text9.width(), rowHeight - kHeightShrink);
  mark.move(side.markLeft, rowTop + kMarkTopOffset, mark.width(), rowHeight - kHeightShrink);
  check1.move(side.editorLeft, kCheckTop);
  text9.setText(list.cell(row, kValueCell));
  // One designator serves both programs, the clicked side's own first.
  const std::string designator = list.cell(row, kDesignatorCell);
  const double percent = zoomPercent(text8);
  for (PadsProgram p : {side.program, otherProgram(side.program)})
    selectAndZoom(p, attachIfRunning(services_.programs, p), designator, percent);
  if (!attachRunningSpreadsheet(services_, settings_, spreadsheetApp_))
    return;
  const vb::Variant visited(list.cell(row, kNumberCell) + "√");
  markCompareCell(*spreadsheetApp_, row + 2, side.visitedColumn, kVisitedFill, &visited);
}

void BomView::markPackage() {
  const int left = find<ui::Button>("Command18").left();
  if (left != kLogicSide.markLeft && left != kLayoutSide.markLeft) return;
  const bool logic = left == kLogicSide.markLeft;
  const Side& side = logic ? kLogicSide : kLayoutSide;
  const Side& other = logic ? kLayoutSide : kLogicSide;
  if (!attachRunningSpreadsheet(services_, settings_, spreadsheetApp_))
    return;
  const int row = (logic ? listView5 : listView6).selectedRow();
  if (row < 0) return;
  markCompareCell(*spreadsheetApp_, row + 2, side.packageColumn, kPackageFill);
  if (check1.value() == 1) markCompareCell(*spreadsheetApp_, row + 2, other.packageColumn, kPackageFill);
}

void BomView::compareValueKeyDown(int& keyCode, int /*shift*/) {
  if (keyCode != 13 || text9.text().empty()) return;
  const int left = text9.left();
  if (left != kLogicSide.editorLeft && left != kLayoutSide.editorLeft) return;
  const bool logic = left == kLogicSide.editorLeft;
  const Side& side = logic ? kLogicSide : kLayoutSide;
  const Side& other = logic ? kLayoutSide : kLogicSide;
  ui::ListView& own = logic ? listView5 : listView6;
  ui::ListView& mirror = logic ? listView6 : listView5;
  const int row = own.selectedRow();
  if (row < 0) {
    clearSelection(attachIfRunning(services_.programs, side.program));
    return;
  }
  // Each list and each value cell changes only where its design took the value.
  const std::string designator = own.cell(row, kDesignatorCell);
  const bool ownTaken = writeValue(services_.programs, side.program, designator, text9.text());
  if (ownTaken) own.setCell(row, kValueCell, text9.text());
  bool otherTaken = false;
  if (check1.value() == 1) {
    otherTaken = writeValue(services_.programs, other.program, designator, text9.text());
    if (otherTaken) mirror.setCell(row, kValueCell, text9.text());
  }
  if (!ownTaken && !otherTaken) return;
  if (!attachRunningSpreadsheet(services_, settings_, spreadsheetApp_))
    return;
  const vb::Variant value(text9.text());
  if (otherTaken) markCompareCell(*spreadsheetApp_, row + 2, other.valueColumn, kEditedFill, &value);
  if (ownTaken) markCompareCell(*spreadsheetApp_, row + 2, side.valueColumn, kEditedFill, &value);
}

}  // namespace workbench
