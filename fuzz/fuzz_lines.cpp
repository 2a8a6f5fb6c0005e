// The command files of a medium are untrusted text.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/TextLines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  size_t total = 0;
  for (const std::string& line : platform::SplitLines(text)) total += line.size();
  if (total > size) std::abort();
  return 0;
}
