// The session player on any text. Each line is split into words by sessionWords, which
// must give words that, quoted again, split the same way. Then the lines are played as a
// session in a folder holding the project's sample files and files beyond the program's
// limits (beyond_limits.h), and nothing else, with every path word cut to its last part,
// so every file the session names lies in that folder. Nothing may appear anywhere else:
// not beside the session folder, not in the temporary folder, not in the folder of this
// program (the program's default report folder).
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/session.h"
#include "beyond_limits.h"
#include "fuzz_support.h"

namespace {

namespace fs = std::filesystem;

std::string quotedWord(const std::string& w) {
  std::string q = "\"";
  for (char c : w) {
    if (c == '\n') q += "\\n";
    else if (c == '"') q += "\\\"";
    else if (c == '\\') q += "\\\\";
    else q += c;
  }
  return q + "\"";
}

// The names in a folder (none when it cannot be read). The folders are listed six times
// a run, so they are read into one buffer: a directory_iterator makes a path of every
// entry, and opendir allocates 32 KB each time.
std::set<std::string> namesIn(const fs::path& dir) {
  std::set<std::string> out;
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return out;
  alignas(dirent64) static char buffer[16384];
  for (ssize_t n; (n = ::getdents64(fd, buffer, sizeof buffer)) > 0;) {
    for (ssize_t at = 0; at < n;) {
      const auto* e = reinterpret_cast<const dirent64*>(buffer + at);
      if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) out.insert(e->d_name);
      at += e->d_reclen;
    }
  }
  ::close(fd);
  return out;
}

std::string listed(const std::set<std::string>& names) {
  std::string s;
  for (const auto& n : names) s += " " + n;
  return s;
}

fs::path executableFolder() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::current_path() : exe.parent_path();
}

struct Setting {
  fs::path root, tmp, cwd, run;
  fs::path originalTmp, exeFolder;
  std::set<std::string> originalTmpNames, exeFolderNames;
  std::map<std::string, std::string> files;  // sample files by name, put into every run's folder

  Setting() {
    originalTmp = fs::temp_directory_path();
    exeFolder = executableFolder();
    root = originalTmp / ("velmora-fuzz-session-" + std::to_string(::getpid()));
    tmp = root / "tmp";
    cwd = root / "cwd";
    run = root / "run";
    fs::create_directories(tmp);
    fs::create_directories(cwd);
    // Temporary files of the program go to a folder of this run, and relative paths of
    // the process to an empty folder, so both can be watched.
    ::setenv("TMPDIR", tmp.c_str(), 1);
    fs::current_path(cwd);
    originalTmpNames = namesIn(originalTmp);
    originalTmpNames.erase(root.filename());
    exeFolderNames = namesIn(exeFolder);
    const fs::path src = VELMORA_SOURCE_DIR;
    for (const fs::path& dir : {src / "examples", src / "tests/e2e/fixtures", src / "tests/capture/fixtures",
                                src / "tests/sim/fixtures", fs::path(VELMORA_SHARED_DIR) / "samples"}) {
      std::error_code ec;
      for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file() || it->path().extension() == ".py") continue;
        std::ifstream in(it->path(), std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        files[it->path().filename()] = s.str();
      }
    }
    for (const auto& kind : {fuzz::beyondLimitWorkbooks(), fuzz::beyondLimitDesigns()})
      for (const fuzz::NamedBytes& f : kind) files[f.name] = f.bytes;
    static const fs::path* made = new fs::path(root);
    std::atexit([] {
      std::error_code ec;
      fs::current_path(made->parent_path(), ec);
      fs::remove_all(*made, ec);
    });
  }
  static Setting& setting();

  // The run folder as a fresh one: the sample files as they were, nothing else. What the
  // last run left as it was stays, since making every file anew costs more than most runs.
  void resetRun() const {
    std::error_code ec;
    if (!fs::is_directory(fs::symlink_status(run, ec))) {
      fs::remove_all(run, ec);
      fs::create_directories(run);
    }
    std::set<std::string> intact;
    for (const std::string& name : namesIn(run)) {
      const fs::path p = run / name;
      auto sample = files.find(name);
      if (sample != files.end() && holds(p, sample->second)) {
        intact.insert(name);
        continue;
      }
      fs::remove_all(p, ec);
      if (ec) fuzz::broken("the run folder can be emptied", p.string() + ": " + ec.message());
    }
    for (const auto& [name, bytes] : files)
      if (!intact.count(name)) fuzz::writeFile(run / name, bytes);
  }

 private:
  // Whether the file is a plain file of these bytes.
  static bool holds(const fs::path& p, const std::string& bytes) {
    struct stat st{};
    if (::lstat(p.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || static_cast<size_t>(st.st_size) != bytes.size())
      return false;
    const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    static std::string got;
    got.resize(bytes.size());
    size_t at = 0;
    while (at < got.size()) {
      const ssize_t n = ::read(fd, got.data() + at, got.size() - at);
      if (n <= 0) break;
      at += static_cast<size_t>(n);
    }
    ::close(fd);
    return at == bytes.size() && got == bytes;
  }
};

Setting& Setting::setting() {
  static Setting s;
  return s;
}

// The session line with every word after the verb cut to its last path part (".." made
// harmless), so no path leaves the session's folder; expect lines name no files and stay.
std::string confined(const std::string& line) {
  std::vector<std::string> words;
  try {
    words = app::sessionWords(line);
  } catch (const std::runtime_error&) {
    // A line the player refuses: kept when it names no other folder, to reach that refusal.
    bool path = line.find_first_of("/\\") != std::string::npos || line.find("..") != std::string::npos;
    return path ? std::string() : line;
  }
  // What the words are quoted again splits into the same words.
  std::string again;
  for (const auto& w : words) again += (again.empty() ? "" : " ") + quotedWord(w);
  FUZZ_CHECK(app::sessionWords(again) == words, line);
  if (words.empty() || words[0] == "expect" || words[0][0] == '#') return line;
  std::string out = words[0];
  for (size_t k = 1; k < words.size(); ++k) {
    std::string w = words[k];
    size_t cut = w.find_last_of("/\\");
    if (cut != std::string::npos) w = w.substr(cut + 1);
    if (w == "..") w = "dotdot";
    out += " " + quotedWord(w);
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Setting& s = Setting::setting();
  s.resetRun();

  // Report files go to the session's folder, not the program's.
  std::string session = "folder .\n";
  std::istringstream in(fuzz::bytes(data, size));
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    session += confined(line) + "\n";
  }
  const fs::path sessionFile = s.run / "fuzz.session";
  fuzz::writeFile(sessionFile, session);
  std::ostringstream out, err;
  const int code = app::playSession(sessionFile.string(), (s.run / "out").string(), out, err);
  FUZZ_CHECK(code == 0 || code == 1, std::to_string(code));
  FUZZ_CHECK(code == 0 || !err.str().empty(), "a failing run says why");

  std::set<std::string> rootNames = namesIn(s.root);
  FUZZ_CHECK(rootNames == (std::set<std::string>{"cwd", "run", "tmp"}), "beside the session folder:" + listed(rootNames));
  FUZZ_CHECK(namesIn(s.tmp).empty(), "in the temporary folder:" + listed(namesIn(s.tmp)));
  FUZZ_CHECK(namesIn(s.cwd).empty(), "in the working folder:" + listed(namesIn(s.cwd)));
  std::set<std::string> tmpNames = namesIn(s.originalTmp);
  tmpNames.erase(s.root.filename());
  FUZZ_CHECK(tmpNames == s.originalTmpNames, "in " + s.originalTmp.string() + ":" + listed(tmpNames));
  FUZZ_CHECK(namesIn(s.exeFolder) == s.exeFolderNames, "in the program's folder:" + listed(namesIn(s.exeFolder)));
  return 0;
}
