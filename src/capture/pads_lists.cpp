// "Create" from a PADS design: the PADS Logic part list and the PADS Layout part list with
// its coordinate report, on the second sheet of a new workbook.
#include <algorithm>

#include "capture/coordinate_report.h"
#include "capture/part_lists.h"
#include "capture/pads_attach.h"
#include "platform/workbook_helpers.h"
#include "vb/convert.h"
#include "vb/error.h"
#include "vb/text.h"

namespace capture {

namespace {

namespace xl = platform::xl;
namespace pads = platform::pads;

// The steps both lists begin with: the spreadsheet program, the PADS program and the
// part count. False when the import gave up (abortFlag "ON").
bool startPadsImport(ToolContext& t, const char* progId, const char* filter, const char* title, PadsDesign& pads) {
  ToolState& st = t.state;
  // Attaching stops the command when no program can be attached or started.
  platform::attachOrStartSpreadsheet(t.services, t.settings, st.spreadsheetApp);
  pads = attachPadsDesign(t, progId, filter, title, EmptyPathRule::Abandon);
  if (pads.abandoned) return false;
  st.partCount = readPartCount(pads.app);
  if (st.partCount == 0) {
    platform::notify(t.user(), platform::kTitle, kNoComponentsMessage);
    st.abortFlag = "ON";
    return false;
  }
  return true;
}

}  // namespace

void listFromPadsLogic(ToolContext& t) {
  ToolState& st = t.state;
  PadsDesign pads;
  if (!startPadsImport(t, "PowerLogic.Application", "文件类型(*.sch)|*.sch", "请选择将要打开的sch文件", pads)) return;
  platform::prefixPrompt(t.user(), st.prefixCount);

  // From here a failure stops the command.
  st.listAttributeName = t.settings.logicAttribute();
  pads::Design& design = pads.app->activeDocument();
  std::vector<pads::Part*> parts = design.components();
  const long n = static_cast<long>(parts.size());
  platform::checkListFitsSheet(n);
  vb::Table rows(n, 6);
  st.lastRow = 1;
  for (const pads::Part* p : parts) {
    PartRecord r = readLogicPart(*p, st.listAttributeName);
    const long i = st.lastRow;
    rows(i, 1) = static_cast<double>(i);
    rows(i, 2) = std::move(r.value);
    rows(i, 3) = std::move(r.decal);
    rows(i, 4) = "1";
    rows(i, 5) = std::move(r.designator);
    rows(i, 6) = std::move(r.extra);
    ++st.lastRow;
  }
  st.partCount = n;

  xl::SheetPtr sheet = platform::newReportWorkbook(*st.spreadsheetApp)->sheet(2);
  vb::Table head(1, 6);
  const char* headings[] = {"No.", "Value", "PartDecal", "Qty", "RefDes"};
  for (int c = 1; c <= 5; ++c) head(1, c) = headings[c - 1];
  head(1, 6) = st.listAttributeName;
  sheet->range("A1:F1").setValues(head);
  xl::Range list = sheet->range("A1:F" + std::to_string(st.lastRow));
  platform::listHeaderStyle(sheet->range("A1:F1"), list);
  platform::textFirst(list);
  platform::blockWrite(sheet->cell(2, 1), rows, 6);
}

namespace {

// The coordinate questions of the PADS Layout list: whether files are written, which
// coordinates, and whether bottom-side X is mirrored.
struct CoordinateChoice {
  bool files = false;
  Coordinates which = Coordinates::Centre;
};

CoordinateChoice askCoordinates(ToolContext& t) {
  platform::User& u = t.user();
  CoordinateChoice c;
  if (!platform::askYes(u, platform::kTitle, "是否输出(csv,txt格式)坐标文件？")) {
    t.state.bottomMirrorAnswer = MirrorAnswer::FilesDeclined;
    return c;
  }
  c.files = true;
  if (platform::askYes(u, platform::kTitle, "选择是-元件默认坐标输出;\n选择否-元件中心坐标输出.")) c.which = Coordinates::Position;
  t.state.bottomMirrorAnswer =
      platform::askYes(u, platform::kTitle, "底层PositionX坐标是否镜像？") ? MirrorAnswer::Yes : MirrorAnswer::No;
  return c;
}

// The number of characters of a value as the list holds it.
long storedLength(const vb::Variant& v) { return vb::len(v.isNumber() ? vb::numberText(v.number()) : vb::toText(v)); }

}  // namespace

void listFromPadsLayout(ToolContext& t) {
  ToolState& st = t.state;
  PadsDesign pads;
  if (!startPadsImport(t, "Powerpcb.Application", "文件类型(*.pcb)|*.pcb", "请选择将要打开的pcb文件", pads)) return;
  const CoordinateChoice choice = askCoordinates(t);
  platform::prefixPrompt(t.user(), st.prefixCount);

  // From here a failure stops the command, except for the jumper rows.
  st.listAttributeName = t.settings.layoutAttribute();
  pads::Design& design = pads.app->activeDocument();
  const bool mirror = st.bottomMirrorAnswer == MirrorAnswer::Yes;
  std::vector<pads::Part*> parts = design.components();
  const long n = static_cast<long>(parts.size());
  platform::checkListFitsSheet(n);
  vb::Table rows(n, 13);
  long widest = 0;
  st.lastRow = 1;
  for (const pads::Part* p : parts) {
    PartRecord r = readLayoutPart(design, *p, &st.listAttributeName, choice.which);
    vb::Variant extra = std::move(r.extra);
    putLayoutPartRow(rows, st.lastRow, std::move(r), std::move(extra), mirror);
    for (long c = 1; c <= 13; ++c) widest = std::max(widest, storedLength(rows(st.lastRow, c)));
    ++st.lastRow;
  }

  std::vector<pads::Jumper*> jumpers = design.jumpers();
  const long j = static_cast<long>(jumpers.size());
  platform::checkListFitsSheet(n + j);
  vb::Table jumperRows = layoutJumperRows(jumpers, n, 13, vb::Variant());
  st.partCount = n + j;
  st.lastRow = n + j + 1;

  vb::Table head(1, 13);
  const char* headings[] = {"No.", "Value", "PartDecal", "Qty", "RefDes", "", "Pins",
                            "layer", "Orient.", "X", "Y", "SMD", "Glued"};
  for (int c = 1; c <= 13; ++c) head(1, c) = headings[c - 1];
  head(1, 6) = st.listAttributeName;
  xl::SheetPtr sheet = writeLayoutList(*st.spreadsheetApp, rows, jumperRows, head);

  if (!choice.files) return;
  CoordinateReport report;
  report.designName = design.name();
  report.date = platform::formatDate(t.services.desktop.today(), t.services.desktop.shortDateFormat());
  report.width = widest + 1;
  report.rows = platform::blockRead(sheet->range("A2:M" + std::to_string(st.lastRow)));
  writeCoordinateReport(t.services, report);
}

}  // namespace capture
