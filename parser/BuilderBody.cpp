// The body and inline readers of the document builder.
#include "layout/BlockSections.h"
#include "parser/Builder.h"
#include "platform/MulDiv.h"

namespace parser::builder {

void Builder::ReadBody(int level, const TermSet& terms) {
  const int savedLevel = level_;
  level_ = level;
  while (Sym() != EofSymbol && Sym() != BodyEndSy) {
    if (SkipFlattened()) continue;
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
      ReadWholeList(1, s, terms);
    } else if (s == BlockQuoteSy) {
      FinishSection();
      ReadWholeList(1, s, terms);
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
    } else if (s == TableSy) {
      ReadTable(level);
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
    // Anchors in the dropped text name what follows BODY instead.
    for (const auto& anchor : sectionAnchors_) anchor->second = section_.get();
  }
  Next();
}

void Builder::AddHorzLine() {
  FinishSection();
  AddSection(std::make_unique<layout::THorzLine>(Attributes()));
}

void Builder::ReadInline(int level) {
  const Symbol s = Sym();
  switch (s) {
    case PSy:
    case PEndSy:
      ReadParagraph(level);
      return;
    case BRSy: {
      const base::TJustify alignment = section_ ? section_->EnsureText() : justify_;
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
    case MapSy:
      ReadMap();
      return;
    case ImageSy:
      if (!section_) NewSection();
      section_->AddImage(Attributes(), cell_);
      break;
    case InputSy:
    case SelectSy:
    case TextAreaSy:
      ReadFormControl();
      break;
    case TextAreaEndSy:
      break;
    case FormSy:
    case FormEndSy:
      ReadForm();
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
      style_.Script = Sym() == SubSy ? layout::scSubscript : layout::scSuperscript;
      break;
    case SubEndSy:
    case SupEndSy:
      style_.Script = layout::scNormal;
      break;
    default:
      return;
  }
  FontChange();
}

void Builder::ReadParagraph(int level) {
  FinishSection();
  if (!scanner_.ParagraphSpaceJustEmitted) AddSection(std::make_unique<layout::TParagraphSpace>());
  scanner_.SkipBlanks();
  base::TJustify alignment = GetAlign();
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
    AddSection(std::make_unique<layout::THeadingSpace>(n));
    section_ = NewTextSection(level, GetAlign(), &link_);
  } else {
    if (fonts_.size() <= 1) return;
    FinishSection();
    AddSection(std::make_unique<layout::THeadingSpace>(n));
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
      int64_t number = a->IntValue;  // +2147483647 plus the base size
      if (a->StrValue.size() > 1 && (a->StrValue[0] == '+' || a->StrValue[0] == '-'))
        number += baseHtmlSize_;
      size = static_cast<int>(std::clamp<int64_t>(number, 1, 7));
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
  const TAttribute* target = Find(TargetSy);  // once: a tag may hold any number of HREFs
  for (const auto& a : Attributes()) {
    if (a->Symbol == HrefSy) {
      if (linkOpen_) EndLink();
      if (a->StrValue.empty()) continue;
      link_.Assign(&a->StrValue, target ? &target->StrValue : nullptr);
      linkOpen_ = true;
      PushFont();
      TopFont().SetStyle(TopFont().Style() | platform::fsUnderline);
      TopFont().SetColor(doc_.HotSpotColor);
      if (section_) section_->ChangeFontAndLink(doc_, TopFont(), style_, true, link_);
    } else if (a->Symbol == NameSy && !a->StrValue.empty()) {
      if (!section_) NewSection();
      const auto [anchor, added] = anchors_.emplace(Upper(a->StrValue), section_.get());
      if (added) sectionAnchors_.push_back(anchor);
    }
  }
}

}  // namespace parser::builder
