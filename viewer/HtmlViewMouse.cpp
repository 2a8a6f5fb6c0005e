// The mouse on the page: cursors, link and picture events, following links
// on release, selecting by dragging (scrolling while the mouse is outside)
// and by double click, and copying the selection.
#include <QCursor>
#include <QDateTime>
#include <algorithm>

#include "layout/Section.h"
#include "platform/CodePage.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/Cursors.h"
#include "viewer/HtmlView.h"

namespace viewer {

namespace {

constexpr int kAutoScrollInterval = 100;  // ms between automatic steps
constexpr int kSmallStep = 16;

// Letters and digits of the page's 8-bit text; 0xD7 and 0xF7 are the
// multiplication and division signs of the Latin pages.
bool IsWordCharacter(uint8_t c) {
  return (c >= 0x30 && c <= 0x39) || (c >= 0x41 && c <= 0x5A) || (c >= 0x61 && c <= 0x7A) ||
         (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8);
}

}  // namespace

int ThtmlView::DocumentY(int panelY) const {
  return document_->YOffset + panelY - marginHeight_;
}

int ThtmlView::PointToPos(int x, int y, bool* insideText) {
  int caretX = 0, caretY = 0, caretHeight = 0;
  bool inside = false;
  layout::TCell* cell = nullptr;
  const int position = document_->PointToPos(*measureCanvas_, x, DocumentY(y), caretX, caretY,
                                             caretHeight, inside, cell);
  if (insideText) *insideText = inside;
  return position;
}

std::optional<ThtmlView::TLinkHit> ThtmlView::LinkAt(int x, int y) {
  std::unique_ptr<base::TUrlTarget> url;
  layout::TFormControlObj* control = nullptr;
  if (!document_->GetUrlAt(*measureCanvas_, x, DocumentY(y), url, control)) return std::nullopt;
  TLinkHit hit;
  hit.FormControl = control;
  if (url) {
    hit.Url = url->Url;
    hit.Target = url->Target;
  }
  return hit;
}

void ThtmlView::PanelMouseDown(platform::TMouseButton button, platform::TShiftState shift, int x,
                               int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
  setFocus();
  linkFollowed_ = false;
  if (button != platform::mbLeft) return;
  linkPending_ = true;
  dragging_ = true;
  selAnchor_ = PointToPos(x, y);
  if (selAnchor_ < 0) return;
  if (document_->SelStart != document_->SelEnd) PaintPanel->update();
  document_->SelStart = document_->SelEnd = selAnchor_;
  caret_ = selAnchor_;
}

void ThtmlView::PanelMouseMove(platform::TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
  std::string url, target;
  if (const auto hit = LinkAt(x, y)) {
    PaintPanel->SetCursorId(platform::crDocumentHand);
    if (!hit->FormControl) {
      url = hit->Url;
      target = hit->Target;
    }
  } else {
    layout::TImageObj* picture = nullptr;
    int insideX = 0, insideY = 0;
    if ((OnImageClick || OnImageOver) &&
        document_->GetObjectAt(x, DocumentY(y), picture, insideX, insideY)) {
      PaintPanel->SetCursorId(platform::crArrow);
      if (OnImageOver) OnImageOver(this, picture, shift, insideX, insideY);
    } else {
      bool insideText = false;
      const bool onText = PointToPos(x, y, &insideText) >= 0 && insideText;
      PaintPanel->SetCursorId(onText ? cursorId_ : platform::crArrow);
    }
  }
  if (url != linkUrl_) {
    linkUrl_ = url;
    linkTarget_ = target;
    if (OnHotSpotCovered) OnHotSpotCovered(this, url);
  }
  if (shift & platform::ssLeft) {
    if (!autoScrolling_ && (y <= 0 || y > height())) {
      autoScrolling_ = true;
      platform::PostMessage(this, kAutoScrollMessage);
    }
    if (!noSelect_) ExtendSelection(x, y);
  }
}

void ThtmlView::ExtendSelection(int x, int y) {
  if (!dragging_ || selAnchor_ < 0) return;
  y = std::clamp(y, 0, height());
  const int p = PointToPos(x, y);
  if (p >= 0 && p != caret_ && !noSelect_) {
    document_->SelStart = std::min(p, selAnchor_);
    document_->SelEnd = std::max(p, selAnchor_);
    PaintPanel->update();
  }
  if (p >= 0) caret_ = p;
}

void ThtmlView::PanelMouseUp(platform::TMouseButton button, platform::TShiftState shift, int x,
                             int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
  if (OnImageClick || OnRightClick) {
    layout::TImageObj* picture = nullptr;
    int insideX = 0, insideY = 0;
    const bool found = document_->GetObjectAt(x, DocumentY(y), picture, insideX, insideY);
    if (OnImageClick && found) OnImageClick(this, picture, button, shift, insideX, insideY);
    if (button == platform::mbRight && OnRightClick) {
      TRightClickParameters parameters;
      if (found) {
        parameters.ClickedImage = picture;
        parameters.ClickX = insideX;
        parameters.ClickY = insideY;
      }
      if (const auto hit = LinkAt(x, y); hit && !hit->FormControl) {
        parameters.ClickUrl = hit->Url;
        parameters.ClickTarget = hit->Target;
      }
      OnRightClick(this, parameters);
    }
  }
  if (button != platform::mbLeft) return;
  ExtendSelection(x, y);
  dragging_ = false;
  autoScrolling_ = false;
  if (linkPending_ && document_->SelEnd <= document_->SelStart) {
    if (const auto hit = LinkAt(x, y)) {
      linkPending_ = false;
      if (hit->FormControl) {
        hit->FormControl->ImageClicked();
      } else {
        linkUrl_ = hit->Url;
        linkTarget_ = hit->Target;
        linkFollowed_ = true;
        FollowLink();
      }
      return;
    }
  }
  linkPending_ = false;
}

void ThtmlView::SelectWordAt(int x, int y) {
  if (noSelect_ || processing_ || linkFollowed_) return;
  const int p = PointToPos(x, y);
  if (p < 0) return;
  caret_ = p;
  // The caret point of p must lie on the line the mouse is on.
  int caretX = 0, caretY = 0, caretHeight = 0, pointX = 0, pointY = 0;
  bool inside = false;
  layout::TCell* cell = nullptr;
  document_->PointToPos(*measureCanvas_, x, DocumentY(y), caretX, caretY, caretHeight, inside,
                        cell);
  if (!document_->PosToPoint(*measureCanvas_, p, pointX, pointY) ||
      pointY - marginHeight_ != caretY)
    return;
  layout::TSectionBase* home = nullptr;
  char ch = 0;
  if (!document_->GetCharAt(p, ch, home) || !IsWordCharacter(static_cast<uint8_t>(ch))) return;
  // A character of another section counts as a space: words end there.
  const auto wordAt = [&](int position) {
    layout::TSectionBase* section = nullptr;
    char c = 0;
    return document_->GetCharAt(position, c, section) && section == home &&
           IsWordCharacter(static_cast<uint8_t>(c));
  };
  int first = p, last = p;
  while (wordAt(last + 1)) ++last;
  while (first > 0 && wordAt(first - 1)) --first;
  document_->SelStart = first;
  document_->SelEnd = last + 1;
  PaintPanel->update();
}

void ThtmlView::AutoScroll() {
  // The first step comes at once; then one every interval while the
  // mouse stays outside and the button is held.
  lastAutoStep_ = 0;
  StepAutoScroll();
  if (autoScrolling_) autoScrollTimer_.SetEnabled(true);
}

void ThtmlView::StepAutoScroll() {
  const QPoint mouse = mapFromGlobal(QCursor::pos());
  if (!autoScrolling_ || (mouse.y() >= 1 && mouse.y() <= height())) {
    autoScrolling_ = false;
    autoScrollTimer_.SetEnabled(false);
    return;
  }
  const int64_t now = QDateTime::currentMSecsSinceEpoch();
  if (lastAutoStep_ != 0 && now - lastAutoStep_ <= kAutoScrollInterval) return;
  lastAutoStep_ = now;
  AutoScrollStep(mouse.x(), mouse.y());
}

void ThtmlView::AutoScrollStep(int x, int y) {
  int64_t step = kSmallStep;
  if (y < -15)
    step = -8 * kSmallStep;
  else if (y <= 0)
    step = -kSmallStep;
  else if (y > height() + 15)
    step = 8 * kSmallStep;
  const int position =
      LimitY(static_cast<int>(std::clamp<int64_t>(VBar->Position32 + step, INT32_MIN, INT32_MAX)));
  document_->SetYOffset(position);
  VBar->SetPosition32(position);
  ExtendSelection(x, y);
  PaintPanel->update();
}

std::string ThtmlView::SelectedText() {
  std::string text;
  if (document_->SelStart >= document_->SelEnd) return text;
  document_->ClipBuffer = &text;
  try {
    document_->CopySelection();
  } catch (...) {
    document_->ClipBuffer = nullptr;
    throw;
  }
  document_->ClipBuffer = nullptr;
  return text;
}

void ThtmlView::CopyToClipboard() {
  const std::string copied = SelectedText();
  // The copy holds the page's characters as stored: a picture or a control
  // is a placeholder byte, which is no text for another program, and lines
  // end in CR LF, which only Windows wants.
  std::string text;
  text.reserve(copied.size());
  for (size_t i = 0; i < copied.size(); ++i) {
    const char c = copied[i];
    if (c == layout::kImageByte || c == layout::kControlByte) continue;
    if (c == '\r' && i + 1 < copied.size() && copied[i + 1] == '\n') {
      text += platform::kLineEnd;
      ++i;
      continue;
    }
    text += c;
  }
  if (text.empty()) return;
  platform::SetClipboardText(text, platform::CharsetToCodePage(document_->CharSet));
}

void ThtmlView::SelectAll() {
  if (noSelect_ || document_->Length <= 0) return;
  document_->SelStart = 0;
  document_->SelEnd = document_->Length;
  PaintPanel->update();
}

}  // namespace viewer
