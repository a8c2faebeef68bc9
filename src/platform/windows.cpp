#include "platform/windows.h"

namespace platform {

void WindowHost::switchToWindow(ui::Window& from, const std::string& target) {
  from.hide();
  window(target).show();
}

void WindowHost::hideAndReturn(ui::Window& w, const std::string& opener) {
  w.hide();
  window(opener).show();
}

void WindowHost::closeAndReturn(ui::Window& w, const std::string& opener) {
  std::string name = w.name();
  w.hide();
  destroy(name);
  window(opener).show();
}

}  // namespace platform
