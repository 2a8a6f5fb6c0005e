// The scanner reads untrusted bytes: as a memory block, as a file, with an
// include hook that hands back arbitrary buffers, and through the raw
// script and text-area readers. Input layout: one byte of mode bits, two
// bytes of split point, then the document and, after the split, the bytes
// the include hook returns.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "parser/Scanner.h"

namespace {

std::string TempFile() {
  static std::string path = [] {
    char name[] = "/tmp/fuzz-scanner-XXXXXX";
    const int fd = mkstemp(name);
    if (fd >= 0) close(fd);
    return std::string(name);
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const uint8_t mode = data[0];
  size_t split = static_cast<size_t>(data[1]) | (static_cast<size_t>(data[2]) << 8);
  const std::string input(reinterpret_cast<const char*>(data + 3), size - 3);
  if (split > input.size()) split = input.size();
  const std::string document = input.substr(0, split);
  const std::string included = input.substr(split);

  parser::THtmlScanner scanner;
  if (mode & 1) {
    std::FILE* file = std::fopen(TempFile().c_str(), "wb");
    if (!file) return 0;
    std::fwrite(document.data(), 1, document.size(), file);
    std::fclose(file);
    if (!scanner.Source().OpenFile(TempFile())) return 0;
  } else {
    scanner.Source().OpenMemory(document.data(), document.size());
  }
  if (mode & 2) {
    scanner.IncludeHook = [&](const std::string&, std::vector<std::string>, const char*& buffer,
                              int& bufferSize) {
      buffer = included.data();
      bufferSize = static_cast<int>(included.size());
    };
  }
  scanner.InPre = mode & 4;
  scanner.InScript = mode & 8;
  try {
    scanner.NextChar();
    for (;;) {
      // Mostly ordinary symbols, with stretches read by the raw readers.
      if (mode & 16)
        scanner.NextScriptSymbol();
      else if (mode & 32)
        scanner.NextTextAreaSymbol();
      else
        scanner.NextSymbol();
      if (scanner.Token.size() > parser::THtmlScanner::kMaxToken) std::abort();
      if (scanner.CurrentSymbol == parser::EofSymbol) break;
    }
  } catch (const parser::EParseError&) {
  }
  return 0;
}
