#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "base/ParseColor.h"
#include "base/Symbol.h"

namespace parser {

// The scanner and the builder speak the shared symbol vocabulary unqualified.
using namespace base;

// Name lookups; a..z count as A..Z, nothing else is folded.
std::optional<Symbol> LookupTag(std::string_view name);
Symbol LookupAttribute(std::string_view name);  // UnknownAttributeSymbol on a miss
// The same on raw letters: the tag symbol or -1.
int LookupTagLetters(const char* name, size_t length);
Symbol LookupAttributeLetters(const char* name, size_t length);
// The byte of a character entity name (case-sensitive), if it is one.
std::optional<uint8_t> LookupEntity(std::string_view name);

// Whether the attributes of a start tag are kept (end tags keep none).
bool KeepsAttributes(Symbol startTag);

// Names as the tables spell them: the tag name of a start or end symbol,
// the attribute name of an attribute symbol (SELECTED and WRAP for the
// shared ones), empty for special symbols.
std::string_view TagName(Symbol s);
std::string_view AttributeName(Symbol s);

}  // namespace parser
