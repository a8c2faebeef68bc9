#pragma once
// The running outside programs as the real ones, through COM automation: attach to a
// running spreadsheet or PADS program, or start one, by its program identifier. One
// wrapper per program object, so attaching twice gives the same application.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/programs.h"
#include "platform/win/automation.h"

namespace platform::win {

class ComPrograms : public platform::Programs {
 public:
  xl::AppPtr attachSpreadsheet(const std::string& progId) override;
  xl::AppPtr startSpreadsheet(const std::string& progId) override;
  pads::AppPtr attachPads(const std::string& progId) override;
  pads::AppPtr startPads(const std::string& progId) override;

 private:
  xl::AppPtr spreadsheetOf(Automation program, const std::string& progId);
  pads::AppPtr padsOf(Automation program, const std::string& progId);

  ComApartment apartment_;  // COM on this (the user interface's) thread while the programs are used
  std::vector<std::pair<Automation, xl::AppPtr>> spreadsheets_;
  std::vector<std::pair<Automation, pads::AppPtr>> pads_;
};

}  // namespace platform::win
