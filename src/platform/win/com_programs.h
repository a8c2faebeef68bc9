#pragma once
// The running outside programs as the real ones, through COM automation: attach to a
// running spreadsheet or PADS program, or start one, by its program identifier. One
// wrapper per program object, so attaching twice gives the same application.
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/programs.h"
#include "platform/win/automation.h"

namespace platform::win {

class ComPrograms : public platform::Programs {
 public:
  // The identifier a program is registered under, from the one the callers name; the
  // programs' own identifiers unless told otherwise (the tests serve our stand-ins under
  // identifiers of their own). The applications keep the callers' identifier.
  using Registration = std::function<std::string(const std::string& progId)>;
  explicit ComPrograms(Registration registeredAs = {}) : registeredAs_(std::move(registeredAs)) {}

  xl::AppPtr attachSpreadsheet(const std::string& progId) override;
  xl::AppPtr startSpreadsheet(const std::string& progId) override;
  pads::AppPtr attachPads(const std::string& progId) override;
  pads::AppPtr startPads(const std::string& progId) override;

 private:
  xl::AppPtr spreadsheetOf(Automation program, const std::string& progId);
  pads::AppPtr padsOf(Automation program, const std::string& progId);

  std::string registered(const std::string& progId) const {
    return registeredAs_ ? registeredAs_(progId) : progId;
  }

  ComApartment apartment_;  // COM on this (the user interface's) thread while the programs are used
  Registration registeredAs_;
  std::vector<std::pair<Automation, xl::AppPtr>> spreadsheets_;
  std::vector<std::pair<Automation, pads::AppPtr>> pads_;
};

}  // namespace platform::win
