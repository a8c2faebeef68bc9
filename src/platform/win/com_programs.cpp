#include "platform/win/com_programs.h"

#include "platform/win/com_pads.h"
#include "platform/win/com_spreadsheet.h"

namespace platform::win {

namespace {

template <class Ptr, class Make>
Ptr wrapperOf(std::vector<std::pair<Automation, Ptr>>& known, Automation program, Make make) {
  for (const auto& [object, wrapper] : known)
    if (object.sameObject(program)) return wrapper;
  Ptr wrapper = make(program);
  known.emplace_back(std::move(program), wrapper);
  return wrapper;
}

}  // namespace

xl::AppPtr ComPrograms::spreadsheetOf(Automation program, const std::string& progId) {
  return wrapperOf(spreadsheets_, std::move(program), [&](const Automation& p) { return comSpreadsheet(p, progId); });
}

pads::AppPtr ComPrograms::padsOf(Automation program, const std::string& progId) {
  return wrapperOf(pads_, std::move(program), [&](const Automation& p) { return comPads(p, progId); });
}

xl::AppPtr ComPrograms::attachSpreadsheet(const std::string& progId) {
  return spreadsheetOf(Automation::attach(registered(progId)), progId);
}

xl::AppPtr ComPrograms::startSpreadsheet(const std::string& progId) {
  return spreadsheetOf(Automation::start(registered(progId)), progId);
}

pads::AppPtr ComPrograms::attachPads(const std::string& progId) { return padsOf(Automation::attach(registered(progId)), progId); }

pads::AppPtr ComPrograms::startPads(const std::string& progId) { return padsOf(Automation::start(registered(progId)), progId); }

}  // namespace platform::win
