#pragma once
// The desktop and the operating system on Windows: cursor, window rectangles, the
// screen, the user's short date format, the clock, starting programs and pauses.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/desktop.h"

namespace platform::win {

class WinDesktop : public platform::Desktop {
 public:
  // The real window that shows a model window; unset, or giving nullptr, the rectangle
  // follows from the model window's place and size in twips at the screen's DPI.
  std::function<HWND(const ui::Window&)> handleOf;

  platform::Point cursorPos() override;
  platform::Rect windowRect(const ui::Window& w) override;
  int screenWidth() override;
  int screenHeight() override;
  long systemDefaultLcid() override;
  bool setLocaleInfo(long lcid, int item, const std::string& value) override;
  bool broadcastSettingChange() override;
  bool enumDateFormats(long lcid, int flags) override;
  std::string shortDateFormat() override;
  platform::Date today() override;
  // The program is looked up as CreateProcess does for a command line (the program's
  // folder, the current folder, the system folders, PATH; ".exe" added); a program
  // that cannot be started raises vb::Error 53.
  void startProcess(const std::vector<std::string>& argv) override;
  void sleep(int milliseconds) override;
  std::string programFolder() override;
};

// A command line that CommandLineToArgvW (and the C runtime) splits back into exactly
// argv: arguments with blanks or quotes are quoted, quotes and the backslashes before
// them escaped. The program's name, argv[0], is only quoted: Windows reads it without escapes.
std::wstring commandLine(const std::vector<std::string>& argv);

}  // namespace platform::win
