#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/HtmlUtils.h"
#include "parser/ScannerSource.h"
#include "parser/Symbols.h"

namespace parser {

// The only error the scanner raises: input that ends inside a comment or a
// declaration.
class EParseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

constexpr const char* kOpenCommentMessage = "Open Comment at End of HTML File";

// The include hook: given the directive's command and its NAME="value"
// parameters, it may hand back bytes to read in place of the directive
// (`buffer`, `bufferSize` > 0); they must stay valid until the parse ends.
using TIncludeType = std::function<void(const std::string& command, std::vector<std::string> params,
                                        const char*& buffer, int& bufferSize)>;

namespace scanner_tables {

// Bytes that NextChar delivers as they are: everything but line ends, tabs,
// "<" (a possible comment) and the end-of-input byte.
constexpr std::array<bool, 256> SimpleChars() {
  std::array<bool, 256> table{};
  for (int c = 0; c < 256; ++c) table[c] = c != 10 && c != 13 && c != 9 && c != '<' && c != 26;
  return table;
}

// Bytes that extend a text run as they are: not blanks or control
// characters, "&", "<" or ">". All of them are simple characters.
constexpr std::array<bool, 256> PlainTextChars() {
  std::array<bool, 256> table{};
  for (int c = 0; c < 256; ++c) table[c] = c > ' ' && c != '&' && c != '<' && c != '>';
  return table;
}

inline constexpr std::array<bool, 256> kSimpleChar = SimpleChars();
inline constexpr std::array<bool, 256> kPlainText = PlainTextChars();

}  // namespace scanner_tables

// Turns the bytes of a document into symbols: tags with their attributes,
// runs of text, entities, the end of input. One scanner per parse; the
// builder primes it with one NextChar and one NextSymbol.
class THtmlScanner {
 public:
  static constexpr uint8_t kEndOfInput = ScannerSource::kEndOfInput;
  static constexpr uint8_t kLineEnd = 13;  // every line end reads as CR
  static constexpr size_t kMaxToken = 150;
  static constexpr size_t kMaxTextRun = 100;

  THtmlScanner() = default;

  ScannerSource& Source() { return source_; }

  // Current character after line-end and tab normalisation, and the same
  // with a..z folded to upper case.
  uint8_t Ch = 0;
  uint8_t UpCh = 0;
  Symbol CurrentSymbol = EofSymbol;
  std::string Token;
  int HeadingLevel = 0;
  TAttributeList Attributes;
  bool InPre = false;
  bool InScript = false;
  // Set by the builder when it has just emitted a paragraph space; the
  // symbols that start new content clear it.
  bool ParagraphSpaceJustEmitted = false;
  TIncludeType IncludeHook;
  // Whether tags that lie wholly in the read buffer are read straight from
  // it (the same result, faster); off only to compare the two readings.
  bool UseFastPaths = true;

  // Advances to the next character, skipping comments and declarations and
  // serving include directives. Inline for the common byte that needs none
  // of that.
  void NextChar() {
    if (lookAhead_ == 0) {
      const uint8_t* p = source_.Peek();
      if (p < source_.PeekEnd() && scanner_tables::kSimpleChar[*p]) {
        source_.Skip(1);
        SetCh(*p);
        return;
      }
    }
    NextCharSlow();
  }
  void SkipBlanks() {
    while (Ch == ' ' || Ch == kLineEnd) NextChar();
  }
  void NextSymbol();
  void NextScriptSymbol();
  void NextTextAreaSymbol();

 private:
  void NextCharSlow();
  // Appends to `out` the bytes after Ch that NextChar would deliver as they
  // are and that `take` accepts (upper-cased when asked), and consumes them.
  // Ch itself is left alone; the caller appends it first and advances after.
  template <typename Take>
  void TakeRun(std::string& out, Take take, bool upper = false, size_t limit = SIZE_MAX) {
    if (lookAhead_ != 0) return;
    const uint8_t* begin = source_.Peek();
    const uint8_t* end = source_.PeekEnd();
    if (static_cast<size_t>(end - begin) > limit) end = begin + limit;
    const uint8_t* p = begin;
    while (p < end && scanner_tables::kSimpleChar[*p] && take(*p)) ++p;
    const size_t n = static_cast<size_t>(p - begin);
    const size_t at = out.size();
    out.append(reinterpret_cast<const char*>(begin), n);
    if (upper)
      for (size_t i = at; i < out.size(); ++i)
        if (out[i] >= 'a' && out[i] <= 'z') out[i] = static_cast<char>(out[i] - 32);
    source_.Skip(n);
  }
  void NextBasicChar();
  void SetCh(uint8_t c) {
    Ch = c;
    UpCh = (c >= 'a' && c <= 'z') ? static_cast<uint8_t>(c - 32) : c;
  }
  bool IsLetter() const { return UpCh >= 'A' && UpCh <= 'Z'; }
  bool IsDigit() const { return Ch >= '0' && Ch <= '9'; }

  void SkipConstruct();
  void SkipCommentRest();
  void ReadIncludeDirective();
  void ReadTag();
  bool ReadTagFast();
  bool ReadAttribute(Symbol& symbol, std::string& name, std::string& value, int32_t& number);
  void ReadQuotedValue(std::string& value, int32_t& number);
  void ReadNumberValue(std::string& value, int32_t& number);
  void ReadBareValue(std::string& value);
  void ReadEntity();
  bool ReadText();
  bool ReadRawEnd();
  void TakePlainRun();

  ScannerSource source_;
  uint8_t lookAhead_ = 0;
  // Buffers reused from tag to tag.
  std::string tagName_, attributeName_, attributeValue_, quotedText_;
  struct FastAttribute {
    Symbol symbol = UnknownAttributeSymbol;
    int32_t number = 0;
    std::string value;
  };
  std::vector<FastAttribute> fastAttributes_;
  int skipping_ = 0;  // depth of comments and declarations being skipped
};

// A signed decimal integer ("+5", "-12"), or nothing; values beyond 32 bits
// are not numbers.
bool ParseDecimal(std::string_view text, int32_t& value);

}  // namespace parser
