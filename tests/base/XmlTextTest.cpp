#include <gtest/gtest.h>

#include <string>

#include "base/text/IdentTable.h"
#include "base/text/XmlText.h"

namespace {

std::u16string Decode(const std::u16string& text, u32 capacity = 64) {
  char16_t buf[64];
  for (auto& c : buf) c = u'#';
  const u32 n = kis::DecodeXmlTextW(text.data(), static_cast<u32>(text.size()), buf, capacity);
  EXPECT_EQ(buf[n], 0);
  // Counting gives the same length whenever nothing was cut.
  if (capacity == 64) {
    EXPECT_EQ(kis::DecodeXmlTextW(text.data(), static_cast<u32>(text.size()), nullptr, 0), n);
  }
  return std::u16string(buf, n);
}

TEST(XmlText, NamedEntitiesAreExactAndCaseSensitive) {
  EXPECT_EQ(Decode(u"a&amp;b"), u"a&b");
  EXPECT_EQ(Decode(u"a&AMP;b"), u"a&AMP;b");
  EXPECT_EQ(Decode(u"&lt;&gt;&quot;&apos;"), u"<>\"'");
  EXPECT_EQ(Decode(u"&amp"), u"&amp");
  EXPECT_EQ(Decode(u"&nbsp;"), u"&nbsp;");
}

TEST(XmlText, NumericReferences) {
  EXPECT_EQ(Decode(u"&#65;"), u"A");
  EXPECT_EQ(Decode(u"&#x41;"), u"A");
  EXPECT_EQ(Decode(u"&#;"), u"&#;");
  EXPECT_EQ(Decode(u"&#x;"), u"&#x;");
  EXPECT_EQ(Decode(u"x&#65"), u"x&#65");
  EXPECT_EQ(Decode(u"&#6a;"), u"&#6a;");
  EXPECT_EQ(Decode(u"&#X41;"), u"&#X41;");
}

TEST(XmlText, ReferencesBeyondSixteenBitsBecomeSurrogatePairs) {
  EXPECT_EQ(Decode(u"&#x1F600;"), u"\U0001F600");
  EXPECT_EQ(Decode(u"&#128512;"), u"\U0001F600");
  EXPECT_EQ(Decode(u"&#x10FFFF;"), u"\U0010FFFF");
  // Nothing that would cut the text or make a broken string is decoded.
  EXPECT_EQ(Decode(u"a&#0;b"), u"a&#0;b");
  EXPECT_EQ(Decode(u"&#x110000;"), u"&#x110000;");
  EXPECT_EQ(Decode(u"&#99999999999999999999;"), u"&#99999999999999999999;");
  EXPECT_EQ(Decode(u"&#xD800;"), u"&#xD800;");
  // A pair that does not fit is left out whole.
  EXPECT_EQ(Decode(u"ab&#x1F600;", 4), u"ab");
  EXPECT_EQ(Decode(u"ab\U0001F600", 4), u"ab");
}

TEST(XmlText, LineBreaksBecomeOneSpace) {
  EXPECT_EQ(Decode(u"x\r\ny"), u"x y");
  EXPECT_EQ(Decode(u"x\ry\nz\n\r"), u"x y z  ");
}

TEST(XmlText, CapacityAndCounting) {
  EXPECT_EQ(Decode(u"abcdef", 4), u"abc");
  EXPECT_EQ(Decode(u"abcdef", 1), u"");
  char16_t buf[2] = {u'#', u'#'};
  EXPECT_EQ(kis::DecodeXmlTextW(u"abc", 0, buf, 2), 0u);
  EXPECT_EQ(buf[0], 0);
  EXPECT_EQ(kis::DecodeXmlTextW(nullptr, 5, buf, 2), 0u);
  // Counting ignores the capacity.
  EXPECT_EQ(kis::DecodeXmlTextW(u"a&amp;b", 7, nullptr, 0), 3u);
  EXPECT_EQ(kis::DecodeXmlTextW(u"a&amp;b", 7, nullptr, 1), 3u);
  // Only `length` characters are read, even without a terminator.
  EXPECT_EQ(Decode(std::u16string(u"a&amp;", 3)), u"a&a");
}

TEST(XmlText, SearchesStopAtTheEndAndAtZero) {
  const char16_t* t = u"  ab c";
  EXPECT_EQ(kis::FindCharW(t, u'c', nullptr), t + 5);
  EXPECT_EQ(kis::FindCharW(t, u'c', t + 5), nullptr);
  EXPECT_EQ(kis::FindCharA("a\0c", 'c', nullptr), nullptr);
  EXPECT_EQ(kis::SkipBlanksW(t, nullptr), t + 2);
  EXPECT_EQ(kis::SkipBlanksW(t, t + 2), nullptr);
  EXPECT_EQ(kis::SkipBlanksA(" \r\n\tx", nullptr)[0], '\t');  // tab is not a blank here
  const char16_t* s = u"ab \r\n";
  EXPECT_EQ(kis::SkipBlanksBackW(s + 4, s), s + 1);
  EXPECT_EQ(kis::SkipBlanksBackW(s + 4, s + 2), nullptr);
  const char* a = "  ";
  EXPECT_EQ(kis::SkipBlanksBackA(a + 1, a), nullptr);
  EXPECT_TRUE(kis::StartsWithWA(u"<Row ss:Index", "<Row"));
  EXPECT_FALSE(kis::StartsWithWA(u"<row", "<Row"));
  EXPECT_FALSE(kis::StartsWithWA(u"<Ro", "<Row"));
  EXPECT_TRUE(kis::StartsWithA("Worksheet", "Work"));
}

class IdentTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kis::IdentSection* menu = table.AddSection(u"Menu", 4);
    table.AddEntry(menu, u"name", 4, u"\"first\"", 7);
    table.AddEntry(menu, u"title", 5, u"\"bad", 4);
    table.AddEntry(menu, u"Name", 4, u"second", 6);
    table.AddEntry(menu, u"cyr", 3, u"\u0416\u0417", 2);
    table.AddSection(u"other", 5);
    table.AddSection(u"menu", 4);
  }
  kis::IdentTable table;
};

TEST_F(IdentTableTest, SectionsAreFoundByNameOrStandInForMissingOnes) {
  kis::IdentSection* menu = table.FindW(u"  MENU ");
  EXPECT_EQ(menu->index, 0u);
  kis::IdentSection* again = table.FindByHash(u"menu", 4, menu->nameId, menu->index + 1);
  EXPECT_EQ(again->index, 2u);
  kis::IdentSection* none = table.FindByHash(u"menu", 4, menu->nameId, 3);
  EXPECT_TRUE(table.IsPlaceholder(none));
  EXPECT_EQ(table.GetStatus(), 0x200u);
  EXPECT_TRUE(table.IsPlaceholder(table.FindW(u"a b")));
  EXPECT_EQ(table.GetStatus(), 0x300u);
  EXPECT_TRUE(table.IsPlaceholder(table.FindByHash(u"x", 0, 0, 0)));
  EXPECT_EQ(table.GetStatus(), 0x300u);
  EXPECT_TRUE(table.IsPlaceholder(table.FindW(u"missing")));
  EXPECT_EQ(table.GetStatus(), 0x200u);
}

TEST_F(IdentTableTest, RepeatedNamesAreWalkedWithNext) {
  table.SetCurrentSection(table.FindW(u"menu"));
  kis::IdentEntry* a = table.ParseNameW(u"Name", true);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->index, 0u);
  kis::IdentEntry* b = table.ParseNameW(u"Name", true);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->index, 2u);
  EXPECT_EQ(table.ParseNameW(u"Name", true), nullptr);
  EXPECT_EQ(table.GetStatus(), 0x400u);
  EXPECT_EQ(table.ParseNameA("name", false), a);
  EXPECT_EQ(table.ParseNameW(u"na-me", false), nullptr);
  EXPECT_EQ(table.GetStatus(), 0x500u);
  u32 length = 9;
  EXPECT_EQ(std::u16string(table.LookupValueW(u"title", &length, false)), u"\"bad");
  EXPECT_EQ(length, 4u);
  EXPECT_EQ(table.LookupValueW(u"nothing", &length, false), nullptr);
  EXPECT_EQ(length, 0u);
}

TEST_F(IdentTableTest, ValuesAreReadRawOrByTheValueRules) {
  table.SetCurrentSection(table.FindW(u"menu"));
  const kis::IdentEntry* name = table.ParseNameW(u"name", false);
  char16_t buf[16];
  EXPECT_EQ(table.ReadValueW(name, buf, 16, u"", false), 5u);
  EXPECT_EQ(std::u16string(buf), u"first");
  EXPECT_EQ(table.ReadValueW(name, buf, 16, u"", true), 7u);
  EXPECT_EQ(std::u16string(buf), u"\"first\"");
  EXPECT_EQ(table.ReadValueW(name, nullptr, 0, u"", false), 5u);
  EXPECT_EQ(table.ReadValueW(name, buf, 3, u"", false), 2u);
  EXPECT_EQ(table.GetStatus(), 4u);
  const kis::IdentEntry* bad = table.ParseNameW(u"title", false);
  EXPECT_EQ(table.ReadValueW(bad, buf, 16, u"dflt", false), 4u);
  EXPECT_EQ(std::u16string(buf), u"dflt");
  EXPECT_EQ(table.GetStatus(), 1u);
  EXPECT_EQ(table.ReadValueW(nullptr, buf, 3, u"dflt", false), 2u);
  EXPECT_EQ(table.GetStatus(), 4u);
  EXPECT_EQ(table.ReadValueW(name, nullptr, 4, u"", false), 0u);
  EXPECT_EQ(table.GetStatus(), 2u);
  char a[8];
  EXPECT_EQ(table.ReadValueA(table.ParseNameW(u"cyr", false), a, 8, "", false), 2u);
  EXPECT_STREQ(a, "??");  // the ANSI code page (1252) has no Cyrillic
  EXPECT_EQ(table.ReadValueA(nullptr, a, 8, "none", true), 4u);
  EXPECT_STREQ(a, "none");
}

}  // namespace
