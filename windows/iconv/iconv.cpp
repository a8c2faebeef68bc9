// iconv over the code pages of Windows, for the libraries and the text layer that call
// iconv: a character at a time through a UTF-32 value, so a conversion stops exactly at
// the first sequence it cannot take, as iconv does; runs of ASCII are copied whole.
#include "iconv.h"

#include <windows.h>

#include <cerrno>
#include <cstring>
#include <string>

struct velmora_iconv {
  unsigned from, to;  // code page numbers; kUtf8, kUtf16, kAscii for those
};

namespace {

constexpr unsigned kUtf8 = 65001, kUtf16 = 1200, kAscii = 20127;

// The code page a name names, 0 for none we know.
unsigned codePage(const char* name) {
  std::string n;
  for (const char* p = name; *p && *p != '/'; ++p) n += static_cast<char>(*p >= 'a' && *p <= 'z' ? *p - 32 : *p);
  if (n == "UTF-8" || n == "UTF8") return kUtf8;
  if (n == "UTF-16LE") return kUtf16;
  if (n == "ASCII" || n == "US-ASCII") return kAscii;
  if (n == "GBK" || n == "GB2312") return 936;
  if (n.size() > 2 && n.compare(0, 2, "CP") == 0) {
    unsigned cp = 0;
    for (size_t i = 2; i < n.size(); ++i) {
      if (n[i] < '0' || n[i] > '9') return 0;
      cp = cp * 10 + static_cast<unsigned>(n[i] - '0');
    }
    return IsValidCodePage(cp) ? cp : 0;
  }
  return 0;
}

enum class Step { Done, Invalid, Incomplete };

// Decodes one character at p (n bytes left): its code point and length.
Step decode(unsigned cp, const unsigned char* p, size_t n, char32_t& c, size_t& len) {
  if (cp == kUtf8) {
    const unsigned char b = p[0];
    size_t need;
    char32_t min;
    if (b < 0x80) return c = b, len = 1, Step::Done;
    if (b >= 0xC2 && b <= 0xDF) need = 2, c = b & 0x1F, min = 0x80;
    else if (b >= 0xE0 && b <= 0xEF) need = 3, c = b & 0x0F, min = 0x800;
    else if (b >= 0xF0 && b <= 0xF4) need = 4, c = b & 0x07, min = 0x10000;
    else return Step::Invalid;
    for (size_t i = 1; i < need; ++i) {
      if (i >= n) return Step::Incomplete;
      if ((p[i] & 0xC0) != 0x80) return Step::Invalid;
      c = (c << 6) | (p[i] & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return Step::Invalid;
    return len = need, Step::Done;
  }
  if (cp == kUtf16) {
    if (n < 2) return Step::Incomplete;
    const char32_t u = p[0] | (p[1] << 8);
    if (u < 0xD800 || u > 0xDFFF) return c = u, len = 2, Step::Done;
    if (u > 0xDBFF) return Step::Invalid;
    if (n < 4) return Step::Incomplete;
    const char32_t v = p[2] | (p[3] << 8);
    if (v < 0xDC00 || v > 0xDFFF) return Step::Invalid;
    return c = 0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00), len = 4, Step::Done;
  }
  if (p[0] < 0x80) return c = p[0], len = 1, Step::Done;
  if (cp == kAscii) return Step::Invalid;
  len = IsDBCSLeadByteEx(cp, p[0]) ? 2 : 1;
  if (len > n) return Step::Incomplete;
  wchar_t w[2];
  const int got = MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(p),
                                      static_cast<int>(len), w, 2);
  if (got == 1) return c = w[0], Step::Done;
  if (got == 2 && w[0] >= 0xD800 && w[0] <= 0xDBFF) return c = 0x10000 + ((w[0] - 0xD800) << 10) + (w[1] - 0xDC00), Step::Done;
  return Step::Invalid;
}

// Encodes c into out (at most 8 bytes); false when the target cannot hold it.
bool encode(unsigned cp, char32_t c, unsigned char* out, size_t& len) {
  if (c < 0x80 && cp != kUtf16) return out[0] = static_cast<unsigned char>(c), len = 1, true;
  if (cp == kUtf8) {
    if (c < 0x800) out[0] = 0xC0 | (c >> 6), out[1] = 0x80 | (c & 0x3F), len = 2;
    else if (c < 0x10000) out[0] = 0xE0 | (c >> 12), out[1] = 0x80 | ((c >> 6) & 0x3F), out[2] = 0x80 | (c & 0x3F), len = 3;
    else
      out[0] = 0xF0 | (c >> 18), out[1] = 0x80 | ((c >> 12) & 0x3F), out[2] = 0x80 | ((c >> 6) & 0x3F),
      out[3] = 0x80 | (c & 0x3F), len = 4;
    return true;
  }
  wchar_t w[2];
  int units = 1;
  if (c < 0x10000) w[0] = static_cast<wchar_t>(c);
  else w[0] = static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10)), w[1] = static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF)), units = 2;
  if (cp == kUtf16) {
    for (int i = 0; i < units; ++i) out[2 * i] = w[i] & 0xFF, out[2 * i + 1] = w[i] >> 8;
    return len = 2 * static_cast<size_t>(units), true;
  }
  if (cp == kAscii) return false;
  BOOL defaulted = FALSE;
  const int got = WideCharToMultiByte(cp, WC_NO_BEST_FIT_CHARS, w, units, reinterpret_cast<char*>(out), 8, nullptr,
                                      &defaulted);
  if (got <= 0 || defaulted) return false;
  return len = static_cast<size_t>(got), true;
}

}  // namespace

extern "C" {

iconv_t iconv_open(const char* tocode, const char* fromcode) {
  const unsigned to = codePage(tocode), from = codePage(fromcode);
  if (!to || !from) {
    errno = EINVAL;
    return reinterpret_cast<iconv_t>(-1);
  }
  return new velmora_iconv{from, to};
}

int iconv_close(iconv_t cd) {
  delete cd;
  return 0;
}

size_t iconv(iconv_t cd, char** inbuf, size_t* inbytesleft, char** outbuf, size_t* outbytesleft) {
  if (!inbuf || !*inbuf) return 0;  // no shift state to reset
  auto* in = reinterpret_cast<const unsigned char*>(*inbuf);
  size_t left = *inbytesleft;
  auto* out = reinterpret_cast<unsigned char*>(*outbuf);
  size_t room = *outbytesleft;
  size_t result = 0;
  const bool asciiCopies = cd->from != kUtf16 && cd->to != kUtf16;
  while (left > 0) {
    if (asciiCopies && in[0] < 0x80) {  // a run of ASCII is the same bytes in every code page we use
      size_t run = 0;
      while (run < left && run < room && in[run] < 0x80) ++run;
      if (run == 0) {
        errno = E2BIG;
        result = static_cast<size_t>(-1);
        break;
      }
      std::memcpy(out, in, run);
      in += run, left -= run, out += run, room -= run;
      continue;
    }
    char32_t c = 0;
    size_t used = 0, made = 0;
    const Step step = decode(cd->from, in, left, c, used);
    unsigned char bytes[8];
    if (step != Step::Done || !encode(cd->to, c, bytes, made)) {
      errno = step == Step::Incomplete ? EINVAL : EILSEQ;
      result = static_cast<size_t>(-1);
      break;
    }
    if (made > room) {
      errno = E2BIG;
      result = static_cast<size_t>(-1);
      break;
    }
    std::memcpy(out, bytes, made);
    in += used, left -= used, out += made, room -= made;
  }
  *inbuf = reinterpret_cast<char*>(const_cast<unsigned char*>(in));
  *inbytesleft = left;
  *outbuf = reinterpret_cast<char*>(out);
  *outbytesleft = room;
  return result;
}

const char* locale_charset(void) { return "UTF-8"; }

}  // extern "C"
