#pragma once

#include <cstdint>

namespace platform {

// Colours are 0x00BBGGRR (red in the low byte). A value with the top bit set
// names a system colour by its index in the low byte. The palette-relative
// flag 0x02000000 is accepted everywhere and ignored when drawing.
using TColor = uint32_t;

constexpr TColor kPaletteRelative = 0x02000000;

constexpr TColor RGB(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<TColor>(r) | (static_cast<TColor>(g) << 8) | (static_cast<TColor>(b) << 16);
}
constexpr uint8_t GetRValue(TColor c) {
  return c & 0xFF;
}
constexpr uint8_t GetGValue(TColor c) {
  return (c >> 8) & 0xFF;
}
constexpr uint8_t GetBValue(TColor c) {
  return (c >> 16) & 0xFF;
}

// System colour indexes (the COLOR_* numbers).
enum SysColorIndex : int {
  COLOR_SCROLLBAR = 0,
  COLOR_BACKGROUND = 1,
  COLOR_ACTIVECAPTION = 2,
  COLOR_INACTIVECAPTION = 3,
  COLOR_MENU = 4,
  COLOR_WINDOW = 5,
  COLOR_WINDOWFRAME = 6,
  COLOR_MENUTEXT = 7,
  COLOR_WINDOWTEXT = 8,
  COLOR_CAPTIONTEXT = 9,
  COLOR_ACTIVEBORDER = 10,
  COLOR_INACTIVEBORDER = 11,
  COLOR_APPWORKSPACE = 12,
  COLOR_HIGHLIGHT = 13,
  COLOR_HIGHLIGHTTEXT = 14,
  COLOR_BTNFACE = 15,
  COLOR_BTNSHADOW = 16,
  COLOR_GRAYTEXT = 17,
  COLOR_BTNTEXT = 18,
  COLOR_INACTIVECAPTIONTEXT = 19,
  COLOR_BTNHIGHLIGHT = 20,
  COLOR_3DDKSHADOW = 21,
  COLOR_3DLIGHT = 22,
  COLOR_INFOTEXT = 23,
  COLOR_INFOBK = 24,
  kSysColorCount = 25
};

constexpr TColor kSystemColorFlag = 0x80000000;
constexpr TColor clScrollBar = kSystemColorFlag | COLOR_SCROLLBAR;
constexpr TColor clWindow = kSystemColorFlag | COLOR_WINDOW;
constexpr TColor clWindowFrame = kSystemColorFlag | COLOR_WINDOWFRAME;
constexpr TColor clWindowText = kSystemColorFlag | COLOR_WINDOWTEXT;
constexpr TColor clHighlight = kSystemColorFlag | COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = kSystemColorFlag | COLOR_HIGHLIGHTTEXT;
constexpr TColor clBtnFace = kSystemColorFlag | COLOR_BTNFACE;
constexpr TColor clBtnShadow = kSystemColorFlag | COLOR_BTNSHADOW;
constexpr TColor clGrayText = kSystemColorFlag | COLOR_GRAYTEXT;
constexpr TColor clBtnText = kSystemColorFlag | COLOR_BTNTEXT;
constexpr TColor clBtnHighlight = kSystemColorFlag | COLOR_BTNHIGHLIGHT;
constexpr TColor cl3DDkShadow = kSystemColorFlag | COLOR_3DDKSHADOW;
constexpr TColor cl3DLight = kSystemColorFlag | COLOR_3DLIGHT;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;

// The fixed, classic value of a system colour (index out of range gives black).
TColor GetSysColor(int index);

// A colour as plain 0x00BBGGRR: system colours resolved, flag bits dropped.
TColor ColorToRGB(TColor color);

}  // namespace platform
