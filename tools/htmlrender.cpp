// The page tool: runs a page through the same document code the viewer
// uses, without a window.
//
//   htmlrender --tokens FILE     one line per scanner symbol

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

#include "parser/Scanner.h"
#include "tools/TokenDump.h"

namespace {

int Usage() {
  std::fprintf(stderr, "usage: htmlrender --tokens FILE\n");
  return 2;
}

int Tokens(const std::string& file) {
  parser::THtmlScanner scanner;
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error) || !scanner.Source().OpenFile(file)) {
    std::fprintf(stderr, "Can't locate file: %s\n", file.c_str());
    return 2;
  }
  std::ios::sync_with_stdio(false);
  return tools::DumpTokens(scanner, std::cout) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--tokens") return Tokens(argv[2]);
  return Usage();
}
