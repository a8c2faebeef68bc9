#include "platform/files.h"

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "vb/error.h"

namespace platform {

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
  if (local.empty() || !std::filesystem::is_regular_file(local, ec)) vb::raise(vb::kFileNotFound);
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

std::optional<std::string> writeThroughTemporary(const std::string& localTarget,
                                                 const std::function<void(const std::string&)>& fill) {
  namespace fs = std::filesystem;
  // A hidden name of this process's own, so two writers of one file never share it.
  static std::atomic<unsigned> serial{0};
  const fs::path target(localTarget);
  const fs::path temp = target.parent_path() / ("." + target.filename().string() + ".tmp-" +
                                                std::to_string(::getpid()) + "-" + std::to_string(serial++));
  std::error_code ignored;
  try {
    fill(temp.string());
  } catch (...) {
    fs::remove(temp, ignored);
    throw;
  }
  std::error_code ec;
  fs::rename(temp, target, ec);
  if (!ec) return std::nullopt;
  fs::remove(temp, ignored);
  return ec.message();
}

void Files::write(const std::string& path, const std::string& bytes) {
  auto failed = writeThroughTemporary(localPath(path), [&](const std::string& temp) {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) vb::raise(vb::kPathAccess);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) vb::raise(vb::kPathAccess);
  });
  if (failed) vb::raise(vb::kPathAccess);
}

bool Files::exists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(localPath(path), ec);
}

void Files::remove(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::remove(localPath(path), ec)) vb::raise(vb::kFileNotFound);
}

std::vector<vb::AnsiLine> Files::readLines(const std::string& path) { return vb::splitAnsiLines(read(path)); }

void Files::writeLines(const std::string& path, const std::vector<vb::AnsiLine>& lines) {
  write(path, vb::joinAnsiLines(lines));
}

}  // namespace platform
