#include "sim/sim_programs.h"

#include "vb/error.h"
#include "vb/text.h"

namespace sim {

namespace {
bool sameId(const std::string& a, const std::string& b) { return vb::lcase(a) == vb::lcase(b); }
}  // namespace

bool SimPrograms::isSpreadsheetId(const std::string& progId) {
  return sameId(progId, "Excel.Application") || sameId(progId, "ET.Application");
}

bool SimPrograms::isPadsId(const std::string& progId) {
  return sameId(progId, platform::pads::kLogicProgId) || sameId(progId, platform::pads::kLayoutProgId) ||
         sameId(progId, platform::pads::kRouterProgId);
}

std::shared_ptr<SimSpreadsheet> SimPrograms::spreadsheet(const std::string& progId) const {
  for (const auto& s : sheets_)
    if (sameId(s->progId(), progId)) return s;
  return nullptr;
}

std::shared_ptr<SimPads> SimPrograms::pads(const std::string& progId) const {
  for (const auto& p : pads_)
    if (sameId(p->progId(), progId)) return p;
  return nullptr;
}

std::shared_ptr<SimSpreadsheet> SimPrograms::runSpreadsheet(const std::string& progId) {
  if (!isSpreadsheetId(progId)) vb::raise(vb::kCannotCreate);
  std::string canonical = sameId(progId, "Excel.Application") ? "Excel.Application" : "ET.Application";
  auto s = makeSimSpreadsheet(canonical, faults_, files_, alerts_);
  sheets_.push_back(s);
  if (onProgramRuns) onProgramRuns();
  return s;
}

std::shared_ptr<SimPads> SimPrograms::runPads(const std::string& progId) {
  if (!isPadsId(progId)) vb::raise(vb::kCannotCreate);
  std::string canonical = sameId(progId, platform::pads::kLogicProgId)    ? platform::pads::kLogicProgId
                          : sameId(progId, platform::pads::kLayoutProgId) ? platform::pads::kLayoutProgId
                                                                          : platform::pads::kRouterProgId;
  auto p = makeSimPads(canonical, faults_, files_, alerts_);
  pads_.push_back(p);
  if (onProgramRuns) onProgramRuns();
  return p;
}

platform::xl::AppPtr SimPrograms::attachSpreadsheet(const std::string& progId) {
  auto s = spreadsheet(progId);
  if (!s) vb::raise(vb::kCannotCreate);
  return s;
}

platform::xl::AppPtr SimPrograms::startSpreadsheet(const std::string& progId) {
  faults_.check("spreadsheet", "Start");
  return runSpreadsheet(progId);
}

platform::pads::AppPtr SimPrograms::attachPads(const std::string& progId) {
  auto p = pads(progId);
  if (!p) vb::raise(vb::kCannotCreate);
  return p;
}

platform::pads::AppPtr SimPrograms::startPads(const std::string& progId) {
  faults_.check(progId, "Start");
  return runPads(progId);
}

}  // namespace sim
