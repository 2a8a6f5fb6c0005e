// A whole medium made from a few bytes and read by the checker: pages with
// links, anchors, pictures, image maps and install and key links; the two
// command files; pictures that decode or do not; names in odd case, in
// UTF-8 and Windows-1251 Cyrillic and with control bytes; links that loop,
// lead elsewhere on the medium or off it; FIFOs and folders where files
// are expected. Each medium lives in a fresh folder and goes again after
// the check. The report must hold together: nothing throws, the status
// matches the problems, problems are sorted and name files on the medium,
// a problem at a line is in a page that was read or a command file, and
// every reached page is a file the launcher opens.
#include <fcntl.h>
#include <fuzzer/FuzzedDataProvider.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <tuple>

#include "app/MainWindow.h"
#include "app/MediumCheck.h"
#include "platform/Paths.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_view_literals;

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "medium check invariant broken: %s\n", what);
  std::abort();
}

// Where files go: the places the launcher reads and one it never looks at.
constexpr std::array<std::string_view, 5> kFolders = {"HTML", "HTML", "HTML/sub", "SETUP", ""};

// Names as they stand on disk. Pages the launcher opens by itself, others,
// Cyrillic in UTF-8 ("Справка") and in Windows-1251 ("Список"), a control
// byte, pictures and the command files.
constexpr std::array<std::string_view, 18> kNames = {
    "soft.htm",     "internet.htm", "tutor.htm", "products.htm", "help.htm",
    "register.htm", "a.htm",        "Soft.HTM",  "Справка.htm",  "\xD1\xEF\xE8\xF1\xEE\xEA.htm",
    "x\x01y.htm",   "pic.gif",      "pic.bmp",   "PIC.JPG",      "title.bmp",
    "install.dat",  "serial.dat",   "setup.sh"};

// Names as pages link them: other case, other folders, a NUL, a way up.
constexpr std::array<std::string_view, 16> kLinks = {
    "soft.htm",      "HELP.HTM",    "a.htm",      "sub\\a.htm",  "..\\SETUP\\setup.sh",
    "\\HTML\\a.htm", "СПРАВКА.HTM", "список.htm", "x\x01y.htm",  "pic.gif",
    "PIC.BMP",       "pic.jpg",     "a\0b.htm"sv, "nothere.htm", "..\\..\\..\\a.htm",
    "loop.htm"};

constexpr std::array<std::string_view, 8> kInstallFolders = {
    "", "\\SETUP", "SETUP", "NOFOLDER", "\\HTML\\help.htm", "\\", "..", "\\HTML\\sub"};
constexpr std::array<std::string_view, 7> kPrograms = {
    "setup.sh", "\\SETUP\\setup.sh", "sh", "nothere.sh", "", "SETUP", "..\\HTML\\a.htm"};

// Where links point: itself, a name beside it, the medium's root, off the
// medium (a file, a folder, a program), nowhere.
constexpr std::array<std::string_view, 8> kLinkTargets = {
    "", "a.htm", "..", "/etc/hostname", "/tmp", "/bin/sh", "nowhere", "../HTML/pic.gif"};

// A picture of one pixel that decodes, in each format the viewer reads
// from a file by its bytes.
std::string OnePixelGif() {
  return std::string(
      "GIF89a\x01\0\x01\0\x80\0\0\0\0\0\xff\xff\xff!\xf9\x04\x01\0\0\0\0"
      ",\0\0\0\0\x01\0\x01\0\0\x02\x02\x44\x01\0;",
      43);
}

std::string OnePixelBmp() {
  std::string bmp(58, '\0');
  const auto put = [&](size_t at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) bmp[at + i] = static_cast<char>(value >> (8 * i));
  };
  bmp[0] = 'B';
  bmp[1] = 'M';
  put(2, 58, 4);
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, 1, 4);
  put(22, 1, 4);
  put(26, 1, 2);
  put(28, 24, 2);
  return bmp;
}

std::string Picked(FuzzedDataProvider& in, const auto& table) {
  return std::string(in.PickValueInArray(table));
}

std::string Bytes(FuzzedDataProvider& in, size_t most) {
  return in.ConsumeBytesAsString(in.ConsumeIntegralInRange<size_t>(0, most));
}

std::string LinkName(FuzzedDataProvider& in) {
  std::string link = Picked(in, kLinks);
  if (in.ConsumeBool()) link += "#" + Picked(in, std::array<std::string_view, 3>{"top", "TOP", ""});
  return link;
}

std::string MakePage(FuzzedDataProvider& in) {
  std::string page;
  for (int pieces = in.ConsumeIntegralInRange(0, 8); pieces > 0; --pieces) {
    switch (in.ConsumeIntegralInRange(0, 9)) {
      case 0:
        page += "<A HREF=\"" + LinkName(in) + "\">x</A>\n";
        break;
      case 1:
        page += "<A NAME=\"top\">x</A>\n";
        break;
      case 2:
        page += "<IMG SRC=\"" + LinkName(in) + "\"" + (in.ConsumeBool() ? " USEMAP=\"#m\"" : "") +
                ">\n";
        break;
      case 3:
        page += "<MAP NAME=\"m\"><AREA HREF=\"" + LinkName(in) + "\"></MAP>\n";
        break;
      case 4:
        page +=
            "<A HREF=\"install" + std::to_string(in.ConsumeIntegralInRange(-1, 4)) + "\">i</A>\n";
        break;
      case 5:
        page +=
            "<A HREF=\"serial" + std::to_string(in.ConsumeIntegralInRange(-1, 4)) + "\">s</A>\n";
        break;
      case 6:
        page += "<BODY BACKGROUND=\"" + LinkName(in) + "\">\n";
        break;
      case 7:
        page += "<INPUT TYPE=image SRC=\"" + LinkName(in) + "\">\n";
        break;
      case 8:
        page += "<!-- ";
        break;
      default:
        page += Bytes(in, 24);
        break;
    }
  }
  return page;
}

std::string MakeLines(FuzzedDataProvider& in, bool install) {
  std::string lines;
  for (int n = in.ConsumeIntegralInRange(0, 4); n > 0; --n) {
    if (install)
      lines += Picked(in, kInstallFolders) + "\r\n" + Picked(in, kPrograms) + "\r\n" +
               Bytes(in, 8) + "\r\n";
    else
      lines += Bytes(in, 12) + "\r\n";
  }
  return lines;
}

// The content of a file by its name: a page, a command file or a picture
// (one that decodes, or bytes).
std::string MakeContent(FuzzedDataProvider& in, std::string_view name) {
  if (name == "install.dat") return MakeLines(in, true);
  if (name == "serial.dat") return MakeLines(in, false);
  if (name.ends_with(".htm") || name.ends_with(".HTM")) return MakePage(in);
  switch (in.ConsumeIntegralInRange(0, 2)) {
    case 0:
      return OnePixelGif();
    case 1:
      return OnePixelBmp();
    default:
      return Bytes(in, 32);
  }
}

// A file in place of whatever had its name: never written through a link
// (one may lead to a system file) nor into a FIFO (which waits for a
// reader); a folder keeps its place.
void WriteNew(const fs::path& file, const std::string& content) {
  unlink(file.c_str());
  const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return;
  Require(write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size()),
          "a file of the medium written");
  close(fd);
}

void MakeMedium(FuzzedDataProvider& in, const fs::path& root) {
  std::error_code error;
  for (int steps = in.ConsumeIntegralInRange(1, 14); steps > 0 && in.remaining_bytes() > 0;
       --steps) {
    const fs::path folder = root / Picked(in, kFolders);
    fs::create_directories(folder, error);
    const std::string name = Picked(in, kNames);
    const fs::path file = folder / name;
    switch (in.ConsumeIntegralInRange(0, 9)) {
      case 0:  // a link: to itself (a loop), on the medium or off it
        fs::create_symlink(in.ConsumeBool() ? name : Picked(in, kLinkTargets), file, error);
        break;
      case 1:
        mkfifo(file.c_str(), 0600);
        break;
      case 2:
        fs::create_directory(file, error);
        break;
      default:
        WriteNew(file, MakeContent(in, name));
        break;
    }
  }
}

// The report holds together, and its printed form says the same.
void CheckReport(const app::TCheckReport& report) {
  char* printed = nullptr;
  size_t size = 0;
  std::FILE* out = open_memstream(&printed, &size);
  const int status = app::WriteCheckReport(report, "M", out);
  std::fclose(out);
  const std::string text(printed, size);
  std::free(printed);

  if (report.Unreadable) {
    Require(status == 2 && report.Problems.empty() && report.Pages.empty(),
            "an unreadable medium has status 2 and nothing else");
    return;
  }
  Require(status == (report.Problems.empty() ? 0 : 1), "the status tells of problems");
  size_t lines = 0;
  for (const char c : text) lines += c == '\n';
  Require(lines == report.Problems.size() + 1 && text.find('\0') == std::string::npos,
          "one printed line a problem, with the summary, none cut");
  const std::string drive = std::string(platform::kMediumDrive) + "\\";
  std::set<std::string> files(report.Pages.begin(), report.Pages.end());
  Require(files.size() == report.Pages.size(), "a page is read once");
  for (const std::string& page : report.Pages)
    Require(platform::FileExists(page), "a reached page is a file the launcher opens");
  files.insert(platform::ExpandFileName("\\HTML\\install.dat"));
  files.insert(platform::ExpandFileName("\\HTML\\serial.dat"));
  const app::TProblem* last = nullptr;
  for (const app::TProblem& problem : report.Problems) {
    Require(problem.File.starts_with(drive) && problem.Line >= 0,
            "a problem names a file on the medium");
    Require(problem.Line == 0 || files.count(problem.File),
            "a problem at a line is in a file read");
    Require(!last || std::tie(last->File, last->Line) <= std::tie(problem.File, problem.Line),
            "problems are sorted");
    last = &problem;
  }
}

fs::path& WorkFolder() {
  static fs::path folder;
  return folder;
}

// One window for every medium, as the checker uses one for every page:
// making it costs more than most checks.
app::TForm1& Form() {
  static app::TForm1* form = new app::TForm1(app::BuiltInLayout());
  return *form;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static QApplication* application = new QApplication(*argc, *argv);
  (void)application;
  std::string folder = (fs::temp_directory_path() / "fuzz-medium-XXXXXX").string();
  Require(mkdtemp(folder.data()) != nullptr, "a work folder");
  WorkFolder() = folder;
  std::atexit([] {
    std::error_code error;
    fs::remove_all(WorkFolder(), error);
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const fs::path root = WorkFolder() / "medium";
  std::error_code error;
  fs::remove_all(root, error);
  fs::create_directories(root, error);
  MakeMedium(in, root);
  platform::SetMediumRoot(root);
  CheckReport(app::CheckMedium(Form()));
  fs::remove_all(root, error);
  return 0;
}
