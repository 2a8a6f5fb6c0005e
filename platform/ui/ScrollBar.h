#pragma once

#include <QScrollBar>
#include <functional>

namespace platform {

// The scroll notification codes of the window system.
enum TScrollCode {
  SB_LINEUP = 0,
  SB_LINEDOWN = 1,
  SB_PAGEUP = 2,
  SB_PAGEDOWN = 3,
  SB_THUMBPOSITION = 4,
  SB_THUMBTRACK = 5,
  SB_TOP = 6,
  SB_BOTTOM = 7,
  SB_ENDSCROLL = 8,
};

// Which members of a TScrollInfo a call reads or sets.
constexpr unsigned SIF_RANGE = 0x01;
constexpr unsigned SIF_PAGE = 0x02;
constexpr unsigned SIF_POS = 0x04;
constexpr unsigned SIF_TRACKPOS = 0x10;
constexpr unsigned SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;  // 23

// The window system's scroll information: a range Min .. Max (both
// included) of which Page units are visible, so the thumb's position runs
// from Min to Max - Page + 1.
struct TScrollInfo {
  int Min = 0;
  int Max = 100;
  int Page = 0;
  int Pos = 0;
  int TrackPos = 0;
};

// The framework's scroll bar with the window system's scroll information
// and notifications. The bar never moves by itself: a user action is
// reported through OnScroll with the position the action proposes, and the
// position the handler leaves in `position` is the one the bar takes.
class TScrollBar : public QScrollBar {
 public:
  TScrollBar(Qt::Orientation orientation, QWidget* parent);

  // The window system's scroll bar thickness at 96 DPI, whatever the Qt
  // style would draw: layouts that leave room for a bar count on it.
  static constexpr int kThickness = 16;
  QSize sizeHint() const override;

  void SetScrollInfo(unsigned mask, const TScrollInfo& info);
  TScrollInfo GetScrollInfo() const;

  // The framework's properties: Max is the top of the range, Position the
  // thumb's place; SmallChange and LargeChange are the steps of a line and
  // a page action.
  int Max() const { return info_.Max; }
  void SetMax(int max);
  int Position() const { return info_.Pos; }
  void SetPosition(int position);
  int SmallChange() const { return smallChange_; }
  void SetSmallChange(int step);
  int LargeChange() const { return largeChange_; }
  void SetLargeChange(int step);
  void SetBounds(int left, int top, int width, int height) {
    setGeometry(left, top, width, height);
  }
  // A bar that is not a tab stop never takes the focus from the keyboard.
  void SetTabStop(bool on) { setFocusPolicy(on ? Qt::TabFocus : Qt::NoFocus); }

  std::function<void(TScrollCode code, int& position)> OnScroll;

 private:
  void Apply();
  void ActionTriggered(int action);

  TScrollInfo info_;
  int smallChange_ = 1;
  int largeChange_ = 1;
  bool applying_ = false;
};

}  // namespace platform
