#pragma once
// Keys that put reference designators into natural order: C9 before R1, R2 before R10.
//
// A key is a text of decimal digits, 7 for each character code of the (upper-cased)
// designator, so that keys of equal length compare as texts exactly as the numbers
// they spell would. Board digits (1 to 9 before the first letter) are left out; after
// the first LetterCount code groups (LetterCount: characters "A" to "^" in the
// designator), LeadingDigitCount + maxLen - len zero groups are inserted, so every key
// of one list has 7 x maxLen digits. For designators of at most 7 characters with
// two-digit codes this is the order of the classic numeric keys (2 digits a code); it
// stays exact for any length and any character.
//
// Sort the keys as texts (a cell holding one must carry the text format "@", or it
// would be read as a number), then by the designator text.
#include <string>
#include <string_view>
#include <vector>

namespace normalise {

// Digits of one character code in a key.
inline constexpr size_t kRefKeyGroupDigits = 7;

// The key of one designator within a list whose longest designator has maxLen
// characters (maxLen at least the designator's own length).
std::string naturalRefKey(std::string_view designator, long maxLen);

// The keys of a whole list, maxLen taken over the list (counted in characters).
std::vector<std::string> naturalRefKeys(const std::vector<std::string>& designators);

}  // namespace normalise
