// Drawing a laid-out text section and the hit tests that work on its lines.
#include <algorithm>

#include "layout/Section.h"
#include "layout/SectionList.h"
#include "platform/CodePage.h"

namespace layout {

namespace {

constexpr const char* kRoman[20] = {"I",    "II",  "III",  "IV",    "V",   "VI",   "VII",
                                    "VIII", "IX",  "X",    "XI",    "XII", "XIII", "XIV",
                                    "XV",   "XVI", "XVII", "XVIII", "XIX", "XX"};
constexpr int kMaxPiece = 32000;

// Bullet colours by list level. Deliberate: levels above 5 continue the
// same cycle (navy, maroon, red) instead of taking whatever the canvas held.
platform::TColor BulletColor(int level) {
  switch (((level % 3) + 3) % 3) {
    case 1:
      return platform::RGB(0, 0, 128);
    case 2:
      return platform::RGB(128, 0, 0);
    default:
      return platform::RGB(255, 0, 0);
  }
}

bool LightBackground(platform::TColor background) {
  if (background == platform::clBtnFace) return true;
  if (background == platform::clWindow)
    return platform::GetSysColor(platform::COLOR_WINDOW) == platform::clWhite;
  const platform::TColor rgb = background & 0x00FFFFFF;
  return !(background & platform::kSystemColorFlag) &&
         (rgb == platform::clWhite || rgb == platform::clSilver);
}

}  // namespace

std::string TSection::MarkerText(char style, int number) {
  // Deliberate: numbers below 1 show as the first letter or numeral
  // instead of reaching before the alphabet or outside the numeral table.
  std::string text;
  switch (style) {
    case 'A':
    case 'a':
      text = static_cast<char>((style == 'A' ? 'A' : 'a') + std::clamp(number - 1, 0, 25));
      break;
    case 'I':
    case 'i':
      text = kRoman[std::clamp(number, 1, 20) - 1];
      if (style == 'i')
        for (char& c : text) c = static_cast<char>(c + 32);
      break;
    default:
      text = std::to_string(number);
  }
  return text + ".";
}

void TSection::DrawMarker(platform::TCanvas& canvas, TExtent x, TExtent textBottom,
                          const LineRec& line) {
  const TExtent yOffset = Owner->YOffset;
  const TExtent b = MarkerLeft + x;
  if (MarkerKind == mkNumber && NumberFont) {
    const std::string text = MarkerText(ListType, ItemNumber);
    canvas.SetTextAlign(platform::TA_BASELINE);
    canvas.Font.Assign(*NumberFont);
    canvas.SetBkMode(platform::TRANSPARENT);
    canvas.SetTextColor(NumberFont->Color());
    canvas.TextOutA(b - canvas.TextWidth(text) - 5, textBottom - line.Descent - yOffset, text);
  } else if (MarkerKind == mkBullet && !PlainBullet) {
    const TExtent cx = b - 8;
    const TExtent cy = textBottom - line.LineHeight / 2 - yOffset;
    canvas.Pen.Style = platform::psSolid;
    canvas.Pen.Width = 1;
    if (LightBackground(Owner->Background)) {
      const platform::TColor color = BulletColor(Level);
      canvas.Brush.Style = platform::bsSolid;
      canvas.Brush.Color = color;
      canvas.Pen.Color = color;
    } else {
      canvas.Brush.Style = platform::bsClear;
      canvas.Pen.Color = Owner->FontColor;
    }
    canvas.Ellipse(cx - 2, cy - 2, cx + 3, cy + 3);
    canvas.Brush.Style = platform::bsSolid;
    canvas.Brush.Color = Owner->Background;
    canvas.Pen.Color = Owner->FontColor;
  }
}

TExtent TSection::Draw(platform::TCanvas& canvas, const platform::TRect& clip,
                       IndentManager& margins, TExtent x, TExtent y) {
  Top = y;
  const TExtent yOffset = Owner ? Owner->YOffset : TExtent(0);
  if (!Owner || y + DrawnHeight - yOffset < clip.top || y - yOffset >= clip.bottom)
    return y + Height;
  const int s = Owner->SelStart - StartPos;
  const int e = Owner->SelEnd - StartPos;
  TExtent lineY = y;
  DrawLeft = x;
  for (int k = 0; k < Lines.Count(); ++k) {
    const LineRec& line = Lines[k];
    const TExtent lineTop = lineY;
    lineY += line.SpaceAbove + line.LineHeight;  // the text bottom
    if (k == 0) DrawMarker(canvas, x, lineY, line);
    const TExtent baseline = lineY - line.Descent;
    TExtent px = x + line.LineIndent;
    // Lines outside the clip keep their positions for hit tests but draw
    // nothing, so a long section costs only its visible lines.
    // A line's pictures may reach below it (floats, tall images).
    const TExtent lineExtent = std::max(line.FullHeight(), line.DrawnHeight);
    const bool visible =
        lineTop + lineExtent - yOffset > clip.top && lineTop - yOffset < clip.bottom;
    for (int i = line.Start, end = visible ? line.Start + line.Count : line.Start; i < end;) {
      const char c = Buff[static_cast<size_t>(i)];
      if (c == kImageByte) {
        if (TImageObj* image = ImageAt(i)) {
          int index = 0;
          const TFontObj& run = *Fonts.GetRunAt(i, index);
          if (image->Floats()) {
            // A float first on its line stands at the line's top, one met
            // inside it below the line's text.
            image->Draw(canvas, margins.LeftSide + image->FloatX, run, baseline,
                        i == line.Start ? lineTop : lineY);
          } else {
            image->Draw(canvas, px, run, baseline, lineY - line.LineHeight);
            px += image->ObjWidth;
          }
        }
        ++i;
        continue;
      }
      if (c == kControlByte) {
        // Form controls are windows of their own: the draw moves them to
        // their place in the line and shows them.
        if (TFormControlObj* control = FormControls.FindAt(i); control && control->HasWindow()) {
          const TExtent bottom = control->OnBaseline ? baseline : lineY;
          control->Place(px, bottom - control->Height() - yOffset);
          px += control->Width();
        }
        ++i;
        continue;
      }
      int n = PieceLength(i, end - i);
      const int toBoundary = i < s ? s - i : i < e ? e - i : kMaxPiece;
      n = std::min(n, std::min(toBoundary, kMaxPiece));
      const bool selected = s <= i && i < e;
      int index = 0;
      TFontObj* run = Fonts.GetRunAt(i, index);
      // Every piece sets all the canvas state it draws with: a picture, a
      // marker or a control drawn before it in the section leaves its own.
      canvas.SetTextAlign(platform::TA_BASELINE);
      canvas.Font.Assign(run->Font);
      if (selected) {
        canvas.SetBkMode(platform::OPAQUE);
        canvas.SetBkColor(run->Font.Color());
        canvas.SetTextColor(Owner->Background);
      } else {
        canvas.SetBkMode(platform::TRANSPARENT);
        canvas.SetTextColor(run->Font.Color());
      }
      const std::string_view text(Buff.data() + i, static_cast<size_t>(n));
      const TExtent textX = px - run->Overhang / 2;
      if (Preformatted()) {
        const platform::TRect box{x, lineTop - yOffset, x + margins.ClipWidth, lineY - yOffset};
        canvas.ExtTextOutA(textX, baseline - yOffset, platform::ETO_CLIPPED, &box, text);
      } else {
        const TExtent shift = run->Script == scSubscript     ? run->Descent / 2 + 1
                              : run->Script == scSuperscript ? -(run->LineHeight / 3)
                                                             : 0;
        canvas.TextOutA(textX, baseline + shift - yOffset, text);
      }
      px += Extent(i, n) - run->Overhang;
      i += n;
    }
    lineY += line.SpaceBelow;
  }
  return y + Height;
}

TImageObj* TSection::ImageHitAt(int x, int y) const {
  for (const auto& image : Images)
    if (image->Hit(x, y)) return image.get();
  return nullptr;
}

bool TSection::GetObjectAt(int x, int y, TImageObj*& object, int& insideX, int& insideY) {
  TImageObj* image = ImageHitAt(x, Top + y);
  if (!image) return false;
  object = image;
  insideX = x - image->DrawX;
  insideY = Top + y - image->DrawY;
  return true;
}

bool TSection::GetUrlAt(platform::TCanvas&, int x, int y, std::unique_ptr<base::TUrlTarget>& url,
                        TFormControlObj*& formControl) {
  if (TImageObj* image = ImageHitAt(x, Top + y)) {
    // A picture under the point decides, even when it has no link.
    const int insideX = x - image->DrawX;
    const int insideY = Top + y - image->DrawY;
    if (image->FormControl) {
      image->FormControl->SetClickPoint(insideX, insideY);
      formControl = image->FormControl;
      return true;
    }
    const TMapItem* map = nullptr;
    if (image->UseMap)
      for (const auto& m : Owner->Maps)
        if (m->MapName == image->MapName) {
          map = m.get();
          break;
        }
    if (map) {
      base::TUrlTarget link;
      if (!map->GetAreaLink(insideX, insideY, link)) return false;
      url = std::make_unique<base::TUrlTarget>(std::move(link));
      return true;
    }
    int index = 0;
    const TFontObj* run = Fonts.GetRunAt(image->Pos, index);
    if (run->UrlTarget().Url.empty()) return false;
    url = std::make_unique<base::TUrlTarget>(run->UrlTarget());
    if (image->IsMap) url->Url += "?" + std::to_string(insideX) + "," + std::to_string(insideY);
    return true;
  }
  TExtent t = 0;
  for (const auto& line : Lines) {
    const TExtent lineX = DrawLeft + line.LineIndent;
    if (y >= t && y < t + line.FullHeight()) {
      if (x < lineX) return false;
      const int c = FitCount(x - lineX, line.Count, line.Start);
      if (c >= line.Count) return false;
      int index = 0;
      const TFontObj* run = Fonts.GetRunAt(line.Start + c, index);
      if (run->UrlTarget().Url.empty()) return false;
      url = std::make_unique<base::TUrlTarget>(run->UrlTarget());
      return true;
    }
    t += line.FullHeight();
  }
  return false;
}

int TSection::PointToPos(platform::TCanvas&, int x, int y, int& caretX, int& caretY,
                         int& caretHeight, bool& insideText, TCell*&) {
  TExtent t = 0;
  int before = 0;
  for (const auto& line : Lines) {
    const TExtent lineX = DrawLeft + line.LineIndent;
    if (y >= t && y < t + line.FullHeight()) {
      insideText = true;
      caretHeight = line.LineHeight;
      caretY = t + line.SpaceAbove;
      if (x < lineX) {
        insideText = false;
        caretX = lineX;
        return StartPos + before;
      }
      int c = FitCount(x - lineX, line.Count, line.Start);
      const TExtent w = TextWidth(line.Start, false, c);
      caretX = lineX + w;
      if (c < line.Count) {
        // Past half of the character, the caret goes after it.
        const TExtent g = TextWidth(line.Start + c, false, 1);
        if (w + g / 2 < x - lineX) {
          caretX = caretX + g;
          ++c;
        }
      } else {
        insideText = false;
      }
      return StartPos + before + c;
    }
    t += line.FullHeight();
    before += line.Count;
  }
  return -1;
}

bool TSection::PosToPoint(platform::TCanvas&, int position, int& x, int& y) {
  // Positions before the section belong to an earlier one.
  if (Length == 0 || position < StartPos || position > StartPos + Length) return false;
  int offset = position - StartPos;
  TExtent top = Top;
  for (const auto& line : Lines) {
    if (offset < line.Count) {
      x = line.LineIndent + TextWidth(line.Start, false, offset);
      y = top;
      return true;
    }
    offset -= line.Count;
    top += line.FullHeight();
  }
  return false;
}

bool TSection::GetCharAt(int position, char& ch, TSectionBase*& section) {
  if (Length == 0 || position < StartPos || position >= StartPos + Length) return false;
  ch = Buff[static_cast<size_t>(position - StartPos)];
  section = this;
  return true;
}

int TSection::FindText(int start, std::string_view text, bool matchCase) {
  if (Length == 0 || start >= StartPos + Length || text.empty()) return -1;
  const size_t from = static_cast<size_t>(std::max(0, start - StartPos));
  if (matchCase) {
    const size_t at = Buff.find(text, from);
    return at == std::string::npos ? -1 : StartPos + static_cast<int>(at);
  }
  const int codePage = platform::CharsetToCodePage(Owner ? Owner->CharSet : 1);
  const auto upper = [codePage](char c) {
    return platform::ByteToUpper(static_cast<uint8_t>(c), codePage);
  };
  const size_t compare = std::min<size_t>(text.size(), 255);
  const char lowerFirst =
      static_cast<char>(platform::ByteToLower(static_cast<uint8_t>(text[0]), codePage));
  const char upperFirst = static_cast<char>(upper(text[0]));
  for (size_t i = from; i < Buff.size(); ++i) {
    if (Buff[i] != lowerFirst && Buff[i] != upperFirst) continue;
    if (Buff.size() - i < compare) return -1;
    size_t k = 0;
    while (k < compare && upper(Buff[i + k]) == upper(text[k])) ++k;
    if (k == compare) return StartPos + static_cast<int>(i);
  }
  return -1;
}

namespace {

// Each list step of a line's indent copies as three blanks. An indent is a
// page's number (a float or a cell can push a line out to the extent
// ceiling): past the deepest nesting a page can have, more blanks tell
// nothing, and a copy of many such lines would run to gigabytes.
constexpr int kMaxCopiedIndentSteps = 200;

int IndentSteps(int lineIndent) {
  return std::clamp(lineIndent / kListIndent, 0, kMaxCopiedIndentSteps);
}

}  // namespace

void TSection::CopySelection() {
  if (!Owner || !Owner->ClipBuffer) return;
  std::string& sink = *Owner->ClipBuffer;
  const int s = Owner->SelStart - StartPos;
  const int e = Owner->SelEnd - StartPos;
  for (const auto& line : Lines) {
    const int offset = line.Start;
    if (offset >= e || offset + line.Count < s) continue;
    const int from = std::max(0, s - offset);
    const int to = std::min(line.Count, e - offset);
    if (from == 0) sink.append(3 * static_cast<size_t>(IndentSteps(line.LineIndent)), ' ');
    if (to > from)
      sink.append(Buff, static_cast<size_t>(offset + from), static_cast<size_t>(to - from));
    if (to == line.Count) sink += "\r\n";
  }
}

}  // namespace layout
