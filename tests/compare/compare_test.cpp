// "Compare": the sheet "Compare" built from the BOM on sheet 1 and the parts of a PADS
// design or a netlist, with its numbering, repeated-designator checks, alignment by
// designator, red marks and messages.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "compare/compare_sheet.h"
#include "platform/workbook_helpers.h"
#include "support/program_fixture.h"
#include "support/scratch_dir.h"
#include "vb/convert.h"

namespace {

namespace xl = platform::xl;
using testing_support::ProgramTest;
using testing_support::ScratchDir;

constexpr long kRed = platform::kMarkRed;

// A BOM line of sheet 1: value, decal, designators (as the BOM reports hold them in B, C, E).
struct BomLine {
  const char* value;
  const char* decal;
  const char* designators;
};

class CompareTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    excel = world.programs.runSpreadsheet("Excel.Application");
    excel->setVisible(true);
    book = excel->addWorkbook();
  }
  void bom(std::initializer_list<BomLine> lines) {
    xl::SheetPtr s = book->sheet(1);
    vb::Table t(static_cast<long>(lines.size()) + 1, 5);
    const char* head[] = {"No", "Value", "Decal", "QTY", "Name"};
    for (long c = 1; c <= 5; ++c) t(1, c) = head[c - 1];
    long r = 2;
    for (const BomLine& l : lines) {
      t(r, 1) = std::string(*l.designators ? std::to_string(r - 1) : "Chip");
      t(r, 2) = l.value;
      t(r, 3) = l.decal;
      t(r, 5) = l.designators;
      ++r;
    }
    s->range(s->cell(1, 1), s->cell(t.rows(), 5)).setValues(t);
  }
  // PADS Layout or Logic runs with a design of these parts (name, decal, value or null).
  void design(const char* progId, const std::string& parts) {
    auto p = world.programs.pads(progId);
    if (!p) p = world.programs.runPads(progId);
    p->openDocument(dir.write("design.json", R"({"name": "board.pcb", "parts": [)" + parts + "]}"));
  }
  void compare(const std::string& source) {
    type(tool().combo1, source);
    click(tool().compare);
  }
  xl::SheetPtr sheet2() { return book->sheet(2); }
  // Row r of the sheet "Compare", A to H, texts as they stand, red cells marked "*".
  std::string row(long r) {
    std::string out;
    for (long c = 1; c <= 8; ++c) {
      if (c > 1) out += "|";
      out += vb::toText(sheet2()->get(r, c));
      if (sheet2()->styleAt(r, c).fill == kRed) out += "*";
    }
    return out;
  }
  std::vector<std::string> rows(long from, long to) {
    std::vector<std::string> out;
    for (long r = from; r <= to; ++r) out.push_back(row(r));
    return out;
  }

  ScratchDir dir{"compare"};
  std::shared_ptr<sim::SimSpreadsheet> excel;
  xl::WorkbookPtr book;
};

constexpr const char* kLayoutId = "PowerPCB.Application";

std::string part(const char* name, const char* decal, const char* value) {
  std::string p = std::string(R"({"name": ")") + name + R"(", "decal": ")" + decal + R"(", "pcbDecal": ")" + decal + "\"";
  if (value) p += std::string(R"(, "attributes": {"Value": ")") + value + "\"}";
  return p + "}";
}

TEST_F(CompareTest, EqualSidesInAnotherOrderAreAlignedToTheDesign) {
  bom({{"10K", "R0603", "R2,R1"}, {"", "", ""}, {"100nF", "C0402", "C1"}});
  for (const char* source : {"Layout", "Logic"}) {
    SCOPED_TRACE(source);
    design(source == std::string("Layout") ? kLayoutId : "PowerLogic.Application",
           part("C1", "C0402", "100nF") + "," + part("R1", "R0603", "10K") + "," + part("R2", "R0603", "10K"));
    compare(source);
    EXPECT_EQ(sheet2()->name(), "Compare");
    EXPECT_EQ(rows(1, 5), (std::vector<std::string>{"No.|xls序号|xls封装|xls参数||PCB序号|PCB封装|PCB参数",
                                                    "1|C1|C0402|100nF||C1|C0402|100nF",
                                                    "2|R1|R0603|10K||R1|R0603|10K",
                                                    "3|R2|R0603|10K||R2|R0603|10K", "|||||||"}));
    EXPECT_TRUE(sheet2()->styleAt(1, 3).bold);
    EXPECT_EQ(sheet2()->styleAt(1, 8).fill, compare::kHeaderFill);
    EXPECT_EQ(sheet2()->styleAt(3, 2).numberFormat, "@");
    EXPECT_EQ(messages().back(), "对比结束!!!\n没有不同项目!");
    EXPECT_EQ(state().partCount, 3);
    EXPECT_EQ(state().lastRow, 4);
  }
}

TEST_F(CompareTest, DifferencesAndOneSidedPartsAreRed) {
  // R1 differs in value, C1 in package, Q1 has no "Value" attribute; U9 only in the
  // design; r2 (other case) and "R3 " (trailing blank) only in the BOM.
  bom({{"10K", "R0603", "R1,r2,R3 "}, {"100nF", "C0603", "C1"}, {"", "TO-92", "Q1"}});
  design(kLayoutId, part("R1", "R0603", "4K7") + "," + part("U9", "SOIC8", "LM358") + "," + part("C1", "C0402", "100nF") +
                        "," + part("R2", "R0603", "10K") + "," + part("Q1", "TO-92", nullptr));
  compare("Layout");
  EXPECT_EQ(rows(2, 9), (std::vector<std::string>{
                            "1|R1|R0603|10K*||R1|R0603|4K7*",
                            "2|||||U9*|SOIC8*|LM358*",
                            "3|C1|C0603*|100nF||C1|C0402*|100nF",
                            "4|||||R2*|R0603*|10K*",
                            "5|Q1|TO-92|||Q1|TO-92|",
                            "|r2*|R0603*|10K*||||",  // appended below the design rows, not numbered
                            "|R3 *|R0603*|10K*||||",
                            "|||||||",
                        }));
  EXPECT_EQ(messages().back(), "对比结束!!!\n不同项目已经用红色标示!");
}

TEST_F(CompareTest, RepeatedDesignatorsStopTheComparisonWithTheirRowsRed) {
  struct Case {
    const char* what;
    const char* bomList;
    std::string parts;
    const char* message;
    std::vector<std::string> rows;
  };
  const std::string r1 = part("R1", "R0603", "10K"), r2 = part("R2", "R0603", "10K");
  const Case cases[] = {
      {"BOM side, three times", "R1,R2,R1,R1", r1 + "," + r2,
       "Excel中Part序号有重复,\n已经用红色标示!请自己核对好再进行对比,谢谢!!!",
       {"1|R1*|R0603*|10K*||R1|R0603|10K", "2|R2|R0603|10K||R2|R0603|10K", "3|R1*|R0603*|10K*||||",
        "4|R1*|R0603*|10K*||||"}},
      {"design side", "R1,R2", r1 + "," + r2 + "," + r1,
       "Design中Part序号有重复,\n已经用红色标示!请自己核对好再进行对比,谢谢!!!",
       {"1|R1|R0603|10K||R1*|R0603*|10K*", "2|R2|R0603|10K||R2|R0603|10K", "3|||||R1*|R0603*|10K*", "|||||||"}},
      {"both sides; two empty designators repeat", "R1,,,R2", r1 + "," + r1,
       "Excel与Design中都有Part序号重复,\n已经用红色标示!请自己核对好再进行对比,谢谢!!!",
       {"1|R1|R0603|10K||R1*|R0603*|10K*", "2|*|R0603*|10K*||R1*|R0603*|10K*", "3|*|R0603*|10K*||||",
        "4|R2|R0603|10K||||"}},
      {"an empty designator in the last row is no part of the side", "R1,R2,", r1 + "," + r2,
       "对比结束!!!\n没有不同项目!",
       {"1|R1|R0603|10K||R1|R0603|10K", "2|R2|R0603|10K||R2|R0603|10K", "|||||||", "|||||||"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    bom({{"10K", "R0603", c.bomList}});
    design(kLayoutId, c.parts);
    compare("Layout");
    EXPECT_EQ(messages().back(), c.message);
    EXPECT_EQ(rows(2, 5), c.rows);
  }
}

TEST_F(CompareTest, TheBomSplitsAtACommaAndTakesThePiecesAsTheyAre) {
  bom({{"10K", "R0603", "R1, R2"}, {"1K", "R0402", "R5;R6"}, {"", "", ""}});
  design(kLayoutId, part("R1", "R0603", "10K"));
  compare("Layout");
  EXPECT_EQ(rows(2, 5), (std::vector<std::string>{"1|R1|R0603|10K||R1|R0603|10K", "2| R2*|R0603*|10K*||||",
                                                  "3|R5;R6*|R0402*|1K*||||", "|||||||"}));
}

TEST_F(CompareTest, ASecondRunRebuildsTheSheetAndLeavesNoStrayCells) {
  bom({{"10K", "R0603", "R1,R2,R3"}});
  design(kLayoutId, part("R1", "R0603", "10K"));
  compare("Layout");
  // Cells beyond both sides' designators, in every column of the two sides.
  sheet2()->range("C9").setValue("stray");
  sheet2()->range("H12").setValue("stray");
  sheet2()->range("G10").setInteriorColor(kRed);
  compare("Layout");
  EXPECT_EQ(rows(2, 4), (std::vector<std::string>{"1|R1|R0603|10K||R1|R0603|10K", "2|R2*|R0603*|10K*||||",
                                                  "3|R3*|R0603*|10K*||||"}));
  EXPECT_EQ(xl::Range(sheet2(), sheet2()->usedArea()).address(), "$A$1:$H$4");
}

// Without a design side in hand, sheet 2 stays as it was.
TEST_F(CompareTest, SheetTwoStaysAsItWasWhenTheDesignSideIsMissing) {
  bom({{"10K", "R0603", "R1"}});
  sheet2()->setName("Mine");
  sheet2()->range("B2").setValue("kept");
  struct Case {
    const char* what;
    const char* source;
    std::function<void()> arrange;
    const char* message;
  };
  const Case cases[] = {
      {"PADS Layout not running", "Layout", [] {}, "运行时错误 '429':"},
      {"an empty design", "Logic", [&] { design("PowerLogic.Application", ""); }, "board.pcb\n  No Components !!!"},
      {"the netlist dialog cancelled", "Protel99se", [&] { world.user.cancelFile(); }, "运行时错误 '32755':"},
      {"no such netlist", "Protel99se", [&] { world.user.answerFile(dir.path("none.net")); }, "运行时错误 '53':"},
      {"another source", "Altium Designer", [] {}, "请选择对应软件!!!"},
      {"sheet 2 refuses its new name: reported, also for a netlist", "Protel99se",
       [&] {
         world.user.answerFile(dir.write("board.net", "[\r\nR1\r\nR0603\r\n10K\r\n\r\n\r\n\r\n]\r\n"));
         world.faults.set("spreadsheet", "Name", 1);
       },
       "运行时错误 '1004':"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.arrange();
    compare(c.source);
    ASSERT_FALSE(messages().empty());
    EXPECT_EQ(messages().back().substr(0, std::string(c.message).size()), c.message);
    EXPECT_EQ(sheet2()->name(), "Mine");
    EXPECT_EQ(vb::toText(sheet2()->get(2, 2)), "kept");
  }
}

// A netlist's entries are found every eighth line from the first.
TEST_F(CompareTest, NetlistEntriesAreReadInTheirEightLineRhythm) {
  const std::string entry1 = "[\r\nR1\r\nR0603\r\n10K\r\n\r\n\r\n\r\n]\r\n";
  const std::string entry2 = "[\r\nC1\r\nC0402\r\n100nF\r\n\r\n\r\n\r\n]\r\n";
  const std::string nets = "(\r\nGND\r\nR1-2\r\n)\r\n";
  bom({{"10K", "R0603", "R1"}, {"100nF", "C0402", "C1"}});
  struct Case {
    const char* what;
    std::string file;
    std::vector<std::string> rows;
    const char* message;
  };
  const Case cases[] = {
      {"entries from the first line", entry1 + entry2 + nets,
       {"1|R1|R0603|10K||R1|R0603|10K", "2|C1|C0402|100nF||C1|C0402|100nF", "|||||||"}, "没有不同项目!"},
      {"one line before the first entry: no design side", "\r\n" + entry1 + entry2 + nets,
       {"1|R1*|R0603*|10K*||||", "2|C1*|C0402*|100nF*||||", "|||||||"}, "不同项目已经用红色标示!"},
      {"no line \"(\" on an examined line, no line end at the end", entry1 + entry2 + "GND",
       {"1|R1|R0603|10K||R1|R0603|10K", "2|C1|C0402|100nF||C1|C0402|100nF", "|||||||"}, "没有不同项目!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    world.user.answerFile(dir.write("board.net", c.file));
    compare("Protel99se");
    EXPECT_EQ(rows(2, 4), c.rows);
    EXPECT_EQ(messages().back(), std::string("对比结束!!!\n") + c.message);
  }
}

TEST_F(CompareTest, BothSidesEmptyGiveNoMarks) {
  bom({});
  world.user.answerFile(dir.write("board.net", "(\r\n)\r\n"));
  compare("Protel99se");
  EXPECT_EQ(row(2), "|||||||");
  EXPECT_EQ(messages().back(), "对比结束!!!\n没有不同项目!");
}

}  // namespace
