#pragma once
// A spreadsheet program of ours served through automation with the object model of the
// real one (Application, Workbooks, Workbook, Sheets, Worksheet, Range and the Range's
// Font, Interior and Borders), so the interface over the real program's automation
// (platform/win/com_spreadsheet.h) can drive it exactly as it drives Excel or WPS.
//
//   sim::win::ServedSpreadsheet served(world.programs.runSpreadsheet("Excel.Application"));
//   auto excel = platform::win::comSpreadsheet(served.application(), "Excel.Application");
#include <memory>

#include "platform/spreadsheet.h"
#include "platform/win/automation.h"

namespace sim::win {

class ServedObjects;

class ServedSpreadsheet {
 public:
  explicit ServedSpreadsheet(std::shared_ptr<platform::xl::Application> program);
  // Every object it made is released; an object a client still holds fails its calls
  // from then on, as an object of a program that has gone does.
  ~ServedSpreadsheet();
  ServedSpreadsheet(const ServedSpreadsheet&) = delete;
  ServedSpreadsheet& operator=(const ServedSpreadsheet&) = delete;

  // The program's Application object, the same object each time.
  platform::win::Automation application() const;
  const std::shared_ptr<platform::xl::Application>& program() const { return program_; }

 private:
  std::shared_ptr<platform::xl::Application> program_;
  std::shared_ptr<ServedObjects> objects_;
};

}  // namespace sim::win
