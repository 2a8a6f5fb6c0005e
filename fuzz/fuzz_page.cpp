// The whole road of a page with the deterministic test font: bytes ->
// document builder -> layout -> drawing into a small bitmap -> anchors,
// every section's queries, hit tests over the page, search and copy.
// Input: one byte of settings (layout width, a second layout before it,
// character set), one byte that picks the selection and the searched text,
// then the page.
#include <array>
#include <cstdint>

#include "fuzz/PageExercise.h"
#include "platform/GuiApplication.h"

namespace {
// Widths a page meets: none at all, a few characters, a narrow window, the
// launcher's viewer, a wide window, and wider than any line.
constexpr std::array<int, 8> kWidths = {0, 1, 37, 150, 300, 572, 1200, 32000};
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  platform::EnsureGuiApplication();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  fuzz::PageSettings settings;
  settings.width = kWidths[data[0] & 7];
  if (data[0] & 8) settings.relayoutWidth = kWidths[(data[0] >> 4) & 7];
  settings.charSet = (data[0] & 0x80) ? 0 : 204;
  settings.choice = data[1] * 2654435761u;
  fuzz::ExercisePage(std::string_view(reinterpret_cast<const char*>(data + 2), size - 2), settings);
  return 0;
}
