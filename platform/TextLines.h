#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The longest line a list keeps; the rest of a longer line is dropped.
constexpr size_t kMaxLineLength = 4095;

// Splits text into lines as a string list loads a file: a line ends at CR LF,
// a lone CR or a lone LF; a final line end adds no empty line; empty lines
// in between stay; nothing is trimmed; a NUL byte ends the text; a line
// keeps its first kMaxLineLength characters.
std::vector<std::string> SplitLines(std::string_view text);

// The largest list file read (the launcher's install.dat and serial.dat
// hold a few lines each).
constexpr size_t kMaxLineFileBytes = size_t{1} << 20;

// The lines of a file named by a Windows path; EFOpenError
// ("Cannot open file " + path) when it cannot be read, EInOutError
// ("File too large: " + path + " (more than N bytes)") beyond maxBytes.
std::vector<std::string> LoadLinesFromFile(std::string_view windowsPath,
                                           size_t maxBytes = kMaxLineFileBytes);

}  // namespace platform
