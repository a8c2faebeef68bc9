// Text functions on UTF-8 text: positions and lengths count characters, Chinese included.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "vb/error.h"
#include "vb/text.h"
#include "vb/raised.h"

namespace {

using vbtest::raised;

TEST(VbText, LengthCountsCharacters) {
  const struct {
    const char* in;
    long len;
  } cases[] = {
      {"", 0},
      {"R1", 2},
      {"元件R1", 4},
      {"Ω10", 3},
      {"\xF0\x9F\x98\x80", 1},  // a four-byte character
      {"\xFF", 1},              // a stray byte counts as one character
      {"\xE5\x85", 2},          // a cut-off sequence: each byte on its own
      {"a\xE5\x85" "b", 4},
  };
  for (const auto& c : cases) EXPECT_EQ(vb::len(c.in), c.len) << c.in;
}

TEST(VbText, LeftRightMid) {
  const std::string s = "元件R1";
  const struct {
    std::function<std::string()> call;
    const char* out;
    const char* what;
  } cases[] = {
      {[&] { return vb::left(s, 2); }, "元件", "left 2"},
      {[&] { return vb::left(s, 0); }, "", "left 0"},
      {[&] { return vb::left(s, 4); }, "元件R1", "left all"},
      {[&] { return vb::left(s, 99); }, "元件R1", "left past the end"},
      {[&] { return vb::left(s, LONG_MAX); }, "元件R1", "left LONG_MAX"},
      {[&] { return vb::right(s, 3); }, "件R1", "right 3"},
      {[&] { return vb::right(s, 1); }, "1", "right 1"},
      {[&] { return vb::right(s, 0); }, "", "right 0"},
      {[&] { return vb::right(s, 9); }, "元件R1", "right past the start"},
      {[&] { return vb::mid(s, 2, 2); }, "件R", "mid 2,2"},
      {[&] { return vb::mid(s, 1, 1); }, "元", "mid 1,1"},
      {[&] { return vb::mid(s, 3); }, "R1", "mid 3"},
      {[&] { return vb::mid(s, 2, 0); }, "", "mid length 0"},
      {[&] { return vb::mid(s, 4, 99); }, "1", "mid length past the end"},
      {[&] { return vb::mid(s, 2, LONG_MAX); }, "件R1", "mid LONG_MAX"},
      {[&] { return vb::mid(s, 5); }, "", "mid start past the end"},
      {[&] { return vb::mid(s, 5, 1); }, "", "mid start past the end, length"},
      {[&] { return vb::mid(s, 100, 3); }, "", "mid start far past the end"},
      {[&] { return vb::mid("", 1, 3); }, "", "mid of empty"},
      {[&] { return vb::mid("R\xFFX", 2, 1); }, "\xFF", "mid on a stray byte"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.call(), c.out) << c.what;
}

TEST(VbText, InvalidArgumentsAreError5) {
  const struct {
    std::function<void()> call;
    const char* what;
  } cases[] = {
      {[] { vb::left("abc", -1); }, "left -1"},
      {[] { vb::right("abc", -1); }, "right -1"},
      {[] { vb::mid("abc", 0); }, "mid start 0"},
      {[] { vb::mid("abc", -3, 1); }, "mid start -3"},
      {[] { vb::mid("abc", 1, -1); }, "mid length -1"},
      {[] { vb::mid("abc", 9, -1); }, "mid length -1 past the end"},
      {[] { vb::instr("abc", "b", 0); }, "instr start 0"},
  };
  for (const auto& c : cases) EXPECT_EQ(raised(c.call), vb::kInvalidCall) << c.what;
}

TEST(VbText, InstrPositionsInCharacters) {
  const struct {
    const char* s;
    const char* what;
    long start;
    long pos;
  } cases[] = {
      {"元件R1", "R", 1, 3},
      {"元件R1", "件", 1, 2},
      {"元件R1元件R2", "R", 4, 7},
      {"元件R1元件R2", "元件", 2, 5},
      {"abcabc", "bc", 3, 5},
      {"abcabc", "bc", 2, 2},
      {"abc", "c", 3, 3},
      {"abc", "c", 4, 0},
      {"abc", "c", 99, 0},
      {"abc", "x", 1, 0},
      {"ABC", "b", 1, 0},  // case-sensitive
      {"abc", "abcd", 1, 0},
      {"", "a", 1, 0},
      {"abc", "", 1, 1},  // an empty search text is found where the search starts
      {"abc", "", 3, 3},
      {"元件", "", 2, 2},
      {"", "", 1, 0},
      {"\xFF元件", "件", 1, 3},
  };
  for (const auto& c : cases)
    EXPECT_EQ(vb::instr(c.s, c.what, c.start), c.pos) << c.s << " / " << c.what << " from " << c.start;
}

TEST(VbText, InstrRevPositionsInCharacters) {
  const struct {
    const char* s;
    const char* what;
    long pos;
  } cases[] = {
      {"元件R1元件R2", "R", 7},
      {"模块模块", "模块", 3},
      {"a,b,c", ",", 4},
      {"C1 C2", " ", 3},
      {"abc", "x", 0},
      {"abc", "", 3},
      {"元件", "", 2},
      {"", "", 0},
      {"aaa", "aa", 2},
  };
  for (const auto& c : cases) EXPECT_EQ(vb::instrRev(c.s, c.what), c.pos) << c.s << " / " << c.what;
}

TEST(VbText, TrimRemovesBlanksOnly) {
  const struct {
    const char* in;
    const char* trim;
    const char* ltrim;
    const char* rtrim;
  } cases[] = {
      {"  10K  ", "10K", "10K  ", "  10K"},
      {" a b ", "a b", "a b ", " a b"},
      {"\t10K\t", "\t10K\t", "\t10K\t", "\t10K\t"},
      {" \t10K ", "\t10K", "\t10K ", " \t10K"},
      {"\xE3\x80\x80元件\xE3\x80\x80", "\xE3\x80\x80元件\xE3\x80\x80", "\xE3\x80\x80元件\xE3\x80\x80",
       "\xE3\x80\x80元件\xE3\x80\x80"},  // the ideographic space is no blank
      {"   ", "", "", ""},
      {"", "", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vb::trim(c.in), c.trim) << '"' << c.in << '"';
    EXPECT_EQ(vb::ltrim(c.in), c.ltrim) << '"' << c.in << '"';
    EXPECT_EQ(vb::rtrim(c.in), c.rtrim) << '"' << c.in << '"';
  }
}

TEST(VbText, UpperAndLowerCase) {
  const struct {
    const char* lower;
    const char* upper;
  } pairs[] = {
      {"abc xyz 10k", "ABC XYZ 10K"},
      {"резистор ёж", "РЕЗИСТОР ЁЖ"},
      {"éàüçñøþ", "ÉÀÜÇÑØÞ"},
      {"ÿ", "Ÿ"},
      {"łódź žluťoučký ćma", "ŁÓDŹ ŽLUŤOUČKÝ ĆMA"},
      {"ĺľňŋ", "ĹĽŇŊ"},
      {"αβγ ωάόώ", "ΑΒΓ ΩΆΌΏ"},
      {"ａｂｃ", "ＡＢＣ"},
      {"电阻 10k", "电阻 10K"},
  };
  for (const auto& p : pairs) {
    EXPECT_EQ(vb::ucase(p.lower), p.upper);
    EXPECT_EQ(vb::lcase(p.upper), p.lower);
  }
  // Characters without a case mapping stay as they are.
  const char* unchanged[] = {"ß", "÷×", "ĸ", "123-_*", "元件", "\xFF"};
  for (const char* s : unchanged) {
    EXPECT_EQ(vb::ucase(s), s);
    EXPECT_EQ(vb::lcase(s), s);
  }
  EXPECT_EQ(vb::ucase("ς"), "Σ");
}

TEST(VbText, Replace) {
  const struct {
    const char* s;
    const char* what;
    const char* with;
    const char* out;
  } cases[] = {
      {"R1,R2,R3", ",", ";", "R1;R2;R3"},
      {"aaa", "aa", "b", "ba"},  // left to right, no overlaps
      {"abc", "b", "bb", "abbc"},  // the replacement is not searched again
      {"元件元件", "件", "", "元元"},
      {"abc", "", "x", "abc"},
      {"abc", "x", "y", "abc"},
      {"ABC", "b", "x", "ABC"},
      {"", "a", "b", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(vb::replace(c.s, c.what, c.with), c.out) << c.s;
}

TEST(VbText, Split) {
  using Pieces = std::vector<std::string>;
  const struct {
    const char* s;
    const char* sep;
    Pieces out;
  } cases[] = {
      {"R1,R2", ",", {"R1", "R2"}},
      {",R1,", ",", {"", "R1", ""}},
      {"R1,,R2", ",", {"R1", "", "R2"}},
      {"R1,R2,", ",", {"R1", "R2", ""}},
      {"R1", ",", {"R1"}},
      {",", ",", {"", ""}},
      {"a--b---c", "--", {"a", "b", "-c"}},
      {"元件、电阻", "、", {"元件", "电阻"}},
      {"10K 1%   ", " ", {"10K", "1%", "", "", ""}},
      {"R1,R2", "", {"R1,R2"}},  // an empty separator splits nothing
      {"R1", "r", {"R1"}},
      {"", ",", {}},  // an empty text has no piece
      {"", "", {}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(vb::split(c.s, c.sep), c.out) << '"' << c.s << "\" by \"" << c.sep << '"';
}

TEST(VbText, CodepointsRoundTrip) {
  const std::string s = "R1 电阻 Ω 😀";
  EXPECT_EQ(vb::fromCodepoints(vb::codepoints(s)), s);
  EXPECT_EQ(vb::codepoints("元1"), (std::vector<char32_t>{U'元', U'1'}));
  EXPECT_EQ(vb::byteOffset("元件R1", 3), 6u);
  EXPECT_EQ(vb::byteOffset("元件R1", 9), std::string("元件R1").size());
  EXPECT_TRUE(vb::isWide(U'元'));
  EXPECT_TRUE(vb::isWide(U'Ａ'));
  EXPECT_FALSE(vb::isWide(U'A'));
  EXPECT_FALSE(vb::isWide(U'Ω'));
}

}  // namespace
