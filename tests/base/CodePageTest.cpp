#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/text/CodePageNames.h"
#include "platform/encoding/CodePage.h"

namespace {

std::u16string ToWide(u32 cp, const std::string& bytes, std::vector<u32>* ends = nullptr) {
  std::u16string out;
  EXPECT_TRUE(plat::MultiByteToWide(cp, bytes, out, ends));
  return out;
}

std::string ToBytes(u32 cp, const std::u16string& text, std::vector<u32>* ends = nullptr) {
  std::string out;
  EXPECT_TRUE(plat::WideToMultiByte(cp, text, out, ends));
  return out;
}

TEST(CodePage, Windows1252FillsTheFiveHolesLikeWindows) {
  EXPECT_EQ(ToWide(1252, "\x80\x81\x8D\x8F\x90\x9D\x9F\xE9"), u"\u20AC\u0081\u008D\u008F\u0090\u009D\u0178\u00E9");
  EXPECT_EQ(ToBytes(1252, u"\u20AC\u0081\u009D\u00E9"), "\x80\x81\x9D\xE9");
}

TEST(CodePage, AnsiCodePageIs1252UntilATestSetsAnother) {
  EXPECT_EQ(plat::GetAnsiCodePage(), 1252u);
  EXPECT_EQ(ToWide(0, "\x80"), u"\u20AC");
  plat::SetAnsiCodePage(1251);
  EXPECT_EQ(ToWide(0, "\xC6"), u"\u0416");
  plat::SetAnsiCodePage(0);
  EXPECT_EQ(plat::GetAnsiCodePage(), 1252u);
}

TEST(CodePage, CyrillicRoundTripsThroughWindows1251AndKoi8) {
  const std::u16string word = u"\u041F\u0440\u0438\u0432\u0435\u0442";
  EXPECT_EQ(ToBytes(1251, word), "\xCF\xF0\xE8\xE2\xE5\xF2");
  EXPECT_EQ(ToWide(1251, "\xCF\xF0\xE8\xE2\xE5\xF2"), word);
  EXPECT_EQ(ToWide(20866, ToBytes(20866, word)), word);
}

TEST(CodePage, UnmappableCharactersBecomeQuestionMarks) {
  EXPECT_EQ(ToBytes(1252, u"a\u4E2Db"), "a?b");
  EXPECT_EQ(ToBytes(1252, u"\U0001F600"), "?");              // one mark per surrogate pair
  EXPECT_EQ(ToBytes(1251, std::u16string(1, u'\xD800')), "?");  // lone surrogate
  EXPECT_EQ(ToBytes(932, u"x\u0416\U0001F600y").back(), 'y');
  EXPECT_EQ(ToBytes(20127, u"\u00E9"), "?");
}

TEST(CodePage, EverySingleBytePageKeepsAsciiAndRoundTripsItsBytes) {
  const u32 pages[] = {1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 28591, 28592, 28593, 28594, 28595,
                       28596, 28597, 28598, 38598, 28599, 28600, 28601, 28603, 28604, 28605, 28606, 20866, 21866,
                       10000, 20127};
  for (u32 cp : pages) {
    SCOPED_TRACE(cp);
    const char16_t* table = plat::SingleByteTable(cp);
    ASSERT_NE(table, nullptr);
    for (int b = 0; b < 0x80; ++b) EXPECT_EQ(table[b], static_cast<char16_t>(b));
    for (int b = 0; b < 256; ++b) {
      if (table[b] == 0xFFFD) continue;
      const std::string back = ToBytes(cp, std::u16string(1, table[b]));
      ASSERT_EQ(back.size(), 1u);
      EXPECT_EQ(ToWide(cp, back), std::u16string(1, table[b]));
    }
  }
}

TEST(CodePage, DoubleBytePagesGoThroughIconvWithCharacterBoundaries) {
  std::vector<u32> ends;
  EXPECT_EQ(ToBytes(932, u"a\u65E5\u672C", &ends), "a\x93\xFA\x96\x7B");
  EXPECT_EQ(ends, (std::vector<u32>{1, 3, 5}));
  ends.clear();
  EXPECT_EQ(ToWide(932, "a\x93\xFA\x96\x7B", &ends), u"a\u65E5\u672C");
  EXPECT_EQ(ends, (std::vector<u32>{1, 3, 5}));
  EXPECT_EQ(ToWide(936, ToBytes(936, u"\u4E2D\u6587")), u"\u4E2D\u6587");
  EXPECT_EQ(ToWide(54936, ToBytes(54936, u"\U0001F600")), u"\U0001F600");
}

TEST(CodePage, MalformedMultiByteTextGivesReplacementCharacters) {
  EXPECT_EQ(ToWide(932, "a\x93"), u"a\uFFFD");  // lead byte cut off at the end
  const std::u16string w = ToWide(51949, "\xFF\xFF" "b");
  EXPECT_EQ(w.back(), u'b');
  EXPECT_NE(w.find(u'\uFFFD'), std::u16string::npos);
}

TEST(CodePage, StatefulPagesReturnToAscii) {
  const std::string jis = ToBytes(50220, u"\u65E5x");
  EXPECT_EQ(jis.substr(0, 3), "\x1B$B");
  EXPECT_EQ(ToWide(50220, jis), u"\u65E5x");
  EXPECT_EQ(ToWide(50220, ToBytes(50220, u"\u65E5")), u"\u65E5");
}

TEST(CodePage, PagesWithoutAConverterFailAndProduceNothing) {
  std::u16string w = u"keep";
  std::string a = "keep";
  EXPECT_FALSE(plat::MultiByteToWide(52936, "abc", w));
  EXPECT_FALSE(plat::WideToMultiByte(52936, u"abc", a));
  EXPECT_FALSE(plat::MultiByteToWide(12345, "abc", w));
  EXPECT_EQ(w, u"keep");
  EXPECT_EQ(a, "keep");
  EXPECT_FALSE(plat::IsKnownCodePage(52936));
  EXPECT_TRUE(plat::IsKnownCodePage(932));
  EXPECT_TRUE(plat::IsSingleByteCodePage(0));
  EXPECT_FALSE(plat::IsSingleByteCodePage(932));
}

TEST(CodePageNames, NamesMatchIgnoringCase) {
  EXPECT_EQ(kis::FindCodePageW(u"Windows-1251", 12), 1251u);
  EXPECT_EQ(kis::FindCodePageA("KOI8-R", 6), 20866u);
  EXPECT_EQ(kis::FindCodePageA("gbk", 3), 936u);
  EXPECT_EQ(kis::FindCodePageA("GB2312", 6), 936u);
  EXPECT_EQ(kis::FindCodePageA("iso-8859-8-i", 12), 38598u);
  EXPECT_EQ(kis::FindCodePageA("hz-gb2312", 9), 52936u);
  EXPECT_EQ(kis::FindCodePageA("windows-125", 11), 0u);
  EXPECT_EQ(kis::FindCodePageA("windows-1251x", 13), 0u);
  EXPECT_EQ(kis::FindCodePageA("", 0), 0u);
  EXPECT_EQ(kis::FindCodePageW(nullptr, 5), 0u);
}

TEST(CodePageNames, UsAsciiIsKnownAndTheMisspellingIsNot) {
  EXPECT_EQ(kis::FindCodePageA("us-ascii", 8), 20127u);
  EXPECT_EQ(kis::FindCodePageA("US-ASCII", 8), 20127u);
  EXPECT_EQ(kis::FindCodePageA("ascii", 5), 20127u);
  EXPECT_EQ(kis::FindCodePageA("eu-ascii", 8), 0u);
}

TEST(CodePageNames, AGivenNameIdMustAgreeWithTheName) {
  // A wrong id never matches, even when the characters do.
  EXPECT_EQ(kis::FindCodePageA("koi8-u", 6, 0x12345678u), 0u);
}

}  // namespace
