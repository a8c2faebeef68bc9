#pragma once
// The part category of the "Format BOM" PADS Layout list, from the reference designator.
#include <string>
#include <string_view>

namespace capture {

// The category of a designator (tested upper-cased): every rule is tested in order and
// a later matching rule replaces an earlier one's category, except that "BC", "USB" and
// "LED" keep theirs against the shorter "B", "U" and "L". "" when no rule matches.
std::string partCategory(std::string_view designator);

}  // namespace capture
