#include "platform/TFont.h"

#include <unordered_set>

#include "platform/MulDiv.h"

namespace platform {

const std::string& InternFaceName(std::string_view name) {
  // Names are kept for the life of the process; a page can add only as
  // many as it has FACE attributes (each at most 50 characters).
  static std::unordered_set<std::string>* names = new std::unordered_set<std::string>;
  return *names->emplace(name).first;
}

int TFont::Size() const {
  return -MulDiv(height_, 72, kPixelsPerInch);
}

void TFont::SetName(const std::string& name) {
  if (name == *name_) return;
  name_ = &InternFaceName(name);
  Changed();
}

void TFont::SetHeight(int height) {
  if (height == height_) return;
  height_ = height;
  Changed();
}

void TFont::SetSize(int points) {
  SetHeight(-MulDiv(points, kPixelsPerInch, 72));
}

void TFont::SetStyle(TFontStyles style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}

void TFont::SetCharset(uint8_t charset) {
  if (charset == charset_) return;
  charset_ = charset;
  Changed();
}

void TFont::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed();
}

void TFont::CopyFrom(const TFont& other) {
  name_ = other.name_;
  height_ = other.height_;
  style_ = other.style_;
  charset_ = other.charset_;
  color_ = other.color_;
  face_ = nullptr;
}

void TFont::Assign(const TFont& source) {
  if (&source == this) return;
  CopyFrom(source);
  Changed();
}

void TFont::Changed() {
  face_ = nullptr;
  if (Observer) Observer->FontChanged();
}

const FontFace& TFont::Face() const {
  if (!face_) face_ = &ResolveFont(FontRequest{*name_, height_, style_, charset_});
  return *face_;
}

}  // namespace platform
