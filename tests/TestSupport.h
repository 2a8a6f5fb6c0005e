#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <string_view>

namespace testing_support {

// The shared test material of other projects, when this checkout has it
// (LAUNCHER_TESTDATA overrides where it is looked for).
inline std::optional<std::filesystem::path> SharedTestData(const std::string& folder) {
  const char* root = std::getenv("LAUNCHER_TESTDATA");
  if (!root) root = LAUNCHER_TESTDATA_DIR;
  const std::filesystem::path path = std::filesystem::path(root) / folder;
  if (!std::filesystem::is_directory(path)) return std::nullopt;
  return path;
}

inline std::filesystem::path SourceDir() {
  return LAUNCHER_SOURCE_DIR;
}

// A fresh folder that is removed again when the object goes.
class TempDir {
 public:
  TempDir() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("launcher-test-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
  }
  const std::filesystem::path& Path() const { return path_; }

  void Write(const std::filesystem::path& relative, std::string_view content) const {
    const std::filesystem::path full = path_ / relative;
    std::filesystem::create_directories(full.parent_path());
    std::ofstream(full, std::ios::binary)
        .write(content.data(), static_cast<std::streamsize>(content.size()));
  }

 private:
  std::filesystem::path path_;
};

}  // namespace testing_support
