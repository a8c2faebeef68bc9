#pragma once
// The logic part renumbering window "Logic元件重新编号": "Filter" selects the PADS Logic
// parts whose designators contain a keyword, "确定" renumbers the selected parts. It opens
// from the toolbar and returns to it, keeping what its boxes hold.
#include "platform/services.h"
#include "platform/ui.h"
#include "platform/windows.h"

namespace assistant {

class RenumberWindow : public ui::Window {
 public:
  static constexpr const char* kName = "Logic元件重新编号";
  explicit RenumberWindow(platform::Services& services);
  // A close request is refused: the window hides, keeping its contents, and the toolbar
  // is shown again.
  void queryClose() override { services_.windows.hideAndReturn(*this, "Tool"); }

 private:
  bool layOutControls();
  bool laidOut_;  // made first, so the controls exist before the references below are bound

 public:
  ui::TextBox& text1;     // prefix box
  ui::TextBox& text2;     // start box
  ui::Button& command2;   // "Filter"
  ui::Button& command1;   // "确定"

 private:
  void filter();
  void ok();
  void rename();

  platform::Services& services_;
};

}  // namespace assistant
