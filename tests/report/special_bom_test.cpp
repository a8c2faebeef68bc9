// "Format BOM" with the source "Excel": the Special BOM in front of the BOM on sheet 1, its
// questions and messages, and DesignatorSplit.
#include <gtest/gtest.h>

#include <array>

#include "platform/workbook_helpers.h"
#include "report/designator_split.h"
#include "sim/sim_spreadsheet.h"
#include "support/program_fixture.h"
#include "support/workbook_dump.h"
#include "vb/convert.h"

namespace {

using testing_support::ProgramTest;
namespace xl = platform::xl;
using Item = std::array<vb::Variant, 5>;

constexpr const char* kConfirm = "请确定打开的Excel文件,是您将要处理的文件.";
constexpr const char* kSeveral =
    "请选择打开的Excel文件中,您将要处理的文件,重新执行此命令!\n或者关闭多余的Excel文件,重新执行此命令!\n"
    "否则程序默认处理当前工作薄数据!!!";
constexpr const char* kBadColumns = "参数设置错误!        ";

// N designators "P1,P2,...".
std::string refs(const std::string& prefix, int n, const std::string& join = ",") {
  std::string out;
  for (int i = 1; i <= n; ++i) out += (i > 1 ? join : "") + prefix + std::to_string(i);
  return out;
}

class SpecialBomTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    excel = world.programs.runSpreadsheet("Excel.Application");
    excel->setVisible(true);
  }

  // A workbook whose first sheet holds a BOM: the header and these items.
  xl::WorkbookPtr bomWorkbook(const std::vector<Item>& items) {
    xl::WorkbookPtr wb = excel->addWorkbook();
    write(*wb->sheet(1), items);
    return wb;
  }
  // The sheet emptied, then the header and the items written into it.
  static void write(xl::Sheet& s, const std::vector<Item>& items) {
    s.cells().clear();
    s.range("A1:E1").setValues(header());
    for (size_t i = 0; i < items.size(); ++i)
      for (long c = 1; c <= 5; ++c) s.cell(static_cast<long>(i) + 2, c).setValue(items[i][static_cast<size_t>(c - 1)]);
  }
  static vb::Table header() {
    vb::Table t(1, 5);
    const char* h[] = {"No", "Value", "Decal", "QTY", "Name"};
    for (int c = 1; c <= 5; ++c) t(1, c) = h[c - 1];
    return t;
  }

  // "Format BOM" with the answers: Yes to the workbook question, then the number per line.
  void formatBom(const std::string& answer, bool yes = true) {
    if (tool().combo1.text() != "Excel") pick(tool().combo1, "Excel");
    if (yes) world.user.answerYes();
    else world.user.answerNo();
    world.user.answerInput(answer);
    click(tool().command5);
  }

  xl::SheetPtr special() { return excel->activeWorkbook()->sheet(1); }
  // Row r of the Special BOM, cells A to D + n joined by " | ", empty cells at the end left out.
  std::vector<std::string> lines(long n) {
    std::vector<std::string> out;
    xl::SheetPtr s = special();
    for (long r = 1; r <= state().partCount; ++r) {
      std::vector<std::string> cells;
      for (long c = 1; c <= 4 + n; ++c) cells.push_back(vb::toText(s->get(r, c)));
      while (!cells.empty() && cells.back().empty()) cells.pop_back();
      std::string line;
      for (size_t c = 0; c < cells.size(); ++c) line += (c ? " | " : "") + cells[c];
      out.push_back(line);
    }
    return out;
  }
  std::string dump(xl::Workbook& wb) { return testing_support::dumpWorkbook(sim::toData(wb)); }
  capture::SettingsWindow& settingsWindow() {
    program->settings().joinSymbol();
    return *static_cast<capture::SettingsWindow*>(program->existing(capture::SettingsWindow::kName));
  }

  std::shared_ptr<sim::SimSpreadsheet> excel;
};

TEST_F(SpecialBomTest, FivePerLineSplitsItemsAndMergesTheirColumns) {
  xl::WorkbookPtr wb = bomWorkbook({
      {"Resister", "", "", 13, ""},
      {1, "10K", "R-0603", 7, refs("R", 7)},
      {2, "100nF", "C-0603", 5, refs("C", 5)},
      {3, "1uF", "C-0805", 6, refs("E", 6)},
      {"Total:", "", "", 18, ""},
  });
  std::string source = testing_support::dumpSheet(sim::toData(*wb).sheets[0]);
  formatBom("5");
  EXPECT_EQ(world.user.inputs().back().prompt, "请输入参数范围在:5-20之间,\n以确定元件序号占用列数。");
  EXPECT_EQ(world.user.inputs().back().defaultAnswer, "5");
  EXPECT_EQ(world.user.inputs().back().title, "Velmora");
  ASSERT_EQ(world.user.messages().size(), 1u);
  EXPECT_EQ(world.user.messages()[0].text, kConfirm);
  EXPECT_EQ(world.user.messages()[0].buttons, platform::Buttons::YesNo);

  ASSERT_EQ(wb->sheetCount(), 4);
  EXPECT_EQ(special()->name(), "Special BOM");
  EXPECT_EQ(excel->activeSheet(), special());
  EXPECT_EQ(testing_support::dumpSheet(sim::toData(*wb).sheets[1]), source);
  EXPECT_EQ(state().refColumns, 5);
  EXPECT_EQ(state().partCount, 8);
  EXPECT_EQ(lines(5), (std::vector<std::string>{
                          "No | Value | Decal | QTY | Name",
                          "Resister |  |  | 13",
                          "1 | 10K | R-0603 | 7 | R1 | R2 | R3 | R4 | R5",
                          " |  |  |  | R6 | R7",
                          "2 | 100nF | C-0603 | 5 | C1 | C2 | C3 | C4 | C5",
                          "3 | 1uF | C-0805 | 6 | E1 | E2 | E3 | E4 | E5",
                          " |  |  |  | E6",
                          "Total: |  |  | 18",
                      }));
  EXPECT_EQ(special()->merges(), (std::vector<xl::Area>{{1, 5, 1, 9},
                                                        {3, 1, 4, 1},
                                                        {3, 2, 4, 2},
                                                        {3, 3, 4, 3},
                                                        {3, 4, 4, 4},
                                                        {6, 1, 7, 1},
                                                        {6, 2, 7, 2},
                                                        {6, 3, 7, 3},
                                                        {6, 4, 7, 4}}));
  EXPECT_EQ(special()->get(3, 1), vb::Variant(1.0));
  EXPECT_EQ(special()->get(3, 4), vb::Variant(7.0));
}

TEST_F(SpecialBomTest, LinesWithoutDesignatorsAreMarkedAndTheSheetIsFinished) {
  xl::WorkbookPtr wb = bomWorkbook({
      {"Resister", "", "", 1, ""},
      {1, "10K", "R-0603", 6, refs("R", 5) + ","},  // a trailing separator: the second line is empty
      {"Total:", "", "", 1, ""},
  });
  formatBom("5");
  xl::Sheet& s = *special();
  EXPECT_EQ(state().partCount, 5);
  for (long c = 1; c <= 10; ++c) {
    SCOPED_TRACE(c);
    bool inside = c <= 9;
    for (long marked : {2L, 4L, 5L}) {
      EXPECT_EQ(s.styleAt(marked, c).fill, inside ? platform::kMarkRed : xl::kNoFill);
      EXPECT_EQ(s.styleAt(marked, c).bold, inside);
    }
    EXPECT_EQ(s.styleAt(3, c).fill, xl::kNoFill);
    EXPECT_FALSE(s.styleAt(3, c).bold);
    EXPECT_EQ(s.styleAt(1, c).fill, c <= 5 ? 16500000 : xl::kNoFill);
    EXPECT_EQ(s.styleAt(1, c).bold, c <= 5);
    EXPECT_EQ(s.styleAt(40, c).numberFormat, inside ? "@" : "General");
    EXPECT_EQ(s.styleAt(3, c).fontSize, 9);
    EXPECT_TRUE(s.styleAt(3, c).wrap);
  }
  // Lines around the current region of A1, which ends above the line with no value at all.
  EXPECT_EQ(s.styleAt(2, 1).left.weight, 2);
  EXPECT_EQ(s.styleAt(3, 9).right.weight, 2);
  EXPECT_EQ(s.styleAt(3, 9).bottom.weight, 2);
  EXPECT_EQ(s.styleAt(5, 1).left.weight, 0);
  EXPECT_EQ(s.filter(), (xl::Area{1, 1, 1, 5}));
  EXPECT_TRUE(excel->displayAlerts());
}

TEST_F(SpecialBomTest, LinesHoldNDesignatorsEach) {
  struct Case {
    int perLine, designators;
    std::vector<long> lineLengths;
  };
  const Case cases[] = {
      {5, 5, {5}},        {5, 6, {5, 1}},  {5, 1, {1}},         {20, 20, {20}}, {20, 21, {20, 1}},
      {20, 45, {20, 20, 5}}, {8, 17, {8, 8, 1}}, {7, 0, {1}},  // an empty list is one empty designator
  };
  xl::WorkbookPtr wb = excel->addWorkbook();
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.perLine) + " per line, " + std::to_string(c.designators));
    // The source stands behind the Special BOM of the previous case, which the run replaces.
    write(*wb->sheet(wb->sheetCount() == 4 ? 2 : 1),
          {{1, "10K", "R-0603", c.designators, refs("R", c.designators)}, {2, "1K", "R-0402", 1, "R99"}});
    formatBom(std::to_string(c.perLine));
    xl::Sheet& s = *special();
    long n = c.perLine;
    ASSERT_EQ(state().partCount, 1 + static_cast<long>(c.lineLengths.size()) + 1);
    int next = 1;
    for (size_t k = 0; k < c.lineLengths.size(); ++k) {
      long r = 2 + static_cast<long>(k);
      for (long j = 1; j <= n; ++j) {
        vb::Variant expected = j <= c.lineLengths[k] && c.designators ? vb::Variant("R" + std::to_string(next++))
                                                                       : vb::Variant();
        EXPECT_EQ(s.get(r, 4 + j), expected) << "row " << r << " column " << 4 + j;
      }
      EXPECT_EQ(s.get(r, 5 + n), vb::Variant());
    }
    EXPECT_EQ(s.get(state().partCount, 5), vb::Variant("R99"));
    std::vector<xl::Area> merges = s.merges();
    ASSERT_FALSE(merges.empty());
    EXPECT_EQ(merges.front(), (xl::Area{1, 5, 1, 4 + n}));  // the header's Name over the N columns
    EXPECT_EQ(merges.size(), c.lineLengths.size() > 1 ? 5u : 1u);
    EXPECT_EQ(s.styleAt(1, 4 + n).numberFormat, "@");
    EXPECT_EQ(s.styleAt(1, 5 + n).numberFormat, "General");
  }
}

TEST_F(SpecialBomTest, AnswersOutsideFiveToTwentyEndWithTheMessageButAreKept) {
  xl::WorkbookPtr wb = bomWorkbook({{1, "10K", "R-0603", 2, "R1,R2"}});
  std::string before = dump(*wb);
  struct Case {
    const char* answer;
    int16_t refColumns;
  };
  // "abc" and a cancelled box keep the previous number, 0 at first.
  const Case cases[] = {{"abc", 0}, {"", 0}, {"4", 4}, {"21", 21}, {"abc", 21}, {"4.5", 4}, {"99999", 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    size_t shown = world.user.messages().size();
    formatBom(c.answer);
    EXPECT_EQ(state().refColumns, c.refColumns);
    ASSERT_EQ(world.user.messages().size(), shown + 2);
    const sim::ShownMessage& m = world.user.messages().back();
    EXPECT_EQ(m.text, kBadColumns);
    EXPECT_EQ(m.title, "Velmora");
    EXPECT_EQ(m.icon, platform::Icon::Information);
    EXPECT_EQ(m.buttons, platform::Buttons::OK);
    EXPECT_EQ(dump(*wb), before);
  }
  // After a run with 8, an answer that is no number builds with 8 again.
  formatBom("8");
  formatBom("abc");
  EXPECT_EQ(state().refColumns, 8);
  EXPECT_EQ(special()->merges().front(), (xl::Area{1, 5, 1, 12}));
  formatBom("12.5");  // rounded to the even neighbour
  EXPECT_EQ(state().refColumns, 12);
}

TEST_F(SpecialBomTest, TwoOpenWorkbooksAskWhichOneIsMeant) {
  xl::WorkbookPtr first = bomWorkbook({{1, "10K", "R-0603", 2, "R1,R2"}});
  xl::WorkbookPtr second = bomWorkbook({{1, "1K", "R-0402", 1, "R9"}});
  const std::string firstBefore = dump(*first), secondBefore = dump(*second);
  world.user.answerYes();  // Yes: the user is to pick the workbook and run the command again
  pick(tool().combo1, "Excel");
  click(tool().command5);
  ASSERT_EQ(world.user.messages().size(), 1u);
  EXPECT_EQ(world.user.messages()[0].text, kSeveral);
  EXPECT_EQ(world.user.messages()[0].title, "Velmora");
  EXPECT_EQ(world.user.messages()[0].buttons, platform::Buttons::YesNo);
  EXPECT_TRUE(world.user.inputs().empty());
  EXPECT_EQ(dump(*first), firstBefore);
  EXPECT_EQ(dump(*second), secondBefore);

  formatBom("5", false);  // No: the active workbook is used
  ASSERT_EQ(world.user.messages().size(), 2u);
  EXPECT_EQ(world.user.messages()[1].text, kSeveral);
  EXPECT_EQ(second->sheet(1)->name(), "Special BOM");
  EXPECT_EQ(second->sheet(1)->get(2, 5), vb::Variant("R9"));
  EXPECT_EQ(dump(*first), firstBefore);
}

TEST_F(SpecialBomTest, NoToTheWorkbookQuestionEndsWithoutAChange) {
  xl::WorkbookPtr wb = bomWorkbook({{1, "10K", "R-0603", 2, "R1,R2"}});
  std::string before = dump(*wb);
  formatBom("5", false);
  EXPECT_TRUE(world.user.inputs().empty());
  EXPECT_EQ(dump(*wb), before);
}

TEST_F(SpecialBomTest, ASecondRunReplacesTheFirstSpecialBom) {
  xl::WorkbookPtr wb = bomWorkbook({{1, "10K", "R-0603", 7, refs("R", 7)}});
  std::string source = testing_support::dumpSheet(sim::toData(*wb).sheets[0]);
  formatBom("5");
  formatBom("6");
  ASSERT_EQ(wb->sheetCount(), 4);
  long specials = 0;
  for (long p = 1; p <= wb->sheetCount(); ++p) specials += wb->sheet(p)->name() == "Special BOM";
  EXPECT_EQ(specials, 1);
  EXPECT_EQ(wb->sheet(1)->name(), "Special BOM");
  EXPECT_EQ(lines(6), (std::vector<std::string>{"No | Value | Decal | QTY | Name",
                                                "1 | 10K | R-0603 | 7 | R1 | R2 | R3 | R4 | R5 | R6",
                                                " |  |  |  | R7"}));
  EXPECT_EQ(testing_support::dumpSheet(sim::toData(*wb).sheets[1]), source);
}

TEST_F(SpecialBomTest, ASheetThatCannotBeAddedLeavesTheUsersBomAsItWas) {
  xl::WorkbookPtr wb = bomWorkbook({{1, "10K", "R-0603", 7, refs("R", 7)}});
  std::string source = testing_support::dumpSheet(sim::toData(*wb).sheets[0]);
  world.faults.set("spreadsheet", "Sheets.Add");
  formatBom("5");
  EXPECT_EQ(wb->sheetCount(), 3);
  EXPECT_EQ(wb->sheet(1)->name(), "Sheet1");
  EXPECT_EQ(testing_support::dumpSheet(sim::toData(*wb).sheets[0]), source);
  EXPECT_TRUE(excel->displayAlerts());
}

TEST_F(SpecialBomTest, ItemsEndAtTheFirstGapInColumnA) {
  xl::WorkbookPtr wb = bomWorkbook({{1, "10K", "R-0603", 1, "R1"},
                                    {2, "1K", "R-0603", 1, "R2"},
                                    {"", "lost", "", 1, "R3"},
                                    {4, "2K", "R-0603", 1, "R4"}});
  formatBom("5");
  EXPECT_EQ(lines(5), (std::vector<std::string>{"No | Value | Decal | QTY | Name", "1 | 10K | R-0603 | 1 | R1",
                                                "2 | 1K | R-0603 | 1 | R2"}));
}

TEST_F(SpecialBomTest, AHeaderWithoutItemsGivesTheHeaderAlone) {
  xl::WorkbookPtr wb = bomWorkbook({});
  for (bool laterRow : {false, true}) {
    SCOPED_TRACE(laterRow);
    if (laterRow) wb->sheet(2)->range("A7").setValue("far below a gap");
    formatBom("5");
    EXPECT_EQ(state().partCount, 1);
    EXPECT_EQ(special()->usedArea(), (xl::Area{1, 1, 1, 5}));
    EXPECT_EQ(lines(5), (std::vector<std::string>{"No | Value | Decal | QTY | Name"}));
    EXPECT_EQ(special()->merges(), (std::vector<xl::Area>{{1, 5, 1, 9}}));
  }
}

TEST_F(SpecialBomTest, TheJoinSymbolOfTheSettingsSplitsTheDesignators) {
  bomWorkbook({{1, "10K", "R-0603", 3, "R1;R2;R3"}, {2, "1K", "R-0603", 2, "R4,R5"}});
  settingsWindow().text1.setText(";");
  formatBom("5");
  EXPECT_EQ(lines(5), (std::vector<std::string>{"No | Value | Decal | QTY | Name",
                                                "1 | 10K | R-0603 | 3 | R1 | R2 | R3", "2 | 1K | R-0603 | 2 | R4,R5"}));
  settingsWindow().text1.setText("");  // no separator: each list is one designator
  formatBom("5");
  EXPECT_EQ(lines(5), (std::vector<std::string>{"No | Value | Decal | QTY | Name", "1 | 10K | R-0603 | 3 | R1;R2;R3",
                                                "2 | 1K | R-0603 | 2 | R4,R5"}));
}

// Without a spreadsheet program running.
class SpecialBomMessagesTest : public ProgramTest {
 protected:
  void formatBom() {
    type(tool().combo1, "Excel");
    click(tool().command5);
  }
  void setSpreadsheetSetting(const std::string& text) {
    program->settings().spreadsheetProgram();
    static_cast<capture::SettingsWindow*>(program->existing(capture::SettingsWindow::kName))->combo5.userType(text);
  }
};

TEST_F(SpecialBomMessagesTest, NoRunningProgramIsReportedAndNothingIsStarted) {
  formatBom();
  setSpreadsheetSetting("WPS");
  world.programs.runSpreadsheet("Excel.Application");  // not the program the setting names
  formatBom();
  EXPECT_EQ(messages(), (std::vector<std::string>{"请打开需要处理的Excel格式BOM清单", "请打开需要处理的Excel格式BOM清单"}));
  EXPECT_EQ(world.programs.spreadsheets().size(), 1u);
  EXPECT_TRUE(world.user.inputs().empty());
  EXPECT_FALSE(program->ended());

  setSpreadsheetSetting("wps");
  formatBom();
  EXPECT_EQ(messages().back(), "请在设置中选择BOM输出软件");
  EXPECT_TRUE(program->ended());
}

TEST_F(SpecialBomMessagesTest, AProgramWithoutAWorkbookIsAnEmptyWorkbook) {
  world.programs.runSpreadsheet("Excel.Application");
  world.user.answerYes();
  formatBom();
  EXPECT_EQ(messages(), (std::vector<std::string>{kConfirm, "当前为空白工作薄"}));
  EXPECT_TRUE(world.user.inputs().empty());
}

TEST_F(SpecialBomMessagesTest, AnEmptyFirstSheetEndsAfterTheOldSpecialBomIsGone) {
  auto excel = world.programs.runSpreadsheet("Excel.Application");
  xl::WorkbookPtr wb = excel->addWorkbook();
  xl::SheetPtr old = wb->addSheet(wb->sheet(1).get(), nullptr);
  old->setName("Special BOM");
  old->range("A1").setValue("No");
  wb->sheet(3)->range("A1:B2").setValue("not the first sheet");
  world.user.answerYes();
  world.user.answerInput("5");
  formatBom();
  EXPECT_EQ(messages(), (std::vector<std::string>{kConfirm, "当前为空白工作表"}));
  EXPECT_EQ(world.user.messages().back().buttons, platform::Buttons::OK);
  ASSERT_EQ(wb->sheetCount(), 3);
  for (long p = 1; p <= 3; ++p) EXPECT_NE(wb->sheet(p)->name(), "Special BOM");
  EXPECT_TRUE(excel->displayAlerts());
}

TEST(DesignatorSplit, SplitsAtEveryExactSeparator) {
  struct Case {
    const char* list;
    const char* sep;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"R1,R2", ",", {"R1", "R2"}},
      {"", ",", {""}},
      {"R1,,R2", ",", {"R1", "", "R2"}},
      {" R1 , R2 ", ",", {" R1 ", " R2 "}},
      {"R1,R2,", ",", {"R1", "R2", ""}},
      {"R1;R2", ",", {"R1;R2"}},
      {"R1, R2", ", ", {"R1", "R2"}},
      {"a,", ",,", {"a"}},  // the appended separator overlaps the list's end
      {"R1,R2", "", {"R1,R2"}},
      {"", "", {""}},
      {"电阻1、电阻2", "、", {"电阻1", "电阻2"}},
      {"r1Xr2xR3", "x", {"r1Xr2", "R3"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.list) + " / " + c.sep);
    EXPECT_EQ(report::designatorSplit(c.list, c.sep), c.expected);
  }
}

}  // namespace
