#pragma once
// The pieces behind formats/workbook_files.h: one reader per file kind, the .xlsx
// writer, and the small date and error-text helpers they share.
#include <optional>
#include <string>
#include <string_view>

#include "formats/file_error.h"
#include "formats/workbook_data.h"
#include "formats/workbook_stream.h"

namespace formats {

// The FileError of a file that cannot be read as a workbook; `detail` says what is wrong.
[[noreturn]] void notAWorkbook(const std::string& path, const std::string& detail);

// The readers of each kind of file, into a sink (see formats/workbook_stream.h). The .xls
// reader works on the whole workbook at once (libfreexl reads it in a child process).
void readXlsx(const std::string& path, WorkbookSink& sink);
WorkbookData readXls(const std::string& path);
void readCsv(const std::string& path, WorkbookSink& sink);

// A workbook held as plain data, handed to a sink sheet by sheet.
void sendToSink(const WorkbookData& wb, WorkbookSink& sink);

// A text read from a file as a cell holds it: at most kMaxCellChars characters.
std::string cellText(std::string text);
// The bytes of a text a reader collects before it decodes and cuts it: enough for
// kMaxCellChars characters however they are written ("_xHHHH_" takes 7 bytes).
inline constexpr size_t kMaxCollectedTextBytes = platform::xl::kMaxCellChars * 7;

// "YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS", "YYYY-MM-DDTHH:MM:SS" or "HH:MM:SS" as the
// spreadsheet's serial day number (1900 date system), or nothing.
std::optional<double> serialFromIsoText(std::string_view text);

// The spreadsheet's error codes and their texts ("#N/A" is 2042).
std::optional<int> errorCodeFromText(std::string_view text);
std::string errorText(int code);

}  // namespace formats
