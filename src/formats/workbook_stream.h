#pragma once
// Workbook files streamed: a writer takes the sheets row by row from a WorkbookSource,
// and a reader hands each cell to a WorkbookSink as it reads it, so neither side holds a
// second copy of the workbook. Looks travel as indexes into the workbook's table of
// looks (index 0 the default look), never as a look per cell.
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/sheet_types.h"
#include "vb/variant.h"

namespace formats {

using StyleIndex = uint32_t;

// Looks interned by value: each distinct look gets an index, 0 the default look. Safe
// to use from several threads at once (the sheets of a workbook are written side by side).
struct StyleHash {
  size_t operator()(const platform::xl::Style& s) const;
};
class LookTable {
 public:
  LookTable();
  StyleIndex id(const platform::xl::Style& s);
  std::vector<platform::xl::Style> looks() const;

 private:
  mutable std::mutex mutex_;
  std::vector<platform::xl::Style> looks_;
  std::unordered_map<platform::xl::Style, StyleIndex, StyleHash> ids_;
};

// A run of columns of one width, in characters as the spreadsheet reports them.
struct ColumnWidth {
  long first = 1, last = 1;
  double width = 0;
  bool operator==(const ColumnWidth&) const = default;
};

// Everything of a sheet but its cells.
struct SheetFrame {
  std::string name;
  std::vector<ColumnWidth> widths;  // in column order, not overlapping
  std::vector<platform::xl::Area> merges;
  std::optional<platform::xl::Area> filter;
  // The area the cells lie in (the file's dimension); nothing for a sheet without cells.
  std::optional<platform::xl::Area> extent;
  // Read from a file: the cells that hold a formula without a stored result (they read
  // as empty, since nothing here computes formulas), and the first of them.
  long formulasWithoutResult = 0;
  std::optional<platform::xl::Area> firstFormulaWithoutResult;
};

// A cell's value as a writer reads it, without a copy of its text.
struct ValueView {
  vb::Variant::Type type = vb::Variant::Type::Empty;
  double number = 0;
  std::string_view text;
  bool boolean = false;
  int error = 0;
  static ValueView of(const vb::Variant& v);
  bool isEmpty() const { return type == vb::Variant::Type::Empty; }
};

// One cell as a writer takes it.
struct CellOut {
  long col;
  ValueView value;
  StyleIndex style;
};

// Receives the rows of one sheet.
class RowSink {
 public:
  virtual ~RowSink() = default;
  // A row's cells in column order; rows come in row order, each once.
  virtual void row(long row, std::span<const CellOut> cells) = 0;
};

// What a workbook file is written from.
class WorkbookSource {
 public:
  virtual ~WorkbookSource() = default;
  virtual size_t sheetCount() const = 0;
  virtual SheetFrame frame(size_t sheet) = 0;
  // Every cell with a value or a look of its own, row by row. Called for the sheets side
  // by side on several threads (each sheet once, after every frame was asked).
  virtual void rows(size_t sheet, RowSink& sink) = 0;
  // The looks the rows named, by index; asked once every sheet's rows were given.
  virtual std::vector<platform::xl::Style> styles() = 0;
  virtual size_t activeSheet() const = 0;  // from 0
};

// Receives the cells of one sheet read from a file.
class SheetSink {
 public:
  virtual ~SheetSink() = default;
  // A cell with a value or a look of its own, in file order (a cell may come twice: the
  // later one holds). Texts hold at most kMaxCellChars characters.
  virtual void cell(long row, long col, vb::Variant&& value, StyleIndex style) = 0;
  virtual void end(SheetFrame&& frame) = 0;
};

// What a workbook file is read into: the styles first, then every sheet in tab order,
// then the active sheet. The cells of different sheets may come side by side on
// several threads, each sheet's own in order on one thread.
class WorkbookSink {
 public:
  virtual ~WorkbookSink() = default;
  // The looks the file's cells name, by index.
  virtual void styles(std::vector<platform::xl::Style> looks) = 0;
  // A sheet; its name is already one the spreadsheet accepts, unique in the workbook. The
  // sink it gives lives until the file is read.
  virtual SheetSink& sheet(const std::string& name) = 0;
  virtual void activeSheet(size_t sheet) = 0;  // from 0
};

// Writes the workbook as an .xlsx file at this local path, through a temporary file
// beside it, so a failed save leaves an older file as it was (FileError Unwritable).
void saveXlsx(WorkbookSource& source, const std::string& localPath);

// Reads a workbook file by its extension (.xlsx, .xls, .csv) into the sink. A file that
// is missing, cannot be read, or is no workbook of its kind (or is damaged) is a
// FileError whose text names the file and says what is wrong; the sink may then hold
// part of the workbook.
void readWorkbookFile(const std::string& localPath, WorkbookSink& sink);

}  // namespace formats
