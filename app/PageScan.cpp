#include "app/PageScan.h"

#include <algorithm>
#include <string_view>

#include "parser/Scanner.h"

namespace app {

namespace {

std::string AsciiUpper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return s;
}

// The line of each byte offset: 1 + the line ends before it (CR LF, CR or
// LF each end one line).
class TLineIndex {
 public:
  explicit TLineIndex(std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      if (text[i] == '\r' || text[i] == '\n') ends_.push_back(i);
    }
  }
  int LineOf(size_t offset) const {
    return 1 + static_cast<int>(std::lower_bound(ends_.begin(), ends_.end(), offset) - ends_.begin());
  }

 private:
  std::vector<size_t> ends_;
};

const base::TAttribute* Find(const parser::THtmlScanner& scanner, base::Symbol symbol) {
  return scanner.Attributes.Find(symbol);
}

std::string Text(const parser::THtmlScanner& scanner, base::Symbol symbol) {
  const base::TAttribute* a = Find(scanner, symbol);
  return a ? a->StrValue : std::string();
}

}  // namespace

TPageScan ScanPage(const std::string& bytes) {
  TPageScan scan;
  TLineIndex lines(bytes);
  parser::THtmlScanner scanner;
  scanner.Source().OpenMemory(bytes.data(), bytes.size());
  const auto here = [&] {
    // The scanner has read one character past the tag's ">".
    const size_t read = static_cast<size_t>(scanner.Source().Peek() -
                                            reinterpret_cast<const uint8_t*>(bytes.data()));
    return lines.LineOf(read >= 2 ? read - 2 : 0);
  };
  try {
    scanner.NextChar();
    for (scanner.NextSymbol(); scanner.CurrentSymbol != base::EofSymbol; scanner.NextSymbol()) {
      const base::Symbol s = scanner.CurrentSymbol;
      if (s == base::ScriptSy) {
        do scanner.NextScriptSymbol();
        while (scanner.CurrentSymbol != base::ScriptEndSy && scanner.CurrentSymbol != base::EofSymbol);
        continue;
      }
      if (s == base::TextAreaSy) {
        do scanner.NextTextAreaSymbol();
        while (scanner.CurrentSymbol != base::TextAreaEndSy &&
               scanner.CurrentSymbol != base::EofSymbol);
        continue;
      }
      if (s != base::ASy && s != base::ImageSy && s != base::InputSy && s != base::AreaSy &&
          s != base::MapSy && s != base::BodySy)
        continue;
      TTagUse use;
      use.Line = here();
      use.Tag = s;
      use.Href = Text(scanner, base::HrefSy);
      use.Name = Text(scanner, base::NameSy);
      use.Src = Text(scanner, base::SrcSy);
      use.UseMap = Text(scanner, base::UseMapSy);
      use.Background = Text(scanner, base::BackgroundSy);
      use.Type = base::LowerCut(Text(scanner, base::TypeSy), 20);
      use.NoHref = Find(scanner, base::NoHrefSy) != nullptr;
      if (s == base::MapSy && Find(scanner, base::NameSy)) scan.Maps.insert(AsciiUpper(use.Name));
      scan.Tags.push_back(std::move(use));
    }
  } catch (const parser::EParseError&) {
    // Where the comment that never ends begins.
    const size_t open = bytes.rfind("<!");
    scan.OpenCommentLine = lines.LineOf(open == std::string::npos ? bytes.size() : open);
  }
  return scan;
}

}  // namespace app
