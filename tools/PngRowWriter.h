#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

struct png_struct_def;
struct png_info_def;

namespace tools {

// Writes an 8-bit RGB PNG one row at a time, so a picture of any height
// the format can hold costs one row of memory. Every step returns false on
// failure, with the reason in Error(); the file is then incomplete.
class PngRowWriter {
 public:
  // The format's limit for either side.
  static constexpr int64_t kMaxSide = 0x7FFFFFFF;

  PngRowWriter() = default;
  PngRowWriter(const PngRowWriter&) = delete;
  PngRowWriter& operator=(const PngRowWriter&) = delete;
  ~PngRowWriter();

  bool Open(const std::string& path, uint32_t width, uint32_t height);
  // `rgb` holds width pixels of three bytes: red, green, blue.
  bool WriteRow(const uint8_t* rgb);
  // Ends the picture and closes the file; false when any byte failed.
  bool Finish();
  const std::string& Error() const { return error_; }

 private:
  void Close();

  std::FILE* file_ = nullptr;
  png_struct_def* png_ = nullptr;
  png_info_def* info_ = nullptr;
  std::string error_;
};

}  // namespace tools
