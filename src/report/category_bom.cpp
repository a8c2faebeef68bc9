#include "report/category_bom.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <unordered_map>

#include "platform/workbook_helpers.h"
#include "report/category_patterns.h"
#include "vb/convert.h"
#include "vb/error.h"
#include "vb/text.h"

namespace report {

namespace xl = platform::xl;

namespace {

// One part row of the change report as the build reads it.
struct ChangeRow {
  vb::Variant value, package;
  std::string quantity;
  std::string designator;  // as written; emptied once a category claims it
  std::string upper;       // upper-cased for the patterns
};

// The report as it is built: rows of five cells, and which rows are category rows.
struct Report {
  std::vector<std::array<vb::Variant, 5>> rows;
  std::vector<size_t> categoryRows;
};

// Builds one category from the rows no earlier category claimed.
void buildCategory(const CategoryPass& pass, std::vector<ChangeRow>& rows, const std::string& join, Report& out,
              long& lineNumberBase, double& grandTotal) {
  std::unordered_map<std::string, size_t> lineIndex;  // GroupKey -> line within this category
  std::vector<std::array<vb::Variant, 5>> lines;
  std::vector<std::string> designators;
  long claimed = 0;
  double pieces = 0;
  const std::vector<vb::LikePattern> patterns = preparedPatterns(pass.patterns);
  for (ChangeRow& row : rows) {
    if (row.designator.empty() || !matchesPrepared(row.upper, patterns)) continue;
    ++claimed;
    double quantity = vb::val(row.quantity);
    auto [line, isNew] = lineIndex.try_emplace(vb::toText(row.value) + "|" + vb::toText(row.package), lines.size());
    if (!isNew) {
      const size_t j = line->second;
      designators[j].append(join).append(row.designator);
      lines[j][3] = lines[j][3].number() + quantity;
    } else {
      lines.push_back({static_cast<double>(lineNumberBase + static_cast<long>(lines.size()) + 1), row.value,
                       row.package, quantity, vb::Variant()});
      designators.push_back(row.designator);
    }
    // The piece count takes the same leading number as the line quantity ("2pcs" is 2).
    pieces = vb::roundHalfEven(pieces + quantity);
    row.designator.clear();
  }
  // Claimed rows (and rows without a designator) are of no later category.
  rows.erase(std::remove_if(rows.begin(), rows.end(), [](const ChangeRow& r) { return r.designator.empty(); }),
             rows.end());
  grandTotal += pieces;
  bool total = pass.name == "Total:";
  // A category that claimed parts prints its row and lines, whatever its parts add up to.
  if (!total && claimed == 0) return;
  out.categoryRows.push_back(out.rows.size());
  out.rows.push_back({pass.name, vb::Variant(), vb::Variant(), total ? grandTotal : pieces, vb::Variant()});
  for (size_t j = 0; j < lines.size(); ++j) {
    lines[j][4] = std::move(designators[j]);
    out.rows.push_back(std::move(lines[j]));
  }
  lineNumberBase += static_cast<long>(lines.size());
}

}  // namespace

void buildCategoryBom(const platform::ReportFlow& f) {
  platform::ToolState& st = f.t.state;
  xl::Application& app = *st.spreadsheetApp;
  app.setDisplayAlerts(false);
  xl::SheetPtr changes = f.sheet(3);
  std::vector<ChangeRow> rows;
  if (f.lastRow() >= 2) {
    // Value, PartDecal, Qty and RefDes: columns B to E.
    vb::Table block = changes->range(changes->cell(2, 2), changes->cell(f.lastRow(), 5)).values();
    rows.reserve(static_cast<size_t>(block.rows()));
    for (long r = 1; r <= block.rows(); ++r) {
      std::string d = vb::toText(block(r, 4));
      std::string upper = vb::ucase(d);
      rows.push_back({std::move(block(r, 1)), std::move(block(r, 2)), vb::toText(block(r, 3)), std::move(d),
                      std::move(upper)});
    }
  }

  xl::SheetPtr bom = f.sheet(1);
  bom->select();
  vb::Table head(1, 5);
  const char* headings[] = {"No", "Value", "Decal", "QTY", "Name"};
  for (int c = 1; c <= 5; ++c) head(1, c) = headings[c - 1];
  bom->range("A1:E1").setValues(head);
  xl::StyleChange headLook;
  headLook.bold = true;
  headLook.fill = kCategoryBomHeaderFill;
  bom->range("A1:E1").apply(headLook);

  Report report;
  long lineNumberBase = 0;
  double grandTotal = 0;
  for (const CategoryPass& pass : categoryPasses(st.prefixCount))
    buildCategory(pass, rows, f.t.settings.joinSymbol(), report, lineNumberBase, grandTotal);

  // Every row the report writes keeps codes such as "0402" as text; the block is as wide
  // as the special BOM's designator columns plus four, held within the sheet.
  long first = platform::lastUsedRow(*bom, 1) + 1;
  long last = first + static_cast<long>(report.rows.size()) - 1;
  long width = std::clamp<long>(static_cast<long>(st.refColumns) + 4, 4, xl::kMaxCols);
  platform::textFirst(bom->range(bom->cell(1, 1), bom->cell(last, width)));
  vb::Table out(static_cast<long>(report.rows.size()), 5);
  for (size_t i = 0; i < report.rows.size(); ++i)
    for (long c = 1; c <= 5; ++c) out(static_cast<long>(i) + 1, c) = report.rows[i][static_cast<size_t>(c - 1)];
  platform::blockWrite(bom->cell(first, 1), out, 5);
  for (size_t i : report.categoryRows) {
    long r = first + static_cast<long>(i);
    bom->cell(r, 1).setBold(true);
    bom->range(bom->cell(r, 1), bom->cell(r, 5)).setInteriorColor(kCategoryRowFill);
    bom->cell(r, 4).setBold(true);
  }
  app.setDisplayAlerts(true);
}

namespace {

// Every row from the one above the last row of column A up to `first` whose column E has
// the report's category colour is deleted. The colour is the one the report builder gives
// its category rows, not whatever a reference cell happens to hold. Returns that last row.
long deleteCategoryRows(const platform::ReportFlow& f, long first, long categoryFill) {
  platform::ToolState& st = f.t.state;
  platform::attachSpreadsheet(f.t.services, f.t.settings, st.spreadsheetApp);
  xl::SheetPtr bom = f.sheet(1);
  long last = platform::lastUsedRow(*bom, 1);
  for (long r = last - 1; r >= first; --r)
    if (bom->styleAt(r, 5).fill == categoryFill) bom->rows(r, r).deleteCells();
  return last;
}

}  // namespace

void purgeCategoryRows(const platform::ReportFlow& f) { f.t.state.partCount = deleteCategoryRows(f, 2, kCategoryRowFill) - 1; }

void purgeSplitCategoryRows(const platform::ReportFlow& f) { deleteCategoryRows(f, 3, kSplitCategoryRowFill); }

}  // namespace report
