// A sheet to and from the workbook files, without a copy of the sheet: the writer takes
// the cells row by row from the store, and a file's cells go straight into it.
#include <algorithm>
#include <unordered_map>

#include "sim/sim_sheet.h"

namespace sim {

using platform::xl::Area;
using platform::xl::kMaxCols;
using platform::xl::kMaxRows;

namespace {

// The look layers a cell shows through (its column's, its row's and its own; the sheet's
// is the same for every cell) as one key.
struct LayerKey {
  uint32_t col, row, cell;
  bool operator==(const LayerKey&) const = default;
};
struct LayerKeyHash {
  size_t operator()(const LayerKey& k) const {
    return (static_cast<size_t>(k.cell) * 0x9E3779B97F4A7C15ull) ^ (static_cast<size_t>(k.row) << 24) ^ k.col;
  }
};

}  // namespace

formats::SheetFrame SimSheet::frame() const {
  formats::SheetFrame f;
  f.name = name_;
  // Every column whose width is not the default one: the sheet's own default, if set,
  // under the widths of single columns and runs.
  platform::xl::ColumnWidthRuns widths;
  if (defaultWidth_ != kDefaultWidth) widths.set(1, kMaxCols, defaultWidth_);
  for (const auto& r : widths_.runs()) widths.set(r.first, r.last, r.width);
  for (const auto& r : widths.runs())
    if (r.width != kDefaultWidth) f.widths.push_back(formats::ColumnWidth{r.first, r.last, r.width});
  f.merges = merges();
  f.filter = filter_;
  f.extent = usedArea();
  return f;
}

void SimSheet::writeRows(formats::RowSink& sink, formats::LookTable& looks) const {
  const Area used = usedArea();
  // The look of each combination of layers, resolved once.
  std::unordered_map<LayerKey, formats::StyleIndex, LayerKeyHash> memo;
  LayerKey lastKey{UINT32_MAX, 0, 0};
  formats::StyleIndex lastIndex = 0;
  auto lookOf = [&](uint32_t colL, uint32_t rowL, uint32_t cellL) {
    const LayerKey k{colL, rowL, cellL};
    if (k == lastKey) return lastIndex;
    auto it = memo.find(k);
    if (it == memo.end()) it = memo.emplace(k, looks.id(shown(colL, rowL, cellL))).first;
    lastKey = k;
    return lastIndex = it->second;
  };

  // The columns of the used area whose own look shows something.
  std::vector<long> markedCols;
  for (auto it = colLooks_.lower_bound(used.c1); it != colLooks_.end() && it->first <= used.c2; ++it)
    if (pool_.marks(it->second)) markedCols.push_back(it->first);
  const bool sheetMarks = pool_.marks(sheetLook_);

  // A stored value as the writer reads it, its text not copied.
  auto viewOf = [](const CellValue& v) {
    formats::ValueView view;
    view.type = v.type();
    switch (view.type) {
      case vb::Variant::Type::Number: view.number = v.number(); break;
      case vb::Variant::Type::Text: view.text = v.text(); break;
      case vb::Variant::Type::Boolean: view.boolean = v.boolean(); break;
      case vb::Variant::Type::Error: view.error = v.errorCode(); break;
      case vb::Variant::Type::Empty: break;
    }
    return view;
  };
  std::vector<formats::CellOut> cells;
  auto rowCells = [&](long r, Cells row) {
    cells.clear();
    const uint32_t rowL = rowLook(r);
    auto put = [&](long c, const Entry* e) {
      const formats::StyleIndex look = lookOf(colLook(c), rowL, e ? e->look : 0);
      const formats::ValueView v = e ? viewOf(e->value) : formats::ValueView{};
      if (look != 0 || !v.isEmpty()) cells.push_back(formats::CellOut{c, v, look});
    };
    auto e = findCol(row, used.c1);
    if (sheetMarks || pool_.marks(rowL)) {
      // Every cell of the row within the used area may show the sheet's or the row's look.
      for (long c = used.c1; c <= used.c2; ++c) {
        const Entry* here = e != row.end() && e->col == c ? &*e++ : nullptr;
        put(c, here);
      }
    } else {
      // The stored cells, and the cells of marked columns between them.
      auto m = markedCols.begin();
      while ((e != row.end() && e->col <= used.c2) || m != markedCols.end()) {
        const long ec = e != row.end() && e->col <= used.c2 ? e->col : kMaxCols + 1;
        const long mc = m != markedCols.end() ? *m : kMaxCols + 1;
        if (ec <= mc) {
          put(ec, &*e++);
          if (mc == ec) ++m;
        } else {
          put(mc, nullptr);
          ++m;
        }
      }
    }
    if (!cells.empty()) sink.row(r, cells);
  };

  if (sheetMarks || !markedCols.empty() || !rowLooks_.empty()) {
    // Looks of the sheet, of columns or of rows reach cells that are not stored: every
    // row of the used area is looked at.
    long next = used.r1;
    rows_.each(used.r1, used.r2, [&](long r, Cells row) {
      for (; next < r; ++next) rowCells(next, Cells());
      rowCells(r, row);
      next = r + 1;
    });
    for (; next <= used.r2; ++next) rowCells(next, Cells());
  } else {
    rows_.each(used.r1, used.r2, rowCells);
  }
}

SimSheet::Loader::Loader(SimSheet& sheet, const std::vector<Style>& looks) : sheet_(sheet), looks_(looks) {
  sheet_.changed();
  sheet_.rows_.clear();
  sheet_.colLooks_.clear();
  sheet_.rowLooks_.clear();
  sheet_.sheetLook_ = 0;
  full_.seq.fill(++sheet_.seq_);
  layers_.assign(looks.size(), UINT32_MAX);
  if (!layers_.empty()) layers_[0] = 0;
}

void SimSheet::Loader::cell(long row, long col, Variant&& value, formats::StyleIndex look) {
  if (row < 1 || row > kMaxRows || col < 1 || col > kMaxCols) return;
  uint32_t layer = 0;
  if (look < layers_.size()) {
    uint32_t& id = layers_[look];
    if (id == UINT32_MAX) {
      full_.values = looks_[look];
      id = looks_[look] == Style{} ? 0 : sheet_.pool_.intern(full_);
    }
    layer = id;
  }
  Entry e{static_cast<int32_t>(col), layer, CellValue(value)};
  if (!alive(e)) return;
  if (row != lastRow_ || !last_) {
    last_ = sheet_.rows_.at(row);
    lastRow_ = row;
  }
  Row& cells = *last_;
  if (!cells.empty() && cells.back().col >= e.col && (unsorted_.empty() || unsorted_.back() != row))
    unsorted_.push_back(row);
  cells.push_back(std::move(e));
}

void SimSheet::Loader::finish(formats::SheetFrame&& frame) {
  // Rows whose cells came out of order are put in order; of a cell given twice the later
  // one holds.
  std::sort(unsorted_.begin(), unsorted_.end());
  unsorted_.erase(std::unique(unsorted_.begin(), unsorted_.end()), unsorted_.end());
  for (long r : unsorted_) {
    Row row = sheet_.rows_.at(r);
    std::stable_sort(row.begin(), row.end(), [](const Entry& x, const Entry& y) { return x.col < y.col; });
    Entry* kept = row.begin();
    for (Entry* e = row.begin() + 1; e < row.end(); ++e) {
      if (e->col != kept->col) ++kept;
      if (kept != e) *kept = std::move(*e);
    }
    row.erase(kept + 1, row.end());
  }
  sheet_.widths_.clear();
  for (const formats::ColumnWidth& w : frame.widths)
    sheet_.widths_.set(std::max(1L, w.first), std::min(kMaxCols, w.last), w.width);
  sheet_.merges_ = std::move(frame.merges);
  std::stable_sort(sheet_.merges_.begin(), sheet_.merges_.end(), [](const Area& x, const Area& y) { return x.r1 < y.r1; });
  sheet_.tallestMerge_ = 1;
  for (const Area& m : sheet_.merges_) sheet_.tallestMerge_ = std::max(sheet_.tallestMerge_, m.rows());
  sheet_.filter_ = frame.filter;
}

}  // namespace sim
