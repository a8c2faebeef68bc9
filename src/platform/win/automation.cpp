#include "platform/win/automation.h"

#include <objbase.h>

#include "platform/win/wide_text.h"

namespace platform::win {

ComApartment::ComApartment(bool multithreaded) {
  HRESULT hr = CoInitializeEx(nullptr, multithreaded ? COINIT_MULTITHREADED : COINIT_APARTMENTTHREADED);
  // S_FALSE: already initialised on this thread, which still needs its CoUninitialize.
  // RPC_E_CHANGED_MODE: another kind of apartment is in place; it stays, untouched.
  initialized_ = SUCCEEDED(hr);
}

ComApartment::~ComApartment() {
  if (initialized_) CoUninitialize();
}

// --- Arguments -------------------------------------------------------------------------

Arg::Arg(const Automation& object) : kind_(Kind::Object), object_(ComRef<IDispatch>::share(object.dispatch())) {}

Arg Arg::missing() { return Arg(); }

ComVariant Arg::toComVariant() const {
  ComVariant v;
  if (kind_ == Kind::Table) {
    writeVariant(*table_, v.get());
  } else if (kind_ == Kind::Object) {
    V_VT(&v.get()) = VT_DISPATCH;
    V_DISPATCH(&v.get()) = ComRef<IDispatch>(object_).detach();
  } else if (kind_ == Kind::Missing) {
    V_VT(&v.get()) = VT_ERROR;
    V_ERROR(&v.get()) = DISP_E_PARAMNOTFOUND;
  } else {
    writeVariant(value_, v.get());
  }
  return v;
}

// --- Results ---------------------------------------------------------------------------

namespace {

// The VARIANT itself, or the one it refers to.
const VARIANT& direct(const VARIANT& v) {
  return V_VT(&v) == (VT_VARIANT | VT_BYREF) ? *V_VARIANTREF(&v) : v;
}

IUnknown* objectIn(const VARIANT& v, bool& isObject) {
  const VARIANT& d = direct(v);
  switch (V_VT(&d)) {
    case VT_DISPATCH: isObject = true; return V_DISPATCH(&d);
    case VT_UNKNOWN: isObject = true; return V_UNKNOWN(&d);
    case VT_DISPATCH | VT_BYREF: isObject = true; return V_DISPATCHREF(&d) ? *V_DISPATCHREF(&d) : nullptr;
    case VT_UNKNOWN | VT_BYREF: isObject = true; return V_UNKNOWNREF(&d) ? *V_UNKNOWNREF(&d) : nullptr;
    default: isObject = false; return nullptr;
  }
}

Automation automationOf(IUnknown* unknown) {
  if (!unknown) return {};
  ComRef<IDispatch> dispatch;
  HRESULT hr = unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.out()));
  if (FAILED(hr)) raiseAutomationError(hr);
  return Automation(std::move(dispatch));
}

}  // namespace

bool Result::isObject() const {
  bool object = false;
  objectIn(value_.get(), object);
  return object;
}

vb::Variant Result::value() const {
  bool object = false;
  IUnknown* unknown = objectIn(value_.get(), object);
  if (!object) return fromComVariant(value_.get());
  // An object read as a value gives its default member's value.
  if (!unknown) vb::raise(vb::kObjectNotSet);
  return automationOf(unknown).invoke(Automation::Kind::Get, std::string(), {}).value();
}

vb::Table Result::table() const {
  if (isObject()) {
    vb::Table one(1, 1);
    one(1, 1) = value();
    return one;
  }
  return tableFromComVariant(value_.get());
}

Automation Result::object() const {
  bool object = false;
  IUnknown* unknown = objectIn(value_.get(), object);
  if (!object) vb::raise(kObjectRequired, "Object required");
  return automationOf(unknown);
}

// --- Automation ------------------------------------------------------------------------

Automation::Automation(IDispatch* dispatch) : Automation(ComRef<IDispatch>::share(dispatch)) {}

Automation::Automation(ComRef<IDispatch> dispatch)
    : dispatch_(std::move(dispatch)), names_(dispatch_ ? std::make_shared<NameCache>() : nullptr) {}

namespace {

[[noreturn]] void cannotCreate() { vb::raise(vb::kCannotCreate); }

// The class registered for the user alone (HKCU\Software\Classes). Windows shows these
// keys in HKEY_CLASSES_ROOT too; Wine does not, so they are read here directly.
bool userClassOf(const std::wstring& progId, CLSID& clsid) {
  std::wstring key = L"Software\\Classes\\" + progId + L"\\CLSID";
  wchar_t text[64];
  DWORD size = sizeof text;
  if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
    return false;
  return SUCCEEDED(CLSIDFromString(text, &clsid));
}

CLSID classOf(const std::string& progId) {
  CLSID clsid;
  std::wstring wide = widen(progId);
  // A text in braces is taken as the class identifier itself.
  if (wide.starts_with(L"{")) {
    if (FAILED(CLSIDFromString(wide.c_str(), &clsid))) cannotCreate();
    return clsid;
  }
  if (wide.empty() || (FAILED(CLSIDFromProgID(wide.c_str(), &clsid)) && !userClassOf(wide, clsid))) cannotCreate();
  return clsid;
}

Automation dispatchOf(ComRef<IUnknown> unknown) {
  ComRef<IDispatch> dispatch;
  if (FAILED(unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.out())))) cannotCreate();
  return Automation(std::move(dispatch));
}

}  // namespace

Automation Automation::attach(const std::string& progId) {
  CLSID clsid = classOf(progId);
  ComRef<IUnknown> unknown;
  if (FAILED(GetActiveObject(clsid, nullptr, unknown.out())) || !unknown) cannotCreate();
  return dispatchOf(std::move(unknown));
}

Automation Automation::start(const std::string& progId) {
  CLSID clsid = classOf(progId);
  ComRef<IUnknown> unknown;
  HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER | CLSCTX_INPROC_SERVER, IID_IUnknown,
                                reinterpret_cast<void**>(unknown.out()));
  if (FAILED(hr) || !unknown) cannotCreate();
  return dispatchOf(std::move(unknown));
}

Automation Automation::attachOrStart(const std::string& progId) {
  try {
    return attach(progId);
  } catch (const vb::Error& e) {
    if (e.number() != vb::kCannotCreate) throw;
  }
  return start(progId);
}

namespace {

DWORD busyWaitMilliseconds = 30000;
constexpr DWORD kBusyRetryMilliseconds = 100;

bool rejectedAsBusy(HRESULT hr) { return hr == RPC_E_CALL_REJECTED || hr == RPC_E_SERVERCALL_RETRYLATER; }

// The call, made again while the program rejects it as busy and the busy wait lasts.
template <class Call>
HRESULT whileBusy(Call call) {
  HRESULT hr;
  for (const ULONGLONG began = GetTickCount64();;) {
    hr = call();
    if (!rejectedAsBusy(hr) || GetTickCount64() - began >= busyWaitMilliseconds) return hr;
    Sleep(kBusyRetryMilliseconds);
  }
}

}  // namespace

void Automation::setBusyWait(DWORD milliseconds) { busyWaitMilliseconds = milliseconds; }
DWORD Automation::busyWait() { return busyWaitMilliseconds; }

bool Automation::sameObject(const Automation& other) const {
  if (empty() || other.empty()) return empty() && other.empty();
  ComRef<IUnknown> a, b;
  dispatch_->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(a.out()));
  other.dispatch_->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(b.out()));
  return a.get() == b.get();
}

const std::vector<DISPID>& Automation::dispIds(const std::string& member, const NamedArgs& named) const {
  std::string key = member;
  for (const auto& [name, arg] : named) key += '\x1f' + name;
  auto found = names_->ids.find(key);
  if (found != names_->ids.end()) return found->second;

  std::vector<std::wstring> wide;
  wide.reserve(named.size() + 1);
  wide.push_back(widen(member));
  for (const auto& [name, arg] : named) wide.push_back(widen(name));
  std::vector<LPOLESTR> pointers;
  for (auto& w : wide) pointers.push_back(w.data());
  std::vector<DISPID> ids(wide.size(), DISPID_UNKNOWN);
  HRESULT hr = whileBusy([&] {
    return dispatch_->GetIDsOfNames(IID_NULL, pointers.data(), static_cast<UINT>(pointers.size()),
                                    LOCALE_USER_DEFAULT, ids.data());
  });
  if (FAILED(hr)) {
    // The member is known but one of the argument names is not.
    if (hr == DISP_E_UNKNOWNNAME && ids[0] != DISPID_UNKNOWN)
      vb::raise(kNamedArgumentNotFound, "Named argument not found");
    raiseAutomationError(hr);
  }
  return names_->ids.emplace(std::move(key), std::move(ids)).first->second;
}

Result Automation::invoke(Kind kind, const std::string& member, const Args& args, const NamedArgs& named) const {
  if (empty()) vb::raise(vb::kObjectNotSet);
  if (kind == Kind::Put && (args.empty() || !named.empty())) vb::raise(vb::kInvalidCall);
  // The empty name is the object's default member.
  static const std::vector<DISPID> defaultMember{DISPID_VALUE};
  const std::vector<DISPID>& ids = member.empty() && named.empty() ? defaultMember : dispIds(member, named);

  // Arguments go in reverse order: the named ones first, then the positional ones from
  // the last to the first. A put's value (the last positional one) so comes first, as the
  // named argument DISPID_PROPERTYPUT.
  const size_t count = args.size() + named.size();
  std::vector<ComVariant> values(count);
  std::vector<DISPID> namedIds;
  for (size_t i = 0; i < named.size(); ++i) {
    values[i] = named[i].second.toComVariant();
    namedIds.push_back(ids[i + 1]);
  }
  for (size_t i = 0; i < args.size(); ++i) values[count - 1 - i] = args[i].toComVariant();
  if (kind == Kind::Put) namedIds.insert(namedIds.begin(), DISPID_PROPERTYPUT);

  // ComVariant is a VARIANT and nothing else, so the vector is the argument array.
  static_assert(sizeof(ComVariant) == sizeof(VARIANT));
  DISPPARAMS params{};
  params.rgvarg = count ? reinterpret_cast<VARIANT*>(values.data()) : nullptr;
  params.cArgs = static_cast<UINT>(count);
  params.rgdispidNamedArgs = namedIds.empty() ? nullptr : namedIds.data();
  params.cNamedArgs = static_cast<UINT>(namedIds.size());

  // A get and a method call both go as METHOD | PROPERTYGET, as the runtime sends them.
  WORD flags = kind == Kind::Put ? DISPATCH_PROPERTYPUT : DISPATCH_METHOD | DISPATCH_PROPERTYGET;
  ComVariant result;
  EXCEPINFO exception{};
  UINT argError = 0;
  HRESULT hr = whileBusy([&] {
    return dispatch_->Invoke(ids[0], IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                             kind == Kind::Put ? nullptr : result.out(), &exception, &argError);
  });
  if (FAILED(hr)) raiseAutomationError(hr, &exception);
  return Result(std::move(result));
}

void Automation::putWith(const std::string& member, const Arg& value, const Args& args) const {
  Args all(args);
  all.push_back(value);
  invoke(Kind::Put, member, all);
}

Result Automation::call(const std::string& member, const Args& args, const NamedArgs& named) const {
  return invoke(Kind::Method, member, args, named);
}

}  // namespace platform::win
