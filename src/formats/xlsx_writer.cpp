// Writing an .xlsx workbook with libxlsxwriter. The file is written beside the target
// under a temporary name and renamed over it, so a failed save leaves the old file.
#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <numeric>
#include <unordered_map>

#include "formats/workbook_file_parts.h"
#include "formats/xlsx_styles.h"
#include "platform/files.h"
#include "vb/utf8.h"

namespace formats {

using platform::xl::Area;
using platform::xl::Edge;
using platform::xl::kNoFill;
using platform::xl::Style;

namespace {

namespace fs = std::filesystem;

constexpr size_t kMaxTextChars = 32767;  // the longest text a cell holds

std::string quoted(const std::string& path) { return "\xE2\x80\x9C" + path + "\xE2\x80\x9D"; }

[[noreturn]] void cannotWrite(const std::string& path, const std::string& why) {
  throw FileError(FileError::Kind::Unwritable, path, "", why,
                  "The workbook cannot be saved as " + quoted(path) + ": " + why);
}

struct StyleHash {
  size_t operator()(const Style& s) const {
    size_t h = std::hash<std::string>()(s.numberFormat);
    auto mix = [&h](size_t v) { h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2); };
    mix(std::hash<double>()(s.fontSize));
    mix(static_cast<size_t>(s.fontColor));
    mix(static_cast<size_t>(s.fill));
    mix((s.bold ? 1u : 0u) | (s.wrap ? 2u : 0u));
    for (const Edge* e : {&s.left, &s.top, &s.right, &s.bottom})
      mix(static_cast<size_t>(e->lineStyle * 31 + e->weight * 7 + e->colorIndex));
    return h;
  }
};

lxw_color_t lxwColour(long colour) {
  uint32_t rgb = rgbColour(colour);
  return rgb == 0 ? lxw_color_t{LXW_COLOR_BLACK} : rgb;  // 0 means "no colour" to libxlsxwriter
}

// A cell's text as the package holds it. Characters that XML cannot hold are written as
// "_xHHHH_": libxlsxwriter does that for control characters, but a NUL would end its C
// string and it passes U+FFFE and U+FFFF on, so those are escaped here. A text that
// itself holds "_xHHHH" gets its underscore escaped, so it reads back unchanged; also
// without a closing "_" of its own, since an escape that follows would supply one.
// The text is cut to kMaxTextChars characters as libxlsxwriter counts them (our own
// escapes with their length, since it refuses a longer text).
std::string packageText(std::string_view text) {
  auto isHex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); };
  std::string out;
  out.reserve(text.size() + 8);
  size_t budget = kMaxTextChars;
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const size_t n = vb::utf8CharBytes(text, i);
    std::string_view piece = text.substr(i, n);
    std::string escaped;
    if (c == 0) {
      escaped = "_x0000_";
    } else if (piece == "\xEF\xBF\xBE" || piece == "\xEF\xBF\xBF") {  // U+FFFE, U+FFFF: no XML characters
      escaped = piece[2] == '\xBE' ? "_xFFFE_" : "_xFFFF_";
    } else if (text.compare(i, 2, "_x") == 0 && i + 6 <= text.size() && isHex(text[i + 2]) &&
               isHex(text[i + 3]) && isHex(text[i + 4]) && isHex(text[i + 5])) {
      escaped = "_x005F_";
    }
    const size_t cost = escaped.empty() ? 1 : escaped.size();
    if (cost > budget) break;
    budget -= cost;
    out += escaped.empty() ? piece : std::string_view(escaped);
    i += n;
  }
  return out;
}

bool hasEdge(const Edge& e) { return e.lineStyle != -4142 && (e.lineStyle != 0 || e.weight != 0); }

// One format per distinct look: libxlsxwriter keeps every format it is given.
class FormatCache {
 public:
  explicit FormatCache(lxw_workbook* wb) : wb_(wb) {}
  lxw_format* get(const Style& s) {
    if (s == Style{}) return nullptr;
    auto it = cache_.find(s);
    if (it != cache_.end()) return it->second;
    lxw_format* f = make(s);
    cache_.emplace(s, f);
    return f;
  }

 private:
  lxw_format* make(const Style& s) {
    lxw_format* f = workbook_add_format(wb_);
    if (auto id = builtInNumberFormatId(s.numberFormat)) format_set_num_format_index(f, static_cast<uint8_t>(*id));
    else if (s.numberFormat != "General" && !s.numberFormat.empty()) format_set_num_format(f, s.numberFormat.c_str());
    if (s.bold) format_set_bold(f);
    if (s.fontSize > 0 && s.fontSize != 11) format_set_font_size(f, s.fontSize);
    if (s.fontColor != 0) format_set_font_color(f, lxwColour(s.fontColor));
    if (s.fill != kNoFill) {
      format_set_pattern(f, LXW_PATTERN_SOLID);
      format_set_bg_color(f, lxwColour(s.fill));
    }
    if (s.wrap) format_set_text_wrap(f);
    struct Side {
      const Edge& edge;
      void (*style)(lxw_format*, uint8_t);
      void (*colour)(lxw_format*, lxw_color_t);
    };
    for (const Side& side : {Side{s.left, format_set_left, format_set_left_color},
                             Side{s.top, format_set_top, format_set_top_color},
                             Side{s.right, format_set_right, format_set_right_color},
                             Side{s.bottom, format_set_bottom, format_set_bottom_color}}) {
      if (!hasEdge(side.edge)) continue;
      side.style(f, LXW_BORDER_THIN);
      if (side.edge.colorIndex >= 1 && side.edge.colorIndex <= 56) {
        uint32_t rgb = paletteColour(side.edge.colorIndex + 7);
        side.colour(f, rgb == 0 ? lxw_color_t{LXW_COLOR_BLACK} : rgb);
      }
    }
    return f;
  }

  lxw_workbook* wb_;
  std::unordered_map<Style, lxw_format*, StyleHash> cache_;
};

// Remembers the first failure of a libxlsxwriter call.
struct Status {
  std::string problem;
  void check(lxw_error e, const std::string& what) {
    if (e != LXW_NO_ERROR && problem.empty()) problem = what + ": " + lxw_strerror(e);
  }
};

std::string cellName(long row, long col) { return platform::xl::columnLetters(col) + std::to_string(row); }

void writeValue(lxw_worksheet* ws, const CellData& c, lxw_format* fmt, Status& st) {
  const auto row = static_cast<lxw_row_t>(c.row - 1);
  const auto col = static_cast<lxw_col_t>(c.col - 1);
  const vb::Variant& v = c.value;
  lxw_error e = LXW_NO_ERROR;
  switch (v.type()) {
    case vb::Variant::Type::Empty:
      if (fmt) e = worksheet_write_blank(ws, row, col, fmt);
      break;
    case vb::Variant::Type::Number:
      if (std::isfinite(v.number())) e = worksheet_write_number(ws, row, col, v.number(), fmt);
      else e = worksheet_write_formula_str(ws, row, col, "=#NUM!", fmt, "#NUM!");
      break;
    case vb::Variant::Type::Text:
      if (v.text().empty()) {
        if (fmt) e = worksheet_write_blank(ws, row, col, fmt);
      } else {
        std::string text = packageText(vb::sanitizeUtf8(v.text()));
        e = worksheet_write_string(ws, row, col, text.c_str(), fmt);
      }
      break;
    case vb::Variant::Type::Boolean:
      e = worksheet_write_boolean(ws, row, col, v.boolean() ? 1 : 0, fmt);
      break;
    case vb::Variant::Type::Error: {
      // libxlsxwriter writes no error cells; a formula that gives the error does.
      std::string text = errorText(v.error().code);
      std::string formula = text == "#N/A" ? "=NA()" : "=" + text;
      e = worksheet_write_formula_str(ws, row, col, formula.c_str(), fmt, text.c_str());
      break;
    }
  }
  st.check(e, "cell " + cellName(c.row, c.col));
}

bool insideSheet(const Area& a) {
  return a.r1 >= 1 && a.c1 >= 1 && a.r2 >= a.r1 && a.c2 >= a.c1 && a.r2 <= platform::xl::kMaxRows &&
         a.c2 <= platform::xl::kMaxCols;
}

void writeSheet(lxw_worksheet* ws, const SheetData& sheet, FormatCache& formats, Status& st) {
  // Cells in row order, so the cells of a merged range are found by binary search.
  std::vector<size_t> order(sheet.cells.size());
  std::iota(order.begin(), order.end(), size_t{0});
  auto key = [&](size_t i) { return std::pair(sheet.cells[i].row, sheet.cells[i].col); };
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return key(a) < key(b); });

  std::vector<bool> written(sheet.cells.size(), false);
  for (const Area& m : sheet.merges) {
    if (!insideSheet(m) || m.count() < 2) continue;
    st.check(worksheet_merge_range(ws, static_cast<lxw_row_t>(m.r1 - 1), static_cast<lxw_col_t>(m.c1 - 1),
                                   static_cast<lxw_row_t>(m.r2 - 1), static_cast<lxw_col_t>(m.c2 - 1), "", nullptr),
             "merged range " + platform::xl::addressText(m));
    // The merge keeps the top-left value; every cell keeps its own look.
    auto it = std::lower_bound(order.begin(), order.end(), std::pair(m.r1, m.c1),
                               [&](size_t i, const std::pair<long, long>& k) { return key(i) < k; });
    for (; it != order.end() && sheet.cells[*it].row <= m.r2; ++it) {
      const CellData& c = sheet.cells[*it];
      if (c.col < m.c1 || c.col > m.c2) continue;
      written[*it] = true;
      lxw_format* fmt = formats.get(c.style);
      if (c.row == m.r1 && c.col == m.c1) writeValue(ws, c, fmt, st);
      else if (fmt) st.check(worksheet_write_blank(ws, static_cast<lxw_row_t>(c.row - 1),
                                                   static_cast<lxw_col_t>(c.col - 1), fmt),
                             "cell " + cellName(c.row, c.col));
    }
  }

  for (size_t i : order) {
    if (written[i]) continue;
    const CellData& c = sheet.cells[i];
    if (c.row < 1 || c.col < 1 || c.row > platform::xl::kMaxRows || c.col > platform::xl::kMaxCols) {
      st.check(LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE, "cell row " + std::to_string(c.row) + " column " +
                                                           std::to_string(c.col));
      continue;
    }
    writeValue(ws, c, formats.get(c.style), st);
  }

  for (const auto& [col, width] : sheet.columnWidths) {
    if (col < 1 || col > platform::xl::kMaxCols || !std::isfinite(width) || width < 0) continue;
    const auto c = static_cast<lxw_col_t>(col - 1);
    st.check(worksheet_set_column(ws, c, c, width, nullptr), "width of column " + std::to_string(col));
  }

  if (sheet.filter && insideSheet(*sheet.filter)) {
    const Area& f = *sheet.filter;
    st.check(worksheet_autofilter(ws, static_cast<lxw_row_t>(f.r1 - 1), static_cast<lxw_col_t>(f.c1 - 1),
                                  static_cast<lxw_row_t>(f.r2 - 1), static_cast<lxw_col_t>(f.c2 - 1)),
             "filter " + platform::xl::addressText(f));
  }
}

}  // namespace

void writeXlsx(const WorkbookData& data, const std::string& path) {
  const fs::path target(path);
  std::error_code dirError;
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  if (!fs::is_directory(folder, dirError)) cannotWrite(path, "the folder does not exist");

  auto failed = platform::writeThroughTemporary(path, [&](const std::string& temp) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_FALSE;  // merged ranges need the whole sheet in memory
    options.use_zip64 = LXW_FALSE;
    // Owns the workbook until workbook_close, which writes and frees it.
    std::unique_ptr<lxw_workbook, void (*)(lxw_workbook*)> book(workbook_new_opt(temp.c_str(), &options),
                                                                lxw_workbook_free);
    if (!book) cannotWrite(path, "out of memory");

    Status st;
    FormatCache formats(book.get());
    std::vector<lxw_worksheet*> sheets;
    for (const SheetData& sheet : data.sheets) {
      const std::string name = vb::sanitizeUtf8(sheet.name);
      const lxw_error valid = workbook_validate_sheet_name(book.get(), name.c_str());
      if (valid != LXW_NO_ERROR)
        cannotWrite(path, "the sheet name \"" + name + "\" cannot be used: " + lxw_strerror(valid));
      lxw_worksheet* ws = workbook_add_worksheet(book.get(), name.c_str());
      if (!ws) cannotWrite(path, "the sheet \"" + name + "\" cannot be added");
      sheets.push_back(ws);
      writeSheet(ws, sheet, formats, st);
    }
    if (!st.problem.empty()) cannotWrite(path, st.problem);
    if (data.activeSheet >= 1 && data.activeSheet <= static_cast<long>(sheets.size()))
      worksheet_activate(sheets[static_cast<size_t>(data.activeSheet - 1)]);

    const lxw_error closed = workbook_close(book.release());  // frees the workbook in every case
    if (closed != LXW_NO_ERROR) cannotWrite(path, lxw_strerror(closed));
  });
  if (failed) cannotWrite(path, *failed);
}

}  // namespace formats
