#pragma once
// The running stand-in programs, by program identifier (letter case ignored), and the
// whole simulated world a test or a session runs the program in.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/programs.h"
#include "sim/faults.h"
#include "sim/sim_desktop.h"
#include "sim/sim_files.h"
#include "sim/sim_pads.h"
#include "sim/sim_spreadsheet.h"
#include "sim/sim_user.h"

namespace sim {

class SimPrograms : public platform::Programs {
 public:
  // With alerts, the programs report files they cannot open to that user, as the real
  // programs do (see makeSimSpreadsheet, makeSimPads).
  SimPrograms(Faults& faults, platform::Files& files, platform::User* alerts = nullptr)
      : faults_(faults), files_(files), alerts_(alerts) {}

  platform::xl::AppPtr attachSpreadsheet(const std::string& progId) override;
  platform::xl::AppPtr startSpreadsheet(const std::string& progId) override;
  platform::pads::AppPtr attachPads(const std::string& progId) override;
  platform::pads::AppPtr startPads(const std::string& progId) override;

  // A program the test or session has running (the first one started of that identifier).
  std::shared_ptr<SimSpreadsheet> spreadsheet(const std::string& progId) const;
  std::shared_ptr<SimPads> pads(const std::string& progId) const;
  // Every spreadsheet instance, in the order they were started.
  const std::vector<std::shared_ptr<SimSpreadsheet>>& spreadsheets() const { return sheets_; }
  // A program starts running: the first instance of its identifier is what attaching finds.
  std::shared_ptr<SimSpreadsheet> runSpreadsheet(const std::string& progId);
  std::shared_ptr<SimPads> runPads(const std::string& progId);

  // Told after each program that starts running, whoever runs or starts it.
  std::function<void()> onProgramRuns;

  static bool isSpreadsheetId(const std::string& progId);
  static bool isPadsId(const std::string& progId);

 private:
  Faults& faults_;
  platform::Files& files_;
  platform::User* alerts_;
  std::vector<std::shared_ptr<SimSpreadsheet>> sheets_;
  std::vector<std::shared_ptr<SimPads>> pads_;
};

struct World {
  Faults faults;
  SimUser user;
  SimDesktop desktop;
  SimFiles files{faults};
  SimPrograms programs{faults, files, &user};
};

}  // namespace sim
