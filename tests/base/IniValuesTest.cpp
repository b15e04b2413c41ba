// The value-list scanner: token table, rows and skips, conversions that
// leave variables alone, and destinations that are refused before any store.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ValueList.h"

namespace {

TEST(IniValues, PairsWithBlanksAroundSeparators) {
  i32 w = -1, h = -1;
  EXPECT_EQ(kis::ScanValuesA("800, 600", "i4,i4", ',', 0, 1, &w, &h), 2);
  EXPECT_EQ(w, 800);
  EXPECT_EQ(h, 600);
  w = h = -1;
  EXPECT_EQ(kis::ScanValuesA("  800 , 600\t", "i4, i4", ',', 0, 1, &w, &h), 2);
  EXPECT_EQ(w, 800);
  EXPECT_EQ(h, 600);
  w = h = -1;
  EXPECT_EQ(kis::ScanValuesA("800", "i4,i4", ',', 0, -1, &w, &h), 1);
  EXPECT_EQ(w, 800);
  EXPECT_EQ(h, -1);
  EXPECT_EQ(kis::ScanValuesA(",600", "i4,i4", ',', 0, -1, &w, &h), 1);  // an empty value keeps its variable
  EXPECT_EQ(w, 800);
  EXPECT_EQ(h, 600);
  EXPECT_EQ(kis::ScanValuesA("", "i4,i4", ',', 0, -1, &w, &h), 0);
  EXPECT_EQ(kis::ScanValuesA(nullptr, "i4", ',', 0, -1, &w), 0);
  EXPECT_EQ(kis::ScanValuesA("1", "", ',', 0, -1, &w), 0);
}

TEST(IniValues, RowsAndSkips) {
  i32 n[3] = {0, 0, 0};
  char s[3][8] = {"-", "-", "-"};
  auto reset = [&] {
    for (int i = 0; i < 3; ++i) {
      n[i] = 0;
      s[i][0] = '-';
      s[i][1] = 0;
    }
  };
  const char* text = "1,a,2,b,3,c";
  EXPECT_EQ(kis::ScanValuesA(text, "i4,s", ',', 0, 1, &n[0], s[0], &n[1], s[1], &n[2], s[2]), 2);
  EXPECT_EQ(n[0], 1);
  EXPECT_STREQ(s[0], "a");
  EXPECT_EQ(n[1], 0);
  reset();
  EXPECT_EQ(kis::ScanValuesA(text, "i4,s", ',', 0, 2, &n[0], s[0], &n[1], s[1], &n[2], s[2]), 4);
  EXPECT_STREQ(s[1], "b");
  EXPECT_EQ(n[2], 0);
  reset();
  EXPECT_EQ(kis::ScanValuesA(text, "i4,s", ',', 0, -1, &n[0], s[0], &n[1], s[1], &n[2], s[2]), 6);
  EXPECT_EQ(n[2], 3);
  EXPECT_STREQ(s[2], "c");
  reset();
  EXPECT_EQ(kis::ScanValuesA(text, "i4,s", ',', 0, 0, &n[0], s[0]), 0);
  // The variables running out ends the scan.
  EXPECT_EQ(kis::ScanValuesA(text, "i4,s", ',', 0, -1, &n[0], s[0], &n[1]), 3);
  EXPECT_EQ(n[1], 2);

  // The first `skip` values of each row are passed over.
  i32 a = 0, b = 0, c = 0, d = 0;
  EXPECT_EQ(kis::ScanValuesA("9,1,2,9,3,4", "i4,i4", ',', 1, -1, &a, &b, &c, &d), 4);
  EXPECT_EQ(a + b * 10 + c * 100 + d * 1000, 4321);
}

TEST(IniValues, TokenTable) {
  u32 wide = 0xFFFFFFFF;
  EXPECT_EQ(kis::ScanValuesA("5", "b4", ',', 0, 1, &wide), 1);
  EXPECT_EQ(wide, 5u);  // all 32 bits, not just the low byte
  EXPECT_EQ(kis::ScanValuesA("-7", "B4", ',', 0, 1, &wide), 1);
  EXPECT_EQ(wide, 0xFFFFFFF9u);

  u8 byte = 0;
  i8 ch = 0;
  u16 count = 0, hex = 0;
  i32 skipped = 77, last = 0;
  EXPECT_EQ(kis::ScanValuesA("200, -5, 300, 1f, 9, 8", "b, C, ui2, X2, p, zz, i4", ',', 0, 1, &byte, &ch, &count,
                             &hex, &skipped, &last),
            5);
  EXPECT_EQ(byte, 200);
  EXPECT_EQ(ch, -5);
  EXPECT_EQ(count, 300);
  EXPECT_EQ(hex, 0x1F);
  EXPECT_EQ(skipped, 77);  // "p" passes a variable by without reading a value
  EXPECT_EQ(last, 8);      // "9" went to the unknown token "zz" and no variable

  // Short tokens take the first entry that agrees: "i" is "i1", "u" is "ui1".
  i8 small = 0;
  u8 unsignedSmall = 0;
  EXPECT_EQ(kis::ScanValuesA("-3,250", "i,u", ',', 0, 1, &small, &unsignedSmall), 2);
  EXPECT_EQ(small, -3);
  EXPECT_EQ(unsignedSmall, 250);

  // A format of nothing but "p" reads no value and still ends.
  EXPECT_EQ(kis::ScanValuesA("1,2", "p", ',', 0, -1, &last, &last), 0);
}

TEST(IniValues, ValuesThatDoNotConvertLeaveTheVariable) {
  struct Case {
    const char* format;
    const char* text;
    bool stored;
  };
  const Case cases[] = {
      {"i1", "127", true},        {"i1", "128", false},       {"i1", "-128", true},      {"ui1", "-1", false},
      {"ui1", "256", false},      {"i2", "-32769", false},    {"ui2", "65535", true},    {"i4", "2147483647", true},
      {"i4", "2147483648", false}, {"i4", "-2147483648", true}, {"ui4", "4294967295", true}, {"ui4", "4294967296", false},
      {"i4", "99999999999999999999", false}, {"i4", "12ab", false}, {"i4", "-", false}, {"i4", "+5", false},
      {"x1", "0x00FF", true},     {"x1", "0x1FF", false},     {"x4", "$FFFFFFFF", true}, {"x4", "#100000000", false},
      {"x4", "0x", false},        {"x2", "g", false},
  };
  // Scans into a variable of the token's width filled with A5 bytes; tells
  // whether the call stored and whether the variable is unchanged.
  auto scan = [](const Case& c, bool& unchanged) {
    const char width = c.format[c.format[0] == 'u' ? 2 : 1];
    u8 b = 0xA5;
    u16 w = 0xA5A5;
    u32 v = 0xA5A5A5A5;
    const i32 got = width == '1'   ? kis::ScanValuesA(c.text, c.format, ',', 0, 1, &b)
                    : width == '2' ? kis::ScanValuesA(c.text, c.format, ',', 0, 1, &w)
                                   : kis::ScanValuesA(c.text, c.format, ',', 0, 1, &v);
    unchanged = b == 0xA5 && w == 0xA5A5 && v == 0xA5A5A5A5;
    return got;
  };
  for (const Case& c : cases) {
    bool unchanged = false;
    EXPECT_EQ(scan(c, unchanged), c.stored ? 1 : 0) << c.format << " " << c.text;
    EXPECT_EQ(unchanged, !c.stored) << c.format << " " << c.text;
  }

  float f = -1;
  EXPECT_EQ(kis::ScanValuesA("1.5e+2", "f", ',', 0, 1, &f), 1);
  EXPECT_FLOAT_EQ(f, 150.0f);
  EXPECT_EQ(kis::ScanValuesA("1.5e2", "f", ',', 0, 1, &f), 0);
  EXPECT_EQ(kis::ScanValuesA("0.1234567", "f", ',', 0, 1, &f), 1);
  EXPECT_FLOAT_EQ(f, 0.123456f);
  EXPECT_EQ(kis::ScanValuesA(".", "f", ',', 0, 1, &f), 0);
  EXPECT_EQ(kis::ScanValuesA("-2.5e-1", "f", ',', 0, 1, &f), 1);
  EXPECT_FLOAT_EQ(f, -0.25f);
  EXPECT_EQ(kis::ScanValuesA("1e+101", "f", ',', 0, 1, &f), 0);
  EXPECT_EQ(kis::ScanValuesA("1e+39", "f", ',', 0, 1, &f), 0);
}

TEST(IniValues, TextNeedsAKnownCapacity) {
  char small[4] = "xy";
  char* raw = small;
  i32 n = 5;
  // A bare pointer has no capacity: the call is refused and nothing, not
  // even the number before it, is stored.
  EXPECT_EQ(kis::ScanValuesA("1,abcdef", "i4,s", ',', 0, 1, &n, raw), -1);
  EXPECT_EQ(n, 5);
  EXPECT_STREQ(small, "xy");
  EXPECT_EQ(kis::ScanValuesA("1,abcdef", "i4,s", ',', 0, 1, &n, small), 2);
  EXPECT_STREQ(small, "abc");  // cut to the buffer
  EXPECT_EQ(kis::ScanValuesA("abcdef", "s8", ',', 0, 1, small), -1);  // the buffer is smaller than "s8"
  char big[16];
  EXPECT_EQ(kis::ScanValuesA("abcdef", "S3", ',', 0, 1, big), 1);
  EXPECT_STREQ(big, "ab");  // "s3" holds 3 characters with the terminator
  std::vector<char> heap(6);
  EXPECT_EQ(kis::ScanValuesA(" hello world , x", "s", ',', 0, 1, kis::ScanText(heap.data(), 6)), 1);
  EXPECT_STREQ(heap.data(), "hello");
  EXPECT_EQ(kis::ScanValuesA("x", "s", ',', 0, 1, kis::ScanText(heap.data(), 0)), -1);

  // The wide scanner wants wide buffers.
  wchar wideText[8];
  EXPECT_EQ(kis::ScanValuesW(u"1, \u0416\u0436", u"i4,s", u',', 0, 1, &n, wideText), 2);
  EXPECT_EQ(std::u16string(wideText), u"\u0416\u0436");
  EXPECT_EQ(kis::ScanValuesW(u"1, x", u"i4,s", u',', 0, 1, &n, big), -1);
}

TEST(IniValues, DestinationsMustMatchTheirTokens) {
  i16 half = 0;
  i32 whole = 0;
  float f = 0;
  u32 bits = 0;
  EXPECT_EQ(kis::ScanValuesA("1", "i4", ',', 0, 1, &half), -1);
  EXPECT_EQ(kis::ScanValuesA("1", "b", ',', 0, 1, &bits), -1);   // "b" is one byte
  EXPECT_EQ(kis::ScanValuesA("1", "f", ',', 0, 1, &whole), -1);  // not a float
  EXPECT_EQ(kis::ScanValuesA("1", "i4", ',', 0, 1, &f), -1);
  // Later rows meet the same tokens: the third variable is checked against "i4".
  EXPECT_EQ(kis::ScanValuesA("1,2,3", "i4,i2", ',', 0, -1, &whole, &half, &half), -1);
  EXPECT_EQ(whole, 0);
  // A null pointer fits anything and skips its store.
  EXPECT_EQ(kis::ScanValuesA("1,2", "i4,i2", ',', 0, 1, nullptr, &half), 1);
  EXPECT_EQ(half, 2);
  EXPECT_EQ(kis::ScanValuesA("1,2", "i4,f", ',', 0, 1, &bits, &f), 2);  // signedness is not checked
  EXPECT_EQ(bits, 1u);
  EXPECT_FLOAT_EQ(f, 2.0f);
}

}  // namespace
