#include "vb/like.h"

#include <array>
#include <vector>

#include "vb/utf8.h"

namespace vb {

namespace {

// The characters of a text by position: its bytes when it is ASCII, else its code points
// decoded once (into a buffer of its own for short texts), so a match allocates nothing
// for the texts and patterns it usually sees.
class Chars {
 public:
  explicit Chars(std::string_view s) : bytes_(s), ascii_(isAscii(s)) {
    if (ascii_) return;
    size_t n = 0;
    for (size_t i = 0; i < s.size(); i += utf8CharBytes(s, i)) ++n;
    if (n > small_.size()) large_.resize(n);
    char32_t* out = n > small_.size() ? large_.data() : small_.data();
    for (size_t i = 0, k = 0; i < s.size(); ++k) {
      const size_t len = utf8CharBytes(s, i);
      out[k] = utf8DecodeAt(s, i, len);
      i += len;
    }
    decoded_ = out;
    size_ = n;
  }
  Chars(const Chars&) = delete;
  Chars& operator=(const Chars&) = delete;
  size_t size() const { return ascii_ ? bytes_.size() : size_; }
  char32_t operator[](size_t i) const { return ascii_ ? static_cast<unsigned char>(bytes_[i]) : decoded_[i]; }

 private:
  std::string_view bytes_;
  bool ascii_;
  std::array<char32_t, 32> small_;
  std::vector<char32_t> large_;
  const char32_t* decoded_ = nullptr;
  size_t size_ = 0;
};

constexpr size_t npos = std::string_view::npos;

// Matches one bracket list starting at p[i] == '['; returns the index after ']' and
// whether c is matched, or npos when the bracket is not closed (then '[' is literal).
size_t bracket(const Chars& p, size_t i, char32_t c, bool& matched) {
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
  if (j >= p.size()) return npos;
  matched = negate ? !hit : hit;
  return j + 1;
}

}  // namespace

bool like(std::string_view text, std::string_view pattern) {
  const Chars t(text), p(pattern);
  // Iterative matching with backtracking to the last "*".
  size_t ti = 0, pi = 0, starP = npos, starT = 0;
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
        if (after == npos) ok = t[ti] == '[';
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
    if (starP == npos) return false;
    pi = starP;
    ti = ++starT;
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

}  // namespace vb
