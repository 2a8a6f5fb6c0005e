// Laying the page out for the viewer's width, the scroll bars and their
// ranges, vertical and horizontal scrolling, and painting the document.
#include <algorithm>

#include "viewer/HtmlView.h"

namespace viewer {

namespace {

constexpr int kMaxDocWidth = 2000;

}  // namespace

void ThtmlView::LayoutDocument() {
  ++layoutCount_;
  docWidth_ = 0;
  formatting_ = true;
  try {
    const int b = borderStyle_ == htNone ? 1 : 3;
    int position = 0;
    if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) {
      // Room for the vertical bar is always kept, so its appearing never
      // asks for a second layout.
      const base::TExtent h =
          document_->Layout(*measureCanvas_, marginHeight_,
                            width() - barWidth_ - b - 2 * marginWidth_, position, docWidth_);
      docHeight_ = h + 2 * marginHeight_;
    } else {
      const base::TExtent h = document_->Layout(
          *measureCanvas_, marginHeight_, width() - b - 2 * marginWidth_, position, docWidth_);
      docHeight_ = h + marginHeight_;
    }
    ArrangeScrollBars();
  } catch (...) {
    formatting_ = false;
    throw;
  }
  formatting_ = false;
}

void ThtmlView::ArrangeScrollBars() {
  docWidth_ = std::min<base::TExtent>(docWidth_, kMaxDocWidth);
  const int e = borderStyle_ == htNone ? 0 : 1;
  PaintPanel->move(e, e);
  const int need = 2 * marginWidth_ + docWidth_;
  const int W = width(), H = height(), S = barWidth_;
  bool v = false, h = false;
  if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) {
    v = docHeight_ >= H - 2 || (scrollBars_ == ssBoth && docHeight_ >= H - 2 - S && need > W - S);
    h = scrollBars_ == ssBoth && (need > W || (v && need > W - S));
  } else {
    h = scrollBars_ == ssHorizontal && need > W;
  }
  const int cw = v ? W - S : W;
  PaintPanel->resize(std::max(0, cw - 2 * e), std::max(0, h ? H - 2 * e - S : H - 2 * e));

  const int range = std::max(need, cw - 2 * e);
  HBar->setVisible(h);
  HBar->SetLargeChange(std::max(1, cw - 20));
  HBar->SetBounds(e, H - S - e, cw - e, S);

  VBar->SetBounds(W - S - e, e, S, PaintPanel->height());
  VBar->SetLargeChange(PaintPanel->height() - VBar->SmallChange());
  VBar->setVisible(v);
  ScrollCorner->setGeometry(W - S - e, H - S - e, S, S);
  ScrollCorner->setVisible(v && h);

  HBar->SetMax(std::max(0, range));
  VBar->SetParams32(VBar->Position32, PaintPanel->height() + 1, 0, docHeight_);
  platform::TScrollInfo page;
  page.Page = cw;
  HBar->SetScrollInfo(platform::SIF_PAGE, page);
}

void ThtmlView::Reformat() {
  if (processing_) return;
  SetProcessing(true);
  try {
    const int position = SavedPosition();
    LayoutDocument();
    SetSavedPosition(position);
  } catch (...) {
    SetProcessing(false);
    throw;
  }
  SetProcessing(false);
}

int ThtmlView::LimitY(int y) const {
  const int64_t top = int64_t{docHeight_} - PaintPanel->height();
  return static_cast<int>(std::max<int64_t>(0, std::min<int64_t>(y, top)));
}

void ThtmlView::ScrollToY(int y) {
  y = LimitY(y);
  VBar->SetPosition32(y);
  document_->SetYOffset(y);
  update();
  PaintPanel->update();
}

void ThtmlView::SetScrollTop(int y) {
  y = LimitY(y);
  if (y != VBar->Position32) ScrollToY(y);
}

void ThtmlView::VScroll(platform::TScrollCode code) {
  setFocus();
  const platform::TScrollInfo info = VBar->GetScrollInfo();
  const int64_t old = VBar->Position32;
  int64_t target = old;
  switch (code) {
    case platform::SB_THUMBTRACK:
      target = info.TrackPos;
      break;
    case platform::SB_LINEUP:
      target = old - VBar->SmallChange();
      break;
    case platform::SB_LINEDOWN:
      target = old + VBar->SmallChange();
      break;
    case platform::SB_PAGEUP:
      target = old - VBar->LargeChange();
      break;
    case platform::SB_PAGEDOWN:
      target = old + VBar->LargeChange();
      break;
    case platform::SB_TOP:
      target = 0;
      break;
    case platform::SB_BOTTOM:
      target = int64_t{docHeight_} - PaintPanel->height();
      break;
    default:
      break;
  }
  const int position = LimitY(static_cast<int>(std::clamp<int64_t>(target, INT32_MIN, INT32_MAX)));
  VBar->SetPosition32(position);
  document_->SetYOffset(position);
  ScrollPanel(static_cast<int>(old), position);
}

// Moves what the panel shows and repaints only the uncovered strip; a move
// of a whole panel or more repaints it all.
void ThtmlView::ScrollPanel(int oldPosition, int newPosition) {
  const int64_t delta = int64_t{oldPosition} - newPosition;
  if (delta == 0) return;
  if (std::abs(delta) >= PaintPanel->height()) {
    PaintPanel->update();
  } else {
    PaintPanel->scroll(0, static_cast<int>(delta));
  }
}

void ThtmlView::HScrollChanged(platform::TScrollCode, int& position) {
  setFocus();
  position = std::min(position, HBar->Max() - PaintPanel->width());
  position = std::max(position, 0);
  PaintPanel->update();
}

void ThtmlView::PaintDocument(TPaintPanel& panel) {
  if (formatting_ || !panel.MemCanvas) return;
  document_->Draw(*panel.MemCanvas, {marginWidth_, 1, panel.width(), panel.height()}, kMaxDocWidth,
                  marginWidth_ - HBar->Position(), marginHeight_);
}

}  // namespace viewer
