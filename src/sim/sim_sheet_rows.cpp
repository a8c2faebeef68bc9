// Reordering a sheet's rows: Sort, and deleting whole rows or columns.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <iterator>
#include <string>
#include <string_view>

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
//
// Texts compare without letter case; Chinese texts compare in their GBK order, which
// puts the common characters in pinyin order, as the phonetic sort method does.
struct SortValue {
  int rank = 4;
  bool lowerAscii = false;  // an ASCII text with capitals: they compare as their small letters
  double number = 0;
  std::string_view text;    // as stored
  std::string_view folded;  // the bytes compared: the text itself when it is ASCII
  uint64_t head = 0;        // the first eight bytes compared, the first byte highest, 0 beyond the end
};

bool isCapital(unsigned char ch) { return ch >= 'A' && ch <= 'Z'; }

unsigned char comparedByte(const SortValue& s, size_t i) {
  const unsigned char ch = static_cast<unsigned char>(s.folded[i]);
  return s.lowerAscii && isCapital(ch) ? static_cast<unsigned char>(ch - 'A' + 'a') : ch;
}

// The head of a text: most comparisons end there, without reading the text itself.
uint64_t headOf(const SortValue& s) {
  uint64_t head = 0;
  for (size_t i = 0; i < 8; ++i) head = head << 8 | (i < s.folded.size() ? comparedByte(s, i) : 0);
  return head;
}

// The key of a cell's value (as the sheet keeps it); foldedTexts keeps the folded forms
// of texts that are not ASCII.
template <class Value>
SortValue sortValue(const Value& v, std::deque<std::string>& foldedTexts) {
  SortValue s;
  switch (v.type()) {
    case platform::xl::Variant::Type::Number: s.rank = 0, s.number = v.number(); break;
    case platform::xl::Variant::Type::Text:
      s.rank = 1;
      s.text = v.text();
      if (!vb::isAscii(s.text)) {
        s.folded = foldedTexts.emplace_back(vb::utf8ToAnsi(vb::lcase(s.text)));
      } else {
        s.folded = s.text;
        s.lowerAscii = std::any_of(s.text.begin(), s.text.end(), [](char ch) { return isCapital(ch); });
      }
      s.head = headOf(s);
      break;
    case platform::xl::Variant::Type::Boolean: s.rank = 2, s.number = v.boolean() ? 1 : 0; break;
    case platform::xl::Variant::Type::Error: s.rank = 3, s.number = v.error().code; break;
    case platform::xl::Variant::Type::Empty: break;
  }
  return s;
}

// The folded texts compared byte by byte (as unsigned bytes), capitals of ASCII texts
// taken as their small letters; a text that is the start of another comes first.
int compareFolded(const SortValue& a, const SortValue& b) {
  // Heads that differ order their texts as the first differing byte does (a text's end
  // counts as 0, below every byte but 0, where the lengths then decide).
  if (a.head != b.head) return a.head < b.head ? -1 : 1;
  const size_t n = std::min(a.folded.size(), b.folded.size());
  if (n > 8) {
    if (!a.lowerAscii && !b.lowerAscii) {
      if (int c = a.folded.substr(8, n - 8).compare(b.folded.substr(8, n - 8))) return c;
    } else {
      for (size_t i = 8; i < n; ++i)
        if (unsigned char x = comparedByte(a, i), y = comparedByte(b, i); x != y) return x < y ? -1 : 1;
    }
  }
  return a.folded.size() < b.folded.size() ? -1 : a.folded.size() > b.folded.size() ? 1 : 0;
}

int compareValues(const SortValue& a, const SortValue& b, bool descending, bool matchCase) {
  if (a.rank == 4 || b.rank == 4) return (a.rank == 4) - (b.rank == 4);
  int c = 0;
  if (a.rank != b.rank) {
    c = a.rank < b.rank ? -1 : 1;
  } else if (a.rank == 1) {
    c = compareFolded(a, b);
    // With letter case, a lower-case letter comes before its capital.
    if (c == 0 && matchCase) c = b.text.compare(a.text);
    c = c < 0 ? -1 : c > 0 ? 1 : 0;
  } else {
    c = a.number < b.number ? -1 : a.number > b.number ? 1 : 0;
  }
  return descending ? -c : c;
}

// The keys of every part packed into 64 bits each that order as the keys do, so that a
// sort compares the parts' own entries and rarely reads a cell. A text keeps, position
// by position, only the bits that tell its byte from the other texts' bytes there: a
// position where every text holds the same byte takes none (the zero padding of natural
// designator keys), one of ten digits four. A text's end counts as the lowest symbol, as
// it compares. Numbers, Booleans and error codes keep their order as unsigned bits.
constexpr size_t kMostKeys = 3;

struct PackedKeys {
  uint64_t head[kMostKeys] = {};
  uint32_t part = 0;
  uint8_t rank[kMostKeys] = {4, 4, 4};
};

uint64_t orderedBits(double d) {
  if (d == 0) d = 0;  // -0 equals 0
  uint64_t bits;
  std::memcpy(&bits, &d, sizeof bits);
  return bits >> 63 ? ~bits : bits | uint64_t{1} << 63;
}

// Packs key k of the parts into out; true when equal packed texts are equal texts.
// The bytes a text compares as: capitals of an ASCII text that has them as small letters.
struct FoldTables {
  unsigned char same[256], lower[256];
  FoldTables() {
    for (int b = 0; b < 256; ++b) {
      same[b] = static_cast<unsigned char>(b);
      lower[b] = static_cast<unsigned char>(isCapital(static_cast<unsigned char>(b)) ? b - 'A' + 'a' : b);
    }
  }
};
const FoldTables kFold;

bool packKey(const std::vector<SortValue>& keys, size_t nk, size_t k, std::vector<PackedKeys>& out) {
  constexpr size_t kPositions = 64;
  size_t minSize = SIZE_MAX, maxSize = 0;
  unsigned char lo[kPositions], hi[kPositions];
  std::fill(std::begin(lo), std::end(lo), 255);
  std::fill(std::begin(hi), std::end(hi), 0);
  // The compared bytes of each text's start, side by side, so that the packing reads
  // them in order instead of visiting every text again.
  std::vector<unsigned char> starts(out.size() * kPositions);
  for (size_t j = 0; j < out.size(); ++j) {
    const SortValue& v = keys[out[j].part * nk + k];
    if (v.rank != 1) continue;
    minSize = std::min(minSize, v.folded.size());
    maxSize = std::max(maxSize, v.folded.size());
    const unsigned char* fold = v.lowerAscii ? kFold.lower : kFold.same;
    const auto* text = reinterpret_cast<const unsigned char*>(v.folded.data());
    unsigned char* start = starts.data() + j * kPositions;
    const size_t n = std::min(v.folded.size(), kPositions);
    for (size_t i = 0; i < n; ++i) {
      const unsigned char b = start[i] = fold[text[i]];
      lo[i] = std::min(lo[i], b);
      hi[i] = std::max(hi[i], b);
    }
  }
  // The positions that take bits, and their bits, as long as they fit.
  struct Position {
    uint32_t at;
    int bits;
  };
  Position taking[kPositions];
  size_t taken = 0, positions = 0;
  for (int used = 0; positions < std::min(maxSize, kPositions); ++positions) {
    const size_t symbols = (positions >= minSize ? 1 : 0) + (hi[positions] - lo[positions] + 1u);
    int b = 0;
    while ((size_t{1} << b) < symbols) ++b;
    if (used + b > 64) break;
    if (b > 0) taking[taken++] = {static_cast<uint32_t>(positions), b};
    used += b;
  }
  for (size_t j = 0; j < out.size(); ++j) {
    PackedKeys& p = out[j];
    const SortValue& v = keys[p.part * nk + k];
    p.rank[k] = static_cast<uint8_t>(v.rank);
    if (v.rank == 1) {
      const unsigned char* start = starts.data() + j * kPositions;
      const size_t size = v.folded.size();
      uint64_t head = 0;
      for (size_t t = 0; t < taken; ++t) {
        const size_t i = taking[t].at;
        const uint64_t code = i >= size ? 0 : start[i] - lo[i] + (i >= minSize ? 1 : 0);
        head = head << taking[t].bits | code;
      }
      p.head[k] = head;
    } else if (v.rank != 4) {
      p.head[k] = orderedBits(v.number);
    }
  }
  return positions == maxSize;
}

}  // namespace

bool SimSheet::rowHasBoldValue(long row, long c1, long c2) const {
  const Row* cells = rows_.find(row);
  if (!cells) return false;
  for (auto e = findCol(*cells, c1); e != cells->end() && e->col <= c2; ++e)
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

  // Take the range's part out of every row that has one, with its keys, sort the parts,
  // and put them back. Rows that lie wholly in the range are swapped, not copied.
  const size_t nk = sorting.keys.size();
  std::vector<long> from;  // the row each part was taken from, top down
  std::vector<Row> parts;
  std::vector<SortValue> keys;  // nk for each part
  std::deque<std::string> foldedTexts;
  std::vector<size_t> keyed, unkeyed;  // parts with a value in some key, and those without
  const size_t most = rows_.count(first, r2);
  from.reserve(most);
  parts.reserve(most);
  keys.reserve(most * nk);
  rows_.change(first, r2, [&](long r, Row& row) {
    auto lo = findCol(row, a.c1);
    auto hi = std::upper_bound(lo, row.end(), a.c2, [](long c, const Entry& e) { return c < e.col; });
    if (lo == hi) return;
    from.push_back(r);
    Row& part = parts.emplace_back();
    if (lo == row.begin() && hi == row.end()) {
      part.swap(row);
    } else {
      part.assign(std::make_move_iterator(lo), std::make_move_iterator(hi));
      row.erase(lo, hi);
    }
    bool any = false;
    for (const platform::xl::SortKey& k : sorting.keys) {
      const Entry* e = cellOf(part, k.column);
      any = any || (e && !e->value.isEmpty());
      keys.push_back(e ? sortValue(e->value, foldedTexts) : SortValue());
    }
    (any ? keyed : unkeyed).push_back(parts.size() - 1);
  });
  const size_t n = parts.size();
  // The packed keys decide; only texts longer than their packing are read again.
  std::vector<PackedKeys> order(keyed.size());
  for (size_t j = 0; j < keyed.size(); ++j) order[j].part = static_cast<uint32_t>(keyed[j]);
  bool exact[kMostKeys] = {};
  bool descending[kMostKeys] = {};
  for (size_t k = 0; k < nk; ++k) {
    exact[k] = packKey(keys, nk, k, order) && !sorting.matchCase;
    descending[k] = sorting.keys[k].order == 2;
  }
  std::stable_sort(order.begin(), order.end(), [&](const PackedKeys& x, const PackedKeys& y) {
    for (size_t k = 0; k < nk; ++k) {
      if (x.rank[k] != y.rank[k]) {
        if (x.rank[k] == 4 || y.rank[k] == 4) return y.rank[k] == 4;
        return descending[k] ? x.rank[k] > y.rank[k] : x.rank[k] < y.rank[k];
      }
      if (x.rank[k] == 4) continue;
      if (x.head[k] != y.head[k]) return descending[k] ? x.head[k] > y.head[k] : x.head[k] < y.head[k];
      if (x.rank[k] == 1 && !exact[k])
        if (int c = compareValues(keys[x.part * nk + k], keys[y.part * nk + k], descending[k], sorting.matchCase))
          return c < 0;
    }
    return false;
  });
  for (size_t j = 0; j < keyed.size(); ++j) keyed[j] = order[j].part;
  // A row without a key value sorts after every row with one and equal to the others,
  // so those rows (the empty ones among them) keep their order below the sorted ones.
  std::vector<long> to(n);  // the row each part goes to
  for (size_t j = 0; j < keyed.size(); ++j) to[keyed[j]] = first + static_cast<long>(j);
  long keyedAbove = 0;
  for (size_t i = 0, u = 0; i < n; ++i) {
    if (u < unkeyed.size() && unkeyed[u] == i) {
      to[i] = from[i] + static_cast<long>(keyed.size()) - keyedAbove;
      ++u;
    } else {
      ++keyedAbove;
    }
  }
  std::vector<size_t> byRow = keyed;  // the parts in the order of the rows they go to
  byRow.insert(byRow.end(), unkeyed.begin(), unkeyed.end());
  if (byRow.empty()) return;
  size_t next = 0;
  rows_.write(first, to[byRow.back()], [&](long r, Row& row) {
    if (next == byRow.size() || to[byRow[next]] != r) return;
    Row& part = parts[byRow[next++]];
    if (row.empty()) row.swap(part);
    else row.insert(findCol(row, a.c1), std::make_move_iterator(part.begin()), std::make_move_iterator(part.end()));
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
    auto lo = findCol(row, c1);
    auto hi = std::upper_bound(lo, row.end(), c2, [](long c, const Entry& e) { return c < e.col; });
    for (auto e = hi; e != row.end(); ++e) e->col -= static_cast<int32_t>(n);
    row.erase(lo, hi);
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
  std::vector<std::pair<long, Row>> below;  // the band's cells of the rows below the area
  rows_.change(a.r1, last, [&](long r, Row& row) {
    auto lo = findCol(row, a.c1);
    auto hi = std::upper_bound(lo, row.end(), a.c2, [](long c, const Entry& e) { return c < e.col; });
    if (lo == hi) return;
    if (r > a.r2) below.emplace_back(r - n, Row(std::make_move_iterator(lo), std::make_move_iterator(hi)));
    row.erase(lo, hi);
  });
  for (auto& [r, part] : below) {
    Row& row = rows_.at(r);
    row.insert(findCol(row, a.c1), std::make_move_iterator(part.begin()), std::make_move_iterator(part.end()));
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
