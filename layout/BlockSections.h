#pragma once

#include "base/HtmlUtils.h"
#include "layout/Section.h"
#include "layout/SectionBase.h"

namespace layout {

// The space after a paragraph: 14 twelfths of the base size.
class TParagraphSpace : public TSectionBase {
 public:
  const char* ClassName() const override { return "TParagraphSpace"; }
  void CopySelection() override;
  void UpdateHeight() override;
};

// The space around a heading, by its level.
class THeadingSpace : public TSectionBase {
 public:
  explicit THeadingSpace(int level) : SpaceLevel(level) {}
  const char* ClassName() const override { return "THeadingSpace"; }
  int SpaceLevel;
  void CopySelection() override;
  void UpdateHeight() override;
};

// A horizontal rule from the HR attributes.
class THorzLine : public TSectionBase {
 public:
  explicit THorzLine(const base::TAttributeList& attributes);
  const char* ClassName() const override { return "THorzLine"; }

  TExtent Thickness = 2;
  TExtent RuleWidth = -1;  // -1: the full width less 10 pixels at each side
  bool WidthIsPercent = false;
  platform::TColor RuleColor = 0;
  base::TJustify RuleAlign = base::jtCentre;
  bool NoShade = false;
  bool HasColor = false;

  void CopySelection() override;
  TExtent Layout(platform::TCanvas& canvas, TExtent y, IndentManager& margins, TExtent& maxWidth,
                 int& position) override;
  TExtent Draw(platform::TCanvas& canvas, const platform::TRect& clip, IndentManager& margins,
               TExtent x, TExtent y) override;
  void UpdateHeight() override;

 private:
  // How far floats beside the rule moved its edges in from the cell's
  // sides, found at layout: drawing has only the sides.
  TExtent leftInset_ = 0, rightInset_ = 0;
};

// One line of preformatted text: never wrapped, blanks kept.
class TPreFormated : public TSection {
 public:
  using TSection::TSection;
  const char* ClassName() const override { return "TPreFormated"; }
  void PrepareForCell() override;
  void AddText(std::string_view text) override;
  TExtent Layout(platform::TCanvas& canvas, TExtent y, IndentManager& margins, TExtent& maxWidth,
                 int& position) override;
  void GetMinMaxWidth(platform::TCanvas& canvas, TExtent& narrowest, TExtent& widest) override;

 protected:
  bool Preformatted() const override { return true; }
};

// List items: a bullet, a definition item without marker, a numbered item.
class TUListItem : public TSection {
 public:
  TUListItem(int level, const base::TUrlTarget* link, const TMyFont& font, TBuilderStyle& style);
  const char* ClassName() const override { return "TUListItem"; }
};

class TDListItem : public TUListItem {
 public:
  TDListItem(int level, const base::TUrlTarget* link, const TMyFont& font, TBuilderStyle& style);
  const char* ClassName() const override { return "TDListItem"; }
};

class TOListItem : public TUListItem {
 public:
  TOListItem(int level, const base::TUrlTarget* link, const TMyFont& font, TBuilderStyle& style,
             char listStyle, int number);
  const char* ClassName() const override { return "TOListItem"; }
};

}  // namespace layout
