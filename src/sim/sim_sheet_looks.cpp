#include "sim/sim_sheet_looks.h"

namespace sim::looks {

using platform::xl::Edge;

namespace {

void copyProp(Style& to, const Style& from, int p) {
  switch (p) {
    case kFormat: to.numberFormat = from.numberFormat; break;
    case kBold: to.bold = from.bold; break;
    case kSize: to.fontSize = from.fontSize; break;
    case kColor: to.fontColor = from.fontColor; break;
    case kFill: to.fill = from.fill; break;
    case kWrap: to.wrap = from.wrap; break;
    case kLeft: to.left = from.left; break;
    case kTop: to.top = from.top; break;
    case kRight: to.right = from.right; break;
    case kBottom: to.bottom = from.bottom; break;
  }
}

bool propDiffers(const Style& a, const Style& b, int p) {
  switch (p) {
    case kFormat: return a.numberFormat != b.numberFormat;
    case kBold: return a.bold != b.bold;
    case kSize: return a.fontSize != b.fontSize;
    case kColor: return a.fontColor != b.fontColor;
    case kFill: return a.fill != b.fill;
    case kWrap: return a.wrap != b.wrap;
    case kLeft: return a.left != b.left;
    case kTop: return a.top != b.top;
    case kRight: return a.right != b.right;
    case kBottom: return a.bottom != b.bottom;
  }
  return false;
}

void mix(size_t& h, size_t v) { h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2); }

void mixEdge(size_t& h, const Edge& e) {
  mix(h, std::hash<int>()(e.lineStyle));
  mix(h, std::hash<int>()(e.weight));
  mix(h, std::hash<int>()(e.colorIndex));
}

}  // namespace

Edit editFor(const StyleChange& change) {
  Edit e;
  if (change.numberFormat) e.props |= bit(kFormat);
  if (change.bold) e.props |= bit(kBold);
  if (change.fontSize) e.props |= bit(kSize);
  if (change.fontColor) e.props |= bit(kColor);
  if (change.fill) e.props |= bit(kFill);
  if (change.wrap) e.props |= bit(kWrap);
  if (change.bordersWeight || change.bordersLineStyle || change.bordersColorIndex) e.props |= kEdgeProps;
  e.apply = [change](Style& s) { change.applyTo(s); };
  return e;
}

Edit resetEdit() {
  return Edit{kAllProps, [](Style& s) { s = Style{}; }};
}

LayerPool::LayerPool() {
  layers_.push_back(Layer{});
  marks_.push_back(0);
  ids_.emplace(Layer{}, 0);
}

uint32_t LayerPool::intern(const Layer& layer) {
  auto it = ids_.find(layer);
  if (it != ids_.end()) return it->second;
  uint32_t id = static_cast<uint32_t>(layers_.size());
  layers_.push_back(layer);
  const Style plain;
  char marks = 0;
  for (int p = 0; p < kPropCount; ++p)
    if (layer.seq[p] != 0 && propDiffers(layer.values, plain, p)) marks = 1;
  marks_.push_back(marks);
  ids_.emplace(layer, id);
  return id;
}

size_t LayerPool::Hash::operator()(const Layer& l) const {
  size_t h = std::hash<std::string>()(l.values.numberFormat);
  mix(h, std::hash<bool>()(l.values.bold));
  mix(h, std::hash<double>()(l.values.fontSize));
  mix(h, std::hash<long>()(l.values.fontColor));
  mix(h, std::hash<long>()(l.values.fill));
  mix(h, std::hash<bool>()(l.values.wrap));
  for (const Edge* e : {&l.values.left, &l.values.top, &l.values.right, &l.values.bottom}) mixEdge(h, *e);
  for (uint32_t s : l.seq) mix(h, s);
  return h;
}

Style resolve(std::initializer_list<const Layer*> layers) {
  Style out;
  Seqs best{};
  for (const Layer* l : layers)
    for (int p = 0; p < kPropCount; ++p)
      if (l->seq[p] > best[p]) {
        best[p] = l->seq[p];
        copyProp(out, l->values, p);
      }
  return out;
}

const std::string& formatOf(std::initializer_list<const Layer*> layers) {
  static const std::string general = Style{}.numberFormat;
  const std::string* f = &general;
  uint32_t best = 0;
  for (const Layer* l : layers)
    if (l->seq[kFormat] > best) {
      best = l->seq[kFormat];
      f = &l->values.numberFormat;
    }
  return *f;
}

Layer edited(const Layer& own, const Style& shown, const Edit& edit, uint32_t seq) {
  Style next = shown;
  edit.apply(next);
  Layer out = own;
  for (int p = 0; p < kPropCount; ++p)
    if (edit.props & bit(static_cast<Prop>(p))) {
      copyProp(out.values, next, p);
      out.seq[p] = seq;
    }
  return out;
}

}  // namespace sim::looks
