#include "images/ImageModule.h"

#include <array>
#include <memory>
#include <optional>
#include <string_view>

#include "images/ImageCache.h"
#include "platform/Screen.h"

namespace images {
namespace {

using platform::Bitmap;
using platform::RGB;
using platform::TColor;

// The 20 static colours of the Windows system palette; entries 10 to 245
// are black on a system that has not realised other colours.
constexpr std::array<TColor, 10> kSystemLow = {
    RGB(0, 0, 0),     RGB(128, 0, 0),   RGB(0, 128, 0),     RGB(128, 128, 0),   RGB(0, 0, 128),
    RGB(128, 0, 128), RGB(0, 128, 128), RGB(192, 192, 192), RGB(192, 220, 192), RGB(166, 202, 240)};
constexpr std::array<TColor, 10> kSystemHigh = {
    RGB(255, 251, 240), RGB(160, 160, 164), RGB(128, 128, 128), RGB(255, 0, 0),   RGB(0, 255, 0),
    RGB(255, 255, 0),   RGB(0, 0, 255),     RGB(255, 0, 255),   RGB(0, 255, 255), RGB(255, 255, 255)};

// The 16 colours of a 4-bit picture, in the usual order.
constexpr std::array<TColor, 16> kVga = {
    RGB(0, 0, 0),       RGB(128, 0, 0),   RGB(0, 128, 0),   RGB(128, 128, 0),
    RGB(0, 0, 128),     RGB(128, 0, 128), RGB(0, 128, 128), RGB(192, 192, 192),
    RGB(128, 128, 128), RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(255, 255, 0),
    RGB(0, 0, 255),     RGB(255, 0, 255), RGB(0, 255, 255), RGB(255, 255, 255)};

// Our own placeholder pictures, one hex digit (a colour of kVga) a pixel:
// a small framed page for a picture on its way, a torn page with a red
// cross for one that cannot be had ('.' is transparent in the latter).
constexpr std::array<std::string_view, 16> kWaitArt = {
    "7777777777777777", "7888888888888887", "78ffffffffffff87", "78ffffffffffff87",
    "78ff8888888fff87", "78ffffffffffff87", "78ff88888888ff87", "78ffffffffffff87",
    "78ff888888ffff87", "78ffffffffffff87", "78ff8888888fff87", "78ffffffffffff87",
    "78ffffffffffff87", "78ffffffffffff87", "7888888888888887", "7777777777777777"};
constexpr std::array<std::string_view, 16> kErrorArt = {
    "................", ".888888888888...", ".8ffffffffff88..", ".8ffffffffff8f8.",
    ".8f9fffff9ff8888", ".8ff9fff9ffffff8", ".8fff9f9fffffff8", ".8ffff9ffffffff8",
    ".8fff9f9fffffff8", ".8ff9fff9ffffff8", ".8f9fffff9fffff8", ".8ffffffffffff8.",
    ".8ffffffffff8...", ".8fffffffff8....", ".88888888888....", "................"};

int HexDigit(char c) {
  return c >= 'a' ? c - 'a' + 10 : c - '0';
}

Bitmap MakeArt(const std::array<std::string_view, 16>& art) {
  Bitmap picture(16, 16, platform::TPixelFormat::pf8bit);
  picture.Palette().assign(kVga.begin(), kVga.end());
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) picture.SetRaw(x, y, art[y][x] == '.' ? 0 : HexDigit(art[y][x]));
  return picture;
}

Bitmap MakeArtMask(const std::array<std::string_view, 16>& art) {
  Bitmap mask(16, 16, platform::TPixelFormat::pf1bit);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) mask.SetRaw(x, y, art[y][x] == '.' ? 1 : 0);
  return mask;
}

struct ModuleState {
  int colorBits = 24;
  std::optional<std::vector<TColor>> palette;
  Bitmap wait = MakeArt(kWaitArt);
  Bitmap error = MakeArt(kErrorArt);
  Bitmap errorMask = MakeArtMask(kErrorArt);
};

int startCount = 0;
std::unique_ptr<ModuleState> state;

// Used before the first start-up (and by tools that never start it).
const ModuleState& Current() {
  static const ModuleState fallback;
  return state ? *state : fallback;
}

}  // namespace

std::vector<TColor> BuildSharedPalette() {
  std::vector<TColor> palette(256, RGB(0, 0, 0));
  std::copy(kSystemLow.begin(), kSystemLow.end(), palette.begin());
  std::copy(kSystemHigh.begin(), kSystemHigh.end(), palette.begin() + 246);
  static constexpr uint8_t kLevels[] = {55, 115, 165, 205, 235, 255};
  int index = 10;
  for (uint8_t blue : kLevels)
    for (uint8_t green : kLevels)
      for (uint8_t red : kLevels)
        if (red != 255 || green != 255 || blue != 255) palette[index++] = RGB(red, green, blue);
  for (int grey = 135; grey <= 250; grey += 5)
    palette[index++] = RGB(static_cast<uint8_t>(grey), static_cast<uint8_t>(grey),
                           static_cast<uint8_t>(grey));
  return palette;
}

void StartImageModule() {
  StartImageModule(platform::ScreenColorDepth());
}

void StartImageModule(int screenDepth) {
  if (startCount++ > 0) return;
  state = std::make_unique<ModuleState>();
  state->colorBits = screenDepth <= 4 ? 4 : screenDepth > 8 ? 24 : 8;
  if (state->colorBits == 8) state->palette = BuildSharedPalette();
}

void StopImageModule() {
  if (startCount == 0 || --startCount > 0) return;
  ImageCache().Clear();
  state.reset();
}

int ColorBits() {
  return Current().colorBits;
}

const std::vector<TColor>* ThePalette() {
  return Current().palette ? &*Current().palette : nullptr;
}

const Bitmap& WaitBitmap() {
  return Current().wait;
}
const Bitmap& ErrorBitmap() {
  return Current().error;
}
const Bitmap& ErrorBitmapMask() {
  return Current().errorMask;
}

}  // namespace images
