// "Create" from PADS Logic and PADS Layout: attaching to or starting the program, the part
// lists on sheet 2, the coordinate questions, the two coordinate files and the counts and
// flags handed on.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <sstream>

#include "app/session.h"
#include "capture/coordinate_report.h"
#include "capture/part_lists.h"
#include "capture/pads_attach.h"
#include "platform/workbook_helpers.h"
#include "support/program_fixture.h"
#include "support/scratch_dir.h"
#include "vb/ansi.h"
#include "vb/convert.h"
#include "vb/error.h"

namespace {

namespace fs = std::filesystem;
namespace xl = platform::xl;
using platform::MirrorAnswer;
using testing_support::ProgramTest;
using testing_support::readBytes;
using testing_support::ScratchDir;

constexpr const char* kLogic = "PowerLogic.Application";
constexpr const char* kLayout = "PowerPCB.Application";

// A cell as the tests compare it: numbers bare, texts quoted, empty as nothing.
std::string cellText(const vb::Variant& v) {
  if (v.isEmpty()) return "";
  if (v.isNumber()) return vb::numberText(v.number());
  return "'" + vb::toText(v) + "'";
}

// Three parts on three layers (the third named "bottom" in lower case) and two jumpers.
const char* const kBoard = R"({"name": "board.pcb", "layers": {"1": "Top", "2": "Bottom", "3": "bottom"},
  "parts": [
    {"name": "R1", "decal": "R0603", "layer": 1, "orientation": 90, "x": 12.345, "y": 3.25,
     "centerX": 13, "centerY": 3.5, "smd": true, "pins": 2,
     "attributes": {"Value": "10K", "Comment": "RES", "Tolerance": "1%"}},
    {"name": "C7", "decal": "C0402", "layer": 2, "orientation": 180, "x": 12.345, "y": -40,
     "centerX": -1.25, "centerY": 40.5, "smd": true, "glued": true, "pins": 2,
     "attributes": {"Value": "0402"}},
    {"name": "U3", "decal": "QFN-3", "layer": 3, "orientation": 45.5, "x": 100, "y": 200,
     "centerX": 101, "centerY": 201, "pins": 3, "attributes": {"Comment": "MCU"}}],
  "jumpers": [{"name": "W2", "length": 2.54, "orientation": 90, "net": "GND"},
              {"name": "W1", "length": 5, "orientation": 0}]})";

const char* const kSchematic = R"({"name": "board.sch", "parts": [
    {"name": "U1", "pcbDecal": "SOIC8", "attributes": {"Value": "LM358", "Part Type": "OPAMP", "Comment": "运放"}},
    {"name": "R10", "pcbDecal": "0402", "attributes": {"Part Type": "RES"}},
    {"name": "C1", "pcbDecal": "C0603", "attributes": {"Value": "0402"}}]})";

class PadsListTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    fs::create_directories(dir / "program");
    world.desktop.setProgramFolder(dir.path("program"));
    world.desktop.setToday({2024, 5, 6});
    world.programs.runSpreadsheet("Excel.Application")->setVisible(true);
  }
  // The PADS program runs with this design open.
  std::shared_ptr<sim::SimPads> run(const char* progId, const std::string& json) {
    auto p = world.programs.runPads(progId);
    p->setVisible(true);
    p->openDocument(dir.write("design.json", json));
    p->takeLog();
    return p;
  }
  std::shared_ptr<sim::SimSpreadsheet> excel() { return world.programs.spreadsheet("Excel.Application"); }
  xl::SheetPtr listSheet() { return excel()->activeWorkbook()->sheet(2); }
  std::vector<std::string> row(long r, long cols) {
    std::vector<std::string> out;
    xl::SheetPtr s = listSheet();
    for (long c = 1; c <= cols; ++c) out.push_back(cellText(s->get(r, c)));
    return out;
  }
  capture::SettingsWindow& settings() {
    program->settings().spreadsheetProgram();  // the first read creates the window
    return *static_cast<capture::SettingsWindow*>(program->existing(capture::SettingsWindow::kName));
  }
  // The list operation alone, as the dispatcher runs it, without the rest of "Create".
  void list(void (*op)(platform::ToolContext&)) {
    program->dispatch([&] { op(tool().context()); });
  }
  // "Create" with this source.
  void create(const std::string& source) {
    type(tool().combo1, source);
    click(tool().command1);
  }
  // The answers of a PADS Layout import: files declined, or files with the coordinate
  // choice and the mirror answer; then no board prefix.
  void declineFiles() {
    world.user.answerNo();
    world.user.answerInput("");
  }
  void acceptFiles(bool defaultCoordinates, bool mirror) {
    world.user.answerYes();
    defaultCoordinates ? world.user.answerYes() : world.user.answerNo();
    mirror ? world.user.answerYes() : world.user.answerNo();
    world.user.answerInput("");
  }
  fs::path reportFile(const char* name) { return dir / "program" / name; }

  ScratchDir dir{"pads"};
};

TEST_F(PadsListTest, LogicListsEveryPartInTheDesignsOrder) {
  run(kLogic, kSchematic);
  world.user.answerInput("2");
  list(capture::listFromPadsLogic);
  EXPECT_TRUE(world.user.dialogs().empty());
  ASSERT_EQ(world.user.inputs().size(), 1u);
  EXPECT_EQ(state().prefixCount, 2);
  EXPECT_EQ(row(1, 7), (std::vector<std::string>{"'No.'", "'Value'", "'PartDecal'", "'Qty'", "'RefDes'", "'Part Type'", ""}));
  // A part without "Value" gets "NC", one without the attribute an empty cell; codes stay text.
  EXPECT_EQ(row(2, 6), (std::vector<std::string>{"1", "'LM358'", "'SOIC8'", "'1'", "'U1'", "'OPAMP'"}));
  EXPECT_EQ(row(3, 6), (std::vector<std::string>{"2", "'NC'", "'0402'", "'1'", "'R10'", "'RES'"}));
  EXPECT_EQ(row(4, 6), (std::vector<std::string>{"3", "'0402'", "'C0603'", "'1'", "'C1'", ""}));
  EXPECT_EQ(row(5, 6), std::vector<std::string>(6, ""));
  xl::SheetPtr s = listSheet();
  for (long c = 1; c <= 6; ++c) {
    xl::Style head = s->styleAt(1, c);
    EXPECT_TRUE(head.bold);
    EXPECT_EQ(head.fontSize, 15);
    EXPECT_EQ(head.fill, 9478398);
    EXPECT_EQ(s->styleAt(4, c).numberFormat, "@");
  }
  EXPECT_EQ(s->styleAt(5, 1).numberFormat, "General");
  EXPECT_EQ(s->styleAt(2, 7).numberFormat, "General");
  ASSERT_TRUE(s->filter().has_value());
  EXPECT_EQ(xl::addressText(*s->filter()), "$A$1:$F$4");
  EXPECT_EQ(state().partCount, 3);
  EXPECT_EQ(state().lastRow, 4);
  EXPECT_EQ(state().abortFlag, "");
  EXPECT_EQ(state().listAttributeName, "Part Type");

  // Each run adds a workbook of its own and numbers from 1 again.
  world.user.answerInput("");
  list(capture::listFromPadsLogic);
  EXPECT_EQ(excel()->workbookCount(), 2);
  EXPECT_EQ(row(2, 1), (std::vector<std::string>{"1"}));
  EXPECT_TRUE(world.user.messages().empty());
}

TEST_F(PadsListTest, TheSixthColumnIsTheAttributeTheSettingsName) {
  run(kLogic, kSchematic);
  run(kLayout, kBoard);
  struct Case {
    void (*op)(platform::ToolContext&);
    ui::ComboBox* box;
    const char* attribute;
    std::vector<std::string> column;  // F1 to F4
  };
  const Case cases[] = {
      {capture::listFromPadsLogic, &settings().combo1, "Comment", {"'Comment'", "'运放'", "", ""}},
      {capture::listFromPadsLogic, &settings().combo1, "", {"", "", "", ""}},
      {capture::listFromPadsLayout, &settings().combo2, "Comment", {"'Comment'", "'RES'", "", "'MCU'"}},
      {capture::listFromPadsLayout, &settings().combo2, "Tolerance", {"'Tolerance'", "'1%'", "", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.attribute);
    type(*c.box, c.attribute);
    if (c.op == capture::listFromPadsLayout) world.user.answerNo();
    world.user.answerInput("");
    list(c.op);
    std::vector<std::string> column;
    for (long r = 1; r <= 4; ++r) column.push_back(cellText(listSheet()->get(r, 6)));
    EXPECT_EQ(column, c.column);
  }
}

TEST_F(PadsListTest, AProgramThatDoesNotRunIsStartedForTheDesignTheUserPicks) {
  struct Case {
    const char* source;
    const char* progId;
    const char* filter;
    const char* title;
    const char* json;
  };
  const Case cases[] = {
      {"Logic", kLogic, "文件类型(*.sch)|*.sch", "请选择将要打开的sch文件", kSchematic},
      {"Layout", kLayout, "文件类型(*.pcb)|*.pcb", "请选择将要打开的pcb文件", kBoard},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    std::string path = dir.write(std::string("picked-") + c.source, c.json);
    world.user.answerFile(path);
    if (std::string(c.source) == "Layout") world.user.answerNo();
    world.user.answerInput("");
    create(c.source);
    ASSERT_FALSE(world.user.dialogs().empty());
    EXPECT_EQ(world.user.dialogs().back().filter, c.filter);
    EXPECT_EQ(world.user.dialogs().back().title, c.title);
    EXPECT_EQ(world.user.dialogs().back().flags, 4097);
    auto pads = world.programs.pads(c.progId);
    ASSERT_TRUE(pads);
    EXPECT_TRUE(pads->visible());
    EXPECT_EQ(pads->takeLog(), (std::vector<std::string>{"Visible True", "OpenDocument " + path}));
    EXPECT_EQ(state().partCount, std::string(c.source) == "Logic" ? 3 : 5);
    // "Create" went on to the normaliser.
    EXPECT_EQ(excel()->activeWorkbook()->sheet(1)->name(), "BOM Report");
  }
}

TEST_F(PadsListTest, ACancelledDialogAbandonsTheImportAndShowsTheStartedProgram) {
  run(kLayout, kBoard);
  world.user.cancelFile();
  create("Logic");
  EXPECT_EQ(state().abortFlag, "ON");
  EXPECT_EQ(excel()->workbookCount(), 0);
  EXPECT_TRUE(world.user.messages().empty());
  EXPECT_TRUE(world.user.inputs().empty());
  // PADS Logic was started for the dialog: it is not left running hidden.
  auto logic = world.programs.pads(kLogic);
  ASSERT_TRUE(logic);
  EXPECT_TRUE(logic->visible());
  EXPECT_EQ(logic->takeLog(), (std::vector<std::string>{"Visible True"}));

  // The next "Create" starts with the flag empty and runs to the BOM report.
  declineFiles();
  create("Layout");
  EXPECT_EQ(state().abortFlag, "");
  EXPECT_EQ(excel()->workbookCount(), 1);
  EXPECT_EQ(excel()->activeWorkbook()->sheet(1)->name(), "BOM Report");
}

TEST_F(PadsListTest, ADesignWithoutPartsGivesUpWithoutAQuestion) {
  auto layout = run(kLayout, kBoard);
  acceptFiles(true, true);
  create("Layout");
  ASSERT_EQ(state().bottomMirrorAnswer, MirrorAnswer::Yes);
  const size_t inputs = world.user.inputs().size();
  const size_t shown = world.user.messages().size();

  run(kLogic, R"({"name": "empty.sch"})");
  layout->openDocument(dir.write("jumpers-only.pcb", R"({"jumpers": [{"name": "W1", "length": 2}]})"));
  for (const char* source : {"Logic", "Layout"}) {
    SCOPED_TRACE(source);
    create(source);
    ASSERT_FALSE(world.user.messages().empty());
    EXPECT_EQ(world.user.messages().back().text, "No Components Export!!!");
    EXPECT_EQ(world.user.messages().back().title, "Velmora");
    EXPECT_EQ(state().abortFlag, "ON");
    EXPECT_EQ(state().partCount, 0);
  }
  EXPECT_EQ(world.user.messages().size(), shown + 2);  // no question was asked
  EXPECT_EQ(world.user.inputs().size(), inputs);
  EXPECT_EQ(excel()->workbookCount(), 1);
  // An import that ends before the questions leaves the mirror answer as it was.
  EXPECT_EQ(state().bottomMirrorAnswer, MirrorAnswer::Yes);
}

// A count that cannot be read is no count: the import takes the no-parts path instead of
// going on with the previous run's number.
TEST_F(PadsListTest, APartCountThatCannotBeReadCountsAsNoParts) {
  run(kLayout, kBoard);
  struct Case {
    const char* name;
    std::function<void()> arrange;
    const char* source;
  };
  const Case cases[] = {
      {"Components fails", [&] { world.faults.set(kLayout, "Components"); }, "Layout"},
      {"ActiveDocument fails", [&] { world.faults.set(kLayout, "ActiveDocument"); }, "Layout"},
      {"PADS Logic cannot start",
       [&] {
         world.faults.set(kLogic, "Start");
         world.user.answerFile(dir.write("s.sch", kSchematic));
       },
       "Logic"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    world.faults.clear();
    declineFiles();
    create("Layout");
    ASSERT_EQ(state().partCount, 5);
    const long books = excel()->workbookCount();
    c.arrange();
    create(c.source);
    ASSERT_FALSE(world.user.messages().empty());
    EXPECT_EQ(world.user.messages().back().text, "No Components Export!!!");
    EXPECT_EQ(state().partCount, 0);
    EXPECT_EQ(state().abortFlag, "ON");
    EXPECT_EQ(excel()->workbookCount(), books);
  }
}

TEST_F(PadsListTest, ACoordinateBeyondFifteenDigitsListsAsNumberText) {
  // 1.797e308 once became a text of 309 digits; a number holds 15 of them.
  run(kLayout, R"({"layers": {"1": "Top"}, "parts": [{"name": "R1", "layer": 1, "centerX": 1.797e308,
      "centerY": -1e20, "attributes": {"Value": "1K"}}]})");
  declineFiles();
  list(capture::listFromPadsLayout);
  xl::SheetPtr s = listSheet();
  EXPECT_EQ(vb::toText(s->get(2, 10)), "1.797E+308");
  EXPECT_EQ(vb::toText(s->get(2, 11)), "-1E+20");
}

TEST_F(PadsListTest, LayoutListsPartsThenJumpersInThirteenColumns) {
  run(kLayout, kBoard);
  declineFiles();
  list(capture::listFromPadsLayout);
  EXPECT_EQ(row(1, 14), (std::vector<std::string>{"'No.'", "'Value'", "'PartDecal'", "'Qty'", "'RefDes'", "'Comment'",
                                                  "'Pins'", "'layer'", "'Orient.'", "'X'", "'Y'", "'SMD'", "'Glued'", ""}));
  // Declined files: centre coordinates, nothing mirrored; the "0.000" texts land in
  // general-format cells, which hold them as numbers.
  EXPECT_EQ(row(2, 13), (std::vector<std::string>{"1", "'10K'", "'R0603'", "'1'", "'R1'", "'RES'", "2", "'Top'", "90",
                                                  "13", "3.5", "'Yes'", "'No'"}));
  EXPECT_EQ(row(3, 13), (std::vector<std::string>{"2", "'0402'", "'C0402'", "'1'", "'C7'", "", "2", "'Bottom'", "180",
                                                  "-1.25", "40.5", "'Yes'", "'Yes'"}));
  EXPECT_EQ(row(4, 13), (std::vector<std::string>{"3", "'NC'", "'QFN-3'", "'1'", "'U3'", "'MCU'", "3", "'bottom'", "45.5",
                                                  "101", "201", "'No'", "'No'"}));
  EXPECT_EQ(row(5, 13), (std::vector<std::string>{"4", "2.54", "2.54", "1", "'W2'", "", "2", "'Top'", "90", "", "",
                                                  "'No'", ""}));
  EXPECT_EQ(row(6, 13), (std::vector<std::string>{"5", "5", "5", "1", "'W1'", "", "2", "'Top'", "0", "", "", "'No'", ""}));
  EXPECT_EQ(row(7, 1), (std::vector<std::string>{""}));
  xl::SheetPtr s = listSheet();
  EXPECT_EQ(s->styleAt(6, 6).numberFormat, "@");
  EXPECT_EQ(s->styleAt(7, 6).numberFormat, "General");
  EXPECT_EQ(s->styleAt(2, 7).numberFormat, "General");
  EXPECT_EQ(s->styleAt(1, 13).fill, 9478398);
  EXPECT_EQ(s->styleAt(1, 14).fill, xl::kNoFill);
  EXPECT_EQ(xl::addressText(*s->filter()), "$A$1:$M$6");
  EXPECT_EQ(state().partCount, 5);
  EXPECT_EQ(state().lastRow, 6);
  EXPECT_EQ(state().bottomMirrorAnswer, MirrorAnswer::FilesDeclined);
  EXPECT_EQ(state().listAttributeName, "Comment");
  EXPECT_TRUE(world.desktop.processes().empty());
  EXPECT_FALSE(fs::exists(reportFile("report.txt")));
  EXPECT_FALSE(fs::exists(reportFile("report.csv")));
  ASSERT_EQ(world.user.messages().size(), 1u);
  EXPECT_EQ(world.user.messages()[0].text, "是否输出(csv,txt格式)坐标文件？");
  EXPECT_EQ(world.user.messages()[0].buttons, platform::Buttons::YesNo);
}

TEST_F(PadsListTest, TheCoordinateAnswersChooseTheCoordinatesAndMirrorOnlyBottomX) {
  run(kLayout, kBoard);
  struct Case {
    bool defaults, mirror;
    std::vector<std::string> xy;  // X and Y of R1 (Top), C7 (Bottom), U3 ("bottom")
    MirrorAnswer answer;
  };
  const Case cases[] = {
      {true, true, {"12.345", "3.25", "-12.345", "-40", "100", "200"}, MirrorAnswer::Yes},
      {false, true, {"13", "3.5", "1.25", "40.5", "101", "201"}, MirrorAnswer::Yes},
      {true, false, {"12.345", "3.25", "12.345", "-40", "100", "200"}, MirrorAnswer::No},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.defaults) + std::to_string(c.mirror));
    acceptFiles(c.defaults, c.mirror);
    list(capture::listFromPadsLayout);
    std::vector<std::string> xy;
    for (long r = 2; r <= 4; ++r)
      for (long col = 10; col <= 11; ++col) xy.push_back(cellText(listSheet()->get(r, col)));
    EXPECT_EQ(xy, c.xy);
    EXPECT_EQ(state().bottomMirrorAnswer, c.answer);
  }
  const std::vector<std::string> questions = {"是否输出(csv,txt格式)坐标文件？", "选择是-元件默认坐标输出;\n选择否-元件中心坐标输出.",
                                              "底层PositionX坐标是否镜像？"};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(world.user.messages()[i].text, questions[i]);
    EXPECT_EQ(world.user.messages()[i].buttons, platform::Buttons::YesNo);
  }
}

TEST_F(PadsListTest, AcceptedFilesAreWrittenIntoTheProgramFolderAndOpenedInNotepad) {
  run(kLayout, kBoard);
  acceptFiles(true, true);
  list(capture::listFromPadsLayout);
  const std::string folder = dir.path("program");
  EXPECT_EQ(world.desktop.processes(),
            (std::vector<std::string>{"notepad " + folder + "\\report.txt", "notepad " + folder + "\\report.csv"}));
  // Notepad gets the path as one argument of its own, never through a shell.
  EXPECT_EQ(world.desktop.launches().at(0), (std::vector<std::string>{"notepad", folder + "\\report.txt"}));
  // W is one more than the longest value of a part row (7 characters: "-12.345" as a
  // number, the texts "-40.000" and "100.000"); a header name longer than W is kept whole.
  std::vector<vb::AnsiLine> txt = platform::Files().readLines(reportFile("report.txt").string());
  ASSERT_EQ(txt.size(), 7u);
  EXPECT_EQ(txt[0].text, "Bill Of Materials for board.pcb on  2024-05-06");
  EXPECT_EQ(txt[1].text, "No.     Value   PartDecalQty     RefDes  Part TypePins    layer   Orient  X       Y       SMD     Glued");
  EXPECT_EQ(txt[3].text, "2       0402    C0402   1       C7              2       Bottom  180     -12.345 -40     Yes     Yes");
  EXPECT_EQ(txt[6].text, "5       5       5       1       W1              2       Top     0                       No      ");
  std::vector<vb::AnsiLine> csv = platform::Files().readLines(reportFile("report.csv").string());
  ASSERT_EQ(csv.size(), 7u);
  EXPECT_EQ(csv[1].text, "No.,Value,PartDecal,Qty,RefDes,Part Type,Pins,layer,Orient,X,Y,SMD,Glued");
  EXPECT_EQ(csv[2].text, R"("1","10K","R0603","1","R1","RES","2","Top","90","12.345","3.25","Yes","No")");
  EXPECT_EQ(csv[6].text, R"("5","5","5","1","W1","","2","Top","0","","","No","")");

  // Another run replaces both files and opens two more windows.
  acceptFiles(false, false);
  list(capture::listFromPadsLayout);
  EXPECT_EQ(world.desktop.processes().size(), 4u);
  csv = platform::Files().readLines(reportFile("report.csv").string());
  EXPECT_EQ(csv[3].text, R"("2","0402","C0402","1","C7","","2","Bottom","180","-1.25","40.5","Yes","Yes")");
}

TEST_F(PadsListTest, AFileThatCannotBeWrittenStopsTheCommandAfterTheList) {
  run(kLayout, kBoard);
  world.faults.failWrites(reportFile("report.txt").string());
  acceptFiles(true, false);
  create("Layout");
  ASSERT_FALSE(world.user.messages().empty());
  EXPECT_EQ(world.user.messages().back().text, "运行时错误 '75':\nPath/File access error");
  EXPECT_TRUE(world.desktop.processes().empty());
  EXPECT_FALSE(fs::exists(reportFile("report.csv")));
  // The list stays; "Create" ran no further.
  EXPECT_EQ(row(2, 5)[4], "'R1'");
  EXPECT_NE(excel()->activeWorkbook()->sheet(1)->name(), "BOM Report");
}

TEST_F(PadsListTest, ReportTextPadsEveryColumnToTheWidthAndNeverCutsAText) {
  capture::CoordinateReport r;
  r.designName = "板.pcb";
  r.date = "2024-05-06";
  r.width = 4;
  r.rows = vb::Table(2, 13);
  const vb::Variant first[13] = {1.0, "电阻", "R0603", "1", "R1", "", 2.0, "Top", 90.0, -12.345, 0.5, "Yes", "No"};
  for (long c = 1; c <= 13; ++c) r.rows(1, c) = first[c - 1];
  r.rows(2, 1) = 2.0;
  r.rows(2, 13) = "Glued";
  std::vector<std::string> lines = capture::reportTxtLines(r);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "Bill Of Materials for 板.pcb on  2024-05-06");
  EXPECT_EQ(lines[1], "No. ValuePartDecalQty RefDesPart TypePinslayerOrientX   Y   SMD Glued");
  // A Chinese character counts one; a number is printed in its shortest form.
  EXPECT_EQ(lines[2], "1   电阻  R06031   R1      2   Top 90  -12.3450.5 Yes No");
  EXPECT_EQ(lines[3], "2" + std::string(47, ' ') + "Glued");
}

TEST_F(PadsListTest, ReportCsvQuotesEveryValueAndDoublesAQuoteInside) {
  capture::CoordinateReport r;
  r.designName = "a,b";
  r.date = "2024-05-06";
  r.rows = vb::Table(1, 13);
  r.rows(1, 1) = 1.0;
  r.rows(1, 2) = "6\"";
  r.rows(1, 3) = "a,\"b\"";
  r.rows(1, 10) = 12.5;
  std::vector<std::string> lines = capture::reportCsvLines(r);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Bill Of Materials for a,b on  2024-05-06");
  EXPECT_EQ(lines[2], R"("1","6""","a,""b""","","","","","","","12.5","","","")");
}

// The bytes of both files as the golden Layout session leaves them: 8-bit GBK text, CR LF
// line ends. The session is played from a copy whose program folder is this test's own.
TEST_F(PadsListTest, TheLayoutSessionsReportFilesHoldExactlyTheseBytes) {
  const fs::path e2e = fs::path(VELMORA_SOURCE_DIR) / "tests" / "e2e";
  fs::copy(e2e / "fixtures", dir / "fixtures", fs::copy_options::recursive);
  std::istringstream original(readBytes(e2e / "create_layout.session"));
  std::string session, line;
  int folders = 0;
  while (std::getline(original, line)) {
    if (line.rfind("folder ", 0) == 0 || line.rfind("save ", 0) == 0) {
      line = line.substr(0, line.find(' ')) + " reports";
      ++folders;
    }
    session += line + "\n";
  }
  ASSERT_EQ(folders, 2);
  dir.write("create_layout.session", session);
  std::ostringstream printed, errors;
  ASSERT_EQ(app::playSession(dir.path("create_layout.session"), std::nullopt, printed, errors), 0) << errors.str();

  auto gbk = [](const std::vector<std::string>& lines) {
    std::string bytes;
    for (const auto& l : lines) bytes += vb::utf8ToAnsi(l) + "\r\n";
    return bytes;
  };
  const std::string txt = readBytes(dir / "reports" / "report.txt");
  EXPECT_EQ(txt, gbk({
      "Bill Of Materials for gateway.pcb on  2024-05-06",
      "No.          Value        PartDecal    Qty          RefDes       Part Type    Pins         layer        Orient       X            Y            SMD          Glued",
      "1            10K          R0603        1            R1           贴片电阻         2            Top          90           25.4         10.16        Yes          No",
      "2            4.7K         R0603        1            R2           贴片电阻         2            Bottom       270          -12.345      8            Yes          No",
      "3            100nF        C0402        1            C1           CAP          2            Bottom       0            -40.001      12.5         Yes          Yes",
      "4            100uF/16V    CAP-ELEC-5MM 1            C2           电解电容         2            Top          0            55           30.48        No           No",
      "5            LM358        SOIC8        1            U1                        8            Top          180          70.1         20.3         Yes          No",
      "6            TS-1187      TS-6X6       1            SW1          KEY \"RESET\"  4            Top          90           90           5.5          No           No",
      "7            NC           TO-92        1            Q1           NPN          3            Top          0            100.25       40           No           No",
      "8            10.16        10.16        1            W1                        2            Top          90                                     No           ",
      "9            5.08         5.08         1            W2                        2            Top          0                                      No           ",
  }));
  EXPECT_NE(txt.find("\xB5\xE7\xBD\xE2\xB5\xE7\xC8\xDD"), std::string::npos);  // 电解电容 in GBK
  EXPECT_EQ(readBytes(dir / "reports" / "report.csv"), gbk({
      "Bill Of Materials for gateway.pcb on  2024-05-06",
      "No.,Value,PartDecal,Qty,RefDes,Part Type,Pins,layer,Orient,X,Y,SMD,Glued",
      R"("1","10K","R0603","1","R1","贴片电阻","2","Top","90","25.4","10.16","Yes","No")",
      R"("2","4.7K","R0603","1","R2","贴片电阻","2","Bottom","270","-12.345","8","Yes","No")",
      R"("3","100nF","C0402","1","C1","CAP","2","Bottom","0","-40.001","12.5","Yes","Yes")",
      R"("4","100uF/16V","CAP-ELEC-5MM","1","C2","电解电容","2","Top","0","55","30.48","No","No")",
      R"("5","LM358","SOIC8","1","U1","","8","Top","180","70.1","20.3","Yes","No")",
      R"("6","TS-1187","TS-6X6","1","SW1","KEY ""RESET""","4","Top","90","90","5.5","No","No")",
      R"("7","NC","TO-92","1","Q1","NPN","3","Top","0","100.25","40","No","No")",
      R"("8","10.16","10.16","1","W1","","2","Top","90","","","No","")",
      R"("9","5.08","5.08","1","W2","","2","Top","0","","","No","")",
  }));
}

TEST_F(PadsListTest, LargeDesignsAreListedWholePastSixteenBits) {
  std::string parts;
  const long n = 40000;
  for (long i = 1; i <= n; ++i) {
    if (i > 1) parts += ",";
    parts += R"({"name": "R)" + std::to_string(i) + R"(", "decal": "R0603", "pcbDecal": "R0603", "layer": )" +
             (i % 2 ? "1" : "2") + R"(, "x": )" + std::to_string(i) + R"(, "y": 1.5, "attributes": {"Value": "10K"}})";
  }
  const std::string json = R"({"name": "big.pcb", "layers": {"1": "Top", "2": "Bottom"}, "parts": [)" + parts +
                           R"(], "jumpers": [{"name": "W1", "length": 3}]})";
  run(kLayout, json);
  run(kLogic, json);
  auto start = std::chrono::steady_clock::now();
  acceptFiles(true, true);
  list(capture::listFromPadsLayout);
  EXPECT_EQ(state().partCount, n + 1);
  EXPECT_EQ(state().lastRow, n + 2);
  EXPECT_EQ(row(n + 1, 11), (std::vector<std::string>{"40000", "'10K'", "'R0603'", "'1'", "'R40000'", "", "0", "'Bottom'",
                                                       "0", "-40000", "1.5"}));
  EXPECT_EQ(row(n + 2, 5)[4], "'W1'");
  EXPECT_EQ(platform::Files().readLines(reportFile("report.csv").string()).size(), static_cast<size_t>(n + 3));
  world.user.answerInput("");
  list(capture::listFromPadsLogic);
  EXPECT_EQ(state().partCount, n);
  EXPECT_EQ(row(n + 1, 5)[4], "'R40000'");
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(seconds, 20.0);
}

// The example designs: both board sides, SMD and through-hole parts, a part without a
// value and a jumper on the board; the same parts in the schematic.
TEST_F(PadsListTest, TheExampleDesignsAreListed) {
  auto read = [](const char* name) { return readBytes(fs::path(VELMORA_SOURCE_DIR) / "examples" / name); };
  run(kLayout, read("demo_layout.pcb"));
  run(kLogic, read("demo_logic.sch"));
  declineFiles();
  list(capture::listFromPadsLayout);
  EXPECT_EQ(state().partCount, 9);
  std::set<std::string> sides, smd, values;
  for (long r = 2; r <= 9; ++r) {
    sides.insert(cellText(listSheet()->get(r, 8)));
    smd.insert(cellText(listSheet()->get(r, 12)));
    values.insert(cellText(listSheet()->get(r, 2)));
  }
  EXPECT_EQ(sides, (std::set<std::string>{"'Top'", "'Bottom'"}));
  EXPECT_EQ(smd, (std::set<std::string>{"'Yes'", "'No'"}));
  EXPECT_TRUE(values.count("'NC'"));
  EXPECT_EQ(row(10, 5)[4], "'W1'");
  world.user.answerInput("");
  list(capture::listFromPadsLogic);
  EXPECT_EQ(state().partCount, 8);
}

TEST_F(PadsListTest, AListLongerThanASheetStopsWithAClearError) {
  EXPECT_NO_THROW(platform::checkListFitsSheet(xl::kMaxRows - 1));
  try {
    platform::checkListFitsSheet(xl::kMaxRows);
    FAIL() << "no error";
  } catch (const vb::Error& e) {
    EXPECT_EQ(e.number(), vb::kOverflow);
    EXPECT_EQ(e.description(), "元件数量 1048576 超过工作表的最大行数,无法输出元件清单");
  }
}

TEST_F(PadsListTest, AnUnknownSpreadsheetSettingEndsTheProgramBeforePadsIsAsked) {
  type(settings().combo5, "wps");
  create("Logic");
  EXPECT_TRUE(program->ended());
  ASSERT_EQ(world.user.messages().size(), 1u);
  EXPECT_EQ(world.user.messages()[0].text, "请在设置中选择BOM输出软件");
  EXPECT_TRUE(world.user.dialogs().empty());
  EXPECT_FALSE(world.programs.pads(kLogic));
}

}  // namespace
