#pragma once

#include <memory>
#include <string>
#include <vector>

#include "layout/Fonts.h"
#include "layout/FormControlList.h"
#include "layout/ImageObj.h"
#include "layout/LineRec.h"
#include "layout/SectionBase.h"

namespace layout {

// The builder's state that sections read when they are made and when the
// font changes: extra styles (B, I, U) and the script state.
struct TBuilderStyle {
  platform::TFontStyles ExtraStyles = 0;
  TScript Script = scNormal;
};

// What a list item draws before its first line; mkNoMarker is a definition
// item, which has none but is still an item.
enum TMarkerKind : uint8_t { mkNone = 0, mkNumber = 1, mkBullet = 2, mkNoMarker = 3 };

// Which floats a line break moves below.
enum TClearKind : uint8_t { ckNone = 0, ckLeft = 1, ckRight = 2, ckBoth = 3 };

// Characters that stand for objects in a section's text.
constexpr char kImageByte = 4;
constexpr char kControlByte = 2;

// A block of flowing text: characters (with one byte per inline object),
// font runs, and after layout its lines.
class TSection : public TSectionBase {
 public:
  TSection(int level, base::TJustify alignment, const base::TUrlTarget* link, const TMyFont& font,
           TBuilderStyle& style);

  std::string Buff;  // the text; Length == Buff.size()
  TFontList Fonts;
  base::TFreeList<TImageObj> Images;
  TFormControlList FormControls;  // the controls belong to their form
  TLineList Lines;
  // The font of an ordered item's number: its first run's font as the item
  // began. Only those items have one (a page has thousands of sections).
  std::unique_ptr<TMyFont> NumberFont;
  // Numbers first, bytes last (a page has thousands of sections).
  int Level;
  TExtent Indent;  // 35 pixels per level
  int ItemNumber = 0;
  TExtent MarkerLeft = 0;
  TExtent DrawLeft = 0;  // the cell's left side at the last draw
  base::TJustify Alignment;
  TMarkerKind MarkerKind = mkNone;
  char ListType = '1';  // ordered item style: 1, A, a, I or i
  bool PlainBullet = false;
  TClearKind ClearKind = ckNone;

  // Building.
  void SetClearKind(const base::TAttributeList& attributes);
  virtual void AddText(std::string_view text);
  base::TJustify EnsureText();
  void ChangeFont(const TFontDefaults& document, const TMyFont& font, const TBuilderStyle& style);
  void ChangeFontAndLink(const TFontDefaults& document, const TMyFont& font,
                         const TBuilderStyle& style, bool linkStarts, const base::TUrlTarget& link);
  // An IMG at the end of the text, held by the cell given.
  TImageObj* AddImage(const base::TAttributeList& attributes, TCell* cell);
  // A form control's byte at the end of the text (its Pos is the length
  // before it).
  void AddControlByte(TFormControlObj* control);

  // Measuring.
  TExtent TextWidth(int start, bool trimTrailingBlanks, int count) const;
  int FitChars(TExtent width, int n, int start) const;
  int FitCount(TExtent width, int maxCount, int start) const;

  // TSectionBase.
  const char* ClassName() const override { return "TSection"; }
  TExtent Layout(platform::TCanvas& canvas, TExtent y, IndentManager& margins, TExtent& maxWidth,
                 int& position) override;
  TExtent Draw(platform::TCanvas& canvas, const platform::TRect& clip, IndentManager& margins,
               TExtent x, TExtent y) override;
  void CopySelection() override;
  bool GetUrlAt(platform::TCanvas& canvas, int x, int y, std::unique_ptr<base::TUrlTarget>& url,
                TFormControlObj*& formControl) override;
  bool GetObjectAt(int x, int y, TImageObj*& object, int& insideX, int& insideY) override;
  int PointToPos(platform::TCanvas& canvas, int x, int y, int& caretX, int& caretY,
                 int& caretHeight, bool& insideText, TCell*& cell) override;
  int FindText(int start, std::string_view text, bool matchCase) override;
  bool PosToPoint(platform::TCanvas& canvas, int position, int& x, int& y) override;
  bool GetCharAt(int position, char& ch, TSectionBase*& section) override;
  void RefreshFonts() override;
  void GetMinMaxWidth(platform::TCanvas& canvas, TExtent& narrowest, TExtent& widest) override;

  // Text or fonts changed: measures are taken again when next needed.
  void InvalidateMeasures() { measures_.reset(); }
  // The advance sums cost four bytes a character; a laid-out section gives
  // them back and takes them again for a draw or a hit test.
  void ReleaseMeasures() const { measures_.reset(); }

  // The marker text of an ordered item: "Z." for 27 in style A, "XX." for
  // 25 in style I.
  static std::string MarkerText(char style, int number);

 protected:
  // Preformatted text is not wrapped and is clipped when drawn.
  virtual bool Preformatted() const { return false; }

 private:
  struct LayoutState;
  void FinishLine(LayoutState& state, int start, int count);
  int FitLine(LayoutState& state, TExtent width, int maxCount, int start);
  TExtent ClearingSpace(const IndentManager& margins, TExtent y) const;

  TImageObj* ImageAt(int index) const;
  void SizeImages(platform::TCanvas& canvas, TExtent availableWidth);
  // The first image whose picture holds the document point, or null.
  TImageObj* ImageHitAt(int x, int y) const;
  // The line width of the object byte at index (0 for floating images).
  TExtent InlineObjectWidth(int index) const;
  // Fits the text piece at i into what is left of width: adds the
  // characters that fit to total and, when all of the piece fits, its width
  // to used and moves i past it. False when the piece did not fit whole.
  bool FitPiece(TExtent width, int maxCount, int& i, TExtent& used, int& total) const;
  // Extent of `count` characters from `start`, all in one run.
  TExtent Extent(int start, int count) const;
  // Characters from `start` to the next image, control or run start.
  int PieceLength(int start, int limit) const;
  void UpdatePrefix() const;
  void DrawMarker(platform::TCanvas& canvas, TExtent x, TExtent baseline, const LineRec& line);

  // Sum of the advances of the characters before each index, each in its
  // run's font (object bytes add nothing), and the index of the first
  // object byte at or after each index (none when the text has no objects).
  // Made when first needed after the text or fonts changed; a laid-out
  // section gives them back.
  struct Measures {
    std::vector<TExtent> prefix;
    std::vector<int> nextObject;
  };
  mutable std::unique_ptr<Measures> measures_;
};

}  // namespace layout
