#include "layout/ImageObj.h"

#include "images/GifImage.h"
#include "images/ImageModule.h"
#include "layout/Fonts.h"
#include "layout/Frame3D.h"
#include "layout/SectionList.h"
#include "platform/MulDiv.h"
#include "platform/Raster.h"

namespace layout {
namespace {

// A size from a page: never below 0, and within the ceiling of every extent.
TExtent Size(int64_t value) {
  return std::max<int64_t>(value, 0);
}

void SetAltTextFont(platform::TCanvas& canvas) {
  canvas.Font.SetName("Arial");
  canvas.Font.SetSize(8);
  canvas.Font.SetStyle(0);
}

}  // namespace

TImageObj::TImageObj(int position, const base::TAttributeList& attributes) : Pos(position) {
  for (const auto& a : attributes) {
    switch (a->Symbol) {
      case base::SrcSy:
        Source = a->StrValue;
        break;
      case base::AltSy:
        AltText = a->StrValue;
        break;
      case base::AlignSy: {
        const std::string align = base::UpperTrimmed(a->StrValue);
        if (align == "TOP")
          ImageAlign = TImageAlign::Top;
        else if (align == "MIDDLE" || align == "ABSMIDDLE")
          ImageAlign = TImageAlign::Middle;
        else if (align == "LEFT")
          ImageAlign = TImageAlign::Left;
        else if (align == "RIGHT")
          ImageAlign = TImageAlign::Right;
        break;
      }
      case base::BorderSy:
        NoBorder = a->IntValue == 0;
        break;
      case base::WidthSy:
        if (a->StrValue.find('%') != std::string::npos) {
          if (a->IntValue > 0 && a->IntValue <= 100) {
            SpecWidth = a->IntValue;
            PercentWidth = true;
          }
        } else {
          SpecWidth = Size(a->IntValue);
          PercentWidth = false;
        }
        break;
      case base::TranspSy:
        Transparency = images::LLCorner;
        break;
      case base::IsMapSy:
        IsMap = true;
        break;
      case base::UseMapSy: {
        UseMap = true;
        MapName = base::UpperTrimmed(a->StrValue);
        if (MapName.size() > 1 && MapName.front() == '#') MapName.erase(0, 1);
        break;
      }
      case base::HeightSy:
        SpecHeight = std::max<int64_t>(a->IntValue, 1);
        break;
      case base::HSpaceSy:
        HSpace = static_cast<int>(std::min<int64_t>(kMaxHSpace, std::abs(int64_t{a->IntValue})));
        break;
      default:
        break;
    }
  }
}

TImageObj::~TImageObj() {
  // Only a use this image took is given back: an image that never got its
  // picture from the cache must not take away another image's use.
  if (holdsCacheEntry_) images::ImageCache().ReleaseImage(Source);
}

void TImageObj::Fetch(TSectionList& document) {
  if (Source.empty()) {
    PictureKind = TPictureKind::Error;
  } else {
    if (!document.OnImageRequest && document.ExpandFileName)
      Source = document.ExpandFileName(Source);
    bool pending = false, fromCache = false;
    images::TPicture picture;
    if (document.IsMissing(Source)) {
      pending = true;
    } else {
      picture = document.AcquireImage(Source, Transparency, pending, fromCache, Mask);
    }
    holdsCacheEntry_ = static_cast<bool>(picture);
    if (picture.Animated && fromCache) {
      // Each occurrence animates on its own: a cached animation is copied,
      // while the copies and the cache stay within the picture budget;
      // past it this occurrence shows the animation's first frame.
      const int64_t bytes = images::PictureBytes(picture, nullptr);
      if (images::ImageCache().MakeRoom(bytes, document.CopiedPictureBytes)) {
        document.CopiedPictureBytes += bytes;
        Animation =
            std::shared_ptr<images::TGIFImage>(images::TGIFImage::CreateCopy(*picture.Animated));
      } else {
        const std::shared_ptr<images::TGIFImage> gif = std::move(picture.Animated);
        if (const platform::Bitmap* first = gif->GetBitmap())
          picture.Bitmap = std::shared_ptr<const platform::Bitmap>(gif, first);
        if (const platform::Bitmap* mask = gif->GetMask()) {
          Mask = std::shared_ptr<const platform::Bitmap>(gif, mask);
          Transparency = images::TGif;
        }
      }
    } else if (picture.Animated) {
      Animation = picture.Animated;
    }
    if (Animation) {
      Mask.reset();
      PictureKind = TPictureKind::Animated;
      document.AnimatedImages.push_back(Animation.get());
      return;
    }
    if (picture.Bitmap) {
      Picture = picture.Bitmap;
      PictureKind = TPictureKind::Bitmap;
      return;
    }
    if (pending) {
      PictureKind = TPictureKind::Wait;
      document.MissingImages.emplace_back(images::TStringBitmapList::KeyOf(Source), this);
      return;
    }
    PictureKind = TPictureKind::Error;
  }
  // The error placeholder is drawn through its own mask, which the image
  // module keeps.
  Mask.reset();
  Transparency = images::LLCorner;
}

void TImageObj::CalcSize(TSectionList& document, platform::TCanvas& canvas, TExtent availableWidth,
                         const TFontObj& run) {
  Document = &document;
  if (document.ShowImages && PictureKind == TPictureKind::None) Fetch(document);

  TExtent naturalWidth = 0, naturalHeight = 0;
  const bool showsWait = !document.ShowImages || PictureKind == TPictureKind::None;
  if (showsWait || PictureKind == TPictureKind::Wait) {
    naturalWidth = images::WaitBitmap().Width();
    naturalHeight = images::WaitBitmap().Height();
  } else if (PictureKind == TPictureKind::Error) {
    naturalWidth = images::ErrorBitmap().Width();
    naturalHeight = images::ErrorBitmap().Height();
  } else if (PictureKind == TPictureKind::Animated) {
    naturalWidth = Animation->ScreenWidth;
    naturalHeight = Animation->ScreenHeight;
  } else {
    naturalWidth = Picture->Width();
    naturalHeight = Picture->Height();
  }
  const bool placeholder = showsWait || IsPlaceholder();

  TExtent width = ImageWidth, height = ImageHeight;
  if (!SizeFixed) {
    if (placeholder) {
      if (SpecWidth > 0 && SpecHeight > 0) {
        width = SpecWidth;
        height = SpecHeight;
        SizeFixed = true;
      } else {
        width = naturalWidth;
        height = naturalHeight;
      }
    } else if (PercentWidth) {
      width = Size(platform::MulDiv(availableWidth, SpecWidth, 100));
      height = SpecHeight > 0 ? SpecHeight : naturalHeight;
    } else {
      // An empty picture has no aspect to keep: MulDiv by 0 gives -1,
      // clamped to a zero side.
      if (SpecWidth > 0 && SpecHeight > 0) {
        width = SpecWidth;
        height = SpecHeight;
      } else if (SpecHeight > 0) {
        width = Size(platform::MulDiv(SpecHeight, naturalWidth, naturalHeight));
        height = SpecHeight;
      } else if (SpecWidth > 0) {
        width = SpecWidth;
        height = Size(platform::MulDiv(SpecWidth, naturalHeight, naturalWidth));
      } else {
        width = naturalWidth;
        height = naturalHeight;
      }
      SizeFixed = true;
    }
    if (placeholder && !SizeFixed) {
      // The box grows to hold its alternative text.
      SetAltTextFont(canvas);
      const TExtent w = AltText.empty() ? 0 : canvas.TextWidth(AltText) + 2;
      const TExtent h = AltText.empty() ? 0 : canvas.TextHeight(AltText);
      width = std::max(width, w + kSmallestPlaceholderBox);
      height = std::max({height, TExtent(kSmallestPlaceholderBox), h});
    }
  }
  ImageWidth = width;
  ImageHeight = height;
  Bordered = !run.UrlTarget().Url.empty() && !NoBorder;
  ObjWidth = width + (Bordered ? 2 : 0);
  ObjHeight = height + (Bordered ? 2 : 0);
}

TExtent TImageObj::BoxTop(const TFontObj& run, TExtent baseline, TExtent top) const {
  switch (ImageAlign) {
    case TImageAlign::Middle:
      return baseline + run.Descent - run.TextHeight / 2 - ObjHeight / 2;
    case TImageAlign::Bottom:
      return baseline - ObjHeight;
    default:
      return top;
  }
}

void TImageObj::DrawPicture(platform::TCanvas& canvas, TExtent x, TExtent y, bool placeholder) {
  const TExtent yOffset = Document ? Document->YOffset : TExtent(0);
  DrawX = x;
  DrawY = y + yOffset;
  Drawn = true;
  if (!Document || !Document->ShowImages) {
    canvas.Draw(x, y, images::WaitBitmap());
    return;
  }
  switch (PictureKind) {
    case TPictureKind::Animated: {
      Animation->Shown = true;
      Animation->SetVisible(true);
      images::TGifBackground background;
      const bool cellColour = Cell && Cell != Document && Cell->BkGnd;
      background.Color = cellColour ? Cell->BkColor : Document->Background;
      if (!cellColour) background.Tile = Document->BackgroundBitmap.get();
      background.DocX = x;
      background.DocY = DrawY;
      Animation->Draw(canvas, background, x, y, ImageWidth, ImageHeight);
      return;
    }
    case TPictureKind::Error:
      images::DrawTransparent(canvas, images::ErrorBitmap(), images::ErrorBitmapMask(),
                              images::ErrorBitmap().Width(), images::ErrorBitmap().Height(), x, y);
      return;
    case TPictureKind::Wait:
      canvas.Draw(x, y, images::WaitBitmap());
      return;
    case TPictureKind::Bitmap:
      if (Transparency != images::NotTransp && Mask) {
        images::DrawTransparent(canvas, *Picture, *Mask, ImageWidth, ImageHeight, x, y);
      } else {
        canvas.SetStretchBltMode(platform::COLORONCOLOR);
        canvas.StretchBlt(x, y, ImageWidth, ImageHeight, *Picture, 0, 0, Picture->Width(),
                          Picture->Height(), platform::SRCCOPY);
      }
      return;
    case TPictureKind::None:
      (void)placeholder;
      return;
  }
}

void TImageObj::Draw(platform::TCanvas& canvas, TExtent x, const TFontObj& run, TExtent baseline,
                     TExtent top) {
  const TExtent yOffset = Document ? Document->YOffset : TExtent(0);
  baseline -= yOffset;
  top -= yOffset;
  const bool showImages = Document && Document->ShowImages;
  const bool placeholder = !showImages || IsPlaceholder() || PictureKind == TPictureKind::None;
  const int d = placeholder ? 4 : 0;

  canvas.Brush.Style = platform::bsClear;
  const platform::TColor fontColour = canvas.Font.Color();
  SetAltTextFont(canvas);
  canvas.Font.SetColor(platform::clBlack);

  const TExtent t = BoxTop(run, baseline, top);
  const bool tooSmall = placeholder && (ImageWidth <= kSmallestPlaceholderBox - 1 ||
                                        ImageHeight <= kSmallestPlaceholderBox - 1);
  if (!tooSmall) {
    const int shift = Bordered ? 1 : 0;
    DrawPicture(canvas, x + d + shift, t + d + shift, placeholder);
  }
  canvas.SetTextAlign(platform::TA_TOP | platform::TA_LEFT);
  const auto writeAltText = [&] {
    base::WrapTextInRect(canvas, x + 24, t + d, x + ImageWidth - 2, t + ImageHeight - 1, AltText);
  };
  if (placeholder && !Bordered) {
    canvas.Font.SetColor(fontColour);
    writeAltText();
    DrawFrame3D(Document, canvas, x, false, t + ImageHeight - 1, x + ImageWidth - 1, t);
  }
  if (Bordered) {
    canvas.Pen.Style = platform::psSolid;
    canvas.Pen.Width = 1;
    canvas.Pen.Color = run.Font.Color();
    canvas.Font.SetColor(run.Font.Color());
    if (placeholder) writeAltText();
    canvas.Rectangle(x, t, x + ObjWidth, t + ObjHeight);
  }
}

bool TImageObj::Hit(int x, int y) const {
  if (!Drawn) return false;
  const TExtent w = Bordered ? ObjWidth - 2 : ObjWidth;
  const TExtent h = Bordered ? ObjHeight - 2 : ObjHeight;
  return x >= DrawX && x < DrawX + w && y >= DrawY && y < DrawY + h;
}

}  // namespace layout
