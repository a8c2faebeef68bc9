#include "assistant/decal_window.h"

namespace assistant {

DecalWindow::DecalWindow(platform::WindowHost& host) : ui::Window(kName, "高级助手"), host_(host) {
  setClientSize(6000, 7000);
  move(3000, 1500);
}

}  // namespace assistant
