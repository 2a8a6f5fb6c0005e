#include "layout/BlockSections.h"

#include "base/ParseColor.h"
#include "layout/SectionList.h"
#include "platform/MulDiv.h"

namespace layout {

namespace {

int BaseSize(const TSectionBase& section) {
  return section.Owner ? section.Owner->BaseFontSize : 12;
}

void WriteLineEnd(TSectionList* owner) {
  if (owner && owner->ClipBuffer) base::WriteLine(*owner->ClipBuffer, nullptr, 0);
}

}  // namespace

void TParagraphSpace::CopySelection() {
  WriteLineEnd(Owner);
}

void TParagraphSpace::UpdateHeight() {
  Height = platform::MulDiv(14, BaseSize(*this), 12);
}

void THeadingSpace::CopySelection() {
  WriteLineEnd(Owner);
}

void THeadingSpace::UpdateHeight() {
  int twelfths;
  switch (SpaceLevel) {
    case 1:
      twelfths = 16;
      break;
    case 2:
      twelfths = 12;
      break;
    case 3:
      twelfths = 10;
      break;
    case 5:
      twelfths = 6;
      break;
    case 6:
      twelfths = 4;
      break;
    default:
      twelfths = 8;
      break;
  }
  Height = platform::MulDiv(twelfths, BaseSize(*this), 12);
}

THorzLine::THorzLine(const base::TAttributeList& attributes) {
  for (const auto& a : attributes) {
    switch (a->Symbol) {
      case base::SizeSy:
        if (a->IntValue >= 1 && a->IntValue <= 20) Thickness = a->IntValue;
        break;
      case base::WidthSy:
        if (a->IntValue > 0) {
          if (a->StrValue.find('%') != std::string::npos) {
            WidthIsPercent = true;
            if (a->IntValue <= 100) RuleWidth = a->IntValue;
          } else {
            RuleWidth = a->IntValue;  // an extent: kept within the ceiling
          }
        }
        break;
      case base::AlignSy: {
        const std::string align = base::LowerCut(a->StrValue, 10);
        if (align == "left")
          RuleAlign = base::jtLeft;
        else if (align == "right")
          RuleAlign = base::jtRight;
        break;
      }
      case base::ColorSy: {
        const std::optional<platform::TColor> color = base::ParseColor(a->StrValue);
        HasColor = color.has_value();
        if (color) RuleColor = *color;
        break;
      }
      case base::NoShadeSy:
        NoShade = true;
        break;
      default:
        break;
    }
  }
}

void THorzLine::CopySelection() {
  WriteLineEnd(Owner);
}

void THorzLine::UpdateHeight() {
  Height = platform::MulDiv(20, BaseSize(*this), 12) + Thickness - 2;
}

TExtent THorzLine::Layout(platform::TCanvas& canvas, TExtent y, IndentManager& margins,
                          TExtent& maxWidth, int& position) {
  leftInset_ = margins.LeftEdge(y) - margins.LeftSide;
  rightInset_ = margins.RightSide - margins.RightEdge(y);
  return TSectionBase::Layout(canvas, y, margins, maxWidth, position);
}

TExtent THorzLine::Draw(platform::TCanvas& canvas, const platform::TRect& clip,
                        IndentManager& margins, TExtent x, TExtent y) {
  const TExtent result = TSectionBase::Draw(canvas, clip, margins, x, y);
  const TExtent yOffset = Owner ? Owner->YOffset : TExtent(0);
  TExtent t = y - yOffset;
  if (t + Height < clip.top || t >= clip.bottom) return result;
  const TExtent left = margins.LeftSide + leftInset_, right = margins.RightSide - rightInset_;
  t += (Height - Thickness) / 2;
  TExtent x1, x2;
  if (RuleWidth < 0) {
    x1 = left + 10;
    x2 = right - 10;
  } else {
    const TExtent w =
        WidthIsPercent ? TExtent(platform::MulDiv(right - left, RuleWidth, 100)) : RuleWidth;
    x1 = RuleAlign == base::jtLeft     ? left
         : RuleAlign == base::jtCentre ? left + (right - left - w) / 2
                                       : right - w;
    x2 = x1 + w;
  }
  if (HasColor) {
    canvas.Brush.Style = platform::bsSolid;
    canvas.Brush.Color = RuleColor | platform::kPaletteRelative;
    canvas.FillRect({x1, t, x2, t + Thickness});
    return result;
  }
  // An engraved outline: dark top and left edges, light bottom and right.
  canvas.Pen.Style = platform::psSolid;
  canvas.Pen.Width = 1;
  canvas.Pen.Color = NoShade ? platform::clBlack : platform::clBtnShadow;
  canvas.MoveTo(x1, t + Thickness);
  canvas.LineTo(x1, t);
  canvas.LineTo(x2, t);
  const platform::TColor background = Owner ? Owner->Background : platform::clWhite;
  const bool whitePage =
      background == platform::clWindow
          ? platform::GetSysColor(platform::COLOR_WINDOW) == platform::clWhite
          : !(background & platform::kSystemColorFlag) && (background & 0x00FFFFFF) == 0x00FFFFFF;
  canvas.Pen.Color = NoShade     ? platform::clBlack
                     : whitePage ? platform::clSilver
                                 : platform::clBtnHighlight;
  canvas.LineTo(x2, t + Thickness);
  canvas.LineTo(x1, t + Thickness);
  return result;
}

void TPreFormated::AddText(std::string_view text) {
  // Deliberate: no length limit; a preformatted line keeps all its text.
  if (text.empty()) return;
  Buff.append(text);
  Length = static_cast<int>(Buff.size());
  InvalidateMeasures();
}

void TPreFormated::PrepareForCell() {
  // An empty line keeps the height of a line.
  if (Length == 0) AddText(" ");
}

void TPreFormated::GetMinMaxWidth(platform::TCanvas&, TExtent& narrowest, TExtent& widest) {
  const TExtent w = TextWidth(0, false, Length) + Indent;
  widest = w;
  narrowest = std::min(w, TExtent(500));
}

TExtent TPreFormated::Layout(platform::TCanvas& canvas, TExtent y, IndentManager& margins,
                             TExtent& maxWidth, int& position) {
  const TExtent savedWidth = margins.Width;
  margins.Width = 32000;
  const TExtent height = TSection::Layout(canvas, y, margins, maxWidth, position);
  margins.Width = savedWidth;
  TExtent narrowest = 0, widest = 0;
  GetMinMaxWidth(canvas, narrowest, widest);
  maxWidth = widest;  // the whole line, never the 32000 it was laid out in
  return height;
}

TUListItem::TUListItem(int level, const base::TUrlTarget* link, const TMyFont& font,
                       TBuilderStyle& style)
    : TSection(level, base::jtLeft, link, font, style) {
  MarkerKind = mkBullet;
}

TDListItem::TDListItem(int level, const base::TUrlTarget* link, const TMyFont& font,
                       TBuilderStyle& style)
    : TUListItem(level, link, font, style) {
  MarkerKind = mkNoMarker;
}

TOListItem::TOListItem(int level, const base::TUrlTarget* link, const TMyFont& font,
                       TBuilderStyle& style, char listStyle, int number)
    : TUListItem(level, link, font, style) {
  ItemNumber = number;
  MarkerKind = mkNumber;
  NumberFont = std::make_unique<TMyFont>();
  NumberFont->Assign(Fonts[0]->Font);
  ListType = listStyle;
}

}  // namespace layout
