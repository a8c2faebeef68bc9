#pragma once
// What the workbook fuzz targets check of a file: reading gives a workbook or a FileError
// (of a malformed file, or a missing one), never a crash, a hang or a huge allocation; a
// workbook that was read saves as .xlsx and reads back with the same sheets, merges and
// values, as a saved file holds them: numbers to 16 digits, texts cut where the writer
// cuts them, and no value in a cell that a merge covers but for its top-left one (the
// merge shows that one only).
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>

#include "formats/workbook_files.h"
#include "fuzz_support.h"
#include "vb/convert.h"
#include "vb/utf8.h"

namespace fuzz {

using Cells = std::map<std::pair<long, long>, vb::Variant>;

// A number as an .xlsx holds it: the writer prints 16 significant digits, so a 17th
// (beyond the 15 a user sees) does not survive a save.
// A text as a saved file holds it: the writer counts NUL, U+FFFE, U+FFFF and the
// underscore of a "_xHHHH" as the seven characters of their escapes against the 32,767
// of a cell, and cuts the text before the character that would pass them.
inline std::string savedText(const std::string& t) {
  size_t budget = static_cast<size_t>(platform::xl::kMaxCellChars);
  if (t.size() <= budget / 7) return t;  // short enough however it is escaped
  auto hex = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
  size_t i = 0;
  while (i < t.size()) {
    const size_t n = vb::utf8CharBytes(t, i);
    const bool escaped = t[i] == '\0' || (n == 3 && t.compare(i, 2, "\xEF\xBF") == 0 && (t[i + 2] == '\xBE' || t[i + 2] == '\xBF')) ||
                         (t[i] == '_' && i + 6 <= t.size() && t[i + 1] == 'x' && hex(t[i + 2]) && hex(t[i + 3]) &&
                          hex(t[i + 4]) && hex(t[i + 5]));
    const size_t cost = escaped ? 7 : 1;
    if (cost > budget) break;
    budget -= cost;
    i += n;
  }
  return t.substr(0, i);
}

inline vb::Variant asSaved(const vb::Variant& v) {
  if (v.isText()) return savedText(v.text());
  if (!v.isNumber()) return v;
  char text[40];
  std::snprintf(text, sizeof text, "%.16G", v.number());
  return std::strtod(text, nullptr);
}

// Whether a merge covers the cell without it being the merge's top-left cell, so that a
// save leaves out its value.
inline bool hiddenByMerge(const formats::SheetData& s, long row, long col) {
  for (const platform::xl::Area& m : s.merges)
    if (m.contains(row, col) && !(row == m.r1 && col == m.c1)) return true;
  return false;
}

// The values a save keeps, by cell (of a cell given twice, the later one).
inline Cells valuesOf(const formats::SheetData& s) {
  Cells out;
  for (const auto& c : s.cells) {
    if (hiddenByMerge(s, c.row, c.col)) continue;
    if (c.value.isEmpty()) out.erase({c.row, c.col});
    else out[{c.row, c.col}] = asSaved(c.value);
  }
  return out;
}

// The first cell where the values differ, in words.
inline std::string firstDifference(const formats::SheetData& s, const Cells& a, const Cells& b) {
  for (const auto& [rc, v] : a) {
    auto it = b.find(rc);
    if (it == b.end() || !(it->second == v))
      return "sheet \"" + s.name + "\" cell " + std::to_string(rc.first) + "," + std::to_string(rc.second) + ": \"" +
             vb::toText(v) + "\" became \"" + (it == b.end() ? std::string("(nothing)") : vb::toText(it->second)) +
             "\"";
  }
  for (const auto& [rc, v] : b)
    if (!a.count(rc))
      return "sheet \"" + s.name + "\" cell " + std::to_string(rc.first) + "," + std::to_string(rc.second) +
             " appeared: \"" + vb::toText(v) + "\"";
  return "";
}

// The workbook file at `path` read, saved as .xlsx beside it and read back; `what` names
// the kind of file in the reasons of a broken invariant.
inline void checkWorkbookFile(const std::string& path, const std::string& what) {
  formats::WorkbookData wb;
  try {
    wb = formats::loadWorkbookFile(path);
  } catch (const formats::FileError& e) {
    using Kind = formats::FileError::Kind;
    FUZZ_CHECK(e.kind() == Kind::Malformed || e.kind() == Kind::Missing, e.what());
    FUZZ_CHECK(!e.problem().empty(), e.what());
    return;
  }
  FUZZ_CHECK(!wb.sheets.empty(), what);
  FUZZ_CHECK(wb.activeSheet >= 1 && wb.activeSheet <= static_cast<long>(wb.sheets.size()), what);

  const std::string copy = (scratchDir() / "again.xlsx").string();
  try {
    formats::saveXlsx(wb, copy);
  } catch (const formats::FileError& e) {
    broken("a workbook that was read saves again", what + ": " + e.what());
  }
  formats::WorkbookData back;
  try {
    back = formats::loadWorkbookFile(copy);
  } catch (const formats::FileError& e) {
    broken("a saved workbook reads back", what + ": " + e.what());
  }
  FUZZ_CHECK(back.sheets.size() == wb.sheets.size(), what);
  for (size_t s = 0; s < wb.sheets.size(); ++s) {
    FUZZ_CHECK(back.sheets[s].name == wb.sheets[s].name,
               "\"" + wb.sheets[s].name + "\" became \"" + back.sheets[s].name + "\"");
    FUZZ_CHECK(back.sheets[s].merges == wb.sheets[s].merges, what + ": the merges of \"" + wb.sheets[s].name + "\"");
    const Cells a = valuesOf(wb.sheets[s]), b = valuesOf(back.sheets[s]);
    if (a != b) broken("the values survive a save", what + ": " + firstDifference(wb.sheets[s], a, b));
  }
  FUZZ_CHECK(back.activeSheet == wb.activeSheet, what);
}

}  // namespace fuzz
