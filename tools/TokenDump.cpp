#include "tools/TokenDump.h"

namespace tools {

void WriteEscaped(std::ostream& out, std::string_view bytes) {
  static const char kHex[] = "0123456789abcdef";
  for (unsigned char c : bytes) {
    if (c == '"' || c == '\\') {
      out << '\\' << c;
    } else if (c >= 0x20 && c <= 0x7E) {
      out << c;
    } else {
      out << "\\x" << kHex[c >> 4] << kHex[c & 15];
    }
  }
}

namespace {

void WriteSymbol(const parser::THtmlScanner& scanner, std::ostream& out) {
  using namespace parser;
  const Symbol s = scanner.CurrentSymbol;
  if (IsStartTag(s) || IsEndTag(s)) {
    out << (IsStartTag(s) ? "START " : "END ") << TagName(s);
    if (s == HeadingSy || s == HeadingEndSy) out << " level=" << scanner.HeadingLevel;
    if (IsStartTag(s) && KeepsAttributes(s)) {
      for (const auto& attribute : scanner.Attributes) {
        const std::string_view name = AttributeName(attribute->Symbol);
        out << ' ' << (name.empty() ? std::string_view("?") : name) << '=' << attribute->IntValue
            << ":\"";
        WriteEscaped(out, attribute->StrValue);
        out << '"';
      }
    }
  } else if (s == TextSymbol || s == OtherCharSymbol) {
    out << (s == TextSymbol ? "TEXT \"" : "OTHER \"");
    WriteEscaped(out, scanner.Token);
    out << '"';
  } else if (s == UnknownTagSymbol) {
    out << "UNKNOWN-TAG";
  } else if (s == EofSymbol) {
    out << "EOF";
  }
  out << '\n';
}

}  // namespace

bool DumpTokens(parser::THtmlScanner& scanner, std::ostream& out) {
  try {
    scanner.NextChar();
    do {
      scanner.NextSymbol();
      WriteSymbol(scanner, out);
    } while (scanner.CurrentSymbol != parser::EofSymbol);
    return true;
  } catch (const parser::EParseError& error) {
    out << "ERROR \"";
    WriteEscaped(out, error.what());
    out << "\"\n";
    return false;
  }
}

}  // namespace tools
