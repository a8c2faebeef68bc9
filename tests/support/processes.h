#pragma once
// Ids of processes for the tests of left-over temporary files: one that has ended and
// one that still runs.
#ifdef _WIN32
#include <windows.h>
#include <tlhelp32.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace testing_support {

#ifdef _WIN32
inline long endedProcessId() {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  wchar_t command[] = L"cmd.exe /c exit 0";
  if (!CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
    return -1;
  WaitForSingleObject(pi.hProcess, INFINITE);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);  // the id is free once no handle holds the process
  return static_cast<long>(pi.dwProcessId);
}

// Another process of the system that runs.
inline long runningProcessId() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  long found = -1;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && found < 0; more = Process32NextW(snapshot, &entry))
    if (entry.th32ProcessID != 0 && entry.th32ProcessID != GetCurrentProcessId()) found = static_cast<long>(entry.th32ProcessID);
  CloseHandle(snapshot);
  return found;
}
#else
inline long endedProcessId() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  return static_cast<long>(child);
}

inline long runningProcessId() { return static_cast<long>(::getppid()); }
#endif

}  // namespace testing_support
