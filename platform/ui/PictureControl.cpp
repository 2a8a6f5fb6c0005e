#include "platform/ui/PictureControl.h"

#include <QMouseEvent>
#include <QPainter>

#include "platform/BmpReader.h"
#include "platform/Exceptions.h"
#include "platform/Paths.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/Form.h"
#include "platform/ui/QtBridge.h"

namespace platform {

TImage::TImage(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TImage::SetPicture(Bitmap picture) {
  picture_ = std::move(picture);
  shownIsStale_ = true;
  PictureChanged();
}

void TImage::LoadPictureFromFile(std::string_view windowsPath) {
  TReadError error;
  const std::optional<std::string> bytes = ReadWholeFile(windowsPath, kMaxWholeFileBytes, &error);
  if (!bytes && error.TooLarge) throw EInvalidGraphic();  // larger than any picture we take
  if (!bytes) throw EFOpenError(std::string(windowsPath));
  std::optional<Bitmap> bitmap =
      ReadBmp(std::span(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size()));
  if (!bitmap) throw EInvalidGraphic();
  SetPicture(std::move(*bitmap));
}

void TImage::SetAutoSize(bool on) {
  autoSize_ = on;
  if (on && !picture_.Empty()) resize(picture_.Width(), picture_.Height());
}

void TImage::SetCursorId(int id) {
  setCursor(CursorFor(id));
}

void TImage::PictureChanged() {
  ++changeCount_;
  if (autoSize_ && !picture_.Empty()) resize(picture_.Width(), picture_.Height());
  update();
}

void TImage::paintEvent(QPaintEvent*) {
  if (shownIsStale_) {
    shown_ = picture_.Empty() ? QImage() : ToQImage(picture_);
    shownIsStale_ = false;
    if (!picture_.Empty()) ++conversionCount_;
  }
  if (shown_.isNull()) return;
  QPainter painter(this);
  // A picture reaching past a window shape made of transparency (a button
  // under a tab's corner) is cut where the window system would cut it.
  if (const auto* form = dynamic_cast<const TForm*>(window()))
    if (const std::optional<QRegion> shape = form->ShapeSeenBy(*this))
      painter.setClipRegion(*shape);
  painter.drawImage(0, 0, shown_);
}

void TImage::mouseMoveEvent(QMouseEvent* event) {
  if (OnMouseMove) OnMouseMove(event->position().toPoint().x(), event->position().toPoint().y());
}

void TImage::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) pressed_ = true;
  if (OnMouseDown)
    OnMouseDown(event->button(), event->position().toPoint().x(), event->position().toPoint().y());
}

void TImage::mouseReleaseEvent(QMouseEvent* event) {
  const bool click =
      pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  if (event->button() == Qt::LeftButton) pressed_ = false;
  if (click && OnClick) OnClick();
}

}  // namespace platform
