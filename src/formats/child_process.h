#pragma once
// Runs a piece of work in a child process and hands back the bytes it produced, so
// a library that may crash or loop on damaged input cannot take the program with it.
#include <chrono>
#include <optional>
#include <string>

namespace formats {

struct ChildResult {
  enum class End { Done, Failed, TimedOut } end = End::Failed;
  std::string output;  // what the work returned, when it is Done
};

// A piece of work for a child process: its input bytes in, its output bytes out.
using ChildJob = std::string (*)(const std::string& input);

// Makes a job known by its name; called once per job, by a static registrar, so the
// child process (the same executable, started afresh where there is no fork) finds it.
bool registerChildJob(const char* name, ChildJob job);

// The job runs in a child process with its error output discarded; a child that
// crashes, exits early or throws ends as Failed, one that outlives the limit is
// killed and ends as TimedOut.
ChildResult runInChild(const char* job, const std::string& input, std::chrono::seconds limit);

// For main(), first thing: when the process was started as the child of a job, runs
// the job and gives the process's exit code; nothing otherwise.
std::optional<int> runChildJobIfAsked(int argc, char** argv);

}  // namespace formats
