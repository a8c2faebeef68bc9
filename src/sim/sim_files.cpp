#include "sim/sim_files.h"

#include "vb/error.h"

namespace sim {

void SimFiles::write(const std::string& path, const std::string& bytes) {
  if (faults_.writeFails(platform::localPath(path))) vb::raise(vb::kPathAccess);
  platform::Files::write(path, bytes);
}

void raiseFileError(const formats::FileError& e) {
  using Kind = formats::FileError::Kind;
  switch (e.kind()) {
    case Kind::Missing: vb::raise(vb::kFileNotFound);
    case Kind::Inaccessible:
    case Kind::Unwritable: vb::raise(vb::kPathAccess, e.what());
    case Kind::Malformed: break;
  }
  vb::raise(vb::kAppDefined, e.what());
}

}  // namespace sim
