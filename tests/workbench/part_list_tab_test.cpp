// The tab "BOM View": a BOM sheet as a part list, its designators shown in PADS, values
// written into the design, and a part's centre read from PADS Layout.
#include <gtest/gtest.h>

#include "capture/settings_window.h"
#include "sim/sim_spreadsheet.h"
#include "support/pads_designs.h"
#include "support/workbook_dump.h"
#include "vb/convert.h"
#include "workbench/bom_view_fixture.h"

namespace {

namespace xl = platform::xl;
using Log = std::vector<std::string>;
using Rows = std::vector<std::vector<const char*>>;

const char* const kLayoutBoard = R"({"name": "board.pcb", "parts": [
    {"name": "R1", "decal": "R0603", "centerX": 12.5, "centerY": -3.25, "attributes": {"Value": "10k"}},
    {"name": "R2", "decal": "R0603", "attributes": {"Value": "1K"}},
    {"name": "C1", "decal": "C0402", "selected": true}]})";
const char* const kLogicBoard = R"({"name": "board.sch", "parts": [
    {"name": "R1", "pcbDecal": "RES0603", "attributes": {"Value": "10k"},
     "gates": [{"name": "A", "x": 100, "y": 200, "sheet": "Sheet1"}]}]})";

// A BOM report's first sheet: heading, a category row, two lines and the "Total:" row.
const Rows kReport = {{"No.", "Value", "Decal", "Qty", "Name"},
                      {"电阻"},
                      {"1", "10K", "R0603", "3", "R1,R2,R9"},
                      {"2", "", "C0402", "1", "C1, R1,,C9"},
                      {"Total:", "", "", "4"}};

class PartListTabTest : public testing_support::BomViewTest {
 protected:
  void SetUp() override {
    BomViewTest::SetUp();
    excel = world.programs.runSpreadsheet("Excel.Application");
    book = excel->addWorkbook();
    layout = runPads("PowerPCB.Application", kLayoutBoard);
    if (runsLogic()) logic = runPads("PowerLogic.Application", kLogicBoard);
  }
  virtual bool runsLogic() const { return true; }
  std::shared_ptr<sim::SimPads> runPads(const char* progId, const char* board) {
    return testing_support::runDesign(world, dir, progId, board);
  }
  void fill(const Rows& rows) {
    xl::SheetPtr s = book->sheet(1);
    for (size_t r = 0; r < rows.size(); ++r)
      for (size_t c = 0; c < rows[r].size(); ++c)
        if (*rows[r][c]) s->cell(static_cast<long>(r) + 1, static_cast<long>(c) + 1).setValue(rows[r][c]);
  }
  void importReport() {
    fill(kReport);
    click(*w->control("Command1"));
  }
  void clickLine(int line) {
    program->dispatch([&] { w->listView1.userSelect(line - 1); });
  }
  void clickDesignator(int entry) {
    program->dispatch([&] { w->list3.userSelect({entry - 1}); });
  }
  void enterValue(const std::string& value, int key = 13) {
    program->dispatch([&] { w->text4.setText(value); });
    program->dispatch([&] { w->text4.userKeyDown(key); });
  }
  std::string value(sim::SimPads& p, const char* part) {
    const platform::pads::Attribute* a = p.activeDocument().component(part)->attribute("Value");
    return a ? a->value() : "(none)";
  }
  std::vector<std::string> designators() {
    std::vector<std::string> out;
    for (int i = 0; i < w->list3.listCount(); ++i) out.push_back(w->list3.item(i));
    return out;
  }

  testing_support::ScratchDir dir{"part-list-tab"};
  std::shared_ptr<sim::SimSpreadsheet> excel;
  xl::WorkbookPtr book;
  std::shared_ptr<sim::SimPads> layout, logic;
};

TEST_F(PartListTabTest, ImportTakesEveryRowAndExportWritesThemBackUnderAnEmptyFirstRow) {
  importReport();
  ASSERT_EQ(w->listView1.rowCount(), 4);
  EXPECT_EQ(w->listView1.rows()[0].cells, (std::vector<std::string>{"电阻", "", "", "", ""}));
  EXPECT_EQ(w->listView1.rows()[1].cells, (std::vector<std::string>{"1", "10K", "R0603", "3", "R1,R2,R9"}));
  EXPECT_EQ(w->listView1.rows()[3].cells, (std::vector<std::string>{"Total:", "", "", "4", ""}));
  // A category row has no designators: nothing is listed and PADS is not touched.
  clickLine(1);
  EXPECT_EQ(w->list3.listCount(), 0);
  EXPECT_EQ(w->text4.text(), "");
  EXPECT_EQ(layout->takeLog(), Log{});

  click(*w->control("Command2"));
  ASSERT_EQ(excel->workbookCount(), 2);
  xl::SheetPtr out = excel->activeWorkbook()->sheet(1);
  for (long c = 1; c <= 5; ++c) EXPECT_TRUE(out->get(1, c).isEmpty()) << "no heading";
  EXPECT_EQ(vb::toText(out->get(3, 5)), "R1,R2,R9");
  EXPECT_EQ(vb::toText(out->get(5, 1)), "Total:");
  EXPECT_EQ(w->listView1.selectedRow(), 3) << "the last line stays selected";
  EXPECT_TRUE(messages().empty());

  // A sheet with nothing below its heading gives an empty list.
  book = excel->addWorkbook();
  fill({{"No.", "Value"}, {"", "10K"}});
  click(*w->control("Command1"));
  EXPECT_EQ(w->listView1.rowCount(), 0);
}

TEST_F(PartListTabTest, ALineListsItsDesignatorsAndShowsTheFirstInTheChosenProgram) {
  importReport();
  clickLine(2);
  EXPECT_EQ(designators(), (std::vector<std::string>{"R1", "R2", "R9"}));
  EXPECT_EQ(w->text4.text(), "10K");
  EXPECT_EQ(w->label7.caption(), "R1  R0603  10K") << "the value upper-cased";
  EXPECT_EQ(layout->takeLog(), (Log{"SelectObjects , , False", "R1.Selected True", "SetExtentsToSelection",
                                    "SetScale 100", "Refresh"}));
  EXPECT_FALSE(layout->activeDocument().component("C1")->selected());

  // Blanks stay, an empty entry does nothing, a missing part leaves the label empty and
  // the view where it was; the value box refills from the line each time.
  clickLine(3);
  EXPECT_EQ(designators(), (std::vector<std::string>{"C1", " R1", "", "C9"}));
  EXPECT_EQ(w->label7.caption(), "C1  C0402  Nothing");
  layout->takeLog();
  for (int entry : {2, 4}) {
    program->dispatch([&] { w->text4.setText("typed"); });
    clickDesignator(entry);
    EXPECT_EQ(w->label7.caption(), "") << entry;
    EXPECT_EQ(w->text4.text(), "") << "line 3 has no value";
    EXPECT_EQ(layout->takeLog(), Log{"SelectObjects , , False"}) << entry;
  }
  clickDesignator(3);
  EXPECT_EQ(layout->takeLog(), Log{});

  // PADS Logic: the Logic decal, the gate's sheet, no scale.
  pick(w->combo2, "Logic");
  EXPECT_FALSE(w->control("Command10")->visible());
  clickLine(2);
  EXPECT_EQ(w->label7.caption(), "R1  RES0603  10K");
  EXPECT_EQ(logic->takeLog(), (Log{"SelectObjects , , False", "R1.Selected True", "Sheet.Activate Sheet1",
                                   "SetExtents 100 200 100 200"}));
  EXPECT_EQ(layout->takeLog(), Log{});
  pick(w->combo2, "Layout");
  EXPECT_TRUE(w->control("Command10")->visible());

  // A chooser text that is no item: every designator click asks for the program.
  type(w->combo2, "layout");
  clickLine(2);
  EXPECT_EQ(messages(), std::vector<std::string>{"请选择对应软件"});
  EXPECT_EQ(w->text4.text(), "10K");
}

TEST_F(PartListTabTest, TheJoinSymbolIsReadAtEveryLineClick) {
  importReport();
  program->settings().spreadsheetProgram();  // the first read creates the settings window
  auto* settings = static_cast<capture::SettingsWindow*>(program->existing(capture::SettingsWindow::kName));
  ASSERT_NE(settings, nullptr);
  settings->text1.setText("");
  clickLine(2);
  EXPECT_EQ(w->list3.listCount(), 0) << "an empty separator gives no designators";
  EXPECT_EQ(w->text4.text(), "10K");
  EXPECT_EQ(layout->takeLog(), Log{});
  settings->text1.setText(",R");
  clickLine(2);
  EXPECT_EQ(designators(), (std::vector<std::string>{"R1", "2", "9"}));
}

TEST_F(PartListTabTest, EnterWritesTheValueIntoEveryPartOfTheLineAndReportsItsQuantity) {
  importReport();
  clickLine(2);
  enterValue("22pF", 9);  // not Enter
  EXPECT_EQ(value(*layout, "R1"), "10k");
  layout->takeLog();
  enterValue("22pF");
  EXPECT_EQ(value(*layout, "R1"), "22pF");
  EXPECT_EQ(value(*layout, "R2"), "22pF");
  EXPECT_TRUE(layout->activeDocument().component("R2")->selected());
  EXPECT_FALSE(layout->activeDocument().component("C1")->selected());
  EXPECT_EQ(w->listView1.cell(1, 1), "22pF");
  EXPECT_EQ(messages(), std::vector<std::string>{"3个元件属性修改为22pF"}) << "also with R9 missing";
  EXPECT_EQ(value(*logic, "R1"), "10k");
}

TEST_F(PartListTabTest, AValueCountsOnlyWhereTheRunningDesignTookIt) {
  importReport();
  clickLine(2);
  // The design refuses the new value: it keeps the old one, the line and the messages stay.
  world.faults.refuseChangedAdds("PowerPCB.Application");
  enterValue("4K7");
  EXPECT_EQ(value(*layout, "R1"), "10k");
  EXPECT_EQ(w->listView1.cell(1, 1), "10K");
  EXPECT_TRUE(messages().empty());
}

class PartListTabWithoutLogicTest : public PartListTabTest {
  bool runsLogic() const override { return false; }
};

TEST_F(PartListTabWithoutLogicTest, AValueForAProgramThatDoesNotRunAsksForIt) {
  importReport();
  pick(w->combo2, "Logic");
  clickLine(2);
  EXPECT_EQ(w->label7.caption(), "");
  EXPECT_EQ(w->text4.text(), "10K");
  enterValue("4K7");
  EXPECT_EQ(messages(), std::vector<std::string>{"请打开Logic软件"});
  EXPECT_EQ(w->listView1.cell(1, 1), "10K");
}

TEST_F(PartListTabTest, AfterExportTheValueGoesToTheLineWhoseDesignatorsAreShown) {
  importReport();
  clickLine(3);
  click(*w->control("Command2"));
  ASSERT_EQ(w->listView1.selectedRow(), 3);
  enterValue("100nF");
  EXPECT_EQ(value(*layout, "C1"), "100nF");
  EXPECT_EQ(value(*layout, "R1"), "10k") << "\" R1\" names no part";
  EXPECT_EQ(w->listView1.cell(2, 1), "100nF");
  EXPECT_EQ(w->listView1.cell(3, 1), "") << "the Total: line is left alone";
  EXPECT_EQ(messages(), std::vector<std::string>{"1个元件属性修改为100nF"});
}

TEST_F(PartListTabTest, CoordinatesShowTheCentreAndPanPadsLayoutByModelessCommands) {
  importReport();
  clickLine(2);
  w->text1.setText("50");
  layout->takeLog();
  click(*w->control("Command10"));
  EXPECT_EQ(w->label7.caption(), "R1  12.500  -3.250");
  EXPECT_EQ(layout->takeLog(), (Log{"SelectObjects , , False", "ModelessCmd \"ss R1\"", "SetExtentsToSelection",
                                    "Refresh", "ModelessCmd \"s 12.500 -3.250\""}));
  EXPECT_TRUE(layout->activeDocument().component("R1")->selected()) << "the search command selects it";
  // A designator that names no part: empty texts, the commands still go.
  clickDesignator(3);
  layout->takeLog();
  click(*w->control("Command10"));
  EXPECT_EQ(w->label7.caption(), "");
  EXPECT_EQ(layout->takeLog(), (Log{"SelectObjects , , False", "ModelessCmd \"ss R9\"", "SetExtentsToSelection",
                                    "Refresh", "ModelessCmd \"s  \""}));
  // Only for PADS Layout.
  type(w->combo2, "Logic");
  click(*w->control("Command10"));
  EXPECT_EQ(layout->takeLog(), Log{});
}

}  // namespace
