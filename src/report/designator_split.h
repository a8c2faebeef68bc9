#pragma once
// DesignatorSplit: a DesignatorList taken apart again at its separator.
#include <string>
#include <string_view>
#include <vector>

namespace report {

// The designators of a list joined by sep, in order: "R1,R2" gives R1 and R2, an empty list
// one empty designator, "R1,,R2" R1, an empty one and R2; nothing is trimmed. An empty
// separator cannot be found between designators, so the whole text is one designator.
std::vector<std::string> designatorSplit(std::string_view list, std::string_view sep);

}  // namespace report
