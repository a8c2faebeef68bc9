#pragma once
// The Like pattern language: "*" any run of characters, "?" one character, "#" one
// digit, "[list]" one character of the list (ranges such as "0-9"), "[!list]" one
// character not in it; every other character matches itself, case-sensitively, by code
// point. The pattern must match the whole text.
#include <string>
#include <string_view>
#include <vector>

namespace vb {

// A pattern prepared once and tested against many texts without allocating. A "[" without
// its "]" makes the pattern not well formed (valid() false); it is then matched as the
// character "[" itself, as like() does, and callers that must reject such a pattern ask
// valid() first.
class LikePattern {
 public:
  explicit LikePattern(std::string_view pattern);
  bool valid() const { return valid_; }
  bool matches(std::string_view text) const;

 private:
  enum class Kind : unsigned char { Star, AnyOne, Digit, Char, List };
  struct Token {
    Kind kind;
    bool negate = false;
    char32_t c = 0;
    unsigned first = 0, last = 0;  // the list's ranges: ranges_[first, last)
  };
  struct Range {
    char32_t from, to;
  };
  bool tokenMatches(const Token& t, char32_t c) const;

  std::vector<Token> tokens_;
  std::vector<Range> ranges_;
  bool valid_ = true;
  // "*" + characters without wildcards + "*" (or the characters alone): a search for the
  // text, which gives the same answer as the general match.
  enum class Shape : unsigned char { General, Contains, Equals } shape_ = Shape::General;
  std::string literal_;
};

bool like(std::string_view text, std::string_view pattern);

}  // namespace vb
