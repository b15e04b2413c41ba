#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gametext/DXLLanguage.h"
#include "gametext/DXLLngTable.h"
#include "gametext/DXLLngText.h"
#include "LanguageTestSupport.h"

namespace {

using lngtest::U8;

std::vector<std::string> Variants(const char16_t* value) {
  std::vector<std::string> out;
  DXLLngText* t = DXLLanguage::MakeText(u"key", value);
  if (!t) return {"(null)"};
  for (u32 i = 0; i < t->count; ++i) {
    EXPECT_EQ(t->Variants()[i].text[t->Variants()[i].length], 0);
    out.push_back(U8(std::u16string(t->Variants()[i].text, t->Variants()[i].length)));
  }
  FreeLngText(t);
  return out;
}

using V = std::vector<std::string>;

TEST(LngText, ValueSyntax) {
  EXPECT_EQ(Variants(u"plain text"), (V{"plain text"}));
  EXPECT_EQ(Variants(u""), (V{""}));
  EXPECT_EQ(Variants(u"say \"hi\""), (V{"say \"hi\""}));
  EXPECT_EQ(Variants(u"\"one\""), (V{"one"}));
  EXPECT_EQ(Variants(u"\"one\", \"two\""), (V{"one", "two"}));
  EXPECT_EQ(Variants(u"\"one\"\t,\t\"two\" // a comment"), (V{"one", "two"}));
  EXPECT_EQ(Variants(u"\"a\", \"b\"x"), (V{"\"a\", \"b\"x"}));  // not the quoted form: all of it
  EXPECT_EQ(Variants(u"\"a\", b"), (V{"\"a\", b"}));
  EXPECT_EQ(Variants(u"\"open"), (V{"\"open"}));
  EXPECT_EQ(Variants(u"\"line\\none\""), (V{"line\none"}));
  EXPECT_EQ(Variants(u"\"cr\\r \\\"q\\\" \\\\\""), (V{"cr\r \"q\" \\"}));
  EXPECT_EQ(Variants(u"unquoted\\nbreak"), (V{"unquoted\nbreak"}));
  EXPECT_EQ(Variants(u"ends in\\"), (V{"ends in"}));  // a lone backslash at the end is dropped
  EXPECT_EQ(Variants(u"\"\", \"\""), V({"", ""}));
}

TEST(LngText, KeysMustBeIdentifiers) {
  EXPECT_EQ(DXLLanguage::MakeText(u"two words", u"x"), nullptr);
  EXPECT_EQ(DXLLanguage::MakeText(u"", u"x"), nullptr);
  EXPECT_EQ(DXLLanguage::MakeText(u"abcdefghijabcdefghijabcdefghijab", u"x"), nullptr);  // 32 characters
  EXPECT_EQ(DXLLanguage::MakeText(u"key", nullptr), nullptr);
  DXLLngText* t = DXLLanguage::MakeText(u"Mixed_Case9", u"x");
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(U8(std::u16string(t->key.name, t->key.length)), "mixed_case9");
  FreeLngText(t);
}

TEST(LngText, FilledVariantsMustFitTheirRoom) {
  kis::Identifier id;
  ASSERT_TRUE(id.Parse(u"k", 1, false, nullptr, nullptr));
  DXLLngText* t = AllocLngText(id, 3, 4);
  ASSERT_NE(t, nullptr);
  EXPECT_FALSE(FillLngVariant(t, 1, u"x", 1));  // before variant 0
  EXPECT_TRUE(FillLngVariant(t, 0, u"ab", 2));
  EXPECT_EQ(U8(t->Variant(1)), "");  // the ones not filled yet read empty
  EXPECT_EQ(U8(t->Variant(2)), "");
  EXPECT_FALSE(FillLngVariant(t, 1, u"cde", 3));  // variant 2 still needs its terminator
  EXPECT_FALSE(FillLngVariant(t, 2, u"x", 1));
  EXPECT_TRUE(FillLngVariant(t, 1, u"cd", 2));
  EXPECT_EQ(U8(t->Variant(2)), "");
  EXPECT_TRUE(FillLngVariant(t, 2, u"", 0));
  EXPECT_EQ(U8(t->First()), "ab");
  EXPECT_EQ(U8(t->Variant(1)), "cd");
  EXPECT_EQ(t->Variant(3), nullptr);
  FreeLngText(t);
  // One block: the characters of every variant follow the pairs, each right
  // after the terminator of the one before.
  t = DXLLanguage::MakeText(u"k", u"\"one\", \"\", \"th\\nree\", \"4\"");
  ASSERT_NE(t, nullptr);
  ASSERT_EQ(t->count, 4u);
  EXPECT_EQ(t->total, 10u);
  const wchar* chars = reinterpret_cast<const wchar*>(t->Variants() + 4);
  EXPECT_EQ(std::u16string(chars, 14), std::u16string(u"one\0\0th\nree\0" u"4\0", 14));
  for (u32 i = 0; i < 4; ++i) {
    EXPECT_EQ(t->Variants()[i].text, chars) << i;
    chars += t->Variants()[i].length + 1;
  }
  FreeLngText(t);
  EXPECT_EQ(AllocLngText(id, 0, 0), nullptr);
  EXPECT_EQ(AllocLngText(id, 0xFFFFFFFFu, 0xFFFFFFFFu), nullptr);
}

TEST(LngTable, ReserveAddReplaceAndFallback) {
  kis::Identifier name;
  ASSERT_TRUE(name.Parse(u"buttons", 7, false, nullptr, nullptr));
  DXLLngText* def = DXLLanguage::MakeText(u"NF", u"?NF?");
  {
    DXLLngTable table(name, &def);
    EXPECT_EQ(table.AddText(u"ok", 2, u"OK", 2), nullptr);  // no room reserved
    ASSERT_TRUE(table.Reserve(3));
    ASSERT_NE(table.AddText(u"ok", 2, u"OK", 2), nullptr);
    ASSERT_NE(table.AddText(u"OK", 2, u"\"Fine\", \"Good\"", kis::kToTerminator), nullptr);  // replaces
    EXPECT_EQ(table.GetCount(), 1u);
    EXPECT_EQ(U8(table.FindText(u"ok", false)), "Fine");
    EXPECT_EQ(table.FindText(u"cancel", false), nullptr);
    EXPECT_EQ(U8(table.FindText(u"cancel", true)), "?NF?");
    EXPECT_EQ(table.FindText(u"not a key", true), nullptr);
    EXPECT_EQ(table.AddText(u"bad key", 7, u"x", 1), nullptr);
    table.Append(DXLLanguage::MakeText(u"yes", u"Yes"));
    table.Append(DXLLanguage::MakeText(u"no", u"No"));
    table.Append(DXLLanguage::MakeText(u"maybe", u"Maybe"));  // no room: freed
    EXPECT_EQ(table.GetCount(), 3u);
    EXPECT_EQ(table.AddText(u"later", 5, u"x", 1), nullptr);
  }
  FreeLngText(def);
}

}  // namespace
