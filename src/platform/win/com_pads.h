#pragma once
// The PADS interface over the real PADS programs (PowerLogic.Application,
// PowerPCB.Application, BlazeRouter.Application) driven through automation. Every member
// asks the program's own object model by name; collections are read by Count and Item,
// and the program's errors reach the caller with their numbers.
#include <memory>
#include <string>

#include "platform/pads.h"
#include "platform/win/automation.h"

namespace platform::win {

// The PADS interface over the program's Application object. The objects it hands out by
// pointer (parts, gates, labels, ...) stay valid as long as the application object does;
// none caches the program's state, so every member reads the design as it is now.
std::shared_ptr<platform::pads::Application> comPads(Automation application, std::string progId);

}  // namespace platform::win
