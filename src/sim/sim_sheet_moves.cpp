// Moving over the filled cells of a sheet: End, CurrentRegion and the used range.
#include <algorithm>

#include "sim/sim_sheet.h"
#include "vb/error.h"

namespace sim {

using platform::xl::kMaxCols;
using platform::xl::kMaxRows;

long SimSheet::filledBelow(long row, long col) const {
  return rows_.firstWhere(row + 1, kMaxRows, [&](long, Cells cells) { return holdsValue(cells, col); });
}

long SimSheet::filledAbove(long row, long col) const {
  return rows_.lastWhere(1, row - 1, [&](long, Cells cells) { return holdsValue(cells, col); });
}

long SimSheet::filledRightOf(long row, long col) const {
  const Cells cells = rows_.find(row);
  for (auto e = findCol(cells, col + 1); e != cells.end(); ++e)
    if (!e->value.isEmpty()) return e->col;
  return 0;
}

long SimSheet::filledLeftOf(long row, long col) const {
  const Cells cells = rows_.find(row);
  for (auto e = findCol(cells, col); e != cells.begin();) {
    --e;
    if (!e->value.isEmpty()) return e->col;
  }
  return 0;
}

// Ctrl+arrow: from a filled cell whose neighbour is filled, to the last filled cell of the
// run; otherwise to the next filled cell in that direction, or the sheet's edge.
SimSheet::Area SimSheet::end(long row, long col, int direction) const {
  using namespace platform::xl;
  auto cell = [](long r, long c) { return Area{r, c, r, c}; };
  switch (direction) {
    case xlDown:
    case kDownFour: {
      if (row < kMaxRows && filled(row, col) && filled(row + 1, col)) {
        long r = row + 1;  // the run ends at a row without a value in the column
        rows_.firstWhere(r + 1, kMaxRows, [&](long next, Cells cells) {
          if (next != r + 1 || !holdsValue(cells, col)) return true;
          r = next;
          return false;
        });
        return cell(r, col);
      }
      long r = filledBelow(row, col);
      return cell(r ? r : kMaxRows, col);
    }
    case xlUp: {
      if (row > 1 && filled(row, col) && filled(row - 1, col)) {
        long r = row - 1;
        rows_.lastWhere(1, r - 1, [&](long next, Cells cells) {
          if (next != r - 1 || !holdsValue(cells, col)) return true;
          r = next;
          return false;
        });
        return cell(r, col);
      }
      long r = filledAbove(row, col);
      return cell(r ? r : 1, col);
    }
    case xlToRight: {
      if (col < kMaxCols && filled(row, col) && filled(row, col + 1)) {
        long c = col + 1;
        while (c < kMaxCols && filled(row, c + 1)) ++c;
        return cell(row, c);
      }
      long c = filledRightOf(row, col);
      return cell(row, c ? c : kMaxCols);
    }
    case xlToLeft: {
      if (col > 1 && filled(row, col) && filled(row, col - 1)) {
        long c = col - 1;
        while (c > 1 && filled(row, c - 1)) --c;
        return cell(row, c);
      }
      long c = filledLeftOf(row, col);
      return cell(row, c ? c : 1);
    }
    default:
      vb::raise(vb::kAppDefined, "Application-defined or object-defined error");
  }
}

bool SimSheet::rowStripFilled(long row, long c1, long c2) const {
  const Cells cells = rows_.find(row);
  for (auto e = findCol(cells, c1); e != cells.end() && e->col <= c2; ++e)
    if (!e->value.isEmpty()) return true;
  return false;
}

bool SimSheet::colStripFilled(long col, long r1, long r2) const {
  return rows_.firstWhere(r1, r2, [&](long, Cells cells) { return holdsValue(cells, col); }) != 0;
}

// The rectangle grows while a filled cell touches it, diagonals included.
SimSheet::Area SimSheet::currentRegion(long row, long col) const {
  Area a{row, col, row, col};
  bool grew = true;
  while (grew) {
    grew = false;
    auto left = [&] { return std::max(1L, a.c1 - 1); };
    auto right = [&] { return std::min(kMaxCols, a.c2 + 1); };
    auto top = [&] { return std::max(1L, a.r1 - 1); };
    auto bottom = [&] { return std::min(kMaxRows, a.r2 + 1); };
    while (a.r1 > 1 && rowStripFilled(a.r1 - 1, left(), right())) --a.r1, grew = true;
    while (a.r2 < kMaxRows && rowStripFilled(a.r2 + 1, left(), right())) ++a.r2, grew = true;
    while (a.c1 > 1 && colStripFilled(a.c1 - 1, top(), bottom())) --a.c1, grew = true;
    while (a.c2 < kMaxCols && colStripFilled(a.c2 + 1, top(), bottom())) ++a.c2, grew = true;
  }
  return a;
}

// Cells with a value or a look of their own count; looks of whole columns, rows or the
// sheet do not.
SimSheet::Area SimSheet::usedArea() const {
  if (used_) return *used_;
  bool any = false;
  Area u{};
  auto used = [&](const Entry& e) { return !e.value.isEmpty() || pool_.marks(e.look); };
  rows_.each(1, kMaxRows, [&](long r, Cells row) {
    // The row's first and last used cells, looked for from either end.
    const auto from = std::find_if(row.begin(), row.end(), used);
    if (from == row.end()) return;
    const long first = from->col, last = std::find_if(row.rbegin(), row.rend(), used)->col;
    if (!any) {
      u = Area{r, first, r, last};
      any = true;
    } else {
      u.r2 = r;
      u.c1 = std::min(u.c1, first);
      u.c2 = std::max(u.c2, last);
    }
  });
  used_ = any ? u : Area{1, 1, 1, 1};
  return *used_;
}

}  // namespace sim
