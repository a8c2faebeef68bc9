#pragma once
// The change report shared by "Create" and "Format BOM": the part list on sheet 2 is read
// in blocks of rows, every row goes through the value normaliser in memory, and each block
// is written to sheet 3 as one, then the report is sorted by its keys. One driver, two
// column layouts.
#include <string>
#include <vector>

#include "platform/tool_state.h"
#include "platform/spreadsheet.h"

namespace normalise {

struct ReportLayout {
  long width;                   // columns of the report (10 or 17)
  long valueChange, decalChange;  // V-Change and D-Change columns
  long sort1, sort2;            // key columns
  std::vector<long> emptied;    // columns emptied in every row before the rules run
  const char* textColumns;      // text format on sheet 3 ("A:H")
  const char* fractionColumn;   // "# ?/?" on sheet 3 ("J")
  std::vector<const char*> headings;
  const char* headerRange;      // ListHeaderStyle headings ("A1:H1")
  const char* filterLastColumn; // the filter runs from A1 to this column ("H")
  const char* sortLastColumn;   // the value sort runs over A1 to this column ("K")
};

extern const ReportLayout kCreateLayout;
extern const ReportLayout kFormatLayout;

// The part list's key-column headings, saved before the run and put back after the sort.
struct SavedHeaders {
  std::string sort1, sort2;
};

// Steps up to the header look: saves and sets the key headings on sheet 2, reads the
// list, normalises every row and writes the report to sheet 3.
SavedHeaders writeChangeReport(const platform::ReportFlow& f, const ReportLayout& layout);

// The value sort by Sort1, Sort2 and the value, then the key columns cleared and the
// saved headings of sheet 2 put back.
void sortChangeReport(const platform::ReportFlow& f, const ReportLayout& layout, const SavedHeaders& saved);

// ReportSort: one sort of the range by three key columns, ascending, letter case ignored.
void reportSort(const platform::xl::Range& range, long key1, long key2, long key3, int header);

// BomSheetFinish, stage 1: widths A 10, B 15, C 15, D 5, E 25, font size 9, wrapped text,
// the used columns fitted, a filter on A1:E1. Stage 2: A1 selected and grid borders around
// the table.
void bomSheetFinishStage1(platform::xl::Sheet& sheet);
void bomSheetFinishStage2(platform::xl::Sheet& sheet);

// LongTextGeneral: a designator cell (column E) longer than 255 characters gets the
// general format, so the spreadsheet shows it whole.
void longTextGeneral(platform::xl::Sheet& sheet);

// The three sheet names of a finished report workbook.
void nameReportSheets(const platform::ReportFlow& f);

// The end of both pipelines: events off, BomSheetFinish stage 2 on sheet 1, screen
// updating on, the application released.
void endPipeline(const platform::ReportFlow& f);

}  // namespace normalise
