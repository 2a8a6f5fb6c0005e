#include "parser/Scanner.h"

#include <limits>

namespace parser {

namespace {

constexpr uint8_t kLF = 10;
constexpr uint8_t kCR = 13;
constexpr uint8_t kTab = 9;

bool IsControl(uint8_t c) {
  return c <= 31 && c != kCR;
}
bool IsLetterByte(uint8_t c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

}  // namespace

bool ParseDecimal(std::string_view text, int32_t& value) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return false;
  int64_t n = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    n = n * 10 + (text[i] - '0');
    if (n > int64_t{std::numeric_limits<int32_t>::max()} + 1) return false;
  }
  if (negative) n = -n;
  if (n > std::numeric_limits<int32_t>::max()) return false;
  value = static_cast<int32_t>(n);
  return true;
}

// ---- characters ------------------------------------------------------------

void THtmlScanner::NextBasicChar() {
  uint8_t c;
  if (lookAhead_) {
    c = lookAhead_;
    lookAhead_ = 0;
  } else {
    c = source_.ReadByte();
  }
  if (c == kLF || c == kCR) {
    // CR, LF, CR LF and LF CR are each one line end.
    const uint8_t next = source_.ReadByte();
    if (next != (c == kLF ? kCR : kLF)) lookAhead_ = next;
    c = kCR;
  } else if (c == kTab) {
    c = ' ';
  }
  SetCh(c);
  if (c == kEndOfInput && skipping_ > 0) throw EParseError(kOpenCommentMessage);
}

void THtmlScanner::NextCharSlow() {
  for (;;) {
    NextBasicChar();
    if (Ch != '<' || InScript) return;
    // After a "<" the next byte is read raw: only "<!" starts a construct.
    const uint8_t raw = source_.ReadByte();
    if (raw != '!') {
      lookAhead_ = raw;
      return;
    }
    SkipConstruct();
  }
}

void THtmlScanner::SkipConstruct() {
  // Entered after "<!": a comment ("<!--"), an include directive
  // ("<!--#"), or a declaration that runs to the next ">".
  ++skipping_;
  struct Leave {
    int& depth;
    ~Leave() { --depth; }
  } leave{skipping_};
  NextBasicChar();
  if (Ch == '-') {
    NextBasicChar();
    if (Ch == '-') {
      NextBasicChar();
      if (Ch == '#' && IncludeHook && !source_.InInclude()) {
        ReadIncludeDirective();
        return;
      }
      SkipCommentRest();
      return;
    }
  }
  while (Ch != '>') NextBasicChar();
}

void THtmlScanner::SkipCommentRest() {
  // From the current character: the comment ends at the first "--" that
  // is followed, after more dashes, blanks and line ends, by ">".
  for (;;) {
    if (Ch != '-') {
      NextBasicChar();
      continue;
    }
    NextBasicChar();
    if (Ch != '-') continue;
    do {
      NextBasicChar();
    } while (Ch == '-' || Ch == ' ' || Ch == kCR);
    if (Ch == '>') return;
  }
}

void THtmlScanner::ReadIncludeDirective() {
  NextBasicChar();  // past "#"
  std::string command;
  while (IsLetter()) {
    command += static_cast<char>(Ch);
    NextBasicChar();
  }
  std::vector<std::string> params;
  Symbol symbol;
  std::string name, value;
  int32_t number;
  while (ReadAttribute(symbol, name, value, number)) params.push_back(name + "=\"" + value + "\"");
  SkipCommentRest();

  const char* buffer = nullptr;
  int bufferSize = 0;
  IncludeHook(command, std::move(params), buffer, bufferSize);
  if (bufferSize > 0 && buffer) source_.PushInclude(buffer, static_cast<size_t>(bufferSize));
}

// ---- symbols ---------------------------------------------------------------

void THtmlScanner::NextSymbol() {
  Token.clear();
  if (Ch == kEndOfInput) {
    CurrentSymbol = EofSymbol;
  } else if (UpCh == '<') {
    ReadTag();
  } else if (UpCh == '&') {
    ReadEntity();
  } else if (!ReadText()) {
    CurrentSymbol = OtherCharSymbol;
    Token.assign(1, static_cast<char>(Ch));
    NextChar();
  }
  if (ParagraphSpaceJustEmitted) {
    switch (CurrentSymbol) {
      case BRSy:
      case HeadingSy:
      case HRSy:
      case ImageSy:
      case TableSy:
      case InputSy:
      case TextAreaSy:
      case SelectSy:
      case TextSymbol:
        ParagraphSpaceJustEmitted = false;
        break;
      default:
        break;
    }
  }
}

void THtmlScanner::ReadTag() {
  if (UseFastPaths && ReadTagFast()) return;
  NextChar();
  bool endTag = false;
  if (Ch == '/') {
    endTag = true;
    NextChar();
  } else if (!IsLetter()) {
    CurrentSymbol = TextSymbol;
    Token = "<";
    return;
  }
  std::string& name = tagName_;
  name.clear();
  while (IsLetter()) {
    if (name.size() < kMaxToken) {
      name += static_cast<char>(UpCh);
      TakeRun(name, IsLetterByte, true, kMaxToken - name.size());
    }
    NextChar();
  }
  const std::optional<Symbol> tag = LookupTag(name);
  if (!tag)
    CurrentSymbol = UnknownTagSymbol;
  else if (!endTag)
    CurrentSymbol = *tag;
  else
    CurrentSymbol = *tag < kTagsWithEnd ? EndSymbolOf(*tag) : UnknownTagSymbol;

  SkipBlanks();
  HeadingLevel = 0;
  if ((CurrentSymbol == HeadingSy || CurrentSymbol == HeadingEndSy) && Ch >= '1' && Ch <= '6') {
    HeadingLevel = Ch - '0';
    NextChar();
  }

  const bool keep = !endTag && tag && KeepsAttributes(*tag);
  if (keep) Attributes.Clear();
  Symbol symbol;
  int32_t number;
  while (ReadAttribute(symbol, attributeName_, attributeValue_, number))
    if (keep) Attributes.Add(symbol, number, attributeValue_);

  while (Ch != '>' && Ch != kEndOfInput) NextChar();
  if (Ch == '>') NextChar();
}

bool THtmlScanner::ReadAttribute(Symbol& symbol, std::string& name, std::string& value,
                                 int32_t& number) {
  symbol = UnknownAttributeSymbol;
  SkipBlanks();
  if (!IsLetter()) return false;
  name.clear();
  while (IsLetter() || Ch == '-') {
    if (name.size() < kMaxToken) {
      name += static_cast<char>(UpCh);
      TakeRun(
          name, [](uint8_t c) { return IsLetterByte(c) || c == '-'; }, true,
          kMaxToken - name.size());
    }
    NextChar();
  }
  symbol = LookupAttribute(name);
  SkipBlanks();
  value.clear();
  number = symbol == BorderSy ? 1 : 0;  // a bare BORDER is a border of 1
  if (Ch == '=') {
    NextChar();
    SkipBlanks();
    if (Ch == '"' || Ch == '\'')
      ReadQuotedValue(value, number);
    else if (Ch == '+' || Ch == '-' || IsDigit())
      ReadNumberValue(value, number);
    else
      ReadBareValue(value);
  }
  return true;
}

void THtmlScanner::ReadQuotedValue(std::string& value, int32_t& number) {
  const uint8_t quote = Ch;
  const Symbol savedSymbol = CurrentSymbol;
  NextChar();
  std::string& text = quotedText_;
  text.clear();
  while (Ch != quote && Ch != kEndOfInput) {
    if (Ch == kCR) {
      NextChar();  // line ends inside quotes are dropped
    } else if (Ch == '&') {
      ReadEntity();
      text += Token;
    } else {
      text += static_cast<char>(Ch);
      TakeRun(text, [quote](uint8_t c) { return c != quote && c != '&'; });
      NextChar();
    }
  }
  if (Ch == quote) NextChar();
  size_t first = 0, last = text.size();
  while (last > first && static_cast<uint8_t>(text[last - 1]) <= ' ') --last;
  while (first < last && static_cast<uint8_t>(text[first]) <= ' ') ++first;
  value.assign(text, first, last - first);  // TrimBlanks, without a new string
  std::string_view digits = value;
  const size_t percent = digits.find('%');
  if (percent != std::string_view::npos && percent + 1 == digits.size()) digits.remove_suffix(1);
  int32_t n = 0;
  number = ParseDecimal(digits, n) ? n : 0;
  CurrentSymbol = savedSymbol;
}

void THtmlScanner::ReadNumberValue(std::string& value, int32_t& number) {
  if (Ch == '+' || Ch == '-') {
    value += static_cast<char>(Ch);
    NextChar();
  }
  while (Ch != ' ' && Ch != kCR && Ch != kEndOfInput && Ch != '%' && Ch != '>') {
    value += static_cast<char>(UpCh);
    TakeRun(
        value, [](uint8_t c) { return c != ' ' && c != '%' && c != '>'; }, true);
    NextChar();
  }
  SkipBlanks();
  int32_t n = 0;
  number = ParseDecimal(value, n) ? n : 0;
  if (Ch == '%') {
    value += '%';
    NextChar();
  }
}

void THtmlScanner::ReadBareValue(std::string& value) {
  while (Ch != ' ' && Ch != kCR && Ch != kEndOfInput && Ch != '>') {
    value += static_cast<char>(Ch);
    TakeRun(value, [](uint8_t c) { return c != ' ' && c != '>'; });
    NextChar();
  }
}

void THtmlScanner::ReadEntity() {
  CurrentSymbol = TextSymbol;
  NextChar();
  if (Ch == '#') {
    NextChar();
    std::string digits;
    while (IsDigit()) {
      digits += static_cast<char>(Ch);
      NextChar();
      if (digits.size() == 6) {  // the reference ends at once
        Token = "&#" + digits;
        return;
      }
    }
    bool semicolon = false;
    if (Ch == ';') {
      semicolon = true;
      NextChar();
    }
    int32_t n = 0;
    if (!digits.empty() && ParseDecimal(digits, n) &&
        (n == 9 || n == 10 || (n >= 32 && n <= 255))) {
      Token.assign(1, n == 9 ? ' ' : static_cast<char>(n));
      return;
    }
    Token = "&#" + digits + (semicolon ? ";" : "");
    return;
  }
  std::string name;
  while (IsLetter() || IsDigit()) {
    name += static_cast<char>(Ch);
    NextChar();
    if (name.size() == 7) {  // the reference ends at once, without a lookup
      Token = "&" + name;
      return;
    }
  }
  bool semicolon = false;
  if (Ch == ';') {
    semicolon = true;
    NextChar();
  }
  if (const std::optional<uint8_t> byte = LookupEntity(name)) {
    Token.assign(1, static_cast<char>(*byte));
    return;
  }
  Token = "&" + name + (semicolon ? ";" : "");
}

bool THtmlScanner::ReadText() {
  while (Token.size() < kMaxTextRun) {
    if (IsControl(Ch) || Ch == '&' || Ch == '<' || Ch == '>') break;
    if (!InPre && (Ch == ' ' || Ch == kCR)) {
      Token += ' ';
      SkipBlanks();
      continue;
    }
    Token += static_cast<char>(Ch);
    TakePlainRun();
    NextChar();
  }
  if (Token.empty()) return false;
  CurrentSymbol = TextSymbol;
  return true;
}

void THtmlScanner::TakePlainRun() {
  // The bytes after Ch that NextChar would deliver unchanged and that text
  // takes as they are go into the token in one piece; outside preformatted
  // text a single blank between them does too.
  if (lookAhead_ != 0) return;
  const uint8_t* begin = source_.Peek();
  const uint8_t* end = source_.PeekEnd();
  const uint8_t* p = begin;
  size_t room = kMaxTextRun - Token.size();
  while (p < end && room > 0) {
    if (scanner_tables::kPlainText[*p]) {
      ++p;
      --room;
    } else if (*p == ' ' && !InPre && p + 1 < end && scanner_tables::kPlainText[p[1]] && room > 1) {
      p += 2;
      room -= 2;
    } else {
      break;
    }
  }
  Token.append(reinterpret_cast<const char*>(begin), static_cast<size_t>(p - begin));
  source_.Skip(static_cast<size_t>(p - begin));
}

// ---- raw content readers ---------------------------------------------------

bool THtmlScanner::ReadRawEnd() {
  // Both raw readers give the end of input and line ends the same way.
  Token.clear();
  if (Ch == kEndOfInput) {
    CurrentSymbol = EofSymbol;
    return true;
  }
  if (Ch == kCR) {
    CurrentSymbol = LineEndSymbol;
    NextChar();
    return true;
  }
  return false;
}

void THtmlScanner::NextScriptSymbol() {
  if (ReadRawEnd()) return;
  if (Ch == '<') {
    Token = "<";
    NextChar();
    for (int i = 0; i < 7 && (Ch == '/' || IsLetter()); ++i) {
      Token += static_cast<char>(Ch);
      NextChar();
    }
    if (Ch == '>') {
      Token += '>';
      NextChar();
    }
    std::string lower = Token;
    for (char& c : lower)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    CurrentSymbol = lower == "</script>" ? ScriptEndSy : UnknownTagSymbol;
    return;
  }
  CurrentSymbol = TextSymbol;
  while (Token.size() < kMaxTextRun && Ch != kCR && Ch != kEndOfInput && Ch != '<') {
    Token += static_cast<char>(Ch);
    NextChar();
  }
}

void THtmlScanner::NextTextAreaSymbol() {
  if (ReadRawEnd()) return;
  if (Ch == '<') {
    Token = "<";
    NextChar();
    while (Ch != ' ' && Ch != kCR && Ch != '>' && Ch != kEndOfInput) {
      if (Token.size() < kMaxToken) Token += static_cast<char>(Ch);
      NextChar();
    }
    std::string lower = Token;
    for (char& c : lower)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    CurrentSymbol = lower == "</textarea" ? TextAreaEndSy : UnknownTagSymbol;
    return;
  }
  if (Ch == '&') {
    ReadEntity();
    return;
  }
  CurrentSymbol = TextSymbol;
  while (Token.size() < kMaxTextRun && Ch != kCR && Ch != kEndOfInput && Ch != '&' && Ch != '<') {
    Token += static_cast<char>(Ch);
    NextChar();
  }
}

}  // namespace parser
