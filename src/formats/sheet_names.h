#pragma once
// Sheet names as the spreadsheet holds them. A file may name its sheets in ways the
// spreadsheet refuses (an .xls records any text, an .xlsx may repeat a name); such a
// workbook opens with its names repaired, so it can always be saved again.
#include <string>
#include <string_view>
#include <vector>

#include "formats/workbook_data.h"

namespace formats {

// What the spreadsheet allows in a sheet name: at most this many characters, none of these.
constexpr long kMaxSheetNameChars = 31;
constexpr std::string_view kSheetNameForbidden = ":\\/?*[]";

// Why the spreadsheet refuses a sheet name ("it is empty", "it holds one of : \ / ? * [ ]",
// ...); empty when it takes the name.
std::string sheetNameProblem(std::string_view name);
// Whether two sheet names are the same name, letter case ignored.
bool sameSheetName(std::string_view a, std::string_view b);

// Each sheet name made usable: no characters a file cannot hold (control characters,
// U+FFFE, U+FFFF), "_" for : \ / ? * [ ], no apostrophe at either end, at most 31
// characters, not empty ("SheetN" by its place) and unique without regard to case
// (" (2)", " (3)", ... added). A usable name stays as it is.
void repairSheetNames(std::vector<std::string>& names);
void repairSheetNames(WorkbookData& wb);

}  // namespace formats
