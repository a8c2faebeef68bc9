#include "assistant/decal_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/pads_designs.h"
#include "support/program_fixture.h"
#include "support/scratch_dir.h"

namespace {

namespace pads = platform::pads;
using assistant::DecalWindow;
using testing_support::runDesign;

constexpr long kLightYellow = 8454143;
constexpr long kRed = 255;

const char* const kLayout = R"({"name": "a.pcb", "parts": [
    {"name": "R1", "decal": "R0402", "layer": 1, "attributes": {"Value": "10k"}},
    {"name": "R2", "decal": "R0402", "layer": 2, "attributes": {"Value": "1  K"}},
    {"name": "C1", "decal": "C0603", "layer": 1},
    {"name": "Q1", "decal": "SOT23", "layer": 1, "attributes": {"Value": "nothing"}},
    {"name": "Q2", "decal": "sot23", "layer": 1, "attributes": {"Value": "BC847"}}]})";
const char* const kLogic = R"({"name": "a.sch", "parts": [
    {"name": "R1", "pcbDecal": "R0402", "attributes": {"Value": "10K"}, "gates": [{"name": "A", "sheet": "S1"}]},
    {"name": "R2", "pcbDecal": "R0402", "attributes": {"Value": "1  K"}, "gates": [{"name": "A", "sheet": "S1"}]},
    {"name": "C1", "pcbDecal": "C0603", "gates": [{"name": "A", "sheet": "S1"}]}]})";

class DecalWindowTest : public testing_support::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    click(tool().helper);
    w = static_cast<DecalWindow*>(program->existing(DecalWindow::kName));
    ASSERT_NE(w, nullptr);
  }
  std::shared_ptr<sim::SimPads> layout() { return runDesign(world, dir, pads::kLayoutProgId, kLayout); }
  std::shared_ptr<sim::SimPads> logic() { return runDesign(world, dir, pads::kLogicProgId, kLogic); }
  void select(ui::ListBox& list, std::vector<int> rows) {
    program->dispatch([&] { list.userSelect(rows); });
  }
  void enter() {
    program->dispatch([&] {
      int key = 13;
      w->text3.onKeyDown(key, 0);
    });
  }
  void filter(const std::string& keyword) {
    world.user.answerInput(keyword);
    click(w->command3);
  }
  void software(const std::string& text) { pick(w->combo2, text); }

  testing_support::ScratchDir dir{"decal"};
  DecalWindow* w = nullptr;
};

TEST_F(DecalWindowTest, LoadListsEveryDecalOnceAndCountsTheParts) {
  click(w->command1);
  EXPECT_EQ(messages(), (std::vector<std::string>{"请选择对应软件"}));
  EXPECT_EQ(w->list4.listCount(), 0);

  layout();
  software("Layout");
  click(w->command1);
  // Case counts: SOT23 and sot23 are two decals.
  EXPECT_EQ(w->list4.items(), (std::vector<std::string>{"C0603", "R0402", "SOT23", "sot23"}));
  EXPECT_EQ(w->text1.text(), "5");

  runDesign(world, dir, pads::kLogicProgId, R"({"name": "empty.sch"})");
  software("Logic");
  click(w->command1);
  EXPECT_EQ(w->list4.listCount(), 0);
  EXPECT_EQ(w->text1.text(), "0");
}

TEST_F(DecalWindowTest, WorkListButtonsCopyAndRemoveTheSelectedRows) {
  click(w->command4);
  EXPECT_EQ(messages().back(), "     没有元件.");
  layout();
  software("Layout");
  filter("");
  ASSERT_EQ(w->list1.listCount(), 5);
  w->text1.setText("7");
  for (int i = 0; i < 5; ++i) w->list1.setSelected(i, false);
  click(w->command4);
  EXPECT_EQ(messages().back(), "  没有选择元件.");
  EXPECT_EQ(w->text1.text(), "7");
  w->list1.setSelected(1, true);
  w->list1.setSelected(4, true);
  click(w->command4);
  EXPECT_EQ(w->list3.items(), (std::vector<std::string>{"R2", "Q2"}));
  EXPECT_EQ(w->text1.text(), "2");

  size_t shown = messages().size();
  click(w->command8);
  EXPECT_EQ(messages().back(), "  没有选择元件.");
  EXPECT_EQ(w->text1.text(), "2");
  w->list3.setSelected(0, true);
  w->list3.setSelected(1, true);
  click(w->command8);
  EXPECT_EQ(w->list3.listCount(), 0);
  EXPECT_EQ(w->text1.text(), "0");
  EXPECT_EQ(messages().size(), shown + 1);
}

// A keyword that is no valid pattern ends the Filter with a message of its own, the lists
// and the selection already cleared; a keyword's wildcards act as a pattern.
TEST_F(DecalWindowTest, FilterRefusesAnInvalidPatternAndMatchesWildcards) {
  auto app = layout();
  software("Layout");
  filter("q");
  ASSERT_EQ(w->list1.listCount(), 2);
  filter("R[");
  EXPECT_EQ(messages().back(), "筛选关键字不是有效的匹配式: R[");
  EXPECT_EQ(w->list1.listCount(), 0);
  EXPECT_EQ(w->list2.listCount(), 0);
  EXPECT_EQ(app->takeLog().back(), "SelectObjects , , False");
  filter("r#");
  EXPECT_EQ(w->list1.items(), (std::vector<std::string>{"R1", "R2"}));
  // A placeholder and the word "nothing" are different keys.
  filter("");
  EXPECT_EQ(w->list2.items(), (std::vector<std::string>{"1  K", "10K", "BC847", "NOTHING", "Nothing"}));
}

// "Nothing" selects the listed parts without a value and passes over names the design
// lacks (listed from PADS Layout, clicked in PADS Logic), as a real value does.
TEST_F(DecalWindowTest, ValueClickPassesOverNamesTheDesignLacks) {
  layout();
  auto schematic = logic();
  software("Layout");
  filter("");
  software("Logic");
  for (const std::string value : {"Nothing", "BC847", "10K"}) {
    SCOPED_TRACE(value);
    select(w->list2, {w->list2.find(value)});
    const std::vector<std::string> expected =
        value == "Nothing" ? std::vector<std::string>{"C1"}
                           : value == "10K" ? std::vector<std::string>{"R1"} : std::vector<std::string>{};
    EXPECT_EQ(w->list3.items(), expected);
    EXPECT_EQ(w->text4.text(), value);
  }
  for (const std::string& m : messages()) EXPECT_EQ(m.find("运行时错误"), std::string::npos) << m;
}

// Listed from PADS Layout, clicked in PADS Logic: the message names the other program,
// and nothing is shown or handed over.
TEST_F(DecalWindowTest, PartClickOfAMissingPartNamesTheOtherProgram) {
  layout();
  auto schematic = logic();
  software("Layout");
  filter("");
  software("Logic");
  schematic->takeLog();
  select(w->list1, {w->list1.find("Q1")});
  ASSERT_FALSE(messages().empty());
  EXPECT_EQ(messages().back(), "请选择Layout软件");
  EXPECT_EQ(w->detail.caption(), "");
  EXPECT_EQ(schematic->takeLog(), (std::vector<std::string>{"SelectObjects , , False"}));
}

// The search: a program that does not run ends it with a message, the lists emptied and
// the search box keeping its text; software texts that match no row do nothing more.
TEST_F(DecalWindowTest, SearchWithoutItsProgramOrWithoutARow) {
  w->list4.addItem("X");
  struct Case {
    const char* software;
    const char* message;  // nullptr: none
  } cases[] = {{"Layout", "请打开Layout软件"}, {"Logic", "请打开Logic软件"}, {"Router", nullptr}, {"", nullptr}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.software);
    size_t shown = messages().size();
    type(w->combo2, c.software);
    w->text3.setText("R1");
    enter();
    EXPECT_EQ(w->list4.listCount(), 0);
    if (c.message) {
      ASSERT_EQ(messages().size(), shown + 1);
      EXPECT_EQ(messages().back(), c.message);
      EXPECT_EQ(w->text3.text(), "R1");
    } else {
      EXPECT_EQ(messages().size(), shown);
    }
  }
  // No row: the box keeps its text; both programs searched: it is emptied.
  type(w->combo2, "Router");
  w->text3.setText("R1");
  enter();
  EXPECT_EQ(w->text3.text(), "R1");
  type(w->combo2, "");
  enter();
  EXPECT_EQ(w->text3.text(), "");
}

// The cross-probe colours: equal values, a value with two blanks (field 2 holds only its
// first half), a detail line of fewer than three fields, and a software box naming
// neither program (the colour stays).
TEST_F(DecalWindowTest, CrossProbeColours) {
  layout();
  logic();
  software("Layout");
  click(w->check1);
  filter("");
  struct Case {
    const char* part;
    long colour;
  } cases[] = {{"R1", ui::kColorWindow}, {"R2", kRed}, {"Q1", kLightYellow}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.part);
    select(w->list1, {w->list1.find(c.part)});
    EXPECT_EQ(w->text3.text(), c.part);
    EXPECT_EQ(w->text3.backColor(), c.colour);
  }
  w->detail.setCaption("GND  12");
  w->text3.setText("C1");
  EXPECT_EQ(w->text3.backColor(), ui::kColorWindow);
  w->text3.setBackColor(kRed);
  type(w->combo2, "选择软件");
  w->text3.setText("R1");
  EXPECT_EQ(w->text3.backColor(), kRed);
}

TEST_F(DecalWindowTest, SoftwareBoxSwitchesTheButtonsOnlyWhenPicked) {
  software("Logic");
  EXPECT_TRUE(w->command9.enabled());
  EXPECT_FALSE(w->command7.enabled());
  type(w->combo2, "Layout");
  EXPECT_TRUE(w->command9.enabled());
  software("");
  EXPECT_FALSE(w->command9.enabled());
  EXPECT_FALSE(w->command7.enabled());
  program->dispatch([&] { w->queryClose(); });
  EXPECT_FALSE(w->visible());
  EXPECT_TRUE(tool().visible());
}

}  // namespace
