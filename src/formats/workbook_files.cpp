// Workbook files: the reader is chosen by the file's extension and, for the binary
// kinds, by its first bytes (a renamed .xls that is really an .xlsx still opens).
#include "formats/workbook_files.h"

#include <algorithm>
#include <array>
#include <deque>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <unordered_map>

#include "formats/sheet_names.h"
#include "formats/workbook_stream.h"
#include "formats/workbook_file_parts.h"
#include "platform/files.h"
#include "vb/text.h"
#include "vb/convert.h"

namespace formats {

namespace fs = std::filesystem;
using platform::xl::Style;

namespace {
const std::string kLeftQuote = "\xE2\x80\x9C", kRightQuote = "\xE2\x80\x9D";
}  // namespace

void notAWorkbook(const std::string& path, const std::string& detail) {
  std::string name = platform::textOf(platform::pathOf(path).filename());
  throw FileError(FileError::Kind::Malformed, path, "", detail,
                  kLeftQuote + name + kRightQuote + " is not a workbook or is damaged (" + detail + ")");
}

namespace {

// Days from 1899-12-30 (serial 0 of the 1900 system, leap-year quirk included for
// dates after February 1900) to the civil date.
long daysFromCivil(long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long>(doe) - 719468;  // days since 1970-01-01
}

bool readDigits(std::string_view s, size_t pos, size_t count, int& out) {
  if (pos + count > s.size()) return false;
  out = 0;
  for (size_t k = 0; k < count; ++k) {
    char c = s[pos + k];
    if (c < '0' || c > '9') return false;
    out = out * 10 + (c - '0');
  }
  return true;
}

std::optional<double> timeFraction(std::string_view s) {
  int h, m, sec;
  if (s.size() < 8 || !readDigits(s, 0, 2, h) || s[2] != ':' || !readDigits(s, 3, 2, m) || s[5] != ':' ||
      !readDigits(s, 6, 2, sec))
    return std::nullopt;
  double frac = 0;
  if (s.size() > 8) {
    if (s[8] != '.') return std::nullopt;
    double scale = 0.1;
    for (size_t k = 9; k < s.size(); ++k, scale /= 10) {
      if (s[k] < '0' || s[k] > '9') return std::nullopt;
      frac += (s[k] - '0') * scale;
    }
  }
  if (h > 23 || m > 59 || sec > 59) return std::nullopt;
  return (h * 3600 + m * 60 + sec + frac) / 86400.0;
}

}  // namespace

std::optional<double> serialFromIsoText(std::string_view text) {
  if (text.size() >= 8 && text[2] == ':') return timeFraction(text);
  int y, mo, d;
  if (text.size() < 10 || !readDigits(text, 0, 4, y) || text[4] != '-' || !readDigits(text, 5, 2, mo) ||
      text[7] != '-' || !readDigits(text, 8, 2, d) || mo < 1 || mo > 12 || d < 1 || d > 31)
    return std::nullopt;
  double serial = static_cast<double>(daysFromCivil(y, mo, d) - daysFromCivil(1899, 12, 30));
  if (serial < 61) serial -= 1;  // the 1900 system counts a 29 February 1900
  if (serial < 0) return std::nullopt;
  if (text.size() == 10) return serial;
  if (text[10] != ' ' && text[10] != 'T') return std::nullopt;
  std::string_view rest = text.substr(11);
  if (!rest.empty() && rest.back() == 'Z') rest.remove_suffix(1);
  auto t = timeFraction(rest);
  if (!t) return std::nullopt;
  return serial + *t;
}

std::optional<int> errorCodeFromText(std::string_view text) { return vb::errorValueCode(text); }
std::string errorText(int code) { return vb::errorValueText(code); }

namespace {

std::string lowerExtension(const std::string& path) {
  std::string ext = platform::textOf(platform::pathOf(path).extension());
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return ext;
}

enum class Kind { Zip, Compound, Other };

Kind sniff(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::array<unsigned char, 8> head{};
  in.read(reinterpret_cast<char*>(head.data()), head.size());
  const std::streamsize n = in.gcount();
  if (n >= 4 && head[0] == 'P' && head[1] == 'K' && head[2] == 3 && head[3] == 4) return Kind::Zip;
  static constexpr std::array<unsigned char, 8> kCompound{0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  if (n == 8 && head == kCompound) return Kind::Compound;
  return Kind::Other;
}

// A workbook held as plain data, read as a source: its looks interned once, each
// sheet's cells in row order, a cell given twice taken as the later one.
class DataSource final : public WorkbookSource {
 public:
  explicit DataSource(const WorkbookData& wb) : wb_(wb) {}

  size_t sheetCount() const override { return wb_.sheets.size(); }
  size_t activeSheet() const override { return static_cast<size_t>(std::max(1L, wb_.activeSheet) - 1); }

  SheetFrame frame(size_t i) override {
    const SheetData& s = wb_.sheets[i];
    SheetFrame f;
    f.name = s.name;
    for (const auto& [col, width] : s.columnWidths) {
      if (!f.widths.empty() && f.widths.back().last + 1 == col && f.widths.back().width == width) f.widths.back().last = col;
      else f.widths.push_back(ColumnWidth{col, col, width});
    }
    f.merges = s.merges;
    f.filter = s.filter;
    for (const CellData& c : s.cells) {
      if (!f.extent) f.extent = platform::xl::Area{c.row, c.col, c.row, c.col};
      f.extent->r1 = std::min(f.extent->r1, c.row);
      f.extent->r2 = std::max(f.extent->r2, c.row);
      f.extent->c1 = std::min(f.extent->c1, c.col);
      f.extent->c2 = std::max(f.extent->c2, c.col);
    }
    return f;
  }

  void rows(size_t i, RowSink& sink) override {
    const std::vector<CellData>& cells = wb_.sheets[i].cells;
    std::vector<size_t> order(cells.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
      return std::pair(cells[a].row, cells[a].col) < std::pair(cells[b].row, cells[b].col);
    });
    std::vector<CellOut> row;
    for (size_t k = 0; k < order.size(); ++k) {
      const CellData& c = cells[order[k]];
      if (k + 1 < order.size() && cells[order[k + 1]].row == c.row && cells[order[k + 1]].col == c.col) continue;
      row.push_back(CellOut{c.col, ValueView::of(c.value), looks_.id(c.style)});
      if (k + 1 == order.size() || cells[order[k + 1]].row != c.row) {
        sink.row(c.row, row);
        row.clear();
      }
    }
  }

  std::vector<Style> styles() override { return looks_.looks(); }

 private:
  const WorkbookData& wb_;
  LookTable looks_;
};

// A sink that keeps the workbook as plain data, a look for each cell.
class DataSink final : public WorkbookSink {
 public:
  explicit DataSink(WorkbookData& wb) : wb_(wb) {}
  void styles(std::vector<Style> looks) override { looks_ = std::move(looks); }
  SheetSink& sheet(const std::string& name) override {
    wb_.sheets.emplace_back().name = name;
    return sheets_.emplace_back(*this, wb_.sheets.size() - 1);
  }
  void activeSheet(size_t sheet) override { wb_.activeSheet = static_cast<long>(sheet) + 1; }

 private:
  class Sheet final : public SheetSink {
   public:
    Sheet(DataSink& book, size_t index) : book_(book), index_(index) {}
    void cell(long row, long col, vb::Variant&& value, StyleIndex style) override {
      const std::vector<Style>& looks = book_.looks_;
      book_.wb_.sheets[index_].cells.push_back(
          CellData{row, col, std::move(value), style < looks.size() ? looks[style] : Style{}});
    }
    void end(SheetFrame&& frame) override {
      SheetData& s = book_.wb_.sheets[index_];
      for (const ColumnWidth& w : frame.widths)
        for (long c = w.first; c <= w.last; ++c) s.columnWidths[c] = w.width;
      s.merges = std::move(frame.merges);
      s.filter = frame.filter;
    }

   private:
    DataSink& book_;
    size_t index_;  // the sheets may still grow while this one is read
  };

  WorkbookData& wb_;
  std::vector<Style> looks_;
  std::deque<Sheet> sheets_;
};

}  // namespace

size_t StyleHash::operator()(const Style& s) const {
  size_t h = std::hash<std::string>()(s.numberFormat);
  auto mix = [&h](size_t v) { h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2); };
  mix(std::hash<double>()(s.fontSize));
  mix(static_cast<size_t>(s.fontColor));
  mix(static_cast<size_t>(s.fill));
  mix((s.bold ? 1u : 0u) | (s.wrap ? 2u : 0u));
  for (const platform::xl::Edge* e : {&s.left, &s.top, &s.right, &s.bottom})
    mix(static_cast<size_t>(e->lineStyle * 31 + e->weight * 7 + e->colorIndex));
  return h;
}

ValueView ValueView::of(const vb::Variant& v) {
  ValueView view;
  view.type = v.type();
  switch (v.type()) {
    case vb::Variant::Type::Number: view.number = v.number(); break;
    case vb::Variant::Type::Text: view.text = v.text(); break;
    case vb::Variant::Type::Boolean: view.boolean = v.boolean(); break;
    case vb::Variant::Type::Error: view.error = v.error().code; break;
    case vb::Variant::Type::Empty: break;
  }
  return view;
}

LookTable::LookTable() { looks_.emplace_back(); }

std::vector<Style> LookTable::looks() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return looks_;
}

StyleIndex LookTable::id(const Style& s) {
  if (s == Style{}) return 0;
  std::lock_guard<std::mutex> hold(mutex_);
  auto [it, added] = ids_.emplace(s, static_cast<StyleIndex>(looks_.size()));
  if (added) looks_.push_back(s);
  return it->second;
}

void sendToSink(const WorkbookData& wb, WorkbookSink& sink) {
  // Each cell's look as an index into the workbook's looks, interned as they come.
  LookTable looks;
  std::vector<std::vector<StyleIndex>> cellLooks;
  for (const SheetData& s : wb.sheets) {
    std::vector<StyleIndex>& ids = cellLooks.emplace_back();
    ids.reserve(s.cells.size());
    for (const CellData& c : s.cells) ids.push_back(looks.id(c.style));
  }
  sink.styles(looks.looks());
  for (size_t i = 0; i < wb.sheets.size(); ++i) {
    const SheetData& s = wb.sheets[i];
    SheetSink& sheet = sink.sheet(s.name);
    for (size_t k = 0; k < s.cells.size(); ++k) {
      vb::Variant v = s.cells[k].value;
      if (v.isText()) v = cellText(v.text());
      sheet.cell(s.cells[k].row, s.cells[k].col, std::move(v), cellLooks[i][k]);
    }
    SheetFrame f;
    f.name = s.name;
    for (const auto& [col, width] : s.columnWidths) f.widths.push_back(ColumnWidth{col, col, width});
    f.merges = s.merges;
    f.filter = s.filter;
    sheet.end(std::move(f));
  }
  sink.activeSheet(static_cast<size_t>(std::clamp<long>(wb.activeSheet, 1, std::max<long>(1, static_cast<long>(wb.sheets.size()))) - 1));
}

std::string cellText(std::string text) {
  if (text.size() <= static_cast<size_t>(platform::xl::kMaxCellChars)) return text;
  return vb::left(text, platform::xl::kMaxCellChars);
}

void saveXlsx(const WorkbookData& wb, const std::string& localPath) {
  DataSource source(wb);
  saveXlsx(source, localPath);
}

void readWorkbookFile(const std::string& localPath, WorkbookSink& sink) {
  std::error_code ec;
  const fs::file_status st = fs::status(platform::pathOf(localPath), ec);
  if (!fs::exists(st))
    throw FileError(FileError::Kind::Missing, localPath, "", "it does not exist",
                    kLeftQuote + localPath + kRightQuote + " does not exist");
  if (!fs::is_regular_file(st))
    throw FileError(FileError::Kind::Inaccessible, localPath, "", "it is not a file",
                    kLeftQuote + localPath + kRightQuote + " is not a file");
  if (!std::ifstream(localPath, std::ios::binary))
    throw FileError(FileError::Kind::Inaccessible, localPath, "", "it cannot be opened for reading",
                    kLeftQuote + localPath + kRightQuote + " cannot be opened for reading");

  const std::string ext = lowerExtension(localPath);
  if (ext == ".csv") {
    readCsv(localPath, sink);
    return;
  }
  switch (sniff(localPath)) {
    case Kind::Zip: readXlsx(localPath, sink); return;
    case Kind::Compound: {
      WorkbookData wb = readXls(localPath);
      repairSheetNames(wb);
      sendToSink(wb, sink);
      return;
    }
    case Kind::Other: notAWorkbook(localPath, ext == ".xls" ? "not a BIFF8 workbook file" : "not a zip archive");
  }
}

WorkbookData loadWorkbookFile(const std::string& localPath) {
  WorkbookData wb;
  DataSink sink(wb);
  readWorkbookFile(localPath, sink);
  wb.name = platform::textOf(platform::pathOf(localPath).stem());
  wb.fullName = localPath;
  return wb;
}

}  // namespace formats
