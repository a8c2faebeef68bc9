#include "normalise/natural_ref_key.h"

#include <algorithm>

#include "vb/text.h"

namespace normalise {

namespace {

// Characters that count as letters: "A" to "Z" and "[", "\", "]", "^".
bool isKeyLetter(char32_t c) { return c >= 65 && c <= 94; }
// Digits before the first letter that name the board, not the part.
bool isBoardDigit(char32_t c) { return c >= '1' && c <= '9'; }

void appendGroup(std::string& key, char32_t code) {
  char digits[kRefKeyGroupDigits];
  unsigned long v = code;
  for (size_t i = kRefKeyGroupDigits; i-- > 0; v /= 10) digits[i] = static_cast<char>('0' + v % 10);
  key.append(digits, kRefKeyGroupDigits);
}

}  // namespace

std::string naturalRefKey(std::string_view designator, long maxLen) {
  const std::string upper = vb::ucase(designator);
  const long len = vb::len(upper);
  long letterCount = 0, leadingDigitCount = 0;
  std::string key;
  key.reserve(kRefKeyGroupDigits * static_cast<size_t>(std::max(maxLen, len)));
  for (size_t i = 0; i < upper.size();) {
    const size_t n = vb::utf8CharBytes(upper, i);
    const char32_t c = vb::utf8DecodeAt(upper, i, n);
    i += n;
    if (letterCount == 0 && isBoardDigit(c)) {
      ++leadingDigitCount;
      continue;
    }
    appendGroup(key, c);
    if (isKeyLetter(c)) ++letterCount;
  }
  const long zeroGroups = std::max(0L, leadingDigitCount + maxLen - len);
  key.insert(kRefKeyGroupDigits * static_cast<size_t>(letterCount), kRefKeyGroupDigits * zeroGroups, '0');
  return key;
}

std::vector<std::string> naturalRefKeys(const std::vector<std::string>& designators) {
  long maxLen = 0;
  for (const std::string& d : designators) maxLen = std::max(maxLen, vb::len(d));
  std::vector<std::string> keys;
  keys.reserve(designators.size());
  for (const std::string& d : designators) keys.push_back(naturalRefKey(d, maxLen));
  return keys;
}

}  // namespace normalise
