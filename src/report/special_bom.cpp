// FormatBOM: the sheet "Special BOM" in front of the BOM on sheet 1 of the active workbook,
// N designators per line, each item's number, value, package and quantity merged down
// over its lines. Every step runs under SkipOnError: a failing step is skipped, a failing
// test takes its Then branch.
#include <string>
#include <vector>

#include "normalise/change_report.h"
#include "platform/workbook_helpers.h"
#include "report/category_bom.h"
#include "report/designator_split.h"
#include "report/reports.h"
#include "vb/convert.h"
#include "vb/error.h"

namespace report {

namespace xl = platform::xl;

namespace {

constexpr const char* kSheetName = "Special BOM";
constexpr const char* kNoSpreadsheet = "请打开需要处理的Excel格式BOM清单";
constexpr const char* kSeveralWorkbooks =
    "请选择打开的Excel文件中,您将要处理的文件,重新执行此命令!\n"
    "或者关闭多余的Excel文件,重新执行此命令!\n"
    "否则程序默认处理当前工作薄数据!!!";
constexpr const char* kConfirmWorkbook = "请确定打开的Excel文件,是您将要处理的文件.";
constexpr const char* kNoSheets = "当前为空白工作薄";
constexpr const char* kColumnsPrompt = "请输入参数范围在:5-20之间,\n以确定元件序号占用列数。";
constexpr const char* kBadColumns = "参数设置错误!        ";
constexpr const char* kBlankSheet = "当前为空白工作表";
constexpr long kMarkedLineFill = platform::kMarkRed;

// ContiguousLastRow: the end of the filled block of column A downwards from A1. A sheet
// whose A2 is empty holds only its header, so the BOM has no items (the move from A1 would
// run on to a cell below a gap or to the sheet's last row).
long contiguousLastRow(xl::Sheet& sheet) {
  if (sheet.get(2, 1).isEmpty()) return 1;
  return sheet.cell(1, 1).end(xl::kDownFour).row();
}

// The lines of the Special BOM below its header, and the column merges of each item.
struct SpecialLines {
  vb::Table cells;          // rows from sheet row 2, columns A to 4 + N
  std::vector<xl::Area> merges;  // in the order they are made: D, A, B, C of each item
  long lastRow = 1;         // last sheet row written
};

SpecialLines layOut(const vb::Table& source, long n, platform::Settings& settings) {
  struct Item {
    long row;
    std::vector<std::string> designators;
  };
  std::vector<Item> items;
  long lines = 0;
  for (long r = 1; r <= source.rows(); ++r) {
    Item it{r, designatorSplit(vb::toText(source(r, 5)), settings.joinSymbol())};
    lines += (static_cast<long>(it.designators.size()) + n - 1) / n;
    items.push_back(std::move(it));
  }
  SpecialLines out;
  out.cells = vb::Table(lines, 4 + n);
  long i = 2;  // sheet row of the item's first line
  for (const Item& it : items) {
    long line = -1;
    long t = i - 1;  // table row of the first line
    out.cells(t, 4) = source(it.row, 4);
    for (size_t m = 0; m < it.designators.size(); ++m) {
      long mm = static_cast<long>(m);
      if (mm % n == 0) {
        ++line;
        for (long c = 1; c <= 3; ++c) out.cells(t + line, c) = source(it.row, c);
      }
      out.cells(t + line, 5 + (mm - line * n)) = it.designators[m];
    }
    if (line > 0)
      for (long c : {4L, 1L, 2L, 3L}) out.merges.push_back(xl::Area{i, c, i + line, c});
    i += line + 1;
  }
  out.lastRow = i - 1;
  return out;
}

}  // namespace

void formatBom(capture::ToolContext& t) {
  capture::ToolState& st = t.state;
  platform::User& user = t.user();
  vb::SkipOnError guard;
  auto app = [&]() -> xl::Application& {
    if (!st.spreadsheetApp) vb::raise(vb::kObjectNotSet);
    return *st.spreadsheetApp;
  };
  // A test whose evaluation fails takes its Then branch.
  auto holds = [&](auto&& test) {
    bool result = true;
    guard.step([&] { result = test(); });
    return result;
  };
  auto notify = [&](const char* text, platform::Icon icon = platform::Icon::None) {
    platform::notify(user, platform::kTitle, text, icon);
  };

  guard.step([&] { platform::attachSpreadsheet(t.services, t.settings, st.spreadsheetApp); });
  if (guard.number() == vb::kCannotCreate) {
    notify(kNoSpreadsheet);
    return;
  }
  if (holds([&] { return app().workbookCount() > 1; })) {
    if (platform::askYes(user, platform::kTitle, kSeveralWorkbooks)) return;
  } else if (!platform::askYes(user, platform::kTitle, kConfirmWorkbook)) {
    return;
  }
  if (holds([&] { return app().activeWorkbook()->sheetCount() < 1; })) {
    notify(kNoSheets);
    return;
  }

  std::string answer = user.input(platform::kTitle, kColumnsPrompt, "5");
  guard.step([&] { st.refColumns = vb::toInteger(vb::Variant(answer)); });
  const long n = st.refColumns;
  if (n < 5 || n > 20) {
    notify(kBadColumns, platform::Icon::Information);
    return;
  }

  guard.step([&] { app().setDisplayAlerts(false); });
  long sheets = guard.value([&] { return app().activeWorkbook()->sheetCount(); }, 0L);
  for (long p = 1; p <= sheets; ++p)
    guard.step([&] {
      xl::SheetPtr s = app().sheet(p);
      if (s->name() == kSheetName) s->remove();
    });

  guard.step([&] { app().sheet(1)->select(); });
  if (holds([&] {
        xl::SheetPtr s = app().sheet(1);
        xl::Area used = s->usedArea();
        return used.count() == 1 && s->get(used.r1, used.c1).isEmpty();
      })) {
    notify(kBlankSheet);
    guard.step([&] { app().setDisplayAlerts(true); });
    return;
  }

  guard.step([&] { st.partCount = contiguousLastRow(*app().sheet(1)); });
  vb::Table source;
  guard.step([&] {
    if (st.partCount < 2) return;
    xl::SheetPtr s = app().sheet(1);
    source = platform::blockRead(s->range(s->cell(2, 1), s->cell(st.partCount, 5)));
  });

  xl::SheetPtr out;
  auto sheet = [&]() -> xl::Sheet& {
    if (!out) vb::raise(vb::kObjectNotSet);
    return *out;
  };
  guard.step([&] { app().activeWorkbook()->addSheet(app().sheet(1).get(), nullptr); });
  guard.step([&] { out = app().activeSheet(); });
  guard.step([&] { sheet().setName(kSheetName); });
  guard.step([&] { sheet().columns("A:" + xl::columnLetters(4 + n)).setNumberFormat("@"); });

  // The lines are laid out in memory and written in one block; the merges follow item by
  // item. The columns are text, so each cell stores what a write of its own would store.
  SpecialLines lines = layOut(source, n, t.settings);
  guard.step([&] { platform::blockWrite(sheet().cell(2, 1), lines.cells); });
  for (const xl::Area& m : lines.merges) guard.step([&] { sheet().range(sheet().cell(m.r1, m.c1), sheet().cell(m.r2, m.c2)).merge(); });

  guard.step([&] {
    vb::Table head(1, 5);
    const char* headings[] = {"No", "Value", "Decal", "QTY", "Name"};
    for (int c = 1; c <= 5; ++c) head(1, c) = headings[c - 1];
    sheet().range("A1:E1").setValues(head);
  });
  guard.step([&] { sheet().range("A1:E1").setBold(true); });
  guard.step([&] { sheet().range("A1:E1").setInteriorColor(kCategoryBomHeaderFill); });
  guard.step([&] { sheet().range("E1").resize(1, n).merge(); });

  guard.step([&] { normalise::bomSheetFinishStage1(sheet()); });
  guard.step([&] { app().sheet(kSheetName)->select(); });

  st.partCount = lines.lastRow;
  guard.step([&] {
    xl::Sheet& s = sheet();
    vb::Table names = s.range(s.cell(1, 5), s.cell(st.partCount, 5)).values();
    xl::StyleChange mark;
    mark.bold = true;
    mark.fill = kMarkedLineFill;
    // Runs of lines without a designator are marked in one step each.
    for (long r = 1; r <= names.rows();) {
      if (!names(r, 1).isEmpty()) {
        ++r;
        continue;
      }
      long end = r;
      while (end < names.rows() && names(end + 1, 1).isEmpty()) ++end;
      s.range(s.cell(r, 1), s.cell(end, n + 4)).apply(mark);
      r = end + 1;
    }
  });
  guard.step([&] { platform::gridBorders(app().activeCell().currentRegion()); });
  guard.step([&] { app().setDisplayAlerts(true); });
}

}  // namespace report
