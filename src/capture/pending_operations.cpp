// Operations whose work is not built yet: each returns at once and changes nothing.
// Each moves to its own file when it is built.
#include "capture/operations.h"
#include "normalise/pipelines.h"
#include "report/reports.h"

namespace capture {
void logic(ToolContext&) {}
void layout(ToolContext&) {}
void excel(ToolContext&) {}
void protel99se(ToolContext&) {}
void protel(ToolContext&) {}
void allegro(ToolContext&) {}
void mentor(ToolContext&) {}
void pcad(ToolContext&) {}
void pads2k(ToolContext&) {}
void layoutFormatBom(ToolContext&) {}
void altiumFormatBom(ToolContext&) {}
}  // namespace capture

namespace normalise {
void zhuanhuan(capture::ToolContext&) {}
}  // namespace normalise

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
