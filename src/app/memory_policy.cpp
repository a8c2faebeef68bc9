#include "app/memory_policy.h"

#include <cstdlib>  // defines __GLIBC__ with the GNU C library
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace app {

void keepFreedMemory() {
#if defined(__GLIBC__)
  constexpr int kLargestHeapBlock = 32 << 20, kFreeTopKept = 256 << 20;
  mallopt(M_MMAP_THRESHOLD, kLargestHeapBlock);
  mallopt(M_TRIM_THRESHOLD, kFreeTopKept);
#endif
}

}  // namespace app
