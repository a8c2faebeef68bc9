// Operations whose work is not built yet: each returns at once and changes nothing.
// Each moves to its own file when it is built.
#include "compare/toolbar_commands.h"

namespace compare {
void compareClick(capture::ToolContext&) {}
void addValueClick(capture::ToolContext&) {}
void modifyClick(capture::ToolContext&) {}
void netlistButtonClick(capture::ToolContext&, const std::string&) {}
}  // namespace compare
