// velmora play SESSION [--out DIR]: plays a session file against the program.
#include <iostream>
#include <optional>
#include <string>

#include "app/session.h"
#include "formats/child_process.h"

int main(int argc, char** argv) {
  if (auto code = formats::runChildJobIfAsked(argc, argv)) return *code;
  if (argc >= 3 && std::string(argv[1]) == "play") {
    std::optional<std::string> out;
    bool ok = true;
    for (int i = 3; i < argc; ++i) {
      std::string a = argv[i];
      if (a == "--out" && i + 1 < argc) out = argv[++i];
      else ok = false;
    }
    if (ok) return app::playSession(argv[2], out, std::cout, std::cerr);
  }
  std::cerr << "usage: velmora play SESSION [--out DIR]\n";
  return 2;
}
