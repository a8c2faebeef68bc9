// A saved workbook as LibreOffice reads it: LibreOffice (when it is installed) converts it
// to a workbook of its own, and that file holds the same cells, looks and layout.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "formats/workbook_files.h"
#include "support/scratch_dir.h"
#include "support/workbook_dump.h"

namespace {

namespace fs = std::filesystem;
using formats::CellData;
using formats::SheetData;
using formats::WorkbookData;
using platform::xl::Area;
using platform::xl::Edge;
using platform::xl::Style;
using testing_support::ScratchDir;

bool libreOfficeInstalled() { return std::system("command -v soffice >/dev/null 2>&1") == 0; }

Style withFormat(const char* format) {
  Style s;
  s.numberFormat = format;
  return s;
}

// Every kind of value and look a report holds, in a layout of merges, widths and a filter.
WorkbookData reportLikeWorkbook() {
  WorkbookData wb;
  SheetData s;
  s.name = "BOM Report";
  Style header;
  header.bold = true;
  header.fontSize = 15;
  header.fill = 9478398;
  header.left = header.top = header.right = header.bottom = Edge{1, 2, 0};
  Style text;
  text.numberFormat = "@";
  text.fontSize = 9;
  text.wrap = true;
  Style red = text;
  red.fontColor = 255;
  red.fill = 6579455;
  const char* heads[] = {"No", "Value", "Decal", "QTY", "Name"};
  for (long c = 1; c <= 5; ++c) s.cells.push_back(CellData{1, c, heads[c - 1], header});
  auto add = [&s](long r, long c, vb::Variant v, Style st = {}) { s.cells.push_back(CellData{r, c, std::move(v), st}); };
  add(2, 1, 1.0, text);
  add(2, 2, "4K7", text);
  add(2, 3, "0603", text);
  add(2, 4, 3.0);
  add(2, 5, "R1,R2,R10", text);
  add(3, 1, "电阻，贴片 0Ω", red);
  add(3, 2, "  blanks around  ");
  add(3, 3, "tab\tand\nline, a&b <c> \"d\" 'e'", text);  // wrapped: LibreOffice wraps a text of lines
  add(3, 4, "_x0041_ stays as written");
  add(4, 1, -2.5);
  add(4, 2, 0.25, withFormat("# ?/?"));
  add(4, 3, 1.0 / 3, withFormat("0.000"));
  add(4, 4, 1e20);
  add(5, 1, true);
  add(5, 2, false);
  add(5, 3, vb::ErrorValue{vb::kErrNA});
  add(5, 4, vb::ErrorValue{2007});
  add(6, 1, "merged", header);
  add(6, 2, vb::Variant(), header);
  add(7, 1, vb::Variant(), header);
  add(7, 2, vb::Variant(), header);
  s.merges.push_back(Area{6, 1, 7, 2});
  s.columnWidths = {{1, 10}, {2, 15}, {3, 15}, {4, 5}, {5, 25}};
  s.filter = Area{1, 1, 5, 5};
  wb.sheets.push_back(s);
  SheetData list;
  list.name = "List Report";
  list.cells.push_back(CellData{1, 1, "No.", {}});
  list.cells.push_back(CellData{100, 3, "far below", {}});
  wb.sheets.push_back(list);
  wb.activeSheet = 2;
  return wb;
}

TEST(LibreOffice, ReadsTheCellsLooksAndLayoutThatWereSaved) {
  if (!libreOfficeInstalled()) GTEST_SKIP() << "LibreOffice is not installed";
  ScratchDir dir("libreoffice");
  const WorkbookData wb = reportLikeWorkbook();
  const std::string saved = dir.path("report.xlsx");
  formats::saveXlsx(wb, saved);
  // LibreOffice reads the file and writes a workbook of its own.
  const std::string command = "cd '" + dir.dir().string() +
                              "' && soffice --headless --norestore -env:UserInstallation=file://" + dir.path("profile") +
                              " --convert-to xlsx --outdir converted report.xlsx >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string converted = dir.path("converted/report.xlsx");
  ASSERT_TRUE(fs::exists(converted));
  EXPECT_EQ(testing_support::dumpWorkbook(formats::loadWorkbookFile(converted)),
            testing_support::dumpWorkbook(formats::loadWorkbookFile(saved)));
  EXPECT_EQ(formats::loadWorkbookFile(converted).activeSheet, 2);
}

}  // namespace
