#pragma once
// The settings window "设置": six boxes whose texts are the program's whole configuration.
// It is created once (hidden by the first read of a setting, or shown by the toolbar)
// and never destroyed: a close request only hides it.
#include "platform/settings.h"
#include "platform/ui.h"
#include "platform/windows.h"

namespace capture {

class SettingsWindow : public ui::Window {
 public:
  static constexpr const char* kName = "设置";
  SettingsWindow();

  void queryClose() override { hide(); }

 private:
  bool layOutControls();
  bool laidOut_;  // made first, so the controls exist before the references below are bound

 public:
  // The controls, as the layout table in settings_window.cpp makes them.
  ui::ComboBox& combo1;  // LogicAttribute
  ui::ComboBox& combo2;  // LayoutAttribute
  ui::TextBox& text1;    // JoinSymbol
  ui::ComboBox& combo3;  // ConvertAttributes
  ui::ComboBox& combo4;  // KeepClassification
  ui::ComboBox& combo5;  // SpreadsheetProgram
  ui::Label& label1;
  ui::Label& label2;
  ui::Label& label3;
  ui::Label& label4;
  ui::Label& label5;
  ui::Label& label6;
  ui::Button& command2;  // "确定"

 private:
  void startUp();
  void hideOnEnter(int& key);
};

// The settings as the commands read them: the current texts of the window's boxes,
// the window being created hidden by the first read.
class WindowSettings : public platform::Settings {
 public:
  explicit WindowSettings(platform::WindowHost& host) : host_(host) {}
  std::string logicAttribute() override { return window().combo1.text(); }
  std::string layoutAttribute() override { return window().combo2.text(); }
  std::string joinSymbol() override { return window().text1.text(); }
  std::string convertAttributes() override { return window().combo3.text(); }
  std::string keepClassification() override { return window().combo4.text(); }
  std::string spreadsheetProgram() override { return window().combo5.text(); }

 private:
  SettingsWindow& window();
  platform::WindowHost& host_;
};

}  // namespace capture
