#include "platform/Stream.h"

#include <algorithm>
#include <cstring>

namespace platform {

size_t TMemoryStream::Read(void* buffer, size_t count) {
  const size_t available = bytes_.size() - position_;
  const size_t n = std::min(count, available);
  if (n) std::memcpy(buffer, bytes_.data() + position_, n);
  position_ += n;
  return n;
}

size_t TMemoryStream::Write(const void* buffer, size_t count) {
  if (position_ + count > bytes_.size()) bytes_.resize(position_ + count);
  if (count) std::memcpy(bytes_.data() + position_, buffer, count);
  position_ += count;
  return count;
}

}  // namespace platform
