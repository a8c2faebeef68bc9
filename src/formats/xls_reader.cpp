// Reading a BIFF8 .xls workbook with libfreexl: sheet names and cell values (the
// library reads no looks, so every cell has the default style). Dates become serial
// numbers with a date format.
#include <freexl.h>


#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "formats/child_process.h"
#include "formats/workbook_file_parts.h"
#include "formats/xls_repack.h"
#include "platform/files.h"
#include "platform/os_calls.h"
#include "vb/utf8.h"

namespace formats {

namespace {

std::string freexlProblem(int code) {
  switch (code) {
    case FREEXL_INSUFFICIENT_MEMORY: return "not enough memory to read it";
    case FREEXL_INVALID_CFBF_HEADER:
    case FREEXL_CFBF_INVALID_SIGNATURE:
    case FREEXL_CFBF_INVALID_SECTOR_SIZE: return "not a compound document file";
    case FREEXL_CFBF_READ_ERROR:
    case FREEXL_CFBF_SEEK_ERROR: return "the file is truncated";
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND: return "the file holds no workbook stream";
    case FREEXL_INVALID_CHARACTER:
    case FREEXL_UNSUPPORTED_CHARSET: return "its texts use an unknown character set";
    case FREEXL_CRAFTED_FILE: return "damaged BIFF data";
    default: return "damaged BIFF data (libfreexl error " + std::to_string(code) + ")";
  }
}

// A file beside the system's temporary files, removed when it goes.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::string& bytes) {
    static std::atomic<unsigned> counter{0};
    path_ = platform::textOf(std::filesystem::temp_directory_path() /
                             ("velmora-xls-" + std::to_string(platform::currentProcessId()) + "-" +
                              std::to_string(counter++) + ".xls"));
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ok_ = static_cast<bool>(out.flush());
  }
  ~TemporaryFile() {
    std::error_code ec;
    std::filesystem::remove(platform::pathOf(path_), ec);
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  bool ok() const { return ok_; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  bool ok_ = false;
};

class Handle {
 public:
  Handle(const std::string& copyPath, const std::string& path) : path_(path) {
    int rc = freexl_open(copyPath.c_str(), &h_);
    if (rc == FREEXL_OK && h_) return;
    close();
    fail(rc == FREEXL_OK ? FREEXL_CRAFTED_FILE : rc);
  }
  ~Handle() { close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  const void* get() const { return h_; }
  void check(int rc) const {
    if (rc != FREEXL_OK) fail(rc);
  }

 private:
  void close() {
    if (h_) freexl_close(h_);
    h_ = nullptr;
  }
  [[noreturn]] void fail(int rc) const { notAWorkbook(path_, freexlProblem(rc)); }
  const std::string& path_;
  const void* h_ = nullptr;
};

// A date or time cell: freexl gives its ISO text; the spreadsheet holds a serial number.
CellData dateCell(long row, long col, const char* text, const char* format) {
  CellData c{row, col, {}, {}};
  if (auto serial = serialFromIsoText(text ? text : "")) {
    c.value = *serial;
    c.style.numberFormat = format;
  } else {
    c.value = std::string(text ? text : "");
  }
  return c;
}

// Reads the rebuilt copy with libfreexl; `path` names the file in messages.
WorkbookData readWithFreexl(const std::string& copyPath, const std::string& path) {
  Handle xls(copyPath, path);
  unsigned int info = 0;
  xls.check(freexl_get_info(xls.get(), FREEXL_BIFF_PASSWORD, &info));
  if (info != FREEXL_BIFF_PLAIN) notAWorkbook(path, "it is protected by a password");
  unsigned int sheetCount = 0;
  xls.check(freexl_get_info(xls.get(), FREEXL_BIFF_SHEET_COUNT, &sheetCount));
  if (sheetCount == 0) notAWorkbook(path, "the workbook has no sheets");

  WorkbookData wb;
  for (unsigned int s = 0; s < sheetCount; ++s) {
    const auto index = static_cast<unsigned short>(s);
    SheetData sheet;
    const char* name = nullptr;
    xls.check(freexl_get_worksheet_name(xls.get(), index, &name));
    sheet.name = vb::sanitizeUtf8(name ? name : "");
    xls.check(freexl_select_active_worksheet(xls.get(), index));
    unsigned int rows = 0;
    unsigned short cols = 0;
    xls.check(freexl_worksheet_dimensions(xls.get(), &rows, &cols));
    for (unsigned int r = 0; r < rows; ++r) {
      for (unsigned short c = 0; c < cols; ++c) {
        FreeXL_CellValue v;
        xls.check(freexl_get_cell_value(xls.get(), r, c, &v));
        const long row = static_cast<long>(r) + 1, col = static_cast<long>(c) + 1;
        switch (v.type) {
          case FREEXL_CELL_INT:
            sheet.cells.push_back(CellData{row, col, vb::Variant(v.value.int_value), {}});
            break;
          case FREEXL_CELL_DOUBLE:
            // A stored value that is no number (NaN, infinite) reads as #NUM!, as a
            // spreadsheet shows it and as a save writes it.
            sheet.cells.push_back(CellData{row, col,
                                           std::isfinite(v.value.double_value)
                                               ? vb::Variant(v.value.double_value)
                                               : vb::Variant(vb::ErrorValue{vb::kErrNum}),
                                           {}});
            break;
          case FREEXL_CELL_TEXT:
          case FREEXL_CELL_SST_TEXT:
            if (v.value.text_value && *v.value.text_value)
              sheet.cells.push_back(CellData{row, col, vb::sanitizeUtf8(v.value.text_value), {}});
            break;
          case FREEXL_CELL_DATE:
            sheet.cells.push_back(dateCell(row, col, v.value.text_value, "yyyy-mm-dd"));
            break;
          case FREEXL_CELL_DATETIME:
            sheet.cells.push_back(dateCell(row, col, v.value.text_value, "yyyy-mm-dd hh:mm:ss"));
            break;
          case FREEXL_CELL_TIME:
            sheet.cells.push_back(dateCell(row, col, v.value.text_value, "hh:mm:ss"));
            break;
          default:
            break;
        }
      }
    }
    wb.sheets.push_back(std::move(sheet));
  }
  wb.activeSheet = 1;
  return wb;
}

// The workbook through a pipe: sheets, their names and cells.
class Writer {
 public:
  void u32(uint32_t v) { bytes.append(reinterpret_cast<const char*>(&v), sizeof v); }
  void i64(int64_t v) { bytes.append(reinterpret_cast<const char*>(&v), sizeof v); }
  void f64(double v) { bytes.append(reinterpret_cast<const char*>(&v), sizeof v); }
  void str(const std::string& s) {
    u32(static_cast<uint32_t>(s.size()));
    bytes += s;
  }
  std::string bytes;
};

class Reader {
 public:
  explicit Reader(std::string_view b) : b_(b) {}
  template <class T>
  T get() {
    T v;
    need(sizeof v);
    std::memcpy(&v, b_.data() + at_, sizeof v);
    at_ += sizeof v;
    return v;
  }
  std::string str() {
    const auto n = get<uint32_t>();
    need(n);
    std::string s(b_.substr(at_, n));
    at_ += n;
    return s;
  }

 private:
  void need(size_t n) const {
    if (at_ + n > b_.size()) throw std::runtime_error("short workbook data");
  }
  std::string_view b_;
  size_t at_ = 0;
};

std::string serialise(const WorkbookData& wb) {
  Writer w;
  w.u32(static_cast<uint32_t>(wb.sheets.size()));
  for (const SheetData& s : wb.sheets) {
    w.str(s.name);
    w.u32(static_cast<uint32_t>(s.cells.size()));
    for (const CellData& c : s.cells) {
      w.i64(c.row);
      w.i64(c.col);
      w.str(c.style.numberFormat);
      if (c.value.isNumber()) {
        w.u32(1);
        w.f64(c.value.number());
      } else if (c.value.isError()) {
        w.u32(3);
        w.i64(c.value.error().code);
      } else {
        w.u32(2);
        w.str(c.value.isText() ? c.value.text() : std::string());
      }
    }
  }
  return w.bytes;
}

WorkbookData deserialise(std::string_view bytes) {
  Reader r(bytes);
  WorkbookData wb;
  const auto sheets = r.get<uint32_t>();
  for (uint32_t i = 0; i < sheets; ++i) {
    SheetData s;
    s.name = r.str();
    const auto cells = r.get<uint32_t>();
    s.cells.reserve(std::min<uint32_t>(cells, 1u << 20));
    for (uint32_t k = 0; k < cells; ++k) {
      CellData c;
      c.row = static_cast<long>(r.get<int64_t>());
      c.col = static_cast<long>(r.get<int64_t>());
      c.style.numberFormat = r.str();
      const auto kind = r.get<uint32_t>();
      if (kind == 1) c.value = r.get<double>();
      else if (kind == 3) c.value = vb::ErrorValue{static_cast<int>(r.get<int64_t>())};
      else c.value = r.str();
      s.cells.push_back(std::move(c));
    }
    wb.sheets.push_back(std::move(s));
  }
  wb.activeSheet = 1;
  return wb;
}

constexpr int kChildSeconds = 120;

// The child's job: the copy's path and the file's own (for the messages), one per line.
std::string readXlsJob(const std::string& input) {
  const size_t cut = input.find('\n');
  const std::string copyPath = input.substr(0, cut), path = cut == std::string::npos ? input : input.substr(cut + 1);
  try {
    return "O" + serialise(readWithFreexl(copyPath, path));
  } catch (const FileError& e) {
    return "E" + e.problem();
  }
}

constexpr const char* kXlsJob = "read-xls";
const bool kXlsJobRegistered = registerChildJob(kXlsJob, readXlsJob);

}  // namespace

// libfreexl reads a rebuilt copy of the file (see xls_repack.h) in a child process:
// it trusts what damaged BIFF records say, and a crash or an endless loop there
// must not take the program with it.
WorkbookData readXls(const std::string& path) {
  (void)kXlsJobRegistered;
  const TemporaryFile copy(repackWorkbook(path));
  if (!copy.ok()) notAWorkbook(path, "no temporary copy of it can be written");
  const ChildResult r = runInChild(kXlsJob, copy.path() + "\n" + path, std::chrono::seconds(kChildSeconds));
  if (r.end == ChildResult::End::TimedOut) notAWorkbook(path, "reading its BIFF data does not end");
  if (r.end != ChildResult::End::Done || r.output.empty()) notAWorkbook(path, "damaged BIFF data");
  if (r.output[0] == 'E') notAWorkbook(path, r.output.substr(1));
  try {
    return deserialise(std::string_view(r.output).substr(1));
  } catch (const std::runtime_error&) {
    notAWorkbook(path, "damaged BIFF data");
  }
}

}  // namespace formats
