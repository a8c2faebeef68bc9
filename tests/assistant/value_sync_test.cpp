// "修改" and "同步" of the design assistant.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assistant_fixture.h"

namespace {

namespace pads = platform::pads;
using testing_support::AssistantTest;

const char* const kLayout = R"({"name": "a.pcb", "parts": [
    {"name": "R1", "decal": "R0402", "attributes": {"Value": "10k"}},
    {"name": "R2", "decal": "R0402"},
    {"name": "R3", "decal": "R0402", "attributes": {"Value": "1/ /2"}},
    {"name": "R9", "decal": "R0402", "attributes": {"Value": "47K"}}]})";
const char* const kLogic = R"({"name": "a.sch", "parts": [
    {"name": "R1", "pcbDecal": "R0402", "attributes": {"Value": "10K"}},
    {"name": "R2", "pcbDecal": "R0402", "attributes": {"Value": "22K"}},
    {"name": "R3", "pcbDecal": "R0402", "attributes": {"Value": "3K"}},
    {"name": "R10", "pcbDecal": "R0402", "attributes": {"Value": "1K"}}]})";

class ValueSyncTest : public AssistantTest {
 protected:
  void sync(bool yes) {
    yes ? world.user.answerYes() : world.user.answerNo();
    click(w->command6);
  }
};

TEST_F(ValueSyncTest, ValueEditNamesTheMissingProgram) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"Layout", "请打开Layout软件"}, {"Logic", "请打开Logic软件"}, {"Router", "请选择对应软件"}};
  for (const auto& [box, message] : cases) {
    w->combo2.setText(box);
    forget();
    click(w->command2);
    EXPECT_EQ(shown(), (std::vector<std::string>{message})) << box;
  }
}

// Only parts whose new value was added are counted; the old value of a refused write is
// put back; the work list stays as it was.
TEST_F(ValueSyncTest, ValueEditCountsOnlyTheWrittenParts) {
  auto logic = run(pads::kLogicProgId, kLogic);
  software("Logic");
  for (const char* row : {"R1", "R9", "R2"}) w->list3.addItem(row);
  w->text4.setText("10K");
  world.faults.refuseChangedAdds(pads::kLogicProgId);
  click(w->command2);
  EXPECT_EQ(shown(), (std::vector<std::string>{"1个元件属性修改为10K"}));
  EXPECT_EQ(value(*logic, "R1"), "10K");
  EXPECT_EQ(value(*logic, "R2"), "22K");
  EXPECT_EQ(w->list3.items(), (std::vector<std::string>{"R1", "R9", "R2"}));

  world.faults.clear();
  forget();
  w->text4.setText("");
  click(w->command2);
  EXPECT_EQ(shown(), (std::vector<std::string>{"2个元件属性修改为"}));
  EXPECT_EQ(value(*logic, "R2"), "");
}

TEST_F(ValueSyncTest, SyncWritesNamesakesAndListsTheUnmatchedOfBothSides) {
  run(pads::kLayoutProgId, kLayout);
  auto logic = run(pads::kLogicProgId, kLogic);
  logic->setVisible(true);
  logic->takeLog();
  software("Layout");
  w->text4.setText("old");
  sync(true);
  EXPECT_EQ(shown(), (std::vector<std::string>{"是否将PCB中元件参数同步到SCH中？", "同步了3个元件属性"}));
  EXPECT_EQ(value(*logic, "R1"), "10k");
  EXPECT_EQ(value(*logic, "R2"), "");
  EXPECT_EQ(value(*logic, "R3"), "1/ /2");
  EXPECT_EQ(w->list3.items(), (std::vector<std::string>{"R9/ /47K"}));
  EXPECT_EQ(w->text1.text(), "1");
  EXPECT_EQ(w->list1.items(), (std::vector<std::string>{"R10"}));
  EXPECT_EQ(w->listMode, "ok");
  EXPECT_EQ(w->text4.text(), "");
  std::vector<std::string> log = logic->takeLog();
  EXPECT_EQ(log.front(), "Visible False");
  EXPECT_EQ(log.back(), "Visible True");
  EXPECT_TRUE(logic->visible());
}

// The target is shown again however the command ends: nothing listed, or an error after
// the writing.
TEST_F(ValueSyncTest, SyncShowsTheTargetAgainOnEveryWayOut) {
  auto layout = run(pads::kLayoutProgId, R"({"name": "empty.pcb"})");
  auto logic = run(pads::kLogicProgId, kLogic);
  logic->setVisible(true);
  software("Layout");
  sync(true);
  EXPECT_EQ(shown().size(), 1u);  // the question alone
  EXPECT_TRUE(logic->visible());
  EXPECT_EQ(logic->activeDocument().getParts("", true).size(), 4u);

  layout->openDocument(dir.write("b.json", kLayout));
  world.faults.set(pads::kLogicProgId, "GetObjects", 1);
  forget();
  sync(true);
  ASSERT_EQ(shown().size(), 2u);  // the question, then the error
  EXPECT_EQ(world.user.messages().back().title, "Velmora");
  EXPECT_TRUE(logic->visible());

  forget();
  sync(false);
  EXPECT_EQ(shown().size(), 1u);
  EXPECT_EQ(w->list3.listCount(), 0);
  EXPECT_EQ(value(*logic, "R1"), "10k");
}

// Rows the target did not take stay in the work list, uncounted; a refused part still
// had a namesake, so it is not listed as unmatched.
TEST_F(ValueSyncTest, RowsTheTargetDidNotTakeStay) {
  run(pads::kLayoutProgId, kLayout);
  software("Layout");
  sync(true);
  ASSERT_EQ(shown().size(), 2u);  // the question, then the error of the missing target
  EXPECT_EQ(w->list3.listCount(), 4);

  auto logic = run(pads::kLogicProgId, kLogic);
  world.faults.refuseChangedAdds(pads::kLogicProgId);
  forget();
  sync(true);
  EXPECT_EQ(shown().back(), "同步了0个元件属性");
  EXPECT_EQ(w->list3.listCount(), 4);
  EXPECT_EQ(w->text1.text(), "4");
  EXPECT_EQ(w->list1.items(), (std::vector<std::string>{"R10"}));
  EXPECT_EQ(value(*logic, "R2"), "22K");
}

}  // namespace
