// A whole medium read by the checker: the input describes files, folders,
// links (loops, targets off the medium, dangling), FIFOs, command files and
// odd names, which are made in a fresh folder; the checker reads it as the
// launcher would. It must never throw, hang or leave the medium, and its
// report must hold together: a status of 0, 1 or 2, problems sorted, every
// problem's file on the medium drive.
//
// Input: entries, each a kind byte, a name byte and (for files) a length
// byte followed by that many bytes of content.
#include <sys/stat.h>

#include <QApplication>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/MainWindow.h"
#include "app/MediumCheck.h"
#include "platform/Paths.h"
#include "platform/ui/Application.h"

namespace {

namespace fs = std::filesystem;

// Names a medium meets: the launcher's own, other cases, Cyrillic in UTF-8
// and in Windows-1251, folders, and names a link leads to.
constexpr std::array<const char*, 24> kNames = {
    "HTML/soft.htm",     "HTML/SOFT.HTM",  "HTML/internet.htm", "HTML/tutor.htm",
    "HTML/products.htm", "HTML/help.htm",  "HTML/a.htm",        "HTML/Справка.htm",
    "HTML/\xD1\xEF.htm", "HTML/sub/b.htm", "HTML/title.bmp",    "HTML/p.gif",
    "HTML/p.jpg",        "HTML/p.png",     "HTML/install.dat",  "HTML/serial.dat",
    "HTML/loop.htm",     "SETUP/x.sh",     "HTML/sub",          "SETUP",
    "A/page.htm",        "B/page.htm",     "HTML/Help.htm",     "HTML/map.bmp"};

// Where links lead: themselves, off the medium, above the root, nowhere,
// and other names of the medium.
constexpr std::array<const char*, 8> kTargets = {
    "loop.htm", "/etc/hostname", "../..", "nowhere.htm", "soft.htm", "../SETUP", "sub", "."};

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "medium check invariant broken: %s\n", what);
  std::abort();
}

fs::path& MediumFolder() {
  static fs::path folder;
  return folder;
}

app::TForm1& Form() {
  static app::TForm1* const form = new app::TForm1(app::BuiltInLayout());
  return *form;
}

// Makes the medium the input describes below `root`.
void MakeMedium(const fs::path& root, const uint8_t* data, size_t size) {
  std::error_code error;
  fs::create_directories(root / "HTML", error);
  size_t at = 0;
  for (int entries = 0; entries < 24 && size - at >= 2; ++entries) {
    const uint8_t kind = data[at] % 6;
    const fs::path name = root / kNames[data[at + 1] % kNames.size()];
    at += 2;
    fs::create_directories(name.parent_path(), error);
    // What an earlier entry made there goes first: writing into a FIFO
    // would wait for a reader.
    if (kind != 4) fs::remove_all(name, error);
    switch (kind) {
      case 0:
      case 1: {  // a file: a page, a picture, a command file
        const size_t length = at < size ? std::min<size_t>(data[at] * 4, size - at - 1) : 0;
        if (at < size) ++at;
        std::ofstream(name, std::ios::binary)
            .write(reinterpret_cast<const char*>(data + at), static_cast<std::streamsize>(length));
        at += length;
        break;
      }
      case 2:  // a link
        if (at < size) fs::create_symlink(kTargets[data[at++] % kTargets.size()], name, error);
        break;
      case 3:
        mkfifo(name.c_str(), 0600);
        break;
      case 4:
        fs::create_directories(name, error);
        break;
      case 5:  // HTML itself replaced by a file
        fs::remove_all(root / "HTML", error);
        std::ofstream(root / "HTML") << "not a folder";
        break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "fuzz_medium";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
  char folder[] = "/tmp/fuzz-medium-XXXXXX";
  Require(mkdtemp(folder) != nullptr, "a folder for the media");
  MediumFolder() = folder;
  platform::TApplication::Instance().SetMessageBox(
      std::make_unique<platform::CapturingMessageBox>());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fs::path root = MediumFolder() / "medium";
  std::error_code error;
  fs::remove_all(root, error);
  fs::create_directories(root, error);
  MakeMedium(root, data, size);

  platform::SetMediumRoot(root);
  const app::TCheckReport report = app::CheckMedium(Form());
  std::FILE* out = std::fopen("/dev/null", "w");
  const int status = app::WriteCheckReport(report, "M", out);
  std::fclose(out);

  Require(status >= 0 && status <= 2, "a status of 0, 1 or 2");
  Require((status == 2) == report.Unreadable, "status 2 only for a medium that cannot be read");
  Require((status == 0) == (!report.Unreadable && report.Problems.empty()),
          "status 0 only without problems");
  for (size_t i = 0; i < report.Problems.size(); ++i) {
    const app::TProblem& problem = report.Problems[i];
    Require(problem.File.rfind(std::string(platform::kMediumDrive) + "\\", 0) == 0,
            "every problem is named on the medium drive");
    Require(problem.Line >= 0, "lines count from 1 (0: the file)");
    if (i > 0) {
      const app::TProblem& before = report.Problems[i - 1];
      Require(before.File < problem.File ||
                  (before.File == problem.File && before.Line <= problem.Line),
              "problems sorted by file and line");
    }
  }
  fs::remove_all(root, error);
  return 0;
}
