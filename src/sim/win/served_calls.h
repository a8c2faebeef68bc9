#pragma once
// What the objects of every served program share: the error of a call on an object whose
// program is no longer served, and how an argument reads as a Boolean.
#include "vb/variant.h"

namespace sim::win {

// The error of a call on an object whose program is no longer served: the error of a
// disconnected object, as a client of a program that has gone gets it.
[[noreturn]] void raiseDisconnected();

// An argument read as a Boolean, as the programs read True, False and numbers.
bool truthOf(const vb::Variant& v);

}  // namespace sim::win
