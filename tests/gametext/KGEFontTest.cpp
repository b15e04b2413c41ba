#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "KgeTestSupport.h"
#include "gametext/KGEFont.h"
#include "gametext/KGEPenWalk.h"
#include "gametext/TextServices.h"
#include "platform/encoding/CodePage.h"

using kgetest::HandFont;

namespace {

KGESIZE Measure(const KGEFont& font, const std::u16string& text, u32 length = KGEFont::kWholeText) {
  KGESIZE s{-1, -1};
  font.MeasureText(&s, text.c_str(), length);
  return s;
}

// --- Glyph sets -------------------------------------------------------------------

TEST(KgeGlyphSet, SpacesAndControlsGetNoGlyphAndTheCapIsFourThousand) {
  HandFont font;
  ASSERT_EQ(font.InitCharset(0, 3), KGE_S_OK);
  ASSERT_EQ(font.SetGlyphChars(u"A B"), KGE_S_OK);
  EXPECT_EQ(font.GetGlyphCount(), 2u);
  EXPECT_EQ(font.GetGlyphs()[0].code, u'A');
  EXPECT_EQ(font.GetGlyphs()[1].code, u'B');

  std::u16string many(5000, u'x');
  for (size_t i = 0; i < many.size(); ++i) many[i] = static_cast<char16_t>(0x100 + i);
  ASSERT_EQ(font.InitCharset(0, 5000), KGE_S_OK);
  ASSERT_EQ(font.SetGlyphChars(many.c_str()), KGE_S_OK);
  EXPECT_EQ(font.GetGlyphCount(), 4096u);
  font.BuildIndex();
  EXPECT_NE(font.FindGlyph(static_cast<char16_t>(0x100 + 4095)), nullptr);
  EXPECT_EQ(font.FindGlyph(static_cast<char16_t>(0x100 + 4096)), nullptr);

  ASSERT_EQ(font.InitCharset(0, 2), KGE_S_OK);
  EXPECT_EQ(font.SetGlyphChars(nullptr), KGE_E_NOCHARS);
  ASSERT_EQ(font.InitCharset(0, 0), KGE_S_OK);
  EXPECT_EQ(font.SetGlyphChars(nullptr), KGE_S_OK);
}

TEST(KgeGlyphSet, IndexDropsNegativeAdvancesAndFindsTheDefaultGlyph) {
  HandFont font;
  font.Make(u"AB?", {10, -5, 7}, 20, 18);
  EXPECT_EQ(font.GetGlyphs()[1].advance, 0);
  EXPECT_EQ(font.GetGlyphs()[2].index, 2);
  EXPECT_EQ(font.GetDefaultGlyph(), nullptr);
  font.SetDefault(u'?');
  ASSERT_NE(font.GetDefaultGlyph(), nullptr);
  EXPECT_EQ(font.GetDefaultGlyph()->code, u'?');
  // An unknown character takes the default glyph in the walk.
  EXPECT_EQ(Measure(font, u"Z").cx, 7);
  font.SetDefault(u'Q');
  EXPECT_EQ(Measure(font, u"Z").cx, 0);
}

TEST(KgeGlyphSet, CharacterSetsChooseTheByteTable) {
  HandFont font;
  ASSERT_EQ(font.InitCharset(204, 1), KGE_S_OK);  // Cyrillic
  EXPECT_EQ(font.GetCodePage(), 1251u);
  const u8 bytes[] = {0xC0};
  ASSERT_EQ(font.SetGlyphBytes(bytes), KGE_S_OK);
  ASSERT_EQ(font.GetGlyphCount(), 1u);
  EXPECT_EQ(font.GetGlyphs()[0].code, 0x0410);  // capital A of the Cyrillic page
  font.BuildIndex();
  EXPECT_EQ(font.GetByteIndex()[0xC0], 0);
  EXPECT_EQ(font.GetByteIndex()[0x41], KGEFont::kNoGlyph);

  // 1 finds the ANSI page but stays 1; an unknown set becomes the ANSI one.
  ASSERT_EQ(font.InitCharset(1, 0), KGE_S_OK);
  EXPECT_EQ(font.GetCharset(), 1u);
  EXPECT_EQ(font.GetCodePage(), 1252u);
  ASSERT_EQ(font.InitCharset(99, 0), KGE_S_OK);
  EXPECT_EQ(font.GetCharset(), 0u);
  EXPECT_EQ(font.GetCodePage(), 1252u);
  ASSERT_EQ(font.InitCharset(0x80000000u, 0), KGE_S_OK);
  EXPECT_EQ(font.GetCharset(), 0u);
  plat::SetAnsiCodePage(1250);
  ASSERT_EQ(font.InitCharset(1, 0), KGE_S_OK);
  EXPECT_EQ(font.GetCodePage(), 1250u);
  EXPECT_EQ(font.GetCharset(), 1u);
  plat::SetAnsiCodePage(0);
}

TEST(KgeGlyphSet, MetricsTakeTheirDefaults) {
  HandFont font;
  font.Make(u"A", {5}, 20, 18);
  font.SetMetrics(KGEFont::kDefaultValue, KGEFont::kDefaultValue, -4, u'A');
  EXPECT_EQ(font.GetHeight(), 20);
  EXPECT_EQ(font.GetAscent(), 20);
  EXPECT_EQ(font.GetDescent(), 0);
  EXPECT_EQ(font.GetSpace(), 0);
  font.SetMetrics(-3, 15, 4, 0);
  EXPECT_EQ(font.GetHeight(), 0);
  EXPECT_EQ(font.GetDescent(), -15);
  font.SetMetrics(18, 14, 4, 0);
  EXPECT_EQ(font.GetDescent(), 4);
}

// --- Kerning ------------------------------------------------------------------------

TEST(KgeKerning, PairsAreGroupedByFirstGlyphAndUnknownCharactersDropped) {
  HandFont font;
  font.Make(u"ABC", {10, 10, 10}, 20, 18);
  const KGEKERNENTRY pairs[] = {{u'B', u'A', -2}, {u'A', u'C', -3}, {u'A', u'Z', -4},
                                {u'A', u'B', 0},  {u'B', u'C', 1},  {u'Q', u'A', 5}};
  ASSERT_EQ(font.SetKerningPairs(pairs, 6, false), KGE_S_OK);
  EXPECT_EQ(font.GetKerningCount(), 4u);
  const KGEGLYPH* a = font.FindGlyph(u'A');
  const KGEGLYPH* b = font.FindGlyph(u'B');
  const KGEGLYPH* c = font.FindGlyph(u'C');
  EXPECT_EQ(a->kernStart, 0u);
  EXPECT_EQ(a->kernCount, 2u);
  EXPECT_EQ(b->kernStart, 2u);
  EXPECT_EQ(b->kernCount, 2u);
  ASSERT_NE(font.FindKerning(a, c), nullptr);
  EXPECT_EQ(font.FindKerning(a, c)->amount, -3);
  EXPECT_EQ(font.FindKerning(b, a)->amount, -2);
  EXPECT_EQ(font.FindKerning(c, a), nullptr);

  // Pairs from the system font keep only amounts.
  ASSERT_EQ(font.SetKerningPairs(pairs, 6, true), KGE_S_OK);
  EXPECT_EQ(font.GetKerningCount(), 3u);
  EXPECT_EQ(font.FindKerning(a, b), nullptr);
}

TEST(KgeKerning, MorePairsThanGlyphSquaredFailAndLeaveNone) {
  HandFont font;
  font.Make(u"AB", {10, 10}, 20, 18);
  const KGEKERNENTRY pairs[] = {{u'A', u'B', -1}, {u'A', u'B', -1}, {u'A', u'A', -1}, {u'B', u'B', -1},
                                {u'B', u'A', -1}};
  EXPECT_EQ(font.SetKerningPairs(pairs, 4, false), KGE_S_OK);
  EXPECT_EQ(font.SetKerningPairs(pairs, 5, false), KGE_E_TOOMANYKERNPAIRS);
  EXPECT_EQ(font.GetKerningCount(), 0u);
  EXPECT_EQ(font.FindGlyph(u'A')->kernCount, 0u);
  EXPECT_EQ(font.SetKerningPairs(nullptr, 1, false), KGE_E_TOOMANYKERNPAIRS);
}

TEST(KgeKerning, KerningMovesTheGlyphButNeverLeftOfThePreviousStart) {
  HandFont font;
  font.Make(u"AVW", {10, 10, 10}, 20, 18);
  font.SetMetrics(18, 14, 6, 0);
  const KGEKERNENTRY pairs[] = {{u'A', u'V', -3}, {u'A', u'W', -50}};
  ASSERT_EQ(font.SetKerningPairs(pairs, 2, false), KGE_S_OK);
  EXPECT_EQ(Measure(font, u"AV").cx, 17);
  EXPECT_EQ(Measure(font, u"AW").cx, 10);  // W starts where A started
  // Only neighbours kern: a space between them ends the pair.
  EXPECT_EQ(Measure(font, u"A V").cx, 26);
  // The pen never moves back, so what follows starts after the A.
  EXPECT_EQ(Measure(font, u"AWV").cx, 20);
}

// --- Measuring ------------------------------------------------------------------------

TEST(KgeMeasure, TrackingFollowsEveryGlyphButTheLastDoesNotCount) {
  HandFont font;
  font.Make(u"ab", {10, 12}, 20, 18);
  font.SetStyle(1, 0, 0xFFFFFFFFu);
  const KGESIZE s = Measure(font, u"ab");
  EXPECT_EQ(s.cx, 23);
  EXPECT_EQ(s.cy, 20);
  EXPECT_EQ(Measure(font, u"").cx, 0);
  KGESIZE n{7, 7};
  font.MeasureText(&n, nullptr, 5);
  EXPECT_EQ(n.cx, 0);
  EXPECT_EQ(n.cy, 0);
  EXPECT_EQ(Measure(font, u"ab", 0).cx, 0);
  EXPECT_EQ(Measure(font, u"ab", 1).cx, 10);
}

TEST(KgeMeasure, SpacesAtTheEndCountWithoutTheirTracking) {
  HandFont font;
  font.Make(u"a", {10}, 20, 18);
  font.SetMetrics(18, 14, 5, 0);
  font.SetStyle(2, 0, 0xFFFFFFFFu);
  EXPECT_EQ(Measure(font, u"a ").cx, 17);   // 10 + 2 + 5
  EXPECT_EQ(Measure(font, u"a  ").cx, 24);  // one more space with its tracking
  EXPECT_EQ(Measure(font, u" ").cx, 5);
}

TEST(KgeMeasure, LineBreaksAddLineHeightAndLeading) {
  HandFont font;
  font.Make(u"ab", {10, 12}, 20, 18);
  font.SetStyle(0, 3, 0xFFFFFFFFu);
  EXPECT_EQ(Measure(font, u"a\n").cy, 18 + 3 + 20);
  EXPECT_EQ(Measure(font, u"a\nbb").cx, 24);
  EXPECT_EQ(Measure(font, u"a\nbb").cy, 41);
  KGESIZE s = Measure(font, u"\n\r\n\n");
  EXPECT_EQ(s.cx, 0);
  EXPECT_EQ(s.cy, 0);
  // A leading that would move lines up leaves them in place.
  font.SetStyle(0, -40, 0xFFFFFFFFu);
  EXPECT_EQ(Measure(font, u"a\nb").cy, 20);
}

TEST(KgeMeasure, PairsOfCarriageReturnAndLineFeedBreakOnce) {
  HandFont font;
  font.Make(u"a", {10}, 20, 18);
  auto lines = [&](const std::u16string& t) { return (Measure(font, t).cy - 20) / 18 + 1; };
  EXPECT_EQ(lines(u"a\r\na"), 2);
  EXPECT_EQ(lines(u"a\n\ra"), 2);
  EXPECT_EQ(lines(u"a\r\ra"), 3);
  EXPECT_EQ(lines(u"a\n\na"), 3);
  EXPECT_EQ(lines(u"a\r\n\r\na"), 3);
  EXPECT_EQ(lines(u"a\r\n\na"), 3);
}

TEST(KgeMeasure, LengthsAreCutAtEightThousandOneHundredNinetyTwo) {
  HandFont font;
  font.Make(u"a", {1}, 20, 18);
  const std::u16string text(10000, u'a');
  EXPECT_EQ(Measure(font, text, 10000).cx, 8192);
  EXPECT_EQ(Measure(font, text).cx, 8192);
  // With a count, a 0 code unit is a character like any other.
  const std::u16string zeros(u"a\0a", 3);
  EXPECT_EQ(Measure(font, zeros, 3).cx, 2);
  EXPECT_EQ(Measure(font, zeros).cx, 1);
}

TEST(KgeMeasure, HugeAdvancesDoNotWrap) {
  HandFont font;
  font.Make(u"ab", {INT_MAX - 5, INT_MAX - 5}, 20, 18);
  font.SetStyle(INT_MAX, 0, 0xFFFFFFFFu);
  EXPECT_EQ(Measure(font, u"ab").cx, INT_MAX);
  EXPECT_EQ(font.GetCharIndexAt(INT_MAX, u"ab", KGEFont::kWholeText), 1);
}

TEST(KgeMeasure, AWalkOverNoFontFindsNothing) {
  KGEPenWalk<wchar> walk(nullptr);
  EXPECT_EQ(walk.Classify(u'A'), KGEPenWalk<wchar>::kIgnored);
  walk.PlaceGlyph();
  walk.Space();
  i64 y = 0;
  walk.EndLine(y);
  EXPECT_EQ(y, 0);
  EXPECT_EQ(walk.Right(), 0);
  HandFont empty;
  EXPECT_EQ(Measure(empty, u"abc").cx, 0);
  EXPECT_EQ(empty.GetCharIndexAt(5, u"abc", KGEFont::kWholeText), 3);
}

TEST(KgeMeasure, ByteWalkUsesTheByteIndex) {
  HandFont font;
  font.Make(u"\u0410", {9}, 20, 18);
  KGEPenWalk<u8> walk(&font);
  EXPECT_EQ(walk.Classify(0x41), KGEPenWalk<u8>::kIgnored);
  ASSERT_EQ(font.InitCharset(204, 1), KGE_S_OK);
  const u8 bytes[] = {0xC0};
  ASSERT_EQ(font.SetGlyphBytes(bytes), KGE_S_OK);
  font.BuildIndex();
  KGEPenWalk<u8> cyr(&font);
  ASSERT_EQ(cyr.Classify(0xC0), KGEPenWalk<u8>::kGlyph);
  EXPECT_EQ(cyr.Glyph()->code, 0x0410);
}

// --- Caret --------------------------------------------------------------------------

TEST(KgeCaret, HalfOfTheAdvanceDecides) {
  HandFont font;
  font.Make(u"ab", {10, 12}, 20, 18);
  font.SetMetrics(18, 14, 6, 0);
  const wchar* t = u"ab a\nbbbbbbbb";
  EXPECT_EQ(font.GetCharIndexAt(4, t, KGEFont::kWholeText), 0);
  EXPECT_EQ(font.GetCharIndexAt(5, t, KGEFont::kWholeText), 1);
  EXPECT_EQ(font.GetCharIndexAt(10, t, KGEFont::kWholeText), 1);
  EXPECT_EQ(font.GetCharIndexAt(16, t, KGEFont::kWholeText), 2);  // b: 10..22, half at 16
  EXPECT_EQ(font.GetCharIndexAt(25, t, KGEFont::kWholeText), 3);  // space: 22..28, half at 25
  EXPECT_EQ(font.GetCharIndexAt(500, t, KGEFont::kWholeText), 4);
  EXPECT_EQ(font.GetCharIndexAt(500, t, 2), 2);
  EXPECT_EQ(font.GetCharIndexAt(-1, t, KGEFont::kWholeText), 0);
  EXPECT_EQ(font.GetCharIndexAt(3, nullptr, 4), 0);
  EXPECT_EQ(font.GetCharIndexAt(3, t, 0), 0);
}

TEST(KgeCaret, UnknownCharactersCountWithoutWidth) {
  HandFont font;
  font.Make(u"a", {10}, 20, 18);
  EXPECT_EQ(font.GetCharIndexAt(10, u"a#a", KGEFont::kWholeText), 1);
  EXPECT_EQ(font.GetCharIndexAt(11, u"a#a", KGEFont::kWholeText), 2);
  EXPECT_EQ(font.GetCharIndexAt(16, u"a#a", KGEFont::kWholeText), 3);
}

// --- Uses -------------------------------------------------------------------------

TEST(KgeUses, TheLastReleaseFreesTheQuads) {
  HandFont font;
  font.Make(u"ab", {10, 12}, 20, 18);
  ASSERT_EQ(font.Acquire(), KGE_S_OK);
  ASSERT_EQ(font.Acquire(), KGE_S_OK);
  EXPECT_TRUE(font.IsBuilt());
  EXPECT_NE(font.GetGlyphQuad(font.FindGlyph(u'a')), nullptr);
  font.Release(false);
  EXPECT_TRUE(font.IsBuilt());
  EXPECT_EQ(font.GetUseCount(), 1u);
  font.Release(false);
  EXPECT_FALSE(font.IsBuilt());
  EXPECT_EQ(font.GetGlyphQuad(font.FindGlyph(u'a')), nullptr);
  font.Release(false);  // nothing to give back
  EXPECT_EQ(font.GetUseCount(), 0u);

  ASSERT_EQ(font.Acquire(), KGE_S_OK);
  ASSERT_EQ(font.Acquire(), KGE_S_OK);
  font.Release(true);
  EXPECT_EQ(font.GetUseCount(), 0u);
  EXPECT_FALSE(font.IsBuilt());
}

TEST(KgeUses, AFontWithoutCellsCountsUsesButBuildsNothing) {
  HandFont font;
  ASSERT_EQ(font.InitCharset(0, 0), KGE_S_OK);
  ASSERT_EQ(font.Acquire(), KGE_S_OK);
  EXPECT_EQ(font.GetUseCount(), 1u);
  EXPECT_FALSE(font.IsBuilt());
}

// --- Out of memory -----------------------------------------------------------------

int g_outOfMemoryCalls = 0;
void CountOutOfMemory() { ++g_outOfMemoryCalls; }
bool FailLargeAllocations(size_t bytes) { return bytes >= 65536; }

TEST(KgeOutOfMemory, FailedAllocationsReportAndReturnTheCode) {
  g_outOfMemoryCalls = 0;
  GetTextServices().outOfMemory = &CountOutOfMemory;
  GetTextServices().allocationHook = &FailLargeAllocations;
  HandFont font;
  EXPECT_EQ(font.InitCharset(0, 3), KGE_E_OUTOFMEMORY);  // the code index is 128 KiB
  EXPECT_EQ(g_outOfMemoryCalls, 1);
  EXPECT_EQ(font.GetGlyphCount(), 0u);
  GetTextServices().allocationHook = nullptr;
  GetTextServices().outOfMemory = nullptr;
}

TEST(KgeOutOfMemoryDeathTest, TheDefaultShowsAMessageAndExitsWithThree) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(KGEOutOfMemory(), ::testing::ExitedWithCode(3), "Error: Out of memory!");
}

}  // namespace
