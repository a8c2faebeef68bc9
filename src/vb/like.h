#pragma once
// The Like pattern language: "*" any run of characters, "?" one character, "#" one
// digit, "[list]" one character of the list (ranges such as "0-9"), "[!list]" one
// character not in it; every other character matches itself, case-sensitively.
// The pattern must match the whole text.
#include <string_view>

namespace vb {

bool like(std::string_view text, std::string_view pattern);

}  // namespace vb
