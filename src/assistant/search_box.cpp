// The assistant's search box: the search on Enter and the cross-probe of every change.
#include <string>
#include <vector>

#include "assistant/decal_window.h"
#include "assistant/show_part.h"
#include "compare/pads_writing.h"
#include "platform/user.h"
#include "vb/convert.h"
#include "vb/error.h"
#include "vb/text.h"
#include "workbench/pads_selection.h"

namespace assistant {

namespace pads = platform::pads;

namespace {

constexpr long kLightYellow = 255 + 256 * 255 + 65536 * 128;
constexpr long kRed = 255;

// The software box's test of a search row.
enum class SoftwareTest { ContainsLayout, ContainsLogic, NoChoice };

struct SearchRow {
  SoftwareTest software;
  const char* object;
  PadsProgram program;
  void (DecalWindow::SearchBox::*run)(pads::Application&, pads::Design&, const std::string&);
  bool showAllLayers;  // "z  *" sent with the attach, under its message
};

// The part line of a search: the decal field is the part's Decal in both programs.
std::string searchPartLine(const pads::Part& part) {
  return partDetailLine({part.name(), part.decal(), valueKey(part)});
}

}  // namespace

// The part in PADS Layout (a name holding "JMP" is a jumper's): selected, described,
// its layer made active and shown, the view scaled. The layer is read from the part of
// that name, so a jumper leaves it empty.
void DecalWindow::SearchBox::layoutPart(pads::Application& app, pads::Design& design, const std::string& name) {
  vb::SkipOnError skip;
  if (vb::ucase(name).find("JMP") != std::string::npos) {
    pads::Jumper* jumper = nullptr;
    skip.step([&] { jumper = design.jumper(name); });
    if (jumper && skip.step([&] { jumper->setSelected(true); }))
      skip.step([&] {
        w.detail.setCaption(partDetailLine({jumper->name(), vb::numberText(jumper->length()), jumper->netName()}));
      });
  } else {
    pads::Part* part = nullptr;
    skip.step([&] { part = design.component(name); });
    if (part && skip.step([&] { part->setSelected(true); }))
      skip.step([&] { w.detail.setCaption(searchPartLine(*part)); });
  }
  std::string layer;
  skip.step([&] {
    if (pads::Part* part = design.component(name)) layer = std::to_string(part->layer());
  });
  if (w.combo1.text() == "Only") skip.step([&] { app.modelessCmd("z " + layer); });
  skip.step([&] { design.setActiveLayer(layer); });
  zoomView(design);
}

void DecalWindow::SearchBox::zoomView(pads::Design& design) { workbench::zoomToSelection(design, w.zoomPercent()); }

void DecalWindow::SearchBox::layoutNet(pads::Application&, pads::Design& design, const std::string& name) {
  vb::SkipOnError skip;
  pads::Net* net = nullptr;
  skip.step([&] { net = design.net(name); });
  if (net && skip.step([&] { net->setSelected(true); }))
    skip.step([&] { w.detail.setCaption(partDetailLine({net->name(), vb::numberText(net->length())})); });
  zoomView(design);
}

void DecalWindow::SearchBox::layoutPin(pads::Application&, pads::Design& design, const std::string& name) {
  vb::SkipOnError skip;
  pads::Pin* pin = nullptr;
  skip.step([&] { pin = design.pin(name); });
  if (pin && skip.step([&] { pin->setSelected(true); })) skip.step([&] { w.detail.setCaption(pin->name()); });
  zoomView(design);
}

// The decal's parts listed in PADS Layout's order of the selection; the view is not scaled.
void DecalWindow::SearchBox::layoutDecal(pads::Application&, pads::Design& design, const std::string& name) {
  vb::SkipOnError skip;
  w.list4.addItem(name);
  pads::DecalObject* decal = nullptr;
  skip.step([&] { decal = design.decalObject(name); });
  if (decal && skip.step([&] { decal->setSelected(true); })) {
    skip.step([&] { w.detail.setCaption(decal->name()); });
    std::vector<pads::Part*> selected;
    skip.step([&] { selected = design.getParts("", true); });
    int n = 0;
    for (pads::Part* part : selected) {
      skip.step([&] { w.list1.addItem(part->name()); });
      w.text1.setText(std::to_string(++n));
    }
  }
  pads::View* view = nullptr;
  if (!skip.step([&] { view = &design.activeView(); })) return;
  skip.step([&] { view->setExtentsToSelection(); });
  skip.step([&] { view->refresh(); });
}

void DecalWindow::SearchBox::logicPart(pads::Application&, pads::Design& design, const std::string& name) {
  vb::SkipOnError skip;
  pads::Part* part = nullptr;
  skip.step([&] { part = design.component(name); });
  if (!part || !skip.step([&] { part->setSelected(true); })) return;
  skip.step([&] { w.detail.setCaption(searchPartLine(*part)); });
  workbench::centerOnGate(design, name);
}

void DecalWindow::SearchBox::logicNet(pads::Application&, pads::Design& design, const std::string& name) {
  vb::SkipOnError skip;
  pads::Net* net = nullptr;
  skip.step([&] { net = design.net(name); });
  if (net && skip.step([&] { net->setSelected(true); })) skip.step([&] { w.detail.setCaption(net->name()); });
  skip.step([&] { design.activeView().setExtentsToSheet(); });
  skip.step([&] { design.activeView().refresh(); });
}

void DecalWindow::SearchBox::logicPin(pads::Application&, pads::Design& design, const std::string& name) {
  vb::SkipOnError skip;
  pads::Pin* pin = nullptr;
  skip.step([&] { pin = design.pin(name); });
  if (!pin || !skip.step([&] { pin->setSelected(true); })) return;
  skip.step([&] { w.detail.setCaption(pin->name()); });
  double x = 0, y = 0;
  skip.step([&] {
    x = pin->positionX();
    y = pin->positionY();
  });
  skip.step([&] { pin->activateSheet(); });
  skip.step([&] { design.activeView().setExtents(x, y, x, y); });
}

// Every part whose PCBDecal is the typed name exactly, selected and listed.
void DecalWindow::SearchBox::logicDecal(pads::Application&, pads::Design& design, const std::string& name) {
  vb::SkipOnError skip;
  w.list4.addItem(name);
  std::vector<pads::Part*> parts;
  skip.step([&] { parts = design.components(); });
  int n = 0;
  for (pads::Part* part : parts) {
    std::string decal;
    if (!skip.step([&] { decal = part->pcbDecal(); }) || decal != name) continue;
    skip.step([&] { part->setSelected(true); });
    w.text1.setText(std::to_string(++n));
    w.list1.addItem(part->name());
  }
  w.detail.setCaption(name);
  skip.step([&] { design.activeView().setExtentsToSheet(); });
  skip.step([&] { design.activeView().refresh(); });
}

namespace {

using S = DecalWindow::SearchBox;
const SearchRow kSearchRows[] = {
    {SoftwareTest::ContainsLayout, "Part",  PadsProgram::Layout, &S::layoutPart,  false},
    {SoftwareTest::ContainsLayout, "Net",   PadsProgram::Layout, &S::layoutNet,   true},
    {SoftwareTest::ContainsLayout, "Pin",   PadsProgram::Layout, &S::layoutPin,   true},
    {SoftwareTest::ContainsLayout, "Decal", PadsProgram::Layout, &S::layoutDecal, true},
    {SoftwareTest::ContainsLogic,  "Part",  PadsProgram::Logic,  &S::logicPart,   false},
    {SoftwareTest::ContainsLogic,  "Net",   PadsProgram::Logic,  &S::logicNet,    false},
    {SoftwareTest::ContainsLogic,  "Pin",   PadsProgram::Logic,  &S::logicPin,    false},
    {SoftwareTest::ContainsLogic,  "Decal", PadsProgram::Logic,  &S::logicDecal,  false},
    {SoftwareTest::NoChoice,       "Part",  PadsProgram::Layout, nullptr,         false},
};

bool holds(SoftwareTest test, const std::string& software) {
  switch (test) {
    case SoftwareTest::ContainsLayout: return software.find("Layout") != std::string::npos;
    case SoftwareTest::ContainsLogic: return software.find("Logic") != std::string::npos;
    case SoftwareTest::NoChoice: return software == "选择软件" || software.empty();
  }
  return false;
}

}  // namespace

// Enter: the first row of the table that the software and object boxes satisfy chooses
// where the typed name is looked up. A program that does not run ends the search with a
// message, except for the search in both programs, which shows none.
void DecalWindow::searchKeyDown(int& keyCode, int) {
  if (keyCode != 13) return;
  for (ui::ListBox* list : {&list1, &list2, &list3, &list4}) list->clear();
  text1.setText("");
  const SearchRow* row = nullptr;
  for (const SearchRow& r : kSearchRows)
    if (holds(r.software, combo2.text()) && combo3.text() == r.object) {
      row = &r;
      break;
    }
  if (!row) return;
  SearchBox search{*this};
  if (!row->run) return search.bothPrograms();
  pads::AppPtr app;
  try {
    app = compare::attachRunningPads(services_.programs, progIdOf(row->program));
    if (row->showAllLayers) app->modelessCmd("z  *");
  } catch (const vb::Error&) {
    return notify(row->program == PadsProgram::Layout ? "请打开Layout软件" : "请打开Logic软件");
  }
  workbench::clearSelection(app);
  const std::string name = text3.text();
  vb::SkipOnError skip;
  pads::Design* design = nullptr;
  if (skip.step([&] { design = &app->activeDocument(); })) (search.*(row->run))(*app, *design, name);
  text3.setText("");
}

// Row 9: the part in PADS Layout, then in PADS Logic, without a message; the PADS Logic
// sheet is activated before its position is read and again after.
void DecalWindow::SearchBox::bothPrograms() {
  vb::SkipOnError skip;
  if (pads::AppPtr layout = workbench::attachIfRunning(w.services_.programs, PadsProgram::Layout)) {
    workbench::clearSelection(layout);
    pads::Design* design = nullptr;
    if (skip.step([&] { design = &layout->activeDocument(); })) layoutPart(*layout, *design, w.text3.text());
  }
  if (pads::AppPtr logic = workbench::attachIfRunning(w.services_.programs, PadsProgram::Logic)) {
    workbench::clearSelection(logic);
    const std::string name = w.text3.text();
    pads::Design* design = nullptr;
    pads::Part* part = nullptr;
    if (skip.step([&] { design = &logic->activeDocument(); }) && skip.step([&] { part = design->component(name); }) &&
        part && skip.step([&] { part->setSelected(true); })) {
      skip.step([&] { w.detail.setCaption(searchPartLine(*part)); });
      showLogicGateTwice(*design, *part);
    }
  }
  w.text3.setText("");
}

void DecalWindow::SearchBox::showLogicGateTwice(pads::Design& design, pads::Part& part) {
  vb::SkipOnError skip;
  pads::Gate* gate = nullptr;
  if (!skip.step([&] { gate = part.gate(1); }) || !gate) return;
  skip.step([&] { gate->activateSheet(); });
  double x = 0, y = 0;
  skip.step([&] {
    x = gate->positionX();
    y = gate->positionY();
  });
  skip.step([&] { gate->activateSheet(); });
  skip.step([&] { design.activeView().setExtents(x, y, x, y); });
}

// The part named in the box is shown in the program the software box does not name; the
// box turns light yellow when that program lacks it, red when its value differs from
// the value field of the detail line, and keeps the window colour when they agree.
void DecalWindow::crossProbe() {
  if (check1.value() != 1) return;
  PadsProgram other;
  if (combo2.text() == "Logic") other = PadsProgram::Layout;
  else if (combo2.text() == "Layout") other = PadsProgram::Logic;
  else return;
  pads::AppPtr app = workbench::attachIfRunning(services_.programs, other);
  const std::string name = text3.text();
  if (!app || !workbench::selectPartByName(app, name, false)) {
    text3.setBackColor(kLightYellow);
    return;
  }
  vb::SkipOnError skip;
  pads::Design* design = nullptr;
  pads::Part* part = nullptr;
  std::string value = "  nc  ";
  if (skip.step([&] { design = &app->activeDocument(); }) && skip.step([&] { part = design->component(name); }) && part) {
    skip.step([&] { value = valueKey(*part); });
    if (other == PadsProgram::Layout) {
      std::string layer;
      skip.step([&] { layer = std::to_string(part->layer()); });
      if (combo1.text() == "Only") skip.step([&] { app->modelessCmd("z " + layer); });
      skip.step([&] { design->setActiveLayer(layer); });
      SearchBox{*this}.zoomView(*design);
    } else {
      SearchBox{*this}.showLogicGateTwice(*design, *part);
    }
  }
  app.reset();
  std::vector<std::string> fields = vb::split(detail.caption(), "  ");
  text3.setBackColor(fields.size() < 3 || fields[2] == value ? ui::kColorWindow : kRed);
}

}  // namespace assistant
