#pragma once
// 8-bit text in the system ANSI code page (GBK, code page 936), converted to and from
// UTF-8 at the file boundary. A byte that is no valid GBK is kept as the private-use
// character U+F700 + byte, so it survives a round trip unchanged.
#include <string>
#include <string_view>
#include <vector>

namespace vb {

std::string ansiToUtf8(std::string_view bytes);
// Characters that GBK cannot hold become "?".
std::string utf8ToAnsi(std::string_view text);

// One line of a text file: its bytes without the line end, and its text.
struct AnsiLine {
  std::string raw;
  std::string text;
  static AnsiLine fromBytes(std::string raw);
  static AnsiLine fromText(std::string text);
};

// Lines end at CR LF, a lone CR or a lone LF; a line end at the very end of the
// data starts no further line.
std::vector<AnsiLine> splitAnsiLines(std::string_view bytes);
// Each line's bytes followed by CR LF.
std::string joinAnsiLines(const std::vector<AnsiLine>& lines);

}  // namespace vb
