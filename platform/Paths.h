#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Inside the system file names stay Windows paths ("\HTML\soft.htm",
// "D:\dir\page.htm"), bytes in the medium's code page. They meet the host
// only here: the current drive is the medium root, any drive letter names
// it, "\" and "/" separate, and names match ignoring case as on a CD.

// The drive letter full paths are given (the medium's drive).
constexpr std::string_view kMediumDrive = "D:";

// Sets the host folder that is the medium root, and the current directory
// as a rooted Windows path ("\" for the root itself).
void SetMediumRoot(const std::filesystem::path& root, std::string currentDirectory = "\\");
const std::filesystem::path& MediumRoot();
const std::string& CurrentDirectory();

// The mount point that holds the host's current directory, and the
// current directory as a Windows path below it: the nearest thing to the
// root of the current drive.
std::filesystem::path DefaultMediumRoot();
// The mount point that holds the host folder, and the folder as a rooted
// Windows path below a root.
std::filesystem::path MountRootOf(std::filesystem::path folder);
std::string WindowsPathBelow(const std::filesystem::path& root,
                             const std::filesystem::path& folder);
std::string DefaultCurrentDirectory(const std::filesystem::path& root);

// A Windows path as a full path on the medium drive: "\a\b" or "x:\a\b" or
// a relative name against the current directory, with "." and ".."
// resolved (never above the root). UNC names ("\\server\...") are returned
// unchanged.
std::string ExpandFileName(std::string_view windowsPath);

// The host path of an existing file or folder named by a Windows path,
// matching every name ignoring case (each folder listed once while it does
// not change). Links are followed only to targets on the medium. Nothing
// for UNC names, when a part is missing, or a link leads off the medium or
// nowhere.
enum class TLookupFailure { Missing, LeavesMedium, LinkLoop };
std::optional<std::filesystem::path> MapToHost(std::string_view windowsPath,
                                               TLookupFailure* failure = nullptr);

// While one of these is alive (nested ones count as one), lookups trust
// what they found before: each folder on the way to a name is found once,
// and a folder listed is not checked for changes again, so a missing name
// costs one lstat. Open one around work that looks up many names at once
// and changes nothing on the medium (building and laying out a page).
class TLookupBatch {
 public:
  TLookupBatch();
  ~TLookupBatch();
  TLookupBatch(const TLookupBatch&) = delete;
  TLookupBatch& operator=(const TLookupBatch&) = delete;
};

// A program or document an install entry names, found as the launcher
// starts it: a relative name in the entry's folder, then on its own.
// Nothing when it is not on the medium (`failure` says why).
std::optional<std::filesystem::path> FindProgram(std::string_view file, std::string_view directory,
                                                 TLookupFailure* failure = nullptr);

bool FileExists(std::string_view windowsPath);

// Opens a host file for reading when it is a regular file: a FIFO, a
// device or a folder in its place is refused (without waiting for a FIFO's
// writer), `why` then says why.
std::FILE* OpenRegularFile(const std::filesystem::path& file, std::string* why = nullptr);

// The largest file read whole unless the reader asks for less (a picture
// at the size ceiling, with room for its headers).
constexpr size_t kMaxWholeFileBytes = size_t{65} << 20;

// Why a file could not be read whole.
struct TReadError {
  bool TooLarge = false;  // it holds more than the reader takes
  std::string Reason;     // the system's reason, "Is a directory", "larger than N bytes"
};

// A host file read whole: all of its bytes, or nothing when it cannot be
// opened, a read fails or it holds more than maxBytes (`error`, when given,
// then says why). Never a part of a file.
std::optional<std::string> ReadHostFile(const std::filesystem::path& file, size_t maxBytes,
                                        TReadError* error = nullptr);

// The whole file named by a Windows path, as ReadHostFile; a missing file
// gives "No such file or directory".
std::optional<std::string> ReadWholeFile(std::string_view windowsPath,
                                         size_t maxBytes = kMaxWholeFileBytes,
                                         TReadError* error = nullptr);

// The first `count` bytes of the file named by a Windows path (fewer when
// it is shorter); nothing when it cannot be opened or read.
std::optional<std::string> ReadFileStart(std::string_view windowsPath, size_t count);

// The code page of the bytes in Windows paths (1251 for this product).
int AnsiCodePage();

}  // namespace platform
