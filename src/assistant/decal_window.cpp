#include "assistant/decal_window.h"

#include <unordered_set>

#include "compare/pads_writing.h"
#include "platform/user.h"
#include "platform/windows.h"
#include "workbench/pads_selection.h"

namespace assistant {

namespace pads = platform::pads;

std::string syncRow(const std::string& name, const std::string& value) { return name + kSyncRowSeparator + value; }

std::string syncRowName(const std::string& row) {
  size_t at = row.find(kSyncRowSeparator);
  return at == std::string::npos ? row : row.substr(0, at);
}

std::string partDetailLine(const std::vector<std::string>& fields) {
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i) line += (i ? "  " : "") + fields[i];
  return line;
}

bool DecalWindow::layOutControls() {
  using ui::Kind;
  using W = DecalWindow;
  static const ui::ControlRow<W> kControls[] = {
      // name       kind            frame    caption          left  top   width height tab handler
      {"Combo2",   Kind::ComboBox, nullptr, nullptr,         270,  120,  1065, 300,  -1, &W::softwarePicked},
      {"Text3",    Kind::TextBox,  nullptr, nullptr,         1460, 120,  1065, 300,  -1, nullptr, nullptr, -1,
       nullptr, nullptr, &W::searchKeyDown},
      {"Combo3",   Kind::ComboBox, nullptr, nullptr,         2640, 120,  1065, 300,  -1, &W::searchBoxReset},
      {"Command9", Kind::Button,   nullptr, "Decal",         3800, 120,  1065, 300,  -1, &W::reassignDecal},
      {"Label6",   Kind::Label,    nullptr, "Layer Show:",   300,  600,  1035, 255},
      {"Combo1",   Kind::ComboBox, nullptr, nullptr,         1380, 570,  945,  300,  -1, &W::searchBoxReset},
      {"Label2",   Kind::Label,    nullptr, "Secelt Scale:", 2580, 600,  1185, 255},
      {"Text2",    Kind::TextBox,  nullptr, nullptr,         3840, 570,  1005, 300},
      {"Command1", Kind::Button,   nullptr, "加载",          200,  1000, 615,  300,  -1, &W::load},
      {"Text4",    Kind::TextBox,  nullptr, nullptr,         1000, 1000, 975,  300},
      {"Command2", Kind::Button,   nullptr, "修改",          2040, 1000, 615,  300,  -1, &W::editValue},
      {"Label7",   Kind::Label,    nullptr, "属性:",         2880, 960,  615,  255},
      {"属性",     Kind::Label,    nullptr, "",              3480, 960,  1545, 550},
      {"Check1",   Kind::CheckBox, nullptr, "Part",          120,  1470, 735,  195,  -1, &W::searchBoxReset},
      {"Label1",   Kind::Label,    nullptr, "Decal:",        120,  1650, 615,  195},
      {"Label4",   Kind::Label,    nullptr, "Name:",         1440, 1650, 615,  195},
      {"Label8",   Kind::Label,    nullptr, "Value:",        2640, 1650, 615,  195},
      {"Label9",   Kind::Label,    nullptr, "Count:",        3840, 1650, 615,  195},
      {"Text1",    Kind::TextBox,  nullptr, nullptr,         4400, 1590, 405,  270},
      {"Label11",  Kind::Label,    nullptr, "pcs",           4800, 1650, 255,  195},
      {"List4",    Kind::ListBox,  nullptr, nullptr,         90,   1860, 1195, 6180, -1, &W::decalClicked},
      {"List1",    Kind::ListBox,  nullptr, nullptr,         1335, 1860, 1195, 6180, -1, &W::partClicked},
      {"List2",    Kind::ListBox,  nullptr, nullptr,         2580, 1860, 1195, 6180, -1, &W::valueClicked},
      {"List3",    Kind::ListBox,  nullptr, nullptr,         3825, 1860, 1200, 6180, -1, &W::workListClicked},
      {"Command6", Kind::Button,   nullptr, "同步",          50,   8100, 800,  300,  -1, &W::syncValues},
      {"Command3", Kind::Button,   nullptr, "Filter\n",      890,  8100, 800,  300,  -1, &W::filter},
      {"Command4", Kind::Button,   nullptr, "Add >>",        1740, 8100, 800,  300,  -1, &W::addToWorkList},
      {"Command8", Kind::Button,   nullptr, "<< Del",        2580, 8100, 800,  300,  -1, &W::removeFromWorkList},
      {"Command5", Kind::Button,   nullptr, "Lable",         3420, 8100, 800,  300,  -1, &W::openLabelWindow},
      {"Command7", Kind::Button,   nullptr, "Display",       4265, 8100, 800,  300,  -1, &W::openVisibilityWindow},
  };
  layOut(kControls);
  setClientSize(5130, 8460);
  move(3000, 1500);
  return true;
}

DecalWindow::DecalWindow(platform::Services& services)
    : ui::Window(kName, "高级助手"),
      laidOut_(layOutControls()),
      combo2(find<ui::ComboBox>("Combo2")),
      text3(find<ui::TextBox>("Text3")),
      combo3(find<ui::ComboBox>("Combo3")),
      command9(find<ui::Button>("Command9")),
      label6(find<ui::Label>("Label6")),
      combo1(find<ui::ComboBox>("Combo1")),
      label2(find<ui::Label>("Label2")),
      text2(find<ui::TextBox>("Text2")),
      command1(find<ui::Button>("Command1")),
      text4(find<ui::TextBox>("Text4")),
      command2(find<ui::Button>("Command2")),
      label7(find<ui::Label>("Label7")),
      detail(find<ui::Label>("属性")),
      check1(find<ui::CheckBox>("Check1")),
      label1(find<ui::Label>("Label1")),
      label4(find<ui::Label>("Label4")),
      label8(find<ui::Label>("Label8")),
      label9(find<ui::Label>("Label9")),
      text1(find<ui::TextBox>("Text1")),
      label11(find<ui::Label>("Label11")),
      list4(find<ui::ListBox>("List4")),
      list1(find<ui::ListBox>("List1")),
      list2(find<ui::ListBox>("List2")),
      list3(find<ui::ListBox>("List3")),
      command6(find<ui::Button>("Command6")),
      command3(find<ui::Button>("Command3")),
      command4(find<ui::Button>("Command4")),
      command8(find<ui::Button>("Command8")),
      command5(find<ui::Button>("Command5")),
      command7(find<ui::Button>("Command7")),
      services_(services) {
  combo2.setText("选择软件");
  combo3.setText("选择对象");
  text3.setText("查询");
  text2.setText("100");
  command9.setEnabled(false);
  command7.setEnabled(false);
  list4.setSorted(true);
  list2.setSorted(true);
  list1.setMultiSelect(true);
  list3.setMultiSelect(true);
  text3.onChange = [this] { crossProbe(); };
  text2.onChange = [this] { searchBoxReset(); };
  formLoad();
}

void DecalWindow::formLoad() {
  for (const char* item : {"All", "Only"}) combo1.addItem(item);
  combo1.setText("All");
  for (const char* item : {"", "Logic", "Layout", "Router"}) combo2.addItem(item);
  combo2.setText("选择软件");
  for (const char* item : {"Part", "Decal", "Net", "Pin"}) combo3.addItem(item);
  combo3.setText("Part");
  text2.setText("100");
  text3.setText("查询");
}

void DecalWindow::queryClose() { services_.windows.hideAndReturn(*this, "Tool"); }

void DecalWindow::notify(const std::string& text) { platform::notify(services_.user, platform::kTitle, text); }

double DecalWindow::zoomPercent() const { return workbench::zoomPercent(text2); }

DecalWindow::Software DecalWindow::chosenSoftware() {
  if (combo2.text() == "Layout") return Software::Layout;
  if (combo2.text() == "Logic") return Software::Logic;
  notify("请选择对应软件");
  return Software::None;
}

// The text set first runs the cross-probe; the colour it leaves is then reset.
void DecalWindow::searchBoxReset() {
  text3.setText("");
  text3.setBackColor(ui::kColorWindow);
}

void DecalWindow::softwarePicked() {
  searchBoxReset();
  if (combo2.text() == "Router") services_.windows.switchToWindow(*this, "Router");
  command9.setEnabled(combo2.text() == "Logic");
  command7.setEnabled(combo2.text() == "Layout");
}

void DecalWindow::load() {
  emptyListsAndBoxes();
  loading();
}

void DecalWindow::emptyListsAndBoxes() {
  for (ui::ListBox* list : {&list1, &list2, &list3, &list4}) list->clear();
  text1.setText("");
  text4.setText("");
  detail.setCaption("");
  searchBoxReset();
}

// Each distinct decal name once (exact comparison, case included); the count box gets
// the number of parts. Failures are untrapped.
void DecalWindow::loading() {
  Software software = chosenSoftware();
  if (software == Software::None) return;
  const bool layout = software == Software::Layout;
  pads::AppPtr app = compare::attachRunningPads(services_.programs, layout ? pads::kLayoutProgId : pads::kLogicProgId);
  app->setStatusBarText(kBusyStatusText);
  pads::Design& design = app->activeDocument();
  design.clearSelection();
  std::vector<pads::Part*> parts = design.getParts("", false);
  std::unordered_set<std::string> seen;
  for (pads::Part* part : parts) {
    std::string decal = layout ? part->decal() : part->pcbDecal();
    if (seen.insert(decal).second) list4.addItem(decal);
  }
  text1.setText(std::to_string(parts.size()));
}

// The work list is replaced by the rows selected in the part list, in its order.
void DecalWindow::addToWorkList() {
  searchBoxReset();
  list3.clear();
  if (list1.listCount() == 0) return notify("     没有元件.");
  int n = 0;
  for (int i = 0; i < list1.listCount(); ++i)
    if (list1.selected(i)) {
      list3.addItem(list1.item(i));
      text1.setText(std::to_string(++n));
    }
  if (n == 0) notify("  没有选择元件.");
}

void DecalWindow::removeFromWorkList() {
  searchBoxReset();
  if (list3.listCount() == 0) return notify("     没有元件.");
  int removed = 0;
  for (int i = list3.listCount() - 1; i >= 0; --i)
    if (list3.selected(i)) {
      list3.removeItem(i);
      ++removed;
    }
  text1.setText(std::to_string(list3.listCount()));
  if (removed == 0) notify("  没有选择元件.");
}

void DecalWindow::openLabelWindow() {
  searchBoxReset();
  services_.windows.switchToWindow(*this, "Part_Text_Visibility");
}

void DecalWindow::openVisibilityWindow() { services_.windows.switchToWindow(*this, "可视工具条"); }

}  // namespace assistant
