// velmora play SESSION [--out DIR]: plays a session file against the program.
// On Windows, velmora.exe alone starts the program on the screen, and a session plays
// against the same real windows (--shots DIR saves the screen as it changes).
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "app/session.h"
#include "formats/child_process.h"
#ifdef _WIN32
#include <windows.h>

#include "app/screen_front_end.h"
#endif

int main(int argc, char** argv) {
  if (auto code = formats::runChildJobIfAsked(argc, argv)) return *code;
#ifdef _WIN32
  if (argc == 1) {
    // Started from the desktop, the console made for this process alone goes away.
    DWORD processes[2];
    if (GetConsoleProcessList(processes, 2) == 1) FreeConsole();
    return app::runOnScreen();
  }
#endif
  if (argc >= 3 && std::string(argv[1]) == "play") {
    std::optional<std::string> out, shots;
    bool ok = true;
    for (int i = 3; i < argc; ++i) {
      std::string a = argv[i];
      if (a == "--out" && i + 1 < argc) out = argv[++i];
#ifdef _WIN32
      else if (a == "--shots" && i + 1 < argc) shots = argv[++i];
#endif
      else ok = false;
    }
    if (ok) {
#ifdef _WIN32
      const auto screen = app::realSessionScreen(shots);
      return app::playSession(argv[2], out, std::cout, std::cerr, screen.get());
#else
      return app::playSession(argv[2], out, std::cout, std::cerr);
#endif
    }
  }
#ifdef _WIN32
  std::cerr << "usage: velmora [play SESSION [--out DIR] [--shots DIR]]\n";
#else
  std::cerr << "usage: velmora play SESSION [--out DIR]\n";
#endif
  return 2;
}
