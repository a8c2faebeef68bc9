// The stand-in spreadsheet program as the callers use it: starting and attaching, workbooks,
// sheet positions and names, activation, files, faults and the plain data of a workbook.
#include <filesystem>
#include <functional>

#include "sim/sim_programs.h"
#include "sim_sheet_test_support.h"
#include "support/scratch_dir.h"

namespace sim_sheet_test {
namespace {

namespace fs = std::filesystem;
using testing_support::ScratchDir;

std::vector<std::string> sheetNames(xl::Workbook& wb) {
  std::vector<std::string> out;
  for (long i = 1; i <= wb.sheetCount(); ++i) out.push_back(wb.sheet(i)->name());
  return out;
}

int errorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const vb::Error& e) {
    return e.number();
  }
  return 0;
}

TEST(SpreadsheetProgram, AttachingNeedsARunningInstanceAndAStartedOneIsInvisible) {
  sim::Faults faults;
  platform::Files files;
  sim::SimPrograms programs(faults, files);
  EXPECT_EQ(errorOf([&] { programs.attachSpreadsheet("Excel.Application"); }), vb::kCannotCreate);
  xl::AppPtr app = programs.startSpreadsheet("excel.application");
  EXPECT_FALSE(app->visible());
  EXPECT_TRUE(app->screenUpdating());
  EXPECT_TRUE(app->enableEvents());
  EXPECT_TRUE(app->displayAlerts());
  EXPECT_EQ(app->workbookCount(), 0);
  EXPECT_EQ(errorOf([&] { app->activeWorkbook(); }), vb::kObjectNotSet);
  EXPECT_EQ(errorOf([&] { app->activeSheet(); }), vb::kObjectNotSet);
  EXPECT_EQ(programs.attachSpreadsheet("EXCEL.APPLICATION"), app);
  EXPECT_EQ(errorOf([&] { programs.attachSpreadsheet("ET.Application"); }), vb::kCannotCreate);
}

using Workbooks = SheetTest;

TEST_F(Workbooks, AddMakesTheNewWorkbookActiveWithThreeSheets) {
  EXPECT_EQ(book->name(), "Book1");
  EXPECT_EQ(book->fullName(), "Book1");
  xl::WorkbookPtr second = app->addWorkbook();
  EXPECT_EQ(second->name(), "Book2");
  EXPECT_EQ(app->activeWorkbook(), second);
  EXPECT_EQ(sheetNames(*second), (std::vector<std::string>{"Sheet1", "Sheet2", "Sheet3"}));
  EXPECT_EQ(app->activeSheet(), second->sheet(1));
  EXPECT_EQ(app->workbookCount(), 2);
  EXPECT_EQ(app->workbook(1), book);
  EXPECT_EQ(errorOf([&] { app->workbook(3); }), vb::kSubscript);

  book->sheet(2)->select();
  EXPECT_EQ(app->activeWorkbook(), book) << "selecting a sheet activates its workbook";
  EXPECT_EQ(app->activeSheet(), book->sheet(2));
  second->activate();
  EXPECT_EQ(app->sheet(1), second->sheet(1));

  auto other = sim::makeSimSpreadsheet("ET.Application", faults, files);
  EXPECT_EQ(other->addWorkbook()->name(), "Book1") << "names count per program instance";
}

TEST_F(Workbooks, SheetNumbersArePositionsThatAddAndMoveChange) {
  xl::SheetPtr s1 = book->sheet(1), s2 = book->sheet(2), s3 = book->sheet(3);
  xl::SheetPtr added = book->addSheet(s1.get(), nullptr);
  EXPECT_EQ(sheetNames(*book), (std::vector<std::string>{"Sheet4", "Sheet1", "Sheet2", "Sheet3"}));
  EXPECT_EQ(app->activeSheet(), added) << "a new sheet becomes the active sheet";
  EXPECT_EQ(book->position(*s1), 2);

  book->addSheet(nullptr, s3.get());
  EXPECT_EQ(book->sheet(5)->name(), "Sheet5");
  s2->select();
  book->addSheet(nullptr, nullptr);
  EXPECT_EQ(sheetNames(*book), (std::vector<std::string>{"Sheet4", "Sheet1", "Sheet6", "Sheet2", "Sheet3", "Sheet5"}))
      << "neither given: before the active sheet";

  s1->moveAfter(*s2);
  EXPECT_EQ(sheetNames(*book), (std::vector<std::string>{"Sheet4", "Sheet6", "Sheet2", "Sheet1", "Sheet3", "Sheet5"}));
  s3->moveBefore(*book->sheet(1));
  EXPECT_EQ(book->sheet(1), s3);
  EXPECT_EQ(book->sheet("sheet2"), s2) << "names are found without regard to case";
  EXPECT_EQ(errorOf([&] { book->sheet("Sheet9"); }), vb::kSubscript);
  EXPECT_EQ(errorOf([&] { book->sheet(7); }), vb::kSubscript);
  EXPECT_EQ(errorOf([&] { book->sheet(0); }), vb::kSubscript);
}

TEST_F(Workbooks, SheetNamesAreUniqueWithinTheWorkbook) {
  xl::SheetPtr s1 = book->sheet(1);
  s1->setName("BOM Report");
  EXPECT_EQ(book->sheet("bom report"), s1);
  s1->setName("BOM REPORT");
  EXPECT_EQ(s1->name(), "BOM REPORT") << "a sheet may take its own name in another case";
  for (const char* bad : {"bom report", "Sheet2", "", "a:b", "a/b", "[x]", "a name that is far too long for a tab"})
    EXPECT_EQ(errorOf([&] { book->sheet(3)->setName(bad); }), vb::kAppDefined) << bad;
  EXPECT_EQ(book->sheet(3)->name(), "Sheet3");
  app->addWorkbook()->sheet(1)->setName("BOM Report");  // another workbook may have it
}

TEST_F(Workbooks, DeletingSheets) {
  xl::SheetPtr s1 = book->sheet(1), s2 = book->sheet(2), s3 = book->sheet(3);
  s2->select();
  app->setDisplayAlerts(true);
  s2->remove();
  EXPECT_EQ(sheetNames(*book), (std::vector<std::string>{"Sheet1", "Sheet3"}));
  EXPECT_EQ(app->activeSheet(), s3) << "the sheet after the deleted one becomes active";
  app->setDisplayAlerts(false);
  s3->remove();
  EXPECT_EQ(app->activeSheet(), s1);
  EXPECT_EQ(errorOf([&] { s1->remove(); }), vb::kAppDefined) << "the last sheet stays";
  EXPECT_EQ(book->sheetCount(), 1);
  EXPECT_EQ(book->position(*s2), 0);
}

TEST_F(Workbooks, SelectionAndTheActiveCell) {
  xl::SheetPtr s3 = book->sheet(3);
  xl::WorkbookPtr other = app->addWorkbook();
  s3->range("C4:E9").select();
  EXPECT_EQ(app->activeWorkbook(), book);
  EXPECT_EQ(app->activeSheet(), s3);
  EXPECT_EQ(s3->selection(), (xl::Area{4, 3, 9, 5}));
  EXPECT_EQ(app->activeCell().address(), "$C$4");
  EXPECT_EQ(book->sheet(1)->activeCell(), (xl::Area{1, 1, 1, 1})) << "a sheet starts with A1 active";

  other->activate();
  app->userActivateSheet("sheet2");
  EXPECT_EQ(app->activeSheet(), other->sheet(2));
  EXPECT_EQ(errorOf([&] { app->userActivateSheet("Nope"); }), vb::kSubscript);
}

TEST_F(Workbooks, FaultsMakeTheNamedMemberFail) {
  ScratchDir dir("xl");
  dir.write("list.csv", "a,b\n1,2\n");
  const std::string saved = dir.path("saved.xlsx");
  struct Case {
    const char* member;
    std::function<void()> call;
  };
  const std::vector<Case> cases = {
      {"Workbooks.Add", [&] { app->addWorkbook(); }},
      {"Sheets.Add", [&] { book->addSheet(nullptr, nullptr); }},
      {"Open", [&] { app->open(dir.path("list.csv")); }},
      {"Save", [&] { book->saveAs(saved); }},
      {"Sheets.Delete", [&] { book->sheet(book->sheetCount())->remove(); }},
      {"Sort", [&] { sheet->range("A1:A2").sort(xl::SortSpec{{{1, 1}}}); }},
      {"Name", [&] { book->sheet(1)->setName("Renamed"); }},
  };
  for (const auto& c : cases) {
    faults.set("spreadsheet", c.member, 1);
    EXPECT_EQ(errorOf(c.call), vb::kAppDefined) << c.member;
    book->activate();
    EXPECT_EQ(errorOf(c.call), 0) << c.member << ": only the next call fails";
    book->activate();
  }
  EXPECT_EQ(book->sheet(1)->name(), "Renamed");
}

TEST_F(Workbooks, OpenSaveAndSaveAs) {
  ScratchDir dir("xl");
  dir.write("Parts List.csv", "No.,Value\n1,10K\n");
  EXPECT_EQ(errorOf([&] { book->save(); }), vb::kAppDefined) << "a new workbook has no file yet";

  xl::WorkbookPtr opened = app->open(dir.path("Parts List.csv"));
  EXPECT_EQ(app->activeWorkbook(), opened);
  EXPECT_EQ(opened->name(), "Parts List");
  EXPECT_EQ(opened->fullName(), dir.path("Parts List.csv"));
  EXPECT_EQ(opened->sheet(1)->range("B2").value(), Variant("10K"));
  EXPECT_EQ(app->open(dir.path("Parts List.csv")), opened) << "an open file is not opened twice";
  EXPECT_EQ(errorOf([&] { app->open(dir.path("missing.csv")); }), vb::kFileNotFound);

  sheet->range("A1:B1").setValues(tableOf({{"code", 12.5}}));
  const std::string path = dir.path("report.xlsx");
  book->saveAs(path);
  EXPECT_EQ(book->name(), "report");
  EXPECT_EQ(book->fullName(), path);
  sheet->range("A2").setValue("more");
  book->save();
  auto reader = sim::makeSimSpreadsheet("Excel.Application", faults, files);
  xl::WorkbookPtr back = reader->open(path);
  EXPECT_EQ(back->sheet(1)->range("A1:B2").values()(1, 2), Variant(12.5));
  EXPECT_EQ(back->sheet(1)->range("A2").value(), Variant("more"));

  faults.failWrites(dir.path("blocked.xlsx"));
  EXPECT_EQ(errorOf([&] { book->saveAs(dir.path("blocked.xlsx")); }), vb::kPathAccess);
  EXPECT_FALSE(fs::exists(dir.path("blocked.xlsx")));
  EXPECT_EQ(book->fullName(), path) << "a failed save keeps the workbook's file";
}

TEST_F(Workbooks, CloseLeavesTheProgramUnsavedAndActivatesTheLastOtherWorkbook) {
  ScratchDir dir("xl");
  dir.write("cat.csv", "1,A\n");
  xl::WorkbookPtr second = app->addWorkbook();
  xl::WorkbookPtr opened = app->open(dir.path("cat.csv"));
  opened->sheet(1)->range("A1").setValue("changed");
  app->activeWorkbook()->close();
  EXPECT_EQ(app->workbookCount(), 2);
  EXPECT_EQ(app->activeWorkbook(), second);
  EXPECT_EQ(app->open(dir.path("cat.csv"))->sheet(1)->range("A1").value(), Variant(1.0)) << "nothing was saved";
  app->activeWorkbook()->close();
  second->close();
  book->close();
  EXPECT_EQ(app->workbookCount(), 0);
  EXPECT_EQ(errorOf([&] { app->activeWorkbook(); }), vb::kObjectNotSet);
}

TEST(SpreadsheetProgram, WindowStateMinimisesAndRestores) {
  sim::Faults faults;
  platform::Files files;
  auto app = sim::makeSimSpreadsheet("Excel.Application", faults, files);
  EXPECT_EQ(app->windowState(), xl::kWindowNormal);
  app->setWindowState(xl::kWindowMinimized);
  EXPECT_TRUE(app->minimized());
  EXPECT_EQ(app->windowState(), xl::kWindowMinimized);
  app->setWindowState(xl::kWindowNormal);
  EXPECT_FALSE(app->minimized());
  EXPECT_EQ(errorOf([&] { app->setWindowState(7); }), vb::kAppDefined);
}

TEST_F(Workbooks, PlainDataRoundTrip) {
  xl::SheetPtr s2 = book->sheet(2);
  s2->setName("List Report");
  s2->columns("A:B").setNumberFormat("@");
  s2->range("A1:C2").setValues(tableOf({{"0402", "x", 3}, {Variant(), "y", true}}));
  s2->range("A1:C1").setBold(true);
  s2->range("D5").setInteriorColor(255);  // a look only
  s2->range("A4:B4").merge();
  s2->range("A1:C1").autoFilter();
  s2->columns("C").setColumnWidth(25);
  s2->select();

  formats::WorkbookData d = sim::toData(*book);
  EXPECT_EQ(d.name, "Book1");
  EXPECT_EQ(d.fullName, "");
  ASSERT_EQ(d.sheets.size(), 3u);
  EXPECT_EQ(d.activeSheet, 2);
  const formats::SheetData& sd = d.sheets[1];
  EXPECT_EQ(sd.name, "List Report");
  EXPECT_TRUE(d.sheets[0].cells.empty());
  EXPECT_EQ(sd.columnWidths, (std::map<long, double>{{3, 25.0}}));
  EXPECT_EQ(sd.merges, (std::vector<xl::Area>{{4, 1, 4, 2}}));
  EXPECT_EQ(sd.filter, (xl::Area{1, 1, 1, 3}));
  auto find = [&](long r, long c) -> const formats::CellData* {
    for (const auto& cd : sd.cells)
      if (cd.row == r && cd.col == c) return &cd;
    return nullptr;
  };
  ASSERT_TRUE(find(1, 1));
  EXPECT_EQ(find(1, 1)->value, Variant("0402"));
  EXPECT_TRUE(find(1, 1)->style.bold);
  EXPECT_EQ(find(1, 1)->style.numberFormat, "@");
  ASSERT_TRUE(find(2, 1)) << "an empty cell of the used range with the column's format";
  EXPECT_EQ(find(2, 1)->style.numberFormat, "@");
  ASSERT_TRUE(find(5, 4));
  EXPECT_EQ(find(5, 4)->style.fill, 255);
  EXPECT_FALSE(find(3, 3)) << "empty cells of the default look are left out";

  auto copy = sim::makeSimSpreadsheet("Excel.Application", faults, files);
  xl::WorkbookPtr rebuilt = copy->addWorkbookFromData(d);
  EXPECT_EQ(rebuilt->name(), "Book1");
  EXPECT_EQ(copy->activeWorkbook(), rebuilt);
  EXPECT_EQ(sheetNames(*rebuilt), (std::vector<std::string>{"Sheet1", "List Report", "Sheet3"}));
  EXPECT_EQ(copy->activeSheet()->name(), "List Report");
  xl::SheetPtr r2 = rebuilt->sheet(2);
  EXPECT_EQ(r2->range("A1").value(), Variant("0402")) << "values are taken as they were, not converted";
  EXPECT_EQ(r2->range("C2").value(), Variant(true));
  EXPECT_TRUE(r2->range("B1").bold());
  EXPECT_EQ(r2->range("D5").interiorColor(), 255);
  EXPECT_EQ(r2->usedArea(), s2->usedArea());
  EXPECT_EQ(sim::toData(*rebuilt).sheets[1].cells.size(), sd.cells.size());
}

}  // namespace
}  // namespace sim_sheet_test
