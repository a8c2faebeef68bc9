#pragma once
// The in-memory PADS programs (Logic, Layout, Router) that stand in for the real ones.
#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/pads.h"
#include "platform/user.h"
#include "sim/faults.h"

namespace sim {

class SimPads : public platform::pads::Application {
 public:
  // The program's active design written as a design file (JSON).
  virtual void saveDesign(const std::string& localPath) = 0;
  // The calls made on the program since the last take, one line each ("SetScale 2").
  virtual std::vector<std::string> takeLog() = 0;
};

// A new instance, not visible and without a design. Members named in faults fail
// (scope: the program identifier). With alerts, a design file that cannot be opened is
// also reported to the user in the program's own message box (titled by its identifier),
// as the real program does, before the error goes to the caller.
std::shared_ptr<SimPads> makeSimPads(const std::string& progId, Faults& faults, platform::Files& files,
                                     platform::User* alerts = nullptr);

}  // namespace sim
