#pragma once

#include <string>
#include <string_view>

#include "platform/Color.h"
#include "platform/Font.h"

namespace platform {

// Told after every change of a font it watches.
class TFontObserver {
 public:
  virtual void FontChanged() = 0;

 protected:
  ~TFontObserver() = default;
};

// The one copy of a face name that every font with that name shares (a
// document has tens of thousands of font runs and a handful of names).
const std::string& InternFaceName(std::string_view name);

// The framework's font object: face, size, style, character set and colour,
// with a change notification. A size in points asks for a character height
// of MulDiv(points, 96, 72) pixels (the em), as at 96 DPI.
class TFont {
 public:
  static constexpr int kPixelsPerInch = 96;

  TFont() = default;
  TFont(const TFont& other) { CopyFrom(other); }
  TFont& operator=(const TFont& other) {
    Assign(other);
    return *this;
  }
  virtual ~TFont() = default;

  const std::string& Name() const { return *name_; }
  int Height() const { return height_; }
  int Size() const;
  TFontStyles Style() const { return style_; }
  uint8_t Charset() const { return charset_; }
  TColor Color() const { return color_; }

  void SetName(const std::string& name);
  void SetHeight(int height);
  void SetSize(int points);
  void SetStyle(TFontStyles style);
  void SetCharset(uint8_t charset);
  void SetColor(TColor color);

  // Copies every attribute, then notifies once.
  virtual void Assign(const TFont& source);

  // The resolved face (cached; cheap to call again).
  const FontFace& Face() const;

  // Told after every change; not copied by Assign.
  TFontObserver* Observer = nullptr;

 protected:
  virtual void Changed();

 private:
  void CopyFrom(const TFont& other);

  // Pointers first, bytes last: documents hold tens of thousands of fonts.
  const std::string* name_ = &InternFaceName("MS Sans Serif");
  mutable const FontFace* face_ = nullptr;
  int height_ = -11;
  TColor color_ = clWindowText;
  TFontStyles style_ = 0;
  uint8_t charset_ = 1;  // DEFAULT_CHARSET
};

}  // namespace platform
