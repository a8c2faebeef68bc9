#pragma once
// A workbook as plain data: what the files of a workbook hold, and what a spreadsheet
// is built from or saved as.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/sheet_types.h"
#include "vb/variant.h"

namespace formats {

struct CellData {
  long row = 1, col = 1;
  vb::Variant value;
  platform::xl::Style style;
};

struct SheetData {
  std::string name;
  std::vector<CellData> cells;          // cells with a value or a look of their own
  std::map<long, double> columnWidths;  // by column number
  std::vector<platform::xl::Area> merges;
  std::optional<platform::xl::Area> filter;
};

struct WorkbookData {
  std::string name;      // "Book1", or the file's base name
  std::string fullName;  // the file's path when it came from a file
  std::vector<SheetData> sheets;
  long activeSheet = 1;
};

}  // namespace formats
