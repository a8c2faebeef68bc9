#pragma once
// The files of this machine, with the write faults a test or session sets.
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

}  // namespace sim
