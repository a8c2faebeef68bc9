#include "vb/ansi.h"

#include <errno.h>
#include <iconv.h>

#include <stdexcept>

#include "vb/text.h"

namespace vb {

namespace {

constexpr char32_t kEscapeBase = 0xF700;  // U+F780..U+F7FF stand for bytes 0x80..0xFF

class Converter {
 public:
  Converter(const char* to, const char* from) {
    cd_ = iconv_open(to, from);
    if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv: no conversion");
  }
  ~Converter() { iconv_close(cd_); }
  // Converts as far as possible; returns the number of input bytes consumed.
  size_t run(const char* in, size_t n, std::string& out) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in);
    size_t left = n;
    while (left > 0) {
      char buf[1024];
      char* dst = buf;
      size_t room = sizeof buf;
      size_t r = iconv(cd_, &src, &left, &dst, &room);
      out.append(buf, static_cast<size_t>(dst - buf));
      if (r == static_cast<size_t>(-1) && errno != E2BIG) break;
    }
    return n - left;
  }

 private:
  iconv_t cd_;
};

Converter& decoder() {
  static Converter c("UTF-8", "CP936");
  return c;
}
Converter& encoder() {
  static Converter c("CP936", "UTF-8");
  return c;
}

bool ascii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

}  // namespace

std::string ansiToUtf8(std::string_view bytes) {
  if (ascii(bytes)) return std::string(bytes);
  std::string out;
  out.reserve(bytes.size() * 3 / 2);
  size_t i = 0;
  while (i < bytes.size()) {
    size_t used = decoder().run(bytes.data() + i, bytes.size() - i, out);
    i += used;
    if (i < bytes.size()) {  // an invalid or incomplete sequence: keep its first byte
      appendUtf8(out, kEscapeBase + static_cast<unsigned char>(bytes[i]));
      ++i;
    }
  }
  return out;
}

std::string utf8ToAnsi(std::string_view text) {
  if (ascii(text)) return std::string(text);
  std::string out;
  out.reserve(text.size());
  std::string piece;
  for (char32_t cp : codepoints(text)) {
    if (cp >= kEscapeBase + 0x80 && cp <= kEscapeBase + 0xFF) {
      out += static_cast<char>(cp - kEscapeBase);
      continue;
    }
    if (cp < 0x80) {
      out += static_cast<char>(cp);
      continue;
    }
    piece.clear();
    appendUtf8(piece, cp);
    std::string enc;
    size_t used = encoder().run(piece.data(), piece.size(), enc);
    if (used == piece.size()) out += enc;
    else out += '?';
  }
  return out;
}

AnsiLine AnsiLine::fromBytes(std::string raw) {
  AnsiLine l;
  l.text = ansiToUtf8(raw);
  l.raw = std::move(raw);
  return l;
}

AnsiLine AnsiLine::fromText(std::string text) {
  AnsiLine l;
  l.raw = utf8ToAnsi(text);
  l.text = std::move(text);
  return l;
}

std::vector<AnsiLine> splitAnsiLines(std::string_view bytes) {
  std::vector<AnsiLine> lines;
  size_t i = 0, n = bytes.size();
  while (i < n) {
    size_t j = i;
    while (j < n && bytes[j] != '\r' && bytes[j] != '\n') ++j;
    lines.push_back(AnsiLine::fromBytes(std::string(bytes.substr(i, j - i))));
    if (j < n && bytes[j] == '\r' && j + 1 < n && bytes[j + 1] == '\n') j += 2;
    else if (j < n) j += 1;
    i = j;
  }
  return lines;
}

std::string joinAnsiLines(const std::vector<AnsiLine>& lines) {
  size_t total = 0;
  for (const auto& l : lines) total += l.raw.size() + 2;
  std::string out;
  out.reserve(total);
  for (const auto& l : lines) {
    out += l.raw;
    out += "\r\n";
  }
  return out;
}

}  // namespace vb
