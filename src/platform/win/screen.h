#pragma once
// Real Win32 windows for the control model. The model stays the one truth: sync() makes
// the real windows and controls look like it, and the user's actions on the real
// controls come back as the model's own user actions (userClick, setText, userPick...),
// each run through the program's dispatch and followed by a sync.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace platform::win {

// Twips to pixels and back at the given dots per inch (1440 twips an inch), rounded.
int twipsToPixels(int twips, int dpi);
int pixelsToTwips(int pixels, int dpi);

class Screen {
 public:
  struct Hooks {
    std::function<std::vector<ui::Window*>()> windows;           // every model window that exists now
    std::function<void(const std::function<void()>&)> dispatch;  // runs one user action
    std::function<void(const std::string& windowName)> close;    // a close request from the real close box
  };
  // realTimers false: timers never fire by themselves (sessions tick them).
  explicit Screen(Hooks hooks, bool realTimers);
  ~Screen();
  Screen(const Screen&) = delete;
  Screen& operator=(const Screen&) = delete;

  // Creates what is new, destroys the real windows of model windows that went, updates
  // what changed since the last sync.
  void sync();
  // Handles the thread's pending messages, then syncs. An error that left an action run
  // from a window procedure is raised again here, through the dispatch hook.
  void pump();
  // The message loop, until ended() is true after a message; returns WM_QUIT's code or 0.
  // Like pump(), it raises errors of actions again through the dispatch hook.
  int run(const std::function<bool()>& ended);
  // Reads every real window and control back through Win32 and names each difference
  // from the model; empty when they agree.
  std::vector<std::string> mismatches() const;
  HWND windowHandle(const ui::Window& w) const;  // nullptr when none
  HWND controlHandle(const ui::Control& c) const;
  // The whole screen as a 24-bit BMP file.
  bool screenshot(const std::string& bmpPath) const;
  // A click and a double click made through the real control's messages: BM_CLICK for
  // buttons and check boxes, the mouse below the last row of a list view (on the selected
  // row, or the first, for a double click), the mouse at the centre of the others. A click
  // on a combo box does nothing: it would only open the list.
  void click(ui::Control& c);
  void dblClick(ui::Control& c);

  int dpi() const;  // the screen's, as LOGPIXELSX reads it

  struct State;

 private:
  std::unique_ptr<State> s_;
};

}  // namespace platform::win
