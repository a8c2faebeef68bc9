// The sheet "Special BOM" in front of the BOM on sheet 1 of the active workbook,
// N designators per line, each item's number, value, package and quantity merged down
// over its lines. Every step runs under SkipOnError: a failing step is skipped, a failing
// test takes its Then branch.
#include <string>
#include <vector>

#include "normalise/change_report.h"
#include "platform/workbook_helpers.h"
#include "report/category_bom.h"
#include "report/designator_split.h"
#include "report/special_bom.h"
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
  vb::Table cells;               // rows from sheet row 2, columns A to 4 + N
  std::vector<xl::Area> merges;  // in the order they are made: D, A, B, C of each item
  long lastRow = 1;              // last sheet row written
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

// One run of the special BOM. Every step runs under the run's SkipOnError guard.
class SpecialBomRun {
 public:
  explicit SpecialBomRun(platform::ToolContext& t) : t_(t), st_(t.state), user_(t.user()) {}

  // The program, the workbook and the number per line; 0 when one of these ended
  // the command.
  long designatorsPerLine() {
    guard_.step([&] { platform::attachSpreadsheet(t_.services, t_.settings, st_.spreadsheetApp); });
    if (guard_.number() == vb::kCannotCreate) {
      notify(kNoSpreadsheet);
      return 0;
    }
    if (holds([&] { return app().workbookCount() > 1; })) {
      if (platform::askYes(user_, platform::kTitle, kSeveralWorkbooks)) return 0;
    } else if (!platform::askYes(user_, platform::kTitle, kConfirmWorkbook)) {
      return 0;
    }
    if (holds([&] { return app().activeWorkbook()->sheetCount() < 1; })) {
      notify(kNoSheets);
      return 0;
    }
    // The answer is kept before the range check; one that is no number keeps the old one.
    std::string answer = user_.input(platform::kTitle, kColumnsPrompt, "5");
    guard_.step([&] { st_.refColumns = vb::toInteger(vb::Variant(answer)); });
    if (st_.refColumns < 5 || st_.refColumns > 20) {
      notify(kBadColumns, platform::Icon::Information);
      return 0;
    }
    return st_.refColumns;
  }

  // The earlier Special BOM deleted and the new one built in front.
  void build(long n) {
    guard_.step([&] { app().setDisplayAlerts(false); });
    long sheets = guard_.value([&] { return app().activeWorkbook()->sheetCount(); }, 0L);
    for (long p = 1; p <= sheets; ++p)
      guard_.step([&] {
        xl::SheetPtr s = app().sheet(p);
        if (s->name() == kSheetName) s->remove();
      });

    guard_.step([&] { app().sheet(1)->select(); });
    if (holds([&] {
          xl::SheetPtr s = app().sheet(1);
          xl::Area used = s->usedArea();
          return used.count() == 1 && s->get(used.r1, used.c1).isEmpty();
        })) {
      notify(kBlankSheet);
      guard_.step([&] { app().setDisplayAlerts(true); });
      return;
    }

    guard_.step([&] { st_.partCount = contiguousLastRow(*app().sheet(1)); });
    vb::Table source;
    guard_.step([&] {
      if (st_.partCount < 2) return;
      xl::SheetPtr s = app().sheet(1);
      source = platform::blockRead(s->range(s->cell(2, 1), s->cell(st_.partCount, 5)));
    });

    // Only the sheet just added is written: when the add fails, every step on it fails too,
    // and the user's BOM is never renamed or written over.
    guard_.step([&] { out_ = app().activeWorkbook()->addSheet(app().sheet(1).get(), nullptr); });
    guard_.step([&] { sheet().setName(kSheetName); });
    guard_.step([&] { sheet().columns("A:" + xl::columnLetters(4 + n)).setNumberFormat("@"); });

    // The lines are laid out in memory and written in one block; the merges follow item by
    // item. The columns are text, so each cell stores what a write of its own would store.
    SpecialLines lines = layOut(source, n, t_.settings);
    guard_.step([&] { platform::blockWrite(sheet().cell(2, 1), lines.cells); });
    for (const xl::Area& m : lines.merges)
      guard_.step([&] { sheet().range(sheet().cell(m.r1, m.c1), sheet().cell(m.r2, m.c2)).merge(); });

    guard_.step([&] {
      vb::Table head(1, 5);
      const char* headings[] = {"No", "Value", "Decal", "QTY", "Name"};
      for (int c = 1; c <= 5; ++c) head(1, c) = headings[c - 1];
      sheet().range("A1:E1").setValues(head);
    });
    guard_.step([&] { sheet().range("A1:E1").setBold(true); });
    guard_.step([&] { sheet().range("A1:E1").setInteriorColor(kCategoryBomHeaderFill); });
    guard_.step([&] { sheet().range("E1").resize(1, n).merge(); });

    guard_.step([&] { normalise::bomSheetFinishStage1(sheet()); });
    guard_.step([&] { app().sheet(kSheetName)->select(); });

    st_.partCount = lines.lastRow;
    guard_.step([&] { markLinesWithoutDesignators(n); });
    // The table around A1 of the new sheet (the active cell once that sheet is selected).
    guard_.step([&] { platform::gridBorders(sheet().cell(1, 1).currentRegion()); });
    guard_.step([&] { app().setDisplayAlerts(true); });
  }

 private:
  xl::Application& app() {
    if (!st_.spreadsheetApp) vb::raise(vb::kObjectNotSet);
    return *st_.spreadsheetApp;
  }
  xl::Sheet& sheet() {
    if (!out_) vb::raise(vb::kObjectNotSet);
    return *out_;
  }
  // A test whose evaluation fails takes its Then branch.
  template <class Test>
  bool holds(Test&& test) {
    bool result = true;
    guard_.step([&] { result = test(); });
    return result;
  }
  void notify(const char* text, platform::Icon icon = platform::Icon::None) {
    platform::notify(user_, platform::kTitle, text, icon);
  }

  // Rows 1 to PartCount whose column E is empty: A to N + 4 bold and red, each run of such
  // rows in one step.
  void markLinesWithoutDesignators(long n) {
    xl::Sheet& s = sheet();
    vb::Table names = s.range(s.cell(1, 5), s.cell(st_.partCount, 5)).values();
    xl::StyleChange mark;
    mark.bold = true;
    mark.fill = kMarkedLineFill;
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
  }

  platform::ToolContext& t_;
  platform::ToolState& st_;
  platform::User& user_;
  vb::SkipOnError guard_;
  xl::SheetPtr out_;  // the new sheet, as the active sheet after it was added
};

}  // namespace

void buildSpecialBom(platform::ToolContext& t) {
  SpecialBomRun run(t);
  if (long n = run.designatorsPerLine()) run.build(n);
}

}  // namespace report
