// What a cell stores when a value is written into it, and what it shows.
#include <cstring>
#include <optional>
#include <string_view>

#include "sim/sim_sheet.h"
#include "vb/convert.h"
#include "vb/error.h"
#include "vb/text.h"

namespace sim {

using platform::xl::Variant;

namespace {

bool isFractionFormat(const std::string& f) { return f.find("?/") != std::string::npos; }

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Digits at position i; false when there are none.
bool readDigits(std::string_view t, size_t& i, double& out) {
  size_t start = i;
  double v = 0;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') v = v * 10 + (t[i++] - '0');
  out = v;
  return i > start;
}

// "1/4", "-3/8", "1 1/2" (a whole part, blanks, then the fraction); blanks around allowed.
std::optional<double> parseFraction(std::string_view t) {
  size_t i = 0;
  while (i < t.size() && isBlank(t[i])) ++i;
  bool negative = false;
  if (i < t.size() && (t[i] == '-' || t[i] == '+')) negative = t[i++] == '-';
  double whole = 0, num = 0, den = 0;
  if (!readDigits(t, i, num)) return std::nullopt;
  if (i < t.size() && isBlank(t[i])) {
    while (i < t.size() && isBlank(t[i])) ++i;
    whole = num;
    if (!readDigits(t, i, num)) return std::nullopt;
  }
  if (i >= t.size() || t[i] != '/') return std::nullopt;
  ++i;
  if (!readDigits(t, i, den) || den == 0) return std::nullopt;
  while (i < t.size() && isBlank(t[i])) ++i;
  if (i != t.size()) return std::nullopt;
  double v = whole + num / den;
  return negative ? -v : v;
}


// 40123 as "40,123".
std::string groupedDigits(long n) {
  std::string digits = std::to_string(n), out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

// The number a (non-empty) text written into a cell of this format becomes, if any.
std::optional<double> storedNumber(const std::string& t, const std::string& format) {
  if (format == "@") return std::nullopt;
  if (auto n = vb::parseNumber(t)) return n;
  if (isFractionFormat(format)) return parseFraction(t);
  return std::nullopt;
}

}  // namespace

void SimSheet::checkFitsCell(const Variant& v) {
  using platform::xl::kMaxCellChars;
  // A character takes at least one byte, so a text of no more bytes than that fits.
  if (!v.isText() || static_cast<long>(v.text().size()) <= kMaxCellChars) return;
  const long chars = vb::len(v.text());
  if (chars <= kMaxCellChars) return;
  vb::raise(vb::kAppDefined, "A cell holds at most " + groupedDigits(kMaxCellChars) + " characters; the text has " +
                                 groupedDigits(chars));
}

Variant SimSheet::storedValue(const Variant& v, const std::string& format) {
  if (!v.isText()) return v;
  const std::string& t = v.text();
  if (t.empty()) return Variant();
  if (auto n = storedNumber(t, format)) return Variant(*n);
  return v;
}

void SimSheet::store(CellValue& cell, const Variant& v, const std::string& format) {
  if (v.isText()) {
    if (v.text().empty()) return cell.clear();
    if (auto n = storedNumber(v.text(), format)) return cell.setNumber(*n);
  }
  cell.assign(v);
}

std::string SimSheet::shownText(const Variant& v) {
  switch (v.type()) {
    case Variant::Type::Empty: return "";
    case Variant::Type::Number: return vb::numberText(v.number());
    case Variant::Type::Text: return v.text();
    case Variant::Type::Boolean: return v.boolean() ? "TRUE" : "FALSE";
    case Variant::Type::Error: return vb::errorValueText(v.error().code);
  }
  return "";
}

}  // namespace sim
