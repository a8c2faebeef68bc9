// The session player: its word syntax, its printed lines and how a failing step stops the run.
#include "app/session.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "support/scratch_dir.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ScratchDir;

TEST(SessionWords, BlanksQuotesAndEscapes) {
  struct Case {
    std::string line;
    std::vector<std::string> words;
  };
  const Case cases[] = {
      {"click Tool.Command1", {"click", "Tool.Command1"}},
      {"  type   设置.Text1 \"\"  ", {"type", "设置.Text1", ""}},
      {R"(expect message "a b\nc \"q\" \\")", {"expect", "message", "a b\nc \"q\" \\"}},
      {"expect text Tool.Command4 \"Protel Ref\"", {"expect", "text", "Tool.Command4", "Protel Ref"}},
      {"tick\t3", {"tick", "3"}},
  };
  for (const Case& c : cases) EXPECT_EQ(app::sessionWords(c.line), c.words) << c.line;
  for (const char* bad : {"say \"open", "say \"a\\x\"", "say \"a\"b"})
    EXPECT_THROW(app::sessionWords(bad), std::runtime_error) << bad;
}

class SessionRun : public ::testing::Test {
 protected:
  int play(const std::string& text, std::optional<std::string> outDir = std::nullopt) {
    std::string path = dir.write("s.session", text);
    out.str("");
    err.str("");
    return app::playSession(path, outDir, out, err);
  }
  ScratchDir dir{"session"};
  std::ostringstream out, err;
};

TEST_F(SessionRun, PrintsEveryMessageBoxAndChecksExpectations) {
  EXPECT_EQ(play("# a comment\n\nclick Tool.Command1\nexpect message 请选择对应软件\nexpect window Tool * * visible\n"
                 "expect window BOM_View * * hidden\n"),
            0)
      << err.str();
  EXPECT_EQ(out.str(), "message Velmora: 请选择对应软件\n");
}

TEST_F(SessionRun, AFailingStepStopsTheRunWithItsLine) {
  struct Case {
    std::string text;
    std::string error;
  };
  const Case cases[] = {
      {"click Tool.Command1\nexpect message other\n",
       "s.session:2: error: expected the message \"other\", but it was \"请选择对应软件\""},
      {"jump Tool\n", "s.session:1: error: unknown step \"jump\""},
      {"click Nowhere.Command1\n", "s.session:1: error: no window named \"Nowhere\""},
      {"click BOM_View.Command1\n", "s.session:1: error: window \"BOM_View\" does not exist yet"},
      {"pick Tool.Combo1 Eagle\n", "s.session:1: error: Tool.Combo1 has no entry \"Eagle\""},
      {"tick x\n", "s.session:1: error: N must be a whole number, not \"x\""},
      {"close Tool\nexpect ended\nclick Tool.Command1\n",
       "s.session:3: error: the program has ended; only expect and save may follow"},
      {"spreadsheet start Excel.Application\npick Tool.Combo1 Protel99se\nclick Tool.Command1\n",
       "s.session:3: error: no answer for the file dialog \"请选择由Protel99se产生的net文件\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(play(c.text), 1);
    std::string e = err.str();
    ASSERT_FALSE(e.empty());
    EXPECT_EQ(e.substr(e.find("s.session:")), c.error + "\n");
  }
}

TEST_F(SessionRun, SavesTheOpenWorkbooksAndPlaysRelativePaths) {
  dir.write("one.net", "[\r\nR1\r\nR0603\r\n10K\r\n");
  std::string session =
      "spreadsheet start Excel.Application\n"
      "pick Tool.Combo1 Protel99se\n"
      "answer file one.net\n"
      "answer input \"\"\n"
      "click Tool.Command1\n"
      "save saved\n";
  EXPECT_EQ(play(session, dir.path("out")), 0) << err.str();
  EXPECT_TRUE(fs::exists(dir / "saved" / "Book1.xlsx"));
  EXPECT_TRUE(fs::exists(dir / "out" / "Book1.xlsx"));
  EXPECT_NE(out.str().find("dialog 请选择由Protel99se产生的net文件 (文件类型(*.net)|*.net)\n"), std::string::npos);
}

}  // namespace
