// Commands whose work is not built yet: each returns at once and changes nothing.
#include "compare/toolbar_commands.h"

namespace compare {

void copyAttributeToValue(platform::ToolContext&) {}
void writeValuesBack(platform::ToolContext&) {}

}  // namespace compare
