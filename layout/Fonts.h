#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/HtmlUtils.h"
#include "platform/Color.h"
#include "platform/TFont.h"

namespace layout {

// What a document supplies to the fonts of its runs: the two face names,
// the base size in points, the character set and the two text colours. The
// section list (the document) keeps these; fonts are relative to them so
// that a change can be applied to a finished document.
struct TFontDefaults {
  std::string FontName;       // proportional face, at most 33 characters
  std::string FixedFontName;  // fixed-pitch face, at most 33 characters
  int BaseFontSize = 12;      // base size in points
  uint8_t CharSet = 1;
  platform::TColor FontColor = platform::clWindowText;
  platform::TColor HotSpotColor = 0x00FF0000;
};

// HTML font sizes 1..7 as twelfths of the base size.
constexpr int kFontSizes[7] = {8, 10, 12, 14, 18, 24, 36};
constexpr int kPreFontSizes[7] = {7, 8, 10, 12, 15, 20, 30};

// A font relative to the document's defaults.
class TMyFont : public platform::TFont {
 public:
  bool Fixed = false;     // the fixed-pitch face instead of the proportional one
  int RelativeSize = 12;  // twelfths of the base size

  // Copies RelativeSize and Fixed first when the source is a TMyFont, then
  // the ordinary font properties (which notifies once).
  void Assign(const platform::TFont& source) override;
  void SetRelativeSize(const TFontDefaults& document, int twelfths);
  // Face, character set and size from the document; the colour given, with
  // the palette-relative flag.
  void Refresh(const TFontDefaults& document, platform::TColor color);
};

// Where a run sits against the baseline.
enum TScript : uint8_t { scNormal = 0, scSubscript = 1, scSuperscript = 2 };

// One font run of a text section: the font, where it starts, its measured
// metrics and its link.
class TFontObj final : private platform::TFontObserver {
 public:
  // Takes the font; every later change of it re-measures the run. The font
  // calls back into the run, so runs stay where they were made.
  TFontObj(std::unique_ptr<TMyFont> font, int pos);
  TFontObj(const TMyFont& font, int pos);
  TFontObj(const TFontObj&) = delete;
  TFontObj& operator=(const TFontObj&) = delete;

  TMyFont Font;  // owned, kept inside the run
  int Pos;
  int LineHeight = 0;  // text height plus external leading
  int TextHeight = 0;  // ascent plus descent
  int Overhang = 0;
  int Descent = 0;
  TScript Script = scNormal;

  // The run's link; an empty URL means the run is not a link. Most runs
  // are not links, so the strings are kept only for those that are.
  const base::TUrlTarget& UrlTarget() const;
  void SetUrlTarget(const base::TUrlTarget& link);

  void UpdateMetrics();
  // The hot-spot colour for a link run, the default text colour otherwise.
  void Refresh(const TFontDefaults& document);
  int GetOverhang() const { return Overhang; }
  // LineHeight, and the descent through `descent`.
  int GetHeightAndDescent(int& descent) const {
    descent = Descent;
    return LineHeight;
  }

 private:
  void FontChanged() override { UpdateMetrics(); }
  std::unique_ptr<base::TUrlTarget> link_;
};

// The runs of one text section in ascending Pos, the first at 0.
class TFontList : public base::TFreeList<TFontObj> {
 public:
  void RefreshAll(const TFontDefaults& document);
  // The run covering pos (the greatest Pos not above it) and its index.
  TFontObj* GetRunAt(int pos, int& index) const;
  // The font covering pos, and the run's overhang.
  TMyFont* GetFontAt(int pos, int& overhang) const;
  // Characters from pos to the start of the next run after the one covering
  // pos; the rest of the text when there is none.
  int RunLengthAt(int pos, int textLength) const;

 private:
  // The index of the first run whose Pos is at or after `pos` (after it,
  // when `after`); Count() when there is none.
  int FirstFrom(int pos, bool after) const;
  // Sections of many runs keep their start positions side by side (a run's
  // Pos never changes), so lookups search contiguous memory; extended when
  // runs are added, rebuilt when any were removed. Most sections have a few
  // runs, searched where they are, and no index.
  static constexpr int kIndexedRuns = 16;
  struct PositionIndex {
    std::vector<int> positions;
    uint64_t generation = 0;
  };
  const std::vector<int>& Positions() const;
  mutable std::unique_ptr<PositionIndex> index_;
};

}  // namespace layout
