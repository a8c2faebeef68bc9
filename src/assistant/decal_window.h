#pragma once
// The design assistant window "Decal". Its lists and tools come with the assistant; the
// window already exists, opens from the toolbar and returns to it when closed.
#include "platform/ui.h"
#include "platform/windows.h"

namespace assistant {

class DecalWindow : public ui::Window {
 public:
  static constexpr const char* kName = "Decal";
  explicit DecalWindow(platform::WindowHost& host);
  // A close request is refused: the window hides, keeping its contents, and the toolbar
  // is shown again.
  void queryClose() override { host_.hideAndReturn(*this, "Tool"); }

 private:
  platform::WindowHost& host_;
};

}  // namespace assistant
