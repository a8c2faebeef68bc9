// The tab "BOM View": a BOM as a part list, its lines' designators shown in PADS Layout or
// PADS Logic, their values rewritten in one go, and a part's centre read from PADS Layout.
#include <optional>
#include <string>
#include <vector>

#include "capture/pads_attach.h"
#include "compare/pads_writing.h"
#include "platform/workbook_helpers.h"
#include "report/designator_split.h"
#include "vb/convert.h"
#include "vb/error.h"
#include "vb/text.h"
#include "workbench/bom_view.h"
#include "workbench/pads_selection.h"
#include "workbench/running_spreadsheet.h"

namespace workbench {

namespace pads = platform::pads;
namespace xl = platform::xl;

namespace {

// Columns of a part-list line (and of A to E of the sheets it comes from and goes to).
constexpr int kValueCell = 1, kQuantityCell = 3, kDesignatorsCell = 4, kPartListCells = 5;
constexpr const char* kChooseProgramMessage = "请选择对应软件";
constexpr const char* kValueWritten = "个元件属性修改为";

// The program Combo2 names, compared exactly; nothing for any other text.
std::optional<PadsProgram> chosenProgram(const std::string& text) {
  if (text == "Layout") return PadsProgram::Layout;
  if (text == "Logic") return PadsProgram::Logic;
  return std::nullopt;
}

const char* notRunningMessage(PadsProgram p) {
  return p == PadsProgram::Layout ? "请打开Layout软件" : "请打开Logic软件";
}

}  // namespace

void BomView::importPartList() {
  listView1.clearRows();
  shownPartLine_ = -1;  // List3 keeps its designators, but their line is gone
  vb::SkipOnError skip;
  if (!attachRunningSpreadsheet(services_, settings_, spreadsheetApp_))
    return;
  skip.step([&] {
    xl::SheetPtr sheet = spreadsheetApp_->sheet(1);
    long last = platform::lastUsedRow(*sheet, 1);
    if (last <= 1) return;
    // Every row becomes a line: category rows and the "Total:" row too.
    vb::Table block = platform::blockRead(sheet->range(sheet->cell(2, 1), sheet->cell(last, kPartListCells)));
    for (long r = 1; r <= block.rows(); ++r) {
      std::vector<std::string> cells;
      for (long c = 1; c <= kPartListCells; ++c) cells.push_back(vb::toText(block.at(r, c)));
      listView1.addRow(std::move(cells));
    }
  });
  spreadsheetApp_.reset();
}

void BomView::exportPartList() {
  if (listView1.rowCount() == 0) return;
  vb::SkipOnError skip;
  if (!attachRunningSpreadsheet(services_, settings_, spreadsheetApp_))
    return;
  skip.step([&] {
    spreadsheetApp_->addWorkbook();  // its visibility stays as it is
    xl::SheetPtr sheet = spreadsheetApp_->sheet(1);
    // Row 1 stays empty: no heading.
    for (int i = 0; i < listView1.rowCount(); ++i) {
      listView1.setSelectedRow(i);
      for (int c = 0; c < kPartListCells; ++c)
        skip.step([&] { sheet->cell(i + 2, c + 1).setValue(vb::Variant(listView1.cell(i, c))); });
    }
  });
  spreadsheetApp_.reset();
}

void BomView::partLineClicked() {
  list3.clear();
  text4.setText("");
  const int line = listView1.selectedRow();
  if (line < 0) return;
  shownPartLine_ = line;
  const std::string designators = listView1.cell(line, kDesignatorsCell);
  if (designators.empty()) return;
  text4.setText(listView1.cell(line, kValueCell));
  // An empty separator cannot be found between designators: the line gives none.
  const std::string separator = settings_.joinSymbol();
  if (separator.empty()) return;
  for (const std::string& d : report::designatorSplit(designators, separator)) list3.addItem(d);
  list3.setListIndex(0);  // counts as a click on the first designator
}

void BomView::designatorClicked() {
  const std::string designator = list3.text();
  if (designator.empty()) return;
  if (std::optional<PadsProgram> program = chosenProgram(combo2.text())) {
    vb::SkipOnError skip;
    label7.setCaption("");
    pads::AppPtr app = attachIfRunning(services_.programs, *program);
    if (selectPartByName(app, designator, *program == PadsProgram::Layout)) {
      skip.step([&] {
        pads::Part* part = app->activeDocument().component(designator);
        if (!part) return;  // a jumper of that name: nothing to show
        const std::string decal = *program == PadsProgram::Layout ? part->decal() : part->pcbDecal();
        const std::string value = part->attribute("Value") ? vb::ucase(capture::partValueText(*part, "")) : "Nothing";
        label7.setCaption(part->name() + "  " + decal + "  " + value);
      });
      showSelection(*program, app, designator, zoomPercent(text1));
    }
  } else {
    platform::notify(services_.user, platform::kTitle, kChooseProgramMessage);
  }
  if (shownPartLine_ >= 0 && shownPartLine_ < listView1.rowCount())
    text4.setText(listView1.cell(shownPartLine_, kValueCell));
}

void BomView::partValueKeyDown(int& keyCode, int /*shift*/) {
  if (keyCode != 13) return;
  const std::string value = text4.text();
  if (value.empty()) return;
  std::optional<PadsProgram> program = chosenProgram(combo2.text());
  if (!program) {
    platform::notify(services_.user, platform::kTitle, kChooseProgramMessage);
    return;
  }
  pads::AppPtr app = attachIfRunning(services_.programs, *program);
  if (!app) {
    platform::notify(services_.user, platform::kTitle, notRunningMessage(*program));
    return;
  }
  clearSelection(app);
  if (list3.listCount() == 0) return;
  vb::SkipOnError skip;
  bool accepted = false;
  skip.step([&] {
    pads::Design& design = app->activeDocument();
    for (int i = 0; i < list3.listCount(); ++i)
      if (compare::setPartValue(design, list3.item(i), value)) accepted = true;
  });
  // The line is the one whose designators were written, also after an "Export" moved
  // the list's selection; nothing counts when the design took no value.
  if (!accepted || shownPartLine_ < 0 || shownPartLine_ >= listView1.rowCount()) return;
  listView1.setCell(shownPartLine_, kValueCell, value);
  platform::notify(services_.user, platform::kTitle, listView1.cell(shownPartLine_, kQuantityCell) + kValueWritten + value);
}

void BomView::padsProgramChosen() { find<ui::Button>("Command10").setVisible(combo2.text() != "Logic"); }

void BomView::showCoordinates() {
  const std::string designator = list3.text();
  if (designator.empty() || combo2.text() != "Layout") return;
  label7.setCaption("");
  pads::AppPtr app = attachIfRunning(services_.programs, PadsProgram::Layout);
  if (!app) return;
  clearSelection(app);
  vb::SkipOnError skip;
  std::string x, y;
  skip.step([&] {
    pads::Part* part = app->activeDocument().component(designator);
    if (!part) vb::raise(vb::kObjectNotSet);
    x = vb::fixedText(part->centerX(), 3);
    y = vb::fixedText(part->centerY(), 3);
    label7.setCaption(part->name() + "  " + x + "  " + y);
  });
  // PADS Layout's search command leaves the part selected for the fit below.
  skip.step([&] { app->modelessCmd("ss " + designator); });
  skip.step([&] {
    pads::View& view = app->activeDocument().activeView();
    skip.step([&] { view.setExtentsToSelection(); });
    skip.step([&] { view.refresh(); });
  });
  skip.step([&] { app->modelessCmd("s " + x + " " + y); });
}

}  // namespace workbench
