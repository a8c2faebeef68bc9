// The stand-in spreadsheet program served through automation and driven by the interface
// over the real program's automation: every step through that path leaves the same
// workbooks, settings and messages as the same step on a stand-in used directly.
#include "sim/win/served_spreadsheet.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "formats/workbook_files.h"
#include "platform/win/com_spreadsheet.h"
#include "platform/win/dispatch_object.h"
#include "sim/sim_programs.h"
#include "support/runtime_errors.h"
#include "support/scratch_dir.h"
#include "vb/convert.h"

namespace {

namespace xl = platform::xl;
using platform::win::Automation;
using platform::win::ComApartment;
using platform::win::DispatchObject;
using testing_support::expectError;
using vb::Table;
using vb::Variant;

constexpr char kProgId[] = "Excel.Application";

// Values, looks and workbooks as text, nothing left out, so two of them compare as a
// whole and a difference shows where it lies.
std::string valueText(const Variant& v) {
  char number[32];
  switch (v.type()) {
    case Variant::Type::Empty: return "-";
    case Variant::Type::Number: std::snprintf(number, sizeof number, "%.17g", v.number()); return number;
    case Variant::Type::Text: return "\"" + v.text() + "\"";
    case Variant::Type::Boolean: return v.boolean() ? "TRUE" : "FALSE";
    case Variant::Type::Error: return "#" + std::to_string(v.error().code);
  }
  return "?";
}

std::string tableText(const Table& t) {
  std::string out;
  for (long r = 1; r <= t.rows(); ++r) {
    for (long c = 1; c <= t.cols(); ++c) out += (c > 1 ? " | " : "") + valueText(t(r, c));
    out += "\n";
  }
  return out;
}

std::string edgeText(const xl::Edge& e) {
  return std::to_string(e.lineStyle) + "/" + std::to_string(e.weight) + "/" + std::to_string(e.colorIndex);
}

std::string styleText(const xl::Style& s) {
  char size[32];
  std::snprintf(size, sizeof size, "%g", s.fontSize);
  return "fmt=" + s.numberFormat + (s.bold ? " bold" : "") + " size=" + size + " color=" + std::to_string(s.fontColor) +
         " fill=" + std::to_string(s.fill) + (s.wrap ? " wrap" : "") + " L" + edgeText(s.left) + " T" +
         edgeText(s.top) + " R" + edgeText(s.right) + " B" + edgeText(s.bottom);
}

std::string sheetDataText(const formats::SheetData& s) {
  std::string out = "sheet " + s.name + "\n";
  if (s.filter) out += "filter " + xl::addressText(*s.filter) + "\n";
  for (const xl::Area& m : s.merges) out += "merge " + xl::addressText(m) + "\n";
  for (const auto& [col, width] : s.columnWidths)
    out += "width " + xl::columnLetters(col) + "=" + valueText(width) + "\n";
  for (const formats::CellData& c : s.cells)
    out += xl::columnLetters(c.col) + std::to_string(c.row) + " " + valueText(c.value) + " " + styleText(c.style) +
           "\n";
  return out;
}

// A program's settings and its open workbooks: the plain data of each, with the active
// sheet and the selection of every sheet.
std::string programText(sim::SimSpreadsheet& program) {
  std::string out = "visible=" + std::to_string(program.visible()) +
                    " screenUpdating=" + std::to_string(program.screenUpdating()) +
                    " events=" + std::to_string(program.enableEvents()) +
                    " alerts=" + std::to_string(program.displayAlerts()) +
                    " windowState=" + std::to_string(program.windowState()) + "\n";
  if (program.workbookCount() > 0) out += "active workbook " + program.activeWorkbook()->name() + "\n";
  for (const xl::WorkbookPtr& book : program.workbooks()) {
    formats::WorkbookData data = sim::toData(*book);
    out += "workbook " + data.name + " (" + data.fullName + "), active sheet " + std::to_string(data.activeSheet) +
           "\n";
    for (size_t i = 0; i < data.sheets.size(); ++i) {
      xl::SheetPtr sheet = book->sheet(static_cast<long>(i) + 1);
      out += sheetDataText(data.sheets[i]) + "selection " + xl::addressText(sheet->selection()) + " active " +
             xl::addressText(sheet->activeCell()) + "\n";
    }
  }
  return out;
}

// The error a step ends with, as "number: description".
std::string errorOf(const std::function<void()>& step) {
  try {
    step();
  } catch (const vb::Error& e) {
    return std::to_string(e.number()) + ": " + e.description();
  }
  return "no error";
}

class ServedSpreadsheetTest : public testing::Test {
 protected:
  using Steps = std::function<void(xl::Application&)>;

  void TearDown() override {
    viaCom.reset();
    served.reset();
    EXPECT_EQ(DispatchObject::living(), living_) << "served objects left alive";
  }

  // The same steps on the stand-in itself and, through automation, on the served one.
  void onBoth(const Steps& steps) {
    steps(*direct);
    steps(*viaCom);
  }

  // The two programs hold the same workbooks and settings, and showed the same messages.
  void expectSameState() {
    EXPECT_EQ(programText(*servedProgram), programText(*direct));
    EXPECT_EQ(servedWorld.user.transcript(), directWorld.user.transcript());
  }

  // The step fails on both with the error number given and the same description.
  void expectSameError(const Steps& step, int number) {
    std::string expected = errorOf([&] { step(*direct); });
    EXPECT_EQ(expected.substr(0, expected.find(':')), std::to_string(number)) << expected;
    EXPECT_EQ(errorOf([&] { step(*viaCom); }), expected);
  }

  ComApartment apartment_;
  const long living_ = DispatchObject::living();
  sim::World directWorld, servedWorld;
  std::shared_ptr<sim::SimSpreadsheet> direct = directWorld.programs.runSpreadsheet(kProgId);
  std::shared_ptr<sim::SimSpreadsheet> servedProgram = servedWorld.programs.runSpreadsheet(kProgId);
  std::unique_ptr<sim::win::ServedSpreadsheet> served = std::make_unique<sim::win::ServedSpreadsheet>(servedProgram);
  std::shared_ptr<xl::Application> viaCom = platform::win::comSpreadsheet(served->application(), kProgId);
};

TEST_F(ServedSpreadsheetTest, BlocksAndValuesArriveAsWritten) {
  // Every kind of value a cell holds, and texts the sheet turns into numbers or empties.
  Table block(1000, 13);
  for (long r = 1; r <= block.rows(); ++r)
    for (long c = 1; c <= block.cols(); ++c) {
      switch (c) {
        case 1: block(r, c) = "R" + std::to_string(r); break;
        case 2: block(r, c) = r * 0.25 - 40; break;
        case 3: block(r, c) = r % 3 == 0; break;
        case 4: block(r, c) = r % 7 == 0 ? Variant(vb::ErrorValue{}) : Variant(); break;
        case 5: block(r, c) = "电阻 " + std::to_string(r) + "Ω"; break;
        case 6: block(r, c) = r % 2 ? "" : " 12 "; break;
        case 7: block(r, c) = "00" + std::to_string(r); break;  // stays a text in the "@" column
        default: block(r, c) = static_cast<double>(r * c); break;
      }
    }
  Table corner(2, 2);
  corner(1, 1) = "a", corner(1, 2) = 1.5, corner(2, 1) = true, corner(2, 2) = "1/4";
  Table row(1, 3);
  row(1, 1) = "x", row(1, 2) = 2, row(1, 3) = "";
  onBoth([&](xl::Application& app) {
    xl::SheetPtr sheet = app.addWorkbook()->sheet(1);
    sheet->columns("G").setNumberFormat("@");
    sheet->range("A2:M1001").setValues(block);
    sheet->range("P1:P3").setValue(0);        // one value fills every cell
    sheet->range("R1:T3").setValues(corner);  // #N/A beyond the table's edge
    sheet->range("R5:T7").setValues(row);     // one row repeats down the range
    sheet->range("C3").setValue("100n");
    sheet->range("A1").setValue(Variant());   // nothing there: stays empty
    sheet->range("D8").setValue("");          // an error value emptied
  });

  Table fromDirect = direct->activeSheet()->range("A1:T1001").values();
  Table throughCom = viaCom->activeSheet()->range("A1:T1001").values();
  EXPECT_EQ(tableText(throughCom), tableText(fromDirect));
  EXPECT_EQ(throughCom(1000, 7), Variant("00999"));
  EXPECT_EQ(throughCom(3, 19), Variant(vb::ErrorValue{}));
  for (const char* cell : {"C3", "B5", "D15", "E2", "A1"})
    EXPECT_EQ(valueText(viaCom->activeSheet()->range(cell).value()),
              valueText(direct->activeSheet()->range(cell).value()))
        << cell;
  expectSameState();
}

TEST_F(ServedSpreadsheetTest, LooksWidthsMergesAndFiltersRoundTrip) {
  onBoth([](xl::Application& app) {
    xl::WorkbookPtr book = app.addWorkbook();
    xl::SheetPtr sheet = book->sheet(1);
    Table headings(1, 4);
    headings(1, 1) = "Ref", headings(1, 2) = "Value", headings(1, 3) = "Qty", headings(1, 4) = "备注";
    sheet->range("A1:D1").setValues(headings);
    xl::StyleChange header;
    header.bold = true;
    header.fontSize = 15;
    header.fontColor = 0x0000FF;
    header.fill = 0xCCFFFF;
    header.wrap = true;
    header.bordersLineStyle = 1;
    header.bordersWeight = 2;
    header.bordersColorIndex = 3;
    sheet->range("A1:D1").apply(header);
    sheet->columns("B").setNumberFormat("0.000");
    sheet->range("C2:C4").setNumberFormat("# ?/?");
    sheet->range("C2").setValue("1/4");
    sheet->range("A2:A4").setNumberFormatLocal("@");
    sheet->range("A2").setValue("007");
    sheet->range("B2").setValue("3.14159");
    sheet->range("D2:D3").setNumberFormatLocal("G/通用格式");
    sheet->range("D2").setValue("42");
    sheet->range("A1:D6").borderAround(1, 4);
    sheet->range("F2:G3").setBordersWeight(2);
    sheet->range("F2:G3").borderAround(9, std::nullopt, 5);
    sheet->range("F3:G3").borderAround(-4142);
    sheet->rows(8, 8).setBold(true);
    sheet->range("B8").setFontSize(9);
    sheet->columns("F:G").setColumnWidth(20);
    sheet->range("H1").setColumnWidth(3.5);
    sheet->range("A1:D6").autoFit();
    sheet->range("A10:C11").merge();
    sheet->range("A10").setValue("merged");
    sheet->range("A1:D6").autoFilter();
    xl::SheetPtr second = book->sheet(2);
    second->cells().setColumnWidth(12);
    second->cells().setNumberFormat("@");
    second->range("B2").setValue("0012");
    second->range("B2:C3").clear();
    second->range("C2:C3").setValue(1);
    second->range("C2").clearContents();
  });

  // Each look read back through automation is the one the stand-in shows.
  for (long r = 1; r <= 11; ++r)
    for (long c = 1; c <= 8; ++c)
      EXPECT_EQ(styleText(viaCom->activeSheet()->styleAt(r, c)), styleText(direct->activeSheet()->styleAt(r, c)))
          << xl::columnLetters(c) << r;
  for (long c = 1; c <= 9; ++c)
    EXPECT_EQ(viaCom->activeSheet()->columnWidth(c), direct->activeSheet()->columnWidth(c)) << xl::columnLetters(c);
  EXPECT_EQ(viaCom->activeSheet()->filter(), (xl::Area{1, 1, 6, 4}));
  EXPECT_EQ(viaCom->activeWorkbook()->sheet(2)->filter(), std::nullopt);
  expectSameState();
}

TEST_F(ServedSpreadsheetTest, SortsMovesAndDeletesAsOnTheStandIn) {
  // Three sort keys over texts of mixed case, numbers, texts among numbers and gaps.
  const char* categories[] = {"res", "CAP", "Res", "ic", "cap"};
  Table data(41, 4);
  data(1, 1) = "Ref", data(1, 2) = "Category", data(1, 3) = "Value", data(1, 4) = "Qty";
  for (long r = 2; r <= 41; ++r) {
    data(r, 1) = "U" + std::to_string(100 - r);
    data(r, 2) = categories[r % 5];
    data(r, 3) = r % 6 == 0 ? Variant() : r % 4 == 0 ? Variant("10K") : Variant(static_cast<double>(r % 9));
    data(r, 4) = static_cast<double>(r % 3);
  }
  onBoth([&](xl::Application& app) {
    xl::SheetPtr sheet = app.addWorkbook()->sheet(1);
    sheet->range("B2:E42").setValues(data);
    sheet->range("B2:B42").setBold(true);
    sheet->range("B2:E42").sort({{{3, 1}, {4, 2}, {5, 1}}, xl::xlYes});
    sheet->range("H3:H6").setValues(data);  // the first column, down to its fourth row
    sheet->range("H3:H6").sort({{{8, 2}}, xl::xlNo});
  });
  EXPECT_EQ(tableText(viaCom->activeSheet()->range("A1:H42").values()),
            tableText(direct->activeSheet()->range("A1:H42").values()));

  // Areas the program works out come back as the stand-in gives them.
  for (const char* start : {"A1", "B2", "C5", "E42", "H20", "D43"})
    for (int direction : {xl::xlUp, xl::xlDown, xl::xlToLeft, xl::xlToRight, xl::kDownFour}) {
      EXPECT_EQ(viaCom->activeSheet()->range(start).end(direction).address(),
                direct->activeSheet()->range(start).end(direction).address())
          << start << " " << direction;
      EXPECT_EQ(viaCom->activeSheet()->range(start).currentRegion().address(),
                direct->activeSheet()->range(start).currentRegion().address())
          << start;
    }
  EXPECT_EQ(viaCom->activeSheet()->usedRange().address(), "$B$2:$H$42");
  EXPECT_EQ(viaCom->activeWorkbook()->sheet(2)->usedRange().address(), "$A$1") << "an empty sheet";

  onBoth([](xl::Application& app) {
    xl::SheetPtr sheet = app.activeSheet();
    sheet->rows(7, 9).deleteCells();
    sheet->columns("C:C").deleteCells();
    sheet->range("B10:C12").deleteCells();
    sheet->rows(40, 40).clear();
  });
  EXPECT_EQ(viaCom->activeSheet()->usedRange().address(), direct->activeSheet()->usedRange().address());
  expectSameState();
}

TEST_F(ServedSpreadsheetTest, SheetsAndWorkbooksChangeAsOnTheStandIn) {
  testing_support::ScratchDir scratch("served-xl");
  const std::string fixture = std::string(VELMORA_SOURCE_DIR) + "/tests/e2e/fixtures/standard_bom.xlsx";
  const std::string savedAs = scratch.path("standard_bom.xlsx");
  std::vector<std::string> seen[2];
  int side = 0;
  auto steps = [&](xl::Application& app) {
    std::vector<std::string>& log = seen[side++];
    xl::WorkbookPtr book = app.addWorkbook();
    xl::SheetPtr second = book->sheet(2);
    xl::SheetPtr report = book->addSheet(nullptr, second.get());
    report->setName("List Report");
    xl::SheetPtr front = book->addSheet(book->sheet(1).get(), nullptr);
    front->setName("首页");
    book->addSheet(nullptr, nullptr);
    report->moveBefore(*book->sheet(1));
    front->moveAfter(*book->sheet("Sheet3"));
    book->sheet("sheet2")->remove();
    log.push_back("report at " + std::to_string(book->position(*report)) + ", front at " +
                  std::to_string(book->position(*front)) + " of " + std::to_string(book->sheetCount()) +
                  ", active " + book->activeSheet()->name());

    xl::WorkbookPtr opened = app.open(fixture);
    log.push_back("opened " + opened->name() + " with " + std::to_string(opened->sheetCount()) + " sheets, active " +
                  app.activeWorkbook()->name() + "/" + app.activeSheet()->name());
    log.push_back("a sheet of another workbook at " + std::to_string(opened->position(*report)));
    // A workbook or sheet reached again is the same object, as callers compare them.
    log.push_back("the same objects: " + std::to_string(app.open(fixture) == opened) +
                  std::to_string(app.workbook(1) == book) + std::to_string(book->sheet("List Report") == report));
    opened->sheet(1)->range("A1").setValue("edited");
    opened->saveAs(savedAs);
    log.push_back("saved as " + opened->name());
    book->activate();
    xl::WorkbookPtr third = app.addWorkbook();
    third->close();
    book->sheet(1)->select();
    log.push_back(std::to_string(app.workbookCount()) + " open, active " + app.activeWorkbook()->name() + "/" +
                  app.activeSheet()->name() + ", second " + app.workbook(2)->fullName());
  };
  steps(*direct);
  formats::WorkbookData savedDirectly = formats::loadWorkbookFile(savedAs);
  std::filesystem::remove(savedAs);
  steps(*viaCom);
  formats::WorkbookData savedThroughCom = formats::loadWorkbookFile(savedAs);

  EXPECT_EQ(seen[1], seen[0]);
  EXPECT_EQ(seen[0].front(), "report at 1, front at 5 of 5, active Sheet6");
  EXPECT_EQ(seen[0][3], "the same objects: 111");
  ASSERT_EQ(savedThroughCom.sheets.size(), savedDirectly.sheets.size());
  for (size_t i = 0; i < savedDirectly.sheets.size(); ++i)
    EXPECT_EQ(sheetDataText(savedThroughCom.sheets[i]), sheetDataText(savedDirectly.sheets[i]));
  expectSameState();
}

TEST_F(ServedSpreadsheetTest, ErrorsReachTheCallerWithTheirNumbersAndDescriptions) {
  // With no workbook open the program gives Nothing, which the interface reports as 91.
  expectSameError([](xl::Application& app) { app.activeWorkbook(); }, vb::kObjectNotSet);
  expectSameError([](xl::Application& app) { app.activeSheet(); }, vb::kObjectNotSet);
  onBoth([](xl::Application& app) { app.addWorkbook(); });

  struct Case {
    const char* what;
    int number;
    std::function<void(xl::Application&)> step;
  };
  auto sheet = [](xl::Application& app, long n) { return app.activeWorkbook()->sheet(n); };
  const Case cases[] = {
      {"a sheet name used twice", 1004, [&](xl::Application& app) { sheet(app, 2)->setName("SHEET1"); }},
      {"a sheet name with a forbidden character", 1004, [&](xl::Application& app) { sheet(app, 2)->setName("a/b"); }},
      {"a sheet that is not there", 9, [](xl::Application& app) { app.activeWorkbook()->sheet("Nowhere"); }},
      {"a sheet position past the last", 9, [&](xl::Application& app) { sheet(app, 4); }},
      {"a workbook position past the last", 9, [](xl::Application& app) { app.workbook(2); }},
      {"a file that is not there", 53, [](xl::Application& app) { app.open("C:\\nowhere\\BOM.xlsx"); }},
      {"a window state the program does not have", 1004, [](xl::Application& app) { app.setWindowState(3); }},
      {"a column too wide", 1004, [&](xl::Application& app) { sheet(app, 1)->range("C:C").setColumnWidth(300); }},
      {"a text longer than a cell holds", 1004,
       [&](xl::Application& app) { sheet(app, 1)->range("A1").setValue(std::string(40000, 'x')); }},
      {"a workbook never saved", 1004, [](xl::Application& app) { app.activeWorkbook()->save(); }},
      {"the last sheet deleted", 1004,
       [&](xl::Application& app) {
         sheet(app, 3)->remove();
         sheet(app, 2)->remove();
         sheet(app, 1)->remove();
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    expectSameError(c.step, c.number);
  }

  // Faults injected in the stand-in arrive as the stand-in raises them.
  const std::pair<const char*, std::function<void(xl::Application&)>> faults[] = {
      {"Workbooks.Add", [](xl::Application& app) { app.addWorkbook(); }},
      {"Sheets.Add", [](xl::Application& app) { app.activeWorkbook()->addSheet(nullptr, nullptr); }},
      {"Open", [](xl::Application& app) { app.open("C:\\BOM.xlsx"); }},
      {"Save", [](xl::Application& app) { app.activeWorkbook()->saveAs("C:\\BOM.xlsx"); }},
      {"Name", [&](xl::Application& app) { sheet(app, 1)->setName("BOM"); }},
  };
  for (const auto& [member, step] : faults) {
    SCOPED_TRACE(member);
    directWorld.faults.set("spreadsheet", member, 1);
    servedWorld.faults.set("spreadsheet", member, 1);
    expectSameError(step, vb::kAppDefined);
  }
  expectSameState();
}

TEST_F(ServedSpreadsheetTest, SettingsTheOpenDialogAndTheSelection) {
  for (sim::World* world : {&directWorld, &servedWorld}) {
    world->user.answerFile("C:\\设计\\BOM.xlsx");
    world->user.cancelFile();
  }
  std::vector<std::optional<std::string>> chosen[2];
  int side = 0;
  onBoth([&](xl::Application& app) {
    app.setVisible(true);
    app.setScreenUpdating(false);
    app.setEnableEvents(false);
    app.setDisplayAlerts(false);
    app.setWindowState(xl::kWindowMinimized);
    for (int i = 0; i < 2; ++i) chosen[side].push_back(app.getOpenFilename("Excel files (*.xls*),*.xls*", "Choose"));
    ++side;
  });
  EXPECT_EQ(chosen[1], chosen[0]);
  EXPECT_EQ(chosen[1], (std::vector<std::optional<std::string>>{"C:\\设计\\BOM.xlsx", std::nullopt}));
  EXPECT_TRUE(viaCom->visible());
  EXPECT_FALSE(viaCom->enableEvents());
  EXPECT_EQ(viaCom->windowState(), xl::kWindowMinimized);
  EXPECT_EQ(viaCom->rowsCount(), xl::kMaxRows) << "no workbook open";

  onBoth([](xl::Application& app) {
    xl::WorkbookPtr book = app.addWorkbook();
    book->sheet(3)->range("B2:C4").select();
    book->sheet(2)->range("$E$5:$F$9").select();
  });
  EXPECT_EQ(viaCom->activeSheet()->name(), "Sheet2");
  EXPECT_EQ(viaCom->activeSheet()->selection(), (xl::Area{5, 5, 9, 6}));
  EXPECT_EQ(viaCom->activeCell().address(), "$E$5");
  EXPECT_EQ(viaCom->rowsCount(), direct->rowsCount());
  expectSameState();
}

TEST_F(ServedSpreadsheetTest, WorkbooksAndSheetsKeepOneObjectEach) {
  Automation app = served->application();
  EXPECT_TRUE(app.sameObject(served->application()));
  EXPECT_TRUE(app.getObject("ActiveWorkbook").empty()) << "Nothing while no workbook is open";
  EXPECT_TRUE(app.getObject("ActiveCell").empty());

  Automation book = app.getObject("Workbooks").call("Add").object();
  Automation second = book.getObject("Sheets").getObject("Item", 2);
  EXPECT_TRUE(second.sameObject(book.getObject("Sheets").getObject("Item", "Sheet2")));
  EXPECT_TRUE(second.getObject("Parent").sameObject(book));
  EXPECT_TRUE(app.getObject("ActiveWorkbook").sameObject(book));
  EXPECT_TRUE(app.getObject("Workbooks").getObject("Item", 1).sameObject(book));
  EXPECT_TRUE(app.getObject("ActiveSheet").sameObject(book.getObject("Sheets").getObject("Item", 1)));

  // A range is selected only on the active sheet, as in the real program.
  expectError([&] { second.getObject("Range", "A1").call("Select"); }, vb::kAppDefined,
              "Select method of Range class failed");
  // The object of a sheet the program no longer has fails its calls.
  second.call("Delete");
  expectError([&] { second.get("Name"); }, platform::win::kObjectRequired);
  EXPECT_EQ(vb::toLong(book.getObject("Sheets").get("Count")), 2);
}

TEST_F(ServedSpreadsheetTest, ObjectsOutlivingTheServedProgramFailCleanly) {
  Automation book = served->application().getObject("Workbooks").call("Add").object();
  Automation range = book.getObject("ActiveSheet").getObject("Range", "A1:B2");
  Automation font = range.getObject("Font");
  viaCom.reset();
  served.reset();

  const int disconnected = static_cast<int>(RPC_E_DISCONNECTED);
  expectError([&] { book.get("Name"); }, disconnected, "The object invoked has disconnected from its clients.");
  expectError([&] { range.put("Value", 1); }, disconnected);
  expectError([&] { font.put("Bold", true); }, disconnected);
  EXPECT_EQ(servedProgram->workbookCount(), 1) << "the program itself goes on";
  EXPECT_EQ(servedProgram->activeSheet()->get(1, 1), Variant());
}

}  // namespace
