#include <gtest/gtest.h>

#include <string>

#include "base/Crc32.h"
#include "base/Identifier.h"

namespace {

using std::u16string;

TEST(NameId, KnownValuesIgnoreCase) {
  EXPECT_EQ(kis::NameId(u"wheat"), 0xE92F0DD9u);
  EXPECT_EQ(kis::NameId(u"Wheat"), 0xE92F0DD9u);
  EXPECT_EQ(kis::NameId(u"WHEAT"), 0xE92F0DD9u);
  EXPECT_EQ(kis::NameId(u"abc"), 0xCADBBE3Du);
  EXPECT_EQ(kis::NameIdA("ABC"), 0xCADBBE3Du);
  // The id is the complement of the standard CRC-32 of the folded name.
  EXPECT_EQ(kis::NameId(u"Apple_Tree"), ~kis::Crc32("apple_tree", 10));
}

TEST(NameId, OnlyWholeShortNamesCount) {
  const u16string name31(31, u'a');
  const u16string name32(32, u'a');
  EXPECT_NE(kis::NameId(name31.c_str()), 0u);
  EXPECT_EQ(kis::NameId(name32.c_str()), 0u);
  EXPECT_EQ(kis::NameId(u"apple tree"), 0u);
  EXPECT_EQ(kis::NameId(u" wheat"), 0u);
  EXPECT_EQ(kis::NameId(u"wheat."), 0u);
  EXPECT_EQ(kis::NameId(u"wh\u00E9at"), 0u);
  EXPECT_EQ(kis::NameId(u""), 0u);
  EXPECT_EQ(kis::NameId(nullptr), 0u);
  EXPECT_EQ(kis::NameIdA("caf\xE9"), 0u);
}

TEST(ScanIdentifier, BlanksAroundTheName) {
  kis::IDENTTOKEN t{};
  ASSERT_TRUE(kis::ScanIdentifierW(u"  Abc  =", kis::kToTerminator, 31, t, true, '_'));
  EXPECT_EQ(t.start, 2u);
  EXPECT_EQ(t.length, 3u);
  EXPECT_EQ(t.end, 7u);
  EXPECT_FALSE(t.whole);
  EXPECT_EQ(t.id, kis::NameId(u"abc"));

  ASSERT_TRUE(kis::ScanIdentifierW(u"\tkey \t", kis::kToTerminator, 31, t, true, '_'));
  EXPECT_EQ(t.end, 6u);
  EXPECT_TRUE(t.whole);
  // Without blank skipping a leading blank is no name.
  EXPECT_FALSE(kis::ScanIdentifierW(u" key", kis::kToTerminator, 31, t, false, '_'));
}

TEST(ScanIdentifier, LengthLimitsAndExtraCharacter) {
  kis::IDENTTOKEN t{};
  ASSERT_TRUE(kis::ScanIdentifierW(u"wheat_field", 5, 31, t, false, '_'));
  EXPECT_EQ(t.length, 5u);
  EXPECT_TRUE(t.whole);  // nothing left within the length
  EXPECT_EQ(t.id, kis::NameId(u"wheat"));
  ASSERT_TRUE(kis::ScanIdentifierW(u"a-b", kis::kToTerminator, 31, t, false, '-'));
  EXPECT_EQ(t.length, 3u);
  ASSERT_TRUE(kis::ScanIdentifierW(u"a_b", kis::kToTerminator, 31, t, false, 200));  // 200: no extra
  EXPECT_EQ(t.length, 1u);
  EXPECT_FALSE(t.whole);
  EXPECT_FALSE(kis::ScanIdentifierW(u"abcd", kis::kToTerminator, 3, t, false, 0));
  EXPECT_TRUE(kis::ScanIdentifierW(u"abc", kis::kToTerminator, 3, t, false, 0));
  EXPECT_FALSE(kis::ScanIdentifierW(u"abc", 0, 31, t, false, 0));
  EXPECT_FALSE(kis::ScanIdentifierW(u"=", kis::kToTerminator, 31, t, true, 0));
  EXPECT_FALSE(kis::ScanIdentifierW(nullptr, 3, 31, t, true, 0));
  // High 8-bit characters end the name.
  ASSERT_TRUE(kis::ScanIdentifierA("ab\xC4x", kis::kToTerminator, 31, t, false, 0));
  EXPECT_EQ(t.length, 2u);
  EXPECT_FALSE(t.whole);
}

TEST(Identifier, ParseFoldsNamesButKeepsExtraCharacters) {
  kis::Identifier id;
  ASSERT_TRUE(id.Parse(u"A.B", kis::kToTerminator, false, nullptr, u"."));
  EXPECT_EQ(u16string(id.name), u"a.b");
  EXPECT_EQ(id.length, 3u);
  EXPECT_EQ(id.id, ~kis::Crc32("a.b", 3));
  ASSERT_TRUE(id.Parse(u"Sheep_Rack", kis::kToTerminator, false, nullptr, nullptr));
  EXPECT_EQ(id.id, kis::NameId(u"sheep_rack"));
  EXPECT_FALSE(id.Parse(u"a.b", kis::kToTerminator, false, nullptr, nullptr));  // "." follows
  EXPECT_EQ(id.length, 0u);
  EXPECT_EQ(id.id, 0u);
}

TEST(Identifier, ConsumedCountsBlanksAndAllowsATail) {
  kis::Identifier id;
  u32 used = 0;
  ASSERT_TRUE(id.Parse(u"  name  = 5", kis::kToTerminator, true, &used, nullptr));
  EXPECT_EQ(used, 8u);
  EXPECT_EQ(u16string(id.name), u"name");
  EXPECT_FALSE(id.Parse(u"  name  = 5", kis::kToTerminator, true, nullptr, nullptr));
  ASSERT_TRUE(id.Parse(u"  name  ", kis::kToTerminator, true, nullptr, nullptr));
  ASSERT_TRUE(id.Parse(u"name=5", 4, false, nullptr, nullptr));  // only the length counts
  EXPECT_FALSE(id.Parse(u"=", 1, true, &used, nullptr));
  EXPECT_EQ(used, 1u);
  EXPECT_FALSE(id.Parse(nullptr, 5, true, &used, nullptr));
}

TEST(Identifier, AtMostThirtyOneCharacters) {
  kis::Identifier id;
  const u16string name31(31, u'Z');
  const u16string name32(32, u'Z');
  ASSERT_TRUE(id.Parse(name31.c_str(), kis::kToTerminator, false, nullptr, nullptr));
  EXPECT_EQ(u16string(id.name), u16string(31, u'z'));
  EXPECT_FALSE(id.Parse(name32.c_str(), kis::kToTerminator, false, nullptr, nullptr));
  u32 used = 0;
  EXPECT_FALSE(id.Parse(name32.c_str(), kis::kToTerminator, false, &used, nullptr));
}

TEST(Identifier, EqualsComparesIdLengthAndCharacters) {
  kis::Identifier a, b;
  ASSERT_TRUE(a.Parse(u"Warehouse", kis::kToTerminator, false, nullptr, nullptr));
  ASSERT_TRUE(b.Parse(u"WAREHOUSE", kis::kToTerminator, false, nullptr, nullptr));
  EXPECT_TRUE(a.Equals(b));
  ASSERT_TRUE(b.Parse(u"henhouse", kis::kToTerminator, false, nullptr, nullptr));
  EXPECT_FALSE(a.Equals(b));
  // Same id and length but different characters (a forged id) are not equal.
  b = a;
  b.name[0] = u'x';
  EXPECT_FALSE(a.Equals(b));
}

}  // namespace
