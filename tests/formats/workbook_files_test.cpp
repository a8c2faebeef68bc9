// Workbook files: .xlsx written and read back, checked independently with openpyxl;
// .xlsx files as other tools write them; the real Altium .xls; .csv in UTF-8 and
// GBK; and files that are no workbook.
#include "formats/workbook_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <random>
#include <set>
#include <sstream>

#include "support/scratch_dir.h"
#include "support/zip_fixture.h"
#include "vb/convert.h"
#include "vb/error.h"

namespace {

namespace fs = std::filesystem;
using platform::xl::Area;
using platform::xl::Edge;
using platform::xl::Style;
using formats::CellData;
using formats::SheetData;
using formats::WorkbookData;
using testing_support::readBytes;
using testing_support::ScratchDir;
using testing_support::writeZip;
using vb::Variant;

std::string valueText(const Variant& v) {
  switch (v.type()) {
    case Variant::Type::Empty: return "empty";
    case Variant::Type::Number: return "n:" + vb::numberText(v.number());
    case Variant::Type::Text: return "s:" + v.text();
    case Variant::Type::Boolean: return v.boolean() ? "b:TRUE" : "b:FALSE";
    case Variant::Type::Error: return "e:" + std::to_string(v.error().code);
  }
  return "?";
}

std::string edgeText(const Edge& e) {
  return std::to_string(e.lineStyle) + "/" + std::to_string(e.weight) + "/" + std::to_string(e.colorIndex);
}

std::string styleText(const Style& s) {
  std::ostringstream o;
  o << "fmt=" << s.numberFormat << " bold=" << s.bold << " size=" << s.fontSize << " colour=" << s.fontColor
    << " fill=" << s.fill << " wrap=" << s.wrap << " borders=" << edgeText(s.left) << "," << edgeText(s.top) << ","
    << edgeText(s.right) << "," << edgeText(s.bottom);
  return o.str();
}

// The cells of a sheet as sorted lines, so a failure shows what differs.
std::vector<std::string> cellLines(const SheetData& sheet) {
  std::vector<CellData> cells = sheet.cells;
  std::sort(cells.begin(), cells.end(),
            [](const CellData& a, const CellData& b) { return std::pair(a.row, a.col) < std::pair(b.row, b.col); });
  std::vector<std::string> out;
  for (const CellData& c : cells)
    out.push_back(platform::xl::columnLetters(c.col) + std::to_string(c.row) + " " + valueText(c.value) + " " +
                  styleText(c.style));
  return out;
}

const CellData* cellAt(const SheetData& sheet, long row, long col) {
  for (const CellData& c : sheet.cells)
    if (c.row == row && c.col == col) return &c;
  return nullptr;
}

Variant valueAt(const SheetData& sheet, long row, long col) {
  const CellData* c = cellAt(sheet, row, col);
  return c ? c->value : Variant();
}

Style withFormat(const std::string& f) {
  Style s;
  s.numberFormat = f;
  return s;
}

constexpr Edge kThinBlack{1, 2, 1};
constexpr Edge kThinAuto{1, 2, 0};

// A workbook with every kind of value and every look the writer keeps.
WorkbookData sampleWorkbook() {
  WorkbookData wb;
  wb.name = "sample";

  SheetData bom;
  bom.name = "BOM";
  auto add = [&bom](long r, long c, Variant v, Style s = {}) { bom.cells.push_back(CellData{r, c, std::move(v), s}); };
  Style header;
  header.bold = true;
  header.fill = 65535;  // yellow
  header.left = header.top = header.right = header.bottom = kThinBlack;
  add(1, 1, "Designator", header);
  add(1, 2, "Footprint", header);
  add(1, 3, "Qty", header);
  add(1, 4, "Value", header);
  add(2, 1, "R1");
  add(2, 2, "0402", withFormat("@"));  // looks like a number, stays a text
  add(2, 3, 12.5);
  add(2, 4, 0.25, withFormat("# ?/?"));
  add(3, 1, "C1");
  add(3, 2, -3);
  add(3, 3, 1.0 / 3, withFormat("0.000"));
  add(3, 4, 1234.5, withFormat("#,##0.00 \"mm\""));
  add(4, 1, true);
  add(4, 2, false);
  add(4, 3, vb::ErrorValue{vb::kErrNA});
  add(4, 4, vb::ErrorValue{2007});  // #DIV/0!
  Style big;
  big.fontSize = 16;
  big.fontColor = 255;  // red
  big.wrap = true;
  big.bottom = kThinAuto;
  add(5, 1, "电阻 0Ω，贴片", big);
  Style blackFill;
  blackFill.fill = 0;
  blackFill.fontColor = 16777215;
  add(5, 2, "white on black", blackFill);
  add(5, 3, Variant(), header);  // a look without a value
  add(5, 4, "tab\there\nline two _x0041_ kept");
  // A merged title: the top-left value stays, each cell keeps its own look.
  Style title = header;
  title.numberFormat = "0.000";
  add(7, 1, 42.0, title);
  add(7, 2, Variant(), header);
  add(7, 3, Variant(), header);
  bom.merges.push_back(Area{7, 1, 7, 3});
  bom.columnWidths = {{1, 20}, {2, 8.43}, {4, 35.71}};
  bom.filter = Area{1, 1, 5, 4};
  wb.sheets.push_back(bom);

  SheetData summary;
  summary.name = "汇总";
  summary.cells.push_back(CellData{1, 1, "总数", {}});
  summary.cells.push_back(CellData{1048576, 16384, 1.0, {}});  // the last cell of a sheet
  wb.sheets.push_back(summary);

  SheetData empty;
  empty.name = "Sheet 3";
  wb.sheets.push_back(empty);
  wb.activeSheet = 2;
  return wb;
}

TEST(XlsxRoundTrip, KeepsValuesLooksAndSheetLayout) {
  ScratchDir dir("workbook-files");
  const std::string path = dir.path("round trip.xlsx");
  const WorkbookData wb = sampleWorkbook();
  formats::saveXlsx(wb, path);
  const WorkbookData back = formats::loadWorkbookFile(path);

  EXPECT_EQ(back.name, "round trip");
  EXPECT_EQ(back.fullName, path);
  ASSERT_EQ(back.sheets.size(), 3u);
  EXPECT_EQ(back.sheets[0].name, "BOM");
  EXPECT_EQ(back.sheets[1].name, "汇总");
  EXPECT_EQ(back.sheets[2].name, "Sheet 3");
  EXPECT_EQ(back.activeSheet, 2);

  EXPECT_EQ(cellLines(back.sheets[0]), cellLines(wb.sheets[0]));
  EXPECT_EQ(cellLines(back.sheets[1]), cellLines(wb.sheets[1]));
  EXPECT_TRUE(back.sheets[2].cells.empty());

  EXPECT_EQ(back.sheets[0].columnWidths, wb.sheets[0].columnWidths);
  EXPECT_EQ(back.sheets[0].merges, wb.sheets[0].merges);
  EXPECT_EQ(back.sheets[0].filter, wb.sheets[0].filter);
  EXPECT_FALSE(back.sheets[1].filter.has_value());
}

TEST(XlsxRoundTrip, NormalisesWhatTheFileCannotHold) {
  ScratchDir dir("workbook-files");
  const std::string path = dir.path("normalised.xlsx");
  WorkbookData wb;
  SheetData s;
  s.name = "S";
  Style weightOnly;  // any edge with a line style or weight is written as a thin line
  weightOnly.left = Edge{0, 2, 0};
  weightOnly.right = Edge{-4119, 4, 1};
  weightOnly.top = Edge{-4142, 2, 0};  // no line
  s.cells.push_back(CellData{1, 1, "x", weightOnly});
  s.cells.push_back(CellData{1, 2, "", withFormat("@")});  // an empty text is an empty cell
  s.cells.push_back(CellData{1, 3, "", {}});
  s.cells.push_back(CellData{1, 4, std::string(40000, 'a'), {}});
  s.cells.push_back(CellData{1, 5, std::string("bad \xFF byte"), {}});
  s.merges.push_back(Area{2, 1, 3, 2});
  s.cells.push_back(CellData{2, 1, "kept", {}});
  s.cells.push_back(CellData{3, 2, "dropped by the merge", {}});
  s.columnWidths[6] = 12.5;  // widths snap to whole pixels, as in the spreadsheet
  wb.sheets.push_back(s);
  formats::saveXlsx(wb, path);
  const SheetData back = formats::loadWorkbookFile(path).sheets.at(0);

  const CellData* a1 = cellAt(back, 1, 1);
  ASSERT_NE(a1, nullptr);
  EXPECT_EQ(edgeText(a1->style.left), edgeText(kThinAuto));
  EXPECT_EQ(edgeText(a1->style.right), edgeText(kThinBlack));
  EXPECT_EQ(edgeText(a1->style.top), edgeText(Edge{}));
  ASSERT_NE(cellAt(back, 1, 2), nullptr);
  EXPECT_TRUE(cellAt(back, 1, 2)->value.isEmpty());
  EXPECT_EQ(cellAt(back, 1, 2)->style.numberFormat, "@");
  EXPECT_EQ(cellAt(back, 1, 3), nullptr);
  EXPECT_EQ(valueAt(back, 1, 4).text(), std::string(32767, 'a'));
  EXPECT_EQ(valueAt(back, 1, 5).text(), "bad \xEF\xBF\xBD byte");
  EXPECT_EQ(valueText(valueAt(back, 2, 1)), "s:kept");
  EXPECT_EQ(cellAt(back, 3, 2), nullptr);
  EXPECT_DOUBLE_EQ(back.columnWidths.at(6), 12.57);
}

std::vector<std::string> runOpenpyxl(const std::string& xlsx) {
  const std::string script = std::string(VELMORA_SOURCE_DIR) + "/tests/formats/fixtures/read_xlsx.py";
  const std::string cmd = "/usr/bin/python3 '" + script + "' '" + xlsx + "' 2>&1";
  std::vector<std::string> lines;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return lines;
  std::string all;
  std::array<char, 4096> buf{};
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) all.append(buf.data(), n);
  if (pclose(p) != 0) return {"openpyxl failed: " + all};
  std::istringstream in(all);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool openpyxlAvailable() {
  return std::system("/usr/bin/python3 -c 'import openpyxl' >/dev/null 2>&1") == 0;
}

TEST(XlsxRoundTrip, OpenpyxlReadsWhatWasWritten) {
  if (!openpyxlAvailable()) GTEST_SKIP() << "python3-openpyxl is not installed";
  ScratchDir dir("workbook-files");
  const std::string path = dir.path("independent.xlsx");
  WorkbookData wb = sampleWorkbook();
  wb.sheets[1].cells.pop_back();  // keep openpyxl from walking a whole sheet
  formats::saveXlsx(wb, path);

  std::vector<std::string> got = runOpenpyxl(path);
  std::vector<std::string> want = {
      "sheet BOM",
      "sheet 汇总",
      "sheet Sheet 3",
      "active 汇总",
      "cell BOM!A1 s Designator",
      "cell BOM!B1 s Footprint",
      "cell BOM!C1 s Qty",
      "cell BOM!D1 s Value",
      "cell BOM!A2 s R1",
      "cell BOM!B2 s 0402",
      "format BOM!B2 @",
      "cell BOM!C2 n 12.5",
      "cell BOM!D2 n 0.25",
      "format BOM!D2 # ?/?",
      "cell BOM!A3 s C1",
      "cell BOM!B3 n -3",
      "cell BOM!C3 n 0.333333333333333",
      "format BOM!C3 0.000",
      "cell BOM!D3 n 1234.5",
      "format BOM!D3 #,##0.00 \"mm\"",
      "cell BOM!A4 b TRUE",
      "cell BOM!B4 b FALSE",
      "cell BOM!C4 f =NA() = #N/A",
      "cell BOM!D4 f =#DIV/0! = #DIV/0!",
      "cell BOM!A5 s 电阻 0Ω，贴片",
      "font BOM!A5 16 FF0000",
      "cell BOM!B5 s white on black",
      "fill BOM!B5 000000",
      "font BOM!B5 11 FFFFFF",
      "cell BOM!D5 s tab\there",
      "line two _x0041_ kept",
      "cell BOM!A7 n 42",
      "format BOM!A7 0.000",
      "merge BOM A7:C7",
      "filter BOM A1:D5",
      "cell 汇总!A1 s 总数",
  };
  // openpyxl reports no look for the covered cells of a merged range (B7, C7).
  for (const char* c : {"A1", "B1", "C1", "D1", "C5", "A7"}) {
    want.push_back(std::string("fill BOM!") + c + " FFFF00");
    want.push_back(std::string("bold BOM!") + c);
  }
  std::sort(got.begin(), got.end());
  std::sort(want.begin(), want.end());
  EXPECT_EQ(got, want);
}

TEST(XlsxSave, FailureNamesThePathAndLeavesTheOldFile) {
  ScratchDir dir("workbook-files");
  WorkbookData wb = sampleWorkbook();

  const std::string missingFolder = dir.path("no such folder/out.xlsx");
  try {
    formats::saveXlsx(wb, missingFolder);
    FAIL() << "saving into a missing folder succeeded";
  } catch (const formats::FileError& e) {
    EXPECT_EQ(e.kind(), formats::FileError::Kind::Unwritable);
    EXPECT_NE(std::string(e.what()).find(missingFolder), std::string::npos) << e.what();
  }

  const std::string target = dir.write("kept.xlsx", "the old file");
  wb.sheets[0].name = "bad/name";
  try {
    formats::saveXlsx(wb, target);
    FAIL() << "a sheet name with a slash was saved";
  } catch (const formats::FileError& e) {
    EXPECT_EQ(e.kind(), formats::FileError::Kind::Unwritable);
    EXPECT_NE(std::string(e.what()).find("bad/name"), std::string::npos) << e.what();
  }
  EXPECT_EQ(readBytes(target), "the old file");

  const std::string folderAsTarget = dir.path("a folder.xlsx");
  fs::create_directories(fs::path(folderAsTarget) / "inside");
  wb.sheets[0].name = "BOM";
  EXPECT_THROW(formats::saveXlsx(wb, folderAsTarget), formats::FileError);

  // Only the files this test made are left: no temporary file of a failed save.
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir.dir())) names.insert(e.path().filename().string());
  EXPECT_EQ(names, (std::set<std::string>{"kept.xlsx", "a folder.xlsx"}));
}

// Parts of a package as other tools write them: prefixed element names, rich text
// with phonetic runs, inline strings, cells without references, theme and indexed
// colours, LibreOffice's default column records, a formula's cached text.
std::vector<std::pair<std::string, std::string>> foreignPackage() {
  const std::string ns = "xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                         "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";
  return {
      {"[Content_Types].xml", "<?xml version=\"1.0\"?><Types/>"},
      {"_rels/.rels",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
       "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
       "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
       "Target=\"/book/main.xml\"/></Relationships>"},
      {"book/_rels/main.xml.rels",
       "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
       "<Relationship Id=\"s1\" Type=\"http://x/worksheet\" Target=\"sheets/one.xml\"/>"
       "<Relationship Id=\"s2\" Type=\"http://x/worksheet\" Target=\"../book/sheets/two.xml\"/>"
       "<Relationship Id=\"ss\" Type=\"http://x/sharedStrings\" Target=\"strings.xml\"/>"
       "<Relationship Id=\"st\" Type=\"http://x/styles\" Target=\"looks.xml\"/>"
       "<Relationship Id=\"th\" Type=\"http://x/theme\" Target=\"theme/theme1.xml\"/>"
       "<Relationship Id=\"ext\" Type=\"http://x/hyperlink\" Target=\"http://example.invalid/\" "
       "TargetMode=\"External\"/></Relationships>"},
      {"book/main.xml",
       "<x:workbook " + ns +
           "><x:bookViews><x:workbookView activeTab=\"1\"/></x:bookViews><x:sheets>"
           "<x:sheet name=\"Parts\" sheetId=\"1\" r:id=\"s1\"/><x:sheet name=\"备注\" sheetId=\"2\" r:id=\"s2\"/>"
           "</x:sheets></x:workbook>"},
      {"book/strings.xml",
       "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" count=\"3\" uniqueCount=\"3\">"
       "<si><r><rPr><b/></rPr><t>Res</t></r><r><t xml:space=\"preserve\">istor 10k</t></r>"
       "<rPh sb=\"0\" eb=\"1\"><t>ふりがな</t></rPh></si>"
       "<si><t>line_x000D__x000A_break</t></si><si><t/></si></sst>"},
      {"book/theme/theme1.xml",
       "<a:theme xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\"><a:themeElements>"
       "<a:clrScheme name=\"Office\"><a:dk1><a:sysClr val=\"windowText\" lastClr=\"000000\"/></a:dk1>"
       "<a:lt1><a:sysClr val=\"window\" lastClr=\"FFFFFF\"/></a:lt1><a:dk2><a:srgbClr val=\"1F497D\"/></a:dk2>"
       "<a:lt2><a:srgbClr val=\"EEECE1\"/></a:lt2><a:accent1><a:srgbClr val=\"4F81BD\"/></a:accent1>"
       "</a:clrScheme></a:themeElements></a:theme>"},
      {"book/looks.xml",
       "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
       "<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"0.000\"/></numFmts>"
       "<fonts count=\"3\"><font><sz val=\"10\"/><color theme=\"1\"/><name val=\"Arial\"/></font>"
       "<font><b val=\"true\"/><sz val=\"12\"/><color rgb=\"FF0000FF\"/></font>"
       "<font><b val=\"0\"/><sz val=\"10\"/><color indexed=\"10\"/></font></fonts>"
       "<fills count=\"4\"><fill><patternFill patternType=\"none\"/></fill><fill><patternFill patternType=\"gray125\"/>"
       "</fill><fill><patternFill patternType=\"solid\"><fgColor rgb=\"FFFFFF00\"/><bgColor indexed=\"64\"/>"
       "</patternFill></fill><fill><patternFill patternType=\"solid\"><fgColor theme=\"4\" tint=\"0.79998168889431442\"/>"
       "</patternFill></fill></fills>"
       "<borders count=\"2\"><border><left/><right/><top/><bottom/><diagonal/></border>"
       "<border><left style=\"thin\"><color indexed=\"64\"/></left><right style=\"medium\"><color rgb=\"FF000000\"/>"
       "</right><top style=\"hair\"><color auto=\"1\"/></top><bottom style=\"thick\"/></border></borders>"
       "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"1\" fillId=\"2\" borderId=\"1\"/></cellStyleXfs>"
       "<cellXfs count=\"6\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/>"
       "<xf numFmtId=\"49\" fontId=\"1\" fillId=\"2\" borderId=\"1\"><alignment wrapText=\"1\"/></xf>"
       "<xf numFmtId=\"164\" fontId=\"2\" fillId=\"3\" borderId=\"0\"/>"
       "<xf numFmtId=\"12\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/>"
       "<xf numFmtId=\"13\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/>"
       "<xf numFmtId=\"2\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellXfs>"
       "<dxfs count=\"1\"><dxf><font><b/></font><fill><patternFill><bgColor rgb=\"FFFF0000\"/></patternFill></fill>"
       "</dxf></dxfs></styleSheet>"},
      {"book/sheets/one.xml",
       "<x:worksheet " + ns +
           "><x:cols><x:col min=\"2\" max=\"3\" width=\"20.7109375\" customWidth=\"1\"/>"
           "<x:col min=\"4\" max=\"1024\" width=\"11.52\" customWidth=\"false\"/>"
           "<x:col min=\"5\" max=\"5\" width=\"9\" hidden=\"1\" customWidth=\"1\"/></x:cols><x:sheetData>"
           "<x:row r=\"1\"><x:c r=\"A1\" t=\"s\" s=\"1\"><x:v>0</x:v></x:c><x:c r=\"B1\" t=\"s\"><x:v>1</x:v></x:c>"
           "<x:c r=\"C1\" t=\"s\"><x:v>2</x:v></x:c></x:row>"
           "<x:row><x:c><x:v>1.5E+3</x:v></x:c><x:c t=\"inlineStr\" s=\"2\"><x:is><x:t>inline 0603</x:t></x:is></x:c>"
           "<x:c t=\"b\"><x:v>0</x:v></x:c><x:c t=\"e\"><x:v>#REF!</x:v></x:c>"
           "<x:c t=\"str\"><x:f>A1&amp;\"!\"</x:f><x:v>Resistor!</x:v></x:c><x:c s=\"3\"/></x:row>"
           "<x:row r=\"5\"><x:c r=\"C5\" s=\"4\"><x:v>0.5</x:v></x:c><x:c r=\"D5\" s=\"5\"><x:f>1/0</x:f></x:c>"
           "<x:c r=\"E5\" t=\"d\"><x:v>2024-02-29T12:00:00</x:v></x:c></x:row>"
           "</x:sheetData><x:autoFilter ref=\"A1:C5\"/><x:mergeCells count=\"1\"><x:mergeCell ref=\"A7:B8\"/>"
           "</x:mergeCells></x:worksheet>"},
      {"book/sheets/two.xml",
       "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>"
       "<row r=\"2\"><c r=\"B2\" t=\"inlineStr\"><is><r><t>备</t></r><r><t>注</t></r></is></c></row>"
       "</sheetData></worksheet>"},
  };
}

TEST(XlsxRead, ReadsFilesOfOtherTools) {
  ScratchDir dir("workbook-files");
  const std::string path = dir.path("Foreign.XLSX");
  writeZip(path, foreignPackage());
  const WorkbookData wb = formats::loadWorkbookFile(path);

  EXPECT_EQ(wb.name, "Foreign");
  ASSERT_EQ(wb.sheets.size(), 2u);
  EXPECT_EQ(wb.sheets[0].name, "Parts");
  EXPECT_EQ(wb.sheets[1].name, "备注");
  EXPECT_EQ(wb.activeSheet, 2);
  const SheetData& s = wb.sheets[0];

  struct Expected {
    long row, col;
    std::string value;
  };
  for (const Expected& e : std::vector<Expected>{{1, 1, "s:Resistor 10k"},
                                                 {1, 2, "s:line\r\nbreak"},
                                                 {1, 3, "s:"},
                                                 {2, 1, "n:1500"},
                                                 {2, 2, "s:inline 0603"},
                                                 {2, 3, "b:FALSE"},
                                                 {2, 4, "e:2023"},
                                                 {2, 5, "s:Resistor!"},
                                                 {2, 6, "empty"},
                                                 {5, 3, "n:0.5"},
                                                 {5, 4, "empty"},
                                                 {5, 5, "n:45351.5"}})
    EXPECT_EQ(valueText(valueAt(s, e.row, e.col)), e.value) << platform::xl::columnLetters(e.col) << e.row;

  Style a1;
  a1.numberFormat = "@";
  a1.bold = true;
  a1.fontSize = 12;
  a1.fontColor = 16711680;  // blue
  a1.fill = 65535;
  a1.wrap = true;
  a1.left = Edge{1, 2, 0};
  a1.right = Edge{1, -4138, 1};
  a1.top = Edge{1, 1, 0};
  a1.bottom = Edge{1, 4, 0};
  EXPECT_EQ(styleText(cellAt(s, 1, 1)->style), styleText(a1));

  Style b2 = cellAt(s, 2, 2)->style;
  EXPECT_EQ(b2.numberFormat, "0.000");
  EXPECT_FALSE(b2.bold);
  EXPECT_EQ(b2.fontSize, 10);
  EXPECT_EQ(b2.fontColor, 255);  // palette entry 10 is red
  // Accent 1 (4F81BD) lightened by 80 % is DCE6F1 in the spreadsheet; rounding may differ by one.
  const std::array<long, 3> want{0xDC, 0xE6, 0xF1};
  for (int k = 0; k < 3; ++k) EXPECT_NEAR((b2.fill >> (8 * k)) & 0xFF, want[static_cast<size_t>(k)], 1) << k;

  EXPECT_EQ(cellAt(s, 2, 1)->style.fontSize, 10);  // the default look of this file
  EXPECT_EQ(cellAt(s, 2, 6)->style.numberFormat, "# ?/?");
  EXPECT_EQ(cellAt(s, 5, 3)->style.numberFormat, "# ?\?/?\?");
  EXPECT_EQ(cellAt(s, 5, 4)->style.numberFormat, "0.00");

  EXPECT_EQ(s.columnWidths, (std::map<long, double>{{2, 20}, {3, 20}, {5, 0}}));
  EXPECT_EQ(s.filter, (Area{1, 1, 5, 3}));
  EXPECT_EQ(s.merges, (std::vector<Area>{Area{7, 1, 8, 2}}));
  EXPECT_EQ(valueText(valueAt(wb.sheets[1], 2, 2)), "s:备注");
}

TEST(XlsxRead, PartsAreFoundWhateverTheCaseOfTheirNamesAndTheFirstOfTwoEntriesHolds) {
  // Part names are matched without regard to case, as the relationships need not spell
  // them as the archive does; of two entries of one name, the first is read.
  ScratchDir dir("workbook-files");
  const std::string path = dir.path("cased.xlsx");
  auto sheet = [](const char* text) {
    return std::string("<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>") + text +
           "</t></is></c></row></sheetData></worksheet>";
  };
  writeZip(path, {{"XL/Workbook.XML",
                   "<workbook xmlns:r=\"r\"><sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
                  {"xl/_rels/workbook.xml.rels",
                   "<Relationships><Relationship Id=\"rId1\" Type=\"http://x/worksheet\" "
                   "Target=\"worksheets/SHEET1.xml\"/></Relationships>"},
                  {"xl/worksheets/sheet1.xml", sheet("first")},
                  {"xl/worksheets/Sheet1.xml", sheet("second")}});
  const WorkbookData wb = formats::loadWorkbookFile(path);
  ASSERT_EQ(wb.sheets.size(), 1u);
  EXPECT_EQ(valueText(valueAt(wb.sheets[0], 1, 1)), "s:first");
}

TEST(XlsRead, ReadsTheAltiumBom) {
  const std::string path = std::string(VELMORA_SHARED_DIR) + "/samples/altium_bom_can_gateway_4.xls";
  const WorkbookData wb = formats::loadWorkbookFile(path);
  EXPECT_EQ(wb.name, "altium_bom_can_gateway_4");
  EXPECT_EQ(wb.fullName, path);
  ASSERT_EQ(wb.sheets.size(), 3u);
  EXPECT_EQ(wb.sheets[0].name, "BOM");
  EXPECT_EQ(wb.sheets[1].name, "Sheet2");
  EXPECT_EQ(wb.sheets[2].name, "Sheet3");
  EXPECT_TRUE(wb.sheets[1].cells.empty());
  EXPECT_TRUE(wb.sheets[2].cells.empty());

  const SheetData& bom = wb.sheets[0];
  const std::vector<std::string> header{"Comment", "Description", "Designator", "Footprint", "LibRef", "Quantity"};
  for (long c = 1; c <= 6; ++c) EXPECT_EQ(valueText(valueAt(bom, 1, c)), "s:" + header[c - 1]);

  long lastRow = 0;
  double parts = 0;
  bool chinese = false;
  for (const CellData& c : bom.cells) {
    lastRow = std::max(lastRow, c.row);
    if (c.row > 1 && c.col == 6) {
      ASSERT_TRUE(c.value.isNumber()) << "row " << c.row;
      parts += c.value.number();
    }
    if (c.value.isText() && c.value.text().find("全志") != std::string::npos) chinese = true;
    EXPECT_FALSE(c.value.isText() && c.value.text().empty()) << "an empty text is no cell";
  }
  EXPECT_EQ(lastRow, 63);  // the header and 62 grouped lines
  EXPECT_EQ(parts, 219);
  EXPECT_TRUE(chinese);
  EXPECT_EQ(valueText(valueAt(bom, 2, 1)), "s:0Ω");
  EXPECT_EQ(valueText(valueAt(bom, 2, 3)), "s:R41");
  EXPECT_EQ(valueText(valueAt(bom, 3, 3)), "s:C72, C90");
  EXPECT_TRUE(valueAt(bom, 61, 2).isEmpty());  // the empty description of J1
}

// A quantity stored as an RK value whose bits are no number (as a damaged file holds one)
// reads as #NUM!, and a save and an open keep it so.
TEST(XlsRead, AStoredValueThatIsNoNumberReadsAsNumError) {
  ScratchDir dir("workbook-files");
  std::string bytes = readBytes(std::string(VELMORA_SHARED_DIR) + "/samples/altium_bom_can_gateway_4.xls");
  // The RK record of F9 (row 8, column 5 from 0): type 0x027E, 10 bytes, then row,
  // column, format and the value.
  const std::string record("\x7e\x02\x0a\x00\x08\x00\x05\x00", 8);
  const size_t at = bytes.find(record);
  ASSERT_NE(at, std::string::npos);
  bytes.replace(at + 10, 4, std::string("\x00\xff\xff\xff", 4));
  const WorkbookData wb = formats::loadWorkbookFile(dir.write("nan.xls", bytes));
  EXPECT_EQ(valueText(valueAt(wb.sheets[0], 9, 6)), valueText(vb::Variant(vb::ErrorValue{vb::kErrNum})));
  formats::saveXlsx(wb, dir.path("nan.xlsx"));
  const WorkbookData again = formats::loadWorkbookFile(dir.path("nan.xlsx"));
  EXPECT_EQ(valueText(valueAt(again.sheets[0], 9, 6)), valueText(valueAt(wb.sheets[0], 9, 6)));
}

TEST(CsvRead, DecodesQuotesNumbersAndLineEnds) {
  ScratchDir dir("workbook-files");
  struct Case {
    std::string name, bytes;
    std::vector<std::pair<std::string, std::string>> cells;  // A1 -> value text
  };
  const std::string gbkResistor = "\xB5\xE7\xD7\xE8";  // 电阻 in GBK
  const std::vector<Case> cases{
      {"gbk.csv",
       "Designator,Value\r\nR1," + gbkResistor + "\r\nR2,\"10,5\"\r\n",
       {{"A1", "s:Designator"}, {"B1", "s:Value"}, {"A2", "s:R1"}, {"B2", "s:电阻"}, {"A3", "s:R2"}, {"B3", "s:10,5"}}},
      {"bom utf8.CSV",
       "\xEF\xBB\xBF" "名称,数量\n电容,\" 3 \"\n",
       {{"A1", "s:名称"}, {"B1", "s:数量"}, {"A2", "s:电容"}, {"B2", "n:3"}}},
      {"quotes.csv",
       "\"say \"\"hi\"\"\",\"two\nlines\",0402\r,,x\r\r1.5E3,-2,\"\"\n",
       {{"A1", "s:say \"hi\""}, {"B1", "s:two\nlines"}, {"C1", "n:402"}, {"C2", "s:x"}, {"A4", "n:1500"},
        {"B4", "n:-2"}}},
      {"last line.csv", "a,b\nc,d", {{"A1", "s:a"}, {"B1", "s:b"}, {"A2", "s:c"}, {"B2", "s:d"}}},
      {"empty.csv", "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.write(c.name, c.bytes);
    const WorkbookData wb = formats::loadWorkbookFile(path);
    const std::string base = fs::path(c.name).stem().string();
    EXPECT_EQ(wb.name, base);
    ASSERT_EQ(wb.sheets.size(), 1u);
    EXPECT_EQ(wb.sheets[0].name, base);
    std::vector<std::pair<std::string, std::string>> got;
    std::vector<CellData> cells = wb.sheets[0].cells;
    for (const CellData& cell : cells) {
      got.emplace_back(platform::xl::columnLetters(cell.col) + std::to_string(cell.row), valueText(cell.value));
      EXPECT_EQ(cell.style, Style{});
    }
    EXPECT_EQ(got, c.cells);
  }
}

TEST(WorkbookFileErrors, FilesThatAreNoWorkbookAreMalformed) {
  ScratchDir dir("workbook-files");
  // A valid package to truncate.
  const std::string good = dir.path("good.xlsx");
  formats::saveXlsx(sampleWorkbook(), good);
  const std::string goodBytes = readBytes(good);

  // The real .xls cut in half, and with ten bytes of its records changed (a row
  // number, string lengths, ...): libfreexl crashed on this one.
  const std::string altium = readBytes(std::string(VELMORA_SHARED_DIR) + "/samples/altium_bom_can_gateway_4.xls");
  ASSERT_EQ(altium.size(), 15872u);
  std::string damagedAltium = altium;
  for (const auto& [at, byte] : std::vector<std::pair<size_t, unsigned char>>{{6693, 0xb9},
                                                                               {7450, 0x30},
                                                                               {7536, 0x70},
                                                                               {7922, 0x03},
                                                                               {9173, 0xe1},
                                                                               {11022, 0x15},
                                                                               {11478, 0xbc},
                                                                               {11908, 0x3d},
                                                                               {11976, 0x7c},
                                                                               {13030, 0xb4}})
    damagedAltium[at] = static_cast<char>(byte);

  // A header that claims a billion FAT sectors, listed by a DIFAT sector that names
  // itself as the next one: reading the table once took all memory.
  std::string endlessFat = altium;
  const std::vector<std::pair<size_t, uint32_t>> endlessFields{
      {0x2C, 0x40000001}, {0x44, 0}, {0x48, 0x05000000}, {512 + 508, 0}};
  for (const auto& [at, value] : endlessFields)
    for (int b = 0; b < 4; ++b) endlessFat[at + b] = static_cast<char>(value >> (8 * b));

  std::mt19937 rng(7);
  std::string noise(5000, '\0');
  for (char& ch : noise) ch = static_cast<char>(rng());

  auto pkg = [](const std::string& sheetXml, const std::string& strings) {
    return testing_support::oneSheetPackage(sheetXml, strings);
  };
  struct ZipCase {
    std::string name;
    std::vector<std::pair<std::string, std::string>> parts;
  };
  const std::vector<ZipCase> zips{
      {"no workbook.xlsx", {{"hello.txt", "hello"}}},
      {"bad xml.xlsx", pkg("<worksheet><sheetData><row><c><v>1</v></row></sheetData></worksheet>", "")},
      {"string index.xlsx",
       pkg("<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>5</v></c></row></sheetData></worksheet>",
           "<sst><si><t>only</t></si></sst>")},
      {"row beyond.xlsx",
       pkg("<worksheet><sheetData><row r=\"1048577\"><c><v>1</v></c></row></sheetData></worksheet>", "")},
      {"column beyond.xlsx",
       pkg("<worksheet><sheetData><row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row></sheetData></worksheet>", "")},
      {"huge ref.xlsx",
       pkg("<worksheet><sheetData><row r=\"1\"><c r=\"A99999999999\"><v>1</v></c></row></sheetData></worksheet>",
           "")},
      {"entities.xlsx",
       pkg("<!DOCTYPE w [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]>"
           "<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>&b;</t></is></c></row>"
           "</sheetData></worksheet>",
           "")},
      {"no sheet part.xlsx",
       {{"xl/workbook.xml",
         "<workbook xmlns:r=\"r\"><sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"rId9\"/></sheets></workbook>"}}},
      {"bad number.xlsx", pkg("<worksheet><sheetData><row r=\"1\"><c r=\"A1\"><v>12abc</v></c></row>"
                              "</sheetData></worksheet>",
                              "")},
  };
  for (const ZipCase& z : zips) writeZip(dir.path(z.name), z.parts);

  const std::vector<std::pair<std::string, std::string>> raw{
      {"not a zip.xlsx", "Designator,Value\r\nR1,10k\r\n"},
      {"truncated.xlsx", goodBytes.substr(0, goodBytes.size() / 2)},
      {"empty.xlsx", ""},
      {"empty.xls", ""},
      {"random.xls", noise},
      {"compound header only.xls", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + noise.substr(0, 600)},
      {"zip named xls.xls", goodBytes.substr(0, 1000)},
      {"unknown.et", noise},
      {"truncated.xls", altium.substr(0, altium.size() / 2)},
      {"damaged records.xls", damagedAltium},
      {"endless fat.xls", endlessFat},
  };
  for (const auto& [name, bytes] : raw) dir.write(name, bytes);

  std::vector<std::string> names;
  for (const ZipCase& z : zips) names.push_back(z.name);
  for (const auto& r : raw) names.push_back(r.first);
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    try {
      formats::loadWorkbookFile(dir.path(name));
      ADD_FAILURE() << "read as a workbook";
    } catch (const formats::FileError& e) {
      EXPECT_EQ(e.kind(), formats::FileError::Kind::Malformed);
      EXPECT_EQ(e.file(), dir.path(name));
      EXPECT_NE(std::string(e.what()).find("\xE2\x80\x9C" + name + "\xE2\x80\x9D is not a workbook or is damaged (" +
                                           e.problem() + ")"),
                std::string::npos)
          << e.what();
    }
  }
}

TEST(WorkbookFileErrors, MissingFileIsMissing) {
  ScratchDir dir("workbook-files");
  for (const char* name : {"missing.xlsx", "missing.xls", "missing.csv"}) {
    try {
      formats::loadWorkbookFile(dir.path(name));
      ADD_FAILURE() << name << " was read";
    } catch (const formats::FileError& e) {
      EXPECT_EQ(e.kind(), formats::FileError::Kind::Missing) << name;
      EXPECT_EQ(e.file(), dir.path(name));
    }
  }
}

TEST(XlsxLarge, HundredThousandRowsSaveAndLoadQuickly) {
  ScratchDir dir("workbook-files");
  const std::string path = dir.path("large.xlsx");
  constexpr long kRows = 100000, kCols = 13;
  WorkbookData wb;
  SheetData s;
  s.name = "List";
  s.cells.reserve(static_cast<size_t>(kRows * kCols));
  Style bold;
  bold.bold = true;
  for (long r = 1; r <= kRows; ++r) {
    for (long c = 1; c <= kCols; ++c) {
      Variant v;
      if (c == 1) v = "R" + std::to_string(r);
      else if (c % 3 == 0) v = static_cast<double>(r) * 0.5 + c;
      else if (c % 3 == 1) v = "RES" + std::to_string(r % 500);
      else v = std::to_string(1000 + r % 97);  // number-looking texts
      s.cells.push_back(CellData{r, c, v, r == 1 ? bold : (c == 2 ? withFormat("@") : Style{})});
    }
  }
  s.filter = Area{1, 1, kRows, kCols};
  wb.sheets.push_back(std::move(s));

  using Clock = std::chrono::steady_clock;
  auto t0 = Clock::now();
  formats::saveXlsx(wb, path);
  auto t1 = Clock::now();
  const WorkbookData back = formats::loadWorkbookFile(path);
  auto t2 = Clock::now();
  const double saveSeconds = std::chrono::duration<double>(t1 - t0).count();
  const double loadSeconds = std::chrono::duration<double>(t2 - t1).count();
  std::cout << "100000 x 13 cells: save " << saveSeconds << " s, load " << loadSeconds << " s\n";

  ASSERT_EQ(back.sheets.size(), 1u);
  const std::vector<CellData>& got = back.sheets[0].cells;
  const std::vector<CellData>& sent = wb.sheets[0].cells;  // already in row order
  ASSERT_EQ(got.size(), sent.size());
  size_t differ = 0;
  for (size_t i = 0; i < got.size(); ++i)
    if (got[i].row != sent[i].row || got[i].col != sent[i].col || !(got[i].value == sent[i].value) ||
        !(got[i].style == sent[i].style))
      ++differ;
  EXPECT_EQ(differ, 0u);
  EXPECT_EQ(back.sheets[0].filter, wb.sheets[0].filter);
  // A bound far above the measured times (about two seconds each) that catches
  // per-cell work growing with the sheet, without failing on a busy machine.
#if defined(__SANITIZE_ADDRESS__)
  constexpr double kLimit = 90;
#else
  constexpr double kLimit = 20;
#endif
  EXPECT_LT(saveSeconds, kLimit);
  EXPECT_LT(loadSeconds, kLimit);
}

TEST(XlsxLarge, SheetsLargeEnoughToBeWrittenAndReadSideBySideKeepTheirOrderAndCells) {
  // Small workbooks are written and read on the calling thread; these sheets hold enough
  // to be written and read on several threads, as side by side work has to keep them apart.
  ScratchDir dir("workbook-files");
  const std::string path = dir.path("sheets.xlsx");
  constexpr long kSheets = 5, kRows = 10000, kCols = 4;
  WorkbookData wb;
  for (long k = 1; k <= kSheets; ++k) {
    SheetData s;
    s.name = "Sheet " + std::to_string(k);
    for (long r = 1; r <= kRows; ++r)
      for (long c = 1; c <= kCols; ++c)
        s.cells.push_back(CellData{r, c, c == 1 ? Variant("S" + std::to_string(k) + "R" + std::to_string(r))
                                                : Variant(static_cast<double>(k * 100000 + r * 10 + c)),
                                   {}});
    s.merges.push_back(Area{kRows + 1, 1, kRows + 2, static_cast<long>(k)});
    wb.sheets.push_back(std::move(s));
  }
  wb.activeSheet = 3;
  formats::saveXlsx(wb, path);
  const WorkbookData back = formats::loadWorkbookFile(path);

  ASSERT_EQ(back.sheets.size(), static_cast<size_t>(kSheets));
  EXPECT_EQ(back.activeSheet, 3);
  for (size_t k = 0; k < back.sheets.size(); ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(back.sheets[k].name, wb.sheets[k].name);
    EXPECT_EQ(back.sheets[k].merges, wb.sheets[k].merges);
    ASSERT_EQ(back.sheets[k].cells.size(), wb.sheets[k].cells.size());
    size_t differ = 0;
    for (size_t i = 0; i < back.sheets[k].cells.size(); ++i) {
      const CellData &got = back.sheets[k].cells[i], &sent = wb.sheets[k].cells[i];
      if (got.row != sent.row || got.col != sent.col || !(got.value == sent.value)) ++differ;
    }
    EXPECT_EQ(differ, 0u);
  }
}

}  // namespace
