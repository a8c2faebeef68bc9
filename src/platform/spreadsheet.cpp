#include "platform/spreadsheet.h"

#include <algorithm>
#include <utility>

#include "vb/error.h"

namespace platform::xl {

void StyleChange::applyTo(Style& s) const {
  if (numberFormat) s.numberFormat = *numberFormat;
  if (bold) s.bold = *bold;
  if (fontSize) s.fontSize = *fontSize;
  if (fontColor) s.fontColor = *fontColor;
  if (fill) s.fill = *fill;
  if (wrap) s.wrap = *wrap;
  for (Edge* e : {&s.left, &s.top, &s.right, &s.bottom}) {
    if (bordersWeight) {
      e->weight = *bordersWeight;
      if (e->lineStyle == 0) e->lineStyle = 1;
    }
    if (bordersLineStyle) e->lineStyle = *bordersLineStyle;
    if (bordersColorIndex) e->colorIndex = *bordersColorIndex;
  }
}

std::string localFormatName(const std::string& format) {
  if (format == "General") return "G/通用格式";
  return format;
}

std::string formatFromLocal(const std::string& local) {
  if (local == "G/通用格式") return "General";
  return local;
}

Area parseAddress(const std::string& address) {
  std::optional<Area> a = parseA1(address);
  if (!a) vb::raise(vb::kAppDefined);
  return *a;
}

static void checkArea(const Area& a) {
  if (a.r1 < 1 || a.c1 < 1 || a.r2 > kMaxRows || a.c2 > kMaxCols || a.r1 > a.r2 || a.c1 > a.c2)
    vb::raise(vb::kAppDefined);
}

Range::Range(SheetPtr sheet, Area area) : sheet_(std::move(sheet)), area_(area) {
  if (!sheet_) vb::raise(vb::kObjectNotSet);
  checkArea(area_);
}

Range Range::cells(long row, long col) const {
  return Range(sheet_, Area{area_.r1 + row - 1, area_.c1 + col - 1, area_.r1 + row - 1, area_.c1 + col - 1});
}

Range Range::resize(long rows, long cols) const {
  if (rows < 1 || cols < 1) vb::raise(vb::kAppDefined);
  return Range(sheet_, Area{area_.r1, area_.c1, area_.r1 + rows - 1, area_.c1 + cols - 1});
}

Range Range::offset(long rows, long cols) const {
  return Range(sheet_, Area{area_.r1 + rows, area_.c1 + cols, area_.r2 + rows, area_.c2 + cols});
}

Range Range::entireRow() const { return Range(sheet_, Area{area_.r1, 1, area_.r2, kMaxCols}); }
Range Range::entireColumn() const { return Range(sheet_, Area{1, area_.c1, kMaxRows, area_.c2}); }
Range Range::end(int direction) const { return Range(sheet_, sheet_->end(area_.r1, area_.c1, direction)); }
Range Range::currentRegion() const { return Range(sheet_, sheet_->currentRegion(area_.r1, area_.c1)); }

Variant Range::value() const { return sheet_->get(area_.r1, area_.c1); }
void Range::setValue(const Variant& v) const { sheet_->put(area_, v); }
Table Range::values() const { return sheet_->getBlock(area_); }
void Range::setValues(const Table& t) const { sheet_->putBlock(area_, t); }

namespace {
// A change of one style field alone.
template <class T, class V>
StyleChange only(std::optional<T> StyleChange::*field, V value) {
  StyleChange c;
  c.*field = std::move(value);
  return c;
}
}  // namespace

void Range::apply(const StyleChange& change) const { sheet_->applyStyle(area_, change); }
Style Range::style() const { return sheet_->styleAt(area_.r1, area_.c1); }

void Range::setNumberFormat(const std::string& f) const { apply(only(&StyleChange::numberFormat, f)); }
std::string Range::numberFormat() const { return style().numberFormat; }
void Range::setNumberFormatLocal(const std::string& f) const { setNumberFormat(formatFromLocal(f)); }
std::string Range::numberFormatLocal() const { return localFormatName(numberFormat()); }

void Range::setBold(bool b) const { apply(only(&StyleChange::bold, b)); }
bool Range::bold() const { return style().bold; }
void Range::setFontSize(double s) const { apply(only(&StyleChange::fontSize, s)); }
void Range::setFontColor(long color) const { apply(only(&StyleChange::fontColor, color)); }
void Range::setInteriorColor(long color) const { apply(only(&StyleChange::fill, color)); }
long Range::interiorColor() const { return style().fill; }
void Range::setWrapText(bool w) const { apply(only(&StyleChange::wrap, w)); }
void Range::setBordersWeight(int w) const { apply(only(&StyleChange::bordersWeight, w)); }
void Range::setBordersLineStyle(int s) const { apply(only(&StyleChange::bordersLineStyle, s)); }
void Range::borderAround(std::optional<int> lineStyle, std::optional<int> weight, std::optional<int> colorIndex) const {
  sheet_->borderAround(area_, lineStyle, weight, colorIndex);
}
void Range::setColumnWidth(double w) const { sheet_->setColumnWidth(area_.c1, area_.c2, w); }
double Range::columnWidth() const { return sheet_->columnWidth(area_.c1); }

void Range::merge() const { sheet_->merge(area_); }
void Range::autoFilter() const { sheet_->autoFilter(area_); }
void Range::autoFit() const { sheet_->autoFit(area_); }
void Range::clear() const { sheet_->clear(area_); }
void Range::clearContents() const { sheet_->clearContents(area_); }
void Range::select() const { sheet_->select(area_); }
void Range::sort(const SortSpec& sorting) const { sheet_->sort(area_, sorting); }

void Range::deleteCells() const {
  if (area_.c1 == 1 && area_.c2 == kMaxCols) sheet_->deleteRows(area_.r1, area_.r2);
  else if (area_.r1 == 1 && area_.r2 == kMaxRows) sheet_->deleteColumns(area_.c1, area_.c2);
  else sheet_->deleteShiftUp(area_);
}

Range Sheet::range(const std::string& address) { return Range(shared_from_this(), parseAddress(address)); }

Range Sheet::range(const Range& from, const Range& to) {
  Area a{std::min(from.area().r1, to.area().r1), std::min(from.area().c1, to.area().c1),
         std::max(from.area().r2, to.area().r2), std::max(from.area().c2, to.area().c2)};
  return Range(shared_from_this(), a);
}

Range Sheet::cell(long row, long col) { return Range(shared_from_this(), Area{row, col, row, col}); }
Range Sheet::cells() { return Range(shared_from_this(), Area{1, 1, kMaxRows, kMaxCols}); }

Range Sheet::columns(const std::string& letters) {
  Area a = parseAddress(letters.find(':') == std::string::npos ? letters + ":" + letters : letters);
  return Range(shared_from_this(), a);
}

Range Sheet::rows(long first, long last) { return Range(shared_from_this(), Area{first, 1, last, kMaxCols}); }
Range Sheet::usedRange() { return Range(shared_from_this(), usedArea()); }

Range Application::activeCell() {
  SheetPtr s = activeSheet();
  return Range(s, s->activeCell());
}

double Application::max(const Table& t) {
  bool any = false;
  double m = 0;
  for (long r = 1; r <= t.rows(); ++r)
    for (long c = 1; c <= t.cols(); ++c) {
      const Variant& v = t(r, c);
      if (v.isError()) vb::raise(vb::kAppDefined, "Unable to get the Max property of the WorksheetFunction class");
      if (!v.isNumber()) continue;
      if (!any || v.number() > m) m = v.number();
      any = true;
    }
  return m;
}

double Application::max(const Range& r) {
  Area used = r.sheet().usedArea();
  Area a{std::max(r.area().r1, used.r1), std::max(r.area().c1, used.c1), std::min(r.area().r2, used.r2),
         std::min(r.area().c2, used.c2)};
  if (a.r1 > a.r2 || a.c1 > a.c2) return 0;
  return max(r.sheet().getBlock(a));
}

}  // namespace platform::xl
