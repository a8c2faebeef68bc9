#pragma once
// UTF-8 text of the program to and from the UTF-16 text of the Windows API.
#include <string>
#include <string_view>

namespace platform::win {

// UTF-8 to UTF-16; an invalid byte becomes U+FFFD.
std::wstring widen(std::string_view text);
// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string narrow(std::wstring_view text);

}  // namespace platform::win
