// The served spreadsheet program and the identity of its objects.
#include "sim/win/served_spreadsheet.h"

#include <windows.h>

#include "sim/win/served_objects.h"
#include "vb/convert.h"
#include "vb/error.h"

namespace sim::win {

void raiseObjectGone() { vb::raise(platform::win::kObjectRequired, "Object required"); }

std::shared_ptr<ServedObjects> ServedObjects::create(std::shared_ptr<xl::Application> program) {
  if (!program) vb::raise(vb::kObjectNotSet);
  std::shared_ptr<ServedObjects> objects(new ServedObjects(std::move(program)));
  objects->application_ = DispatchObject::create();
  serveApplication(*objects->application_.get(), *objects);
  return objects;
}

Automation ServedObjects::application() const { return application_->automation(); }

template <class T, class Make>
Automation ServedObjects::known(std::map<const T*, Known<T>>& objects, const std::shared_ptr<T>& object, Make make) {
  if (!object) return {};
  auto found = objects.find(object.get());
  // An entry whose object has gone may share its address with a new one.
  if (found != objects.end() && found->second.object.lock() == object) return found->second.served->automation();
  // Objects the program no longer has are let go.
  std::erase_if(objects, [](const auto& entry) { return entry.second.object.expired(); });
  ComRef<DispatchObject> served = DispatchObject::create();
  make(*served.get());
  Automation automation = served->automation();
  objects[object.get()] = Known<T>{object, std::move(served)};
  return automation;
}

Automation ServedObjects::workbook(const xl::WorkbookPtr& book) {
  return known(workbooks_, book, [&](DispatchObject& o) { serveWorkbook(o, *this, book); });
}

Automation ServedObjects::sheet(const xl::SheetPtr& sheet) {
  return known(sheets_, sheet, [&](DispatchObject& o) { serveSheet(o, *this, sheet); });
}

Automation ServedObjects::range(const xl::SheetPtr& sheet, const xl::Area& area, Lines lines) {
  ComRef<DispatchObject> served = DispatchObject::create();
  serveRange(*served.get(), *this, sheet, area, lines);
  return served->automation();
}

xl::SheetPtr ServedObjects::sheetOf(const Automation& object, const std::string& failure) const {
  if (!object.empty())
    for (const auto& [address, entry] : sheets_)
      if (xl::SheetPtr sheet = entry.object.lock(); sheet && entry.served->automation().sameObject(object))
        return sheet;
  vb::raise(vb::kAppDefined, failure);
}

ServedSpreadsheet::ServedSpreadsheet(std::shared_ptr<platform::xl::Application> program)
    : program_(program), objects_(ServedObjects::create(std::move(program))) {}

ServedSpreadsheet::~ServedSpreadsheet() = default;

platform::win::Automation ServedSpreadsheet::application() const { return objects_->application(); }

}  // namespace sim::win
