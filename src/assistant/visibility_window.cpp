#include "assistant/visibility_window.h"

#include "compare/pads_writing.h"
#include "platform/pads.h"
#include "platform/user.h"
#include "platform/windows.h"
#include "vb/convert.h"
#include "vb/error.h"

namespace assistant {

namespace pads = platform::pads;

namespace {

// The layer boxes from A1 upward: the number of the layer, or the layer's name.
struct LayerBox {
  const char* caption;
  int number;        // 0: by name
  const char* name;  // the key of Layers when number is 0
};
constexpr LayerBox kLayerBoxes[] = {
    {"Layer_1", 1, nullptr},
    {"layer_2", 2, nullptr},
    {"Layer_3", 3, nullptr},
    {"Layer_4", 4, nullptr},
    {"Silk_Top", 0, "Silkscreen Top"},
    {"Silk_Bottom", 0, "Silkscreen Bottom"},
    {"Solder_Top", 0, "Solder Mask Top"},
    {"Solder_Bottom", 0, "Solder Mask Bottom"},
    {"Paste_Top", 0, "Paste Mask Top"},
    {"Paste_Bottom", 0, "Paste Mask Bottom"},
    {"Assembly_Top", 0, "Assembly Drawing Top"},
    {"Assembly_Bot", 0, "Assembly Drawing Bottom"},
    {"Drill_Dawing", 0, "Drill Drawing"},
};

// The object-class boxes from B1 upward; box Bk passes the code k - 1 to SetVisibility.
constexpr const char* kObjectBoxes[] = {"Trace", "Via",           "Pad",     "Copper",   "Line",
                                        "Text",  "Error",         "OutlineTop", "OutlineBottom", "RefDes",
                                        "PartType", "Attribute", "Keepout", "PinNumber"};

// The units in the order they are tested.
struct UnitName {
  int code;
  const char* name;
};
constexpr UnitName kUnitNames[] = {{2, "Mil"}, {4, "MM"}, {3, "Inch"}, {0, "Current"}, {1, "DataBase"}};

constexpr int kLeftColumn = 90, kRightColumn = 1770, kBoxWidth = 1485, kBoxHeight = 255, kAllTop = 3660;

// Box k of a column (from 1) stands k rows above the "All" box.
int boxTop(int k) { return kAllTop - k * kBoxHeight; }

}  // namespace

std::string unitName(int code) {
  for (const UnitName& u : kUnitNames)
    if (u.code == code) return u.name;
  return std::to_string(code);
}

VisibilityWindow::VisibilityWindow(platform::Services& services)
    : ui::Window(kName, "Layout可视工具条"), services_(services) {
  information = &add<ui::Label>("A14");
  information->setCaption("Information");
  information->move(kLeftColumn, boxTop(14), kBoxWidth, kBoxHeight);
  information->onClick = [this] { showInformation(); };
  auto box = [this](const std::string& name, const char* caption, int left, int top) {
    ui::CheckBox& b = add<ui::CheckBox>(name);
    b.setCaption(caption);
    b.move(left, top, kBoxWidth, kBoxHeight);
    b.setValue(1);
    return &b;
  };
  for (int k = 1; k <= 13; ++k) {
    const LayerBox& key = kLayerBoxes[k - 1];
    ui::CheckBox* b = box("A" + std::to_string(k), key.caption, kLeftColumn, boxTop(k));
    b->onClick = [this, b, &key] {
      applyToLayout([&](pads::Design& design) {
        bool visible = b->value() == 1;
        if (key.number) design.setLayerVisible(key.number, visible);
        else design.setLayerVisible(key.name, visible);
      });
    };
    layerBoxes.push_back(b);
  }
  for (int k = 1; k <= 14; ++k) {
    ui::CheckBox* b = box("B" + std::to_string(k), kObjectBoxes[k - 1], kRightColumn, boxTop(k));
    b->onClick = [this, b, k] {
      applyToLayout([&](pads::Design& design) { design.setVisibility(k - 1, b->value()); });
    };
    objectBoxes.push_back(b);
  }
  allLayers = box("AN", "All", kLeftColumn, kAllTop);
  allObjects = box("BN", "All", kRightColumn, kAllTop);
  // Each box whose state changes applies itself before the next one is set.
  allLayers->onClick = [this] {
    for (ui::CheckBox* b : layerBoxes) b->setValue(allLayers->value());
  };
  allObjects->onClick = [this] {
    for (ui::CheckBox* b : objectBoxes) b->setValue(allObjects->value());
  };
  setClientSize(3390, 3930);
}

void VisibilityWindow::queryClose() { services_.windows.hideAndReturn(*this, "Decal"); }

template <class F>
void VisibilityWindow::applyToLayout(F&& apply) {
  vb::SkipOnError guard;
  pads::AppPtr app;
  if (!guard.step([&] { app = compare::attachRunningPads(services_.programs, pads::kLayoutProgId); })) return;
  guard.step([&] { apply(app->activeDocument()); });
}

// Each line is its own step: a line whose value cannot be read is left out.
void VisibilityWindow::showInformation() {
  vb::SkipOnError guard;
  pads::AppPtr app;
  if (!guard.step([&] { app = compare::attachRunningPads(services_.programs, pads::kLayoutProgId); })) return;
  pads::Design* design = nullptr;
  guard.step([&] { design = &app->activeDocument(); });
  std::string text;
  auto line = [&](const char* label, auto value) {
    guard.step([&] {
      if (!design) vb::raise(vb::kObjectNotSet);
      std::string v = value();
      text += (text.empty() ? "" : "\n") + std::string(label) + v;
    });
  };
  auto number = [](double d) { return vb::numberText(d); };
  line("File Name:", [&] { return design->name(); });
  line("Unit:", [&] { return unitName(static_cast<int>(design->unit())); });
  line("Grid X:", [&] { return number(design->gridX()); });
  line("Grid Y:", [&] { return number(design->gridY()); });
  line("Component Count:", [&] { return number(design->componentCount()); });
  line("Jumper Count:", [&] { return number(design->jumperCount()); });
  line("Pin Count:", [&] { return number(design->pinCount()); });
  line("Via Count:", [&] { return number(design->viaCount()); });
  line("Net Count:", [&] { return number(design->netCount()); });
  line("Layer Count:", [&] { return number(design->layerCount()); });
  line("LayerEnabled Count:", [&] { return number(design->electricalLayerCount()); });
  platform::notify(services_.user, platform::kTitle, text);
}

}  // namespace assistant
