#include "platform/Screen.h"

#include <QGuiApplication>
#include <QScreen>

namespace platform {

int ScreenColorDepth() {
  if (!QGuiApplication::instance()) return 24;
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->depth() : 24;
}

}  // namespace platform
