#include "AllocationTracker.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<int> gTracking{0};
std::atomic<size_t> gLargest{0};
}  // namespace

// The replaceable global allocation functions; the array and sized forms
// come back to these.
void* operator new(size_t size) {
  if (gTracking > 0) {
    size_t seen = gLargest;
    while (size > seen && !gLargest.compare_exchange_weak(seen, size)) {
    }
  }
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, size_t) noexcept {
  std::free(p);
}

namespace testing_support {

LargestAllocation::LargestAllocation() {
  gLargest = 0;
  ++gTracking;
}
LargestAllocation::~LargestAllocation() {
  --gTracking;
}
size_t LargestAllocation::Bytes() const {
  return gLargest;
}

}  // namespace testing_support
