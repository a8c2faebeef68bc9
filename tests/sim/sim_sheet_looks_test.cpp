// Looks of the stand-in sheet: fonts, fills, borders and number formats on cells, whole
// columns, rows and the sheet; the used range; Clear; merges, widths and filters.
#include "platform/workbook_helpers.h"
#include "sim_sheet_test_support.h"

namespace sim_sheet_test {
namespace {

using SheetLooks = SheetTest;

TEST_F(SheetLooks, LookPropertiesReadBackAsSet) {
  xl::Range r = sheet->range("B2:C3");
  EXPECT_EQ(r.interiorColor(), xl::kNoFill);
  r.setInteriorColor(9478398);
  r.setBold(true);
  r.setFontSize(15);
  r.setFontColor(255);
  r.setWrapText(true);
  xl::Style s = sheet->styleAt(3, 3);
  EXPECT_EQ(s.fill, 9478398);
  EXPECT_TRUE(s.bold);
  EXPECT_EQ(s.fontSize, 15);
  EXPECT_EQ(s.fontColor, 255);
  EXPECT_TRUE(s.wrap);
  EXPECT_EQ(sheet->styleAt(4, 3), xl::Style{}) << "cells outside keep the default look";
}

TEST_F(SheetLooks, LaterFormatWinsWhereverItWasSet) {
  sheet->range("B2").setBold(true);
  sheet->columns("B").setNumberFormat("@");
  sheet->rows(3, 3).setInteriorColor(100);
  sheet->range("B4").setNumberFormat("General");
  sheet->cells().setFontSize(9);
  sheet->columns("B").setInteriorColor(200);

  EXPECT_EQ(sheet->range("B2").numberFormat(), "@") << "a column format covers cells formatted before";
  EXPECT_TRUE(sheet->range("B2").bold()) << "and keeps what it does not change";
  EXPECT_EQ(sheet->range("B4").numberFormat(), "General") << "a later cell format wins over the column";
  EXPECT_EQ(sheet->range("A3").interiorColor(), 100);
  EXPECT_EQ(sheet->range("B3").interiorColor(), 200) << "the column's fill was set after the row's";
  EXPECT_EQ(sheet->range("C3").interiorColor(), 100);
  EXPECT_EQ(sheet->styleAt(2, 2).fontSize, 9);
  EXPECT_EQ(sheet->styleAt(500000, 9000).fontSize, 9);
  EXPECT_EQ(sheet->range("B900000").numberFormat(), "@");
}

TEST_F(SheetLooks, UsedRangeCountsValuesAndCellLooksButNotWholeColumnLooks) {
  EXPECT_EQ(sheet->usedRange().address(), "$A$1") << "an empty sheet";
  platform::textFirst(sheet->columns("A:F"));
  sheet->rows(40, 40).setBold(true);
  sheet->cells().setFontSize(9);
  EXPECT_EQ(sheet->usedRange().address(), "$A$1");
  sheet->range("C3").setValue("x");
  EXPECT_EQ(sheet->usedRange().address(), "$C$3");
  sheet->range("B5:D7").setNumberFormat("@");
  EXPECT_EQ(sheet->usedRange().address(), "$B$3:$D$7") << "cells that only carry a format count";
  sheet->range("H2").setBordersWeight(2);
  EXPECT_EQ(sheet->usedRange().address(), "$B$2:$H$7") << "as do cells that only carry a border";
  sheet->range("B2:H7").clear();
  EXPECT_EQ(sheet->usedRange().address(), "$A$1");
}

TEST_F(SheetLooks, BordersOnEveryEdgeAndAnOutlineAround) {
  xl::Range r = sheet->range("B2:D4");
  platform::gridBorders(r, 1);
  const xl::Edge thin{1, 2, 0}, outline{9, 2, 1};
  // Corners and sides carry the outline on their outer edges, thin lines inside.
  xl::Style topLeft = sheet->styleAt(2, 2), middle = sheet->styleAt(3, 3), bottomRight = sheet->styleAt(4, 4);
  EXPECT_EQ(topLeft.top, outline);
  EXPECT_EQ(topLeft.left, outline);
  EXPECT_EQ(topLeft.right, thin);
  EXPECT_EQ(topLeft.bottom, thin);
  EXPECT_EQ(middle.left, thin);
  EXPECT_EQ(middle.top, thin);
  EXPECT_EQ(bottomRight.bottom, outline);
  EXPECT_EQ(bottomRight.right, outline);
  EXPECT_EQ(bottomRight.top, thin);
  EXPECT_EQ(sheet->styleAt(3, 4).right, outline);
  EXPECT_EQ(sheet->styleAt(3, 4).left, thin);
  EXPECT_EQ(sheet->styleAt(1, 2), xl::Style{});

  sheet->range("F2").borderAround(9);
  EXPECT_EQ(sheet->styleAt(2, 6).left, (xl::Edge{9, 2, 0})) << "no colour index given: automatic";
  sheet->range("B3").setBordersLineStyle(-4142);
  EXPECT_EQ(sheet->styleAt(3, 2).left.lineStyle, -4142) << "the line style is passed unchanged";
}

TEST_F(SheetLooks, ClearRemovesContentsAndFormatsClearContentsOnlyValues) {
  sheet->columns("A").setNumberFormat("@");
  xl::Range r = sheet->range("A1:B2");
  r.setValues(tableOf({{"0402", 1}, {"x", 2}}));
  r.setInteriorColor(255);
  r.setBold(true);
  platform::gridBorders(r);

  sheet->range("B1:B2").clearContents();
  EXPECT_TRUE(sheet->get(1, 2).isEmpty());
  EXPECT_EQ(sheet->range("B1").interiorColor(), 255) << "ClearContents keeps the look";

  r.clear();
  for (long row = 1; row <= 2; ++row)
    for (long col = 1; col <= 2; ++col) {
      EXPECT_TRUE(sheet->get(row, col).isEmpty());
      EXPECT_EQ(sheet->styleAt(row, col), xl::Style{}) << row << "," << col;
    }
  EXPECT_EQ(sheet->range("A3").numberFormat(), "@") << "the column's format stays outside the range";
  sheet->range("A1").setValue("0402");
  EXPECT_EQ(sheet->get(1, 1), Variant(402.0)) << "a cleared cell has the general format";
  EXPECT_EQ(sheet->usedRange().address(), "$A$1");

  sheet->columns("A").clear();
  sheet->range("A5").setValue("0402");
  EXPECT_EQ(sheet->get(5, 1), Variant(402.0));
}

TEST_F(SheetLooks, MergeKeepsTheTopLeftValueAndAsksNothing) {
  for (bool alerts : {false, true}) {
    app->setDisplayAlerts(alerts);
    sheet->range("A1:A3").setValues(tableOf({{"first"}, {"second"}, {"third"}}));
    sheet->range("A1:A3").merge();
    EXPECT_EQ(sheet->range("A1:A3").value(), Variant("first"));
    EXPECT_TRUE(sheet->get(2, 1).isEmpty());
    EXPECT_TRUE(sheet->get(3, 1).isEmpty());
    ASSERT_EQ(sheet->merges().size(), 1u);
    EXPECT_EQ(sheet->merges()[0], (xl::Area{1, 1, 3, 1}));
    sheet->range("A1:A3").clear();
    EXPECT_TRUE(sheet->merges().empty()) << "Clear unmerges";
  }
  sheet->range("C1").merge();
  EXPECT_TRUE(sheet->merges().empty()) << "one cell is no merge";
}

TEST_F(SheetLooks, ColumnWidthsAndAutoFit) {
  EXPECT_DOUBLE_EQ(sheet->range("A1").columnWidth(), 8.43);
  sheet->columns("A:C").setColumnWidth(15);
  EXPECT_DOUBLE_EQ(sheet->range("B7").columnWidth(), 15);
  EXPECT_THROW(sheet->range("A1").setColumnWidth(300), vb::Error);

  sheet->range("A1:E3").setValues(tableOf({{"R1,R2,R3,R4,R5", "电阻电容", "ABCDEFGH", 0.5, "x"},
                                           {"R6", "R", "AB\nABCDEFGHIJKL", 1234567, Variant()},
                                           {Variant(), Variant(), Variant(), Variant(), Variant()}}));
  sheet->usedRange().autoFit();
  const double a = sheet->columnWidth(1), b = sheet->columnWidth(2), c = sheet->columnWidth(3),
               d = sheet->columnWidth(4), e = sheet->columnWidth(5);
  EXPECT_GT(a, 14);
  EXPECT_LT(a, 17);
  EXPECT_DOUBLE_EQ(b, sheet->columnWidth(3) - 4) << "four wide characters count as eight";
  EXPECT_GT(c, 12) << "the longest line of a text counts";
  EXPECT_GT(d, 7) << "numbers as they are shown: 1234567";
  EXPECT_LT(d, 10);
  EXPECT_GE(e, 1.5) << "never narrower than a minimum";
  EXPECT_LT(e, 5);
  EXPECT_DOUBLE_EQ(sheet->columnWidth(6), 8.43) << "columns outside keep their width";

  sheet->rows(1, 3).autoFit();
  EXPECT_DOUBLE_EQ(sheet->columnWidth(1), a) << "fitting rows changes no width";
}

TEST_F(SheetLooks, AutoFilterSetsTheFilterAndNeverTogglesIt) {
  EXPECT_FALSE(sheet->filter());
  sheet->range("A1:E1").autoFilter();
  sheet->range("A1:E1").autoFilter();
  ASSERT_TRUE(sheet->filter());
  EXPECT_EQ(*sheet->filter(), (xl::Area{1, 1, 1, 5}));
  sheet->range("A1:H20").autoFilter();
  EXPECT_EQ(*sheet->filter(), (xl::Area{1, 1, 20, 8}));
}

}  // namespace
}  // namespace sim_sheet_test
