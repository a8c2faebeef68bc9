#pragma once
// The pieces behind formats/workbook_files.h: one reader per file kind, the .xlsx
// writer, and the small date and error-text helpers they share.
#include <optional>
#include <string>
#include <string_view>

#include "formats/file_error.h"
#include "formats/workbook_data.h"

namespace formats {

// The FileError of a file that cannot be read as a workbook; `detail` says what is wrong.
[[noreturn]] void notAWorkbook(const std::string& path, const std::string& detail);

// The readers fill the sheets and the active sheet; the caller sets name and fullName.
WorkbookData readXlsx(const std::string& path);
WorkbookData readXls(const std::string& path);
WorkbookData readCsv(const std::string& path);

void writeXlsx(const WorkbookData& wb, const std::string& path);

// "YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS", "YYYY-MM-DDTHH:MM:SS" or "HH:MM:SS" as the
// spreadsheet's serial day number (1900 date system), or nothing.
std::optional<double> serialFromIsoText(std::string_view text);

// The spreadsheet's error codes and their texts ("#N/A" is 2042).
std::optional<int> errorCodeFromText(std::string_view text);
std::string errorText(int code);

}  // namespace formats
