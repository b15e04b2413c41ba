#include <gtest/gtest.h>

#include "platform/encoding/Ascii.h"

namespace {

// The neighbours of every range ('@' '[' '`' '{' '/' ':' 'G' 'g') and codes
// beyond ASCII stay outside; only A-Z and a-z change case.
TEST(Ascii, RangesEndExactlyAtTheirBounds) {
  for (int c = -128; c < 0x400; ++c) {
    const char16_t w = static_cast<char16_t>(c & 0xFFFF);
    const bool upper = c >= 'A' && c <= 'Z', lower = c >= 'a' && c <= 'z', digit = c >= '0' && c <= '9';
    EXPECT_EQ(plat::IsAsciiLetter(c), upper || lower) << c;
    EXPECT_EQ(plat::IsAsciiDigit(c), digit) << c;
    EXPECT_EQ(plat::AsciiToLower(c), upper ? c + 32 : c) << c;
    EXPECT_EQ(plat::AsciiToUpper(c), lower ? c - 32 : c) << c;
    const int hex = digit ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
    EXPECT_EQ(plat::HexDigitValue(c), hex) << c;
    if (c >= 0) {
      EXPECT_EQ(plat::HexDigitValue(w), hex) << c;
    }
  }
  // A negative char (a byte above 127) is no letter or digit.
  EXPECT_FALSE(plat::IsAsciiLetter(static_cast<char>(0xC1)));
  EXPECT_EQ(plat::AsciiToLower(static_cast<char>(0xC1)), static_cast<char>(0xC1));
  EXPECT_EQ(plat::HexDigitValue(static_cast<char>(0xB1)), -1);
}

TEST(Ascii, EqualNoCaseComparesLengthAndFoldedCharacters) {
  EXPECT_TRUE(plat::AsciiEqualNoCase("Font.TTF", "font.ttf"));
  EXPECT_TRUE(plat::AsciiEqualNoCase("", ""));
  EXPECT_FALSE(plat::AsciiEqualNoCase("font", "fonts"));
  EXPECT_FALSE(plat::AsciiEqualNoCase("@", "`"));  // 0x40 and 0x60 differ by the case bit only
  EXPECT_FALSE(plat::AsciiEqualNoCase("[", "{"));
  EXPECT_TRUE(plat::AsciiEqualNoCase(u"ClassName", u"CLASSNAME"));
  EXPECT_FALSE(plat::AsciiEqualNoCase(u"Ä", u"ä"));  // beyond ASCII nothing folds
}

}  // namespace
