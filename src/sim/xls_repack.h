#pragma once
// A work-around for libfreexl 1.0.6, which refuses a shared string table that holds
// an empty text (it takes the file for a crafted one), although Altium Designer and
// other tools write such tables. The workbook stream of the compound file is copied
// with each empty shared text written as one NUL character, which libfreexl reads as
// an empty text, into a new compound file that libfreexl can open.
#include <optional>
#include <string>

namespace sim::files {

// The bytes of the repacked compound file, or nothing when the file has no empty
// shared text or is not a compound file this code understands.
std::optional<std::string> repackEmptySharedStrings(const std::string& path);

}  // namespace sim::files
