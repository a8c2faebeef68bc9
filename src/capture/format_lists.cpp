// "Format BOM" from PADS Layout or from an Altium Designer BOM workbook: the part list on
// the second sheet, the two questions of the split BOM, then the Format BOM change report.
#include "capture/operations.h"
#include "capture/pads_attach.h"
#include "capture/part_category_rules.h"
#include "normalise/pipelines.h"
#include "platform/workbook_helpers.h"
#include "vb/error.h"

namespace capture {

namespace {

namespace xl = platform::xl;
namespace pads = platform::pads;

// The two questions of "Format BOM": the split (No: by mounting type) and whether the
// part-type rows stay (No: they are removed). Yes clears a flag, No sets it to "NO".
void askSplitQuestions(ToolContext& t) {
  platform::User& u = t.user();
  t.state.splitByLayerFlag =
      platform::askYes(u, platform::kTitle, "选择:是-按Part Layer输出\n选择:否-按SMT OR DIP输出") ? "" : "NO";
  t.state.keepPartTypeFlag = platform::askYes(u, platform::kTitle, "是否在Excel中保留Part Type") ? "" : "NO";
}

const char* const kFormatHeadings[14] = {"No.",   "Value",   "PartDecal", "Qty", "RefDes", "Part Type", "Pins",
                                         "layer", "Orient.", "X",         "Y",   "SMD",    "Glued",     "Value-KEY"};

vb::Table headingRow(long columns) {
  vb::Table head(1, columns);
  for (long c = 1; c <= columns; ++c) head(1, c) = kFormatHeadings[c - 1];
  return head;
}

}  // namespace

void layoutFormatBom(ToolContext& t) {
  ToolState& st = t.state;
  // Attaching stops the command when no program can be attached or started.
  platform::attachOrStartSpreadsheet(t.services, t.settings, st.spreadsheetApp);
  // The chosen path is not tested: an empty one goes to the program, whose failure is skipped.
  PadsDesign pads =
      attachPadsDesign(t, "Powerpcb.Application", "文件类型(*.pcb)|*.pcb", "请选择将要打开的pcb文件", EmptyPathRule::OpenAnyway);
  st.partCount = readPartCount(pads.app);
  if (st.partCount == 0) {
    // Without a design there is no name to show.
    std::string name = readDesignName(pads.app);
    platform::notify(t.user(), platform::kTitle, name.empty() ? kNoComponentsMessage : name + "\n" + kNoComponentsMessage);
    st.abortFlag = "ON";
    return;
  }
  askSplitQuestions(t);

  // From here a failure stops the command, except for the jumper rows.
  pads::Design& design = pads.app->activeDocument();
  const bool mirror = st.bottomMirrorAnswer == MirrorAnswer::Yes;
  std::vector<pads::Part*> parts = design.components();
  const long n = static_cast<long>(parts.size());
  checkListFitsSheet(n);
  vb::Table rows(n, 16);
  for (long i = 1; i <= n; ++i) {
    PartRecord r = readLayoutPart(design, *parts[static_cast<size_t>(i - 1)], nullptr, Coordinates::Position);
    rows(i, 1) = static_cast<double>(i);
    rows(i, 2) = std::move(r.value);
    rows(i, 3) = std::move(r.decal);
    rows(i, 4) = "1";
    rows(i, 6) = partCategory(r.designator);
    rows(i, 5) = std::move(r.designator);
    rows(i, 7) = static_cast<double>(r.pins);
    rows(i, 8) = r.side;
    rows(i, 9) = r.orientation;
    rows(i, 10) = coordinateX(r.x, r.side, mirror);
    rows(i, 11) = coordinateY(r.y);
    rows(i, 12) = yesNo(r.smd);
    rows(i, 13) = yesNo(r.glued);
  }

  std::vector<pads::Jumper*> jumpers = design.jumpers();
  const long j = static_cast<long>(jumpers.size());
  checkListFitsSheet(n + j);
  vb::Table jumperRows(j, 16);
  for (long k = 1; k <= j; ++k) {
    JumperRecord r = readJumperRecord(*jumpers[static_cast<size_t>(k - 1)]);
    jumperRows(k, 1) = static_cast<double>(n + k);
    jumperRows(k, 2) = r.length;
    jumperRows(k, 3) = r.length;
    jumperRows(k, 4) = 1.0;
    jumperRows(k, 5) = std::move(r.name);
    jumperRows(k, 6) = "Jumper";
    jumperRows(k, 7) = 2.0;
    jumperRows(k, 8) = "Top";
    jumperRows(k, 9) = r.orientation;
    jumperRows(k, 10) = "";
    jumperRows(k, 11) = "";
    jumperRows(k, 12) = "No";
  }
  st.partCount = n + j;
  st.lastRow = n + j + 1;

  xl::SheetPtr sheet = platform::newReportWorkbook(*st.spreadsheetApp)->sheet(2);
  const std::string last = std::to_string(st.lastRow);
  platform::textFirst(sheet->range("A1:F" + last));
  platform::blockWrite(sheet->cell(2, 1), rows, 16);
  vb::SkipOnError skip;
  skip.step([&] { platform::blockWrite(sheet->cell(n + 2, 1), jumperRows, 16); });
  sheet->range("A1:M1").setValues(headingRow(13));
  platform::listHeaderStyle(sheet->range("A1:M1"), sheet->range("A1:M" + last));
  normalise::formatZhuanhuan(t);
}

void altiumFormatBom(ToolContext& t) {
  ToolState& st = t.state;
  // Attaching stops the command when no program can be attached or started.
  const bool started = platform::attachOrStartSpreadsheet(t.services, t.settings, st.spreadsheetApp);
  xl::AppPtr app = st.spreadsheetApp;
  vb::SkipOnError skip;
  if (started) {
    std::string path = t.dialog.choose("文件类型(*.xls)|*.xls", "请选择将要处理的xls文件");
    // A program started here is shown, so the BOM is never left in a hidden instance.
    skip.step([&] { app->setVisible(true); });
    if (path.empty()) return;
    skip.step([&] { app->open(path); });
  }

  // The BOM is the first sheet of the active workbook. Without one every step is skipped
  // and the list counts no rows.
  xl::WorkbookPtr wb;
  xl::SheetPtr bom;
  skip.step([&] { wb = app->activeWorkbook(); });
  if (wb) {
    skip.step([&] {
      if (wb->sheetCount() < 3) {
        wb->addSheet(nullptr, wb->sheet(1).get());
        wb->addSheet(nullptr, wb->sheet(1).get());
      }
    });
    skip.step([&] { bom = wb->sheet(1); });
  }
  long count = 0;
  if (bom) {
    skip.step([&] { bom->range("A1:N1").setValues(headingRow(14)); });
    skip.step([&] { count = platform::lastUsedRow(*bom, 5) - 1; });
  }
  st.partCount = count;
  if (count <= 0) return;
  st.lastRow = count + 1;
  skip.step([&] {
    bom->select();
    bom->moveAfter(*wb->sheet(2));
  });
  askSplitQuestions(t);
  skip.step([&] {
    xl::SheetPtr list = app->sheet(2);
    platform::listHeaderStyle(list->range("A1:N1"), list->range("A1:N" + std::to_string(st.lastRow)));
  });
  normalise::formatZhuanhuan(t);
}

}  // namespace capture
