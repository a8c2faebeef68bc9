// Workbook files whose size is out of all proportion to their cost: a merge over most of a
// sheet, column ranges over every column, a text longer than a cell holds. Each saves and
// opens in the time its data takes, not in the time its area takes.
#include <gtest/gtest.h>

#include <chrono>

#include "sim/sim_programs.h"
#include "sim/sim_spreadsheet.h"
#include "support/scratch_dir.h"
#include "support/zip_fixture.h"
#include "vb/convert.h"
#include "vb/text.h"

namespace {

namespace xl = platform::xl;
using testing_support::ScratchDir;

class WorkbookFileLimits : public ::testing::Test {
 protected:
  xl::WorkbookPtr open(const std::string& path) { return excel->open(path); }
  double secondsSince(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
  }

  sim::Faults faults;
  platform::Files files;
  sim::SimPrograms programs{faults, files};
  std::shared_ptr<sim::SimSpreadsheet> excel = programs.runSpreadsheet("Excel.Application");
  ScratchDir dir{"file-limits"};
};

TEST_F(WorkbookFileLimits, AMergeOverMostOfASheetSavesAndOpensAsOneRange) {
  xl::WorkbookPtr wb = excel->addWorkbook();
  xl::SheetPtr s = wb->sheet(1);
  s->range("A1").setValue("title");
  s->range("A3").setValue("kept");
  s->range("C9").setValue("covered");
  s->range("A3:XFD1048576").merge();
  const auto start = std::chrono::steady_clock::now();
  sim::saveCopyAsXlsx(*wb, dir.path("merged.xlsx"));
  xl::SheetPtr back = open(dir.path("merged.xlsx"))->sheet(1);
  EXPECT_LT(secondsSince(start), 5.0);  // it took hours when every covered cell was written
  EXPECT_EQ(back->merges(), (std::vector<xl::Area>{{3, 1, xl::kMaxRows, xl::kMaxCols}}));
  EXPECT_EQ(vb::toText(back->get(1, 1)), "title");
  EXPECT_EQ(vb::toText(back->get(3, 1)), "kept");
  EXPECT_TRUE(back->get(9, 3).isEmpty());
}

TEST_F(WorkbookFileLimits, ColumnRangesOverEveryColumnOpenAsRanges) {
  // 100,000 widths over all 16,384 columns: a 17 KB file that once took a minute to open.
  std::string cols;
  for (int i = 0; i < 100000; ++i)
    cols += "<col min=\"1\" max=\"16384\" width=\"" + std::to_string(10 + i % 7) + "\" customWidth=\"1\"/>";
  cols += "<col min=\"5\" max=\"5\" width=\"30.7109375\" customWidth=\"1\"/>";
  testing_support::writeZip(dir.path("columns.xlsx"),
                            testing_support::oneSheetPackage("<worksheet><cols>" + cols + "</cols><sheetData><row r=\"1\">"
                                                             "<c r=\"A1\"><v>1</v></c></row></sheetData></worksheet>"));
  const auto start = std::chrono::steady_clock::now();
  xl::SheetPtr s = open(dir.path("columns.xlsx"))->sheet(1);
  EXPECT_LT(secondsSince(start), 5.0);
  // The last width over every column holds, and the single column set after it.
  const double last = 10 + 99999 % 7;  // 15 characters as stored, 14.29 as shown
  EXPECT_NEAR(s->columnWidth(1), last - 0.71, 0.01);
  EXPECT_NEAR(s->columnWidth(xl::kMaxCols), last - 0.71, 0.01);
  EXPECT_DOUBLE_EQ(s->columnWidth(5), 30);
  // It saves again as the same few ranges, and opens again the same.
  sim::saveCopyAsXlsx(*excel->activeWorkbook(), dir.path("again.xlsx"));
  xl::SheetPtr again = open(dir.path("again.xlsx"))->sheet(1);
  EXPECT_DOUBLE_EQ(again->columnWidth(5), 30);
  EXPECT_NEAR(again->columnWidth(xl::kMaxCols), last - 0.71, 0.01);
}

TEST_F(WorkbookFileLimits, ATextLongerThanACellHoldsIsCutWhenTheFileOpens) {
  // A cell holds 32,767 characters; a file may hold more (here 3 MB, mostly two-byte
  // characters), in shared strings and inline, and with escapes that count as one.
  const std::string longText = std::string(100, 'a') + vb::replace(std::string(1500000, '.'), ".", "\xC3\xA9");
  const std::string escaped = std::string(40000, '_') + "_x0041_";
  testing_support::writeZip(
      dir.path("long.xlsx"),
      testing_support::oneSheetPackage(
          "<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c>"
          "<c r=\"B1\" t=\"inlineStr\"><is><t>" + longText + "</t></is></c>"
          "<c r=\"C1\" t=\"s\"><v>1</v></c></row></sheetData></worksheet>",
          "<sst><si><t>" + longText + "</t></si><si><t>" + escaped + "</t></si></sst>"));
  xl::SheetPtr s = open(dir.path("long.xlsx"))->sheet(1);
  for (long c = 1; c <= 2; ++c) {
    const std::string text = vb::toText(s->get(1, c));
    EXPECT_EQ(vb::len(text), xl::kMaxCellChars) << c;
    EXPECT_EQ(text.substr(0, 100), std::string(100, 'a'));
    EXPECT_EQ(text.substr(text.size() - 2), "\xC3\xA9");
  }
  EXPECT_EQ(vb::toText(s->get(1, 3)), std::string(xl::kMaxCellChars, '_'));
}

}  // namespace

namespace {

TEST(WorkbookFileNotes, FormulasWithoutAStoredResultAreToldAboutWhenTheFileOpens) {
  // A script writes formulas without results; nothing here computes them, so they read as
  // empty, and the user is told so once, with the first such cell.
  ScratchDir dir("file-notes");
  testing_support::writeZip(
      dir.path("formulas.xlsx"),
      testing_support::oneSheetPackage("<worksheet><sheetData>"
                                       "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>"
                                       "<row r=\"2\"><c r=\"B2\"><v>2</v></c><c r=\"D2\"><f>B2*C2</f></c></row>"
                                       "<row r=\"3\"><c r=\"D3\"><f>B3*C3</f><v>6</v></c><c r=\"E3\"><f>1</f></c></row>"
                                       "</sheetData></worksheet>",
                                       "<sst><si><t>Qty</t></si></sst>"));
  sim::World world;
  auto excel = world.programs.runSpreadsheet("Excel.Application");
  xl::SheetPtr s = excel->open(dir.path("formulas.xlsx"))->sheet(1);
  EXPECT_TRUE(s->get(2, 4).isEmpty());
  EXPECT_EQ(vb::toText(s->get(3, 4)), "6");  // a stored result reads as it is
  ASSERT_EQ(world.user.messages().size(), 1u);
  EXPECT_EQ(world.user.messages()[0].text,
            "2 cells hold formulas without a stored result and read as empty (the first is S!D2)");

  // A file without such cells opens without a word.
  sim::saveCopyAsXlsx(*excel->activeWorkbook(), dir.path("saved.xlsx"));
  excel->open(dir.path("saved.xlsx"));
  EXPECT_EQ(world.user.messages().size(), 1u);
}

}  // namespace
