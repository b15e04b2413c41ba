#include <gtest/gtest.h>

#include <string>

#include "base/Strings.h"

namespace {


// A buffer of `capacity` characters followed by guard characters that no
// bounded function may touch.
template <class C>
struct Guarded {
  static constexpr int kGuard = 4;
  C cells[16 + kGuard];
  u32 capacity;
  explicit Guarded(u32 cap, C fill = C('#')) : capacity(cap) {
    for (auto& c : cells) c = fill;
  }
  C* data() { return cells; }
  bool GuardsIntact() const {
    for (u32 i = capacity; i < capacity + kGuard; ++i)
      if (cells[i] != C('#') && cells[i] != C('~')) return false;
    return true;
  }
};

TEST(Strings, LengthsAreNullSafe) {
  EXPECT_EQ(kis::StrLenW(nullptr), 0u);
  EXPECT_EQ(kis::StrSizeW(nullptr), 0u);
  EXPECT_EQ(kis::StrSizeA(""), 1u);
  EXPECT_EQ(kis::StrLenW(u"abc"), 3u);
  EXPECT_EQ(kis::StrSizeA("abc"), 4u);
}

TEST(Strings, CopyStaysWithinCapacity) {
  Guarded<wchar> b(4);
  EXPECT_EQ(kis::StrCopyW(b.data(), b.capacity, u"abcdef"), b.data());
  EXPECT_EQ(std::u16string(b.data()), u"abc");
  EXPECT_TRUE(b.GuardsIntact());

  Guarded<wchar> zero(0);
  kis::StrCopyW(zero.data(), 0, u"abc");
  EXPECT_EQ(zero.cells[0], u'#');  // capacity 0 writes nothing

  Guarded<wchar> one(1);
  kis::StrCopyW(one.data(), 1, u"abc");
  EXPECT_EQ(one.cells[0], 0);
  EXPECT_TRUE(one.GuardsIntact());

  Guarded<char> a(8);
  kis::StrCopyA(a.data(), 8, nullptr);
  EXPECT_EQ(a.cells[0], 0);
  EXPECT_EQ(kis::StrCopyA(nullptr, 8, "x"), nullptr);

  Guarded<char> n(8);
  kis::StrCopyLenA(n.data(), 8, "abcdef", 2);
  EXPECT_STREQ(n.data(), "ab");
  // n bounds the source read: a source without terminator inside n is fine.
  const wchar unterminated[3] = {u'x', u'y', u'z'};
  Guarded<wchar> w(8);
  kis::StrCopyNW(w.data(), 8, unterminated, 3);
  EXPECT_EQ(std::u16string(w.data()), u"xyz");
}

TEST(Strings, CatStaysWithinCapacity) {
  Guarded<wchar> b(6);
  kis::StrCopyW(b.data(), 6, u"ab");
  kis::StrCatW(b.data(), 6, u"cdefgh");
  EXPECT_EQ(std::u16string(b.data()), u"abcde");
  EXPECT_TRUE(b.GuardsIntact());

  // Already full: nothing appended, still terminated.
  kis::StrCatW(b.data(), 6, u"z");
  EXPECT_EQ(std::u16string(b.data()), u"abcde");

  // Existing text without a terminator inside the capacity gets one.
  Guarded<wchar> full(3, u'~');
  kis::StrCatW(full.data(), 3, u"z");
  EXPECT_EQ(full.cells[2], 0);
  EXPECT_TRUE(full.GuardsIntact());

  Guarded<wchar> one(1);
  one.cells[0] = 0;
  kis::StrCatW(one.data(), 1, u"abc");
  EXPECT_EQ(one.cells[0], 0);
  EXPECT_TRUE(one.GuardsIntact());

  Guarded<wchar> n(10);
  kis::StrCopyW(n.data(), 10, u"a");
  kis::StrCatNW(n.data(), 10, u"bcdef", 2);
  EXPECT_EQ(std::u16string(n.data()), u"abc");
}

TEST(Strings, DuplicatesFollowTheEmptyRule) {
  EXPECT_EQ(kis::StrDupW(nullptr), nullptr);
  EXPECT_EQ(kis::StrDupW(u""), nullptr);
  wchar* empty = kis::StrDupW(nullptr, true);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty[0], 0);
  kis::StrFree(empty);

  char* part = kis::StrDupNA("abcdef", 3);
  EXPECT_STREQ(part, "abc");
  kis::StrFree(part);
  EXPECT_EQ(kis::StrDupNA("abc", 0), nullptr);
  wchar* all = kis::StrDupNW(u"ab", 10);
  EXPECT_EQ(std::u16string(all), u"ab");
  kis::StrFree(all);
}

TEST(Strings, ComparisonsTreatNullAsEmpty) {
  EXPECT_EQ(kis::StrCompareW(nullptr, u""), 0);
  EXPECT_EQ(kis::StrCompareW(u"", nullptr), 0);
  EXPECT_EQ(kis::StrCompareW(nullptr, nullptr), 0);
  EXPECT_EQ(kis::StrCompareW(nullptr, u"a"), -1);
  EXPECT_EQ(kis::StrCompareW(u"a", nullptr), 1);
  EXPECT_LT(kis::StrCompareW(u"ab", u"b"), 0);
  EXPECT_GT(kis::StrCompareW(u"abc", u"ab"), 0);
  // Ordinal over unsigned codes: Cyrillic sorts after Latin, in both widths.
  EXPECT_GT(kis::StrCompareW(u"\u0436", u"z"), 0);
  EXPECT_GT(kis::StrCompareA("\xC3\xA9", "z"), 0);

  EXPECT_EQ(kis::StrICompareW(u"KEY", u"key"), 0);
  EXPECT_EQ(kis::StrICompareA("Wheat_1", "wHEAT_1"), 0);
  EXPECT_EQ(kis::StrICompareA(nullptr, "x"), -1);
  // Only A-Z fold: Cyrillic capitals stay distinct from their small letters.
  EXPECT_NE(kis::StrICompareW(u"\u0416", u"\u0436"), 0);
  // Folding goes to small letters, so "_" sorts before letters.
  EXPECT_LT(kis::StrICompareA("_", "A"), 0);

  EXPECT_EQ(kis::StrICompareNW(u"abcX", u"ABCy", 3), 0);
  EXPECT_NE(kis::StrICompareNW(u"abcX", u"ABCy", 4), 0);
  EXPECT_EQ(kis::StrICompareNA("a", "b", 0), 0);
  EXPECT_EQ(kis::StrICompareNA("ab", "ab", 10), 0);
}

TEST(Strings, FindsStopAtBoundsAndTerminator) {
  EXPECT_EQ(kis::StrFindCharW(u"abcb", u'b'), 1);
  EXPECT_EQ(kis::StrFindCharW(nullptr, u'b'), -1);
  EXPECT_EQ(kis::StrFindCharA("abc", 'z'), -1);
  EXPECT_EQ(kis::StrFindCharNW(u"abc", 2, u'c'), -1);
  EXPECT_EQ(kis::StrFindCharNW(u"abc", 3, u'c'), 2);
  EXPECT_EQ(kis::StrFindCharNW(u"abc", 0, u'a'), -1);
  // A count larger than the text stops at the terminator.
  const wchar text[6] = {u'a', 0, u'q', u'q', u'q', u'q'};
  EXPECT_EQ(kis::StrFindCharNW(text, 6, u'q'), -1);

  const char* s = "hello";
  EXPECT_EQ(kis::StrScanCharA(s, 5, 'l'), s + 2);
  EXPECT_EQ(kis::StrScanCharA(s, 2, 'l'), nullptr);
  EXPECT_EQ(kis::StrScanCharW(nullptr, 5, u'l'), nullptr);

  EXPECT_EQ(kis::StrFindW(u"a\r\nb\r\n", u"\r\n", 2), 1);
  EXPECT_EQ(kis::StrFindW(u"abc", u"cd", 2), -1);
  EXPECT_EQ(kis::StrFindW(u"abab", u"bab", 3), 1);
  EXPECT_LT(kis::StrFindW(nullptr, u"a", 1), 0);
}

}  // namespace
