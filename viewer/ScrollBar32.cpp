#include "viewer/ScrollBar32.h"

namespace viewer {

T32ScrollBar::T32ScrollBar(QWidget* parent) : platform::TScrollBar(Qt::Vertical, parent) {
  OnScroll = [this](platform::TScrollCode code, int& position) {
    if (OnVScroll) OnVScroll(code);
    position = Position32;
  };
}

void T32ScrollBar::SetParams32(int position, int page, int minimum, int maximum) {
  if (position == Position32 && page == Page32 && minimum == Min32 && maximum == Max32) return;
  platform::TScrollInfo info;
  info.Min = minimum;
  info.Max = maximum;
  info.Page = page;
  info.Pos = position;
  SetScrollInfo(platform::SIF_ALL, info);
  Position32 = position;
  Min32 = minimum;
  Max32 = maximum;
  Page32 = page;
}

}  // namespace viewer
