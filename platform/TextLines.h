#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Splits text into lines as a string list loads a file: a line ends at CR LF,
// a lone CR or a lone LF; a final line end adds no empty line; empty lines
// in between stay; nothing is trimmed; a NUL byte ends the text.
std::vector<std::string> SplitLines(std::string_view text);

// The lines of a file named by a Windows path; EFOpenError
// ("Cannot open file " + path) when it cannot be read.
std::vector<std::string> LoadLinesFromFile(std::string_view windowsPath);

}  // namespace platform
