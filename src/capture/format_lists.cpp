// "Format BOM" from PADS Layout or from an Altium Designer BOM workbook: the part list on
// the second sheet and the two questions of the split BOM.
#include "capture/part_lists.h"
#include "capture/pads_attach.h"
#include "capture/part_category_rules.h"
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

bool formatListFromPadsLayout(ToolContext& t) {
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
    return false;
  }
  askSplitQuestions(t);

  // From here a failure stops the command, except for the jumper rows.
  pads::Design& design = pads.app->activeDocument();
  const bool mirror = st.bottomMirrorAnswer == MirrorAnswer::Yes;
  std::vector<pads::Part*> parts = design.components();
  const long n = static_cast<long>(parts.size());
  platform::checkListFitsSheet(n);
  vb::Table rows(n, 16);
  for (long i = 1; i <= n; ++i) {
    PartRecord r = readLayoutPart(design, *parts[static_cast<size_t>(i - 1)], nullptr, Coordinates::Position);
    std::string category = partCategory(r.designator);
    putLayoutPartRow(rows, i, std::move(r), std::move(category), mirror);
  }

  std::vector<pads::Jumper*> jumpers = design.jumpers();
  const long j = static_cast<long>(jumpers.size());
  platform::checkListFitsSheet(n + j);
  vb::Table jumperRows = layoutJumperRows(jumpers, n, 16, "Jumper");
  st.partCount = n + j;
  st.lastRow = n + j + 1;

  writeLayoutList(*st.spreadsheetApp, rows, jumperRows, headingRow(13));
  return true;
}

bool formatListFromAltiumBom(ToolContext& t) {
  ToolState& st = t.state;
  // Attaching stops the command when no program can be attached or started.
  const bool started = platform::attachOrStartSpreadsheet(t.services, t.settings, st.spreadsheetApp);
  xl::AppPtr app = st.spreadsheetApp;
  vb::SkipOnError skip;
  if (started) {
    std::string path = t.dialog.choose("文件类型(*.xls)|*.xls", "请选择将要处理的xls文件");
    // A program started here is shown, so the BOM is never left in a hidden instance.
    skip.step([&] { app->setVisible(true); });
    if (path.empty()) return false;
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
  if (count <= 0) return false;
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
  return true;
}

}  // namespace capture
