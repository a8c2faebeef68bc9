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

SettingsWindow::SettingsWindow()
    : ui::Window(kName, "设置"),
      combo1(add<ui::ComboBox>("Combo1")),
      combo2(add<ui::ComboBox>("Combo2")),
      text1(add<ui::TextBox>("Text1")),
      combo3(add<ui::ComboBox>("Combo3")),
      combo4(add<ui::ComboBox>("Combo4")),
      combo5(add<ui::ComboBox>("Combo5")),
      label1(add<ui::Label>("Label1")),
      label2(add<ui::Label>("Label2")),
      label3(add<ui::Label>("Label3")),
      label4(add<ui::Label>("Label4")),
      label5(add<ui::Label>("Label5")),
      label6(add<ui::Label>("Label6")),
      command2(add<ui::Button>("Command2")) {
  setClientSize(2820, 2565);
  move(3000, 3000);
  combo1.move(1380, 30, 1335, 300);
  combo2.move(1380, 360, 1335, 300);
  text1.move(1380, 690, 1320, 285);
  combo3.move(1380, 1000, 1335, 300);
  combo4.move(1380, 1330, 1335, 300);
  combo5.move(1380, 1700, 1335, 300);
  label1.move(120, 90, 1095, 195);
  label2.move(120, 420, 1095, 195);
  label3.move(120, 750, 1095, 195);
  label4.move(120, 1080, 1095, 195);
  label5.move(120, 1410, 1095, 195);
  label6.move(120, 1750, 1095, 195);
  label1.setCaption("Logic 属性: ");
  label2.setCaption("Layout 属性:");
  label3.setCaption("定义连接符号:");
  label4.setCaption("转换元件属性:");
  label5.setCaption("保留元件分类:");
  label6.setCaption("BOM导出软件:");
  command2.setCaption("确定");
  command2.move(870, 2060, 975, 375);
  // Tab order: the button first, so it has the focus when the window opens.
  command2.setTabIndex(0);
  int tab = 1;
  for (ui::Control* c : std::initializer_list<ui::Control*>{&combo1, &combo2, &text1, &combo3, &combo4, &combo5})
    c->setTabIndex(tab++);

  command2.onClick = [this] { hide(); };
  // Enter in either attribute box hides the window; in the other boxes it does nothing.
  auto enterHides = [this](int& key) {
    if (key == ui::kKeyEnter) hide();
  };
  combo1.onKeyPress = enterHides;
  combo2.onKeyPress = enterHides;
  startUp();
  setFocus(command2);
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
