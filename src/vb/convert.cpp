#include "vb/convert.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "vb/error.h"

namespace vb {

std::string numberText(double d) {
  if (d == 0) return "0";  // also -0
  if (std::isnan(d)) return "NaN";
  if (std::isinf(d)) return d > 0 ? "INF" : "-INF";
  // A whole number below 10^15 has at most 15 digits, which %.15G prints all of.
  if (std::fabs(d) < 1e15 && d == std::trunc(d)) return std::to_string(static_cast<long long>(d));
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15G", d);
  std::string s(buf);
  if (s == "-0") return "0";
  return s;
}

std::string toText(const Variant& v) {
  switch (v.type()) {
    case Variant::Type::Empty: return "";
    case Variant::Type::Number: return numberText(v.number());
    case Variant::Type::Text: return v.text();
    case Variant::Type::Boolean: return v.boolean() ? "True" : "False";
    case Variant::Type::Error: return "Error " + std::to_string(v.error().code);
  }
  return "";
}

std::string displayText(const Variant& v) {
  return v.isError() ? errorValueText(v.error().code) : toText(v);
}

namespace {
struct ErrorName {
  int code;
  const char* text;
};
constexpr ErrorName kErrorNames[] = {{2000, "#NULL!"}, {2007, "#DIV/0!"}, {2015, "#VALUE!"},
                                     {2023, "#REF!"},  {2029, "#NAME?"},  {2036, "#NUM!"},
                                     {2042, "#N/A"},   {2043, "#GETTING_DATA"}};
}  // namespace

std::optional<int> errorValueCode(std::string_view text) {
  for (const auto& e : kErrorNames)
    if (text == e.text) return e.code;
  return std::nullopt;
}

std::string errorValueText(int code) {
  for (const auto& e : kErrorNames)
    if (code == e.code) return e.text;
  return "#N/A";
}

static bool isBlank(char c) { return c == ' ' || c == '\t'; }

namespace {

enum class Scan { NotNumber, Number, OutOfRange };

// Reads the whole text as a decimal number (blanks around it allowed).
Scan scanNumber(std::string_view t, double& out) {
  size_t b = 0, e = t.size();
  while (b < e && isBlank(t[b])) ++b;
  while (e > b && isBlank(t[e - 1])) --e;
  if (b == e) return Scan::NotNumber;
  size_t i = b;
  if (t[i] == '+' || t[i] == '-') ++i;
  size_t digits = 0;
  while (i < e && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
  if (i < e && t[i] == '.') {
    ++i;
    while (i < e && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return Scan::NotNumber;
  if (i < e && (t[i] == 'e' || t[i] == 'E')) {
    size_t j = i + 1;
    if (j < e && (t[j] == '+' || t[j] == '-')) ++j;
    size_t expDigits = 0;
    while (j < e && t[j] >= '0' && t[j] <= '9') ++j, ++expDigits;
    if (expDigits == 0) return Scan::NotNumber;
    i = j;
  }
  if (i != e) return Scan::NotNumber;
  std::string s(t.substr(b, e - b));
  out = std::strtod(s.c_str(), nullptr);
  if (std::isinf(out)) return Scan::OutOfRange;
  if (out == 0) out = 0;  // no -0
  return Scan::Number;
}

}  // namespace

std::optional<double> parseNumber(std::string_view t) {
  double d = 0;
  if (scanNumber(t, d) != Scan::Number) return std::nullopt;
  return d;
}

double toDouble(const Variant& v) {
  switch (v.type()) {
    case Variant::Type::Empty: return 0;
    case Variant::Type::Number: return v.number();
    case Variant::Type::Boolean: return v.boolean() ? -1 : 0;
    case Variant::Type::Text: {
      double d = 0;
      switch (scanNumber(v.text(), d)) {
        case Scan::Number: return d;
        case Scan::OutOfRange: raise(kOverflow);
        case Scan::NotNumber: raise(kTypeMismatch);
      }
      raise(kTypeMismatch);
    }
    case Variant::Type::Error: raise(kTypeMismatch);
  }
  raise(kTypeMismatch);
}

double roundHalfEven(double d) { return std::nearbyint(d); }  // default mode: to nearest, ties to even

template <class T>
static T toWhole(const Variant& v) {
  double d = roundHalfEven(toDouble(v));
  if (std::isnan(d) || d < static_cast<double>(std::numeric_limits<T>::min()) ||
      d > static_cast<double>(std::numeric_limits<T>::max()))
    raise(kOverflow);
  return static_cast<T>(d);
}

int16_t toInteger(const Variant& v) { return toWhole<int16_t>(v); }
int32_t toLong(const Variant& v) { return toWhole<int32_t>(v); }

double val(std::string_view t) {
  size_t i = 0, e = t.size();
  while (i < e && isBlank(t[i])) ++i;
  size_t start = i;
  if (i < e && (t[i] == '+' || t[i] == '-')) ++i;
  size_t digits = 0;
  while (i < e && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
  if (i < e && t[i] == '.') {
    ++i;
    while (i < e && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return 0;
  size_t end = i;
  if (i < e && (t[i] == 'e' || t[i] == 'E')) {
    size_t j = i + 1;
    if (j < e && (t[j] == '+' || t[j] == '-')) ++j;
    size_t expDigits = 0;
    while (j < e && t[j] >= '0' && t[j] <= '9') ++j, ++expDigits;
    if (expDigits > 0) end = j;
  }
  std::string s(t.substr(start, end - start));
  double d = std::strtod(s.c_str(), nullptr);
  if (std::isinf(d)) raise(kOverflow);
  return d == 0 ? 0 : d;
}

// Rounds as the original's number formats do: the number is taken at 15 significant
// digits and a half at the last kept decimal rounds away from zero (2.0005 -> "2.001",
// 0.125 -> "0.13"), unlike printf, which rounds the exact binary value.
std::string fixedText(double d, int decimals) {
  if (decimals < 0) decimals = 0;
  if (!std::isfinite(d)) return numberText(d);
  bool negative = std::signbit(d);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14e", std::fabs(d));  // d.dddddddddddddde+XX
  std::string digits;
  for (const char* p = buf; *p && *p != 'e'; ++p)
    if (*p != '.') digits += *p;
  int exp10 = std::atoi(std::strchr(buf, 'e') + 1);
  // The value is 0.digits x 10^(exp10 + 1); intDigits digits stand before the point.
  long intDigits = exp10 + 1;
  // A fixed form of more digits than a number holds (15) prints as number text does,
  // rather than as a row of made-up digits ("1.797E+308", not 309 digits).
  if (intDigits + decimals > 15) return numberText(d);
  long keep = intDigits + decimals;  // significant digits that survive the rounding
  if (keep < 0) {
    digits.clear();
  } else if (keep < static_cast<long>(digits.size())) {
    bool up = digits[static_cast<size_t>(keep)] >= '5';
    digits.resize(static_cast<size_t>(keep));
    if (up) {
      long k = keep - 1;
      while (k >= 0 && digits[static_cast<size_t>(k)] == '9') digits[static_cast<size_t>(k--)] = '0';
      if (k >= 0) {
        ++digits[static_cast<size_t>(k)];
      } else {
        digits.insert(digits.begin(), '1');
        ++intDigits;
      }
    }
  }
  // Lay the digits out on their places: intDigits before the point, decimals after it.
  auto digitAt = [&](long place) -> char {  // place 0 is the first digit of `digits`
    return place >= 0 && place < static_cast<long>(digits.size()) ? digits[static_cast<size_t>(place)] : '0';
  };
  std::string out;
  if (intDigits <= 0) out = "0";
  for (long k = 0; k < intDigits; ++k) out += digitAt(k);
  if (decimals > 0) {
    out += '.';
    for (long k = 0; k < decimals; ++k) out += digitAt(intDigits + k);
  }
  if (negative && out.find_first_not_of("0.") != std::string::npos) out.insert(out.begin(), '-');
  return out;
}

bool isNumeric(const Variant& v) {
  if (v.isNumber() || v.isEmpty() || v.isBoolean()) return true;
  if (v.isText()) return parseNumber(v.text()).has_value();
  return false;
}

}  // namespace vb
