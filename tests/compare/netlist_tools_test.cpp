// The toolbar's netlist button: the duplicate-designator check of a netlist ("Protel Ref")
// and the push of PADS Layout values into a netlist's comment lines ("Pads Protel").
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "capture/settings_window.h"
#include "platform/workbook_helpers.h"
#include "support/program_fixture.h"
#include "support/scratch_dir.h"
#include "vb/convert.h"

namespace {

namespace xl = platform::xl;
using testing_support::ProgramTest;
using testing_support::readBytes;
using testing_support::ScratchDir;

// A component block of eight lines, as the netlists write them.
std::string block(const std::string& designator, const std::string& footprint, const std::string& comment) {
  return "[\r\n" + designator + "\r\n" + footprint + "\r\n" + comment + "\r\n\r\n\r\n\r\n]\r\n";
}
const std::string kNets = "(\r\nGND\r\nR1-1\r\nC1-2\r\n)\r\n";

class NetlistToolsTest : public ProgramTest {
 protected:
  // The user's SpreadsheetProgram setting becomes text.
  void spreadsheetSetting(const std::string& text) {
    program->settings().spreadsheetProgram();  // the settings window exists
    auto* settings = static_cast<capture::SettingsWindow*>(program->existing(capture::SettingsWindow::kName));
    type(settings->combo5, text);
  }

  ScratchDir dir{"netlist-tools"};
};

class DuplicateCheckTest : public NetlistToolsTest {
 protected:
  void SetUp() override {
    NetlistToolsTest::SetUp();
    excel = world.programs.runSpreadsheet("Excel.Application");
    excel->setVisible(true);
  }
  // "Protel Ref" on a netlist of these bytes.
  void check(const std::string& bytes) {
    pick(tool().combo1, "Protel99se");
    world.user.answerFile(dir.write("board.net", bytes));
    click(tool().command4);
  }
  xl::SheetPtr list() { return excel->activeWorkbook()->sheet(1); }
  // Row r of the list, A to E, texts as they stand, red cells marked "*".
  std::string row(long r) {
    std::string out;
    for (long c = 1; c <= 5; ++c) {
      if (c > 1) out += "|";
      out += vb::toText(list()->get(r, c));
      if (list()->styleAt(r, c).fill == platform::kMarkRed) out += "*";
    }
    return out;
  }
  std::vector<std::string> rows(long from, long to) {
    std::vector<std::string> out;
    for (long r = from; r <= to; ++r) out.push_back(row(r));
    return out;
  }

  std::shared_ptr<sim::SimSpreadsheet> excel;
};

TEST_F(DuplicateCheckTest, ListsEveryBlockInANewWorkbookAndLeavesTheNetlistAsItWas) {
  const std::string bytes = block("R1", "R0603", "10K") + block("C1", "0402", "100nF") + kNets;
  check(bytes);
  ASSERT_EQ(excel->workbookCount(), 1);
  EXPECT_EQ(rows(1, 4), (std::vector<std::string>{"No.|Comment|Footprint|Qty|Designator", "1|10K|R0603|1|R1",
                                                  "2|100nF|0402|1|C1", "||||"}));
  const xl::Style head = list()->styleAt(1, 5);
  EXPECT_TRUE(head.bold);
  EXPECT_EQ(head.fontColor, 0);
  EXPECT_EQ(head.fill, platform::rgb(150, 250, 250));
  EXPECT_EQ(list()->styleAt(2, 3).numberFormat, "@") << "codes such as 0402 stay text";
  EXPECT_EQ(list()->styleAt(3, 6).numberFormat, "@");
  EXPECT_EQ(vb::toText(list()->get(3, 3)), "0402");
  ASSERT_TRUE(list()->filter());
  EXPECT_EQ(list()->filter()->c1, 1);
  EXPECT_EQ(list()->filter()->c2, 6);
  EXPECT_EQ(list()->styleAt(3, 5).bottom.colorIndex, 1) << "the outline is black";
  EXPECT_EQ(list()->styleAt(3, 5).right.colorIndex, 1);
  EXPECT_EQ(list()->styleAt(2, 2).bottom.weight, 2) << "thin inner lines";
  EXPECT_EQ(list()->styleAt(4, 1).bottom.lineStyle, 0) << "nothing below the list";
  EXPECT_EQ(messages(), (std::vector<std::string>{"没有元件重复!!!"}));
  EXPECT_EQ(state().lastRow, 3);
  EXPECT_EQ(state().spreadsheetApp, excel);
  EXPECT_EQ(readBytes(dir.path("board.net")), bytes);
  ASSERT_EQ(world.user.dialogs().size(), 1u);
  EXPECT_EQ(world.user.dialogs()[0].filter, "文件类型(*.net)|*.net");
  EXPECT_EQ(world.user.dialogs()[0].title, "请选择Protel99se的net文件");
}

TEST_F(DuplicateCheckTest, EveryRowOfARepeatedDesignatorIsRed) {
  struct Case {
    const char* what;
    std::string netlist;
    std::vector<std::string> rows;  // from row 2, with the row below the list
    const char* message;
  };
  const Case cases[] = {
      {"three times",
       block("R1", "R0603", "10K") + block("C1", "0402", "1u") + block("R1", "R0603", "1K") + block("R1", "R0402", "") +
           kNets,
       {"1*|10K*|R0603*|1*|R1*", "2|1u|0402|1|C1", "3*|1K*|R0603*|1*|R1*", "4*|*|R0402*|1*|R1*", "||||"},
       "元件序号有重复,\n已经用红色标示!"},
      {"the first and the last block",
       block("U1", "SO8", "A") + block("R1", "R0603", "B") + block("R2", "R0603", "C") + block("U1", "SO8", "D"),
       {"1*|A*|SO8*|1*|U1*", "2|B|R0603|1|R1", "3|C|R0603|1|R2", "4*|D*|SO8*|1*|U1*", "||||"},
       "元件序号有重复,\n已经用红色标示!"},
      {"letter case and a trailing blank make other designators",
       block("R1", "R0603", "A") + block("r1", "R0603", "B") + block("R1 ", "R0603", "C"),
       {"1|A|R0603|1|R1", "2|B|R0603|1|r1", "3|C|R0603|1|R1 ", "||||"}, "没有元件重复!!!"},
      {"two empty designators are equal", block("", "X", "A") + block("R1", "R0603", "B") + block("", "Y", "C"),
       {"1*|A*|X*|1*|*", "2|B|R0603|1|R1", "3*|C*|Y*|1*|*", "||||"}, "元件序号有重复,\n已经用红色标示!"},
      {"lines after the first line \"(\" are never read", block("R1", "R0603", "A") + kNets + block("R1", "R0603", "B"),
       {"1|A|R0603|1|R1", "||||"}, "没有元件重复!!!"},
      {"\"[ \" opens no block", "[ \r\nR1\r\nR0603\r\nA\r\n" + block("R1", "R0603", "B"), {"1|B|R0603|1|R1", "||||"},
       "没有元件重复!!!"},
      {"a line \"(\" inside a block is one of its lines",
       block("R1", "R0603", "(") + block("R1", "R0603", "B") + kNets,
       {"1*|(*|R0603*|1*|R1*", "2*|B*|R0603*|1*|R1*", "||||"}, "元件序号有重复,\n已经用红色标示!"},
      {"a block cut short by the end of the file", block("R1", "R0603", "A") + "[\r\nR1",
       {"1*|A*|R0603*|1*|R1*", "2*|*|*|1*|R1*", "||||"}, "元件序号有重复,\n已经用红色标示!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    check(c.netlist);
    EXPECT_EQ(rows(2, static_cast<long>(c.rows.size()) + 1), c.rows);
    EXPECT_EQ(messages().back(), c.message);
  }
}

TEST_F(DuplicateCheckTest, ANetlistWithoutBlocksGivesTheHeadingsOnly) {
  for (const std::string& netlist : {kNets, std::string(), "[ \r\nR1\r\n" + kNets}) {
    SCOPED_TRACE(netlist);
    check(netlist);
    EXPECT_EQ(rows(1, 2), (std::vector<std::string>{"No.|Comment|Footprint|Qty|Designator", "||||"}));
    EXPECT_EQ(list()->styleAt(1, 1).fill, platform::rgb(150, 250, 250)) << "the heading is never red";
    EXPECT_EQ(messages().back(), "没有元件重复!!!");
    EXPECT_EQ(state().lastRow, 1);
  }
}

// No fixed table limits the list, and the check groups the designators instead of
// comparing every pair.
TEST_F(DuplicateCheckTest, ANetlistOfManyThousandBlocksIsListedAndCheckedWhole) {
  const long n = 60000;
  std::string bytes;
  for (long i = 1; i <= n; ++i) bytes += block(i == n ? "R1" : "R" + std::to_string(i), "R0603", "10K");
  check(bytes + kNets);
  EXPECT_EQ(row(n + 1), std::to_string(n) + "*|10K*|R0603*|1*|R1*");
  EXPECT_EQ(row(2), "1*|10K*|R0603*|1*|R1*");
  EXPECT_EQ(row(n), std::to_string(n - 1) + "|10K|R0603|1|R" + std::to_string(n - 1));
  EXPECT_EQ(row(n + 2), "||||");
  EXPECT_EQ(state().lastRow, n + 1);
  EXPECT_EQ(messages().back(), "元件序号有重复,\n已经用红色标示!");
}

TEST_F(DuplicateCheckTest, TheDialogTitleNamesTheSourceTextAsItStands) {
  pick(tool().combo1, "Protel99se");
  type(tool().combo1, "Altium Designer");  // typing changes the text, not the caption
  world.user.answerFile(dir.write("board.net", block("R1", "R0603", "10K")));
  click(tool().command4);
  ASSERT_EQ(world.user.dialogs().size(), 1u);
  EXPECT_EQ(world.user.dialogs()[0].title, "请选择Altium Designer的net文件");
  EXPECT_EQ(row(2), "1|10K|R0603|1|R1");
}

TEST_F(DuplicateCheckTest, CancelEndsTheProgramAndAFileThatCannotBeReadWritesNothing) {
  pick(tool().combo1, "Protel99se");
  world.user.answerFile(dir.path("missing.net"));
  click(tool().command4);
  EXPECT_EQ(messages(), (std::vector<std::string>{"运行时错误 '53':\nFile not found"}));
  EXPECT_EQ(excel->workbookCount(), 0);
  EXPECT_FALSE(program->ended());

  world.user.cancelFile();
  click(tool().command4);
  EXPECT_TRUE(program->ended());
  EXPECT_EQ(excel->workbookCount(), 0);
  EXPECT_EQ(messages().size(), 1u);
}

TEST_F(DuplicateCheckTest, ASpreadsheetProgramThatDoesNotRunIsStartedAndShown) {
  spreadsheetSetting("WPS");  // Excel runs, WPS does not
  check(block("R1", "R0603", "10K"));
  auto wps = world.programs.spreadsheet("ET.Application");
  ASSERT_TRUE(wps);
  EXPECT_TRUE(wps->visible());
  EXPECT_EQ(vb::toText(wps->activeWorkbook()->sheet(1)->get(2, 5)), "R1");
}

TEST_F(DuplicateCheckTest, AnUnknownSpreadsheetSettingEndsTheProgramBeforeTheDialog) {
  spreadsheetSetting("excel");
  pick(tool().combo1, "Protel99se");
  click(tool().command4);
  EXPECT_TRUE(program->ended());
  EXPECT_EQ(messages(), (std::vector<std::string>{"请在设置中选择BOM输出软件"}));
  EXPECT_TRUE(world.user.dialogs().empty());
}

TEST_F(DuplicateCheckTest, AnyOtherCaptionDoesNothing) {
  tool().command4.setCaption("protel ref");
  click(tool().command4);
  EXPECT_TRUE(world.user.dialogs().empty());
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(excel->workbookCount(), 0);
}

constexpr const char* kLayoutId = "PowerPCB.Application";
constexpr const char* kQuestion =
    "请确定打开的Layout软件中pcb文件,是由Layout转换成Protel99se或者Altium Designer的pcb源文件.";
constexpr const char* kPushed = "Net文件检查结束,\n请重新在Protel中加载Net文件!";

// A PADS part of that name with a "Value" attribute, or without one when value is null.
std::string part(const char* name, const char* value) {
  std::string p = std::string(R"({"name": ")") + name + "\"";
  if (value) p += std::string(R"(, "attributes": {"Value": ")") + value + "\"}";
  return p + "}";
}

class ValuePushTest : public NetlistToolsTest {
 protected:
  // A design file of these parts.
  std::string designFile(const std::string& parts) {
    return dir.write("design.json", R"({"name": "board.pcb", "parts": [)" + parts + "]}");
  }
  // PADS Layout runs with a design of these parts.
  std::shared_ptr<sim::SimPads> layout(const std::string& parts) {
    auto p = world.programs.pads(kLayoutId);
    if (!p) p = world.programs.runPads(kLayoutId);
    p->openDocument(designFile(parts));
    p->takeLog();
    return p;
  }
  // "Pads Protel" on the netlist at path, the question answered Yes when asked.
  void push(const std::string& path, bool ask = true) {
    if (ask) world.user.answerYes();
    world.user.answerFile(path);
    click(tool().command4);
  }
  std::string netlist(const std::string& bytes) { return dir.write("board.net", bytes); }
};

TEST_F(ValuePushTest, ValuesGoIntoTheCommentLinesOfTheirBlocksOnly) {
  layout(part("R1", "4K7") + "," + part("C1", nullptr) + "," + part("R2", "10K") + "," + part("TP1", "TP") + "," +
         part("R1", "1K"));
  // r2 differs in case from the part R2 and U9 names no part; the comment of TP1 equals
  // its designator; the nets hold a "[" line followed by R1 at an odd index.
  const std::string path = netlist(block("R1", "R0603", "10K") + block("C1", "0402", "100nF") + block("r2", "R0603", "1K") +
                                   block("U9", "SO8", "LM358") + block("TP1", "TP", "TP1") +
                                   "(\r\nGND\r\n[\r\nR1\r\nC1-2\r\nR1-1\r\n)\r\n");
  push(path);
  EXPECT_EQ(readBytes(path), block("R1", "R0603", "4K7") + block("C1", "0402", "") + block("r2", "R0603", "1K") +
                                 block("U9", "SO8", "LM358") + block("TP1", "TP", "TP") +
                                 "(\r\nGND\r\n[\r\nR1\r\nC1-2\r\nR1-1\r\n)\r\n");
  EXPECT_EQ(messages(), (std::vector<std::string>{kQuestion, kPushed}));
  EXPECT_EQ(world.user.messages()[0].buttons, platform::Buttons::YesNo);
  EXPECT_EQ(state().partCount, 5);
  EXPECT_EQ(state().lastRow, 6);
  ASSERT_EQ(world.user.dialogs().size(), 1u);
  EXPECT_EQ(world.user.dialogs()[0].filter, "文件类型(*.net)|*.net");
  EXPECT_EQ(world.user.dialogs()[0].title, "请选择Protel99se或者Altium Designer的net文件");
}

// Only a line at an odd index right after a line "[" is a designator, and only a comment
// line inside the component section is replaced; the file is rewritten also when nothing
// changed, every line ending in CR LF.
TEST_F(ValuePushTest, OnlyDesignatorLinesOfWholeBlocksAreMatched) {
  layout(part("R1", "4K7") + "," + part("TP", "X"));
  struct Case {
    const char* what;
    std::string before, after;
  };
  const Case cases[] = {
      {"one extra line before the first block", "\r\n" + block("R1", "R0603", "10K") + kNets,
       "\r\n" + block("R1", "R0603", "10K") + kNets},
      {"a block cut short by the nets", "[\r\nR1\r\nR0603\r\n(\r\nR1-1\r\n)\r\n", "[\r\nR1\r\nR0603\r\n(\r\nR1-1\r\n)\r\n"},
      {"a block cut short by the end of the file", "[\r\nR1\r\nR0603", "[\r\nR1\r\nR0603\r\n"},
      {"a footprint that names a part", "[\r\nR1\r\nTP\r\n10K\r\n\r\n\r\n\r\n]\r\n",
       "[\r\nR1\r\nTP\r\n4K7\r\n\r\n\r\n\r\n]\r\n"},
      {"LF line ends become CR LF", "[\nR9\nR0603\n10K\n\n\n\n]\n", block("R9", "R0603", "10K")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = netlist(c.before);
    push(path);
    EXPECT_EQ(readBytes(path), c.after);
    EXPECT_EQ(messages().back(), kPushed);
  }
}

TEST_F(ValuePushTest, AnsweringNoLeavesTheNetlistAndShowsNothingMore) {
  layout(part("R1", "4K7"));
  const std::string bytes = "[\nR1\nR0603\n10K\n";  // any rewrite would change its line ends
  const std::string path = netlist(bytes);
  world.user.answerNo();
  push(path, false);
  EXPECT_EQ(readBytes(path), bytes);
  EXPECT_EQ(messages(), (std::vector<std::string>{kQuestion}));
}

TEST_F(ValuePushTest, APadsLayoutThatDoesNotRunIsStartedAndOpensTheDesignTheUserPicks) {
  const std::string design = designFile(part("R1", "4K7"));
  const std::string path = netlist(block("R1", "R0603", "10K"));
  world.user.answerFile(path);
  world.user.answerFile(design);
  click(tool().command4);
  auto started = world.programs.pads(kLayoutId);
  ASSERT_TRUE(started);
  EXPECT_TRUE(started->visible());
  EXPECT_EQ(started->takeLog(), (std::vector<std::string>{"Visible True", "OpenDocument " + design}));
  ASSERT_EQ(world.user.dialogs().size(), 2u);
  EXPECT_EQ(world.user.dialogs()[1].filter, "文件类型(*.pcb)|*.pcb");
  EXPECT_EQ(world.user.dialogs()[1].title, "请打开由PADS转换成Protel99se或者Altium Designer的pcb源文件");
  EXPECT_EQ(readBytes(path), block("R1", "R0603", "4K7")) << "the netlist chosen first is rewritten";
  EXPECT_EQ(messages(), (std::vector<std::string>{kPushed})) << "no question";
}

// Whatever stops the push, the netlist keeps its bytes: LF line ends, which any rewrite
// would turn into CR LF, and a comment the design would change.
TEST_F(ValuePushTest, ANetlistIsNeverRewrittenWhenThePushStops) {
  const std::string bytes = "[\nR1\nR0603\n10K\n\n\n\n]\n(\n)\n";
  struct Case {
    const char* what;
    std::function<void()> arrange;
    const char* message;
  };
  const Case cases[] = {
      {"PADS Layout runs without a design", [&] { world.programs.runPads(kLayoutId); }, "运行时错误 '91':"},
      {"an empty design", [&] { layout(""); }, "board.pcb\n  No Components !!!"},
      {"the write fails", [&] {
         layout(part("R1", "4K7"));
         world.faults.failWrites(dir.path("board.net"));
       },
       "运行时错误 '75':"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.arrange();
    const std::string path = netlist(bytes);
    push(path);
    ASSERT_FALSE(messages().empty());
    EXPECT_EQ(messages().back().substr(0, std::string(c.message).size()), c.message);
    EXPECT_EQ(readBytes(path), bytes);
    EXPECT_FALSE(program->ended());
  }
}

TEST_F(ValuePushTest, NeedsNoSpreadsheetProgramButAValidSetting) {
  layout(part("R1", "4K7"));
  const std::string path = netlist(block("R1", "R0603", "10K"));
  push(path);
  EXPECT_TRUE(world.programs.spreadsheets().empty()) << "none was started";
  EXPECT_EQ(messages().back(), kPushed);

  spreadsheetSetting("Calc");
  click(tool().command4);
  EXPECT_TRUE(program->ended());
  EXPECT_EQ(messages().back(), "请在设置中选择BOM输出软件");
  EXPECT_EQ(world.user.dialogs().size(), 1u) << "no dialog after the message";
}

TEST_F(ValuePushTest, CancelEndsTheProgramAndAFileThatCannotBeReadStopsBeforePadsLayout) {
  auto pads = layout(part("R1", "4K7"));
  world.user.answerFile(dir.path("missing.net"));
  click(tool().command4);
  EXPECT_EQ(messages(), (std::vector<std::string>{"运行时错误 '53':\nFile not found"})) << "no question";
  EXPECT_FALSE(program->ended());

  world.user.cancelFile();
  click(tool().command4);
  EXPECT_TRUE(program->ended());
  EXPECT_EQ(messages().size(), 1u);
  EXPECT_TRUE(pads->takeLog().empty());
}

}  // namespace
