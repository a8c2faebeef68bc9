#include "workbench/pads_selection.h"

#include <string>

#include "compare/pads_writing.h"
#include "vb/convert.h"
#include "vb/error.h"

namespace workbench {

namespace pads = platform::pads;

void clearSelection(const pads::AppPtr& app) {
  if (!app) return;
  vb::SkipOnError skip;
  skip.step([&] { app->activeDocument().clearSelection(); });
}

bool selectPartByName(const pads::AppPtr& app, const std::string& designator, bool withJumpers) {
  clearSelection(app);
  vb::SkipOnError skip;
  pads::Design* design = nullptr;
  if (!app || !skip.step([&] { design = &app->activeDocument(); })) return false;
  // A lookup that finds nothing gives no object; using it would fail with error 91.
  pads::Part* part = nullptr;
  skip.step([&] { part = design->component(designator); });
  if (part) skip.step([&] { part->setSelected(true); });
  pads::Jumper* jumper = nullptr;
  if (withJumpers) {
    skip.step([&] { jumper = design->jumper(designator); });
    if (jumper) skip.step([&] { jumper->setSelected(true); });
  }
  return part || jumper;
}

// Layout: fit to the selection first, so that the scale is relative to the fitted view.
void zoomToSelection(pads::Design& design, double percent) {
  vb::SkipOnError skip;
  pads::View* view = nullptr;
  if (!skip.step([&] { view = &design.activeView(); })) return;
  skip.step([&] { view->setExtentsToSelection(); });
  skip.step([&] { view->setScale(view->zoom() * 0.001 * percent); });
  skip.step([&] { view->refresh(); });
}

// Logic: the gate's sheet is shown before the view moves, so a part on another sheet is
// shown on its own sheet.
void centerOnGate(pads::Design& design, const std::string& designator) {
  vb::SkipOnError skip;
  pads::Part* part = nullptr;
  skip.step([&] { part = design.component(designator); });
  pads::Gate* gate = nullptr;
  if (part) skip.step([&] { gate = part->gate(1); });
  double x = 0, y = 0;
  bool placed = gate && skip.step([&] {
    x = gate->positionX();
    y = gate->positionY();
  });
  if (gate) skip.step([&] { gate->activateSheet(); });
  if (placed) skip.step([&] { design.activeView().setExtents(x, y, x, y); });
}

void showSelection(PadsProgram program, const pads::AppPtr& app, const std::string& designator, double percent) {
  vb::SkipOnError skip;
  pads::Design* design = nullptr;
  if (!app || !skip.step([&] { design = &app->activeDocument(); })) return;
  if (program == PadsProgram::Layout)
    zoomToSelection(*design, percent);
  else
    centerOnGate(*design, designator);
}

bool selectAndZoom(PadsProgram program, const pads::AppPtr& app, const std::string& designator, double percent) {
  if (!selectPartByName(app, designator, program == PadsProgram::Layout)) return false;
  showSelection(program, app, designator, percent);
  return true;
}

double zoomPercent(const ui::TextBox& box) {
  std::string digits;
  for (char c : box.text())
    if (c != ' ' && c != '\t') digits += c;
  return vb::val(digits);
}

pads::AppPtr attachIfRunning(platform::Programs& programs, PadsProgram program) {
  vb::SkipOnError skip;
  pads::AppPtr app;
  skip.step([&] {
    app = compare::attachRunningPads(programs, program == PadsProgram::Layout ? pads::kLayoutProgId : pads::kLogicProgId);
  });
  return app;
}

}  // namespace workbench
