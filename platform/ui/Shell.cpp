#include "platform/ui/Shell.h"

#include <unistd.h>

#include <QProcess>
#include <QStringList>
#include <filesystem>

#include "platform/CommandLine.h"
#include "platform/Paths.h"
#include "platform/ui/QtBridge.h"

namespace platform {

namespace {

// The desktop's opener, started detached (no zombie is left, nothing
// waits) with the address as its one argument.
bool OpenWithDesktop(const QString& what) {
  return QProcess::startDetached(QStringLiteral("xdg-open"), {what});
}

std::unique_ptr<IShell>& CurrentShell() {
  static std::unique_ptr<IShell> shell = std::make_unique<DesktopShell>();
  return shell;
}

}  // namespace

IShell& Shell() {
  return *CurrentShell();
}

void SetShell(std::unique_ptr<IShell> shell) {
  CurrentShell() = shell ? std::move(shell) : std::make_unique<DesktopShell>();
}

bool ShellOpenAddress(std::string_view address) {
  return OpenWithDesktop(AnsiToQString(address));
}

bool ShellStartProgram(std::string_view file, std::string_view parameters,
                       std::string_view directory) {
  std::optional<std::filesystem::path> workingDir = MapToHost(directory);
  const std::optional<std::filesystem::path> program = FindProgram(file, directory);
  if (!program) return false;

  const QString host = QString::fromStdString(program->string());
  const QString cwd = workingDir ? QString::fromStdString(workingDir->string()) : QString();
  if (access(program->c_str(), X_OK) != 0)
    return OpenWithDesktop(host);
  QStringList arguments;
  for (const std::string& argument : SplitCommandLine(parameters))
    arguments << AnsiToQString(argument);
  return QProcess::startDetached(host, arguments, cwd);
}

}  // namespace platform
