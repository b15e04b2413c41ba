#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/text/TextValue.h"

namespace {

using kis::CopyValueWToW;

struct WideCopy {
  u32 result;
  u32 count;
  std::u16string text;
};

WideCopy CopyW(const char16_t* value, u32 capacity = 64) {
  char16_t buf[64];
  for (auto& c : buf) c = u'#';
  WideCopy r{};
  r.result = CopyValueWToW(value, buf, capacity, 0, &r.count);
  r.text = buf;
  EXPECT_EQ(r.text.size(), r.count);
  return r;
}

TEST(TextValue, QuotedValuesTakeEscapes) {
  WideCopy r = CopyW(u"\"a\\nb\"");
  EXPECT_EQ(r.result, 0u);
  EXPECT_EQ(r.text, u"a\nb");
  EXPECT_EQ(CopyW(u"\"\\r\\\"\\\\\\x\"").text, u"\r\"\\x");
  EXPECT_EQ(CopyW(u"\"\"").text, u"");
}

TEST(TextValue, OnlyBlanksOrACommentMayFollowAQuotedValue) {
  EXPECT_EQ(CopyW(u"\"ab\"   // x").result, 0u);
  WideCopy r = CopyW(u"\"ab\" x");
  EXPECT_EQ(r.result, 1u);
  EXPECT_EQ(r.text, u"ab");
  EXPECT_EQ(CopyW(u"\"ab\"\t").result, 0u);
}

TEST(TextValue, UnterminatedQuotesAndTrailingEscapesAreMalformed) {
  WideCopy r = CopyW(u"\"abc");
  EXPECT_EQ(r.result, 1u);
  EXPECT_EQ(r.text, u"abc");
  EXPECT_EQ(CopyW(u"\"abc\\").result, 1u);
  EXPECT_EQ(CopyW(u"\"abcdef\" x", 3).result, 5u);
}

TEST(TextValue, UnquotedValuesAreTheRawRest) {
  EXPECT_EQ(CopyW(u"abc // x").text, u"abc // x");
  EXPECT_EQ(CopyW(u"C:\\dir\\n.txt").text, u"C:\\dir\\n.txt");
  EXPECT_EQ(CopyW(u"").result, 0u);
}

TEST(TextValue, CutsAtTheCapacityAndStaysTerminated) {
  WideCopy r = CopyW(u"abcdef", 4);
  EXPECT_EQ(r.result, 4u);
  EXPECT_EQ(r.text, u"abc");
  EXPECT_EQ(r.count, 3u);
  r = CopyW(u"\"a\\nbcdef\"", 3);
  EXPECT_EQ(r.result, 4u);
  EXPECT_EQ(r.text, u"a\n");
  r = CopyW(u"abc", 1);
  EXPECT_EQ(r.result, 4u);
  EXPECT_EQ(r.text, u"");
  EXPECT_EQ(CopyW(u"abc", 4).result, 0u);
}

TEST(TextValue, CapacityZeroCountsAndNullBufferIsRefused) {
  u32 count = 99;
  EXPECT_EQ(CopyValueWToW(u"\"a\\nb\" // c", nullptr, 0, 0, &count), 0u);
  EXPECT_EQ(count, 3u);
  count = 99;
  EXPECT_EQ(CopyValueWToW(u"abc", nullptr, 5, 0, &count), 2u);
  EXPECT_EQ(count, 0u);
  char a[2];
  EXPECT_EQ(kis::CopyValueWToA(u"\u0416\u0416", a, 0, 1251, &count), 0u);
  EXPECT_EQ(count, 2u);
}

TEST(TextValue, WideToAnsiCutsCyrillicWholeCharacters) {
  const char16_t* value = u"\u041F\u0440\u0438";
  const char* expected[] = {"", "", "\xCF", "\xCF\xF0"};
  for (u32 cap = 1; cap <= 3; ++cap) {
    char buf[8];
    std::memset(buf, '#', sizeof buf);
    u32 count = 0;
    EXPECT_EQ(kis::CopyValueWToA(value, buf, cap, 1251, &count), 4u);
    EXPECT_STREQ(buf, expected[cap]);
    EXPECT_EQ(buf[cap], '#');  // nothing written past the capacity
  }
}

TEST(TextValue, DoubleByteCharactersAreNeverSplit) {
  char buf[8];
  u32 count = 0;
  EXPECT_EQ(kis::CopyValueWToA(u"\u65E5\u672C", buf, 4, 932, &count), 4u);
  EXPECT_STREQ(buf, "\x93\xFA");
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(kis::CopyValueAToA("\x93\xFA\x96\x7B", buf, 4, 932, &count), 4u);
  EXPECT_STREQ(buf, "\x93\xFA");
  EXPECT_EQ(kis::CopyValueAToA("\xCF\xF0\xE8", buf, 3, 1251, &count), 4u);
  EXPECT_STREQ(buf, "\xCF\xF0");
}

TEST(TextValue, SurrogatePairsAreNeverSplit) {
  WideCopy r = CopyW(u"a\U0001F600", 3);
  EXPECT_EQ(r.result, 4u);
  EXPECT_EQ(r.text, u"a");
  EXPECT_EQ(CopyW(u"a\U0001F600", 4).text, u"a\U0001F600");
  // An escaped pair stays whole as well.
  EXPECT_EQ(CopyW(u"\"\\\U0001F600\"").text, u"\U0001F600");
}

TEST(TextValue, AnsiToWideConvertsWithTheCodePage) {
  char16_t buf[8];
  u32 count = 0;
  EXPECT_EQ(kis::CopyValueAToW("\"\xCF\\n\"", buf, 8, 1251, &count), 0u);
  EXPECT_EQ(std::u16string(buf), u"\u041F\n");
  EXPECT_EQ(kis::CopyValueAToW("\x80", buf, 8, 0, &count), 0u);
  EXPECT_EQ(std::u16string(buf), u"\u20AC");
}

TEST(TextValue, AConversionThatFailsStoresNothing) {
  char buf[8] = "zzz";
  u32 count = 7;
  EXPECT_EQ(kis::CopyValueWToA(u"abc", buf, 8, 52936, &count), 0u);
  EXPECT_EQ(count, 0u);
  EXPECT_STREQ(buf, "");
}

TEST(TextValue, RawCopiesTakeExactlyTheCountUnchanged) {
  char16_t buf[8];
  u32 count = 4;
  EXPECT_EQ(kis::CopyRawWToW(u"\"a\\b\"zz", buf, 8, 0, &count), 0u);
  EXPECT_EQ(std::u16string(buf), u"\"a\\b");
  EXPECT_EQ(count, 4u);
  count = 6;
  EXPECT_EQ(kis::CopyRawWToW(u"abcdef", buf, 4, 0, &count), 4u);
  EXPECT_EQ(count, 3u);
  char a[8];
  count = 2;
  EXPECT_EQ(kis::CopyRawWToA(u"\u0416\u0417", a, 8, 1251, &count), 0u);
  EXPECT_STREQ(a, "\xC6\xC7");
  count = 2;
  EXPECT_EQ(kis::CopyRawWToA(u"ab", nullptr, 3, 0, &count), 2u);
}

TEST(TextValue, WholeTextConversionsReportCuts) {
  char a[4];
  u32 length = 3;
  EXPECT_TRUE(kis::ConvertWideToAnsi(a, 4, u"\u0416bc", &length, 1251));
  EXPECT_EQ(length, 3u);
  length = 4;
  EXPECT_FALSE(kis::ConvertWideToAnsi(a, 4, u"abcd", &length, 0));
  EXPECT_EQ(length, 3u);
  char16_t w[4];
  length = 2;
  EXPECT_TRUE(kis::ConvertAnsiToWide(w, 4, "\xC6z", &length, 1251));
  EXPECT_EQ(std::u16string(w), u"\u0416z");
  length = 5;
  EXPECT_FALSE(kis::CopyWideText(w, 4, u"hello", &length));
  EXPECT_EQ(std::u16string(w), u"hel");
  length = 5;
  EXPECT_TRUE(kis::CopyWideText(nullptr, 0, u"hello", &length));
  EXPECT_EQ(length, 5u);
}

TEST(TextValue, EmittersDoNothingOnceTheSinkIsCut) {
  char16_t buf[4];
  kis::TextSink sink;
  sink.Begin(buf, true, 4, 0);
  kis::EmitWide(sink, u"ab", 2);
  kis::EmitWide(sink, u"cd", 2);
  EXPECT_TRUE(sink.cut);
  kis::EmitWide(sink, u"e", 1);
  kis::EmitAnsiAsWide(sink, "f", 1);
  EXPECT_EQ(std::u16string(buf), u"abc");
  EXPECT_EQ(sink.count, 3u);
  kis::EmitWide(sink, u"", 0);
  EXPECT_EQ(sink.count, 3u);
}

}  // namespace
