#pragma once
// The six settings, read as the current texts of the settings window's boxes at the
// moment a command needs them. The first read creates the window, hidden.
#include <string>

namespace platform {

class Settings {
 public:
  virtual ~Settings() = default;
  virtual std::string logicAttribute() = 0;
  virtual std::string layoutAttribute() = 0;
  virtual std::string joinSymbol() = 0;
  virtual std::string convertAttributes() = 0;
  virtual std::string keepClassification() = 0;
  virtual std::string spreadsheetProgram() = 0;
};

}  // namespace platform
