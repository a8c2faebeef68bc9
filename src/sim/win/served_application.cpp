// The served program's Application object and its Workbooks collection.
#include "sim/win/served_objects.h"
#include "vb/convert.h"
#include "vb/text.h"

namespace sim::win {

namespace {

using vb::Variant;
using App = xl::Application;

// The active workbook, or nothing when no workbook is open (the program gives Nothing).
xl::WorkbookPtr activeWorkbookOrNone(App& app) {
  if (app.workbookCount() == 0) return nullptr;
  return app.activeWorkbook();
}

xl::SheetPtr activeSheetOrNone(App& app) {
  xl::WorkbookPtr book = activeWorkbookOrNone(app);
  return book ? book->activeSheet() : nullptr;
}

void serveWorkbooks(DispatchObject& object, ServedObjects& objects) {
  Members<App>(object, objects.shared_from_this(), objects.program().shared_from_this())
      .property("Count", [](ServedObjects&, App& app, DispatchCall&) { return Variant(app.workbookCount()); })
      .property(
          "Item",
          [](ServedObjects& o, App& app, DispatchCall& c) {
            Variant which = c.arg(0);
            if (!which.isText()) return returning(c, o.workbook(app.workbook(vb::toLong(which))));
            for (long i = 1; i <= app.workbookCount(); ++i)
              if (xl::WorkbookPtr book = app.workbook(i); vb::lcase(book->name()) == vb::lcase(which.text()))
                return returning(c, o.workbook(book));
            vb::raise(vb::kSubscript);
          },
          {}, {"Index"})
      .defaultMember("Item")
      .method(
          "Add",
          [](ServedObjects& o, App& app, DispatchCall& c) { return returning(c, o.workbook(app.addWorkbook())); },
          {"Template"})
      .method(
          "Open",
          [](ServedObjects& o, App& app, DispatchCall& c) {
            return returning(c, o.workbook(app.open(vb::toText(c.param("Filename")))));
          },
          {"Filename", "UpdateLinks", "ReadOnly", "Format", "Password", "WriteResPassword",
           "IgnoreReadOnlyRecommended", "Origin", "Delimiter", "Editable", "Notify", "Converter", "AddToMru", "Local",
           "CorruptLoad"});
}

}  // namespace

void serveApplication(DispatchObject& object, ServedObjects& objects) {
  Members<App> members(object, objects.shared_from_this(), objects.program().shared_from_this());
  auto flag = [](void (App::*set)(bool)) {
    return [set](ServedObjects&, App& app, DispatchCall& c) {
      (app.*set)(truthOf(c.value()));
      return Variant();
    };
  };
  members
      .property("Visible", [](ServedObjects&, App& app, DispatchCall&) { return Variant(app.visible()); },
                flag(&App::setVisible))
      .property("ScreenUpdating",
                [](ServedObjects&, App& app, DispatchCall&) { return Variant(app.screenUpdating()); },
                flag(&App::setScreenUpdating))
      .property("EnableEvents", [](ServedObjects&, App& app, DispatchCall&) { return Variant(app.enableEvents()); },
                flag(&App::setEnableEvents))
      .property("DisplayAlerts",
                [](ServedObjects&, App& app, DispatchCall&) { return Variant(app.displayAlerts()); },
                flag(&App::setDisplayAlerts))
      .property(
          "WindowState", [](ServedObjects&, App& app, DispatchCall&) { return Variant(app.windowState()); },
          [](ServedObjects&, App& app, DispatchCall& c) {
            app.setWindowState(static_cast<int>(vb::toLong(c.value())));
            return Variant();
          })
      .property("Workbooks",
                [](ServedObjects& o, App&, DispatchCall& c) {
                  ComRef<DispatchObject> workbooks = DispatchObject::create();
                  serveWorkbooks(*workbooks.get(), o);
                  return returning(c, workbooks->automation());
                })
      .property("ActiveWorkbook",
                [](ServedObjects& o, App& app, DispatchCall& c) {
                  return returning(c, o.workbook(activeWorkbookOrNone(app)));
                })
      .property("ActiveSheet",
                [](ServedObjects& o, App& app, DispatchCall& c) {
                  return returning(c, o.sheet(activeSheetOrNone(app)));
                })
      .property("Selection",
                [](ServedObjects& o, App& app, DispatchCall& c) {
                  xl::SheetPtr sheet = activeSheetOrNone(app);
                  return returning(c, sheet ? o.range(sheet, sheet->selection()) : Automation());
                })
      .property("ActiveCell",
                [](ServedObjects& o, App& app, DispatchCall& c) {
                  xl::SheetPtr sheet = activeSheetOrNone(app);
                  return returning(c, sheet ? o.range(sheet, sheet->activeCell()) : Automation());
                })
      .method(
          "GetOpenFilename",
          [](ServedObjects&, App& app, DispatchCall& c) -> Variant {
            std::optional<std::string> chosen =
                app.getOpenFilename(vb::toText(c.param("FileFilter")), vb::toText(c.param("Title")));
            // False when the user cancels.
            if (!chosen) return false;
            return *chosen;
          },
          {"FileFilter", "FilterIndex", "Title", "ButtonText", "MultiSelect"});
}

}  // namespace sim::win
