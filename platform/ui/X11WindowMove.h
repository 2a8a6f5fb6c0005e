#pragma once

#include <QPoint>

class QWindow;

namespace platform {

// Asks an X11 window manager to move the window with the pointer, as
// dragged from `globalPress`: the window keeps the offset the press had,
// however far the pointer went before the move began. False where this is
// no X11 session or no window manager moves windows on request.
bool StartX11WindowMove(QWindow& window, QPoint globalPress);

}  // namespace platform
