#pragma once
// LeadingNumber: the number a text starts with, as the workbench sums and numbers texts.
#include <string_view>

namespace workbench {

// Blanks, tabs and line feeds are skipped wherever they stand; then an optional sign,
// digits with at most one "." and an optional exponent; reading stops at the first other
// character. "&H" and "&O" start a hexadecimal or octal number (four hex digits or fewer
// read as a 16-bit, eight or fewer as a 32-bit signed number). No number gives 0.
double leadingNumber(std::string_view text);

}  // namespace workbench
