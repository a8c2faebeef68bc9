#include "sim/win/served_calls.h"

#include <windows.h>

#include "vb/error.h"

namespace sim::win {

void raiseDisconnected() {
  vb::raise(static_cast<int>(RPC_E_DISCONNECTED), "The object invoked has disconnected from its clients.");
}

}  // namespace sim::win
