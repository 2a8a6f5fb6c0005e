#include "layout/Cell.h"

#include <algorithm>
#include <cstdint>

#include "layout/SectionList.h"
#include "platform/Geometry.h"

namespace layout {

TCell::TCell(TSectionList* owner) : Owner(owner) {}

void TCell::AddSection(std::unique_ptr<TSectionBase> section) {
  if (!section) return;
  // An empty preformatted line takes one blank here; a text section keeps a
  // zero byte after its text, which std::string always does.
  section->PrepareForCell();
  TSectionBase* added = Add(std::move(section));
  added->SetOwner(Owner);
}

void TCell::ReportProcessError(const std::string& message) {
  if (Owner && Owner->OnProcessError) Owner->OnProcessError(message);
}

TExtent TCell::Layout(platform::TCanvas& canvas, TExtent y, TExtent width, int& position,
                      TExtent& maxWidth) {
  IndentManager margins;
  margins.SetSides(0, width);
  margins.Width = width;
  layoutWidth_ = width;
  Top = y;
  StartPos = position;
  TExtent height = 0;
  maxWidth = 0;
  for (int i = 0; i < Count();) {
    try {
      TExtent w = 0;
      height += (*this)[i]->Layout(canvas, y + height, margins, w, position);
      maxWidth = std::max(maxWidth, w);
      ++i;
    } catch (const EProcessError& error) {
      ReportProcessError(error.what());
      // Out of the cell, the next section takes its index; the document
      // keeps it until it is cleared, as anchors may name sections in it.
      auto& items = Items();
      std::unique_ptr<TSectionBase> removed = std::move(items[static_cast<size_t>(i)]);
      items.erase(items.begin() + i);
      if (Owner) Owner->Removed.Add(std::move(removed));
    }
  }
  Length = position - StartPos;
  IndexForDrawing();
  return std::max(height, margins.FloatBottom() - Top);
}

void TCell::IndexForDrawing() {
  reach_.clear();
  reach_.reserve(static_cast<size_t>(Count()));
  TExtent reach = -base::kMaxExtent;
  TExtent end = Top;
  for (const auto& section : *this) {
    reach = std::max(reach, section->Top + section->DrawnHeight);
    reach_.push_back(reach);
    end += section->Height;
  }
  drawEnd_ = end;
  indexedGeneration_ = Generation();
}

bool TCell::Keeps(const Kept& kept) const {
  return Owner && kept.layout == Owner->LayoutGeneration && kept.layout != 0 &&
         kept.sections == Generation();
}

void TCell::Keep(Kept& kept, TExtent width, TExtent first, TExtent second) {
  if (!Owner) return;
  kept = {Owner->LayoutGeneration, Generation(), width, first, second};
}

TExtent TCell::MeasureHeight(platform::TCanvas& canvas, TExtent width) {
  if (Keeps(keptHeight_) && keptHeight_.width == width) return keptHeight_.first;
  struct Measuring {
    TSectionList* document;
    explicit Measuring(TSectionList* d) : document(d) {
      if (document) ++document->Measuring;
    }
    ~Measuring() {
      if (document) --document->Measuring;
    }
  } measuring(Owner);
  int position = 0;
  TExtent maxWidth = 0;
  const TExtent height = Layout(canvas, 0, width, position, maxWidth);
  Keep(keptHeight_, width, height, 0);
  return height;
}

void TCell::GetMinMaxWidth(platform::TCanvas& canvas, TExtent& narrowest, TExtent& widest) {
  if (Keeps(keptMinMax_)) {
    narrowest = keptMinMax_.first;
    widest = keptMinMax_.second;
    return;
  }
  narrowest = widest = 0;
  for (const auto& section : *this) {
    TExtent n = 0, w = 0;
    section->GetMinMaxWidth(canvas, n, w);
    narrowest = std::max(narrowest, n);
    widest = std::max(widest, w);
  }
  Keep(keptMinMax_, 0, narrowest, widest);
}

TExtent TCell::Draw(platform::TCanvas& canvas, const platform::TRect& clip, TExtent clipWidth,
                    TExtent x, TExtent y) {
  IndentManager margins;
  margins.SetSides(x, x + layoutWidth_);
  margins.Width = layoutWidth_;
  margins.ClipWidth = clipWidth;
  const bool indexed = y == Top && indexedGeneration_ == Generation() &&
                       reach_.size() == static_cast<size_t>(Count());
  const TExtent yOffset = Owner ? Owner->YOffset : TExtent(0);
  size_t i = 0;
  if (indexed) {
    // Sections that end above the clip would draw nothing; nor would any
    // from the first that starts below it.
    i = static_cast<size_t>(std::lower_bound(reach_.begin(), reach_.end(), yOffset + clip.top) -
                            reach_.begin());
    if (i == reach_.size()) return drawEnd_;
    y = (*this)[static_cast<int>(i)]->Top;
  }
  for (; i < static_cast<size_t>(Count()); ++i) {
    if (indexed && y - yOffset >= clip.bottom) return drawEnd_;
    y = (*this)[static_cast<int>(i)]->Draw(canvas, clip, margins, x, y);
  }
  return y;
}

bool TCell::GetUrlAt(platform::TCanvas& canvas, int x, int y,
                     std::unique_ptr<base::TUrlTarget>& url, TFormControlObj*& formControl) {
  url.reset();
  formControl = nullptr;
  TExtent s = 0;
  for (const auto& section : *this) {
    if (s <= y && y < s + section->DrawnHeight &&
        section->GetUrlAt(canvas, x, y - s, url, formControl))
      return true;
    s += section->Height;
  }
  return false;
}

bool TCell::GetObjectAt(int x, int y, TImageObj*& object, int& insideX, int& insideY) {
  object = nullptr;
  insideX = insideY = 0;
  TExtent s = 0;
  for (const auto& section : *this) {
    if (s <= y && y < s + section->DrawnHeight &&
        section->GetObjectAt(x, y - s, object, insideX, insideY))
      return true;
    s += section->Height;
  }
  return false;
}

TSectionBase* TCell::FindSectionAt(int y, TExtent& sectionTop, int& index) const {
  TExtent sum = 0;
  for (int i = 0; i < Count(); ++i) {
    TSectionBase* section = (*this)[i];
    if (sum + section->Height > y) {
      sectionTop = sum;
      index = i;
      return section;
    }
    sum += section->Height;
  }
  return nullptr;
}

int TCell::PointToPos(platform::TCanvas& canvas, int x, int y, int& caretX, int& caretY,
                      int& caretHeight, bool& insideText, TCell*& cell) {
  TExtent s = 0;
  int index = 0;
  TSectionBase* section = FindSectionAt(y, s, index);
  if (!section) return -1;
  const int r =
      section->PointToPos(canvas, x, y - s, caretX, caretY, caretHeight, insideText, cell);
  caretY = s + caretY;
  if (r >= 0 && !cell) cell = this;
  return r;
}

int TCell::FindText(int start, std::string_view text, bool matchCase) {
  for (const auto& section : *this) {
    const int found = section->FindText(start, text, matchCase);
    if (found >= 0) return found;
  }
  return -1;
}

bool TCell::PosToPoint(platform::TCanvas& canvas, int position, int& x, int& y) {
  for (const auto& section : *this)
    if (section->PosToPoint(canvas, position, x, y)) return true;
  return false;
}

bool TCell::GetCharAt(int position, char& ch, TSectionBase*& section) {
  if (position < StartPos || position > StartPos + Length) return false;
  for (const auto& s : *this)
    if (s->GetCharAt(position, ch, section)) return true;
  return false;
}

void TCell::CopySelection() {
  if (!Owner || Owner->SelStart >= Owner->SelEnd) return;
  for (const auto& section : *this) {
    if (section->StartPos + section->Length <= Owner->SelStart) continue;
    if (section->StartPos >= Owner->SelEnd) break;
    section->CopySelection();
  }
}

void TCell::RefreshFonts() {
  for (const auto& section : *this) section->RefreshFonts();
}

}  // namespace layout
