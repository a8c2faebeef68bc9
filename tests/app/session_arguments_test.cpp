// Numbers in session steps beyond what the program can hold stop the run with a clear
// error, instead of overflowing or silently wrapping to another number.
#include <gtest/gtest.h>

#include <sstream>

#include "app/session.h"
#include "support/scratch_dir.h"

namespace {

using testing_support::ScratchDir;

class SessionArguments : public ::testing::Test {
 protected:
  // The error of the session's last line, or "" when the run passed.
  std::string errorOf(const std::string& text) {
    std::ostringstream out, err;
    if (app::playSession(dir.write("s.session", text), std::nullopt, out, err) == 0) return "";
    std::string e = err.str();
    return e.substr(e.find("error: ") + 7);
  }
  ScratchDir dir{"session-args"};
};

TEST_F(SessionArguments, NumbersOutsideTheirRangeStopTheRun) {
  struct Case {
    const char* step;
    const char* error;
  };
  const Case cases[] = {
      // Beyond a 64-bit number: the conversion itself was undefined.
      {"tick 1e300", "N must be a whole number, not \"1e300\""},
      {"expect count Tool.Combo1 -1e19", "N must be a whole number, not \"-1e19\""},
      // Wrapped to 1 tick when taken as an int.
      {"tick 4294967297", "N must be from 0 to 1000000, not 4294967297"},
      {"tick -1", "N must be from 0 to 1000000, not -1"},
      // Screen and window places whose twips overflowed in the docking arithmetic.
      {"screen 2147483647 100", "W must be from 1 to 100000, not 2147483647"},
      {"screen 1920 0", "H must be from 1 to 100000, not 0"},
      {"cursor 3000000000 0", "X must be from -1000000 to 1000000, not 3000000000"},
      {"move Tool 2147483000 0", "LEFT must be from -100000000 to 100000000, not 2147483000"},
      {"key Tool.Combo1 4294967309", "CODE must be from 0 to 65535, not 4294967309"},
      {"select Tool.Combo1 4294967297", "Tool.Combo1 has no entry 4294967297"},
      {"click Tool.Command1(4294967296)", "a control index must be from 0 to 32767, not 4294967296"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.step);
    EXPECT_EQ(errorOf(std::string(c.step) + "\n"), std::string(c.error) + "\n");
  }
  // Numbers within the ranges still play.
  EXPECT_EQ(errorOf("screen 100000 100000\ncursor -1000000 1000000\nmove Tool 100000000 -100000000\ntick 3\n"
                    "tick 0\nkey Tool.Combo1 13\n"),
            "");
}

}  // namespace
