#pragma once
// The order Sort puts rows in, by up to three keys: numbers, then texts (letter case
// ignored unless asked), then Booleans, then error values; empty cells always last,
// whatever the order. Texts compare without letter case; Chinese texts compare in their
// GBK order, which puts the common characters in pinyin order, as the phonetic sort method
// does. Rows whose keys are equal keep their order.
//
// The rows are given one by one, each with its key cells, which are read then (so a sort
// reads a row's cells while it moves them anyway). Each key of a row is packed into 64
// bits that order as the keys do: a text keeps, position by position, only the bits that
// tell its byte from the other texts' bytes there (none where every text holds the same
// byte, as the zero padding of natural designator keys; four for one of ten digits), its
// end counting as the lowest symbol; numbers, Booleans and error codes keep their order as
// unsigned bits. The rows are then put in order by the digits of their packed keys, in time
// in proportion to the rows; only where texts are longer than their packing are the rows
// whose packed keys tie compared by their values.
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "sim/sim_cell_value.h"

namespace sim {

class SortOrder {
 public:
  static constexpr size_t kMostKeys = 3;

  // descending: the order of each key.
  SortOrder(std::vector<bool> descending, bool matchCase);

  // The next row (numbered from 0) with its key cells, nullptr where it has none.
  void add(std::span<const CellValue* const> keyCells);
  // The rows with a value in some key, in sorted order. keyCell(row, key) gives a row's key
  // cell again, for rows whose texts are longer than their packing.
  std::vector<size_t> sorted(const std::function<const CellValue*(size_t row, size_t key)>& keyCell);

 private:
  static constexpr size_t kPositions = 64;  // of a text's start that can be packed
  struct PackedKeys {
    uint64_t head[kMostKeys] = {};
    uint8_t rank[kMostKeys] = {4, 4, 4};  // numbers, texts, Booleans, error values, empty (4)
  };
  // The compared bytes of the texts' starts of one key, one after another, so that the
  // packing reads them in order instead of visiting the texts again.
  struct TextStarts {
    struct Start {
      uint32_t row;    // among the rows with a key value
      uint32_t begin;  // where its bytes begin in `bytes` (a sheet's rows times 64 bytes fit 32 bits)
      uint32_t size;   // of the whole folded text
    };
    std::string bytes;
    std::vector<Start> starts;
    std::array<unsigned char, kPositions> lo, hi;  // the lowest and highest byte at each position
    size_t minSize = SIZE_MAX, maxSize = 0;
    TextStarts() {
      lo.fill(255);
      hi.fill(0);
    }
  };

  // The texts' heads of key k; true when equal packed texts are equal texts.
  bool packTexts(size_t k);
  // The rows (among those with a key value) in the order of their packed keys.
  std::vector<uint32_t> radixOrder() const;

  std::vector<bool> descending_;
  bool matchCase_;
  size_t rows_ = 0;
  std::vector<size_t> keyed_;  // the rows with a key value
  std::vector<PackedKeys> packed_;  // of each of those
  std::vector<TextStarts> texts_;   // of each key
  std::deque<std::string> foldedTexts_;  // the folded forms of texts that are not ASCII
};

}  // namespace sim
