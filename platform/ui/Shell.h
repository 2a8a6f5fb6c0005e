#pragma once

#include <string_view>

namespace platform {

// What the launcher asks of the shell. Names and parameters are ANSI bytes;
// paths are Windows paths on the medium. Neither waits for what it starts,
// and neither reports a failure to start beyond its result.

// Opens an address (web, mail) with the desktop's default program.
bool ShellOpenAddress(std::string_view address);

// Starts `file` with `parameters` (split by Windows command-line rules) in
// the working directory, detached, with no shell in between. A relative
// file is looked for in the working directory first. A file that is not a
// program (a document) is opened with the desktop's default program.
bool ShellStartProgram(std::string_view file, std::string_view parameters,
                       std::string_view directory);

}  // namespace platform
