// Text files by one rule: a byte-order mark decides, else valid UTF-8 with a non-ASCII
// character is UTF-8, else GBK; a rewrite keeps the encoding, the mark and the bytes of
// the lines that did not change.
#include "vb/text_lines.h"

#include <gtest/gtest.h>

namespace {

using vb::TextEncoding;

std::string utf16(const std::u16string& s, bool little) {
  std::string out;
  for (char16_t u : s) {
    const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    out += little ? lo : hi;
    out += little ? hi : lo;
  }
  return out;
}

TEST(TextLines, TheMarkOrTheBytesDecideTheEncoding) {
  struct Case {
    const char* what;
    std::string bytes;
    TextEncoding encoding;
    bool mark;
    std::vector<std::string> texts;
  };
  const std::string gbk = "\xB5\xE7\xD7\xE8";  // 电阻 in GBK
  const Case cases[] = {
      {"UTF-8 with a mark", "\xEF\xBB\xBF[\r\nR1\r\n电阻\r\n", TextEncoding::Utf8, true, {"[", "R1", "电阻"}},
      {"UTF-8 without a mark", "[\nR1\n电阻", TextEncoding::Utf8, false, {"[", "R1", "电阻"}},
      {"GBK", "[\r\n" + gbk + "\r\n", TextEncoding::Ansi, false, {"[", "电阻"}},
      {"ASCII", "[\rR1\r", TextEncoding::Ansi, false, {"[", "R1"}},
      {"empty lines between mixed line ends", "[\r\n\r\nR1\n\r\rC2", TextEncoding::Ansi, false,
       {"[", "", "R1", "", "", "C2"}},
      {"UTF-8 that is not valid throughout is GBK", "电阻 \xB5\xE7\n", TextEncoding::Ansi, false,
       {vb::ansiToUtf8("电阻 \xB5\xE7")}},
      {"UTF-16 LE", "\xFF\xFE" + utf16(u"[\r\nR1\r\n电阻 \U0001F600\n", true), TextEncoding::Utf16LE, true,
       {"[", "R1", "电阻 \U0001F600"}},
      {"UTF-16 BE", "\xFE\xFF" + utf16(u"[\nC2", false), TextEncoding::Utf16BE, true, {"[", "C2"}},
      {"only a mark", "\xEF\xBB\xBF", TextEncoding::Utf8, true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const vb::TextLines file = vb::splitTextLines(c.bytes);
    EXPECT_EQ(file.encoding, c.encoding);
    EXPECT_EQ(file.mark, c.mark);
    std::vector<std::string> texts;
    for (const auto& l : file.lines) texts.push_back(l.text);
    EXPECT_EQ(texts, c.texts);
    // The texts alone, as the readers that only read take them, are the same.
    const vb::LineTexts alone = vb::splitLineTexts(c.bytes);
    std::vector<std::string> aloneTexts;
    for (size_t i = 0; i < alone.size(); ++i) aloneTexts.emplace_back(alone[i]);
    EXPECT_EQ(aloneTexts, c.texts);
  }
}

TEST(TextLines, ARewriteKeepsTheEncodingTheMarkAndUnchangedLines) {
  const std::string gbkBytes = "[\r\nR1\r\n\xB5\xE7\xD7\xE8\xFF\r\n";  // with a byte that is no GBK
  const std::string utf8Bytes = "\xEF\xBB\xBF[\r\nR1\r\n电阻\r\n";
  const std::string utf16Bytes = "\xFF\xFE" + utf16(u"[\r\nR1\r\n电阻\r\n", true);
  for (const std::string& bytes : {gbkBytes, utf8Bytes, utf16Bytes}) {
    vb::TextLines file = vb::splitTextLines(bytes);
    ASSERT_EQ(file.lines.size(), 3u);
    EXPECT_EQ(vb::joinTextLines(file), bytes);  // read and written back unchanged
    file.lines[1] = vb::textLine("电容", file.encoding);
    const vb::TextLines again = vb::splitTextLines(vb::joinTextLines(file));
    EXPECT_EQ(again.encoding, file.encoding);
    EXPECT_EQ(again.mark, file.mark);
    EXPECT_EQ(again.lines[1].text, "电容");
    EXPECT_EQ(again.lines[2].raw, file.lines[2].raw);
  }
}

}  // namespace
