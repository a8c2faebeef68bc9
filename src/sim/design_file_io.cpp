#include "sim/design_file_io.h"

#include "sim/sim_files.h"
#include "vb/error.h"

namespace sim {

namespace {

// The file layer's error again, its description naming the file.
[[noreturn]] void raiseNamingFile(const vb::Error& e, const std::string& path) {
  vb::raise(e.number(), vb::describe(e.number()) + ": \"" + path + "\"");
}

}  // namespace

formats::DesignData readDesignFile(platform::Files& files, const std::string& path) {
  std::string bytes;
  try {
    bytes = files.read(path);
  } catch (const vb::Error& e) {
    raiseNamingFile(e, path);
  }
  try {
    return formats::parseDesign(bytes, path);
  } catch (const formats::FileError& e) {
    raiseFileError(e);
  }
}

void writeDesignFile(platform::Files& files, const formats::DesignData& design, const std::string& path) {
  std::string text = formats::formatDesign(design);
  try {
    files.write(path, text);
  } catch (const vb::Error& e) {
    raiseNamingFile(e, path);
  }
}

formats::DesignData readDesignFile(const std::string& localPath) {
  platform::Files files;
  return readDesignFile(files, localPath);
}

void writeDesignFile(const formats::DesignData& design, const std::string& localPath) {
  platform::Files files;
  writeDesignFile(files, design, localPath);
}

}  // namespace sim
