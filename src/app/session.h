#pragma once
// The session player: a session file is played step by step against the program running
// in the simulated world, standing in for a person at the screen.
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace app {

// Splits one session line into words: blanks separate words; a word in double quotes
// may hold blanks and the escapes \n, \" and \\. Throws std::runtime_error on an
// unclosed quote or an unknown escape.
std::vector<std::string> sessionWords(const std::string& line);

// Plays the session; every printed line goes to out, a failing step is reported to err as
// "SESSION:LINE: error: ...". Returns the exit code: 0 when every step ran, 1 otherwise.
int playSession(const std::string& sessionPath, const std::optional<std::string>& outDir, std::ostream& out,
                std::ostream& err);

}  // namespace app
