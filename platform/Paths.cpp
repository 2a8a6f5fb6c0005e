#include "platform/Paths.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <vector>

#include "platform/CodePage.h"

namespace platform {

namespace fs = std::filesystem;

namespace {

struct MediumState {
  fs::path root = fs::path("/");
  std::string currentDirectory = "\\";
};

MediumState& State() {
  static MediumState state;
  return state;
}

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

bool IsUnc(std::string_view p) {
  return p.size() >= 2 && IsSeparator(p[0]) && IsSeparator(p[1]);
}

bool HasDrive(std::string_view p) {
  return p.size() >= 2 && p[1] == ':' &&
         ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z'));
}

// The names of a path below the root, with "." and ".." applied.
std::vector<std::string> Components(std::string_view windowsPath) {
  std::string_view rest = windowsPath;
  if (HasDrive(rest)) rest.remove_prefix(2);
  std::vector<std::string> names;
  if (rest.empty() || !IsSeparator(rest[0])) {
    // Relative: start from the current directory.
    const std::string& cwd = State().currentDirectory;
    names = Components(cwd.empty() || !IsSeparator(cwd[0]) ? "\\" + cwd : cwd);
  }
  size_t i = 0;
  while (i < rest.size()) {
    while (i < rest.size() && IsSeparator(rest[i])) ++i;
    size_t j = i;
    while (j < rest.size() && !IsSeparator(rest[j])) ++j;
    std::string_view name = rest.substr(i, j - i);
    if (name == "..") {
      if (!names.empty()) names.pop_back();
    } else if (!name.empty() && name != ".") {
      names.emplace_back(name);
    }
    i = j;
  }
  return names;
}

std::u32string FoldedUtf32(std::string_view utf8) {
  std::u32string text = Utf8ToUtf32(utf8);
  for (char32_t& c : text) c = FoldCase(c);
  return text;
}

}  // namespace

void SetMediumRoot(const fs::path& root, std::string currentDirectory) {
  State().root = root;
  State().currentDirectory = std::move(currentDirectory);
}

const fs::path& MediumRoot() {
  return State().root;
}
const std::string& CurrentDirectory() {
  return State().currentDirectory;
}

fs::path MountRootOf(fs::path dir) {
  struct stat info {};
  if (stat(dir.c_str(), &info) != 0) return dir;
  const dev_t device = info.st_dev;
  while (dir.has_parent_path() && dir.parent_path() != dir) {
    struct stat parent {};
    if (stat(dir.parent_path().c_str(), &parent) != 0 || parent.st_dev != device) break;
    dir = dir.parent_path();
  }
  return dir;
}

std::string WindowsPathBelow(const fs::path& root, const fs::path& dir) {
  std::error_code error;
  const fs::path relative = fs::relative(dir, root, error);
  std::string result = "\\";
  if (error) return result;
  for (const fs::path& part : relative) {
    const std::string name = part.string();
    if (name == "." || name.empty()) continue;
    if (result.size() > 1) result += '\\';
    result += Utf8ToBytes(name, AnsiCodePage());
  }
  return result;
}

fs::path DefaultMediumRoot() {
  std::error_code error;
  const fs::path dir = fs::current_path(error);
  return error ? fs::path("/") : MountRootOf(dir);
}

std::string DefaultCurrentDirectory(const fs::path& root) {
  std::error_code error;
  const fs::path dir = fs::current_path(error);
  return error ? std::string("\\") : WindowsPathBelow(root, dir);
}

std::string ExpandFileName(std::string_view windowsPath) {
  if (IsUnc(windowsPath)) return std::string(windowsPath);
  std::string result(kMediumDrive);
  for (const std::string& name : Components(windowsPath)) result += "\\" + name;
  if (result.size() == kMediumDrive.size()) result += "\\";
  // A trailing separator names a folder; keep it so the result still does.
  if (!windowsPath.empty() && IsSeparator(windowsPath.back()) && result.back() != '\\')
    result += "\\";
  return result;
}

std::optional<fs::path> MapToHost(std::string_view windowsPath) {
  if (windowsPath.empty() || IsUnc(windowsPath)) return std::nullopt;
  fs::path host = State().root;
  std::error_code error;
  for (const std::string& name : Components(windowsPath)) {
    const std::string utf8 = BytesToUtf8(name, AnsiCodePage());
    fs::path exact = host / fs::path(utf8);
    if (fs::exists(exact, error)) {
      host = exact;
      continue;
    }
    const std::u32string wanted = FoldedUtf32(utf8);
    bool found = false;
    for (fs::directory_iterator it(host, error), end; !error && it != end; it.increment(error)) {
      if (FoldedUtf32(it->path().filename().string()) == wanted) {
        host = it->path();
        found = true;
        break;
      }
    }
    if (!found) return std::nullopt;
  }
  if (!fs::exists(host, error)) return std::nullopt;
  return host;
}

bool FileExists(std::string_view windowsPath) {
  const std::optional<fs::path> host = MapToHost(windowsPath);
  std::error_code error;
  return host && fs::is_regular_file(*host, error);
}

std::optional<std::string> ReadHostFile(const fs::path& file, size_t maxBytes, TReadError* error) {
  const auto fail = [&](std::string why, bool tooLarge = false) -> std::optional<std::string> {
    if (error) *error = {tooLarge, std::move(why)};
    return std::nullopt;
  };
  std::error_code code;
  if (fs::is_directory(file, code)) return fail("Is a directory");
  std::FILE* in = std::fopen(file.c_str(), "rb");
  if (!in) return fail(std::strerror(errno));
  std::string content;
  std::vector<char> chunk(64 * 1024);
  bool tooLarge = false, failed = false;
  int readErrno = 0;
  // Read to the end rather than trusting the size the system gives: some
  // files say 0 and still have bytes, and a file may grow meanwhile.
  for (;;) {
    const size_t n = std::fread(chunk.data(), 1, chunk.size(), in);
    if (n > maxBytes - std::min(maxBytes, content.size())) {
      tooLarge = true;
      break;
    }
    content.append(chunk.data(), n);
    if (n < chunk.size()) {
      if (std::ferror(in)) {
        failed = true;
        readErrno = errno;
      }
      break;
    }
  }
  std::fclose(in);
  if (tooLarge) return fail("larger than " + std::to_string(maxBytes) + " bytes", true);
  if (failed) return fail(std::strerror(readErrno));
  return content;
}

std::optional<std::string> ReadWholeFile(std::string_view windowsPath, size_t maxBytes,
                                         TReadError* error) {
  const std::optional<fs::path> host = MapToHost(windowsPath);
  if (!host) {
    if (error) *error = {false, std::strerror(ENOENT)};
    return std::nullopt;
  }
  return ReadHostFile(*host, maxBytes, error);
}

std::optional<std::string> ReadFileStart(std::string_view windowsPath, size_t count) {
  const std::optional<fs::path> host = MapToHost(windowsPath);
  std::error_code code;
  if (!host || fs::is_directory(*host, code)) return std::nullopt;
  std::FILE* in = std::fopen(host->c_str(), "rb");
  if (!in) return std::nullopt;
  std::string content(count, '\0');
  const size_t n = std::fread(content.data(), 1, count, in);
  const bool failed = std::ferror(in) != 0;
  std::fclose(in);
  if (failed) return std::nullopt;
  content.resize(n);
  return content;
}

int AnsiCodePage() {
  return 1251;
}

}  // namespace platform
