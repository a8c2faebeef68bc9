// The category BOM and the removal of its category rows, from change reports laid out on
// sheet 3 as the Create pipeline leaves them.
#include "report/category_bom.h"

#include <gtest/gtest.h>

#include "support/program_fixture.h"
#include "vb/convert.h"

namespace {

using testing_support::ProgramTest;
namespace xl = platform::xl;

class CategoryBomTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    excel = world.programs.runSpreadsheet("Excel.Application");
    wb = excel->addWorkbook();
  }
  struct Part {
    const char* value;
    const char* decal;
    vb::Variant qty;
    const char* designator;
  };
  void changeReport(const std::vector<Part>& parts) {
    xl::SheetPtr s = wb->sheet(3);
    s->columns("A:H").setNumberFormat("@");
    s->cell(1, 1).setValue("No.");
    for (size_t i = 0; i < parts.size(); ++i) {
      long r = static_cast<long>(i) + 2;
      s->cell(r, 1).setValue(static_cast<double>(i + 1));
      s->cell(r, 2).setValue(parts[i].value);
      s->cell(r, 3).setValue(parts[i].decal);
      s->cell(r, 4).setValue(parts[i].qty);
      s->cell(r, 5).setValue(parts[i].designator);
    }
    state().spreadsheetApp = excel;
    state().partCount = static_cast<long>(parts.size());
    state().lastRow = state().partCount + 1;
  }
  platform::ReportFlow flow() { return {tool().context(), wb}; }
  // The BOM rows as "A|B|C|D|E".
  std::vector<std::string> bom() {
    std::vector<std::string> out;
    xl::SheetPtr s = wb->sheet(1);
    for (long r = 1; r <= s->usedArea().r2; ++r) {
      std::string line;
      for (long c = 1; c <= 5; ++c) line += (c > 1 ? "|" : "") + vb::toText(s->get(r, c));
      out.push_back(line);
    }
    return out;
  }

  std::shared_ptr<sim::SimSpreadsheet> excel;
  xl::WorkbookPtr wb;
};

TEST_F(CategoryBomTest, PartsMergeByValueAndPackageWithinTheirCategory) {
  changeReport({{"LM358", "SOIC8", "1", "U1"},
                {"10K", "R-0603", "2", "R1"},
                {"10K", "R-0603", "3", "R2"},
                {"10k", "R-0603", "1", "R3"},
                {"10K", "R-0603", "1", "RP3"},
                {"100nF", "C-0603", "1", "u7"},
                {"X", "Y", "1", ""}});
  report::buildCategoryBom(flow());
  EXPECT_EQ(bom(), (std::vector<std::string>{
                       "No|Value|Decal|QTY|Name",
                       "Chip|||2|",
                       "1|LM358|SOIC8|1|U1",
                       "2|100nF|C-0603|1|u7",  // tested upper-cased, listed as written
                       "Resister|||6|",
                       "3|10K|R-0603|5|R1,R2",  // quantities add up
                       "4|10k|R-0603|1|R3",     // keys are exact
                       "VOL|||1|",
                       "5|10K|R-0603|1|RP3",
                       "Total:|||9|",  // the part without a designator is left out
                   }));
  xl::SheetPtr s = wb->sheet(1);
  EXPECT_EQ(s->styleAt(1, 3).fill, 16500000);
  EXPECT_TRUE(s->styleAt(1, 3).bold);
  for (long r : {2L, 5L, 8L, 10L}) {
    EXPECT_EQ(s->styleAt(r, 5).fill, 11055358) << r;
    EXPECT_TRUE(s->styleAt(r, 1).bold);
    EXPECT_TRUE(s->styleAt(r, 4).bold);
    EXPECT_FALSE(s->styleAt(r, 2).bold);
  }
  EXPECT_EQ(s->styleAt(3, 5).fill, xl::kNoFill);
  EXPECT_TRUE(excel->displayAlerts());
}

TEST_F(CategoryBomTest, QuantitiesCountByTheirLeadingNumberAndZeroCategoriesStillPrint) {
  changeReport({{"10K", "R-0603", "2pcs", "R1"}, {"1uF", "C-0603", "0", "C1"}, {"1uF", "C-0603", vb::Variant(), "C2"}});
  report::buildCategoryBom(flow());
  EXPECT_EQ(bom(), (std::vector<std::string>{"No|Value|Decal|QTY|Name", "Resister|||2|", "1|10K|R-0603|2|R1",
                                             "Capacitor|||0|", "2|1uF|C-0603|0|C1,C2", "Total:|||2|"}));
}

TEST_F(CategoryBomTest, TheTextFormatCoversEveryRowAndTheSpecialBomWidth) {
  changeReport({{"0402", "0805", "1", "R1"}, {"0603", "0805", "1", "C1"}, {"104", "0805", "1", "L1"}});
  state().refColumns = 8;
  report::buildCategoryBom(flow());
  xl::SheetPtr s = wb->sheet(1);
  long last = s->usedArea().r2;
  EXPECT_EQ(last, 8);  // more rows than parts: three categories and the total
  EXPECT_EQ(s->get(7, 2), vb::Variant("104"));  // a code in the lowest line stays text
  EXPECT_EQ(s->styleAt(last, 12).numberFormat, "@");  // A to column 8 + 4
  EXPECT_EQ(s->styleAt(last, 13).numberFormat, "General");
  state().refColumns = -3;  // an answer below 5 is stored too; the block keeps four columns
  report::buildCategoryBom(flow());
}

TEST_F(CategoryBomTest, RowRemovalTakesTheCategoryRowsByTheReportsOwnColour) {
  changeReport({{"LM358", "SOIC8", "1", "U1"},
                {"LM358", "SOIC8", "1", "U2"},
                {"TL431", "SOT23", "1", "U3"},
                {"10K", "R-0603", "1", "R1"},
                {"1K", "R-0603", "1", "R2"}});
  report::buildCategoryBom(flow());
  // A user's fill in B2 of a category row says nothing about which rows are categories.
  wb->sheet(1)->cell(2, 2).setInteriorColor(255);
  report::purgeCategoryRows(flow());
  EXPECT_EQ(bom(), (std::vector<std::string>{"No|Value|Decal|QTY|Name", "1|LM358|SOIC8|2|U1,U2",
                                             "2|TL431|SOT23|1|U3", "3|10K|R-0603|1|R1", "4|1K|R-0603|1|R2",
                                             "Total:|||5|"}));
  EXPECT_EQ(wb->sheet(1)->styleAt(6, 5).fill, 11055358);  // the total row stays, with its colour
  EXPECT_EQ(state().partCount, 7);                         // the last row before the removal, minus 1
  EXPECT_EQ(state().spreadsheetApp, excel);
}

TEST_F(CategoryBomTest, RowRemovalOfAReportWithoutPartsChangesNothing) {
  changeReport({});
  report::buildCategoryBom(flow());
  report::purgeCategoryRows(flow());
  EXPECT_EQ(bom(), (std::vector<std::string>{"No|Value|Decal|QTY|Name", "Total:|||0|"}));
}

}  // namespace
