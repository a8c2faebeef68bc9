// Placeholder until the stand-in PADS programs are written.
#include "sim/sim_pads.h"

#include "vb/error.h"

namespace sim {
std::shared_ptr<SimPads> makeSimPads(const std::string&, Faults&, platform::Files&) { vb::raise(vb::kCannotCreate); }
}  // namespace sim
