#ifndef _WIN32
#include "formats/child_jobs.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string_view>

namespace formats {

namespace {

bool writeAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

[[noreturn]] void runChild(ChildJob job, const std::string& input, int out) {
  const int null = ::open("/dev/null", O_WRONLY);
  if (null >= 0) ::dup2(null, STDERR_FILENO);
  int status = 1;
  try {
    // A first byte tells a complete answer from a child that died while writing.
    if (writeAll(out, "O" + job(input))) status = 0;
  } catch (...) {
  }
  ::close(out);
  ::_exit(status);
}

}  // namespace

ChildResult runInChild(const char* job, const std::string& input, std::chrono::seconds limit) {
  ChildResult result;
  const ChildJob work = findChildJob(job);
  if (!work) return result;
  int fds[2];
  if (::pipe(fds) != 0) return result;
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid < 0) {
    ::close(fds[0]);
    ::close(fds[1]);
    return result;
  }
  if (pid == 0) {
    ::close(fds[0]);
    runChild(work, input, fds[1]);
  }
  ::close(fds[1]);

  std::string data;
  char buf[65536];
  const auto deadline = std::chrono::steady_clock::now() + limit;
  bool timedOut = false;
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
    if (left <= 0) {
      timedOut = true;
      break;
    }
    pollfd pfd{fds[0], POLLIN, 0};
    const int ready = ::poll(&pfd, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready == 0) timedOut = true;
    if (ready <= 0) break;
    const ssize_t n = ::read(fds[0], buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    data.append(buf, static_cast<size_t>(n));
  }
  ::close(fds[0]);
  if (timedOut) ::kill(pid, SIGKILL);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (timedOut) {
    result.end = ChildResult::End::TimedOut;
  } else if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && !data.empty() && data[0] == 'O') {
    result.end = ChildResult::End::Done;
    result.output = data.substr(1);
  }
  return result;
}

// A forked child runs its job directly: no process is started afresh for one.
std::optional<int> runChildJobIfAsked(int, char**) { return std::nullopt; }

}  // namespace formats
#endif
