#include "assistant/router_window.h"

#include "assistant/decal_window.h"
#include "compare/pads_writing.h"
#include "platform/user.h"
#include "platform/windows.h"
#include "vb/error.h"
#include "workbench/pads_selection.h"

namespace assistant {

namespace pads = platform::pads;

bool RouterWindow::layOutControls() {
  using ui::Kind;
  using W = RouterWindow;
  static const ui::ControlRow<W> kControls[] = {
      // name      kind            frame    caption           left  top   width height tab handler
      {"Label3",  Kind::Label,    nullptr, "Name View",      120,  75,   1095, 255},
      {"Label9",  Kind::Label,    nullptr, "Count:",         1560, 75,   615,  195},
      {"Label5",  Kind::Label,    nullptr, "",               2280, 75,   450,  255},
      {"Label11", Kind::Label,    nullptr, "pcs",            2760, 75,   255,  195},
      {"List1",   Kind::ListBox,  nullptr, nullptr,          30,   300,  1500, 6180, -1, &W::nameClicked},
      {"List2",   Kind::ListBox,  nullptr, nullptr,          1560, 300,  1500, 6180, -1, &W::chosenClicked},
      {"Label1",  Kind::Label,    nullptr, "Loading Part",   3120, 480,  1095, 255,  -1, &W::loadParts},
      {"Label2",  Kind::Label,    nullptr, "Loading Net",    3120, 960,  1095, 300,  -1, &W::loadNets},
      {"Check1",  Kind::CheckBox, nullptr, "Auto Routing",   3120, 1800, 1155, 400,  -1, &W::autoRouting},
      {"Check4",  Kind::CheckBox, nullptr, "Pause Routing",  3120, 2280, 1035, 420,  -1, &W::pauseRouting},
      {"Check2",  Kind::CheckBox, nullptr, "Route Optimize", 3120, 2760, 1035, 400,  -1, &W::routeOptimize},
      {"Check7",  Kind::CheckBox, nullptr, "Select Routing", 3120, 3240, 975,  375,  -1, &W::selectRouting},
      {"Check5",  Kind::CheckBox, nullptr, "Router",         3120, 3840, 1035, 300,  -1, &W::routerChanged},
      {"Check6",  Kind::CheckBox, nullptr, "Add",            3120, 4320, 975,  300,  -1, &W::addChanged},
  };
  layOut(kControls);
  setClientSize(4275, 6525);
  return true;
}

RouterWindow::RouterWindow(platform::Services& services)
    : ui::Window(kName, "Router"),
      laidOut_(layOutControls()),
      label5(find<ui::Label>("Label5")),
      list1(find<ui::ListBox>("List1")),
      list2(find<ui::ListBox>("List2")),
      label1(find<ui::Label>("Label1")),
      label2(find<ui::Label>("Label2")),
      check1(find<ui::CheckBox>("Check1")),
      check4(find<ui::CheckBox>("Check4")),
      check2(find<ui::CheckBox>("Check2")),
      check7(find<ui::CheckBox>("Check7")),
      check5(find<ui::CheckBox>("Check5")),
      check6(find<ui::CheckBox>("Check6")),
      services_(services) {}

void RouterWindow::queryClose() { services_.windows.closeAndReturn(*this, DecalWindow::kName); }

pads::AppPtr RouterWindow::attach() { return compare::attachRunningPads(services_.programs, pads::kRouterProgId); }

void RouterWindow::selectByMode(pads::Design& design, const std::string& name) {
  if (routeMode == "Net") {
    pads::Net* net = design.net(name);
    if (!net) vb::raise(vb::kObjectNotSet);
    net->setSelected(true);
  } else if (routeMode == "Part") {
    pads::Part* part = design.component(name);
    if (!part) vb::raise(vb::kObjectNotSet);
    part->setSelected(true);
  }
}

void RouterWindow::load(const std::string& mode) {
  list1.clear();
  list2.clear();
  pads::AppPtr app = attach();
  app->setStatusBarText(kBusyStatusText);
  pads::Design& design = app->activeDocument();
  design.clearSelection();
  std::vector<std::string> names;
  long listed = 0;
  if (mode == "Part")
    for (pads::Part* p : design.getParts("", false)) names.push_back(p->name());
  else {
    std::vector<pads::Net*> nets = design.nets();
    listed = static_cast<long>(nets.size());
    for (pads::Net* n : nets) names.push_back(n->name());
  }
  // From the listing on, a failing step is skipped.
  vb::SkipOnError guard;
  long count = 0;
  for (const std::string& name : names)
    guard.step([&] {
      list1.addItem(name);
      label5.setCaption(std::to_string(++count));
    });
  if (mode == "Net") label5.setCaption(std::to_string(listed));
  routeMode = mode;
}

void RouterWindow::nameClicked() {
  const std::string name = list1.text();
  if (check6.checked()) list2.addItem(name);
  pads::AppPtr app = attach();
  pads::Design& design = app->activeDocument();
  design.clearSelection();
  selectByMode(design, name);
  design.activeView().setExtentsToSelection();
  design.activeView().refresh();
  label5.setCaption("1");
}

void RouterWindow::chosenClicked() {
  const std::string name = list2.text();
  check5.setValue(1);
  pads::AppPtr app = attach();
  pads::Design& design = app->activeDocument();
  pads::View& view = design.activeView();
  if (routeMode == "Net" || routeMode == "Part") {
    design.clearSelection();
    selectByMode(design, name);
    view.setExtentsToSelection();
    auto& assistant = static_cast<DecalWindow&>(services_.windows.window(DecalWindow::kName));
    view.setScale(view.zoom() * 0.001 * workbench::zoomPercent(assistant.text2));
    design.router().route();
  }
  view.refresh();
  label5.setCaption("1");
}

// Clearing the box re-enters its handler, which then runs only the untick-free steps.
template <class F>
void RouterWindow::routingCommand(ui::CheckBox& box, F&& command) {
  pads::AppPtr app = attach();
  pads::Design& design = app->activeDocument();
  design.clearSelection();
  if (box.checked()) {
    command(design.router());
    box.setValue(0);
  }
}

void RouterWindow::autoRouting() {
  routingCommand(check1, [](pads::Router& r) { r.setRun(true); });
}

void RouterWindow::pauseRouting() {
  routingCommand(check4, [](pads::Router& r) { r.setPause(true); });
}

void RouterWindow::routeOptimize() {
  pads::AppPtr app = attach();
  pads::Design& design = app->activeDocument();
  design.clearSelection();
  if (list2.listCount() == 0) {
    check2.setValue(0);
    return;
  }
  if (check2.checked()) {
    const int n = list2.listCount();
    for (int i = 0; i < n; ++i) {
      selectByMode(design, list2.item(i));
      label5.setCaption(std::to_string(i + 1));
    }
    design.router().optimize();
  }
  check2.setValue(0);
  design.activeView().refresh();
}

void RouterWindow::selectRouting() {
  if (list2.listCount() == 0) {
    check7.setValue(0);
    return;
  }
  pads::AppPtr app = attach();
  pads::Design& design = app->activeDocument();
  if (check7.checked()) {
    const int n = list2.listCount();
    for (int i = 0; i < n; ++i) {
      design.clearSelection();
      selectByMode(design, list2.item(i));
      design.activeView().setExtentsToSelection();
      design.router().route();
      label5.setCaption(std::to_string(i + 1));
    }
    platform::notify(services_.user, platform::kTitle, "      okay");
  }
  check7.setValue(0);
  design.activeView().refresh();
}

void RouterWindow::routerChanged() { check7.setValue(0); }

void RouterWindow::addChanged() {
  if (!check6.checked()) list2.clear();
}

}  // namespace assistant
