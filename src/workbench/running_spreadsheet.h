#pragma once
// The running spreadsheet program that the settings name, attached into the window's
// SpreadsheetApp for one command of the workbench.
#include "platform/workbook_helpers.h"
#include "vb/error.h"

namespace workbench {

// True when it runs; an invalid setting ends the program, as attachSpreadsheet does.
inline bool attachRunningSpreadsheet(platform::Services& s, platform::Settings& settings, platform::xl::AppPtr& app) {
  vb::SkipOnError skip;
  return skip.step([&] { platform::attachSpreadsheet(s, settings, app); }) && app;
}

}  // namespace workbench
