// "修改" writes the value box into the parts of the work list; "同步" copies every part's
// value from one PADS design to the namesakes in the other and lists what found none.
#include <string>
#include <vector>

#include "assistant/decal_window.h"
#include "capture/pads_attach.h"
#include "compare/pads_writing.h"
#include "platform/user.h"
#include "vb/error.h"

namespace assistant {

namespace pads = platform::pads;

namespace {

const char* notRunningMessage(bool layout) { return layout ? "请打开Layout软件" : "请打开Logic软件"; }

// The target program is hidden while the values are written; this shows it again on
// every way out of the command, an error's included.
class HiddenWhileWriting {
 public:
  explicit HiddenWhileWriting(pads::AppPtr app) : app_(std::move(app)) {
    if (!app_) return;
    vb::SkipOnError skip;
    skip.step([&] { app_->setVisible(false); });
  }
  ~HiddenWhileWriting() { showAgain(); }
  void showAgain() {
    if (!app_) return;
    vb::SkipOnError skip;
    skip.step([&] { app_->setVisible(true); });
    app_.reset();
  }

 private:
  pads::AppPtr app_;
};

}  // namespace

// Only the parts whose new value was added are counted; a row the design lacks or a
// value it refused stays in the work list as it is.
void DecalWindow::editValue() {
  Software software = chosenSoftware();
  if (software == Software::None) return;
  const bool layout = software == Software::Layout;
  vb::SkipOnError skip;
  pads::AppPtr app;
  pads::Design* design = nullptr;
  skip.step([&] {
    app = compare::attachRunningPads(services_.programs, layout ? pads::kLayoutProgId : pads::kLogicProgId);
    design = &app->activeDocument();
  });
  if (!design) return notify(notRunningMessage(layout));
  skip.step([&] { design->clearSelection(); });
  const std::string value = text4.text();
  if (list3.listCount() == 0) return;
  int written = 0;
  for (const std::string& name : list3.items())
    if (compare::setPartValue(*design, name, value)) ++written;
  notify(std::to_string(written) + "个元件属性修改为" + value);
}

void DecalWindow::syncValues() {
  emptyListsAndBoxes();

  Software software = chosenSoftware();
  if (software == Software::None) return;
  const bool fromLayout = software == Software::Layout;
  const char* question = fromLayout ? "是否将PCB中元件参数同步到SCH中？" : "是否将SCH中元件参数同步到PCB中？";
  if (!platform::askYes(services_.user, platform::kTitle, question)) return;
  const char* sourceId = fromLayout ? pads::kLayoutProgId : pads::kLogicProgId;
  const char* targetId = fromLayout ? pads::kLogicProgId : compare::kToolbarLayoutProgId;

  vb::SkipOnError skip;
  // Listing: one row per source part, in the source's order.
  int listed = 0;
  skip.step([&] {
    pads::AppPtr source = compare::attachRunningPads(services_.programs, sourceId);
    pads::Design& design = source->activeDocument();
    skip.step([&] { design.clearSelection(); });
    for (pads::Part* part : design.getParts("", false)) {
      skip.step([&] {
        list3.addItem(syncRow(part->name(), capture::partValueText(*part, "")));
        text1.setText(std::to_string(++listed));
      });
    }
  });

  pads::AppPtr target;
  skip.step([&] { target = compare::attachRunningPads(services_.programs, targetId); });
  HiddenWhileWriting hidden(target);
  pads::Design* design = nullptr;
  if (target) skip.step([&] { design = &target->activeDocument(); });
  // Every target part selected; each matched one is deselected, so the selection left
  // over is the target's parts without a namesake in the source.
  if (design) skip.step([&] { design->selectAllParts(); });
  if (list3.listCount() == 0) return;
  if (!design) vb::raise(vb::kCannotCreate, std::string("No running ") + targetId);

  // From the last row up, so the rows still to visit keep their indexes.
  int synced = 0;
  for (int i = list3.listCount() - 1; i >= 0; --i) {
    const std::string row = list3.item(i);
    const std::string name = syncRowName(row);
    // Everything after the first separator is the value, separators of its own included.
    const std::string value = name.size() < row.size() ? row.substr(name.size() + std::string(kSyncRowSeparator).size()) : std::string();
    pads::Part* part = skip.value([&] { return design->component(name); }, static_cast<pads::Part*>(nullptr));
    if (!part) continue;
    const bool written = compare::setPartValue(*design, name, value);
    skip.step([&] { part->setSelected(false); });
    if (!written) continue;
    list3.removeItem(i);
    ++synced;
    text1.setText(std::to_string(listed - synced));
  }

  std::vector<pads::Part*> unmatched = design->getParts("", true);
  if (!unmatched.empty()) {
    listMode = "ok";
    for (pads::Part* part : unmatched) list1.addItem(part->name());
  }
  hidden.showAgain();
  notify("同步了" + std::to_string(synced) + "个元件属性");
}

}  // namespace assistant
