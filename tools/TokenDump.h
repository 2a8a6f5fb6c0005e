#pragma once

#include <ostream>
#include <string_view>

#include "parser/Scanner.h"

namespace tools {

// Bytes 0x20..0x7E as they are, except '"' and '\', written \" and \\;
// every other byte as \xHH (two lower-case hexadecimal digits).
void WriteEscaped(std::ostream& out, std::string_view bytes);

// Scans the whole source as the document builder does (primed with one
// NextChar, no hooks) and writes one line per symbol, up to and including
// the end. Returns false when the scanner raised EParseError; the last line
// is then ERROR "message".
bool DumpTokens(parser::THtmlScanner& scanner, std::ostream& out);

}  // namespace tools
