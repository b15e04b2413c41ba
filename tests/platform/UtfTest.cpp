#include <gtest/gtest.h>

#include "platform/encoding/Utf.h"

namespace {

TEST(Utf, RoundTripsAllPlanes) {
  const std::u16string text = u"a\u00e9\u0416\u20ac\U0001F600z";
  const std::string utf8 = plat::Utf16ToUtf8(text);
  EXPECT_EQ(utf8, "a\xC3\xA9\xD0\x96\xE2\x82\xAC\xF0\x9F\x98\x80z");
  EXPECT_EQ(plat::Utf8ToUtf16(utf8), text);
}

TEST(Utf, BadInputBecomesReplacementCharacters) {
  EXPECT_EQ(plat::Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");             // overlong
  EXPECT_EQ(plat::Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD");               // surrogate
  EXPECT_EQ(plat::Utf8ToUtf16("\xE2\x82"), u"\uFFFD");                   // cut short
  EXPECT_EQ(plat::Utf8ToUtf16("\xE2x"), u"\uFFFDx");                     // bad continuation
  EXPECT_EQ(plat::Utf8ToUtf16("\xF4\x90\x80\x80"), u"\uFFFD");           // above U+10FFFF
  EXPECT_EQ(plat::Utf16ToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
}

}  // namespace
