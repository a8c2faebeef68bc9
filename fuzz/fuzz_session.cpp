// The session player on any text. Each line is split into words by sessionWords, which
// must give words that, quoted again, split the same way. Then the lines are played as a
// session in a fresh folder holding the project's sample files, with every path word cut
// to its last part, so every file the session names lies in that folder. Nothing may
// appear anywhere else: not beside the session folder, not in the temporary folder, not
// in the folder of this program (the program's default report folder).
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/session.h"
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

std::set<std::string> namesIn(const fs::path& dir) {
  std::set<std::string> out;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) out.insert(it->path().filename());
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
    static const fs::path* made = new fs::path(root);
    std::atexit([] {
      std::error_code ec;
      fs::current_path(made->parent_path(), ec);
      fs::remove_all(*made, ec);
    });
  }
  static Setting& setting();
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
  std::error_code ec;
  fs::remove_all(s.run, ec);
  fs::create_directories(s.run);
  for (const auto& [name, bytes] : s.files) fuzz::writeFile(s.run / name, bytes);

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
