#include "platform/win/com_spreadsheet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/win/dispatch_object.h"
#include "vb/convert.h"
#include "support/runtime_errors.h"

using platform::win::Automation;
using platform::win::ComApartment;
using platform::win::ComRef;
using platform::win::DispatchCall;
using platform::win::DispatchObject;
using vb::Table;
using vb::Variant;
namespace xl = platform::xl;

namespace {

using testing_support::expectError;

// A spreadsheet program of our own, served through IDispatch as the real one is: an
// Application with Workbooks, workbooks with Sheets, worksheets whose Range(address)
// objects read and write a small cell map. Every call it receives is logged as
// "Object.Member(arguments)" or "Object.Member = value"; objects passed as arguments
// appear by their label.
class FakeSpreadsheet {
 public:
  using Key = std::pair<long, long>;
  struct Book;
  struct Sheet {
    std::string name;
    Book* book = nullptr;
    std::map<Key, Variant> cells;
    std::map<Key, std::map<std::string, Variant>> looks;  // "Font.Bold", "Border7.Weight", ...
    xl::Area selection;
    std::optional<xl::Area> filter;
    std::map<long, double> widths;
    ComRef<DispatchObject> object = DispatchObject::create();
  };
  struct Book {
    std::string name, fullName;
    std::vector<std::unique_ptr<Sheet>> sheets;
    Sheet* active = nullptr;
    ComRef<DispatchObject> object = DispatchObject::create();
    ComRef<DispatchObject> sheetList = DispatchObject::create();
  };

  std::vector<std::string> log;
  std::map<std::string, Variant> settings{{"Visible", false}, {"ScreenUpdating", true},
                                          {"DisplayAlerts", true}, {"WindowState", xl::kWindowNormal}};
  Variant openFilenameAnswer = false;
  std::vector<std::unique_ptr<Book>> books;
  Book* active = nullptr;
  ComRef<DispatchObject> app = DispatchObject::create();
  ComRef<DispatchObject> workbooks = DispatchObject::create();

  FakeSpreadsheet() {
    for (const char* name : {"Visible", "ScreenUpdating", "DisplayAlerts", "WindowState"}) {
      std::string n = name;
      app->property(
          n, logged("Application", [this, n](DispatchCall&) { return settings[n]; }),
          logged("Application", [this, n](DispatchCall& c) {
            settings[n] = c.value();
            return Variant();
          }));
    }
    app->property("Workbooks", [this](DispatchCall& c) {
      c.returnObject(workbooks->automation());
      return Variant();
    });
    app->property("ActiveWorkbook", logged("Application", [this](DispatchCall& c) {
                    c.returnObject(active ? active->object->automation() : Automation());
                    return Variant();
                  }));
    app->property("ActiveSheet", [this](DispatchCall& c) {
      c.returnObject(active ? active->active->object->automation() : Automation());
      return Variant();
    });
    app->property("Selection", [this](DispatchCall& c) {
      c.returnObject(range(active->active, active->active->selection));
      return Variant();
    });
    app->property("ActiveCell", [this](DispatchCall& c) {
      xl::Area s = active->active->selection;
      c.returnObject(range(active->active, {s.r1, s.c1, s.r1, s.c1}));
      return Variant();
    });
    app->method("GetOpenFilename",
                logged("Application", [this](DispatchCall&) { return openFilenameAnswer; },
                       {"FileFilter", "FilterIndex", "Title", "ButtonText", "MultiSelect"}),
                {"FileFilter", "FilterIndex", "Title", "ButtonText", "MultiSelect"});

    workbooks->property("Count", [this](DispatchCall&) { return Variant(static_cast<long>(books.size())); });
    workbooks->property("Item", logged("Workbooks", [this](DispatchCall& c) {
                          long i = vb::toLong(c.arg(0));
                          if (i < 1 || i > static_cast<long>(books.size())) vb::raise(vb::kSubscript);
                          c.returnObject(books[i - 1]->object->automation());
                          return Variant();
                        }));
    workbooks->method("Add", logged("Workbooks", [this](DispatchCall& c) {
                        c.returnObject(addBook("Book" + std::to_string(books.size() + 1), "")->object->automation());
                        return Variant();
                      }));
    workbooks->method("Open",
                      logged("Workbooks",
                             [this](DispatchCall& c) {
                               std::string path = c.param("Filename").text();
                               if (path.find("missing") != std::string::npos)
                                 vb::raise(vb::kAppDefined, "Sorry, we couldn't find " + path + ".");
                               std::string name = path.substr(path.find_last_of('\\') + 1);
                               c.returnObject(addBook(name, path)->object->automation());
                               return Variant();
                             },
                             {"Filename"}),
                      {"Filename"});
  }

  Book* addBook(const std::string& name, const std::string& fullName) {
    books.push_back(std::make_unique<Book>());
    Book* b = books.back().get();
    b->name = name;
    b->fullName = fullName.empty() ? name : fullName;
    for (int i = 0; i < 3; ++i) addSheet(b, b->sheets.size());
    b->active = b->sheets[0].get();
    active = b;
    std::string label = "Workbook(" + name + ")";
    b->object->property("Name", [b](DispatchCall&) { return Variant(b->name); });
    b->object->property("FullName", [b](DispatchCall&) { return Variant(b->fullName); });
    b->object->property("Sheets", [b](DispatchCall& c) {
      c.returnObject(b->sheetList->automation());
      return Variant();
    });
    b->object->property("ActiveSheet", [b](DispatchCall& c) {
      c.returnObject(b->active->object->automation());
      return Variant();
    });
    b->object->method("Activate", logged(label, [this, b](DispatchCall&) {
                        active = b;
                        return Variant();
                      }));
    b->object->method("Save", logged(label, [](DispatchCall&) { return Variant(); }));
    b->object->method("SaveAs", logged(label, [](DispatchCall&) { return Variant(); }, {"Filename"}), {"Filename"});
    b->object->method("Close",
                      logged(label,
                             [this, b](DispatchCall&) {
                               auto it = std::find_if(books.begin(), books.end(),
                                                      [b](const auto& p) { return p.get() == b; });
                               closed.push_back(std::move(*it));
                               books.erase(it);
                               active = books.empty() ? nullptr : books.back().get();
                               return Variant();
                             },
                             {"SaveChanges", "Filename"}),
                      {"SaveChanges", "Filename"});

    b->sheetList->property("Count", [b](DispatchCall&) { return Variant(static_cast<long>(b->sheets.size())); });
    b->sheetList->property("Item", logged("Sheets", [b](DispatchCall& c) {
                             Variant which = c.arg(0);
                             for (size_t i = 0; i < b->sheets.size(); ++i)
                               if ((which.isNumber() && which.number() == static_cast<double>(i + 1)) ||
                                   (which.isText() && which.text() == b->sheets[i]->name)) {
                                 c.returnObject(b->sheets[i]->object->automation());
                                 return Variant();
                               }
                             vb::raise(vb::kSubscript);
                           }));
    std::vector<std::string> addParams{"Before", "After", "Count", "Type"};
    b->sheetList->method("Add",
                         logged("Sheets",
                                [this, b](DispatchCall& c) {
                                  size_t at = indexOf(b, b->active->object->automation());
                                  if (c.hasParam("Before")) at = indexOf(b, c.paramObject("Before"));
                                  else if (c.hasParam("After")) at = indexOf(b, c.paramObject("After")) + 1;
                                  Sheet* s = addSheet(b, at);
                                  b->active = s;
                                  c.returnObject(s->object->automation());
                                  return Variant();
                                },
                                addParams),
                         addParams);
    return b;
  }

  size_t indexOf(Book* b, const Automation& sheet) {
    for (size_t i = 0; i < b->sheets.size(); ++i)
      if (b->sheets[i]->object->automation().sameObject(sheet)) return i;
    vb::raise(vb::kSubscript);
  }

  Sheet* addSheet(Book* b, size_t at) {
    auto owned = std::make_unique<Sheet>();
    Sheet* s = owned.get();
    s->book = b;
    s->name = "Sheet" + std::to_string(++sheetsMade_);
    b->sheets.insert(b->sheets.begin() + static_cast<long>(at), std::move(owned));
    DispatchObject& o = *s->object.get();
    o.property("Label", [s](DispatchCall&) { return Variant(s->name); });
    o.property("Name", [s](DispatchCall&) { return Variant(s->name); },
               logged("Sheet", [s](DispatchCall& c) {
                 std::string name = c.value().text();
                 for (const auto& other : s->book->sheets)
                   if (other.get() != s && other->name == name)
                     vb::raise(vb::kAppDefined, "That name is already taken. Try a different one.");
                 s->name = name;
                 return Variant();
               }));
    o.property("Index", [s](DispatchCall&) {
      for (size_t i = 0; i < s->book->sheets.size(); ++i)
        if (s->book->sheets[i].get() == s) return Variant(static_cast<long>(i + 1));
      return Variant();
    });
    o.property("Parent", [s](DispatchCall& c) {
      c.returnObject(s->book->object->automation());
      return Variant();
    });
    o.property("Range", logged("Sheet", [this, s](DispatchCall& c) {
                 auto a = xl::parseA1(c.arg(0).text());
                 if (!a) vb::raise(vb::kAppDefined, "Method 'Range' of object '_Worksheet' failed");
                 c.returnObject(range(s, *a));
                 return Variant();
               }));
    o.property("Cells", logged("Sheet", [this, s](DispatchCall& c) {
                 c.returnObject(range(s, {1, 1, xl::kMaxRows, xl::kMaxCols}));
                 return Variant();
               }));
    o.property("UsedRange", [this, s](DispatchCall& c) {
      c.returnObject(range(s, used(s)));
      return Variant();
    });
    for (const char* lines : {"Rows", "Columns"}) {
      std::string kind = lines;
      o.property(kind, logged("Sheet", [this, kind](DispatchCall& c) {
                   auto part = DispatchObject::create();
                   part->method("Delete", logged(kind + "(" + c.arg(0).text() + ")", [](DispatchCall&) {
                                  return Variant();
                                }));
                   c.returnObject(part->automation());
                   return Variant();
                 }));
    }
    o.property("AutoFilterMode", [s](DispatchCall&) { return Variant(s->filter.has_value()); });
    o.property("AutoFilter", [this, s](DispatchCall& c) {
      auto f = DispatchObject::create();
      xl::Area a = *s->filter;
      f->property("Range", [this, s, a](DispatchCall& inner) {
        inner.returnObject(range(s, a));
        return Variant();
      });
      c.returnObject(f->automation());
      return Variant();
    });
    for (const char* name : {"Select", "Activate", "Delete"}) o.method(name, logged("Sheet", [](DispatchCall&) {
                                                                           return Variant();
                                                                         }));
    o.method("Move", logged("Sheet", [](DispatchCall&) { return Variant(); }, {"Before", "After"}),
             {"Before", "After"});
    return s;
  }

  static xl::Area used(Sheet* s) {
    if (s->cells.empty()) return {};
    xl::Area u{s->cells.begin()->first.first, s->cells.begin()->first.second, 0, 0};
    u.r2 = u.r1, u.c2 = u.c1;
    for (const auto& [k, v] : s->cells) {
      u.r1 = std::min(u.r1, k.first), u.r2 = std::max(u.r2, k.first);
      u.c1 = std::min(u.c1, k.second), u.c2 = std::max(u.c2, k.second);
    }
    return u;
  }

  // What a look reads as where none was set.
  static Variant lookDefault(const std::string& key) {
    static const std::map<std::string, Variant> defaults{
        {"NumberFormat", "General"}, {"Font.Bold", false}, {"Font.Size", 11.0}, {"Font.Color", 0.0},
        {"Interior.Color", 16777215.0}, {"WrapText", false}};
    if (auto it = defaults.find(key); it != defaults.end()) return it->second;
    if (key.ends_with("LineStyle")) return -4142;
    if (key.ends_with("ColorIndex")) return -4105;
    return 2;  // a border's weight: thin
  }

  // A look property of a range's cells: set on every cell, read from the top-left one.
  void look(DispatchObject& o, const std::string& label, Sheet* s, xl::Area a, const std::string& member,
            std::vector<std::string> keys) {
    o.property(
        member,
        [s, a, keys](DispatchCall&) {
          auto cell = s->looks.find({a.r1, a.c1});
          if (cell != s->looks.end())
            if (auto it = cell->second.find(keys[0]); it != cell->second.end()) return it->second;
          return lookDefault(keys[0]);
        },
        logged(label, [s, a, keys](DispatchCall& c) {
          for (long r = a.r1; r <= a.r2; ++r)
            for (long col = a.c1; col <= a.c2; ++col)
              for (const std::string& k : keys) s->looks[{r, col}][k] = c.value();
          return Variant();
        }));
  }

  Automation range(Sheet* s, xl::Area a) {
    std::string label = "Range(" + xl::addressText(a) + ")";
    auto r = DispatchObject::create();
    r->property("Label", [label](DispatchCall&) { return Variant(label); });
    r->property("Row", [a](DispatchCall&) { return Variant(a.r1); });
    r->property("Column", [a](DispatchCall&) { return Variant(a.c1); });
    for (const char* lines : {"Rows", "Columns"}) {
      long count = std::string(lines) == "Rows" ? a.rows() : a.cols();
      std::string partLabel = label + "." + lines;
      r->property(lines, [this, count, partLabel](DispatchCall& c) {
        auto part = DispatchObject::create();
        part->property("Count", [count](DispatchCall&) { return Variant(count); });
        part->method("AutoFit", logged(partLabel, [](DispatchCall&) { return Variant(); }));
        c.returnObject(part->automation());
        return Variant();
      });
    }
    r->property("Value",
                logged(label,
                       [s, a](DispatchCall& c) {
                         if (a.count() == 1) return s->cells.count({a.r1, a.c1}) ? s->cells[{a.r1, a.c1}] : Variant();
                         Table t(a.rows(), a.cols());
                         for (long i = 1; i <= t.rows(); ++i)
                           for (long j = 1; j <= t.cols(); ++j)
                             if (auto it = s->cells.find({a.r1 + i - 1, a.c1 + j - 1}); it != s->cells.end())
                               t(i, j) = it->second;
                         c.returnTable(std::move(t));
                         return Variant();
                       }),
                logged(label, [s, a](DispatchCall& c) {
                  if (!platform::win::holdsArray(c.rawValue())) {
                    for (long i = a.r1; i <= a.r2; ++i)
                      for (long j = a.c1; j <= a.c2; ++j) s->cells[{i, j}] = c.value();
                    return Variant();
                  }
                  Table t = c.valueTable();
                  for (long i = 1; i <= std::min(t.rows(), a.rows()); ++i)
                    for (long j = 1; j <= std::min(t.cols(), a.cols()); ++j)
                      if (!t(i, j).isEmpty()) s->cells[{a.r1 + i - 1, a.c1 + j - 1}] = t(i, j);
                  return Variant();
                }));
    look(*r.get(), label, s, a, "NumberFormat", {"NumberFormat"});
    look(*r.get(), label, s, a, "WrapText", {"WrapText"});
    r->property("ColumnWidth", [s, a](DispatchCall&) { return Variant(s->widths.count(a.c1) ? s->widths[a.c1] : 8.43); },
                logged(label, [s, a](DispatchCall& c) {
                  for (long col = a.c1; col <= a.c2; ++col) s->widths[col] = c.value().number();
                  return Variant();
                }));
    auto font = DispatchObject::create();
    for (const char* m : {"Bold", "Size", "Color"}) look(*font.get(), label + ".Font", s, a, m, {std::string("Font.") + m});
    auto interior = DispatchObject::create();
    look(*interior.get(), label + ".Interior", s, a, "Color", {"Interior.Color"});
    auto borders = DispatchObject::create();
    for (const char* m : {"LineStyle", "Weight", "ColorIndex"}) {
      std::vector<std::string> keys;
      for (int edge = 7; edge <= 10; ++edge) keys.push_back("Border" + std::to_string(edge) + "." + m);
      look(*borders.get(), label + ".Borders", s, a, m, keys);
    }
    borders->property("Item", [this, s, a, label](DispatchCall& c) {
      std::string edge = std::to_string(vb::toLong(c.arg(0)));
      auto border = DispatchObject::create();
      for (const char* m : {"LineStyle", "Weight", "ColorIndex"})
        look(*border.get(), label + ".Borders(" + edge + ")", s, a, m, {"Border" + edge + "." + m});
      c.returnObject(border->automation());
      return Variant();
    });
    std::vector<std::pair<std::string, ComRef<DispatchObject>>> parts{
        {"Font", font}, {"Interior", interior}, {"Borders", borders}};
    for (const auto& [name, part] : parts) {
      Automation object = part->automation();
      r->property(name, [object](DispatchCall& c) {
        c.returnObject(object);
        return Variant();
      });
    }
    r->property("End", logged(label, [this, s, a](DispatchCall& c) {
                  // Down: the last filled cell of the column below; anything else stays put.
                  long row = a.r1;
                  if (vb::toLong(c.arg(0)) == xl::xlDown)
                    while (s->cells.count({row + 1, a.c1})) ++row;
                  c.returnObject(range(s, {row, a.c1, row, a.c1}));
                  return Variant();
                }));
    r->property("CurrentRegion", [this, s](DispatchCall& c) {
      c.returnObject(range(s, used(s)));
      return Variant();
    });
    r->method("Select", logged(label, [s, a](DispatchCall&) {
                s->selection = a;
                return Variant();
              }));
    r->method("AutoFilter", logged(label, [s, a](DispatchCall&) {
                s->filter = a;
                return Variant();
              }));
    for (const char* name : {"Clear", "ClearContents", "Merge"})
      r->method(name, logged(label, [](DispatchCall&) { return Variant(); }));
    r->method("Delete", logged(label, [](DispatchCall&) { return Variant(); }, {"Shift"}), {"Shift"});
    std::vector<std::string> aroundParams{"LineStyle", "Weight", "ColorIndex", "Color"};
    r->method("BorderAround", logged(label, [](DispatchCall&) { return Variant(); }, aroundParams), aroundParams);
    std::vector<std::string> sortParams{"Key1", "Order1", "Key2", "Type", "Order2", "Key3", "Order3", "Header",
                                        "OrderCustom", "MatchCase", "Orientation"};
    r->method("Sort", logged(label, [](DispatchCall&) { return Variant(); }, sortParams), sortParams);
    return r->automation();
  }

  // The handler, with the call logged before it runs.
  DispatchObject::Handler logged(std::string label, DispatchObject::Handler h, std::vector<std::string> params = {}) {
    return [this, label, h, params](DispatchCall& c) {
      log.push_back(describe(c, label, params));
      return h(c);
    };
  }

  static std::string shown(const VARIANT* v) {
    if (platform::win::holdsArray(*v)) {
      Table t = platform::win::tableFromComVariant(*v);
      return "[" + std::to_string(t.rows()) + "x" + std::to_string(t.cols()) + "]";
    }
    if (V_VT(v) == VT_DISPATCH) return vb::toText(Automation(V_DISPATCH(v)).get("Label"));
    return vb::toText(platform::win::fromComVariant(*v));
  }

  static std::string describe(DispatchCall& c, const std::string& label, const std::vector<std::string>& params) {
    std::string text = label + "." + c.member();
    std::vector<std::string> parts;
    if (params.empty()) {
      for (size_t i = 0; i < c.count(); ++i) parts.push_back(shown(c.raw(i)));
    } else {
      for (const std::string& p : params)
        if (c.hasParam(p)) parts.push_back(p + ":=" + shown(c.rawParam(p)));
    }
    if (!parts.empty() || c.kind() == DispatchCall::Kind::Method) {
      text += "(";
      for (size_t i = 0; i < parts.size(); ++i) text += (i ? ", " : "") + parts[i];
      text += ")";
    }
    if (c.kind() == DispatchCall::Kind::Put) text += " = " + shown(&c.rawValue());
    return text;
  }

  std::vector<std::unique_ptr<Book>> closed;

 private:
  int sheetsMade_ = 0;
};

class ComSpreadsheetTest : public testing::Test {
 protected:
  void TearDown() override {
    program.reset();
    excel.reset();
    EXPECT_EQ(DispatchObject::living(), living_) << "DispatchObjects left alive";
  }
  // Calls logged since the last look, and the log emptied.
  std::vector<std::string> calls() { return std::exchange(program->log, {}); }

  ComApartment apartment_;
  long living_ = DispatchObject::living();
  std::unique_ptr<FakeSpreadsheet> program = std::make_unique<FakeSpreadsheet>();
  std::shared_ptr<xl::Application> excel =
      platform::win::comSpreadsheet(program->app->automation(), "Excel.Application");
};

using Calls = std::vector<std::string>;

TEST_F(ComSpreadsheetTest, BlocksTravelInOneValueCallEachWay) {
  xl::SheetPtr sheet = excel->addWorkbook()->sheet(1);
  Table block(1000, 13);
  for (long r = 1; r <= block.rows(); ++r)
    for (long c = 1; c <= block.cols(); ++c) block(r, c) = c == 1 ? Variant("R" + std::to_string(r)) : Variant(r * c);
  calls();

  sheet->range("A2:M1001").setValues(block);
  EXPECT_EQ(calls(), (Calls{"Sheet.Range($A$2:$M$1001)", "Range($A$2:$M$1001).Value = [1000x13]"}));
  Table back = sheet->range("A2:M1001").values();
  EXPECT_EQ(calls(), (Calls{"Sheet.Range($A$2:$M$1001)", "Range($A$2:$M$1001).Value"}));
  ASSERT_EQ(back.rows(), 1000);
  ASSERT_EQ(back.cols(), 13);
  EXPECT_EQ(back(1, 1), Variant("R1"));
  EXPECT_EQ(back(1000, 13), Variant(13000.0));
  EXPECT_EQ(back(517, 4), block(517, 4));

  // One cell: a value each way, and a one-cell block still reads as a block.
  sheet->range("C3").setValue("100n");
  EXPECT_EQ(sheet->range("C3").value(), Variant("100n"));
  Table one = sheet->range("C3").values();
  ASSERT_EQ(one.rows(), 1);
  EXPECT_EQ(one(1, 1), Variant("100n"));
  // One value over an area: the program fills it in one call.
  calls();
  sheet->range("P1:P3").setValue(0);
  EXPECT_EQ(calls(), (Calls{"Sheet.Range($P$1:$P$3)", "Range($P$1:$P$3).Value = 0"}));
  EXPECT_EQ(sheet->range("P3").value(), Variant(0.0));
}

TEST_F(ComSpreadsheetTest, WorkbooksAndSheetsAreFoundByPositionAndName) {
  expectError([&] { excel->activeWorkbook(); }, vb::kObjectNotSet);
  EXPECT_EQ(excel->workbookCount(), 0);

  xl::WorkbookPtr first = excel->addWorkbook();
  xl::WorkbookPtr bom = excel->open("C:\\设计\\BOM.xlsx");
  EXPECT_EQ(excel->workbookCount(), 2);
  EXPECT_EQ(bom->name(), "BOM.xlsx");
  EXPECT_EQ(bom->fullName(), "C:\\设计\\BOM.xlsx");
  EXPECT_EQ(excel->activeWorkbook()->name(), "BOM.xlsx");
  EXPECT_EQ(excel->workbook(1)->name(), "Book1");
  expectError([&] { excel->workbook(3); }, vb::kSubscript);

  EXPECT_EQ(bom->sheetCount(), 3);
  xl::SheetPtr second = bom->sheet(2);
  EXPECT_EQ(second->name(), "Sheet5");
  EXPECT_EQ(bom->sheet("Sheet5")->name(), "Sheet5");
  EXPECT_EQ(bom->position(*second), 2);
  EXPECT_EQ(bom->position(*first->sheet(2)), 0) << "a sheet of another workbook";
  expectError([&] { bom->sheet("Nowhere"); }, vb::kSubscript);
  expectError([&] { bom->sheet(4); }, vb::kSubscript);
  // One wrapper per workbook and sheet, however it is reached.
  EXPECT_EQ(excel->workbook(2), bom);
  EXPECT_EQ(excel->activeWorkbook(), bom);
  EXPECT_EQ(bom->sheet("Sheet5"), second);
  EXPECT_NE(excel->workbook(1), bom);

  calls();
  xl::SheetPtr report = bom->addSheet(nullptr, second.get());
  report->setName("List Report");
  xl::SheetPtr front = bom->addSheet(bom->sheet(1).get(), nullptr);
  EXPECT_EQ(calls(), (Calls{"Sheets.Add(After:=Sheet5)", "Sheet.Name = List Report", "Sheets.Item(1)",
                            "Sheets.Add(Before:=Sheet4)"}));
  EXPECT_EQ(bom->position(*report), 4);
  EXPECT_EQ(bom->position(*front), 1);
  EXPECT_EQ(bom->activeSheet()->name(), front->name());
  EXPECT_EQ(&report->parent(), bom.get());

  report->moveBefore(*second);
  front->remove();
  bom->saveAs("C:\\out\\BOM (2).xlsx");
  bom->close();
  EXPECT_EQ(calls(), (Calls{"Sheet.Move(Before:=Sheet5)", "Sheet.Delete()",
                            "Workbook(BOM.xlsx).SaveAs(Filename:=C:\\out\\BOM (2).xlsx)",
                            "Workbook(BOM.xlsx).Close(SaveChanges:=False)"}));
  EXPECT_EQ(excel->activeWorkbook()->name(), "Book1");
}

TEST_F(ComSpreadsheetTest, SortPassesItsKeysAndOptionsByName) {
  xl::SheetPtr sheet = excel->addWorkbook()->sheet(1);
  calls();
  xl::SortSpec byValueThenRef{{{3, 2}, {1, 1}}, xl::xlYes, true, 1};
  sheet->range("A1:Q500").sort(byValueThenRef);
  Calls log = calls();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(),
            "Range($A$1:$Q$500).Sort(Key1:=Range($C$1), Order1:=2, Key2:=Range($A$1), Order2:=1, Header:=1, "
            "MatchCase:=True, Orientation:=1)");

  sheet->range("B4:C9").sort({{{2}}, xl::xlNo});
  EXPECT_EQ(calls().back(),
            "Range($B$4:$C$9).Sort(Key1:=Range($B$4), Order1:=1, Header:=2, MatchCase:=False, Orientation:=1)");
  expectError([&] { sheet->range("A1:D9").sort({{{1}, {2}, {3}, {4}}}); }, vb::kInvalidCall);
}

TEST_F(ComSpreadsheetTest, StylesAreWrittenToTheLookObjectsAndReadBack) {
  xl::SheetPtr sheet = excel->addWorkbook()->sheet(1);
  EXPECT_EQ(sheet->range("B2").style(), xl::Style()) << "a cell without looks of its own";
  calls();

  xl::StyleChange header;
  header.bold = true;
  header.fill = 0xCCFFFF;
  header.numberFormat = "@";
  header.bordersLineStyle = 1;
  header.bordersWeight = 2;
  sheet->range("A1:C1").apply(header);
  EXPECT_EQ(calls(), (Calls{"Sheet.Range($A$1:$C$1)", "Range($A$1:$C$1).NumberFormat = @",
                            "Range($A$1:$C$1).Font.Bold = True", "Range($A$1:$C$1).Interior.Color = 13434879",
                            "Range($A$1:$C$1).Borders.LineStyle = 1", "Range($A$1:$C$1).Borders.Weight = 2"}));

  xl::Style expected;
  header.applyTo(expected);
  expected.left = expected.top = expected.right = expected.bottom = xl::Edge{1, 2, 0};
  EXPECT_EQ(sheet->range("B1").style(), expected);
  calls();

  sheet->range("A1:C9").borderAround(1, 3);
  sheet->range("D:D").setColumnWidth(12.5);
  sheet->range("A1:C9").autoFit();
  EXPECT_EQ(calls(), (Calls{"Sheet.Range($A$1:$C$9)", "Range($A$1:$C$9).BorderAround(LineStyle:=1, Weight:=3)",
                            "Sheet.Range($D:$D)", "Range($D$1:$D$1048576).ColumnWidth = 12.5",
                            "Sheet.Range($A$1:$C$9)", "Range($A$1:$C$9).Columns.AutoFit()"}));
  EXPECT_EQ(sheet->range("D7").columnWidth(), 12.5);
}

TEST_F(ComSpreadsheetTest, AreasComeBackFromTheRangesTheProgramGives) {
  xl::SheetPtr sheet = excel->addWorkbook()->sheet(1);
  Table filled(40, 4);
  for (long r = 1; r <= 40; ++r)
    for (long c = 1; c <= 4; ++c) filled(r, c) = r;
  sheet->range("B3:E42").setValues(filled);

  EXPECT_EQ(sheet->usedRange().area(), (xl::Area{3, 2, 42, 5}));
  EXPECT_EQ(sheet->range("B3").currentRegion().address(), "$B$3:$E$42");
  calls();
  EXPECT_EQ(sheet->range("B3").end(xl::kDownFour).area(), (xl::Area{42, 2, 42, 2}));
  EXPECT_EQ(calls(), (Calls{"Sheet.Range($B$3)", "Range($B$3).End(-4121)"})) << "4 goes as xlDown";

  sheet->range("C5:D8").select();
  EXPECT_EQ(calls(), (Calls{"Sheet.Activate()", "Sheet.Range($C$5:$D$8)", "Range($C$5:$D$8).Select()"}));
  EXPECT_EQ(sheet->selection(), (xl::Area{5, 3, 8, 4}));
  EXPECT_EQ(excel->activeCell().area(), (xl::Area{5, 3, 5, 3}));

  EXPECT_EQ(sheet->filter(), std::nullopt);
  sheet->range("B3:E42").autoFilter();
  EXPECT_EQ(sheet->filter(), (xl::Area{3, 2, 42, 5}));

  // Whole rows and columns go as Rows/Columns; other cells shift up.
  calls();
  sheet->rows(7, 9).deleteCells();
  sheet->columns("C:D").deleteCells();
  sheet->range("B10:C12").deleteCells();
  EXPECT_EQ(calls(), (Calls{"Sheet.Rows(7:9)", "Rows(7:9).Delete()", "Sheet.Columns(C:D)", "Columns(C:D).Delete()",
                            "Sheet.Range($B$10:$C$12)", "Range($B$10:$C$12).Delete(Shift:=-4162)"}));

  // Whole lines and the whole sheet are asked by forms that fit a sheet of any size.
  sheet->rows(2, 4).clearContents();
  sheet->columns("B:C").clear();
  sheet->cells().clear();
  EXPECT_EQ(calls(), (Calls{"Sheet.Range($2:$4)", "Range($A$2:$XFD$4).ClearContents()", "Sheet.Range($B:$C)",
                            "Range($B$1:$C$1048576).Clear()", "Sheet.Cells", "Range($A$1:$XFD$1048576).Clear()"}));
}

TEST_F(ComSpreadsheetTest, TheApplicationsSettingsAndOpenDialog) {
  excel->setVisible(true);
  excel->setScreenUpdating(false);
  excel->setDisplayAlerts(false);
  excel->setWindowState(xl::kWindowMinimized);
  EXPECT_TRUE(excel->visible());
  EXPECT_FALSE(excel->screenUpdating());
  EXPECT_FALSE(excel->displayAlerts());
  EXPECT_EQ(excel->windowState(), xl::kWindowMinimized);
  EXPECT_EQ(excel->rowsCount(), xl::kMaxRows) << "no workbook open";
  EXPECT_EQ(excel->progId(), "Excel.Application");

  calls();
  EXPECT_EQ(excel->getOpenFilename("Excel files (*.xls*),*.xls*", "Choose the BOM"), std::nullopt);
  EXPECT_EQ(calls(),
            (Calls{"Application.GetOpenFilename(FileFilter:=Excel files (*.xls*),*.xls*, Title:=Choose the BOM)"}));
  program->openFilenameAnswer = "C:\\设计\\BOM.xlsx";
  EXPECT_EQ(excel->getOpenFilename("All files (*.*),*.*", "Open"), "C:\\设计\\BOM.xlsx");
}

TEST_F(ComSpreadsheetTest, TheProgramsErrorsReachTheCallerWithTheirNumbers) {
  expectError([&] { excel->open("C:\\missing.xlsx"); }, vb::kAppDefined, "Sorry, we couldn't find C:\\missing.xlsx.");
  expectError([&] { excel->activeSheet(); }, vb::kObjectNotSet);
  xl::WorkbookPtr book = excel->addWorkbook();
  expectError([&] { book->sheet(2)->setName("Sheet1"); }, vb::kAppDefined,
              "That name is already taken. Try a different one.");
  // A member the program lacks, and one the interface cannot map.
  expectError([&] { excel->setEnableEvents(false); }, platform::win::kNoSuchMember);
  expectError([&] { book->sheet(1)->merges(); }, platform::win::kNoSuchMember);
}

}  // namespace
