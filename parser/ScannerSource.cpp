#include "parser/ScannerSource.h"

#include "platform/Paths.h"

namespace parser {

ScannerSource::~ScannerSource() {
  CloseFile();
}

void ScannerSource::CloseFile() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

void ScannerSource::OpenMemory(const char* data, size_t size) {
  CloseFile();
  begin_ = pos_ = reinterpret_cast<const uint8_t*>(data);
  end_ = pos_ + (data ? size : 0);
  inInclude_ = false;
}

bool ScannerSource::OpenFile(const std::filesystem::path& path) {
  CloseFile();
  begin_ = pos_ = end_ = nullptr;
  inInclude_ = false;
  file_ = platform::OpenRegularFile(path);
  return file_ != nullptr;
}

void ScannerSource::PushInclude(const char* data, size_t size) {
  if (inInclude_ || !data || size == 0) return;
  savedBegin_ = begin_;
  savedPos_ = pos_;
  savedEnd_ = end_;
  begin_ = pos_ = reinterpret_cast<const uint8_t*>(data);
  end_ = pos_ + size;
  inInclude_ = true;
}

uint8_t ScannerSource::Refill() {
  if (inInclude_) {
    inInclude_ = false;
    begin_ = savedBegin_;
    pos_ = savedPos_;
    end_ = savedEnd_;
    return ReadByte();
  }
  if (file_) {
    const size_t n = std::fread(buffer_, 1, kFileBufferSize, file_);
    if (n > 0) {
      begin_ = pos_ = buffer_;
      end_ = buffer_ + n;
      return *pos_++;
    }
    CloseFile();
  }
  return kEndOfInput;
}

}  // namespace parser
