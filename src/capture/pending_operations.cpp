// Operations whose work is not built yet: each returns at once and changes nothing.
// Each moves to its own file when it is built.
#include "capture/operations.h"
#include "report/reports.h"

namespace capture {
void logic(ToolContext&) {}
void layout(ToolContext&) {}
void excel(ToolContext&) {}
void layoutFormatBom(ToolContext&) {}
void altiumFormatBom(ToolContext&) {}
}  // namespace capture

namespace report {
void formatBom(capture::ToolContext&) {}
}  // namespace report

#include "compare/toolbar_commands.h"

namespace compare {
void compareClick(capture::ToolContext&) {}
void addValueClick(capture::ToolContext&) {}
void modifyClick(capture::ToolContext&) {}
void netlistButtonClick(capture::ToolContext&, const std::string&) {}
}  // namespace compare

#include "report/split_bom.h"

namespace report {
void fenceng(const normalise::Flow&) {}
void fentype(const normalise::Flow&) {}
}  // namespace report
