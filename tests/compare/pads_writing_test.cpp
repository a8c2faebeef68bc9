// Writing part attributes into a running PADS program, and taking every selection back.
#include "compare/pads_writing.h"

#include <gtest/gtest.h>

#include "sim/sim_programs.h"
#include "support/scratch_dir.h"
#include "vb/error.h"

namespace {

using testing_support::ScratchDir;

const char* const kBoard = R"({"name": "board.pcb", "layers": {"1": "Top", "2": "Bottom"}, "parts": [
    {"name": "R1", "attributes": {"Comment": "RES", "Value": "10K"}},
    {"name": "R2", "attributes": {"Comment": "RES"}, "selected": true}]})";

class PadsWritingTest : public ::testing::Test {
 protected:
  std::shared_ptr<sim::SimPads> run(const char* progId) {
    auto p = world.programs.runPads(progId);
    p->openDocument(dir.write(std::string(progId) + ".json", kBoard));
    p->takeLog();
    return p;
  }
  std::string value(sim::SimPads& p, const char* name, const char* attribute = "Value") {
    const platform::pads::Attribute* a = p.activeDocument().component(name)->attribute(attribute);
    return a ? a->value() : "(none)";
  }
  ScratchDir dir{"pads-writing"};
  sim::World world;
};

TEST_F(PadsWritingTest, SetPartValueReplacesOrCreatesTheValueAndLeavesThePartSelected) {
  auto layout = run("PowerPCB.Application");
  platform::pads::Design& design = layout->activeDocument();
  compare::setPartValue(design, "R1", "4K7");
  compare::setPartValue(design, "R2", "1K");  // has no "Value" yet
  compare::setPartValue(design, "R9", "1K");  // no such part
  EXPECT_EQ(value(*layout, "R1"), "4K7");
  EXPECT_EQ(value(*layout, "R2"), "1K");
  EXPECT_EQ(value(*layout, "R1", "Comment"), "RES");
  EXPECT_TRUE(design.component("R1")->selected());
  EXPECT_EQ(design.component("R9"), nullptr);
  EXPECT_EQ(design.componentCount(), 2);
  EXPECT_EQ(layout->takeLog(), (std::vector<std::string>{
                                   "R1.Selected True", "R1.Attributes.Delete Value", "R1.Attributes.Add Value 4K7",
                                   "R2.Selected True", "R2.Attributes.Delete Value", "R2.Attributes.Add Value 1K"}));
}

TEST_F(PadsWritingTest, ARefusedAddPutsTheOldValueBack) {
  auto logic = run("PowerLogic.Application");
  world.faults.refuseChangedAdds("PowerLogic.Application");
  EXPECT_FALSE(compare::setPartValue(logic->activeDocument(), "R1", "4K7"));
  EXPECT_EQ(value(*logic, "R1"), "10K");
  EXPECT_FALSE(compare::setPartValue(logic->activeDocument(), "R2", "1K")) << "had none: stays without";
  EXPECT_EQ(value(*logic, "R2"), "(none)");
  EXPECT_TRUE(compare::setPartValue(logic->activeDocument(), "R1", "10K")) << "the old value is taken";
  EXPECT_FALSE(compare::setPartValue(logic->activeDocument(), "R9", "10K"));
}

TEST_F(PadsWritingTest, UnselectTakesBackEverySelectionAndShowsBothOuterLayers) {
  auto layout = run("PowerPCB.Application");
  auto logic = run("PowerLogic.Application");
  compare::unselectAll(world.programs);
  EXPECT_FALSE(layout->activeDocument().component("R2")->selected());
  EXPECT_FALSE(logic->activeDocument().component("R2")->selected());
  EXPECT_EQ(layout->takeLog(), (std::vector<std::string>{"R2.Selected False", "Layers Top Visible True",
                                                          "Layers Bottom Visible True"}));
  EXPECT_EQ(logic->takeLog(), (std::vector<std::string>{"R2.Selected False"}));
  sim::World empty;
  compare::unselectAll(empty.programs);  // nothing runs: nothing happens
  EXPECT_THROW(compare::attachRunningPads(empty.programs, "PowerPCB.Application"), vb::Error);
}

}  // namespace
