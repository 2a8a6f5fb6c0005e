#include "platform/ui/Shell.h"

#include <unistd.h>

#include <QDesktopServices>
#include <QProcess>
#include <QStringList>
#include <QUrl>
#include <filesystem>

#include "platform/CommandLine.h"
#include "platform/Paths.h"
#include "platform/ui/QtBridge.h"

namespace platform {

namespace {

bool IsRelative(std::string_view path) {
  const bool rooted = !path.empty() && (path[0] == '\\' || path[0] == '/');
  const bool drive = path.size() >= 2 && path[1] == ':';
  return !rooted && !drive;
}

}  // namespace

bool ShellOpenAddress(std::string_view address) {
  return QDesktopServices::openUrl(QUrl(AnsiToQString(address), QUrl::TolerantMode));
}

bool ShellStartProgram(std::string_view file, std::string_view parameters,
                       std::string_view directory) {
  std::optional<std::filesystem::path> workingDir = MapToHost(directory);
  std::optional<std::filesystem::path> program;
  if (IsRelative(file) && !directory.empty()) {
    std::string inDirectory(directory);
    if (inDirectory.back() != '\\' && inDirectory.back() != '/') inDirectory += '\\';
    program = MapToHost(inDirectory + std::string(file));
  }
  if (!program) program = MapToHost(file);
  if (!program) return false;

  const QString host = QString::fromStdString(program->string());
  const QString cwd = workingDir ? QString::fromStdString(workingDir->string()) : QString();
  if (access(program->c_str(), X_OK) != 0)
    return QDesktopServices::openUrl(QUrl::fromLocalFile(host));
  QStringList arguments;
  for (const std::string& argument : SplitCommandLine(parameters))
    arguments << AnsiToQString(argument);
  return QProcess::startDetached(host, arguments, cwd);
}

}  // namespace platform
