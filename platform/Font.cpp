#include "platform/Font.h"

#include <map>
#include <memory>
#include <tuple>

#include "platform/QtFontFace.h"
#include "platform/TestFontFace.h"

namespace platform {

int FontFace::TextWidth(std::string_view text) const {
  int width = 0;
  for (unsigned char c : text) width += advances_[c];
  return width;
}

namespace {

bool IsTestFont(const std::string& name) {
  if (name.size() != kTestFontName.size()) return false;
  for (size_t i = 0; i < name.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(name[i])) !=
        std::tolower(static_cast<unsigned char>(kTestFontName[i])))
      return false;
  return true;
}

}  // namespace

const FontFace& ResolveFont(const FontRequest& request) {
  using Key = std::tuple<std::string, int, TFontStyles, uint8_t>;
  static std::map<Key, std::unique_ptr<FontFace>> cache;
  // Underline and strike-out are drawn by the canvas; the face is the same.
  const TFontStyles faceStyle = request.style & (fsBold | fsItalic);
  Key key{request.name, request.height, faceStyle, request.charset};
  auto it = cache.find(key);
  if (it != cache.end()) return *it->second;
  FontRequest faceRequest = request;
  faceRequest.style = faceStyle;
  std::unique_ptr<FontFace> face;
  if (IsTestFont(request.name))
    face = std::make_unique<TestFontFace>(faceRequest);
  else
    face = std::make_unique<QtFontFace>(faceRequest);
  return *cache.emplace(std::move(key), std::move(face)).first->second;
}

}  // namespace platform
