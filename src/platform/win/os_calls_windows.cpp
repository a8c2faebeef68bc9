#include <windows.h>

#include "platform/os_calls.h"
#include "platform/win/wide_text.h"

namespace platform {

long currentProcessId() { return static_cast<long>(GetCurrentProcessId()); }

bool processMayRun(long pid) {
  HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
  if (!h) return GetLastError() == ERROR_ACCESS_DENIED;  // no such process, unless it is not ours to open
  const bool running = WaitForSingleObject(h, 0) == WAIT_TIMEOUT;
  CloseHandle(h);
  return running;
}

bool syncFileToDisk(const std::string& path) {
  // The process runs with UTF-8 as its code page (see windows/velmora.manifest).
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  const bool ok = FlushFileBuffers(h) != 0;
  CloseHandle(h);
  return ok;
}

std::tm localTime(std::time_t t) {
  std::tm tm{};
  localtime_s(&tm, &t);
  return tm;
}

std::string executablePath() {
  wchar_t buf[32768];
  const DWORD n = GetModuleFileNameW(nullptr, buf, 32768);
  if (n == 0 || n >= 32768) return {};
  return win::narrow(std::wstring_view(buf, n));
}

}  // namespace platform
