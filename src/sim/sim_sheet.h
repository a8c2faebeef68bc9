#pragma once
// A sheet of the stand-in spreadsheet program. Cells are kept row by row, each row the
// cells that hold a value or a look of their own, in column order, so storage follows the
// data. Looks are layered (see sim_sheet_looks.h).
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/spreadsheet.h"
#include "sim/sim_sheet_looks.h"
#include "formats/workbook_data.h"

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

  static constexpr double kDefaultWidth = 8.43;

  // The value a cell of this number format stores when v is written into it.
  static Variant storedValue(const Variant& v, const std::string& format);
  // What a value shows in a cell: numbers as the runtime prints them, TRUE/FALSE, #N/A.
  static std::string shownText(const Variant& v);

 private:
  struct Entry {
    int32_t col;
    uint32_t look;  // the cell's own look layer (0: none)
    Variant value;
  };
  using Row = std::vector<Entry>;
  using Rows = std::map<long, Row>;

  // Error 1004 when v is a text longer than a cell holds (kMaxCellChars characters).
  static void checkFitsCell(const Variant& v);
  static bool alive(const Entry& e) { return !e.value.isEmpty() || e.look != 0; }
  static Row::iterator findCol(Row& row, long col);
  static Row::const_iterator findCol(const Row& row, long col);
  // f(col, entry) on every column c1..c2 of the row, cells created as needed; cells left
  // without value and look are dropped.
  template <class F>
  static void updateSegment(Row& row, long c1, long c2, F&& f);
  // f(row, entry) on the cells that exist in the area; cells left without value and
  // look are dropped.
  template <class F>
  void updateExisting(const Area& a, F&& f);
  // Every cell of the area gets valueAt(i, j) (from 1) as written into it.
  template <class F>
  void writeArea(const Area& a, F&& valueAt);
  void pruneRow(Rows::iterator it);

  const Entry* cellAt(long row, long col) const;
  bool filled(long row, long col) const;
  uint32_t colLook(long col) const;
  uint32_t rowLook(long row) const;
  const looks::Layer& layer(uint32_t id) const { return pool_.at(id); }
  Style shown(uint32_t colL, uint32_t rowL, uint32_t cellL) const;
  const std::string& formatAt(uint32_t colL, uint32_t rowL, uint32_t cellL) const;

  // Looks.
  void edit(const Area& a, const looks::Edit& e);
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
  Rows rows_;
  looks::LayerPool pool_;
  uint32_t sheetLook_ = 0;
  std::map<long, uint32_t> colLooks_, rowLooks_;
  uint32_t seq_ = 0;
  std::map<long, double> widths_;
  double defaultWidth_ = kDefaultWidth;
  std::vector<Area> merges_;  // in order of their first row
  long tallestMerge_ = 1;     // rows of the tallest merge ever made (an upper bound)
  std::optional<Area> filter_;
  Area selection_{}, active_{};
  mutable std::optional<Area> used_;
};

}  // namespace sim
