#pragma once

#include <stdexcept>
#include <string>

namespace platform {

// The framework's exception kinds. Messages are bytes in the ANSI code page.
class EFOpenError : public std::runtime_error {
 public:
  explicit EFOpenError(const std::string& fileName)
      : std::runtime_error("Cannot open file " + fileName) {}
};

class EInvalidGraphic : public std::runtime_error {
 public:
  EInvalidGraphic() : std::runtime_error("Bitmap image is not valid") {}
};

class EInOutError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// An index outside a list: "List index out of bounds (INDEX)".
class EStringListError : public std::runtime_error {
 public:
  explicit EStringListError(long long index)
      : std::runtime_error("List index out of bounds (" + std::to_string(index) + ")") {}
};

class EInvalidOperation : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace platform
