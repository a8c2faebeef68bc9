// The program's Worksheet and Range objects behind the spreadsheet interface. Every area
// is asked of the program as one Range by its A1 address.
#include <utility>

#include "platform/win/com_spreadsheet.h"
#include "vb/convert.h"

namespace platform::win {

namespace {


// Constants of the program's object model.
constexpr int xlShiftUp = -4162;
constexpr int xlNone = -4142;
constexpr int xlAutomatic = -4105;
constexpr int xlEdgeLeft = 7, xlEdgeTop = 8, xlEdgeBottom = 9, xlEdgeRight = 10;

xl::Area cellArea(long row, long col) { return {row, col, row, col}; }

// One edge as the program reports it; no line reads as the empty edge.
xl::Edge edgeOf(const Automation& borders, int which) {
  Automation border = borders.getObject("Item", which);
  int lineStyle = vb::toLong(border.get("LineStyle"));
  if (lineStyle == xlNone || lineStyle == 0) return {};
  int colorIndex = vb::toLong(border.get("ColorIndex"));
  if (colorIndex == xlAutomatic || colorIndex == xlNone) colorIndex = 0;
  return {lineStyle, static_cast<int>(vb::toLong(border.get("Weight"))), colorIndex};
}

}  // namespace

xl::Area areaOf(const Automation& range) {
  if (range.empty()) vb::raise(vb::kObjectNotSet);
  long row = vb::toLong(range.get("Row"));
  long col = vb::toLong(range.get("Column"));
  long rows = vb::toLong(range.getObject("Rows").get("Count"));
  long cols = vb::toLong(range.getObject("Columns").get("Count"));
  return {row, col, row + rows - 1, col + cols - 1};
}

ComSheet::ComSheet(Automation application, std::shared_ptr<ComWorkbook> book, Automation sheet)
    : app_(std::move(application)), book_(std::move(book)), sheet_(std::move(sheet)) {}

// Whole columns and rows go as "$C:$D" and "$3:$5", the whole sheet as Cells, so they
// also fit a sheet with fewer rows or columns (a workbook in the older file format).
Automation ComSheet::rangeOf(const xl::Area& a) const {
  bool allRows = a.r1 == 1 && a.r2 == xl::kMaxRows;
  bool allColumns = a.c1 == 1 && a.c2 == xl::kMaxCols;
  if (allRows && allColumns) return sheet_.getObject("Cells");
  if (allRows) return sheet_.getObject("Range", "$" + xl::columnLetters(a.c1) + ":$" + xl::columnLetters(a.c2));
  if (allColumns) return sheet_.getObject("Range", "$" + std::to_string(a.r1) + ":$" + std::to_string(a.r2));
  return sheet_.getObject("Range", xl::addressText(a));
}

std::string ComSheet::name() const { return vb::toText(sheet_.get("Name")); }
void ComSheet::setName(const std::string& name) { sheet_.put("Name", name); }
void ComSheet::select() { sheet_.call("Select"); }
void ComSheet::remove() { sheet_.call("Delete"); }

namespace {
const Automation& sheetObject(xl::Sheet& s) {
  auto* sheet = dynamic_cast<ComSheet*>(&s);
  if (!sheet) vb::raise(vb::kAppDefined, "The sheet belongs to no workbook of this program");
  return sheet->automation();
}
}  // namespace

void ComSheet::moveAfter(xl::Sheet& other) { sheet_.call("Move", {}, {{"After", sheetObject(other)}}); }
void ComSheet::moveBefore(xl::Sheet& other) { sheet_.call("Move", {}, {{"Before", sheetObject(other)}}); }

xl::Variant ComSheet::get(long row, long col) const { return rangeOf(cellArea(row, col)).get("Value"); }
xl::Table ComSheet::getBlock(const xl::Area& a) const { return rangeOf(a).getTable("Value"); }
void ComSheet::put(const xl::Area& a, const xl::Variant& v) { rangeOf(a).put("Value", v); }
void ComSheet::putBlock(const xl::Area& a, const xl::Table& t) { rangeOf(a).put("Value", t); }

void ComSheet::applyStyle(const xl::Area& a, const xl::StyleChange& change) {
  Automation range = rangeOf(a);
  if (change.numberFormat) range.put("NumberFormat", *change.numberFormat);
  if (change.bold || change.fontSize || change.fontColor) {
    Automation font = range.getObject("Font");
    if (change.bold) font.put("Bold", *change.bold);
    if (change.fontSize) font.put("Size", *change.fontSize);
    if (change.fontColor) font.put("Color", *change.fontColor);
  }
  if (change.fill) range.getObject("Interior").put("Color", *change.fill);
  if (change.wrap) range.put("WrapText", *change.wrap);
  if (change.bordersLineStyle || change.bordersWeight || change.bordersColorIndex) {
    // The line first: giving a line style resets the weight the program shows.
    Automation borders = range.getObject("Borders");
    if (change.bordersLineStyle) borders.put("LineStyle", *change.bordersLineStyle);
    if (change.bordersWeight) borders.put("Weight", *change.bordersWeight);
    if (change.bordersColorIndex) borders.put("ColorIndex", *change.bordersColorIndex);
  }
}

xl::Style ComSheet::styleAt(long row, long col) const {
  Automation cell = rangeOf(cellArea(row, col));
  xl::Style s;
  s.numberFormat = vb::toText(cell.get("NumberFormat"));
  Automation font = cell.getObject("Font");
  s.bold = truthOf(font.get("Bold"));
  s.fontSize = vb::toDouble(font.get("Size"));
  s.fontColor = vb::toLong(font.get("Color"));
  s.fill = vb::toLong(cell.getObject("Interior").get("Color"));
  s.wrap = truthOf(cell.get("WrapText"));
  Automation borders = cell.getObject("Borders");
  s.left = edgeOf(borders, xlEdgeLeft);
  s.top = edgeOf(borders, xlEdgeTop);
  s.right = edgeOf(borders, xlEdgeRight);
  s.bottom = edgeOf(borders, xlEdgeBottom);
  return s;
}

void ComSheet::borderAround(const xl::Area& a, std::optional<int> lineStyle, std::optional<int> weight,
                            std::optional<int> colorIndex) {
  NamedArgs given;
  if (lineStyle) given.emplace_back("LineStyle", *lineStyle);
  if (weight) given.emplace_back("Weight", *weight);
  if (colorIndex) given.emplace_back("ColorIndex", *colorIndex);
  rangeOf(a).call("BorderAround", {}, given);
}

void ComSheet::setColumnWidth(long c1, long c2, double width) {
  rangeOf({1, c1, xl::kMaxRows, c2}).put("ColumnWidth", width);
}
double ComSheet::columnWidth(long col) const { return vb::toDouble(rangeOf(cellArea(1, col)).get("ColumnWidth")); }
void ComSheet::autoFit(const xl::Area& a) { rangeOf(a).getObject("Columns").call("AutoFit"); }
void ComSheet::merge(const xl::Area& a) { rangeOf(a).call("Merge"); }

std::vector<xl::Area> ComSheet::merges() const {
  vb::raise(kNoSuchMember, "The spreadsheet program has no list of a sheet's merged areas");
}

void ComSheet::autoFilter(const xl::Area& a) { rangeOf(a).call("AutoFilter"); }

std::optional<xl::Area> ComSheet::filter() const {
  if (!truthOf(sheet_.get("AutoFilterMode"))) return std::nullopt;
  return areaOf(sheet_.getObject("AutoFilter").getObject("Range"));
}

void ComSheet::clear(const xl::Area& a) { rangeOf(a).call("Clear"); }
void ComSheet::clearContents(const xl::Area& a) { rangeOf(a).call("ClearContents"); }

void ComSheet::deleteRows(long r1, long r2) {
  sheet_.getObject("Rows", std::to_string(r1) + ":" + std::to_string(r2)).call("Delete");
}
void ComSheet::deleteColumns(long c1, long c2) {
  sheet_.getObject("Columns", xl::columnLetters(c1) + ":" + xl::columnLetters(c2)).call("Delete");
}
void ComSheet::deleteShiftUp(const xl::Area& a) { rangeOf(a).call("Delete", {}, {{"Shift", xlShiftUp}}); }

// Selecting a range needs its sheet active first.
void ComSheet::select(const xl::Area& a) {
  sheet_.call("Activate");
  rangeOf(a).call("Select");
}
xl::Area ComSheet::selection() const { return areaOf(app_.getObject("Selection")); }
xl::Area ComSheet::activeCell() const { return areaOf(app_.getObject("ActiveCell")); }

xl::Area ComSheet::end(long row, long col, int direction) const {
  if (direction == xl::kDownFour) direction = xl::xlDown;
  return areaOf(rangeOf(cellArea(row, col)).getObject("End", direction));
}
xl::Area ComSheet::currentRegion(long row, long col) const {
  return areaOf(rangeOf(cellArea(row, col)).getObject("CurrentRegion"));
}
xl::Area ComSheet::usedArea() const { return areaOf(sheet_.getObject("UsedRange")); }

void ComSheet::sort(const xl::Area& a, const xl::SortSpec& sorting) {
  if (sorting.keys.size() > 3) vb::raise(vb::kInvalidCall, "Sort takes at most three keys");
  // The key cells stay alive for the call: the named arguments refer to them.
  std::vector<Automation> keyCells;
  for (const xl::SortKey& key : sorting.keys) keyCells.push_back(rangeOf(cellArea(a.r1, key.column)));
  NamedArgs named;
  for (size_t i = 0; i < sorting.keys.size(); ++i) {
    std::string n = std::to_string(i + 1);
    named.emplace_back("Key" + n, keyCells[i]);
    named.emplace_back("Order" + n, sorting.keys[i].order);
  }
  named.emplace_back("Header", sorting.header);
  named.emplace_back("MatchCase", sorting.matchCase);
  named.emplace_back("Orientation", sorting.orientation);
  rangeOf(a).call("Sort", {}, named);
}

}  // namespace platform::win
