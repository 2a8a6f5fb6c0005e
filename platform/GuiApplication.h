#pragma once

namespace platform {

// Fonts and glyph drawing need Qt's GUI application object. Programs with
// widgets make their own QApplication first; headless tools and tests call
// this, which makes an offscreen one when none exists yet.
void EnsureGuiApplication();

}  // namespace platform
