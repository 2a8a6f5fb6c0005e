#include "tools/PngRowWriter.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstring>

namespace tools {

namespace {

// libpng reports errors by a long jump back into the call that failed; the
// message is kept for Error().
void OnError(png_structp png, png_const_charp message) {
  auto* error = static_cast<std::string*>(png_get_error_ptr(png));
  *error = message;
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

}  // namespace

PngRowWriter::~PngRowWriter() {
  Close();
}

void PngRowWriter::Close() {
  if (png_) png_destroy_write_struct(&png_, info_ ? &info_ : nullptr);
  png_ = nullptr;
  info_ = nullptr;
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

bool PngRowWriter::Open(const std::string& path, uint32_t width, uint32_t height) {
  Close();
  if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) {
    error_ = "a PNG holds 1 to 2147483647 pixels a side";
    return false;
  }
  file_ = std::fopen(path.c_str(), "wb");
  if (!file_) {
    error_ = std::strerror(errno);
    return false;
  }
  png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error_, OnError, OnWarning);
  if (png_) info_ = png_create_info_struct(png_);
  if (!png_ || !info_) {
    error_ = "out of memory";
    return false;
  }
  if (setjmp(png_jmpbuf(png_))) return false;
  // Lift libpng's default million-pixel cap to what the format holds: a
  // long page is taller than that.
  png_set_user_limits(png_, kMaxSide, kMaxSide);
  png_init_io(png_, file_);
  png_set_IHDR(png_, info_, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png_, info_);
  return true;
}

bool PngRowWriter::WriteRow(const uint8_t* rgb) {
  if (!png_) return false;
  if (setjmp(png_jmpbuf(png_))) return false;
  png_write_row(png_, rgb);
  return true;
}

bool PngRowWriter::Finish() {
  if (!png_) return false;
  if (setjmp(png_jmpbuf(png_))) return false;
  png_write_end(png_, info_);
  png_destroy_write_struct(&png_, &info_);
  png_ = nullptr;
  info_ = nullptr;
  const bool written = std::fflush(file_) == 0 && !std::ferror(file_);
  const int flushErrno = errno;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (!written || !closed) {
    error_ = std::strerror(written ? errno : flushErrno);
    return false;
  }
  return true;
}

}  // namespace tools
