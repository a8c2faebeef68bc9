#pragma once
// The session player: a session file is played step by step against the program running
// in the simulated world, standing in for a person at the screen.
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ui {
class Control;
}
namespace platform {
class Programs;
}
namespace sim {
class SimPrograms;
}

namespace app {

class Program;

// A screen that shows the program's windows while a session plays (the real windows of
// the Windows build): told of the program once it runs and after every step.
class SessionScreen {
 public:
  virtual ~SessionScreen() = default;
  virtual void attach(Program& program) = 0;
  // The screen brought in line with the model; a difference between them, or an error of
  // an action the screen ran, ends the step (an exception).
  virtual void afterStep(long line) = 0;
  // The user's click made through the real control; false when the screen cannot make
  // it (the model's click is used then).
  virtual bool click(ui::Control& c) = 0;
};

// Splits one session line into words: blanks separate words; a word in double quotes
// may hold blanks and the escapes \n, \" and \\. Throws std::runtime_error on an
// unclosed quote or an unknown escape.
std::vector<std::string> sessionWords(const std::string& line);

// How the program reaches the stand-in programs the session runs: itself when empty,
// else through what this makes of them (on Windows, the stand-ins served through
// automation, so the program drives them as it drives the real programs).
using ProgramsBridge = std::function<std::unique_ptr<platform::Programs>(sim::SimPrograms&)>;

// Plays the session; every printed line goes to out, a failing step is reported to err as
// "SESSION:LINE: error: ...". Returns the exit code: 0 when every step ran, 1 otherwise.
int playSession(const std::string& sessionPath, const std::optional<std::string>& outDir, std::ostream& out,
                std::ostream& err, SessionScreen* screen = nullptr, const ProgramsBridge& bridge = {});

}  // namespace app
