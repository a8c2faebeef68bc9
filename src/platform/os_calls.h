#pragma once
// The few calls of the operating system that differ between the platforms, one
// implementation per platform (os_calls_posix.cpp, win/os_calls_windows.cpp).
#include <ctime>
#include <string>

namespace platform {

long currentProcessId();
// Whether a process of that id may still run (true when it cannot be told).
bool processMayRun(long pid);
// Writes the file's data through to the disk; false when it cannot.
bool syncFileToDisk(const std::string& path);
// The broken-down local time of t.
std::tm localTime(std::time_t t);
// The full path of the running executable, empty when it cannot be told.
std::string executablePath();

}  // namespace platform
