#include "sim/sim_sheet.h"

#include <algorithm>
#include <tuple>
#include <iterator>
#include <unordered_map>
#include <unordered_set>

#include "formats/sheet_names.h"
#include "sim/sim_workbook.h"
#include "vb/error.h"
#include "vb/text.h"

namespace sim {

using platform::xl::Edge;
using platform::xl::kMaxCols;
using platform::xl::kMaxRows;
using looks::Layer;

namespace {

bool wholeColumns(const platform::xl::Area& a) { return a.r1 == 1 && a.r2 == kMaxRows; }
bool wholeRows(const platform::xl::Area& a) { return a.c1 == 1 && a.c2 == kMaxCols; }

bool overlaps(const platform::xl::Area& a, const platform::xl::Area& b) {
  return a.r1 <= b.r2 && b.r1 <= a.r2 && a.c1 <= b.c2 && b.c1 <= a.c2;
}

// Width in characters of the longest line of a text; a wide character counts two.
long textUnits(std::string_view text) {
  if (vb::isAscii(text) && text.find('\n') == std::string_view::npos) return static_cast<long>(text.size());
  long best = 0, line = 0;
  for (size_t i = 0; i < text.size();) {
    const size_t n = vb::utf8CharBytes(text, i);
    const char32_t cp = vb::utf8DecodeAt(text, i, n);
    i += n;
    if (cp == '\n') {
      line = 0;
      continue;
    }
    line += vb::isWide(cp) ? 2 : 1;
    best = std::max(best, line);
  }
  return best;
}

constexpr double kFitPadding = 1.0;
constexpr double kMinFitWidth = 2.0;
constexpr double kMaxWidth = 255.0;

}  // namespace

SimSheet::SimSheet(std::string name, std::weak_ptr<SimWorkbook> book)
    : name_(std::move(name)), book_(std::move(book)) {}

// ---- identity and place in the workbook ----

void SimSheet::setName(const std::string& name) {
  auto b = book();
  if (b)
    if (Faults* f = b->faults()) f->check("spreadsheet", "Name");
  if (name.empty() || vb::len(name) > formats::kMaxSheetNameChars ||
      name.find_first_of(formats::kSheetNameForbidden) != std::string::npos)
    vb::raise(vb::kAppDefined, "You typed an invalid name for a sheet or chart.");
  if (b && b->nameTaken(name, this)) vb::raise(vb::kAppDefined, "That name is already taken. Try a different one.");
  name_ = name;
}

platform::xl::Workbook& SimSheet::parent() {
  auto b = book();
  if (!b) vb::raise(vb::kObjectNotSet);
  return *b;
}

void SimSheet::select() {
  if (auto b = book()) b->activateSheet(*this);
}

void SimSheet::remove() {
  auto b = book();
  if (!b) vb::raise(vb::kObjectNotSet);
  b->removeSheet(*this);
}

void SimSheet::moveAfter(platform::xl::Sheet& other) {
  auto b = book();
  if (!b) vb::raise(vb::kObjectNotSet);
  b->moveSheet(*this, other, true);
}

void SimSheet::moveBefore(platform::xl::Sheet& other) {
  auto b = book();
  if (!b) vb::raise(vb::kObjectNotSet);
  b->moveSheet(*this, other, false);
}

// ---- cell storage ----

SimSheet::Entry* SimSheet::findCol(const Row& row, long col) {
  return std::lower_bound(row.begin(), row.end(), col, [](const Entry& e, long c) { return e.col < c; });
}

SimSheet::Cells::iterator SimSheet::findCol(Cells cells, long col) {
  return std::lower_bound(cells.begin(), cells.end(), col, [](const Entry& e, long c) { return e.col < c; });
}

std::span<SimSheet::Entry> SimSheet::cellsIn(std::span<Entry> cells, long c1, long c2) {
  auto byCol = [](const Entry& e, long c) { return e.col < c; };
  const auto lo = std::lower_bound(cells.begin(), cells.end(), c1, byCol);
  return {lo, std::upper_bound(lo, cells.end(), c2, [](long c, const Entry& e) { return c < e.col; })};
}

SimSheet::Cells SimSheet::cellsIn(Cells cells, long c1, long c2) {
  const auto lo = findCol(cells, c1);
  return {lo, std::upper_bound(lo, cells.end(), c2, [](long c, const Entry& e) { return c < e.col; })};
}

const SimSheet::Entry* SimSheet::cellOf(Cells cells, long col) {
  const auto e = findCol(cells, col);
  return e != cells.end() && e->col == col ? &*e : nullptr;
}

bool SimSheet::holdsValue(Cells cells, long col) {
  const Entry* e = cellOf(cells, col);
  return e && !e->value.isEmpty();
}

const SimSheet::Entry* SimSheet::cellAt(long row, long col) const { return cellOf(rows_.find(row), col); }

bool SimSheet::filled(long row, long col) const { return holdsValue(rows_.find(row), col); }

template <class F>
void SimSheet::updateSegment(Row& row, long c1, long c2, std::vector<Entry>& segment, F&& f) {
  const size_t width = static_cast<size_t>(c2 - c1 + 1);
  auto made = [&](long c) {  // the cell c as f leaves it, from none
    Entry e{static_cast<int32_t>(c), 0, CellValue()};
    f(c, e);
    return e;
  };
  if (row.empty() || row.back().col < c1) {  // nothing at or right of c1: append
    segment.clear();
    for (long c = c1; c <= c2; ++c)
      if (Entry e = made(c); alive(e)) segment.push_back(std::move(e));
    row.insert(row.end(), segment);
    return;
  }
  const std::span<Entry> segmentNow = cellsIn(row, c1, c2);
  Entry *lo = segmentNow.data(), *hi = lo + segmentNow.size();
  if (segmentNow.size() == width) {  // every cell of the segment exists: changed in place
    bool dead = false;
    for (auto e = lo; e != hi; ++e) {
      f(e->col, *e);
      dead = dead || !alive(*e);
    }
    if (dead) row.erase(std::remove_if(lo, hi, [](const Entry& e) { return !alive(e); }), hi);
    return;
  }
  if (width == 1) {  // one cell that does not exist yet
    if (Entry e = made(c1); alive(e)) row.insert(lo, std::move(e));
    return;
  }
  const size_t loIdx = static_cast<size_t>(lo - row.begin()), hiIdx = static_cast<size_t>(hi - row.begin());
  segment.clear();
  auto it = lo;
  for (long c = c1; c <= c2; ++c) {
    Entry e{static_cast<int32_t>(c), 0, CellValue()};
    if (it != hi && it->col == c) {
      e = std::move(*it);
      ++it;
    }
    f(c, e);
    if (alive(e)) segment.push_back(std::move(e));
  }
  if (segment.size() == hiIdx - loIdx) {
    std::move(segment.begin(), segment.end(), row.begin() + loIdx);
    return;
  }
  row.erase(row.begin() + loIdx, row.begin() + hiIdx);
  row.insert(row.begin() + loIdx, segment);
}

template <class F>
void SimSheet::updateExisting(const Area& a, F&& f) {
  rows_.change(a.r1, a.r2, [&](long r, Row& row) {
    const auto lo = findCol(row, a.c1);
    auto hi = lo;
    for (; hi != row.end() && hi->col <= a.c2; ++hi) f(r, *hi);
    row.erase(std::remove_if(lo, hi, [](const Entry& e) { return !alive(e); }), hi);
  });
}

uint32_t SimSheet::colLook(long col) const {
  auto it = colLooks_.find(col);
  return it == colLooks_.end() ? 0 : it->second;
}

uint32_t SimSheet::rowLook(long row) const {
  if (rowLooks_.empty()) return 0;
  auto it = rowLooks_.find(row);
  return it == rowLooks_.end() ? 0 : it->second;
}

SimSheet::Style SimSheet::shown(uint32_t colL, uint32_t rowL, uint32_t cellL) const {
  return looks::resolve({&layer(sheetLook_), &layer(colL), &layer(rowL), &layer(cellL)});
}

const std::string& SimSheet::formatAt(uint32_t colL, uint32_t rowL, uint32_t cellL) const {
  return looks::formatOf({&layer(sheetLook_), &layer(colL), &layer(rowL), &layer(cellL)});
}

// ---- values ----

SimSheet::Variant SimSheet::get(long row, long col) const {
  const Entry* e = cellAt(row, col);
  return e ? e->value.toVariant() : Variant();
}

SimSheet::Table SimSheet::getBlock(const Area& a) const {
  if (auto b = book())
    if (Faults* f = b->faults()) f->check("spreadsheet", "Range.Value");
  Table t(a.rows(), a.cols());
  rows_.each(a.r1, a.r2, [&](long r, Cells row) {
    const long i = r - a.r1 + 1;
    for (auto e = findCol(row, a.c1); e != row.end() && e->col <= a.c2; ++e)
      if (!e->value.isEmpty()) t(i, e->col - a.c1 + 1) = e->value.toVariant();
  });
  return t;
}

template <class F>
void SimSheet::writeArea(const Area& a, F&& valueAt) {
  changed();
  std::vector<uint32_t> colL(static_cast<size_t>(a.cols()));
  for (long j = 0; j < a.cols(); ++j) colL[static_cast<size_t>(j)] = colLook(a.c1 + j);
  std::vector<Entry> segment;
  rows_.write(a.r1, a.r2, [&](long r, Row& row) {
    const uint32_t rowL = rowLook(r);
    const long i = r - a.r1 + 1;
    updateSegment(row, a.c1, a.c2, segment, [&](long c, Entry& e) {
      const std::string& f = formatAt(colL[static_cast<size_t>(c - a.c1)], rowL, e.look);
      store(e.value, valueAt(i, c - a.c1 + 1), f);
    });
  });
}

void SimSheet::put(const Area& a, const Variant& v) {
  if (v.isEmpty() || (v.isText() && v.text().empty())) {
    clearContents(a);
    return;
  }
  checkFitsCell(v);
  writeArea(a, [&](long, long) -> const Variant& { return v; });
}

void SimSheet::putBlock(const Area& a, const Table& t) {
  static const Variant notAvailable{vb::ErrorValue{vb::kErrNA}};
  const long tr = t.rows(), tc = t.cols();
  // Every text that reaches the range is checked before anything is stored.
  for (long i = 1; i <= std::min(tr, a.rows()); ++i)
    for (long j = 1; j <= std::min(tc, a.cols()); ++j) checkFitsCell(t(i, j));
  // A table one row high (or one column wide) repeats across the range, as the
  // spreadsheet program does; cells beyond a larger table's edge get #N/A.
  writeArea(a, [&](long i, long j) -> const Variant& {
    long si = tr == 1 ? 1 : i, sj = tc == 1 ? 1 : j;
    if (si > tr || sj > tc) return notAvailable;
    return t(si, sj);
  });
}

void SimSheet::clearContents(const Area& a) {
  changed();
  updateExisting(a, [](long, Entry& e) { e.value.clear(); });
}

// ---- looks ----

SimSheet::Style SimSheet::styleAt(long row, long col) const {
  const Entry* e = cellAt(row, col);
  return shown(colLook(col), rowLook(row), e ? e->look : 0);
}

void SimSheet::edit(const Area& a, const looks::Edit& e, bool emptyFirst) {
  changed();
  const uint32_t s = ++seq_;
  const bool wc = wholeColumns(a), wr = wholeRows(a);
  if (wc && wr) {
    sheetLook_ = pool_.intern(looks::edited(layer(sheetLook_), shown(0, 0, 0), e, s));
    return;
  }
  if (wc) {
    for (long c = a.c1; c <= a.c2; ++c) {
      uint32_t old = colLook(c);
      colLooks_[c] = pool_.intern(looks::edited(layer(old), shown(old, 0, 0), e, s));
    }
    return;
  }
  if (wr) {
    for (long r = a.r1; r <= a.r2; ++r) {
      uint32_t old = rowLook(r);
      rowLooks_[r] = pool_.intern(looks::edited(layer(old), shown(0, old, 0), e, s));
    }
    return;
  }
  // Cells of a bounded range each get their own look. Cells that showed the same look
  // layers before end with the same layer, so each distinct case is computed once.
  struct Key {
    uint32_t cell, row, col;
    bool operator==(const Key&) const = default;
  };
  struct KeyHash {
    size_t operator()(const Key& k) const {
      return (static_cast<size_t>(k.cell) * 0x9E3779B1u) ^ (static_cast<size_t>(k.row) << 21) ^ k.col;
    }
  };
  std::unordered_map<Key, uint32_t, KeyHash> memo;
  Key lastKey{};
  uint32_t lastId = 0;
  bool haveLast = false;
  auto lookAfter = [&](uint32_t cellL, uint32_t rowL, uint32_t colL) {
    Key k{cellL, rowL, colL};
    if (haveLast && k == lastKey) return lastId;
    auto it = memo.find(k);
    uint32_t id;
    if (it != memo.end()) {
      id = it->second;
    } else {
      id = pool_.intern(looks::edited(layer(cellL), shown(colL, rowL, cellL), e, s));
      memo.emplace(k, id);
    }
    lastKey = k;
    lastId = id;
    haveLast = true;
    return id;
  };
  std::vector<uint32_t> colL(static_cast<size_t>(a.cols()));
  for (long j = 0; j < a.cols(); ++j) colL[static_cast<size_t>(j)] = colLook(a.c1 + j);
  std::vector<Entry> segment;
  rows_.write(a.r1, a.r2, [&](long r, Row& row) {
    const uint32_t rowL = rowLook(r);
    updateSegment(row, a.c1, a.c2, segment, [&](long c, Entry& en) {
      if (emptyFirst) en = Entry{en.col, 0, CellValue()};
      en.look = lookAfter(en.look, rowL, colL[static_cast<size_t>(c - a.c1)]);
    });
  });
}

void SimSheet::applyStyle(const Area& a, const platform::xl::StyleChange& change) { edit(a, looks::editFor(change)); }

void SimSheet::borderAround(const Area& a, std::optional<int> lineStyle, std::optional<int> weight,
                            std::optional<int> colorIndex) {
  constexpr int xlLineStyleNone = -4142;
  const Edge edge = lineStyle && *lineStyle == xlLineStyleNone
                        ? Edge{}
                        : Edge{lineStyle.value_or(1), weight.value_or(2), colorIndex.value_or(0)};
  auto side = [&](looks::Prop p, Area strip) {
    // The outline of whole columns or rows stops short of the sheet's far edge, so the
    // border does not make the last row or column part of the used range.
    if ((p == looks::kBottom && strip.r1 == kMaxRows && wholeColumns(a)) ||
        (p == looks::kRight && strip.c1 == kMaxCols && wholeRows(a)))
      return;
    edit(strip, looks::Edit{looks::bit(p), [edge, p](Style& s) {
                              Edge* e = p == looks::kLeft ? &s.left : p == looks::kTop ? &s.top
                                                                    : p == looks::kRight ? &s.right
                                                                                         : &s.bottom;
                              *e = edge;
                            }});
  };
  side(looks::kTop, Area{a.r1, a.c1, a.r1, a.c2});
  side(looks::kBottom, Area{a.r2, a.c1, a.r2, a.c2});
  side(looks::kLeft, Area{a.r1, a.c1, a.r2, a.c1});
  side(looks::kRight, Area{a.r1, a.c2, a.r2, a.c2});
}

bool SimSheet::layersAboveMark(const Area& a) const {
  if (pool_.marks(sheetLook_)) return true;
  for (auto it = rowLooks_.lower_bound(a.r1); it != rowLooks_.end() && it->first <= a.r2; ++it)
    if (pool_.marks(it->second)) return true;
  for (auto it = colLooks_.lower_bound(a.c1); it != colLooks_.end() && it->first <= a.c2; ++it)
    if (pool_.marks(it->second)) return true;
  return false;
}

void SimSheet::clear(const Area& a) {
  changed();
  if (wholeColumns(a) && wholeRows(a)) {
    rows_.clear();
    colLooks_.clear();
    rowLooks_.clear();
    sheetLook_ = 0;
    merges_.clear();
    return;
  }
  merges_.erase(std::remove_if(merges_.begin(), merges_.end(), [&](const Area& m) { return overlaps(m, a); }),
                merges_.end());
  // Where a look of the sheet, a column or a row still covers the cells, they get the
  // default look of their own, as the spreadsheet program resets cleared cells: for a
  // bounded area in the same pass that empties them.
  if (!wholeColumns(a) && !wholeRows(a) && layersAboveMark(a)) {
    edit(a, looks::resetEdit(), true);
    return;
  }
  updateExisting(a, [](long, Entry& e) {
    e.value.clear();
    e.look = 0;
  });
  if (wholeColumns(a)) colLooks_.erase(colLooks_.lower_bound(a.c1), colLooks_.upper_bound(a.c2));
  if (wholeRows(a)) rowLooks_.erase(rowLooks_.lower_bound(a.r1), rowLooks_.upper_bound(a.r2));
  if (layersAboveMark(a)) edit(a, looks::resetEdit());
}

// ---- columns ----

void SimSheet::setColumnWidth(long c1, long c2, double width) {
  if (width < 0 || width > kMaxWidth) vb::raise(vb::kAppDefined, "Unable to set the ColumnWidth property of the Range class");
  if (c1 == 1 && c2 == kMaxCols) {
    defaultWidth_ = width;
    widths_.clear();
    return;
  }
  widths_.set(c1, c2, width);
}

double SimSheet::columnWidth(long col) const {
  return widths_.at(col).value_or(defaultWidth_);
}

void SimSheet::autoFit(const Area& a) {
  if (wholeRows(a) && !wholeColumns(a)) return;  // row heights are not modelled
  std::unordered_set<uint64_t> mergedCells;  // merged cells are left out, as the program does
  for (const Area& m : merges_)
    if (overlaps(m, a))
      for (long r = m.r1; r <= m.r2; ++r)
        for (long c = m.c1; c <= m.c2; ++c) mergedCells.insert(static_cast<uint64_t>(r) << 16 | static_cast<uint64_t>(c));
  std::vector<long> longest;  // by column from a.c1; -1 where no cell shows a value
  rows_.each(a.r1, a.r2, [&](long r, Cells row) {
    for (auto e = findCol(row, a.c1); e != row.end() && e->col <= a.c2; ++e) {
      if (e->value.isEmpty()) continue;
      if (!mergedCells.empty() && mergedCells.count(static_cast<uint64_t>(r) << 16 | static_cast<uint64_t>(e->col)))
        continue;
      // Texts are measured as they are; what other values show is ASCII.
      const long units =
          e->value.isText() ? textUnits(e->value.text()) : static_cast<long>(shownText(e->value.toVariant()).size());
      const size_t j = static_cast<size_t>(e->col - a.c1);
      if (j >= longest.size()) longest.resize(j + 1, -1);
      longest[j] = std::max(longest[j], units);
    }
  });
  for (size_t j = 0; j < longest.size(); ++j)
    if (const long units = longest[j]; units >= 0) {
      const long col = a.c1 + static_cast<long>(j);
      widths_.set(col, col, std::min(kMaxWidth, std::max(kMinFitWidth, static_cast<double>(units) + kFitPadding)));
    }
}

// ---- merges, filter, selection ----

void SimSheet::merge(const Area& a) {
  if (a.count() == 1) return;
  changed();
  // Merges are kept in order of their first row, so only those that start within the
  // tallest merge's reach above this one can overlap it.
  auto byFirstRow = [](const Area& m, long r) { return m.r1 < r; };
  auto lo = std::lower_bound(merges_.begin(), merges_.end(), a.r1 - tallestMerge_ + 1, byFirstRow);
  auto hi = std::lower_bound(lo, merges_.end(), a.r2 + 1, byFirstRow);
  hi = merges_.erase(std::remove_if(lo, hi, [&](const Area& m) { return overlaps(m, a); }), hi);
  // The merged cell keeps the value of its top-left cell only.
  updateExisting(a, [&](long r, Entry& e) {
    if (r != a.r1 || e.col != a.c1) e.value.clear();
  });
  merges_.insert(std::lower_bound(hi, merges_.end(), a.r1 + 1, byFirstRow), a);
  tallestMerge_ = std::max(tallestMerge_, a.rows());
}

std::vector<platform::xl::Area> SimSheet::merges() const {
  std::vector<Area> out = merges_;
  std::sort(out.begin(), out.end(), [](const Area& x, const Area& y) { return std::tie(x.r1, x.c1) < std::tie(y.r1, y.c1); });
  return out;
}

void SimSheet::autoFilter(const Area& a) { filter_ = a.count() == 1 ? currentRegion(a.r1, a.c1) : a; }

void SimSheet::select(const Area& a) {
  if (auto b = book()) b->activateSheet(*this);
  selection_ = a;
  active_ = Area{a.r1, a.c1, a.r1, a.c1};
}

// ---- plain data ----

void SimSheet::load(const formats::SheetData& data) {
  formats::LookTable table;
  std::vector<formats::StyleIndex> looks;
  looks.reserve(data.cells.size());
  for (const formats::CellData& cd : data.cells) looks.push_back(table.id(cd.style));
  const std::vector<Style> looksOfCells = table.looks();
  Loader loader(*this, looksOfCells);
  for (size_t i = 0; i < data.cells.size(); ++i) {
    Variant v = data.cells[i].value;
    loader.cell(data.cells[i].row, data.cells[i].col, std::move(v), looks[i]);
  }
  formats::SheetFrame frame;
  for (const auto& [c, w] : data.columnWidths) frame.widths.push_back(formats::ColumnWidth{c, c, w});
  frame.merges = data.merges;
  frame.filter = data.filter;
  loader.finish(std::move(frame));
}

}  // namespace sim
