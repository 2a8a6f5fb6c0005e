#pragma once

#include <functional>

#include "platform/ui/ScrollBar.h"

namespace viewer {

// A vertical scroll bar whose position, range and page are 32-bit values it
// keeps itself, so a page may be taller than 32767 pixels. The values reach
// the window system only through SetParams32.
class T32ScrollBar : public platform::TScrollBar {
 public:
  explicit T32ScrollBar(QWidget* parent);

  int Position32 = 0;
  int Min32 = 0;
  int Max32 = 0;
  int Page32 = 0;

  void SetParams32(int position, int page, int minimum, int maximum);
  void SetPosition32(int position) { SetParams32(position, Page32, Min32, Max32); }
  void SetMax32(int maximum) { SetParams32(Position32, Page32, Min32, maximum); }

  // The vertical scroll notification: the code and the position the window
  // system tracks; the handler moves the bar itself.
  std::function<void(platform::TScrollCode code)> OnVScroll;
};

}  // namespace viewer
