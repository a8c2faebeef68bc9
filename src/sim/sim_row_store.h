#pragma once
// The rows of a stand-in sheet that hold cells, in pages of kPageRows consecutive rows.
// Only pages with a cell exist, kept in order, so storage follows the data (a lone cell in
// the sheet's last row costs one page), while walking the rows or appending below the last
// one costs no search per row. A page keeps the cells of all its rows in one buffer, each
// row's cells in column order at a place of its own: a walk over the rows reads memory in
// order, and a row costs no allocation of its own. The last place of the buffer grows
// where it is; a row that outgrows any other place has the page packed anew, with room
// for the other rows to grow as much (as a column put into every row makes them). A row
// without cells counts as missing everywhere.
#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "sim/sim_cell_value.h"

namespace sim {

// A stored cell: its column, its own look layer (0: none) and its value.
struct CellEntry {
  int32_t col;
  uint32_t look;
  CellValue value;
};

// Asks the processor to bring the cells into its cache before they are used.
inline void prefetch(std::span<const CellEntry> cells) {
#if defined(__GNUC__)
  const char* bytes = reinterpret_cast<const char*>(cells.data());
  for (size_t at = 0; at < cells.size_bytes(); at += 64) __builtin_prefetch(bytes + at);
#endif
}

class RowStore {
  struct Page;

 public:
  static constexpr long kPageRows = 64;
  using Cells = std::span<const CellEntry>;  // a row's cells, in column order

  // A row of a page to change, with the operations of a vector of its cells. Pointers into
  // the row stay valid until its cells grow (insert, push_back).
  class Row {
   public:
    CellEntry* begin() const { return page_->cells.data() + page_->rows[index_].begin; }
    CellEntry* end() const { return begin() + size(); }
    size_t size() const { return page_->rows[index_].size; }
    bool empty() const { return size() == 0; }
    CellEntry& back() const { return end()[-1]; }
    operator Cells() const { return {begin(), size()}; }
    // The cells are moved in before `at`; returns where the first one went.
    CellEntry* insert(CellEntry* at, std::span<CellEntry> moved);
    CellEntry* insert(CellEntry* at, CellEntry&& e) { return insert(at, std::span<CellEntry>(&e, 1)); }
    void push_back(CellEntry&& e) { insert(end(), std::move(e)); }
    CellEntry* erase(CellEntry* first, CellEntry* last);
    void clear() { erase(begin(), end()); }

   private:
    friend class RowStore;
    Row(Page& page, size_t index) : page_(&page), index_(index) {}
    Page* page_;
    size_t index_;
  };

  bool empty() const { return pages_.empty(); }
  void clear() { pages_.clear(); }
  long lastRow() const;                  // 0 when no row holds a cell
  size_t count(long r1, long r2) const;  // rows of r1..r2 that hold cells
  size_t cellCount(long r1, long r2) const;  // the cells of rows r1..r2
  Cells find(long r) const;              // no cells when the row holds none
  Row at(long r);                        // created when missing, for the caller to fill
  // f(r, cells) on each row of r1..r2 that holds cells, top down.
  template <class F>
  void each(long r1, long r2, F&& f) const;
  // The same where f may change the cells in place (but not how many a row holds).
  template <class F>
  void eachInPlace(long r1, long r2, F&& f);
  // f(r, row) on the same rows, where f may change them; pages left without cells are dropped.
  template <class F>
  void change(long r1, long r2, F&& f);
  // f(r, row) on every row of r1..r2, also those without cells; what f leaves is kept.
  template <class F>
  void write(long r1, long r2, F&& f);
  // The first (last) row of r1..r2 holding cells for which p(r, cells) holds; 0 when none.
  template <class P>
  long firstWhere(long r1, long r2, P&& p) const;
  template <class P>
  long lastWhere(long r1, long r2, P&& p) const;
  // Rows r1..r2 made anew, top down, in pages of their own: make(r, row, old) fills the
  // empty `row` with row r's cells, moved out of the rows as they were, which stay until
  // every row is made; old(r') gives the cells row r' of r1..r2 held. Each cell is to be
  // moved once. The other rows of their pages keep their cells.
  template <class F>
  void rebuild(long r1, long r2, F&& make);
  // Rows r1..r2 removed; the rows below move up.
  void removeRows(long r1, long r2);

 private:
  // Where a row's cells lie in its page's buffer: `size` cells from `begin`, in room for `room`.
  struct Place {
    uint32_t begin = 0, size = 0, room = 0;
  };
  struct Page {
    long first = 0;  // the page's first row: 1 plus a multiple of kPageRows
    std::array<Place, kPageRows> rows{};
    std::vector<CellEntry> cells;  // the rows' cells at their places; free room between them holds empty cells
    size_t held = 0;               // cells the rows hold
    bool empty() const { return held == 0; }
    // Room for `needed` cells in row i: where it lies when it is the last place of the
    // buffer, else by packing the page.
    void makeRoom(size_t i, size_t needed);
    // The cells moved in at the end of row i when its place is the last of the buffer and
    // full; false (nothing moved) otherwise.
    bool appendAtEnd(size_t i, std::span<CellEntry> moved);
    void reserveFor(size_t i, size_t size);  // a buffer of `size` cells, with row i the last
    // The rows' cells side by side in row order, each row with room for its cells; row
    // `grown` (kPageRows: none) for `needed` cells and more (see there).
    void pack(size_t grown, size_t needed);
    // Packed when more than a third of the buffer is free room.
    void packIfSparse();
  };
  static long pageFirst(long r) { return (r - 1) / kPageRows * kPageRows + 1; }
  static Cells cellsOf(const Page& page, long r) {
    const Place& p = page.rows[static_cast<size_t>(r - page.first)];
    return {page.cells.data() + p.begin, p.size};
  }
  size_t pageReaching(long r) const;  // the first page with a row at or after r
  size_t pageAfter(long r) const;     // the first page that starts after r

  std::vector<std::unique_ptr<Page>> pages_;
};

// Cells taken out of rows, one row's after another's in one buffer, each with the row it
// belongs to, until they are put back.
class TakenRows {
 public:
  void reserve(size_t rows, size_t cells) {
    ends_.reserve(rows);
    cells_.reserve(cells);
  }
  // The cells are moved out (and stay in their row, empty) as row r's.
  void take(long r, std::span<CellEntry> cells);
  size_t size() const { return ends_.size(); }
  long row(size_t i) const { return ends_[i].first; }
  std::span<CellEntry> cells(size_t i) {
    const size_t begin = i == 0 ? 0 : ends_[i - 1].second;
    return {cells_.data() + begin, ends_[i].second - begin};
  }

 private:
  std::vector<CellEntry> cells_;
  std::vector<std::pair<long, size_t>> ends_;  // each part's row, and where its cells end
};

template <class F>
void RowStore::each(long r1, long r2, F&& f) const {
  firstWhere(r1, r2, [&](long r, Cells cells) {
    f(r, cells);
    return false;
  });
}

template <class F>
void RowStore::eachInPlace(long r1, long r2, F&& f) {
  for (size_t i = pageReaching(r1); i < pages_.size() && pages_[i]->first <= r2; ++i) {
    Page& page = *pages_[i];
    const long hi = std::min(r2, page.first + kPageRows - 1);
    for (long r = std::max(r1, page.first); r <= hi; ++r)
      if (const Place& p = page.rows[static_cast<size_t>(r - page.first)]; p.size != 0)
        f(r, std::span<CellEntry>(page.cells.data() + p.begin, p.size));
  }
}

template <class F>
void RowStore::change(long r1, long r2, F&& f) {
  const size_t begin = pageReaching(r1);
  size_t kept = begin, i = begin;
  for (; i < pages_.size() && pages_[i]->first <= r2; ++i) {
    Page& page = *pages_[i];
    const long hi = std::min(r2, page.first + kPageRows - 1);
    for (long r = std::max(r1, page.first); r <= hi; ++r) {
      const size_t k = static_cast<size_t>(r - page.first);
      if (page.rows[k].size == 0) continue;
      Row row(page, k);
      f(r, row);
    }
    if (page.empty()) {
      pages_[i].reset();  // its memory goes now, not after the walk
      continue;
    }
    page.packIfSparse();
    if (kept != i) pages_[kept] = std::move(pages_[i]);
    ++kept;
  }
  pages_.erase(pages_.begin() + static_cast<long>(kept), pages_.begin() + static_cast<long>(i));
}

template <class F>
void RowStore::write(long r1, long r2, F&& f) {
  size_t i = pageReaching(r1);
  std::unique_ptr<Page> spare;  // the page of rows that hold no cell yet
  for (long first = pageFirst(r1); first <= r2; first += kPageRows) {
    const bool exists = i < pages_.size() && pages_[i]->first == first;
    if (!exists && (!spare || spare->cells.size() != 0)) spare = std::make_unique<Page>();
    Page& page = exists ? *pages_[i] : *spare;
    page.first = first;
    const long hi = std::min(r2, first + kPageRows - 1);
    for (long r = std::max(r1, first); r <= hi; ++r) {
      Row row(page, static_cast<size_t>(r - first));
      f(r, row);
    }
    if (page.empty()) {
      if (exists) pages_.erase(pages_.begin() + static_cast<long>(i));
      continue;
    }
    page.packIfSparse();
    if (!exists) pages_.insert(pages_.begin() + static_cast<long>(i), std::move(spare));
    ++i;
  }
}

template <class F>
void RowStore::rebuild(long r1, long r2, F&& make) {
  const long firstPage = pageFirst(r1);
  const size_t from = pageReaching(r1), to = pageAfter(r2);
  // The pages as they were, by their place from the first one, found without a search
  // (oldCells serves any row of them).
  std::vector<Page*> old(static_cast<size_t>((r2 - firstPage) / kPageRows + 1));
  for (size_t i = from; i < to; ++i) old[static_cast<size_t>((pages_[i]->first - firstPage) / kPageRows)] = pages_[i].get();
  auto oldCells = [&](long r) {
    Page* page = old[static_cast<size_t>((r - firstPage) / kPageRows)];
    if (!page) return std::span<CellEntry>();
    const Place& p = page->rows[static_cast<size_t>(r - page->first)];
    return std::span<CellEntry>(page->cells.data() + p.begin, p.size);
  };
  std::vector<std::unique_ptr<Page>> made;
  for (long first = firstPage; first <= r2; first += kPageRows) {
    auto page = std::make_unique<Page>();
    page->first = first;
    if (const Page* was = old[static_cast<size_t>((first - firstPage) / kPageRows)]) page->cells.reserve(was->held);
    for (long r = first; r < first + kPageRows; ++r) {
      Row row(*page, static_cast<size_t>(r - first));
      if (r >= r1 && r <= r2) make(r, row, oldCells);
      else row.insert(row.end(), oldCells(r));  // a row of the first or last page keeps its cells
    }
    if (!page->empty()) made.push_back(std::move(page));
  }
  pages_.insert(pages_.erase(pages_.begin() + static_cast<long>(from), pages_.begin() + static_cast<long>(to)),
                std::make_move_iterator(made.begin()), std::make_move_iterator(made.end()));
}

template <class P>
long RowStore::firstWhere(long r1, long r2, P&& p) const {
  for (size_t i = pageReaching(r1); i < pages_.size() && pages_[i]->first <= r2; ++i) {
    const Page& page = *pages_[i];
    const long hi = std::min(r2, page.first + kPageRows - 1);
    for (long r = std::max(r1, page.first); r <= hi; ++r)
      if (const Cells cells = cellsOf(page, r); !cells.empty() && p(r, cells)) return r;
  }
  return 0;
}

template <class P>
long RowStore::lastWhere(long r1, long r2, P&& p) const {
  for (size_t i = pageAfter(r2); i > 0 && pages_[i - 1]->first + kPageRows - 1 >= r1; --i) {
    const Page& page = *pages_[i - 1];
    const long lo = std::max(r1, page.first);
    for (long r = std::min(r2, page.first + kPageRows - 1); r >= lo; --r)
      if (const Cells cells = cellsOf(page, r); !cells.empty() && p(r, cells)) return r;
  }
  return 0;
}

}  // namespace sim
