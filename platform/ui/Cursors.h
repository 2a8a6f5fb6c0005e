#pragma once

#include <QCursor>

namespace platform {

// Cursor numbers as the framework numbers them; positive numbers are
// cursors the program registers itself.
constexpr int crDefault = 0;
constexpr int crNone = -1;
constexpr int crArrow = -2;
constexpr int crCross = -3;
constexpr int crIBeam = -4;
constexpr int crHourGlass = -11;
constexpr int crHandPoint = -21;

// The cursor for a number; unknown numbers give the arrow.
QCursor CursorFor(int id);
void RegisterCursor(int id, const QCursor& cursor);

// Our own 32 x 32 monochrome pictures: a pointing hand (hot spot at the
// fingertip) and an I-beam (hot spot at its centre).
QCursor HandCursor();
QCursor IBeamCursor();

// The screen cursor that overrides every window's own (the hourglass during
// long work); crDefault lifts the override.
void SetScreenCursor(int id);
int ScreenCursor();

}  // namespace platform
