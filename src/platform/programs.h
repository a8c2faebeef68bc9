#pragma once
// The running outside programs, by program identifier (looked up without regard to
// letter case). Attaching to a program that does not run fails with error 429;
// starting one gives a new, invisible instance.
#include <memory>
#include <string>

#include "platform/pads.h"
#include "platform/spreadsheet.h"

namespace platform {

class Programs {
 public:
  virtual ~Programs() = default;
  virtual xl::AppPtr attachSpreadsheet(const std::string& progId) = 0;
  virtual xl::AppPtr startSpreadsheet(const std::string& progId) = 0;
  virtual pads::AppPtr attachPads(const std::string& progId) = 0;
  virtual pads::AppPtr startPads(const std::string& progId) = 0;
};

}  // namespace platform
