// 转换: the rest of "Create" once its list operation left a part list on sheet 2: the
// change report on sheet 3, the natural designator sort, the value sort, the category BOM
// on sheet 1, the sheet names, the finish and, when asked, the category rows removed.
#include "normalise/change_report.h"
#include "normalise/designator_sort.h"
#include "normalise/pipelines.h"
#include "platform/workbook_helpers.h"
#include "report/category_bom.h"
#include "vb/error.h"

namespace normalise {

void zhuanhuan(capture::ToolContext& t) {
  capture::ToolState& st = t.state;
  if (!st.spreadsheetApp) vb::raise(vb::kObjectNotSet);
  // The whole flow works on the workbook its list operation left active.
  Flow f{t, st.spreadsheetApp->activeWorkbook()};
  SavedHeaders saved = writeChangeReport(f, kCreateLayout);
  std::string source = t.sourceProgram();
  if (!source.empty() && source[0] != 'L') ref(f);
  sortChangeReport(f, kCreateLayout, saved);
  platform::textFirst(f.sheet(1)->range("A1:E" + std::to_string(f.lastRow())));
  report::fenleiTongji(f);
  nameReportSheets(f);
  bomSheetFinishStage1(*f.sheet(1));
  longTextGeneral(*f.sheet(1));
  if (t.settings.keepClassification() == "否") report::shuchuII(f);
  endPipeline(f);
}

}  // namespace normalise
