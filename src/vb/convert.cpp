#include "vb/convert.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "vb/error.h"

namespace vb {

std::string numberText(double d) {
  if (d == 0) return "0";  // also -0
  if (std::isnan(d)) return "NaN";
  if (std::isinf(d)) return d > 0 ? "INF" : "-INF";
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

static bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::optional<double> parseNumber(std::string_view t) {
  size_t b = 0, e = t.size();
  while (b < e && isBlank(t[b])) ++b;
  while (e > b && isBlank(t[e - 1])) --e;
  if (b == e) return std::nullopt;
  size_t i = b;
  if (t[i] == '+' || t[i] == '-') ++i;
  size_t digits = 0;
  while (i < e && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
  if (i < e && t[i] == '.') {
    ++i;
    while (i < e && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < e && (t[i] == 'e' || t[i] == 'E')) {
    size_t j = i + 1;
    if (j < e && (t[j] == '+' || t[j] == '-')) ++j;
    size_t expDigits = 0;
    while (j < e && t[j] >= '0' && t[j] <= '9') ++j, ++expDigits;
    if (expDigits == 0) return std::nullopt;
    i = j;
  }
  if (i != e) return std::nullopt;
  std::string s(t.substr(b, e - b));
  return std::strtod(s.c_str(), nullptr);
}

double toDouble(const Variant& v) {
  switch (v.type()) {
    case Variant::Type::Empty: return 0;
    case Variant::Type::Number: return v.number();
    case Variant::Type::Boolean: return v.boolean() ? -1 : 0;
    case Variant::Type::Text: {
      auto n = parseNumber(v.text());
      if (!n) raise(kTypeMismatch);
      return *n;
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

std::string fixedText(double d, int decimals) {
  char buf[512];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, d);
  std::string s(buf);
  if (!s.empty() && s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
  return s;
}

bool isNumeric(const Variant& v) {
  if (v.isNumber() || v.isEmpty()) return true;
  if (v.isText()) return parseNumber(v.text()).has_value();
  return false;
}

}  // namespace vb
