#pragma once
// An automation object of our own: an IDispatch that serves its members by name from a
// table of handlers, so a program of ours (a stand-in spreadsheet or PADS program) can be
// driven through COM exactly as the real one is. A handler's vb::Error reaches the caller
// as DISP_E_EXCEPTION with its number and description.
//
//   auto range = DispatchObject::create();
//   range->property("Value",
//       [&](DispatchCall& c) { c.returnTable(cells); return vb::Variant(); },
//       [&](DispatchCall& c) { cells = c.valueTable(); return vb::Variant(); });
//   range->method("Sort", sortHandler, {"Key1", "Order1", "Header"});
//
// Many objects of one kind (the 100,000 parts of a design) share one table of members:
// the members are given once to a kind, and each object made from it holds only its own
// data, which the handlers read with DispatchCall::data.
//
//   auto part = DispatchObject::create();
//   part->property("Name", [](DispatchCall& c) { return vb::Variant(c.data<PartData>().name); });
//   auto r1 = DispatchObject::create(*part, std::make_shared<PartData>(...));
#include <windows.h>
#include <oaidl.h>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/win/automation.h"

namespace platform::win {

class DispatchObject;

// One call of a member: its kind, its positional and named arguments, and for a put the
// value assigned. Arguments are read by position (from 0) or by the member's declared
// parameter name, which finds the argument whether it was passed by name or by position.
class DispatchCall {
 public:
  using Kind = Automation::Kind;
  Kind kind() const { return kind_; }
  const std::string& member() const { return member_; }

  // Positional arguments (for a put, not counting the value).
  size_t count() const { return positional_; }
  bool has(size_t index) const;  // given and not left out
  vb::Variant arg(size_t index) const;  // Empty when left out; error 449 when not given
  vb::Table table(size_t index) const;
  Automation object(size_t index) const;  // error 424 when no object
  const VARIANT* raw(size_t index) const;  // nullptr when not given

  // Arguments by declared parameter name (compared without regard to case).
  bool hasParam(const std::string& name) const;
  vb::Variant param(const std::string& name) const;  // Empty when not given
  vb::Table paramTable(const std::string& name) const;
  Automation paramObject(const std::string& name) const;
  const VARIANT* rawParam(const std::string& name) const;

  // The value of a put.
  vb::Variant value() const;
  vb::Table valueTable() const;
  Automation valueObject() const;
  const VARIANT& rawValue() const;

  // The result, instead of the handler's returned value: a block or an object.
  void returnTable(vb::Table table);
  void returnObject(Automation object);

  // The data of the object called, as it was made (DispatchObject::create(kind, data));
  // the handler knows its type.
  template <class T>
  T& data() const {
    return *static_cast<T*>(data_);
  }

 private:
  friend class DispatchObject;
  DispatchCall(Kind kind, const std::string& member, const std::vector<std::string>& params, const DISPPARAMS& p,
               void* data);
  const VARIANT& at(size_t index) const;

  Kind kind_;
  const std::string& member_;
  const std::vector<std::string>& params_;
  const DISPPARAMS& p_;
  size_t positional_;
  void* data_;
  std::optional<vb::Table> tableResult_;
  std::optional<Automation> objectResult_;
};

class DispatchObject : public IDispatch {
 public:
  using Handler = std::function<vb::Variant(DispatchCall&)>;

  // A new object with one reference, held by the returned owner.
  static ComRef<DispatchObject> create();
  // A new object serving the members of kind (shared, not copied; the kind stays alive
  // while the object does) over data of its own. It takes no members of its own.
  static ComRef<DispatchObject> create(DispatchObject& kind, std::shared_ptr<void> data);

  // A property: get, and put if it may be assigned. params names its arguments in order.
  DispatchObject& property(const std::string& name, Handler get, Handler put = {},
                           std::vector<std::string> params = {});
  DispatchObject& method(const std::string& name, Handler run, std::vector<std::string> params = {});
  // The member served as the object's default value (DISPID_VALUE).
  DispatchObject& defaultMember(const std::string& name);

  // This object as an Automation (its own reference).
  Automation automation();
  // Objects of this class alive in the process, for the tests' leak checks.
  static long living();

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

 private:
  DispatchObject();
  virtual ~DispatchObject();
  struct Member {
    std::string name;
    Handler get, put, run;
    std::vector<std::string> params;
  };
  Member& memberNamed(const std::string& name);

  // The object whose members this one serves: itself, or its kind.
  const DispatchObject& table() const { return kind_ ? *kind_.get() : *this; }

  std::atomic<ULONG> references_{1};
  std::vector<std::shared_ptr<Member>> members_;  // DISPID = position + 1
  std::map<std::string, size_t> index_;  // by lower-case name
  std::optional<size_t> default_;
  ComRef<DispatchObject> kind_;
  std::shared_ptr<void> data_;
};

// A class factory that makes (or hands out) automation objects. A maker's vb::Error (the
// program cannot start) fails the creation.
class DispatchFactory : public IClassFactory {
 public:
  using Maker = std::function<Automation()>;
  static ComRef<DispatchFactory> create(Maker make);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  explicit DispatchFactory(Maker make) : make_(std::move(make)) {}
  virtual ~DispatchFactory() = default;
  std::atomic<ULONG> references_{1};
  Maker make_;
};

// The program identifier and class in the user's registry (HKCU\Software\Classes), so
// CLSIDFromProgID finds them; removed again by the destructor. With a local server's
// command line, the class is one that COM starts as that program: then both go to the
// classes COM itself looks a local server up in (HKEY_CLASSES_ROOT).
class ProgIdRegistration {
 public:
  ProgIdRegistration(const std::string& progId, const CLSID& clsid, const std::string& localServer = {});
  ~ProgIdRegistration();
  ProgIdRegistration(const ProgIdRegistration&) = delete;
  ProgIdRegistration& operator=(const ProgIdRegistration&) = delete;

 private:
  HKEY root_;
  std::wstring progIdKey_, clsidKey_;
};

// A class object registered in this process (CoRegisterClassObject), so CoCreateInstance
// of the class makes objects through the factory: for this process alone (in process), or
// for every process (a local server, the program's own process); revoked by the destructor.
class ClassRegistration {
 public:
  ClassRegistration(const CLSID& clsid, ComRef<DispatchFactory> factory, DWORD context = CLSCTX_INPROC_SERVER);
  ~ClassRegistration();
  ClassRegistration(const ClassRegistration&) = delete;
  ClassRegistration& operator=(const ClassRegistration&) = delete;

 private:
  DWORD cookie_ = 0;
};

// An object registered as the running instance of its class (RegisterActiveObject), so
// GetActiveObject, and so Automation::attach, finds it; revoked by the destructor.
class RunningRegistration {
 public:
  RunningRegistration(IUnknown* object, const CLSID& clsid);
  ~RunningRegistration();
  RunningRegistration(const RunningRegistration&) = delete;
  RunningRegistration& operator=(const RunningRegistration&) = delete;

 private:
  DWORD cookie_ = 0;
};

// A program of ours served under a program identifier: registered, startable (start
// hands out the one application object) and, while running() is true, attachable.
class ServedProgram {
 public:
  ServedProgram(const std::string& progId, const CLSID& clsid, ComRef<DispatchObject> application);
  void setRunning(bool running);
  bool running() const { return running_.has_value(); }
  DispatchObject& application() const { return *application_.get(); }

 private:
  CLSID clsid_;
  ComRef<DispatchObject> application_;
  ProgIdRegistration progId_;
  ClassRegistration class_;
  std::optional<RunningRegistration> running_;
};

}  // namespace platform::win
