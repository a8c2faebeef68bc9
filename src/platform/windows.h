#pragma once
// Every window exists once and is created the first time it is needed. The rules for
// switching between windows and for closing them are written here once.
#include <string>

#include "platform/ui.h"

namespace platform {

class WindowHost {
 public:
  virtual ~WindowHost() = default;
  // The window of that name, created (not shown) when it does not yet exist.
  virtual ui::Window& window(const std::string& name) = 0;
  // The window when it exists, else nothing.
  virtual ui::Window* existing(const std::string& name) const = 0;
  // Hides and destroys a window; the next use creates it afresh.
  virtual void destroy(const std::string& name) = 0;

  // SwitchToWindow: the window that opens another hides itself, then shows the target.
  void switchToWindow(ui::Window& from, const std::string& target);
  // HideAndReturn: the close request is refused; the window hides, keeping its
  // contents, and its opener is shown again.
  void hideAndReturn(ui::Window& w, const std::string& opener);
  // CloseAndReturn: the window hides and is destroyed; the opener is shown again.
  void closeAndReturn(ui::Window& w, const std::string& opener);
};

}  // namespace platform
