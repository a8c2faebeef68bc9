// Moving over and reordering the stand-in sheet: End, CurrentRegion, Sort, deleting rows
// and columns.
#include <cctype>
#include <cmath>
#include <random>
#include <string>

#include "platform/workbook_helpers.h"
#include "vb/convert.h"
#include "vb/text.h"
#include "sim_sheet_test_support.h"

namespace sim_sheet_test {
namespace {

using SheetMoves = SheetTest;

TEST_F(SheetMoves, EndMovesAsTheSpreadsheetProgramDoes) {
  // Column A: rows 1-3 and 5-6 filled. Row 1: A1:C1 and E1 filled.
  sheet->range("A1:A6").setValues(tableOf({{"h"}, {1}, {2}, {Variant()}, {3}, {4}}));
  sheet->range("B1:C1").setValues(tableOf({{"b", "c"}}));
  sheet->range("E1").setValue("e");
  struct Case {
    long row, col;
    int direction;
    long toRow, toCol;
  };
  const Case cases[] = {
      {1, 1, xl::xlDown, 3, 1},             // to the end of the filled block
      {1, 1, xl::kDownFour, 3, 1},          // the system's direction 4 is xlDown
      {3, 1, xl::xlDown, 5, 1},             // from a block's end to the next filled cell
      {4, 1, xl::xlDown, 5, 1},             // from an empty cell to the next filled cell
      {6, 1, xl::xlDown, xl::kMaxRows, 1},  // nothing below: the sheet's edge
      {xl::kMaxRows, 1, xl::xlUp, 6, 1},    // LastUsedRow
      {6, 1, xl::xlUp, 5, 1},
      {5, 1, xl::xlUp, 3, 1},
      {2, 1, xl::xlUp, 1, 1},
      {3, 1, xl::xlUp, 1, 1},             // to the top of the run
      {1, 1, xl::xlUp, 1, 1},
      {xl::kMaxRows, 2, xl::xlUp, 1, 2},  // an empty column below its heading
      {xl::kMaxRows, 4, xl::xlUp, 1, 4},  // an empty column
      {1, 1, xl::xlToRight, 1, 3},
      {1, 3, xl::xlToRight, 1, 5},
      {1, 5, xl::xlToRight, 1, xl::kMaxCols},
      {1, 5, xl::xlToLeft, 1, 3},
      {1, 3, xl::xlToLeft, 1, 1},
  };
  for (const auto& c : cases) {
    xl::Range to = sheet->cell(c.row, c.col).end(c.direction);
    EXPECT_EQ(to.area(), (xl::Area{c.toRow, c.toCol, c.toRow, c.toCol}))
        << "from " << c.row << "," << c.col << " direction " << c.direction;
  }
  EXPECT_EQ(platform::lastUsedRow(*sheet, 1), 6);
  EXPECT_EQ(platform::lastUsedRow(*sheet, 3), 1);
  EXPECT_THROW(sheet->range("A1").end(7), vb::Error);
}

TEST_F(SheetMoves, EndUpFromTheBottomOfALongColumn) {
  const long rows = 200000;
  Table t(rows, 1);
  for (long r = 1; r <= rows; ++r) t(r, 1) = r;
  sheet->cell(1, 1).resize(rows, 1).setValues(t);
  sheet->range("B7").setValue("x");
  EXPECT_EQ(sheet->cell(xl::kMaxRows, 1).end(xl::xlUp).row(), rows);
  EXPECT_EQ(sheet->cell(xl::kMaxRows, 2).end(xl::xlUp).row(), 7);
  EXPECT_EQ(sheet->range("A1").end(xl::kDownFour).row(), rows);
}

TEST_F(SheetMoves, CurrentRegionGrowsOverTouchingFilledCells) {
  sheet->range("A1:C3").setValue("x");
  sheet->range("D4").setValue("diagonal");  // touches C3 at a corner
  sheet->range("F1").setValue("apart");     // column E empty between
  sheet->range("C3").clearContents();       // the block has a hole; B2 and D4 still touch
  EXPECT_EQ(sheet->range("B2").currentRegion().address(), "$A$1:$D$4");
  EXPECT_EQ(sheet->range("A4").currentRegion().address(), "$A$1:$D$4") << "from an empty cell beside the table";
  EXPECT_EQ(sheet->range("F1").currentRegion().address(), "$F$1");
  EXPECT_EQ(sheet->range("H10").currentRegion().address(), "$H$10") << "an isolated empty cell";
  sheet->range("A1").select();
  EXPECT_EQ(app->activeCell().currentRegion().address(), "$A$1:$D$4");
}

// Rows of a two-column table: key in A, a tag in B telling the rows apart.
class SheetSort : public SheetTest {
 protected:
  void fill(std::initializer_list<std::initializer_list<Variant>> rows) {
    Table t = tableOf(rows);
    sheet->cell(1, 1).resize(t.rows(), t.cols()).setValues(t);
    n = t.rows();
  }
  void sortBy(std::vector<xl::SortKey> keys, int header, long lastCol = 2) {
    xl::SortSpec sorting;
    sorting.keys = std::move(keys);
    sorting.header = header;
    xl::Range(sheet, xl::Area{1, 1, n, lastCol}).sort(sorting);
  }
  std::vector<Variant> tags() { return column(2, 1, n); }
  long n = 0;
};

TEST_F(SheetSort, OrderOfValueKinds) {
  fill({{"b", 1}, {10, 2}, {Variant(), 3}, {true, 4}, {"A", 5}, {2.5, 6}, {"B", 7}, {false, 8}, {"a", 9}});
  sortBy({{1, 1}}, xl::xlNo);
  EXPECT_EQ(tags(), (std::vector<Variant>{6, 2, 5, 9, 1, 7, 8, 4, 3}))
      << "numbers, texts (case ignored, stable), Booleans, then empty cells";
  sortBy({{1, 2}}, xl::xlNo);
  EXPECT_EQ(tags(), (std::vector<Variant>{4, 8, 1, 7, 5, 9, 2, 6, 3})) << "descending: empty cells still last";
}

TEST_F(SheetSort, RowsWithoutAKeyKeepTheirPlacesAmongTheEmptyRowsBelowTheSortedOnes) {
  const Variant none;
  fill({{"b", 1}, {none, 2}, {none, none}, {"a", 4}, {none, 5}, {none, none}, {"c", 7}, {none, none}});
  sortBy({{1, 1}}, xl::xlNo);
  EXPECT_EQ(tags(), (std::vector<Variant>{4, 1, 7, 2, none, 5, none, none}));
  sortBy({{1, 2}, {2, 1}}, xl::xlNo);
  EXPECT_EQ(tags(), (std::vector<Variant>{7, 1, 4, 2, 5, none, none, none})) << "a second key places them too";
}

TEST_F(SheetSort, TextsCompareWithoutLetterCaseUnlessAskedAndChineseTextsInPinyinOrder) {
  fill({{"\xE7\x94\xB5\xE9\x98\xBB", 1}, {"B", 2}, {"a", 3}, {"\xE5\xAE\x89", 4}, {"A", 5}, {"b", 6},
        {"\xE8\xB4\x9D", 7}, {"Ab", 8}});  // 电阻, 安 and 贝: dian, an, bei
  sortBy({{1, 1}}, xl::xlNo);
  EXPECT_EQ(tags(), (std::vector<Variant>{3, 5, 8, 2, 6, 4, 7, 1})) << "equal texts but for case keep their order";
  xl::SortSpec withCase;
  withCase.keys = {{1, 1}};
  withCase.header = xl::xlNo;
  withCase.matchCase = true;
  xl::Range(sheet, xl::Area{1, 1, n, 2}).sort(withCase);
  EXPECT_EQ(tags(), (std::vector<Variant>{3, 5, 8, 6, 2, 4, 7, 1})) << "with case, a lower-case letter first";
}

TEST_F(SheetSort, LongTextsThatShareTheirStartOrderByWhatFollows) {
  fill({{"abcdefghZ", 1}, {"ABCDEFGHa", 2}, {"abcdefgh", 3}, {"abcdefg", 4}, {"abcdefghij", 5}, {"ABCDEFGHIJ", 6},
        {"z0000000001", 7}, {"z0000000000", 8}, {"Z00000000", 9}});
  sortBy({{1, 1}}, xl::xlNo);
  EXPECT_EQ(tags(), (std::vector<Variant>{4, 3, 2, 5, 6, 1, 9, 8, 7}));
  sortBy({{1, 2}}, xl::xlNo);
  EXPECT_EQ(tags(), (std::vector<Variant>{7, 8, 9, 1, 5, 6, 2, 3, 4}));
}

TEST_F(SheetSort, NumericTextsWrittenIntoGeneralCellsSortAsNumbers) {
  fill({{"10", 1}, {"9", 2}, {"1/4", 3}, {"100", 4}});
  sheet->range("C1:C4").setNumberFormat("# ?/?");
  sheet->range("C1:C4").setValues(tableOf({{"1/2"}, {"1/4"}, {"1"}, {"1/8"}}));
  sortBy({{1, 1}}, xl::xlNo, 3);
  EXPECT_EQ(tags(), (std::vector<Variant>{2, 1, 4, 3}));
  sortBy({{3, 1}}, xl::xlNo, 3);
  EXPECT_EQ(tags(), (std::vector<Variant>{4, 2, 1, 3}));
}

TEST_F(SheetSort, ThreeKeysAndStability) {
  // A, C: keys; B: tag. Equal keys keep their order.
  fill({{"x", 1, 2}, {"y", 2, 1}, {"x", 3, 1}, {"x", 4, 2}, {"y", 5, 1}, {"x", 6, 1}});
  sortBy({{1, 1}, {3, 1}}, xl::xlNo, 3);
  EXPECT_EQ(tags(), (std::vector<Variant>{3, 6, 1, 4, 2, 5}));
  sortBy({{3, 2}, {1, 1}, {2, 2}}, xl::xlNo, 3);
  EXPECT_EQ(tags(), (std::vector<Variant>{4, 1, 6, 3, 5, 2}));
}

TEST_F(SheetSort, EqualKeysKeepTheirOrderInALongList) {
  const long rows = 500;
  Table t(rows, 2);
  for (long r = 1; r <= rows; ++r) {
    t(r, 1) = r % 3 == 0 ? Variant("Same") : r % 3 == 1 ? Variant("same") : Variant(7);
    t(r, 2) = r;
  }
  sheet->cell(1, 1).resize(rows, 2).setValues(t);
  n = rows;
  sortBy({{1, 2}}, xl::xlNo);
  std::vector<Variant> got = tags();
  for (size_t i = 1; i < got.size(); ++i) {
    bool sameGroup = sheet->get(static_cast<long>(i), 1).isNumber() == sheet->get(static_cast<long>(i) + 1, 1).isNumber();
    if (sameGroup) {
      ASSERT_LT(got[i - 1].number(), got[i].number()) << "row " << i;
    }
  }
  EXPECT_TRUE(sheet->get(1, 1).isText()) << "descending: texts before numbers";
  EXPECT_TRUE(sheet->get(rows, 1).isNumber());
}

// Many texts that share long starts, differ in case, in a few bytes far in, or in their
// length, among numbers (with -0): the sheet's order is the plain one of the values.
TEST_F(SheetSort, ManySimilarTextsAndNumbersInOrderBothWays) {
  std::mt19937 random(7);
  const long rows = 3000;
  Table t(rows, 2);
  const std::string alphabet = "0aAbB9_";
  for (long r = 1; r <= rows; ++r) {
    if (random() % 5 == 0) {
      const double values[] = {-0.0, 0.0, -2.5, 3, 1e300, -1e-300, 42};
      t(r, 1) = values[random() % std::size(values)];
    } else {
      // A natural-key-like start of zero groups, then a few varying bytes, at any length.
      std::string text(1 + random() % 90, '0');
      for (size_t i = 0; i < text.size(); ++i)
        if (i % 7 >= 5 || random() % 40 == 0) text[i] = alphabet[random() % alphabet.size()];
      t(r, 1) = text;
    }
    t(r, 2) = r;
  }
  auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  // -1, 0 or 1 as a before b by value: numbers first, texts without case (texts of
  // digits alone were stored as numbers).
  auto compare = [&](const Variant& a, const Variant& b) {
    if (a.isNumber() != b.isNumber()) return a.isNumber() ? -1 : 1;
    if (a.isNumber()) return a.number() < b.number() ? -1 : a.number() > b.number() ? 1 : 0;
    const int c = lower(a.text()).compare(lower(b.text()));
    return c < 0 ? -1 : c > 0 ? 1 : 0;
  };
  for (int order : {1, 2}) {
    sheet->cell(1, 1).resize(rows, 2).setValues(t);
    n = rows;
    sortBy({{1, order}}, xl::xlNo);
    std::vector<Variant> keys = column(1, 1, n), tag = tags();
    for (long i = 1; i < rows; ++i) {
      const int c = compare(keys[i - 1], keys[i]) * (order == 2 ? -1 : 1);
      ASSERT_LE(c, 0) << "row " << i << ": " << vb::toText(keys[i - 1]) << " before " << vb::toText(keys[i]);
      if (c == 0) {
        ASSERT_LT(tag[i - 1].number(), tag[i].number()) << "equal keys keep their order, row " << i;
      }
    }
  }
}

// Three keys of every kind (numbers that differ in any byte of their bits, texts,
// Booleans, error values, empty cells), each ascending or descending: the rows end in the
// order of the values, rows with equal keys in their old order.
TEST_F(SheetSort, ThreeKeysOfEveryKindInEitherOrder) {
  std::mt19937 random(11);
  const long rows = 2000;
  auto value = [&]() -> Variant {
    switch (random() % 6) {
      case 0: return Variant();
      case 1: return std::ldexp(static_cast<double>(static_cast<int>(random() % 2001) - 1000), static_cast<int>(random() % 200) - 100);
      case 2: return random() % 2 == 0;
      case 3: return vb::ErrorValue{random() % 2 == 0 ? vb::kErrNA : vb::kErrNum};
      default: return std::string("aAbB").substr(random() % 4, 1 + random() % 3);
    }
  };
  // -1, 0 or 1 as a before b: numbers, texts without case, Booleans, error values, then empty.
  auto compare = [](const Variant& a, const Variant& b, bool descending) {
    auto rank = [](const Variant& v) { return v.isNumber() ? 0 : v.isText() ? 1 : v.isBoolean() ? 2 : v.isError() ? 3 : 4; };
    if (rank(a) == 4 || rank(b) == 4) return (rank(a) == 4) - (rank(b) == 4);
    int c = rank(a) < rank(b) ? -1 : rank(a) > rank(b) ? 1 : 0;
    if (c == 0 && rank(a) == 1) c = vb::lcase(a.text()).compare(vb::lcase(b.text()));
    if (c == 0 && rank(a) != 1) {
      auto number = [](const Variant& v) { return v.isNumber() ? v.number() : v.isBoolean() ? v.boolean() : v.error().code; };
      c = number(a) < number(b) ? -1 : number(a) > number(b) ? 1 : 0;
    }
    c = c < 0 ? -1 : c > 0 ? 1 : 0;
    return descending ? -c : c;
  };
  for (int orders : {0, 1, 2, 5, 7}) {  // bit k: key k descending
    Table t(rows, 4);  // keys in A, C and D; the tag in B
    for (long r = 1; r <= rows; ++r) {
      t(r, 1) = value(), t(r, 2) = r, t(r, 3) = value(), t(r, 4) = value();
    }
    sheet->cell(1, 1).resize(rows, 4).setValues(t);
    n = rows;
    const long keyCols[] = {1, 3, 4};
    sortBy({{1, orders & 1 ? 2 : 1}, {3, orders & 2 ? 2 : 1}, {4, orders & 4 ? 2 : 1}}, xl::xlNo, 4);
    const std::vector<Variant> tag = tags();
    for (long i = 1; i < rows; ++i) {
      int c = 0;
      for (int k = 0; k < 3 && c == 0; ++k)
        c = compare(sheet->get(i, keyCols[k]), sheet->get(i + 1, keyCols[k]), orders & (1 << k));
      ASSERT_LE(c, 0) << "orders " << orders << ", row " << i;
      if (c == 0) {
        ASSERT_LT(tag[static_cast<size_t>(i - 1)].number(), tag[static_cast<size_t>(i)].number())
            << "equal keys keep their order: orders " << orders << ", row " << i;
      }
    }
  }
}

// Delete on a range of some columns: the cells below move up in those columns only, with
// their looks and merges; a merge that reaches into the columns from outside refuses it.
TEST_F(SheetMoves, DeletingPartOfSomeRowsMovesTheCellsBelowUpInTheirColumns) {
  sheet->range("A1:C5").setValues(tableOf({{"a1", "b1", "c1"}, {"a2", "b2", "c2"}, {"a3", "b3", "c3"},
                                           {"a4", "b4", "c4"}, {"a5", "b5", "c5"}}));
  sheet->range("A4").setInteriorColor(255);
  sheet->range("A7:B7").merge();
  sheet->range("A2:B2").deleteCells();
  EXPECT_EQ(column(1, 1, 5), (std::vector<Variant>{"a1", "a3", "a4", "a5", Variant()}));
  EXPECT_EQ(column(2, 1, 5), (std::vector<Variant>{"b1", "b3", "b4", "b5", Variant()}));
  EXPECT_EQ(column(3, 1, 5), (std::vector<Variant>{"c1", "c2", "c3", "c4", "c5"})) << "C stays";
  EXPECT_EQ(sheet->styleAt(3, 1).fill, 255) << "the look moves with its cell";
  ASSERT_EQ(sheet->merges().size(), 1u);
  EXPECT_EQ(xl::Range(sheet, sheet->merges()[0]).address(), "$A$6:$B$6");
  sheet->range("B8:C8").merge();
  EXPECT_THROW(sheet->range("A1:B1").deleteCells(), vb::Error);
  EXPECT_EQ(vb::toText(sheet->get(1, 1)), "a1") << "a refused delete changes nothing";
}

TEST_F(SheetSort, HeaderRow) {
  struct Case {
    const char* what;
    int header;
    bool boldHeading, boldSecond;
    bool headingStays;
  };
  const Case cases[] = {
      {"Header 1", xl::xlYes, false, false, true},
      {"Header 2", xl::xlNo, true, false, false},
      {"Header 0, bold heading", xl::xlGuess, true, false, true},
      {"Header 0, plain heading", xl::xlGuess, false, false, false},
      {"Header 0, bold second row too", xl::xlGuess, true, true, false},
  };
  for (const auto& c : cases) {
    sheet->cells().clear();
    fill({{"zz heading", 0}, {"b", 1}, {"a", 2}});
    if (c.boldHeading) sheet->range("A1:B1").setBold(true);
    if (c.boldSecond) sheet->range("A2:B2").setBold(true);
    sortBy({{1, 1}}, c.header);
    const std::vector<Variant> expected =
        c.headingStays ? std::vector<Variant>{0, 2, 1} : std::vector<Variant>{2, 1, 0};
    EXPECT_EQ(tags(), expected) << c.what;
  }
}

TEST_F(SheetSort, MovesValuesAndLooksWithinTheRangesColumnsOnly) {
  fill({{"c", "row1", "D1"}, {"a", "row2", "D2"}, {"b", "row3", "D3"}});
  sheet->range("A2:B2").setInteriorColor(255);
  sheet->range("D1:D3").setValues(tableOf({{"out1"}, {"out2"}, {"out3"}}));
  sortBy({{1, 1}}, xl::xlNo, 3);
  EXPECT_EQ(column(2, 1, 3), (std::vector<Variant>{"row2", "row3", "row1"}));
  EXPECT_EQ(column(3, 1, 3), (std::vector<Variant>{"D2", "D3", "D1"}));
  EXPECT_EQ(column(4, 1, 3), (std::vector<Variant>{"out1", "out2", "out3"})) << "column D is outside the range";
  EXPECT_EQ(sheet->range("B1").interiorColor(), 255) << "the fill moved with its row";
  EXPECT_EQ(sheet->range("B2").interiorColor(), xl::kNoFill);
}

TEST_F(SheetSort, WholeColumnsKeyOutsideAndFault) {
  fill({{"h", 0}, {3, 1}, {1, 2}, {2, 3}});
  xl::SortSpec sorting;
  sorting.keys = {{1, 1}};
  sorting.header = xl::xlYes;
  sheet->columns("A:B").sort(sorting);
  EXPECT_EQ(tags(), (std::vector<Variant>{0, 2, 3, 1}));
  EXPECT_EQ(sheet->usedRange().address(), "$A$1:$B$4") << "no empty rows appear";

  sorting.keys = {{5, 1}};
  EXPECT_THROW(sheet->columns("A:B").sort(sorting), vb::Error);
  sorting.keys = {{1, 2}};
  faults.set("spreadsheet", "Sort", 1);
  EXPECT_THROW(sheet->columns("A:B").sort(sorting), vb::Error);
  EXPECT_EQ(tags(), (std::vector<Variant>{0, 2, 3, 1})) << "a failed sort changes nothing";
  sheet->columns("A:B").sort(sorting);
  EXPECT_EQ(tags(), (std::vector<Variant>{0, 1, 3, 2}));
}

TEST_F(SheetMoves, DeletingRowsShiftsCellsLooksMergesAndFilter) {
  for (long r = 1; r <= 8; ++r) sheet->cell(r, 1).setValue(r);
  sheet->rows(6, 6).setBold(true);
  sheet->range("B7").setInteriorColor(255);
  sheet->range("C2:C4").merge();  // loses one row
  sheet->range("C6:C7").merge();  // moves up
  sheet->range("A1:C8").autoFilter();

  sheet->rows(3, 4).deleteCells();
  EXPECT_EQ(column(1, 1, 7), (std::vector<Variant>{1, 2, 5, 6, 7, 8, Variant()}));
  EXPECT_TRUE(sheet->range("Z4").bold()) << "the row's look moved up with it";
  EXPECT_FALSE(sheet->range("Z6").bold());
  EXPECT_EQ(sheet->range("B5").interiorColor(), 255);
  ASSERT_EQ(sheet->merges().size(), 1u) << "C2:C4 shrank to one cell, which is no merge";
  EXPECT_EQ(sheet->merges()[0], (xl::Area{4, 3, 5, 3}));
  EXPECT_EQ(*sheet->filter(), (xl::Area{1, 1, 6, 3}));
  EXPECT_EQ(sheet->usedRange().address(), "$A$1:$B$6");
}

TEST_F(SheetMoves, DeletingRowsFromTheBottomUpRemovesMarkedRows) {
  // As the category row removal does: scan upwards, delete rows with the mark fill.
  const long mark = platform::kMarkRed;
  sheet->range("A1:A7").setValues(tableOf({{"head"}, {"cat1"}, {"p1"}, {"p2"}, {"cat2"}, {"p3"}, {"total"}}));
  sheet->range("A2").setInteriorColor(mark);
  sheet->range("A5").setInteriorColor(mark);
  for (long r = platform::lastUsedRow(*sheet, 1) - 1; r >= 2; --r)
    if (sheet->range("A" + std::to_string(r)).interiorColor() == mark) sheet->cell(r, 1).entireRow().deleteCells();
  EXPECT_EQ(column(1, 1, 6), (std::vector<Variant>{"head", "p1", "p2", "p3", "total", Variant()}));
}

// The same block of 300 rows, with empty rows in it, read, moved over, sorted, cleared
// and cut at rows near the top and far down the sheet: every answer is the same, shifted.
TEST_F(SheetMoves, ABlockOfRowsBehavesTheSameWhereverItSits) {
  struct Seen {
    std::vector<long> ends;
    std::vector<Variant> values;
    xl::Area used, region;
  };
  auto play = [&](long top) {
    xl::SheetPtr s = book->addSheet(nullptr, nullptr);
    const long rows = 300;
    Table t(rows, 2);
    for (long i = 1; i <= rows; ++i)
      if (i % 50 != 0 && (i < 120 || i > 140)) {  // gaps of one row and of 21 rows
        t(i, 1) = static_cast<double>((i * 37) % 101);
        t(i, 2) = "r" + std::to_string(i);
      }
    s->cell(top, 1).resize(rows, 2).setValues(t);
    Seen seen;
    auto rel = [&](long r) { return r - top; };
    for (long from : {0L, 48L, 49L, 63L, 64L, 118L, 119L, 141L, 200L})  // none runs to the sheet's edge
      seen.ends.push_back(rel(s->cell(top + from, 1).end(xl::xlDown).row()));
    for (long from : {48L, 49L, 63L, 64L, 118L, 119L, 141L, 299L})
      seen.ends.push_back(rel(s->cell(top + from, 1).end(xl::xlUp).row()));
    seen.ends.push_back(rel(s->cell(xl::kMaxRows, 2).end(xl::xlUp).row()));
    xl::SortSpec byValue;
    byValue.keys = {{1, 1}, {2, 1}};
    byValue.header = xl::xlNo;
    s->range(s->cell(top + 10, 1), s->cell(top + 200, 2)).sort(byValue);
    s->range(s->cell(top + 60, 1), s->cell(top + 70, 2)).clear();
    s->rows(top + 30, top + 100).deleteCells();
    for (long i = 0; i < rows; ++i) seen.values.push_back(s->get(top + i, 1)), seen.values.push_back(s->get(top + i, 2));
    xl::Area u = s->usedArea();
    seen.used = xl::Area{rel(u.r1), u.c1, rel(u.r2), u.c2};
    xl::Area region = s->currentRegion(top + 5, 1);
    seen.region = xl::Area{rel(region.r1), region.c1, rel(region.r2), region.c2};
    return seen;
  };
  const Seen near = play(1);
  EXPECT_EQ(near.used, (xl::Area{0, 1, 227, 2}));
  for (long top : {2L, 64L, 65L, 100037L, xl::kMaxRows - 299}) {
    const Seen far = play(top);
    EXPECT_EQ(far.ends, near.ends) << "from row " << top;
    EXPECT_EQ(far.values, near.values) << "from row " << top;
    EXPECT_EQ(far.used, near.used) << "from row " << top;
    EXPECT_EQ(far.region, near.region) << "from row " << top;
  }
}

TEST_F(SheetMoves, ALoneCellInTheLastRowIsFoundMovedAndCleared) {
  sheet->cell(xl::kMaxRows, 3).setValue("last");
  EXPECT_EQ(sheet->usedArea(), (xl::Area{xl::kMaxRows, 3, xl::kMaxRows, 3}));
  EXPECT_EQ(sheet->cell(1, 3).end(xl::xlDown).row(), xl::kMaxRows);
  EXPECT_EQ(sheet->cell(xl::kMaxRows - 1, 3).end(xl::xlDown).row(), xl::kMaxRows);
  sheet->rows(2, 11).deleteCells();
  EXPECT_EQ(sheet->usedArea(), (xl::Area{xl::kMaxRows - 10, 3, xl::kMaxRows - 10, 3}));
  EXPECT_EQ(sheet->cell(1, 3).end(xl::xlDown).row(), xl::kMaxRows - 10);
  sheet->range("C1").setValue("first");
  xl::SortSpec down;
  down.keys = {{3, 2}};
  down.header = xl::xlNo;
  sheet->columns("C").sort(down);
  EXPECT_EQ(column(3, 1, 3), (std::vector<Variant>{"last", "first", Variant()})) << "descending, empty cells last";
  EXPECT_EQ(sheet->usedArea(), (xl::Area{1, 3, 2, 3}));
  sheet->range("C1:C2").clear();
  EXPECT_EQ(sheet->usedArea(), (xl::Area{1, 1, 1, 1})) << "an empty sheet";
  EXPECT_EQ(sheet->cell(1, 3).end(xl::xlDown).row(), xl::kMaxRows);
}

TEST_F(SheetMoves, DeletingColumnsShiftsCellsAndWidths) {
  sheet->range("A1:D1").setValues(tableOf({{"a", "b", "c", "d"}}));
  sheet->columns("C").setColumnWidth(20);
  sheet->columns("B").deleteCells();
  EXPECT_EQ(sheet->range("A1:D1").values()(1, 2), Variant("c"));
  EXPECT_EQ(sheet->get(1, 3), Variant("d"));
  EXPECT_TRUE(sheet->get(1, 4).isEmpty());
  EXPECT_DOUBLE_EQ(sheet->columnWidth(2), 20);
  EXPECT_DOUBLE_EQ(sheet->columnWidth(3), 8.43);
}

}  // namespace
}  // namespace sim_sheet_test
