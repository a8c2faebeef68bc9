// Reading an .xlsx workbook: the workbook part (sheet names, order, active tab),
// shared strings, styles and each worksheet (cells, widths, merges, filter).
#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstring>
#include <exception>
#include <future>
#include <memory>
#include <optional>
#include <thread>

#include "formats/sheet_names.h"
#include "formats/workbook_file_parts.h"
#include "formats/xlsx_package.h"
#include "formats/xlsx_styles.h"
#include "vb/text.h"
#include "vb/utf8.h"

namespace formats {

using platform::xl::Area;
using platform::xl::kMaxCols;
using platform::xl::kMaxRows;
using platform::xl::Style;
using vb::Variant;

namespace {

// Limits that keep a hostile or broken file from exhausting memory.
constexpr size_t kMaxCells = 10'000'000;
constexpr size_t kMaxSharedStrings = 10'000'000;
// The unpacked bytes of the sheets from which they are read side by side.
constexpr uint64_t kSheetBytesWorthThreads = 1 << 20;

// A cell's or an area's reference ("A1", "$B$2:C9"); nothing when it is none or lies
// beyond the sheet's limits.
std::optional<Area> areaRef(std::string_view ref) { return platform::xl::parseA1(ref, platform::xl::A1Forms::CellsOnly); }
std::optional<Area> cellRef(std::string_view ref) {
  std::optional<Area> a = areaRef(ref);
  if (a && a->count() != 1) return std::nullopt;
  return a;
}

// Appends a piece of a text as the parser hands it, up to what a cell can hold.
void collect(std::string& text, std::string_view piece) {
  if (text.size() >= kMaxCollectedTextBytes) return;
  text.append(piece.substr(0, kMaxCollectedTextBytes - text.size()));
}

// Texts in the package escape characters that XML cannot hold as "_xHHHH_".
std::string decodeEscapes(std::string s) {
  if (s.find("_x") == std::string::npos) return s;
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    if (s.compare(i, 2, "_x") == 0 && i + 7 <= s.size() && s[i + 6] == '_') {
      uint32_t cp = 0;
      auto [p, ec] = std::from_chars(s.data() + i + 2, s.data() + i + 6, cp, 16);
      if (ec == std::errc() && p == s.data() + i + 6) {
        if (cp >= 0xD800 && cp <= 0xDFFF) cp = 0xFFFD;  // a lone surrogate is no character
        vb::appendUtf8(out, cp);
        i += 7;
        continue;
      }
    }
    out += s[i++];
  }
  return out;
}

// A text of the file as a value shows it: its escapes decoded, cut to a cell's length.
std::string textOf(std::string raw) { return cellText(decodeEscapes(std::move(raw))); }

// The package's main parts, found through its relationships.
struct WorkbookParts {
  std::string workbook, sharedStrings, styles, theme;
  std::map<std::string, Relationship> rels;  // of the workbook part
};

WorkbookParts findParts(XlsxPackage& pkg) {
  WorkbookParts p;
  for (const auto& [id, rel] : pkg.relationships(""))
    if (rel.type == "officeDocument") p.workbook = rel.target;
  if (p.workbook.empty() || !pkg.has(p.workbook)) p.workbook = "xl/workbook.xml";
  if (!pkg.has(p.workbook)) notAWorkbook(pkg.path(), "the package holds no workbook part");
  p.rels = pkg.relationships(p.workbook);
  for (const auto& [id, rel] : p.rels) {
    if (rel.type == "sharedStrings") p.sharedStrings = rel.target;
    else if (rel.type == "styles") p.styles = rel.target;
    else if (rel.type == "theme") p.theme = rel.target;
  }
  if (p.sharedStrings.empty() && pkg.has("xl/sharedStrings.xml")) p.sharedStrings = "xl/sharedStrings.xml";
  if (p.styles.empty() && pkg.has("xl/styles.xml")) p.styles = "xl/styles.xml";
  return p;
}

struct SheetEntry {
  std::string name, relId;
};

class WorkbookHandler : public XmlHandler {
 public:
  std::vector<SheetEntry> sheets;
  long activeTab = 0;
  void start(std::string_view name, const char** attrs, int) override {
    if (name == "sheet") {
      const char* n = attribute(attrs, "name");
      const char* id = attribute(attrs, "id");
      sheets.push_back(SheetEntry{n ? n : "", id ? id : ""});
    } else if (name == "workbookView" && !seenView_) {
      seenView_ = true;
      if (const char* t = attribute(attrs, "activeTab")) activeTab = std::strtol(t, nullptr, 10);
    }
  }

 private:
  bool seenView_ = false;
};

class SharedStringsHandler : public XmlHandler {
 public:
  SharedStringsHandler(const std::string& path, std::vector<std::string>& out) : path_(path), out_(out) {}
  void start(std::string_view name, const char**, int) override {
    if (name == "si") {
      if (out_.size() >= kMaxSharedStrings) notAWorkbook(path_, "it holds more shared strings than can be read");
      current_.clear();
      inItem_ = true;
    } else if (name == "rPh") {
      inPhonetic_ = true;
    } else if (name == "t" && inItem_ && !inPhonetic_) {
      inText_ = true;
    }
  }
  void end(std::string_view name, int) override {
    if (name == "t") inText_ = false;
    else if (name == "rPh") inPhonetic_ = false;
    else if (name == "si") {
      out_.push_back(textOf(std::move(current_)));
      current_ = std::string();
      inItem_ = false;
    }
  }
  void text(std::string_view s) override {
    if (inText_) collect(current_, s);
  }

 private:
  const std::string& path_;
  std::vector<std::string>& out_;
  std::string current_;
  bool inItem_ = false, inPhonetic_ = false, inText_ = false;
};

// Column widths in the file include the cell padding (5 pixels at the default font,
// 7 pixels a character); the spreadsheet reports widths in characters without it.
double characterWidth(double stored) {
  double pixels = std::floor(stored * 7 + 0.5);
  double chars = pixels < 12 ? pixels / 12 : (pixels - 5) / 7;
  return std::floor(chars * 100 + 0.5) / 100;
}

class WorksheetHandler : public XmlHandler {
 public:
  WorksheetHandler(const std::string& path, SheetSink& sink, SheetFrame& frame,
                   const std::vector<std::string>& strings, const std::vector<bool>& plain,
                   std::atomic<size_t>& cellCount)
      : path_(path), sink_(sink), frame_(frame), strings_(strings), plain_(plain), cellCount_(cellCount) {}

  // The column widths, once the sheet is read.
  std::vector<ColumnWidth> widths() const {
    std::vector<ColumnWidth> out;
    for (const auto& r : widths_.runs()) out.push_back(ColumnWidth{r.first, r.last, r.width});
    return out;
  }

  void start(std::string_view name, const char** attrs, int depth) override {
    if (depth == 4 && name == "c") startCell(attrs);
    else if (depth == 5 && inCell_) {
      if (name == "v") collecting_ = true, value_.clear(), hasValue_ = true;
      else if (name == "f") hasFormula_ = true;
      else if (name == "is") inInline_ = true, value_.clear(), hasValue_ = true;
    } else if (inInline_) {
      if (name == "rPh") inPhonetic_ = true;
      else if (name == "t" && !inPhonetic_) collecting_ = true;
    } else if (depth == 3 && name == "row") {
      const char* r = attribute(attrs, "r");
      long next = row_ + 1;
      if (r) {
        char* end = nullptr;
        next = std::strtol(r, &end, 10);
        if (*end != '\0') next = 0;
      }
      if (next < 1 || next > kMaxRows) notAWorkbook(path_, "a row number lies beyond the sheet's last row");
      row_ = next;
      col_ = 0;
    } else if (depth == 3 && name == "col") {
      readColumn(attrs);
    } else if (depth == 3 && name == "mergeCell") {
      const char* ref = attribute(attrs, "ref");
      std::optional<Area> a = ref ? areaRef(ref) : std::nullopt;
      if (!a) notAWorkbook(path_, "a merged range has no valid address");
      if (a->count() > 1) frame_.merges.push_back(*a);
    } else if (depth == 2 && name == "autoFilter") {
      const char* ref = attribute(attrs, "ref");
      if (std::optional<Area> a = ref ? areaRef(ref) : std::nullopt) frame_.filter = *a;
    }
  }

  void end(std::string_view name, int depth) override {
    if (depth == 4 && name == "c") endCell();
    else if (name == "v" || name == "t") collecting_ = false;
    else if (name == "rPh") inPhonetic_ = false;
    else if (name == "is") inInline_ = false;
  }

  void text(std::string_view s) override {
    if (collecting_) collect(value_, s);
  }

 private:
  void startCell(const char** attrs) {
    if (row_ == 0) row_ = 1;
    if (const char* r = attribute(attrs, "r")) {
      std::optional<Area> cell = cellRef(r);
      if (!cell) notAWorkbook(path_, std::string("the cell reference \"") + r + "\" lies beyond the sheet's limits");
      row_ = cell->r1;
      col_ = cell->c1;
    } else if (++col_ > kMaxCols) {
      notAWorkbook(path_, "a row has more cells than the sheet has columns");
    }
    const char* s = attribute(attrs, "s");
    styleIndex_ = 0;
    if (s) {
      unsigned long n = std::strtoul(s, nullptr, 10);
      if (n < plain_.size()) styleIndex_ = n;
    }
    const char* t = attribute(attrs, "t");
    type_ = t ? t : "n";
    inCell_ = true;
    hasValue_ = hasFormula_ = collecting_ = inInline_ = inPhonetic_ = false;
    value_.clear();
  }

  Variant cellValue() {
    if (!hasValue_) return {};
    if (type_ == "s") {
      unsigned long index = 0;
      auto [p, ec] = std::from_chars(value_.data(), value_.data() + value_.size(), index);
      if (ec != std::errc() || p != value_.data() + value_.size() || index >= strings_.size())
        notAWorkbook(path_, "a cell refers to shared string \"" + value_ + "\", but the file holds " +
                                std::to_string(strings_.size()));
      return strings_[index];
    }
    if (type_ == "inlineStr") return textOf(value_);
    if (type_ == "str") {
      // A formula's text result; our own writer stores error values as formulas.
      if (hasFormula_)
        if (auto e = errorCodeFromText(value_)) return vb::ErrorValue{*e};
      return textOf(value_);
    }
    if (type_ == "b") return value_ == "1" || value_ == "true";
    if (type_ == "e") return vb::ErrorValue{errorCodeFromText(value_).value_or(vb::kErrNA)};
    if (type_ == "d") {
      if (auto d = serialFromIsoText(value_)) return *d;
      return textOf(value_);
    }
    size_t b = value_.find_first_not_of(" \t\r\n"), e = value_.find_last_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    const char* first = value_.data() + b;
    const char* last = value_.data() + e + 1;
    if (*first == '+') ++first;
    double d = 0;
    auto [p, ec] = std::from_chars(first, last, d);
    if (ec != std::errc() || p != last || !std::isfinite(d))
      notAWorkbook(path_, "the cell " + platform::xl::columnLetters(col_) + std::to_string(row_) + " holds \"" +
                              (value_.size() > 40 ? vb::left(value_, 37) + "..." : value_) + "\" as a number");
    return d;
  }

  void endCell() {
    inCell_ = false;
    if (hasFormula_ && !hasValue_ && frame_.formulasWithoutResult++ == 0)
      frame_.firstFormulaWithoutResult = Area{row_, col_, row_, col_};
    Variant v = cellValue();
    if (v.isEmpty() && plain_[styleIndex_]) return;
    if (++cellCount_ > kMaxCells) notAWorkbook(path_, "it holds more cells than can be read");
    sink_.cell(row_, col_, std::move(v), static_cast<StyleIndex>(styleIndex_));
  }

  void readColumn(const char** attrs) {
    const char* w = attribute(attrs, "width");
    const char* custom = attribute(attrs, "customWidth");
    if (!w || (custom && (std::strcmp(custom, "0") == 0 || std::strcmp(custom, "false") == 0))) return;
    long lo = std::strtol(attribute(attrs, "min") ? attribute(attrs, "min") : "0", nullptr, 10);
    long hi = std::strtol(attribute(attrs, "max") ? attribute(attrs, "max") : "0", nullptr, 10);
    lo = std::max(lo, 1L);
    hi = std::min(hi, static_cast<long>(kMaxCols));
    double stored = std::strtod(w, nullptr);
    if (!std::isfinite(stored) || stored < 0 || stored > 65535) return;
    const char* hidden = attribute(attrs, "hidden");
    bool isHidden = hidden && (std::strcmp(hidden, "1") == 0 || std::strcmp(hidden, "true") == 0);
    widths_.set(lo, hi, isHidden ? 0 : characterWidth(stored));
  }

  const std::string& path_;
  SheetSink& sink_;
  SheetFrame& frame_;
  const std::vector<std::string>& strings_;
  const std::vector<bool>& plain_;  // whether a style index is the default look
  std::atomic<size_t>& cellCount_;
  platform::xl::ColumnWidthRuns widths_;

  long row_ = 0, col_ = 0;
  size_t styleIndex_ = 0;
  std::string type_;
  std::string value_;
  bool inCell_ = false, hasValue_ = false, hasFormula_ = false, collecting_ = false;
  bool inInline_ = false, inPhonetic_ = false;
};

}  // namespace

void readXlsx(const std::string& path, WorkbookSink& sink) {
  XlsxPackage pkg(path);
  WorkbookParts parts = findParts(pkg);

  WorkbookHandler wbh;
  pkg.parse(parts.workbook, wbh);
  if (wbh.sheets.empty()) notAWorkbook(path, "the workbook has no sheets");
  std::vector<std::string> names;
  for (const SheetEntry& entry : wbh.sheets) {
    auto rel = parts.rels.find(entry.relId);
    if (rel == parts.rels.end()) notAWorkbook(path, "the sheet \"" + entry.name + "\" has no part");
    names.push_back(entry.name);
  }
  repairSheetNames(names);

  std::vector<std::string> strings;
  if (!parts.sharedStrings.empty() && pkg.has(parts.sharedStrings)) {
    SharedStringsHandler h(path, strings);
    pkg.parse(parts.sharedStrings, h);
  }
  std::vector<Style> styles = readCellStyles(pkg, parts.styles, readThemeColours(pkg, parts.theme));
  std::vector<bool> plain;
  plain.reserve(styles.size());
  for (const Style& st : styles) plain.push_back(st == Style{});
  sink.styles(std::move(styles));

  std::vector<SheetSink*> sheets;
  for (const std::string& name : names) sheets.push_back(&sink.sheet(name));

  // Large sheets are read side by side, each by one thread with its own opening of the file.
  std::atomic<size_t> cellCount{0}, next{0};
  std::vector<std::exception_ptr> failures(sheets.size());
  auto readSheets = [&](XlsxPackage& own) {
    for (size_t i; (i = next++) < sheets.size();) {
      try {
        const Relationship& rel = parts.rels.at(wbh.sheets[i].relId);
        SheetFrame frame;
        frame.name = names[i];
        // Chart sheets and other kinds of sheet keep their place as empty sheets.
        if (rel.type == "worksheet") {
          WorksheetHandler h(path, *sheets[i], frame, strings, plain, cellCount);
          own.parse(rel.target, h);
          frame.widths = h.widths();
        }
        sheets[i]->end(std::move(frame));
      } catch (...) {
        failures[i] = std::current_exception();
        next = sheets.size();  // the file is damaged: the other sheets stop too
      }
    }
  };
  // Sheets that unpack to little are read on this thread alone: a thread costs more to
  // start than it saves there.
  uint64_t sheetBytes = 0;
  for (const SheetEntry& entry : wbh.sheets)
    sheetBytes += std::min(pkg.claimedSize(parts.rels.at(entry.relId).target), kSheetBytesWorthThreads);
  const size_t threads = sheetBytes < kSheetBytesWorthThreads
                             ? 1
                             : std::min<size_t>(sheets.size(), std::max(1u, std::thread::hardware_concurrency() / 2));
  std::vector<std::future<void>> workers;
  for (size_t t = 1; t < threads; ++t) {
    try {
      workers.push_back(std::async(std::launch::async, [&, own = std::make_shared<XlsxPackage>(pkg.another())] {
        readSheets(*own);
      }));
    } catch (const std::system_error&) {
      break;  // no thread to spare: this one reads the rest
    }
  }
  readSheets(pkg);
  for (auto& w : workers) w.get();
  // The failure of the first sheet that failed, as a reading sheet by sheet would report it.
  for (const std::exception_ptr& f : failures)
    if (f) std::rethrow_exception(f);

  const long count = static_cast<long>(wbh.sheets.size());
  sink.activeSheet(wbh.activeTab >= 0 && wbh.activeTab < count ? static_cast<size_t>(wbh.activeTab) : 0);
}

}  // namespace formats
