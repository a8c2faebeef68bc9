#pragma once
// Owners of COM interfaces and VARIANTs, and the conversions between the runtime's values
// and VARIANTs: numbers, texts (UTF-8 <-> BSTR), Booleans, cell error values, and 2-D
// blocks as SAFEARRAYs of VARIANT counted from 1, as the spreadsheet program hands them.
#include <windows.h>
#include <oaidl.h>
#include <oleauto.h>

#include <utility>

#include "vb/variant.h"

namespace platform::win {

// One reference to a COM interface, released by the owner.
template <class T>
class ComRef {
 public:
  ComRef() = default;
  ComRef(std::nullptr_t) {}
  // Takes over a reference the caller already holds (a fresh object, an out parameter).
  static ComRef adopt(T* p) {
    ComRef r;
    r.p_ = p;
    return r;
  }
  // Adds a reference of its own.
  static ComRef share(T* p) {
    if (p) p->AddRef();
    return adopt(p);
  }
  ComRef(const ComRef& o) : p_(o.p_) {
    if (p_) p_->AddRef();
  }
  ComRef(ComRef&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ComRef& operator=(ComRef o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }
  ~ComRef() { reset(); }

  void reset() {
    if (T* p = std::exchange(p_, nullptr)) p->Release();
  }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For an out parameter: the old reference is dropped first.
  T** out() {
    reset();
    return &p_;
  }
  // Hands the reference to the caller.
  T* detach() { return std::exchange(p_, nullptr); }

 private:
  T* p_ = nullptr;
};

// A VARIANT cleared by its owner (VariantClear frees a BSTR, an array or an interface in it).
class ComVariant {
 public:
  ComVariant() { VariantInit(&v_); }
  ~ComVariant() { VariantClear(&v_); }
  ComVariant(ComVariant&& o) noexcept : v_(o.v_) { VariantInit(&o.v_); }
  ComVariant& operator=(ComVariant&& o) noexcept {
    if (this != &o) {
      VariantClear(&v_);
      v_ = o.v_;
      VariantInit(&o.v_);
    }
    return *this;
  }
  ComVariant(const ComVariant&) = delete;
  ComVariant& operator=(const ComVariant&) = delete;

  VARIANT& get() { return v_; }
  const VARIANT& get() const { return v_; }
  VARTYPE type() const { return V_VT(&v_); }
  // For an out parameter: the old value is cleared first.
  VARIANT* out() {
    VariantClear(&v_);
    return &v_;
  }
  // Hands the value to the caller, who clears it.
  VARIANT detach() {
    VARIANT v = v_;
    VariantInit(&v_);
    return v;
  }

 private:
  VARIANT v_;
};

// The runtime's value as a VARIANT: Empty as VT_EMPTY, numbers as VT_R8, texts as BSTR,
// Booleans as VT_BOOL, error values as VT_ERROR with the spreadsheet's code.
ComVariant toComVariant(const vb::Variant& value);
// A block as a 2-D SAFEARRAY of VARIANT, both dimensions counted from 1.
ComVariant toComVariant(const vb::Table& table);
// Writes the value into a VARIANT that holds nothing (an element of a fresh array).
void writeVariant(const vb::Variant& value, VARIANT& out);
void writeVariant(const vb::Table& table, VARIANT& out);

// A VARIANT as the runtime's value: every whole-number type, currency, decimal and the
// date's serial number read as numbers; VT_NULL and a missing argument read as Empty.
// An array or an object is error 13.
vb::Variant fromComVariant(const VARIANT& value);
// A value read as a Boolean, as the programs read True, False and numbers (nonzero is True).
bool truthOf(const vb::Variant& value);
// A 1-D or 2-D array as a block (a 1-D array is one row); any single value is a 1 x 1
// block, so one cell reads like several. Error 13 for an object or a deeper array.
vb::Table tableFromComVariant(const VARIANT& value);
// True when the VARIANT holds an array (also by reference).
bool holdsArray(const VARIANT& value);

// The VT_ERROR code of the spreadsheet's cell error values (0x800A0000 | code).
SCODE cellErrorScode(int code);

}  // namespace platform::win
