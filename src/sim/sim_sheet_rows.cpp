// Reordering a sheet's rows: Sort, and deleting whole rows or columns.
#include <algorithm>
#include <array>
#include <iterator>
#include <numeric>

#include "sim/sim_sheet.h"
#include "sim/sim_workbook.h"
#include "vb/error.h"
#include "vb/ansi.h"
#include "vb/text.h"

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

// A sort key of one cell: numbers, then texts (letter case ignored unless asked),
// then Booleans, then error values; empty cells always last.
struct SortValue {
  int rank = 4;
  double number = 0;
  std::string folded;
  const std::string* text = nullptr;
};

// Texts compare without letter case; Chinese texts compare in their GBK order, which
// puts the common characters in pinyin order, as the phonetic sort method does.
std::string folded(const std::string& t) {
  for (unsigned char ch : t)
    if (ch >= 0x80) return vb::utf8ToAnsi(vb::lcase(t));
  std::string out = t;
  for (char& ch : out)
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  return out;
}

SortValue sortValue(const platform::xl::Variant& v) {
  SortValue s;
  switch (v.type()) {
    case platform::xl::Variant::Type::Number: s.rank = 0, s.number = v.number(); break;
    case platform::xl::Variant::Type::Text: s.rank = 1, s.folded = folded(v.text()), s.text = &v.text(); break;
    case platform::xl::Variant::Type::Boolean: s.rank = 2, s.number = v.boolean() ? 1 : 0; break;
    case platform::xl::Variant::Type::Error: s.rank = 3, s.number = v.error().code; break;
    case platform::xl::Variant::Type::Empty: break;
  }
  return s;
}

int compareValues(const SortValue& a, const SortValue& b, bool descending, bool matchCase) {
  if (a.rank == 4 || b.rank == 4) return (a.rank == 4) - (b.rank == 4);
  int c = 0;
  if (a.rank != b.rank) {
    c = a.rank < b.rank ? -1 : 1;
  } else if (a.rank == 1) {
    c = a.folded.compare(b.folded);
    // With letter case, a lower-case letter comes before its capital.
    if (c == 0 && matchCase) c = b.text->compare(*a.text);
    c = c < 0 ? -1 : c > 0 ? 1 : 0;
  } else {
    c = a.number < b.number ? -1 : a.number > b.number ? 1 : 0;
  }
  return descending ? -c : c;
}

}  // namespace

bool SimSheet::rowHasBoldValue(long row, long c1, long c2) const {
  auto it = rows_.find(row);
  if (it == rows_.end()) return false;
  for (auto e = findCol(it->second, c1); e != it->second.end() && e->col <= c2; ++e)
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
  const long lastRow = rows_.empty() ? 0 : rows_.rbegin()->first;
  const long r2 = std::min(a.r2, lastRow);
  bool header = sorting.header == platform::xl::xlYes;
  if (sorting.header == platform::xl::xlGuess)  // a bold first row above a row that is not bold
    header = rowHasBoldValue(a.r1, a.c1, a.c2) && !rowHasBoldValue(a.r1 + 1, a.c1, a.c2);
  const long first = a.r1 + (header ? 1 : 0);
  if (first >= r2) return;
  changed();

  // Take the range's part of every row out, sort those parts, and put them back. Rows
  // that lie wholly in the range are swapped, not copied.
  const size_t n = static_cast<size_t>(r2 - first + 1);
  std::vector<Row> parts(n);
  std::vector<Row*> rowAt(n, nullptr);
  for (auto it = rows_.lower_bound(first); it != rows_.end() && it->first <= r2; ++it) {
    const size_t i = static_cast<size_t>(it->first - first);
    Row& row = it->second;
    rowAt[i] = &row;
    auto lo = findCol(row, a.c1);
    auto hi = std::upper_bound(lo, row.end(), a.c2, [](long c, const Entry& e) { return c < e.col; });
    if (lo == row.begin() && hi == row.end()) {
      parts[i].swap(row);
    } else {
      parts[i].assign(std::make_move_iterator(lo), std::make_move_iterator(hi));
      row.erase(lo, hi);
    }
  }
  const size_t nk = sorting.keys.size();
  std::vector<std::array<SortValue, 3>> keys(n);
  for (size_t i = 0; i < n; ++i)
    for (size_t k = 0; k < nk; ++k) {
      auto e = findCol(parts[i], sorting.keys[k].column);
      if (e != parts[i].end() && e->col == sorting.keys[k].column) keys[i][k] = sortValue(e->value);
    }
  std::vector<size_t> order(n);
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) {
    for (size_t k = 0; k < nk; ++k) {
      int c = compareValues(keys[x][k], keys[y][k], sorting.keys[k].order == 2, sorting.matchCase);
      if (c != 0) return c < 0;
    }
    return false;
  });
  for (size_t i = 0; i < n; ++i) {
    Row& part = parts[order[i]];
    if (part.empty()) continue;
    Row*& row = rowAt[i];
    if (!row) row = &rows_[first + static_cast<long>(i)];
    if (row->empty()) row->swap(part);
    else row->insert(findCol(*row, a.c1), std::make_move_iterator(part.begin()), std::make_move_iterator(part.end()));
  }
  for (auto it = rows_.lower_bound(first); it != rows_.end() && it->first <= r2;)
    it = it->second.empty() ? rows_.erase(it) : std::next(it);
}

void SimSheet::deleteRows(long r1, long r2) {
  if (r1 < 1 || r2 > kMaxRows || r1 > r2) vb::raise(vb::kAppDefined);
  changed();
  const long n = r2 - r1 + 1;
  rows_.erase(rows_.lower_bound(r1), rows_.upper_bound(r2));
  shiftKeys(rows_, r2 + 1, -n);
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
  for (auto it = rows_.begin(); it != rows_.end();) {
    Row& row = it->second;
    auto lo = findCol(row, c1);
    auto hi = std::upper_bound(lo, row.end(), c2, [](long c, const Entry& e) { return c < e.col; });
    for (auto e = hi; e != row.end(); ++e) e->col -= static_cast<int32_t>(n);
    row.erase(lo, hi);
    auto next = std::next(it);
    if (row.empty()) rows_.erase(it);
    it = next;
  }
  colLooks_.erase(colLooks_.lower_bound(c1), colLooks_.upper_bound(c2));
  shiftKeys(colLooks_, c2 + 1, -n);
  widths_.removeColumns(c1, c2);
  std::vector<Area> kept;
  for (Area m : merges_)
    if (shrinkSpan(m.c1, m.c2, c1, c2, kMaxCols) && m.count() > 1) kept.push_back(m);
  merges_ = std::move(kept);
  if (filter_ && !shrinkSpan(filter_->c1, filter_->c2, c1, c2, kMaxCols)) filter_.reset();
}

}  // namespace sim
