#pragma once

namespace platform {

// Bits per pixel times planes of the screen, as the screen's device context
// reports them; 24 when no screen is available (headless tools).
int ScreenColorDepth();

}  // namespace platform
