#pragma once
// UTF-8, the encoding of every text in memory: the length and code point of one
// character, validity, repair and encoding. Two readings of a byte sequence exist: the
// lenient one of the text functions (a byte that starts no well-formed sequence is one
// character of its own) and the strict one of the file formats (no overlong forms, no
// surrogates, nothing beyond U+10FFFF).
#include <cstddef>
#include <string>
#include <string_view>

namespace vb {

// Bytes of the character at byte i (i < s.size()): the length of the sequence its lead
// byte starts when the continuation bytes follow, else 1.
size_t utf8CharBytes(std::string_view s, size_t i);
// The code point of the n-byte character at i (n from utf8CharBytes); a one-byte
// character is its byte value.
char32_t utf8DecodeAt(std::string_view s, size_t i, size_t n);

// Length of the valid sequence at byte i, 0 when the bytes there are no valid UTF-8.
size_t validUtf8Length(std::string_view s, size_t i);
bool isValidUtf8(std::string_view bytes);
// The text with every invalid sequence replaced by U+FFFD.
std::string sanitizeUtf8(std::string_view bytes);

// The code point appended in UTF-8.
void appendUtf8(std::string& out, char32_t cp);

// Whether the text holds only ASCII bytes.
bool isAscii(std::string_view s);

}  // namespace vb
