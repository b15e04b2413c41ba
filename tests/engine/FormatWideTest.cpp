// The UTF-16 formatter behind the log's error lines and the game's texts:
// what the 8-bit printf would print, with wide %s and %c, cut to its limit.
#include <gtest/gtest.h>

#include <string>

#include "engine/DXLFormatWide.h"

TEST(FormatWide, ConversionsFlagsAndArgumentWidths) {
  EXPECT_EQ(DXLFormatWide(100, u"%+d|% d|%#x|%#o|%lld|%zu|%hu", 5, 6, 255u, 8u, -(1LL << 40), size_t{7}, 65536u + 9u),
            u"+5| 6|0xff|010|-1099511627776|7|9");
  EXPECT_EQ(DXLFormatWide(100, u"[%*d] [%-*s] [%.*s] [%*.*f]", 5, 42, 4, u"ab", 2, u"wxyz", 8, 3, 3.14159),
            u"[   42] [ab  ] [wx] [   3.142]");
  EXPECT_EQ(DXLFormatWide(100, u"[%*d]", -4, 7), u"[7   ]");  // a negative width pads on the right
  EXPECT_EQ(DXLFormatWide(100, u"%e %G %F", 1500.0, 0.0001, 2.5), u"1.500000e+03 0.0001 2.500000");
  // Wide %s and %c; 8-bit UTF-8 %S and %C, cut by the precision between characters.
  EXPECT_EQ(DXLFormatWide(100, u"%s %3c %S %.3S", u"Grüße", u'€', "Kühe", "aöb"), u"Grüße   € Kühe aö");
  EXPECT_EQ(DXLFormatWide(100, u"%s %S", static_cast<const wchar*>(nullptr), static_cast<const char*>(nullptr)),
            u"(null) (null)");
}

TEST(FormatWide, OddFormatsPrintAsTheyStandAndTheLimitCuts) {
  EXPECT_EQ(DXLFormatWide(100, u"%q %5k 100%% done %"), u"%q %5k 100% done %");
  EXPECT_EQ(DXLFormatWide(100, nullptr), u"");
  EXPECT_EQ(DXLFormatWide(6, u"abc%sxyz", u"defgh"), u"abcdef");
  EXPECT_EQ(DXLFormatWide(4, u"%d", 123456), u"1234");
  EXPECT_EQ(DXLFormatWide(0, u"abc"), u"");
  const std::u16string wide(600, u'w');
  EXPECT_EQ(DXLFormatWide(1000, u"%s%s", wide.c_str(), wide.c_str()).size(), 1000u);
}
