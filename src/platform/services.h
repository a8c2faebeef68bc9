#pragma once
// The services a command receives: the outside programs, the user, the desktop,
// the files and the windows.
#include "platform/desktop.h"
#include "platform/files.h"
#include "platform/programs.h"
#include "platform/user.h"
#include "platform/windows.h"

namespace platform {

struct Services {
  Programs& programs;
  User& user;
  Desktop& desktop;
  Files& files;
  WindowHost& windows;
};

// The title of the system's message boxes and input boxes.
inline constexpr const char* kTitle = "Velmora";
inline constexpr const char* kKitTitle = "Velmorakit";

}  // namespace platform
