#pragma once
// The order Sort puts rows in, by up to three keys: numbers, then texts (letter case
// ignored unless asked), then Booleans, then error values; empty cells always last,
// whatever the order. Texts compare without letter case; Chinese texts compare in their
// GBK order, which puts the common characters in pinyin order, as the phonetic sort method
// does. Rows whose keys are equal keep their order.
#include <cstddef>
#include <vector>

#include "sim/sim_cell_value.h"

namespace sim {

constexpr size_t kMostSortKeys = 3;

// One key of a sort: its order and the key's cell of each row (nullptr where the row has none).
struct SortKeyCells {
  bool descending = false;
  std::vector<const CellValue*> cells;
};

// The rows (indexes into the keys' cells) with a value in some key, in sorted order.
std::vector<size_t> sortedRows(const std::vector<SortKeyCells>& keys, bool matchCase);

}  // namespace sim
