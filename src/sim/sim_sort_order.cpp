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

// The rank of a cell's value: numbers, texts, Booleans, error values, empty (4).
uint8_t rankOf(const CellValue* cell) {
  if (!cell) return 4;
  switch (cell->type()) {
    case platform::xl::Variant::Type::Number: return 0;
    case platform::xl::Variant::Type::Text: return 1;
    case platform::xl::Variant::Type::Boolean: return 2;
    case platform::xl::Variant::Type::Error: return 3;
    case platform::xl::Variant::Type::Empty: break;
  }
  return 4;
}

double numberOf(const CellValue& cell) {
  switch (cell.type()) {
    case platform::xl::Variant::Type::Number: return cell.number();
    case platform::xl::Variant::Type::Boolean: return cell.boolean() ? 1 : 0;
    case platform::xl::Variant::Type::Error: return cell.error().code;
    default: return 0;
  }
}

// Packs key k of the rows (the key's cell of each row in `cells`) into out; true when
// equal packed texts are equal texts. foldedTexts keeps the folded forms of texts that
// are not ASCII.
bool packKey(const std::vector<const CellValue*>& cells, size_t k, std::vector<PackedKeys>& out,
             std::deque<std::string>& foldedTexts) {
  constexpr size_t kPositions = 64;
  size_t minSize = SIZE_MAX, maxSize = 0;
  unsigned char lo[kPositions], hi[kPositions];
  std::fill(std::begin(lo), std::end(lo), 255);
  std::fill(std::begin(hi), std::end(hi), 0);
  // The compared bytes of each text's start, one after another, so that the packing
  // reads them in order instead of visiting every text again. A sheet's rows and a
  // start's 64 bytes keep the offsets within 32 bits.
  struct Start {
    uint32_t begin, size;  // where its bytes begin in `starts`; the size of the whole folded text
  };
  std::string starts;
  std::vector<Start> startOf(cells.size());
  for (size_t j = 0; j < cells.size(); ++j) {
    const CellValue* cell = cells[j];
    PackedKeys& p = out[j];
    p.rank[k] = rankOf(cell);
    if (p.rank[k] == 4) continue;
    if (p.rank[k] != 1) {
      p.head[k] = orderedBits(numberOf(*cell));
      continue;
    }
    std::string_view folded = cell->text();
    const unsigned char* fold = kFold.lower;  // ASCII capitals compare as small letters
    if (!vb::isAscii(folded)) {
      folded = foldedTexts.emplace_back(vb::utf8ToAnsi(vb::lcase(folded)));
      fold = kFold.same;
    }
    minSize = std::min(minSize, folded.size());
    maxSize = std::max(maxSize, folded.size());
    const size_t n = std::min(folded.size(), kPositions);
    startOf[j] = {static_cast<uint32_t>(starts.size()), static_cast<uint32_t>(folded.size())};
    starts.resize(starts.size() + n);
    auto* start = reinterpret_cast<unsigned char*>(starts.data()) + startOf[j].begin;
    for (size_t i = 0; i < n; ++i) {
      const unsigned char b = start[i] = fold[static_cast<unsigned char>(folded[i])];
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
  for (size_t j = 0; j < cells.size(); ++j) {
    if (out[j].rank[k] != 1) continue;
    const auto* start = reinterpret_cast<const unsigned char*>(starts.data()) + startOf[j].begin;
    const size_t size = startOf[j].size;
    uint64_t head = 0;
    for (size_t t = 0; t < taken; ++t) {
      const size_t i = taking[t].at;
      const uint64_t code = i >= size ? 0 : start[i] - lo[i] + (i >= minSize ? 1 : 0);
      head = head << taking[t].bits | code;
    }
    out[j].head[k] = head;
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

// The rows in the order of their packed keys: a stable sort by the keys' digits, the least
// significant first, leaving out digits that are the same in every row. It takes time in
// proportion to the rows, where sorting by comparisons takes n log n.
std::vector<uint32_t> radixOrder(const std::vector<PackedKeys>& packed, const std::vector<SortKeyCells>& keys) {
  const size_t n = packed.size();
  std::vector<Digits> rows(n), moved(n);
  for (size_t j = 0; j < n; ++j) rows[j].row = static_cast<uint32_t>(j);
  // One stable pass by the digit digitOf gives each row.
  auto pass = [&](auto digitOf) {
    std::array<size_t, kDigitValues> at{};
    for (const Digits& d : rows) ++at[digitOf(d)];
    size_t start = 0;
    for (size_t& c : at) start += std::exchange(c, start);
    for (const Digits& d : rows) moved[at[digitOf(d)]++] = d;
    rows.swap(moved);
  };
  for (size_t k = keys.size(); k-- > 0;) {
    const bool descending = keys[k].descending;
    uint64_t anyBits = 0, allBits = ~uint64_t{0};
    unsigned anyRank = 0, allRank = ~0u;
    for (Digits& d : rows) {
      const PackedKeys& p = packed[d.row];
      const unsigned rank = p.rank[k];
      d.rank = static_cast<uint8_t>(rank == 4 ? 4 : descending ? 3 - rank : rank);
      d.head = rank == 4 ? 0 : descending ? ~p.head[k] : p.head[k];
      anyBits |= d.head, allBits &= d.head;
      anyRank |= d.rank, allRank &= d.rank;
    }
    const uint64_t varying = anyBits ^ allBits;
    for (int shift = 0; shift < 64; shift += kDigitBits)
      if ((varying >> shift) & (kDigitValues - 1))
        pass([shift](const Digits& d) { return static_cast<size_t>(d.head >> shift) & (kDigitValues - 1); });
    if (anyRank != allRank) pass([](const Digits& d) { return size_t{d.rank}; });
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
  // The packed keys decide the order, but where texts are longer than their packing.
  std::deque<std::string> foldedTexts;
  std::vector<PackedKeys> packed(keyed.size());
  bool exact = !matchCase;
  std::vector<const CellValue*> cells(keyed.size());
  for (size_t k = 0; k < nk; ++k) {
    for (size_t j = 0; j < keyed.size(); ++j) cells[j] = keys[k].cells[keyed[j]];
    exact = packKey(cells, k, packed, foldedTexts) && exact;
  }
  std::vector<uint32_t> order = radixOrder(packed, keys);
  if (!exact) {
    // Rows whose packed keys tie are ordered among themselves by their values.
    std::vector<std::vector<SortValue>> values(nk);
    for (size_t k = 0; k < nk; ++k) {
      values[k].reserve(keyed.size());
      for (size_t row : keyed) {
        const CellValue* cell = keys[k].cells[row];
        values[k].push_back(cell ? sortValue(*cell, foldedTexts) : SortValue());
      }
    }
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
