#include "assistant/visibility_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assistant/decal_window.h"
#include "support/pads_designs.h"
#include "support/program_fixture.h"
#include "support/scratch_dir.h"

namespace {

namespace pads = platform::pads;
using assistant::VisibilityWindow;
using testing_support::runDesign;
using Log = std::vector<std::string>;

const char* const kLayout = R"({"name": "v.pcb", "unit": "MM", "gridX": 0.5, "gridY": 0.25,
    "electricalLayerCount": 2,
    "layers": {"1": "Top", "2": "Bottom", "26": "Silkscreen Top"},
    "parts": [{"name": "R1", "pins": 2}, {"name": "U1", "pins": 8}],
    "jumpers": [{"name": "W1"}], "nets": [{"name": "GND"}, {"name": "VCC"}, {"name": "N1"}]})";

class VisibilityWindowTest : public testing_support::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    click(tool().helper);
    auto* decal = static_cast<assistant::DecalWindow*>(program->existing(assistant::DecalWindow::kName));
    pick(decal->combo2, "Layout");
    click(decal->command7);
    w = static_cast<VisibilityWindow*>(program->existing(VisibilityWindow::kName));
    ASSERT_NE(w, nullptr);
  }
  testing_support::ScratchDir dir{"visibility"};
  VisibilityWindow* w = nullptr;
};

TEST_F(VisibilityWindowTest, BoxesPassTheirOwnStateByNumberNameOrCode) {
  auto layout = runDesign(world, dir, pads::kLayoutProgId, kLayout);
  for (auto* b : w->layerBoxes) EXPECT_TRUE(b->checked());
  click(*w->layerBoxes[0]);
  click(*w->layerBoxes[4]);
  click(*w->layerBoxes[4]);
  click(*w->layerBoxes[12]);  // a name the design lacks: skipped without a message
  click(*w->objectBoxes[0]);
  click(*w->objectBoxes[13]);
  EXPECT_EQ(layout->takeLog(), (Log{"Layers 1 Visible False", "Layers Silkscreen Top Visible False",
                                    "Layers Silkscreen Top Visible True", "Layers Drill Drawing Visible False",
                                    "SetVisibility 0 0", "SetVisibility 13 0"}));
  EXPECT_TRUE(messages().empty());
}

TEST_F(VisibilityWindowTest, AllAppliesOnlyTheBoxesItChanges) {
  auto layout = runDesign(world, dir, pads::kLayoutProgId, kLayout);
  click(*w->allObjects);  // untick: every object box, B1 upward
  Log log = layout->takeLog();
  ASSERT_EQ(log.size(), 14u);
  EXPECT_EQ(log.front(), "SetVisibility 0 0");
  EXPECT_EQ(log.back(), "SetVisibility 13 0");

  click(*w->layerBoxes[1]);
  click(*w->layerBoxes[3]);
  layout->takeLog();
  click(*w->allLayers);  // untick: A2 and A4 are unticked already
  log = layout->takeLog();
  EXPECT_EQ(log.size(), 11u);
  EXPECT_EQ(log[0], "Layers 1 Visible False");
  EXPECT_EQ(log[1], "Layers 3 Visible False");
  // Ticked again one by one, then "All" ticked: every box is ticked already.
  for (auto* b : w->layerBoxes) click(*b);
  layout->takeLog();
  click(*w->allLayers);
  EXPECT_TRUE(w->allLayers->checked());
  EXPECT_TRUE(layout->takeLog().empty());
}

TEST_F(VisibilityWindowTest, WithoutPadsLayoutOnlyTheBoxChanges) {
  click(*w->layerBoxes[2]);
  click(*w->information);
  EXPECT_FALSE(w->layerBoxes[2]->checked());
  EXPECT_TRUE(messages().empty());
  auto layout = runDesign(world, dir, pads::kLayoutProgId, kLayout);
  click(*w->layerBoxes[2]);
  EXPECT_EQ(layout->takeLog(), (Log{"Layers 3 Visible True"}));
}

TEST_F(VisibilityWindowTest, InformationListsTheDesignFacts) {
  auto layout = runDesign(world, dir, pads::kLayoutProgId, kLayout);
  click(*w->information);
  EXPECT_EQ(messages(), (std::vector<std::string>{
                            "File Name:v.pcb\nUnit:MM\nGrid X:0.5\nGrid Y:0.25\nComponent Count:2\nJumper Count:1\n"
                            "Pin Count:10\nVia Count:0\nNet Count:3\nLayer Count:3\nLayerEnabled Count:2"}));
  world.faults.set(pads::kLayoutProgId, "GridX");
  click(*w->information);
  EXPECT_EQ(messages().back(), "File Name:v.pcb\nUnit:MM\nGrid Y:0.25\nComponent Count:2\nJumper Count:1\n"
                               "Pin Count:10\nVia Count:0\nNet Count:3\nLayer Count:3\nLayerEnabled Count:2");
}

TEST(UnitName, InTheOrderTheCodesAreTested) {
  EXPECT_EQ(assistant::unitName(2), "Mil");
  EXPECT_EQ(assistant::unitName(4), "MM");
  EXPECT_EQ(assistant::unitName(3), "Inch");
  EXPECT_EQ(assistant::unitName(0), "Current");
  EXPECT_EQ(assistant::unitName(1), "DataBase");
  EXPECT_EQ(assistant::unitName(5), "5");
}

TEST_F(VisibilityWindowTest, CloseHidesKeepingTheBoxes) {
  click(*w->objectBoxes[5]);
  program->close(VisibilityWindow::kName);
  EXPECT_FALSE(w->visible());
  EXPECT_TRUE(program->existing(assistant::DecalWindow::kName)->visible());
  EXPECT_EQ(program->existing(VisibilityWindow::kName), w);
  EXPECT_FALSE(w->objectBoxes[5]->checked());
}

}  // namespace
