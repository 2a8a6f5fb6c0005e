#include "platform/ui/Form.h"

#include <QApplication>
#include <QFont>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

#include "platform/ui/QtBridge.h"

namespace platform {

TForm::TForm() : QWidget(nullptr) {
  setMouseTracking(true);
  Font.Observer = this;
  FontChanged();
}

void TForm::FontChanged() {
  QFont font(AnsiToQString(Font.Name()));
  if (Font.Height() < 0) font.setPixelSize(-Font.Height());
  font.setBold(Font.Style() & fsBold);
  font.setItalic(Font.Style() & fsItalic);
  setFont(font);
}

void TForm::SetCaption(const std::string& ansi) {
  caption_ = ansi;
  setWindowTitle(AnsiToQString(ansi));
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
  borderStyle_ = style;
  setWindowFlag(Qt::FramelessWindowHint, style == TFormBorderStyle::bsNone);
}

void TForm::CenterOnScreen() {
  QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->geometry();
  move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
}

void TForm::SetWindowRgn(std::optional<Region> region) {
  region_ = std::move(region);
  if (region_)
    setMask(ToQRegion(*region_));
  else
    clearMask();
}

void TForm::BeginMouseMove(const QPoint& globalPress) {
  QWindow* window = windowHandle();
  if (window && window->startSystemMove()) return;
  // No system move: follow the mouse ourselves until the button is released.
  manualMove_ = true;
  moveOffset_ = globalPress - pos();
  qApp->installEventFilter(this);
}

bool TForm::eventFilter(QObject* watched, QEvent* event) {
  if (manualMove_) {
    if (event->type() == QEvent::MouseMove) {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->buttons() & Qt::LeftButton) {
        move(mouse->globalPosition().toPoint() - moveOffset_);
        return false;
      }
    }
    if (event->type() == QEvent::MouseButtonRelease) {
      manualMove_ = false;
      qApp->removeEventFilter(this);
    }
  }
  return QWidget::eventFilter(watched, event);
}

bool TForm::event(QEvent* event) {
  const bool result = QWidget::event(event);
  if (event->type() == QEvent::WindowActivate && OnActivate) OnActivate();
  return result;
}

}  // namespace platform
