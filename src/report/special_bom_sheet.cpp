#include "report/special_bom_sheet.h"

#include "platform/services.h"
#include "platform/workbook_helpers.h"
#include "report/category_bom.h"
#include "report/designator_split.h"
#include "vb/convert.h"

namespace report {

namespace xl = platform::xl;

namespace {

constexpr long kMarkedLineFill = platform::kMarkRed;

// The lines of the Special BOM below its header, and the column merges of each item.
struct SpecialLines {
  vb::Table cells;               // rows from sheet row 2, the item columns and N designator columns
  std::vector<xl::Area> merges;  // in the order they are made: the first-line column, then A, B, ...
  long lastRow = 1;              // last sheet row written
};

SpecialLines layOut(const vb::Table& source, long n, const SpecialBomLayout& layout, platform::Settings& settings) {
  const long k = layout.itemColumns;
  struct Item {
    long row;
    std::vector<std::string> designators;
  };
  std::vector<Item> items;
  long lines = 0;
  for (long r = 1; r <= source.rows(); ++r) {
    const std::string list = vb::toText(source(r, k + 1));
    const std::string separator = settings.joinSymbol();
    Item it{r, separator.empty() && layout.wholeListWithoutSeparator ? std::vector<std::string>{list}
                                                                      : designatorSplit(list, separator)};
    lines += (static_cast<long>(it.designators.size()) + n - 1) / n;
    items.push_back(std::move(it));
  }
  SpecialLines out;
  out.cells = vb::Table(lines, k + n);
  long i = 2;  // sheet row of the item's first line
  for (const Item& it : items) {
    long line = -1;
    const long t = i - 1;  // table row of the first line
    out.cells(t, k) = source(it.row, k);
    for (size_t m = 0; m < it.designators.size(); ++m) {
      const long mm = static_cast<long>(m);
      if (mm % n == 0) {
        ++line;
        for (long c = 1; c < k; ++c) out.cells(t + line, c) = source(it.row, c);
      }
      out.cells(t + line, k + 1 + (mm - line * n)) = it.designators[m];
    }
    if (line > 0) {
      out.merges.push_back(xl::Area{i, k, i + line, k});
      for (long c = 1; c < k; ++c) out.merges.push_back(xl::Area{i, c, i + line, c});
    }
    i += line + 1;
  }
  out.lastRow = i - 1;
  return out;
}

// Rows 1 to last whose first designator cell is empty: the item and designator columns
// bold and red, each run of such rows in one step.
void markLinesWithoutDesignators(xl::Sheet& s, long firstDesignatorCol, long lastCol, long last) {
  if (last < 1) return;
  vb::Table names = s.range(s.cell(1, firstDesignatorCol), s.cell(last, firstDesignatorCol)).values();
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
    s.range(s.cell(r, 1), s.cell(end, lastCol)).apply(mark);
    r = end + 1;
  }
}

}  // namespace

long contiguousLastRow(xl::Sheet& sheet) {
  if (sheet.get(2, 1).isEmpty()) return 1;
  return sheet.cell(1, 1).end(xl::kDownFour).row();
}

SpecialBomResult writeSpecialBom(xl::Application& app, platform::Settings& settings, platform::User& user,
                                 const SpecialBomLayout& layout, long n, vb::SkipOnError& guard, long& lastLine) {
  const long k = layout.itemColumns;
  const long lastCol = k + n;
  // A test whose evaluation fails takes its Then branch.
  auto holds = [&](auto&& test) {
    bool result = true;
    guard.step([&] { result = test(); });
    return result;
  };
  guard.step([&] { app.setDisplayAlerts(false); });
  const long sheets = guard.value([&] { return app.activeWorkbook()->sheetCount(); }, 0L);
  for (long p = 1; p <= sheets; ++p)
    guard.step([&] {
      xl::SheetPtr s = app.sheet(p);
      if (s->name() == kSpecialBomSheetName) s->remove();
    });

  guard.step([&] { app.sheet(1)->select(); });
  if (holds([&] {
        xl::SheetPtr s = app.sheet(1);
        xl::Area used = s->usedArea();
        return used.count() == 1 && s->get(used.r1, used.c1).isEmpty();
      })) {
    guard.step([&] { app.setDisplayAlerts(true); });
    platform::notify(user, platform::kTitle, kBlankSheetMessage);
    return SpecialBomResult::BlankSheet;
  }

  vb::Table source;
  guard.step([&] {
    xl::SheetPtr s = app.sheet(1);
    const long last = contiguousLastRow(*s);
    if (last >= 2) source = platform::blockRead(s->range(s->cell(2, 1), s->cell(last, k + 1)));
  });

  // Only the sheet just added is written: when the add or the naming fails, the user's
  // BOM is never renamed or written over.
  xl::SheetPtr out;
  guard.step([&] { out = app.activeWorkbook()->addSheet(app.sheet(1).get(), nullptr); });
  if (!out || !guard.step([&] { out->setName(kSpecialBomSheetName); })) {
    guard.step([&] { app.setDisplayAlerts(true); });
    return SpecialBomResult::NotAdded;
  }
  xl::Sheet& sheet = *out;
  guard.step([&] { sheet.columns("A:" + xl::columnLetters(lastCol)).setNumberFormat("@"); });

  // The lines are laid out in memory and written in one block; the merges follow item by
  // item. The columns are text, so each cell stores what a write of its own would store.
  SpecialLines lines = layOut(source, n, layout, settings);
  guard.step([&] {
    if (!lines.cells.empty()) platform::blockWrite(sheet.cell(2, 1), lines.cells);
  });
  for (const xl::Area& m : lines.merges)
    guard.step([&] { sheet.range(sheet.cell(m.r1, m.c1), sheet.cell(m.r2, m.c2)).merge(); });

  const long headingCols = static_cast<long>(layout.headings.size());
  guard.step([&] {
    vb::Table head(1, headingCols);
    for (long c = 1; c <= headingCols; ++c) head(1, c) = layout.headings[static_cast<size_t>(c - 1)];
    sheet.range(sheet.cell(1, 1), sheet.cell(1, headingCols)).setValues(head);
  });
  guard.step([&] { sheet.range(sheet.cell(1, 1), sheet.cell(1, headingCols)).setBold(true); });
  guard.step([&] { sheet.range(sheet.cell(1, 1), sheet.cell(1, headingCols)).setInteriorColor(kCategoryBomHeaderFill); });
  if (layout.totalLine && lines.lastRow >= 2)
    guard.step([&] {
      sheet.range(sheet.cell(lines.lastRow, 1), sheet.cell(lines.lastRow, lastCol)).setInteriorColor(kCategoryBomHeaderFill);
    });
  guard.step([&] { sheet.cell(1, k + 1).resize(1, n).merge(); });

  for (const auto& w : layout.widths) guard.step([&] { sheet.columns(w.first).setColumnWidth(w.second); });
  guard.step([&] { sheet.cells().setFontSize(9); });
  guard.step([&] { sheet.cells().setWrapText(true); });
  guard.step([&] { sheet.usedRange().entireColumn().autoFit(); });
  guard.step([&] { sheet.range(sheet.cell(1, 1), sheet.cell(1, headingCols)).autoFilter(); });
  guard.step([&] { app.sheet(kSpecialBomSheetName)->select(); });

  lastLine = lines.lastRow;
  guard.step([&] {
    markLinesWithoutDesignators(sheet, k + 1, lastCol, layout.totalLine ? lines.lastRow - 1 : lines.lastRow);
  });
  // The table around A1 of the new sheet (the active cell once that sheet is selected).
  guard.step([&] { platform::gridBorders(sheet.cell(1, 1).currentRegion()); });
  guard.step([&] { app.setDisplayAlerts(true); });
  return SpecialBomResult::Built;
}

}  // namespace report
