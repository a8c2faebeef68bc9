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

// ---- the value a cell keeps ----

SimSheet::CellValue& SimSheet::CellValue::operator=(const CellValue& other) {
  if (this != &other) {
    release();
    copyFrom(other);
  }
  return *this;
}

SimSheet::CellValue& SimSheet::CellValue::operator=(CellValue&& other) noexcept {
  if (this != &other) {
    release();
    takeFrom(other);
  }
  return *this;
}

char* SimSheet::CellValue::longData() const {
  char* data;
  std::memcpy(&data, bytes_, sizeof data);
  return data;
}

size_t SimSheet::CellValue::longSize() const {
  uint32_t size;
  std::memcpy(&size, bytes_ + sizeof(char*), sizeof size);
  return size;
}

void SimSheet::CellValue::release() {
  if (kind() == kLongText) delete[] longData();
  setKind(kEmpty);
}

void SimSheet::CellValue::copyFrom(const CellValue& other) {
  if (other.kind() == kLongText) return holdText(other.text());
  std::memcpy(bytes_, other.bytes_, sizeof bytes_);
  tag_ = other.tag_;
}

void SimSheet::CellValue::holdText(std::string_view t) {
  if (t.size() <= kShortMax) {
    std::memcpy(bytes_, t.data(), t.size());
    setKind(kShortText, t.size());
    return;
  }
  char* data = new char[t.size()];
  std::memcpy(data, t.data(), t.size());
  const uint32_t size = static_cast<uint32_t>(t.size());  // a cell's text is far shorter than 4 GB
  std::memcpy(bytes_, &data, sizeof data);
  std::memcpy(bytes_ + sizeof data, &size, sizeof size);
  setKind(kLongText);
}

void SimSheet::CellValue::takeFrom(CellValue& other) {
  std::memcpy(bytes_, other.bytes_, sizeof bytes_);
  tag_ = other.tag_;
  other.setKind(kEmpty);  // a long text's memory is this value's now
}

void SimSheet::CellValue::setNumber(double d) {
  release();
  std::memcpy(bytes_, &d, sizeof d);
  setKind(kNumber);
}

void SimSheet::CellValue::assign(const Variant& v) {
  release();
  switch (v.type()) {
    case Variant::Type::Empty: return;
    case Variant::Type::Number: return setNumber(v.number());
    case Variant::Type::Boolean:
      bytes_[0] = v.boolean() ? 1 : 0;
      setKind(kBoolean);
      return;
    case Variant::Type::Error: {
      const int code = v.error().code;
      std::memcpy(bytes_, &code, sizeof code);
      setKind(kError);
      return;
    }
    case Variant::Type::Text: return holdText(v.text());
  }
}

Variant::Type SimSheet::CellValue::type() const {
  switch (kind()) {
    case kEmpty: return Variant::Type::Empty;
    case kNumber: return Variant::Type::Number;
    case kShortText:
    case kLongText: return Variant::Type::Text;
    case kBoolean: return Variant::Type::Boolean;
    case kError: return Variant::Type::Error;
  }
  return Variant::Type::Empty;
}

double SimSheet::CellValue::number() const {
  double d;
  std::memcpy(&d, bytes_, sizeof d);
  return d;
}

int SimSheet::CellValue::errorCode() const {
  int code;
  std::memcpy(&code, bytes_, sizeof code);
  return code;
}

std::string_view SimSheet::CellValue::text() const {
  if (kind() == kLongText) return {longData(), longSize()};
  return {reinterpret_cast<const char*>(bytes_), shortSize()};
}

Variant SimSheet::CellValue::toVariant() const {
  switch (kind()) {
    case kEmpty: return Variant();
    case kNumber: return Variant(number());
    case kShortText:
    case kLongText: return Variant(std::string(text()));
    case kBoolean: return Variant(boolean());
    case kError: return Variant(vb::ErrorValue{errorCode()});
  }
  return Variant();
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
