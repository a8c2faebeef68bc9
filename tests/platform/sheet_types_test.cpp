// The plain values of a sheet: A1 addresses in every form the program and the files use,
// and column widths kept as runs.
#include "platform/sheet_types.h"

#include <gtest/gtest.h>

namespace {

using platform::xl::A1Forms;
using platform::xl::Area;
using platform::xl::ColumnWidthRuns;
using platform::xl::kMaxCols;
using platform::xl::kMaxRows;
using platform::xl::parseA1;

TEST(A1Address, ReadsCellsAreasAndWholeLines) {
  struct Case {
    const char* text;
    std::optional<Area> whole, cellsOnly;  // with whole columns and rows allowed, and without
  };
  const Area b7{7, 2, 7, 2};
  const Case cases[] = {
      {"B7", b7, b7},
      {"$B$7", b7, b7},
      {"b7", b7, b7},
      {"F10:A1", Area{1, 1, 10, 6}, Area{1, 1, 10, 6}},
      {"A:H", Area{1, 1, kMaxRows, 8}, std::nullopt},
      {"C", Area{1, 3, kMaxRows, 3}, std::nullopt},
      {"3:5", Area{3, 1, 5, kMaxCols}, std::nullopt},
      {"XFD1048576", Area{kMaxRows, kMaxCols, kMaxRows, kMaxCols}, Area{kMaxRows, kMaxCols, kMaxRows, kMaxCols}},
      {"XFE1", std::nullopt, std::nullopt},       // beyond the last column
      {"A1048577", std::nullopt, std::nullopt},   // beyond the last row
      {"A0", std::nullopt, std::nullopt},
      {"A99999999999", std::nullopt, std::nullopt},
      {"A1:C", std::nullopt, std::nullopt},       // a cell and a column do not make an area
      {"", std::nullopt, std::nullopt},
      {"A1B", std::nullopt, std::nullopt},
      {"R1C1", std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(parseA1(c.text), c.whole);
    EXPECT_EQ(parseA1(c.text, A1Forms::CellsOnly), c.cellsOnly);
  }
}

TEST(ColumnWidths, ALaterWidthWinsWhereRunsOverlap) {
  ColumnWidthRuns w;
  w.set(1, kMaxCols, 20);
  w.set(3, 5, 8);
  w.set(5, 7, 12);
  w.set(2, 2, 20);  // the same width as its neighbour joins it
  using Run = ColumnWidthRuns::Run;
  EXPECT_EQ(w.runs(), (std::vector<Run>{{1, 2, 20}, {3, 4, 8}, {5, 7, 12}, {8, kMaxCols, 20}}));
  EXPECT_EQ(w.at(4), 8);
  EXPECT_EQ(w.at(kMaxCols), 20);
  w.removeColumns(4, 5);
  EXPECT_EQ(w.runs(), (std::vector<Run>{{1, 2, 20}, {3, 3, 8}, {4, 5, 12}, {6, kMaxCols - 2, 20}}));
  EXPECT_FALSE(w.at(kMaxCols).has_value());

  // Many settings over every column cost one run each, not one entry a column.
  ColumnWidthRuns many;
  for (int i = 0; i < 100000; ++i) many.set(1, kMaxCols, i % 7);
  EXPECT_EQ(many.runs().size(), 1u);
}

}  // namespace
