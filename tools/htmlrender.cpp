// The page tool: runs a page through the same document code the viewer
// uses, without a window.
//
//   htmlrender [options] FILE OUT.png    the whole laid-out page as a picture
//   htmlrender --dump [options] FILE     the laid-out document as text
//   htmlrender --tokens FILE             one line per scanner symbol
//
// Options: --width N, --charset N, --font NAME, --pre-font NAME, --size PT.

#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "parser/Scanner.h"
#include "platform/ui/QtBridge.h"
#include "tools/PageRender.h"
#include "tools/TokenDump.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: htmlrender [options] FILE OUT.png\n"
               "       htmlrender --dump [options] FILE\n"
               "       htmlrender --tokens FILE\n"
               "options: --width N --charset N --font NAME --pre-font NAME --size PT\n");
  return 2;
}

bool Exists(const std::string& file) {
  std::error_code error;
  if (std::filesystem::is_regular_file(file, error)) return true;
  std::fprintf(stderr, "Can't locate file: %s\n", file.c_str());
  return false;
}

int Tokens(const std::string& file) {
  parser::THtmlScanner scanner;
  if (!Exists(file) || !scanner.Source().OpenFile(file)) return 2;
  std::ios::sync_with_stdio(false);
  return tools::DumpTokens(scanner, std::cout) ? 0 : 1;
}

bool ParseNumber(const char* text, int& value) {
  char* end = nullptr;
  const long n = std::strtol(text, &end, 10);
  if (!end || *end || n < 0 || n > 100000) return false;
  value = static_cast<int>(n);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 2 && args[0] == "--tokens") return Tokens(args[1]);

  tools::PageSettings settings;
  bool dump = false;
  std::vector<std::string> files;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--dump") {
      dump = true;
    } else if (a == "--width" && hasValue) {
      if (!ParseNumber(args[++i].c_str(), settings.Width)) return Usage();
    } else if (a == "--charset" && hasValue) {
      if (!ParseNumber(args[++i].c_str(), settings.CharSet) || settings.CharSet > 255)
        return Usage();
    } else if (a == "--size" && hasValue) {
      if (!ParseNumber(args[++i].c_str(), settings.Size) || settings.Size < 1) return Usage();
    } else if (a == "--font" && hasValue) {
      settings.FontName = args[++i];
    } else if (a == "--pre-font" && hasValue) {
      settings.PreFontName = args[++i];
    } else if (!a.empty() && a[0] == '-') {
      return Usage();
    } else {
      files.push_back(a);
    }
  }
  if (files.size() != (dump ? 1u : 2u)) return Usage();
  if (!Exists(files[0])) return 2;

  tools::LaidOutPage page = tools::LayOutFile(files[0], settings);
  if (dump) {
    std::ios::sync_with_stdio(false);
    tools::DumpDocument(page, std::cout);
    return 0;
  }
  const QImage image = platform::ToQImage(tools::RenderPage(page, settings));
  if (!image.save(QString::fromStdString(files[1]), "PNG")) {
    std::fprintf(stderr, "htmlrender: cannot write %s\n", files[1].c_str());
    return 1;
  }
  return 0;
}
