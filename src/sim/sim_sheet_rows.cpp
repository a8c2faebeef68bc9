// Reordering a sheet's rows: Sort, and deleting whole rows or columns.
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

#include "sim/sim_sheet.h"
#include "sim/sim_sort_order.h"
#include "sim/sim_workbook.h"
#include "vb/error.h"

namespace sim {

using platform::xl::kMaxCols;
using platform::xl::kMaxRows;

namespace {

// Keys from `from` on move by delta (< 0); the keys they move onto are free.
template <class Map>
void shiftKeys(Map& m, long from, long delta) {
  for (auto it = m.lower_bound(from); it != m.end();) {
    auto next = std::next(it);
    auto node = m.extract(it);
    node.key() += delta;
    m.insert(next, std::move(node));
    it = next;
  }
}

// A span lo..hi after positions d1..d2 are removed; false when nothing is left.
// A span that reaches the sheet's edge (whole columns or rows) keeps reaching it.
bool shrinkSpan(long& lo, long& hi, long d1, long d2, long edge) {
  const long n = d2 - d1 + 1;
  if (hi < d1) return true;
  if (lo > d2) {
    lo -= n;
    hi = hi == edge ? edge : hi - n;
    return true;
  }
  long nlo = std::min(lo, d1);
  long nhi = hi == edge ? edge : hi > d2 ? hi - n : d1 - 1;
  if (nhi < nlo) return false;
  lo = nlo;
  hi = nhi;
  return true;
}

}  // namespace

bool SimSheet::rowHasBoldValue(long row, long c1, long c2) const {
  const Cells cells = rows_.find(row);
  for (auto e = findCol(cells, c1); e != cells.end() && e->col <= c2; ++e)
    if (!e->value.isEmpty() && shown(colLook(e->col), rowLook(row), e->look).bold) return true;
  return false;
}

void SimSheet::sort(const Area& a, const platform::xl::SortSpec& sorting) {
  if (auto b = book())
    if (Faults* f = b->faults()) f->check("spreadsheet", "Sort");
  if (sorting.keys.empty() || sorting.keys.size() > 3) vb::raise(vb::kAppDefined, "The sort reference is not valid.");
  if (sorting.orientation != 1) vb::raise(vb::kAppDefined, "Only rows are sorted, top to bottom.");
  for (const auto& k : sorting.keys)
    if (k.column < a.c1 || k.column > a.c2) vb::raise(vb::kAppDefined, "The sort reference is not valid.");
  const long r2 = std::min(a.r2, rows_.lastRow());
  bool header = sorting.header == platform::xl::xlYes;
  if (sorting.header == platform::xl::xlGuess)  // a bold first row above a row that is not bold
    header = rowHasBoldValue(a.r1, a.c1, a.c2) && !rowHasBoldValue(a.r1 + 1, a.c1, a.c2);
  const long first = a.r1 + (header ? 1 : 0);
  if (first >= r2) return;
  changed();

  // The part of the range in each row that has one moves: the parts' keys are read where
  // they are, the parts put in order, and the rows made anew, each with its own cells
  // outside the range's columns and the part that comes to it.
  const size_t nk = sorting.keys.size();
  std::vector<bool> descending(nk);
  for (size_t k = 0; k < nk; ++k) descending[k] = sorting.keys[k].order == 2;
  SortOrder order(std::move(descending), sorting.matchCase);
  // Each part where it is, and the row it is in, top down. The rows stay as they are until
  // they are made anew.
  std::vector<std::span<Entry>> parts;
  std::vector<long> from;
  // Where each row's part lies among its cells (or would lie, in a row without one).
  struct Place {
    uint32_t offset = 0, count = 0;  // a row holds at most kMaxCols cells
  };
  std::vector<Place> places(static_cast<size_t>(r2 - first + 1));
  rows_.eachInPlace(first, r2, [&](long r, std::span<Entry> row) {
    const std::span<Entry> part = cellsIn(row, a.c1, a.c2);
    places[static_cast<size_t>(r - first)] = {static_cast<uint32_t>(part.data() - row.data()), static_cast<uint32_t>(part.size())};
    if (part.empty()) return;
    const CellValue* keyCells[SortOrder::kMostKeys];
    for (size_t k = 0; k < nk; ++k) {
      const Entry* e = cellOf(part, sorting.keys[k].column);
      keyCells[k] = e ? &e->value : nullptr;
    }
    order.add(std::span(keyCells, nk));
    parts.push_back(part);
    from.push_back(r);
  });
  const size_t n = parts.size();
  if (n == 0) return;
  const std::vector<size_t> keyed = order.sorted([&](size_t i, size_t k) {
    const Entry* e = cellOf(parts[i], sorting.keys[k].column);
    return e ? &e->value : nullptr;
  });
  // A row without a key value sorts after every row with one and equal to the others,
  // so those rows (the empty ones among them) keep their order below the sorted ones.
  std::vector<size_t> comes(static_cast<size_t>(r2 - first + 1));  // the part each row gets, from 1; 0: none
  std::vector<bool> isKeyed(n);
  for (size_t j = 0; j < keyed.size(); ++j) {
    comes[j] = keyed[j] + 1;
    isKeyed[keyed[j]] = true;
  }
  long keyedAbove = 0;
  for (size_t i = 0; i < n; ++i) {
    if (isKeyed[i]) {
      ++keyedAbove;
      continue;
    }
    comes[static_cast<size_t>(from[i] + static_cast<long>(keyed.size()) - keyedAbove - first)] = i + 1;
  }
  // The parts come from rows all over the sheet: each is asked for some rows before its
  // turn, so that the memory brings several in at once.
  constexpr long kAhead = 8;
  rows_.rebuild(first, r2, [&](long r, Row& row, auto oldCells) {
    if (r + kAhead <= r2)
      if (const size_t ahead = comes[static_cast<size_t>(r + kAhead - first)]) prefetch(parts[ahead - 1]);
    const std::span<Entry> own = oldCells(r);
    const Place mine = places[static_cast<size_t>(r - first)];
    row.insert(row.end(), own.first(mine.offset));
    if (const size_t i = comes[static_cast<size_t>(r - first)]) row.insert(row.end(), parts[i - 1]);
    row.insert(row.end(), own.subspan(mine.offset + mine.count));
  });
}

void SimSheet::deleteRows(long r1, long r2) {
  if (r1 < 1 || r2 > kMaxRows || r1 > r2) vb::raise(vb::kAppDefined);
  changed();
  const long n = r2 - r1 + 1;
  rows_.removeRows(r1, r2);
  rowLooks_.erase(rowLooks_.lower_bound(r1), rowLooks_.upper_bound(r2));
  shiftKeys(rowLooks_, r2 + 1, -n);
  std::vector<Area> kept;
  for (Area m : merges_)
    if (shrinkSpan(m.r1, m.r2, r1, r2, kMaxRows) && m.count() > 1) kept.push_back(m);
  merges_ = std::move(kept);
  if (filter_ && !shrinkSpan(filter_->r1, filter_->r2, r1, r2, kMaxRows)) filter_.reset();
}

void SimSheet::deleteColumns(long c1, long c2) {
  if (c1 < 1 || c2 > kMaxCols || c1 > c2) vb::raise(vb::kAppDefined);
  changed();
  const long n = c2 - c1 + 1;
  rows_.change(1, kMaxRows, [&](long, Row& row) {
    const std::span<Entry> gone = cellsIn(row, c1, c2);
    for (Entry* e = gone.data() + gone.size(); e != row.end(); ++e) e->col -= static_cast<int32_t>(n);
    row.erase(gone.data(), gone.data() + gone.size());
  });
  colLooks_.erase(colLooks_.lower_bound(c1), colLooks_.upper_bound(c2));
  shiftKeys(colLooks_, c2 + 1, -n);
  widths_.removeColumns(c1, c2);
  std::vector<Area> kept;
  for (Area m : merges_)
    if (shrinkSpan(m.c1, m.c2, c1, c2, kMaxCols) && m.count() > 1) kept.push_back(m);
  merges_ = std::move(kept);
  if (filter_ && !shrinkSpan(filter_->c1, filter_->c2, c1, c2, kMaxCols)) filter_.reset();
}

// The band of columns c1..c2 from row r1 down is taken out of its rows, and put back n rows
// higher, without the rows of the area. A merge that reaches into the band from outside
// cannot move: the program refuses such a delete.
void SimSheet::deleteShiftUp(const Area& a) {
  if (a.r1 < 1 || a.r2 > kMaxRows || a.c1 < 1 || a.c2 > kMaxCols || a.r1 > a.r2 || a.c1 > a.c2)
    vb::raise(vb::kAppDefined);
  for (const Area& m : merges_) {
    const bool inBand = m.c1 >= a.c1 && m.c2 <= a.c2;
    if (m.r2 >= a.r1 && m.c1 <= a.c2 && m.c2 >= a.c1 && !inBand)
      vb::raise(vb::kAppDefined, "Cannot change part of a merged cell.");
  }
  changed();
  const long n = a.rows();
  const long last = rows_.lastRow();
  TakenRows below;  // the band's cells of the rows below the area, at the rows they go to
  rows_.change(a.r1, last, [&](long r, Row& row) {
    const std::span<Entry> band = cellsIn(row, a.c1, a.c2);
    if (band.empty()) return;
    if (r > a.r2) below.take(r - n, band);
    row.erase(band.data(), band.data() + band.size());
  });
  for (size_t i = 0; i < below.size(); ++i) {
    Row row = rows_.at(below.row(i));
    row.insert(findCol(row, a.c1), below.cells(i));
  }
  std::vector<Area> kept;
  for (Area m : merges_) {
    if (m.c1 >= a.c1 && m.c2 <= a.c2 && m.r2 >= a.r1) {
      if (!shrinkSpan(m.r1, m.r2, a.r1, a.r2, kMaxRows) || m.count() <= 1) continue;
    }
    kept.push_back(m);
  }
  merges_ = std::move(kept);
}

}  // namespace sim
