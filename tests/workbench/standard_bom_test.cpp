// "导出标准BOM" and "导入初始BOM" through the window's buttons: the standard BOM sheet
// cell by cell with its "Total:" row, the totals, what a failure leaves, and the import
// of a BOM report or a standard BOM from sheet 1.
#include <gtest/gtest.h>

#include "sim/sim_spreadsheet.h"
#include "support/workbook_dump.h"
#include "vb/convert.h"
#include "workbench/bom_view_fixture.h"

namespace {

namespace xl = platform::xl;
using Cells = std::vector<std::string>;

class StandardBomTest : public testing_support::BomViewTest {
 protected:
  void runExcel() {
    excel = world.programs.runSpreadsheet("Excel.Application");
    excel->setVisible(true);
  }
  void add(const Cells& cells) { grid().addRow(cells); }
  void exportGrid() { click(w->command7); }
  void importGrid() { click(w->command5); }
  // A cell as the sheet dump writes it: a number plainly, a text in quotes.
  static std::string cell(xl::Sheet& s, long r, long c) { return testing_support::cellValueText(s.get(r, c)); }
  // Row r of the sheet, columns A to K.
  static std::string sheetRow(xl::Sheet& s, long r) {
    std::string out;
    for (long c = 1; c <= 11; ++c) out += (c > 1 ? "," : "") + cell(s, r, c);
    return out;
  }
  std::string gridRow(int r) {
    std::string out;
    for (int c = 0; c < 11; ++c) out += (c ? "," : "") + grid().cell(r, c);
    return out;
  }
  xl::SheetPtr exported() { return excel->workbooks().back()->sheet(1); }

  std::shared_ptr<sim::SimSpreadsheet> excel;
};

TEST_F(StandardBomTest, ExportWritesHeaderRowsAndATotalRowBelowThemWithTheSheetsLook) {
  runExcel();
  add({"Chip", "", "", "", "", "3", "", "", "", "1.5", ""});
  add({"1", "0100234", "R0603", "0402", "PCS", "2", "R1,R2", "0.01", "ACME", "0.02", "10K R0603"});
  add({"2", "B2", "C0603", "1E3", "PCS", "1", "C1", "", "", "", ""});
  add({"Total:", "", "", "", "", "6", "", "", "", "9", ""});
  w->newRowFlag = 1;
  exportGrid();
  EXPECT_EQ(messages(), std::vector<std::string>{"      Okay!"});
  EXPECT_EQ(w->newRowFlag, 0);
  ASSERT_EQ(excel->workbooks().size(), 1u);
  EXPECT_TRUE(excel->visible());
  xl::Sheet& s = *exported();
  EXPECT_EQ(sheetRow(s, 1), "\"序号\",\"物料编码\",\"物料名称\",\"物料规格\",\"单位\",\"用量\",\"位号\",\"单价\",\"供应商\",\"报价\",\"备注\"");
  // A title row's count stays out of F; texts the general format would turn into numbers
  // stay texts, plain numbers are numbers.
  EXPECT_EQ(sheetRow(s, 2), "\"Chip\",,,,,,,,,1.5,");
  EXPECT_EQ(sheetRow(s, 3), "1,\"0100234\",\"R0603\",\"0402\",\"PCS\",2,\"R1,R2\",0.01,\"ACME\",0.02,\"10K R0603\"");
  EXPECT_EQ(sheetRow(s, 4), "2,\"B2\",\"C0603\",\"1E3\",\"PCS\",1,\"C1\",,,,");
  EXPECT_EQ(sheetRow(s, 5), "\"Total:\",,,,,3,,,,1.52,");  // fresh sums; the grid's "Total:" row is gone
  EXPECT_EQ(sheetRow(s, 6), ",,,,,,,,,,");
  EXPECT_EQ(grid().rowCount(), 3);
  EXPECT_EQ(grid().selectedRow(), 2);
  EXPECT_TRUE(s.styleAt(1, 11).bold);
  EXPECT_FALSE(s.styleAt(2, 1).bold);
  EXPECT_EQ(s.styleAt(3, 4).numberFormat, "@");
  EXPECT_EQ(s.styleAt(3, 6).numberFormat, "General");
  // Borders from A1 to K of the "Total:" row, and none below.
  EXPECT_EQ(testing_support::edges(s.styleAt(5, 11)), "LTRB");
  EXPECT_EQ(testing_support::edges(s.styleAt(6, 1)), "");
  EXPECT_EQ(testing_support::edges(s.styleAt(1, 12)), "");
  EXPECT_EQ(s.styleAt(4, 2).fontSize, 9);
  EXPECT_TRUE(s.styleAt(4, 2).wrap);
  EXPECT_EQ(s.styleAt(2, 1).fill, xl::kNoFill);
  ASSERT_TRUE(s.filter());
  EXPECT_EQ(xl::addressText(*s.filter()), "$A$1:$K$1048576");
}

TEST_F(StandardBomTest, TotalsSumTheLeadingNumbersOfQuantitiesAndQuotes) {
  runExcel();
  add({"1", "", "", "X", "", "2 pcs", "", "", "", "12abc", ""});
  add({"2", "", "", "Y", "", "1,500", "", "", "", "&H10", ""});
  add({"3", "", "", "Z", "", " 1 2 ", "", "", "", "", ""});
  add({"Top Part:", "", "", "", "", "40", "", "", "", "0.5", ""});
  exportGrid();
  xl::Sheet& s = *exported();
  EXPECT_EQ(cell(s, 6, 1), "\"Total:\"");
  EXPECT_EQ(cell(s, 6, 6), "15");   // 2 + 1 + 12; the title row adds nothing
  EXPECT_EQ(cell(s, 6, 10), "28.5");  // 12 + 16 + 0 + 0.5
}

TEST_F(StandardBomTest, OnlyTheLowestTotalRowLeavesTheGridWhereverItStands) {
  runExcel();
  add({"Total:", "", "", "", "", "1", "", "", "", "", ""});
  add({"1", "", "", "X", "", "1", "", "", "", "", ""});
  add({"Total:", "", "", "", "", "1", "", "", "", "", ""});
  add({"2", "", "", "Y", "", "1", "", "", "", "", ""});
  exportGrid();
  ASSERT_EQ(grid().rowCount(), 3);
  EXPECT_EQ(grid().cell(0, 0), "Total:");
  EXPECT_EQ(grid().cell(2, 0), "2");
  EXPECT_EQ(cell(*exported(), 2, 1), "\"Total:\"");
  EXPECT_EQ(cell(*exported(), 5, 1), "\"Total:\"");
  EXPECT_EQ(cell(*exported(), 5, 6), "2");
}

TEST_F(StandardBomTest, AGridOfOnlyATotalRowGivesTheHeaderAndAnEmptyTotalRow) {
  runExcel();
  add({"Total:", "", "", "", "", "7", "", "", "", "3", ""});
  exportGrid();
  EXPECT_EQ(grid().rowCount(), 0);
  xl::Sheet& s = *exported();
  EXPECT_EQ(sheetRow(s, 2), "\"Total:\",,,,,,,,,,");
  EXPECT_EQ(testing_support::edges(s.styleAt(2, 11)), "LTRB");
  EXPECT_EQ(testing_support::edges(s.styleAt(3, 1)), "");
  EXPECT_EQ(messages(), std::vector<std::string>{"      Okay!"});
}

TEST_F(StandardBomTest, TheTotalRowNeverOverwritesExportedRowsWithoutNumber) {
  runExcel();
  add({"1", "", "", "X", "", "1", "", "", "", "", ""});
  add({"", "", "", "Y", "", "2", "", "", "", "", ""});
  add({"", "", "", "Z", "", "3", "", "", "", "", ""});
  exportGrid();
  xl::Sheet& s = *exported();
  EXPECT_EQ(sheetRow(s, 4), ",,,\"Z\",,3,,,,,");
  EXPECT_EQ(sheetRow(s, 5), "\"Total:\",,,,,6,,,,0,");
}

TEST_F(StandardBomTest, AnExportThatCannotStartLeavesTheGridAndShowsNothing) {
  add({"1", "", "", "X", "", "1", "", "", "", "", ""});
  add({"Total:", "", "", "", "", "1", "", "", "", "", ""});
  w->newRowFlag = 1;
  exportGrid();  // no spreadsheet program runs
  EXPECT_EQ(grid().rowCount(), 2);
  EXPECT_EQ(w->newRowFlag, 0);
  EXPECT_TRUE(messages().empty());

  runExcel();
  xl::WorkbookPtr active = excel->addWorkbook();
  world.faults.set("spreadsheet", "Workbooks.Add");
  exportGrid();  // the new workbook cannot be made: nothing goes into the active one
  EXPECT_EQ(excel->workbooks().size(), 1u);
  EXPECT_TRUE(active->sheet(1)->get(1, 1).isEmpty());
  EXPECT_EQ(grid().rowCount(), 2);
  EXPECT_TRUE(messages().empty());
  world.faults.clear();

  program->dispatch([&] { grid().clearRows(); });
  exportGrid();  // an empty grid: no workbook, no message
  EXPECT_EQ(excel->workbooks().size(), 1u);
  EXPECT_TRUE(messages().empty());
}

}  // namespace

namespace {

class BomImportTest : public StandardBomTest {
 protected:
  void SetUp() override {
    StandardBomTest::SetUp();
    runExcel();
  }
  // A workbook whose first sheet holds these rows from row 1 (texts that read as numbers
  // become numbers, as typed into a sheet).
  xl::WorkbookPtr workbook(const std::vector<Cells>& rows) {
    xl::WorkbookPtr wb = excel->addWorkbook();
    for (size_t r = 0; r < rows.size(); ++r)
      for (size_t c = 0; c < rows[r].size(); ++c)
        wb->sheet(1)->cell(static_cast<long>(r) + 1, static_cast<long>(c) + 1).setValue(vb::Variant(rows[r][c]));
    return wb;
  }
  std::vector<std::string> gridRows() {
    std::vector<std::string> out;
    for (int r = 0; r < grid().rowCount(); ++r) out.push_back(gridRow(r));
    return out;
  }
};

TEST_F(BomImportTest, ABomReportSpreadsItsFiveColumnsOverTheGrid) {
  workbook({{"No", "Value", "Decal", "QTY", "Name", "", "", "", "", "", "备注"},
            {"Chip", "", "", "3", ""},
            {"1", "10K", "R0603", "2", "R1,R2"},
            {"", " 4.7uF ", "", "1", "c1"},
            {"Total:", "", "", "3", ""},
            {"", "left out", "", "", "R9"}});
  w->newRowFlag = 1;
  w->currentRowIndex = 4;
  grid().addRow({"old"});
  importGrid();
  std::vector<std::string> expected = {
      "Chip,,,,,3,,,,,",
      "1,,R0603,10K,,2,R1,R2,,,,10K R0603",
      ",,, 4.7uF ,,1,c1,,,,",
      "Total:,,,,,3,,,,,",
  };
  EXPECT_EQ(gridRows(), expected);
  EXPECT_EQ(w->newRowFlag, 0);
  EXPECT_EQ(w->currentRowIndex, 4);
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(w->focused(), &grid());
  importGrid();  // twice gives the same grid
  EXPECT_EQ(gridRows(), expected);
}

TEST_F(BomImportTest, AStandardBomComesInColumnByColumnWithItsTotalRow) {
  workbook({{"序号", "物料编码", "物料名称", "物料规格", "单位", "用量", "位号", "单价", "供应商", "报价", "备注"},
            {"1", "B1", "RES", "10K", "PCS", "2", "R1,R2", "0.01", "ACME", "0.02", "x"},
            {"Total:", "", "", "", "", "2", "", "", "", "0.02", ""}});
  importGrid();
  std::vector<std::string> expected = {"1,B1,RES,10K,PCS,2,R1,R2,0.01,ACME,0.02,x", "Total:,,,,,2,,,,0.02,"};
  EXPECT_EQ(gridRows(), expected);
}

TEST_F(BomImportTest, HeadersAreTestedExactlyAndAnUnknownSheetLoadsNothing) {
  const std::vector<Cells> firstRows[] = {
      {{"No", "Value", "Decal", "QTY", "name"}, {"1", "10K", "R0603", "1", "R1"}},
      {{"序号", "", "", "", "", "", "", "", "", "", "备注 "}, {"1", "10K", "R0603", "1", "R1"}},
      {{"No", "Value", "Decal", "QTY", "Name"}},  // nothing below the header
  };
  for (const auto& rows : firstRows) {
    SCOPED_TRACE(rows[0][4]);
    workbook(rows);
    grid().addRow({"edited"});
    importGrid();
    EXPECT_EQ(grid().rowCount(), 0);  // the import went ahead: the grid is replaced
    EXPECT_TRUE(messages().empty());
  }
}

TEST_F(BomImportTest, ASpecialBomSheetIsDeletedOnYesAndNoOrNoProgramLeavesTheGridAlone) {
  xl::WorkbookPtr wb = workbook({{"No", "Value", "Decal", "QTY", "Name"}, {"1", "10K", "R0603", "1", "R1"}});
  wb->sheet(3)->setName("Special BOM");
  grid().addRow({"mine"});
  world.user.answerNo();
  importGrid();
  EXPECT_EQ(messages(), std::vector<std::string>{"将删除Special BOM工作表,\n是---继续     否---退出."});
  EXPECT_EQ(gridRows(), std::vector<std::string>{"mine,,,,,,,,,,"});
  EXPECT_TRUE(excel->displayAlerts());
  EXPECT_EQ(wb->sheetCount(), 3);

  world.user.answerYes();
  importGrid();
  EXPECT_EQ(wb->sheetCount(), 2);
  EXPECT_EQ(gridRows(), std::vector<std::string>{"1,,R0603,10K,,1,R1,,,,10K R0603"});
  EXPECT_TRUE(excel->displayAlerts());

  wb->sheet(2)->setName("special bom");  // another name: no question
  importGrid();
  EXPECT_EQ(messages().size(), 2u);
  EXPECT_EQ(grid().rowCount(), 1);
}

TEST_F(StandardBomTest, ImportWithoutASpreadsheetProgramLeavesTheGridAndTellsTheUser) {
  grid().addRow({"mine"});
  w->newRowFlag = 1;
  importGrid();
  EXPECT_EQ(messages(), std::vector<std::string>{"请打开您将要导入的xls."});
  EXPECT_EQ(grid().rowCount(), 1);
  EXPECT_EQ(w->newRowFlag, 0);
}

TEST_F(BomImportTest, AnExportedStandardBomImportsBackAsTheSameGrid) {
  const std::vector<Cells> rows = {
      {"Chip", "", "", "", "", "", "", "", "", "", ""},  // a title row's count is not exported
      {"1", "0100234", "R0603", "0402", "PCS", "2", "R1,R2", "0.01", "ACME", "0.02", "10K R0603"},
      {"2", "007", "C", "1E3", "PCS", "1", "C1", "", "", " 12", ""},
  };
  for (const auto& r : rows) add(r);
  exportGrid();
  std::vector<std::string> before = gridRows();
  importGrid();  // the exported workbook is the active one
  std::vector<std::string> after = gridRows();
  ASSERT_EQ(after.size(), 4u);
  EXPECT_EQ(after.back(), "Total:,,,,,3,,,,12.02,");
  after.pop_back();
  EXPECT_EQ(after, before);
}

}  // namespace
