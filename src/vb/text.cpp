#include "vb/text.h"

#include "vb/error.h"
#include "vb/utf8.h"

namespace vb {

long len(std::string_view s) {
  if (isAscii(s)) return static_cast<long>(s.size());
  long n = 0;
  for (size_t i = 0; i < s.size(); i += utf8CharBytes(s, i)) ++n;
  return n;
}

size_t byteOffset(std::string_view s, long pos) {
  if (pos <= 1) return 0;
  size_t i = 0;
  long p = 1;
  while (i < s.size() && p < pos) {
    i += utf8CharBytes(s, i);
    ++p;
  }
  return i;
}

// The first n characters of s (all of it when n reaches past the end).
static std::string_view head(std::string_view s, long n) {
  if (static_cast<size_t>(n) >= s.size()) return s;  // a character takes at least one byte
  return s.substr(0, byteOffset(s, n + 1));
}

std::string left(std::string_view s, long n) {
  if (n < 0) raise(kInvalidCall);
  return std::string(head(s, n));
}

std::string right(std::string_view s, long n) {
  if (n < 0) raise(kInvalidCall);
  long l = len(s);
  if (n >= l) return std::string(s);
  return std::string(s.substr(byteOffset(s, l - n + 1)));
}

std::string mid(std::string_view s, long start) {
  if (start < 1) raise(kInvalidCall);
  return std::string(s.substr(std::min(byteOffset(s, start), s.size())));
}

std::string mid(std::string_view s, long start, long n) {
  if (start < 1 || n < 0) raise(kInvalidCall);
  size_t b = byteOffset(s, start);
  if (b >= s.size()) return "";
  return std::string(head(s.substr(b), n));
}

static long charPos(std::string_view s, size_t byte) {
  if (isAscii(s.substr(0, byte))) return static_cast<long>(byte) + 1;
  return len(s.substr(0, byte)) + 1;
}

long instr(std::string_view s, std::string_view what, long start) {
  if (start < 1) raise(kInvalidCall);
  size_t b = byteOffset(s, start);
  if (b > s.size()) return 0;
  if (what.empty()) return start <= len(s) ? start : 0;
  size_t f = s.find(what, b);
  if (f == std::string_view::npos) return 0;
  return charPos(s, f);
}

long instrRev(std::string_view s, std::string_view what) {
  if (what.empty()) return len(s);
  size_t f = s.rfind(what);
  if (f == std::string_view::npos) return 0;
  return charPos(s, f);
}

std::string ltrim(std::string_view s) {
  size_t b = s.find_first_not_of(' ');
  return b == std::string_view::npos ? "" : std::string(s.substr(b));
}

std::string rtrim(std::string_view s) {
  size_t e = s.find_last_not_of(' ');
  return e == std::string_view::npos ? "" : std::string(s.substr(0, e + 1));
}

std::string trim(std::string_view s) { return ltrim(rtrim(s)); }

std::vector<char32_t> codepoints(std::string_view s) {
  std::vector<char32_t> out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    size_t n = utf8CharBytes(s, i);
    out.push_back(utf8DecodeAt(s, i, n));
    i += n;
  }
  return out;
}

std::string fromCodepoints(const std::vector<char32_t>& cps) {
  std::string out;
  for (char32_t cp : cps) appendUtf8(out, cp);
  return out;
}

// Latin Extended-A pairs its letters as upper case, lower case; the pairs start on an
// even code point except in U+0139..U+0148 and U+0179..U+017E.
static bool latinExtAUpperFirstEven(char32_t c) {
  return !((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E));
}
static bool latinExtACased(char32_t c) {
  return c >= 0x100 && c <= 0x17E && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149;
}
static bool latinExtAIsLower(char32_t c) { return ((c & 1) != 0) == latinExtAUpperFirstEven(c); }

static char32_t upper(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c < 0x80) return c;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;            // Latin-1
  if (c == 0xFF) return 0x178;
  if (latinExtACased(c)) return latinExtAIsLower(c) ? c - 1 : c;      // Latin Extended-A
  if (c == 0x3AC) return 0x386;                                       // Greek with accents
  if (c >= 0x3AD && c <= 0x3AF) return c - 37;
  if (c == 0x3C2) return 0x3A3;                                       // final sigma
  if (c >= 0x3B1 && c <= 0x3CB) return c - 32;                        // Greek
  if (c == 0x3CC) return 0x38C;
  if (c == 0x3CD || c == 0x3CE) return c - 63;
  if (c >= 0x430 && c <= 0x44F) return c - 32;                        // Cyrillic
  if (c >= 0x450 && c <= 0x45F) return c - 80;
  if (c >= 0xFF41 && c <= 0xFF5A) return c - 32;                      // full-width Latin
  return c;
}

static char32_t lower(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c < 0x80) return c;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  if (c == 0x178) return 0xFF;
  if (latinExtACased(c)) return latinExtAIsLower(c) ? c : c + 1;
  if (c == 0x386) return 0x3AC;
  if (c >= 0x388 && c <= 0x38A) return c + 37;
  if (c == 0x38C) return 0x3CC;
  if (c == 0x38E || c == 0x38F) return c + 63;
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;
  if (c >= 0x410 && c <= 0x42F) return c + 32;
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  if (c >= 0xFF21 && c <= 0xFF3A) return c + 32;
  return c;
}

// Maps each character; a byte that is no valid UTF-8 is copied unchanged.
template <class Map>
static std::string mapCase(std::string_view s, Map map) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    size_t n = utf8CharBytes(s, i);
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      out += static_cast<char>(map(c));
    } else if (n == 1) {
      out += s[i];
    } else {
      appendUtf8(out, map(utf8DecodeAt(s, i, n)));
    }
    i += n;
  }
  return out;
}

std::string ucase(std::string_view s) { return mapCase(s, upper); }
std::string lcase(std::string_view s) { return mapCase(s, lower); }

std::string replace(std::string_view s, std::string_view what, std::string_view with) {
  if (what.empty()) return std::string(s);
  std::string out;
  size_t i = 0;
  while (true) {
    size_t f = s.find(what, i);
    if (f == std::string_view::npos) break;
    out.append(s.substr(i, f - i));
    out.append(with);
    i = f + what.size();
  }
  out.append(s.substr(i));
  return out;
}

std::vector<std::string> split(std::string_view s, std::string_view sep) {
  std::vector<std::string> out;
  if (s.empty()) return out;
  if (sep.empty()) {
    out.emplace_back(s);
    return out;
  }
  size_t i = 0;
  while (true) {
    size_t f = s.find(sep, i);
    if (f == std::string_view::npos) break;
    out.emplace_back(s.substr(i, f - i));
    i = f + sep.size();
  }
  out.emplace_back(s.substr(i));
  return out;
}

bool isWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
         (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

}  // namespace vb
