// "Format BOM" from PADS Layout and from an Altium Designer BOM workbook: the part list on
// sheet 2, the two questions and their flags, the mirror answer of the latest "Create",
// and the hand-over to the Format BOM change report.
#include <gtest/gtest.h>

#include <filesystem>

#include "capture/part_lists.h"
#include "formats/workbook_data.h"
#include "support/program_fixture.h"
#include "support/scratch_dir.h"
#include "vb/convert.h"

namespace {

namespace fs = std::filesystem;
namespace xl = platform::xl;
using testing_support::ProgramTest;
using testing_support::ScratchDir;

constexpr const char* kLayout = "PowerPCB.Application";
constexpr const char* kSplitQuestion = "选择:是-按Part Layer输出\n选择:否-按SMT OR DIP输出";
constexpr const char* kKeepQuestion = "是否在Excel中保留Part Type";

std::string cellText(const vb::Variant& v) {
  if (v.isEmpty()) return "";
  if (v.isNumber()) return vb::numberText(v.number());
  return "'" + vb::toText(v) + "'";
}

// Parts on both sides, one without a value and one whose designator has no category.
const char* const kBoard = R"({"name": "board.pcb", "layers": {"1": "Top", "2": "Bottom"},
  "parts": [
    {"name": "R1", "decal": "R0603", "layer": 1, "orientation": 90, "x": 12.345, "y": 3.25,
     "centerX": 13, "centerY": 3.5, "smd": true, "pins": 2, "attributes": {"Value": "10K", "Comment": "RES"}},
    {"name": "usb1", "decal": "USB-A", "layer": 2, "orientation": 180, "x": 40, "y": -7.5,
     "centerX": 41, "centerY": -7, "glued": true, "pins": 4, "attributes": {"Value": "USB-A"}},
    {"name": "K1", "decal": "RELAY", "layer": 1, "x": 60.0005, "y": 1, "pins": 5}],
  "jumpers": [{"name": "W1", "length": 2.54, "orientation": 90}]})";

class FormatListTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    world.desktop.setProgramFolder(dir.dir().string());
  }

  std::shared_ptr<sim::SimSpreadsheet> startExcel() {
    auto x = world.programs.runSpreadsheet("Excel.Application");
    x->setVisible(true);
    return x;
  }
  std::shared_ptr<sim::SimPads> runLayout(const std::string& json) {
    auto p = world.programs.runPads(kLayout);
    p->setVisible(true);
    p->openDocument(dir.write("board.pcb", json));
    p->takeLog();
    return p;
  }
  std::shared_ptr<sim::SimSpreadsheet> excel() { return world.programs.spreadsheet("Excel.Application"); }
  std::vector<std::string> row(xl::Sheet& s, long r, long cols) {
    std::vector<std::string> out;
    for (long c = 1; c <= cols; ++c) out.push_back(cellText(s.get(r, c)));
    return out;
  }
  std::vector<std::string> sheetNames(xl::Workbook& wb) {
    std::vector<std::string> out;
    for (long i = 1; i <= wb.sheetCount(); ++i) out.push_back(wb.sheet(i)->name());
    return out;
  }
  void answer(bool yes) { yes ? world.user.answerYes() : world.user.answerNo(); }
  // "Format BOM" with this source and the answers to the split and part-type questions.
  void formatBom(const std::string& source, bool byLayer, bool keepTypes) {
    answer(byLayer);
    answer(keepTypes);
    type(tool().combo1, source);
    click(tool().command5);
  }
  // A "Create" from PADS Layout that leaves this mirror answer (files declined when null).
  void createLayout(std::optional<bool> mirror) {
    answer(mirror.has_value());
    if (mirror) {
      world.user.answerYes();
      answer(*mirror);
    }
    world.user.answerInput("");
    type(tool().combo1, "Layout");
    click(tool().command1);
  }
  // The Format BOM change report ran to its end: the three sheets are named and the
  // application was released.
  void expectPipelineRan(xl::Workbook& wb) {
    EXPECT_EQ(wb.sheet(1)->name(), "BOM Report");
    EXPECT_EQ(wb.sheet(2)->name(), "List Report");
    EXPECT_EQ(wb.sheet(3)->name(), "Change Report");
    EXPECT_FALSE(state().spreadsheetApp);
  }

  ScratchDir dir{"format"};
};

TEST_F(FormatListTest, LayoutListHasSixteenColumnsUnderThirteenHeadings) {
  startExcel();
  runLayout(kBoard);
  formatBom("Layout", true, true);
  xl::WorkbookPtr wb = excel()->activeWorkbook();
  expectPipelineRan(*wb);
  xl::Sheet& s = *wb->sheet(2);
  EXPECT_EQ(row(s, 1, 14), (std::vector<std::string>{"'No.'", "'Value'", "'PartDecal'", "'Qty'", "'RefDes'", "'Part Type'",
                                                     "'Pins'", "'layer'", "'Orient.'", "'X'", "'Y'", "'SMD'", "'Glued'", ""}));
  // The category comes from the designator, the coordinates are always the position.
  EXPECT_EQ(row(s, 2, 16), (std::vector<std::string>{"1", "'10K'", "'R0603'", "'1'", "'R1'", "'Resister'", "2", "'Top'",
                                                     "90", "12.345", "3.25", "'Yes'", "'No'", "", "", ""}));
  EXPECT_EQ(row(s, 3, 13), (std::vector<std::string>{"2", "'USB-A'", "'USB-A'", "'1'", "'usb1'", "'Jack'", "4", "'Bottom'",
                                                     "180", "40", "-7.5", "'No'", "'Yes'"}));
  EXPECT_EQ(row(s, 4, 13), (std::vector<std::string>{"3", "'NC'", "'RELAY'", "'1'", "'K1'", "", "5", "'Top'", "0",
                                                     "60.001", "1", "'No'", "'No'"}));
  EXPECT_EQ(row(s, 5, 16), (std::vector<std::string>{"4", "2.54", "2.54", "1", "'W1'", "'Jumper'", "2", "'Top'", "90", "",
                                                     "", "'No'", "", "", "", ""}));
  EXPECT_EQ(s.styleAt(5, 6).numberFormat, "@");
  EXPECT_EQ(s.styleAt(2, 7).numberFormat, "General");
  for (long c = 1; c <= 13; ++c) EXPECT_EQ(s.styleAt(1, c).fill, 9478398) << c;
  EXPECT_EQ(s.styleAt(1, 14).fill, xl::kNoFill);
  EXPECT_EQ(state().partCount, 4);
  EXPECT_EQ(state().lastRow, 5);
  // No prefix question, no coordinate files.
  EXPECT_TRUE(world.user.inputs().empty());
  EXPECT_TRUE(world.desktop.processes().empty());
  EXPECT_FALSE(fs::exists(dir / "report.txt"));
  ASSERT_EQ(world.user.messages().size(), 2u);
  EXPECT_EQ(world.user.messages()[0].text, kSplitQuestion);
  EXPECT_EQ(world.user.messages()[1].text, kKeepQuestion);
  for (const auto& m : world.user.messages()) {
    EXPECT_EQ(m.buttons, platform::Buttons::YesNo);
    EXPECT_EQ(m.title, "Velmora");
  }
}

TEST_F(FormatListTest, EachRunsAnswersSetTheTwoFlags) {
  startExcel();
  runLayout(kBoard);
  formats::WorkbookData bom;
  bom.name = "bom.xlsx";
  formats::SheetData sheet;
  sheet.name = "BOM";
  for (long c = 1; c <= 5; ++c) sheet.cells.push_back({2, c, vb::Variant(c == 5 ? "R1" : "x"), {}});
  bom.sheets.push_back(sheet);
  struct Case {
    bool byLayer, keepTypes;
    const char* split;
    const char* keep;
  };
  const Case cases[] = {{false, false, "NO", "NO"}, {true, true, "", ""}, {true, false, "", "NO"}, {false, true, "NO", ""}};
  for (const char* source : {"Layout", "Altium Designer"}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(source) + " " + c.split + "/" + c.keep);
      if (std::string(source) == "Altium Designer") excel()->addWorkbookFromData(bom);
      formatBom(source, c.byLayer, c.keepTypes);
      EXPECT_EQ(state().splitByLayerFlag, c.split);
      EXPECT_EQ(state().keepPartTypeFlag, c.keep);
      expectPipelineRan(*excel()->activeWorkbook());
    }
  }
}

// The list never asks the mirror question: bottom X is negated only when the latest
// PADS Layout "Create" of this program run was answered Yes.
TEST_F(FormatListTest, BottomXIsMirroredOnlyAfterACreateAnsweredYes) {
  startExcel();
  runLayout(kBoard);
  auto bottomX = [&] {
    formatBom("Layout", true, true);
    return cellText(excel()->activeWorkbook()->sheet(2)->get(3, 10));
  };
  EXPECT_EQ(bottomX(), "40");  // no "Create" yet
  createLayout(true);
  EXPECT_EQ(bottomX(), "-40");
  EXPECT_EQ(cellText(excel()->activeWorkbook()->sheet(2)->get(2, 10)), "12.345");  // the top part keeps its X
  EXPECT_EQ(bottomX(), "-40");  // "Format BOM" keeps the answer
  createLayout(false);
  EXPECT_EQ(bottomX(), "40");
  createLayout(true);
  createLayout(std::nullopt);  // files declined
  EXPECT_EQ(bottomX(), "40");
}

TEST_F(FormatListTest, ADesignWithoutPartsShowsItsNameAndStopsNothingElse) {
  startExcel();
  runLayout(R"({"name": "empty.pcb", "jumpers": [{"name": "W1", "length": 1}]})");
  state().partCount = 7;
  type(tool().combo1, "Layout");
  click(tool().command5);
  ASSERT_EQ(world.user.messages().size(), 1u);
  EXPECT_EQ(world.user.messages()[0].text, "empty.pcb\nNo Components Export!!!");
  EXPECT_EQ(state().abortFlag, "ON");
  EXPECT_EQ(state().partCount, 0);
  EXPECT_EQ(excel()->workbookCount(), 0);

  // The "Create" that follows starts with the flag empty.
  world.programs.pads(kLayout)->openDocument(dir.write("board2.pcb", kBoard));
  createLayout(std::nullopt);
  EXPECT_EQ(state().abortFlag, "");
  EXPECT_EQ(excel()->activeWorkbook()->sheet(1)->name(), "BOM Report");
}

TEST_F(FormatListTest, AStartedPadsLayoutIsShownAndAnEmptyPathGoesOnToIt) {
  startExcel();
  type(tool().combo1, "Layout");
  world.user.cancelFile();
  click(tool().command5);
  ASSERT_EQ(world.user.dialogs().size(), 1u);
  EXPECT_EQ(world.user.dialogs()[0].filter, "文件类型(*.pcb)|*.pcb");
  EXPECT_EQ(world.user.dialogs()[0].title, "请选择将要打开的pcb文件");
  auto pads = world.programs.pads(kLayout);
  ASSERT_TRUE(pads);
  EXPECT_TRUE(pads->visible());
  EXPECT_EQ(pads->takeLog(), (std::vector<std::string>{"Visible True", "OpenDocument \"\""}));
  // Without a design there is no count and no name: the no-parts path.
  ASSERT_EQ(world.user.messages().size(), 1u);
  EXPECT_EQ(world.user.messages()[0].text, "No Components Export!!!");
  EXPECT_EQ(state().abortFlag, "ON");
  EXPECT_EQ(excel()->workbookCount(), 0);
}

// An Altium Designer BOM in the part-list column order, below a header the list replaces.
formats::WorkbookData altiumBom(long sheets, const std::vector<std::string>& designators) {
  formats::WorkbookData wb;
  wb.name = "altium.xlsx";
  formats::SheetData bom;
  bom.name = "BOM";
  auto put = [&](long r, long c, vb::Variant v) { bom.cells.push_back({r, c, std::move(v), {}}); };
  const char* header[] = {"#", "Comment", "Footprint", "Quantity", "Designator", "Type", "Pins", "Layer",
                          "Rotation", "X", "Y", "SMD", "Glued", "Key", "Supplier"};
  for (long c = 1; c <= 15; ++c) put(1, c, header[c - 1]);
  for (size_t i = 0; i < designators.size(); ++i) {
    long r = static_cast<long>(i) + 2;
    put(r, 1, static_cast<double>(i + 1));
    put(r, 2, "10K");
    put(r, 3, "R0603");
    put(r, 4, 1.0);
    if (!designators[i].empty()) put(r, 5, designators[i]);
    put(r, 6, "Resister");
    put(r, 8, "Top");
  }
  // A totals line below the parts, with nothing in column E.
  put(static_cast<long>(designators.size()) + 3, 4, static_cast<double>(designators.size()));
  wb.sheets.push_back(bom);
  for (long k = 2; k <= sheets; ++k) {
    formats::SheetData s;
    s.name = "Own" + std::to_string(k);
    s.cells.push_back({1, 1, vb::Variant(s.name), {}});
    wb.sheets.push_back(s);
  }
  return wb;
}

TEST_F(FormatListTest, AnAltiumBomIsRelabelledAndMovedToSheetTwo) {
  auto x = startExcel();
  struct Case {
    long sheets;
    // Where the workbook's sheets end up; "+" is a sheet the list added.
    std::vector<std::string> order;
  };
  const Case cases[] = {
      {1, {"+", "BOM", "+"}},
      {2, {"+", "BOM", "+", "Own2"}},
      {3, {"Own2", "BOM", "Own3"}},
      {4, {"Own2", "BOM", "Own3", "Own4"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sheets);
    xl::WorkbookPtr wb = x->addWorkbookFromData(altiumBom(c.sheets, {"R1", "", "R3"}));
    std::vector<std::string> before = {"BOM"};
    for (long k = 2; k <= c.sheets; ++k) before.push_back("Own" + std::to_string(k));
    std::vector<xl::SheetPtr> sheets;
    for (long k = 1; k <= c.sheets; ++k) sheets.push_back(wb->sheet(k));
    formatBom("Altium Designer", true, true);
    ASSERT_EQ(wb->sheetCount(), static_cast<long>(c.order.size()));
    for (size_t k = 0; k < c.order.size(); ++k) {
      xl::SheetPtr s = wb->sheet(static_cast<long>(k) + 1);
      if (c.order[k] == "+") continue;
      auto at = std::find(before.begin(), before.end(), c.order[k]) - before.begin();
      EXPECT_EQ(s, sheets[static_cast<size_t>(at)]) << k;
    }
    expectPipelineRan(*wb);
    xl::Sheet& list = *wb->sheet(2);
    EXPECT_EQ(row(list, 1, 15),
              (std::vector<std::string>{"'No.'", "'Value'", "'PartDecal'", "'Qty'", "'RefDes'", "'Part Type'", "'Pins'",
                                        "'layer'", "'Orient.'", "'X'", "'Y'", "'SMD'", "'Glued'", "'Value-KEY'",
                                        "'Supplier'"}));
    for (long col = 1; col <= 14; ++col) {
      EXPECT_TRUE(list.styleAt(1, col).bold);
      EXPECT_EQ(list.styleAt(1, col).fontSize, 15);
      EXPECT_EQ(list.styleAt(1, col).fill, 9478398);
    }
    EXPECT_EQ(list.styleAt(1, 15).fill, xl::kNoFill);
    // The list runs to the last designator: the gap counts, the totals line does not.
    EXPECT_EQ(state().partCount, 3);
    EXPECT_EQ(state().lastRow, 4);
    EXPECT_EQ(cellText(list.get(4, 5)), "'R3'");
  }
  EXPECT_TRUE(world.user.dialogs().empty());
  EXPECT_TRUE(world.user.inputs().empty());
}

TEST_F(FormatListTest, AStartedSpreadsheetAsksForTheBomFileAndIsShown) {
  // The example BOM workbook, picked in the dialog (its filter says .xls whatever the setting).
  const std::string example = std::string(VELMORA_SOURCE_DIR) + "/examples/demo_altium_bom.xlsx";
  world.user.answerFile(example);
  formatBom("Altium Designer", false, false);
  ASSERT_EQ(world.user.dialogs().size(), 1u);
  EXPECT_EQ(world.user.dialogs()[0].filter, "文件类型(*.xls)|*.xls");
  EXPECT_EQ(world.user.dialogs()[0].title, "请选择将要处理的xls文件");
  auto x = excel();
  ASSERT_TRUE(x);
  EXPECT_TRUE(x->visible());
  xl::WorkbookPtr wb = x->activeWorkbook();
  EXPECT_EQ(wb->name(), "demo_altium_bom");
  expectPipelineRan(*wb);
  EXPECT_EQ(state().partCount, 13);
  EXPECT_EQ(state().splitByLayerFlag, "NO");
  EXPECT_EQ(state().keepPartTypeFlag, "NO");
  EXPECT_EQ(cellText(wb->sheet(2)->get(14, 5)), "'U2'");
}

TEST_F(FormatListTest, ACancelledBomDialogEndsQuietlyWithTheStartedProgramShown) {
  world.user.cancelFile();
  type(tool().combo1, "Altium Designer");
  click(tool().command5);
  auto x = excel();
  ASSERT_TRUE(x);
  EXPECT_TRUE(x->visible());
  EXPECT_EQ(x->workbookCount(), 0);
  EXPECT_TRUE(world.user.messages().empty());
}

TEST_F(FormatListTest, AnAltiumBomWithoutRowsOrWithoutAWorkbookEndsWithoutQuestions) {
  auto x = startExcel();
  // No workbook open: nothing can be counted, so nothing of an earlier run is taken.
  state().partCount = 12;
  type(tool().combo1, "Altium Designer");
  click(tool().command5);
  EXPECT_EQ(state().partCount, 0);
  EXPECT_TRUE(world.user.messages().empty());

  // Headings only: relabelled, the sheets added, then the end.
  xl::WorkbookPtr wb = x->addWorkbookFromData(altiumBom(1, {}));
  click(tool().command5);
  EXPECT_EQ(state().partCount, 0);
  EXPECT_TRUE(world.user.messages().empty());
  EXPECT_EQ(wb->sheetCount(), 3);
  EXPECT_EQ(wb->sheet(1)->name(), "BOM");
  EXPECT_EQ(cellText(wb->sheet(1)->get(1, 14)), "'Value-KEY'");
}

TEST_F(FormatListTest, TheRealAltiumExportRunsToTheEnd) {
  world.user.answerFile(std::string(VELMORA_SHARED_DIR) + "/samples/altium_bom_can_gateway_4.xls");
  formatBom("Altium Designer", true, true);
  xl::WorkbookPtr wb = excel()->activeWorkbook();
  expectPipelineRan(*wb);
  EXPECT_GT(state().partCount, 40);
  EXPECT_EQ(cellText(wb->sheet(2)->get(1, 14)), "'Value-KEY'");
}

}  // namespace
