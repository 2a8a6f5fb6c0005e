#pragma once

#include <memory>
#include <string_view>

namespace platform {

// What the launcher asks of the shell. Names and parameters are ANSI bytes;
// paths are Windows paths on the medium. Neither waits for what it starts,
// and neither reports a failure to start beyond its result.

// Opens an address (web, mail) with the desktop's default program, the
// address handed over as one argument, never through a command shell.
bool ShellOpenAddress(std::string_view address);

// Starts `file` with `parameters` (split by Windows command-line rules) in
// the working directory, detached, with no shell in between. A relative
// file is looked for in the working directory first. A file that is not a
// program (a document) is opened with the desktop's default program.
bool ShellStartProgram(std::string_view file, std::string_view parameters,
                       std::string_view directory);

// The shell as the application reaches it, so tests can stand in for it.
class IShell {
 public:
  virtual ~IShell() = default;
  virtual bool OpenAddress(std::string_view address) = 0;
  virtual bool StartProgram(std::string_view file, std::string_view parameters,
                            std::string_view directory) = 0;
};

// The desktop's shell: the two functions above.
class DesktopShell : public IShell {
 public:
  bool OpenAddress(std::string_view address) override { return ShellOpenAddress(address); }
  bool StartProgram(std::string_view file, std::string_view parameters,
                    std::string_view directory) override {
    return ShellStartProgram(file, parameters, directory);
  }
};

// The application's shell (the desktop's until another is set).
IShell& Shell();
void SetShell(std::unique_ptr<IShell> shell);

}  // namespace platform
