// "Decal": the macro file, the sample checks and the pass over the PADS Logic design.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "assistant_fixture.h"

namespace {

namespace pads = platform::pads;
using testing_support::AssistantTest;

class DecalMacroTest : public AssistantTest {
 protected:
  // A Logic design in the scratch folder; `parts` is the JSON list of its parts.
  std::shared_ptr<sim::SimPads> logic(const std::string& parts) {
    const std::string json =
        R"({"name": "a.sch", "defaultFilePath": ")" + dir.dir().generic_string() + R"(", "parts": [)" + parts + "]}";
    // A later design replaces the first in the same running program.
    if (logic_) {
      logic_->openDocument(dir.write("design" + std::to_string(++designs_) + ".json", json));
      logic_->takeLog();
    } else {
      logic_ = run(pads::kLogicProgId, json);
    }
    software("Logic");
    return logic_;
  }
  void reassign(const std::string& answer) {
    world.user.answerInput(answer);
    click(w->command9);
  }
  std::string macroPath() const { return dir.dir().generic_string() + "\\temp.mcr"; }
  // The RunMacro calls of the log, each followed by the macro text the stand-in read.
  static std::vector<std::string> macroCalls(sim::SimPads& p) {
    std::vector<std::string> calls;
    for (const std::string& line : p.takeLog())
      if (line.rfind("RunMacro", 0) == 0) calls.push_back(line);
    return calls;
  }

 private:
  std::shared_ptr<sim::SimPads> logic_;
  int designs_ = 0;
};

const char* const kParts = R"(
    {"name": "R1", "pcbDecal": "R0603", "attributes": {"Value": "10K"}, "selected": true},
    {"name": "R2", "pcbDecal": "R0603", "attributes": {"Value": "10k"}},
    {"name": "R3", "pcbDecal": "R0603"},
    {"name": "R4", "pcbDecal": "R0805", "attributes": {"Value": "10K"}},
    {"name": "R5", "pcbDecal": "R0603", "attributes": {"Value": "10K"}},
    {"name": "R6", "pcbDecal": "R0603", "attributes": {"Value": "Nothing"}})";

TEST_F(DecalMacroTest, RunsTheMacroOnEveryPartLikeTheSample) {
  auto p = logic(kParts);
  dir.write("temp.mcr", "old macro\r\n");
  reassign("R\"0805");
  const std::string text =
      "Application.ExecuteCommand(\"Properties\")\\r\\n"
      "DlgQueryPart.PCBDecals.Click()\\r\\n"
      "DlgQueryPartDecals.PCBDecal = \"R\"\"0805\"\\r\\n"
      "DlgQueryPartDecals.Ok.Click()\\r\\n"
      "DlgQueryPart.Close.Click()\\r\\n";
  const std::string run = "RunMacro " + macroPath() + " MACRO1";
  EXPECT_EQ(macroCalls(*p), (std::vector<std::string>{run, "RunMacro.Text " + text, run, "RunMacro.Text " + text}));
  EXPECT_EQ(w->list3.items(), (std::vector<std::string>{"R1", "R5"}));
  EXPECT_EQ(w->text1.text(), "2");
  EXPECT_EQ(world.desktop.sleeps(), (std::vector<int>{500, 500, 500, 500}));
  EXPECT_FALSE(std::filesystem::exists(dir / "temp.mcr"));
  EXPECT_EQ(shown(), (std::vector<std::string>{"     Okay!"}));
  EXPECT_EQ(world.user.inputs().back().prompt, "指定元件封装:\n设计中必须要有此封装。");
}

TEST_F(DecalMacroTest, ASampleWithoutValueMatchesOnlyPartsWithoutOne) {
  auto p = logic(R"({"name": "C1", "pcbDecal": "C0402", "selected": true},
                   {"name": "C2", "pcbDecal": "C0402", "attributes": {"Value": "Nothing"}},
                   {"name": "C3", "pcbDecal": "C0402"})");
  reassign(" ");
  EXPECT_EQ(w->list3.items(), (std::vector<std::string>{"C1", "C3"}));
}

TEST_F(DecalMacroTest, TheSampleChecksProcessNothing) {
  struct Case {
    const char* parts;
    const char* message;
  };
  const Case cases[] = {
      {R"({"name": "R1", "pcbDecal": "R0603"})", "没有选择元件"},
      {R"({"name": "R1", "pcbDecal": "R0603", "selected": true},
          {"name": "R2", "pcbDecal": "R0603", "selected": true})", "请选择一个取样元件"},
  };
  for (const Case& c : cases) {
    auto p = logic(c.parts);
    forget();
    w->list3.addItem("old");
    reassign("R0805");
    ASSERT_EQ(shown(), (std::vector<std::string>{c.message}));
    EXPECT_EQ(world.user.messages().back().title, "Velmorakit");
    EXPECT_TRUE(macroCalls(*p).empty());
    EXPECT_EQ(w->list3.listCount(), 0);
    EXPECT_TRUE(std::filesystem::exists(dir / "temp.mcr"));
  }
}

TEST_F(DecalMacroTest, PadsLogicNotRunningOrAnUnusableAnswer) {
  reassign("R0805");
  EXPECT_EQ(shown(), (std::vector<std::string>{"没有选择元件"}));

  auto p = logic(kParts);
  w->text1.setText("9");
  for (const char* answer : {"", "R08\n05", "R08\t05"}) {
    forget();
    reassign(answer);
    EXPECT_EQ(shown().size(), *answer ? 1u : 0u) << answer;
    EXPECT_EQ(w->text1.text(), "");
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "temp.mcr"));
  EXPECT_TRUE(macroCalls(*p).empty());
}

TEST_F(DecalMacroTest, AFailedWriteOrRunLeavesItsPartsUnprocessed) {
  auto p = logic(kParts);
  world.faults.failWrites((dir / "temp.mcr").string());
  reassign("R0805");
  EXPECT_EQ(shown(), (std::vector<std::string>{"无法写入宏文件 " + macroPath()}));
  EXPECT_TRUE(macroCalls(*p).empty());
  EXPECT_EQ(w->list3.listCount(), 0);

  // A sample that cannot be read would match the wrong parts.
  world.faults.clear();
  world.faults.set(pads::kLogicProgId, "PCBDecal", 1);
  forget();
  reassign("R0805");
  EXPECT_EQ(shown(), (std::vector<std::string>{"无法读取取样元件"}));
  EXPECT_TRUE(macroCalls(*p).empty());

  world.faults.set(pads::kLogicProgId, "RunMacro", 1);
  forget();
  reassign("R0805");
  EXPECT_EQ(w->list3.items(), (std::vector<std::string>{"R5"}));
  EXPECT_EQ(w->text1.text(), "1");
  EXPECT_EQ(shown(), (std::vector<std::string>{"     Okay!"}));
}

}  // namespace
