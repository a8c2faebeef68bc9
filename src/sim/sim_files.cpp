#include "sim/sim_files.h"

#include <filesystem>

#include "vb/error.h"

namespace sim {

void SimFiles::write(const std::string& path, const std::string& bytes) {
  std::error_code ec;
  std::string local = platform::localPath(path);
  auto abs = std::filesystem::weakly_canonical(std::filesystem::absolute(local, ec), ec).string();
  if (faults_.writeFails(local) || faults_.writeFails(abs)) vb::raise(vb::kPathAccess);
  platform::Files::write(path, bytes);
}

}  // namespace sim
