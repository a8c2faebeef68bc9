#pragma once
// The system's own idioms over the spreadsheet program, written once: attaching to the
// program chosen in the settings, the report workbook, the last used row, block reads
// and writes, codes kept as text, the list header look, grid borders and the prefix
// question.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/services.h"
#include "platform/settings.h"
#include "platform/spreadsheet.h"

namespace platform {

inline constexpr const char* kChooseSpreadsheetMessage = "请在设置中选择BOM输出软件";

// The program identifier for a SpreadsheetProgram text: "Excel" -> "Excel.Application",
// "WPS" -> "ET.Application"; any other text shows "请在设置中选择BOM输出软件" and ends
// the program.
std::string spreadsheetProgId(Services& s, const std::string& setting);

// AttachSpreadsheet: the running instance of the program the settings name becomes
// `app`. It never starts one: when none runs the attach fails with 429 (the caller's
// failure mode decides what follows) and `app` keeps what it held.
void attachSpreadsheet(Services& s, Settings& settings, xl::AppPtr& app);

// AttachOrStartSpreadsheet: as attachSpreadsheet, but when no instance runs (429) the
// same program is started, invisible. Returns true when it was started. When the program
// can neither be attached nor started, `app` is cleared and the error goes to the caller,
// so the command stops instead of writing into a stale program.
bool attachOrStartSpreadsheet(Services& s, Settings& settings, xl::AppPtr& app);

// NewReportWorkbook: a workbook is added and the program made visible. The callers use
// its sheets 1, 2 and 3, so a workbook with fewer sheets gets sheets added up to three.
xl::WorkbookPtr newReportWorkbook(xl::Application& app);

// A list of this many rows under its heading must fit on a sheet; otherwise the command
// stops with a clear error before anything is written, rather than losing rows.
void checkListFitsSheet(long rows);

// LastUsedRow: the last non-empty row of a column, searched upwards from the sheet's
// last row; an empty column gives 1.
long lastUsedRow(xl::Sheet& sheet, long column);

// BlockRead: the range's values in one step, rows and columns from 1.
vb::Table blockRead(const xl::Range& range);
// BlockWrite: the anchor resized to the table's rows and `cols` columns receives the
// table in one step. An empty table writes nothing.
void blockWrite(const xl::Range& anchor, const vb::Table& table, long cols);
void blockWrite(const xl::Range& anchor, const vb::Table& table);

// TextFirst: the text format "@" before values are written, so codes such as "0402"
// stay text.
void textFirst(const xl::Range& range);

// ListHeaderStyle: bold, size 15, fill 9478398 on the headings; a filter over filterRange.
inline constexpr long kListHeaderFill = 9478398;
void listHeaderStyle(const xl::Range& headings, const xl::Range& filterRange);

// GridBorders: thin lines on every edge, then an outline of line style 9 (with the colour
// index when given).
void gridBorders(const xl::Range& range, std::optional<int> colorIndex = std::nullopt);

// PrefixPrompt: asks for the number of board prefixes; a usable answer (a number that
// rounds into 16 bits) replaces prefixCount, any other answer keeps it.
void prefixPrompt(User& user, int16_t& prefixCount);
inline constexpr const char* kPrefixPrompt =
    "如果元件序号有前缀[1-9],\n将按前缀分类统计!!!\n默认情况下,不作前缀分类处理!!!";

// Colours of the reports: red + 256 * green + 65536 * blue.
constexpr long rgb(int r, int g, int b) { return r + 256L * g + 65536L * b; }
inline constexpr long kMarkRed = rgb(255, 100, 100);  // 6579455

}  // namespace platform
