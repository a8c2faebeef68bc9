#include "assistant/label_window.h"

#include "compare/pads_writing.h"
#include "platform/desktop.h"
#include "platform/user.h"
#include "platform/windows.h"
#include "vb/error.h"

namespace assistant {

namespace pads = platform::pads;

namespace {

using Row = LabelOffsetRow;
using L = Row::Layer;
using A = Row::Angle;
using P = Row::Pins;

// The label offsets, tried in order; the last row takes every other case.
constexpr LabelOffsetRow kLabelOffsets[] = {
    {L::Other, A::Between, 0, 90, P::Any, 1, -4},
    {L::Other, A::Between, 90, 180, P::Any, -4, -1},
    {L::Other, A::Between, 180, 270, P::Any, -2, 5},
    {L::Other, A::Between, 270, 360, P::Any, 5, 1},
    {L::Top, A::Between, 0, 90, P::Any, 1.5, 5},
    {L::Top, A::Between, 90, 180, P::Any, -5, 1},
    {L::Top, A::Between, 180, 270, P::Any, -1.5, -5},
    {L::Top, A::Between, 270, 360, P::Any, 4.5, -1.5},
    {L::Top, A::Exactly, 0, 0, P::Any, 5, 2.5},
    {L::Top, A::Exactly, 90, 0, P::Any, -2.5, 5},
    {L::Top, A::Exactly, 180, 0, P::Two, 5, 2.5},
    {L::Top, A::Exactly, 270, 0, P::Two, -2.5, 5},
    {L::Top, A::Exactly, 360, 0, P::Any, 5, 2.5},
    {L::Other, A::Exactly, 0, 0, P::Any, -5, 2.5},
    {L::Other, A::Exactly, 90, 0, P::Any, -2.5, -5},
    {L::Other, A::Exactly, 180, 0, P::Two, -5, 2.5},
    {L::Other, A::Exactly, 270, 0, P::Two, -2.5, -5},
    {L::Other, A::Exactly, 360, 0, P::Any, -5, 2.5},
    {L::Other, A::Exactly, 180, 0, P::MoreThanTwo, 6.5, -2},
    {L::Other, A::Exactly, 270, 0, P::MoreThanTwo, 2, 3},
    {L::Top, A::Exactly, 180, 0, P::MoreThanTwo, -6, -2},
    {L::Top, A::Exactly, 270, 0, P::MoreThanTwo, 2, -6},
    {L::Any, A::Any, 0, 0, P::Any, -3, 0},
};

// A row holds when all its conditions do; a condition on a value that could not be read
// makes the row's whole test count as met.
bool rowHolds(const Row& r, std::optional<int> layer, std::optional<double> o, std::optional<long> pins) {
  if ((r.layer != L::Any && !layer) || (r.angle != A::Any && !o) || (r.pins != P::Any && !pins)) return true;
  if (r.layer != L::Any && (*layer == 1) != (r.layer == L::Top)) return false;
  if (r.angle == A::Exactly && *o != r.lo) return false;
  if (r.angle == A::Between && !(*o > r.lo && *o < r.hi)) return false;
  return r.pins == P::Any || (r.pins == P::Two ? *pins == 2 : *pins > 2);
}

// The question of "Hide" and "Show" and of the centring, by their verb.
std::string twoLines(const std::string& yes, const std::string& no) { return yes + "\n" + no; }

}  // namespace

LabelOffset labelOffset(std::optional<int> layer, std::optional<double> orientation, std::optional<long> pinCount) {
  for (const Row& r : kLabelOffsets)
    if (rowHolds(r, layer, orientation, pinCount)) return {r.dx, r.dy};
  return {-3, 0};
}

std::optional<double> labelOrientation(std::optional<PinPlace> first, std::optional<PinPlace> last,
                                       std::optional<int> layer, std::optional<double> orientation) {
  if (!first || !last || first->x == last->x) return 90;
  if (first->y == last->y) return 0;
  // Unread, the part's orientation meets the next test, and 180 - O cannot be formed.
  if (!orientation) return std::nullopt;
  double o = *orientation;
  if (!layer) return 180 - o;  // the layer test counts as met
  bool other = *layer != 1;
  if (other && ((o > 0 && o < 90) || (o > 90 && o < 180))) return 180 - o;
  if (other && ((o > 180 && o < 270) || (o > 270 && o < 360))) return 540 - o;
  return o;
}

bool LabelWindow::layOutControls() {
  using ui::Kind;
  using W = LabelWindow;
  static const ui::ControlRow<W> kControls[] = {
      // name       kind            frame    caption   left  top   width height tab handler
      {"Label2",   Kind::Label,    nullptr, "Logic",  1680, 60,   615,  255},
      {"Command1", Kind::Button,   nullptr, "确定",   2900, 1080, 855,  330,  8,  &W::writeGateLabels},
      {"Label1",   Kind::Label,    nullptr, "Layout", 1680, 1560, 615,  255},
      {"Command3", Kind::Button,   nullptr, "Hide",   240,  1980, 1035, 375,  10, &W::hideLabels},
      {"Command6", Kind::Button,   nullptr, "Show",   1470, 1980, 1035, 375,  11, &W::showLabels},
      {"Command2", Kind::Button,   nullptr, "Align",  2700, 1980, 1035, 375,  9,  &W::align},
  };
  layOut(kControls);
  // Check1(0) to (3) down the left column, (4) to (7) down the right one.
  static const char* const kCaptions[8] = {"Attribute", "RefDes", "PinNumber", "PCBDecal",
                                           "AttrName",  "PartType", "Pin Name", "DecalName"};
  for (int i = 0; i < 8; ++i) {
    ui::CheckBox& box = add<ui::CheckBox>("Check1", i);
    box.setCaption(kCaptions[i]);
    box.move(i < 4 ? 240 : 1560, 360 + (i % 4) * 270, 1215, 255);
    box.setTabIndex(i);
    box.onClick = [] {};
    check1_[i] = &box;
  }
  check1_[0]->setEnabled(false);
  check1_[4]->setEnabled(false);
  setClientSize(3975, 2490);
  return true;
}

LabelWindow::LabelWindow(platform::Services& services)
    : ui::Window(kName, "Part_Text_Visibility"),
      laidOut_(layOutControls()),
      command1(find<ui::Button>("Command1")),
      command3(find<ui::Button>("Command3")),
      command6(find<ui::Button>("Command6")),
      command2(find<ui::Button>("Command2")),
      services_(services) {}

void LabelWindow::queryClose() { services_.windows.closeAndReturn(*this, "Decal"); }

void LabelWindow::show() {
  move((services_.desktop.screenWidth() - width()) / 2, (services_.desktop.screenHeight() - height()) / 2);
  ui::Window::show();
}

std::string LabelWindow::askLabelKind(const std::string& question) {
  return platform::askYes(services_.user, platform::kKitTitle, question) ? "Ref.Des." : "Value";
}

// Each box feeds one gate label visibility: the left column k = 0, 2, 4, 6, the right one
// k = 1, 3, 5, 7.
static int gateLabelIndex(int box) { return box < 4 ? 2 * box : 2 * (box - 4) + 1; }

void LabelWindow::writeGateLabels() {
  pads::AppPtr app = compare::attachRunningPads(services_.programs, pads::kLogicProgId);
  pads::Design& design = app->activeDocument();
  std::vector<pads::Gate*> gates = design.selectedGates();
  if (gates.empty()) {
    platform::notify(services_.user, platform::kKitTitle, "没有选择元件");
    return;
  }
  long count = 0;
  for (pads::Gate* gate : gates) {
    for (int box = 0; box < 8; ++box) gate->setVisibility(gateLabelIndex(box), check1_[box]->value());
    design.activeView().refresh();
    ++count;
  }
  platform::notify(services_.user, platform::kKitTitle, "修改了" + std::to_string(count) + "个Gate-Lable");
}

// The first label of that kind among the part's labels, or none.
static pads::Label* firstLabelOfKind(const std::vector<pads::Label*>& labels, const std::string& kind) {
  for (pads::Label* label : labels)
    if (label->kind() == kind) return label;
  return nullptr;
}

void LabelWindow::setLabelDisplay(const std::string& verb, long display) {
  std::string kind = askLabelKind(twoLines("选择: 是-元件序号" + verb + ",", "选择: 否-元件参数" + verb + "."));
  pads::AppPtr app = compare::attachRunningPads(services_.programs, pads::kLayoutProgId);
  pads::Design& design = app->activeDocument();
  design.clearSelection();
  for (pads::Part* part : design.getParts("", false))
    if (pads::Label* label = firstLabelOfKind(part->labels(), kind)) label->setDisplay(display);
  design.activeView().refresh();
  platform::notify(services_.user, platform::kTitle, "      okay");
}

// Aligned: every step is guarded; a failing one is skipped, and a test that cannot be
// made counts as met.
void LabelWindow::align() {
  vb::SkipOnError guard;
  pads::AppPtr app;
  guard.step([&] { app = compare::attachRunningPads(services_.programs, pads::kLayoutProgId); });
  pads::Design* design = nullptr;
  std::vector<pads::Part*> parts;
  bool listed = app && guard.step([&] {
    design = &app->activeDocument();
    parts = design->getParts("", true);
  });
  if (!listed || parts.empty()) {
    platform::notify(services_.user, platform::kKitTitle, "没有选择元件");
    return;
  }
  guard.step([&] { design->clearSelection(); });
  pads::Unit saved = pads::Unit::Current;
  guard.step([&] { saved = design->unit(); });
  guard.step([&] { design->setUnit(pads::Unit::Mil); });
  std::string kind = askLabelKind(twoLines("选择:是-所选中的元件序号居中,", "选择:否-所选中的元件参数居中."));

  long count = 0;
  bool unlabelled = false;
  for (pads::Part* part : parts) {
    std::vector<pads::Label*> labels;
    if (!guard.step([&] { labels = part->labels(); }) || labels.empty()) {
      unlabelled = true;
      continue;
    }
    pads::Label* label = nullptr;
    guard.step([&] { label = firstLabelOfKind(labels, kind); });
    if (!label) continue;
    auto read = [&](auto f) -> std::optional<decltype(f())> {
      std::optional<decltype(f())> v;
      guard.step([&] { v = f(); });
      return v;
    };
    guard.step([&] { part->setSelected(true); });
    guard.step([&] { label->setRightReading(0); });
    guard.step([&] { label->setHorzJustification(1); });
    guard.step([&] { label->setVertJustification(1); });
    std::optional<int> layer = read([&] { return part->layer(); });
    std::optional<double> orientation = read([&] { return part->orientation(); });
    std::optional<long> pinCount = read([&] { return part->pinCount(); });
    LabelOffset offset = labelOffset(layer, orientation, pinCount);
    guard.step([&] { label->setPositionX(part->centerX() + offset.dx); });
    guard.step([&] { label->setPositionY(part->centerY() + offset.dy); });
    auto pinPlace = [&](bool last) {
      return read([&] {
        std::vector<std::string> names = part->pinNames();
        if (names.empty()) vb::raise(vb::kSubscript);
        pads::Pin* pin = design->pin(last ? names.back() : names.front());
        if (!pin) vb::raise(vb::kObjectNotSet);
        return PinPlace{pin->positionX(), pin->positionY()};
      });
    };
    if (std::optional<double> turn = labelOrientation(pinPlace(false), pinPlace(true), layer, orientation))
      guard.step([&] { label->setOrientation(*turn); });
    ++count;
  }
  guard.step([&] { design->setUnit(saved); });
  guard.step([&] { design->activeView().refresh(); });
  if (unlabelled && count == 0)
    platform::notify(services_.user, platform::kKitTitle, "  No Parts Changed .");
  else
    platform::notify(services_.user, platform::kKitTitle, "PCB调整了" + std::to_string(count) + "个元件 " + kind + " 的位置!!!");
}

}  // namespace assistant
