#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "parser/HtmlUtils.h"
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
using TIncludeType = std::function<void(const std::string& command,
                                        std::vector<std::string> params, const char*& buffer,
                                        int& bufferSize)>;

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

  void NextChar();
  void SkipBlanks();
  void NextSymbol();
  void NextScriptSymbol();
  void NextTextAreaSymbol();

 private:
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
  bool ReadAttribute(Symbol& symbol, std::string& name, std::string& value, int32_t& number);
  void ReadQuotedValue(std::string& value, int32_t& number);
  void ReadNumberValue(std::string& value, int32_t& number);
  void ReadBareValue(std::string& value);
  void ReadEntity();
  bool ReadText();

  ScannerSource source_;
  uint8_t lookAhead_ = 0;
  int skipping_ = 0;  // depth of comments and declarations being skipped
};

// A signed decimal integer ("+5", "-12"), or nothing; values beyond 32 bits
// are not numbers.
bool ParseDecimal(std::string_view text, int32_t& value);

}  // namespace parser
