// Format转换: the rest of "Format BOM" once its list operation left the part list on sheet 2.
#include "normalise/change_report.h"
#include "normalise/designator_sort.h"
#include "normalise/pipelines.h"
#include "report/category_bom.h"
#include "report/split_bom.h"
#include "vb/error.h"
#include "vb/text.h"

namespace normalise {

void formatZhuanhuan(capture::ToolContext& t) {
  capture::ToolState& st = t.state;
  if (!st.spreadsheetApp) vb::raise(vb::kObjectNotSet);
  Flow f{t, st.spreadsheetApp->activeWorkbook()};
  SavedHeaders saved = writeChangeReport(f, kFormatLayout);
  if (vb::contains(t.sourceProgram(), "Altium Designer")) {
    // The categories are parked in column G while the designator sort uses F as scratch.
    platform::xl::SheetPtr report = f.sheet(3);
    std::string last = std::to_string(f.lastRow());
    if (f.lastRow() >= 2) {
      report->range("G2:G" + last).setValues(report->range("F2:F" + last).values());
      ref(f);
      report->range("F2:F" + last).setValues(report->range("G2:G" + last).values());
      report->range("G2:G" + last).clear();
    }
  }
  sortChangeReport(f, kFormatLayout, saved);
  if (st.splitByLayerFlag == "NO") report::fentype(f);
  else report::fenceng(f);
  if (st.keepPartTypeFlag == "NO") report::shuchu(f);
  nameReportSheets(f);
  bomSheetFinishStage1(*f.sheet(1));
  endPipeline(f);
}

}  // namespace normalise
