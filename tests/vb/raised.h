#pragma once
// The number of the runtime error a call raises, 0 when it raises none.
#include "vb/error.h"

namespace vbtest {

template <class F>
int raised(F&& f) {
  try {
    f();
  } catch (const vb::Error& e) {
    return e.number();
  }
  return 0;
}

}  // namespace vbtest
