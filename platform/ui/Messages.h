#pragma once

#include <QEvent>
#include <QObject>
#include <QTimer>
#include <functional>

namespace platform {

// The first message number free for a window's private use.
constexpr int WM_USER = 0x0400;

// A message posted to a window: it arrives through the window's event()
// once the handling in progress has finished.
class TMessageEvent : public QEvent {
 public:
  explicit TMessageEvent(int message) : QEvent(EventType()), Message(message) {}
  static QEvent::Type EventType();
  const int Message;
};

// PostMessage: queues the message for the window and returns at once.
void PostMessage(QObject* window, int message);

// Lets the application handle the messages waiting in its queue
// (Application.ProcessMessages).
void ProcessMessages();

// The framework's timer: while Enabled, OnTimer is called every Interval
// milliseconds on the user-interface thread.
class TTimer {
 public:
  TTimer();
  int Interval() const { return timer_.interval(); }
  void SetInterval(int milliseconds) { timer_.setInterval(milliseconds); }
  bool Enabled() const { return timer_.isActive(); }
  void SetEnabled(bool on);
  std::function<void()> OnTimer;

 private:
  QTimer timer_;
};

}  // namespace platform
