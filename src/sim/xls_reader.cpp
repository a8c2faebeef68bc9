// Reading a BIFF8 .xls workbook with libfreexl: sheet names and cell values; the
// library reads no looks, so every cell has the default style.
#include <freexl.h>

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>

#include "sim/workbook_file_parts.h"
#include "sim/xls_repack.h"

namespace sim::files {

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
    path_ = (std::filesystem::temp_directory_path() /
             ("velmora-xls-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".xls"))
                .string();
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ok_ = static_cast<bool>(out.flush());
  }
  ~TemporaryFile() {
    std::error_code ec;
    std::filesystem::remove(path_, ec);
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
  explicit Handle(const std::string& path) : path_(path) {
    int rc = freexl_open(path.c_str(), &h_);
    if (rc == FREEXL_OK && h_) return;
    close();
    // libfreexl takes a shared string table with an empty text for a crafted file
    // (and then reports success without a handle); such files open once repacked.
    if (auto repacked = repackEmptySharedStrings(path)) {
      TemporaryFile copy(*repacked);
      if (copy.ok() && freexl_open(copy.path().c_str(), &h_) == FREEXL_OK && h_) return;
      close();
    }
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

}  // namespace

WorkbookData readXls(const std::string& path) {
  Handle xls(path);
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
    sheet.name = sanitizeUtf8(name ? name : "");
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
            sheet.cells.push_back(CellData{row, col, vb::Variant(v.value.double_value), {}});
            break;
          case FREEXL_CELL_TEXT:
          case FREEXL_CELL_SST_TEXT:
            if (v.value.text_value && *v.value.text_value)
              sheet.cells.push_back(CellData{row, col, sanitizeUtf8(v.value.text_value), {}});
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

}  // namespace sim::files
