#include "vb/utf8.h"

#include <cstdint>

namespace vb {

namespace {

size_t leadLength(unsigned char c) {
  if (c < 0x80) return 1;
  if ((c & 0xE0) == 0xC0) return 2;
  if ((c & 0xF0) == 0xE0) return 3;
  if ((c & 0xF8) == 0xF0) return 4;
  return 1;
}

bool isContinuation(std::string_view s, size_t i) { return (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80; }

}  // namespace

size_t utf8CharBytes(std::string_view s, size_t i) {
  size_t n = leadLength(static_cast<unsigned char>(s[i]));
  if (n == 1 || i + n > s.size()) return 1;
  for (size_t k = 1; k < n; ++k)
    if (!isContinuation(s, i + k)) return 1;
  return n;
}

char32_t utf8DecodeAt(std::string_view s, size_t i, size_t n) {
  auto b = [&](size_t k) { return static_cast<char32_t>(static_cast<unsigned char>(s[i + k])); };
  if (n == 1) return b(0);
  if (n == 2) return ((b(0) & 0x1F) << 6) | (b(1) & 0x3F);
  if (n == 3) return ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
  return ((b(0) & 0x07) << 18) | ((b(1) & 0x3F) << 12) | ((b(2) & 0x3F) << 6) | (b(3) & 0x3F);
}

size_t validUtf8Length(std::string_view s, size_t i) {
  const unsigned char c = static_cast<unsigned char>(s[i]);
  if (c < 0x80) return 1;
  size_t len;
  if (c >= 0xC2 && c <= 0xDF) len = 2;
  else if (c >= 0xE0 && c <= 0xEF) len = 3;
  else if (c >= 0xF0 && c <= 0xF4) len = 4;
  else return 0;
  if (i + len > s.size()) return 0;
  for (size_t k = 1; k < len; ++k)
    if (!isContinuation(s, i + k)) return 0;
  const char32_t cp = utf8DecodeAt(s, i, len);
  if ((len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
    return 0;
  return len;
}

bool isValidUtf8(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size();) {
    size_t n = validUtf8Length(bytes, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

std::string sanitizeUtf8(std::string_view bytes) {
  if (isValidUtf8(bytes)) return std::string(bytes);
  std::string out;
  out.reserve(bytes.size() + 8);
  for (size_t i = 0; i < bytes.size();) {
    size_t n = validUtf8Length(bytes, i);
    if (n == 0) {
      out += "\xEF\xBF\xBD";
      ++i;
    } else {
      out.append(bytes.substr(i, n));
      i += n;
    }
  }
  return out;
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

bool isAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

}  // namespace vb
