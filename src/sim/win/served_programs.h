#pragma once
// The stand-in programs of a world served through automation, each real program's
// identifier under a test identifier of its own ("Velmora1F2C.Excel.Application" for
// Excel.Application), so the program reaches the stand-ins through COM exactly as it
// reaches the real programs: a start runs a new stand-in through the class registered for
// it, and attach finds the first stand-in of that identifier the world runs, as it does
// with the stand-ins used directly. Identifiers and classes carry a tag (the process id of
// the tests that serve or start them), so test processes running side by side on one
// desktop never find each other's programs.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/programs.h"
#include "platform/win/com_programs.h"
#include "platform/win/dispatch_object.h"
#include "sim/sim_programs.h"
#include "sim/win/served_pads.h"
#include "sim/win/served_spreadsheet.h"

namespace sim::win {

// Where the classes are served from: this process alone (the tests' in-process server),
// or every process (a program of ours that COM starts as a local server).
enum class ServedFrom { ThisProcess, LocalServer };

// The identifiers and classes the stand-ins are served under, by where they are served
// from (a local server's differ, so both kinds can be registered side by side) and tag.
struct ServedNames {
  ServedFrom from = ServedFrom::ThisProcess;
  unsigned long tag = GetCurrentProcessId();

  std::string id(const std::string& progId) const;
  CLSID classOf(const std::string& progId) const;
  // The class of a local server's control object (see tests/platform_win/server).
  CLSID controlClass() const;
  // The real programs' identifiers that are served.
  static std::vector<std::string> realIds();
  // The served identifier of a real program's, or the identifier as it is for any other.
  std::string registered(const std::string& progId) const;
};

class ServedPrograms {
 public:
  // COM must be set up on this thread while the object lives.
  explicit ServedPrograms(SimPrograms& programs, ServedNames names = {});
  ~ServedPrograms();
  ServedPrograms(const ServedPrograms&) = delete;
  ServedPrograms& operator=(const ServedPrograms&) = delete;

  // The automation object of a stand-in the world runs (served from now on).
  platform::win::Automation applicationOf(const std::shared_ptr<platform::xl::Application>& program);
  platform::win::Automation applicationOf(const std::shared_ptr<platform::pads::Application>& program);

 private:
  struct Served;
  void programsRun();
  platform::win::Automation start(const std::string& progId);

  SimPrograms& programs_;
  ServedNames names_;
  std::vector<std::unique_ptr<ServedSpreadsheet>> spreadsheets_;
  std::vector<std::unique_ptr<ServedPads>> pads_;
  std::vector<std::unique_ptr<Served>> classes_;
};

// The program's way to the stand-ins of a world through automation: the stand-ins served
// in this process, reached through the real programs' interfaces over COM.
class ProgramsThroughAutomation : public platform::Programs {
 public:
  explicit ProgramsThroughAutomation(SimPrograms& programs);
  platform::xl::AppPtr attachSpreadsheet(const std::string& progId) override;
  platform::xl::AppPtr startSpreadsheet(const std::string& progId) override;
  platform::pads::AppPtr attachPads(const std::string& progId) override;
  platform::pads::AppPtr startPads(const std::string& progId) override;

 private:
  platform::win::ComApartment apartment_;
  ServedPrograms served_;
  platform::win::ComPrograms com_;  // goes first, releasing what it holds of the served programs
};

}  // namespace sim::win
