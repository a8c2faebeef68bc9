#include "sim/sim_sort_order.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <deque>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "vb/ansi.h"
#include "vb/text.h"

namespace sim {

namespace {

// A sort key of one cell, as it compares.
struct SortValue {
  int rank = 4;             // numbers, texts, Booleans, error values, empty
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

// The key of a cell's value; foldedTexts keeps the folded forms of texts that are not ASCII.
SortValue sortValue(const CellValue& v, std::deque<std::string>& foldedTexts) {
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

// The keys of every row packed into 64 bits each that order as the keys do, so that a
// sort orders the rows' own entries and rarely reads a cell. A text keeps, position by
// position, only the bits that tell its byte from the other texts' bytes there: a
// position where every text holds the same byte takes none (the zero padding of natural
// designator keys), one of ten digits four. A text's end counts as the lowest symbol, as
// it compares. Numbers, Booleans and error codes keep their order as unsigned bits.
struct PackedKeys {
  uint64_t head[kMostSortKeys] = {};
  uint8_t rank[kMostSortKeys] = {4, 4, 4};
};

uint64_t orderedBits(double d) {
  if (d == 0) d = 0;  // -0 equals 0
  uint64_t bits;
  std::memcpy(&bits, &d, sizeof bits);
  return bits >> 63 ? ~bits : bits | uint64_t{1} << 63;
}

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

// Packs key k (its value of each row in `values`) into out; true when equal packed texts
// are equal texts.
bool packKey(const std::vector<SortValue>& values, size_t k, std::vector<PackedKeys>& out) {
  constexpr size_t kPositions = 64;
  size_t minSize = SIZE_MAX, maxSize = 0;
  for (const SortValue& v : values)
    if (v.rank == 1) {
      minSize = std::min(minSize, v.folded.size());
      maxSize = std::max(maxSize, v.folded.size());
    }
  // The compared bytes of each text's start, side by side, so that the packing reads
  // them in order instead of visiting every text again.
  const size_t width = std::min(maxSize, kPositions);
  const std::unique_ptr<unsigned char[]> starts(new unsigned char[values.size() * width]);
  unsigned char lo[kPositions], hi[kPositions];
  std::fill(std::begin(lo), std::end(lo), 255);
  std::fill(std::begin(hi), std::end(hi), 0);
  for (size_t j = 0; j < values.size(); ++j) {
    const SortValue& v = values[j];
    if (v.rank != 1) continue;
    const unsigned char* fold = v.lowerAscii ? kFold.lower : kFold.same;
    const auto* text = reinterpret_cast<const unsigned char*>(v.folded.data());
    unsigned char* start = starts.get() + j * width;
    const size_t n = std::min(v.folded.size(), width);
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
  for (int used = 0; positions < width; ++positions) {
    const size_t symbols = (positions >= minSize ? 1 : 0) + (hi[positions] - lo[positions] + 1u);
    int b = 0;
    while ((size_t{1} << b) < symbols) ++b;
    if (used + b > 64) break;
    if (b > 0) taking[taken++] = {static_cast<uint32_t>(positions), b};
    used += b;
  }
  for (size_t j = 0; j < values.size(); ++j) {
    const SortValue& v = values[j];
    PackedKeys& p = out[j];
    p.rank[k] = static_cast<uint8_t>(v.rank);
    if (v.rank == 1) {
      const unsigned char* start = starts.get() + j * width;
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

// A row on its way through the digit passes: its packed key of the key being sorted by,
// turned so that the passes put it in place (empty cells last, a descending key reversed).
struct Digits {
  uint64_t head;
  uint32_t row;
  uint8_t rank;
};
constexpr int kDigitBits = 8;
constexpr size_t kDigitValues = size_t{1} << kDigitBits;
constexpr int kHeadDigits = 64 / kDigitBits;

unsigned digitOf(const Digits& d, int digit) {
  return digit == kHeadDigits ? d.rank : static_cast<unsigned>(d.head >> (digit * kDigitBits)) & (kDigitValues - 1);
}

// The rows in the order of their packed keys: a stable sort by the keys' digits, the least
// significant first, leaving out digits that are the same in every row. It takes time in
// proportion to the rows, where sorting by comparisons takes n log n.
std::vector<uint32_t> radixOrder(const std::vector<PackedKeys>& packed, const std::vector<SortKeyCells>& keys) {
  const size_t n = packed.size();
  std::vector<Digits> rows(n), moved(n);
  for (size_t j = 0; j < n; ++j) rows[j].row = static_cast<uint32_t>(j);
  std::vector<std::array<size_t, kDigitValues>> counts(kHeadDigits + 1);
  for (size_t k = keys.size(); k-- > 0;) {
    const bool descending = keys[k].descending;
    for (auto& c : counts) c.fill(0);
    for (Digits& d : rows) {
      const PackedKeys& p = packed[d.row];
      const unsigned rank = p.rank[k];
      d.rank = static_cast<uint8_t>(rank == 4 ? 4 : descending ? 3 - rank : rank);
      d.head = rank == 4 ? 0 : descending ? ~p.head[k] : p.head[k];
      for (int digit = 0; digit <= kHeadDigits; ++digit) ++counts[static_cast<size_t>(digit)][digitOf(d, digit)];
    }
    for (int digit = 0; digit <= kHeadDigits; ++digit) {
      auto& at = counts[static_cast<size_t>(digit)];
      if (std::find(at.begin(), at.end(), n) != at.end()) continue;  // one value in every row
      size_t start = 0;
      for (size_t& c : at) start += std::exchange(c, start);
      for (const Digits& d : rows) moved[at[digitOf(d, digit)]++] = d;
      rows.swap(moved);
    }
  }
  std::vector<uint32_t> order(n);
  for (size_t j = 0; j < n; ++j) order[j] = rows[j].row;
  return order;
}

}  // namespace

std::vector<size_t> sortedRows(const std::vector<SortKeyCells>& keys, bool matchCase) {
  const size_t nk = keys.size(), rows = nk == 0 ? 0 : keys[0].cells.size();
  std::vector<size_t> keyed;  // the rows with a value in some key
  for (size_t i = 0; i < rows; ++i)
    if (std::any_of(keys.begin(), keys.end(), [&](const SortKeyCells& k) { return k.cells[i] && !k.cells[i]->isEmpty(); }))
      keyed.push_back(i);
  // Each key's value of each keyed row, and the packed keys, which decide the order but
  // where texts are longer than their packing.
  std::deque<std::string> foldedTexts;
  std::vector<std::vector<SortValue>> values(nk);
  std::vector<PackedKeys> packed(keyed.size());
  bool exact = true;
  for (size_t k = 0; k < nk; ++k) {
    values[k].reserve(keyed.size());
    for (size_t row : keyed) {
      const CellValue* cell = keys[k].cells[row];
      values[k].push_back(cell ? sortValue(*cell, foldedTexts) : SortValue());
    }
    exact = packKey(values[k], k, packed) && !matchCase && exact;
  }
  std::vector<uint32_t> order = radixOrder(packed, keys);
  if (!exact) {
    // Rows whose packed keys tie are ordered among themselves by their values.
    auto samePacked = [&](uint32_t x, uint32_t y) {
      for (size_t k = 0; k < nk; ++k)
        if (packed[x].rank[k] != packed[y].rank[k] || (packed[x].rank[k] != 4 && packed[x].head[k] != packed[y].head[k]))
          return false;
      return true;
    };
    auto before = [&](uint32_t x, uint32_t y) {
      for (size_t k = 0; k < nk; ++k)
        if (int c = compareValues(values[k][x], values[k][y], keys[k].descending, matchCase)) return c < 0;
      return false;
    };
    for (size_t from = 0; from < order.size();) {
      size_t to = from + 1;
      while (to < order.size() && samePacked(order[from], order[to])) ++to;
      if (to - from > 1) std::stable_sort(order.begin() + static_cast<long>(from), order.begin() + static_cast<long>(to), before);
      from = to;
    }
  }
  std::vector<size_t> sorted(order.size());
  for (size_t j = 0; j < order.size(); ++j) sorted[j] = keyed[order[j]];
  return sorted;
}

}  // namespace sim
