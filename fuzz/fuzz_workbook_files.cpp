// The workbook readers on any bytes in a file: the first byte picks the extension
// (.xlsx, .xls, .csv), the rest is the file. Reading gives a workbook or a FileError (of a
// malformed file, or a missing one), never a crash, a hang or a huge allocation; a
// workbook that was read saves as .xlsx and reads back with the same sheets and values
// (numbers to the 16 digits the file holds).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>

#include "fuzz_support.h"
#include "formats/workbook_files.h"
#include "vb/convert.h"

namespace {

using Cells = std::map<std::pair<long, long>, vb::Variant>;

// A number as an .xlsx holds it: the writer library prints 16 significant digits, so a
// 17th (beyond the 15 a user sees) does not survive a save.
vb::Variant asSaved(const vb::Variant& v) {
  if (!v.isNumber()) return v;
  char text[40];
  std::snprintf(text, sizeof text, "%.16G", v.number());
  return std::strtod(text, nullptr);
}

Cells valuesOf(const formats::SheetData& s) {
  Cells out;
  for (const auto& c : s.cells)
    if (!c.value.isEmpty()) out[{c.row, c.col}] = asSaved(c.value);
  return out;
}

std::string where(const formats::SheetData& s, const Cells& a, const Cells& b) {
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static const char* const kExtensions[] = {".xlsx", ".xls", ".csv"};
  const char* ext = kExtensions[data[0] % 3];
  const std::string path = fuzz::writeFile(fuzz::scratchDir() / (std::string("book") + ext),
                                           fuzz::bytes(data + 1, size - 1));
  formats::WorkbookData wb;
  try {
    wb = formats::loadWorkbookFile(path);
  } catch (const formats::FileError& e) {
    using Kind = formats::FileError::Kind;
    FUZZ_CHECK(e.kind() == Kind::Malformed || e.kind() == Kind::Missing, e.what());
    FUZZ_CHECK(!e.problem().empty(), e.what());
    return 0;
  }
  FUZZ_CHECK(!wb.sheets.empty(), ext);
  FUZZ_CHECK(wb.activeSheet >= 1 && wb.activeSheet <= static_cast<long>(wb.sheets.size()), ext);

  const std::string copy = (fuzz::scratchDir() / "again.xlsx").string();
  try {
    formats::saveXlsx(wb, copy);
  } catch (const formats::FileError& e) {
    fuzz::broken("a workbook that was read saves again", std::string(ext) + ": " + e.what());
  }
  formats::WorkbookData back;
  try {
    back = formats::loadWorkbookFile(copy);
  } catch (const formats::FileError& e) {
    fuzz::broken("a saved workbook reads back", std::string(ext) + ": " + e.what());
  }
  FUZZ_CHECK(back.sheets.size() == wb.sheets.size(), ext);
  for (size_t s = 0; s < wb.sheets.size(); ++s) {
    FUZZ_CHECK(back.sheets[s].name == wb.sheets[s].name, "\"" + wb.sheets[s].name + "\" became \"" +
                                                                 back.sheets[s].name + "\"");
    const Cells a = valuesOf(wb.sheets[s]), b = valuesOf(back.sheets[s]);
    if (a != b) fuzz::broken("the values survive a save", std::string(ext) + ": " + where(wb.sheets[s], a, b));
  }
  FUZZ_CHECK(back.activeSheet == wb.activeSheet, ext);
  return 0;
}
