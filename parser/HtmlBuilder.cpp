// The document builder: a recursive-descent reader over the scanner's
// symbols that fills a document with sections. Its state lives in one
// Builder object per parse.
#include "parser/HtmlBuilder.h"

#include "parser/BlockSections.h"
#include "platform/MulDiv.h"

namespace parser {

namespace {

using layout::TBuilderStyle;
using layout::TMyFont;
using layout::TSection;
using TermSet = std::bitset<256>;

constexpr int kMaxFonts = 25;
constexpr int kHeadingSizes[7] = {12, 24, 18, 15, 12, 10, 8};  // by level, 0 first

TermSet Terms(std::initializer_list<Symbol> symbols) {
  TermSet set;
  for (Symbol s : symbols) set.set(s);
  return set;
}

// The text-level symbols the builder reads today. Tables, pictures, maps
// and form controls come with their own parts; until then their tags are
// passed over like unknown tags and the text inside them flows on.
const TermSet kTextLevel = Terms({
    PSy,          PEndSy,   BSy,         BEndSy,   ISy,        IEndSy,       EmSy,
    EmEndSy,      StrongSy, StrongEndSy, USy,      UEndSy,     CiteSy,       CiteEndSy,
    VarSy,        VarEndSy, SSy,         SEndSy,   StrikeSy,   StrikeEndSy,  TTSy,
    TTEndSy,      CodeSy,   CodeEndSy,   KbdSy,    KbdEndSy,   SampSy,       SampEndSy,
    SubSy,        SubEndSy, SupSy,       SupEndSy, BigSy,      BigEndSy,     SmallSy,
    SmallEndSy,   FontSy,   FontEndSy,   BRSy,     HeadingSy,  HeadingEndSy, AddressSy,
    AddressEndSy, PreSy,    ASy,         AEndSy,   TextSymbol, BaseFontSy,   ScriptSy,
});

const TermSet kListEnds = Terms({OLEndSy, ULEndSy, DirEndSy, MenuEndSy, DLEndSy, BlockQuoteEndSy});

std::string LowerCut(const std::string& text, size_t length) {
  std::string s = text.substr(0, length);
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return s;
}

std::string Upper(std::string s) {
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
    section_ = NewTextSection(0, 1, nullptr);
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

  std::unique_ptr<TSection> NewTextSection(int level, int alignment, const TUrlTarget* link) {
    return std::make_unique<TSection>(level, alignment, link, TopFont(), style_);
  }
  void NewSection() { section_ = NewTextSection(level_, justify_, &link_); }
  void FinishSection() {
    if (section_) cell_->AddSection(std::move(section_));
    section_.reset();
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
  int GetAlign() const {
    if (Sym() == PSy || Sym() == HeadingSy)
      if (const TAttribute* align = Find(AlignSy)) {
        const std::string a = LowerCut(align->StrValue, 10);
        if (a == "left") return 1;
        if (a == "center") return 2;
        if (a == "right") return 3;
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
  void ReadCenter(int level, const TermSet& terms);
  void ReadPre(int level);
  void PreLineBreak(int level, std::string& pending);
  void ReadScript();
  void AddHorzLine();

  layout::TSectionList& doc_;
  TAnchorList& anchors_;
  TParseHooks hooks_;
  THtmlScanner scanner_;
  TParseResult result_;
  layout::TCell* cell_;
  std::unique_ptr<TSection> section_;
  std::vector<std::unique_ptr<TMyFont>> fonts_;
  TBuilderStyle style_;
  int justify_ = 1;
  int level_ = 0;  // list level of the readers below; sections take it
  bool linkOpen_ = false;
  TUrlTarget link_;
  int baseHtmlSize_ = 3;
};

void Builder::ReadBody(int level, const TermSet& terms) {
  const int savedLevel = level_;
  level_ = level;
  while (Sym() != EofSymbol && Sym() != BodyEndSy) {
    const Symbol s = Sym();
    if (s == TitleSy) {
      ReadTitle();
    } else if (s == BodySy) {
      ReadBodyTag(level);
    } else if (s == HRSy) {
      AddHorzLine();
      Next();
    } else if (s == BaseSy) {
      if (const TAttribute* href = Find(HrefSy)) result_.Base = href->StrValue;
      if (const TAttribute* target = Find(TargetSy)) result_.BaseTarget = target->StrValue;
      Next();
    } else if (s == OLSy || s == ULSy || s == DirSy || s == MenuSy || s == DLSy) {
      ReadList(1, s, terms);
      Next();
    } else if (s == BlockQuoteSy) {
      FinishSection();
      ReadList(1, s, terms);
      Next();
    } else if (s == CenterSy || s == DivSy) {
      ReadCenter(level, terms);
    } else if (s == BgSoundSy) {
      const TAttribute* src = Find(SrcSy);
      if (hooks_.Sound && src) {
        const TAttribute* loop = Find(LoopSy);
        hooks_.Sound(src->StrValue, loop ? loop->IntValue : 1, false);
      }
      Next();
    } else if (s == MetaSy) {
      if (hooks_.Meta) {
        const auto text = [this](Symbol a) {
          const TAttribute* attribute = Find(a);
          return attribute ? attribute->StrValue : std::string();
        };
        hooks_.Meta(text(HttpEqSy), text(NameSy), text(ContentSy));
      }
      Next();
    } else if (kTextLevel[s]) {
      ReadInline(level);
    } else if (terms[s]) {
      level_ = savedLevel;
      return;
    } else {
      Next();
    }
  }
  Next();
  level_ = savedLevel;
}

void Builder::ReadTitle() {
  result_.Title.clear();
  Next();
  while (Sym() == TextSymbol) {
    result_.Title += scanner_.Token;
    Next();
  }
}

void Builder::ReadBodyTag(int level) {
  if (cell_->Empty()) {
    section_.reset();  // text before BODY is dropped
    for (const auto& a : Attributes()) {
      const std::optional<platform::TColor> color = ParseColor(a->StrValue);
      if (a->Symbol == TextSy && color) {
        TopFont().SetColor(*color | platform::kPaletteRelative);
        doc_.FontColor = *color | platform::kPaletteRelative;
      } else if (a->Symbol == LinkSy && color) {
        doc_.HotSpotColor = *color | platform::kPaletteRelative;
      } else if (a->Symbol == BGColorSy && color) {
        doc_.SetBackground(*color | platform::kPaletteRelative);
      } else if (a->Symbol == BackgroundSy) {
        doc_.SetBackgroundImage(a->StrValue);
      }
    }
    section_ = NewTextSection(level, justify_, nullptr);
  }
  Next();
}

void Builder::AddHorzLine() {
  if (section_) cell_->AddSection(std::move(section_));
  AddSection(std::make_unique<THorzLine>(Attributes()));
  section_.reset();
}

void Builder::ReadInline(int level) {
  const Symbol s = Sym();
  switch (s) {
    case PSy:
    case PEndSy:
      ReadParagraph(level);
      return;
    case BRSy: {
      const int alignment = section_ ? section_->EnsureText() : justify_;
      FinishSection();
      section_ = NewTextSection(level, alignment, &link_);
      section_->SetClearKind(Attributes());
      break;
    }
    case HeadingSy:
    case HeadingEndSy:
      ReadHeading(level, s == HeadingSy);
      break;
    case TTSy:
    case CodeSy:
    case KbdSy:
    case SampSy:
      if (PushFont()) SetFixedFont();
      FontChange();
      break;
    case TTEndSy:
    case CodeEndSy:
    case KbdEndSy:
    case SampEndSy:
    case FontEndSy:
    case BigEndSy:
    case SmallEndSy:
      PopFont();
      FontChange();
      break;
    case AddressSy:
      FinishSection();
      PushFont();
      TopFont().SetStyle(TopFont().Style() | platform::fsItalic);
      NewSection();
      break;
    case AddressEndSy:
      FinishSection();
      PopFont();
      break;
    case PreSy:
      ReadPre(level);
      return;
    case ASy:
      ReadAnchor();
      break;
    case AEndSy:
      EndLink();
      break;
    case TextSymbol:
      if (!section_) NewSection();
      section_->AddText(scanner_.Token);
      break;
    case FontSy:
    case BaseFontSy:
      if (ApplyFontAttributes(false)) FontChange();
      break;
    case BigSy:
    case SmallSy:
      if (StepFontSize()) FontChange();
      break;
    case ScriptSy:
      ReadScript();
      break;
    default:
      ReadStyle();
      break;
  }
  Next();
}

void Builder::ReadStyle() {
  switch (Sym()) {
    case BSy:
    case StrongSy:
      style_.ExtraStyles |= platform::fsBold;
      break;
    case BEndSy:
    case StrongEndSy:
      style_.ExtraStyles &= ~platform::fsBold;
      break;
    case ISy:
    case EmSy:
    case CiteSy:
    case VarSy:
      style_.ExtraStyles |= platform::fsItalic;
      break;
    case IEndSy:
    case EmEndSy:
    case CiteEndSy:
    case VarEndSy:
      style_.ExtraStyles &= ~platform::fsItalic;
      break;
    case USy:
      style_.ExtraStyles |= platform::fsUnderline;
      break;
    case UEndSy:
      style_.ExtraStyles &= ~platform::fsUnderline;
      break;
    case SSy:
    case StrikeSy:
      style_.ExtraStyles |= platform::fsStrikeOut;
      break;
    case SEndSy:
    case StrikeEndSy:
      style_.ExtraStyles &= ~platform::fsStrikeOut;
      break;
    case SubSy:
    case SupSy:
      if (!section_) NewSection();
      style_.Script = Sym() == SubSy ? 1 : 2;
      break;
    case SubEndSy:
    case SupEndSy:
      style_.Script = 0;
      break;
    default:
      return;
  }
  FontChange();
}

void Builder::ReadParagraph(int level) {
  FinishSection();
  if (!scanner_.ParagraphSpaceJustEmitted) AddSection(std::make_unique<TParagraphSpace>());
  scanner_.SkipBlanks();
  int alignment = GetAlign();
  scanner_.ParagraphSpaceJustEmitted = true;
  Next();
  while (Sym() == PSy || Sym() == PEndSy) {
    alignment = GetAlign();
    scanner_.SkipBlanks();
    scanner_.ParagraphSpaceJustEmitted = true;
    Next();
  }
  section_ = NewTextSection(level, alignment, &link_);
}

void Builder::ReadHeading(int level, bool start) {
  const int n = scanner_.HeadingLevel;
  if (start) {
    if (static_cast<int>(fonts_.size()) >= kMaxFonts) return;
    FinishSection();
    PushFont();
    TopFont().SetRelativeSize(doc_, kHeadingSizes[n >= 1 && n <= 6 ? n : 0]);
    if (n >= 1 && n <= 6) TopFont().SetStyle(TopFont().Style() | platform::fsBold);
    AddSection(std::make_unique<THeadingSpace>(n));
    section_ = NewTextSection(level, GetAlign(), &link_);
  } else {
    if (fonts_.size() <= 1) return;
    FinishSection();
    AddSection(std::make_unique<THeadingSpace>(n));
    PopFont();
  }
}

bool Builder::ApplyFontAttributes(bool fixedTable) {
  const bool isFont = Sym() == FontSy;
  std::optional<int> size;
  std::optional<platform::TColor> color;
  std::string face;
  for (const auto& a : Attributes()) {
    if (a->Symbol == SizeSy) {
      int number = a->IntValue;
      if (a->StrValue.size() > 1 && (a->StrValue[0] == '+' || a->StrValue[0] == '-'))
        number += baseHtmlSize_;
      size = std::clamp(number, 1, 7);
      if (!isFont) baseHtmlSize_ = *size;
    } else if (isFont && a->Symbol == ColorSy) {
      if (const auto c = ParseColor(a->StrValue)) color = c;
    } else if (isFont && a->Symbol == FaceSy && !a->StrValue.empty()) {
      std::string f = a->StrValue.substr(0, 50);
      f = TrimBlanks(f.substr(0, f.find(',')));
      if (!f.empty()) face = f;
    }
  }
  if (!isFont && !(cell_ == &doc_ && doc_.Empty())) return false;
  if (!PushFont()) return false;
  if (!size && !color && face.empty()) return false;
  if (color) TopFont().SetColor(*color | platform::kPaletteRelative);
  if (size)
    TopFont().SetRelativeSize(doc_,
                              (fixedTable ? layout::kPreFontSizes : layout::kFontSizes)[*size - 1]);
  if (!face.empty()) TopFont().SetName(face);
  return true;
}

bool Builder::StepFontSize() {
  int index = -1;
  for (int i = 0; i < 7; ++i)
    if (layout::kFontSizes[i] == TopFont().RelativeSize) index = i;
  int next = index;
  if (index >= 0 && Sym() == BigSy && index < 6) next = index + 1;
  if (index >= 0 && Sym() == SmallSy && index > 0) next = index - 1;
  // Deliberate: BIG at size 7, SMALL at size 1 and sizes outside the table
  // still push an unchanged copy, so that their end tags, which always pop,
  // do not pop an enclosing font.
  if (!PushFont()) return false;
  if (next == index) return false;
  TopFont().SetRelativeSize(doc_, layout::kFontSizes[next]);
  return true;
}

void Builder::ReadAnchor() {
  for (const auto& a : Attributes()) {
    if (a->Symbol == HrefSy) {
      if (linkOpen_) EndLink();
      if (a->StrValue.empty()) continue;
      const TAttribute* target = Find(TargetSy);
      link_.Assign(&a->StrValue, target ? &target->StrValue : nullptr);
      linkOpen_ = true;
      PushFont();
      TopFont().SetStyle(TopFont().Style() | platform::fsUnderline);
      TopFont().SetColor(doc_.HotSpotColor);
      if (section_) section_->ChangeFontAndLink(doc_, TopFont(), style_, true, link_);
    } else if (a->Symbol == NameSy && !a->StrValue.empty()) {
      if (!section_) NewSection();
      anchors_.emplace(Upper(a->StrValue), section_.get());
    }
  }
}

void Builder::ReadList(int level, Symbol list, const TermSet& terms) {
  int number = 1;
  char listStyle = '1';
  bool plain = false;
  if (list == OLSy) {
    if (const TAttribute* start = Find(StartSy); start && start->IntValue >= 0)
      number = start->IntValue;
    if (const TAttribute* type = Find(TypeSy); type && !type->StrValue.empty())
      listStyle = type->StrValue[0];
  } else if (list == ULSy) {
    plain = Find(PlainSy) != nullptr;
  }
  FinishSection();
  Next();
  if (kListEnds[Sym()]) return;
  const int savedLevel = level_;
  int itemLevel = level;
  level_ = itemLevel;
  TermSet inner = terms | kListEnds;
  inner.set(EofSymbol);
  while (!kListEnds[Sym()] && Sym() != EofSymbol) {
    const Symbol s = Sym();
    if (kTextLevel[s]) {
      ReadInline(itemLevel);
    } else if (s == HRSy) {
      AddHorzLine();
      Next();
    } else if (s == OLSy || s == ULSy || s == DirSy || s == MenuSy || s == DLSy) {
      ReadList(level + 1, s, terms);
      Next();
    } else if (s == BlockQuoteSy) {
      FinishSection();
      ReadList(level + 1, s, terms);
      Next();
    } else if (s == LISy) {
      FinishSection();
      if (list == OLSy) {
        section_ =
            std::make_unique<TOListItem>(level, &link_, TopFont(), style_, listStyle, number++);
      } else {
        auto item = std::make_unique<TUListItem>(level, &link_, TopFont(), style_);
        item->PlainBullet = list == ULSy && plain;
        section_ = std::move(item);
      }
      scanner_.SkipBlanks();
      Next();
      if (Sym() == PSy) Next();
      itemLevel = level;
    } else if (s == DDSy || s == DTSy) {
      FinishSection();
      itemLevel = s == DDSy ? level : level - 1;
      section_ = std::make_unique<TDListItem>(itemLevel, &link_, TopFont(), style_);
      Next();
    } else if (s == CenterSy || s == DivSy) {
      ReadBody(itemLevel, inner);
    } else if (terms[s]) {
      level_ = savedLevel;
      return;
    } else {
      Next();
    }
    level_ = itemLevel;
  }
  FinishSection();
  level_ = savedLevel;
}

void Builder::ReadCenter(int level, const TermSet& terms) {
  FinishSection();
  const int saved = justify_;
  if (Sym() == CenterSy) {
    justify_ = 2;
  } else if (const TAttribute* align = Find(AlignSy)) {
    const std::string a = LowerCut(align->StrValue, 10);
    if (a == "left")
      justify_ = 1;
    else if (a == "center")
      justify_ = 2;
    else if (a == "right")
      justify_ = 3;
  }
  section_ = NewTextSection(level, justify_, &link_);
  Next();
  TermSet inner = terms;
  inner.set(CenterEndSy);
  inner.set(DivEndSy);
  ReadBody(level, inner);
  FinishSection();
  justify_ = saved;
  section_ = NewTextSection(level, justify_, &link_);
  if (Sym() == CenterEndSy || Sym() == DivEndSy) Next();
}

void Builder::PreLineBreak(int level, std::string& pending) {
  section_->AddText(pending);
  pending.clear();
  FinishSection();
  section_ = std::make_unique<TPreFormated>(level, 1, &link_, TopFont(), style_);
}

void Builder::ReadPre(int level) {
  FinishSection();
  PushFont();
  SetFixedFont();
  section_ = std::make_unique<TPreFormated>(level, 1, &link_, TopFont(), style_);
  std::string pending;
  scanner_.InPre = true;
  const auto flush = [&] {
    section_->AddText(pending);
    pending.clear();
  };
  for (bool stop = false; !stop;) {
    const uint8_t ch = scanner_.Ch;
    if (ch == THtmlScanner::kLineEnd) {
      PreLineBreak(level, pending);
      scanner_.NextChar();
    } else if (ch == THtmlScanner::kEndOfInput) {
      stop = true;
    } else if (ch == '&') {
      Next();
      pending += scanner_.Token;
    } else if (ch == '<') {
      Next();
      const Symbol s = Sym();
      switch (s) {
        case PSy:
        case BRSy:
          PreLineBreak(level, pending);
          if (scanner_.Ch == THtmlScanner::kLineEnd) scanner_.NextChar();
          break;
        case PreEndSy:
        case TDEndSy:
        case THEndSy:
          stop = true;
          break;
        case ASy:
          flush();
          ReadAnchor();
          break;
        case AEndSy:
          flush();
          EndLink();
          break;
        case FontSy:
        case BaseFontSy:
          flush();
          if (ApplyFontAttributes(true)) FontChange();
          break;
        case FontEndSy:
          PopFont();
          flush();
          FontChange();
          break;
        case ScriptSy:
          ReadScript();
          break;
        case TextSymbol:
          // Deliberate: a "<" that starts no tag stays text in a listing.
          pending += scanner_.Token;
          break;
        case BSy:
        case BEndSy:
        case StrongSy:
        case StrongEndSy:
        case ISy:
        case IEndSy:
        case EmSy:
        case EmEndSy:
        case CiteSy:
        case CiteEndSy:
        case VarSy:
        case VarEndSy:
        case USy:
        case UEndSy:
        case SSy:
        case SEndSy:
        case StrikeSy:
        case StrikeEndSy:
          flush();
          ReadStyle();
          break;
        default:
          break;  // dropped
      }
    } else {
      pending += static_cast<char>(ch);
      if (pending.size() > 200) flush();
      scanner_.NextChar();
    }
  }
  flush();
  FinishSection();
  scanner_.InPre = false;
  PopFont();
  Next();
}

void Builder::ReadScript() {
  if (!hooks_.Script) {
    do {
      scanner_.NextScriptSymbol();
    } while (Sym() != ScriptEndSy && Sym() != EofSymbol);
    return;
  }
  const TAttribute* language = Find(LanguageSy);
  const std::string lang = language ? language->StrValue : std::string();
  scanner_.InScript = true;
  std::string script;
  script.reserve(32500);
  try {
    for (;;) {
      scanner_.NextScriptSymbol();
      if (Sym() == ScriptEndSy || Sym() == EofSymbol) break;
      script += Sym() == LineEndSymbol ? std::string("\r\n") : scanner_.Token;
    }
  } catch (...) {
    scanner_.InScript = false;
    throw;
  }
  scanner_.InScript = false;
  hooks_.Script(lang, std::move(script));
}

void Builder::ReadPlainText() {
  FinishSection();
  PushFont();
  SetFixedFont();
  section_ = std::make_unique<TPreFormated>(0, 1, &link_, TopFont(), style_);
  scanner_.InPre = true;
  std::string pending;
  while (scanner_.Ch != THtmlScanner::kEndOfInput) {
    if (scanner_.Ch == THtmlScanner::kLineEnd) {
      PreLineBreak(0, pending);
    } else {
      pending += static_cast<char>(scanner_.Ch);
      if (pending.size() > 200) {
        section_->AddText(pending);
        pending.clear();
      }
    }
    scanner_.NextChar();
  }
  section_->AddText(pending);
  FinishSection();
  scanner_.InPre = false;
  PopFont();
  Next();
}

enum class Source { kFile, kMemory };

TParseResult Run(layout::TSectionList& document, TAnchorList& anchors, const TParseHooks& hooks,
                 const std::function<bool(THtmlScanner&)>& open, bool plainText,
                 bool swallowParseError) {
  Builder builder(document, anchors, hooks);
  try {
    if (!open(builder.Scanner())) {
      builder.Finish();
      return builder.Result();
    }
    builder.Scanner().NextChar();
    if (plainText) {
      builder.ReadPlainText();
    } else {
      builder.Scanner().NextSymbol();
      builder.ReadDocument();
    }
  } catch (const EParseError&) {
    builder.Finish();
    if (!swallowParseError) throw;
    return builder.Result();
  } catch (...) {
    builder.Finish();
    throw;
  }
  builder.Finish();
  return builder.Result();
}

}  // namespace

TParseResult ParseHtmlFile(layout::TSectionList& document, TAnchorList& anchors,
                           const std::filesystem::path& file, const TParseHooks& hooks) {
  return Run(
      document, anchors, hooks, [&](THtmlScanner& s) { return s.Source().OpenFile(file); }, false,
      true);
}

TParseResult ParseHtmlBuffer(layout::TSectionList& document, TAnchorList& anchors,
                             std::string_view html, const TParseHooks& hooks) {
  TParseHooks bufferHooks;  // no META or sound hook for a memory block
  bufferHooks.Include = hooks.Include;
  bufferHooks.Script = hooks.Script;
  return Run(
      document, anchors, bufferHooks,
      [&](THtmlScanner& s) {
        s.Source().OpenMemory(html.data(), html.size());
        return true;
      },
      false, false);
}

TParseResult ParseTextFile(layout::TSectionList& document, TAnchorList& anchors,
                           const std::filesystem::path& file) {
  return Run(
      document, anchors, TParseHooks{}, [&](THtmlScanner& s) { return s.Source().OpenFile(file); },
      true, true);
}

}  // namespace parser
