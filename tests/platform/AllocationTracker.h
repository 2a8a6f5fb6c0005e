#pragma once

#include <cstddef>

namespace testing_support {

// The largest single block asked of operator new between Start() and
// Stop(): a decoder refusing or shrinking a hostile picture must not have
// paid for what its header claimed first. (Blocks the C libraries take
// with malloc are not seen.)
class LargestAllocation {
 public:
  LargestAllocation();  // starts tracking
  ~LargestAllocation();
  LargestAllocation(const LargestAllocation&) = delete;
  LargestAllocation& operator=(const LargestAllocation&) = delete;
  size_t Bytes() const;
};

}  // namespace testing_support
