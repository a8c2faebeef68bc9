#include "capture/settings_window.h"

#include <span>

namespace capture {

namespace {

const char* const kAttributeItems[] = {"",          "Comment",   "Cost",
                                       "Part Type", "Part Number", "Geomtry Height",
                                       "Tolerance", "Manufacturer #1", "Description"};

void fill(ui::ComboBox& box, std::span<const char* const> items, const char* text) {
  box.clear();
  for (const char* i : items) box.addItem(i);
  box.setText(text);
}

}  // namespace

bool SettingsWindow::layOutControls() {
  using ui::Kind;
  using W = SettingsWindow;
  static const ui::ControlRow<W> kControls[] = {
      // name       kind           frame    caption          left  top   width height tab handlers
      {"Combo1",   Kind::ComboBox, nullptr, nullptr,         1380, 30,   1335, 300,  1, nullptr, &W::hideOnEnter},
      {"Combo2",   Kind::ComboBox, nullptr, nullptr,         1380, 360,  1335, 300,  2, nullptr, &W::hideOnEnter},
      {"Text1",    Kind::TextBox,  nullptr, nullptr,         1380, 690,  1320, 285,  3},
      {"Combo3",   Kind::ComboBox, nullptr, nullptr,         1380, 1000, 1335, 300,  4},
      {"Combo4",   Kind::ComboBox, nullptr, nullptr,         1380, 1330, 1335, 300,  5},
      {"Combo5",   Kind::ComboBox, nullptr, nullptr,         1380, 1700, 1335, 300,  6},
      {"Label1",   Kind::Label,    nullptr, "Logic 属性: ",  120,  90,   1095, 195},
      {"Label2",   Kind::Label,    nullptr, "Layout 属性:",  120,  420,  1095, 195},
      {"Label3",   Kind::Label,    nullptr, "定义连接符号:", 120,  750,  1095, 195},
      {"Label4",   Kind::Label,    nullptr, "转换元件属性:", 120,  1080, 1095, 195},
      {"Label5",   Kind::Label,    nullptr, "保留元件分类:", 120,  1410, 1095, 195},
      {"Label6",   Kind::Label,    nullptr, "BOM导出软件:",  120,  1750, 1095, 195},
      // The button first in the tab order, so it has the focus when the window opens.
      {"Command2", Kind::Button,   nullptr, "确定",          870,  2060, 975,  375,  0, &W::hide},
  };
  layOut(kControls);
  setClientSize(2820, 2565);
  move(3000, 3000);
  return true;
}

SettingsWindow::SettingsWindow()
    : ui::Window(kName, "设置"),
      laidOut_(layOutControls()),
      combo1(find<ui::ComboBox>("Combo1")),
      combo2(find<ui::ComboBox>("Combo2")),
      text1(find<ui::TextBox>("Text1")),
      combo3(find<ui::ComboBox>("Combo3")),
      combo4(find<ui::ComboBox>("Combo4")),
      combo5(find<ui::ComboBox>("Combo5")),
      label1(find<ui::Label>("Label1")),
      label2(find<ui::Label>("Label2")),
      label3(find<ui::Label>("Label3")),
      label4(find<ui::Label>("Label4")),
      label5(find<ui::Label>("Label5")),
      label6(find<ui::Label>("Label6")),
      command2(find<ui::Button>("Command2")) {
  startUp();
  setFocus(command2);
}

// Enter in either attribute box hides the window; in the other boxes it does nothing.
void SettingsWindow::hideOnEnter(int& key) {
  if (key == ui::kKeyEnter) hide();
}

void SettingsWindow::startUp() {
  static const char* const yesNo[] = {"是", "否"};
  static const char* const programs[] = {"Excel", "WPS"};
  fill(combo1, kAttributeItems, "Part Type");
  fill(combo2, kAttributeItems, "Comment");
  fill(combo3, yesNo, "否");
  fill(combo4, yesNo, "是");
  fill(combo5, programs, "Excel");
  text1.setText(",");
}

SettingsWindow& WindowSettings::window() { return static_cast<SettingsWindow&>(host_.window(SettingsWindow::kName)); }

}  // namespace capture
