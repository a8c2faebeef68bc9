#pragma once
// The served spreadsheet's objects and how their handlers reach the program (used by the
// served_*.cpp files only). Workbook and sheet objects keep their identity: one object
// per workbook and per sheet while the program keeps it, so a client can compare them
// (a sheet's Parent is the object the workbook's Sheets hand out). Ranges and the smaller
// objects are made per call.
//
// Handlers hold the served objects and the program's object weakly: nothing a client
// keeps holds the program, and no object holds itself through its handlers. A call on an
// object whose program is no longer served fails with the error of a disconnected object;
// one whose workbook or sheet the program no longer has fails with error 424.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/spreadsheet.h"
#include "platform/win/dispatch_object.h"
#include "sim/win/served_calls.h"

namespace sim::win {

namespace xl = platform::xl;
using platform::win::Automation;
using platform::win::ComRef;
using platform::win::DispatchCall;
using platform::win::DispatchObject;

// What a Range object counts and fits: its cells, or its rows or columns (Range.Rows,
// Range.Columns, Worksheet.Rows, Worksheet.Columns).
enum class Lines { Cells, Rows, Columns };

class ServedObjects : public std::enable_shared_from_this<ServedObjects> {
 public:
  // Made through create: the objects' handlers need a weak reference to it.
  static std::shared_ptr<ServedObjects> create(std::shared_ptr<xl::Application> program);

  xl::Application& program() const { return *program_; }
  Automation application() const;
  // The object of a workbook or sheet of the program; Nothing for none.
  Automation workbook(const xl::WorkbookPtr& book);
  Automation sheet(const xl::SheetPtr& sheet);
  // A new Range object over an area of a sheet.
  Automation range(const xl::SheetPtr& sheet, const xl::Area& area, Lines lines = Lines::Cells);
  // The sheet an object passed in (Before:=, After:=) stands for; error 1004 with this
  // description when it is no sheet of this program.
  xl::SheetPtr sheetOf(const Automation& object, const std::string& failure) const;

 private:
  explicit ServedObjects(std::shared_ptr<xl::Application> program) : program_(std::move(program)) {}
  template <class T>
  struct Known {
    std::weak_ptr<T> object;
    ComRef<DispatchObject> served;
  };
  template <class T, class Make>
  Automation known(std::map<const T*, Known<T>>& objects, const std::shared_ptr<T>& object, Make make);

  std::shared_ptr<xl::Application> program_;
  ComRef<DispatchObject> application_;
  std::map<const xl::Workbook*, Known<xl::Workbook>> workbooks_;
  std::map<const xl::Sheet*, Known<xl::Sheet>> sheets_;
};

// The members of one served object standing for an object of the program (T: the
// application, a workbook or a sheet). Each handler gets the served objects and the
// program's object, or fails the call when either is gone.
template <class T>
class Members {
 public:
  using Handler = std::function<vb::Variant(ServedObjects&, T&, DispatchCall&)>;

  Members(DispatchObject& object, const std::shared_ptr<ServedObjects>& objects, const std::shared_ptr<T>& target)
      : object_(object), link_(std::make_shared<const Link>(Link{objects, target})) {}

  Members& property(const std::string& name, Handler get, Handler put = {}, std::vector<std::string> params = {}) {
    object_.property(name, bound(std::move(get)), bound(std::move(put)), std::move(params));
    return *this;
  }
  Members& method(const std::string& name, Handler run, std::vector<std::string> params = {}) {
    object_.method(name, bound(std::move(run)), std::move(params));
    return *this;
  }
  Members& defaultMember(const std::string& name) {
    object_.defaultMember(name);
    return *this;
  }

 private:
  struct Link {
    std::weak_ptr<ServedObjects> objects;
    std::weak_ptr<T> target;
  };
  DispatchObject::Handler bound(Handler h) const;

  DispatchObject& object_;
  std::shared_ptr<const Link> link_;
};

// The error of a served object whose object has gone (raiseDisconnected: whose program has gone).
[[noreturn]] void raiseObjectGone();

template <class T>
DispatchObject::Handler Members<T>::bound(Handler h) const {
  if (!h) return {};
  return [link = link_, h = std::move(h)](DispatchCall& call) {
    std::shared_ptr<ServedObjects> objects = link->objects.lock();
    if (!objects) raiseDisconnected();
    std::shared_ptr<T> target = link->target.lock();
    if (!target) raiseObjectGone();
    return h(*objects, *target, call);
  };
}

// A handler's result: the object, or Nothing.
inline vb::Variant returning(DispatchCall& call, Automation object) {
  call.returnObject(std::move(object));
  return {};
}

// A method without arguments that runs this member of the program's object.
template <class T>
typename Members<T>::Handler running(void (T::*member)()) {
  return [member](ServedObjects&, T& target, DispatchCall&) {
    (target.*member)();
    return vb::Variant();
  };
}

// The objects of the object model, each filled in on a new DispatchObject.
void serveApplication(DispatchObject& object, ServedObjects& objects);
void serveWorkbook(DispatchObject& object, ServedObjects& objects, const xl::WorkbookPtr& book);
void serveSheet(DispatchObject& object, ServedObjects& objects, const xl::SheetPtr& sheet);
void serveRange(DispatchObject& object, ServedObjects& objects, const xl::SheetPtr& sheet, const xl::Area& area,
                Lines lines);

}  // namespace sim::win
