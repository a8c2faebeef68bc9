#ifdef _WIN32
// Windows has no fork: the child is this executable started afresh with
// "--child-job NAME"; its input comes through its standard input, its answer through
// its standard output, its error output goes nowhere.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <iterator>
#include <thread>

#include "formats/child_jobs.h"
#include "platform/os_calls.h"
#include "platform/win/wide_text.h"

namespace formats {

namespace {

// A handle closed with its owner.
struct Handle {
  HANDLE h = nullptr;
  Handle() = default;
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { reset(); }
  void reset() {
    if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
    h = nullptr;
  }
};

}  // namespace

ChildResult runInChild(const char* job, const std::string& input, std::chrono::seconds limit) {
  ChildResult result;
  const std::string exe = platform::executablePath();
  if (!findChildJob(job) || exe.empty()) return result;

  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  Handle inRead, inWrite, outRead, outWrite, null;
  if (!CreatePipe(&inRead.h, &inWrite.h, &inherit, 0) || !CreatePipe(&outRead.h, &outWrite.h, &inherit, 0))
    return result;
  // The parent's ends stay in the parent.
  SetHandleInformation(inWrite.h, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(outRead.h, HANDLE_FLAG_INHERIT, 0);
  null.h = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);

  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = inRead.h;
  si.hStdOutput = outWrite.h;
  si.hStdError = null.h;
  std::wstring command = L"\"" + platform::win::widen(exe) + L"\" " + platform::win::widen(std::string(kChildJobArgument)) + L" " + platform::win::widen(job);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
    return result;
  Handle process, thread;
  process.h = pi.hProcess;
  thread.h = pi.hThread;
  // Only the child holds its ends now, so the reads below end when it does.
  inRead.reset();
  outWrite.reset();
  null.reset();

  std::string data;
  std::thread reader([&] {
    char buf[65536];
    DWORD n = 0;
    while (ReadFile(outRead.h, buf, sizeof buf, &n, nullptr) && n > 0) data.append(buf, n);
  });
  // The input is small (file names); a child that does not read it is ended below.
  DWORD written = 0;
  for (size_t at = 0; at < input.size(); at += written)
    if (!WriteFile(inWrite.h, input.data() + at, static_cast<DWORD>(input.size() - at), &written, nullptr) ||
        written == 0)
      break;
  inWrite.reset();

  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(limit).count();
  const bool timedOut = WaitForSingleObject(process.h, static_cast<DWORD>(ms)) == WAIT_TIMEOUT;
  if (timedOut) {
    TerminateProcess(process.h, 1);
    WaitForSingleObject(process.h, INFINITE);
  }
  reader.join();
  DWORD code = 1;
  GetExitCodeProcess(process.h, &code);
  if (timedOut) {
    result.end = ChildResult::End::TimedOut;
  } else if (code == 0 && !data.empty() && data[0] == 'O') {
    result.end = ChildResult::End::Done;
    result.output = data.substr(1);
  }
  return result;
}

std::optional<int> runChildJobIfAsked(int argc, char** argv) {
  if (argc != 3 || argv[1] != kChildJobArgument) return std::nullopt;
  const ChildJob job = findChildJob(argv[2]);
  if (!job) return 1;
  // A crash ends the child at once, without an error box or a debugger waiting for someone.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  SetUnhandledExceptionFilter([](EXCEPTION_POINTERS*) -> LONG {
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
  });
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  try {
    const std::string input{std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
    // A first byte tells a complete answer from a child that died while writing.
    const std::string answer = "O" + job(input);
    if (std::fwrite(answer.data(), 1, answer.size(), stdout) != answer.size() || std::fflush(stdout) != 0) return 1;
    return 0;
  } catch (...) {
    return 1;
  }
}

}  // namespace formats
#endif
