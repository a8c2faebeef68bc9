#include "assistant/renumber_window.h"

#include "assistant/decal_window.h"
#include "assistant/part_renumbering.h"
#include "compare/pads_writing.h"
#include "platform/pads.h"
#include "platform/user.h"
#include "vb/convert.h"
#include "vb/error.h"
#include "vb/like.h"
#include "vb/text.h"

namespace assistant {

namespace pads = platform::pads;

bool RenumberWindow::layOutControls() {
  using ui::Kind;
  using W = RenumberWindow;
  static const ui::ControlRow<W> kControls[] = {
      // name       kind           frame    caption                               left  top   width height tab handler
      {"Label1",   Kind::Label,   nullptr, "指定元件序号前缀,默认为原有前缀:", 120,  240,  2800, 255},
      {"Text1",    Kind::TextBox, nullptr, nullptr,                              3000, 120,  855,  350},
      {"Label2",   Kind::Label,   nullptr, "指定元件开始序号,默认从1开始:",    120,  720,  2800, 255},
      {"Text2",    Kind::TextBox, nullptr, nullptr,                              3000, 600,  855,  350},
      {"Command2", Kind::Button,  nullptr, "Filter",                             360,  1080, 1095, 375,  -1, &W::filter},
      {"Command1", Kind::Button,  nullptr, "确定",                               2520, 1080, 1095, 375,  -1, &W::ok},
  };
  layOut(kControls);
  setClientSize(3945, 1560);
  move(4500, 3000);
  return true;
}

RenumberWindow::RenumberWindow(platform::Services& services)
    : ui::Window(kName, "Logic元件重新编号"),
      laidOut_(layOutControls()),
      text1(find<ui::TextBox>("Text1")),
      text2(find<ui::TextBox>("Text2")),
      command2(find<ui::Button>("Command2")),
      command1(find<ui::Button>("Command1")),
      services_(services) {
  text2.setText("1");
}

void RenumberWindow::filter() {
  const std::string keyword =
      services_.user.input(platform::kTitle, "请输入筛选元件序号关键字:\n输入*为全选;空白则退出程序.");
  if (keyword.empty()) return;
  pads::AppPtr app = compare::attachRunningPads(services_.programs, pads::kLogicProgId);
  app->setStatusBarText(kBusyStatusText);
  pads::Design& design = app->activeDocument();
  design.clearSelection();
  const vb::LikePattern match("*" + vb::ucase(keyword) + "*");
  if (!match.valid())
    return platform::notify(services_.user, platform::kTitle, "筛选关键字不是有效的匹配式: " + keyword);
  for (pads::Part* part : design.getParts("", false))
    if (match.matches(vb::ucase(part->name()))) part->setSelected(true);
  platform::notify(services_.user, platform::kTitle, "     Okay!");
}

void RenumberWindow::ok() {
  hide();
  rename();
  show();
}

// Rename: the selected parts are renumbered; a design without a selection, or PADS Logic
// not running, says that nothing is selected.
void RenumberWindow::rename() {
  vb::SkipOnError guard;
  const std::string prefix = text1.text();
  std::string start = text2.text();
  if (!vb::isNumeric(vb::Variant(start)) || vb::toDouble(vb::Variant(start)) == 0) start = "1";
  pads::AppPtr app;
  size_t selected = 0;
  guard.step([&] {
    app = compare::attachRunningPads(services_.programs, pads::kLogicProgId);
    selected = app->activeDocument().getParts("", true).size();
  });
  if (selected == 0) return platform::notify(services_.user, platform::kKitTitle, "没有选择元件");
  pads::Design& design = app->activeDocument();
  RenumberResult result;
  if (!guard.step([&] { result = changePartNumbers(services_, design, prefix, start); }))
    result.failure = guard.description();
  if (!result.failure.empty()) platform::notify(services_.user, platform::kTitle, result.failure);
  else if (result.renamed == 0) platform::notify(services_.user, platform::kTitle, " All Part Numbers Are Already In Use.");
  guard.step([&] { design.activeView().refresh(); });
}

}  // namespace assistant
