#include "normalise/change_report.h"

#include <algorithm>
#include <optional>

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

// Rows of the list taken at a time: read, normalised and written to the report, so the
// block in hand stays small (and in the processor's cache) however long the list is.
constexpr long kBlockRows = 8192;

}  // namespace

SavedHeaders writeChangeReport(const platform::ReportFlow& f, const ReportLayout& L) {
  xl::SheetPtr list = f.sheet(2);
  SavedHeaders saved{vb::toText(list->get(1, L.sort1)), vb::toText(list->get(1, L.sort2))};
  list->cell(1, L.sort1).setValue("Sort1");
  list->cell(1, L.sort2).setValue("Sort2");
  xl::SheetPtr report = f.sheet(3);
  report->columns(L.textColumns).setNumberFormatLocal("@");
  report->columns(L.fractionColumn).setNumberFormatLocal("# ?/?");

  // The list's block runs from A1 to the bottom right of its used range, at least as wide
  // as the report.
  const xl::Area used = list->usedArea();
  const long width = std::max(used.c2, L.width);
  platform::Settings& settings = f.t.settings;
  std::optional<bool> convert;  // the setting, read at the first part row
  for (long top = 1; top <= used.r2; top += kBlockRows) {
    const long bottom = std::min(used.r2, top + kBlockRows - 1);
    vb::Table work = list->range(list->cell(top, 1), list->cell(bottom, width)).values();
    for (long i = top == 1 ? 2 : 1; i <= work.rows(); ++i) {
      // The row's cells as the list holds them: each row is read before anything of it is
      // written, so the flags compare against the list as it was.
      const std::string value = vb::toText(work(i, 2)), package = vb::toText(work(i, 3)),
                        designator = vb::toText(work(i, 5));
      for (long c : L.emptied) work(i, c) = "";
      if (!convert) convert = settings.convertAttributes() == "是";
      NormalisedRow out = normaliseRow({value, package, designator}, *convert);
      if (out.package != package) work(i, 3) = out.package;
      if (out.value != value) work(i, 2) = out.value;
      if (out.packageChanged) work(i, L.decalChange) = "YES";
      if (out.valueChanged) work(i, L.valueChange) = "YES";
      work(i, L.sort1) = out.sort1;
      work(i, L.sort2) = out.sort2;
    }
    platform::blockWrite(report->cell(top, 1), work, L.width);
  }
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
