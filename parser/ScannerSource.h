#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>

namespace parser {

// The bytes of one parse: a main source (a file read through a 2000-byte
// buffer, or a memory block) with at most one include buffer stacked on
// it. Past the end of the main source every read gives 26, the
// end-of-input character.
class ScannerSource {
 public:
  static constexpr uint8_t kEndOfInput = 26;
  static constexpr size_t kFileBufferSize = 2000;

  ScannerSource() = default;
  ScannerSource(const ScannerSource&) = delete;
  ScannerSource& operator=(const ScannerSource&) = delete;
  ~ScannerSource();

  void OpenMemory(const char* data, size_t size);
  // False when the file cannot be opened.
  bool OpenFile(const std::filesystem::path& path);

  // Reads `size` bytes from `data` next, then goes on with the source that
  // was active. The data must stay valid until the parse ends.
  void PushInclude(const char* data, size_t size);
  bool InInclude() const { return inInclude_; }

  uint8_t ReadByte() {
    if (pos_ < end_) return *pos_++;
    return Refill();
  }

  // The unread bytes of the current buffer (for fast scanning of text runs);
  // Skip gives back how many of them were taken.
  const uint8_t* Peek() const { return pos_; }
  const uint8_t* PeekEnd() const { return end_; }
  void Skip(size_t count) { pos_ += count; }
  // Whether the byte just read came from the current buffer: then it sits
  // right before Peek().
  bool LastByteIsInBuffer(uint8_t c) const { return pos_ > begin_ && pos_[-1] == c; }

 private:
  uint8_t Refill();
  void CloseFile();

  const uint8_t* begin_ = nullptr;
  const uint8_t* pos_ = nullptr;
  const uint8_t* end_ = nullptr;
  // The main source while an include buffer is read.
  const uint8_t* savedBegin_ = nullptr;
  const uint8_t* savedPos_ = nullptr;
  const uint8_t* savedEnd_ = nullptr;
  bool inInclude_ = false;
  std::FILE* file_ = nullptr;
  uint8_t buffer_[kFileBufferSize];
};

}  // namespace parser
