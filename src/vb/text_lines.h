#pragma once
// Text files read by one rule and rewritten in their own encoding. A byte-order mark
// (UTF-8, UTF-16 little or big endian) decides the encoding and is no part of the first
// line; otherwise a file that is valid UTF-8 throughout and holds a non-ASCII character is
// UTF-8; otherwise it is 8-bit text in the system code page (GBK, see vb/ansi.h). Lines
// end at CR LF, a lone CR or a lone LF; a line end at the very end starts no further line.
#include <string>
#include <string_view>
#include <vector>

#include "vb/ansi.h"

namespace vb {

enum class TextEncoding { Ansi, Utf8, Utf16LE, Utf16BE };

// A text file as lines: each line's bytes in the file's encoding (without its line end)
// and its text in UTF-8.
struct TextLines {
  TextEncoding encoding = TextEncoding::Ansi;
  bool mark = false;  // the file starts with a byte-order mark
  std::vector<AnsiLine> lines;
};

TextLines splitTextLines(std::string_view bytes);

// The texts of a file's lines alone, read by the same rule, one after another in one
// buffer: for readers that take the lines as they are and never write them back, a line
// costs its text and one offset.
class LineTexts {
 public:
  size_t size() const { return ends_.size(); }
  bool empty() const { return ends_.empty(); }
  std::string_view operator[](size_t i) const {
    const size_t begin = i == 0 ? 0 : ends_[i - 1];
    return std::string_view(texts_).substr(begin, ends_[i] - begin);
  }
  // Only the first n lines are kept.
  void keepFirst(size_t n);

 private:
  friend LineTexts splitLineTexts(std::string_view bytes);
  std::string texts_;
  std::vector<size_t> ends_;  // where each line's text ends in texts_
};

LineTexts splitLineTexts(std::string_view bytes);

// A line of the file's encoding with this text, for a line that changes.
AnsiLine textLine(std::string text, TextEncoding encoding);

// The file's bytes: the mark it had, then each line's bytes and CR LF in its encoding.
// Lines that did not change keep their bytes exactly.
std::string joinTextLines(const TextLines& file);

}  // namespace vb
