#include "platform/ui/Input.h"

namespace platform {

TShiftState ShiftStateOf(const QInputEvent& event) {
  TShiftState state = 0;
  const Qt::KeyboardModifiers keys = event.modifiers();
  if (keys & Qt::ShiftModifier) state |= ssShift;
  if (keys & Qt::AltModifier) state |= ssAlt;
  if (keys & Qt::ControlModifier) state |= ssCtrl;
  if (const auto* mouse = dynamic_cast<const QMouseEvent*>(&event)) {
    const Qt::MouseButtons buttons = mouse->buttons();
    if (buttons & Qt::LeftButton) state |= ssLeft;
    if (buttons & Qt::RightButton) state |= ssRight;
    if (buttons & Qt::MiddleButton) state |= ssMiddle;
    if (mouse->type() == QEvent::MouseButtonDblClick) state |= ssDouble;
  }
  return state;
}

TMouseButton ButtonOf(const QMouseEvent& event) {
  switch (event.button()) {
    case Qt::RightButton: return mbRight;
    case Qt::MiddleButton: return mbMiddle;
    default: return mbLeft;
  }
}

}  // namespace platform
