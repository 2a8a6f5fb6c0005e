#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Font character sets (the lfCharSet numbers) that documents name.
constexpr uint8_t ANSI_CHARSET = 0;
constexpr uint8_t DEFAULT_CHARSET = 1;
constexpr uint8_t SYMBOL_CHARSET = 2;
constexpr uint8_t RUSSIAN_CHARSET = 204;

// The Windows code page of a character set: 204 is 1251, everything else
// that we do not know is read as 1252.
int CharsetToCodePage(uint8_t charset);

// The Unicode character of a byte in code page 1251 or 1252 (others as 1252).
// Bytes a code page leaves undefined map to the C1 control of the same value.
char32_t ByteToUnicode(uint8_t byte, int codePage);
// The byte of a Unicode character, or '?' when the code page lacks it.
uint8_t UnicodeToByte(char32_t ch, int codePage);

std::string BytesToUtf8(std::string_view bytes, int codePage);
// Decodes UTF-8; each byte that does not start a valid sequence becomes
// kInvalidUtf8.
constexpr char32_t kInvalidUtf8 = 0xFFFD;
std::u32string Utf8ToUtf32(std::string_view utf8);
// Characters the code page lacks become '?'. Invalid UTF-8 bytes become '?'.
std::string Utf8ToBytes(std::string_view utf8, int codePage);

// Case mapping of single bytes within a code page (Latin and Cyrillic letters).
uint8_t ByteToUpper(uint8_t byte, int codePage);
uint8_t ByteToLower(uint8_t byte, int codePage);

// Simple case folding of a Unicode character (Latin-1, Latin Extended-A,
// Greek and Cyrillic letters), enough to compare file names ignoring case.
char32_t FoldCase(char32_t ch);

}  // namespace platform
