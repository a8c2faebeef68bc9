#pragma once
// The toolbar "Tool": the program's start-up window. It carries the source selector,
// one button per command, the open-file dialog, the 100 ms docking timer and the state
// its commands hand on. Closing it ends the program.
#include "capture/settings_window.h"
#include "platform/services.h"
#include "platform/tool_state.h"
#include "platform/ui.h"

namespace app {

class ToolWindow : public ui::Window {
 public:
  static constexpr const char* kName = "Tool";
  ToolWindow(platform::Services& services, platform::Settings& settings);

  // Start-up: show, set the short date format, fill the source list.
  void startUp();
  // Closing the toolbar in any way ends the program.
  void queryClose() override;

  // The toolbar's commands see the program through this.
  platform::ToolContext& context() { return context_; }
  platform::ToolState& toolState() { return state_; }
  platform::CommonDialog& dialog() { return dialog_; }
  std::string sourceProgram() const { return combo1.text(); }

  // The commands, as the buttons and the timer run them.
  void create();     // "Create"
  void formatBom();  // "Format BOM"
  void edgeDocking();

 private:
  bool layOutControls();
  bool laidOut_;  // made first, so the controls exist before the references below are bound

 public:
  // The controls, as the layout table in tool_window.cpp makes them.
  ui::Frame& frame1;
  ui::ComboBox& combo1;  // SourceProgram
  ui::Button& command1;  // "Create"
  ui::Button& command7;  // "BOM"
  ui::Frame& frame2;
  ui::Button& compare;   // "Compare"
  ui::Button& command2;  // "Add Value"
  ui::Button& helper;    // "Helper"
  ui::Button& command3;  // "Modify"
  ui::Button& command6;  // "ReName"
  ui::Button& command8;  // "设置"
  ui::Frame& frame3;
  ui::Button& command4;  // "Pads Protel" / "Protel Ref"
  ui::Button& command5;  // "Format BOM"
  ui::Timer& timer1;

 private:
  void sourcePicked();
  void openRenumbering();
  void openBomView();
  void openAssistant();
  void showSettings();
  void compareWithDesign();
  void addValue();
  void modify();
  void netlistTool();

  platform::Services& services_;
  platform::ToolState state_;
  platform::CommonDialog dialog_;
  platform::ToolContext context_;
};

// The entries of the source selector, in their order.
extern const char* const kSourcePrograms[11];

// ShortDateSetup: the user's short date format becomes "yyyy-MM-dd" (results ignored).
void shortDateSetup(platform::Desktop& desktop);

}  // namespace app
