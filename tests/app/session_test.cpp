// The session player: its word syntax, its printed lines and how a failing step stops the run.
#include "app/session.h"

#include <gtest/gtest.h>

#include <algorithm>
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

TEST_F(SessionRun, ALineOfBlanksAndControlCharactersIsABlankLine) {
  // A line of carriage returns alone crashed the player (a step without words).
  EXPECT_EQ(play("\r\r\n \t\r \n\x01\x1F\x7F\n\r\r\r\r\nclick Tool.Command1\r\n\r\rexpect message 请选择对应软件\n"), 0)
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

TEST_F(SessionRun, EveryVerbPlaysItsStep) {
  const std::string examples = std::string(VELMORA_SOURCE_DIR) + "/examples/";
  const std::string session =
      "screen 1280 1024\ncursor 5 5\ndate 2024-02-29\nfolder reports\ntick\ntick 2\n"
      "move Tool 1200 900\nexpect window Tool 1200 900 visible\n"
      "minimize Tool\nexpect window Tool * * minimized\nrestore Tool\nexpect window Tool 1200 900 visible\n"
      // A double click fires the click first: Command8 opens the settings window.
      "dblclick Tool.Command8\nexpect window 设置 * * visible\n"
      "type 设置.Text1 \"a b\"\nexpect text 设置.Text1 \"a b\"\n"
      "select 设置.Combo3 1\nexpect text 设置.Combo3 是\npick 设置.Combo3 否\nexpect text 设置.Combo3 否\n"
      "expect count 设置.Combo3 2\nexpect row 设置.Combo3 1 是\nexpect enabled 设置.Combo3 yes\n"
      "expect place 设置.Combo3 1380 1000\nexpect place 设置.Combo3 * 1000 1335 *\n"
      "expect backcolor 设置.Text1 16777215\n"
      "focus 设置.Combo1\nkey 设置.Combo1 13\nexpect window 设置 * * hidden\n"
      "fault spreadsheet Open\nfault clear\n"
      "spreadsheet start Excel.Application\nexpect spreadsheet visible\n"
      "spreadsheet open " + examples + "demo_altium_bom.xlsx\nspreadsheet activate BOM\n"
      "pads start PowerLogic.Application " + examples + "demo_logic.sch\npads log PowerLogic.Application\n"
      "fault pads PowerLogic.Application add\nfault pads PowerLogic.Application RunMacro 1\n"
      "pads save PowerLogic.Application design.sch\n"
      "answer yes\nanswer no\nanswer input cancel\nanswer file cancel\n"
      "close Tool\nexpect ended\nsave saved\n";
  EXPECT_EQ(play(session), 0) << err.str();
  EXPECT_TRUE(fs::exists(dir / "design.sch"));
  EXPECT_TRUE(fs::exists(dir / "saved" / "demo_altium_bom.xlsx"));
}

TEST_F(SessionRun, AStepOfTheWrongShapeIsRefused) {
  const std::string answer = "usage: answer yes | answer no | answer input TEXT|cancel | answer file PATH|cancel";
  struct Case {
    std::string text;  // the last line fails
    std::string error;
  };
  const Case cases[] = {
      {"screen 1\n", "usage: screen W H"},
      {"cursor 1 2 3\n", "usage: cursor X Y"},
      {"date\n", "usage: date YYYY-MM-DD"},
      {"folder\n", "usage: folder DIR"},
      {"save a b\n", "usage: save DIR"},
      {"tick 1 2\n", "usage: tick [N]"},
      {"close\n", "usage: close W"},
      {"move Tool 1\n", "usage: move W LEFT TOP"},
      {"minimize\n", "usage: minimize W / restore W"},
      {"restore Tool x\n", "usage: minimize W / restore W"},
      // The count is checked before the control is looked up.
      {"type Nowhere.Text1\n", "usage: type W.C TEXT"},
      {"pick Tool.Combo1\n", "usage: pick W.C TEXT"},
      {"click\n", "usage: click W.C"},
      {"dblclick Tool.Command1 x\n", "usage: click W.C"},
      {"key Tool.Combo1\n", "usage: key W.C CODE"},
      {"focus\n", "usage: focus W.C"},
      {"select Tool.Combo1\n", "usage: select W.C N [N ...]"},
      {"jump Tool\n", "unknown step \"jump\""},
      {"\"\"\n", "unknown step \"\""},
      {"\"spreadsheet start\" Excel.Application\n", "unknown step \"spreadsheet start\""},

      {"spreadsheet\n", "usage: spreadsheet start PROGID | open FILE | activate SHEET"},
      {"spreadsheet start\n", "usage: spreadsheet start PROGID"},
      {"spreadsheet open a b\n", "usage: spreadsheet open FILE"},
      {"spreadsheet activate\n", "usage: spreadsheet activate SHEET"},
      {"spreadsheet stop\n", "unknown step \"spreadsheet stop\""},
      {"spreadsheet \"\"\n", "unknown step \"spreadsheet \""},
      {"pads start\n", "usage: pads start PROGID [FILE] | save PROGID FILE | log PROGID"},
      {"pads stop x\n", "unknown step \"pads stop\""},
      {"pads start PowerLogic.Application a b\n", "usage: pads start PROGID [FILE]"},
      {"pads save PowerLogic.Application\n", "usage: pads save PROGID FILE"},
      {"pads log PowerLogic.Application x\n", "usage: pads log PROGID"},
      {"fault\n",
       "usage: fault write PATH | pads PROGID add | pads PROGID MEMBER [N] | spreadsheet MEMBER [N] | clear"},
      {"fault clear x\n", "usage: fault clear"},
      {"fault write\n", "usage: fault write PATH"},
      {"fault pads PowerLogic.Application\n", "usage: fault pads PROGID add | fault pads PROGID MEMBER [N]"},
      {"fault spreadsheet\n", "usage: fault spreadsheet MEMBER [N]"},
      {"fault slow\n", "unknown step \"fault slow\""},
      {"fault spreadsheet Open 1\nspreadsheet start Excel.Application\nspreadsheet open book.xlsx\n",
       "cannot open book.xlsx: Open failed"},

      // Every form of answer that does not fit is told all of them.
      {"answer\n", answer},
      {"answer maybe\n", answer},
      {"answer yes please\n", answer},
      {"answer input\n", answer},
      {"answer file a b\n", answer},

      {"expect\n", "usage: expect message|ended|window|text|count|row|checked|enabled|place|spreadsheet|backcolor ..."},
      {"expect message\n", "usage: expect message TEXT"},
      {"expect ended now\n", "usage: expect ended"},
      {"expect window Tool\n", "usage: expect window W LEFT TOP STATE"},
      {"expect spreadsheet\n", "usage: expect spreadsheet STATE"},
      // A check on a control looks the control up first, then the check's name and count.
      {"expect text\n", "usage: expect text W.C ..."},
      {"expect colour\n", "usage: expect colour W.C ..."},
      {"expect colour Nowhere.Text1\n", "no window named \"Nowhere\""},
      {"expect colour Tool.Combo1\n", "unknown step \"expect colour\""},
      {"expect text Nowhere.Text1\n", "no window named \"Nowhere\""},
      {"expect text Tool.Combo1\n", "usage: expect text W.C TEXT"},
      {"expect count Tool.Combo1\n", "usage: expect count W.C N"},
      {"expect row Tool.Combo1 1\n", "usage: expect row W.C N TEXT"},
      {"expect checked Tool.Combo1\n", "usage: expect checked|enabled W.C yes|no"},
      {"expect enabled Tool.Combo1 yes no\n", "usage: expect checked|enabled W.C yes|no"},
      {"expect checked Tool.Combo1 maybe\n", "expected yes or no"},
      {"expect checked Tool.Combo1 yes\n", "Tool.Combo1 is no check box"},
      {"expect place Tool.Combo1 1\n", "usage: expect place W.C LEFT TOP [WIDTH HEIGHT]"},
      {"expect place Tool.Combo1 1 2 3\n", "usage: expect place W.C LEFT TOP [WIDTH HEIGHT]"},
      {"expect place Tool.Combo1 1 2 3 4 5\n", "usage: expect place W.C LEFT TOP [WIDTH HEIGHT]"},
      {"expect backcolor Tool.Combo1\n", "usage: expect backcolor W.C NUMBER"},

      // Once the program has ended only expect and save are played, whatever the step.
      {"close Tool\nscreen 1\n", "the program has ended; only expect and save may follow"},
      {"close Tool\njump\n", "the program has ended; only expect and save may follow"},
      {"close Tool\nanswer\n", "the program has ended; only expect and save may follow"},
      {"close Tool\nexpect\n",
       "usage: expect message|ended|window|text|count|row|checked|enabled|place|spreadsheet|backcolor ..."},
      {"close Tool\nsave\n", "usage: save DIR"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(play(c.text), 1);
    const std::string e = err.str();
    const size_t lines = static_cast<size_t>(std::count(c.text.begin(), c.text.end(), '\n'));
    ASSERT_NE(e.find("s.session:"), std::string::npos) << e;
    EXPECT_EQ(e.substr(e.find("s.session:")), "s.session:" + std::to_string(lines) + ": error: " + c.error + "\n");
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
