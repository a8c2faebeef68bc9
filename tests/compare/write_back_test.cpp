// "Modify" and "Add Value": values of a "List Report", "BOM Report" or "Compare" sheet
// written into PADS attributes or netlist comment lines where they differ, and an
// attribute copied into "Value" for every part.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/program_fixture.h"
#include "support/scratch_dir.h"
#include "vb/convert.h"

namespace {

namespace xl = platform::xl;
using testing_support::ProgramTest;
using testing_support::readBytes;
using testing_support::ScratchDir;

constexpr const char* kLayout = "PowerPCB.Application";
constexpr const char* kLogic = "PowerLogic.Application";
constexpr const char* kFailed = "是否打了开Excel,是否选择了对应软件";

const char* const kDesign = R"({"name": "board", "parts": [
    {"name": "R1", "attributes": {"Value": "10K", "Comment": "RES", "Part Type": "RES"}},
    {"name": "R2", "attributes": {"Value": "1K"}},
    {"name": "C1", "attributes": {"Comment": "CAP", "Part_Type": "CAP0603"}}]})";

// A netlist of R1, R2, C1 and TP1 (whose comment equals its designator), then the nets.
const char* const kNetlist =
    "[\r\nR1\r\nR0603\r\n10K\r\n\r\n\r\n\r\n]\r\n"
    "[\r\nR2\r\nR0603\r\n1K\r\n\r\n\r\n\r\n]\r\n"
    "[\r\nC1\r\nC0603\r\n\r\n\r\n\r\n\r\n]\r\n"
    "[\r\nTP1\r\nTP\r\nTP1\r\n\r\n\r\n\r\n]\r\n"
    "(\r\nR1\r\nR1-1\r\nC1\r\n)\r\n";

class WriteBackTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    excel = world.programs.runSpreadsheet("Excel.Application");
    excel->setVisible(true);
    book = excel->addWorkbook();
  }
  // The program runs with the design freshly opened.
  void runPads(const char* progId) {
    auto p = world.programs.pads(progId);
    if (!p) p = world.programs.runPads(progId);
    p->openDocument(dir.write(std::string(progId) + ".json", kDesign));
  }
  // The active sheet gets this name and these rows from row 2 (a header in row 1, the
  // rows numbered in A).
  void sheet(const std::string& name, long firstCol, std::vector<std::vector<const char*>> rows) {
    xl::SheetPtr s = book->sheet(1);
    s->setName(name);
    s->select();
    s->cell(1, 1).setValue("No.");
    for (size_t r = 0; r < rows.size(); ++r) {
      s->cell(static_cast<long>(r) + 2, 1).setValue(static_cast<double>(r + 1));
      for (size_t c = 0; c < rows[r].size(); ++c)
        if (*rows[r][c]) s->cell(static_cast<long>(r) + 2, firstCol + static_cast<long>(c)).setValue(rows[r][c]);
    }
  }
  void modify(const std::string& source) {
    type(tool().combo1, source);
    click(tool().command3);
  }
  std::string attribute(const char* progId, const char* part, const char* name) {
    const platform::pads::Attribute* a =
        world.programs.pads(progId)->activeDocument().component(part)->attribute(name);
    return a ? a->value() : "(none)";
  }
  std::string lastMessage() { return messages().empty() ? "(none)" : messages().back(); }

  ScratchDir dir{"write-back"};
  std::shared_ptr<sim::SimSpreadsheet> excel;
  xl::WorkbookPtr book;
};

TEST_F(WriteBackTest, ModifyWritesIntoPadsOnlyWhereTheSheetDiffers) {
  struct Case {
    const char* source;
    const char* sheetName;
    const char* progId;
    const char* attribute;  // what the case writes
    const char* message;
  };
  const Case cases[] = {
      {"Layout", "List Report", kLayout, "Comment", "PCB文档修改了3个元件属性"},
      {"Logic", "List Report", kLogic, "Part Type", "SCH文档修改了3个元件属性"},
      {"Layout", "BOM Report", kLayout, "Value", "PCB文档修改了2个元件属性"},
      {"Logic", "BOM Report", kLogic, "Value", "SCH文档修改了2个元件属性"},
      {"Layout", "Compare", kLayout, "Value", "PCB文档修改了2个元件属性"},
      {"Logic", "Compare", kLogic, "Value", "SCH文档修改了2个元件属性"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.source) + " / " + c.sheetName);
    book = excel->addWorkbook();
    runPads(c.progId);
    const std::string name = c.sheetName;
    if (name == "List Report") {
      // E designator, F value: R1 differs, R2 has no such attribute, a jumper names no part.
      sheet(name, 5, {{"R1", "4K7"}, {"R2", "1K"}, {"C1", "100nF"}, {"W1", "x"}, {"", "y"}});
      EXPECT_NO_FATAL_FAILURE(modify(c.source));
      EXPECT_EQ(attribute(c.progId, "R1", c.attribute), "4K7");
      EXPECT_EQ(attribute(c.progId, "R2", c.attribute), "1K");
    } else if (name == "BOM Report") {
      // B value, E designators: R2 equal already, C1 without "Value", " R9" names no part.
      sheet(name, 2, {{"4K7", "", "", "R1"}, {"", "", "", ""}, {"1K", "", "", "R2"}, {"100nF", "", "", "C1, R9"}});
      modify(c.source);
      EXPECT_EQ(attribute(c.progId, "R1", "Value"), "4K7");
      EXPECT_EQ(attribute(c.progId, "C1", "Value"), "100nF");
    } else {
      // B BOM designator, D value, F design designator; R2 only in the design keeps its value.
      sheet(name, 2, {{"R1", "", "4K7", "", "R1"}, {"", "", "", "", "R2"}, {"C1", "", "100nF", "", "C1"}});
      modify(c.source);
      EXPECT_EQ(attribute(c.progId, "R1", "Value"), "4K7");
      EXPECT_EQ(attribute(c.progId, "R2", "Value"), "1K");
      EXPECT_EQ(attribute(c.progId, "C1", "Value"), "100nF");
    }
    EXPECT_EQ(lastMessage(), c.message);
  }
}

TEST_F(WriteBackTest, ModifyFailsWithOneMessageAndWritesNothing) {
  struct Case {
    const char* what;
    const char* source;
    const char* sheetName;
    bool padsRuns;
  };
  const Case cases[] = {
      {"a sheet name in other letter case", "Layout", "list report", true},
      {"a trailing blank", "Layout", "BOM Report ", true},
      {"no netlist case for a part list", "Protel99se", "List Report", true},
      {"another source", "Excel", "BOM Report", true},
      {"PADS not running", "Logic", "BOM Report", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    book = excel->addWorkbook();
    if (c.padsRuns && !world.programs.pads(kLayout)) runPads(kLayout);
    sheet(c.sheetName, 2, {{"4K7", "", "", "R1"}});
    modify(c.source);
    EXPECT_EQ(lastMessage(), kFailed);
    if (c.padsRuns) {
      EXPECT_EQ(attribute(kLayout, "R1", "Value"), "10K");
    }
  }
}

TEST_F(WriteBackTest, ARefusedAddKeepsTheOldValueAndIsNotCounted) {
  runPads(kLayout);
  world.faults.refuseChangedAdds(kLayout);
  sheet("BOM Report", 2, {{"4K7", "", "", "R1,R2"}});
  modify("Layout");
  EXPECT_EQ(lastMessage(), "PCB文档修改了0个元件属性");
  EXPECT_EQ(attribute(kLayout, "R1", "Value"), "10K");
  EXPECT_EQ(attribute(kLayout, "R2", "Value"), "1K");
}

TEST_F(WriteBackTest, ModifyRewritesTheNetlistsCommentLines) {
  const std::string path = dir.write("board.net", kNetlist);
  // Case 5: a BOM through the spreadsheet's own dialog; TP1 gets a value, its other lines
  // and the nets stay; R9 names no line.
  sheet("BOM Report", 2, {{"4K7", "", "", "R1,R9"}, {"100nF", "", "", "C1"}, {"TEST", "", "", "TP1"}, {"1K", "", "", "R2"}});
  world.user.answerFile(path);
  modify("Protel99se");
  EXPECT_EQ(lastMessage(), "修改了3个元件属性");
  std::string expected = kNetlist;
  auto swap = [&](const std::string& from, const std::string& to) { expected.replace(expected.find(from), from.size(), to); };
  swap("R0603\r\n10K", "R0603\r\n4K7");
  swap("C0603\r\n\r\n", "C0603\r\n100nF\r\n");
  swap("TP\r\nTP1", "TP\r\nTEST");
  EXPECT_EQ(readBytes(path), expected);
  EXPECT_EQ(world.user.transcript()[world.user.transcript().size() - 2],
            "dialog 请选择Protel99se或者Altium Designer的net文件 (Files,*.net,所有文件(*.*),*.*)");

  // Case 8: a Compare sheet through the toolbar's dialog; the row of a part the BOM lacks
  // (R2) leaves its comment.
  book = excel->addWorkbook();
  sheet("Compare", 2, {{"R1", "", "10K", "", "R1"}, {"", "", "", "", "R2"}});
  world.user.answerFile(path);
  modify("Protel99se");
  EXPECT_EQ(lastMessage(), "修改了1个元件属性");
  swap("R0603\r\n4K7", "R0603\r\n10K");
  EXPECT_EQ(readBytes(path), expected);
}

TEST_F(WriteBackTest, ANetlistThatCannotBeReadOrWrittenIsNeverRewrittenNorCounted) {
  const std::string path = dir.write("board.net", kNetlist);
  sheet("BOM Report", 2, {{"4K7", "", "", "R1"}});
  world.faults.failWrites(path);
  world.user.answerFile(path);
  modify("Protel99se");
  EXPECT_EQ(lastMessage(), kFailed);
  EXPECT_EQ(readBytes(path), kNetlist);

  world.user.answerFile(dir.path("missing.net"));
  modify("Protel99se");
  EXPECT_EQ(lastMessage(), kFailed);

  const size_t shown = messages().size();
  world.user.cancelFile();
  modify("Protel99se");
  EXPECT_EQ(messages().size(), shown) << "a cancel ends it without a word";
}

TEST_F(WriteBackTest, AddValueCopiesTheAttributeIntoEveryPartsValueAfterTheQuestion) {
  runPads(kLayout);
  runPads(kLogic);
  type(tool().combo1, "Layout");
  world.user.answerNo();
  click(tool().command2);
  EXPECT_EQ(attribute(kLayout, "R1", "Value"), "10K") << "No changes nothing";
  EXPECT_TRUE(messages().back().find("如果元件Comment属性为空白,\n*******请慎重操作*********\n选择是-继续 ; 选择否-退出.") == 0);

  world.user.answerYes();
  click(tool().command2);
  EXPECT_EQ(lastMessage(), "PCB文档元件属性修改完毕");
  EXPECT_EQ(attribute(kLayout, "R1", "Value"), "RES");
  EXPECT_EQ(attribute(kLayout, "R2", "Value"), "") << "no Comment: an empty Value";
  EXPECT_EQ(attribute(kLayout, "C1", "Value"), "CAP");
  EXPECT_TRUE(world.programs.pads(kLayout)->activeDocument().component("R2")->selected());

  type(tool().combo1, "Logic");
  world.user.answerYes();
  click(tool().command2);
  EXPECT_EQ(lastMessage(), "SCH文档元件属性修改完毕");
  EXPECT_EQ(attribute(kLogic, "C1", "Value"), "CAP0603");
  EXPECT_EQ(attribute(kLogic, "R1", "Value"), "") << "\"Part Type\" is not \"Part_Type\"";

  type(tool().combo1, "Protel99se");
  click(tool().command2);
  EXPECT_EQ(lastMessage(), "请选择Logic或者Layout软件！");
}

TEST_F(WriteBackTest, AddValueWithoutTheProgramSaysSoAfterTheQuestion) {
  type(tool().combo1, "Logic");
  world.user.answerYes();
  click(tool().command2);
  EXPECT_EQ(lastMessage(), "请打开Logic软件");
}

}  // namespace
