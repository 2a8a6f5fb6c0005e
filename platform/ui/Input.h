#pragma once

#include <QInputEvent>
#include <QMouseEvent>

namespace platform {

// The framework's mouse buttons and shift state: the keys held and the
// mouse buttons down when an input event happened.
enum TMouseButton { mbLeft, mbRight, mbMiddle };

enum TShiftFlag : unsigned {
  ssShift = 1,
  ssAlt = 2,
  ssCtrl = 4,
  ssLeft = 8,
  ssRight = 16,
  ssMiddle = 32,
  ssDouble = 64,
};
using TShiftState = unsigned;

TShiftState ShiftStateOf(const QInputEvent& event);
// The button that changed in a press or release (left for anything else).
TMouseButton ButtonOf(const QMouseEvent& event);

}  // namespace platform
