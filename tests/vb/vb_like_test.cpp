// The Like pattern language, with the patterns the category table uses.
#include <gtest/gtest.h>

#include "vb/like.h"
#include "vb/utf8.h"

namespace {

const struct {
  const char* text;
  const char* pattern;
  bool match;
} kCases[] = {
    // Category patterns.
    {"U7", "*U[0-9]*", true},
    {"1U5", "*U[0-9]*", true},
    {"U", "*U[0-9]*", false},
    {"UA1", "*U[0-9]*", false},
    {"u7", "*U[0-9]*", false},  // case-sensitive
    {"R12", "*R[0-9]*", true},
    {"IR1", "*R[0-9]*", true},
    {"CR1", "*R[0-9]*", true},
    {"R1", "R[!P]*", true},
    {"RA", "R[!P]*", true},
    {"RP1", "R[!P]*", false},
    {"R", "R[!P]*", false},
    {"X", "?*", true},
    {"", "?*", false},
    {"电源模块1", "*模块*", true},
    {"模块", "*模块*", true},
    {"模", "*模块*", false},
    {"1LED3", "1LED[0-9]*", true},
    {"1LED", "1LED[0-9]*", false},
    {"1LEDA", "1LED[0-9]*", false},
    {"2LED3", "1LED[0-9]*", false},
    {"C5", "[C][0-9]*", true},
    {"BC5", "*[BC][0-9]*", true},
    {"B5", "[BC][0-9]*", true},
    {"BC5", "[BC][0-9]*", false},  // a list stands for one character
    {"SW1", "S[0-9]*", false},
    {"1VR2", "1VR*", true},
    // Wildcards.
    {"", "*", true},
    {"anything", "*", true},
    {"", "", true},
    {"a", "", false},
    {"A", "?", true},
    {"元", "?", true},
    {"AB", "?", false},
    {"R1", "R#", true},
    {"RA", "R#", false},
    {"R12", "R#", false},
    {"R1A", "R#?", true},
    // The whole text must match.
    {"R12x", "R1", false},
    {"xR1", "R1", false},
    {"R1", "R1", true},
    // Lists and ranges.
    {"5", "[0-9]", true},
    {"a", "[0-9]", false},
    {"b", "[a-c]", true},
    {"d", "[a-c]", false},
    {"d", "[!a-c]", true},
    {"b", "[!a-c]", false},
    {"Z", "[A-Z]", true},
    {"z", "[A-Z]", false},
    {"-", "[a-]", true},
    {"x", "[xa-c]", true},
    {"件", "[元件]", true},
    {"*", "[*]", true},
    {"a", "[*]", false},
    {"?", "[?]", true},
    {"#", "[#]", true},
    {"1", "[#]", false},
    {"[", "[[]", true},
    // An unclosed "[" is the character itself.
    {"a[b", "a[b", true},
    {"ab", "a[b", false},
    {"a[xyz", "a[*", true},
    // Backtracking over several stars.
    {"abcabd", "*ab?", true},
    {"abcabd", "a*d", true},
    {"abcabx", "a*d", false},
    {"mississippi", "*sip*", true},
    {"mississippi", "m*iss*ppi", true},
    {"mississippi", "m*iss*ppx", false},
    {"R1,R2", "*,*", true},
};

TEST(VbLike, Patterns) {
  for (const auto& c : kCases)
    EXPECT_EQ(vb::like(c.text, c.pattern), c.match) << '"' << c.text << "\" Like \"" << c.pattern << '"';
}

}  // namespace

namespace {

TEST(VbLikePattern, AnUnclosedBracketMakesThePatternNotWellFormed) {
  for (const char* p : {"a[b", "*[", "[!", "10K[0-9"}) EXPECT_FALSE(vb::LikePattern(p).valid()) << p;
  for (const char* p : {"", "*", "[[]", "a[b]", "*10K*", "[!]]"}) EXPECT_TRUE(vb::LikePattern(p).valid()) << p;
}

// The shortcuts for "*text*" and "text" answer as the character-wise match does: a
// plain recursive matcher over code points is the reference.
bool reference(const std::u32string& t, size_t ti, const std::u32string& p, size_t pi) {
  if (pi == p.size()) return ti == t.size();
  if (p[pi] == U'*') return reference(t, ti, p, pi + 1) || (ti < t.size() && reference(t, ti + 1, p, pi));
  if (ti == t.size()) return false;
  const bool one = p[pi] == U'?' || (p[pi] == U'#' ? t[ti] >= U'0' && t[ti] <= U'9' : p[pi] == t[ti]);
  return one && reference(t, ti + 1, p, pi + 1);
}

TEST(VbLikePattern, PreparedPatternsAgreeWithACharacterWiseMatch) {
  const std::u32string patterns[] = {U"*", U"**", U"*10K*", U"10K", U"*10K", U"10K*", U"*10KΩ*", U"*μ*",
                                     U"*?K*", U"*#.#*", U"", U"*元件*", U"?Ω"};
  const std::u32string texts[] = {U"", U"10K", U"110K 1%", U"10KΩ", U"4.7μF", U"元件10K", U"10", U"K10", U"1Ω"};
  auto utf8 = [](const std::u32string& s) {
    std::string out;
    for (char32_t c : s) vb::appendUtf8(out, c);
    return out;
  };
  for (const auto& p : patterns) {
    const vb::LikePattern prepared(utf8(p));
    for (const auto& t : texts)
      EXPECT_EQ(prepared.matches(utf8(t)), reference(t, 0, p, 0)) << '"' << utf8(t) << "\" Like \"" << utf8(p) << '"';
  }
}

}  // namespace
