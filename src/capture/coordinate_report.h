#pragma once
// The placement coordinate files "report.txt" (fixed-width columns) and "report.csv"
// (quoted values) written into the program's folder from the PADS Layout part list, and
// the desktop operations they use.
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/services.h"
#include "vb/variant.h"

namespace capture {

// ProgramFolder: the folder of the program's executable, without a trailing separator.
std::string programFolder(platform::Desktop& desktop);
// ShowInNotepad: Notepad opens the file ("notepad " and the unquoted path), not waited for.
void showInNotepad(platform::Desktop& desktop, const std::string& path);

struct CoordinateReport {
  std::string designName;  // the design's name, for the title line
  std::string date;        // today in the user's short date format
  long width = 0;          // W: the width of every column but the last in "report.txt"
  vb::Table rows;          // the list's rows of 13 values as the sheet holds them
};

// The text of one value in the files: a text unchanged, a number in its shortest form,
// an empty value as nothing.
std::string reportCellText(const vb::Variant& v);

// The lines of the two files (without line ends).
std::vector<std::string> reportTxtLines(const CoordinateReport& report);
std::vector<std::string> reportCsvLines(const CoordinateReport& report);

// Writes "report.txt" into the program's folder and opens it in Notepad, then the same for
// "report.csv". Each file replaces an older one; 8-bit text, CR LF line ends.
void writeCoordinateReport(platform::Services& services, const CoordinateReport& report);

}  // namespace capture
