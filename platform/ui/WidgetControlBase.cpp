// What every widget control shares: its event hook, the freeing of its
// widget, the widget's font and its sizes in a picture of a window not shown.

#include "platform/ui/WidgetControlBase.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <vector>

namespace platform::widgets {

namespace {

// The window system's key code for a Qt key event (the keys the engine
// looks at; others keep their character code, or 0).
int VirtualKeyOf(const QKeyEvent& event) {
  switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return VK_RETURN;
    case Qt::Key_Escape:
      return 27;
    case Qt::Key_Tab:
      return 9;
    default:
      break;
  }
  const QString text = event.text();
  return text.size() == 1 && text[0].unicode() < 128 ? text[0].toUpper().unicode() : 0;
}

// The widgets whose handlers are running, innermost last.
std::vector<const QObject*>& Dispatching() {
  static std::vector<const QObject*> widgets;
  return widgets;
}

}  // namespace

TDispatchScope::TDispatchScope(const QObject* widget) {
  Dispatching().push_back(widget);
}

TDispatchScope::~TDispatchScope() {
  Dispatching().pop_back();
}

bool TEventHook::eventFilter(QObject* widget, QEvent* event) {
  const TDispatchScope scope(widget);
  switch (event->type()) {
    case QEvent::FocusIn:
      Call(control_.OnEnter);
      break;
    case QEvent::FocusOut:
      Call(control_.OnExit);
      break;
    case QEvent::KeyPress: {
      if (!control_.OnKeyDown) break;
      int key = VirtualKeyOf(*static_cast<QKeyEvent*>(event));
      if (key == 0) break;
      const auto handler = control_.OnKeyDown;
      handler(key);
      return false;
    }
    default:
      break;
  }
  return false;
}

void TEventHook::Call(const std::function<void()>& handler) {
  if (!handler) return;
  const auto copy = handler;
  copy();
}

void FreeWidget(QWidget* frame, QWidget* focus, QObject* hook) {
  if (!frame) return;
  if (focus) {
    focus->removeEventFilter(hook);
    focus->disconnect();
  }
  const auto& busy = Dispatching();
  const bool inHandler = std::any_of(busy.begin(), busy.end(), [frame](const QObject* w) {
    return w == frame || frame->isAncestorOf(qobject_cast<const QWidget*>(w));
  });
  if (inHandler) {
    frame->hide();
    frame->deleteLater();
  } else {
    delete frame;
  }
}

void SendResizes(QWidget& widget) {
  QResizeEvent resize(widget.size(), QSize());
  QCoreApplication::sendEvent(&widget, &resize);
  for (QObject* child : widget.children())
    if (auto* w = qobject_cast<QWidget*>(child);
        w && !w->isWindow() && w->testAttribute(Qt::WA_PendingResizeEvent))
      SendResizes(*w);
}

QFont ToQFont(const TFont& font) {
  QFont qfont(QString::fromStdString(font.Face().FamilyName()));
  qfont.setPixelSize(std::max(1, font.Face().Ppem()));
  return qfont;
}

bool TakesTab(const QPlainTextEdit& edit) {
  return !edit.tabChangesFocus() && !edit.isReadOnly();
}

}  // namespace platform::widgets
