#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/MainWindow.h"

namespace app {

// One thing wrong with a medium: where (a Windows path on the medium and a
// 1-based line; line 0 for the file as a whole) and what, with what the
// launcher would do about it.
struct TProblem {
  std::string File;
  int Line = 0;
  bool Warning = false;
  std::string Message;  // UTF-8
};

struct TCheckReport {
  // The medium has no HTML folder, or its root is no folder: nothing else
  // was looked at.
  bool Unreadable = false;
  std::string UnreadableReason;
  std::vector<TProblem> Problems;  // sorted by file, then line
  // The pages the launcher can reach, in the order they were found
  // (Windows paths; the five button pages and soft.htm first).
  std::vector<std::string> Pages;
};

// Reads the medium at the platform's medium root as the launcher reads it,
// with the window's own viewer and command-file code, nothing shown and
// nothing started: the files it loads at activation, every page reachable
// through local links and what those pages use, the install and key links
// against the command files, names that differ only in case, and what no
// link reaches.
TCheckReport CheckMedium(TForm1& form);

// Writes the problems as "FILE:LINE: message" lines, FILE the host path
// below `shownRoot` (the root as the user named it), then a summary line.
// Gives the status: 0 no problem, 1 problems, 2 the medium cannot be read.
int WriteCheckReport(const TCheckReport& report, const std::filesystem::path& shownRoot,
                     std::FILE* out);

}  // namespace app
