// Values of the stand-in sheet: what a cell stores when a value is written into it,
// block writes and reads, and the address forms the callers evaluate.
#include <functional>
#include <string>

#include "platform/workbook_helpers.h"
#include "vb/convert.h"
#include "sim_sheet_test_support.h"

namespace sim_sheet_test {
namespace {

using CellValues = SheetTest;

struct WriteCase {
  const char* format;
  Variant written;
  Variant stored;
};

TEST_F(CellValues, WrittenValueIsStoredByTheCellsNumberFormat) {
  const WriteCase cases[] = {
      // General: a text that reads as a number as a whole becomes the number.
      {"General", "0402", 402.0},
      {"General", "  12.5 ", 12.5},
      {"General", "-1E3", -1000.0},
      {"General", "10K", "10K"},
      {"General", "1/4", "1/4"},
      {"General", "1 2", "1 2"},
      {"General", "", Variant()},
      {"General", true, true},
      {"General", Variant(), Variant()},
      // Text format: texts stay texts, numbers stay numbers.
      {"@", "0402", "0402"},
      {"@", " 7 ", " 7 "},
      {"@", 402.0, 402.0},
      {"@", "", Variant()},
      // Fraction format: fraction texts are taken as their number.
      {"# ?/?", "1/4", 0.25},
      {"# ?/?", " -3/8 ", -0.375},
      {"# ?/?", "1 1/2", 1.5},
      {"# ?/?", "3", 3.0},
      {"# ?/?", "1/0", "1/0"},
      {"# ?/?", "a/b", "a/b"},
      {"# ?/?", "1/4V", "1/4V"},
      // Any other number format reads numbers like General.
      {"0.000", "5", 5.0},
  };
  long row = 1;
  for (const auto& c : cases) {
    xl::Range cell = sheet->cell(row++, 2);
    cell.setNumberFormat(c.format);
    cell.setValue(c.written);
    EXPECT_EQ(cell.value(), c.stored) << c.format << " <- " << vb::toText(c.written);
    EXPECT_EQ(cell.numberFormat(), c.format);
  }
}

TEST_F(CellValues, TextFormatOfWholeColumnsKeepsCodesAsText) {
  platform::textFirst(sheet->columns("A:F"));
  Table t = tableOf({{"0402", "0603", "1/4", "1E3", "007", "12", "0402"}});
  sheet->cell(2, 1).resize(1, 7).setValues(t);
  EXPECT_EQ(sheet->get(2, 1), Variant("0402"));
  EXPECT_EQ(sheet->get(2, 3), Variant("1/4"));
  EXPECT_EQ(sheet->get(2, 4), Variant("1E3"));
  EXPECT_EQ(sheet->get(2, 6), Variant("12"));
  EXPECT_EQ(sheet->get(2, 7), Variant(402.0)) << "column G keeps the general format";
  EXPECT_EQ(sheet->range("C9").numberFormatLocal(), "@");
}

TEST_F(CellValues, NumberFormatLocalTakesLocalNames) {
  xl::Range a = sheet->range("A1:A3");
  a.setNumberFormatLocal("@");
  a.cells(1, 1).setValue("0402");
  EXPECT_EQ(a.cells(1, 1).value(), Variant("0402"));
  a.cells(2, 1).setNumberFormatLocal("G/通用格式");
  EXPECT_EQ(a.cells(2, 1).numberFormat(), "General");
  EXPECT_EQ(a.cells(2, 1).numberFormatLocal(), "G/通用格式");
  a.cells(2, 1).setValue("0402");
  EXPECT_EQ(a.cells(2, 1).value(), Variant(402.0));
  EXPECT_EQ(a.cells(3, 1).numberFormatLocal(), "@");
}

TEST_F(CellValues, BlockWriteTakesTheRangesShape) {
  struct Case {
    const char* what;
    xl::Area range;
    Table table;
    Table expected;  // of the range, read back
  };
  const Case cases[] = {
      {"same shape", {1, 1, 2, 3}, tableOf({{1, 2, 3}, {4, 5, 6}}), tableOf({{1, 2, 3}, {4, 5, 6}})},
      {"one row repeats downwards", {1, 1, 3, 2}, tableOf({{"a", "b"}}),
       tableOf({{"a", "b"}, {"a", "b"}, {"a", "b"}})},
      {"one column repeats across", {1, 1, 2, 3}, tableOf({{"x"}, {"y"}}),
       tableOf({{"x", "x", "x"}, {"y", "y", "y"}})},
      {"smaller table leaves #N/A", {1, 1, 3, 3}, tableOf({{1, 2}, {3, 4}}),
       tableOf({{1, 2, kNA}, {3, 4, kNA}, {kNA, kNA, kNA}})},
      {"larger table is cut to the range", {1, 1, 2, 2}, tableOf({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}),
       tableOf({{1, 2}, {4, 5}})},
  };
  for (const auto& c : cases) {
    sheet->clear(xl::Area{1, 1, 10, 10});
    xl::Range r(sheet, c.range);
    r.setValues(c.table);
    Table back = r.values();
    ASSERT_EQ(back.rows(), c.expected.rows()) << c.what;
    ASSERT_EQ(back.cols(), c.expected.cols()) << c.what;
    for (long i = 1; i <= back.rows(); ++i)
      for (long j = 1; j <= back.cols(); ++j)
        EXPECT_EQ(back(i, j), c.expected(i, j)) << c.what << " at " << i << "," << j;
    EXPECT_EQ(sheet->usedArea(), c.range) << c.what << ": nothing is written outside the range";
  }
}

TEST_F(CellValues, BlockReadIsRowsByColumnsCountedFromOne) {
  sheet->range("B2:D3").setValues(tableOf({{"a", 1, true}, {"b", Variant(), 2.5}}));
  Table t = sheet->range("A1:D3").values();
  ASSERT_EQ(t.rows(), 3);
  ASSERT_EQ(t.cols(), 4);
  EXPECT_TRUE(t(1, 1).isEmpty());
  EXPECT_EQ(t(2, 2), Variant("a"));
  EXPECT_EQ(t(2, 4), Variant(true));
  EXPECT_TRUE(t(3, 3).isEmpty());
  EXPECT_EQ(t(3, 4), Variant(2.5));
  Table oneRow = sheet->range("B2:D2").values();
  EXPECT_EQ(oneRow.rows(), 1);
  EXPECT_EQ(oneRow.cols(), 3);
  EXPECT_EQ(sheet->range("B3").value(), Variant("b"));
}

TEST_F(CellValues, BlockWriteOverExistingCellsKeepsTheirLooks) {
  sheet->range("B1:B4").setBold(true);
  sheet->range("A1:C2").setValues(tableOf({{1, 2, 3}, {4, 5, 6}}));
  sheet->range("A1:C1").setValues(tableOf({{"", "x", Variant()}}));
  EXPECT_TRUE(sheet->get(1, 1).isEmpty());
  EXPECT_EQ(sheet->get(1, 2), Variant("x"));
  EXPECT_TRUE(sheet->get(1, 3).isEmpty());
  EXPECT_EQ(sheet->get(2, 3), Variant(6.0));
  EXPECT_TRUE(sheet->range("B2").bold());
  EXPECT_TRUE(sheet->range("B4").bold());
  EXPECT_EQ(sheet->usedArea(), (xl::Area{1, 1, 4, 3}));
}

// A cell holds at most 32,767 characters, counted as characters (not bytes): a longer
// text is refused with error 1004 before anything of the write is stored.
TEST_F(CellValues, ATextLongerThanACellHoldsIsRefusedBeforeAnythingIsStored) {
  const std::string fits(static_cast<size_t>(xl::kMaxCellChars), 'x'), tooLong = fits + "y";
  std::string wideFits;
  for (long i = 0; i < xl::kMaxCellChars; ++i) wideFits += "\xE7\x94\xB5";  // three bytes each
  const std::string wideTooLong = wideFits + "\xE7\x94\xB5";
  const std::string digitsTooLong(static_cast<size_t>(xl::kMaxCellChars) + 1, '7');  // would read as a number

  sheet->range("A1:C2").setValues(tableOf({{"keep", 1, 2}, {3, 4, 5}}));
  sheet->range("B2").setBold(true);
  const Table before = sheet->range("A1:D4").values();
  struct Case {
    const char* what;
    std::function<void()> write;
    const char* length;
  };
  const Case cases[] = {
      {"one cell", [&] { sheet->range("A1").setValue(tooLong); }, "32,768"},
      {"every cell of an area", [&] { sheet->range("A1:C3").setValue(tooLong); }, "32,768"},
      {"wide characters", [&] { sheet->range("B1").setValue(wideTooLong); }, "32,768"},
      {"digits in a General cell", [&] { sheet->range("C1").setValue(digitsTooLong); }, "32,768"},
      {"the last cell of a block", [&] { sheet->range("A1:C2").setValues(tableOf({{"a", "b", "c"}, {"d", "e", tooLong + "z"}})); },
       "32,769"},
      {"a row repeated downwards", [&] { sheet->range("A1:B4").setValues(tableOf({{"a", wideTooLong}})); }, "32,768"},
  };
  for (const Case& c : cases) {
    try {
      c.write();
      ADD_FAILURE() << c.what << ": the write was not refused";
    } catch (const vb::Error& e) {
      EXPECT_EQ(e.number(), vb::kAppDefined) << c.what;
      EXPECT_EQ(e.description(), std::string("A cell holds at most 32,767 characters; the text has ") + c.length)
          << c.what;
    }
    const Table after = sheet->range("A1:D4").values();
    for (long i = 1; i <= before.rows(); ++i)
      for (long j = 1; j <= before.cols(); ++j) EXPECT_EQ(after(i, j), before(i, j)) << c.what << " at " << i << "," << j;
    EXPECT_EQ(sheet->usedArea(), (xl::Area{1, 1, 2, 3})) << c.what;
    EXPECT_TRUE(sheet->range("B2").bold()) << c.what;
  }

  sheet->range("A1").setValue(fits);
  sheet->range("B1:C1").setValues(tableOf({{wideFits, "short"}}));
  EXPECT_EQ(sheet->get(1, 1), Variant(fits));
  EXPECT_EQ(sheet->get(1, 2), Variant(wideFits));
  EXPECT_EQ(sheet->get(1, 3), Variant("short"));
}

TEST_F(CellValues, TextsOfEveryLengthKeepTheirBytesThroughSortsAndMoves) {
  // Lengths around what a cell holds in place (15 bytes), with a byte 0 and wide characters.
  std::vector<std::string> texts;
  for (size_t n = 1; n <= 40; ++n) {
    std::string t(n, static_cast<char>('a' + n % 26));
    if (n % 5 == 0) t[n / 2] = '\0';
    texts.push_back(t);
  }
  texts.push_back("\xE7\x94\xB5\xE9\x98\xBB\xE7\x94\xB5\xE9\x98\xBB\xE7\x94\xB5\xE9\x98\xBB\xE7\x94\xB5x");
  const long n = static_cast<long>(texts.size());
  Table t(n, 2);
  for (long i = 1; i <= n; ++i) {
    t(i, 1) = static_cast<double>(n - i);  // sorting by A reverses the rows
    t(i, 2) = texts[static_cast<size_t>(i - 1)];
  }
  sheet->columns("B").setNumberFormat("@");
  sheet->range("A2").resize(n, 2).setValues(t);
  xl::SortSpec byA;
  byA.keys = {{1, 1}};
  byA.header = xl::xlNo;
  sheet->range("A2").resize(n, 2).sort(byA);
  sheet->rows(1, 1).deleteCells();
  const Table back = sheet->range("B1").resize(n, 1).values();
  for (long i = 1; i <= n; ++i) EXPECT_EQ(back(i, 1), Variant(texts[static_cast<size_t>(n - i)])) << "row " << i;
  sheet->range("C1").resize(n, 1).setValues(back);  // a copy of the copies
  EXPECT_EQ(sheet->range("C1").resize(n, 1).values()(n, 1), Variant(texts[0]));
}

TEST_F(CellValues, AddressesAndMaxOfTheCallers) {
  sheet->range("A1").setValue("head");
  EXPECT_EQ(sheet->range("A1").value(), Variant("head"));
  EXPECT_EQ(sheet->range("$A$1").address(), "$A$1");
  sheet->range("C2:C5").setValues(tableOf({{3}, {"12"}, {"abc"}, {-1}}));
  EXPECT_EQ(app->max(sheet->columns("C")), 12);
  EXPECT_EQ(app->max(sheet->columns("D")), 0) << "no number: 0";
  EXPECT_EQ(xl::Application::max(tableOf({{1, "99", 7.5}})), 7.5) << "texts of an array are not numbers";
}

}  // namespace
}  // namespace sim_sheet_test
