#include "sim/sim_cell_value.h"

#include <cstring>
#include <string>

namespace sim {

using platform::xl::Variant;

CellValue& CellValue::operator=(const CellValue& other) {
  if (this != &other) {
    release();
    copyFrom(other);
  }
  return *this;
}

char* CellValue::longData() const {
  char* data;
  std::memcpy(&data, bytes_, sizeof data);
  return data;
}

size_t CellValue::longSize() const {
  uint32_t size;
  std::memcpy(&size, bytes_ + sizeof(char*), sizeof size);
  return size;
}

void CellValue::freeLongText() { delete[] longData(); }

void CellValue::copyFrom(const CellValue& other) {
  if (other.kind() == kLongText) return holdText(other.text());
  std::memcpy(bytes_, other.bytes_, sizeof bytes_);
  tag_ = other.tag_;
}

void CellValue::holdText(std::string_view t) {
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

void CellValue::setNumber(double d) {
  release();
  std::memcpy(bytes_, &d, sizeof d);
  setKind(kNumber);
}

void CellValue::assign(const Variant& v) {
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

Variant::Type CellValue::type() const {
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

double CellValue::number() const {
  double d;
  std::memcpy(&d, bytes_, sizeof d);
  return d;
}

int CellValue::errorCode() const {
  int code;
  std::memcpy(&code, bytes_, sizeof code);
  return code;
}

std::string_view CellValue::text() const {
  if (kind() == kLongText) return {longData(), longSize()};
  return {reinterpret_cast<const char*>(bytes_), shortSize()};
}

Variant CellValue::toVariant() const {
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

}  // namespace sim
