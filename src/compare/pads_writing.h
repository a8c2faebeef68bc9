#pragma once
// Reaching the running PADS programs and writing part attributes.
#include <string>

#include "platform/pads.h"
#include "platform/programs.h"

namespace compare {

// PADS Layout's identifier as the toolbar's commands write it (the program is the same).
inline constexpr const char* kToolbarLayoutProgId = "Powerpcb.Application";

// AttachRunningPads: the running instance; error 429 when none runs. Never starts one.
platform::pads::AppPtr attachRunningPads(platform::Programs& programs, const std::string& progId);

// SetPartAttribute: the part of that designator is selected (and stays so), its attribute
// deleted and added again with the value. Each step fails on its own without stopping the
// next (a part without the attribute gets it); a designator that names no part changes
// nothing. Nothing is read or compared first. When the program refuses the new value
// after the delete, the old value is put back, so a part never loses its attribute.
// True when the new value was added.
bool setPartAttribute(platform::pads::Design& design, const std::string& designator, const std::string& name,
                      const std::string& value);
bool setPartValue(platform::pads::Design& design, const std::string& designator, const std::string& value);

// Unselect: every selected part of PADS Layout deselected and its layers "Top" and
// "Bottom" shown, then every selected part of PADS Logic deselected; each step skipped
// on failure.
void unselectAll(platform::Programs& programs);

}  // namespace compare
