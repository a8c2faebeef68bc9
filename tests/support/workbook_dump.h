#pragma once
// A workbook as readable text, one line per cell with a value or a look of its own, so a
// whole report can be compared with the text a person checked once.
#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>

#include "formats/workbook_data.h"
#include "vb/convert.h"

namespace testing_support {

inline std::string cellValueText(const vb::Variant& v) {
  switch (v.type()) {
    case vb::Variant::Type::Empty: return "";
    case vb::Variant::Type::Number: return vb::numberText(v.number());
    case vb::Variant::Type::Text: return "\"" + v.text() + "\"";
    case vb::Variant::Type::Boolean: return v.boolean() ? "TRUE" : "FALSE";
    case vb::Variant::Type::Error: return "#N/A";
  }
  return "";
}

inline std::string edges(const platform::xl::Style& s) {
  std::string out;
  if (s.left.weight || s.left.lineStyle) out += "L";
  if (s.top.weight || s.top.lineStyle) out += "T";
  if (s.right.weight || s.right.lineStyle) out += "R";
  if (s.bottom.weight || s.bottom.lineStyle) out += "B";
  return out;
}

inline std::string dumpSheet(const formats::SheetData& sheet) {
  namespace xl = platform::xl;
  std::ostringstream out;
  out << "== " << sheet.name;
  if (sheet.filter) out << " filter " << xl::addressText(*sheet.filter);
  out << "\n";
  if (!sheet.columnWidths.empty()) {
    out << "widths";
    for (const auto& [c, w] : sheet.columnWidths) {
      char buf[32];
      std::snprintf(buf, sizeof buf, "%.2f", w);
      out << " " << xl::columnLetters(c) << "=" << buf;
    }
    out << "\n";
  }
  for (const auto& m : sheet.merges) out << "merge " << xl::addressText(m) << "\n";
  std::vector<formats::CellData> cells = sheet.cells;
  std::sort(cells.begin(), cells.end(),
            [](const auto& a, const auto& b) { return a.row != b.row ? a.row < b.row : a.col < b.col; });
  const xl::Style plain;
  for (const auto& c : cells) {
    const xl::Style& s = c.style;
    std::string line = xl::columnLetters(c.col) + std::to_string(c.row) + " " + cellValueText(c.value);
    if (s.numberFormat != plain.numberFormat) line += " fmt=" + s.numberFormat;
    if (s.bold) line += " bold";
    if (s.fontSize != plain.fontSize) line += " size=" + vb::numberText(s.fontSize);
    if (s.fontColor != plain.fontColor) line += " color=" + std::to_string(s.fontColor);
    if (s.fill != plain.fill) line += " fill=" + std::to_string(s.fill);
    if (s.wrap) line += " wrap";
    std::string e = edges(s);
    if (!e.empty()) line += " border=" + e;
    out << line << "\n";
  }
  return out.str();
}

inline std::string dumpWorkbook(const formats::WorkbookData& wb) {
  std::string out;
  for (const auto& s : wb.sheets) out += dumpSheet(s);
  return out;
}

}  // namespace testing_support
