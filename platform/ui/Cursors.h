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
// The document cursors: the hand over links and the text cursor.
constexpr int crDocumentHand = 1;
constexpr int crDocumentText = 2;

// The cursor for a number; unknown numbers give the arrow.
QCursor CursorFor(int id);
void RegisterCursor(int id, const QCursor& cursor);
// Registers crDocumentHand and crDocumentText.
// TODO: the image module's start-up takes this over when it exists.
void RegisterDocumentCursors();

// Our own 32 x 32 monochrome pictures: a pointing hand with its hot spot at
// the fingertip (13, 9) and a two-pixel-wide I-beam with its hot spot at
// (15, 12).
QCursor HandCursor();
QCursor IBeamCursor();

// The screen cursor that overrides every window's own (the hourglass during
// long work); crDefault lifts the override.
void SetScreenCursor(int id);
int ScreenCursor();

}  // namespace platform
