#include "assistant/show_part.h"

#include "assistant/decal_window.h"
#include "vb/error.h"
#include "vb/text.h"
#include "workbench/pads_selection.h"

namespace assistant {

namespace pads = platform::pads;

std::string valueKey(const pads::Part& part) {
  const pads::Attribute* a = part.attribute("Value");
  return a ? vb::ucase(a->value()) : std::string(kNoValue);
}

const char* progIdOf(PadsProgram program) {
  return program == PadsProgram::Layout ? pads::kLayoutProgId : pads::kLogicProgId;
}

bool showPart(PadsProgram program, const pads::AppPtr& app, const std::string& name, const ui::ComboBox& layerBox,
              double percent) {
  if (!workbench::selectPartByName(app, name, false)) return false;
  showSelectedPart(program, app, name, layerBox, percent);
  return true;
}

void showSelectedPart(PadsProgram program, const pads::AppPtr& app, const std::string& name,
                      const ui::ComboBox& layerBox, double percent) {
  vb::SkipOnError skip;
  if (program == PadsProgram::Layout) {
    std::string layer;
    skip.step([&] { layer = std::to_string(app->activeDocument().component(name)->layer()); });
    if (layerBox.text() == "Only") skip.step([&] { app->modelessCmd("z " + layer); });
  }
  workbench::showSelection(program, app, name, program == PadsProgram::Layout ? percent : 0);
}

// Shows what a decal or value click selected: one part as a part click shows it (with
// the scale only in one-layer display), several or none on all layers or the whole sheet.
void showSelectedParts(PadsProgram program, const pads::AppPtr& app, const std::vector<pads::Part*>& selected,
                       const ui::ComboBox& layerBox, double percent) {
  vb::SkipOnError skip;
  pads::Design* design = nullptr;
  if (!skip.step([&] { design = &app->activeDocument(); })) return;
  const bool one = selected.size() == 1;
  if (program == PadsProgram::Logic) {
    if (one) return workbench::showSelection(program, app, selected.front()->name(), 0);
    skip.step([&] { design->activeView().setExtentsToSheet(); });
    skip.step([&] { design->activeView().refresh(); });
    return;
  }
  const bool scaled = one && layerBox.text() == "Only";
  if (scaled) skip.step([&] { app->modelessCmd("z " + std::to_string(selected.front()->layer())); });
  else skip.step([&] { app->modelessCmd("z *"); });
  pads::View* view = nullptr;
  if (!skip.step([&] { view = &design->activeView(); })) return;
  skip.step([&] { view->setExtentsToSelection(); });
  if (scaled) skip.step([&] { view->setScale(view->zoom() * 0.001 * percent); });
  skip.step([&] { view->refresh(); });
}

}  // namespace assistant
