// The served program's Range objects, with their Font, Interior and Borders. A range
// reads its looks from its top-left cell and changes them on every cell.
#include "platform/win/automation_values.h"
#include "sim/win/served_objects.h"
#include "vb/convert.h"

namespace sim::win {

namespace {

using vb::Variant;
using Sheet = xl::Sheet;
using Handler = Members<Sheet>::Handler;

// Constants of the program's object model.
constexpr int xlNone = -4142;
constexpr int xlAutomatic = -4105;
constexpr int xlThin = 2;
constexpr int xlShiftUp = -4162;
constexpr int xlAscending = 1;
constexpr int xlEdgeLeft = 7, xlEdgeTop = 8, xlEdgeBottom = 9, xlEdgeRight = 10;

bool wholeRows(const xl::Area& a) { return a.c1 == 1 && a.c2 == xl::kMaxCols; }
bool wholeColumns(const xl::Area& a) { return a.r1 == 1 && a.r2 == xl::kMaxRows; }

Variant done() { return {}; }

// A look of the range: read from its top-left cell, assigned to every cell.
using ReadLook = Variant (*)(const xl::Style&);
using WriteLook = void (*)(xl::StyleChange&, const Variant&);
Handler readLook(xl::Area area, ReadLook read) {
  return [area, read](ServedObjects&, Sheet& s, DispatchCall&) { return read(s.styleAt(area.r1, area.c1)); };
}
Handler writeLook(xl::Area area, WriteLook write) {
  return [area, write](ServedObjects&, Sheet& s, DispatchCall& c) {
    xl::StyleChange change;
    write(change, c.value());
    s.applyStyle(area, change);
    return done();
  };
}
void look(Members<Sheet>& members, const std::string& name, xl::Area area, ReadLook read, WriteLook write) {
  members.property(name, readLook(area, read), writeLook(area, write));
}

int whole(const Variant& v) { return static_cast<int>(vb::toLong(v)); }

// An object of the range (Font, Interior, Borders, ...) made per call.
template <class Fill>
Handler part(xl::Area area, Fill fill) {
  return [area, fill](ServedObjects& o, Sheet& s, DispatchCall& c) {
    ComRef<DispatchObject> object = DispatchObject::create();
    Members<Sheet> members(*object.get(), o.shared_from_this(), s.shared_from_this());
    fill(members, area);
    return returning(c, object->automation());
  };
}

void serveFont(Members<Sheet>& font, xl::Area area) {
  look(
      font, "Bold", area, [](const xl::Style& s) { return Variant(s.bold); },
      [](xl::StyleChange& c, const Variant& v) { c.bold = truthOf(v); });
  look(
      font, "Size", area, [](const xl::Style& s) { return Variant(s.fontSize); },
      [](xl::StyleChange& c, const Variant& v) { c.fontSize = vb::toDouble(v); });
  look(
      font, "Color", area, [](const xl::Style& s) { return Variant(s.fontColor); },
      [](xl::StyleChange& c, const Variant& v) { c.fontColor = vb::toLong(v); });
}

void serveInterior(Members<Sheet>& interior, xl::Area area) {
  look(
      interior, "Color", area, [](const xl::Style& s) { return Variant(s.fill); },
      [](xl::StyleChange& c, const Variant& v) { c.fill = vb::toLong(v); });
}

// One edge as the program reports it: no line is xlNone, the automatic colour xlAutomatic.
void serveEdge(Members<Sheet>& border, xl::Area area, int which) {
  // The edge of the range's outline, read from the cell at that side.
  const long row = which == xlEdgeBottom ? area.r2 : area.r1;
  const long col = which == xlEdgeRight ? area.c2 : area.c1;
  auto edgeOf = [row, col, which](Sheet& s) {
    xl::Style st = s.styleAt(row, col);
    return which == xlEdgeLeft ? st.left : which == xlEdgeTop ? st.top : which == xlEdgeRight ? st.right : st.bottom;
  };
  border
      .property("LineStyle",
                [edgeOf](ServedObjects&, Sheet& s, DispatchCall&) {
                  xl::Edge e = edgeOf(s);
                  return Variant(e.lineStyle == 0 ? xlNone : e.lineStyle);
                })
      .property("Weight",
                [edgeOf](ServedObjects&, Sheet& s, DispatchCall&) {
                  xl::Edge e = edgeOf(s);
                  return Variant(e.lineStyle == 0 ? xlThin : e.weight);
                })
      .property("ColorIndex", [edgeOf](ServedObjects&, Sheet& s, DispatchCall&) {
        xl::Edge e = edgeOf(s);
        return Variant(e.lineStyle == 0 || e.colorIndex == 0 ? xlAutomatic : e.colorIndex);
      });
}

void serveBorders(Members<Sheet>& borders, xl::Area area) {
  borders
      .property("LineStyle", {}, writeLook(area, [](xl::StyleChange& c, const Variant& v) {
                  c.bordersLineStyle = whole(v);
                }))
      .property("Weight", {}, writeLook(area, [](xl::StyleChange& c, const Variant& v) {
                  c.bordersWeight = whole(v);
                }))
      .property("ColorIndex", {}, writeLook(area, [](xl::StyleChange& c, const Variant& v) {
                  c.bordersColorIndex = whole(v);
                }))
      .property(
          "Item",
          [area](ServedObjects& o, Sheet& s, DispatchCall& c) {
            int which = whole(c.arg(0));
            if (which < xlEdgeLeft || which > xlEdgeRight)
              vb::raise(vb::kAppDefined, "Unable to get the Item property of the Borders class");
            return part(area, [which](Members<Sheet>& border, xl::Area a) { serveEdge(border, a, which); })(o, s, c);
          },
          {}, {"Index"})
      .defaultMember("Item");
}

// Sort with up to three keys, each a Range object whose column is the key's.
xl::SortSpec sortOf(DispatchCall& c) {
  xl::SortSpec sorting;
  for (int i = 1; i <= 3; ++i) {
    const std::string n = std::to_string(i);
    if (!c.hasParam("Key" + n)) continue;
    long column = vb::toLong(c.paramObject("Key" + n).get("Column"));
    int order = c.hasParam("Order" + n) ? whole(c.param("Order" + n)) : xlAscending;
    sorting.keys.push_back({column, order});
  }
  sorting.header = c.hasParam("Header") ? whole(c.param("Header")) : xl::xlNo;
  sorting.matchCase = c.hasParam("MatchCase") && truthOf(c.param("MatchCase"));
  if (c.hasParam("Orientation")) sorting.orientation = whole(c.param("Orientation"));
  return sorting;
}

// Delete: whole rows and columns are removed; other cells shift up.
void deleteCells(Sheet& s, const xl::Area& a, DispatchCall& c) {
  if (wholeRows(a)) return s.deleteRows(a.r1, a.r2);
  if (wholeColumns(a)) return s.deleteColumns(a.c1, a.c2);
  if (c.hasParam("Shift") && whole(c.param("Shift")) != xlShiftUp)
    vb::raise(vb::kAppDefined, "Delete method of Range class failed");
  s.deleteShiftUp(a);
}

// Selecting a range needs its sheet to be the active one.
void selectRange(ServedObjects& o, Sheet& s, const xl::Area& a) {
  xl::Application& app = o.program();
  if (app.workbookCount() == 0 || app.activeSheet().get() != &s)
    vb::raise(vb::kAppDefined, "Select method of Range class failed");
  s.select(a);
}

}  // namespace

void serveRange(DispatchObject& object, ServedObjects& objects, const xl::SheetPtr& sheet, const xl::Area& area,
                Lines lines) {
  const xl::Area a = area;
  auto range = [a](xl::Area (*areaOf)(Sheet&, const xl::Area&, DispatchCall&), Lines kind) {
    return [a, areaOf, kind](ServedObjects& o, Sheet& s, DispatchCall& c) {
      return returning(c, o.range(s.shared_from_this(), areaOf(s, a, c), kind));
    };
  };
  auto method = [a](void (*run)(ServedObjects&, Sheet&, const xl::Area&, DispatchCall&)) {
    return [a, run](ServedObjects& o, Sheet& s, DispatchCall& c) {
      run(o, s, a, c);
      return done();
    };
  };
  Members<Sheet> members(object, objects.shared_from_this(), sheet);
  members
      .property(
          "Value",
          [a](ServedObjects&, Sheet& s, DispatchCall& c) {
            // One cell gives its value, several a block.
            if (a.count() == 1) return s.get(a.r1, a.c1);
            c.returnTable(s.getBlock(a));
            return done();
          },
          [a](ServedObjects&, Sheet& s, DispatchCall& c) {
            // A block is written as the sheet writes blocks; one value fills every cell.
            if (platform::win::holdsArray(c.rawValue())) s.putBlock(a, c.valueTable());
            else s.put(a, c.value());
            return done();
          })
      .defaultMember("Value")
      .property("Row", [a](ServedObjects&, Sheet&, DispatchCall&) { return Variant(a.r1); })
      .property("Column", [a](ServedObjects&, Sheet&, DispatchCall&) { return Variant(a.c1); })
      .property("Count",
                [a, lines](ServedObjects&, Sheet&, DispatchCall&) {
                  return lines == Lines::Rows      ? Variant(a.rows())
                         : lines == Lines::Columns ? Variant(a.cols())
                                                   : Variant(a.count());
                })
      .property("Rows", range([](Sheet&, const xl::Area& x, DispatchCall&) { return x; }, Lines::Rows))
      .property("Columns", range([](Sheet&, const xl::Area& x, DispatchCall&) { return x; }, Lines::Columns))
      .property("End",
                range([](Sheet& s, const xl::Area& x, DispatchCall& c) { return s.end(x.r1, x.c1, whole(c.arg(0))); },
                      Lines::Cells),
                {}, {"Direction"})
      .property("CurrentRegion",
                range([](Sheet& s, const xl::Area& x, DispatchCall&) { return s.currentRegion(x.r1, x.c1); },
                      Lines::Cells))
      .property(
          "ColumnWidth", [a](ServedObjects&, Sheet& s, DispatchCall&) { return Variant(s.columnWidth(a.c1)); },
          [a](ServedObjects&, Sheet& s, DispatchCall& c) {
            s.setColumnWidth(a.c1, a.c2, vb::toDouble(c.value()));
            return done();
          })
      .property("Font", part(a, serveFont))
      .property("Interior", part(a, serveInterior))
      .property("Borders", part(a, serveBorders))
      .method("AutoFit",
              [a, lines](ServedObjects&, Sheet& s, DispatchCall&) {
                // Row heights are not kept: fitting rows changes nothing.
                if (lines == Lines::Cells) vb::raise(vb::kAppDefined, "AutoFit method of Range class failed");
                if (lines == Lines::Columns) s.autoFit(a);
                return done();
              })
      .method(
          "BorderAround",
          [a](ServedObjects&, Sheet& s, DispatchCall& c) {
            auto given = [&c](const char* name) {
              return c.hasParam(name) ? std::optional<int>(whole(c.param(name))) : std::nullopt;
            };
            s.borderAround(a, given("LineStyle"), given("Weight"), given("ColorIndex"));
            return done();
          },
          {"LineStyle", "Weight", "ColorIndex", "Color", "ThemeColor"})
      .method("Merge", method([](ServedObjects&, Sheet& s, const xl::Area& x, DispatchCall&) { s.merge(x); }),
              {"Across"})
      .method("AutoFilter",
              method([](ServedObjects&, Sheet& s, const xl::Area& x, DispatchCall&) { s.autoFilter(x); }),
              {"Field", "Criteria1", "Operator", "Criteria2", "VisibleDropDown"})
      .method("Clear", method([](ServedObjects&, Sheet& s, const xl::Area& x, DispatchCall&) { s.clear(x); }))
      .method("ClearContents",
              method([](ServedObjects&, Sheet& s, const xl::Area& x, DispatchCall&) { s.clearContents(x); }))
      .method("Delete",
              method([](ServedObjects&, Sheet& s, const xl::Area& x, DispatchCall& c) { deleteCells(s, x, c); }),
              {"Shift"})
      .method("Select",
              method([](ServedObjects& o, Sheet& s, const xl::Area& x, DispatchCall&) { selectRange(o, s, x); }))
      .method("Sort",
              method([](ServedObjects&, Sheet& s, const xl::Area& x, DispatchCall& c) { s.sort(x, sortOf(c)); }),
              {"Key1", "Order1", "Key2", "Type", "Order2", "Key3", "Order3", "Header", "OrderCustom", "MatchCase",
               "Orientation", "SortMethod", "DataOption1", "DataOption2", "DataOption3"});
  look(
      members, "NumberFormat", a, [](const xl::Style& s) { return Variant(s.numberFormat); },
      [](xl::StyleChange& c, const Variant& v) { c.numberFormat = vb::toText(v); });
  look(
      members, "WrapText", a, [](const xl::Style& s) { return Variant(s.wrap); },
      [](xl::StyleChange& c, const Variant& v) { c.wrap = truthOf(v); });
}

}  // namespace sim::win
