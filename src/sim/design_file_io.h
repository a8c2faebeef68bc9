#pragma once
// The PADS stand-in's design files on disk: read and written through a Files, so the
// write faults of a test or session apply. A missing file is error 53, a design file that
// cannot be read error 1004, a write that fails error 75; each description names the file.
// Without a Files, the files of this machine are used.
#include <string>

#include "formats/design_file.h"
#include "platform/files.h"

namespace sim {

formats::DesignData readDesignFile(platform::Files& files, const std::string& path);
void writeDesignFile(platform::Files& files, const formats::DesignData& design, const std::string& path);
formats::DesignData readDesignFile(const std::string& localPath);
void writeDesignFile(const formats::DesignData& design, const std::string& localPath);

}  // namespace sim
