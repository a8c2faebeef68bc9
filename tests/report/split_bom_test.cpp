// The split BOM of "Format BOM": sheet 1 rebuilt from the seventeen-column change report on
// sheet 3, split by board side or by mounting type.
#include "report/split_bom.h"

#include <gtest/gtest.h>

#include <chrono>

#include "normalise/change_report.h"
#include "platform/workbook_helpers.h"
#include "sim/sim_spreadsheet.h"
#include "support/program_fixture.h"
#include "support/workbook_dump.h"
#include "report/category_bom.h"
#include "report/part_category_order.h"
#include "vb/convert.h"
#include "vb/dictionary.h"

namespace {

using testing_support::ProgramTest;
namespace xl = platform::xl;

struct Part {
  std::string value, decal, ref, category, layer, smd = "Yes";
};

using Split = void (*)(const platform::ReportFlow&);

class SplitBomTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    excel = world.programs.runSpreadsheet("Excel.Application");
    excel->setVisible(true);
    wb = excel->addWorkbook();
    state().spreadsheetApp = excel;
  }

  // The sorted change report on sheet 3 as the Format BOM pipeline leaves it (columns A to
  // O as text), and the counts handed on.
  void changeReport(const std::vector<Part>& parts) { changeReport(parts, *wb); }
  void changeReport(const std::vector<Part>& parts, xl::Workbook& book) {
    xl::SheetPtr s = book.sheet(3);
    s->columns("A:O").setNumberFormatLocal("@");
    const char* headings[] = {"No.", "Value", "PartDecal", "Qty", "RefDes", "Part Type", "Pins", "layer",
                              "Orient.", "X", "Y", "SMD", "Glued", "V-Change", "D-Change"};
    vb::Table t(static_cast<long>(parts.size()) + 1, 15);
    for (long c = 1; c <= 15; ++c) t(1, c) = headings[c - 1];
    for (size_t i = 0; i < parts.size(); ++i) {
      const Part& p = parts[i];
      long r = static_cast<long>(i) + 2;
      const vb::Variant cells[] = {std::to_string(i + 1), p.value, p.decal, "1", p.ref, p.category, "2", p.layer,
                                   "0", "10", "20", p.smd, "No", "", ""};
      for (long c = 1; c <= 15; ++c) t(r, c) = cells[c - 1];
    }
    s->range(s->cell(1, 1), s->cell(t.rows(), 15)).setValues(t);
    state().partCount = static_cast<long>(parts.size());
    state().lastRow = state().partCount + 1;
  }

  void run(Split split) { split(platform::ReportFlow{tool().context(), wb}); }

  xl::SheetPtr bom() { return wb->sheet(1); }
  // Every row of sheet 1 down to the last row of column A, its five cells joined by " | ".
  std::vector<std::string> rows() {
    std::vector<std::string> out;
    long last = platform::lastUsedRow(*bom(), 1);
    for (long r = 1; r <= last; ++r) {
      std::string line;
      for (long c = 1; c <= 5; ++c) line += (c > 1 ? " | " : "") + vb::toText(bom()->get(r, c));
      out.push_back(line);
    }
    return out;
  }
  void setJoinSymbol(const std::string& text) {
    program->settings().joinSymbol();
    static_cast<capture::SettingsWindow*>(program->existing(capture::SettingsWindow::kName))->text1.setText(text);
  }

  std::shared_ptr<sim::SimSpreadsheet> excel;
  xl::WorkbookPtr wb;
};

const std::vector<Part> kTwoSides = {
    {"10K", "R-0603", "R1", "Resister", "Top"},    {"100nF", "C-0603", "C1", "Capacitor", "Top"},
    {"10K", "R-0603", "R4", "Resister", "Bottom"}, {"10K", "R-0603", "R2", "Resister", "Top"},
    {"LM358", "SOIC8", "U1", "Chip", "Top"},       {"100nF", "C-0603", "C2", "Capacitor", "Bottom"},
    {"10K", "R-0805", "R3", "Resister", "Top"},    {"100nF", "C-0603", "C3", "Capacitor", "Bottom"},
};

TEST_F(SplitBomTest, BoardSidesAreListedByCategoryWithLineNumbersRunningOn) {
  changeReport(kTwoSides);
  run(report::splitBomBySide);
  // Category rows count their side's rows, titles their side, the total row every row.
  EXPECT_EQ(rows(), (std::vector<std::string>{
                        "No. | Value | Decal | Qty | Name",
                        "Top Part: |  |  | 5 | ",
                        "Chip |  |  | 1 | ",
                        "1 | LM358 | SOIC8 | 1 | U1",
                        "Resister |  |  | 3 | ",
                        "2 | 10K | R-0603 | 2 | R1,R2",
                        "3 | 10K | R-0805 | 1 | R3",
                        "Capacitor |  |  | 1 | ",
                        "4 | 100nF | C-0603 | 1 | C1",
                        "Bottom Part: |  |  | 3 | ",
                        "Resister |  |  | 1 | ",
                        "5 | 10K | R-0603 | 1 | R4",
                        "Capacitor |  |  | 2 | ",
                        "6 | 100nF | C-0603 | 2 | C2,C3",
                        "Total: |  |  | 8 | ",
                    }));
  EXPECT_TRUE(bom()->get(12, 1).isNumber());
  EXPECT_TRUE(bom()->get(14, 4).isNumber());
  EXPECT_TRUE(bom()->get(15, 4).isNumber());
  EXPECT_EQ(excel->activeSheet(), bom());
}

TEST_F(SplitBomTest, RemovingTheCategoryRowsLeavesTitlesLinesAndTotal) {
  changeReport(kTwoSides);
  run(report::splitBomBySide);
  run(report::purgeSplitCategoryRows);
  EXPECT_EQ(rows(), (std::vector<std::string>{
                        "No. | Value | Decal | Qty | Name",
                        "Top Part: |  |  | 5 | ",
                        "1 | LM358 | SOIC8 | 1 | U1",
                        "2 | 10K | R-0603 | 2 | R1,R2",
                        "3 | 10K | R-0805 | 1 | R3",
                        "4 | 100nF | C-0603 | 1 | C1",
                        "Bottom Part: |  |  | 3 | ",
                        "5 | 10K | R-0603 | 1 | R4",
                        "6 | 100nF | C-0603 | 2 | C2,C3",
                        "Total: |  |  | 8 | ",
                    }));
}

TEST_F(SplitBomTest, EachRowKindHasItsLook) {
  changeReport(kTwoSides);  // PartCount 8: rows 1 to 9 of A:E are text before anything is written
  run(report::splitBomBySide);
  xl::Sheet& s = *bom();
  for (long c = 1; c <= 5; ++c) {
    SCOPED_TRACE(c);
    EXPECT_TRUE(s.styleAt(1, c).bold);
    EXPECT_EQ(s.styleAt(1, c).fill, 12500000);
    for (long title : {2L, 10L}) {
      EXPECT_TRUE(s.styleAt(title, c).bold);
      EXPECT_EQ(s.styleAt(title, c).fill, platform::kMarkRed);
      EXPECT_EQ(s.styleAt(title, c).numberFormat, "@");
    }
    for (long category : {3L, 5L, 8L, 11L, 13L}) {
      EXPECT_TRUE(s.styleAt(category, c).bold);
      EXPECT_EQ(s.styleAt(category, c).fill, 13500000);
      EXPECT_EQ(s.styleAt(category, c).numberFormat, "@");
    }
    for (long line : {4L, 6L, 12L, 14L}) {
      EXPECT_FALSE(s.styleAt(line, c).bold);
      EXPECT_EQ(s.styleAt(line, c).fill, xl::kNoFill);
    }
    EXPECT_EQ(s.styleAt(9, c).numberFormat, "@");
    EXPECT_EQ(s.styleAt(12, c).numberFormat, "General");  // below the text block, not a styled row
    EXPECT_TRUE(s.styleAt(15, c).bold);
    EXPECT_EQ(s.styleAt(15, c).fill, 15500000);
    EXPECT_EQ(s.styleAt(15, c).numberFormat, "@");
  }
  EXPECT_EQ(s.styleAt(2, 6).fill, xl::kNoFill);
  EXPECT_EQ(s.styleAt(1, 6).numberFormat, "General");
}

TEST_F(SplitBomTest, CodesStayTextOnlyInTheFirstPartCountPlusOneRows) {
  // Three categories of one part each: nine report rows for PartCount 3, so the text block
  // (rows 1 to 4) holds only the first line; later lines are written into general cells.
  changeReport({{"10K", "0402", "R1", "Resister", "Top"},
                {"LM358", "0402", "U1", "Chip", "Top"},
                {"1uF", "0402", "C1", "Capacitor", "Top"}});
  run(report::splitBomBySide);
  EXPECT_EQ(bom()->get(4, 3), vb::Variant("0402"));
  EXPECT_EQ(bom()->get(6, 3), vb::Variant(402.0));
  EXPECT_EQ(bom()->get(8, 3), vb::Variant(402.0));
  EXPECT_EQ(bom()->get(9, 1), vb::Variant("Total:"));
}

TEST_F(SplitBomTest, TheRowBelowTheSecondTitleCarriesItsBoldAndFormat) {
  // A long first side puts the second title below the text block: its look covers the
  // category row under it, which then takes its own fill.
  std::vector<Part> parts;
  for (int i = 1; i <= 6; ++i)
    parts.push_back({"V" + std::to_string(i), "P", "U" + std::to_string(i), i % 2 ? "Chip" : "Diode", "Top"});
  parts.push_back({"X", "P", "D9", "Diode", "Bottom"});
  changeReport(parts);  // text block rows 1 to 8
  run(report::splitBomBySide);
  std::vector<std::string> r = rows();
  ASSERT_EQ(r.size(), 14u);
  EXPECT_EQ(r[10], "Bottom Part: |  |  | 1 | ");
  EXPECT_EQ(r[11], "Diode |  |  | 1 | ");
  for (long c = 1; c <= 5; ++c) {
    xl::Style below = bom()->styleAt(12, c);
    EXPECT_TRUE(below.bold);
    EXPECT_EQ(below.numberFormat, "@");
    EXPECT_EQ(below.fill, 13500000);
    EXPECT_EQ(bom()->styleAt(11, c).fill, platform::kMarkRed);
  }
  EXPECT_EQ(bom()->styleAt(13, 1).numberFormat, "General");
}

TEST_F(SplitBomTest, MountingTypesSplitBySmdFlagWhateverTheSide) {
  changeReport({{"10K", "R-0603", "R1", "Resister", "Top", "Yes"},
                {"10K", "R-0603", "R2", "Resister", "Bottom", "Yes"},
                {"DIP8", "DIP-8", "U1", "Chip", "Top", "No"},
                {"10K", "R-0603", "R3", "Resister", "Top", "No"}});
  run(report::splitBomByMounting);
  EXPECT_EQ(rows(), (std::vector<std::string>{
                        "No. | Value | Decal | Qty | Name",
                        "SMT Part: |  |  | 2 | ",
                        "Resister |  |  | 2 | ",
                        "1 | 10K | R-0603 | 2 | R1,R2",
                        "DIP Part: |  |  | 2 | ",
                        "Chip |  |  | 1 | ",
                        "2 | DIP8 | DIP-8 | 1 | U1",
                        "Resister |  |  | 1 | ",
                        "3 | 10K | R-0603 | 1 | R3",
                        "Total: |  |  | 4 | ",
                    }));
}

TEST_F(SplitBomTest, OneGroupGetsTheTitleOfTheFirstRowAndListsEveryRow) {
  struct Case {
    Split split;
    std::vector<Part> parts;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {report::splitBomBySide,
       {{"10K", "R-0603", "R1", "Resister", "Top"}, {"10K", "R-0603", "R2", "Resister", "Top"}},
       {"Top Part: |  |  | 2 | ", "Resister |  |  | 2 | ", "1 | 10K | R-0603 | 2 | R1,R2", "Total: |  |  | 2 | "}},
      {report::splitBomBySide,
       {{"10K", "R-0603", "R1", "Resister", "Bottom"}},
       {"Bottom Part: |  |  | 1 | ", "Resister |  |  | 1 | ", "1 | 10K | R-0603 | 1 | R1", "Total: |  |  | 1 | "}},
      // With no Bottom part, a row of another side is listed with the rest; its side in the
      // key keeps it on a line of its own.
      {report::splitBomBySide,
       {{"10K", "R-0603", "R1", "Resister", "Top"}, {"10K", "R-0603", "R2", "Resister", "Inner"},
        {"10K", "R-0603", "R3", "Resister", "Top"}},
       {"Top Part: |  |  | 3 | ", "Resister |  |  | 3 | ", "1 | 10K | R-0603 | 2 | R1,R3", "2 | 10K | R-0603 | 1 | R2",
        "Total: |  |  | 3 | "}},
      {report::splitBomByMounting,
       {{"10K", "R-0603", "R1", "Resister", "Top", "Yes"}, {"10K", "R-0603", "R2", "Resister", "Top", "yes"}},
       {"SMD  Part: |  |  | 2 | ", "Resister |  |  | 2 | ", "1 | 10K | R-0603 | 1 | R1", "2 | 10K | R-0603 | 1 | R2",
        "Total: |  |  | 2 | "}},
      {report::splitBomByMounting,
       {{"DIP8", "DIP-8", "U1", "Chip", "Top", "No"}, {"DIP8", "DIP-8", "U2", "Chip", "Bottom", "No"}},
       {"DIP  Part: |  |  | 2 | ", "Chip |  |  | 2 | ", "1 | DIP8 | DIP-8 | 2 | U1,U2", "Total: |  |  | 2 | "}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected.front());
    changeReport(c.parts);
    run(c.split);
    std::vector<std::string> r = rows();
    ASSERT_FALSE(r.empty());
    EXPECT_EQ(std::vector<std::string>(r.begin() + 1, r.end()), c.expected);
    EXPECT_EQ(bom()->styleAt(2, 5).fill, platform::kMarkRed);
  }
}

TEST_F(SplitBomTest, RowsOfNeitherGroupGetAFinalGroupPerGroupText) {
  changeReport({{"10K", "R-0603", "R1", "Resister", "Top"},
                {"10K", "R-0603", "R2", "Resister", ""},
                {"10K", "R-0603", "R3", "Resister", "Bottom"},
                {"1uF", "C-0805", "C1", "Capacitor", "Inner"},
                {"10K", "R-0603", "R4", "Resister", "Inner"},
                {"10K", "R-0603", "R5", "Resister", ""}});
  run(report::splitBomBySide);
  EXPECT_EQ(rows(), (std::vector<std::string>{
                        "No. | Value | Decal | Qty | Name",
                        "Top Part: |  |  | 1 | ",
                        "Resister |  |  | 1 | ",
                        "1 | 10K | R-0603 | 1 | R1",
                        "Bottom Part: |  |  | 1 | ",
                        "Resister |  |  | 1 | ",
                        "2 | 10K | R-0603 | 1 | R3",
                        " Part: |  |  | 2 | ",
                        "Resister |  |  | 2 | ",
                        "3 | 10K | R-0603 | 2 | R2,R5",
                        "Inner Part: |  |  | 2 | ",
                        "Resister |  |  | 1 | ",
                        "4 | 10K | R-0603 | 1 | R4",
                        "Capacitor |  |  | 1 | ",
                        "5 | 1uF | C-0805 | 1 | C1",
                        "Total: |  |  | 6 | ",
                    }));
  for (long title : {8L, 11L}) {
    EXPECT_TRUE(bom()->styleAt(title, 1).bold);
    EXPECT_EQ(bom()->styleAt(title, 5).fill, platform::kMarkRed);
  }

  changeReport({{"10K", "R-0603", "R1", "Resister", "Top", "Yes"},
                {"10K", "R-0603", "R2", "Resister", "Top", "yes"},
                {"DIP8", "DIP-8", "U1", "Chip", "Top", "No"}});
  run(report::splitBomByMounting);
  std::vector<std::string> r = rows();
  ASSERT_EQ(r.size(), 11u);
  EXPECT_EQ(r[7], "yes Part: |  |  | 1 | ");
  EXPECT_EQ(r[9], "3 | 10K | R-0603 | 1 | R2");
  EXPECT_EQ(r[10], "Total: |  |  | 3 | ");
}

TEST_F(SplitBomTest, CategoriesOutsideThePrintOrderAreListedUnderUnknow) {
  changeReport({{"X1", "P1", "Q9", "", "Top"},
                {"X1", "P1", "M1", "Magnet", "Top"},
                {"X1", "P1", "T1", "Test", "Top"},
                {"X1", "P1", "Z1", "Unknow", "Top"},
                {"X2", "P2", "F1", "FB", "Top"}});
  run(report::splitBomBySide);
  EXPECT_EQ(rows(), (std::vector<std::string>{
                        "No. | Value | Decal | Qty | Name",
                        "Top Part: |  |  | 5 | ",
                        "FB |  |  | 1 | ",
                        "1 | X2 | P2 | 1 | F1",
                        "Test |  |  | 1 | ",
                        "2 | X1 | P1 | 1 | T1",
                        "Unknow |  |  | 3 | ",
                        "3 | X1 | P1 | 3 | Q9,M1,Z1",
                        "Total: |  |  | 5 | ",
                    }));
  // The substitution lives in memory only.
  EXPECT_EQ(wb->sheet(3)->get(2, 6), vb::Variant());
  EXPECT_EQ(wb->sheet(3)->get(3, 6), vb::Variant("Magnet"));
}

TEST_F(SplitBomTest, NoPartsGiveAHeaderATitleAndATotalOfZero) {
  for (Split split : {report::splitBomBySide, report::splitBomByMounting}) {
    changeReport({});
    run(split);
    std::vector<std::string> r = rows();
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[1], split == report::splitBomBySide ? " Part: |  |  | 0 | " : "DIP  Part: |  |  | 0 | ");
    EXPECT_EQ(r[2], "Total: |  |  | 0 | ");
    EXPECT_EQ(bom()->styleAt(3, 1).fill, 15500000);
  }
}

TEST_F(SplitBomTest, MergedLinesJoinDesignatorsByTheJoinSymbolAndLongListsShowWhole) {
  std::vector<Part> parts;
  for (int i = 1; i <= 60; ++i) parts.push_back({"10K", "R-0603", "R" + std::to_string(i), "Resister", "Top"});
  parts.push_back({"1K", "R-0603", "R99", "Resister", "Top"});
  changeReport(parts);
  setJoinSymbol("; ");
  run(report::splitBomBySide);
  std::string joined = vb::toText(bom()->get(4, 5));
  EXPECT_EQ(joined.substr(0, 12), "R1; R2; R3; ");
  EXPECT_GT(joined.size(), 255u);
  EXPECT_EQ(bom()->get(4, 4), vb::Variant(60.0));
  EXPECT_EQ(bom()->styleAt(4, 5).numberFormat, "General");  // G/通用格式
  EXPECT_EQ(bom()->range("E4").numberFormatLocal(), "G/通用格式");
  EXPECT_EQ(bom()->styleAt(4, 4).numberFormat, "@");
  EXPECT_EQ(bom()->styleAt(5, 5).numberFormat, "@");
}

TEST_F(SplitBomTest, SheetOneIsRebuiltAndTheOtherSheetsStayAsTheyWere) {
  xl::SheetPtr old = bom();
  old->range("A1:H60").setValue("old");
  old->range("A1:H60").setInteriorColor(255);
  wb->sheet(2)->range("A1:C3").setValue("list");
  changeReport(kTwoSides);
  std::string list = testing_support::dumpSheet(sim::toData(*wb).sheets[1]);
  std::string changes = testing_support::dumpSheet(sim::toData(*wb).sheets[2]);
  run(report::splitBomBySide);
  EXPECT_EQ(rows().size(), 15u);
  EXPECT_EQ(bom()->usedArea(), (xl::Area{1, 1, 15, 5}));
  EXPECT_EQ(bom()->styleAt(20, 1).fill, xl::kNoFill);
  EXPECT_EQ(testing_support::dumpSheet(sim::toData(*wb).sheets[1]), list);
  EXPECT_EQ(testing_support::dumpSheet(sim::toData(*wb).sheets[2]), changes);
  EXPECT_EQ(state().partCount, 8);
  EXPECT_EQ(state().lastRow, 9);
}

// The board-side report written cell by cell and row look by row look, step by step as the
// report is defined, for inputs every row of which has a side and a category of the order.
void cellByCellFenceng(xl::Workbook& book, long partCount, const std::string& join) {
  xl::Sheet& bom = *book.sheet(1);
  xl::Sheet& changes = *book.sheet(3);
  const long n = partCount + 1;
  bom.cells().deleteCells();
  const char* headings[] = {"No.", "Value", "Decal", "Qty", "Name"};
  vb::Table head(1, 5);
  for (int c = 1; c <= 5; ++c) head(1, c) = headings[c - 1];
  bom.range("A1:E1").setValues(head);
  bom.range("A1:E1").setBold(true);
  bom.range("A1:E1").setInteriorColor(12500000);
  bom.range(bom.cell(1, 1), bom.cell(n, 5)).setNumberFormatLocal("@");
  vb::Table rows = changes.range(changes.cell(2, 1), changes.cell(n, 15)).values();
  std::vector<long> top, bottom, all;
  for (long i = 1; i <= rows.rows(); ++i) {
    if (vb::toText(rows(i, 6)).empty()) rows(i, 6) = "Unknow";
    all.push_back(i);
    if (vb::toText(rows(i, 8)) == "Top") top.push_back(i);
    if (vb::toText(rows(i, 8)) == "Bottom") bottom.push_back(i);
  }
  auto look = [&](long r1, long r2, long fill) {
    xl::Range r = bom.range(bom.cell(r1, 1), bom.cell(r2, 5));
    r.setBold(true);
    r.setInteriorColor(fill);
    r.setNumberFormat("@");
  };
  long reportRow = 3, lineNumber = 0;
  auto blocks = [&](const std::vector<long>& set) {
    for (std::string_view entry : report::kPartCategoryOrder) {
      vb::Dictionary lineIndex;
      std::vector<std::array<vb::Variant, 5>> block(2);
      long count = 0;
      for (long i : set) {
        if (vb::toText(rows(i, 6)) != entry) continue;
        ++count;
        std::string key = vb::toText(rows(i, 2)) + "-" + vb::toText(rows(i, 3)) + "-" + vb::toText(rows(i, 8));
        if (lineIndex.exists(key)) {
          auto& line = block[static_cast<size_t>(lineIndex.item(key).number())];
          line[3] = line[3].number() + 1;
          line[4] = vb::toText(line[4]) + join + vb::toText(rows(i, 5));
        } else {
          lineIndex.put(key, static_cast<double>(block.size()));
          block.push_back({++lineNumber, rows(i, 2), rows(i, 3), 1, rows(i, 5)});
        }
      }
      if (count == 0) continue;
      block[1] = {std::string(entry), "", "", count, ""};
      for (size_t k = 1; k < block.size(); ++k)
        for (long c = 1; c <= 5; ++c)
          bom.cell(reportRow + static_cast<long>(k) - 1, c).setValue(block[k][static_cast<size_t>(c - 1)]);
      look(reportRow, reportRow, report::kSplitCategoryRowFill);
      reportRow += static_cast<long>(block.size()) - 1;
    }
  };
  if (top.empty() || bottom.empty()) {
    bom.range("A2").setValue(vb::toText(changes.get(2, 8)) + " Part:");
    bom.range("D2").setValue(partCount);
    look(2, 2, platform::kMarkRed);
    blocks(all);
  } else {
    bom.range("A2").setValue("Top Part:");
    bom.range("D2").setValue(static_cast<long>(top.size()));
    look(2, 2, platform::kMarkRed);
    blocks(top);
    bom.cell(reportRow, 1).setValue("Bottom Part:");
    bom.cell(reportRow, 4).setValue(static_cast<long>(bottom.size()));
    look(reportRow, reportRow + 1, platform::kMarkRed);
    ++reportRow;
    blocks(bottom);
  }
  bom.cell(reportRow, 1).setValue("Total:");
  bom.cell(reportRow, 4).setValue(partCount);
  look(reportRow, reportRow, 15500000);
  normalise::longTextGeneral(bom);
}

TEST_F(SplitBomTest, EndsCellForCellAsTheCellByCellReport) {
  // Codes that a general cell turns into numbers, repeated keys, every category, both sides
  // and one side only.
  const char* values[] = {"0402", "10K", "1/4", "100", "10k", "4K7"};
  const char* decals[] = {"R-0603", "0805", "C-0603", "12"};
  for (bool oneSide : {false, true}) {
    SCOPED_TRACE(oneSide);
    std::vector<Part> parts;
    unsigned seed = 7;
    for (int i = 0; i < 300; ++i) {
      seed = seed * 1103515245u + 12345u;
      unsigned x = seed >> 8;
      std::string category(report::kPartCategoryOrder[x % 17]);
      std::string ref = x % 11 == 0 ? std::to_string(i) : "X" + std::to_string(i);
      parts.push_back({values[x % 6], decals[(x / 7) % 4], ref, x % 13 == 0 ? "" : category,
                       oneSide || (x / 3) % 3 ? "Top" : "Bottom"});
    }
    xl::WorkbookPtr literal = excel->addWorkbook();
    changeReport(parts, *literal);
    changeReport(parts);
    run(report::splitBomBySide);
    cellByCellFenceng(*literal, state().partCount, ",");
    EXPECT_EQ(testing_support::dumpSheet(sim::toData(*wb).sheets[0]),
              testing_support::dumpSheet(sim::toData(*literal).sheets[0]));
  }
}

TEST_F(SplitBomTest, CountsAndLineNumbersGoBeyondSixteenBits) {
  std::vector<Part> parts;
  const int n = 40000;
  for (int i = 1; i <= n; ++i)
    parts.push_back({"V" + std::to_string(i), "P", "R" + std::to_string(i), "Resister", i % 2 ? "Top" : "Bottom"});
  changeReport(parts);
  auto start = std::chrono::steady_clock::now();
  run(report::splitBomBySide);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  long last = platform::lastUsedRow(*bom(), 1);
  EXPECT_EQ(last, 1 + 2 + 2 + n + 1);
  EXPECT_EQ(bom()->get(last, 4), vb::Variant(static_cast<double>(n)));
  EXPECT_EQ(bom()->get(last - 1, 1), vb::Variant(static_cast<double>(n)));
  EXPECT_EQ(bom()->get(4 + n / 2, 1), vb::Variant("Bottom Part:"));
  EXPECT_LT(seconds, 5.0);
}

}  // namespace
