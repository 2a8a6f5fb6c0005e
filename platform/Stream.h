#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace platform {

// A byte stream as the framework's streaming uses it: reads return how many
// bytes actually arrived, so readers can tell a truncated value.
class TStream {
 public:
  virtual ~TStream() = default;
  virtual size_t Read(void* buffer, size_t count) = 0;
  virtual size_t Write(const void* buffer, size_t count) = 0;
};

// A stream over bytes in memory; reads start at the beginning.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::span<const uint8_t> bytes) : bytes_(bytes.begin(), bytes.end()) {}

  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;

  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  size_t Position() const { return position_; }

 private:
  std::vector<uint8_t> bytes_;
  size_t position_ = 0;
};

}  // namespace platform
