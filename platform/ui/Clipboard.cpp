#include "platform/ui/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "platform/CodePage.h"
#include "platform/ui/QtBridge.h"

namespace platform {

void SetClipboardText(std::string_view ansi) {
  QGuiApplication::clipboard()->setText(AnsiToQString(ansi));
}

void SetClipboardText(std::string_view bytes, int codePage) {
  QGuiApplication::clipboard()->setText(QString::fromStdString(BytesToUtf8(bytes, codePage)));
}

std::string ClipboardText() {
  return QStringToAnsi(QGuiApplication::clipboard()->text());
}

}  // namespace platform
