#pragma once
// The files of this machine, with the write faults a test or session sets, and the
// stand-ins' view of a file the formats cannot read or write.
#include "formats/file_error.h"
#include "platform/files.h"
#include "sim/faults.h"

namespace sim {

class SimFiles : public platform::Files {
 public:
  explicit SimFiles(Faults& faults) : faults_(faults) {}
  void write(const std::string& path, const std::string& bytes) override;

 private:
  Faults& faults_;
};

// The error a program reports for a file it cannot open or save: 53 for a missing file,
// 75 for one that cannot be read or written, 1004 for one that is no file of its kind;
// the description is the FileError's text.
[[noreturn]] void raiseFileError(const formats::FileError& e);

}  // namespace sim
