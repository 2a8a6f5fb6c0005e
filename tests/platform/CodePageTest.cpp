#include "platform/CodePage.h"

#include <gtest/gtest.h>

namespace {

using namespace platform;

TEST(CodePage, Windows1251RoundTripsRussianText) {
  const std::string utf8 = "Мастер установки ёЁ №";
  const std::string bytes = Utf8ToBytes(utf8, 1251);
  EXPECT_EQ(bytes, "\xCC\xE0\xF1\xF2\xE5\xF0 \xF3\xF1\xF2\xE0\xED\xEE\xE2\xEA\xE8 \xB8\xA8 \xB9");
  EXPECT_EQ(BytesToUtf8(bytes, 1251), utf8);
}

TEST(CodePage, Windows1252SpecialsAndUnknownCharacters) {
  EXPECT_EQ(ByteToUnicode(0x80, 1252), U'\u20AC');
  EXPECT_EQ(ByteToUnicode(0x81, 1252), U'\u0081');  // undefined maps to C1
  EXPECT_EQ(ByteToUnicode(0xE9, 1252), U'\u00E9');
  EXPECT_EQ(Utf8ToBytes("Ж", 1252), "?");
  EXPECT_EQ(Utf8ToBytes("\xFF", 1251), "?");  // invalid UTF-8
}

TEST(CodePage, CaseMappingWithinTheCodePage) {
  EXPECT_EQ(ByteToUpper(0xE0, 1251), 0xC0);  // а -> А
  EXPECT_EQ(ByteToUpper(0xB8, 1251), 0xA8);  // ё -> Ё
  EXPECT_EQ(ByteToLower(0xDF, 1251), 0xFF);  // Я -> я
  EXPECT_EQ(ByteToUpper(0xE0, 1252), 0xC0);  // à -> À
  EXPECT_EQ(ByteToUpper(0xFF, 1252), 0x9F);  // ÿ -> Ÿ
  EXPECT_EQ(ByteToUpper('q', 1251), 'Q');
  EXPECT_EQ(ByteToUpper(0xB9, 1251), 0xB9);  // № has no case
}

TEST(CodePage, CharsetChoosesCodePage) {
  EXPECT_EQ(CharsetToCodePage(RUSSIAN_CHARSET), 1251);
  EXPECT_EQ(CharsetToCodePage(ANSI_CHARSET), 1252);
  EXPECT_EQ(CharsetToCodePage(DEFAULT_CHARSET), 1252);
}

}  // namespace
