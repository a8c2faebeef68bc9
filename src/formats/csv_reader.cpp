// Reading a .csv file as a one-sheet workbook: UTF-8 when the bytes are valid UTF-8,
// else the system code page (GBK); comma-separated fields, quoted fields with doubled
// quotes, any line end. A field that reads whole as a number becomes a number.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "formats/sheet_names.h"
#include "formats/workbook_file_parts.h"
#include "platform/files.h"
#include "vb/ansi.h"
#include "vb/convert.h"
#include "vb/utf8.h"

namespace formats {

namespace {

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) notAWorkbook(path, "the file cannot be read");
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string decode(const std::string& bytes) {
  std::string_view body(bytes);
  if (body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
  if (vb::isValidUtf8(body)) return std::string(body);
  return vb::ansiToUtf8(body);
}

class CsvSheetBuilder {
 public:
  CsvSheetBuilder(const std::string& path, SheetSink& sink) : path_(path), sink_(sink) {}

  void field(std::string&& text) {
    if (++col_ > platform::xl::kMaxCols) notAWorkbook(path_, "a line has more fields than the sheet has columns");
    if (text.empty()) return;
    if (auto n = vb::parseNumber(text)) sink_.cell(row_, col_, *n, 0);
    else sink_.cell(row_, col_, cellText(std::move(text)), 0);
  }
  void endLine() {
    col_ = 0;
    ++row_;
  }
  void startLine() {
    if (row_ > platform::xl::kMaxRows) notAWorkbook(path_, "it has more lines than the sheet has rows");
  }

 private:
  const std::string& path_;
  SheetSink& sink_;
  long row_ = 1, col_ = 0;
};

void parseCsv(const std::string& text, CsvSheetBuilder& out) {
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    out.startLine();
    // One line: fields until a line end outside quotes.
    for (;;) {
      std::string f;
      if (i < n && text[i] == '"') {
        ++i;
        for (;;) {
          size_t q = text.find('"', i);
          if (q == std::string::npos) {  // an unclosed quote runs to the end
            f.append(text, i, std::string::npos);
            i = n;
            break;
          }
          f.append(text, i, q - i);
          i = q + 1;
          if (i < n && text[i] == '"') {
            f += '"';
            ++i;
          } else {
            break;
          }
        }
      }
      // Unquoted text, or what follows a closing quote, up to the separator.
      size_t stop = text.find_first_of(",\r\n", i);
      if (stop == std::string::npos) stop = n;
      f.append(text, i, stop - i);
      i = stop;
      out.field(std::move(f));
      if (i < n && text[i] == ',') {
        ++i;
        continue;
      }
      break;
    }
    if (i < n && text[i] == '\r') {
      ++i;
      if (i < n && text[i] == '\n') ++i;
    } else if (i < n && text[i] == '\n') {
      ++i;
    }
    out.endLine();
  }
}

}  // namespace

void readCsv(const std::string& path, WorkbookSink& sink) {
  const std::string text = decode(readBytes(path));
  std::vector<std::string> name{vb::sanitizeUtf8(platform::textOf(platform::pathOf(path).stem()))};
  repairSheetNames(name);
  sink.styles({platform::xl::Style{}});
  SheetSink& sheet = sink.sheet(name[0]);
  CsvSheetBuilder builder(path, sheet);
  parseCsv(text, builder);
  SheetFrame frame;
  frame.name = name[0];
  sheet.end(std::move(frame));
  sink.activeSheet(0);
}

}  // namespace formats
