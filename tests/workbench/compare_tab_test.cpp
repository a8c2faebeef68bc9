// The tab "Logic<->Layout": the sheet "Compare" in two lists, a row shown in both PADS
// programs and marked, the package mark, and a value written from the row's editor.
#include <gtest/gtest.h>

#include "sim/sim_spreadsheet.h"
#include "support/pads_designs.h"
#include "vb/convert.h"
#include "workbench/bom_view_fixture.h"

namespace {

namespace xl = platform::xl;
using Log = std::vector<std::string>;
using Rows = std::vector<std::vector<const char*>>;
using Cells = std::vector<std::string>;

const char* const kLayoutBoard = R"({"name": "board.pcb", "parts": [
    {"name": "R1", "attributes": {"Value": "10K"}}, {"name": "R2", "attributes": {"Value": "1K"}}]})";
const char* const kLogicBoard = R"({"name": "board.sch", "parts": [
    {"name": "R1", "attributes": {"Value": "10K"}, "gates": [{"name": "A", "x": 1, "y": 2, "sheet": "S1"}]},
    {"name": "R3", "attributes": {"Value": "4K7"}}]})";

// A comparison: the BOM side B:D, the design side F:H; row 4 is empty.
const Rows kCompare = {{"序号", "xls序号", "xls封装", "xls参数", "", "PCB序号", "PCB封装", "PCB参数"},
                       {"1", "R1", "R0603", "10K", "", "R1", "R0603", "10K"},
                       {"2", "R3", "R0603", "4K7", "", "R2", "R0603", "1K"},
                       {"", "", "", "", "", "", "", ""},
                       {"4", "", "", "", "", "R4", "R0402", "22K"}};

constexpr long kVisited = 255 + 256L * 255 + 65536L * 50;
constexpr long kPackage = 155 + 256L * 255 + 65536L * 200;
constexpr long kEdited = 155 + 256L * 155 + 65536L * 200;

class CompareTabTest : public testing_support::BomViewTest {
 protected:
  void SetUp() override {
    BomViewTest::SetUp();
    excel = world.programs.runSpreadsheet("Excel.Application");
    book = excel->addWorkbook();
    sheet = book->sheet(2);
    sheet->setName("Compare");
    for (size_t r = 0; r < kCompare.size(); ++r)
      for (size_t c = 0; c < kCompare[r].size(); ++c)
        if (*kCompare[r][c]) sheet->cell(static_cast<long>(r) + 1, static_cast<long>(c) + 1).setValue(kCompare[r][c]);
    // Row 4 carries a look only.
    sheet->cell(4, 1).setInteriorColor(255);
    layout = runPads("PowerPCB.Application", kLayoutBoard);
    if (runsLogic()) logic = runPads("PowerLogic.Application", kLogicBoard);
  }
  virtual bool runsLogic() const { return true; }
  std::shared_ptr<sim::SimPads> runPads(const char* progId, const char* board) {
    return testing_support::runDesign(world, dir, progId, board);
  }
  void import() { click(*w->control("Command16")); }
  void clickRow(ui::ListView& list, int item) {
    program->dispatch([&] { list.userSelect(item - 1); });
  }
  void enter(const std::string& value, int key = 13) {
    program->dispatch([&] { w->text9.setText(value); });
    program->dispatch([&] { w->text9.userKeyDown(key); });
  }
  std::string value(sim::SimPads& p, const char* part) {
    return p.activeDocument().component(part)->attribute("Value")->value();
  }
  std::string text(long r, long c) { return vb::toText(sheet->get(r, c)); }
  long fill(long r, long c) { return sheet->cell(r, c).interiorColor(); }
  ui::Control& mark() { return *w->control("Command18"); }

  testing_support::ScratchDir dir{"compare-tab"};
  std::shared_ptr<sim::SimSpreadsheet> excel;
  xl::WorkbookPtr book;
  xl::SheetPtr sheet;
  std::shared_ptr<sim::SimPads> layout, logic;
};

TEST_F(CompareTabTest, ImportShowsEachSideOfEveryRowAndTheFirstLayoutValue) {
  program->dispatch([&] { w->text9.setText("kept"); });
  clickRow(w->listView5, 1);  // empty lists: nothing moves or is touched
  EXPECT_EQ(w->text9.left(), 8700);
  EXPECT_EQ(w->text9.text(), "kept");
  EXPECT_EQ(layout->takeLog(), Log{});

  import();
  ASSERT_EQ(w->listView5.rowCount(), 4);
  ASSERT_EQ(w->listView6.rowCount(), 4);
  EXPECT_EQ(w->listView5.rows()[1].cells, (Cells{"2", "R3", "R0603", "4K7"}));
  EXPECT_EQ(w->listView6.rows()[1].cells, (Cells{"2", "R2", "R0603", "1K"}));
  EXPECT_EQ(w->listView5.rows()[2].cells, (Cells{"3", "", "", ""})) << "an empty row is an item too";
  EXPECT_EQ(w->listView6.rows()[3].cells, (Cells{"4", "R4", "R0402", "22K"}));
  EXPECT_EQ(w->text9.text(), "10K");
  EXPECT_TRUE(messages().empty());

  // The active workbook's "Compare" with its headings alone: empty lists, the editor keeps its text.
  xl::SheetPtr other = excel->addWorkbook()->sheet(3);
  other->setName("Compare");
  other->cell(1, 1).setValue("序号");
  program->dispatch([&] { w->text9.setText("kept"); });
  import();
  EXPECT_EQ(w->listView5.rowCount(), 0);
  EXPECT_EQ(w->listView6.rowCount(), 0);
  EXPECT_EQ(w->text9.text(), "kept");
}

TEST_F(CompareTabTest, ARowClickMovesTheEditorShowsThePartInBothProgramsAndMarksTheRow) {
  import();
  clickRow(w->listView5, 2);
  const int top = w->listView5.rowTop(1), height = w->listView5.rowHeight();
  EXPECT_EQ(w->text9.left(), 3575);
  EXPECT_EQ(w->text9.top(), top + 700);
  EXPECT_EQ(w->text9.height(), height - 10);
  EXPECT_EQ(w->text9.width(), 1275);
  EXPECT_EQ(mark().left(), 3250);
  EXPECT_EQ(mark().top(), top + 725);
  EXPECT_EQ(w->check1.left(), 3575);
  EXPECT_EQ(w->text9.text(), "4K7");
  // B3's designator in Logic, then in Layout, where it names nothing.
  EXPECT_EQ(logic->takeLog(), (Log{"SelectObjects , , False", "R3.Selected True"}));
  EXPECT_EQ(layout->takeLog(), Log{"SelectObjects , , False"});
  EXPECT_EQ(text(3, 1), "2√");
  EXPECT_EQ(fill(3, 1), kVisited);

  w->text8.setText("50");
  clickRow(w->listView6, 1);
  EXPECT_EQ(w->text9.left(), 8700);
  EXPECT_EQ(mark().left(), 8400);
  EXPECT_EQ(layout->takeLog(), (Log{"SelectObjects , , False", "R1.Selected True", "SetExtentsToSelection",
                                    "SetScale 50", "Refresh"}));
  EXPECT_EQ(logic->takeLog(), (Log{"SelectObjects , , False", "R1.Selected True", "Sheet.Activate S1",
                                   "SetExtents 1 2 1 2"}));
  EXPECT_EQ(text(2, 5), "1√");
  EXPECT_EQ(fill(2, 5), kVisited);
  EXPECT_EQ(text(2, 1), "1") << "the other side's number stays";

  // The empty row: both selections are cleared and the row is still marked.
  clickRow(w->listView5, 3);
  EXPECT_EQ(layout->takeLog(), Log{"SelectObjects , , False"});
  EXPECT_EQ(text(4, 1), "3√");
}

TEST_F(CompareTabTest, MFillsThePackageCellsOfTheSideAndWithSyncTheOtherToo) {
  import();
  click(mark());  // before any click: the Layout side, but no row is selected
  EXPECT_NE(fill(2, 7), kPackage);
  clickRow(w->listView6, 1);
  click(mark());
  EXPECT_EQ(fill(2, 7), kPackage);
  EXPECT_EQ(fill(2, 3), kPackage);
  EXPECT_EQ(text(2, 7), "R0603");
  clickRow(w->listView5, 2);
  click(w->check1);
  ASSERT_EQ(w->check1.value(), 0);
  click(mark());
  EXPECT_EQ(fill(3, 3), kPackage);
  EXPECT_NE(fill(3, 7), kPackage);
  EXPECT_EQ(logic->takeLog().size(), 6u) << "only the row clicks' selections";
}

TEST_F(CompareTabTest, EnterWritesTheValueIntoTheSidesDesignsListsAndValueCells) {
  import();
  clickRow(w->listView6, 2);
  click(w->check1);  // only the Layout side
  enter("2K2", 9);
  enter("");
  EXPECT_EQ(value(*layout, "R2"), "1K");
  enter(" 2K2");
  EXPECT_EQ(value(*layout, "R2"), " 2K2") << "as typed";
  EXPECT_EQ(w->listView6.cell(1, 3), " 2K2");
  EXPECT_EQ(text(3, 8), " 2K2");
  EXPECT_EQ(fill(3, 8), kEdited);
  EXPECT_EQ(w->listView5.cell(1, 3), "4K7");
  EXPECT_EQ(text(3, 4), "4K7");
  EXPECT_EQ(value(*logic, "R3"), "4K7");

  // The Logic side with "同步修改": B2's designator in both designs, both lists, H before D.
  click(w->check1);
  clickRow(w->listView5, 1);
  enter("12K");
  EXPECT_EQ(value(*logic, "R1"), "12K");
  EXPECT_EQ(value(*layout, "R1"), "12K");
  EXPECT_EQ(w->listView5.cell(0, 3), "12K");
  EXPECT_EQ(w->listView6.cell(0, 3), "12K");
  EXPECT_EQ(text(2, 4), "12K");
  EXPECT_EQ(text(2, 8), "12K");
  EXPECT_EQ(fill(2, 4), kEdited);
  EXPECT_TRUE(messages().empty());
}

TEST_F(CompareTabTest, AValueTheDesignRefusesChangesNeitherItsListNorItsCell) {
  import();
  clickRow(w->listView6, 2);  // R2: Layout only
  world.faults.refuseChangedAdds("PowerPCB.Application");
  enter("2K2");
  EXPECT_EQ(value(*layout, "R2"), "1K");
  EXPECT_EQ(w->listView6.cell(1, 3), "1K");
  EXPECT_EQ(text(3, 8), "1K");
  EXPECT_NE(fill(3, 8), kEdited);
  // Logic has no R2 either: nothing anywhere.
  EXPECT_EQ(w->listView5.cell(1, 3), "4K7");
  EXPECT_NE(fill(3, 4), kEdited);
}

class CompareTabWithoutLogicTest : public CompareTabTest {
  bool runsLogic() const override { return false; }
};

TEST_F(CompareTabWithoutLogicTest, OnlyTheRunningDesignsSideChanges) {
  import();
  clickRow(w->listView5, 1);
  EXPECT_EQ(layout->takeLog().size(), 5u) << "Layout is still shown";
  EXPECT_EQ(text(2, 1), "1√");
  clickRow(w->listView6, 1);
  enter("15K");
  EXPECT_EQ(value(*layout, "R1"), "15K");
  EXPECT_EQ(w->listView6.cell(0, 3), "15K");
  EXPECT_EQ(text(2, 8), "15K");
  EXPECT_EQ(w->listView5.cell(0, 3), "10K");
  EXPECT_EQ(text(2, 4), "10K");
  EXPECT_TRUE(messages().empty());
}

}  // namespace
