#pragma once
// What the objects of every served program share: the error of a call on an object whose
// program is no longer served, and how an argument reads as a Boolean.
#include "platform/win/automation_values.h"

namespace sim::win {

// The error of a call on an object whose program is no longer served: the error of a
// disconnected object, as a client of a program that has gone gets it.
[[noreturn]] void raiseDisconnected();

using platform::win::truthOf;

}  // namespace sim::win
