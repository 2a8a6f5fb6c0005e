#include "platform/ui/Form.h"

#include <QApplication>
#include <QFont>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include "platform/ui/QtBridge.h"
#include "platform/ui/X11WindowMove.h"

namespace platform {

TForm::TForm() : QWidget(nullptr) {
  setMouseTracking(true);
  Font.Observer = this;
  FontChanged();
  SetShapeByTransparency(QGuiApplication::platformName().startsWith(QLatin1String("wayland")));
  connect(qApp, &QGuiApplication::focusWindowChanged, this,
          [this](QWindow* focus) { FocusWindowChanged(focus); });
}

TForm::ReturnKeepsPage::ReturnKeepsPage(TForm& form)
    : form_(form), previous_(form.activation_.ReturnKeepsPage()) {
  form_.activation_.SetReturnKeepsPage(true);
}

TForm::ReturnKeepsPage::~ReturnKeepsPage() {
  form_.activation_.SetReturnKeepsPage(previous_);
}

void TForm::FocusWindowChanged(QWindow* focus) {
  using FocusTo = TActivationRule::FocusTo;
  FocusTo to = FocusTo::Nowhere;
  if (focus && focus == windowHandle()) {
    to = FocusTo::MainWindow;
  } else if (focus) {
    const Qt::WindowType type = focus->type();
    to = type == Qt::Popup || type == Qt::ToolTip ? FocusTo::OwnPopup : FocusTo::OwnWindow;
    if (to == FocusTo::OwnWindow) leftFor_ = focus;
  }
  const bool leftWindowOpen = leftFor_ && leftFor_->isVisible();
  if (activation_.FocusMoved(to, leftWindowOpen) && OnActivate) OnActivate();
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

void TForm::SetShapeByTransparency(bool on) {
  shapeByTransparency_ = on;
  setAttribute(Qt::WA_TranslucentBackground, on);
  update();
}

std::optional<QRegion> TForm::ShapeSeenBy(const QWidget& widget) const {
  if (!shapeByTransparency_ || !region_) return std::nullopt;
  return ToQRegion(*region_).translated(-widget.mapTo(this, QPoint(0, 0)));
}

void TForm::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (shapeByTransparency_ && region_) painter.setClipRegion(ToQRegion(*region_));
  painter.fillRect(rect(), palette().window());
}

void TForm::BeginMouseMove(const QPoint& globalPress, const QPoint& globalNow) {
  // The window system's move: on X11 asked for as from the press, so the
  // window keeps the press's offset; elsewhere (a Wayland compositor) it
  // follows the pointer from where it is now.
  QWindow* window = windowHandle();
  if (window && (StartX11WindowMove(*window, globalPress) || window->startSystemMove())) return;
  // No system move: follow the mouse ourselves until the button is
  // released, keeping the press's offset.
  moveOffset_ = globalPress - pos();
  move(globalNow - moveOffset_);
  manualMove_ = true;
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
  if (event->type() == QEvent::Show && activation_.Shown()) {
    QMetaObject::invokeMethod(
        this,
        [this] {
          if (OnActivate) OnActivate();
        },
        Qt::QueuedConnection);
  }
  return result;
}

}  // namespace platform
