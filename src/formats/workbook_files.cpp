// Workbook files: the reader is chosen by the file's extension and, for the binary
// kinds, by its first bytes (a renamed .xls that is really an .xlsx still opens).
#include "formats/workbook_files.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>

#include "formats/sheet_names.h"
#include "formats/workbook_file_parts.h"

namespace formats {

namespace fs = std::filesystem;

namespace {
const std::string kLeftQuote = "\xE2\x80\x9C", kRightQuote = "\xE2\x80\x9D";
}  // namespace

void notAWorkbook(const std::string& path, const std::string& detail) {
  std::string name = fs::path(path).filename().string();
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

namespace {
struct ErrorName {
  int code;
  const char* text;
};
constexpr std::array<ErrorName, 8> kErrorNames{{{2000, "#NULL!"},
                                                {2007, "#DIV/0!"},
                                                {2015, "#VALUE!"},
                                                {2023, "#REF!"},
                                                {2029, "#NAME?"},
                                                {2036, "#NUM!"},
                                                {2042, "#N/A"},
                                                {2043, "#GETTING_DATA"}}};
}  // namespace

std::optional<int> errorCodeFromText(std::string_view text) {
  for (const auto& e : kErrorNames)
    if (text == e.text) return e.code;
  return std::nullopt;
}

std::string errorText(int code) {
  for (const auto& e : kErrorNames)
    if (code == e.code) return e.text;
  return "#N/A";
}

namespace {

std::string lowerExtension(const std::string& path) {
  std::string ext = fs::path(path).extension().string();
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

}  // namespace

void saveXlsx(const WorkbookData& wb, const std::string& localPath) { writeXlsx(wb, localPath); }

WorkbookData loadWorkbookFile(const std::string& localPath) {
  std::error_code ec;
  const fs::file_status st = fs::status(localPath, ec);
  if (!fs::exists(st))
    throw FileError(FileError::Kind::Missing, localPath, "", "it does not exist", kLeftQuote + localPath + kRightQuote + " does not exist");
  if (!fs::is_regular_file(st))
    throw FileError(FileError::Kind::Inaccessible, localPath, "", "it is not a file", kLeftQuote + localPath + kRightQuote + " is not a file");
  if (!std::ifstream(localPath, std::ios::binary))
    throw FileError(FileError::Kind::Inaccessible, localPath, "", "it cannot be opened for reading",
                    kLeftQuote + localPath + kRightQuote + " cannot be opened for reading");

  const std::string ext = lowerExtension(localPath);
  WorkbookData wb;
  if (ext == ".csv") {
    wb = readCsv(localPath);
  } else {
    switch (sniff(localPath)) {
      case Kind::Zip: wb = readXlsx(localPath); break;
      case Kind::Compound: wb = readXls(localPath); break;
      case Kind::Other:
        notAWorkbook(localPath, ext == ".xls" ? "not a BIFF8 workbook file" : "not a zip archive");
    }
  }
  repairSheetNames(wb);
  wb.name = fs::path(localPath).stem().string();
  wb.fullName = localPath;
  return wb;
}

}  // namespace formats
