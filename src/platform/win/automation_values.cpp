#include "platform/win/automation_values.h"

#include <string>

#include "platform/win/wide_text.h"
#include "vb/convert.h"
#include "vb/error.h"

namespace platform::win {

namespace {

BSTR makeBstr(const std::string& text) {
  if (text.empty()) return SysAllocStringLen(L"", 0);
  std::wstring wide = widen(text);
  BSTR b = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  if (!b) vb::raise(7, "Out of memory");
  return b;
}

std::string fromBstr(BSTR b) { return b ? narrow(std::wstring_view(b, SysStringLen(b))) : std::string(); }

// Unlocks an array's data when the scope ends, before the array's owner clears it.
class ArrayAccess {
 public:
  explicit ArrayAccess(SAFEARRAY* a) : array_(a) {
    if (FAILED(SafeArrayAccessData(a, &data_))) vb::raise(vb::kTypeMismatch);
  }
  ~ArrayAccess() { SafeArrayUnaccessData(array_); }
  ArrayAccess(const ArrayAccess&) = delete;
  ArrayAccess& operator=(const ArrayAccess&) = delete;
  void* data() const { return data_; }

 private:
  SAFEARRAY* array_;
  void* data_ = nullptr;
};

bool isMissing(const VARIANT& v) { return V_VT(&v) == VT_ERROR && V_ERROR(&v) == DISP_E_PARAMNOTFOUND; }

}  // namespace

SCODE cellErrorScode(int code) { return static_cast<SCODE>(0x800A0000u | (static_cast<unsigned>(code) & 0xFFFFu)); }

void writeVariant(const vb::Variant& value, VARIANT& out) {
  switch (value.type()) {
    case vb::Variant::Type::Empty:
      V_VT(&out) = VT_EMPTY;
      break;
    case vb::Variant::Type::Number:
      V_VT(&out) = VT_R8;
      V_R8(&out) = value.number();
      break;
    case vb::Variant::Type::Text:
      V_BSTR(&out) = makeBstr(value.text());
      V_VT(&out) = VT_BSTR;
      break;
    case vb::Variant::Type::Boolean:
      V_VT(&out) = VT_BOOL;
      V_BOOL(&out) = value.boolean() ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case vb::Variant::Type::Error:
      V_VT(&out) = VT_ERROR;
      V_ERROR(&out) = cellErrorScode(value.error().code);
      break;
  }
}

void writeVariant(const vb::Table& table, VARIANT& out) {
  SAFEARRAYBOUND bounds[2];
  bounds[0].lLbound = 1;
  bounds[0].cElements = static_cast<ULONG>(table.rows());
  bounds[1].lLbound = 1;
  bounds[1].cElements = static_cast<ULONG>(table.cols());
  SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 2, bounds);
  if (!array) vb::raise(7, "Out of memory");
  // The VARIANT owns the array from here on, so a failure below frees it.
  V_VT(&out) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(&out) = array;
  if (table.empty()) return;
  ArrayAccess access(array);
  // The first index runs fastest: element (r, c) lies at (r - 1) + (c - 1) * rows.
  auto* cells = static_cast<VARIANT*>(access.data());
  const long rows = table.rows();
  for (long c = 1; c <= table.cols(); ++c)
    for (long r = 1; r <= rows; ++r) writeVariant(table(r, c), cells[(r - 1) + (c - 1) * rows]);
}

ComVariant toComVariant(const vb::Variant& value) {
  ComVariant v;
  writeVariant(value, v.get());
  return v;
}

ComVariant toComVariant(const vb::Table& table) {
  ComVariant v;
  writeVariant(table, v.get());
  return v;
}

vb::Variant fromComVariant(const VARIANT& value) {
  const VARTYPE vt = V_VT(&value);
  if (vt == (VT_VARIANT | VT_BYREF)) return fromComVariant(*V_VARIANTREF(&value));
  if (vt & VT_BYREF) {
    ComVariant copy;
    HRESULT hr = VariantCopyInd(copy.out(), const_cast<VARIANT*>(&value));
    if (FAILED(hr)) vb::raise(vb::kTypeMismatch);
    return fromComVariant(copy.get());
  }
  switch (vt) {
    case VT_EMPTY:
    case VT_NULL: return {};
    case VT_R8: return V_R8(&value);
    case VT_R4: return static_cast<double>(V_R4(&value));
    case VT_I1: return static_cast<double>(V_I1(&value));
    case VT_I2: return static_cast<double>(V_I2(&value));
    case VT_I4: return static_cast<double>(V_I4(&value));
    case VT_I8: return static_cast<double>(V_I8(&value));
    case VT_INT: return static_cast<double>(V_INT(&value));
    case VT_UI1: return static_cast<double>(V_UI1(&value));
    case VT_UI2: return static_cast<double>(V_UI2(&value));
    case VT_UI4: return static_cast<double>(V_UI4(&value));
    case VT_UI8: return static_cast<double>(V_UI8(&value));
    case VT_UINT: return static_cast<double>(V_UINT(&value));
    case VT_CY: return static_cast<double>(V_CY(&value).int64) / 10000.0;
    case VT_DATE: return V_DATE(&value);
    case VT_DECIMAL: {
      double d = 0;
      if (FAILED(VarR8FromDec(const_cast<DECIMAL*>(&V_DECIMAL(&value)), &d))) vb::raise(vb::kOverflow);
      return d;
    }
    case VT_BSTR: return fromBstr(V_BSTR(&value));
    case VT_BOOL: return V_BOOL(&value) != VARIANT_FALSE;
    case VT_ERROR:
      if (isMissing(value)) return {};
      return vb::ErrorValue{static_cast<int>(V_ERROR(&value) & 0xFFFF)};
    default: vb::raise(vb::kTypeMismatch);
  }
}

bool holdsArray(const VARIANT& value) {
  if (V_VT(&value) == (VT_VARIANT | VT_BYREF)) return holdsArray(*V_VARIANTREF(&value));
  return (V_VT(&value) & VT_ARRAY) != 0;
}

vb::Table tableFromComVariant(const VARIANT& value) {
  const VARTYPE vt = V_VT(&value);
  if (vt == (VT_VARIANT | VT_BYREF)) return tableFromComVariant(*V_VARIANTREF(&value));
  if (!(vt & VT_ARRAY)) {
    vb::Table one(1, 1);
    one(1, 1) = fromComVariant(value);
    return one;
  }
  SAFEARRAY* array = (vt & VT_BYREF) ? (V_ARRAYREF(&value) ? *V_ARRAYREF(&value) : nullptr) : V_ARRAY(&value);
  if (!array) return {};
  const UINT dims = SafeArrayGetDim(array);
  if (dims < 1 || dims > 2) vb::raise(vb::kTypeMismatch);
  LONG lb1 = 0, ub1 = -1, lb2 = 1, ub2 = 1;
  SafeArrayGetLBound(array, 1, &lb1);
  SafeArrayGetUBound(array, 1, &ub1);
  if (dims == 2) {
    SafeArrayGetLBound(array, 2, &lb2);
    SafeArrayGetUBound(array, 2, &ub2);
  }
  // A 1-D array is one row of values.
  const long rows = dims == 2 ? ub1 - lb1 + 1 : 1;
  const long cols = dims == 2 ? ub2 - lb2 + 1 : ub1 - lb1 + 1;
  if (rows <= 0 || cols <= 0) return {};
  vb::Table table(rows, cols);
  const VARTYPE element = static_cast<VARTYPE>(vt & VT_TYPEMASK);
  const ULONG size = SafeArrayGetElemsize(array);
  ArrayAccess access(array);
  auto* bytes = static_cast<unsigned char*>(access.data());
  for (long c = 1; c <= cols; ++c) {
    for (long r = 1; r <= rows; ++r) {
      size_t index = dims == 2 ? static_cast<size_t>((r - 1) + (c - 1) * rows) : static_cast<size_t>(c - 1);
      void* at = bytes + index * size;
      if (element == VT_VARIANT) {
        table(r, c) = fromComVariant(*static_cast<VARIANT*>(at));
      } else {
        // An array of another element type: each element read through a reference to it.
        VARIANT ref;
        V_VT(&ref) = static_cast<VARTYPE>(element | VT_BYREF);
        V_BYREF(&ref) = at;
        table(r, c) = fromComVariant(ref);
      }
    }
  }
  return table;
}

bool truthOf(const vb::Variant& value) { return value.isBoolean() ? value.boolean() : vb::toDouble(value) != 0; }

}  // namespace platform::win
