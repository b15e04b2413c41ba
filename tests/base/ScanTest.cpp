#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>

#include "base/text/TextScanner.h"

namespace {

using kis::ScanTextW;

// Records counted in count mode, or ~0u when the scan fails (result in *r).
u32 Count(const char16_t* format, const char16_t* text, u32* r = nullptr, i32 max = 1000) {
  u32 records = 77;
  const u32 result = ScanTextW(format, max, nullptr, 0, kis::kScanCount, text, 0, &records);
  if (r) *r = result;
  return result == 0 ? records : ~0u;
}

template <class... T>
u32 Scan(const char16_t* format, const char16_t* text, T*... values) {
  u32 records = 0;
  const u32 r = kis::ScanValuesTypedW(format, 1, text, 1251, &records, values...);
  return r == 0 ? records : 100 + r;
}

TEST(Scan, RecordsAreSeparatedByCommasOrParenthesised) {
  EXPECT_EQ(Count(u"i4,i4", u"1, 2, 3, 4"), 2u);
  EXPECT_EQ(Count(u"i4,i4", u"(1, 2), (3, 4)"), 2u);
  EXPECT_EQ(Count(u"i4,i4", u"( 1 ,2 ) ,( 3,4 )"), 2u);
  EXPECT_EQ(Count(u"i4,i4", u"1, 2 // comment"), 1u);
  EXPECT_EQ(Count(u"i4,i4", u"   "), 0u);
  EXPECT_EQ(Count(u"i4,i4", u"1, 2, 3"), ~0u);
  EXPECT_EQ(Count(u"i4,i4", u"(1, 2) (3, 4)"), ~0u);
  EXPECT_EQ(Count(u"i4,i4", u"(1, 2"), ~0u);
  EXPECT_EQ(Count(u"i4,i4", u"1, 2, 3, 4", nullptr, 1), 1u);  // stops at maxRecords
}

TEST(Scan, SignedIntegersAreRangeChecked) {
  i8 b = 0;
  EXPECT_EQ(Scan(u"i1", u"127", &b), 1u);
  EXPECT_EQ(b, 127);
  EXPECT_EQ(Scan(u"i1", u"128", &b), 101u);
  EXPECT_EQ(Scan(u"i1", u"-128", &b), 1u);
  EXPECT_EQ(static_cast<u8>(b), 0x80);
  i32 v = 0;
  EXPECT_EQ(Scan(u"i4", u"2147483647", &v), 1u);
  EXPECT_EQ(Scan(u"i4", u"2147483648", &v), 101u);
  EXPECT_EQ(Scan(u"l", u"-2147483648", &v), 1u);
  EXPECT_EQ(v, INT32_MIN);
  EXPECT_EQ(Scan(u"i4", u"+5", &v), 1u);
  EXPECT_EQ(v, 5);
  EXPECT_EQ(Scan(u"i4", u"-", &v), 101u);
  i64 big = 0;
  EXPECT_EQ(Scan(u"i8", u"-9223372036854775808", &big), 1u);
  EXPECT_EQ(big, INT64_MIN);
  EXPECT_EQ(Scan(u"i8", u"9223372036854775808", &big), 101u);
}

TEST(Scan, UnsignedAndHexadecimalValues) {
  u8 b = 0;
  EXPECT_EQ(Scan(u"u1", u"255", &b), 1u);
  EXPECT_EQ(Scan(u"u1", u"256", &b), 101u);
  EXPECT_EQ(Scan(u"u1", u"-1", &b), 101u);
  u64 q = 0;
  EXPECT_EQ(Scan(u"u8", u"18446744073709551615", &q), 1u);
  EXPECT_EQ(q, UINT64_MAX);
  EXPECT_EQ(Scan(u"x1", u"0x00FF", &b), 1u);
  EXPECT_EQ(b, 0xFF);
  EXPECT_EQ(Scan(u"x1", u"0x1FF", &b), 101u);
  u32 x = 0;
  EXPECT_EQ(Scan(u"x4", u"#80ff00", &x), 1u);
  EXPECT_EQ(x, 0x0080FF00u);
  EXPECT_EQ(Scan(u"x4", u"$1F", &x), 1u);
  EXPECT_EQ(x, 0x1Fu);
  EXPECT_EQ(Scan(u"x4", u"0x", &x), 101u);
  EXPECT_EQ(Scan(u"x4", u"123456789", &x), 101u);
}

TEST(Scan, BooleansTakeNumbersOrWords) {
  u8 b = 9;
  EXPECT_EQ(Scan(u"b1", u"Yes", &b), 1u);
  EXPECT_EQ(b, 1);
  EXPECT_EQ(Scan(u"b1", u"NO", &b), 1u);
  EXPECT_EQ(b, 0);
  EXPECT_EQ(Scan(u"b1", u"2", &b), 101u);
  EXPECT_EQ(Scan(u"b1", u"yess", &b), 101u);
  u32 b4 = 0xFFFFFFFF;
  EXPECT_EQ(Scan(u"b4", u"true", &b4), 1u);
  EXPECT_EQ(b4, 1u);  // all four bytes written
}

TEST(Scan, FloatsAreBuiltDigitByDigit) {
  float f = 0;
  EXPECT_EQ(Scan(u"f", u"1.5e2", &f), 1u);
  EXPECT_FLOAT_EQ(f, 150.0f);
  EXPECT_EQ(Scan(u"f", u"-0.25", &f), 1u);
  EXPECT_FLOAT_EQ(f, -0.25f);
  EXPECT_EQ(Scan(u"f", u".5", &f), 1u);
  EXPECT_FLOAT_EQ(f, 0.5f);
  EXPECT_EQ(Scan(u"f", u"2.5E-1", &f), 1u);
  EXPECT_FLOAT_EQ(f, 0.25f);
  EXPECT_EQ(Scan(u"f", u".", &f), 101u);
  EXPECT_EQ(Scan(u"f", u"1e", &f), 101u);
  EXPECT_EQ(Scan(u"f", u"1e39", &f), 1u);  // the exponent is clamped to 38
  EXPECT_FLOAT_EQ(f, 1e38f);
  EXPECT_EQ(Scan(u"f", u"9e38", &f), 101u);  // does not fit a float
  EXPECT_EQ(Scan(u"f", u"1e-99", &f), 1u);
}

TEST(Scan, CharactersAreQuotedCodesOrHex) {
  char16_t c = 0;
  for (const char16_t* text : {u"'A'", u"U+0041", u"u+0041", u"41", u"0x41"}) {
    c = 0;
    EXPECT_EQ(Scan(u"W", text, &c), 1u) << std::u16string(text).size();
    EXPECT_EQ(c, u'A');
  }
  EXPECT_EQ(Scan(u"W", u"U+41", &c), 101u);
  EXPECT_EQ(Scan(u"W", u"U+00411", &c), 101u);
  EXPECT_EQ(Scan(u"W", u"141", &c), 101u);
  char a = 0;
  EXPECT_EQ(Scan(u"C", u"'\u0416'", &a), 1u);  // through windows-1251
  EXPECT_EQ(static_cast<u8>(a), 0xC6);
  EXPECT_EQ(Scan(u"C", u"C6", &a), 1u);
  EXPECT_EQ(static_cast<u8>(a), 0xC6);
}

TEST(Scan, StringsMustFitWithTheirTerminator) {
  char16_t s[4];
  EXPECT_EQ(Scan(u"Z[4]", u"\"abc\"", &s), 1u);
  EXPECT_EQ(std::u16string(s), u"abc");
  EXPECT_EQ(Scan(u"Z[4]", u"\"abcd\"", &s), 101u);
  EXPECT_EQ(Count(u"Z[4]", u"\"abc\""), 1u);
  EXPECT_EQ(Count(u"Z[4]", u"\"abcd\""), ~0u);
  EXPECT_EQ(Scan(u"Z[4]", u"ab_", &s), 1u);  // an identifier needs no quotes
  EXPECT_EQ(std::u16string(s), u"ab_");
  EXPECT_EQ(Scan(u"Z[4]", u"a.b", &s), 101u);
  EXPECT_EQ(Scan(u"Z[4]", u"[\"a\\n\"]", &s), 1u);  // enclosed
  EXPECT_EQ(std::u16string(s), u"a\n");
  EXPECT_EQ(Scan(u"Z[4]", u"[\"a\"", &s), 101u);
  char a[4];
  EXPECT_EQ(Scan(u"S[4]", u"\"\u0416\u0417\"", &a), 1u);
  EXPECT_STREQ(a, "\xC6\xC7");
}

TEST(Scan, OptionalTailMayBeMissingAtTheEnd) {
  char16_t name[260];
  u32 colour = 0, ms = 0, flag = 55;
  const char16_t* fmt = u"Z[260],x4,u4,{b4}";
  EXPECT_EQ(Scan(fmt, u"\"logo.tga\", 1F, 7", &name, &colour, &ms, &flag), 1u);
  EXPECT_EQ(std::u16string(name), u"logo.tga");
  EXPECT_EQ(colour, 0x1Fu);
  EXPECT_EQ(ms, 7u);
  EXPECT_EQ(flag, 55u);  // untouched
  EXPECT_EQ(Scan(fmt, u"\"logo.tga\", 1F, 7, true", &name, &colour, &ms, &flag), 1u);
  EXPECT_EQ(flag, 1u);
  flag = 55;
  EXPECT_EQ(Scan(fmt, u"(\"a\", 1F, 7)", &name, &colour, &ms, &flag), 1u);
  EXPECT_EQ(flag, 55u);
  EXPECT_EQ(Scan(fmt, u"\"a\", 1F", &name, &colour, &ms, &flag), 101u);
  EXPECT_EQ(Count(u"i4,{i4}", u"(1), (2, 3)"), 2u);
  EXPECT_EQ(Count(u"i4,{i4", u"1"), ~0u);  // "{" without "}"
}

TEST(Scan, BadFormatsAndArgumentsGiveTwo) {
  u32 r = 0;
  for (const char16_t* fmt : {u"q", u"i3", u"b2", u"i", u"i4,", u"i4}", u"{i4},i4", u"{i4,{i4}", u"Z[0]", u"Z[",
                              u"", u"i4 i4"}) {
    Count(fmt, u"1", &r);
    EXPECT_EQ(r, 2u) << std::u16string(fmt).size();
  }
  u32 records = 0;
  EXPECT_EQ(ScanTextW(u"i4", 0, nullptr, 0, 0, u"1", 0, &records), 2u);
  EXPECT_EQ(ScanTextW(u"i4", 1, nullptr, 4, 1, u"1", 0, &records), 2u);
  EXPECT_EQ(ScanTextW(u"i4", 1, nullptr, 0, 2, u"1", 0, &records), 2u);
  EXPECT_EQ(ScanTextW(u"i4", 1, nullptr, 0, 3, u"1", 0, &records), 2u);
  i32 rec[2];
  EXPECT_EQ(ScanTextW(u"i4,i4,i4", 1, rec, sizeof rec, 1, u"1,2,3", 0, &records), 2u);
}

TEST(Scan, PointerModeRefusesMismatchedDestinations) {
  i16 small = 0;
  i32 v = 0;
  float f = 0;
  char16_t shortName[100];
  EXPECT_EQ(Scan(u"i4", u"1", &small), 102u);
  EXPECT_EQ(Scan(u"i4", u"1", &f), 102u);
  EXPECT_EQ(Scan(u"f", u"1", &v), 102u);
  EXPECT_EQ(Scan(u"Z[260]", u"a", &shortName), 102u);
  EXPECT_EQ(Scan(u"i4,i4", u"1, 2", &v), 102u);  // too few destinations
  EXPECT_EQ(v, 1);                                // values before the failure stay
  i32 three[3] = {};
  EXPECT_EQ(Scan(u"i4[3]", u"4, 5, 6", &three), 1u);
  EXPECT_EQ(three[2], 6);
}

TEST(Scan, PointersContinueAcrossRecords) {
  i32 a = 0, b = 0, c = 0, d = 0;
  u32 records = 0;
  EXPECT_EQ(kis::ScanValuesTypedW(u"i4,i4", 2, u"(1, 2), (3, 4)", 0, &records, &a, &b, &c, &d), 0u);
  EXPECT_EQ(records, 2u);
  EXPECT_EQ(d, 4);
  EXPECT_EQ(kis::ScanValuesTypedW(u"i4,i4", 2, u"5, 6, 7, x", 0, &records, &a, &b, &c, &d), 1u);
  EXPECT_EQ(records, 0u);
  EXPECT_EQ(c, 7);
}

struct Point3 {
  i32 x, y, z;
};
static_assert(offsetof(Point3, y) == 4 && offsetof(Point3, z) == 8);

struct CharPair {
  char16_t from, to;
  i32 kerning;
};
static_assert(offsetof(CharPair, to) == 2 && offsetof(CharPair, kerning) == 4);

struct PlacedImage {
  char16_t path[260];
  i32 x, y;
};
static_assert(offsetof(PlacedImage, x) == 520 && offsetof(PlacedImage, y) == 524);

struct Packed {
  u8 flag;
  i16 small;
  u8 byte;
  i32 big;
};
static_assert(offsetof(Packed, small) == 2 && offsetof(Packed, byte) == 4 && offsetof(Packed, big) == 8);

TEST(Scan, ArrayModeLaysRecordsOutLikeTheirStructs) {
  Point3 pts[3] = {};
  u32 records = 0;
  EXPECT_EQ(ScanTextW(u"i4,i4,i4", 3, pts, sizeof(Point3), 1, u"(1,2,3),(4,5,6)", 0, &records), 0u);
  EXPECT_EQ(records, 2u);
  EXPECT_EQ(pts[1].z, 6);
  CharPair pairs[2] = {};
  EXPECT_EQ(ScanTextW(u"W,W,i4", 2, pairs, sizeof(CharPair), 1, u"'A', 'V', -2, U+0054, 'o', -1", 0, &records), 0u);
  EXPECT_EQ(records, 2u);
  EXPECT_EQ(pairs[1].from, u'T');
  EXPECT_EQ(pairs[1].kerning, -1);
  PlacedImage img = {};
  EXPECT_EQ(ScanTextW(u"Z[260],l,l", 1, &img, sizeof img, 1, u"\"menu\\\\logo.tga\", 10, -20", 0, &records), 0u);
  EXPECT_EQ(std::u16string(img.path), u"menu\\logo.tga");
  EXPECT_EQ(img.y, -20);
  Packed p = {};
  EXPECT_EQ(ScanTextW(u"b1,i2,u1,i4", 1, &p, sizeof p, 1, u"yes, -300, 200, 70000", 0, &records), 0u);
  EXPECT_EQ(p.flag, 1);
  EXPECT_EQ(p.small, -300);
  EXPECT_EQ(p.byte, 200);
  EXPECT_EQ(p.big, 70000);
}

TEST(Scan, EightBitTextConvertsWithTheCodePage) {
  char16_t name[8];
  char raw[8];
  char16_t c = 0;
  u32 records = 0;
  const auto args = kis::MakeScanArgs(&name, &raw, &c);
  const kis::ScanArgList list = args.List();
  EXPECT_EQ(kis::ScanTextA(u"Z[8],S[8],W", 1, const_cast<kis::ScanArgList*>(&list), 0, 2,
                           "\"\xCF\xF0\", \"\xCF\", '\xC6'", 1251, &records),
            0u);
  EXPECT_EQ(std::u16string(name), u"\u041F\u0440");
  EXPECT_STREQ(raw, "\xCF");
  EXPECT_EQ(c, u'\u0416');
}

TEST(Scan, SingleValueParsersTakeTheWholeValue) {
  i32 v = 0;
  EXPECT_TRUE(kis::ParseIntW(u"12 // note", &v));
  EXPECT_EQ(v, 12);
  EXPECT_FALSE(kis::ParseIntW(u" 12", &v));
  EXPECT_FALSE(kis::ParseIntW(u"12x", &v));
  EXPECT_FALSE(kis::ParseIntW(u"12, 3", &v));
  EXPECT_TRUE(kis::ParseIntA("-7\t", &v));
  EXPECT_EQ(v, -7);
  u32 h = 0;
  EXPECT_TRUE(kis::ParseHexW(u"0xFF00FF00", &h));
  EXPECT_EQ(h, 0xFF00FF00u);
  EXPECT_TRUE(kis::ParseHexA("ff", &h));
  EXPECT_FALSE(kis::ParseHexW(u"0x100000000", &h));
  char16_t c = 0;
  EXPECT_TRUE(kis::ParseCharW(u"'x'", &c, 0));
  EXPECT_EQ(c, u'x');
  EXPECT_TRUE(kis::ParseCharA("'\xC6'", &c, 1251));
  EXPECT_EQ(c, u'\u0416');
  EXPECT_TRUE(kis::IsRestEmptyW(u"  // x"));
  EXPECT_FALSE(kis::IsRestEmptyA(" / x"));
}

}  // namespace
