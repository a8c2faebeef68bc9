// The assistant's lists: Filter, and the clicks in the decal, value, part and work lists.
#include <string>
#include <unordered_set>
#include <vector>

#include "assistant/decal_window.h"
#include "assistant/show_part.h"
#include "compare/pads_writing.h"
#include "platform/user.h"
#include "vb/error.h"
#include "vb/like.h"
#include "vb/text.h"
#include "workbench/pads_selection.h"

namespace assistant {

namespace pads = platform::pads;

namespace {

// A value key added to the value list the first time it is met.
class ValueGroups {
 public:
  explicit ValueGroups(ui::ListBox& list) : list_(list) {}
  void add(const std::string& key) {
    if (seen_.insert(key).second) list_.addItem(key);
  }

 private:
  ui::ListBox& list_;
  std::unordered_set<std::string> seen_;
};

PadsProgram programOf(bool layout) { return layout ? PadsProgram::Layout : PadsProgram::Logic; }

}  // namespace

// Parts whose designator contains the keyword, with their distinct values. Failures are
// untrapped; a keyword that is no valid pattern is refused with a message.
void DecalWindow::filter() {
  for (ui::ListBox* list : {&list1, &list2, &list3, &list4}) list->clear();
  text1.setText("");
  text4.setText("");
  detail.setCaption("");
  searchBoxReset();
  listMode = "ok";
  decalParts.reset();
  const std::string keyword = vb::ucase(services_.user.input(platform::kTitle, "请输入筛选元件序号关键字\n默认为全选."));
  Software software = chosenSoftware();
  if (software == Software::None) return;
  const bool layout = software == Software::Layout;
  pads::AppPtr app = compare::attachRunningPads(services_.programs, progIdOf(programOf(layout)));
  app->setStatusBarText(kBusyStatusText);
  pads::Design& design = app->activeDocument();
  design.clearSelection();
  const vb::LikePattern match("*" + keyword + "*");
  if (!match.valid()) return notify("筛选关键字不是有效的匹配式: " + keyword);
  std::vector<pads::Part*> parts = design.getParts(layout ? keyword + "*" : "", false);
  ValueGroups values(list2);
  int n = 0;
  for (pads::Part* part : parts) {
    const std::string name = part->name();
    if (!match.matches(vb::ucase(name))) continue;
    list1.addItem(name);
    values.add(valueKey(*part));
    text1.setText(std::to_string(++n));
  }
}

void DecalWindow::decalClicked() {
  list1.clear();
  list2.clear();
  list3.clear();
  text4.setText("");
  detail.setCaption("");
  searchBoxReset();
  listMode.clear();
  Software software = chosenSoftware();
  if (software == Software::None) return;
  const PadsProgram program = programOf(software == Software::Layout);
  vb::SkipOnError skip;
  pads::AppPtr app;
  skip.step([&] { app = compare::attachRunningPads(services_.programs, progIdOf(program)); });
  if (!app) return;
  workbench::clearSelection(app);
  const std::string decal = list4.text();
  pads::Design* design = nullptr;
  if (!skip.step([&] { design = &app->activeDocument(); })) return;
  ValueGroups values(list2);
  int n = 0;
  auto list = [&](pads::Part& part) {
    skip.step([&] { list1.addItem(part.name()); });
    skip.step([&] { values.add(valueKey(part)); });
    text1.setText(std::to_string(++n));
  };
  std::vector<pads::Part*> selected;
  if (program == PadsProgram::Layout) {
    skip.step([&] { design->decalObject(decal)->setSelected(true); });
    skip.step([&] { selected = design->getParts("", true); });
    showSelectedParts(program, app, selected, combo1, zoomPercent());
    decalParts = PartList{app, selected};
    for (pads::Part* part : selected) list(*part);
  } else {
    std::vector<pads::Part*> parts;
    skip.step([&] { parts = design->getParts("", false); });
    for (pads::Part* part : parts) {
      std::string pcbDecal;
      if (!skip.step([&] { pcbDecal = part->pcbDecal(); }) || pcbDecal != decal) continue;
      skip.step([&] { part->setSelected(true); });
      list(*part);
    }
    if (skip.step([&] { selected = design->getParts("", true); })) decalParts = PartList{app, selected};
    showSelectedParts(program, app, selected, combo1, zoomPercent());
  }
}

// The listed parts (or those of the last decal click) that carry the clicked value are
// selected and put into the work list. A name the design lacks is passed over, for the
// placeholder "Nothing" as for a real value.
void DecalWindow::valueClicked() {
  searchBoxReset();
  Software software = chosenSoftware();
  if (software == Software::None) return;
  const PadsProgram program = programOf(software == Software::Layout);
  list3.clear();
  detail.setCaption("");
  if (program == PadsProgram::Layout) listMode = "ok";
  pads::AppPtr app = compare::attachRunningPads(services_.programs, progIdOf(program));
  const std::string value = list2.text();
  text4.setText(value);
  pads::Design& design = app->activeDocument();
  design.clearSelection();
  std::vector<pads::Part*> candidates;
  if (decalParts) {
    candidates = decalParts->parts;
  } else {
    candidates.reserve(static_cast<size_t>(list1.listCount()));
    for (const std::string& name : list1.items()) candidates.push_back(design.component(name));
  }
  int n = 0;
  vb::SkipOnError skip;
  for (pads::Part* part : candidates) {
    if (!part) continue;
    bool carries = false;
    if (value == kNoValue) skip.step([&] { carries = part->attribute("Value") == nullptr; });
    else skip.step([&] { carries = part->attribute("Value") && valueKey(*part) == value; });
    if (!carries || !skip.step([&] { part->setSelected(true); })) continue;
    text1.setText(std::to_string(++n));
  }
  std::vector<pads::Part*> selected;
  skip.step([&] { selected = design.getParts("", true); });
  for (pads::Part* part : selected) skip.step([&] { list3.addItem(part->name()); });
  showSelectedParts(program, app, selected, combo1, zoomPercent());
}

// One part selected and shown, its detail line written, its name handed to the search
// box when "Part" is ticked. A name the design lacks ends the command with a message.
void DecalWindow::showPartByName(Software software, const std::string& name) {
  const PadsProgram program = programOf(software == Software::Layout);
  vb::SkipOnError skip;
  pads::AppPtr app;
  skip.step([&] { app = compare::attachRunningPads(services_.programs, progIdOf(program)); });
  if (app) {
    if (!workbench::selectPartByName(app, name, false)) {
      notify(program == PadsProgram::Layout ? "请选择Logic软件" : "请选择Layout软件");
      return;
    }
    skip.step([&] {
      pads::Part& part = *app->activeDocument().component(name);
      detail.setCaption(partDetailLine(
          {part.name(), program == PadsProgram::Layout ? part.decal() : part.pcbDecal(), valueKey(part)}));
    });
    showSelectedPart(program, app, name, combo1, zoomPercent());
    app.reset();
  }
  if (check1.value() == 1) text3.setText(name);
}

void DecalWindow::partClicked() {
  Software software = chosenSoftware();
  if (software == Software::None) return;
  if (listMode != "ok") list3.clear();
  text4.setText("");
  text1.setText("1");
  detail.setCaption("");
  showPartByName(software, list1.text());
}

void DecalWindow::workListClicked() {
  Software software = chosenSoftware();
  if (software == Software::None) return;
  text1.setText("1");
  detail.setCaption("");
  showPartByName(software, syncRowName(list3.text()));
}

}  // namespace assistant
