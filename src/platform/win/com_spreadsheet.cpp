// The program's Application and Workbook objects behind the spreadsheet interface.
#include "platform/win/com_spreadsheet.h"

#include <utility>

#include "vb/convert.h"

namespace platform::win {

namespace {


// The Automation of an object of ours, or nothing when it comes from another program.
template <class Wrapper, class Base>
const Wrapper* ours(const Base* object) {
  return dynamic_cast<const Wrapper*>(object);
}

// The wrapper of this object of the program still held by a caller, or a new one. Only
// wrappers in use are kept, and they hold no reference of their own here.
template <class Wrapper, class Make>
std::shared_ptr<Wrapper> wrapperOf(std::vector<std::weak_ptr<Wrapper>>& made, Automation object, Make make) {
  if (object.empty()) vb::raise(vb::kObjectNotSet);
  std::erase_if(made, [](const std::weak_ptr<Wrapper>& w) { return w.expired(); });
  for (const std::weak_ptr<Wrapper>& w : made) {
    std::shared_ptr<Wrapper> wrapper = w.lock();
    if (wrapper && wrapper->automation().sameObject(object)) return wrapper;
  }
  std::shared_ptr<Wrapper> wrapper = make(std::move(object));
  made.push_back(wrapper);
  return wrapper;
}

}  // namespace

ComApplication::ComApplication(Automation application, std::string progId)
    : app_(std::move(application)), progId_(std::move(progId)) {}

bool ComApplication::visible() const { return truthOf(app_.get("Visible")); }
void ComApplication::setVisible(bool v) { app_.put("Visible", v); }
bool ComApplication::screenUpdating() const { return truthOf(app_.get("ScreenUpdating")); }
void ComApplication::setScreenUpdating(bool v) { app_.put("ScreenUpdating", v); }
bool ComApplication::enableEvents() const { return truthOf(app_.get("EnableEvents")); }
void ComApplication::setEnableEvents(bool v) { app_.put("EnableEvents", v); }
bool ComApplication::displayAlerts() const { return truthOf(app_.get("DisplayAlerts")); }
void ComApplication::setDisplayAlerts(bool v) { app_.put("DisplayAlerts", v); }
int ComApplication::windowState() const { return vb::toLong(app_.get("WindowState")); }
void ComApplication::setWindowState(int state) { app_.put("WindowState", state); }

long ComApplication::workbookCount() const { return vb::toLong(app_.getObject("Workbooks").get("Count")); }

xl::WorkbookPtr ComApplication::wrap(Automation book) {
  return wrapperOf(books_, std::move(book),
                   [&](Automation b) { return std::make_shared<ComWorkbook>(app_, std::move(b)); });
}

xl::WorkbookPtr ComApplication::workbook(long position) {
  return wrap(app_.getObject("Workbooks").getObject("Item", position));
}

xl::WorkbookPtr ComApplication::addWorkbook() { return wrap(app_.getObject("Workbooks").call("Add").object()); }

xl::WorkbookPtr ComApplication::open(const std::string& path) {
  return wrap(app_.getObject("Workbooks").call("Open", {path}).object());
}

xl::WorkbookPtr ComApplication::activeWorkbook() {
  // Nothing when no workbook is open.
  return wrap(app_.getObject("ActiveWorkbook"));
}

long ComApplication::rowsCount() const {
  Automation sheet = app_.getObject("ActiveSheet");
  if (sheet.empty()) return xl::kMaxRows;
  return vb::toLong(sheet.getObject("Rows").get("Count"));
}

std::optional<std::string> ComApplication::getOpenFilename(const std::string& fileFilter, const std::string& title) {
  vb::Variant chosen = app_.call("GetOpenFilename", {}, {{"FileFilter", fileFilter}, {"Title", title}}).value();
  // False when the user cancels.
  if (chosen.isBoolean()) return std::nullopt;
  return vb::toText(chosen);
}

ComWorkbook::ComWorkbook(Automation application, Automation workbook)
    : app_(std::move(application)), book_(std::move(workbook)) {}

std::string ComWorkbook::name() const { return vb::toText(book_.get("Name")); }
std::string ComWorkbook::fullName() const { return vb::toText(book_.get("FullName")); }
long ComWorkbook::sheetCount() const { return vb::toLong(book_.getObject("Sheets").get("Count")); }

xl::SheetPtr ComWorkbook::wrap(Automation sheet) {
  return wrapperOf(sheets_, std::move(sheet), [&](Automation s) {
    return std::make_shared<ComSheet>(app_, std::static_pointer_cast<ComWorkbook>(shared_from_this()), std::move(s));
  });
}

xl::SheetPtr ComWorkbook::sheet(long position) { return wrap(book_.getObject("Sheets").getObject("Item", position)); }
xl::SheetPtr ComWorkbook::sheet(const std::string& name) {
  return wrap(book_.getObject("Sheets").getObject("Item", name));
}

xl::SheetPtr ComWorkbook::addSheet(xl::Sheet* before, xl::Sheet* after) {
  NamedArgs where;
  auto placeOf = [](xl::Sheet* s) -> const Automation& {
    const ComSheet* sheet = ours<ComSheet>(s);
    if (!sheet) vb::raise(vb::kAppDefined, "The sheet belongs to no workbook of this program");
    return sheet->automation();
  };
  if (before) where.emplace_back("Before", placeOf(before));
  else if (after) where.emplace_back("After", placeOf(after));
  return wrap(book_.getObject("Sheets").call("Add", {}, where).object());
}

xl::SheetPtr ComWorkbook::activeSheet() { return wrap(book_.getObject("ActiveSheet")); }
void ComWorkbook::activate() { book_.call("Activate"); }
void ComWorkbook::save() { book_.call("Save"); }
void ComWorkbook::saveAs(const std::string& path) { book_.call("SaveAs", {path}); }

long ComWorkbook::position(const xl::Sheet& s) const {
  const ComSheet* sheet = ours<ComSheet>(&s);
  if (!sheet) return 0;
  if (!sheet->automation().getObject("Parent").sameObject(book_)) return 0;
  return vb::toLong(sheet->automation().get("Index"));
}

// Leaves the program without saving and without asking.
void ComWorkbook::close() { book_.call("Close", {}, {{"SaveChanges", false}}); }

std::shared_ptr<xl::Application> comSpreadsheet(Automation application, std::string progId) {
  return std::make_shared<ComApplication>(std::move(application), std::move(progId));
}

}  // namespace platform::win
