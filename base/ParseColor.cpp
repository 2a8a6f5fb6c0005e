#include "base/ParseColor.h"

#include <array>
#include <string>

namespace base {

namespace {

struct ColorEntry {
  std::string_view name;
  platform::TColor value;
};

constexpr std::array<ColorEntry, 16> kColors = {{
    {"BLACK", 0x000000},
    {"MAROON", 0x000080},
    {"GREEN", 0x008000},
    {"OLIVE", 0x008080},
    {"NAVY", 0x800000},
    {"PURPLE", 0x800080},
    {"TEAL", 0x808000},
    {"GRAY", 0x808080},
    {"SILVER", 0xC0C0C0},
    {"RED", 0x0000FF},
    {"LIME", 0x00FF00},
    {"YELLOW", 0x00FFFF},
    {"BLUE", 0xFF0000},
    {"FUCHSIA", 0xFF00FF},
    {"AQUA", 0xFFFF00},
    {"WHITE", 0xFFFFFF},
}};

}  // namespace

std::optional<platform::TColor> ParseColor(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::string s(text.substr(0, 10));
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  for (const ColorEntry& e : kColors)
    if (s == e.name) return e.value;
  const size_t hash = s.find('#');
  if (hash != std::string::npos) s.erase(hash, 1);
  // A 32-bit hexadecimal conversion: one to eight digits.
  if (s.empty() || s.size() > 8) return std::nullopt;
  uint32_t n = 0;
  for (char c : s) {
    int digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      return std::nullopt;
    n = (n << 4) | static_cast<uint32_t>(digit);
  }
  return platform::RGB((n >> 16) & 0xFF, (n >> 8) & 0xFF, n & 0xFF);
}

}  // namespace base
