#pragma once
// The spreadsheet program (Excel or WPS) as the system drives it: application,
// workbooks, sheets and ranges. A Range is an address on a sheet; everything it does
// is asked of its sheet, which the stand-in (or an automation adapter) implements.
// The plain values (areas, looks, limits) are in platform/sheet_types.h.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/sheet_types.h"
#include "vb/variant.h"

namespace platform::xl {

using vb::Table;
using vb::Variant;

// Directions of End.
constexpr int xlUp = -4162;
constexpr int xlDown = -4121;
constexpr int xlToLeft = -4159;
constexpr int xlToRight = -4161;
// The direction value 4 that the system passes to move to the end of the filled block
// downwards from A1; the stand-in takes it as xlDown.
constexpr int kDownFour = 4;

// Header argument of Sort.
constexpr int xlGuess = 0;
constexpr int xlYes = 1;
constexpr int xlNo = 2;

// A change of some properties of the look of a range.
struct StyleChange {
  std::optional<std::string> numberFormat;
  std::optional<bool> bold;
  std::optional<double> fontSize;
  std::optional<long> fontColor;
  std::optional<long> fill;
  std::optional<bool> wrap;
  // Borders.Weight / LineStyle / ColorIndex on every edge of every cell.
  std::optional<int> bordersWeight, bordersLineStyle, bordersColorIndex;
  void applyTo(Style& s) const;
};

// A number format's local name ("G/通用格式" for "General") and back.
std::string localFormatName(const std::string& format);
std::string formatFromLocal(const std::string& local);

struct SortKey {
  long column;     // absolute column number of the key cell
  int order = 1;   // 1 ascending, 2 descending
};
struct SortSpec {
  std::vector<SortKey> keys;  // up to three
  int header = xlGuess;
  bool matchCase = false;
  int orientation = 1;  // 1 rows top to bottom
};

class Sheet;
class Workbook;
class Application;
using SheetPtr = std::shared_ptr<Sheet>;
using WorkbookPtr = std::shared_ptr<Workbook>;
using AppPtr = std::shared_ptr<Application>;

// "A1", "A1:F10", "A:H", "3:5" (see parseA1); error 1004 when the text is no address.
Area parseAddress(const std::string& address);

class Range {
 public:
  Range(SheetPtr sheet, Area area);
  Sheet& sheet() const { return *sheet_; }
  const SheetPtr& sheetPtr() const { return sheet_; }
  const Area& area() const { return area_; }

  // Addressing.
  Range cells(long row, long col) const;  // relative to the top-left cell, from 1
  Range resize(long rows, long cols) const;
  Range offset(long rows, long cols) const;
  Range entireRow() const;
  Range entireColumn() const;
  Range end(int direction) const;
  Range currentRegion() const;
  long row() const { return area_.r1; }
  long column() const { return area_.c1; }
  long long count() const { return area_.count(); }
  long rowsCount() const { return area_.rows(); }
  long columnsCount() const { return area_.cols(); }
  std::string address() const { return addressText(area_); }

  // Values: one cell's value, and the whole block.
  Variant value() const;
  void setValue(const Variant& v) const;  // every cell of the range gets it
  Table values() const;
  // A table written into the range: the range's shape decides; a table smaller than
  // the range leaves #N/A in the cells it does not reach.
  void setValues(const Table& t) const;

  // Look.
  void apply(const StyleChange& change) const;
  Style style() const;  // of the top-left cell
  void setNumberFormat(const std::string& f) const;
  std::string numberFormat() const;
  void setNumberFormatLocal(const std::string& f) const;
  std::string numberFormatLocal() const;
  void setBold(bool b) const;
  bool bold() const;
  void setFontSize(double s) const;
  void setFontColor(long c) const;
  void setInteriorColor(long c) const;
  long interiorColor() const;
  void setWrapText(bool w) const;
  void setBordersWeight(int w) const;
  void setBordersLineStyle(int s) const;
  void borderAround(std::optional<int> lineStyle, std::optional<int> weight = std::nullopt,
                    std::optional<int> colorIndex = std::nullopt) const;
  void setColumnWidth(double w) const;
  double columnWidth() const;

  void merge() const;
  void autoFilter() const;
  void autoFit() const;
  void clear() const;
  void clearContents() const;
  void select() const;
  void deleteCells() const;  // whole rows or columns are removed; other cells shift up
  void sort(const SortSpec& sorting) const;

 private:
  SheetPtr sheet_;
  Area area_;
};

class Sheet : public std::enable_shared_from_this<Sheet> {
 public:
  virtual ~Sheet() = default;
  virtual std::string name() const = 0;
  virtual void setName(const std::string& name) = 0;  // a name another sheet has: error 1004
  virtual Workbook& parent() = 0;
  virtual void select() = 0;    // the sheet becomes the active sheet
  virtual void remove() = 0;    // Delete
  virtual void moveAfter(Sheet& other) = 0;
  virtual void moveBefore(Sheet& other) = 0;

  // Addressing helpers.
  Range range(const std::string& address);
  Range range(const Range& from, const Range& to);
  Range cell(long row, long col);
  Range cells();  // every cell
  Range columns(const std::string& letters);  // "A:H" or "C"
  Range rows(long first, long last);
  Range usedRange();

  // What a Range asks of its sheet.
  virtual Variant get(long row, long col) const = 0;
  virtual Table getBlock(const Area& a) const = 0;
  virtual void put(const Area& a, const Variant& v) = 0;
  virtual void putBlock(const Area& a, const Table& t) = 0;
  virtual void applyStyle(const Area& a, const StyleChange& change) = 0;
  virtual Style styleAt(long row, long col) const = 0;
  virtual void borderAround(const Area& a, std::optional<int> lineStyle, std::optional<int> weight,
                            std::optional<int> colorIndex) = 0;
  virtual void setColumnWidth(long c1, long c2, double width) = 0;
  virtual double columnWidth(long col) const = 0;
  virtual void autoFit(const Area& a) = 0;  // columns of the area fitted to their contents
  virtual void merge(const Area& a) = 0;
  virtual std::vector<Area> merges() const = 0;
  virtual void autoFilter(const Area& a) = 0;
  virtual std::optional<Area> filter() const = 0;
  virtual void clear(const Area& a) = 0;          // contents and formats
  virtual void clearContents(const Area& a) = 0;
  virtual void deleteRows(long r1, long r2) = 0;
  virtual void deleteColumns(long c1, long c2) = 0;
  // The cells of the area removed, the cells below them in the same columns moved up
  // (Delete on a range of some columns: the program shifts the cells up).
  virtual void deleteShiftUp(const Area& a) = 0;
  virtual void select(const Area& a) = 0;         // activates the sheet; the area's first cell is active
  virtual Area selection() const = 0;
  virtual Area activeCell() const = 0;
  virtual Area end(long row, long col, int direction) const = 0;
  virtual Area currentRegion(long row, long col) const = 0;
  virtual Area usedArea() const = 0;  // A1 when the sheet is empty
  virtual void sort(const Area& a, const SortSpec& sorting) = 0;
};

class Workbook : public std::enable_shared_from_this<Workbook> {
 public:
  virtual ~Workbook() = default;
  virtual std::string name() const = 0;      // "Book1" or the file's name
  virtual std::string fullName() const = 0;  // the file's path, or the name
  virtual long sheetCount() const = 0;
  virtual SheetPtr sheet(long position) = 0;              // error 9 when there is none
  virtual SheetPtr sheet(const std::string& name) = 0;    // error 9 when there is none
  // A new sheet before or after the given one (before the active sheet when neither);
  // it becomes the active sheet.
  virtual SheetPtr addSheet(Sheet* before, Sheet* after) = 0;
  virtual SheetPtr activeSheet() = 0;
  virtual void activate() = 0;
  virtual void save() = 0;
  virtual void saveAs(const std::string& path) = 0;
  virtual long position(const Sheet& s) const = 0;  // 1-based, 0 when not in the workbook
  // Close without arguments: the workbook leaves the program unsaved; the workbook opened
  // before it becomes the active one.
  virtual void close() = 0;
};

// WindowState of the program's window.
inline constexpr int kWindowNormal = -4143, kWindowMinimized = -4140, kWindowMaximized = -4137;

class Application : public std::enable_shared_from_this<Application> {
 public:
  virtual ~Application() = default;
  virtual std::string progId() const = 0;
  virtual bool visible() const = 0;
  virtual void setVisible(bool v) = 0;
  virtual bool screenUpdating() const = 0;
  virtual void setScreenUpdating(bool v) = 0;
  virtual bool enableEvents() const = 0;
  virtual void setEnableEvents(bool v) = 0;
  virtual bool displayAlerts() const = 0;
  virtual void setDisplayAlerts(bool v) = 0;
  virtual int windowState() const = 0;
  virtual void setWindowState(int state) = 0;  // one of kWindowNormal, kWindowMinimized, kWindowMaximized

  virtual long workbookCount() const = 0;
  virtual WorkbookPtr workbook(long position) = 0;  // error 9 when there is none
  virtual WorkbookPtr addWorkbook() = 0;            // Workbooks.Add: active, three sheets
  virtual WorkbookPtr open(const std::string& path) = 0;  // the file as the active workbook
  virtual WorkbookPtr activeWorkbook() = 0;         // error 91 when no workbook is open
  virtual long rowsCount() const { return kMaxRows; }
  // GetOpenFilename: the program's own open-file dialog (fileFilter as pairs of a
  // description and a pattern, separated by commas; one file). The chosen path, or
  // nothing (False) when the user cancels.
  virtual std::optional<std::string> getOpenFilename(const std::string& fileFilter, const std::string& title) = 0;

  // Through the active workbook.
  SheetPtr activeSheet() { return activeWorkbook()->activeSheet(); }
  SheetPtr sheet(long position) { return activeWorkbook()->sheet(position); }
  SheetPtr sheet(const std::string& name) { return activeWorkbook()->sheet(name); }
  Range activeCell();

  // WorksheetFunction.Max: the largest number, 0 when there is none.
  double max(const Range& r);
  static double max(const Table& t);
};

}  // namespace platform::xl
