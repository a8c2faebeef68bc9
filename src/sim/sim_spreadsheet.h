#pragma once
// The in-memory spreadsheet program that stands in for Excel and WPS.
#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/spreadsheet.h"
#include "platform/user.h"
#include "sim/faults.h"
#include "formats/workbook_data.h"

namespace sim {

class SimSpreadsheet : public platform::xl::Application {
 public:
  // Every open workbook, in the order they were added or opened.
  virtual std::vector<platform::xl::WorkbookPtr> workbooks() = 0;
  // The user clicks the tab of a sheet of the active workbook (error 9 when none has the name).
  virtual void userActivateSheet(const std::string& name) = 0;
  virtual bool minimized() const = 0;
  virtual void setMinimized(bool m) = 0;
  // A workbook built from plain data, added as the active workbook.
  virtual platform::xl::WorkbookPtr addWorkbookFromData(const formats::WorkbookData& data) = 0;
};

// A new instance, not visible and without a workbook. Members named in faults fail
// (scope "spreadsheet"): "Workbooks.Add", "Sheets.Add", "Open", "Save", ... With alerts,
// a file that Open cannot read is also reported to the user in the program's own
// message box (titled by its identifier) while DisplayAlerts is on, as the real program
// does, before the error goes to the caller.
std::shared_ptr<SimSpreadsheet> makeSimSpreadsheet(const std::string& progId, Faults& faults,
                                                   platform::Files& files, platform::User* alerts = nullptr);

// The plain data of any workbook, read through the spreadsheet interface.
formats::WorkbookData toData(platform::xl::Workbook& wb);

// The workbook as it stands, written as an .xlsx file at this local path (a copy, as a
// session or a test saves it; no fault applies and the workbook keeps its name). A
// FileError when it cannot be written.
void saveCopyAsXlsx(platform::xl::Workbook& wb, const std::string& localPath);

}  // namespace sim
