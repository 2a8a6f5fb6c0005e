#pragma once

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
std::string DefaultCurrentDirectory(const std::filesystem::path& root);

// A Windows path as a full path on the medium drive: "\a\b" or "x:\a\b" or
// a relative name against the current directory, with "." and ".."
// resolved (never above the root). UNC names ("\\server\...") are returned
// unchanged.
std::string ExpandFileName(std::string_view windowsPath);

// The host path of an existing file or folder named by a Windows path,
// matching every name ignoring case. Nothing for UNC names or when a part
// is missing.
std::optional<std::filesystem::path> MapToHost(std::string_view windowsPath);

bool FileExists(std::string_view windowsPath);

// The whole file, or nothing when it is missing or unreadable.
std::optional<std::string> ReadWholeFile(std::string_view windowsPath);

// The code page of the bytes in Windows paths (1251 for this product).
int AnsiCodePage();

}  // namespace platform
