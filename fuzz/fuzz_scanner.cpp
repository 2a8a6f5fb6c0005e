// The scanner reads untrusted bytes: as a memory block, as a file, with an
// include hook that hands back arbitrary buffers, and through the raw
// script and text-area readers. Input layout: one byte of mode bits, two
// bytes of split point, then the document and, after the split, the bytes
// the include hook returns. Ordinary scans are read twice, with and without
// the fast paths, and must agree symbol for symbol.
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

struct Input {
  uint8_t mode;
  std::string document;
  std::string included;
};

// Every symbol with what it carries, as one string.
std::string Trace(const Input& input, bool fast) {
  parser::THtmlScanner scanner;
  scanner.UseFastPaths = fast;
  if (input.mode & 1) {
    std::FILE* file = std::fopen(TempFile().c_str(), "wb");
    if (!file) return {};
    std::fwrite(input.document.data(), 1, input.document.size(), file);
    std::fclose(file);
    if (!scanner.Source().OpenFile(TempFile())) return {};
  } else {
    scanner.Source().OpenMemory(input.document.data(), input.document.size());
  }
  if (input.mode & 2) {
    scanner.IncludeHook = [&](const std::string&, std::vector<std::string>, const char*& buffer,
                              int& bufferSize) {
      buffer = input.included.data();
      bufferSize = static_cast<int>(input.included.size());
    };
  }
  scanner.InPre = input.mode & 4;
  scanner.InScript = input.mode & 8;
  std::string trace;
  try {
    scanner.NextChar();
    for (;;) {
      if (input.mode & 16)
        scanner.NextScriptSymbol();
      else if (input.mode & 32)
        scanner.NextTextAreaSymbol();
      else
        scanner.NextSymbol();
      if (scanner.Token.size() > parser::THtmlScanner::kMaxToken) std::abort();
      trace += std::to_string(scanner.CurrentSymbol) + ":" + std::to_string(scanner.HeadingLevel) +
               ":" + scanner.Token;
      if (parser::IsStartTag(scanner.CurrentSymbol) &&
          parser::KeepsAttributes(scanner.CurrentSymbol))
        for (const auto& a : scanner.Attributes)
          trace += "[" + std::to_string(a->Symbol) + "," + std::to_string(a->IntValue) + "," +
                   a->StrValue + "]";
      trace += '\n';
      if (scanner.CurrentSymbol == parser::EofSymbol) break;
    }
  } catch (const parser::EParseError& error) {
    trace += "error";
  }
  return trace;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  Input input;
  input.mode = data[0];
  size_t split = static_cast<size_t>(data[1]) | (static_cast<size_t>(data[2]) << 8);
  const std::string rest(reinterpret_cast<const char*>(data + 3), size - 3);
  if (split > rest.size()) split = rest.size();
  input.document = rest.substr(0, split);
  input.included = rest.substr(split);

  const std::string fast = Trace(input, true);
  if (!(input.mode & (16 | 32)) && Trace(input, false) != fast) std::abort();
  return 0;
}
