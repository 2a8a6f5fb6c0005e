#include "platform/ui/Messages.h"

#include <QCoreApplication>

namespace platform {

QEvent::Type TMessageEvent::EventType() {
  static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

void PostMessage(QObject* window, int message) {
  QCoreApplication::postEvent(window, new TMessageEvent(message));
}

void ProcessMessages() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

TTimer::TTimer() {
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    if (OnTimer) OnTimer();
  });
}

void TTimer::SetEnabled(bool on) {
  if (on == timer_.isActive()) return;
  if (on)
    timer_.start();
  else
    timer_.stop();
}

}  // namespace platform
