// "Create" from a prepared workbook: the part list the user made on the first sheet of the
// active workbook becomes its second sheet, between two fresh sheets, and its rows are
// counted down column A. No cell of the list changes.
#include "capture/part_lists.h"
#include "platform/workbook_helpers.h"

namespace capture {

void listFromPreparedWorkbook(ToolContext& t) {
  ToolState& st = t.state;
  if (!platform::askYes(t.user(), platform::kTitle, "当前工作薄数据是否符合模版要求?")) {
    st.abortFlag = "ON";
    return;
  }
  platform::prefixPrompt(t.user(), st.prefixCount);

  // From here a failure stops the command (no program running, no workbook open).
  platform::attachSpreadsheet(t.services, t.settings, st.spreadsheetApp);
  platform::xl::WorkbookPtr wb = st.spreadsheetApp->activeWorkbook();
  platform::xl::SheetPtr list = wb->sheet(1);
  // The later steps write sheets 1 and 3: two fresh sheets right after the list, which
  // then moves between them, so none of the user's own sheets is written over.
  wb->addSheet(nullptr, list.get());
  wb->addSheet(nullptr, list.get());
  const long last = platform::lastUsedRow(*list, 1);
  st.partCount = last - 1;
  st.lastRow = st.partCount + 1;
  list->select();
  list->moveAfter(*wb->sheet(2));
}

}  // namespace capture
