#include "platform/CodePage.h"

#include <array>

namespace platform {

namespace {

// Upper halves (0x80..0xFF) of the two code pages.
constexpr std::array<char16_t, 128> kCp1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039,
    0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, 0x00A0, 0x00A1, 0x00A2, 0x00A3,
    0x00A4, 0x00A5, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x00B9, 0x00BA, 0x00BB,
    0x00BC, 0x00BD, 0x00BE, 0x00BF, 0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7,
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF, 0x00D0, 0x00D1, 0x00D2, 0x00D3,
    0x00D4, 0x00D5, 0x00D6, 0x00D7, 0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF,
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7, 0x00E8, 0x00E9, 0x00EA, 0x00EB,
    0x00EC, 0x00ED, 0x00EE, 0x00EF, 0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7,
    0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF};

constexpr std::array<char16_t, 64> kCp1251Low = {
    // 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F in order.
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

char32_t SimpleUpper(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 32;
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x17F) {
    // Latin Extended-A pairs: even upper, odd lower, except 0x130..0x138 and
    // 0x149..0x177 where the pairing shifts by one.
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c % 2 == 0) ? c - 1 : c;
    if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
    return (c % 2 == 1) ? c - 1 : c;
  }
  if (c == 0x192) return 0x191;
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 32;
  if (c >= 0x430 && c <= 0x44F) return c - 32;
  if (c >= 0x450 && c <= 0x45F) return c - 80;
  if (c == 0x491) return 0x490;
  return c;
}

char32_t SimpleLower(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  if (c == 0x178) return 0xFF;
  if (c >= 0x100 && c <= 0x17F) {
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c % 2 == 1) ? c + 1 : c;
    if (c == 0x130 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
    return (c % 2 == 0) ? c + 1 : c;
  }
  if (c == 0x191) return 0x192;
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 32;
  if (c >= 0x410 && c <= 0x42F) return c + 32;
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  if (c == 0x490) return 0x491;
  return c;
}

}  // namespace

int CharsetToCodePage(uint8_t charset) {
  return charset == RUSSIAN_CHARSET ? 1251 : 1252;
}

char32_t ByteToUnicode(uint8_t byte, int codePage) {
  if (byte < 0x80) return byte;
  if (codePage == 1251) return byte >= 0xC0 ? 0x410 + (byte - 0xC0) : kCp1251Low[byte - 0x80];
  return kCp1252[byte - 0x80];
}

uint8_t UnicodeToByte(char32_t ch, int codePage) {
  if (ch < 0x80) return static_cast<uint8_t>(ch);
  for (int b = 0x80; b < 0x100; ++b)
    if (ByteToUnicode(static_cast<uint8_t>(b), codePage) == ch) return static_cast<uint8_t>(b);
  return '?';
}

std::string BytesToUtf8(std::string_view bytes, int codePage) {
  std::string out;
  out.reserve(bytes.size());
  for (unsigned char b : bytes) {
    const char32_t c = ByteToUnicode(b, codePage);
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::u32string Utf8ToUtf32(std::string_view utf8) {
  std::u32string out;
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    const int length = lead < 0x80         ? 1
                       : (lead >> 5) == 6  ? 2
                       : (lead >> 4) == 14 ? 3
                       : (lead >> 3) == 30 ? 4
                                           : 0;
    bool valid = length > 0 && i + length <= utf8.size();
    char32_t c = length <= 1 ? lead : lead & (0x7F >> length);
    for (int k = 1; valid && k < length; ++k) {
      const unsigned char next = static_cast<unsigned char>(utf8[i + k]);
      valid = (next & 0xC0) == 0x80;
      c = (c << 6) | (next & 0x3F);
    }
    if (!valid) {
      out.push_back(kInvalidUtf8);
      ++i;
      continue;
    }
    out.push_back(c);
    i += length;
  }
  return out;
}

std::string Utf8ToBytes(std::string_view utf8, int codePage) {
  std::string out;
  for (char32_t c : Utf8ToUtf32(utf8))
    out.push_back(static_cast<char>(c == kInvalidUtf8 ? '?' : UnicodeToByte(c, codePage)));
  return out;
}

uint8_t ByteToUpper(uint8_t byte, int codePage) {
  const char32_t c = ByteToUnicode(byte, codePage);
  const char32_t upper = SimpleUpper(c);
  if (upper == c) return byte;
  const uint8_t b = UnicodeToByte(upper, codePage);
  return b == '?' ? byte : b;
}

uint8_t ByteToLower(uint8_t byte, int codePage) {
  const char32_t c = ByteToUnicode(byte, codePage);
  const char32_t lower = SimpleLower(c);
  if (lower == c) return byte;
  const uint8_t b = UnicodeToByte(lower, codePage);
  return b == '?' ? byte : b;
}

char32_t FoldCase(char32_t ch) {
  return SimpleLower(ch);
}

}  // namespace platform
