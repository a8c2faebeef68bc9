// Placeholder until the workbook files are written.
#include "sim/workbook_files.h"

#include "vb/error.h"

namespace sim {
void saveXlsx(const WorkbookData&, const std::string&) { vb::raise(vb::kPathAccess); }
WorkbookData loadWorkbookFile(const std::string&) { vb::raise(vb::kAppDefined); }
}  // namespace sim
