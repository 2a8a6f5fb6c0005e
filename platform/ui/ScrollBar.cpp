#include "platform/ui/ScrollBar.h"

#include <algorithm>
#include <cstdint>

namespace platform {

TScrollBar::TScrollBar(Qt::Orientation orientation, QWidget* parent) : QScrollBar(orientation, parent) {
  // A scroll bar is the window system's own control: it shows the arrow,
  // whatever cursor the window it sits in shows.
  setCursor(Qt::ArrowCursor);
  connect(this, &QAbstractSlider::actionTriggered, this, [this](int action) { ActionTriggered(action); });
  Apply();
}

QSize TScrollBar::sizeHint() const {
  QSize size = QScrollBar::sizeHint();
  if (orientation() == Qt::Vertical)
    size.setWidth(kThickness);
  else
    size.setHeight(kThickness);
  return size;
}

void TScrollBar::SetScrollInfo(unsigned mask, const TScrollInfo& info) {
  if (mask & SIF_RANGE) {
    info_.Min = info.Min;
    info_.Max = info.Max;
  }
  if (mask & SIF_PAGE) info_.Page = std::max(0, info.Page);
  if (mask & SIF_POS) info_.Pos = info.Pos;
  Apply();
}

TScrollInfo TScrollBar::GetScrollInfo() const {
  TScrollInfo info = info_;
  info.TrackPos = sliderPosition();
  return info;
}

void TScrollBar::SetMax(int max) {
  info_.Max = max;
  Apply();
}

void TScrollBar::SetPosition(int position) {
  info_.Pos = position;
  Apply();
}

void TScrollBar::SetSmallChange(int step) {
  smallChange_ = step;
  setSingleStep(step);
}

void TScrollBar::SetLargeChange(int step) {
  largeChange_ = step;
  setPageStep(step);
}

// The thumb runs from Min to Max - Page + 1 (in 64 bits: a range may span
// the whole int range); the stored position is kept inside it, as the
// window system keeps it.
void TScrollBar::Apply() {
  const int64_t top = std::max<int64_t>(
      info_.Min, int64_t{info_.Max} - std::max<int64_t>(info_.Page, 1) + 1);
  info_.Pos = static_cast<int>(std::clamp<int64_t>(info_.Pos, info_.Min, top));
  applying_ = true;
  setRange(info_.Min, static_cast<int>(top));
  setValue(info_.Pos);
  setSliderPosition(info_.Pos);
  applying_ = false;
}

void TScrollBar::ActionTriggered(int action) {
  if (applying_) return;
  TScrollCode code;
  switch (action) {
    case SliderSingleStepAdd: code = SB_LINEDOWN; break;
    case SliderSingleStepSub: code = SB_LINEUP; break;
    case SliderPageStepAdd: code = SB_PAGEDOWN; break;
    case SliderPageStepSub: code = SB_PAGEUP; break;
    case SliderToMinimum: code = SB_TOP; break;
    case SliderToMaximum: code = SB_BOTTOM; break;
    case SliderMove: code = SB_THUMBTRACK; break;
    default: return;
  }
  int position = sliderPosition();
  if (OnScroll) OnScroll(code, position);
  // The handler's answer is where the bar goes; Qt takes the slider
  // position as the new value once this signal returns.
  info_.Pos = position;
  Apply();
  setSliderPosition(info_.Pos);
}

}  // namespace platform
