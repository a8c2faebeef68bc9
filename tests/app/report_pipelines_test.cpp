// The Create change report and the rest of its pipeline, run on part lists laid out as
// the list operations leave them.
#include <gtest/gtest.h>

#include "app/report_pipelines.h"
#include "support/program_fixture.h"
#include "vb/convert.h"
#include "vb/text.h"

namespace {

using testing_support::ProgramTest;
namespace xl = platform::xl;

class CreatePipelineTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    excel = world.programs.runSpreadsheet("Excel.Application");
    excel->setVisible(true);
    wb = excel->addWorkbook();
  }
  // A part list on sheet 2: a header and rows of cells.
  void list(const std::vector<std::vector<vb::Variant>>& rows) {
    xl::SheetPtr s = wb->sheet(2);
    s->columns("A:F").setNumberFormat("@");
    for (size_t r = 0; r < rows.size(); ++r)
      for (size_t c = 0; c < rows[r].size(); ++c)
        s->cell(static_cast<long>(r) + 1, static_cast<long>(c) + 1).setValue(rows[r][c]);
    state().spreadsheetApp = excel;
    state().partCount = static_cast<long>(rows.size()) - 1;
    state().lastRow = static_cast<long>(rows.size());
  }
  void run(const std::string& source) {
    tool().combo1.userType(source);
    program->dispatch([&] { app::buildCreateReports(tool().context()); });
  }
  std::string text(long sheet, long r, long c) { return vb::toText(wb->sheet(sheet)->get(r, c)); }
  std::vector<std::string> column(long sheet, long c, long rows) {
    std::vector<std::string> out;
    for (long r = 2; r <= rows + 1; ++r) out.push_back(text(sheet, r, c));
    return out;
  }

  std::shared_ptr<sim::SimSpreadsheet> excel;
  xl::WorkbookPtr wb;
};

const std::vector<vb::Variant> kLayoutHeader = {"No.", "Value", "PartDecal", "Qty", "RefDes", "Comment", "Pins",
                                                "layer", "Orient.", "X", "Y", "SMD", "Glued"};

TEST_F(CreatePipelineTest, PadsListsKeepTheirOrderAndTheirAttributeColumn) {
  // A PADS Layout list: 13 columns, "Orient." and "X" in I1 and J1.
  list({kLayoutHeader,
        {1.0, "10K", "0603", "1", "R10", "RES", 2.0, "Top", 90.0, 1.0, 2.0, "Yes", "No"},
        {2.0, "10K", "0603", "1", "R2", "RES", 2.0, "Top", 0.0, 3.0, 4.0, "Yes", "No"},
        {3.0, "1K", "0603", "1", "R1", "RES", 2.0, "Bottom", 0.0, 5.0, 6.0, "Yes", "No"}});
  run("Layout");
  EXPECT_EQ(column(3, 5, 3), (std::vector<std::string>{"R1", "R10", "R2"}));  // by value, then list order
  EXPECT_EQ(column(3, 6, 3), (std::vector<std::string>{"RES", "RES", "RES"}));  // no designator sort: F stays
  EXPECT_EQ(column(3, 3, 3), (std::vector<std::string>{"R-0603", "R-0603", "R-0603"}));
  EXPECT_EQ(column(3, 8, 3), (std::vector<std::string>{"YES", "YES", "YES"}));
  // The report holds none of the placement columns; the keys are cleared with their headings.
  for (long c = 9; c <= 13; ++c) EXPECT_TRUE(wb->sheet(3)->get(2, c).isEmpty()) << c;
  EXPECT_TRUE(wb->sheet(3)->get(1, 9).isEmpty());
  EXPECT_EQ(text(2, 1, 9), "Orient.");  // the list's headings come back
  EXPECT_EQ(text(2, 1, 10), "X");
  EXPECT_EQ(text(2, 2, 10), "1");       // and its rows are never written
}

TEST_F(CreatePipelineTest, OtherSourcesSortEqualValuesInNaturalDesignatorOrder) {
  list({{"No.", "Comment", "Footprint", "Qty", "Designator"},
        {1.0, "10K", "R0603", 1.0, "R10"},
        {2.0, "10K", "R0603", 1.0, "R2"},
        {3.0, "10K", "R0603", 1.0, "R1"},
        {4.0, "104", "C0603", 1.0, "C12"}});
  run("Protel99se");
  EXPECT_EQ(column(3, 5, 4), (std::vector<std::string>{"R1", "R2", "R10", "C12"}));
  EXPECT_EQ(column(3, 6, 4), (std::vector<std::string>{"", "", "", ""}));
  EXPECT_EQ(text(3, 1, 6), "Part Type");
  EXPECT_TRUE(wb->sheet(2)->get(1, 9).isEmpty());
}

TEST_F(CreatePipelineTest, TheReportCarriesItsFormatsLookAndFlags) {
  list({{"No.", "Comment", "Footprint", "Qty", "Designator"},
        {1.0, "10k ", "0603_R", 1.0, "R7"},
        {2.0, "NC", "C-0402", 1.0, "RC1"}});
  // With values converted: 10k becomes 10K (case and blanks count as a change).
  program->settings().convertAttributes();
  static_cast<capture::SettingsWindow*>(program->existing(capture::SettingsWindow::kName))->combo3.userType("是");
  run("Protel99se");
  xl::SheetPtr r = wb->sheet(3);
  // R7 first (Sort1 10000), RC1 without a number last.
  EXPECT_EQ(text(3, 2, 2), "10K");
  EXPECT_EQ(text(3, 2, 7), "YES");
  EXPECT_EQ(text(3, 2, 3), "R-0603");
  EXPECT_EQ(text(3, 3, 2), "NC");
  EXPECT_EQ(text(3, 3, 3), "C-0402");  // RC1: rewritten to R-0402 and back, yet flagged
  EXPECT_EQ(text(3, 3, 8), "YES");
  EXPECT_EQ(r->styleAt(5000, 1).numberFormat, "@");  // whole columns A to H keep texts
  EXPECT_EQ(r->styleAt(5000, 8).numberFormat, "@");
  EXPECT_EQ(r->styleAt(5000, 9).numberFormat, "General");
  for (long c = 1; c <= 8; ++c) {
    EXPECT_TRUE(r->styleAt(1, c).bold);
    EXPECT_EQ(r->styleAt(1, c).fontSize, 15);
    EXPECT_EQ(r->styleAt(1, c).fill, 9478398);
  }
  ASSERT_TRUE(r->filter().has_value());
  EXPECT_EQ(*r->filter(), (xl::Area{1, 1, 3, 8}));
  EXPECT_EQ(wb->sheet(1)->name(), "BOM Report");
  EXPECT_EQ(wb->sheet(2)->name(), "List Report");
  EXPECT_EQ(r->name(), "Change Report");
  // The spreadsheet is left with events off, screen updating on; the flow lets it go.
  EXPECT_FALSE(excel->enableEvents());
  EXPECT_TRUE(excel->screenUpdating());
  EXPECT_EQ(state().spreadsheetApp, nullptr);
  EXPECT_EQ(wb->sheet(1)->activeCell(), (xl::Area{1, 1, 1, 1}));
}

TEST_F(CreatePipelineTest, ALongListIsNormalisedAndReportedWholeRowByRow) {
  // More rows than the report builds at a time; 100 values, so the BOM lines stay short.
  const long parts = 20000;
  std::vector<std::vector<vb::Variant>> rows = {{"No.", "Comment", "Footprint", "Qty", "Designator"}};
  auto valueOf = [](long i) { return std::to_string(i % 100 + 1) + "K"; };
  for (long i = 1; i <= parts; ++i)
    rows.push_back({static_cast<double>(i), valueOf(i), "0603", 1.0, "R" + std::to_string(i)});
  list(rows);
  run("Layout");
  ASSERT_TRUE(world.user.messages().empty()) << world.user.messages().front().text;
  std::vector<bool> seen(static_cast<size_t>(parts) + 1, false);
  long wrong = 0;
  for (long r = 2; r <= parts + 1; ++r) {
    const std::string designator = text(3, r, 5);
    const long i = designator.size() > 1 ? std::stol(designator.substr(1)) : 0;
    const bool right = i >= 1 && i <= parts && !seen[static_cast<size_t>(i)] && text(3, r, 2) == valueOf(i) &&
                       text(3, r, 3) == "R-0603" && text(3, r, 8) == "YES";
    if (right) seen[static_cast<size_t>(i)] = true;
    else if (wrong++ == 0) ADD_FAILURE() << "report row " << r << ": " << designator << " " << text(3, r, 2);
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_TRUE(text(3, parts + 2, 5).empty());
}

TEST_F(CreatePipelineTest, AHeaderOnlyListGivesAHeaderAndATotalOfNothing) {
  list({{"No.", "Comment", "Footprint", "Qty", "Designator"}});
  run("Protel99se");
  EXPECT_TRUE(world.user.messages().empty());
  EXPECT_EQ(text(1, 1, 1), "No");
  EXPECT_EQ(text(1, 2, 1), "Total:");
  EXPECT_EQ(text(1, 2, 4), "0");
  EXPECT_EQ(wb->sheet(3)->name(), "Change Report");
}

TEST_F(CreatePipelineTest, LongDesignatorListsGetTheGeneralFormat) {
  std::vector<std::vector<vb::Variant>> rows = {{"No.", "Comment", "Footprint", "Qty", "Designator"}};
  // 51 designators of four characters and one of five, joined by commas: 260 characters
  // on one line; 50 of four and one of three: 253 characters, which keeps the text format.
  for (int i = 0; i < 52; ++i)
    rows.push_back({static_cast<double>(i + 1), "10K", "R0603", 1.0, "R" + std::to_string(100 + i)});
  rows.back()[4] = "R1000";
  for (int i = 0; i < 51; ++i)
    rows.push_back({static_cast<double>(i + 53), "1K", "R0603", 1.0, "R" + std::to_string(200 + i)});
  rows.back()[4] = "R25";
  list(rows);
  run("Protel99se");
  xl::SheetPtr bom = wb->sheet(1);
  long tenK = 0, oneK = 0;
  for (long r = 2; r <= 6; ++r) {
    if (text(1, r, 2) == "10K") tenK = r;
    if (text(1, r, 2) == "1K") oneK = r;
  }
  ASSERT_GT(tenK, 0);
  ASSERT_GT(oneK, 0);
  EXPECT_GT(vb::len(text(1, tenK, 5)), 255);
  EXPECT_EQ(bom->styleAt(tenK, 5).numberFormat, "General");
  EXPECT_LE(vb::len(text(1, oneK, 5)), 255);
  EXPECT_EQ(bom->styleAt(oneK, 5).numberFormat, "@");
}

TEST_F(CreatePipelineTest, AWorkbookThatAlreadyHasAReportSheetStopsAtTheNames) {
  list({{"No.", "Comment", "Footprint", "Qty", "Designator"}, {1.0, "10K", "R0603", 1.0, "R1"}});
  wb->addSheet(nullptr, wb->sheet(3).get())->setName("BOM Report");
  run("Protel99se");
  ASSERT_EQ(world.user.messages().size(), 1u);
  EXPECT_EQ(world.user.messages()[0].text.rfind("运行时错误 '1004':\n", 0), 0u);
  EXPECT_EQ(wb->sheet(1)->name(), "Sheet1");
  EXPECT_NE(state().spreadsheetApp, nullptr);  // a stop before the end leaves the reference set
}

}  // namespace
