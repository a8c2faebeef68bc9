// The design-file reader on any text: a design or error 1004, never a crash; the text
// formatDesign writes for a design reads back as the same design.
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "sim/design_file.h"
#include "vb/error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = fuzz::bytes(data, size);
  sim::DesignData design;
  try {
    design = sim::parseDesign(text, "fuzz.pcb");
  } catch (const vb::Error& e) {
    FUZZ_CHECK(e.number() == vb::kAppDefined, std::to_string(e.number()) + " " + e.description());
    FUZZ_CHECK(e.description().find("fuzz.pcb") != std::string::npos, e.description());
    return 0;
  }
  const std::string written = sim::formatDesign(design);
  sim::DesignData back;
  try {
    back = sim::parseDesign(written, "fuzz.pcb");
  } catch (const vb::Error& e) {
    fuzz::broken("a written design reads back", e.description() + "\n" + written);
  }
  FUZZ_CHECK(back == design, written);
  FUZZ_CHECK(sim::formatDesign(back) == written, written);
  return 0;
}
