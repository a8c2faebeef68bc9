#pragma once
// The logic part renumbering window "Logic元件重新编号". Its boxes come with the
// renumbering; the window already exists, opens from the toolbar and returns to it.
#include "platform/ui.h"
#include "platform/windows.h"

namespace assistant {

class RenumberWindow : public ui::Window {
 public:
  static constexpr const char* kName = "Logic元件重新编号";
  explicit RenumberWindow(platform::WindowHost& host);
  // A close request is refused: the window hides, keeping its contents, and the toolbar
  // is shown again.
  void queryClose() override { host_.hideAndReturn(*this, "Tool"); }

 private:
  platform::WindowHost& host_;
};

}  // namespace assistant
