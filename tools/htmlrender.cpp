// The page tool: runs a page through the same document code the viewer
// uses, without a window.
//
//   htmlrender [options] FILE OUT.png    the whole laid-out page as a picture
//   htmlrender --dump [options] FILE     the laid-out document as text
//   htmlrender --tokens FILE             one line per scanner symbol
//   htmlrender --help | --version
//
// Options: --width N, --charset N, --font NAME, --pre-font NAME, --size PT.
// Status: 0 done; 1 the page could not be drawn or written, or its comment
// was left open (--tokens); 2 a usage error or a page that cannot be read.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include <QWidget>
#include <memory>

#include "LauncherVersion.h"
#include "parser/Scanner.h"
#include "platform/ui/WidgetControls.h"
#include "platform/Paths.h"
#include "tools/PageRender.h"
#include "tools/TokenDump.h"

namespace {

constexpr int kUsageError = 2;
constexpr int kFailure = 1;

// A page larger than this is not read; far beyond any page on a medium.
constexpr size_t kMaxPageBytes = size_t{256} << 20;

constexpr const char* kUsage =
    "usage: htmlrender [options] FILE OUT.png\n"
    "       htmlrender --dump [options] FILE\n"
    "       htmlrender --tokens FILE\n"
    "       htmlrender --help | --version\n"
    "options: --width N (1-30000) --charset N (0-255) --font NAME --pre-font NAME\n"
    "         --size PT (1-1000) --frame N (1-256: animated pictures at frame N)\n";

int Usage() {
  std::fputs(kUsage, stderr);
  return kUsageError;
}

// The page, read once and whole: the document code reading the file itself
// would take an unreadable one for an empty page.
std::optional<std::string> ReadPage(const std::string& file) {
  std::error_code code;
  if (!std::filesystem::exists(file, code)) {
    std::fprintf(stderr, "Can't locate file: %s\n", file.c_str());
    return std::nullopt;
  }
  platform::TReadError error;
  std::optional<std::string> page = platform::ReadHostFile(file, kMaxPageBytes, &error);
  if (!page)
    std::fprintf(stderr, "htmlrender: cannot read %s: %s\n", file.c_str(), error.Reason.c_str());
  return page;
}

int Tokens(const std::string& file) {
  const std::optional<std::string> page = ReadPage(file);
  if (!page) return kUsageError;
  parser::THtmlScanner scanner;
  scanner.Source().OpenMemory(page->data(), page->size());
  std::ios::sync_with_stdio(false);
  return tools::DumpTokens(scanner, std::cout) ? 0 : kFailure;
}

struct NumberOption {
  const char* name;
  int* value;
  int low, high;
};

// Reads an option's whole-number value; a message names the option when
// the value is not a number in its range.
bool ParseNumber(const NumberOption& option, const std::string& text) {
  char* end = nullptr;
  errno = 0;
  const long n = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end || errno == ERANGE || n < option.low || n > option.high) {
    std::fprintf(stderr, "htmlrender: %s takes a whole number from %d to %d, not \"%s\"\n",
                 option.name, option.low, option.high, text.c_str());
    return false;
  }
  *option.value = static_cast<int>(n);
  return true;
}

int Run(const std::vector<std::string>& args) {
  for (const std::string& a : args) {
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (a == "--version") {
      std::puts("htmlrender " LAUNCHER_VERSION);
      return 0;
    }
  }
  if (args.size() == 2 && args[0] == "--tokens") return Tokens(args[1]);

  tools::PageSettings settings;
  const NumberOption numbers[] = {{"--width", &settings.Width, 1, 30000},
                                  {"--charset", &settings.CharSet, 0, 255},
                                  {"--size", &settings.Size, 1, 1000},
                                  {"--frame", &settings.Frame, 1, 256}};
  bool dump = false;
  std::vector<std::string> files;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    const NumberOption* number = nullptr;
    for (const NumberOption& n : numbers)
      if (a == n.name) number = &n;
    if (a == "--dump") {
      dump = true;
    } else if ((number || a == "--font" || a == "--pre-font") && !hasValue) {
      std::fprintf(stderr, "htmlrender: %s needs a value\n", a.c_str());
      return Usage();
    } else if (number) {
      if (!ParseNumber(*number, args[++i])) return kUsageError;
    } else if (a == "--font") {
      settings.FontName = args[++i];
    } else if (a == "--pre-font") {
      settings.PreFontName = args[++i];
    } else if (!a.empty() && a[0] == '-') {
      std::fprintf(stderr, "htmlrender: unknown option %s\n", a.c_str());
      return Usage();
    } else {
      files.push_back(a);
    }
  }
  if (files.size() != (dump ? 1u : 2u)) return Usage();
  const std::optional<std::string> html = ReadPage(files[0]);
  if (!html) return kUsageError;

  // Form controls are drawn by the window system's own code, on a surface
  // that is never shown.
  std::unique_ptr<QWidget> surface;
  std::unique_ptr<platform::TWidgetControlParent> controls;
  if (!dump) {
    platform::EnsureWidgetApplication();
    surface = std::make_unique<QWidget>();
    controls = std::make_unique<platform::TWidgetControlParent>(surface.get());
    settings.Controls = controls.get();
    settings.PaintControls = [&controls](platform::Bitmap& picture, int dx, int dy) {
      controls->PaintControls(picture, dx, dy);
    };
  }
  // Pictures are found next to the page, as the launcher finds them.
  tools::UsePageFolder(files[0]);
  // Read as a file is read: an open comment ends the page quietly.
  tools::LaidOutPage page = tools::LayOutHtml(*html, settings);
  if (dump) {
    std::ios::sync_with_stdio(false);
    tools::DumpDocument(page, std::cout);
    return 0;
  }
  std::string error;
  if (!tools::WritePagePng(page, settings, files[1], error)) {
    std::fprintf(stderr, "htmlrender: cannot write %s: %s\n", files[1].c_str(), error.c_str());
    return kFailure;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Whatever goes wrong, the tool says so and ends with a status.
  try {
    return Run(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "htmlrender: %s\n", error.what());
  } catch (...) {
    std::fprintf(stderr, "htmlrender: unexpected error\n");
  }
  return kFailure;
}
