#include "skinform/SkinForm.h"

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>

#include "platform/Exceptions.h"
#include "platform/ui/Form.h"

namespace skinform {

namespace {

// Read a stored value in pieces, so a hostile length cannot make us
// allocate more than the stream really holds.
constexpr size_t kReadChunk = 64 * 1024;

}  // namespace

TSkinForm::TSkinForm(QWidget* owner)
    : platform::TImage(nullptr), mask_(std::make_unique<TRegionType>(this)) {
  if (owner) SetParentControl(owner);
}

TSkinForm::~TSkinForm() {
  if (parentWidget()) parentWidget()->removeEventFilter(this);
}

void TSkinForm::SetMask(std::unique_ptr<TRegionType> mask) {
  if (!mask) return;
  mask_ = std::move(mask);
  mask_->owner_ = this;
}

void TSkinForm::SetTop(int) {
  move(x(), 0);
}
void TSkinForm::SetLeft(int) {
  move(0, y());
}
void TSkinForm::SetWidth(int value) {
  resize(value, height());
}
void TSkinForm::SetHeight(int value) {
  resize(width(), value);
}

void TSkinForm::SetParentControl(QWidget* parent) {
  if (parentWidget()) parentWidget()->removeEventFilter(this);
  setParent(parent);
  if (parent) {
    auto* form = dynamic_cast<platform::TForm*>(parent);
    if (!form) {
      setParent(nullptr);
      throw platform::EInvalidOperation(kNotOnFormMessage);
    }
    form->SetBorderStyle(platform::TFormBorderStyle::bsNone);
    // Aligned to the whole client area, also when the form is resized.
    parent->installEventFilter(this);
    FillParent();
    show();
  }
  SetTop(0);
  SetLeft(0);
}

void TSkinForm::FillParent() {
  if (parentWidget()) setGeometry(0, 0, parentWidget()->width(), parentWidget()->height());
}

bool TSkinForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize) FillParent();
  return platform::TImage::eventFilter(watched, event);
}

void TSkinForm::ReadMask(platform::TStream& stream) {
  uint8_t lengthBytes[4] = {};
  if (stream.Read(lengthBytes, 4) != 4) return;
  const uint32_t length = static_cast<uint32_t>(lengthBytes[0]) | (lengthBytes[1] << 8) |
                          (lengthBytes[2] << 16) | (static_cast<uint32_t>(lengthBytes[3]) << 24);
  mask_->region_.reset();
  if (length == 0) return;

  std::vector<uint8_t> block;
  while (block.size() < length) {
    const size_t want = std::min<size_t>(kReadChunk, length - block.size());
    const size_t before = block.size();
    block.resize(before + want);
    const size_t got = stream.Read(block.data() + before, want);
    if (got != want) return;  // truncated value: refused, window stays rectangular
  }
  maskData_ = std::move(block);

  mask_->region_ = platform::Region::FromRgnData(maskData_);
  mask_->ownedByWindow_ = false;
  if (designing_ || !mask_->region_) return;
  if (auto* form = dynamic_cast<platform::TForm*>(parentWidget())) {
    form->SetWindowRgn(*mask_->region_);
    mask_->ownedByWindow_ = true;
  }
}

void TSkinForm::WriteMask(platform::TStream& stream) const {
  if (!mask_->region_) {
    const uint8_t zero[4] = {};
    stream.Write(zero, 4);
    return;
  }
  const std::vector<uint8_t> data = mask_->region_->ToRgnData();
  const uint32_t length = static_cast<uint32_t>(data.size());
  const uint8_t lengthBytes[4] = {static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8),
                                  static_cast<uint8_t>(length >> 16),
                                  static_cast<uint8_t>(length >> 24)};
  stream.Write(lengthBytes, 4);
  stream.Write(data.data(), data.size());
}

void TSkinForm::PictureChanged() {
  // Replaces the picture control's handler: no resizing, no repainting.
  // Every picture here is already a bitmap; a new skin invalidates the
  // mask (a region the window owns stays the window's).
  CountChange();
  if (mask_->region_) {
    mask_->region_.reset();
    mask_->ownedByWindow_ = false;
  }
}

void TSkinForm::mousePressEvent(QMouseEvent* event) {
  // Only the left button acts, and the control's own mouse-down event is
  // not raised: the press belongs to the window move.
  if (event->button() != Qt::LeftButton || !draggable_) return;
  pressAt_ = event->globalPosition().toPoint();
}

void TSkinForm::mouseMoveEvent(QMouseEvent* event) {
  platform::TImage::mouseMoveEvent(event);
  if (!pressAt_ || !(event->buttons() & Qt::LeftButton)) return;
  // The window moves only once the pointer has really gone somewhere with
  // the button down: a window manager's move started by a quick click
  // would go on after the button is up.
  const QPoint now = event->globalPosition().toPoint();
  if ((now - *pressAt_).manhattanLength() < QApplication::startDragDistance()) return;
  const QPoint press = *pressAt_;
  pressAt_.reset();
  if (auto* form = dynamic_cast<platform::TForm*>(window())) form->BeginMouseMove(press, now);
}

void TSkinForm::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) pressAt_.reset();
  platform::TImage::mouseReleaseEvent(event);
}

}  // namespace skinform
