#include "vb/variant.h"

#include <algorithm>

#include "vb/error.h"

namespace vb {

static size_t cellCount(long rows, long cols) {
  if (rows < 0 || cols < 0) raise(kSubscript);
  return static_cast<size_t>(rows) * static_cast<size_t>(cols);
}

Table::Table(long rows, long cols) : rows_(rows), cols_(cols), cells_(cellCount(rows, cols)) {}

Variant& Table::at(long r, long c) {
  if (r < 1 || r > rows_ || c < 1 || c > cols_) raise(kSubscript);
  return cells_[idx(r, c)];
}

const Variant& Table::at(long r, long c) const {
  if (r < 1 || r > rows_ || c < 1 || c > cols_) raise(kSubscript);
  return cells_[idx(r, c)];
}

void Table::resize(long rows, long cols) {
  if (rows == rows_ && cols == cols_) return;
  std::vector<Variant> next(cellCount(rows, cols));
  for (long r = 1; r <= std::min(rows, rows_); ++r)
    for (long c = 1; c <= std::min(cols, cols_); ++c)
      next[static_cast<size_t>((r - 1) * cols + (c - 1))] = std::move(cells_[idx(r, c)]);
  rows_ = rows;
  cols_ = cols;
  cells_ = std::move(next);
}

}  // namespace vb
