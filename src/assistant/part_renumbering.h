#pragma once
// The renumbering of the parts selected in PADS Logic: each gets a prefix and a running
// number that starts again whenever the prefix changes, and the report "temp.txt" lists
// what changed.
#include <string>

#include "platform/pads.h"
#include "platform/services.h"

namespace assistant {

// The name without its trailing digits: "R12" → "R", "U1A" → "U1A", "12" → "".
std::string namePrefix(const std::string& name);

struct RenumberResult {
  int renamed = 0;        // parts that got their new designator
  std::string failure;    // why the run stopped early; empty when it went through
};

// ChangePartNumbers: renumbers the selected parts of the design, in the design's order,
// with `prefix` (or each part's own prefix when it is empty) from `start`, the start
// box's text (its first designator of each prefix carries that text as typed). Writes the
// report into the program folder and opens it in Notepad when a part was renamed. A
// report that cannot be created stops the run before any rename.
RenumberResult changePartNumbers(platform::Services& services, platform::pads::Design& design,
                                 const std::string& prefix, const std::string& start);

}  // namespace assistant
