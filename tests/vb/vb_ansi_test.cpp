// GBK text at the file boundary: decoding, encoding, bytes kept through a round trip, lines.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "vb/ansi.h"
#include "vb/text.h"

namespace {

std::string hex(const std::string& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    if (!out.empty()) out += ' ';
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

std::vector<std::string> raws(const std::vector<vb::AnsiLine>& lines) {
  std::vector<std::string> out;
  for (const auto& l : lines) out.push_back(l.raw);
  return out;
}

// Pairs of UTF-8 text and its GBK bytes (computed with iconv -t CP936).
const struct {
  const char* text;
  const char* gbk;
} kGbk[] = {
    {"电阻", "\xB5\xE7\xD7\xE8"},
    {"元件R1", "\xD4\xAA\xBC\xFE" "R1"},
    {"电源模块", "\xB5\xE7\xD4\xB4\xC4\xA3\xBF\xE9"},
    {"10KΩ", "10K\xA6\xB8"},
    {"Я", "\xA7\xC1"},
    {"€", "\x80"},
    {"R1 10K 0603", "R1 10K 0603"},
    {"", ""},
};

TEST(VbAnsi, GbkDecodeAndEncode) {
  for (const auto& c : kGbk) {
    EXPECT_EQ(vb::ansiToUtf8(c.gbk), c.text) << hex(c.gbk);
    EXPECT_EQ(hex(vb::utf8ToAnsi(c.text)), hex(c.gbk)) << c.text;
    vb::AnsiLine fromText = vb::AnsiLine::fromText(c.text);
    EXPECT_EQ(hex(fromText.raw), hex(c.gbk)) << c.text;
    EXPECT_EQ(fromText.text, c.text);
    vb::AnsiLine fromBytes = vb::AnsiLine::fromBytes(c.gbk);
    EXPECT_EQ(fromBytes.text, c.text) << hex(c.gbk);
    EXPECT_EQ(fromBytes.raw, c.gbk);
  }
}

TEST(VbAnsi, CharactersGbkCannotHoldBecomeQuestionMarks) {
  const struct {
    const char* text;
    const char* gbk;
  } cases[] = {
      {"ß", "?"},
      {"äöÅ", "???"},
      {"äü", "?\xA8\xB9"},  // pinyin letters are in GBK
      {"😀电阻", "?\xB5\xE7\xD7\xE8"},
      {"R1 µF ñ", "R1 ?F ?"},
      {"a\xFF" "b", "a?b"},  // a stray byte in UTF-8 text is no character either
  };
  for (const auto& c : cases) EXPECT_EQ(hex(vb::utf8ToAnsi(c.text)), hex(c.gbk)) << c.text;
}

TEST(VbAnsi, BytesThatAreNoGbkSurviveARoundTrip) {
  const char* cases[] = {
      "\xFF",                    // never a GBK byte
      "\x81",                    // a lead byte at the end
      "0,1\xEC\xEA",             // CP1251 "0,1мк": decodes as some GBK character
      "\xD7 R1",                 // a lead byte before a blank
      "\xC2\xEB\xE4 \xE8\xEC",   // CP1251 Cyrillic words
      "\x80\xFF\xFE\x81\x7F",
      "\xB5\xE7\xFF\xD7\xE8",    // valid GBK around a stray byte
  };
  for (const char* bytes : cases) {
    std::string text = vb::ansiToUtf8(bytes);
    EXPECT_EQ(hex(vb::utf8ToAnsi(text)), hex(bytes));
  }
  // A kept byte is one character of the decoded text.
  EXPECT_EQ(vb::len(vb::ansiToUtf8("R\xFF" "1")), 3);
  EXPECT_EQ(vb::ansiToUtf8("\xB5\xE7\xFF\xD7\xE8").substr(0, 3), "电");
}

TEST(VbAnsi, EveryTwoByteSequenceSurvivesARoundTrip) {
  int failures = 0;
  for (int lead = 0x80; lead <= 0xFF; ++lead) {
    for (int trail = 0; trail <= 0xFF; ++trail) {
      std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
      if (vb::utf8ToAnsi(vb::ansiToUtf8(bytes)) != bytes && ++failures <= 5) ADD_FAILURE() << hex(bytes);
    }
  }
  EXPECT_EQ(failures, 0);
}

TEST(VbAnsiLines, LineEndsOfEveryStyleSplitAlike) {
  using Lines = std::vector<std::string>;
  const struct {
    const char* in;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\nb", {"a", "b"}},
      {"\r\n", {""}},
      {"\n\n", {"", ""}},
      {"a\n\nb", {"a", "", "b"}},
      {"a\r\r\nb", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},  // LF then CR are two line ends
      {"a\r\n\r\n", {"a", ""}},
      {"\xB5\xE7\r\n\xFF\n", {"\xB5\xE7", "\xFF"}},
  };
  for (const auto& c : cases) EXPECT_EQ(raws(vb::splitAnsiLines(c.in)), c.lines) << hex(c.in);

  const std::string crlf = "R1\r\n电阻\r\n\r\nC1\r\n", lf = "R1\n电阻\n\nC1\n", cr = "R1\r电阻\r\rC1\r";
  EXPECT_EQ(raws(vb::splitAnsiLines(lf)), raws(vb::splitAnsiLines(crlf)));
  EXPECT_EQ(raws(vb::splitAnsiLines(cr)), raws(vb::splitAnsiLines(crlf)));
}

TEST(VbAnsiLines, JoinEndsEveryLineWithCrLf) {
  EXPECT_EQ(vb::joinAnsiLines({}), "");
  std::vector<vb::AnsiLine> lines = {vb::AnsiLine::fromText("R1"), vb::AnsiLine::fromText(""),
                                     vb::AnsiLine::fromText("电阻"), vb::AnsiLine::fromBytes("\xFF")};
  EXPECT_EQ(hex(vb::joinAnsiLines(lines)), hex("R1\r\n\r\n\xB5\xE7\xD7\xE8\r\n\xFF\r\n"));
}

// A netlist written by another tool, with Cyrillic comments in CP1251 and LF line ends.
class VbAnsiSample : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ifstream in(std::string(VELMORA_SHARED_DIR) + "/samples/main_board_master_MCU_Protel.NET",
                     std::ios::binary);
    ASSERT_TRUE(in) << "sample netlist missing";
    std::ostringstream s;
    s << in.rdbuf();
    bytes = s.str();
  }
  std::string bytes;
};

TEST_F(VbAnsiSample, LinesRoundTripToCrLf) {
  auto lines = vb::splitAnsiLines(bytes);
  ASSERT_EQ(lines.size(), 3349u);
  EXPECT_EQ(lines[0].raw, "[");
  EXPECT_EQ(lines[1].text, "A1");
  EXPECT_EQ(hex(lines[27].raw), hex("0,1\xEC\xEA"));  // "0,1мк" in CP1251

  std::string crlf;
  for (char c : bytes) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_TRUE(vb::joinAnsiLines(lines) == crlf) << "lines written back differ from the file";

  // Lines rebuilt from their decoded text give back the very same bytes.
  int changed = 0;
  for (const auto& l : lines)
    if (vb::AnsiLine::fromText(l.text).raw != l.raw && ++changed <= 5) ADD_FAILURE() << hex(l.raw);
  EXPECT_EQ(changed, 0);
}

}  // namespace
