#include "assistant/renumber_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assistant/part_renumbering.h"
#include "sim/design_file_io.h"
#include "support/pads_designs.h"
#include "support/program_fixture.h"
#include "support/scratch_dir.h"
#include "vb/ansi.h"

namespace {

namespace pads = platform::pads;
using assistant::RenumberWindow;
using testing_support::readBytes;
using testing_support::runDesign;

// R4, R7, R9, C5, C8 selected; U3 and R1x not.
const char* const kLogic = R"({"name": "board.sch", "parts": [
    {"name": "R4", "partType": "RES", "selected": true}, {"name": "U3", "partType": "LM358"},
    {"name": "R7", "partType": "RES", "selected": true}, {"name": "R9", "partType": "RES", "selected": true},
    {"name": "C5", "partType": "电容", "selected": true}, {"name": "C8", "partType": "CAP", "selected": true}]})";

std::string gbk(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const auto& l : lines) bytes += vb::utf8ToAnsi(l) + "\r\n";
  return bytes;
}

TEST(NamePrefix, DropsOnlyTrailingDigits) {
  EXPECT_EQ(assistant::namePrefix("R12"), "R");
  EXPECT_EQ(assistant::namePrefix("U1A"), "U1A");
  EXPECT_EQ(assistant::namePrefix("C2_3"), "C2_");
  EXPECT_EQ(assistant::namePrefix("123"), "");
  EXPECT_EQ(assistant::namePrefix("电阻7"), "电阻");
}

class RenumberWindowTest : public testing_support::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    world.desktop.setProgramFolder(dir.path("program"));
    std::filesystem::create_directories(dir.path("program"));
    world.desktop.setToday({2024, 5, 6});
    click(tool().command6);
    w = static_cast<RenumberWindow*>(program->existing(RenumberWindow::kName));
    ASSERT_NE(w, nullptr);
  }
  std::shared_ptr<sim::SimPads> logic(const std::string& json = kLogic) {
    return runDesign(world, dir, pads::kLogicProgId, json);
  }
  std::vector<std::string> names(const std::shared_ptr<sim::SimPads>& app) {
    app->saveDesign(dir.path("saved.json"));
    std::vector<std::string> out;
    for (const auto& p : sim::readDesignFile(dir.path("saved.json")).parts) out.push_back(p.name);
    return out;
  }
  void run(const std::string& prefix, const std::string& start) {
    program->dispatch([&] { w->text1.setText(prefix); });
    program->dispatch([&] { w->text2.setText(start); });
    click(w->command1);
  }
  std::string report() { return readBytes(dir.path("program") + "/temp.txt"); }
  std::string reportPath() { return dir.path("program") + "\\temp.txt"; }

  testing_support::ScratchDir dir{"renumber"};
  RenumberWindow* w = nullptr;
};

TEST_F(RenumberWindowTest, OwnPrefixesRestartTheNumberAndTheReportIsExact) {
  auto app = logic();
  run("", "1");
  EXPECT_EQ(names(app), (std::vector<std::string>{"R1", "U3", "R2", "R3", "C1", "C2"}));
  EXPECT_EQ(report(), gbk({"Part Number Changes for board.sch on 2024-05-06",
                           "R4\tRES\tChanged to: R1",
                           "R7\tRES\tChanged to: R2",
                           "R9\tRES\tChanged to: R3",
                           "C5\t电容\tChanged to: C1",
                           "C8\tCAP\tChanged to: C2",
                           "Total part numbers changed:  5 "}));
  ASSERT_EQ(world.desktop.launches().size(), 1u);
  EXPECT_EQ(world.desktop.launches()[0], (std::vector<std::string>{"notepad", reportPath()}));
  EXPECT_TRUE(messages().empty());
  EXPECT_TRUE(w->visible());
}

TEST_F(RenumberWindowTest, StartBoxAndAGivenPrefix) {
  struct Case {
    std::string prefix, start;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"X", "1", {"X1", "U3", "X2", "X3", "X4", "X5"}},
      {"", "01", {"R01", "U3", "R2", "R3", "C01", "C2"}},  // the start text as typed, then sums
      {"", "5", {"R5", "U3", "R6", "R7", "C5", "C6"}},
      {"", "0", {"R1", "U3", "R2", "R3", "C1", "C2"}},
      {"", "abc", {"R1", "U3", "R2", "R3", "C1", "C2"}},
      {"", "", {"R1", "U3", "R2", "R3", "C1", "C2"}},
  };
  auto app = logic();
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.prefix + "/" + c.start);
    app->openDocument(dir.write("case" + std::to_string(++n) + ".json", kLogic));
    run(c.prefix, c.start);
    EXPECT_EQ(names(app), c.names);
  }
}

TEST_F(RenumberWindowTest, AnAllDigitNameDoesNotRestartTheNextPrefix) {
  auto app = logic(R"({"name": "", "parts": [{"name": "R8", "selected": true}, {"name": "12", "selected": true},
      {"name": "C9", "selected": true}]})");
  run("", "1");
  // "12" has the empty prefix, which restarts the number; after it C9 carries on.
  EXPECT_EQ(names(app), (std::vector<std::string>{"R1", "1", "C2"}));
  EXPECT_EQ(report().substr(0, 36), "Part Number Changes for Untitled on ");
}

TEST_F(RenumberWindowTest, RefusedNamesAreReportedAndUseTheirNumber) {
  // R2 is in use: R7 keeps its name; the parts after it are numbered as without the refusal.
  auto app = logic(R"({"name": "b.sch", "parts": [{"name": "R4", "partType": "RES", "selected": true},
      {"name": "R2", "partType": "RES"}, {"name": "R7", "partType": "RES", "selected": true},
      {"name": "R9", "partType": "RES", "selected": true}]})");
  run("", "1");
  EXPECT_EQ(names(app), (std::vector<std::string>{"R1", "R2", "R7", "R3"}));
  EXPECT_EQ(report(), gbk({"Part Number Changes for b.sch on 2024-05-06", "R4\tRES\tChanged to: R1",
                           "R7\tRES\t ***Not Changed ***  Part Number: R2 Already In Use.", "R9\tRES\tChanged to: R3",
                           "Total part numbers changed:  2 "}));
  EXPECT_EQ(world.desktop.launches().size(), 1u);
}

TEST_F(RenumberWindowTest, EveryNameRefused) {
  auto app = logic();
  world.faults.set(pads::kLogicProgId, "Name");
  run("", "1");
  EXPECT_EQ(messages(), (std::vector<std::string>{" All Part Numbers Are Already In Use."}));
  EXPECT_TRUE(world.desktop.launches().empty());
  const std::string txt = report();
  EXPECT_NE(txt.find("C8\tCAP\t ***Not Changed ***  Part Number: C2 Already In Use.\r\n"), std::string::npos);
  EXPECT_NE(txt.find("Total part numbers changed:  0 \r\n"), std::string::npos);
}

TEST_F(RenumberWindowTest, AFailingPadsStepIsReportedWithItsOwnMessage) {
  auto app = logic();
  world.faults.set(pads::kLogicProgId, "Selected");  // the walk over the parts cannot read a selection
  run("", "1");
  EXPECT_EQ(names(app), (std::vector<std::string>{"R4", "U3", "R7", "R9", "C5", "C8"}));
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0], "重新编号中断: Automation error: Selected failed");
  EXPECT_TRUE(world.desktop.launches().empty());
  // The report is closed without its last line, and the next run replaces it.
  EXPECT_EQ(report(), gbk({"Part Number Changes for board.sch on 2024-05-06"}));
  world.faults.clear();
  run("", "1");
  EXPECT_EQ(report().substr(report().size() - 33), "Total part numbers changed:  5 \r\n");
}

TEST_F(RenumberWindowTest, AReportThatCannotBeCreatedRenamesNothing) {
  auto app = logic();
  world.faults.failWrites(dir.path("program") + "/temp.txt");
  run("", "1");
  EXPECT_EQ(names(app), (std::vector<std::string>{"R4", "U3", "R7", "R9", "C5", "C8"}));
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].rfind("无法创建报告文件 ", 0), 0u) << messages()[0];
  EXPECT_TRUE(world.desktop.launches().empty());
}

TEST_F(RenumberWindowTest, NothingSelectedOrNoPadsLogic) {
  run("", "1");
  logic(R"({"name": "b.sch", "parts": [{"name": "R4"}]})");
  run("", "1");
  EXPECT_EQ(messages(), (std::vector<std::string>{"没有选择元件", "没有选择元件"}));
}

TEST_F(RenumberWindowTest, FilterSelectsByUpperCasedKeyword) {
  auto app = logic(R"({"name": "b.sch", "parts": [{"name": "R1", "selected": false}, {"name": "r10"},
      {"name": "VR1"}, {"name": "R2", "selected": true}, {"name": "C1R"}]})");
  world.user.answerInput("r1");
  click(w->command2);
  EXPECT_EQ(messages().back(), "     Okay!");
  app->saveDesign(dir.path("saved.json"));
  std::vector<std::string> selected;
  for (const auto& p : sim::readDesignFile(dir.path("saved.json")).parts)
    if (p.selected) selected.push_back(p.name);
  EXPECT_EQ(selected, (std::vector<std::string>{"R1", "r10", "VR1"}));

  app->takeLog();
  world.user.answerInput("");
  click(w->command2);
  EXPECT_TRUE(app->takeLog().empty());

  world.user.answerInput("[R");
  click(w->command2);
  EXPECT_EQ(messages().back(), "筛选关键字不是有效的匹配式: [R");
}

}  // namespace
