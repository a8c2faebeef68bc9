#pragma once
// The plain values of a sheet, shared by the spreadsheet interface and the workbook
// files: the sheet's limits, areas and their A1 addresses, and the look of a cell.
// Nothing here knows a Range, a Sheet or a program. Rows and columns count from 1.
// Colours are red + 256 * green + 65536 * blue.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::xl {

constexpr long kMaxRows = 1048576;
constexpr long kMaxCols = 16384;
constexpr long kNoFill = 16777215;  // what a cell without fill reports as its colour
constexpr long kMaxCellChars = 32767;  // characters a cell holds, as in the real spreadsheet programs

struct Area {
  long r1 = 1, c1 = 1, r2 = 1, c2 = 1;
  long rows() const { return r2 - r1 + 1; }
  long cols() const { return c2 - c1 + 1; }
  long long count() const { return static_cast<long long>(rows()) * cols(); }  // a whole sheet overflows 32 bits
  bool contains(long r, long c) const { return r >= r1 && r <= r2 && c >= c1 && c <= c2; }
  bool operator==(const Area&) const = default;
};

// One edge of a cell's border.
struct Edge {
  int lineStyle = 0;   // 0 none; the spreadsheet's line style numbers otherwise (1 continuous)
  int weight = 0;      // 2 thin
  int colorIndex = 0;  // 0 automatic
  bool operator==(const Edge&) const = default;
};

// The look of a cell. Number formats are kept by their international name
// ("General", "@", "# ?/?", "0.000").
struct Style {
  std::string numberFormat = "General";
  bool bold = false;
  double fontSize = 11;
  long fontColor = 0;
  long fill = kNoFill;
  bool wrap = false;
  Edge left, top, right, bottom;
  bool operator==(const Style&) const = default;
};

// Column widths kept as runs of columns, so a width set over every column costs the
// same as one set on a single column. A later setting wins where runs overlap.
class ColumnWidthRuns {
 public:
  struct Run {
    long first, last;
    double width;
    bool operator==(const Run&) const = default;
  };
  void set(long first, long last, double width);
  // The width of a column, or nothing when no run covers it.
  std::optional<double> at(long column) const;
  // The runs in column order, neighbours of one width joined.
  std::vector<Run> runs() const;
  // Columns first..last removed: the runs right of them move left.
  void removeColumns(long first, long last);
  void clear() { byFirst_.clear(); }
  bool empty() const { return byFirst_.empty(); }

 private:
  std::map<long, Run> byFirst_;  // by first column; runs never overlap
};

// Column letters ("A", "XFD") and back; columnNumber gives 0 when the text is no column.
std::string columnLetters(long column);
long columnNumber(std::string_view letters);

// A1 addresses, "$" signs allowed and letters of either case: a cell ("B7"), an area
// ("A1:F10", its corners in any order) and, where wholeLines allows, whole columns
// ("A:H", "C") and whole rows ("3:5", "3"). Nothing when the text is no such address
// or reaches beyond the sheet.
enum class A1Forms { CellsOnly, WholeLines };
std::optional<Area> parseA1(std::string_view address, A1Forms forms = A1Forms::WholeLines);
// "$A$1" or "$A$1:$F$10".
std::string addressText(const Area& a);

}  // namespace platform::xl
