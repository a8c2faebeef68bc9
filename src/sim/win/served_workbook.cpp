// The served program's Workbook objects and their Sheets collections.
#include "sim/win/served_objects.h"
#include "vb/convert.h"

namespace sim::win {

namespace {

using vb::Variant;
using Book = xl::Workbook;

void serveSheets(DispatchObject& object, ServedObjects& objects, Book& book) {
  Members<Book>(object, objects.shared_from_this(), book.shared_from_this())
      .property("Count", [](ServedObjects&, Book& b, DispatchCall&) { return Variant(b.sheetCount()); })
      .property(
          "Item",
          [](ServedObjects& o, Book& b, DispatchCall& c) {
            Variant which = c.arg(0);
            return returning(c, o.sheet(which.isText() ? b.sheet(which.text()) : b.sheet(vb::toLong(which))));
          },
          {}, {"Index"})
      .defaultMember("Item")
      .method(
          "Add",
          [](ServedObjects& o, Book& b, DispatchCall& c) {
            const std::string failure = "Add method of Sheets class failed";
            xl::SheetPtr before, after;
            if (c.hasParam("Before")) before = o.sheetOf(c.paramObject("Before"), failure);
            else if (c.hasParam("After")) after = o.sheetOf(c.paramObject("After"), failure);
            return returning(c, o.sheet(b.addSheet(before.get(), after.get())));
          },
          {"Before", "After", "Count", "Type"});
}

}  // namespace

void serveWorkbook(DispatchObject& object, ServedObjects& objects, const xl::WorkbookPtr& book) {
  Members<Book>(object, objects.shared_from_this(), book)
      .property("Name", [](ServedObjects&, Book& b, DispatchCall&) { return Variant(b.name()); })
      .property("FullName", [](ServedObjects&, Book& b, DispatchCall&) { return Variant(b.fullName()); })
      .property("Sheets",
                [](ServedObjects& o, Book& b, DispatchCall& c) {
                  ComRef<DispatchObject> sheets = DispatchObject::create();
                  serveSheets(*sheets.get(), o, b);
                  return returning(c, sheets->automation());
                })
      .property("ActiveSheet",
                [](ServedObjects& o, Book& b, DispatchCall& c) { return returning(c, o.sheet(b.activeSheet())); })
      .method("Activate", running(&Book::activate))
      .method("Save", running(&Book::save))
      .method(
          "SaveAs",
          [](ServedObjects&, Book& b, DispatchCall& c) {
            b.saveAs(vb::toText(c.param("Filename")));
            return Variant();
          },
          {"Filename", "FileFormat", "Password", "WriteResPassword", "ReadOnlyRecommended", "CreateBackup",
           "AccessMode", "ConflictResolution", "AddToMru", "TextCodepage", "TextVisualLayout", "Local"})
      .method(
          "Close",
          [](ServedObjects&, Book& b, DispatchCall& c) {
            // Without SaveChanges the program would ask; the stand-in closes without saving.
            if (c.hasParam("SaveChanges") && truthOf(c.param("SaveChanges"))) b.save();
            b.close();
            return Variant();
          },
          {"SaveChanges", "Filename", "RouteWorkbook"});
}

}  // namespace sim::win
