// The sheet tools of the tab "标准化BOM". Every step after the attach runs under
// SkipOnError: a failing step is skipped and the command goes on.
#include "workbench/sheet_tools.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/workbook_helpers.h"
#include "report/designator_split.h"
#include "report/special_bom_sheet.h"
#include "vb/convert.h"
#include "vb/error.h"
#include "workbench/leading_number.h"
#include "workbench/standard_bom.h"

namespace workbench {

namespace xl = platform::xl;

namespace {

// Columns of a standard BOM the clean-ups use.
constexpr long kNumberCol = 1, kRatingCol = 4, kQuantityCol = 6, kQuoteCol = 10, kRemarkCol = 11;
// A deleted row takes the cells of A to Y with it; the cells below move up.
constexpr long kDeletedColumns = 25;
constexpr long kCheckHeadingFill = platform::rgb(150, 250, 250);
const char* const kReportHeadings[] = {"序号", "元件位号", "物料编码", "物料名称", "物料规格"};

// The standard BOM's designators, split at JoinSymbol; an empty separator takes the list whole.
std::vector<std::string> designatorsOf(const std::string& list, const std::string& separator) {
  if (separator.empty()) return {list};
  return report::designatorSplit(list, separator);
}

// The running program as the command's; nothing when none runs (an invalid setting ends
// the program).
bool attach(platform::Services& s, platform::Settings& settings, xl::AppPtr& app, vb::SkipOnError& guard) {
  return guard.step([&] { platform::attachSpreadsheet(s, settings, app); }) && app;
}

// The active sheet of a clean-up: a standard BOM with rows below its header, never the
// sheet "Special BOM". Nothing when the command does not apply.
xl::SheetPtr cleanUpSheet(platform::Services& s, platform::Settings& settings, xl::AppPtr& app, vb::SkipOnError& guard) {
  if (!attach(s, settings, app, guard)) return nullptr;
  xl::SheetPtr sheet;
  guard.step([&] { sheet = app->activeSheet(); });
  if (!sheet || guard.value([&] { return sheet->name(); }, std::string()) == report::kSpecialBomSheetName)
    return nullptr;
  return sheet;
}

long lastRowOf(xl::Sheet& sheet) { return platform::lastUsedRow(sheet, kNumberCol); }

// Column A and D of rows 1 to last, as texts.
struct Rows {
  std::vector<std::string> number, rating;  // index = sheet row
};
Rows readRows(xl::Sheet& sheet, long last) {
  Rows r;
  r.number.assign(static_cast<size_t>(last) + 1, "");
  r.rating.assign(static_cast<size_t>(last) + 1, "");
  const vb::Table t = platform::blockRead(sheet.range(sheet.cell(1, 1), sheet.cell(last, kRatingCol)));
  for (long row = 1; row <= last; ++row) {
    r.number[static_cast<size_t>(row)] = vb::toText(t(row, kNumberCol));
    r.rating[static_cast<size_t>(row)] = vb::toText(t(row, kRatingCol));
  }
  return r;
}

bool isTitle(const Rows& r, long row) {
  return r.rating[static_cast<size_t>(row)].empty() &&
         r.number[static_cast<size_t>(row)].find("Part") == std::string::npos;
}

// The rows deleted, each run of neighbouring rows in one step from the bottom up, so the
// rows above a run keep their places.
void deleteRows(xl::Sheet& sheet, std::vector<long> rows, vb::SkipOnError& guard) {
  std::sort(rows.begin(), rows.end());
  for (size_t end = rows.size(); end > 0;) {
    size_t begin = end - 1;
    while (begin > 0 && rows[begin - 1] == rows[begin] - 1) --begin;
    const long r1 = rows[begin], r2 = rows[end - 1];
    guard.step([&] { sheet.range(sheet.cell(r1, 1), sheet.cell(r2, kDeletedColumns)).deleteCells(); });
    end = begin;
  }
}

// The rows between the header and the last row for which doomed(rows, r) holds, deleted.
template <class Doomed>
void purgeRows(xl::Sheet& sheet, vb::SkipOnError& guard, Doomed&& doomed) {
  guard.step([&] {
    const long last = lastRowOf(sheet);
    if (last < 3) return;
    const Rows rows = readRows(sheet, last);
    std::vector<long> gone;
    for (long r = 2; r < last; ++r)
      if (doomed(rows, r)) gone.push_back(r);
    deleteRows(sheet, gone, guard);
  });
}

struct Totals {
  double quantity = 0, quote = 0;
  long items = 0;
};

// The items (rows with a 物料规格) numbered 1, 2, ... from row 2 to the last row, and their
// quantities and quotes added up.
Totals renumber(xl::Sheet& sheet, vb::SkipOnError& guard) {
  Totals t;
  const long last = lastRowOf(sheet);
  if (last < 2) return t;
  vb::Table rows;
  if (!guard.step([&] { rows = platform::blockRead(sheet.range(sheet.cell(2, 1), sheet.cell(last, kQuoteCol))); }))
    return t;
  for (long r = 1; r <= rows.rows(); ++r) {
    if (vb::toText(rows(r, kRatingCol)).empty()) continue;
    ++t.items;
    guard.step([&] { sheet.cell(r + 1, kNumberCol).setValue(static_cast<double>(t.items)); });
    t.quantity += leadingNumber(vb::toText(rows(r, kQuantityCol)));
    t.quote += leadingNumber(vb::toText(rows(r, kQuoteCol)));
  }
  return t;
}

// The totals into the last row, when it is the "Total:" row; emptied when no item is left.
void writeTotals(xl::Sheet& sheet, const Totals& t, vb::SkipOnError& guard) {
  const long last = lastRowOf(sheet);
  if (last < 2 || vb::toText(sheet.get(last, kNumberCol)) != "Total:") return;
  guard.step([&] {
    if (t.items > 0) sheet.cell(last, kQuoteCol).setValue(t.quote);
    else sheet.cell(last, kQuoteCol).clearContents();
  });
  guard.step([&] {
    if (t.items > 0) sheet.cell(last, kQuantityCol).setValue(t.quantity);
    else sheet.cell(last, kQuantityCol).clearContents();
  });
}

}  // namespace

void clearRemarks(platform::Services& s, platform::Settings& settings, xl::AppPtr& app) {
  vb::SkipOnError guard;
  xl::SheetPtr sheet = cleanUpSheet(s, settings, app, guard);
  if (!sheet) return;
  guard.step([&] {
    const long last = lastRowOf(*sheet);
    if (last >= 2) sheet->range(sheet->cell(2, kRemarkCol), sheet->cell(last, kRemarkCol)).clearContents();
  });
}

void deleteNcItems(platform::Services& s, platform::Settings& settings, xl::AppPtr& app) {
  vb::SkipOnError guard;
  xl::SheetPtr sheet = cleanUpSheet(s, settings, app, guard);
  if (!sheet || !platform::askYes(s.user, platform::kTitle, kDeleteNcQuestion)) return;
  purgeRows(*sheet, guard, [](const Rows& rows, long r) { return rows.rating[static_cast<size_t>(r)] == "NC"; });
  const Totals totals = renumber(*sheet, guard);
  // Title rows left without items: bottom up, a title row goes when the row below it (after
  // the deletions below) has no 物料规格 either.
  guard.step([&] {
    const long last = lastRowOf(*sheet);
    if (last < 3) return;
    const Rows rows = readRows(*sheet, last);
    std::vector<long> emptied;
    long below = last;  // the row below, as it stands after the deletions further down
    for (long r = last - 1; r >= 2; --r) {
      if (isTitle(rows, r) && rows.rating[static_cast<size_t>(below)].empty()) {
        emptied.push_back(r);
        continue;
      }
      below = r;
    }
    deleteRows(*sheet, emptied, guard);
  });
  writeTotals(*sheet, totals, guard);
}

void deleteCategoryRows(platform::Services& s, platform::Settings& settings, xl::AppPtr& app) {
  vb::SkipOnError guard;
  xl::SheetPtr sheet = cleanUpSheet(s, settings, app, guard);
  if (!sheet || !platform::askYes(s.user, platform::kTitle, kDeleteTitlesQuestion)) return;
  purgeRows(*sheet, guard, isTitle);
  writeTotals(*sheet, renumber(*sheet, guard), guard);
}

void buildSpecialBom(platform::Services& s, platform::Settings& settings, xl::AppPtr& app) {
  vb::SkipOnError guard;
  if (!attach(s, settings, app, guard)) {
    platform::notify(s.user, platform::kTitle, report::kOpenBomMessage);
    return;
  }
  const std::string answer = s.user.input(platform::kTitle, report::kDesignatorColumnsPrompt, "5");
  // The answer is compared as a number; one that is no number fails the test, which
  // takes the message's branch. A fraction is rounded to whole columns.
  const std::optional<double> n = vb::parseNumber(answer);
  if (!n || *n < 5 || *n > 20) {
    platform::notify(s.user, platform::kTitle, report::kBadDesignatorColumns, platform::Icon::Information);
    return;
  }
  // The standard BOM: 序号 to 单位 on every line, 用量 on the first, the designators from G;
  // its "Total:" row is the total line.
  static const report::SpecialBomLayout kStandardLayout{
      6, {"序号", "物料编码", "物料名称", "物料规格", "单位", "用量", "位号"}, {{"A", 10}, {"B", 15}, {"C", 15}, {"D", 15}},
      true, true};
  long lastLine = 0;
  if (report::writeSpecialBom(*app, settings, s.user, kStandardLayout, vb::toLong(vb::Variant(*n)), guard, lastLine) ==
      report::SpecialBomResult::Built)
    platform::notify(s.user, platform::kTitle, kDoneMessage);
}

void checkDesignators(platform::Services& s, platform::Settings& settings, xl::AppPtr& app) {
  vb::SkipOnError guard;
  if (!attach(s, settings, app, guard)) return;
  vb::Table source;
  if (!guard.step([&] { source = app->sheet(1)->usedRange().values(); })) return;

  // The report goes to sheet 2 when that sheet is empty or holds an earlier report;
  // otherwise a new sheet after sheet 1 takes it, so no sheet of the user's is cleared.
  xl::SheetPtr report;
  guard.step([&] {
    xl::WorkbookPtr wb = app->activeWorkbook();
    if (wb->sheetCount() >= 2) {
      xl::SheetPtr second = wb->sheet(2);
      const xl::Area used = second->usedArea();
      bool free = used.count() == 1 && second->get(used.r1, used.c1).isEmpty();
      bool earlier = true;
      for (long c = 1; c <= 5; ++c) earlier = earlier && vb::toText(second->get(1, c)) == kReportHeadings[c - 1];
      if (free || earlier) report = second;
    }
    if (!report) report = wb->addSheet(nullptr, wb->sheet(1).get());
  });
  if (!report) return;  // the check cannot run: no claim about duplicates
  xl::Sheet& sheet = *report;
  guard.step([&] { sheet.select(); });
  guard.step([&] { sheet.cells().clear(); });
  guard.step([&] {
    vb::Table head(1, 5);
    for (long c = 1; c <= 5; ++c) head(1, c) = kReportHeadings[c - 1];
    sheet.range("A1:E1").setValues(head);
    xl::StyleChange look;
    look.bold = true;
    look.fontColor = 0;
    look.fill = kCheckHeadingFill;
    sheet.range("A1:E1").apply(look);
    sheet.columns("A:E").autoFilter();
  });

  // One row per designator, in the source's order.
  struct Entry {
    std::string designator;
    long sourceRow;
  };
  std::vector<Entry> entries;
  for (long r = 2; r <= source.rows(); ++r) {
    if (source.cols() < 7) break;
    const std::string list = vb::toText(source(r, 7));
    if (list.empty()) continue;
    for (std::string& d : designatorsOf(list, settings.joinSymbol())) entries.push_back({std::move(d), r});
  }
  const long n = static_cast<long>(entries.size());
  guard.step([&] {
    if (n == 0) return;
    platform::checkListFitsSheet(n);
    vb::Table rows(n, 5);
    for (long i = 1; i <= n; ++i) {
      const Entry& e = entries[static_cast<size_t>(i - 1)];
      rows(i, 1) = static_cast<double>(i);
      rows(i, 2) = e.designator;
      for (long c = 2; c <= 4; ++c) rows(i, c + 1) = source(e.sourceRow, c);
    }
    platform::blockWrite(sheet.cell(2, 1), rows, 5);
  });
  guard.step([&] { sheet.cells().entireColumn().autoFit(); });

  // Designators compared as the sheet holds them (a designator of digits reads back as a
  // number): rows of the same value, all of them red.
  long repeated = 0;
  guard.step([&] {
    const long last = platform::lastUsedRow(sheet, 1);
    if (last < 2) return;
    const vb::Table listed = platform::blockRead(sheet.range(sheet.cell(2, 2), sheet.cell(last, 2)));
    std::unordered_map<std::string, std::vector<long>> rowsOf;
    for (long i = 1; i <= listed.rows(); ++i) {
      const vb::Variant& v = listed(i, 1);
      rowsOf[(v.isNumber() ? "n" : "t") + vb::toText(v)].push_back(i + 1);
    }
    std::vector<long> marked;
    for (const auto& [key, rows] : rowsOf)
      if (rows.size() > 1) {
        repeated += static_cast<long>(rows.size());
        marked.insert(marked.end(), rows.begin(), rows.end());
      }
    std::sort(marked.begin(), marked.end());
    for (long r : marked)
      guard.step([&] { sheet.range(sheet.cell(r, 1), sheet.cell(r, 5)).setInteriorColor(platform::kMarkRed); });
  });
  platform::notify(s.user, platform::kTitle, repeated > 0 ? kRepeatsReport : kNoRepeatsReport);
}

}  // namespace workbench
