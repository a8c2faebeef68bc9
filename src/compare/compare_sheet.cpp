// CompareExcel: the two sides of the sheet "Compare" numbered, checked for repeated
// designators, aligned by designator and marked. Designators, packages and values are
// compared as the texts the cells hold, exactly (case and blanks count).
#include "compare/compare_sheet.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/services.h"
#include "platform/workbook_helpers.h"
#include "vb/convert.h"

namespace compare {

namespace xl = platform::xl;

namespace {

// One side as read: designator, package and value of each row (the sheet's row is the
// index + 2), with the designators as text.
struct Side {
  vb::Table cells;
  std::vector<std::string> designators;
  long rows() const { return static_cast<long>(designators.size()); }
  std::string text(long i, long c) const { return vb::toText(cells(i + 1, c)); }
};

Side readSide(xl::Sheet& sheet, long firstCol, long last) {
  Side s;
  if (last < 2) return s;
  s.cells = platform::blockRead(sheet.range(sheet.cell(2, firstCol), sheet.cell(last, firstCol + 2)));
  s.designators.reserve(static_cast<size_t>(last - 1));
  for (long i = 0; i < last - 1; ++i) s.designators.push_back(s.text(i, 1));
  return s;
}

void fillRed(xl::Sheet& sheet, long row, long c1, long c2) {
  sheet.range(sheet.cell(row, c1), sheet.cell(row, c2)).setInteriorColor(platform::kMarkRed);
}

// Repeated designators of a side: every row of a repeated one is filled red in its three
// columns. Returns the number of equal pairs (a designator three times is three pairs).
long markRepeated(xl::Sheet& sheet, const Side& side, long firstCol) {
  std::unordered_map<std::string, std::vector<long>> rowsOf;
  rowsOf.reserve(side.designators.size());
  for (long i = 0; i < side.rows(); ++i) rowsOf[side.designators[static_cast<size_t>(i)]].push_back(i);
  std::vector<long> marked;
  long pairs = 0;
  for (const auto& [designator, rows] : rowsOf) {
    if (rows.size() < 2) continue;
    const long k = static_cast<long>(rows.size());
    pairs += k * (k - 1) / 2;
    marked.insert(marked.end(), rows.begin(), rows.end());
  }
  std::sort(marked.begin(), marked.end());
  for (long i : marked) fillRed(sheet, i + 2, firstCol, firstCol + 2);
  return pairs;
}

// Index of each designator's row (there are no repeated ones when this is used).
std::unordered_map<std::string, long> rowIndex(const Side& side) {
  std::unordered_map<std::string, long> index;
  index.reserve(side.designators.size());
  for (long i = 0; i < side.rows(); ++i) index.emplace(side.designators[static_cast<size_t>(i)], i);
  return index;
}

std::string repeatedMessage(const char* where) {
  return std::string(where) + "\n已经用红色标示!" + kCheckYourself;
}

}  // namespace

void finishComparison(platform::ToolContext& t) {
  platform::Services& s = t.services;
  platform::attachSpreadsheet(s, t.settings, t.state.spreadsheetApp);
  xl::SheetPtr sheetPtr = t.state.spreadsheetApp->sheet(2);
  xl::Sheet& sheet = *sheetPtr;
  const long designLast = platform::lastUsedRow(sheet, kDesignDesignatorCol);
  const long bomLast = platform::lastUsedRow(sheet, kBomDesignatorCol);
  const long lastRow = std::max(designLast, bomLast);

  if (lastRow >= 2) {
    vb::Table numbers(lastRow - 1, 1);
    for (long r = 2; r <= lastRow; ++r) numbers(r - 1, 1) = static_cast<double>(r - 1);
    platform::blockWrite(sheet.cell(2, kNumberCol), numbers, 1);
  }
  const Side design = readSide(sheet, kDesignDesignatorCol, designLast);
  const Side bom = readSide(sheet, kBomDesignatorCol, bomLast);

  xl::StyleChange header;
  header.bold = true;
  header.fontSize = 9;
  header.fill = kHeaderFill;
  sheet.range("A1:H1").apply(header);
  sheet.columns("A:H").autoFilter();
  platform::textFirst(sheet.columns("A:H"));
  vb::Table headings(1, 8);
  const char* names[] = {"No.", "xls序号", "xls封装", "xls参数", "", "PCB序号", "PCB封装", "PCB参数"};
  for (long c = 1; c <= 8; ++c) headings(1, c) = names[c - 1];
  sheet.range("A1:H1").setValues(headings);

  const long bomRepeats = markRepeated(sheet, bom, kBomDesignatorCol);
  const long designRepeats = markRepeated(sheet, design, kDesignDesignatorCol);
  if (bomRepeats > 0 || designRepeats > 0) {
    const char* where = bomRepeats > 0 && designRepeats > 0 ? "Excel与Design中都有Part序号重复,"
                        : bomRepeats > 0                   ? "Excel中Part序号有重复,"
                                                           : "Design中Part序号有重复,";
    platform::notify(s.user, platform::kTitle, repeatedMessage(where));
    return;
  }

  // Every row that any column of the two sides holds is emptied, values and fills.
  long filled = lastRow;
  for (long c = kBomDesignatorCol; c <= kDesignValueCol; ++c) filled = std::max(filled, platform::lastUsedRow(sheet, c));
  if (filled >= 2) {
    const xl::Range both = sheet.range(sheet.cell(2, kBomDesignatorCol), sheet.cell(filled, kDesignValueCol));
    both.clearContents();
    both.setInteriorColor(xl::kNoFill);
  }
  if (design.rows() > 0) platform::blockWrite(sheet.cell(2, kDesignDesignatorCol), design.cells, 3);

  bool differences = false;
  const std::unordered_map<std::string, long> bomRow = rowIndex(bom);
  for (long j = 0; j < design.rows(); ++j) {
    auto b = bomRow.find(design.designators[static_cast<size_t>(j)]);
    if (b == bomRow.end()) {
      fillRed(sheet, j + 2, kDesignDesignatorCol, kDesignValueCol);
      differences = true;
      continue;
    }
    for (long c : {2L, 3L}) {
      if (bom.text(b->second, c) != design.text(j, c)) {
        fillRed(sheet, j + 2, kDesignDesignatorCol + c - 1, kDesignDesignatorCol + c - 1);
        differences = true;
      }
    }
  }

  platform::textFirst(sheet.columns("A:H"));
  const std::unordered_map<std::string, long> designRow = rowIndex(design);
  long appended = 0;
  vb::Table aligned(design.rows() + bom.rows(), 3);
  for (long i = 0; i < bom.rows(); ++i) {
    auto j = designRow.find(bom.designators[static_cast<size_t>(i)]);
    long to;
    if (j != designRow.end()) {
      to = j->second;
      for (long c : {2L, 3L}) {
        if (bom.text(i, c) != design.text(to, c)) {
          fillRed(sheet, to + 2, kBomDesignatorCol + c - 1, kBomDesignatorCol + c - 1);
          differences = true;
        }
      }
    } else {
      to = design.rows() + appended++;
      fillRed(sheet, to + 2, kBomDesignatorCol, kBomValueCol);
      differences = true;
    }
    for (long c = 1; c <= 3; ++c) aligned(to + 1, c) = bom.cells(i + 1, c);
  }
  const long alignedRows = design.rows() + appended;
  if (alignedRows > 0) {
    aligned.resize(alignedRows, 3);
    platform::blockWrite(sheet.cell(2, kBomDesignatorCol), aligned, 3);
  }
  sheet.cells().entireColumn().autoFit();
  platform::notify(s.user, platform::kTitle,
                   std::string(kComparedMessage) + "\n" + (differences ? kDifferencesMarked : kNoDifferences));
}

}  // namespace compare
