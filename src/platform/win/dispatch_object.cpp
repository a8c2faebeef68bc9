#include "platform/win/dispatch_object.h"

#include <algorithm>
#include <stdexcept>

#include "platform/win/wide_text.h"

namespace platform::win {

namespace {

std::atomic<long> livingObjects{0};

std::string lowerAscii(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

bool sameName(const std::string& a, const std::string& b) { return lowerAscii(a) == lowerAscii(b); }

BSTR bstrOf(const std::string& text) {
  std::wstring wide = widen(text);
  return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

// A handler's failure as the EXCEPINFO of DISP_E_EXCEPTION: the error number travels in
// the scode of the control facility (0x800A0000 | number), as the runtime raises it.
HRESULT fail(EXCEPINFO* exception, int number, const std::string& description) {
  SCODE scode = number > 0 && number < 0x10000 ? MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, number)
                                                : static_cast<SCODE>(number);
  if (!exception) return scode;
  *exception = EXCEPINFO{};
  exception->scode = scode;
  exception->bstrSource = bstrOf("Velmora");
  exception->bstrDescription = bstrOf(description);
  return DISP_E_EXCEPTION;
}

}  // namespace

// --- DispatchCall ----------------------------------------------------------------------

DispatchCall::DispatchCall(Kind kind, const std::string& member, const std::vector<std::string>& params,
                           const DISPPARAMS& p, void* data)
    : kind_(kind), member_(member), params_(params), p_(p), data_(data) {
  // A put's value is one of the named arguments, so it is not counted here either.
  positional_ = p.cArgs - p.cNamedArgs;
}

const VARIANT& DispatchCall::at(size_t index) const {
  // Positional arguments follow the named ones, the last first.
  return p_.rgvarg[p_.cArgs - 1 - index];
}

const VARIANT* DispatchCall::raw(size_t index) const { return index < positional_ ? &at(index) : nullptr; }

bool DispatchCall::has(size_t index) const {
  const VARIANT* v = raw(index);
  return v && !(V_VT(v) == VT_ERROR && V_ERROR(v) == DISP_E_PARAMNOTFOUND);
}

namespace {

const VARIANT& given(const VARIANT* v) {
  if (!v) vb::raise(kArgumentNotOptional, "Argument not optional");
  return *v;
}

Automation objectOf(const VARIANT* v) {
  if (!v || (V_VT(v) == VT_ERROR && V_ERROR(v) == DISP_E_PARAMNOTFOUND)) return {};
  ComVariant copy;
  if (FAILED(VariantCopy(copy.out(), const_cast<VARIANT*>(v)))) vb::raise(vb::kTypeMismatch);
  return Result(std::move(copy)).object();
}

}  // namespace

vb::Variant DispatchCall::arg(size_t index) const { return fromComVariant(given(raw(index))); }
vb::Table DispatchCall::table(size_t index) const { return tableFromComVariant(given(raw(index))); }
Automation DispatchCall::object(size_t index) const { return objectOf(raw(index)); }

const VARIANT* DispatchCall::rawParam(const std::string& name) const {
  auto found = std::find_if(params_.begin(), params_.end(), [&](const std::string& p) { return sameName(p, name); });
  if (found == params_.end()) return nullptr;
  const DISPID position = static_cast<DISPID>(found - params_.begin());
  for (UINT i = 0; i < p_.cNamedArgs; ++i)
    if (p_.rgdispidNamedArgs[i] == position) return &p_.rgvarg[i];
  return raw(static_cast<size_t>(position));
}

bool DispatchCall::hasParam(const std::string& name) const {
  const VARIANT* v = rawParam(name);
  return v && !(V_VT(v) == VT_ERROR && V_ERROR(v) == DISP_E_PARAMNOTFOUND);
}

vb::Variant DispatchCall::param(const std::string& name) const {
  const VARIANT* v = rawParam(name);
  return v ? fromComVariant(*v) : vb::Variant();
}

vb::Table DispatchCall::paramTable(const std::string& name) const {
  const VARIANT* v = rawParam(name);
  return v ? tableFromComVariant(*v) : vb::Table();
}

Automation DispatchCall::paramObject(const std::string& name) const { return objectOf(rawParam(name)); }

const VARIANT& DispatchCall::rawValue() const {
  // A put's value is the named argument DISPID_PROPERTYPUT.
  for (UINT i = 0; i < p_.cNamedArgs; ++i)
    if (p_.rgdispidNamedArgs[i] == DISPID_PROPERTYPUT) return p_.rgvarg[i];
  vb::raise(kArgumentNotOptional, "Argument not optional");
}

vb::Variant DispatchCall::value() const { return fromComVariant(rawValue()); }
vb::Table DispatchCall::valueTable() const { return tableFromComVariant(rawValue()); }
Automation DispatchCall::valueObject() const { return objectOf(&rawValue()); }

void DispatchCall::returnTable(vb::Table table) { tableResult_ = std::move(table); }
void DispatchCall::returnObject(Automation object) { objectResult_ = std::move(object); }

// --- DispatchObject --------------------------------------------------------------------

DispatchObject::DispatchObject() { ++livingObjects; }
DispatchObject::~DispatchObject() { --livingObjects; }

long DispatchObject::living() { return livingObjects.load(); }

ComRef<DispatchObject> DispatchObject::create() { return ComRef<DispatchObject>::adopt(new DispatchObject()); }

ComRef<DispatchObject> DispatchObject::create(DispatchObject& kind, std::shared_ptr<void> data) {
  ComRef<DispatchObject> object = create();
  // A kind made from a kind would serve neither table; its own kind serves both.
  object->kind_ = kind.kind_ ? kind.kind_ : ComRef<DispatchObject>::share(&kind);
  object->data_ = std::move(data);
  return object;
}

DispatchObject::Member& DispatchObject::memberNamed(const std::string& name) {
  if (kind_) throw std::logic_error("an object made from a kind serves the kind's members: " + name);
  auto [it, added] = index_.emplace(lowerAscii(name), members_.size());
  if (added) members_.push_back(std::make_shared<Member>(Member{name, {}, {}, {}, {}}));
  return *members_[it->second];
}

DispatchObject& DispatchObject::property(const std::string& name, Handler get, Handler put,
                                         std::vector<std::string> params) {
  Member& m = memberNamed(name);
  m.get = std::move(get);
  m.put = std::move(put);
  m.params = std::move(params);
  return *this;
}

DispatchObject& DispatchObject::method(const std::string& name, Handler run, std::vector<std::string> params) {
  Member& m = memberNamed(name);
  m.run = std::move(run);
  m.params = std::move(params);
  return *this;
}

DispatchObject& DispatchObject::defaultMember(const std::string& name) {
  memberNamed(name);
  default_ = index_.at(lowerAscii(name));
  return *this;
}

Automation DispatchObject::automation() { return Automation(static_cast<IDispatch*>(this)); }

HRESULT DispatchObject::QueryInterface(REFIID riid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG DispatchObject::AddRef() { return ++references_; }

ULONG DispatchObject::Release() {
  ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT DispatchObject::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT DispatchObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT DispatchObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!names || !ids || count == 0) return E_INVALIDARG;
  std::fill(ids, ids + count, DISPID_UNKNOWN);
  const DispatchObject& t = table();
  auto found = t.index_.find(lowerAscii(narrow(names[0])));
  if (found == t.index_.end()) return DISP_E_UNKNOWNNAME;
  ids[0] = static_cast<DISPID>(found->second + 1);
  // Argument names: their position among the member's declared parameters.
  const Member& m = *t.members_[found->second];
  HRESULT hr = S_OK;
  for (UINT i = 1; i < count; ++i) {
    std::string name = narrow(names[i]);
    auto p = std::find_if(m.params.begin(), m.params.end(), [&](const std::string& s) { return sameName(s, name); });
    if (p == m.params.end())
      hr = DISP_E_UNKNOWNNAME;
    else
      ids[i] = static_cast<DISPID>(p - m.params.begin());
  }
  return hr;
}

HRESULT DispatchObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                               EXCEPINFO* exception, UINT* argError) {
  const DispatchObject& t = table();
  size_t index;
  if (id == DISPID_VALUE) {
    if (!t.default_) return DISP_E_MEMBERNOTFOUND;
    index = *t.default_;
  } else if (id >= 1 && static_cast<size_t>(id) <= t.members_.size()) {
    index = static_cast<size_t>(id - 1);
  } else {
    return DISP_E_MEMBERNOTFOUND;
  }
  static const DISPPARAMS none{nullptr, nullptr, 0, 0};
  const DISPPARAMS& p = params ? *params : none;
  // Keep the member alive while its handler runs, even if the handler changes the table.
  const std::shared_ptr<const Member> held = t.members_[index];
  const Member& m = *held;

  const Handler* handler = nullptr;
  DispatchCall::Kind kind;
  if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
    kind = DispatchCall::Kind::Put;
    handler = m.put ? &m.put : nullptr;
    if (p.cNamedArgs == 0 || p.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) return DISP_E_PARAMNOTOPTIONAL;
  } else if ((flags & DISPATCH_PROPERTYGET) && m.get) {
    kind = DispatchCall::Kind::Get;
    handler = &m.get;
  } else if ((flags & DISPATCH_METHOD) && m.run) {
    kind = DispatchCall::Kind::Method;
    handler = &m.run;
  } else if ((flags & DISPATCH_METHOD) && m.get) {
    kind = DispatchCall::Kind::Get;
    handler = &m.get;
  } else {
    return DISP_E_MEMBERNOTFOUND;
  }
  if (!handler) return DISP_E_MEMBERNOTFOUND;
  // Named arguments other than a put's value must be declared parameters.
  for (UINT i = 0; i < p.cNamedArgs; ++i) {
    DISPID n = p.rgdispidNamedArgs[i];
    if (n == DISPID_PROPERTYPUT && kind == DispatchCall::Kind::Put) continue;
    if (n < 0 || static_cast<size_t>(n) >= m.params.size()) {
      if (argError) *argError = i;
      return DISP_E_PARAMNOTFOUND;
    }
  }

  try {
    DispatchCall call(kind, m.name, m.params, p, data_.get());
    vb::Variant value = (*handler)(call);
    if (result) {
      VariantClear(result);
      if (call.objectResult_) {
        V_VT(result) = VT_DISPATCH;
        V_DISPATCH(result) = ComRef<IDispatch>::share(call.objectResult_->dispatch()).detach();
      } else if (call.tableResult_) {
        writeVariant(*call.tableResult_, *result);
      } else {
        writeVariant(value, *result);
      }
    }
    return S_OK;
  } catch (const vb::Error& e) {
    if (result) VariantClear(result);
    return fail(exception, e.number(), e.description());
  } catch (const std::exception& e) {
    if (result) VariantClear(result);
    return fail(exception, static_cast<int>(E_FAIL), e.what());
  }
}

// --- DispatchFactory -------------------------------------------------------------------

ComRef<DispatchFactory> DispatchFactory::create(Maker make) {
  return ComRef<DispatchFactory>::adopt(new DispatchFactory(std::move(make)));
}

HRESULT DispatchFactory::QueryInterface(REFIID riid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
    *out = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG DispatchFactory::AddRef() { return ++references_; }

ULONG DispatchFactory::Release() {
  ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT DispatchFactory::CreateInstance(IUnknown* outer, REFIID riid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  try {
    Automation object = make_();
    if (object.empty()) return E_FAIL;
    return object.dispatch()->QueryInterface(riid, out);
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT DispatchFactory::LockServer(BOOL) { return S_OK; }

// --- Registrations ---------------------------------------------------------------------

namespace {

std::wstring clsidText(const CLSID& clsid) {
  wchar_t text[64];
  StringFromGUID2(clsid, text, 64);
  return text;
}

void writeDefault(HKEY root, const std::wstring& key, const std::wstring& value) {
  HKEY h;
  if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) != ERROR_SUCCESS)
    vb::raise(vb::kPermissionDenied);
  LSTATUS status = RegSetValueExW(h, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                  static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(h);
  if (status != ERROR_SUCCESS) vb::raise(vb::kPermissionDenied);
}

}  // namespace

ProgIdRegistration::ProgIdRegistration(const std::string& progId, const CLSID& clsid, const std::string& localServer)
    : root_(localServer.empty() ? HKEY_CURRENT_USER : HKEY_CLASSES_ROOT) {
  const std::wstring classes = localServer.empty() ? L"Software\\Classes\\" : L"";
  progIdKey_ = classes + widen(progId);
  clsidKey_ = classes + L"CLSID\\" + clsidText(clsid);
  writeDefault(root_, progIdKey_ + L"\\CLSID", clsidText(clsid));
  writeDefault(root_, clsidKey_ + L"\\ProgID", widen(progId));
  if (!localServer.empty()) writeDefault(root_, clsidKey_ + L"\\LocalServer32", widen(localServer));
}

ProgIdRegistration::~ProgIdRegistration() {
  RegDeleteTreeW(root_, progIdKey_.c_str());
  RegDeleteKeyW(root_, progIdKey_.c_str());
  RegDeleteTreeW(root_, clsidKey_.c_str());
  RegDeleteKeyW(root_, clsidKey_.c_str());
}

ClassRegistration::ClassRegistration(const CLSID& clsid, ComRef<DispatchFactory> factory, DWORD context) {
  HRESULT hr = CoRegisterClassObject(clsid, static_cast<IClassFactory*>(factory.get()), context,
                                     REGCLS_MULTIPLEUSE, &cookie_);
  if (FAILED(hr)) raiseAutomationError(hr);
}

ClassRegistration::~ClassRegistration() { CoRevokeClassObject(cookie_); }

RunningRegistration::RunningRegistration(IUnknown* object, const CLSID& clsid) {
  HRESULT hr = RegisterActiveObject(object, clsid, ACTIVEOBJECT_STRONG, &cookie_);
  if (FAILED(hr)) raiseAutomationError(hr);
}

RunningRegistration::~RunningRegistration() { RevokeActiveObject(cookie_, nullptr); }

ServedProgram::ServedProgram(const std::string& progId, const CLSID& clsid, ComRef<DispatchObject> application)
    : clsid_(clsid),
      application_(std::move(application)),
      progId_(progId, clsid),
      // A started program registers itself as running, as the real programs do.
      class_(clsid, DispatchFactory::create([this] {
               setRunning(true);
               return application_->automation();
             })) {}

void ServedProgram::setRunning(bool running) {
  if (running == this->running()) return;
  if (running)
    running_.emplace(static_cast<IDispatch*>(application_.get()), clsid_);
  else
    running_.reset();
}

}  // namespace platform::win
