#pragma once
// A sheet of the stand-in spreadsheet program. Cells are kept row by row, each row the
// cells that hold a value or a look of their own, in column order, so storage follows the
// data. Looks are layered (see sim_sheet_looks.h).
#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/spreadsheet.h"
#include "sim/sim_sheet_looks.h"
#include "formats/workbook_data.h"
#include "formats/workbook_stream.h"

namespace sim {

class SimWorkbook;

class SimSheet final : public platform::xl::Sheet {
 public:
  using Area = platform::xl::Area;
  using Variant = platform::xl::Variant;
  using Table = platform::xl::Table;
  using Style = platform::xl::Style;

  SimSheet(std::string name, std::weak_ptr<SimWorkbook> book);

  std::string name() const override { return name_; }
  void setName(const std::string& name) override;
  platform::xl::Workbook& parent() override;
  void select() override;
  void remove() override;
  void moveAfter(platform::xl::Sheet& other) override;
  void moveBefore(platform::xl::Sheet& other) override;

  Variant get(long row, long col) const override;
  Table getBlock(const Area& a) const override;
  void put(const Area& a, const Variant& v) override;
  void putBlock(const Area& a, const Table& t) override;
  void applyStyle(const Area& a, const platform::xl::StyleChange& change) override;
  Style styleAt(long row, long col) const override;
  void borderAround(const Area& a, std::optional<int> lineStyle, std::optional<int> weight,
                    std::optional<int> colorIndex) override;
  void setColumnWidth(long c1, long c2, double width) override;
  double columnWidth(long col) const override;
  void autoFit(const Area& a) override;
  void merge(const Area& a) override;
  std::vector<Area> merges() const override;  // by first row, then first column
  void autoFilter(const Area& a) override;
  std::optional<Area> filter() const override { return filter_; }
  void clear(const Area& a) override;
  void clearContents(const Area& a) override;
  void deleteRows(long r1, long r2) override;
  void deleteColumns(long c1, long c2) override;
  void deleteShiftUp(const Area& a) override;
  void select(const Area& a) override;
  Area selection() const override { return selection_; }
  Area activeCell() const override { return active_; }
  Area end(long row, long col, int direction) const override;
  Area currentRegion(long row, long col) const override;
  Area usedArea() const override;
  void sort(const Area& a, const platform::xl::SortSpec& sorting) override;

  // Used by the workbook.
  void setNameUnchecked(const std::string& name) { name_ = name; }
  void detach() { book_.reset(); }
  void load(const formats::SheetData& data);  // cells stored as given, without conversion

  // The workbook files (sim_sheet_files.cpp). Looks travel as indexes into the workbook's
  // table of looks, each look resolved once however many cells show it.
  // Everything of the sheet but its cells.
  formats::SheetFrame frame() const;
  // Every cell of the used area that holds a value or shows a look other than the
  // default, row by row, as a file holds them; the looks are interned in `looks`.
  void writeRows(formats::RowSink& sink, formats::LookTable& looks) const;
  // A sheet read from a file, cell by cell: cells stored as given, without conversion;
  // a cell given twice takes the later one. lookOf maps the file's look indexes.
  class Loader;

  static constexpr double kDefaultWidth = 8.43;

  // The value a cell of this number format stores when v is written into it.
  static Variant storedValue(const Variant& v, const std::string& format);
  // What a value shows in a cell: numbers as the runtime prints them, TRUE/FALSE, #N/A.
  static std::string shownText(const Variant& v);

 private:
  // A cell's value as the sheet keeps it, in 16 bytes: empty, a number, a Boolean, an
  // error value or a text. A text of up to 15 bytes is held in place, so numbers and short
  // texts take no memory of their own; a longer text has its own copy.
  class CellValue {
   public:
    CellValue() = default;
    explicit CellValue(const Variant& v) { assign(v); }
    CellValue(const CellValue& other) { copyFrom(other); }
    CellValue(CellValue&& other) noexcept { takeFrom(other); }
    CellValue& operator=(const CellValue& other);
    CellValue& operator=(CellValue&& other) noexcept;
    ~CellValue() { release(); }

    void assign(const Variant& v);  // an empty text stays a text
    void setNumber(double d);
    void clear() { release(); }

    bool isEmpty() const { return kind() == kEmpty; }
    bool isText() const { return kind() == kShortText || kind() == kLongText; }
    Variant::Type type() const;
    double number() const;
    bool boolean() const { return bytes_[0] != 0; }
    vb::ErrorValue error() const { return {errorCode()}; }
    int errorCode() const;
    std::string_view text() const;
    Variant toVariant() const;

   private:
    enum Kind : uint8_t { kEmpty, kNumber, kShortText, kLongText, kBoolean, kError };
    static constexpr size_t kShortMax = 15;
    Kind kind() const { return static_cast<Kind>(tag_ & 7); }
    size_t shortSize() const { return tag_ >> 3; }
    void setKind(Kind k, size_t shortSize = 0) { tag_ = static_cast<uint8_t>(k | shortSize << 3); }
    void release();
    void copyFrom(const CellValue& other);  // into an empty value
    void holdText(std::string_view t);      // into an empty value
    void takeFrom(CellValue& other);
    char* longData() const;
    size_t longSize() const;

    // A short text's bytes; a long text's address and length; a number, Boolean or error code.
    alignas(8) unsigned char bytes_[kShortMax] = {};
    uint8_t tag_ = kEmpty;  // the kind, and a short text's length above it
  };
  static_assert(sizeof(CellValue) == 16);

  struct Entry {
    int32_t col;
    uint32_t look;  // the cell's own look layer (0: none)
    CellValue value;
  };
  using Row = std::vector<Entry>;  // the row's cells in column order

  // The rows that hold cells, in pages of kPageRows consecutive rows. Only pages with a
  // cell exist, kept in order, so storage follows the data (a lone cell in the sheet's
  // last row costs one page), while walking the rows or appending below the last one
  // costs no search per row. A row without cells counts as missing everywhere.
  class RowStore {
   public:
    static constexpr long kPageRows = 64;

    bool empty() const { return pages_.empty(); }
    void clear() { pages_.clear(); }
    long lastRow() const;            // 0 when no row holds a cell
    size_t count(long r1, long r2) const;  // rows of r1..r2 that hold cells
    const Row* find(long r) const;   // nullptr when the row holds no cell
    Row& at(long r);                 // created when missing, for the caller to fill
    // f(r, row) on each row of r1..r2 that holds cells, top down.
    template <class F>
    void each(long r1, long r2, F&& f) const;
    // The same where f may change the rows; pages left without cells are dropped.
    template <class F>
    void change(long r1, long r2, F&& f);
    // f(r, row) on every row of r1..r2, also those without cells; what f leaves is kept.
    template <class F>
    void write(long r1, long r2, F&& f);
    // The first (last) row of r1..r2 holding cells for which p(r, row) holds; 0 when none.
    template <class P>
    long firstWhere(long r1, long r2, P&& p) const;
    template <class P>
    long lastWhere(long r1, long r2, P&& p) const;
    // Rows r1..r2 removed; the rows below move up.
    void removeRows(long r1, long r2);

   private:
    struct Page {
      long first = 0;  // the page's first row: 1 plus a multiple of kPageRows
      std::array<Row, kPageRows> rows;
      bool empty() const;
    };
    static long pageFirst(long r) { return (r - 1) / kPageRows * kPageRows + 1; }
    static void release(Row& row) {  // the storage of a row left without cells
      if (row.empty() && row.capacity() != 0) row = Row();
    }
    size_t pageReaching(long r) const;  // the first page with a row at or after r
    size_t pageAfter(long r) const;     // the first page that starts after r
    Page& insertPage(size_t at, long first);

    std::vector<std::unique_ptr<Page>> pages_;
  };

  // Error 1004 when v is a text longer than a cell holds (kMaxCellChars characters).
  static void checkFitsCell(const Variant& v);
  // The cell gets what it stores when v is written into it (see storedValue).
  static void store(CellValue& cell, const Variant& v, const std::string& format);
  static bool alive(const Entry& e) { return !e.value.isEmpty() || e.look != 0; }
  static Row::iterator findCol(Row& row, long col);
  static Row::const_iterator findCol(const Row& row, long col);
  static const Entry* cellOf(const Row& row, long col);  // nullptr when the row has no such cell
  static bool holdsValue(const Row& row, long col);
  // Room for `needed` cells: exact for a new row or an insertion (which moves the row's
  // cells anyway), growing by half for appends, so a row written cell by cell from left to
  // right is not copied at every cell.
  static void reserveCells(Row& row, size_t needed, bool appending);
  // f(col, entry) on every column c1..c2 of the row, cells created as needed; cells left
  // without value and look are dropped. segment: scratch space, reused across rows.
  template <class F>
  static void updateSegment(Row& row, long c1, long c2, Row& segment, F&& f);
  // f(row, entry) on the cells that exist in the area; cells left without value and
  // look are dropped.
  template <class F>
  void updateExisting(const Area& a, F&& f);
  // Every cell of the area gets valueAt(i, j) (from 1) as written into it.
  template <class F>
  void writeArea(const Area& a, F&& valueAt);

  const Entry* cellAt(long row, long col) const;
  bool filled(long row, long col) const;
  uint32_t colLook(long col) const;
  uint32_t rowLook(long row) const;
  const looks::Layer& layer(uint32_t id) const { return pool_.at(id); }
  Style shown(uint32_t colL, uint32_t rowL, uint32_t cellL) const;
  const std::string& formatAt(uint32_t colL, uint32_t rowL, uint32_t cellL) const;

  // Looks.
  // emptyFirst: the cells of a bounded area lose their value and own look before the edit.
  void edit(const Area& a, const looks::Edit& e, bool emptyFirst = false);
  bool layersAboveMark(const Area& a) const;

  // Moves (sim_sheet_moves.cpp).
  long filledBelow(long row, long col) const;  // 0 when none
  long filledAbove(long row, long col) const;
  long filledRightOf(long row, long col) const;
  long filledLeftOf(long row, long col) const;
  bool rowStripFilled(long row, long c1, long c2) const;
  bool colStripFilled(long col, long r1, long r2) const;

  bool rowHasBoldValue(long row, long c1, long c2) const;  // for the header guess of Sort

  void changed() { used_.reset(); }
  std::shared_ptr<SimWorkbook> book() const { return book_.lock(); }

  std::string name_;
  std::weak_ptr<SimWorkbook> book_;
  RowStore rows_;
  looks::LayerPool pool_;
  uint32_t sheetLook_ = 0;
  std::map<long, uint32_t> colLooks_, rowLooks_;
  uint32_t seq_ = 0;
  platform::xl::ColumnWidthRuns widths_;
  double defaultWidth_ = kDefaultWidth;
  std::vector<Area> merges_;  // in order of their first row
  long tallestMerge_ = 1;     // rows of the tallest merge ever made (an upper bound)
  std::optional<Area> filter_;
  Area selection_{}, active_{};
  mutable std::optional<Area> used_;
};

class SimSheet::Loader {
 public:
  Loader(SimSheet& sheet, const std::vector<Style>& looks);
  void cell(long row, long col, Variant&& value, formats::StyleIndex look);
  void finish(formats::SheetFrame&& frame);

 private:
  SimSheet& sheet_;
  const std::vector<Style>& looks_;
  std::vector<uint32_t> layers_;  // the layer of each look index, made when first used
  looks::Layer full_;
  std::vector<long> unsorted_;    // rows whose cells came out of column order
  long lastRow_ = 0;              // the row the last cell went into
  Row* last_ = nullptr;
};

template <class F>
void SimSheet::RowStore::each(long r1, long r2, F&& f) const {
  firstWhere(r1, r2, [&](long r, const Row& row) {
    f(r, row);
    return false;
  });
}

template <class F>
void SimSheet::RowStore::change(long r1, long r2, F&& f) {
  const size_t begin = pageReaching(r1);
  size_t kept = begin, i = begin;
  for (; i < pages_.size() && pages_[i]->first <= r2; ++i) {
    Page& page = *pages_[i];
    const long hi = std::min(r2, page.first + kPageRows - 1);
    for (long r = std::max(r1, page.first); r <= hi; ++r)
      if (Row& row = page.rows[static_cast<size_t>(r - page.first)]; !row.empty()) {
        f(r, row);
        release(row);
      }
    if (page.empty()) continue;
    if (kept != i) pages_[kept] = std::move(pages_[i]);
    ++kept;
  }
  pages_.erase(pages_.begin() + static_cast<long>(kept), pages_.begin() + static_cast<long>(i));
}

template <class F>
void SimSheet::RowStore::write(long r1, long r2, F&& f) {
  size_t i = pageReaching(r1);
  Row scratch;  // a row of a page that does not exist (yet)
  for (long first = pageFirst(r1); first <= r2; first += kPageRows) {
    Page* page = i < pages_.size() && pages_[i]->first == first ? pages_[i].get() : nullptr;
    const long hi = std::min(r2, first + kPageRows - 1);
    for (long r = std::max(r1, first); r <= hi; ++r) {
      if (page) {
        f(r, page->rows[static_cast<size_t>(r - first)]);
        release(page->rows[static_cast<size_t>(r - first)]);
        continue;
      }
      f(r, scratch);
      if (scratch.empty()) continue;
      page = &insertPage(i, first);
      page->rows[static_cast<size_t>(r - first)] = std::move(scratch);
      scratch = Row();
    }
    if (!page) continue;
    if (page->empty()) pages_.erase(pages_.begin() + static_cast<long>(i));
    else ++i;
  }
}

template <class P>
long SimSheet::RowStore::firstWhere(long r1, long r2, P&& p) const {
  for (size_t i = pageReaching(r1); i < pages_.size() && pages_[i]->first <= r2; ++i) {
    const Page& page = *pages_[i];
    const long hi = std::min(r2, page.first + kPageRows - 1);
    for (long r = std::max(r1, page.first); r <= hi; ++r)
      if (const Row& row = page.rows[static_cast<size_t>(r - page.first)]; !row.empty() && p(r, row)) return r;
  }
  return 0;
}

template <class P>
long SimSheet::RowStore::lastWhere(long r1, long r2, P&& p) const {
  for (size_t i = pageAfter(r2); i > 0 && pages_[i - 1]->first + kPageRows - 1 >= r1; --i) {
    const Page& page = *pages_[i - 1];
    const long lo = std::max(r1, page.first);
    for (long r = std::min(r2, page.first + kPageRows - 1); r >= lo; --r)
      if (const Row& row = page.rows[static_cast<size_t>(r - page.first)]; !row.empty() && p(r, row)) return r;
  }
  return 0;
}

}  // namespace sim
