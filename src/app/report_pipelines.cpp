#include "app/report_pipelines.h"

#include "normalise/change_report.h"
#include "normalise/designator_sort.h"
#include "platform/workbook_helpers.h"
#include "report/category_bom.h"
#include "report/split_bom.h"
#include "vb/error.h"
#include "vb/text.h"

namespace app {

namespace {

// The flow works on the workbook its list command left active.
platform::ReportFlow startFlow(platform::ToolContext& t) {
  if (!t.state.spreadsheetApp) vb::raise(vb::kObjectNotSet);
  return platform::ReportFlow{t, t.state.spreadsheetApp->activeWorkbook()};
}

}  // namespace

void buildCreateReports(platform::ToolContext& t) {
  platform::ReportFlow f = startFlow(t);
  normalise::SavedHeaders saved = normalise::writeChangeReport(f, normalise::kCreateLayout);
  std::string source = t.sourceProgram();
  if (!source.empty() && source[0] != 'L') normalise::sortByDesignator(f);
  normalise::sortChangeReport(f, normalise::kCreateLayout, saved);
  platform::textFirst(f.sheet(1)->range("A1:E" + std::to_string(f.lastRow())));
  report::buildCategoryBom(f);
  normalise::nameReportSheets(f);
  normalise::bomSheetFinishStage1(*f.sheet(1));
  normalise::longTextGeneral(*f.sheet(1));
  if (t.settings.keepClassification() == "否") report::purgeCategoryRows(f);
  normalise::endPipeline(f);
}

void buildFormatBomReports(platform::ToolContext& t) {
  platform::ToolState& st = t.state;
  platform::ReportFlow f = startFlow(t);
  normalise::SavedHeaders saved = normalise::writeChangeReport(f, normalise::kFormatLayout);
  if (vb::contains(t.sourceProgram(), "Altium Designer")) {
    // The categories are parked in column G while the designator sort uses F as scratch.
    platform::xl::SheetPtr report = f.sheet(3);
    std::string last = std::to_string(f.lastRow());
    if (f.lastRow() >= 2) {
      report->range("G2:G" + last).setValues(report->range("F2:F" + last).values());
      normalise::sortByDesignator(f);
      report->range("F2:F" + last).setValues(report->range("G2:G" + last).values());
      report->range("G2:G" + last).clear();
    }
  }
  normalise::sortChangeReport(f, normalise::kFormatLayout, saved);
  if (st.splitByLayerFlag == "NO") report::splitBomByMounting(f);
  else report::splitBomBySide(f);
  if (st.keepPartTypeFlag == "NO") report::purgeSplitCategoryRows(f);
  normalise::nameReportSheets(f);
  normalise::bomSheetFinishStage1(*f.sheet(1));
  normalise::endPipeline(f);
}

}  // namespace app
