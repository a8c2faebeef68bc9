#include "platform/files.h"

#include <cstdlib>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/os_calls.h"
#include "vb/error.h"

namespace platform {

std::filesystem::path pathOf(std::string_view utf8) {
  return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string textOf(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string genericTextOf(const std::filesystem::path& path) {
  const std::u8string text = path.generic_u8string();
  return std::string(text.begin(), text.end());
}

std::string localPath(const std::string& path) {
  std::string p = path;
  for (char& c : p)
    if (c == '\\') c = '/';
  return p;
}

std::string joinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) return folder + name;
  return folder + "\\" + name;
}

std::string baseName(const std::string& path) {
  size_t p = path.find_last_of("\\/");
  return p == std::string::npos ? path : path.substr(p + 1);
}

std::string Files::read(const std::string& path) {
  std::string local = localPath(path);
  std::error_code ec;
  if (local.empty() || !std::filesystem::is_regular_file(pathOf(local), ec)) vb::raise(vb::kFileNotFound);
  std::ifstream in(local, std::ios::binary | std::ios::ate);
  if (!in) vb::raise(vb::kPermissionDenied);  // there, but not to be read by this user
  std::streamoff size = in.tellg();
  if (size < 0) vb::raise(vb::kPathAccess);
  std::string bytes(static_cast<size_t>(size), '\0');
  in.seekg(0);
  in.read(bytes.data(), size);
  if (in.gcount() != size) vb::raise(vb::kPathAccess);
  return bytes;
}

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kTemporaryMark = ".tmp-";

// The temporary files of earlier writes of the target whose process no longer runs (a
// write that was killed): they are removed, so they do not pile up beside the file.
void removeStaleTemporaries(const fs::path& target) {
  const std::string prefix = "." + textOf(target.filename()) + std::string(kTemporaryMark);
  std::error_code ec;
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = textOf(it->path().filename());
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
    // A write of this process, or of one that still runs, may be going on.
    if (pid == currentProcessId() || (pid > 0 && processMayRun(pid))) continue;
    std::error_code ignored;
    fs::remove(it->path(), ignored);
  }
}

}  // namespace

std::optional<std::string> writeThroughTemporary(const std::string& localTarget,
                                                 const std::function<void(const std::string&)>& fill) {
  // A hidden name of this process's own, so two writers of one file never share it.
  static std::atomic<unsigned> serial{0};
  const fs::path target = pathOf(localTarget);
  removeStaleTemporaries(target);
  const fs::path temp = target.parent_path() / pathOf("." + textOf(target.filename()) + std::string(kTemporaryMark) +
                                                std::to_string(currentProcessId()) + "-" + std::to_string(serial++));
  std::error_code ignored;
  try {
    fill(textOf(temp));
  } catch (...) {
    fs::remove(temp, ignored);
    throw;
  }
  // The data is on the disk before the rename, so the file is never replaced by a
  // file a crash could leave empty.
  if (!syncFileToDisk(textOf(temp))) {
    fs::remove(temp, ignored);
    return "its data cannot be written to the disk";
  }
  std::error_code ec;
  fs::rename(temp, target, ec);
  if (!ec) return std::nullopt;
  fs::remove(temp, ignored);
  return ec.message();
}

std::optional<std::string> replaceFile(const std::string& localTarget, std::string_view bytes) {
  struct Failed {
    const char* problem;
  };
  try {
    return writeThroughTemporary(localTarget, [&](const std::string& temp) {
      std::ofstream out(temp, std::ios::binary | std::ios::trunc);
      if (!out) throw Failed{"it cannot be created"};
      out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
      out.flush();
      if (!out) throw Failed{"it cannot be written (is the disk full?)"};
    });
  } catch (const Failed& f) {
    return std::string(f.problem);
  }
}

void Files::write(const std::string& path, const std::string& bytes) {
  if (replaceFile(localPath(path), bytes)) vb::raise(vb::kPathAccess);
}

bool Files::exists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(pathOf(localPath(path)), ec);
}

void Files::remove(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::remove(pathOf(localPath(path)), ec)) vb::raise(vb::kFileNotFound);
}

std::vector<vb::AnsiLine> Files::readLines(const std::string& path) { return readText(path).lines; }

vb::LineTexts Files::readLineTexts(const std::string& path) { return vb::splitLineTexts(read(path)); }

vb::TextLines Files::readText(const std::string& path) { return vb::splitTextLines(read(path)); }

void Files::writeText(const std::string& path, const vb::TextLines& file) { write(path, vb::joinTextLines(file)); }

void Files::writeLines(const std::string& path, const std::vector<vb::AnsiLine>& lines) {
  write(path, vb::joinAnsiLines(lines));
}

}  // namespace platform
