#pragma once
// The person at the screen on Windows: the system's message box, an input box of our
// own and the system's open-file dialog. Texts are UTF-8, as everywhere in the program.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "platform/user.h"

namespace platform::win {

class WinUser : public platform::User {
 public:
  // The window that owns the boxes and dialogs (it is disabled while they are shown);
  // unset, or giving nullptr, the boxes have no owner and disable the thread's windows.
  std::function<HWND()> owner;

  platform::Answer message(const std::string& title, const std::string& text, platform::Buttons buttons,
                           platform::Icon icon) override;
  // Title, prompt, an edit holding the default answer (selected), OK and Cancel;
  // Enter is OK, Esc is Cancel; a cancel gives "".
  std::string input(const std::string& title, const std::string& prompt,
                    const std::string& defaultAnswer) override;
  // filter is "description|pattern|description|pattern..."; flags are OFN_* values.
  // A failure of the dialog itself (not a cancel) raises a vb::Error.
  std::optional<std::string> openFile(const std::string& title, const std::string& filter, long flags) override;

 private:
  HWND ownerWindow() const;
};

// The filter list the file dialog takes: each '|' becomes a NUL, and the list ends in two NULs.
std::wstring dialogFilter(const std::string& filter);

// Control ids of the input box, for whoever drives it from outside.
inline constexpr int kInputPromptId = 101;
inline constexpr int kInputEditId = 102;

}  // namespace platform::win
