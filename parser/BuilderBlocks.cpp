// Lists, centred blocks, preformatted text, scripts and plain text.
#include "layout/BlockSections.h"
#include "parser/Builder.h"

#include <limits>

namespace parser::builder {

bool Builder::SkipFlattened() {
  const Symbol s = Sym();
  const bool list =
      s == OLSy || s == ULSy || s == DirSy || s == MenuSy || s == DLSy || s == BlockQuoteSy;
  const bool centre = s == CenterSy || s == DivSy;
  if (depth_ >= kMaxNestingDepth && (list || centre || s == TableSy)) {
    ++(list ? flattenedLists_ : centre ? flattenedCentres_ : flattenedTables_);
  } else if (kListEnds[s] && flattenedLists_ > 0) {
    --flattenedLists_;
  } else if ((s == CenterEndSy || s == DivEndSy) && flattenedCentres_ > 0) {
    --flattenedCentres_;
  } else if (!FlattenedTableTag()) {
    return false;
  }
  FinishSection();
  Next();
  return true;
}

bool Builder::FlattenedTableTag() {
  if (flattenedTables_ == 0) return false;
  if (Sym() == TableEndSy) {
    --flattenedTables_;
    return true;
  }
  return kTableTags[Sym()];
}

void Builder::ReadList(int level, Symbol list, const TermSet& terms) {
  const NestingScope scope(*this);
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
  for (;;) {
    if (SkipFlattened()) continue;
    const Symbol s = Sym();
    if (kListEnds[s] || s == EofSymbol) break;
    if (kTextLevel[s]) {
      ReadInline(itemLevel);
    } else if (s == HRSy) {
      AddHorzLine();
      Next();
    } else if (s == OLSy || s == ULSy || s == DirSy || s == MenuSy || s == DLSy) {
      ReadWholeList(level + 1, s, terms);
    } else if (s == BlockQuoteSy) {
      FinishSection();
      ReadWholeList(level + 1, s, terms);
    } else if (s == LISy) {
      FinishSection();
      if (list == OLSy) {
        section_ = std::make_unique<layout::TOListItem>(level, &link_, TopFont(), style_, listStyle,
                                                        number);
        if (number < std::numeric_limits<int>::max()) ++number;  // START may be the largest
      } else {
        auto item = std::make_unique<layout::TUListItem>(level, &link_, TopFont(), style_);
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
      section_ = std::make_unique<layout::TDListItem>(itemLevel, &link_, TopFont(), style_);
      Next();
    } else if (s == CenterSy || s == DivSy) {
      ReadBody(itemLevel, inner);
    } else if (s == TableSy) {
      // An item that starts with a table keeps its marker line.
      if (section_) section_->EnsureText();
      ReadTable(itemLevel);
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
  const NestingScope scope(*this);
  FinishSection();
  const base::TJustify saved = justify_;
  if (Sym() == CenterSy) {
    justify_ = base::jtCentre;
  } else if (const TAttribute* align = Find(AlignSy)) {
    const std::string a = LowerCut(align->StrValue, 10);
    if (a == "left")
      justify_ = base::jtLeft;
    else if (a == "center")
      justify_ = base::jtCentre;
    else if (a == "right")
      justify_ = base::jtRight;
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
  section_ = std::make_unique<layout::TPreFormated>(level, base::jtLeft, &link_, TopFont(), style_);
}

void Builder::ReadPre(int level) {
  FinishSection();
  PushFont();
  SetFixedFont();
  section_ = std::make_unique<layout::TPreFormated>(level, base::jtLeft, &link_, TopFont(), style_);
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
        case ImageSy:
          flush();
          section_->AddImage(Attributes(), cell_);
          break;
        case InputSy:
        case SelectSy:
        case TextAreaSy:
          flush();
          ReadFormControl();
          break;
        case FormSy:
        case FormEndSy:
          flush();
          ReadForm();
          break;
        case MapSy:
          // The listing goes on from the character after the map's end
          // tag: reading a symbol there would drop the text that follows.
          ReadMap(false);
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

void Builder::ReadMap(bool readNext) {
  auto map = std::make_unique<layout::TMapItem>();
  if (const TAttribute* name = Find(NameSy)) map->MapName = Upper(name->StrValue);
  Next();
  while (Sym() != MapEndSy && Sym() != EofSymbol) {
    if (Sym() == AreaSy) map->AddArea(Attributes());
    Next();
  }
  // A map cut off by the end of the page is dropped.
  if (Sym() == MapEndSy) doc_.Maps.Add(std::move(map));
  if (readNext) Next();
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
  section_ = std::make_unique<layout::TPreFormated>(0, base::jtLeft, &link_, TopFont(), style_);
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

}  // namespace parser::builder
