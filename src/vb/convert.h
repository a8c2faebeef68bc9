#pragma once
// Conversions between values, following the original runtime's rules.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "vb/variant.h"

namespace vb {

// A number as the original prints it: at most 15 significant digits, no trailing
// zeros, no "-0", exponent form for very large and very small numbers ("1E+15").
std::string numberText(double d);

// Text of a value: numbers as numberText, Booleans "True"/"False", empty "".
std::string toText(const Variant& v);
// What a cell shows: as toText, and an error value as its text ("#N/A").
std::string displayText(const Variant& v);

// The spreadsheet's error codes and their texts ("#N/A" is 2042); an unknown code reads "#N/A".
std::string errorValueText(int code);
std::optional<int> errorValueCode(std::string_view text);

// The whole text read as a number (blanks around it allowed), or nothing; a number too
// large for a double is nothing too.
std::optional<double> parseNumber(std::string_view text);

// The value as a number: a text must read as a number, else error 13 (error 6 when it
// is a number too large for a double).
double toDouble(const Variant& v);

// 16-bit and 32-bit whole numbers: halves round to the even neighbour; a value out
// of range is error 6, a text that is not a number error 13.
int16_t toInteger(const Variant& v);
int32_t toLong(const Variant& v);

// Rounds halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double d);

// The decimal number at the start of a text ("16V" -> 16, "1.2.3" -> 1.2, "" -> 0).
// Leading blanks are skipped; a sign and an exponent are taken as part of the number.
double val(std::string_view text);

// A number with exactly this many decimals ("0.000" style), never "-0.000". Halves
// round away from zero on the number's 15-digit decimal form, as the original's
// number formats do (0.125 -> "0.13", 1.005 -> "1.01").
std::string fixedText(double d, int decimals);

// Whether a value reads as a number: a number, empty, a Boolean (True is -1), or a text
// that parses as one.
bool isNumeric(const Variant& v);

}  // namespace vb
