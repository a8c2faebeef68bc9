// "Create" from a netlist or component file of another design tool: the part list on
// the second sheet of a new workbook.
#include "capture/netlist_readers.h"
#include "capture/part_lists.h"
#include "platform/workbook_helpers.h"
#include "vb/error.h"

namespace capture {

void listFromNetlist(ToolContext& t, const NetlistSource& source) {
  platform::Services& s = t.services;
  ToolState& st = t.state;
  // Attaching stops the command when no program can be attached or started.
  platform::attachOrStartSpreadsheet(s, t.settings, st.spreadsheetApp);
  vb::SkipOnError skip;
  std::string path = t.dialog.choose(source.filter, source.title);
  if (path.empty()) throw vb::ProgramEnd();
  platform::prefixPrompt(s.user, st.prefixCount);
  std::vector<NetlistEntry> entries = source.read(s.files.readLineTexts(path));  // a file that cannot be read is untrapped
  const long n = static_cast<long>(entries.size());
  platform::checkListFitsSheet(n);

  platform::xl::AppPtr app = st.spreadsheetApp;
  platform::xl::SheetPtr sheet;
  skip.step([&] { sheet = platform::newReportWorkbook(*app)->sheet(2); });
  if (sheet) writeNetlistList(sheet, std::move(entries), platform::kMarkRed);
  st.partCount = n;
  st.lastRow = n + 1;
}

void writeNetlistList(const platform::xl::SheetPtr& sheet, std::vector<NetlistEntry> entries, long headingFill) {
  const long n = static_cast<long>(entries.size());
  vb::SkipOnError skip;
  skip.step([&] {
    vb::Table head(1, 5);
    const char* headings[] = {"No.", "Comment", "Footprint", "Qty", "Designator"};
    for (int c = 1; c <= 5; ++c) head(1, c) = headings[c - 1];
    sheet->range("A1:E1").setValues(head);
    platform::xl::StyleChange look;
    look.bold = true;
    look.fontColor = 0;
    look.fill = headingFill;
    sheet->range("A1:E1").apply(look);
  });
  skip.step([&] { platform::textFirst(sheet->range("A1:F" + std::to_string(n + 1))); });
  skip.step([&] {
    vb::Table rows(n, 5);
    for (long k = 1; k <= n; ++k) {
      NetlistEntry& e = entries[static_cast<size_t>(k - 1)];
      rows(k, 1) = static_cast<double>(k);
      rows(k, 2) = std::move(e.comment);
      rows(k, 3) = std::move(e.footprint);
      rows(k, 4) = 1.0;
      rows(k, 5) = std::move(e.designator);
    }
    platform::blockWrite(sheet->cell(2, 1), rows, 5);
  });
  skip.step([&] { sheet->cells().entireColumn().autoFit(); });
  skip.step([&] { sheet->cells().entireRow().autoFit(); });
  skip.step([&] { platform::gridBorders(sheet->range("A1:E" + std::to_string(n + 1)), 1); });
}

const std::array<NetlistSource, 7> kNetlistSources = {{
    {"Protel99se", "文件类型(*.net)|*.net", "请选择由Protel99se产生的net文件", readProtel99se},
    {"Altium Designer", "文件类型(*.net)|*.net", "请选择由Protel99se产生的net文件", readProtel99se},
    {"Allegro.dll", "文件类型(*.net)|*.net", "请选择由Orcad产生的Allegro格式net文件", readAllegro},
    {"Mentor.dll", "文件类型(*.CMP)|*.CMP", "请选择由Orcad产生的Mentor EE格式CMP文件", readMentor},
    {"Pcad.dll", "文件类型(*.net)|*.net", "请选择由Orcad产生的PCAD格式net文件", readPcad},
    {"Pads2k.dll", "文件类型(*.asc)|*.asc", "请选择Orcad产生的pads格式的asc文件", readPads2k},
    {"Protel2.dll", "文件类型(*.net)|*.net", "请选择由Orcad产生的Protel2格式net文件", readProtel2},
}};

const NetlistSource* findNetlistSource(const std::string& source) {
  for (const NetlistSource& s : kNetlistSources)
    if (source == s.source) return &s;
  return nullptr;
}

}  // namespace capture
