#include "layout/SectionList.h"

#include <algorithm>
#include <optional>
#include <span>

#include "images/GifImage.h"
#include "images/GifLoad.h"
#include "images/ImageLoad.h"
#include "platform/Paths.h"

namespace layout {

TSectionList::TSectionList()
    : TCell(this),
      stateOnlyParent_(platform::NewStateOnlyControlParent()),
      controlParent_(stateOnlyParent_.get()) {
  FontName = "Times New Roman";
  FixedFontName = "Courier New";
}

TSectionList::~TSectionList() {
  Clear();
}

TExtent TSectionList::Layout(platform::TCanvas& canvas, TExtent y, TExtent width, int& position,
                             TExtent& maxWidth) {
  AnimationTimer.SetEnabled(false);
  ++LayoutGeneration;
  // Pictures are fetched as they are measured, many at a time.
  const platform::TLookupBatch lookups;
  for (TFormControlObj* control : Controls) control->MeasureControl(canvas);
  const TExtent height = TCell::Layout(canvas, y, width, position, maxWidth);
  // Animations start again from their first frame at every layout.
  for (images::TGIFImage* image : AnimatedImages) {
    image->SetCurrentFrame(1);
    image->SetAnimate(false);
    image->SetAnimate(true);
  }
  AnimationTimer.SetEnabled(!AnimatedImages.empty());
  PlaceControls();
  return height;
}

TExtent TSectionList::Draw(platform::TCanvas& canvas, const platform::TRect& clip,
                           TExtent clipWidth, TExtent x, TExtent y) {
  AnimationTimer.SetEnabled(false);
  // Only what this draw shows is stepped afterwards, and only the controls
  // it places keep their windows.
  for (images::TGIFImage* image : AnimatedImages) image->Shown = false;
  for (TFormControlObj* control : shownControls_) control->Placed = false;
  // Pictures were mapped to the shared palette when they were loaded; the
  // canvas takes their colours as they are.
  const TExtent bottom = TCell::Draw(canvas, clip, clipWidth, x, y);
  PlaceControls();
  AnimationTimer.SetEnabled(!AnimatedImages.empty());
  return bottom;
}

void TSectionList::SetYOffset(TExtent y) {
  YOffset = y;
}

void TSectionList::ShowControl(TFormControlObj* control) {
  if (!control->Shown) {
    control->Shown = true;
    shownControls_.push_back(control);
  }
  control->Control->SetVisible(true);
}

void TSectionList::ParkControl(TFormControlObj* control) {
  control->Control->SetLeft(TFormControlObj::kParkedLeft);
  ShowControl(control);
}

void TSectionList::SetControlParent(platform::TControlParent* parent) {
  // Controls live as long as their page: a new parent serves the next one.
  controlParent_ = parent ? parent : stateOnlyParent_.get();
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
    images::TTransparency mode = images::NotTransp;
    bool pending = false, fromCache = false;
    images::BitmapPtr mask;
    const images::TPicture picture = AcquireImage(BackgroundName, mode, pending, fromCache, mask);
    // An animated background shows its first frame (composed when it was
    // loaded or last laid out), and stays in the
    // cache's keeping: the entry is released when the document is cleared.
    if (picture.Bitmap)
      BackgroundBitmap = picture.Bitmap;
    else if (picture.Animated && picture.Animated->ImageDC)
      BackgroundBitmap = std::make_shared<const platform::Bitmap>(*picture.Animated->ImageDC);
    if (pending) MissingImages.emplace_back(images::TStringBitmapList::KeyOf(BackgroundName), this);
    BackgroundFetched = true;
  }
  return BackgroundBitmap.get();
}

bool TSectionList::IsMissing(const std::string& name) const {
  const std::string key = images::TStringBitmapList::KeyOf(name);
  for (const auto& [missing, waiting] : MissingImages)
    if (missing == key) return true;
  return false;
}

images::TPicture TSectionList::AcquireImage(const std::string& name, images::TTransparency& mode,
                                            bool& pending, bool& fromCache,
                                            images::BitmapPtr& mask) {
  mask.reset();
  pending = fromCache = false;
  if (name.empty()) return {};
  images::TStringBitmapList& cache = images::ImageCache();
  const std::string key = images::TStringBitmapList::KeyOf(name);
  if (images::TBitmapItem* entry = cache.Find(key)) {
    images::TPicture picture = cache.UseImage(*entry);
    fromCache = true;
    if (picture.Bitmap) {
      if (entry->Transparency == images::TGif || entry->Transparency == images::TPng) {
        mode = entry->Transparency;
      } else if (mode == images::LLCorner) {
        if (!entry->Mask)
          if (auto made = images::MakeMask(*picture.Bitmap))
            entry->Mask = std::make_shared<const platform::Bitmap>(std::move(*made));
        if (entry->Mask) entry->Transparency = images::LLCorner;
      }
      mask = entry->Mask;
    }
    return picture;
  }

  images::TPicture picture;
  std::unique_ptr<images::TGIFImage> gif;
  bool notAnimated = true;
  if (OnImageRequest) {
    platform::TMemoryStream* stream = nullptr;
    OnImageRequest(name, stream);
    if (stream == images::PendingImageStream()) {
      pending = true;
      return {};
    }
    if (!stream || stream->Bytes().empty()) return {};
    const std::span<const uint8_t> data(stream->Bytes());
    const images::TImageKind kind = images::GetImageKind(data);
    if (kind == images::ikGif87 || kind == images::ikGif89)
      gif = images::LoadGifFromStream(data, notAnimated);
    if (!gif) picture.Bitmap = images::LoadImageStream(data, mode, mask);
  } else {
    if (unreadablePictures_.contains(key)) return {};
    // Read once, whichever decoder takes it.
    const std::optional<std::string> bytes = platform::ReadWholeFile(name);
    if (!bytes) {
      unreadablePictures_.insert(key);
      return {};
    }
    const std::span<const uint8_t> data(reinterpret_cast<const uint8_t*>(bytes->data()),
                                        bytes->size());
    const std::string extension =
        name.rfind('.') == std::string::npos ? "" : base::LowerCut(name.substr(name.rfind('.')), 5);
    if (extension == ".gif") gif = images::LoadGifFromStream(data, notAnimated);
    if (!gif) picture.Bitmap = images::LoadImageBytes(name, data, mode, mask);
    if (!gif && !picture.Bitmap) {
      unreadablePictures_.insert(key);
      return {};
    }
  }
  if (gif && notAnimated) {
    // A still GIF is kept as a plain picture: the composed one, its frame
    // placed on the logical screen.
    if (gif->ImageDC)
      picture.Bitmap =
          std::make_shared<const platform::Bitmap>(images::ConvertToDDB(*gif->ImageDC));
    if (gif->IsTransparent) {
      if (gif->MaskDC) {
        mask = std::make_shared<const platform::Bitmap>(*gif->MaskDC);
        mode = images::TGif;
      }
    } else if (mode == images::LLCorner && picture.Bitmap) {
      if (auto made = images::MakeMask(*picture.Bitmap))
        mask = std::make_shared<const platform::Bitmap>(std::move(*made));
    }
  } else if (gif) {
    picture.Animated = std::shared_ptr<images::TGIFImage>(std::move(gif));
  }
  if (picture) {
    auto entry = std::make_unique<images::TBitmapItem>();
    entry->Bytes = images::PictureBytes(picture, mask.get());
    // Past the budget the picture is not kept: the missing-picture sign.
    if (!cache.MakeRoom(entry->Bytes, CopiedPictureBytes)) {
      mask.reset();
      return {};
    }
    entry->Image = picture;
    entry->Transparency = mask ? mode : images::NotTransp;
    entry->Mask = mask;
    cache.AddObject(key, std::move(entry));
  }
  return picture;
}

TExtent TSectionList::SectionTop(int index) const {
  index = std::min(index, Count() - 1);
  TExtent top = 0;
  for (int i = 0; i < index; ++i) top += (*this)[i]->Height;
  return top;
}

void TSectionList::PlaceControls() {
  if (shownControls_.empty()) return;
  // Hiding the focused control would take the focus away: out of sight, it
  // waits parked. The others are hidden, which frees their windows.
  const platform::TWinControl* focused = controlParent_->FocusedControl();
  size_t kept = 0;
  for (TFormControlObj* control : shownControls_) {
    if (!control->Placed) {
      if (control->GetControl() != focused) {
        control->Control->SetVisible(false);
        control->Shown = false;
        continue;
      }
      control->Control->SetLeft(TFormControlObj::kParkedLeft);
    }
    shownControls_[kept++] = control;
  }
  shownControls_.resize(kept);
}

void TSectionList::Clear() {
  ++PageGeneration;
  BackgroundBitmap.reset();
  if (BackgroundFetched && !BackgroundName.empty())
    images::ImageCache().ReleaseImage(BackgroundName);
  BackgroundName.clear();
  BackgroundFetched = false;
  // Windows going away move the focus and send events: the page's
  // controls hear nothing more while they are freed.
  for (TFormControlObj* control : Controls)
    if (platform::TWinControl* window = control->Control.get()) {
      window->OnEnter = window->OnExit = window->OnClick = nullptr;
      window->OnKeyDown = nullptr;
    }
  shownControls_.clear();
  Forms.Clear();
  Controls.clear();
  AnimatedImages.clear();
  CopiedPictureBytes = 0;
  AnimationTimer.SetEnabled(false);
  SelStart = SelEnd = 0;
  Maps.Clear();
  MissingImages.clear();
  unreadablePictures_.clear();
  TCell::Clear();
  Removed.Clear();
}

}  // namespace layout
