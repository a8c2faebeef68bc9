#include "sim/sim_row_store.h"

#include <iterator>

#include "platform/spreadsheet.h"

namespace sim {

// ---- a row of a page ----

CellEntry* RowStore::Row::insert(CellEntry* at, std::span<CellEntry> moved) {
  const size_t i = static_cast<size_t>(at - begin()), n = moved.size(), size = this->size();
  if (n == 0) return at;
  if (i == size && page_->appendAtEnd(index_, moved)) return begin() + i;
  page_->makeRoom(index_, size + n);
  CellEntry* cells = begin();
  std::move_backward(cells + i, cells + size, cells + size + n);  // into the room's empty cells
  std::move(moved.begin(), moved.end(), cells + i);
  page_->rows[index_].size += static_cast<uint32_t>(n);
  page_->held += n;
  return cells + i;
}

CellEntry* RowStore::Row::erase(CellEntry* first, CellEntry* last) {
  CellEntry* const end = this->end();
  CellEntry* const kept = std::move(last, end, first);
  for (CellEntry* e = kept; e != end; ++e) e->value.clear();  // the room left holds empty cells
  const size_t n = static_cast<size_t>(last - first);
  page_->rows[index_].size -= static_cast<uint32_t>(n);
  page_->held -= n;
  return first;
}

// ---- a page ----

// Rows a page's buffer must have before their sizes tell what the page's other rows take.
constexpr size_t kRowsToJudge = 8;

void RowStore::Page::reserveFor(size_t i, size_t size) {
  // Rows are mostly filled top down: room for the page's other rows like those so far.
  if (size > cells.capacity() && i >= kRowsToJudge) cells.reserve(size * kPageRows / (i + 1));
}

bool RowStore::Page::appendAtEnd(size_t i, std::span<CellEntry> moved) {
  Place& p = rows[i];
  if (p.room == 0) p.begin = static_cast<uint32_t>(cells.size());  // a row without a place starts at the end
  if (p.room != p.size || p.begin + p.room != cells.size()) return false;
  reserveFor(i, cells.size() + moved.size());
  cells.insert(cells.end(), std::make_move_iterator(moved.begin()), std::make_move_iterator(moved.end()));
  p.size += static_cast<uint32_t>(moved.size());
  p.room = p.size;
  held += moved.size();
  return true;
}

void RowStore::Page::makeRoom(size_t i, size_t needed) {
  Place& p = rows[i];
  if (needed <= p.room) return;
  if (p.room == 0) p.begin = static_cast<uint32_t>(cells.size());  // a row without a place starts at the end
  if (p.begin + p.room != cells.size()) return pack(i, needed);
  reserveFor(i, p.begin + needed);  // the last place of the buffer grows where it is
  cells.resize(p.begin + needed);
  p.room = static_cast<uint32_t>(needed);
}

void RowStore::Page::pack(size_t grown, size_t needed) {
  // A row that grows in place of others mostly grows with them (a column put into every
  // row): the other rows get room for as many more cells, the growing one for half its
  // cells more, so that a row that keeps growing is not packed at every cell.
  size_t extra = 0;
  if (grown < kPageRows) {
    extra = needed - rows[grown].size;
    needed = std::max<size_t>(needed, rows[grown].size + rows[grown].size / 2);
  }
  auto roomOf = [&](size_t k) { return k == grown ? needed : rows[k].size == 0 ? 0 : rows[k].size + extra; };
  size_t total = 0;
  for (size_t k = 0; k < kPageRows; ++k) total += roomOf(k);
  std::vector<CellEntry> packed;
  packed.reserve(total);
  for (size_t k = 0; k < kPageRows; ++k) {
    Place& p = rows[k];
    const auto from = cells.begin() + p.begin;
    const size_t room = roomOf(k);
    p.begin = static_cast<uint32_t>(packed.size());
    p.room = static_cast<uint32_t>(room);
    packed.insert(packed.end(), std::make_move_iterator(from), std::make_move_iterator(from + p.size));
    packed.resize(p.begin + room);
  }
  cells.swap(packed);
}

void RowStore::Page::packIfSparse() {
  if ((cells.size() - held) * 2 > held) pack(kPageRows, 0);
}

// ---- the pages ----

size_t RowStore::pageReaching(long r) const {
  const long first = pageFirst(r);
  if (pages_.empty() || pages_.back()->first < first) return pages_.size();  // at the end, as appends are
  auto it = std::lower_bound(pages_.begin(), pages_.end(), first,
                             [](const std::unique_ptr<Page>& p, long f) { return p->first < f; });
  return static_cast<size_t>(it - pages_.begin());
}

size_t RowStore::pageAfter(long r) const {
  auto it = std::upper_bound(pages_.begin(), pages_.end(), r,
                             [](long row, const std::unique_ptr<Page>& p) { return row < p->first; });
  return static_cast<size_t>(it - pages_.begin());
}

long RowStore::lastRow() const {
  for (size_t i = pages_.size(); i-- > 0;)
    for (long k = kPageRows; k-- > 0;)
      if (pages_[i]->rows[static_cast<size_t>(k)].size != 0) return pages_[i]->first + k;
  return 0;
}

size_t RowStore::count(long r1, long r2) const {
  size_t n = 0;
  each(r1, r2, [&](long, Cells) { ++n; });
  return n;
}

size_t RowStore::cellCount(long r1, long r2) const {
  size_t n = 0;
  each(r1, r2, [&](long, Cells cells) { n += cells.size(); });
  return n;
}

RowStore::Cells RowStore::find(long r) const {
  const size_t i = pageReaching(r);
  if (i == pages_.size() || pages_[i]->first != pageFirst(r)) return {};
  return cellsOf(*pages_[i], r);
}

RowStore::Row RowStore::at(long r) {
  const size_t i = pageReaching(r);
  const long first = pageFirst(r);
  if (i == pages_.size() || pages_[i]->first != first) {
    auto page = std::make_unique<Page>();
    page->first = first;
    pages_.insert(pages_.begin() + static_cast<long>(i), std::move(page));
  }
  return Row(*pages_[i], static_cast<size_t>(r - first));
}

void RowStore::removeRows(long r1, long r2) {
  const long n = r2 - r1 + 1;
  TakenRows below;  // the rows that move up, at their new rows
  below.reserve(count(r2 + 1, platform::xl::kMaxRows), cellCount(r2 + 1, platform::xl::kMaxRows));
  change(r1, platform::xl::kMaxRows, [&](long r, Row& row) {
    if (r > r2) below.take(r - n, std::span(row.begin(), row.end()));
    row.clear();
  });
  for (size_t i = 0; i < below.size(); ++i) {
    Row row = at(below.row(i));
    row.insert(row.end(), below.cells(i));
  }
}

// ---- cells taken out ----

void TakenRows::take(long r, std::span<CellEntry> cells) {
  cells_.insert(cells_.end(), std::make_move_iterator(cells.begin()), std::make_move_iterator(cells.end()));
  ends_.emplace_back(r, cells_.size());
}

}  // namespace sim
