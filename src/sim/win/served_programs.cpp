#include "sim/win/served_programs.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "vb/error.h"
#include "vb/text.h"

namespace sim::win {

namespace win = platform::win;

namespace {

// The real programs served, each with the last byte of its classes.
struct RealProgram {
  const char* progId;
  unsigned char classByte;
};
constexpr RealProgram kRealPrograms[] = {
    {"Excel.Application", 0x01},      {"ET.Application", 0x02},         {"PowerLogic.Application", 0x03},
    {"PowerPCB.Application", 0x04},   {"BlazeRouter.Application", 0x05},
};

const RealProgram& realProgram(const std::string& progId) {
  for (const RealProgram& p : kRealPrograms)
    if (vb::lcase(p.progId) == vb::lcase(progId)) return p;
  vb::raise(vb::kCannotCreate);
}

}  // namespace

// One served class: its identifier and class in the registry, its class object, and the
// stand-in registered as its running instance once the world runs one.
struct ServedPrograms::Served {
  std::string progId;
  CLSID clsid;
  std::optional<win::ProgIdRegistration> registry;
  std::optional<win::ClassRegistration> classObject;
  std::optional<win::RunningRegistration> running;
};

std::vector<std::string> ServedNames::realIds() {
  std::vector<std::string> ids;
  for (const RealProgram& p : kRealPrograms) ids.emplace_back(p.progId);
  return ids;
}

std::string ServedNames::id(const std::string& progId) const {
  char tagText[16];
  std::snprintf(tagText, sizeof tagText, "%lX", tag);
  return std::string(from == ServedFrom::ThisProcess ? "Velmora" : "VelmoraRemote") + tagText + "." +
         realProgram(progId).progId;
}

namespace {

CLSID taggedClass(unsigned long tag, unsigned char kind, unsigned char program) {
  CLSID clsid = {0x7a3c51e0, 0x94d2, 0x4f6b, {0xa1, 0x58, 0, 0, 0, 0, kind, program}};
  for (int i = 0; i < 4; ++i) clsid.Data4[2 + i] = static_cast<unsigned char>(tag >> (8 * i));
  return clsid;
}

}  // namespace

CLSID ServedNames::classOf(const std::string& progId) const {
  return taggedClass(tag, from == ServedFrom::ThisProcess ? 0x10 : 0x20, realProgram(progId).classByte);
}

CLSID ServedNames::controlClass() const { return taggedClass(tag, 0x30, 0); }

std::string ServedNames::registered(const std::string& progId) const {
  for (const RealProgram& real : kRealPrograms)
    if (vb::lcase(real.progId) == vb::lcase(progId)) return id(progId);
  // Nothing is registered under the identifier of no real program.
  return progId;
}

ServedPrograms::ServedPrograms(SimPrograms& programs, ServedNames names) : programs_(programs), names_(names) {
  const bool local = names.from == ServedFrom::LocalServer;
  for (const RealProgram& real : kRealPrograms) {
    auto served = std::make_unique<Served>();
    served->progId = real.progId;
    served->clsid = names.classOf(real.progId);
    // A local server's classes are registered by whoever installs it (with its path).
    if (!local) served->registry.emplace(names.id(real.progId), served->clsid);
    const std::string progId = real.progId;
    served->classObject.emplace(served->clsid, win::DispatchFactory::create([this, progId] { return start(progId); }),
                                local ? CLSCTX_LOCAL_SERVER : CLSCTX_INPROC_SERVER);
    classes_.push_back(std::move(served));
  }
  programs_.onProgramRuns = [this] { programsRun(); };
  programsRun();  // what the world runs already
}

ServedPrograms::~ServedPrograms() {
  programs_.onProgramRuns = nullptr;
  // Nothing new is made or found from now on; then the objects go.
  classes_.clear();
  spreadsheets_.clear();
  pads_.clear();
}

win::Automation ServedPrograms::applicationOf(const std::shared_ptr<platform::xl::Application>& program) {
  for (const auto& s : spreadsheets_)
    if (s->program() == program) return s->application();
  spreadsheets_.push_back(std::make_unique<ServedSpreadsheet>(program));
  return spreadsheets_.back()->application();
}

win::Automation ServedPrograms::applicationOf(const std::shared_ptr<platform::pads::Application>& program) {
  for (const auto& p : pads_)
    if (p->program() == program) return p->application();
  pads_.push_back(std::make_unique<ServedPads>(program));
  return pads_.back()->application();
}

// A start through the class runs a new stand-in, as the real program starts a new instance.
win::Automation ServedPrograms::start(const std::string& progId) {
  if (SimPrograms::isSpreadsheetId(progId)) return applicationOf(programs_.startSpreadsheet(progId));
  return applicationOf(programs_.startPads(progId));
}

// The first stand-in of each identifier is the running instance that attach finds.
void ServedPrograms::programsRun() {
  for (const auto& served : classes_) {
    if (served->running) continue;
    win::Automation application;
    if (auto s = programs_.spreadsheet(served->progId)) application = applicationOf(platform::xl::AppPtr(s));
    else if (auto p = programs_.pads(served->progId)) application = applicationOf(platform::pads::AppPtr(p));
    if (!application.empty()) served->running.emplace(application.dispatch(), served->clsid);
  }
}

ProgramsThroughAutomation::ProgramsThroughAutomation(SimPrograms& programs)
    : served_(programs), com_([names = ServedNames{}](const std::string& progId) { return names.registered(progId); }) {}

platform::xl::AppPtr ProgramsThroughAutomation::attachSpreadsheet(const std::string& progId) {
  return com_.attachSpreadsheet(progId);
}
platform::xl::AppPtr ProgramsThroughAutomation::startSpreadsheet(const std::string& progId) {
  return com_.startSpreadsheet(progId);
}
platform::pads::AppPtr ProgramsThroughAutomation::attachPads(const std::string& progId) {
  return com_.attachPads(progId);
}
platform::pads::AppPtr ProgramsThroughAutomation::startPads(const std::string& progId) {
  return com_.startPads(progId);
}

}  // namespace sim::win
