#pragma once
// The Windows build's front ends on the real screen (src/platform/win): velmora.exe as a
// person starts it, and sessions played against the same real windows.
#ifdef _WIN32
#include <memory>
#include <optional>
#include <string>

#include "app/session.h"

namespace app {

// The toolbar on the real screen, with the real message boxes, dialogs and desktop,
// until the program ends; the spreadsheet and PADS programs are the stand-ins, or the
// real ones through COM when VELMORA_PROGRAMS is "automation".
int runOnScreen();

// Real windows for a session: after every step they are brought in line with the model
// and read back, and any difference ends the step; clicks on buttons and check boxes go
// through the real controls. With shotsDir, the screen is saved as a BMP file there each
// time the windows shown (or a tab of theirs) change.
std::unique_ptr<SessionScreen> realSessionScreen(const std::optional<std::string>& shotsDir);

}  // namespace app
#endif
