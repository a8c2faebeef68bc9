#include "normalise/designator_sort.h"

#include "normalise/natural_ref_key.h"
#include "platform/workbook_helpers.h"
#include "vb/convert.h"
#include "vb/error.h"

namespace normalise {

namespace xl = platform::xl;

void sortByDesignator(const platform::ReportFlow& f) {
  platform::ToolState& st = f.t.state;
  // Attaching reads the setting again (an unknown text ends the program); the sort itself
  // stays on the flow's own workbook.
  platform::attachSpreadsheet(f.t.services, f.t.settings, st.spreadsheetApp);
  const long last = f.lastRow();
  if (last < 2) return;  // a header alone: nothing to order
  vb::SkipOnError skip;
  xl::SheetPtr report;
  skip.step([&] { report = f.sheet(3); });
  if (!report) return;
  auto scratch = [&] { return report->range("F2:F" + std::to_string(last)); };
  skip.step([&] { scratch().clear(); });
  std::vector<std::string> designators;
  skip.step([&] {
    vb::Table names = report->range("E2:E" + std::to_string(last)).values();
    designators.reserve(static_cast<size_t>(names.rows()));
    for (long r = 1; r <= names.rows(); ++r) designators.push_back(vb::toText(names(r, 1)));
  });
  skip.step([&] {
    // The keys are texts of equal length that compare as the numbers they spell, so they
    // stay exact for designators of any length.
    std::vector<std::string> keys = naturalRefKeys(designators);
    vb::Table column(static_cast<long>(keys.size()), 1);
    for (size_t i = 0; i < keys.size(); ++i) column(static_cast<long>(i) + 1, 1) = std::move(keys[i]);
    scratch().setNumberFormat("@");
    platform::blockWrite(report->cell(2, 6), column, 1);
  });
  skip.step([&] { reportSort(report->range("A1:Q" + std::to_string(last)), 6, 5, 3, xl::xlGuess); });
  skip.step([&] { scratch().clear(); });
}

}  // namespace normalise
