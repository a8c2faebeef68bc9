#pragma once
// The pieces behind sim/workbook_files.h: one reader per file kind, the .xlsx writer,
// and the small text and date helpers they share.
#include <optional>
#include <string>
#include <string_view>

#include "sim/workbook_data.h"

namespace sim::files {

// Error 1004 for a file that cannot be read as a workbook; `detail` says what is wrong.
[[noreturn]] void notAWorkbook(const std::string& path, const std::string& detail);

// The readers fill the sheets and the active sheet; the caller sets name and fullName.
WorkbookData readXlsx(const std::string& path);
WorkbookData readXls(const std::string& path);
WorkbookData readCsv(const std::string& path);

void writeXlsx(const WorkbookData& wb, const std::string& path);

// Whether the bytes are valid UTF-8 (no overlong forms, no surrogates).
bool isValidUtf8(std::string_view bytes);
// The text with every invalid UTF-8 sequence replaced by U+FFFD.
std::string sanitizeUtf8(std::string_view bytes);

// "YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS", "YYYY-MM-DDTHH:MM:SS" or "HH:MM:SS" as the
// spreadsheet's serial day number (1900 date system), or nothing.
std::optional<double> serialFromIsoText(std::string_view text);

// The spreadsheet's error codes and their texts ("#N/A" is 2042).
std::optional<int> errorCodeFromText(std::string_view text);
std::string errorText(int code);

}  // namespace sim::files
