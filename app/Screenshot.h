#pragma once

#include <QImage>
#include <QWidget>
#include <optional>

#include "platform/Region.h"

namespace app {

// The whole window as it is drawn, with every pixel outside the window
// region fully transparent.
QImage GrabWindow(QWidget& window, const std::optional<platform::Region>& region);

}  // namespace app
