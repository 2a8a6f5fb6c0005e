// Pages laid out and drawn with the launcher's real faces (Times New Roman
// and Courier New through fontconfig): proportional advances, real metrics
// and glyph drawing. Slower than the test-font target, so it runs less.
// Input: one byte of settings (width, a second layout, character set), one
// byte that picks the selection and the searched text, then the page.
#include <array>
#include <cstdint>

#include "fuzz/PageExercise.h"
#include "platform/GuiApplication.h"

namespace {
constexpr std::array<int, 4> kWidths = {0, 37, 572, 1200};
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  platform::EnsureGuiApplication();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  fuzz::PageSettings settings;
  settings.fontName = "Times New Roman";
  settings.fixedFontName = "Courier New";
  settings.width = kWidths[data[0] & 3];
  if (data[0] & 4) settings.relayoutWidth = kWidths[(data[0] >> 3) & 3];
  settings.charSet = (data[0] & 0x80) ? 0 : 204;
  settings.choice = data[1] * 2654435761u;
  fuzz::ExercisePage(std::string_view(reinterpret_cast<const char*>(data + 2), size - 2), settings);
  return 0;
}
