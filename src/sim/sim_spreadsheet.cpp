// Placeholder until the stand-in spreadsheet is written.
#include "sim/sim_spreadsheet.h"

#include "vb/error.h"

namespace sim {
std::shared_ptr<SimSpreadsheet> makeSimSpreadsheet(const std::string&, Faults&, platform::Files&) {
  vb::raise(vb::kCannotCreate);
}
WorkbookData toData(platform::xl::Workbook&) { return {}; }
}  // namespace sim
