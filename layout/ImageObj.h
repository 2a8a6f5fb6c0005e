#pragma once

#include <memory>
#include <string>

#include "base/HtmlUtils.h"
#include "images/ImageLoad.h"
#include "layout/IndentManager.h"
#include "platform/Canvas.h"

namespace images {
class TGIFImage;
}

namespace layout {

class TCell;
class TFontObj;
class TFormControlObj;
class TSectionList;

enum class TImageAlign : uint8_t { Top = 0, Middle = 1, Bottom = 2, Left = 3, Right = 4 };

// What an image shows: its picture, or one of the two placeholders.
enum class TPictureKind : uint8_t { None, Bitmap, Animated, Wait, Error };

// An IMG in flowing text: one byte (4) of its section's text plus this
// object, which fetches the picture through the document, sizes itself
// before and after the picture is known, draws in one of five alignments
// and answers hit tests.
class TImageObj : public TFloatingObject {
 public:
  static constexpr int kMaxHSpace = 20;
  // A box smaller than this shows no placeholder picture, only its frame.
  static constexpr int kSmallestPlaceholderBox = 24;

  TImageObj(int position, const base::TAttributeList& attributes);
  ~TImageObj() override;

  int Pos;
  TExtent ObjHeight = 0;
  TExtent ObjWidth = 0;
  TExtent SpecHeight = 0;  // at least 1; 0 when not given
  TExtent SpecWidth = 0;   // pixels, or a percentage 1..100
  bool PercentWidth = false;
  TExtent ImageHeight = 0;
  TExtent ImageWidth = 0;
  bool SizeFixed = false;
  std::string Source;
  std::string AltText;
  TImageAlign ImageAlign = TImageAlign::Bottom;
  bool NoBorder = false;
  TPictureKind PictureKind = TPictureKind::None;
  images::BitmapPtr Picture;
  std::shared_ptr<images::TGIFImage> Animation;
  images::BitmapPtr Mask;
  TSectionList* Document = nullptr;
  images::TTransparency Transparency = images::NotTransp;
  bool IsMap = false;
  bool UseMap = false;
  bool Bordered = false;
  TExtent DrawX = 0;
  TExtent FloatX = 0;
  TExtent DrawY = 0;
  // DrawX and DrawY hold a place: a picture not yet drawn is hit nowhere
  // (not at the page's top left corner).
  bool Drawn = false;
  std::string MapName;
  TExtent HSpace = 5;
  TFormControlObj* FormControl = nullptr;
  TCell* Cell = nullptr;

  bool Floats() const {
    return ImageAlign == TImageAlign::Left || ImageAlign == TImageAlign::Right;
  }
  bool IsPlaceholder() const {
    return PictureKind == TPictureKind::Wait || PictureKind == TPictureKind::Error;
  }
  // Fetches the picture when needed and works out the size for the width
  // available (0 while measuring) and the run that holds the image.
  void CalcSize(TSectionList& document, platform::TCanvas& canvas, TExtent availableWidth,
                const TFontObj& run);
  // Draws at document coordinates: x, the line's baseline and its top.
  void Draw(platform::TCanvas& canvas, TExtent x, const TFontObj& run, TExtent baseline,
            TExtent top);
  // Where the box's top is for a line with the baseline and top given.
  TExtent BoxTop(const TFontObj& run, TExtent baseline, TExtent top) const;
  // Whether the document point is on the picture (inside its border).
  bool Hit(int x, int y) const;

  // TFloatingObject.
  Side FloatSide() const override {
    return ImageAlign == TImageAlign::Left    ? Side::Left
           : ImageAlign == TImageAlign::Right ? Side::Right
                                              : Side::None;
  }
  TExtent FloatWidth() const override { return ObjWidth; }
  TExtent FloatHeight() const override { return ObjHeight; }
  TExtent FloatHSpace() const override { return HSpace; }
  void SetFloatX(TExtent x) override { FloatX = x; }

 private:
  void Fetch(TSectionList& document);
  void DrawPicture(platform::TCanvas& canvas, TExtent x, TExtent y, bool placeholder);
  bool holdsCacheEntry_ = false;
};

}  // namespace layout
