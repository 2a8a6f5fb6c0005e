#include "layout/Section.h"

#include <algorithm>

#include "layout/SectionList.h"
#include "platform/CodePage.h"
#include "platform/MulDiv.h"

namespace layout {

namespace {

bool IsObjectByte(char c) {
  return c == kImageByte || c == kControlByte;
}
bool IsBreakByte(char c) {
  return c == ' ' || IsObjectByte(c);
}

}  // namespace

// What one layout carries from line to line.
struct TSection::LayoutState {
  LayoutState(IndentManager& m, TExtent top) : margins(m), y(top) {}
  IndentManager& margins;
  TExtent y;
  TExtent floatHeight = 0;           // floats placed on the current line
  std::vector<TImageObj*> deferred;  // floats met inside the current line
};

TSection::TSection(int level, base::TJustify alignment, const base::TUrlTarget* link,
                   const TMyFont& font, TBuilderStyle& style)
    : Level(level), Indent(kListIndent * level), Alignment(alignment) {
  auto runFont = std::make_unique<TMyFont>();
  runFont->Assign(font);
  runFont->SetStyle(runFont->Style() | style.ExtraStyles);
  TFontObj* run = Fonts.Add(std::make_unique<TFontObj>(std::move(runFont), 0));
  if (link) run->SetUrlTarget(*link);
  style.Script = scNormal;
}

// ---- building --------------------------------------------------------------

void TSection::SetClearKind(const base::TAttributeList& attributes) {
  const base::TAttribute* clear = attributes.Find(base::ClearSy);
  if (!clear) return;
  std::string kind = clear->StrValue.substr(0, 15);
  for (char& c : kind)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  ClearKind = kind == "left" ? ckLeft : kind == "right" ? ckRight : ckBoth;
}

void TSection::AddText(std::string_view text) {
  // Deliberate: no length limit. A section keeps all of its text, however
  // long the paragraph.
  if (text.empty()) return;
  if ((Length == 0 || Buff.back() == ' ') && text.front() == ' ') {
    text.remove_prefix(1);
  } else if (Length > 0 && text.front() == ' ') {
    // Only floating images so far: the text starts after them.
    bool onlyFloats = true;
    for (int i = 0; i < Length && onlyFloats; ++i) {
      const TImageObj* image = Buff[i] == kImageByte ? ImageAt(i) : nullptr;
      onlyFloats = image && image->Floats();
    }
    if (onlyFloats) text.remove_prefix(1);
  }
  if (text.empty()) return;
  // The string grows by doubling: a reserve of a little more at each
  // append left a hundred spare bytes in every section and copied a long
  // one over and over.
  Buff.append(text);
  Length = static_cast<int>(Buff.size());
  measures_.reset();
}

base::TJustify TSection::EnsureText() {
  if (Length == 0) {
    Buff.assign(1, ' ');
    Length = 1;
    measures_.reset();
  }
  return Alignment;
}

void TSection::ChangeFont(const TFontDefaults& document, const TMyFont& font,
                          const TBuilderStyle& style) {
  TFontObj* last = Fonts[Fonts.Count() - 1];
  TFontObj* run = last;
  if (last->Pos == Length) {
    last->Font.Assign(font);
  } else {
    auto copy = std::make_unique<TMyFont>();
    copy->Assign(font);
    run = Fonts.Add(std::make_unique<TFontObj>(std::move(copy), Length));
    run->SetUrlTarget(last->UrlTarget());
  }
  run->Font.SetStyle(run->Font.Style() | style.ExtraStyles);
  run->Script = style.Script;
  if (run->Script != scNormal)
    run->Font.SetRelativeSize(document, platform::MulDiv(run->Font.RelativeSize, 3, 4));
  measures_.reset();
}

void TSection::ChangeFontAndLink(const TFontDefaults& document, const TMyFont& font,
                                 const TBuilderStyle& style, bool linkStarts,
                                 const base::TUrlTarget& link) {
  ChangeFont(document, font, style);
  TFontObj* run = Fonts[Fonts.Count() - 1];
  run->SetUrlTarget(linkStarts ? link : base::TUrlTarget());
}

// ---- measuring -------------------------------------------------------------

TImageObj* TSection::ImageAt(int index) const {
  // Images are kept in the order of their bytes.
  const auto it = std::lower_bound(Images.begin(), Images.end(), index,
                                   [](const auto& image, int pos) { return image->Pos < pos; });
  return it != Images.end() && (*it)->Pos == index ? it->get() : nullptr;
}

TImageObj* TSection::AddImage(const base::TAttributeList& attributes, TCell* cell) {
  auto image = std::make_unique<TImageObj>(Length, attributes);
  image->Cell = cell;
  TImageObj* added = Images.Add(std::move(image));
  Buff.push_back(kImageByte);
  Length = static_cast<int>(Buff.size());
  measures_.reset();
  return added;
}

void TSection::SizeImages(platform::TCanvas& canvas, TExtent availableWidth) {
  for (const auto& image : Images) {
    int index = 0;
    image->CalcSize(*Owner, canvas, availableWidth, *Fonts.GetRunAt(image->Pos, index));
  }
}

void TSection::AddControlByte(TFormControlObj* control) {
  control->Pos = Length;
  FormControls.push_back(control);
  Buff.push_back(kControlByte);
  Length = static_cast<int>(Buff.size());
  measures_.reset();
}

void TSection::UpdatePrefix() const {
  if (measures_ && measures_->prefix.size() == Buff.size() + 1) return;
  measures_ = std::make_unique<Measures>();
  std::vector<TExtent>& prefix = measures_->prefix;
  prefix.assign(Buff.size() + 1, 0);
  int run = 0;
  const platform::FontFace* face = &Fonts[0]->Font.Face();
  for (int i = 0; i < Length; ++i) {
    while (run + 1 < Fonts.Count() && Fonts[run + 1]->Pos <= i) {
      ++run;
      face = &Fonts[run]->Font.Face();
    }
    const char c = Buff[static_cast<size_t>(i)];
    const int advance = IsObjectByte(c) ? 0 : face->Advance(static_cast<uint8_t>(c));
    prefix[static_cast<size_t>(i) + 1] = prefix[static_cast<size_t>(i)] + advance;
  }
  // Most sections hold no objects; they need no table of them.
  if (Buff.find_first_of(std::string_view("\x02\x04", 2)) != std::string::npos) {
    std::vector<int>& next = measures_->nextObject;
    next.assign(Buff.size() + 1, Length);
    for (int i = Length - 1; i >= 0; --i)
      next[static_cast<size_t>(i)] =
          IsObjectByte(Buff[static_cast<size_t>(i)]) ? i : next[static_cast<size_t>(i) + 1];
  }
}

TExtent TSection::Extent(int start, int count) const {
  UpdatePrefix();
  const std::vector<TExtent>& prefix = measures_->prefix;
  return prefix[static_cast<size_t>(start + count)] - prefix[static_cast<size_t>(start)];
}

int TSection::PieceLength(int start, int limit) const {
  UpdatePrefix();
  const int runLength = Fonts.RunLengthAt(start, Length);
  const std::vector<int>& next = measures_->nextObject;
  const int nextObject = next.empty() ? Length : next[static_cast<size_t>(start)];
  const int end = std::min({start + std::min(limit, runLength), Length, nextObject});
  return std::max(0, end - start);
}

TExtent TSection::InlineObjectWidth(int index) const {
  if (Buff[static_cast<size_t>(index)] == kImageByte) {
    const TImageObj* image = ImageAt(index);
    return image && !image->Floats() ? image->FloatWidth()
                                     : TExtent(0);  // floats take no line width
  }
  return std::max(0, FormControls.WidthAt(index));
}

bool TSection::FitPiece(TExtent width, int maxCount, int& i, TExtent& used, int& total) const {
  const int piece = PieceLength(i, maxCount - total);
  const int fit = FitChars(width - used, piece, i);
  total += fit;
  if (fit < piece) return false;
  int overhang = 0;
  Fonts.GetFontAt(i, overhang);
  used += Extent(i, piece) - overhang;
  i += piece;
  return true;
}

TExtent TSection::TextWidth(int start, bool trimTrailingBlanks, int count) const {
  if (trimTrailingBlanks)
    while (count > 1 && Buff[static_cast<size_t>(start + count - 1)] == ' ') --count;
  TExtent width = 0;
  for (int i = start, end = start + count; i < end;) {
    if (IsObjectByte(Buff[static_cast<size_t>(i)])) {
      width += InlineObjectWidth(i);
      ++i;
    } else {
      const int n = PieceLength(i, end - i);
      int overhang = 0;
      Fonts.GetFontAt(i, overhang);
      width += Extent(i, n) - overhang;
      i += n;
    }
  }
  return width;
}

int TSection::FitChars(TExtent width, int n, int start) const {
  int overhang = 0;
  Fonts.GetFontAt(start, overhang);
  int low = 0, high = n - 1;
  while (high >= low) {
    const int c = (low + high) / 2 + 1;
    if (width < Extent(start, c) - overhang)
      high = c - 2;
    else
      low = c;
  }
  return low;
}

int TSection::FitCount(TExtent width, int maxCount, int start) const {
  TExtent used = 0;
  int total = 0;
  for (int i = start; total < maxCount && i < Length;) {
    if (IsObjectByte(Buff[static_cast<size_t>(i)])) {
      used += InlineObjectWidth(i);
      if (used > width) break;
      ++total;
      ++i;
      continue;
    }
    if (!FitPiece(width, maxCount, i, used, total)) break;
  }
  return total;
}

int TSection::FitLine(LayoutState& state, TExtent width, int maxCount, int start) {
  TExtent used = 0;
  int total = 0;
  bool atLineStart = true;
  for (int i = start; total < maxCount && i < Length;) {
    const char c = Buff[static_cast<size_t>(i)];
    if (IsObjectByte(c)) {
      TImageObj* image = c == kImageByte ? ImageAt(i) : nullptr;
      if (image && image->Floats()) {
        if (atLineStart) {
          state.margins.AddFloatImage(state.y, image);
          used += image->FloatWidth() + image->FloatHSpace();
          state.floatHeight = std::max(state.floatHeight, image->FloatHeight());
        } else {
          state.deferred.push_back(image);
        }
      } else {
        used += InlineObjectWidth(i);
        atLineStart = false;
      }
      if (used > width) break;
      ++total;
      ++i;
      continue;
    }
    atLineStart = false;
    if (!FitPiece(width, maxCount, i, used, total)) break;
  }
  return total;
}

// ---- layout ----------------------------------------------------------------

TExtent TSection::ClearingSpace(const IndentManager& margins, TExtent y) const {
  if (ClearKind == ckNone) return 0;
  TExtent left = 0, right = 0;
  margins.ClearBottoms(left, right);
  const TExtent bottom = ClearKind == ckLeft    ? left
                         : ClearKind == ckRight ? right
                                                : std::max(left, right);
  return std::max(TExtent(0), bottom - y);
}

TExtent TSection::Layout(platform::TCanvas& canvas, TExtent y, IndentManager& margins,
                         TExtent& maxWidth, int& position) {
  Top = y;
  StartPos = position;
  Height = 0;
  Lines.Recycle();
  margins.SetLevel(y, Level);
  if (Length == 0) {
    Height = DrawnHeight = ClearingSpace(margins, y);
    maxWidth = 0;
    return Height;
  }
  MarkerLeft = margins.LeftEdge(y);
  maxWidth = margins.Width;
  SizeImages(canvas, margins.RightEdge(y) - margins.LeftEdge(y));
  for (const auto& image : Images) maxWidth = std::max(maxWidth, image->FloatWidth() + Indent);
  for (const TFormControlObj* control : FormControls)
    if (control->HasWindow()) maxWidth = std::max(maxWidth, Indent + control->Width());

  LayoutState state(margins, y);
  const TExtent clearing = ClearingSpace(margins, y);
  if (clearing > 0) {
    LineRec line;
    line.LineHeight = line.DrawnHeight = clearing;
    line.LineIndent = margins.LeftEdge(state.y);
    Lines.Add(line);
    Height += clearing;
    state.y += clearing;
  }
  for (int start = 0; start < Length;) {
    const TExtent width =
        Preformatted() ? TExtent(32000) : margins.RightEdge(state.y) - margins.LeftEdge(state.y);
    const int remaining = Length - start;
    state.floatHeight = 0;
    int n = std::max(1, FitLine(state, width, remaining, start));
    if (n < remaining) {
      const auto at = [this](int i) { return Buff[static_cast<size_t>(i)]; };
      const int last = start + n - 1;
      if (at(last) == ' ') {
        while (start + n < Length && at(start + n) == ' ') ++n;
      } else if (!IsObjectByte(at(start + n))) {
        int k = last;
        while (k > start && !IsBreakByte(at(k))) --k;
        if (k > start) {
          n = k - start + 1;
        } else {
          // A word longer than the line: it overflows, with its blanks.
          int j = start + n;
          while (j < Length && !IsBreakByte(at(j))) ++j;
          while (j < Length && at(j) == ' ') ++j;
          n = j - start;
        }
      }
    } else {
      n = remaining;
    }
    FinishLine(state, start, n);
    start += n;
  }
  position = StartPos + Length;
  if (Level > 0) Height = std::max(Height, margins.IndentedBottom() - Top);
  DrawnHeight = std::max(Height, margins.FloatBottom() - Top);
  ReleaseMeasures();
  return Height;
}

void TSection::FinishLine(LayoutState& state, int start, int count) {
  LineRec line;
  const int end = start + count;
  bool onlyObjects = true;
  for (int i = start; i < end && onlyObjects; ++i)
    onlyObjects = IsObjectByte(Buff[static_cast<size_t>(i)]);
  if (!onlyObjects) {
    int first = 0;
    Fonts.GetRunAt(start, first);
    for (int r = first; r < Fonts.Count() && Fonts[r]->Pos < end; ++r) {
      const int runEnd = r + 1 < Fonts.Count() ? Fonts[r + 1]->Pos : Length;
      if (runEnd <= start) continue;
      line.LineHeight = std::max<TExtent>(line.LineHeight, Fonts[r]->LineHeight);
      line.Descent = std::max<TExtent>(line.Descent, Fonts[r]->Descent);
    }
  }
  TExtent above = 0, below = 0;
  const auto first = std::lower_bound(Images.begin(), Images.end(), start,
                                      [](const auto& image, int pos) { return image->Pos < pos; });
  for (auto it = first; it != Images.end() && (*it)->Pos < end; ++it) {
    const TImageObj* image = it->get();
    if (image->Floats()) continue;
    const TExtent h = image->FloatHeight();
    const TExtent diff = h - line.LineHeight;
    switch (image->ImageAlign) {
      case TImageAlign::Top:
        below = std::max(below, diff);
        break;
      case TImageAlign::Middle: {
        const TExtent half = diff / 2;
        above = std::max(above, half);
        below = std::max(below, diff - half);
        break;
      }
      default:
        above = std::max(above, h + line.Descent - line.LineHeight);
        break;
    }
  }
  for (auto it = FormControls.FirstAtOrAfter(start); it != FormControls.end() && (*it)->Pos < end;
       ++it) {
    TFormControlObj* control = *it;
    TExtent e = control->Height() - line.LineHeight;
    if (control->OnBaseline) e += line.Descent;
    above = std::max(above, e);
    control->YValue = state.y;
  }
  line.Start = start;
  line.Count = count;
  const TExtent left = state.margins.LeftEdge(state.y);
  const TExtent right = state.margins.RightEdge(state.y);
  line.LineIndent = left;
  if (Alignment == base::jtCentre) {
    const TExtent w = TextWidth(start, true, count);
    line.LineIndent = std::max<TExtent>(left, (left + right - w) / 2);
  } else if (Alignment != base::jtLeft) {
    line.LineIndent = right - TextWidth(start, true, count) - 1;
  }
  line.SpaceAbove = above;
  line.SpaceBelow = below;
  const TExtent full = line.FullHeight();
  Height += full;
  state.y += full;
  line.DrawnHeight = std::max(full, state.floatHeight);
  for (TImageObj* image : state.deferred) {
    state.margins.AddFloatImage(state.y, image);
    line.DrawnHeight = std::max(line.DrawnHeight, full + image->FloatHeight());
  }
  state.deferred.clear();
  Lines.Add(line);
}

void TSection::GetMinMaxWidth(platform::TCanvas& canvas, TExtent& narrowest, TExtent& widest) {
  narrowest = widest = 0;
  if (Length == 0) return;
  TExtent floats = 0;
  SizeImages(canvas, 0);
  for (const auto& image : Images) {
    if (image->PercentWidth) continue;
    if (!image->Floats())
      narrowest = std::max(narrowest, image->FloatWidth());
    else
      floats += image->FloatWidth() + image->FloatHSpace();
  }
  widest = floats + TextWidth(0, false, Length) + Indent;
  struct Release {
    const TSection* section;
    ~Release() { section->ReleaseMeasures(); }
  } release{this};
  for (int i = 0; i < Length;) {
    const auto wordByte = [this](int k) {
      const char c = Buff[static_cast<size_t>(k)];
      return c != ' ' && c != kImageByte && c != '\0';
    };
    if (!wordByte(i)) {
      ++i;
      continue;
    }
    int j = i;
    while (j < Length && wordByte(j)) ++j;
    narrowest = std::max(narrowest, TextWidth(i, false, j - i));
    i = j;
  }
  narrowest = narrowest + floats + Indent;
}

void TSection::RefreshFonts() {
  if (Owner) {
    Fonts.RefreshAll(*Owner);
    if (NumberFont) NumberFont->Refresh(*Owner, Owner->FontColor);
  }
  measures_.reset();
  UpdateHeight();
}

}  // namespace layout
