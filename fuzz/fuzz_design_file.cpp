// The design-file reader on any text: a design or a FileError naming the file, never a
// crash; the text formatDesign writes for a design reads back as the same design.
#include <cstdint>
#include <string>

#include "formats/design_file.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = fuzz::bytes(data, size);
  formats::DesignData design;
  try {
    design = formats::parseDesign(text, "fuzz.pcb");
  } catch (const formats::FileError& e) {
    FUZZ_CHECK(e.kind() == formats::FileError::Kind::Malformed, e.what());
    FUZZ_CHECK(std::string(e.what()).find("fuzz.pcb") != std::string::npos, e.what());
    return 0;
  }
  const std::string written = formats::formatDesign(design);
  formats::DesignData back;
  try {
    back = formats::parseDesign(written, "fuzz.pcb");
  } catch (const formats::FileError& e) {
    fuzz::broken("a written design reads back", std::string(e.what()) + "\n" + written);
  }
  FUZZ_CHECK(back == design, written);
  FUZZ_CHECK(formats::formatDesign(back) == written, written);
  return 0;
}
