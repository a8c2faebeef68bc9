// The sheet tools of the tab "标准化BOM" through the window's buttons: what they do on
// sheets that are no standard BOM, where the designator report goes, an empty JoinSymbol,
// and a Special BOM that cannot be added.
#include <gtest/gtest.h>

#include "capture/settings_window.h"
#include "sim/sim_spreadsheet.h"
#include "support/workbook_dump.h"
#include "vb/convert.h"
#include "workbench/bom_view_fixture.h"

namespace {

namespace xl = platform::xl;
using Rows = std::vector<std::vector<const char*>>;

class SheetToolsTest : public testing_support::BomViewTest {
 protected:
  void SetUp() override {
    BomViewTest::SetUp();
    excel = world.programs.runSpreadsheet("Excel.Application");
    excel->setVisible(true);
    book = excel->addWorkbook();
  }
  // Sheet `position` holds these rows from A1; "" leaves a cell empty.
  void fill(long position, const Rows& rows) {
    xl::SheetPtr s = book->sheet(position);
    for (size_t r = 0; r < rows.size(); ++r)
      for (size_t c = 0; c < rows[r].size(); ++c)
        if (*rows[r][c]) s->cell(static_cast<long>(r) + 1, static_cast<long>(c) + 1).setValue(rows[r][c]);
  }
  std::string row(xl::Sheet& s, long r, long cols) {
    std::string out;
    for (long c = 1; c <= cols; ++c) out += (c > 1 ? "," : "") + testing_support::cellValueText(s.get(r, c));
    return out;
  }
  std::string lastMessage() { return messages().empty() ? "(none)" : messages().back(); }
  void press(const char* button) { click(*w->control(button)); }

  std::shared_ptr<sim::SimSpreadsheet> excel;
  xl::WorkbookPtr book;
};

const char* const kHeader[] = {"序号", "物料编码", "物料名称", "物料规格", "单位", "用量", "位号", "单价", "供应商", "报价", "备注"};

Rows standardBom(std::initializer_list<std::vector<const char*>> items) {
  Rows rows{std::vector<const char*>(std::begin(kHeader), std::end(kHeader))};
  rows.insert(rows.end(), items);
  return rows;
}

TEST_F(SheetToolsTest, CleanUpsLeaveTheHeaderAndWriteTotalsOnlyIntoATotalRow) {
  // A header alone, and a sheet whose last row is an item, not a "Total:" row.
  fill(1, standardBom({}));
  world.user.answerYes();
  press("Command9");
  press("Command19");
  EXPECT_EQ(vb::toText(book->sheet(1)->get(1, 11)), "备注") << "the header is never cleared";
  EXPECT_EQ(vb::toText(book->sheet(1)->get(1, 6)), "用量") << "nor overwritten by totals";

  book = excel->addWorkbook();
  fill(1, standardBom({{"Resister", "", "", "", "", "", "", "", "", "", ""},
                       {"7", "A", "R", "10K", "PCS", "2", "R1,R2", "", "", "0.5", ""},
                       {"9", "B", "C", "NC", "PCS", "1", "C1", "", "", "", ""},
                       {"9", "C", "U", "LM358", "PCS", "1", "U1", "", "", "2", ""}}));
  world.user.answerYes();
  press("Command8");
  xl::Sheet& s = *book->sheet(1);
  EXPECT_EQ(row(s, 2, 6), "\"Resister\",,,,,");
  EXPECT_EQ(row(s, 3, 6), "1,\"A\",\"R\",\"10K\",\"PCS\",2");
  EXPECT_EQ(row(s, 4, 6), "2,\"C\",\"U\",\"LM358\",\"PCS\",1") << "no \"Total:\" row: no totals written over it";
}

TEST_F(SheetToolsTest, TheDesignatorReportNeverClearsASheetOfTheUsers) {
  fill(1, standardBom({{"1", "A", "R", "10K", "PCS", "2", "R1,R1", "", "", "", ""}}));
  fill(2, {{"my", "own", "data"}});
  press("Command17");
  EXPECT_EQ(lastMessage(), "元件序号有重复,\n已经用红色标示!\n详情请参阅Sheet2.");
  EXPECT_EQ(vb::toText(book->sheet(3)->get(1, 1)), "my") << "the user's sheet moved on, untouched";
  xl::Sheet& report = *book->sheet(2);
  EXPECT_EQ(row(report, 1, 5), "\"序号\",\"元件位号\",\"物料编码\",\"物料名称\",\"物料规格\"");
  EXPECT_EQ(row(report, 3, 5), "2,\"R1\",\"A\",\"R\",\"10K\"");
  EXPECT_EQ(report.styleAt(2, 1).fill, platform::kMarkRed);

  // A second run reuses its own report; a run that cannot place its report says nothing.
  press("Command17");
  EXPECT_EQ(book->sheetCount(), 4);
  const size_t shown = messages().size();
  book = excel->addWorkbook();
  fill(1, standardBom({{"1", "A", "R", "10K", "PCS", "2", "R1", "", "", "", ""}}));
  fill(2, {{"mine"}});
  world.faults.set("spreadsheet", "Sheets.Add");
  press("Command17");
  EXPECT_EQ(messages().size(), shown) << "no \"没有元件重复!!!\" for a check that did not run";
  EXPECT_EQ(vb::toText(book->sheet(2)->get(1, 1)), "mine");
}

TEST_F(SheetToolsTest, AnEmptyJoinSymbolTakesTheDesignatorTextWhole) {
  program->settings().spreadsheetProgram();  // the first read creates the settings window
  auto* settings = static_cast<capture::SettingsWindow*>(program->existing(capture::SettingsWindow::kName));
  ASSERT_NE(settings, nullptr);
  settings->text1.setText("");
  fill(1, standardBom({{"1", "A", "R", "10K", "PCS", "2", "R1,R2", "", "", "", ""},
                       {"Total:", "", "", "", "", "2", "", "", "", "", ""}}));
  press("Command17");
  EXPECT_EQ(row(*book->sheet(2), 2, 2), "1,\"R1,R2\"");
  world.user.answerInput("5");
  press("Command15");
  EXPECT_EQ(lastMessage(), "      Okay!");
  EXPECT_EQ(row(*book->sheet("Special BOM"), 2, 7), "1,\"A\",\"R\",\"10K\",\"PCS\",2,\"R1,R2\"");
}

TEST_F(SheetToolsTest, ASpecialBomThatCannotBeAddedWritesNothingAndSaysNoOkay) {
  fill(1, standardBom({{"1", "A", "R", "10K", "PCS", "2", "R1,R2", "", "", "", ""}}));
  world.faults.set("spreadsheet", "Sheets.Add");
  world.user.answerInput("5");
  press("Command15");
  EXPECT_TRUE(messages().empty()) << lastMessage();
  EXPECT_EQ(vb::toText(book->sheet(1)->get(2, 7)), "R1,R2");
  EXPECT_EQ(book->sheet(1)->name(), "Sheet1");
  EXPECT_TRUE(excel->displayAlerts());

  // A source whose A2 is empty: the header alone.
  world.faults.clear();
  book = excel->addWorkbook();
  fill(1, standardBom({}));
  book->sheet(1)->cell(5, 1).setValue("far below");
  world.user.answerInput("5");
  press("Command15");
  EXPECT_EQ(lastMessage(), "      Okay!");
  EXPECT_EQ(platform::lastUsedRow(*book->sheet("Special BOM"), 1), 1);
}

}  // namespace
