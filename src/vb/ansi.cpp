#include "vb/ansi.h"

#include <errno.h>
#include <iconv.h>

#include <memory>
#include <stdexcept>

#include "vb/reuse_pool.h"
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

// Converters of each direction for reuse: an iconv descriptor keeps state, so a
// thread holds one for the whole of a conversion.
ReusePool<Converter>::Lease decoder() {
  static ReusePool<Converter> pool;
  return pool.take([] { return std::make_unique<Converter>("UTF-8", "CP936"); });
}
ReusePool<Converter>::Lease encoder() {
  static ReusePool<Converter> pool;
  return pool.take([] { return std::make_unique<Converter>("CP936", "UTF-8"); });
}

// Whether the UTF-8 text has an escaped byte (U+F780..U+F7FF, EF 9E/9F xx) at i.
bool escapeAt(std::string_view s, size_t i) {
  return i + 2 < s.size() && static_cast<unsigned char>(s[i]) == 0xEF &&
         (static_cast<unsigned char>(s[i + 1]) == 0x9E || static_cast<unsigned char>(s[i + 1]) == 0x9F) &&
         (static_cast<unsigned char>(s[i + 2]) & 0xC0) == 0x80;
}

}  // namespace

std::string ansiToUtf8(std::string_view bytes) {
  if (isAscii(bytes)) return std::string(bytes);
  std::string out;
  out.reserve(bytes.size() * 3 / 2);
  size_t i = 0;
  const auto converter = decoder();
  while (i < bytes.size()) {
    size_t used = converter->run(bytes.data() + i, bytes.size() - i, out);
    i += used;
    if (i < bytes.size()) {  // an invalid or incomplete sequence: keep its first byte
      appendUtf8(out, kEscapeBase + static_cast<unsigned char>(bytes[i]));
      ++i;
    }
  }
  return out;
}

std::string utf8ToAnsi(std::string_view text) {
  if (isAscii(text)) return std::string(text);
  std::string out;
  out.reserve(text.size());
  size_t i = 0, n = text.size();
  const auto converter = encoder();
  while (i < n) {
    if (escapeAt(text, i)) {  // a byte kept from decoding goes back unchanged
      char32_t cp = codepoints(text.substr(i, 3))[0];
      out += static_cast<char>(cp - kEscapeBase);
      i += 3;
      continue;
    }
    // Convert the run up to the next escaped byte in one go; a character that GBK
    // cannot hold (or a stray byte) stops the converter and becomes "?".
    size_t end = i;
    while (end < n && !escapeAt(text, end)) ++end;
    while (i < end) {
      i += converter->run(text.data() + i, end - i, out);
      if (i < end) {
        out += '?';
        i += utf8CharBytes(text, i);
      }
    }
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
  const size_t n = bytes.size();
  size_t ends = 0;  // CR LF counts once
  for (size_t k = 0; k < n; ++k)
    ends += bytes[k] == '\n' || (bytes[k] == '\r' && (k + 1 == n || bytes[k + 1] != '\n'));
  std::vector<AnsiLine> lines;
  lines.reserve(ends + 1);  // no regrowth of a million-line file
  size_t i = 0;
  while (i < n) {
    size_t j = i;
    while (j < n && bytes[j] != '\r' && bytes[j] != '\n') ++j;
    AnsiLine& line = lines.emplace_back();  // made in place, as AnsiLine::fromBytes makes it
    line.raw.assign(bytes.data() + i, j - i);
    line.text = ansiToUtf8(line.raw);
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
