// "Create" from a prepared workbook: the template question, the list moved to sheet 2
// between two fresh sheets, the rows counted down column A, and the failures of a missing
// spreadsheet program or workbook.
#include <gtest/gtest.h>

#include "capture/part_lists.h"
#include "formats/workbook_data.h"
#include "support/program_fixture.h"
#include "vb/convert.h"

namespace {

namespace xl = platform::xl;
using testing_support::ProgramTest;

// A sheet of these cells: rows of texts (an empty text leaves the cell empty), from row 1.
formats::SheetData sheetOf(const std::string& name, const std::vector<std::vector<std::string>>& rows) {
  formats::SheetData s;
  s.name = name;
  for (size_t r = 0; r < rows.size(); ++r)
    for (size_t c = 0; c < rows[r].size(); ++c) {
      if (rows[r][c].empty()) continue;
      formats::CellData cell;
      cell.row = static_cast<long>(r) + 1;
      cell.col = static_cast<long>(c) + 1;
      cell.value = rows[r][c];
      s.cells.push_back(cell);
    }
  return s;
}

const std::vector<std::vector<std::string>> kList = {
    {"No.", "Value", "Decal", "Qty", "RefDes", "Part Type"},
    {"1", "10K", "R0603", "1", "R1", "RES"},
    {"2", "100nF", "0402", "1", "C1", "CAP"},
    {"3", "LM358", "SOIC8", "1", "U1", "OPAMP"},
};

class PreparedListTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    excel = world.programs.runSpreadsheet("Excel.Application");
    excel->setVisible(true);
    type(tool().combo1, "Excel");
  }
  // The user's workbook: the list first, then sheets of the given names holding their name in A1.
  xl::WorkbookPtr open(const std::vector<std::vector<std::string>>& list, const std::vector<std::string>& others) {
    formats::WorkbookData data;
    data.name = "prepared.xlsx";
    data.sheets.push_back(sheetOf("List", list));
    for (const auto& n : others) data.sheets.push_back(sheetOf(n, {{n}}));
    return excel->addWorkbookFromData(data);
  }
  std::vector<std::string> sheetNames(xl::Workbook& wb) {
    std::vector<std::string> out;
    for (long i = 1; i <= wb.sheetCount(); ++i) out.push_back(wb.sheet(i)->name());
    return out;
  }
  // The list operation alone; answered Yes and no board prefix.
  void list() {
    world.user.answerYes();
    world.user.answerInput("");
    program->dispatch([&] { capture::listFromPreparedWorkbook(tool().context()); });
  }

  std::shared_ptr<sim::SimSpreadsheet> excel;
};

TEST_F(PreparedListTest, ANoToTheTemplateQuestionLeavesTheWorkbookAlone) {
  xl::WorkbookPtr wb = open(kList, {"Notes"});
  world.user.answerNo();
  click(tool().command1);
  ASSERT_EQ(world.user.messages().size(), 1u);
  EXPECT_EQ(world.user.messages()[0].text, "当前工作薄数据是否符合模版要求?");
  EXPECT_EQ(world.user.messages()[0].buttons, platform::Buttons::YesNo);
  EXPECT_EQ(world.user.messages()[0].title, "Velmora");
  EXPECT_EQ(state().abortFlag, "ON");
  EXPECT_TRUE(world.user.inputs().empty());
  EXPECT_EQ(sheetNames(*wb), (std::vector<std::string>{"List", "Notes"}));
}

// Whatever the workbook holds, the list ends as sheet 2 between two fresh sheets, and the
// user's other sheets follow untouched, so the report steps never write over them.
TEST_F(PreparedListTest, TheListBecomesSheetTwoBetweenTwoFreshSheets) {
  const std::vector<std::vector<std::string>> cases = {
      {}, {"S2"}, {"S2", "S3"}, {"S2", "S3", "S4", "S5"}};
  for (const auto& others : cases) {
    SCOPED_TRACE(others.size() + 1);
    xl::WorkbookPtr wb = open(kList, others);
    list();
    ASSERT_EQ(wb->sheetCount(), static_cast<long>(others.size()) + 3);
    EXPECT_EQ(wb->sheet(2)->name(), "List");
    EXPECT_EQ(vb::toText(wb->sheet(2)->get(4, 5)), "U1");
    for (long fresh : {1L, 3L}) {
      EXPECT_EQ(wb->sheet(fresh)->usedArea(), (xl::Area{1, 1, 1, 1}));
      EXPECT_TRUE(wb->sheet(fresh)->get(1, 1).isEmpty());
    }
    for (size_t k = 0; k < others.size(); ++k) {
      xl::SheetPtr s = wb->sheet(static_cast<long>(k) + 4);
      EXPECT_EQ(s->name(), others[k]);
      EXPECT_EQ(vb::toText(s->get(1, 1)), others[k]);
    }
    EXPECT_EQ(wb->activeSheet()->name(), "List");
  }
}

TEST_F(PreparedListTest, PartsAreCountedDownColumnA) {
  std::vector<std::vector<std::string>> big = {kList[0]};
  for (int i = 1; i <= 120; ++i) big.push_back({std::to_string(i), "10K", "R0603", "1", "R" + std::to_string(i), "RES"});
  struct Case {
    const char* name;
    std::vector<std::vector<std::string>> rows;
    long parts;
  };
  const Case cases[] = {
      {"120 parts", big, 120},
      // Empty rows inside count; a note below the last number of column A does not.
      {"gaps", {kList[0], {"1", "10K"}, {}, {"", "C1"}, {"4", "LM358"}, {"", "", "", "", "注: 备料"}}, 4},
      {"headings only", {kList[0]}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    open(c.rows, {});
    list();
    EXPECT_EQ(state().partCount, c.parts);
    EXPECT_EQ(state().lastRow, c.parts + 1);
  }
}

TEST_F(PreparedListTest, WithoutAProgramOrWorkbookTheCommandStopsAfterThePrefixQuestion) {
  // The running program has no workbook open.
  list();
  ASSERT_EQ(world.user.inputs().size(), 1u);
  ASSERT_FALSE(world.user.messages().empty());
  EXPECT_EQ(world.user.messages().back().text, "运行时错误 '91':\nObject variable or With block variable not set");

  // Only WPS runs while the settings name Excel.
  sim::World other;
  app::Program second(other.programs, other.user, other.desktop, other.files);
  second.start();
  other.programs.runSpreadsheet("ET.Application");
  second.dispatch([&] { second.tool().combo1.userType("Excel"); });
  other.user.answerYes();
  other.user.answerInput("3");
  second.dispatch([&] { second.tool().command1.userClick(); });
  EXPECT_EQ(second.tool().toolState().prefixCount, 3);
  ASSERT_FALSE(other.user.messages().empty());
  EXPECT_EQ(other.user.messages().back().text, "运行时错误 '429':\nActiveX component can't create object");
  EXPECT_EQ(other.programs.spreadsheet("ET.Application")->workbookCount(), 0);
}

TEST_F(PreparedListTest, CreateGoesOnToTheReportsInTheUsersWorkbook) {
  xl::WorkbookPtr wb = open(kList, {"Notes", "Prices"});
  world.user.answerYes();
  world.user.answerInput("");
  click(tool().command1);
  EXPECT_EQ(state().abortFlag, "");
  EXPECT_EQ(sheetNames(*wb),
            (std::vector<std::string>{"BOM Report", "List Report", "Change Report", "Notes", "Prices"}));
  // The list keeps the user's cells; the other sheets keep theirs.
  xl::SheetPtr list = wb->sheet(2);
  for (long r = 1; r <= 4; ++r)
    for (long c = 1; c <= 6; ++c) EXPECT_EQ(vb::toText(list->get(r, c)), kList[r - 1][c - 1]) << r << "," << c;
  EXPECT_EQ(vb::toText(wb->sheet(4)->get(1, 1)), "Notes");
  EXPECT_EQ(vb::toText(wb->sheet(5)->get(1, 1)), "Prices");
  EXPECT_EQ(excel->workbookCount(), 1);
}

}  // namespace
