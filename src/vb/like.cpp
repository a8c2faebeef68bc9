#include "vb/like.h"

#include <vector>

#include "vb/text.h"

namespace vb {

namespace {

// Matches one bracket list starting at p[i] == '['; returns the index after ']' and
// whether c is matched, or npos when the bracket is not closed (then '[' is literal).
size_t bracket(const std::vector<char32_t>& p, size_t i, char32_t c, bool& matched) {
  size_t j = i + 1;
  bool negate = false;
  if (j < p.size() && p[j] == '!') {
    negate = true;
    ++j;
  }
  bool hit = false;
  while (j < p.size() && p[j] != ']') {
    if (j + 2 < p.size() && p[j + 1] == '-' && p[j + 2] != ']') {
      if (c >= p[j] && c <= p[j + 2]) hit = true;
      j += 3;
    } else {
      if (c == p[j]) hit = true;
      ++j;
    }
  }
  if (j >= p.size()) return std::string_view::npos;
  matched = negate ? !hit : hit;
  return j + 1;
}

}  // namespace

bool like(std::string_view text, std::string_view pattern) {
  std::vector<char32_t> t = codepoints(text), p = codepoints(pattern);
  // Iterative matching with backtracking to the last "*".
  size_t ti = 0, pi = 0, starP = std::string_view::npos, starT = 0;
  while (ti < t.size()) {
    if (pi < p.size()) {
      char32_t pc = p[pi];
      if (pc == '*') {
        starP = ++pi;
        starT = ti;
        continue;
      }
      bool ok = false;
      size_t next = pi + 1;
      if (pc == '?') ok = true;
      else if (pc == '#') ok = t[ti] >= '0' && t[ti] <= '9';
      else if (pc == '[') {
        bool m = false;
        size_t after = bracket(p, pi, t[ti], m);
        if (after == std::string_view::npos) ok = t[ti] == '[';
        else {
          ok = m;
          next = after;
        }
      } else ok = t[ti] == pc;
      if (ok) {
        ++ti;
        pi = next;
        continue;
      }
    }
    if (starP == std::string_view::npos) return false;
    pi = starP;
    ti = ++starT;
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

}  // namespace vb
