#include "layout/SectionList.h"

#include <algorithm>
#include <span>

#include "platform/BmpReader.h"
#include "platform/Paths.h"

namespace layout {

TSectionList::TSectionList() : TCell(this) {
  FontName = "Times New Roman";
  FixedFontName = "Courier New";
}

TSectionList::~TSectionList() {
  Clear();
}

int TSectionList::Layout(platform::TCanvas& canvas, int y, int width, int& position,
                         int& maxWidth) {
  AnimationTimer.Enabled = false;
  ++LayoutGeneration;
  // TODO: form controls size themselves here once forms exist.
  const int height = TCell::Layout(canvas, y, width, position, maxWidth);
  AnimationTimer.Enabled = !AnimatedImages.empty();
  PlaceControls();
  return height;
}

int TSectionList::Draw(platform::TCanvas& canvas, const platform::TRect& clip, int clipWidth, int x,
                       int y) {
  AnimationTimer.Enabled = false;
  // The shared palette exists only on 8-bit displays; drawing here is 32-bit.
  const int bottom = TCell::Draw(canvas, clip, clipWidth, x, y);
  if (ControlsMoved) {
    PlaceControls();
    ControlsMoved = false;
  }
  AnimationTimer.Enabled = !AnimatedImages.empty();
  return bottom;
}

void TSectionList::SetYOffset(int y) {
  if (y == YOffset) return;
  YOffset = y;
  ControlsMoved = true;
}

void TSectionList::SetDefaults(const std::string& fontName, const std::string& fixedFontName,
                               platform::TColor background, platform::TColor hotSpotColor,
                               platform::TColor fontColor, int baseSize) {
  FontName = fontName.substr(0, kMaxFaceName);
  FixedFontName = fixedFontName.substr(0, kMaxFaceName);
  BaseFontSize = baseSize;
  FontColor = fontColor;
  HotSpotColor = hotSpotColor;
  SetBackground(background);
  RefreshFonts();
}

void TSectionList::SetBackground(platform::TColor color) {
  Background = color;
  if (OnBackgroundChange) OnBackgroundChange(*this);
}

void TSectionList::SetBackgroundImage(const std::string& name) {
  BackgroundBitmap.reset();
  BackgroundName = name;
  BackgroundFetched = false;
}

const platform::Bitmap* TSectionList::GetBackgroundBitmap() {
  if (ShowImages && !BackgroundFetched && !BackgroundName.empty() && !BackgroundBitmap) {
    if (!OnImageRequest && ExpandFileName) BackgroundName = ExpandFileName(BackgroundName);
    BackgroundBitmap = AcquireImage(BackgroundName);
    BackgroundFetched = true;
  }
  return BackgroundBitmap.get();
}

std::shared_ptr<const platform::Bitmap> TSectionList::AcquireImage(const std::string& name) {
  const std::string trimmed = base::TrimBlanks(name);
  if (trimmed.empty()) return nullptr;
  std::optional<platform::Bitmap> picture;
  if (OnImageRequest) {
    platform::TMemoryStream* stream = nullptr;
    OnImageRequest(trimmed, stream);
    if (stream) picture = platform::ReadBmp(stream->Bytes());
  } else if (const auto bytes = platform::ReadWholeFile(trimmed)) {
    picture = platform::ReadBmp(std::span(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size()));
  }
  if (!picture) return nullptr;
  return std::make_shared<const platform::Bitmap>(std::move(*picture));
}

int TSectionList::SectionTop(int index) const {
  index = std::min(index, Count() - 1);
  int top = 0;
  for (int i = 0; i < index; ++i) top = base::AddExtent(top, (*this)[i]->Height);
  return top;
}

void TSectionList::PlaceControls() {
  // Nothing to place while the document has no controls.
  if (Controls.empty()) return;
}

void TSectionList::Clear() {
  BackgroundBitmap.reset();
  BackgroundName.clear();
  BackgroundFetched = false;
  Forms.Clear();
  Controls.clear();
  AnimatedImages.clear();
  SelStart = SelEnd = 0;
  Maps.Clear();
  MissingImages.clear();
  TCell::Clear();
  Removed.Clear();
}

}  // namespace layout
