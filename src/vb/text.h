#pragma once
// Text functions that count characters of UTF-8 text, as the original counts them.
// Positions count from 1. Comparisons are exact and case-sensitive.
#include <string>
#include <string_view>
#include <vector>

#include "vb/utf8.h"

namespace vb {

// Number of characters.
long len(std::string_view s);
// The first / last n characters (n < 0 is error 5).
std::string left(std::string_view s, long n);
std::string right(std::string_view s, long n);
// n characters from position start (start < 1 or n < 0 is error 5); to the end without n.
std::string mid(std::string_view s, long start);
std::string mid(std::string_view s, long start, long n);
// Position of the first occurrence of what at or after start, 0 when absent.
// An empty what gives start (when start is within the text).
long instr(std::string_view s, std::string_view what, long start = 1);
// Position of the last occurrence of what, 0 when absent.
long instrRev(std::string_view s, std::string_view what);
// Blanks (the space character only) removed.
std::string trim(std::string_view s);
std::string ltrim(std::string_view s);
std::string rtrim(std::string_view s);
// Upper case: ASCII letters and the letters of the common European scripts.
std::string ucase(std::string_view s);
std::string lcase(std::string_view s);
// Every occurrence of what replaced by with.
std::string replace(std::string_view s, std::string_view what, std::string_view with);
// Split at every occurrence of sep; separators at the ends give empty pieces. An empty
// text gives no piece at all, an empty sep the whole text as one piece.
std::vector<std::string> split(std::string_view s, std::string_view sep);
// Whether s contains what.
inline bool contains(std::string_view s, std::string_view what) {
  return s.find(what) != std::string_view::npos;
}
inline bool startsWith(std::string_view s, std::string_view p) { return s.substr(0, p.size()) == p; }

// Code points of a UTF-8 text (invalid bytes are taken one by one as their byte value).
std::vector<char32_t> codepoints(std::string_view s);
std::string fromCodepoints(const std::vector<char32_t>& cps);
// Byte offset of character position pos (1-based); s.size() when past the end.
size_t byteOffset(std::string_view s, long pos);
// Whether a code point is a wide (CJK / full-width) character.
bool isWide(char32_t cp);

}  // namespace vb
