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

// The file names of the pages' pictures, one each and never one twice: a
// page's path below the HTML folder (below the medium's root for a page
// elsewhere), folders joined with "-", with ".png" for its extension
// ("help.png", "sub-a.png", "A-page.png"); its whole name when that would
// be taken twice, and a number after it when even that would. Names that
// differ only in case count as one: the folder may ignore case.
std::vector<std::string> ScreenshotNames(const std::vector<std::string>& pages);

}  // namespace app
