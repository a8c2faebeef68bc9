#include "report/split_bom.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "normalise/change_report.h"
#include "platform/workbook_helpers.h"
#include "report/category_bom.h"
#include "report/part_category_order.h"
#include "vb/convert.h"
#include "vb/dictionary.h"

namespace report {

namespace xl = platform::xl;

namespace {

inline constexpr long kHeaderFill = 12500000;
inline constexpr long kTotalRowFill = 15500000;

// What divides the two kinds of split report.
struct SplitRule {
  long groupColumn;  // column of the change report that decides the group
  const char* first;
  const char* second;
  const char* firstTitle;
  const char* secondTitle;
  // Title of the single-group report, from the change report's first data row.
  std::string (*singleTitle)(xl::Sheet& changes);
};

std::string sideSingleTitle(xl::Sheet& changes) { return vb::toText(changes.get(2, 8)) + " Part:"; }
std::string mountSingleTitle(xl::Sheet& changes) {
  return vb::toText(changes.get(2, 12)) == "Yes" ? "SMD  Part:" : "DIP  Part:";
}

const SplitRule kBySide{8, "Top", "Bottom", "Top Part:", "Bottom Part:", sideSingleTitle};
const SplitRule kByMount{12, "Yes", "No", "SMT Part:", "DIP Part:", mountSingleTitle};

constexpr size_t orderIndex(std::string_view name) {
  for (size_t i = 0; i < kPartCategoryOrder.size(); ++i)
    if (kPartCategoryOrder[i] == name) return i;
  return kPartCategoryOrder.size();
}
constexpr size_t kUnknown = orderIndex("Unknow");
static_assert(kUnknown < kPartCategoryOrder.size());

// One change report row as the report uses it.
struct SplitRow {
  vb::Variant value, decal, designator;
  std::string side;  // the group column's text
  size_t category;   // position in kPartCategoryOrder
};

// Position of a category in the print order; an empty category and one the order does not
// name are listed under "Unknow", so no part is left out of the report.
size_t categoryIndex(const std::string& category) {
  size_t i = category.empty() ? kUnknown : orderIndex(category);
  return i < kPartCategoryOrder.size() ? i : kUnknown;
}

enum class RowKind { Title, SecondTitle, Category, Line, Total };

struct ReportRow {
  RowKind kind;
  std::array<vb::Variant, 5> cells;
};

// The report in memory, rows from sheet row 2 down.
class SplitReport {
 public:
  SplitReport(const std::vector<SplitRow>& rows, std::string join) : rows_(rows), join_(std::move(join)) {}

  void title(RowKind kind, const std::string& text, long count) {
    out.push_back({kind, {text, vb::Variant(), vb::Variant(), count, vb::Variant()}});
  }

  // The category blocks over a set of rows: one block per category in print order, the
  // category row first, then one line per GroupKey in the order of its first row.
  void categoryBlocks(const std::vector<size_t>& set) {
    std::vector<std::vector<size_t>> byCategory(kPartCategoryOrder.size());
    for (size_t i : set) byCategory[rows_[i].category].push_back(i);
    for (size_t c = 0; c < byCategory.size(); ++c) {
      const std::vector<size_t>& members = byCategory[c];
      if (members.empty()) continue;
      out.push_back({RowKind::Category,
                     {std::string(kPartCategoryOrder[c]), "", "", static_cast<long>(members.size()), ""}});
      size_t firstLine = out.size();
      vb::Dictionary lineIndex;  // GroupKey -> line within this block
      std::vector<std::string> joined;
      std::vector<long> counts;
      for (size_t i : members) {
        const SplitRow& r = rows_[i];
        std::string key = vb::toText(r.value) + "-" + vb::toText(r.decal) + "-" + r.side;
        if (lineIndex.exists(key)) {
          size_t j = static_cast<size_t>(lineIndex.item(key).number());
          joined[j] += join_;
          joined[j] += vb::toText(r.designator);
          ++counts[j];
        } else {
          lineIndex.put(key, static_cast<double>(joined.size()));
          ++lineNumber_;
          out.push_back({RowKind::Line, {lineNumber_, r.value, r.decal, 1L, r.designator}});
          joined.push_back(vb::toText(r.designator));
          counts.push_back(1);
        }
      }
      // A line of one part keeps its designator as read; merged lines hold the joined text.
      for (size_t j = 0; j < joined.size(); ++j) {
        if (counts[j] == 1) continue;
        out[firstLine + j].cells[3] = counts[j];
        out[firstLine + j].cells[4] = std::move(joined[j]);
      }
    }
  }

  void total(long partCount) {
    out.push_back({RowKind::Total, {"Total:", vb::Variant(), vb::Variant(), partCount, vb::Variant()}});
  }

  std::vector<ReportRow> out;

 private:
  const std::vector<SplitRow>& rows_;
  std::string join_;
  long lineNumber_ = 0;
};

std::vector<SplitRow> readSplitRows(xl::Sheet& changes, long partCount, long groupColumn) {
  std::vector<SplitRow> rows;
  if (partCount < 1) return rows;
  vb::Table block = platform::blockRead(changes.range(changes.cell(2, 1), changes.cell(partCount + 1, 15)));
  rows.reserve(static_cast<size_t>(block.rows()));
  for (long r = 1; r <= block.rows(); ++r)
    rows.push_back({block(r, 2), block(r, 3), block(r, 5), vb::toText(block(r, groupColumn)),
                    categoryIndex(vb::toText(block(r, 6)))});
  return rows;
}

// The rows of the report in order: two groups when both have parts, then one group per
// other group text; otherwise one group of every row.
std::vector<ReportRow> buildReport(const std::vector<SplitRow>& rows, const SplitRule& rule, xl::Sheet& changes,
                                   long partCount, std::string join) {
  std::vector<size_t> first, second, all;
  std::vector<std::string> otherSides;
  std::vector<std::vector<size_t>> others;
  for (size_t i = 0; i < rows.size(); ++i) {
    all.push_back(i);
    const std::string& side = rows[i].side;
    if (side == rule.first) {
      first.push_back(i);
    } else if (side == rule.second) {
      second.push_back(i);
    } else {
      size_t k = 0;
      while (k < otherSides.size() && otherSides[k] != side) ++k;
      if (k == otherSides.size()) {
        otherSides.push_back(side);
        others.emplace_back();
      }
      others[k].push_back(i);
    }
  }

  SplitReport report(rows, std::move(join));
  if (first.empty() || second.empty()) {
    report.title(RowKind::Title, rule.singleTitle(changes), partCount);
    report.categoryBlocks(all);
  } else {
    report.title(RowKind::Title, rule.firstTitle, static_cast<long>(first.size()));
    report.categoryBlocks(first);
    report.title(RowKind::SecondTitle, rule.secondTitle, static_cast<long>(second.size()));
    report.categoryBlocks(second);
    for (size_t k = 0; k < others.size(); ++k) {
      report.title(RowKind::Title, otherSides[k] + " Part:", static_cast<long>(others[k].size()));
      report.categoryBlocks(others[k]);
    }
  }
  report.total(partCount);
  return std::move(report.out);
}

xl::StyleChange rowLook(long fill) {
  xl::StyleChange c;
  c.bold = true;
  c.fill = fill;
  c.numberFormat = "@";
  return c;
}

// Writes the report below the header. The values go in one block; the cells they land in
// have the formats they would have row by row (A:E of rows 1 to PartCount + 1 are text, and
// the second title styles the row below it before that row is written), so every cell
// stores what a cell-by-cell write stores. The row looks follow in report order.
void writeReport(xl::Sheet& bom, const std::vector<ReportRow>& report) {
  const long top = 2;
  for (size_t i = 0; i < report.size(); ++i)
    if (report[i].kind == RowKind::SecondTitle) {
      long below = top + static_cast<long>(i) + 1;
      bom.range(bom.cell(below, 1), bom.cell(below, 5)).setNumberFormat("@");
    }
  vb::Table values(static_cast<long>(report.size()), 5);
  for (size_t i = 0; i < report.size(); ++i)
    for (long c = 1; c <= 5; ++c) values(static_cast<long>(i) + 1, c) = report[i].cells[static_cast<size_t>(c - 1)];
  platform::blockWrite(bom.cell(top, 1), values, 5);

  for (size_t i = 0; i < report.size(); ++i) {
    long r = top + static_cast<long>(i);
    switch (report[i].kind) {
      case RowKind::Title: bom.range(bom.cell(r, 1), bom.cell(r, 5)).apply(rowLook(platform::kMarkRed)); break;
      case RowKind::SecondTitle:
        bom.range(bom.cell(r, 1), bom.cell(r + 1, 5)).apply(rowLook(platform::kMarkRed));
        break;
      case RowKind::Category: bom.range(bom.cell(r, 1), bom.cell(r, 5)).apply(rowLook(kSplitCategoryRowFill)); break;
      case RowKind::Total: bom.range(bom.cell(r, 1), bom.cell(r, 5)).apply(rowLook(kTotalRowFill)); break;
      case RowKind::Line: break;
    }
  }
}

void splitBom(const platform::ReportFlow& f, const SplitRule& rule) {
  const long partCount = f.t.state.partCount;
  xl::SheetPtr bom = f.sheet(1);
  bom->select();
  bom->cells().deleteCells();

  vb::Table head(1, 5);
  const char* headings[] = {"No.", "Value", "Decal", "Qty", "Name"};
  for (int c = 1; c <= 5; ++c) head(1, c) = headings[c - 1];
  platform::blockWrite(bom->range("A1"), head, 5);
  xl::StyleChange headLook;
  headLook.bold = true;
  headLook.fill = kHeaderFill;
  bom->range("A1:E1").apply(headLook);
  platform::textFirst(bom->range(bom->cell(1, 1), bom->cell(std::max(partCount, 0L) + 1, 5)));

  xl::SheetPtr changes = f.sheet(3);
  std::vector<SplitRow> rows = readSplitRows(*changes, partCount, rule.groupColumn);
  std::vector<ReportRow> report = buildReport(rows, rule, *changes, partCount, f.t.settings.joinSymbol());
  writeReport(*bom, report);
  normalise::longTextGeneral(*bom);
}

}  // namespace

void splitBomBySide(const platform::ReportFlow& f) { splitBom(f, kBySide); }

void splitBomByMounting(const platform::ReportFlow& f) { splitBom(f, kByMount); }

}  // namespace report
