// The served program's Worksheet objects.
#include "sim/win/served_objects.h"
#include "vb/convert.h"

namespace sim::win {

namespace {

using vb::Variant;
using Sheet = xl::Sheet;

constexpr xl::Area kWholeSheet{1, 1, xl::kMaxRows, xl::kMaxCols};

// Rows(RowIndex) and Columns(ColumnIndex): every row or column without an index, one
// by its number, or several by text ("3:5", "C:D", "C").
xl::Area linesOf(DispatchCall& c, Lines lines) {
  if (!c.has(0)) return kWholeSheet;
  Variant which = c.arg(0);
  const std::string failure = lines == Lines::Rows ? "Unable to get the Rows property of the Worksheet class"
                                                    : "Unable to get the Columns property of the Worksheet class";
  std::optional<xl::Area> area;
  if (which.isText()) {
    std::string text = which.text();
    if (lines == Lines::Columns && text.find(':') == std::string::npos) text += ":" + text;
    area = xl::parseA1(text);
  } else {
    long n = vb::toLong(which);
    area = lines == Lines::Rows ? xl::Area{n, 1, n, xl::kMaxCols} : xl::Area{1, n, xl::kMaxRows, n};
    if (n < 1 || n > (lines == Lines::Rows ? xl::kMaxRows : xl::kMaxCols)) area.reset();
  }
  bool whole = area && (lines == Lines::Rows ? area->c1 == 1 && area->c2 == xl::kMaxCols
                                             : area->r1 == 1 && area->r2 == xl::kMaxRows);
  if (!whole) vb::raise(vb::kAppDefined, failure);
  return *area;
}

// Before:= or After:= of Move: the other sheet.
Sheet& otherSheet(ServedObjects& o, DispatchCall& c, const char* name, xl::SheetPtr& held) {
  held = o.sheetOf(c.paramObject(name), "Move method of Worksheet class failed");
  return *held;
}

}  // namespace

void serveSheet(DispatchObject& object, ServedObjects& objects, const xl::SheetPtr& sheet) {
  auto self = [](Sheet& s) { return s.shared_from_this(); };
  auto lines = [self](Lines kind) {
    return [self, kind](ServedObjects& o, Sheet& s, DispatchCall& c) {
      return returning(c, o.range(self(s), linesOf(c, kind), kind));
    };
  };
  Members<Sheet>(object, objects.shared_from_this(), sheet)
      .property(
          "Name", [](ServedObjects&, Sheet& s, DispatchCall&) { return Variant(s.name()); },
          [](ServedObjects&, Sheet& s, DispatchCall& c) {
            s.setName(vb::toText(c.value()));
            return Variant();
          })
      .property("Index",
                [](ServedObjects&, Sheet& s, DispatchCall&) { return Variant(s.parent().position(s)); })
      .property("Parent",
                [](ServedObjects& o, Sheet& s, DispatchCall& c) {
                  return returning(c, o.workbook(s.parent().shared_from_this()));
                })
      .method("Select", running(&Sheet::select), {"Replace"})
      .method("Activate", running(&Sheet::select))
      .method("Delete", running(&Sheet::remove))
      .method(
          "Move",
          [](ServedObjects& o, Sheet& s, DispatchCall& c) {
            xl::SheetPtr held;
            if (c.hasParam("Before")) s.moveBefore(otherSheet(o, c, "Before", held));
            else if (c.hasParam("After")) s.moveAfter(otherSheet(o, c, "After", held));
            else vb::raise(vb::kAppDefined, "Move method of Worksheet class failed");  // a copy in a new workbook
            return Variant();
          },
          {"Before", "After"})
      .property(
          "Range",
          [self](ServedObjects& o, Sheet& s, DispatchCall& c) {
            std::optional<xl::Area> area;
            if (!c.has(1)) area = xl::parseA1(vb::toText(c.arg(0)));
            if (!area) vb::raise(vb::kAppDefined, "Method 'Range' of object '_Worksheet' failed");
            return returning(c, o.range(self(s), *area));
          },
          {}, {"Cell1", "Cell2"})
      .property("Cells",
                [self](ServedObjects& o, Sheet& s, DispatchCall& c) {
                  return returning(c, o.range(self(s), kWholeSheet));
                })
      .property("Rows", lines(Lines::Rows), {}, {"RowIndex"})
      .property("Columns", lines(Lines::Columns), {}, {"ColumnIndex"})
      .property("UsedRange",
                [self](ServedObjects& o, Sheet& s, DispatchCall& c) {
                  return returning(c, o.range(self(s), s.usedArea()));
                })
      .property("AutoFilterMode",
                [](ServedObjects&, Sheet& s, DispatchCall&) { return Variant(s.filter().has_value()); })
      .property("AutoFilter", [self](ServedObjects& o, Sheet& s, DispatchCall& c) {
        // Nothing when the sheet has no filter.
        std::optional<xl::Area> filtered = s.filter();
        if (!filtered) return returning(c, Automation());
        ComRef<DispatchObject> filter = DispatchObject::create();
        xl::Area area = *filtered;
        Members<Sheet>(*filter.get(), o.shared_from_this(), self(s))
            .property("Range", [self, area](ServedObjects& o2, Sheet& s2, DispatchCall& c2) {
              return returning(c2, o2.range(self(s2), area));
            });
        return returning(c, filter->automation());
      });
}

}  // namespace sim::win
