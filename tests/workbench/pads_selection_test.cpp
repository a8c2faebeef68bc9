// Selecting a part by its designator and bringing it into view in PADS Layout and PADS Logic.
#include "workbench/pads_selection.h"

#include <gtest/gtest.h>

#include "sim/sim_programs.h"
#include "support/pads_designs.h"

namespace {

using testing_support::ScratchDir;
using workbench::PadsProgram;
using Log = std::vector<std::string>;

const char* const kLayoutBoard = R"({"name": "board.pcb", "parts": [
    {"name": "R1", "decal": "R0603"}, {"name": "C1", "selected": true}],
    "jumpers": [{"name": "W1", "selected": true}, {"name": "W2"}]})";
const char* const kLogicBoard = R"({"name": "board.sch", "parts": [
    {"name": "U1", "gates": [{"name": "A", "x": 1200, "y": 300.5, "sheet": "Sheet2"},
                             {"name": "B", "x": 5, "y": 5, "sheet": "Sheet1"}]},
    {"name": "R1"}]})";

class PadsSelectionTest : public ::testing::Test {
 protected:
  std::shared_ptr<sim::SimPads> run(const char* progId, const char* board) {
    return testing_support::runDesign(world, dir, progId, board);
  }
  double zoomOf(const std::string& text) {
    ui::TextBox box(window, "Text1", -1);
    box.setText(text);
    return workbench::zoomPercent(box);
  }
  ui::Window window{"BOM_View", "BOM"};
  ScratchDir dir{"pads-selection"};
  sim::World world;
};

TEST_F(PadsSelectionTest, LayoutSelectsThePartAndScalesTheFittedViewByTheZoomBox) {
  auto layout = run("PowerPCB.Application", kLayoutBoard);
  EXPECT_TRUE(workbench::selectAndZoom(PadsProgram::Layout, layout, "R1", 100));
  EXPECT_EQ(layout->takeLog(), (Log{"SelectObjects , , False", "R1.Selected True", "SetExtentsToSelection",
                                    "SetScale 100", "Refresh"}));
  platform::pads::Design& d = layout->activeDocument();
  EXPECT_TRUE(d.component("R1")->selected());
  EXPECT_FALSE(d.component("C1")->selected()) << "the user's selection is cleared first";
  EXPECT_FALSE(d.jumper("W1")->selected());
}

TEST_F(PadsSelectionTest, TheZoomBoxGivesTheNumberItBeginsWith) {
  struct Case {
    const char* text;
    double percent;
  } cases[] = {{"100", 100}, {"50", 50}, {"", 0}, {"abc", 0}, {" 1 50x", 150}, {"2.5e1", 25}, {"-20", -20}};
  for (const Case& c : cases) EXPECT_EQ(zoomOf(c.text), c.percent) << c.text;
  auto layout = run("PowerPCB.Application", kLayoutBoard);
  workbench::selectAndZoom(PadsProgram::Layout, layout, "R1", zoomOf(""));
  EXPECT_EQ(layout->takeLog().at(3), "SetScale 0");
}

TEST_F(PadsSelectionTest, ALayoutJumperCountsAsFoundAndIsShown) {
  auto layout = run("PowerPCB.Application", kLayoutBoard);
  EXPECT_TRUE(workbench::selectAndZoom(PadsProgram::Layout, layout, "W2", 50));
  EXPECT_EQ(layout->takeLog(), (Log{"SelectObjects , , False", "W2.Selected True", "SetExtentsToSelection",
                                    "SetScale 50", "Refresh"}));
  EXPECT_TRUE(layout->activeDocument().jumper("W2")->selected());
}

TEST_F(PadsSelectionTest, AMissingDesignatorClearsTheSelectionAndLeavesTheView) {
  auto layout = run("PowerPCB.Application", kLayoutBoard);
  auto logic = run("PowerLogic.Application", kLogicBoard);
  for (const char* designator : {"R9", " R1", "r1", ""}) {
    EXPECT_FALSE(workbench::selectAndZoom(PadsProgram::Layout, layout, designator, 100)) << designator;
    EXPECT_EQ(layout->takeLog(), Log{"SelectObjects , , False"}) << designator;
    EXPECT_FALSE(workbench::selectAndZoom(PadsProgram::Logic, logic, designator, 100)) << designator;
    EXPECT_EQ(logic->takeLog(), Log{"SelectObjects , , False"}) << designator;
  }
  EXPECT_FALSE(layout->activeDocument().component("C1")->selected());
  EXPECT_FALSE(layout->activeDocument().jumper("W1")->selected());
}

TEST_F(PadsSelectionTest, LogicShowsTheSheetOfTheFirstGateCentredOnItWithoutScaling) {
  auto logic = run("PowerLogic.Application", kLogicBoard);
  world.programs.runPads("PowerPCB.Application");
  EXPECT_TRUE(workbench::selectAndZoom(PadsProgram::Logic, logic, "U1", 100));
  EXPECT_EQ(logic->takeLog(), (Log{"SelectObjects , , False", "U1.Selected True", "Sheet.Activate Sheet2",
                                   "SetExtents 1200 300.5 1200 300.5"}));
  // Logic looks for parts only, and a part without gates stays selected with the view unmoved.
  EXPECT_TRUE(workbench::selectAndZoom(PadsProgram::Logic, logic, "R1", 100));
  EXPECT_EQ(logic->takeLog(), (Log{"SelectObjects , , False", "R1.Selected True"}));
  EXPECT_TRUE(logic->activeDocument().component("R1")->selected());
}

TEST_F(PadsSelectionTest, EachStepIsSkippedOnItsOwnFailure) {
  auto layout = run("PowerPCB.Application", kLayoutBoard);
  world.faults.set("PowerPCB.Application", "SelectObjects");
  world.faults.set("PowerPCB.Application", "SetExtentsToSelection");
  EXPECT_TRUE(workbench::selectAndZoom(PadsProgram::Layout, layout, "R1", 100));
  EXPECT_EQ(layout->takeLog(), (Log{"SelectObjects , , False", "R1.Selected True", "SetExtentsToSelection",
                                    "SetScale 100", "Refresh"}));
  EXPECT_TRUE(layout->activeDocument().component("C1")->selected()) << "the failed clear changed nothing";
  // A program that does not run: every step fails, nothing is found.
  EXPECT_FALSE(workbench::selectAndZoom(PadsProgram::Layout, nullptr, "R1", 100));
  EXPECT_EQ(workbench::attachIfRunning(world.programs, PadsProgram::Logic), nullptr);
}

}  // namespace
