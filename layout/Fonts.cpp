#include "layout/Fonts.h"

#include <algorithm>

#include "platform/MulDiv.h"

namespace layout {

void TMyFont::Assign(const platform::TFont& source) {
  if (const auto* my = dynamic_cast<const TMyFont*>(&source)) {
    RelativeSize = my->RelativeSize;
    Fixed = my->Fixed;
  }
  platform::TFont::Assign(source);
}

void TMyFont::SetRelativeSize(const TFontDefaults& document, int twelfths) {
  RelativeSize = twelfths;
  SetSize(platform::MulDiv(document.BaseFontSize, twelfths, 12));
}

void TMyFont::Refresh(const TFontDefaults& document, platform::TColor color) {
  SetName(Fixed ? document.FixedFontName : document.FontName);
  SetCharset(document.CharSet);
  SetSize(platform::MulDiv(document.BaseFontSize, RelativeSize, 12));
  SetColor(color | platform::kPaletteRelative);
}

TFontObj::TFontObj(std::unique_ptr<TMyFont> font, int pos) : TFontObj(*font, pos) {}

TFontObj::TFontObj(const TMyFont& font, int pos) : Pos(pos) {
  Font.Assign(font);
  Font.Observer = this;
  UpdateMetrics();
}

void TFontObj::UpdateMetrics() {
  const platform::TTextMetric& tm = Font.Face().Metrics();
  TextHeight = tm.tmHeight;
  LineHeight = tm.tmHeight + tm.tmExternalLeading;
  Descent = tm.tmDescent;
  Overhang = tm.tmOverhang;
}

const base::TUrlTarget& TFontObj::UrlTarget() const {
  static const base::TUrlTarget kNoLink;
  return link_ ? *link_ : kNoLink;
}

void TFontObj::SetUrlTarget(const base::TUrlTarget& link) {
  if (link.Url.empty() && link.Target.empty())
    link_.reset();
  else
    link_ = std::make_unique<base::TUrlTarget>(link);
}

void TFontObj::Refresh(const TFontDefaults& document) {
  Font.Refresh(document, UrlTarget().Url.empty() ? document.FontColor : document.HotSpotColor);
}

void TFontList::RefreshAll(const TFontDefaults& document) {
  for (const auto& run : *this) run->Refresh(document);
}

const std::vector<int>& TFontList::Positions() const {
  if (!index_) index_ = std::make_unique<PositionIndex>();
  std::vector<int>& positions = index_->positions;
  if (index_->generation != Generation()) {
    positions.clear();
    index_->generation = Generation();
  }
  for (size_t i = positions.size(); i < static_cast<size_t>(Count()); ++i)
    positions.push_back((*this)[static_cast<int>(i)]->Pos);
  return positions;
}

// Runs are in ascending Pos, so the walks the lookups describe are binary
// searches here: a long section with many runs stays linear to lay out.
int TFontList::FirstFrom(int pos, bool after) const {
  const int count = Count();
  if (count <= kIndexedRuns) {
    int i = 0;
    while (i < count && ((*this)[i]->Pos < pos || (after && (*this)[i]->Pos == pos))) ++i;
    return i;
  }
  const std::vector<int>& positions = Positions();
  const auto found = after ? std::upper_bound(positions.begin(), positions.end(), pos)
                           : std::lower_bound(positions.begin(), positions.end(), pos);
  return static_cast<int>(found - positions.begin());
}

TFontObj* TFontList::GetRunAt(int pos, int& index) const {
  const int count = Count();
  if (count == 0) {
    index = -1;
    return nullptr;
  }
  const int first = FirstFrom(pos, false);
  if (first == count)
    index = count - 1;
  else
    index = ((*this)[first]->Pos == pos || first == 0) ? first : first - 1;
  return (*this)[index];
}

TMyFont* TFontList::GetFontAt(int pos, int& overhang) const {
  int index = 0;
  TFontObj* run = GetRunAt(pos, index);
  overhang = run ? run->Overhang : 0;
  return run ? &run->Font : nullptr;
}

int TFontList::RunLengthAt(int pos, int textLength) const {
  const int next = FirstFrom(pos, true);
  return next < Count() ? (*this)[next]->Pos - pos : textLength - pos;
}

}  // namespace layout
