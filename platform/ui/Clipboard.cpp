#include "platform/ui/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "platform/ui/QtBridge.h"

namespace platform {

void SetClipboardText(std::string_view ansi) {
  QGuiApplication::clipboard()->setText(AnsiToQString(ansi));
}

std::string ClipboardText() {
  return QStringToAnsi(QGuiApplication::clipboard()->text());
}

}  // namespace platform
