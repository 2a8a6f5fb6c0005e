#include "platform/Paths.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <system_error>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/CodePage.h"

namespace platform {

namespace fs = std::filesystem;

namespace {

struct MediumState {
  fs::path root = fs::path("/");
  std::string currentDirectory = "\\";
};

// A folder's names by their case-folded form, listed once and kept until
// the folder changes: a page of many pictures, or many missing ones, costs
// one listing of their folder, however large it is.
struct FolderListing {
  timespec modified{};
  timespec changed{};
  ino_t inode = 0;
  std::unordered_map<std::u32string, std::string> names;  // folded -> as listed
};

// Folders listed at most before the cache starts over: a medium's page
// folders are a handful.
constexpr size_t kMaxListedFolders = 256;

MediumState& State() {
  static MediumState state;
  return state;
}

// While a lookup batch is open (a page being built and laid out), what was
// looked up stays true: each folder on the way to a picture is found once,
// and each folder listed is not checked for changes again.
struct LookupBatch {
  int depth = 0;
  // The host folder of a Windows folder path's components, or why it has
  // none.
  std::unordered_map<std::string, std::pair<std::optional<fs::path>, TLookupFailure>> folders;
  std::unordered_set<std::string> trustedListings;
};

LookupBatch& Batch() {
  static LookupBatch batch;
  return batch;
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

// A listed name as links name it: a name that is no UTF-8 was written in the
// medium's code page (a medium made on Windows, mounted as it is).
std::u32string FoldedListedName(std::string_view name) {
  std::u32string folded = FoldedUtf32(name);
  if (std::find(folded.begin(), folded.end(), kInvalidUtf8) == folded.end()) return folded;
  return FoldedUtf32(BytesToUtf8(name, AnsiCodePage()));
}

std::unordered_map<std::string, FolderListing>& Listings() {
  static std::unordered_map<std::string, FolderListing> listings;
  return listings;
}

bool SameTime(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// The listing of `folder` when an open batch has checked it already.
const FolderListing* TrustedListing(const fs::path& folder) {
  const LookupBatch& batch = Batch();
  if (batch.depth == 0 || !batch.trustedListings.contains(folder.native())) return nullptr;
  const auto& listings = Listings();
  const auto it = listings.find(folder.native());
  return it == listings.end() ? nullptr : &it->second;
}

const FolderListing* ListFolder(const fs::path& folder) {
  auto& listings = Listings();
  LookupBatch& batch = Batch();
  if (const FolderListing* kept = TrustedListing(folder)) return kept;
  struct stat info {};
  if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return nullptr;
  if (batch.depth > 0) batch.trustedListings.insert(folder.native());
  if (const auto it = listings.find(folder.native()); it != listings.end()) {
    const FolderListing& kept = it->second;
    if (kept.inode == info.st_ino && SameTime(kept.modified, info.st_mtim) &&
        SameTime(kept.changed, info.st_ctim))
      return &kept;
  }
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
  if (!dir) return nullptr;
  FolderListing listing;
  listing.modified = info.st_mtim;
  listing.changed = info.st_ctim;
  listing.inode = info.st_ino;
  while (const dirent* entry = readdir(dir.get())) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    // Names that differ only in case: the first listed answers, always.
    listing.names.emplace(FoldedListedName(name), std::string(name));
  }
  if (listings.size() >= kMaxListedFolders) {
    listings.clear();
    batch.trustedListings.clear();
  }
  return &(listings[folder.native()] = std::move(listing));
}

// Whether a resolved host path lies in the medium (the root itself counts).
bool WithinRoot(const std::string& real) {
  const std::string& root = State().root.native();
  if (root == "/") return true;
  return real == root || (real.size() > root.size() && real.compare(0, root.size(), root) == 0 &&
                          real[root.size()] == '/');
}

// The entry `name` of the host folder `folder`: its exact name costs one
// lstat, another case one listing of the folder (kept). A link is followed
// only where its target, resolved whole, stays on the medium, as ".." never
// leaves it; the entry keeps its own name. Nothing when it is missing or
// cannot be resolved (a loop of links).
std::optional<fs::path> FindEntry(const fs::path& folder, const std::string& name,
                                  TLookupFailure& why) {
  why = TLookupFailure::Missing;
  // No file name holds a NUL; the system would read the name only up to it
  // and find another file.
  if (name.find('\0') != std::string::npos) return std::nullopt;
  // A name in no case in a listing the batch trusts is missing: no entry
  // can have it exactly either.
  if (const FolderListing* kept = TrustedListing(folder))
    if (!kept->names.contains(FoldedUtf32(name))) return std::nullopt;
  fs::path entry = folder / name;
  struct stat info {};
  if (lstat(entry.c_str(), &info) != 0) {
    const FolderListing* listing = ListFolder(folder);
    if (!listing) return std::nullopt;
    const auto found = listing->names.find(FoldedUtf32(name));
    if (found == listing->names.end()) return std::nullopt;
    entry = folder / found->second;
    if (lstat(entry.c_str(), &info) != 0) return std::nullopt;
  }
  if (S_ISLNK(info.st_mode)) {
    std::unique_ptr<char, void (*)(void*)> real(realpath(entry.c_str(), nullptr), std::free);
    if (!real) {
      why = errno == ELOOP ? TLookupFailure::LinkLoop : TLookupFailure::Missing;
      return std::nullopt;
    }
    if (!WithinRoot(real.get())) {
      why = TLookupFailure::LeavesMedium;
      return std::nullopt;
    }
  }
  return entry;
}

}  // namespace

void SetMediumRoot(const fs::path& root, std::string currentDirectory) {
  // The root as the system resolves it, so that links on the medium can be
  // told from links that leave it.
  std::error_code error;
  fs::path real = fs::weakly_canonical(fs::absolute(root, error), error);
  State().root = error || real.empty() ? root : real;
  State().currentDirectory = std::move(currentDirectory);
  Listings().clear();
  Batch().folders.clear();
  Batch().trustedListings.clear();
}

TLookupBatch::TLookupBatch() {
  ++Batch().depth;
}

TLookupBatch::~TLookupBatch() {
  LookupBatch& batch = Batch();
  if (--batch.depth > 0) return;
  batch.folders.clear();
  batch.trustedListings.clear();
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

std::optional<fs::path> MapToHost(std::string_view windowsPath, TLookupFailure* failure) {
  TLookupFailure why = TLookupFailure::Missing;
  if (failure) *failure = why;
  if (windowsPath.empty() || IsUnc(windowsPath)) return std::nullopt;
  const std::vector<std::string> names = Components(windowsPath);
  fs::path host = State().root;
  size_t next = 0;
  // Within a batch the folder is found once for all the names in it.
  LookupBatch& batch = Batch();
  std::string folderKey;
  if (batch.depth > 0 && names.size() > 1) {
    for (size_t i = 0; i + 1 < names.size(); ++i) (folderKey += names[i]) += '\\';
    if (const auto it = batch.folders.find(folderKey); it != batch.folders.end()) {
      if (!it->second.first) {
        if (failure) *failure = it->second.second;
        return std::nullopt;
      }
      host = *it->second.first;
      next = names.size() - 1;
    }
  }
  for (; next < names.size(); ++next) {
    std::optional<fs::path> entry = FindEntry(host, BytesToUtf8(names[next], AnsiCodePage()), why);
    const bool folderDone = next + 2 == names.size() || (!entry && next + 1 < names.size());
    if (!folderKey.empty() && folderDone && !batch.folders.contains(folderKey))
      batch.folders.emplace(folderKey, std::make_pair(entry, why));
    if (!entry) {
      if (failure) *failure = why;
      return std::nullopt;
    }
    host = std::move(*entry);
  }
  // Each entry was found above (a link through to its target); only the
  // root itself is still to be seen.
  struct stat info {};
  if (host == State().root && stat(host.c_str(), &info) != 0) return std::nullopt;
  return host;
}

std::optional<fs::path> FindProgram(std::string_view file, std::string_view directory,
                                    TLookupFailure* failure) {
  const bool rooted = !file.empty() && IsSeparator(file[0]);
  if (!rooted && !HasDrive(file) && !directory.empty()) {
    std::string inDirectory(directory);
    if (!IsSeparator(inDirectory.back())) inDirectory += '\\';
    if (std::optional<fs::path> found = MapToHost(inDirectory + std::string(file), failure))
      return found;
  }
  TLookupFailure alone = TLookupFailure::Missing;
  std::optional<fs::path> found = MapToHost(file, &alone);
  // The more telling reason: a link off the medium in the folder says more
  // than the name missing from the current one.
  if (!found && failure && alone != TLookupFailure::Missing) *failure = alone;
  return found;
}

std::FILE* OpenRegularFile(const fs::path& file, std::string* why) {
  // Without O_NONBLOCK the open of a FIFO waits for a writer for ever.
  const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (why) *why = std::strerror(errno);
    return nullptr;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    if (why) *why = S_ISDIR(info.st_mode) ? "Is a directory" : "Not a regular file";
    ::close(fd);
    return nullptr;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  std::FILE* in = fdopen(fd, "rb");
  if (!in) {
    if (why) *why = std::strerror(errno);
    ::close(fd);
  }
  return in;
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
  std::string why;
  std::FILE* in = OpenRegularFile(file, &why);
  if (!in) return fail(why);
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
  std::FILE* in = host ? OpenRegularFile(*host) : nullptr;
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
