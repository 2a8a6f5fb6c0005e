#pragma once

#include <vector>

#include "platform/Bitmap.h"
#include "platform/Color.h"

namespace images {

// The process-wide picture state made at the image module's start-up: the
// screen's colour depth, the shared palette of 8-bit displays and the
// placeholder pictures. Start-ups and shut-downs nest; the state lives from
// the first start-up to the last shut-down.
void StartImageModule();
// Start-up with a given screen depth (bits per pixel times planes); tests
// use it to act as an 8-bit or 4-bit display.
void StartImageModule(int screenDepth);
void StopImageModule();

// 4 when the screen has 4 bits or fewer, 24 above 8, otherwise 8. Before any
// start-up: 24.
int ColorBits();

// The shared palette, present only at depth 8: 256 colours, none otherwise.
const std::vector<platform::TColor>* ThePalette();

// The 256 colours of the shared palette: the system palette with entries 10
// to 224 replaced by a 6x6x6 colour cube (white left out) and 225 to 248 by a
// grey ramp.
std::vector<platform::TColor> BuildSharedPalette();

// The placeholders, 16 x 16: shown while a picture is pending, shown for a
// picture that cannot be had, and the latter's mask (set = transparent).
const platform::Bitmap& WaitBitmap();
const platform::Bitmap& ErrorBitmap();
const platform::Bitmap& ErrorBitmapMask();

// Keeps the module started for its lifetime.
class TImageModuleScope {
 public:
  TImageModuleScope() { StartImageModule(); }
  explicit TImageModuleScope(int screenDepth) { StartImageModule(screenDepth); }
  ~TImageModuleScope() { StopImageModule(); }
  TImageModuleScope(const TImageModuleScope&) = delete;
  TImageModuleScope& operator=(const TImageModuleScope&) = delete;
};

}  // namespace images
