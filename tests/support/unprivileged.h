#pragma once
// Runs a check as an unprivileged user, for tests of files that cannot be read: the tests
// run as root here, and root reads any file whatever its permission bits say. The check
// runs in a forked child that gives up root first; what it returns ("" when all is well)
// comes back through a pipe.
#include <functional>
#include <string>

#ifdef _WIN32
// Windows has no permission bits that keep a file's owner from reading it: the tests
// that need an unreadable file do not run there.
#define VELMORA_SKIP_WITHOUT_UNREADABLE_FILES() GTEST_SKIP() << "no file is unreadable to its owner on Windows"
namespace testing_support {
inline std::string runUnprivileged(const std::function<std::string()>&) { return "no unprivileged run on Windows"; }
}  // namespace testing_support
#else
#define VELMORA_SKIP_WITHOUT_UNREADABLE_FILES() (void)0
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

inline std::string runUnprivileged(const std::function<std::string()>& check) {
  int fds[2];
  if (::pipe(fds) != 0) return "no pipe";
  const pid_t pid = ::fork();
  if (pid < 0) return "no child process";
  if (pid == 0) {
    ::close(fds[0]);
    std::string result;
    constexpr uid_t kNobody = 65534;
    if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) result = "cannot give up root";
    if (result.empty()) {
      try {
        result = check();
      } catch (const std::exception& e) {
        result = std::string("the check threw: ") + e.what();
      }
    }
    if (result.empty()) result = "ok";
    ssize_t ignored = ::write(fds[1], result.data(), result.size());
    (void)ignored;
    ::_exit(0);
  }
  ::close(fds[1]);
  std::string out;
  char buf[4096];
  for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) out.append(buf, static_cast<size_t>(n));
  ::close(fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (out.empty()) return "the child ended without an answer";
  return out == "ok" ? "" : out;
}

}  // namespace testing_support
#endif
