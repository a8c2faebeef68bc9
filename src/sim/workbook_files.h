#pragma once
// Workbook files of the stand-in spreadsheet: .xlsx written and read, .xls and .csv read.
#include <string>

#include "sim/workbook_data.h"

namespace sim {

// Writes the workbook as an .xlsx file at this local path (error 75 when it cannot).
void saveXlsx(const WorkbookData& wb, const std::string& localPath);

// Reads a workbook file by its extension (.xlsx, .xls, .csv). A file that is missing
// is error 53; a file that is no workbook of its kind (or is damaged) is error 1004
// with a description that names the file and says what is wrong.
WorkbookData loadWorkbookFile(const std::string& localPath);

}  // namespace sim
