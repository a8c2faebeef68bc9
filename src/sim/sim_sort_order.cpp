#include "sim/sim_sort_order.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <deque>
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

// The key of a cell's value; foldedTexts keeps the folded forms of texts that are not ASCII.
SortValue sortValue(const CellValue& v, std::deque<std::string>& foldedTexts) {
  SortValue s;
  s.rank = rankOf(&v);
  if (s.rank != 1) {
    if (s.rank != 4) s.number = numberOf(v);
    return s;
  }
  s.text = v.text();
  if (!vb::isAscii(s.text)) {
    s.folded = foldedTexts.emplace_back(vb::utf8ToAnsi(vb::lcase(s.text)));
  } else {
    s.folded = s.text;
    s.lowerAscii = std::any_of(s.text.begin(), s.text.end(), [](char ch) { return isCapital(ch); });
  }
  s.head = headOf(s);
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

// A row on its way through the digit passes: its packed key of the key being sorted by,
// turned so that the passes put it in place (empty cells last, a descending key reversed).
struct Digits {
  uint64_t head;
  uint32_t row;
  uint8_t rank;
};
constexpr int kDigitBits = 8;
constexpr size_t kDigitValues = size_t{1} << kDigitBits;

}  // namespace

SortOrder::SortOrder(std::vector<bool> descending, bool matchCase)
    : descending_(std::move(descending)), matchCase_(matchCase), texts_(descending_.size()) {}

void SortOrder::add(std::span<const CellValue* const> keyCells) {
  const size_t row = rows_++;
  if (std::none_of(keyCells.begin(), keyCells.end(), [](const CellValue* c) { return c && !c->isEmpty(); })) return;
  const uint32_t at = static_cast<uint32_t>(keyed_.size());
  keyed_.push_back(row);
  PackedKeys& p = packed_.emplace_back();
  for (size_t k = 0; k < keyCells.size(); ++k) {
    const CellValue* cell = keyCells[k];
    p.rank[k] = rankOf(cell);
    if (p.rank[k] == 4) continue;
    if (p.rank[k] != 1) {
      p.head[k] = orderedBits(numberOf(*cell));
      continue;
    }
    std::string_view folded = cell->text();
    const unsigned char* fold = kFold.lower;  // ASCII capitals compare as small letters
    if (!vb::isAscii(folded)) {
      folded = foldedTexts_.emplace_back(vb::utf8ToAnsi(vb::lcase(folded)));
      fold = kFold.same;
    }
    TextStarts& t = texts_[k];
    t.minSize = std::min(t.minSize, folded.size());
    t.maxSize = std::max(t.maxSize, folded.size());
    const size_t n = std::min(folded.size(), kPositions), begin = t.bytes.size();
    t.starts.push_back({at, static_cast<uint32_t>(begin), static_cast<uint32_t>(folded.size())});
    t.bytes.resize(begin + n);
    auto* start = reinterpret_cast<unsigned char*>(t.bytes.data()) + begin;
    for (size_t i = 0; i < n; ++i) {
      const unsigned char b = start[i] = fold[static_cast<unsigned char>(folded[i])];
      t.lo[i] = std::min(t.lo[i], b);
      t.hi[i] = std::max(t.hi[i], b);
    }
  }
}

bool SortOrder::packTexts(size_t k) {
  const TextStarts& t = texts_[k];
  // The positions that take bits, and their bits, as long as they fit.
  struct Position {
    uint32_t at;
    int bits;
  };
  Position taking[kPositions];
  size_t taken = 0, positions = 0;
  for (int used = 0; positions < std::min(t.maxSize, kPositions); ++positions) {
    const size_t symbols = (positions >= t.minSize ? 1 : 0) + (t.hi[positions] - t.lo[positions] + 1u);
    int b = 0;
    while ((size_t{1} << b) < symbols) ++b;
    if (used + b > 64) break;
    if (b > 0) taking[taken++] = {static_cast<uint32_t>(positions), b};
    used += b;
  }
  for (const TextStarts::Start& s : t.starts) {
    const auto* start = reinterpret_cast<const unsigned char*>(t.bytes.data()) + s.begin;
    uint64_t head = 0;
    for (size_t n = 0; n < taken; ++n) {
      const size_t i = taking[n].at;
      const uint64_t code = i >= s.size ? 0 : start[i] - t.lo[i] + (i >= t.minSize ? 1 : 0);
      head = head << taking[n].bits | code;
    }
    packed_[s.row].head[k] = head;
  }
  return positions == t.maxSize;
}

// A stable sort by the keys' digits, the least significant first, leaving out digits that
// are the same in every row.
std::vector<uint32_t> SortOrder::radixOrder() const {
  const size_t n = packed_.size();
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
  for (size_t k = descending_.size(); k-- > 0;) {
    const bool descending = descending_[k];
    uint64_t anyBits = 0, allBits = ~uint64_t{0};
    unsigned anyRank = 0, allRank = ~0u;
    for (Digits& d : rows) {
      const PackedKeys& p = packed_[d.row];
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

std::vector<size_t> SortOrder::sorted(const std::function<const CellValue*(size_t row, size_t key)>& keyCell) {
  const size_t nk = descending_.size();
  bool exact = !matchCase_;
  for (size_t k = 0; k < nk; ++k) exact = packTexts(k) && exact;
  std::vector<uint32_t> order = radixOrder();
  if (!exact) {
    // Rows whose packed keys tie are ordered among themselves by their values.
    std::vector<std::vector<SortValue>> values(nk);
    for (size_t k = 0; k < nk; ++k) {
      values[k].reserve(keyed_.size());
      for (size_t row : keyed_) {
        const CellValue* cell = keyCell(row, k);
        values[k].push_back(cell ? sortValue(*cell, foldedTexts_) : SortValue());
      }
    }
    auto samePacked = [&](uint32_t x, uint32_t y) {
      for (size_t k = 0; k < nk; ++k)
        if (packed_[x].rank[k] != packed_[y].rank[k] || (packed_[x].rank[k] != 4 && packed_[x].head[k] != packed_[y].head[k]))
          return false;
      return true;
    };
    auto before = [&](uint32_t x, uint32_t y) {
      for (size_t k = 0; k < nk; ++k)
        if (int c = compareValues(values[k][x], values[k][y], descending_[k], matchCase_)) return c < 0;
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
  for (size_t j = 0; j < order.size(); ++j) sorted[j] = keyed_[order[j]];
  return sorted;
}

}  // namespace sim
