#pragma once
// Cell looks of the stand-in sheet, kept in layers: the sheet's default, whole columns,
// whole rows and single cells. Each layer sets some properties of the look, each with the
// sequence number of the change that set it; a cell shows, property by property, the value
// set last among the layers that cover it. So a format on a whole column applies to every
// cell of it (also those formatted before) without creating a million cells, and a later
// format of one cell wins over it.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/spreadsheet.h"

namespace sim::looks {

using platform::xl::Style;
using platform::xl::StyleChange;

enum Prop { kFormat, kBold, kSize, kColor, kFill, kWrap, kLeft, kTop, kRight, kBottom, kPropCount };
using PropMask = uint16_t;
constexpr PropMask bit(Prop p) { return static_cast<PropMask>(1u << p); }
constexpr PropMask kAllProps = static_cast<PropMask>((1u << kPropCount) - 1);
constexpr PropMask kEdgeProps = bit(kLeft) | bit(kTop) | bit(kRight) | bit(kBottom);

using Seqs = std::array<uint32_t, kPropCount>;  // 0: the property is not set by the layer

struct Layer {
  Style values;  // the values of the properties the layer sets
  Seqs seq{};
  bool operator==(const Layer&) const = default;
};

// A change of a look: which properties it sets, and how it computes them from the
// look the cell shows now (Borders.Weight keeps a line style already drawn).
struct Edit {
  PropMask props = 0;
  std::function<void(Style&)> apply;
};
Edit editFor(const StyleChange& change);
Edit resetEdit();  // every property back to the default look

// Layers interned by value; id 0 is the layer that sets nothing.
class LayerPool {
 public:
  LayerPool();
  uint32_t intern(const Layer& layer);
  const Layer& at(uint32_t id) const { return layers_[id]; }
  // Whether the layer sets a property to something other than the default look.
  bool marks(uint32_t id) const { return marks_[id] != 0; }

 private:
  struct Hash {
    size_t operator()(const Layer& l) const;
  };
  std::vector<Layer> layers_;
  std::vector<char> marks_;
  std::unordered_map<Layer, uint32_t, Hash> ids_;
};

// The look shown through these layers, lowest first.
Style resolve(std::initializer_list<const Layer*> layers);
// The number format shown through these layers.
const std::string& formatOf(std::initializer_list<const Layer*> layers);
// own with the edit applied at sequence number seq; shown is the look the cell shows now.
Layer edited(const Layer& own, const Style& shown, const Edit& edit, uint32_t seq);

}  // namespace sim::looks
