// The common tag, read straight from the source buffer: when a tag lies
// wholly in the current buffer and holds no byte that NextChar treats
// specially (line ends, tabs, "<", the end-of-input byte) and no "&", every
// NextChar over it just returns the next byte, so the tag can be read from
// the bytes with the same rules as ReadTag. Anything else falls back to
// ReadTag, which handles every case; nothing is changed before the fast
// reading is known to succeed.
#include "parser/Scanner.h"

namespace parser {

namespace {

constexpr std::array<bool, 256> TagSafeBytes() {
  std::array<bool, 256> table = scanner_tables::SimpleChars();
  table['&'] = false;
  return table;
}
constexpr std::array<bool, 256> kTagSafe = TagSafeBytes();

bool IsLetterByte(uint8_t c) {
  return static_cast<uint8_t>((c | 0x20) - 'a') < 26;
}

// Appends the bytes with a..z made A..Z.
void AppendUpper(std::string& out, const uint8_t* from, const uint8_t* to) {
  const size_t at = out.size();
  out.append(reinterpret_cast<const char*>(from), static_cast<size_t>(to - from));
  for (size_t i = at; i < out.size(); ++i)
    if (out[i] >= 'a' && out[i] <= 'z') out[i] = static_cast<char>(out[i] - 32);
}

}  // namespace

bool THtmlScanner::ReadTagFast() {
  // The byte after "<" was pushed back; it must sit right before the
  // unread bytes so that the tag is one run of memory.
  if (lookAhead_ == 0 || !source_.LastByteIsInBuffer(lookAhead_)) return false;
  const uint8_t* p = source_.Peek() - 1;
  const uint8_t* const end = source_.PeekEnd();
  // Every step first checks that the byte it looks at exists and is safe.
#define SAFE_OR_FAIL \
  if (p >= end || !kTagSafe[*p]) return false

  SAFE_OR_FAIL;
  const bool endTag = *p == '/';
  if (endTag) {
    ++p;
    SAFE_OR_FAIL;
  }
  if (!IsLetterByte(*p)) return false;
  const uint8_t* nameStart = p;
  while (p < end && IsLetterByte(*p)) ++p;
  SAFE_OR_FAIL;
  // Only the first 150 letters count, as in ReadTag.
  const int found = LookupTagLetters(reinterpret_cast<const char*>(nameStart),
                                     std::min<size_t>(p - nameStart, kMaxToken));
  Symbol symbol = UnknownTagSymbol;
  if (found >= 0) {
    const Symbol tag = static_cast<Symbol>(found);
    symbol = !endTag ? tag : tag < kTagsWithEnd ? EndSymbolOf(tag) : UnknownTagSymbol;
  }

  const auto skipBlanks = [&] {
    while (p < end && *p == ' ') ++p;
  };
  skipBlanks();
  SAFE_OR_FAIL;
  int level = 0;
  if ((symbol == HeadingSy || symbol == HeadingEndSy) && *p >= '1' && *p <= '6') {
    level = *p - '0';
    ++p;
  }

  const bool keep = !endTag && found >= 0 && KeepsAttributes(static_cast<Symbol>(found));
  size_t count = 0;
  for (;;) {
    skipBlanks();
    SAFE_OR_FAIL;
    if (!IsLetterByte(*p)) break;
    const uint8_t* attributeStart = p;
    while (p < end && (IsLetterByte(*p) || *p == '-')) ++p;
    SAFE_OR_FAIL;
    if (count == fastAttributes_.size()) fastAttributes_.emplace_back();
    FastAttribute& attribute = fastAttributes_[count++];
    attribute.symbol = LookupAttributeLetters(reinterpret_cast<const char*>(attributeStart),
                                              std::min<size_t>(p - attributeStart, kMaxToken));
    attribute.number = attribute.symbol == BorderSy ? 1 : 0;
    std::string& value = attribute.value;
    value.clear();
    skipBlanks();
    SAFE_OR_FAIL;
    if (*p != '=') continue;
    ++p;
    skipBlanks();
    SAFE_OR_FAIL;
    const uint8_t c = *p;
    if (c == '"' || c == '\'') {
      const uint8_t* first = ++p;
      while (p < end && *p != c && kTagSafe[*p]) ++p;
      SAFE_OR_FAIL;  // the closing quote must be here
      const uint8_t* last = p;
      ++p;  // past the closing quote
      while (last > first && last[-1] <= ' ') --last;
      while (first < last && *first <= ' ') ++first;
      value.assign(reinterpret_cast<const char*>(first), static_cast<size_t>(last - first));
      std::string_view digits = value;
      const size_t percent = digits.find('%');
      if (percent != std::string_view::npos && percent + 1 == digits.size())
        digits.remove_suffix(1);
      int32_t n = 0;
      attribute.number = ParseDecimal(digits, n) ? n : 0;
    } else if (c == '+' || c == '-' || (c >= '0' && c <= '9')) {
      const uint8_t* first = p;
      if (c == '+' || c == '-') ++p;
      while (p < end && *p != ' ' && *p != '%' && *p != '>' && kTagSafe[*p]) ++p;
      SAFE_OR_FAIL;
      AppendUpper(value, first, p);
      skipBlanks();
      SAFE_OR_FAIL;
      int32_t n = 0;
      attribute.number = ParseDecimal(value, n) ? n : 0;
      if (*p == '%') {
        value += '%';
        ++p;
      }
    } else {
      const uint8_t* first = p;
      while (p < end && *p != ' ' && *p != '>' && kTagSafe[*p]) ++p;
      SAFE_OR_FAIL;
      value.assign(reinterpret_cast<const char*>(first), static_cast<size_t>(p - first));
    }
  }
  while (p < end && *p != '>' && kTagSafe[*p]) ++p;
  SAFE_OR_FAIL;
#undef SAFE_OR_FAIL

  // The reading succeeded: commit it, consume through the ">", advance.
  CurrentSymbol = symbol;
  HeadingLevel = level;
  if (keep) {
    Attributes.Clear();
    for (size_t i = 0; i < count; ++i) {
      const FastAttribute& a = fastAttributes_[i];
      Attributes.Add(a.symbol, a.number, a.value);
    }
  }
  lookAhead_ = 0;
  source_.Skip(static_cast<size_t>(p + 1 - source_.Peek()));
  NextChar();
  return true;
}

}  // namespace parser
