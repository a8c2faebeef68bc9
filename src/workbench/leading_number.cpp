#include "workbench/leading_number.h"

#include <cstdint>
#include <string>

#include "vb/convert.h"

namespace workbench {

namespace {

// The digits of base 8 or 16 at the start of s, as the runtime reads "&H" and "&O" numbers.
double radixNumber(std::string_view s, int base) {
  uint64_t v = 0;
  for (char c : s) {
    int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : 99;
    if (d >= base) break;
    v = v * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
    if (v > 0xFFFFFFFFull) return static_cast<double>(v);  // beyond 32 bits: as it stands
  }
  if (v <= 0xFFFF) return static_cast<int16_t>(v);
  return static_cast<int32_t>(static_cast<uint32_t>(v));
}

}  // namespace

double leadingNumber(std::string_view text) {
  std::string s;
  for (char c : text)
    if (c != ' ' && c != '\t' && c != '\n') s += c;
  if (s.size() >= 2 && s[0] == '&') {
    if (s[1] == 'H' || s[1] == 'h') return radixNumber(std::string_view(s).substr(2), 16);
    if (s[1] == 'O' || s[1] == 'o') return radixNumber(std::string_view(s).substr(2), 8);
  }
  return vb::val(s);
}

}  // namespace workbench
