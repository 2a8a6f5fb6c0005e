#pragma once

// The builder's state and readers, shared by the files that implement them
// (HtmlBuilder.cpp has the entries; BuilderBody.cpp the body and inline
// readers; BuilderBlocks.cpp lists, centred blocks, PRE, scripts and plain
// text; BuilderTable.cpp tables). Not for use outside the builder.

#include <bitset>
#include <memory>
#include <string>
#include <vector>

#include "parser/HtmlBuilder.h"

namespace forms {
class ThtmlForm;
class TListBoxFormControlObj;
class TTextAreaFormControlObj;
}  // namespace forms

namespace parser::builder {

using layout::TBuilderStyle;
using layout::TMyFont;
using layout::TSection;
using TermSet = std::bitset<256>;

inline constexpr int kMaxFonts = 25;
inline constexpr int kHeadingSizes[7] = {12, 24, 18, 15, 12, 10, 8};  // by level, 0 first

inline TermSet Terms(std::initializer_list<Symbol> symbols) {
  TermSet set;
  for (Symbol s : symbols) set.set(s);
  return set;
}

// The text-level symbols. TABLE is read by the block readers (ReadTable).
inline const TermSet kTextLevel = Terms({
    PSy,          PEndSy,   BSy,         BEndSy,   ISy,        IEndSy,       EmSy,
    EmEndSy,      StrongSy, StrongEndSy, USy,      UEndSy,     CiteSy,       CiteEndSy,
    VarSy,        VarEndSy, SSy,         SEndSy,   StrikeSy,   StrikeEndSy,  TTSy,
    TTEndSy,      CodeSy,   CodeEndSy,   KbdSy,    KbdEndSy,   SampSy,       SampEndSy,
    SubSy,        SubEndSy, SupSy,       SupEndSy, BigSy,      BigEndSy,     SmallSy,
    SmallEndSy,   FontSy,   FontEndSy,   BRSy,     HeadingSy,  HeadingEndSy, AddressSy,
    AddressEndSy, PreSy,    ASy,         AEndSy,   TextSymbol, BaseFontSy,   ScriptSy,
    MapSy,        ImageSy,  InputSy,     SelectSy, TextAreaSy, TextAreaEndSy, FormSy,
    FormEndSy,
});

inline const TermSet kListEnds =
    Terms({OLEndSy, ULEndSy, DirEndSy, MenuEndSy, DLEndSy, BlockQuoteEndSy});

// The tags that shape a table besides its start and end tag.
inline const TermSet kTableTags =
    Terms({TDSy, TDEndSy, THSy, THEndSy, TRSy, TREndSy, CaptionSy, CaptionEndSy});

// What ends the content of a table cell or caption: the next cell, row or
// caption tag, or the end of the table, whether or not the cell's own end
// tag was written.
inline const TermSet kCellTerms = kTableTags | Terms({TableEndSy});

inline std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return s;
}

class Builder {
 public:
  Builder(layout::TSectionList& document, TAnchorList& anchors, const TParseHooks& hooks)
      : doc_(document), anchors_(anchors), hooks_(hooks), cell_(&document) {
    scanner_.IncludeHook = hooks.Include;
    auto base = std::make_unique<TMyFont>();
    base->SetName(doc_.FontName);
    base->SetColor(doc_.FontColor);
    base->SetRelativeSize(doc_, 12);
    base->SetCharset(doc_.CharSet);
    fonts_.push_back(std::move(base));
    section_ = NewTextSection(0, base::jtLeft, nullptr);
  }

  THtmlScanner& Scanner() { return scanner_; }
  TParseResult& Result() { return result_; }

  // Reads the whole document (primed scanner).
  void ReadDocument() { ReadBody(0, TermSet()); }
  void ReadPlainText();
  // Hands the pending section to the cell; runs on every exit.
  void Finish() { FinishSection(); }

 private:
  // ---- small steps ----
  Symbol Sym() const { return scanner_.CurrentSymbol; }
  void Next() { scanner_.NextSymbol(); }
  TMyFont& TopFont() { return *fonts_.back(); }
  const TAttributeList& Attributes() const { return scanner_.Attributes; }
  const TAttribute* Find(Symbol s) const { return scanner_.Attributes.Find(s); }

  std::unique_ptr<TSection> NewTextSection(int level, base::TJustify alignment,
                                           const TUrlTarget* link) {
    return std::make_unique<TSection>(level, alignment, link, TopFont(), style_);
  }
  void NewSection() { section_ = NewTextSection(level_, justify_, &link_); }
  void FinishSection() {
    if (section_) cell_->AddSection(std::move(section_));
    section_.reset();
    sectionAnchors_.clear();  // their section belongs to the cell now
  }
  void AddSection(std::unique_ptr<layout::TSectionBase> section) {
    cell_->AddSection(std::move(section));
  }
  bool PushFont() {
    if (static_cast<int>(fonts_.size()) >= kMaxFonts) return false;
    auto copy = std::make_unique<TMyFont>();
    copy->Assign(TopFont());
    fonts_.push_back(std::move(copy));
    return true;
  }
  void PopFont() {
    if (fonts_.size() > 1) fonts_.pop_back();
  }
  void FontChange() {
    if (section_) section_->ChangeFont(doc_, TopFont(), style_);
  }
  void EndLink() {
    if (linkOpen_) {
      link_.Clear();
      linkOpen_ = false;
      PopFont();
    }
    if (section_) section_->ChangeFontAndLink(doc_, TopFont(), style_, false, link_);
  }
  base::TJustify GetAlign() const {
    if (Sym() == PSy || Sym() == HeadingSy)
      if (const TAttribute* align = Find(AlignSy)) {
        const std::string a = LowerCut(align->StrValue, 10);
        if (a == "left") return base::jtLeft;
        if (a == "center") return base::jtCentre;
        if (a == "right") return base::jtRight;
      }
    return justify_;
  }
  void SetFixedFont() {
    TopFont().SetName(doc_.FixedFontName);
    TopFont().SetRelativeSize(doc_, 10);
    TopFont().Fixed = true;
  }

  // ---- readers ----
  void ReadBody(int level, const TermSet& terms);
  void ReadInline(int level);
  void ReadTitle();
  void ReadBodyTag(int level);
  void ReadParagraph(int level);
  void ReadHeading(int level, bool start);
  void ReadStyle();
  bool ApplyFontAttributes(bool fixedTable);
  bool StepFontSize();
  void ReadAnchor();
  void ReadList(int level, Symbol list, const TermSet& terms);
  // A list and the list end that closed it. A symbol of `terms` that ended
  // the list (the next cell of a table, the end of a centred block) stays
  // for the caller, which would otherwise lose it.
  void ReadWholeList(int level, Symbol list, const TermSet& terms) {
    ReadList(level, list, terms);
    if (kListEnds[Sym()]) Next();
  }
  void ReadCenter(int level, const TermSet& terms);
  void ReadPre(int level);
  void PreLineBreak(int level, std::string& pending);
  void ReadScript();
  // MAP and its AREAs into the document's maps; then the next symbol,
  // unless a listing reads on by characters.
  void ReadMap(bool readNext = true);
  void AddHorzLine();
  // INPUT, SELECT and TEXTAREA: the control, with its options or text.
  void ReadFormControl();
  // FORM starts the form that new controls join; its end tag ends it.
  void ReadForm();
  void ReadSelectOptions(forms::TListBoxFormControlObj& control);
  void ReadTextAreaText(forms::TTextAreaFormControlObj& control);
  void ReadTable(int level);
  base::TJustify GetCellAlign() const;
  uint8_t GetVAlign(uint8_t fallback) const;
  // Past the nesting limit: reads a nesting start, or the end tag of one
  // read that way, as a block boundary. False when the symbol is neither.
  bool SkipFlattened();
  // Inside a table started past the limit: its row, cell and caption tags
  // and its end tag, which are block boundaries there.
  bool FlattenedTableTag();

  // Counts the lists, block quotes, CENTER, DIV and tables being read; the
  // flattened ones end with the innermost element that holds them.
  class NestingScope {
   public:
    explicit NestingScope(Builder& builder) : builder_(builder) { ++builder_.depth_; }
    ~NestingScope() {
      if (builder_.depth_-- == kMaxNestingDepth)
        builder_.flattenedLists_ = builder_.flattenedCentres_ = builder_.flattenedTables_ = 0;
    }
    NestingScope(const NestingScope&) = delete;
    NestingScope& operator=(const NestingScope&) = delete;

   private:
    Builder& builder_;
  };

  layout::TSectionList& doc_;
  TAnchorList& anchors_;
  TParseHooks hooks_;
  THtmlScanner scanner_;
  TParseResult result_;
  layout::TCell* cell_;
  std::unique_ptr<TSection> section_;
  std::vector<std::unique_ptr<TMyFont>> fonts_;
  TBuilderStyle style_;
  base::TJustify justify_ = base::jtLeft;
  int level_ = 0;  // list level of the readers below; sections take it
  bool linkOpen_ = false;
  TUrlTarget link_;
  int baseHtmlSize_ = 3;
  forms::ThtmlForm* form_ = nullptr;  // the form new controls join
  // The anchors that name the pending section; they move with it when BODY
  // replaces it, so no anchor is left naming a freed section.
  std::vector<TAnchorList::iterator> sectionAnchors_;
  int depth_ = 0;
  int flattenedLists_ = 0;  // starts read past the limit and not yet ended
  int flattenedCentres_ = 0;
  int flattenedTables_ = 0;
};

}  // namespace parser::builder
