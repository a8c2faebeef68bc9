#pragma once
// A cell's value as the stand-in sheet keeps it, in 16 bytes: empty, a number, a Boolean,
// an error value or a text. A text of up to 15 bytes is held in place, so numbers and
// short texts take no memory of their own; a longer text has its own copy.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "platform/spreadsheet.h"

namespace sim {

class CellValue {
 public:
  using Variant = platform::xl::Variant;

  CellValue() = default;
  explicit CellValue(const Variant& v) { assign(v); }
  CellValue(const CellValue& other) { copyFrom(other); }
  CellValue(CellValue&& other) noexcept { takeFrom(other); }
  CellValue& operator=(const CellValue& other);
  CellValue& operator=(CellValue&& other) noexcept {
    if (this != &other) {
      release();
      takeFrom(other);
    }
    return *this;
  }
  ~CellValue() { release(); }

  void assign(const Variant& v);  // an empty text stays a text
  void setNumber(double d);
  void clear() { release(); }

  bool isEmpty() const { return kind() == kEmpty; }
  bool isText() const { return kind() == kShortText || kind() == kLongText; }
  Variant::Type type() const;
  double number() const;
  bool boolean() const { return bytes_[0] != 0; }
  vb::ErrorValue error() const { return {errorCode()}; }
  int errorCode() const;
  std::string_view text() const;
  Variant toVariant() const;

 private:
  enum Kind : uint8_t { kEmpty, kNumber, kShortText, kLongText, kBoolean, kError };
  static constexpr size_t kShortMax = 15;
  Kind kind() const { return static_cast<Kind>(tag_ & 7); }
  size_t shortSize() const { return tag_ >> 3; }
  void setKind(Kind k, size_t shortSize = 0) { tag_ = static_cast<uint8_t>(k | shortSize << 3); }
  // Moves and clears are inline, as the rows of a sheet move their cells in bulk.
  void release() {
    if (kind() == kLongText) freeLongText();
    setKind(kEmpty);
  }
  void freeLongText();
  void copyFrom(const CellValue& other);  // into an empty value
  void holdText(std::string_view t);      // into an empty value
  void takeFrom(CellValue& other) {
    std::memcpy(bytes_, other.bytes_, sizeof bytes_);
    tag_ = other.tag_;
    other.setKind(kEmpty);  // a long text's memory is this value's now
  }
  char* longData() const;
  size_t longSize() const;

  // A short text's bytes; a long text's address and length; a number, Boolean or error code.
  alignas(8) unsigned char bytes_[kShortMax] = {};
  uint8_t tag_ = kEmpty;  // the kind, and a short text's length above it
};
static_assert(sizeof(CellValue) == 16);

}  // namespace sim
