#pragma once
// Runs a piece of work in a child process and hands back the bytes it produced, so
// a library that may crash or loop on damaged input cannot take the program with it.
#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace formats {

struct ChildResult {
  enum class End { Done, Failed, TimedOut } end = End::Failed;
  std::string output;  // what the work returned, when it is Done
};

// The work runs in a forked child with its error output discarded; a child that
// crashes, exits early or throws ends as Failed, one that outlives the limit is
// killed and ends as TimedOut.
ChildResult runInChild(const std::function<std::string()>& work, std::chrono::seconds limit);

}  // namespace formats
