#pragma once

#include <QImage>
#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "platform/Region.h"
#include "platform/ui/Form.h"

namespace app {

// The whole window as it is drawn, with every pixel outside the window
// region fully transparent.
QImage GrabWindow(QWidget& window, const std::optional<platform::Region>& region);

// The launcher's window as a PNG file; false (said on standard error) when
// the file cannot be written.
bool WriteScreenshot(platform::TForm& form, const std::string& file);

// The file name of a page's picture among the pictures of all `pages`: the
// page's name below the HTML folder with ".png" for its extension
// ("help.png", "sub-a.png"), its whole name when that would be taken twice.
std::string ScreenshotName(const std::string& page, const std::vector<std::string>& pages);

}  // namespace app
