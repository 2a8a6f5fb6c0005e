#include "platform/Color.h"

#include <array>

namespace platform {

namespace {
// The classic Windows scheme: grey 3D faces, navy selection, white windows.
constexpr std::array<TColor, kSysColorCount> kClassicScheme = {
    RGB(192, 192, 192),  // scroll bar
    RGB(0, 128, 128),    // desktop
    RGB(0, 0, 128),      // active caption
    RGB(128, 128, 128),  // inactive caption
    RGB(192, 192, 192),  // menu
    RGB(255, 255, 255),  // window
    RGB(0, 0, 0),        // window frame
    RGB(0, 0, 0),        // menu text
    RGB(0, 0, 0),        // window text
    RGB(255, 255, 255),  // caption text
    RGB(192, 192, 192),  // active border
    RGB(192, 192, 192),  // inactive border
    RGB(128, 128, 128),  // application workspace
    RGB(0, 0, 128),      // highlight
    RGB(255, 255, 255),  // highlight text
    RGB(192, 192, 192),  // button face
    RGB(128, 128, 128),  // button shadow
    RGB(128, 128, 128),  // grey text
    RGB(0, 0, 0),        // button text
    RGB(192, 192, 192),  // inactive caption text
    RGB(255, 255, 255),  // button highlight
    RGB(0, 0, 0),        // 3D dark shadow
    RGB(223, 223, 223),  // 3D light
    RGB(0, 0, 0),        // tooltip text
    RGB(255, 255, 225),  // tooltip background
};
}  // namespace

TColor GetSysColor(int index) {
  if (index < 0 || index >= kSysColorCount) return 0;
  return kClassicScheme[index];
}

TColor ColorToRGB(TColor color) {
  if (color & kSystemColorFlag) return GetSysColor(static_cast<int>(color & 0xFF));
  return color & 0x00FFFFFF;
}

}  // namespace platform
