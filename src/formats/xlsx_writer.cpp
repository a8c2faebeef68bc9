// Writing an .xlsx workbook. The package's small parts are written as text; each sheet
// is streamed from the source row by row into XML pieces, and a large workbook's sheets
// are written side by side and their pieces deflated on several threads while the next
// rows are formatted; the file is written through a temporary file beside the target
// and renamed over it, so a failed save leaves the old file.
#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <deque>
#include <filesystem>
#include <future>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <unordered_map>

#include "formats/sheet_names.h"
#include "formats/workbook_file_parts.h"
#include "formats/workbook_stream.h"
#include "formats/xlsx_styles.h"
#include "formats/zip_writer.h"
#include "platform/files.h"
#include "vb/utf8.h"

namespace formats {

using platform::xl::Area;
using platform::xl::Edge;
using platform::xl::kNoFill;
using platform::xl::Style;

namespace {

namespace fs = std::filesystem;

// The cells (as the sheets' extents count them) from which the sheets are written side by side.
constexpr double kCellsWorthThreads = 16384;

constexpr std::string_view kXmlHead = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
constexpr std::string_view kMainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr std::string_view kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

std::string quoted(const std::string& path) { return "\xE2\x80\x9C" + path + "\xE2\x80\x9D"; }

[[noreturn]] void cannotWrite(const std::string& path, const std::string& why) {
  throw FileError(FileError::Kind::Unwritable, path, "", why,
                  "The workbook cannot be saved as " + quoted(path) + ": " + why);
}

// A number as the file holds it: 16 significant digits, as printf's "%.16G" writes them.
void appendNumber(std::string& out, double d) {
  char buf[40];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::general, 16);
  for (char* p = buf; p != end; ++p)
    if (*p == 'e') *p = 'E';
  out.append(buf, end);
}

void appendWhole(std::string& out, unsigned long n) {
  char buf[24];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, n);
  out.append(buf, end);
}

void appendCellName(std::string& out, long row, long col) {
  char letters[4];
  int n = 0;
  for (long c = col; c > 0; c = (c - 1) / 26) letters[n++] = static_cast<char>('A' + (c - 1) % 26);
  while (n > 0) out += letters[--n];
  appendWhole(out, static_cast<unsigned long>(row));
}

std::string areaName(const Area& a) {
  std::string s;
  appendCellName(s, a.r1, a.c1);
  if (a.count() > 1) {
    s += ':';
    appendCellName(s, a.r2, a.c2);
  }
  return s;
}

// Text for an attribute or an element: the five characters XML reserves escaped.
void appendEscaped(std::string& out, std::string_view text) {
  size_t from = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char* entity = nullptr;
    switch (text[i]) {
      case '&': entity = "&amp;"; break;
      case '<': entity = "&lt;"; break;
      case '>': entity = "&gt;"; break;
      case '"': entity = "&quot;"; break;
      default: continue;
    }
    out.append(text, from, i - from);
    out += entity;
    from = i + 1;
  }
  out.append(text, from, std::string_view::npos);
}

std::string escaped(std::string_view text) {
  std::string s;
  appendEscaped(s, text);
  return s;
}

bool isHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool isBlank(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

void appendHexEscape(std::string& out, unsigned code) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += "_x";
  for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(code >> shift) & 0xF];
  out += '_';
}

// A cell's text as the package holds it, cut to the characters a cell holds. Characters
// that XML cannot hold are written as "_xHHHH_" (NUL, the other control characters but
// tab and line feed, U+FFFE and U+FFFF), and the underscore of a text's own "_xHHHH" is
// written "_x005F_", so the text reads back unchanged. NUL, U+FFFE, U+FFFF and such an
// underscore count with the length of their escape against the limit, as the writer
// library this replaces counted them; files cut at the same place as before.
// True when the text needed such an escape.
bool appendCellText(std::string& out, std::string_view text, bool& preserve) {
  bool escapes = false;
  size_t budget = static_cast<size_t>(platform::xl::kMaxCellChars);
  const size_t start = out.size();
  size_t lastByte = 0;
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const size_t n = vb::utf8CharBytes(text, i);
    size_t cost = 1;
    if (c == 0 || (n == 3 && c == 0xEF && text[i + 1] == '\xBF' && (text[i + 2] == '\xBE' || text[i + 2] == '\xBF')) ||
        (c == '_' && i + 6 <= text.size() && text[i + 1] == 'x' && isHex(text[i + 2]) && isHex(text[i + 3]) &&
         isHex(text[i + 4]) && isHex(text[i + 5])))
      cost = 7;
    if (cost > budget) break;
    budget -= cost;
    if (c == '_' && cost == 7) appendHexEscape(out, '_'), escapes = true;
    else if (n == 3 && cost == 7) appendHexEscape(out, text[i + 2] == '\xBE' ? 0xFFFE : 0xFFFF), escapes = true;
    else if (c < 0x20 && c != '\t' && c != '\n') appendHexEscape(out, c), escapes = true;
    else if (c == '&') out += "&amp;";
    else if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else out.append(text, i, n);
    lastByte = c;
    if (i == 0) preserve = isBlank(c);
    i += n;
  }
  if (out.size() > start && isBlank(static_cast<unsigned char>(lastByte))) preserve = true;
  return escapes;
}

const char* errorFormula(int code, std::string& text) {
  text = errorText(code);
  return text == "#N/A" ? "NA()" : text.c_str();
}

bool insideSheet(const Area& a) {
  return a.r1 >= 1 && a.c1 >= 1 && a.r2 >= a.r1 && a.c2 >= a.c1 && a.r2 <= platform::xl::kMaxRows &&
         a.c2 <= platform::xl::kMaxCols;
}

// The cells a merged range covers but its top-left one: their values are not written
// (the merge shows the top-left value only), their looks are.
class MergeCover {
 public:
  explicit MergeCover(std::vector<Area> merges) : merges_(std::move(merges)) {
    std::stable_sort(merges_.begin(), merges_.end(), [](const Area& a, const Area& b) { return a.r1 < b.r1; });
  }
  void moveTo(long row) {
    bool changed = false;
    while (next_ < merges_.size() && merges_[next_].r1 <= row) {
      active_.push_back(merges_[next_++]);
      changed = true;
    }
    const size_t before = active_.size();
    active_.erase(std::remove_if(active_.begin(), active_.end(), [row](const Area& m) { return m.r2 < row; }),
                  active_.end());
    if (changed || active_.size() != before)
      std::sort(active_.begin(), active_.end(), [](const Area& a, const Area& b) { return a.c1 < b.c1; });
    row_ = row;
  }
  bool hidesValue(long col) const {
    if (active_.empty()) return false;
    auto it = std::upper_bound(active_.begin(), active_.end(), col, [](long c, const Area& m) { return c < m.c1; });
    while (it != active_.begin()) {
      --it;
      if (it->c2 >= col) return !(row_ == it->r1 && col == it->c1);
      if (it->c1 + (platform::xl::kMaxCols) < col) break;
    }
    return false;
  }

 private:
  std::vector<Area> merges_;
  size_t next_ = 0;
  std::vector<Area> active_;  // the merges over the current row, by first column
  long row_ = 0;
};

// The texts that hold characters written as "_xHHHH_" escapes. A cell's text is written
// into the cell itself (inline), but every reader decodes escapes in the shared strings,
// and not every one does so in a cell, so such a text goes into the shared strings.
class SharedStrings {
 public:
  uint32_t id(std::string_view text) {
    std::lock_guard<std::mutex> hold(mutex_);
    texts_.emplace_back(text);
    return static_cast<uint32_t>(texts_.size() - 1);
  }
  // The part that holds them, written in pieces.
  void writeTo(ZipWriter::Part& part) const {
    std::string& out = part.buffer();
    out += kXmlHead;
    out += "<sst xmlns=\"";
    out += kMainNs;
    out += "\" count=\"";
    appendWhole(out, texts_.size());
    out += "\" uniqueCount=\"";
    appendWhole(out, texts_.size());
    out += "\">";
    for (const std::string& text : texts_) {
      out += "<si><t>";
      const size_t start = out.size();
      bool preserve = false;
      appendCellText(out, text, preserve);
      if (preserve) out.insert(start - 1, " xml:space=\"preserve\"");
      out += "</t></si>";
      if (out.size() >= kZipPieceBytes) part.flush();
    }
    out += "</sst>";
    part.flush();
  }
 private:
  std::mutex mutex_;
  std::deque<std::string> texts_;
};

// One sheet's XML, streamed into its part of the package.
class SheetWriter final : public RowSink {
 public:
  SheetWriter(ZipWriter::Part& part, const std::vector<Area>& merges, SharedStrings& strings, const std::string& path)
      : part_(part), cover_(merges), strings_(strings), path_(path) {}

  void row(long r, std::span<const CellOut> cells) override {
    if (r < 1 || r > platform::xl::kMaxRows)
      cannotWrite(path_, "cell row " + std::to_string(r) + " lies beyond the sheet's last row");
    cover_.moveTo(r);
    std::string& out = part_.buffer();
    const size_t rowStart = out.size();
    out += "<row r=\"";
    appendWhole(out, static_cast<unsigned long>(r));
    out += "\">";
    bool any = false;
    for (const CellOut& c : cells) {
      if (c.col < 1 || c.col > platform::xl::kMaxCols)
        cannotWrite(path_, "cell row " + std::to_string(r) + " column " + std::to_string(c.col) +
                               " lies beyond the sheet's last column");
      any |= cell(out, r, c);
    }
    if (any) out += "</row>";
    else out.resize(rowStart);  // a row of empty cells without looks is no row of the file
    if (out.size() >= kZipPieceBytes) part_.flush();
  }

 private:
  // Writes the cell; false when it is empty and has the default look, so the file has no cell.
  bool cell(std::string& out, long r, const CellOut& c) {
    const ValueView v = cover_.hidesValue(c.col) ? ValueView{} : c.value;
    using T = vb::Variant::Type;
    const bool emptyText = v.type == T::Text && v.text.empty();
    if ((v.isEmpty() || emptyText) && c.style == 0) return false;
    out += "<c r=\"";
    appendCellName(out, r, c.col);
    out += '"';
    if (c.style != 0) {
      out += " s=\"";
      appendWhole(out, c.style);
      out += '"';
    }
    std::string errorName;
    switch (v.type) {
      case T::Empty: out += "/>"; break;
      case T::Number:
        if (std::isfinite(v.number)) {
          out += "><v>";
          appendNumber(out, v.number);
          out += "</v></c>";
        } else {
          out += " t=\"str\"><f>#NUM!</f><v>#NUM!</v></c>";
        }
        break;
      case T::Text: {
        if (emptyText) {
          out += "/>";
          break;
        }
        const std::string repaired = vb::isAscii(v.text) || vb::isValidUtf8(v.text) ? std::string()
                                                                                  : vb::sanitizeUtf8(v.text);
        const std::string_view text = repaired.empty() ? v.text : std::string_view(repaired);
        const size_t typeAt = out.size();
        out += " t=\"inlineStr\"><is><t>";
        const size_t textStart = out.size();
        bool preserve = false;
        if (appendCellText(out, text, preserve)) {
          // The text goes into the shared strings; the cell refers to it.
          out.resize(typeAt);
          out += " t=\"s\"><v>";
          appendWhole(out, strings_.id(text));
          out += "</v></c>";
          break;
        }
        if (preserve) out.insert(textStart - 1, " xml:space=\"preserve\"");
        out += "</t></is></c>";
        break;
      }
      case T::Boolean: out += v.boolean ? " t=\"b\"><v>1</v></c>" : " t=\"b\"><v>0</v></c>"; break;
      case T::Error: {
        // A formula that gives the error, with the error as its value: an error cell that
        // every reader shows.
        const char* formula = errorFormula(v.error, errorName);
        out += " t=\"str\"><f>";
        out += formula;
        out += "</f><v>";
        out += errorName;
        out += "</v></c>";
        break;
      }
    }
    return true;
  }

  ZipWriter::Part& part_;
  MergeCover cover_;
  SharedStrings& strings_;
  const std::string& path_;
};

// The stored width of a column: the characters plus the cell padding, in whole pixels
// of the default font (7 a character, 5 of padding), as the spreadsheet stores it.
double storedWidth(double chars) {
  constexpr double kDigit = 7, kPadding = 5;
  if (chars <= 0) return 0;
  const double pixels = chars < 1 ? std::floor(chars * (kDigit + kPadding) + 0.5)
                                  : std::floor(chars * kDigit + 0.5) + kPadding;
  return std::floor(std::min(pixels, 65535.0) / kDigit * 256) / 256;
}

constexpr double kDefaultWidth = 8.43;

std::string sheetXml(const SheetFrame& f, bool active) {
  std::string s(kXmlHead);
  s += "<worksheet xmlns=\"";
  s += kMainNs;
  s += "\" xmlns:r=\"";
  s += kRelNs;
  s += "\"><dimension ref=\"";
  s += f.extent && insideSheet(*f.extent) ? areaName(*f.extent) : std::string("A1");
  s += "\"/><sheetViews><sheetView ";
  if (active) s += "tabSelected=\"1\" ";
  s += "workbookViewId=\"0\"/></sheetViews><sheetFormatPr defaultRowHeight=\"15\"/>";
  bool anyWidth = false;
  for (const ColumnWidth& w : f.widths) {
    if (w.first < 1 || w.last > platform::xl::kMaxCols || w.first > w.last || !std::isfinite(w.width) || w.width < 0)
      continue;
    s += anyWidth ? "" : "<cols>";
    anyWidth = true;
    s += "<col min=\"";
    appendWhole(s, static_cast<unsigned long>(w.first));
    s += "\" max=\"";
    appendWhole(s, static_cast<unsigned long>(w.last));
    s += "\" width=\"";
    appendNumber(s, storedWidth(w.width));
    s += w.width == kDefaultWidth ? "\"/>" : "\" customWidth=\"1\"/>";
  }
  if (anyWidth) s += "</cols>";
  s += "<sheetData>";
  return s;
}

std::string sheetTail(const SheetFrame& f) {
  std::string s = "</sheetData>";
  if (f.filter && insideSheet(*f.filter)) s += "<autoFilter ref=\"" + areaName(*f.filter) + "\"/>";
  std::vector<const Area*> merges;
  for (const Area& m : f.merges)
    if (insideSheet(m) && m.count() >= 2) merges.push_back(&m);
  if (!merges.empty()) {
    s += "<mergeCells count=\"" + std::to_string(merges.size()) + "\">";
    for (const Area* m : merges) s += "<mergeCell ref=\"" + areaName(*m) + "\"/>";
    s += "</mergeCells>";
  }
  s += "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/>"
       "</worksheet>";
  return s;
}

// The RGB of a colour of a look, as the file writes it ("FF" alpha first).
std::string argb(long colour) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const uint32_t rgb = rgbColour(colour);
  std::string s = "FF";
  for (int shift = 20; shift >= 0; shift -= 4) s += kHex[(rgb >> shift) & 0xF];
  return s;
}

bool hasEdge(const Edge& e) { return e.lineStyle != -4142 && (e.lineStyle != 0 || e.weight != 0); }

// A table of distinct texts of one kind (fonts, fills, borders), by first appearance.
class Interned {
 public:
  explicit Interned(std::vector<std::string> fixed) : items_(std::move(fixed)) {
    for (size_t i = 0; i < items_.size(); ++i) ids_.emplace(items_[i], i);
  }
  size_t id(const std::string& item) {
    auto [it, added] = ids_.emplace(item, items_.size());
    if (added) items_.push_back(item);
    return it->second;
  }
  const std::vector<std::string>& items() const { return items_; }

 private:
  std::vector<std::string> items_;
  std::unordered_map<std::string, size_t> ids_;
};

std::string fontXml(const Style& s) {
  std::string f = "<font>";
  if (s.bold) f += "<b/>";
  f += "<sz val=\"";
  appendNumber(f, s.fontSize > 0 ? s.fontSize : 11);
  f += "\"/>";
  if (s.fontColor != 0) f += "<color rgb=\"" + argb(s.fontColor) + "\"/>";
  f += "<name val=\"Calibri\"/><family val=\"2\"/></font>";
  return f;
}

std::string fillXml(long fill) {
  return "<fill><patternFill patternType=\"solid\"><fgColor rgb=\"" + argb(fill) +
         "\"/><bgColor indexed=\"64\"/></patternFill></fill>";
}

std::string borderXml(const Style& s) {
  std::string b = "<border>";
  for (const auto& [name, edge] : {std::pair<const char*, const Edge*>{"left", &s.left},
                                   {"right", &s.right},
                                   {"top", &s.top},
                                   {"bottom", &s.bottom}}) {
    if (!hasEdge(*edge)) {
      b += std::string("<") + name + "/>";
      continue;
    }
    b += std::string("<") + name + " style=\"thin\">";
    if (edge->colorIndex >= 1 && edge->colorIndex <= 56)
      b += "<color rgb=\"" + argb(styleColour(paletteColour(edge->colorIndex + 7))) + "\"/>";
    else
      b += "<color auto=\"1\"/>";
    b += std::string("</") + name + ">";
  }
  return b + "<diagonal/></border>";
}

// The styles part: number formats, fonts, fills, borders and one cell format a look.
std::string stylesXml(const std::vector<Style>& looks) {
  std::vector<std::pair<int, std::string>> customFormats;
  std::map<std::string, int> customIds;
  Interned fonts({fontXml(Style{})});
  Interned fills({"<fill><patternFill patternType=\"none\"/></fill>", "<fill><patternFill patternType=\"gray125\"/></fill>"});
  Interned borders({"<border><left/><right/><top/><bottom/><diagonal/></border>"});
  std::string xfs;
  for (size_t i = 0; i < looks.size(); ++i) {
    const Style& s = i == 0 ? Style{} : looks[i];
    int format = 0;
    if (auto id = builtInNumberFormatId(s.numberFormat)) {
      format = *id;
    } else if (s.numberFormat != "General" && !s.numberFormat.empty()) {
      auto [it, added] = customIds.emplace(s.numberFormat, 164 + static_cast<int>(customIds.size()));
      if (added) customFormats.emplace_back(it->second, s.numberFormat);
      format = it->second;
    }
    const size_t font = fonts.id(fontXml(s));
    const size_t fill = s.fill == kNoFill ? 0 : fills.id(fillXml(s.fill));
    const size_t border = borders.id(borderXml(s));
    xfs += "<xf numFmtId=\"" + std::to_string(format) + "\" fontId=\"" + std::to_string(font) + "\" fillId=\"" +
           std::to_string(fill) + "\" borderId=\"" + std::to_string(border) + "\" xfId=\"0\"";
    if (format != 0) xfs += " applyNumberFormat=\"1\"";
    if (font != 0) xfs += " applyFont=\"1\"";
    if (fill != 0) xfs += " applyFill=\"1\"";
    if (border != 0) xfs += " applyBorder=\"1\"";
    xfs += s.wrap ? " applyAlignment=\"1\"><alignment wrapText=\"1\"/></xf>" : "/>";
  }
  std::string out(kXmlHead);
  out += "<styleSheet xmlns=\"";
  out += kMainNs;
  out += "\">";
  if (!customFormats.empty()) {
    out += "<numFmts count=\"" + std::to_string(customFormats.size()) + "\">";
    for (const auto& [id, code] : customFormats)
      out += "<numFmt numFmtId=\"" + std::to_string(id) + "\" formatCode=\"" + escaped(code) + "\"/>";
    out += "</numFmts>";
  }
  auto list = [&out](const char* name, const Interned& items) {
    out += std::string("<") + name + " count=\"" + std::to_string(items.items().size()) + "\">";
    for (const std::string& item : items.items()) out += item;
    out += std::string("</") + name + ">";
  };
  list("fonts", fonts);
  list("fills", fills);
  list("borders", borders);
  out += "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>";
  out += "<cellXfs count=\"" + std::to_string(std::max<size_t>(looks.size(), 1)) + "\">" + xfs + "</cellXfs>";
  out += "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
         "<dxfs count=\"0\"/><tableStyles count=\"0\" defaultTableStyle=\"TableStyleMedium9\" "
         "defaultPivotStyle=\"PivotStyleLight16\"/></styleSheet>";
  return out;
}

// A sheet name in a formula: always quoted, an apostrophe doubled.
std::string sheetReference(const std::string& name) {
  std::string s = "'";
  for (char c : name) {
    if (c == '\'') s += '\'';
    s += c;
  }
  return s + "'";
}

std::string workbookXml(const std::vector<SheetFrame>& frames, size_t active) {
  std::string s(kXmlHead);
  s += "<workbook xmlns=\"";
  s += kMainNs;
  s += "\" xmlns:r=\"";
  s += kRelNs;
  s += "\"><workbookPr/><bookViews><workbookView xWindow=\"240\" yWindow=\"15\" windowWidth=\"16095\" "
       "windowHeight=\"9660\"";
  if (active != 0) s += " activeTab=\"" + std::to_string(active) + "\"";
  s += "/></bookViews><sheets>";
  for (size_t i = 0; i < frames.size(); ++i)
    s += "<sheet name=\"" + escaped(frames[i].name) + "\" sheetId=\"" + std::to_string(i + 1) + "\" r:id=\"rId" +
         std::to_string(i + 1) + "\"/>";
  s += "</sheets>";
  std::string names;
  for (size_t i = 0; i < frames.size(); ++i) {
    const auto& f = frames[i].filter;
    if (!f || !insideSheet(*f)) continue;
    names += "<definedName name=\"_xlnm._FilterDatabase\" localSheetId=\"" + std::to_string(i) + "\" hidden=\"1\">" +
             escaped(sheetReference(frames[i].name) + "!" + platform::xl::addressText(*f)) + "</definedName>";
  }
  if (!names.empty()) s += "<definedNames>" + names + "</definedNames>";
  s += "<calcPr calcId=\"124519\" fullCalcOnLoad=\"1\"/></workbook>";
  return s;
}

std::string workbookRels(size_t sheets) {
  std::string s(kXmlHead);
  s += "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
  for (size_t i = 1; i <= sheets; ++i)
    s += "<Relationship Id=\"rId" + std::to_string(i) + "\" Type=\"" + std::string(kRelNs) +
         "/worksheet\" Target=\"worksheets/sheet" + std::to_string(i) + ".xml\"/>";
  s += "<Relationship Id=\"rId" + std::to_string(sheets + 1) + "\" Type=\"" + std::string(kRelNs) +
       "/styles\" Target=\"styles.xml\"/>";
  s += "<Relationship Id=\"rId" + std::to_string(sheets + 2) + "\" Type=\"" + std::string(kRelNs) +
         "/sharedStrings\" Target=\"sharedStrings.xml\"/>";
  s += "</Relationships>";
  return s;
}

std::string packageRels() {
  std::string s(kXmlHead);
  s += "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
       "<Relationship Id=\"rId1\" Type=\"";
  s += kRelNs;
  s += "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";
  return s;
}

std::string contentTypes(size_t sheets) {
  std::string s(kXmlHead);
  s += "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
       "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
       "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
       "<Override PartName=\"/xl/workbook.xml\" "
       "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
       "<Override PartName=\"/xl/styles.xml\" "
       "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>";
  for (size_t i = 1; i <= sheets; ++i)
    s += "<Override PartName=\"/xl/worksheets/sheet" + std::to_string(i) +
         ".xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>";
  s += "<Override PartName=\"/xl/sharedStrings.xml\" "
         "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>";
  s += "</Types>";
  return s;
}

// The whole package as the bytes of the file.
std::string package(WorkbookSource& source, const std::string& path) {
  ZipWriter zip;
  const size_t count = source.sheetCount();
  std::vector<SheetFrame> frames;
  std::vector<std::string> seen;
  for (size_t i = 0; i < count; ++i) {
    SheetFrame f = source.frame(i);
    f.name = vb::sanitizeUtf8(f.name);
    std::string problem = sheetNameProblem(f.name);
    for (const std::string& other : seen)
      if (problem.empty() && sameSheetName(other, f.name)) problem = "it is used twice";
    if (!problem.empty()) cannotWrite(path, "the sheet name \"" + f.name + "\" cannot be used: " + problem);
    seen.push_back(f.name);
    frames.push_back(std::move(f));
  }
  const size_t active = count == 0 ? 0 : std::min(source.activeSheet(), count - 1);
  // The parts in the order the spreadsheet programs write them: the content types first.
  zip.add("[Content_Types].xml", contentTypes(count));
  zip.add("_rels/.rels", packageRels());
  zip.add("xl/workbook.xml", workbookXml(frames, active));
  zip.add("xl/_rels/workbook.xml.rels", workbookRels(count));
  SharedStrings strings;
  std::vector<ZipWriter::Part*> parts;
  for (size_t i = 0; i < count; ++i) parts.push_back(&zip.part("xl/worksheets/sheet" + std::to_string(i + 1) + ".xml"));
  // The sheets are written side by side, each by one thread, a sheet at a time.
  std::atomic<size_t> next{0};
  auto writeSheets = [&] {
    for (size_t i; (i = next++) < count;) {
      ZipWriter::Part& part = *parts[i];
      part.buffer() = sheetXml(frames[i], i == active);
      SheetWriter rows(part, frames[i].merges, strings, path);
      source.rows(i, rows);
      part.buffer() += sheetTail(frames[i]);
      part.flush();
    }
  };
  // A workbook of few cells is written on this thread alone: a thread costs more to start
  // than it saves there.
  double cells = 0;
  for (const SheetFrame& f : frames)
    if (f.extent) cells += static_cast<double>(f.extent->rows()) * static_cast<double>(f.extent->cols());
  const size_t threads = cells < kCellsWorthThreads
                             ? 1
                             : std::min<size_t>(count, std::max(1u, std::thread::hardware_concurrency() / 2));
  std::vector<std::future<void>> workers;
  for (size_t t = 1; t < threads; ++t) {
    try {
      workers.push_back(std::async(std::launch::async, writeSheets));
    } catch (const std::system_error&) {
      break;  // no thread to spare: this one writes the rest
    }
  }
  std::exception_ptr failure;
  try {
    writeSheets();
  } catch (...) {
    failure = std::current_exception();
    next = count;
  }
  for (auto& w : workers) {
    try {
      w.get();
    } catch (...) {
      if (!failure) failure = std::current_exception();
    }
  }
  if (failure) std::rethrow_exception(failure);
  strings.writeTo(zip.part("xl/sharedStrings.xml"));
  zip.add("xl/styles.xml", stylesXml(source.styles()));
  try {
    return zip.finish();
  } catch (const std::length_error& e) {
    cannotWrite(path, e.what());
  }
}

}  // namespace

void saveXlsx(WorkbookSource& source, const std::string& path) {
  const fs::path target = platform::pathOf(path);
  std::error_code dirError;
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  if (!fs::is_directory(folder, dirError)) cannotWrite(path, "the folder does not exist");
  std::string bytes = package(source, path);
  if (auto failed = platform::replaceFile(path, bytes)) cannotWrite(path, *failed);
}

}  // namespace formats
