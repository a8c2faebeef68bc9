#include "normalise/change_report.h"

#include <algorithm>

#include "normalise/value_normaliser.h"
#include "platform/workbook_helpers.h"
#include "vb/convert.h"
#include "vb/error.h"
#include "vb/text.h"

namespace normalise {

namespace xl = platform::xl;

const ReportLayout kCreateLayout = {
    10, 7, 8, 9, 10, {7, 8, 9, 10}, "A:H", "J",
    {"No.", "Value", "PartDecal", "Qty", "RefDes", "Part Type", "V-Change", "D-Change", "Sort1", "Sort2"},
    "A1:H1", "H", "K"};

const ReportLayout kFormatLayout = {
    17, 14, 15, 16, 17, {14, 15}, "A:O", "Q",
    {"No.", "Value", "PartDecal", "Qty", "RefDes", "Part Type", "Pins", "layer", "Orient.", "X", "Y", "SMD", "Glued",
     "V-Change", "D-Change", "Sort1", "Sort2"},
    "A1:Q1", "O", "Q"};

namespace {

std::string row(long r) { return std::to_string(r); }

// The list's block: from A1 to the bottom right of the sheet's used range, at least
// `width` columns wide.
vb::Table readList(xl::Sheet& list, long width) {
  xl::Area used = list.usedArea();
  return list.range(list.cell(1, 1), list.cell(used.r2, std::max(used.c2, width))).values();
}

}  // namespace

SavedHeaders writeChangeReport(const platform::ReportFlow& f, const ReportLayout& L) {
  xl::SheetPtr list = f.sheet(2);
  SavedHeaders saved{vb::toText(list->get(1, L.sort1)), vb::toText(list->get(1, L.sort2))};
  list->cell(1, L.sort1).setValue("Sort1");
  list->cell(1, L.sort2).setValue("Sort2");
  vb::Table work = readList(*list, L.width);

  platform::Settings& settings = f.t.settings;
  for (long r = 2; r <= work.rows(); ++r) {
    // The row's cells as the list holds them: each row is read before anything of it is
    // written, so the flags compare against the list as it was.
    const std::string value = vb::toText(work(r, 2)), package = vb::toText(work(r, 3)),
                      designator = vb::toText(work(r, 5));
    for (long c : L.emptied) work(r, c) = "";
    NormalisedRow out = normaliseRow({value, package, designator}, settings.convertAttributes() == "是");
    if (out.package != package) work(r, 3) = out.package;
    if (out.value != value) work(r, 2) = out.value;
    if (out.packageChanged) work(r, L.decalChange) = "YES";
    if (out.valueChanged) work(r, L.valueChange) = "YES";
    work(r, L.sort1) = out.sort1;
    work(r, L.sort2) = out.sort2;
  }

  xl::SheetPtr report = f.sheet(3);
  report->columns(L.textColumns).setNumberFormatLocal("@");
  report->columns(L.fractionColumn).setNumberFormatLocal("# ?/?");
  platform::blockWrite(report->cell(1, 1), work, L.width);
  vb::Table head(1, L.width);
  for (long c = 1; c <= L.width; ++c) head(1, c) = L.headings[static_cast<size_t>(c - 1)];
  report->range(report->cell(1, 1), report->cell(1, L.width)).setValues(head);
  platform::listHeaderStyle(report->range(L.headerRange),
                            report->range(std::string("A1:") + L.filterLastColumn + row(f.lastRow())));
  return saved;
}

void reportSort(const xl::Range& range, long key1, long key2, long key3, int header) {
  xl::SortSpec sorting;
  sorting.keys = {{key1, 1}, {key2, 1}, {key3, 1}};
  sorting.header = header;
  sorting.matchCase = false;
  sorting.orientation = 1;
  range.sort(sorting);
}

void sortChangeReport(const platform::ReportFlow& f, const ReportLayout& L, const SavedHeaders& saved) {
  xl::SheetPtr report = f.sheet(3);
  long last = f.lastRow();
  reportSort(report->range(std::string("A1:") + L.sortLastColumn + row(last)), L.sort1, L.sort2, 2, xl::xlYes);
  report->range(report->cell(1, L.sort1), report->cell(last, L.sort1)).clear();
  report->range(report->cell(1, L.sort2), report->cell(last, L.sort2)).clear();
  xl::SheetPtr list = f.sheet(2);
  list->cell(1, L.sort1).setValue(saved.sort1);
  list->cell(1, L.sort2).setValue(saved.sort2);
}

void bomSheetFinishStage1(xl::Sheet& sheet) {
  const std::pair<const char*, double> widths[] = {{"A", 10}, {"B", 15}, {"C", 15}, {"D", 5}, {"E", 25}};
  for (const auto& w : widths) sheet.columns(w.first).setColumnWidth(w.second);
  sheet.cells().setFontSize(9);
  sheet.cells().setWrapText(true);
  sheet.usedRange().entireColumn().autoFit();
  sheet.range("A1:E1").autoFilter();
}

void bomSheetFinishStage2(xl::Sheet& sheet) {
  sheet.range("A1").select();
  platform::gridBorders(sheet.cell(1, 1).currentRegion());
}

void longTextGeneral(xl::Sheet& sheet) {
  long last = platform::lastUsedRow(sheet, 4);
  vb::Table names = sheet.range(sheet.cell(1, 5), sheet.cell(last, 5)).values();
  for (long r = 1; r <= names.rows(); ++r)
    if (vb::len(vb::toText(names(r, 1))) > 255) sheet.cell(r, 5).setNumberFormatLocal("G/通用格式");
}

void nameReportSheets(const platform::ReportFlow& f) {
  f.sheet(1)->setName("BOM Report");
  f.sheet(2)->setName("List Report");
  f.sheet(3)->setName("Change Report");
}

void endPipeline(const platform::ReportFlow& f) {
  platform::ToolState& st = f.t.state;
  if (!st.spreadsheetApp) vb::raise(vb::kObjectNotSet);
  st.spreadsheetApp->setEnableEvents(false);
  bomSheetFinishStage2(*f.sheet(1));
  st.spreadsheetApp->setScreenUpdating(true);
  st.spreadsheetApp.reset();
}

}  // namespace normalise
