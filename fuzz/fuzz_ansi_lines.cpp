// The 8-bit text line reader and GBK decoding on any bytes: the lines with their
// original line ends give back every byte; the decoded text is valid UTF-8 and encodes
// back to the same bytes. The lines' texts alone, as the netlist readers take them, are the
// texts of the lines read in full.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "vb/utf8.h"
#include "vb/ansi.h"
#include "vb/text_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input = fuzz::bytes(data, size);
  const std::vector<vb::AnsiLine> lines = vb::splitAnsiLines(input);

  // Each line's bytes, then the line end the input has there (CR LF, CR or LF; none
  // only at the very end).
  std::string joined;
  joined.reserve(input.size());
  size_t at = 0;
  for (size_t k = 0; k < lines.size(); ++k) {
    const vb::AnsiLine& l = lines[k];
    FUZZ_CHECK(l.raw.find_first_of("\r\n") == std::string::npos, "line " + std::to_string(k));
    FUZZ_CHECK(input.compare(at, l.raw.size(), l.raw) == 0, "line " + std::to_string(k));
    FUZZ_CHECK(l.text == vb::ansiToUtf8(l.raw), "line " + std::to_string(k));
    joined += l.raw;
    at += l.raw.size();
    if (at == input.size()) {
      FUZZ_CHECK(k + 1 == lines.size(), "a line after the end");
      break;
    }
    const size_t end = input.compare(at, 2, "\r\n") == 0 ? 2 : 1;
    FUZZ_CHECK(input[at] == '\r' || input[at] == '\n', "line " + std::to_string(k) + " ends in no line end");
    joined.append(input, at, end);
    at += end;
  }
  FUZZ_CHECK(joined == input, "the lines lose bytes");

  const vb::TextLines file = vb::splitTextLines(input);
  const vb::LineTexts texts = vb::splitLineTexts(input);
  FUZZ_CHECK(texts.size() == file.lines.size(), "line texts");
  for (size_t k = 0; k < texts.size(); ++k) FUZZ_CHECK(texts[k] == file.lines[k].text, "text of line " + std::to_string(k));

  const std::string text = vb::ansiToUtf8(input);
  FUZZ_CHECK(vb::isValidUtf8(text), "");
  FUZZ_CHECK(vb::utf8ToAnsi(text) == input, "");
  // Any text encodes without a crash, and the encoding decodes to valid UTF-8.
  FUZZ_CHECK(vb::isValidUtf8(vb::ansiToUtf8(vb::utf8ToAnsi(input))), "");
  return 0;
}
