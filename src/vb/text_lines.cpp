#include "vb/text_lines.h"

#include "vb/utf8.h"

namespace vb {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF", kUtf16LEMark = "\xFF\xFE", kUtf16BEMark = "\xFE\xFF";

bool startsWith(std::string_view s, std::string_view p) { return s.substr(0, p.size()) == p; }

// The text of UTF-16 bytes; a lone surrogate or a trailing odd byte becomes U+FFFD.
std::string utf16ToUtf8(std::string_view bytes, bool little) {
  std::string out;
  out.reserve(bytes.size());
  auto unit = [&](size_t i) -> char32_t {
    const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
    return little ? (b << 8 | a) : (a << 8 | b);
  };
  size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) {
    char32_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 3 < bytes.size()) {
      const char32_t low = unit(i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        appendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
        continue;
      }
    }
    appendUtf8(out, u >= 0xD800 && u <= 0xDFFF ? 0xFFFD : u);
  }
  if (i < bytes.size()) appendUtf8(out, 0xFFFD);
  return out;
}

std::string utf8ToUtf16(std::string_view text, bool little) {
  std::string out;
  out.reserve(text.size() * 2);
  auto put = [&](char32_t u) {
    const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    out += little ? lo : hi;
    out += little ? hi : lo;
  };
  for (size_t i = 0; i < text.size();) {
    const size_t n = utf8CharBytes(text, i);
    char32_t cp = utf8DecodeAt(text, i, n);
    if (n == 1 && cp >= 0x80) cp = 0xFFFD;  // a stray byte is no character
    i += n;
    if (cp >= 0x10000) {
      put(0xD800 + ((cp - 0x10000) >> 10));
      put(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      put(cp);
    }
  }
  return out;
}

// The width of a code unit of the encoding, in bytes.
size_t unitBytes(TextEncoding e) { return e == TextEncoding::Utf16LE || e == TextEncoding::Utf16BE ? 2 : 1; }

// The code unit at byte i, as a number (a byte for 8-bit encodings).
unsigned unitAt(std::string_view bytes, size_t i, TextEncoding e) {
  const auto a = static_cast<unsigned char>(bytes[i]);
  if (unitBytes(e) == 1) return a;
  const auto b = static_cast<unsigned char>(bytes[i + 1]);
  return e == TextEncoding::Utf16LE ? (b << 8 | a) : (a << 8 | b);
}

std::string decode(std::string_view raw, TextEncoding e) {
  switch (e) {
    case TextEncoding::Ansi: return ansiToUtf8(raw);
    case TextEncoding::Utf8: return sanitizeUtf8(raw);
    case TextEncoding::Utf16LE: return utf16ToUtf8(raw, true);
    case TextEncoding::Utf16BE: return utf16ToUtf8(raw, false);
  }
  return std::string(raw);
}

std::string encode(std::string_view text, TextEncoding e) {
  switch (e) {
    case TextEncoding::Ansi: return utf8ToAnsi(text);
    case TextEncoding::Utf8: return std::string(text);
    case TextEncoding::Utf16LE: return utf8ToUtf16(text, true);
    case TextEncoding::Utf16BE: return utf8ToUtf16(text, false);
  }
  return std::string(text);
}

// The encoding of a file's bytes and whether a mark starts them; the mark is cut off.
TextLines encodingOf(std::string_view& bytes) {
  TextLines file;
  if (startsWith(bytes, kUtf8Mark)) {
    file = {TextEncoding::Utf8, true, {}};
    bytes.remove_prefix(kUtf8Mark.size());
  } else if (startsWith(bytes, kUtf16LEMark)) {
    file = {TextEncoding::Utf16LE, true, {}};
    bytes.remove_prefix(kUtf16LEMark.size());
  } else if (startsWith(bytes, kUtf16BEMark)) {
    file = {TextEncoding::Utf16BE, true, {}};
    bytes.remove_prefix(kUtf16BEMark.size());
  } else if (!isAscii(bytes) && isValidUtf8(bytes)) {
    file.encoding = TextEncoding::Utf8;
  }
  return file;
}

// f(raw) on each line's bytes in the encoding, without its line end, in order.
template <class F>
void eachLine(std::string_view bytes, TextEncoding e, F&& f) {
  const size_t w = unitBytes(e), n = bytes.size() - bytes.size() % w;  // an odd byte at the end stays with the last line
  size_t i = 0;
  while (i < bytes.size()) {
    size_t j = i;
    while (j < n && unitAt(bytes, j, e) != '\r' && unitAt(bytes, j, e) != '\n') j += w;
    if (j >= n) j = bytes.size();
    f(bytes.substr(i, j - i));
    if (j < n && unitAt(bytes, j, e) == '\r' && j + w < n && unitAt(bytes, j + w, e) == '\n') j += 2 * w;
    else if (j < n) j += w;
    i = j;
  }
}

}  // namespace

TextLines splitTextLines(std::string_view bytes) {
  TextLines file = encodingOf(bytes);
  if (file.encoding == TextEncoding::Ansi) {
    file.lines = splitAnsiLines(bytes);
    return file;
  }
  eachLine(bytes, file.encoding, [&](std::string_view raw) {
    AnsiLine& line = file.lines.emplace_back();
    line.raw.assign(raw);
    line.text = decode(raw, file.encoding);
  });
  return file;
}

void LineTexts::keepFirst(size_t n) {
  if (n >= ends_.size()) return;
  ends_.resize(n);
  texts_.resize(n == 0 ? 0 : ends_.back());
}

LineTexts splitLineTexts(std::string_view bytes) {
  const TextEncoding e = encodingOf(bytes).encoding;
  LineTexts out;
  size_t lines = 0;
  eachLine(bytes, e, [&](std::string_view) { ++lines; });
  out.ends_.reserve(lines);  // no regrowth of a million-line file
  out.texts_.reserve(bytes.size());
  eachLine(bytes, e, [&](std::string_view raw) {
    // An ASCII line of an 8-bit file is its own text.
    if (e == TextEncoding::Ansi && isAscii(raw)) out.texts_ += raw;
    else out.texts_ += decode(raw, e);
    out.ends_.push_back(out.texts_.size());
  });
  return out;
}

AnsiLine textLine(std::string text, TextEncoding encoding) {
  AnsiLine l;
  l.raw = encode(text, encoding);
  l.text = std::move(text);
  return l;
}

std::string joinTextLines(const TextLines& file) {
  if (file.encoding == TextEncoding::Ansi && !file.mark) return joinAnsiLines(file.lines);
  std::string out;
  if (file.mark) {
    switch (file.encoding) {
      case TextEncoding::Utf16LE: out += kUtf16LEMark; break;
      case TextEncoding::Utf16BE: out += kUtf16BEMark; break;
      default: out += kUtf8Mark; break;
    }
  }
  const std::string lineEnd = encode("\r\n", file.encoding);
  for (const AnsiLine& l : file.lines) {
    out += l.raw;
    out += lineEnd;
  }
  return out;
}

}  // namespace vb
