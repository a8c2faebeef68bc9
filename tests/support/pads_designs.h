#pragma once
// A PADS program of the simulated world running with a design written for the test.
#include <memory>
#include <string>

#include "sim/sim_programs.h"
#include "support/scratch_dir.h"

namespace testing_support {

// The program runs with the design (JSON text) open; the opening is no call of the test's.
inline std::shared_ptr<sim::SimPads> runDesign(sim::World& world, const ScratchDir& dir, const std::string& progId,
                                               const std::string& json) {
  auto p = world.programs.runPads(progId);
  p->openDocument(dir.write(progId + ".json", json));
  p->takeLog();
  return p;
}

}  // namespace testing_support
