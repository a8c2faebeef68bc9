#pragma once
// A sheet of the stand-in spreadsheet program. Cells are kept row by row, each row the
// cells that hold a value or a look of their own, in column order, so storage follows the
// data (see sim_row_store.h). Looks are layered (see sim_sheet_looks.h).
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
#include "sim/sim_row_store.h"
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
  using Entry = CellEntry;
  using Row = RowStore::Row;
  using Cells = RowStore::Cells;

  // Error 1004 when v is a text longer than a cell holds (kMaxCellChars characters).
  static void checkFitsCell(const Variant& v);
  // The cell gets what it stores when v is written into it (see storedValue).
  static void store(CellValue& cell, const Variant& v, const std::string& format);
  static bool alive(const Entry& e) { return !e.value.isEmpty() || e.look != 0; }
  // The first cell of the row at or right of col.
  static Entry* findCol(const Row& row, long col);
  static Cells::iterator findCol(Cells cells, long col);
  // The row's cells in columns c1..c2.
  static std::span<Entry> cellsIn(std::span<Entry> cells, long c1, long c2);
  static std::span<Entry> cellsIn(const Row& row, long c1, long c2) { return cellsIn(std::span(row.begin(), row.end()), c1, c2); }
  static Cells cellsIn(Cells cells, long c1, long c2);
  static const Entry* cellOf(Cells cells, long col);  // nullptr when the row has no such cell
  static bool holdsValue(Cells cells, long col);
  // f(col, entry) on every column c1..c2 of the row, cells created as needed; cells left
  // without value and look are dropped. segment: scratch space, reused across rows.
  template <class F>
  static void updateSegment(Row& row, long c1, long c2, std::vector<Entry>& segment, F&& f);
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
  std::optional<Row> last_;
};

}  // namespace sim
