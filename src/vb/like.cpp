#include "vb/like.h"

#include "vb/utf8.h"

namespace vb {

namespace {

struct Decoded {
  char32_t c;
  size_t bytes;
};

Decoded decodeAt(std::string_view s, size_t i) {
  const size_t n = utf8CharBytes(s, i);
  return {utf8DecodeAt(s, i, n), n};
}

}  // namespace

LikePattern::LikePattern(std::string_view p) {
  std::vector<char32_t> chars;
  std::vector<size_t> at;  // byte offset of each character, and the end
  for (size_t i = 0; i < p.size();) {
    const Decoded d = decodeAt(p, i);
    chars.push_back(d.c);
    at.push_back(i);
    i += d.bytes;
  }
  at.push_back(p.size());
  std::vector<size_t> tokenAt;  // the character each token starts at
  for (size_t i = 0; i < chars.size(); ++i) {
    const char32_t c = chars[i];
    if (tokenAt.size() < tokens_.size() + 1) tokenAt.resize(tokens_.size() + 1);
    tokenAt[tokens_.size()] = i;
    if (c == '*') {
      if (tokens_.empty() || tokens_.back().kind != Kind::Star) tokens_.push_back({Kind::Star});
    } else if (c == '?') {
      tokens_.push_back({Kind::AnyOne});
    } else if (c == '#') {
      tokens_.push_back({Kind::Digit});
    } else if (c == '[') {
      size_t j = i + 1;
      Token t{Kind::List};
      if (j < chars.size() && chars[j] == '!') {
        t.negate = true;
        ++j;
      }
      t.first = static_cast<unsigned>(ranges_.size());
      while (j < chars.size() && chars[j] != ']') {
        if (j + 2 < chars.size() && chars[j + 1] == '-' && chars[j + 2] != ']') {
          ranges_.push_back({chars[j], chars[j + 2]});
          j += 3;
        } else {
          ranges_.push_back({chars[j], chars[j]});
          ++j;
        }
      }
      if (j >= chars.size()) {  // not closed: the "[" stands for itself
        ranges_.resize(t.first);
        valid_ = false;
        tokens_.push_back({Kind::Char, false, c});
        continue;
      }
      t.last = static_cast<unsigned>(ranges_.size());
      tokens_.push_back(t);
      i = j;
    } else {
      tokens_.push_back({Kind::Char, false, c});
    }
  }
  // The shapes a search box or a match key gives most often.
  size_t from = 0, to = tokens_.size();
  const bool starFirst = to > 0 && tokens_[0].kind == Kind::Star;
  const bool starLast = to > 1 && tokens_[to - 1].kind == Kind::Star;
  if (starFirst) ++from;
  if (starLast) --to;
  for (size_t k = from; k < to; ++k)
    if (tokens_[k].kind != Kind::Char) return;
  if (starFirst != starLast && !(starFirst && to <= from)) return;
  // Plain characters only: each token is one character of the pattern.
  if (to > from) literal_ = std::string(p.substr(at[tokenAt[from]], at[tokenAt[to - 1] + 1] - at[tokenAt[from]]));
  shape_ = starFirst ? Shape::Contains : Shape::Equals;
}

bool LikePattern::tokenMatches(const Token& t, char32_t c) const {
  switch (t.kind) {
    case Kind::AnyOne: return true;
    case Kind::Digit: return c >= '0' && c <= '9';
    case Kind::Char: return c == t.c;
    case Kind::List: {
      bool hit = false;
      for (unsigned r = t.first; r < t.last && !hit; ++r) hit = c >= ranges_[r].from && c <= ranges_[r].to;
      return hit != t.negate;
    }
    case Kind::Star: break;
  }
  return false;
}

bool LikePattern::matches(std::string_view text) const {
  if (shape_ == Shape::Contains) return text.find(literal_) != std::string_view::npos;
  if (shape_ == Shape::Equals) return text == literal_;
  // Iterative matching with backtracking to the last "*"; positions in the text are bytes.
  constexpr size_t npos = std::string_view::npos;
  size_t ti = 0, pi = 0, starP = npos, starT = 0;
  while (ti < text.size()) {
    const Decoded d = decodeAt(text, ti);
    if (pi < tokens_.size()) {
      const Token& t = tokens_[pi];
      if (t.kind == Kind::Star) {
        starP = ++pi;
        starT = ti;
        continue;
      }
      if (tokenMatches(t, d.c)) {
        ti += d.bytes;
        ++pi;
        continue;
      }
    }
    if (starP == npos) return false;
    pi = starP;
    starT += decodeAt(text, starT).bytes;
    ti = starT;
  }
  while (pi < tokens_.size() && tokens_[pi].kind == Kind::Star) ++pi;
  return pi == tokens_.size();
}

bool like(std::string_view text, std::string_view pattern) { return LikePattern(pattern).matches(text); }

}  // namespace vb
