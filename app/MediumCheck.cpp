// The medium checker: everything the launcher would stumble over on a
// medium, found without showing or starting anything.

#include "app/MediumCheck.h"

#include "app/PageScan.h"

#include <algorithm>
#include <deque>
#include <map>
#include <set>

#include "images/GifImage.h"
#include "images/GifLoad.h"
#include "images/ImageKinds.h"
#include "images/ImageLoad.h"
#include "parser/Scanner.h"
#include "platform/CodePage.h"
#include "platform/Convert.h"
#include "platform/Exceptions.h"
#include "platform/Paths.h"
#include "platform/TextLines.h"
#include "platform/ui/Application.h"
#include "platform/ui/PictureControl.h"

namespace app {

namespace {

constexpr int kTitleWidth = 553, kTitleHeight = 47;

std::string AsciiUpper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return s;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// UTF-8 text for a message line: control bytes (a NUL would end the line,
// a line break start another) as \xHH.
std::string Escaped(const std::string& text) {
  std::string shown;
  shown.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      shown += {'\\', 'x', kHex[byte >> 4], kHex[byte & 15]};
    } else {
      shown += c;
    }
  }
  return shown;
}

// Page bytes (Windows-1251) as UTF-8 for messages.
std::string Shown(const std::string& bytes) {
  return Escaped(platform::BytesToUtf8(bytes, platform::AnsiCodePage()));
}

// Why a name the launcher looks for is not found, for a message: nothing
// when it is plainly missing.
std::string WhyNotFound(const std::string& windows) {
  platform::TLookupFailure why = platform::TLookupFailure::Missing;
  if (platform::MapToHost(windows, &why)) return "";
  switch (why) {
    case platform::TLookupFailure::LeavesMedium:
      return " (a link that leads outside the medium, which the launcher treats as missing)";
    case platform::TLookupFailure::LinkLoop:
      return " (links that lead round in a loop)";
    case platform::TLookupFailure::Missing:
      break;
  }
  return "";
}

// A host name on the medium as UTF-8: as it is, or, when it is no UTF-8 (a
// name written on Windows in its code page), read as that code page.
std::string HostNameText(const std::string& name) {
  const std::u32string decoded = platform::Utf8ToUtf32(name);
  if (std::find(decoded.begin(), decoded.end(), platform::kInvalidUtf8) == decoded.end())
    return name;
  return platform::BytesToUtf8(name, platform::AnsiCodePage());
}

std::string ShownHostName(const std::string& name) {
  return Escaped(HostNameText(name));
}

// A host path below the medium root as a Windows path, by its own names
// (a link by its name, not its target's).
std::string WindowsPathOf(const std::filesystem::path& host) {
  std::string windows;
  for (const auto& part : host.lexically_relative(platform::MediumRoot()))
    windows += "\\" + platform::Utf8ToBytes(HostNameText(part.string()), platform::AnsiCodePage());
  return platform::ExpandFileName(windows.empty() ? "\\" : windows);
}

// Every name below a host folder, links not followed, and the folders that
// could not be listed with the system's reason. Nothing throws: a medium
// may hold anything.
struct TMediumTree {
  std::vector<std::filesystem::path> Entries;
  std::vector<std::pair<std::filesystem::path, std::string>> Unlisted;
};

TMediumTree ListTree(const std::filesystem::path& top) {
  namespace fs = std::filesystem;
  TMediumTree tree;
  std::vector<fs::path> folders = {top};
  while (!folders.empty()) {
    const fs::path folder = std::move(folders.back());
    folders.pop_back();
    std::error_code error;
    fs::directory_iterator it(folder, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
      tree.Entries.push_back(it->path());
      std::error_code kind;
      if (it->is_directory(kind) && !it->is_symlink(kind)) folders.push_back(it->path());
    }
    if (error) tree.Unlisted.emplace_back(folder, error.message());
  }
  std::sort(tree.Entries.begin(), tree.Entries.end());
  return tree;
}

// The key a page is known by: where it is on the medium (names there match
// ignoring case, Cyrillic too), or its name when it is nowhere.
std::string PageKey(const std::string& page) {
  if (const auto host = platform::MapToHost(page)) return host->lexically_normal().string();
  return AsciiUpper(page);
}

// What goes wrong when the launcher starts an install entry as it does: the
// program in the entry's folder, or on its own; a folder that is found is
// where it runs (the system refuses to start anything in a file or to run
// a folder), one that is not leaves the launcher's own current folder.
// Nothing when the entry starts.
std::string InstallEntryProblem(const std::string& directory, const std::string& program) {
  namespace fs = std::filesystem;
  const std::string inFolder = directory.empty() ? "" : " (folder " + Shown(directory) + ")";
  if (program.empty()) return "the entry names no program; the launcher would start nothing";
  platform::TLookupFailure why = platform::TLookupFailure::Missing;
  const std::optional<fs::path> found = platform::FindProgram(program, directory, &why);
  std::error_code error;
  if (!found) {
    const std::string reason = why == platform::TLookupFailure::LeavesMedium
                                   ? " leads outside the medium (the launcher treats it as missing)"
                               : why == platform::TLookupFailure::LinkLoop
                                   ? " is a loop of links"
                                   : " is not on the medium";
    return "the program " + Shown(program) + inFolder + reason +
           "; the launcher would start nothing";
  }
  if (fs::is_directory(*found, error))
    return "the program " + Shown(program) + inFolder +
           " is a folder; the launcher would start nothing";
  if (directory.empty()) return "";
  const std::optional<fs::path> folder = platform::MapToHost(directory, &why);
  if (!folder)
    return "the folder " + Shown(directory) + WhyNotFound(directory) +
           " of the entry is not on the medium; the launcher would start " + Shown(program) +
           " in the folder it was itself started from";
  if (!fs::is_directory(*folder, error))
    return "the folder " + Shown(directory) +
           " of the entry is no folder; the launcher would start nothing";
  return "";
}

// Whether a picture file decodes with the loaders the viewer uses.
bool PictureDecodes(const std::string& file) {
  const images::TImageKind kind = images::GetFileImageKind(file);
  if (kind == images::ikUnknown) return false;
  if (kind == images::ikGif87 || kind == images::ikGif89) {
    bool notAnimated = false;
    return images::LoadGifFromFile(file, notAnimated) != nullptr;
  }
  images::TTransparency mode = images::NotTransp;
  images::BitmapPtr mask;
  return images::LoadImageFile(file, mode, mask) != nullptr;
}

class TChecker {
 public:
  explicit TChecker(TForm1& form) : view_(*form.htmlView1) {}

  TCheckReport Run();

 private:
  void Add(const std::string& file, int line, std::string message, bool warning = false) {
    report_.Problems.push_back({file, line, warning, std::move(message)});
  }
  void CheckTitle();
  std::vector<std::string> ReadCommandFile(const char* name);
  void Visit(const std::string& page, const std::string& from, int line);
  void CheckPage(const std::string& page);
  void CheckLink(const std::string& page, const TTagUse& use, const std::string& url);
  void CheckPicture(const std::string& page, int line, const std::string& src, const char* what);
  void CheckCommand(const std::string& page, int line, const std::string& url);
  void CheckUnlisted(const TMediumTree& tree);
  void CheckCaseClashes();
  void CheckUnreached();

  viewer::ThtmlView& view_;
  TCheckReport report_;
  std::vector<std::string> installLines_, serialLines_;
  bool installRead_ = false, serialRead_ = false;
  std::deque<std::string> queue_;
  std::set<std::string> seen_;                            // pages queued, by PageKey
  std::map<std::string, std::set<std::string>> anchors_;  // page (PageKey) -> anchors
  struct PendingAnchor {
    std::string target, anchor, page;
    int line;
  };
  std::vector<PendingAnchor> pendingAnchors_;
  std::set<int64_t> usedInstalls_, usedKeys_;
  std::set<std::filesystem::path> unlisted_;  // folders reported as unlistable
};

void TChecker::CheckTitle() {
  const std::string file = platform::ExpandFileName(kTitlePicture);
  platform::TImage title;
  try {
    title.LoadPictureFromFile(kTitlePicture);
  } catch (const std::exception& error) {
    Add(file, 0,
        std::string("the title picture cannot be read; the launcher would show '") +
            platform::WithFinalPeriod(error.what()) + "' and no start page");
    return;
  }
  const int width = title.Picture().Width(), height = title.Picture().Height();
  if (width != kTitleWidth || height != kTitleHeight)
    Add(file, 0,
        "the title picture is " + std::to_string(width) + " x " + std::to_string(height) + ", not " + std::to_string(kTitleWidth) + " x " +
            std::to_string(kTitleHeight) + "; the launcher shows it at its own size",
        true);
}

std::vector<std::string> TChecker::ReadCommandFile(const char* name) {
  try {
    return platform::LoadLinesFromFile(name);
  } catch (const std::exception& error) {
    Add(platform::ExpandFileName(name), 0,
        std::string("cannot be read; the launcher would show '") +
            platform::WithFinalPeriod(error.what()) + "' at every start");
    throw;
  }
}

void TChecker::Visit(const std::string& page, const std::string& from, int line) {
  const std::string key = PageKey(page);
  if (seen_.count(key)) return;
  if (!platform::FileExists(page)) {
    Add(from, line,
        "no page " + Shown(page) + WhyNotFound(page) +
            "; the launcher would show 'Can't locate file: " + Shown(page) + ".'");
    return;
  }
  seen_.insert(key);
  queue_.push_back(page);
}

void TChecker::CheckPicture(const std::string& page, int line, const std::string& src,
                            const char* what) {
  if (src.empty()) return;
  const std::string file = view_.FullFileName(src);
  if (!platform::FileExists(file)) {
    Add(page, line,
        std::string(what) + " " + Shown(src) + " does not exist (" + Shown(file) + ")" +
            WhyNotFound(file) + "; the launcher shows the missing-picture sign");
    return;
  }
  if (!PictureDecodes(file))
    Add(page, line,
        std::string(what) + " " + Shown(src) +
            " cannot be decoded; the launcher shows the missing-picture sign");
}

void TChecker::CheckCommand(const std::string& page, int line, const std::string& url) {
  const bool install = StartsWith(url, "install");
  const std::string rest = url.substr(install ? 7 : 6);
  int64_t n = 0;
  try {
    n = platform::StrToInt(rest);
  } catch (const std::exception& error) {
    Add(page, line,
        Shown(url) + ": not a number after '" + (install ? "install" : "serial") +
            "'; the launcher would show '" + platform::WithFinalPeriod(error.what()) + "'");
    return;
  }
  if (install) {
    if (!installRead_) return;  // reported with install.dat
    usedInstalls_.insert(n);
    const int64_t count = static_cast<int64_t>(installLines_.size());
    for (const int64_t index : {3 * n - 3, 3 * n - 1, 3 * n - 2})
      if (index < 0 || index >= count) {
        Add(page, line,
            Shown(url) + ": install.dat has " + std::to_string(count / 3) +
                " entries; the launcher would show 'List index out of bounds (" +
                std::to_string(index) + ").'");
        return;
      }
    const std::string& directory = installLines_[static_cast<size_t>(3 * n - 3)];
    const std::string& program = installLines_[static_cast<size_t>(3 * n - 2)];
    if (const std::string problem = InstallEntryProblem(directory, program); !problem.empty())
      Add(page, line, Shown(url) + ": " + problem);
    return;
  }
  if (!serialRead_) return;
  usedKeys_.insert(n);
  const int64_t count = static_cast<int64_t>(serialLines_.size());
  if (n - 1 < 0 || n - 1 >= count)
    Add(page, line,
        Shown(url) + ": serial.dat has " + std::to_string(count) +
            " keys; the launcher would show 'List index out of bounds (" + std::to_string(n - 1) +
            ").'");
}

void TChecker::CheckLink(const std::string& page, const TTagUse& use, const std::string& url) {
  if (StartsWith(url, "http") || StartsWith(url, "mailto")) return;  // the desktop's
  if (StartsWith(url, "install") || StartsWith(url, "serial")) {
    CheckCommand(page, use.Line, url);
    return;
  }
  const viewer::ThtmlView::TLinkDestination to = view_.LinkDestination(url);
  switch (to.Kind) {
    case viewer::ThtmlView::TLinkDestination::ToAnchor:
      pendingAnchors_.push_back({PageKey(page), to.Anchor, page, use.Line});
      break;
    case viewer::ThtmlView::TLinkDestination::ToPage:
      Visit(to.File, page, use.Line);
      if (!to.Anchor.empty() && platform::FileExists(to.File))
        pendingAnchors_.push_back({PageKey(to.File), to.Anchor, page, use.Line});
      break;
    case viewer::ThtmlView::TLinkDestination::ToPicture:
      if (!platform::FileExists(to.File))
        Add(page, use.Line,
            "no picture " + Shown(to.File) + WhyNotFound(to.File) +
                "; the launcher would show 'Can't locate file: " + Shown(to.File) + ".'");
      else if (!PictureDecodes(to.File))
        Add(page, use.Line,
            "the picture " + Shown(to.File) + " cannot be decoded; the launcher would show it as "
            "the missing-picture sign");
      break;
    case viewer::ThtmlView::TLinkDestination::ToNothing:
      Add(page, use.Line,
          "the link " + Shown(url) +
              " names no page, picture or command; the launcher does nothing when it is clicked",
          true);
      break;
  }
}

void TChecker::CheckPage(const std::string& page) {
  report_.Pages.push_back(page);
  const std::optional<std::string> bytes = platform::ReadWholeFile(page);
  if (!bytes) {
    Add(page, 0, "cannot be read; the launcher would show 'Can't locate file: " + Shown(page) + ".'");
    return;
  }
  auto& boxes = static_cast<platform::CapturingMessageBox&>(
      platform::TApplication::Instance().MessageBox());
  boxes.shown.clear();
  try {
    view_.LoadFromFile(page);
  } catch (const std::exception& error) {
    Add(page, 0, std::string("the launcher would show '") + platform::WithFinalPeriod(error.what()) + "'");
    return;
  }
  for (const auto& box : boxes.shown)
    Add(page, 0, "the launcher would show '" + Shown(box.text) + "' and leave that part out");
  auto& anchors = anchors_[PageKey(page)];
  for (const auto& [name, section] : view_.AnchorNames()) anchors.insert(name);

  const TPageScan scan = ScanPage(*bytes);
  if (scan.OpenCommentLine > 0)
    Add(page, scan.OpenCommentLine,
        "a comment that never ends: the launcher shows the page only up to it");
  for (const TTagUse& use : scan.Tags) {
    switch (use.Tag) {
      case base::ASy:
        if (!use.Href.empty()) CheckLink(page, use, use.Href);
        break;
      case base::AreaSy:
        if (!use.NoHref && !use.Href.empty()) CheckLink(page, use, use.Href);
        break;
      case base::ImageSy:
        CheckPicture(page, use.Line, use.Src, "the picture");
        if (!use.UseMap.empty()) {
          std::string map = base::UpperTrimmed(use.UseMap);
          if (map.size() > 1 && map.front() == '#') map.erase(0, 1);
          if (!scan.Maps.count(map))
            Add(page, use.Line,
                "no map " + Shown(use.UseMap) +
                    " on this page; the launcher shows the picture without its links");
        }
        break;
      case base::InputSy:
        if (use.Type == "image") CheckPicture(page, use.Line, use.Src, "the picture button");
        break;
      case base::BodySy:
        CheckPicture(page, use.Line, use.Background, "the background");
        break;
      default:
        break;
    }
  }
}

void TChecker::CheckUnlisted(const TMediumTree& tree) {
  for (const auto& [folder, reason] : tree.Unlisted) {
    if (!unlisted_.insert(folder).second) continue;
    Add(WindowsPathOf(folder), 0,
        "the folder cannot be listed (" + reason +
            "); the launcher finds in it only names written in their exact case, and the "
            "checker could not look at what it holds");
  }
}

void TChecker::CheckCaseClashes() {
  const TMediumTree tree = ListTree(platform::MediumRoot());
  CheckUnlisted(tree);
  std::map<std::pair<std::filesystem::path, std::u32string>, std::vector<std::filesystem::path>>
      groups;
  for (const std::filesystem::path& entry : tree.Entries) {
    std::u32string folded = platform::Utf8ToUtf32(HostNameText(entry.filename().string()));
    for (char32_t& c : folded) c = platform::FoldCase(c);
    groups[{entry.parent_path(), folded}].push_back(entry);
  }
  for (auto& [key, paths] : groups) {
    if (paths.size() < 2) continue;
    std::sort(paths.begin(), paths.end());
    std::string names;
    for (const auto& p : paths)
      names += (names.empty() ? "" : ", ") + ShownHostName(p.filename().string());
    Add(WindowsPathOf(paths.front()), 0,
        names + " differ only in case; the launcher cannot tell them apart and opens one of them");
  }
}

void TChecker::CheckUnreached() {
  const std::optional<std::filesystem::path> html = platform::MapToHost("\\HTML");
  if (html) {
    const TMediumTree tree = ListTree(*html);
    CheckUnlisted(tree);
    for (const std::filesystem::path& entry : tree.Entries) {
      const std::string ext = AsciiUpper(entry.extension().string());
      if (ext != ".HTM" && ext != ".HTML") continue;
      const std::string windows = WindowsPathOf(entry);
      platform::TLookupFailure why = platform::TLookupFailure::Missing;
      if (!platform::MapToHost(windows, &why) && why != platform::TLookupFailure::Missing) {
        Add(windows, 0,
            why == platform::TLookupFailure::LeavesMedium
                ? "a link that leads outside the medium; the launcher treats this page as missing"
                : "links that lead round in a loop; the launcher treats this page as missing");
        continue;
      }
      if (!seen_.count(entry.lexically_normal().string()))
        Add(windows, 0, "no link reaches this page", true);
    }
  }
  const std::string install = platform::ExpandFileName(kInstallFile);
  // Every entry that starts in the file, a cut-off last one too.
  for (int64_t n = 1; installRead_ && 3 * n - 3 < static_cast<int64_t>(installLines_.size()); ++n)
    if (!usedInstalls_.count(n))
      Add(install, static_cast<int>(3 * n - 2),
          "entry " + std::to_string(n) + " is used by no install" + std::to_string(n) + " link",
          true);
  const std::string serial = platform::ExpandFileName(kSerialFile);
  for (int64_t n = 1; serialRead_ && n <= static_cast<int64_t>(serialLines_.size()); ++n)
    if (!usedKeys_.count(n))
      Add(serial, static_cast<int>(n),
          "key " + std::to_string(n) + " is used by no serial" + std::to_string(n) + " link", true);
}

TCheckReport TChecker::Run() {
  const std::optional<std::filesystem::path> html = platform::MapToHost("\\HTML");
  std::error_code error;
  if (!html || !std::filesystem::is_directory(*html, error)) {
    report_.Unreadable = true;
    report_.UnreadableReason =
        html ? "HTML on the medium is no folder" : "no HTML folder on the medium";
    return std::move(report_);
  }
  platform::TApplication& application = platform::TApplication::Instance();
  application.SetMessageBox(std::make_unique<platform::CapturingMessageBox>());

  // What activation reads, in its order.
  CheckTitle();
  try {
    installLines_ = ReadCommandFile(kInstallFile);
    installRead_ = true;
  } catch (const std::exception&) {
  }
  try {
    serialLines_ = ReadCommandFile(kSerialFile);
    serialRead_ = true;
  } catch (const std::exception&) {
  }
  for (const char* page : kButtonPages) Visit(platform::ExpandFileName(page), platform::ExpandFileName(page), 0);
  while (!queue_.empty()) {
    const std::string page = queue_.front();
    queue_.pop_front();
    CheckPage(page);
  }
  for (const PendingAnchor& pending : pendingAnchors_) {
    const auto found = anchors_.find(pending.target);
    if (found == anchors_.end()) continue;  // a page that could not be read: reported
    if (!found->second.count(AsciiUpper(pending.anchor)))
      Add(pending.page, pending.line,
          "no anchor '" + Shown(pending.anchor) +
              "' on that page; the launcher would show the page from its top");
  }
  CheckCaseClashes();
  CheckUnreached();
  std::stable_sort(report_.Problems.begin(), report_.Problems.end(),
                   [](const TProblem& a, const TProblem& b) {
                     return std::tie(a.File, a.Line) < std::tie(b.File, b.Line);
                   });
  return std::move(report_);
}

// How a problem's file is shown: its host path below the root as the user
// named it (a missing file by the name the launcher would use).
std::string ShownPath(const std::string& windows, const std::filesystem::path& shownRoot) {
  std::filesystem::path below;
  if (const auto host = platform::MapToHost(windows)) {
    for (const auto& part : host->lexically_relative(platform::MediumRoot()))
      below /= ShownHostName(part.string());
  } else {
    std::string name = windows;
    if (name.size() > 1 && name[1] == ':') name.erase(0, 2);
    while (!name.empty() && name[0] == '\\') name.erase(0, 1);
    std::replace(name.begin(), name.end(), '\\', '/');
    below = Shown(name);
  }
  return (shownRoot / below).generic_string();
}

}  // namespace

TCheckReport CheckMedium(TForm1& form) {
  return TChecker(form).Run();
}

int WriteCheckReport(const TCheckReport& report, const std::filesystem::path& shownRoot,
                     std::FILE* out) {
  if (report.Unreadable) {
    std::fprintf(out, "%s: %s; the launcher would show no page\n",
                 shownRoot.generic_string().c_str(), report.UnreadableReason.c_str());
    std::fprintf(out, "the medium cannot be read\n");
    return 2;
  }
  int warnings = 0;
  for (const TProblem& problem : report.Problems) {
    warnings += problem.Warning;
    std::fprintf(out, "%s:%d: %s%s\n", ShownPath(problem.File, shownRoot).c_str(), problem.Line,
                 problem.Warning ? "warning: " : "", problem.Message.c_str());
  }
  const size_t errors = report.Problems.size() - static_cast<size_t>(warnings);
  std::fprintf(out, "%zu page%s checked: %zu error%s, %d warning%s\n", report.Pages.size(),
               report.Pages.size() == 1 ? "" : "s", errors, errors == 1 ? "" : "s", warnings,
               warnings == 1 ? "" : "s");
  return report.Problems.empty() ? 0 : 1;
}

}  // namespace app
