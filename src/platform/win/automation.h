#pragma once
// Late-bound automation of outside programs (the spreadsheet program, PADS): every member
// is looked up by name through IDispatch (late binding), as a script drives them. Failures are
// vb::Error with the numbers the callers test (429, 438, 91, the program's own 1004, ...).
//
//   Automation app = Automation::attachOrStart("Excel.Application");
//   Automation book = app.getObject("Workbooks").call("Open", {path}).object();
//   Automation sheet = book.getObject("Sheets", 1);
//   sheet.getObject("Range", "A1:M100").put("Value", table);
//   vb::Table block = sheet.getObject("Range", "A1:M100").getTable("Value");
//   range.call("Sort", {}, {{"Key1", sheet.getObject("Range", "B2")}, {"Order1", 1}, {"Header", 1}});
#include <windows.h>
#include <oaidl.h>

#include <concepts>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/win/automation_values.h"
#include "vb/error.h"
#include "vb/variant.h"

namespace platform::win {

// COM on this thread for the owner's lifetime (single-threaded apartment by default).
class ComApartment {
 public:
  explicit ComApartment(bool multithreaded = false);
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool initialized_;
};

class Automation;

// One argument of a call: a value, a block (a 2-D array), an object, or a left-out
// optional argument. A block given as an lvalue is not copied: the Arg refers to it, so
// it must outlive the call (as it does in put("Value", block) or call("M", {block})).
class Arg {
 public:
  template <class T>
    requires std::constructible_from<vb::Variant, T>
  Arg(T&& value) : value_(std::forward<T>(value)) {}
  Arg(const vb::Table& table) : kind_(Kind::Table), table_(&table) {}
  Arg(vb::Table&& table)
      : kind_(Kind::Table), owned_(std::make_shared<const vb::Table>(std::move(table))), table_(owned_.get()) {}
  Arg(const Automation& object);
  // An optional argument left out (VT_ERROR DISP_E_PARAMNOTFOUND).
  static Arg missing();

  // The argument as a VARIANT the caller owns.
  ComVariant toComVariant() const;

 private:
  enum class Kind { Value, Table, Object, Missing };
  Arg() : kind_(Kind::Missing) {}
  Kind kind_ = Kind::Value;
  vb::Variant value_;
  std::shared_ptr<const vb::Table> owned_;
  const vb::Table* table_ = nullptr;
  ComRef<IDispatch> object_;
};

using Args = std::vector<Arg>;
using NamedArgs = std::vector<std::pair<std::string, Arg>>;

// What a member gave back: a value, a block or an object.
class Result {
 public:
  Result() = default;
  explicit Result(ComVariant v) : value_(std::move(v)) {}
  // A single value; an object gives its default value (DISPID_VALUE), a missing object
  // is error 91, an array error 13.
  vb::Variant value() const;
  vb::Table table() const;
  // An object; error 424 ("Object required") when the result is no object. An object
  // that is Nothing gives an empty Automation.
  Automation object() const;
  bool isObject() const;
  const VARIANT& raw() const { return value_.get(); }

 private:
  ComVariant value_;
};

class Automation {
 public:
  // Nothing: every call on it is error 91.
  Automation() = default;
  // Takes a reference of its own to the object.
  explicit Automation(IDispatch* dispatch);
  explicit Automation(ComRef<IDispatch> dispatch);

  // The running instance registered under the program identifier (GetActiveObject);
  // 429 when it is not registered or not running.
  static Automation attach(const std::string& progId);
  // A new instance (CoCreateInstance, local or in-process server); 429 when it cannot be made.
  static Automation start(const std::string& progId);
  // The running instance, or a new one when none runs.
  static Automation attachOrStart(const std::string& progId);

  bool empty() const { return !dispatch_; }
  explicit operator bool() const { return !empty(); }
  IDispatch* dispatch() const { return dispatch_.get(); }
  // The same COM object (compared by IUnknown identity).
  bool sameObject(const Automation& other) const;

  // A property, with the property's arguments if it takes any (Cells(r, c), Range("A1")).
  template <class... A>
  vb::Variant get(const std::string& member, A&&... args) const {
    return invoke(Kind::Get, member, argsOf(std::forward<A>(args)...)).value();
  }
  template <class... A>
  Automation getObject(const std::string& member, A&&... args) const {
    return invoke(Kind::Get, member, argsOf(std::forward<A>(args)...)).object();
  }
  template <class... A>
  vb::Table getTable(const std::string& member, A&&... args) const {
    return invoke(Kind::Get, member, argsOf(std::forward<A>(args)...)).table();
  }
  // obj.member(args) = value; value may be a block or an object.
  template <class... A>
  void put(const std::string& member, const Arg& value, A&&... args) const {
    putWith(member, value, argsOf(std::forward<A>(args)...));
  }
  // A method with positional and named arguments (Sort Key1:=..., Sheets.Add After:=...).
  Result call(const std::string& member, const Args& args = {}, const NamedArgs& named = {}) const;

  template <class... A>
  static Args argsOf(A&&... args) {
    Args all;
    all.reserve(sizeof...(A));
    (all.emplace_back(std::forward<A>(args)), ...);
    return all;
  }

  // A program that is busy (a dialog of its own is open, or it is still starting) rejects
  // calls; a rejected call did not run, so it is tried again until this time has passed,
  // then its error reaches the caller.
  static void setBusyWait(DWORD milliseconds);
  static DWORD busyWait();

  // The general forms. For Kind::Put the value is the last of args.
  enum class Kind { Get, Put, Method };
  Result invoke(Kind kind, const std::string& member, const Args& args, const NamedArgs& named = {}) const;
  void putWith(const std::string& member, const Arg& value, const Args& args) const;

 private:
  // DISPIDs of a member and of its named arguments, looked up once per object.
  struct NameCache {
    std::map<std::string, std::vector<DISPID>> ids;
  };
  const std::vector<DISPID>& dispIds(const std::string& member, const NamedArgs& named) const;

  ComRef<IDispatch> dispatch_;
  std::shared_ptr<NameCache> names_;
};

// The runtime's error for a failed COM call. A DISP_E_EXCEPTION takes its number and
// description from the EXCEPINFO (whose strings it frees); other HRESULTs map to the
// runtime's numbers (438, 13, 450, ...) or are "Automation error" with the HRESULT as
// the number.
vb::Error automationError(HRESULT hr, EXCEPINFO* exception = nullptr);
[[noreturn]] void raiseAutomationError(HRESULT hr, EXCEPINFO* exception = nullptr);

// The error numbers of automation that vb::describe does not know.
constexpr int kObjectRequired = 424;
constexpr int kNamedArgumentNotFound = 448;
constexpr int kArgumentNotOptional = 449;
constexpr int kWrongArguments = 450;
constexpr int kNoSuchMember = 438;
constexpr int kServerUnavailable = 462;  // the program has ended, or its object is gone

}  // namespace platform::win
