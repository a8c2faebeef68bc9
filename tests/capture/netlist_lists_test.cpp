// "Create" from the netlist and component files of other design tools: the reading
// rules, the dialog texts, the part list on sheet 2 and the counts handed on.
#include <gtest/gtest.h>

#include "capture/netlist_readers.h"
#include "support/program_fixture.h"
#include "support/scratch_dir.h"
#include "vb/ansi.h"
#include "vb/convert.h"
#include "vb/error.h"
#include "vb/text.h"

namespace {

using testing_support::ProgramTest;
using testing_support::ScratchDir;
namespace xl = platform::xl;

std::string fixture(const std::string& name) {
  return std::string(VELMORA_SOURCE_DIR) + "/tests/capture/fixtures/" + name;
}

class NetlistTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    world.programs.runSpreadsheet("Excel.Application")->setVisible(true);
  }
  // Runs "Create" for the source with the file chosen and no board prefix.
  void create(const std::string& source, const std::string& path, const std::string& prefix = "") {
    type(tool().combo1, source);
    world.user.answerFile(path);
    world.user.answerInput(prefix);
    click(tool().command1);
  }
  std::shared_ptr<sim::SimSpreadsheet> excel() { return world.programs.spreadsheet("Excel.Application"); }
  xl::SheetPtr listSheet() { return excel()->activeWorkbook()->sheet(2); }
  // Row r of the part list as texts of its five cells.
  std::vector<std::string> row(long r) {
    std::vector<std::string> out;
    for (long c = 1; c <= 5; ++c) out.push_back(vb::toText(listSheet()->get(r, c)));
    return out;
  }

  ScratchDir dir{"netlist"};
};

// A netlist in UTF-8 (with or without a mark) or UTF-16 lists every component with its
// texts; a UTF-8 mark once hid the first component, and UTF-16 gave an empty list.
TEST_F(NetlistTest, NetlistsInOtherEncodingsListEveryComponent) {
  const std::string body = "[\r\nR1\r\nR0603\r\n电阻 10K\r\n]\r\n[ \r\nX9\r\nX\r\nX\r\n[\r\nC2\r\nC0603\r\n电容\r\n";
  auto utf16le = [](const std::string& utf8) {
    std::string out = "\xFF\xFE";
    for (char32_t cp : vb::codepoints(utf8)) {
      out += static_cast<char>(cp & 0xFF);
      out += static_cast<char>(cp >> 8);
    }
    return out;
  };
  const std::pair<const char*, std::string> files[] = {
      {"UTF-8 with a mark", "\xEF\xBB\xBF" + body},
      {"UTF-8", body},
      {"UTF-16", utf16le(body)},
      {"GBK", vb::utf8ToAnsi(body)},
  };
  for (const auto& [what, bytes] : files) {
    SCOPED_TRACE(what);
    create("Protel99se", dir.write("board.net", bytes));
    ASSERT_EQ(state().partCount, 2);  // "[ " with a trailing blank still starts no block
    const std::vector<std::vector<std::string>> rows = {row(2), row(3)};
    const std::vector<std::vector<std::string>> want = {{"1", "电阻 10K", "R0603", "1", "R1"},
                                                        {"2", "电容", "C0603", "1", "C2"}};
    // The list is sorted by value afterwards; compare as a set of rows.
    EXPECT_TRUE((rows == want) || (rows == std::vector<std::vector<std::string>>{want[1], want[0]}));
  }
}

// Each one-line rule on single lines: what becomes designator, footprint and comment.
TEST_F(NetlistTest, OneLineRulesCutTheirFieldsAsWritten) {
  struct Case {
    const char* source;
    const char* line;
    const char* designator;
    const char* footprint;
    const char* comment;
  };
  const Case cases[] = {
      // Allegro: designator after the last blank, footprint before the first comma,
      // comment from the first comma, as long as the "!" lies after the last comma.
      {"Allegro.dll", "R0603,10K!;R1 R5", "R5", "R0603", "10K"},
      {"Allegro.dll", "CAP,0.1U,X7R!C3", "CAP,0.1U,X7R!C3", "CAP", "0.1"},
      {"Allegro.dll", "NOCOMMA!X R9", "R9", "", "NOCOMMA"},
      {"Allegro.dll", "R0603,10K R7", "R7", "R0603", ""},
      // Mentor: lines trimmed; designator before the first blank, footprint between the
      // last blank and the first comma, comment after the last comma.
      {"Mentor.dll", "  U1 SOIC8,LM358  ", "U1", "SOIC8", "LM358"},
      {"Mentor.dll", "R1 R0603 X,10K", "R1", "X", "10K"},
      {"Mentor.dll", "R1 A,B C", "R1", "", "B C"},
      // PCAD: lines with "{I"; designator after the last blank, footprint between the
      // first blank and the first comma, comment from the first comma to the first ".".
      {"Pcad.dll", "{I R0805,10K.PRT R12", "R12", "R0805", "10K"},
      {"Pcad.dll", "{I NOCOMMA R2", "R2", "", ""},
      // PADS: designator before the first blank, comment after the first comma.
      {"Pads2k.dll", "R1 R0603,10K", "R1", "R0603", "10K"},
      {"Pads2k.dll", "C1 CAP 0603,100N,X7R", "C1", "0603", "100N,X7R"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.source) + ": " + c.line);
    create(c.source, dir.write("one.net", std::string(c.line) + "\r\n"));
    EXPECT_EQ(row(2), (std::vector<std::string>{"1", c.comment, c.footprint, "1", c.designator}));
    EXPECT_EQ(state().partCount, 1);
    EXPECT_EQ(state().lastRow, 2);
  }
}

TEST_F(NetlistTest, DialogTextsNameEachFormat) {
  struct Case {
    const char* source;
    const char* filter;
    const char* title;
  };
  const Case cases[] = {
      {"Protel99se", "文件类型(*.net)|*.net", "请选择由Protel99se产生的net文件"},
      {"Altium Designer", "文件类型(*.net)|*.net", "请选择由Protel99se产生的net文件"},
      {"Protel2.dll", "文件类型(*.net)|*.net", "请选择由Orcad产生的Protel2格式net文件"},
      {"Allegro.dll", "文件类型(*.net)|*.net", "请选择由Orcad产生的Allegro格式net文件"},
      {"Mentor.dll", "文件类型(*.CMP)|*.CMP", "请选择由Orcad产生的Mentor EE格式CMP文件"},
      {"Pcad.dll", "文件类型(*.net)|*.net", "请选择由Orcad产生的PCAD格式net文件"},
      {"Pads2k.dll", "文件类型(*.asc)|*.asc", "请选择Orcad产生的pads格式的asc文件"},
  };
  std::string empty = dir.write("empty.net", "");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    create(c.source, empty);
    ASSERT_FALSE(world.user.dialogs().empty());
    EXPECT_EQ(world.user.dialogs().back().filter, c.filter);
    EXPECT_EQ(world.user.dialogs().back().title, c.title);
    EXPECT_EQ(world.user.dialogs().back().flags, 4097);
    EXPECT_EQ(world.user.inputs().back().prompt,
              "如果元件序号有前缀[1-9],\n将按前缀分类统计!!!\n默认情况下,不作前缀分类处理!!!");
  }
}

TEST_F(NetlistTest, ProtelBlocksBecomeTheListWithItsHeadingLook) {
  create("Protel99se", fixture("two_blocks.net"));
  xl::SheetPtr s = listSheet();
  EXPECT_EQ(row(1), (std::vector<std::string>{"No.", "Comment", "Footprint", "Qty", "Designator"}));
  EXPECT_EQ(row(2), (std::vector<std::string>{"1", "10K", "R0603", "1", "R1"}));
  EXPECT_EQ(row(3), (std::vector<std::string>{"2", "电解电容", "C0603", "1", "C1"}));
  EXPECT_TRUE(s->get(2, 1).isNumber());
  EXPECT_TRUE(s->get(2, 4).isNumber());
  EXPECT_TRUE(s->get(3, 3).isText());
  for (long c = 1; c <= 5; ++c) {
    xl::Style look = s->styleAt(1, c);
    EXPECT_TRUE(look.bold);
    EXPECT_EQ(look.fill, 6579455);
    EXPECT_EQ(look.fontColor, 0);
  }
  EXPECT_EQ(s->styleAt(2, 6).numberFormat, "@");  // A1:F of the last row keep codes as text
  EXPECT_EQ(s->styleAt(3, 5).right.weight, 2);
  EXPECT_FALSE(s->filter().has_value());
  EXPECT_EQ(state().partCount, 2);
  EXPECT_EQ(state().lastRow, 3);
  EXPECT_TRUE(excel()->visible());
  // "Create" goes on to the normaliser, which names the list's sheet.
  EXPECT_EQ(s->name(), "List Report");
}

TEST_F(NetlistTest, ProtelBlocksNeedALineThatIsExactlyABracket) {
  const std::string text =
      "[ \nR9\nX\nY\n[\nR1\nR0603\n10K\n]\n[\nC1\n";  // a "[" with a blank, a full block, a block cut short
  create("Altium Designer", dir.write("b.net", text));
  EXPECT_EQ(state().partCount, 2);
  EXPECT_EQ(row(2), (std::vector<std::string>{"1", "10K", "R0603", "1", "R1"}));
  EXPECT_EQ(row(3), (std::vector<std::string>{"2", "", "", "1", "C1"}));
}

TEST_F(NetlistTest, Protel2RecordsAreFoundOnlyAtTheirStride) {
  // Records of 58 lines starting at line index 2, 60, 118, ...; nets from the first "(".
  std::vector<std::string> lines = {"OrCAD", ""};
  auto record = [&](const std::string& d, const std::string& f, const std::string& c) {
    std::vector<std::string> r = {"DESIGNATOR", d, "FOOTPRINT", f, "PARTTYPE", c};
    r.resize(58, "x");
    lines.insert(lines.end(), r.begin(), r.end());
  };
  record("R1", "R0603", "10K");
  record("C1", "C0805", "1uF");
  lines.push_back("");  // one stray line puts every later record out of step
  record("U1", "SOIC8", "LM358");
  lines.push_back("(");
  lines.push_back("DESIGNATOR");
  std::string text;
  for (const auto& l : lines) text += l + "\r\n";
  create("Protel2.dll", dir.write("p2.net", text));
  EXPECT_EQ(state().partCount, 2);
  EXPECT_EQ(row(2), (std::vector<std::string>{"1", "10K", "R0603", "1", "R1"}));
  EXPECT_EQ(row(3), (std::vector<std::string>{"2", "1uF", "C0805", "1", "C1"}));
}

TEST_F(NetlistTest, FormatFramesDecideWhichLinesArePartLines) {
  struct Case {
    const char* source;
    const char* text;
    std::vector<std::string> designators;
  };
  const Case cases[] = {
      // Allegro: the "$PACKAGES" line is passed over, the reading ends at "$NETS"; a header
      // line before "$PACKAGES" is an entry of its own.
      {"Allegro.dll", "HEADER\n$PACKAGES\nR0603,10K! R1\nC0603,1U! C1\n$NETS\nGND ; R1.1\n", {"HEADER", "R1", "C1"}},
      {"Allegro.dll", "$PACKAGES\n$NETS\nR0603,10K! R1\n", {}},
      // Mentor: "# " lines passed over anywhere; the first empty line ends the list.
      {"Mentor.dll", "# comment\nR1 R0603,10K\n  \nC1 C0603,1U\n", {"R1"}},
      // PADS: "*PA" lines passed over; a section heading of another kind is an entry.
      {"Pads2k.dll", "!PADS-POWERPCB V9.0\n*PART* ITEMS\nR1 R0603,10K\n*NET* X\n\nC1 C0603,1U\n", {"!PADS-POWERPCB", "R1", "*NET*"}},
      // PCAD: only lines with "{I", anywhere in the file.
      {"Pcad.dll", "{COMPINST\n{I R0603,10K.PRT R1\n}\n{I C0603,1U.PRT C1\n", {"R1", "C1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    create(c.source, dir.write("f.net", c.text));
    ASSERT_EQ(state().partCount, static_cast<long>(c.designators.size()));
    for (size_t k = 0; k < c.designators.size(); ++k)
      EXPECT_EQ(vb::toText(listSheet()->get(static_cast<long>(k) + 2, 5)), c.designators[k]);
  }
}

TEST_F(NetlistTest, EveryEntryIsWrittenAlsoAfterAnEmptyDesignator) {
  // The second line ends in a blank, so its designator is empty; the list still goes on.
  create("Allegro.dll", dir.write("a.net", "R0603,10K! R1\nR0603,10K! \nC0603,1U! C1\n"));
  EXPECT_EQ(state().partCount, 3);
  EXPECT_EQ(state().lastRow, 4);
  EXPECT_EQ(row(2)[4], "R1");
  EXPECT_TRUE(listSheet()->get(3, 5).isEmpty());
  EXPECT_EQ(row(3)[0], "2");
  EXPECT_EQ(row(4), (std::vector<std::string>{"3", "1U", "C0603", "1", "C1"}));
}

TEST_F(NetlistTest, LargeFilesAreListedWhole) {
  // More components than the 10,001 entries and more lines than the 32,767 held lines
  // that would once have been dropped.
  std::string protel;
  for (int i = 1; i <= 12000; ++i) protel += "[\r\nR" + std::to_string(i) + "\r\nR0603\r\n10K\r\n]\r\n";
  create("Protel99se", dir.write("big.net", protel));
  EXPECT_EQ(state().partCount, 12000);
  EXPECT_EQ(row(12001)[4], "R12000");

  std::string p2 = "OrCAD\r\n\r\n";
  for (int i = 1; i <= 700; ++i) {
    p2 += "DESIGNATOR\r\nR" + std::to_string(i) + "\r\nFOOTPRINT\r\nR0603\r\nPARTTYPE\r\n10K\r\n";
    for (int k = 6; k < 58; ++k) p2 += "x\r\n";
  }
  create("Protel2.dll", dir.write("big2.net", p2));
  EXPECT_EQ(state().partCount, 700);
  EXPECT_EQ(row(701)[4], "R700");
}

TEST_F(NetlistTest, ABomLineLongerThanACellHoldsStopsCreateWithTheProgramsMessage) {
  // 6,000 capacitors of one value and package make one category BOM line whose
  // designators, joined by ",", are longer than a cell holds.
  std::string protel;
  long joined = -1;
  for (int i = 1; i <= 6000; ++i) {
    const std::string designator = "C" + std::to_string(i);
    protel += "[\r\n" + designator + "\r\n0603\r\n100nF\r\n]\r\n";
    joined += static_cast<long>(designator.size()) + 1;
  }
  ASSERT_GT(joined, xl::kMaxCellChars);
  create("Protel99se", dir.write("caps.net", protel));
  std::string count = std::to_string(joined);
  count.insert(count.size() - 3, ",");
  ASSERT_FALSE(messages().empty());
  EXPECT_EQ(messages().back(), "运行时错误 '1004':\nA cell holds at most 32,767 characters; the text has " + count);
  EXPECT_EQ(state().partCount, 6000);
  xl::SheetPtr bom = excel()->activeWorkbook()->sheet(1);
  EXPECT_EQ(vb::toText(bom->get(1, 5)), "Name");
  EXPECT_TRUE(bom->get(2, 1).isEmpty()) << "no line of the refused block is stored";
}

TEST_F(NetlistTest, AnEmptyNetlistGivesTheHeadingsOnly) {
  create("Protel99se", dir.write("none.net", "(\nGND\n)\n"));
  EXPECT_EQ(state().partCount, 0);
  EXPECT_EQ(state().lastRow, 1);
  EXPECT_EQ(row(1)[0], "No.");
  EXPECT_TRUE(listSheet()->get(2, 1).isEmpty());
}

TEST_F(NetlistTest, BadInputNeverCrashesAndGivesWhatTheRuleYields) {
  std::string binary;
  for (int i = 0; i < 5000; ++i) binary += static_cast<char>((i * 131 + 7) % 256);
  std::string longLine(300000, 'x');
  struct Case {
    const char* name;
    std::string bytes;
    long parts;
  };
  const Case cases[] = {
      {"binary", binary, -1},
      {"long line", "[\r\n" + longLine + "\r\nF\r\nC\r\n", 1},
      {"CR line ends", "[\rR1\rR0603\r10K\r", 1},
      {"LF line ends", "[\nR1\nR0603\n10K\n", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    create("Protel99se", dir.write("bad.net", c.bytes));
    if (c.parts >= 0) {
      EXPECT_EQ(state().partCount, c.parts);
    }
    EXPECT_FALSE(program->ended());
  }
  for (const char* source : {"Allegro.dll", "Mentor.dll", "Pcad.dll", "Pads2k.dll", "Protel2.dll"}) {
    SCOPED_TRACE(source);
    create(source, dir.write("bin.net", binary));
    EXPECT_FALSE(program->ended());
  }
  EXPECT_EQ(row(1)[0], "No.");
}

TEST_F(NetlistTest, TheRealAltiumNetlistIsListedWithItsBytesIntact) {
  create("Altium Designer", std::string(VELMORA_SHARED_DIR) + "/samples/main_board_master_MCU_Protel.NET");
  EXPECT_EQ(state().partCount, 240);
  EXPECT_EQ(state().lastRow, 241);
  // A comment in another code page is no GBK text, yet its bytes come back unchanged.
  vb::LineTexts lines = vb::splitLineTexts(
      platform::Files().read(std::string(VELMORA_SHARED_DIR) + "/samples/main_board_master_MCU_Protel.NET"));
  auto entries = capture::readProtel99se(lines);
  ASSERT_EQ(entries.size(), 240u);
  for (long r = 2; r <= 241; ++r) {
    const auto& e = entries[static_cast<size_t>(r - 2)];
    ASSERT_EQ(vb::toText(listSheet()->get(r, 2)), e.comment);
    ASSERT_EQ(vb::utf8ToAnsi(vb::toText(listSheet()->get(r, 5))), vb::utf8ToAnsi(e.designator));
  }
}

TEST_F(NetlistTest, CancellingTheDialogEndsTheProgramBeforeAnythingIsWritten) {
  type(tool().combo1, "Mentor.dll");
  world.user.cancelFile();
  click(tool().command1);
  EXPECT_TRUE(program->ended());
  EXPECT_EQ(excel()->workbookCount(), 0);
  EXPECT_TRUE(world.user.inputs().empty());
}

TEST_F(NetlistTest, AFileThatCannotBeReadIsReportedAndNothingIsWritten) {
  type(tool().combo1, "Pads2k.dll");
  world.user.answerFile(dir.path("missing.asc"));
  world.user.answerInput("");
  click(tool().command1);
  ASSERT_FALSE(world.user.messages().empty());
  EXPECT_EQ(world.user.messages().back().text, "运行时错误 '53':\nFile not found");
  EXPECT_EQ(excel()->workbookCount(), 0);
  EXPECT_FALSE(program->ended());
}

TEST_F(NetlistTest, AnUnknownSpreadsheetSettingEndsTheProgramBeforeTheDialog) {
  program->settings().spreadsheetProgram();  // the settings window exists
  auto* settings = static_cast<capture::SettingsWindow*>(program->existing(capture::SettingsWindow::kName));
  type(settings->combo5, "excel");
  type(tool().combo1, "Protel99se");
  click(tool().command1);
  EXPECT_TRUE(program->ended());
  ASSERT_EQ(world.user.messages().size(), 1u);
  EXPECT_EQ(world.user.messages()[0].text, "请在设置中选择BOM输出软件");
  EXPECT_TRUE(world.user.dialogs().empty());
}

TEST_F(NetlistTest, APrefixAnswerIsKeptOnlyWhenItIsANumber) {
  std::string f = dir.write("one.net", "[\nR1\nR0603\n10K\n");
  struct Case {
    const char* answer;
    int16_t expected;
  };
  const Case cases[] = {{"2", 2}, {"2.5", 2}, {"abc", 2}, {"3.5", 4}, {"", 4}, {"40000", 4}, {"-1", -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    create("Protel99se", f, c.answer);
    EXPECT_EQ(state().prefixCount, c.expected);
  }
}

}  // namespace
