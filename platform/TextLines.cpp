#include "platform/TextLines.h"

#include <algorithm>

#include "platform/Exceptions.h"
#include "platform/Paths.h"

namespace platform {

std::vector<std::string> SplitLines(std::string_view text) {
  const size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, std::min(i - start, kMaxLineLength)));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start, kMaxLineLength));
  return lines;
}

std::vector<std::string> LoadLinesFromFile(std::string_view windowsPath, size_t maxBytes) {
  TReadError error;
  const std::optional<std::string> content = ReadWholeFile(windowsPath, maxBytes, &error);
  if (!content && error.TooLarge)
    throw EInOutError("File too large: " + std::string(windowsPath) + " (more than " +
                      std::to_string(maxBytes) + " bytes)");
  if (!content) throw EFOpenError(std::string(windowsPath));
  return SplitLines(*content);
}

}  // namespace platform
