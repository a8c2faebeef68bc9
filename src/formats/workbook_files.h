#pragma once
// Workbook files: .xlsx written and read, .xls and .csv read.
#include <string>

#include "formats/file_error.h"
#include "formats/workbook_data.h"
#include "formats/workbook_stream.h"

namespace formats {

// Writes the workbook as an .xlsx file at this local path, through a temporary file
// beside it, so a failed save leaves an older file as it was (FileError Unwritable).
void saveXlsx(const WorkbookData& wb, const std::string& localPath);

// Reads a workbook file by its extension (.xlsx, .xls, .csv). A file that is missing,
// cannot be read, or is no workbook of its kind (or is damaged) is a FileError whose
// text names the file and says what is wrong.
WorkbookData loadWorkbookFile(const std::string& localPath);

}  // namespace formats
