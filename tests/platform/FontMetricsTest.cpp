#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "FontTestUtil.h"
#include "testsupport/ByteBuilder.h"
#include "testsupport/FontTables.h"

namespace {

using fonttest::Request;
using fonttest::TestResolver;

using testsupport::ReadFontTables;

// round(a * b / c) for positive values, halves up.
long Scale(long a, long b, long c) { return (2 * a * b + c) / (2 * c); }

TEST(FontMetrics, PointSizesBecomeNegativeHeightsAtNinetySixDpi) {
  EXPECT_EQ(plat::FontHeightFromPoints(12), -16);
  EXPECT_EQ(plat::FontHeightFromPoints(9), -12);
  EXPECT_EQ(plat::FontHeightFromPoints(10), -13);  // 13.33
  EXPECT_EQ(plat::FontHeightFromPoints(11), -15);  // 14.67
  EXPECT_EQ(plat::FontHeightFromPoints(0), 0);
  EXPECT_EQ(plat::FontHeightFromPoints(-12), 16);
  EXPECT_EQ(plat::FontHeightFromPoints(INT_MAX), INT_MIN);  // clamped, not wrapped
}

TEST(FontMetrics, ArialAtTwelvePointsHasLiberationSansTableMetrics) {
  const plat::FontResolver r = TestResolver();
  plat::Font font;
  ASSERT_TRUE(font.Create(Request(u"Arial", plat::FontHeightFromPoints(12)), r));
  EXPECT_EQ(font.Family(), "Liberation Sans");
  const testsupport::FontTables t = ReadFontTables("LiberationSans-Regular.ttf");
  ASSERT_GT(t.unitsPerEm, 0);

  plat::FontMetrics m;
  ASSERT_TRUE(font.GetMetrics(m));
  EXPECT_EQ(m.emHeight, 16);
  EXPECT_EQ(m.ascent, Scale(t.winAscent, 16, t.unitsPerEm));
  EXPECT_EQ(m.descent, Scale(t.winDescent, 16, t.unitsPerEm));
  EXPECT_EQ(m.height, m.ascent + m.descent);
  EXPECT_EQ(m.internalLeading, m.height - 16);
  // 1854 and 434 of 2048 units at 16 pixels: 14.48 and 3.39.
  EXPECT_EQ(m.ascent, 14);
  EXPECT_EQ(m.descent, 3);
}

TEST(FontMetrics, PositiveHeightIsTheCellHeight) {
  const plat::FontResolver r = TestResolver();
  const testsupport::FontTables t = ReadFontTables("LiberationSans-Regular.ttf");
  for (int cell : {8, 20, 33, 100}) {
    plat::Font font;
    ASSERT_TRUE(font.Create(Request(u"Arial", cell), r));
    plat::FontMetrics m;
    ASSERT_TRUE(font.GetMetrics(m));
    const long em = Scale(cell, t.unitsPerEm, t.winAscent + t.winDescent);
    EXPECT_EQ(m.emHeight, em) << cell;
    EXPECT_EQ(m.ascent, Scale(t.winAscent, em, t.unitsPerEm)) << cell;
    EXPECT_EQ(m.descent, Scale(t.winDescent, em, t.unitsPerEm)) << cell;
    EXPECT_LE(std::abs(m.height - cell), 1) << cell;
  }
}

TEST(FontMetrics, SizesOutsideTheRangeFailWithoutWrapping) {
  const plat::FontResolver r = TestResolver();
  plat::Font font;
  EXPECT_TRUE(font.Create(Request(u"Arial", -plat::Font::kMaxEmHeight), r));
  EXPECT_FALSE(font.Create(Request(u"Arial", -plat::Font::kMaxEmHeight - 1), r));
  EXPECT_FALSE(font.Create(Request(u"Arial", INT_MIN), r));
  EXPECT_FALSE(font.IsValid());
  EXPECT_FALSE(font.Create(Request(u"Arial", INT_MAX), r));
  // The smallest cell height still makes a font of at least one pixel.
  ASSERT_TRUE(font.Create(Request(u"Arial", 1), r));
  plat::FontMetrics m;
  ASSERT_TRUE(font.GetMetrics(m));
  EXPECT_EQ(m.emHeight, 1);
  // Height 0 takes the default em height.
  ASSERT_TRUE(font.Create(Request(u"Arial", 0), r));
  ASSERT_TRUE(font.GetMetrics(m));
  EXPECT_EQ(m.emHeight, 12);
}

TEST(FontMetrics, WidthsAbcAndExtentAgree) {
  const plat::FontResolver r = TestResolver();
  plat::Font font;
  ASSERT_TRUE(font.Create(Request(u"Arial", -16), r));
  std::u16string text;
  int sum = 0;
  for (char16_t c = 32; c < 256; ++c) {
    if (c >= 0x7F && c < 0xA0) continue;
    int w = -1;
    plat::AbcWidth abc;
    plat::GlyphBox box;
    ASSERT_TRUE(font.GetCharWidth(c, w));
    ASSERT_TRUE(font.GetAbcWidths(c, abc));
    ASSERT_TRUE(font.GetGlyphBox(c, box));
    EXPECT_GE(w, 0);
    EXPECT_EQ(abc.a + abc.b + abc.c, w) << int(c);
    EXPECT_EQ(abc.b, box.blackBoxX);
    EXPECT_EQ(box.advance, w);
    text += c;
    sum += w;
  }
  int width = 0, height = 0;
  ASSERT_TRUE(font.GetTextExtent(text, width, height));
  EXPECT_EQ(width, sum);
  EXPECT_EQ(height, 17);
  // A space has no ink: a one-pixel box at the pen.
  plat::GlyphBox space;
  ASSERT_TRUE(font.GetGlyphBox(u' ', space));
  EXPECT_EQ(space.blackBoxX, 1);
  EXPECT_EQ(space.blackBoxY, 1);
  EXPECT_EQ(space.originX, 0);
  EXPECT_GT(space.advance, 0);
}

TEST(FontMetrics, CharactersWithoutAGlyphTakeTheMissingGlyph) {
  const plat::FontResolver r = TestResolver();
  plat::Font font;
  ASSERT_TRUE(font.Create(Request(u"Arial", -16), r));
  plat::GlyphBox a, b;
  ASSERT_TRUE(font.GetGlyphBox(0x4E00, a));  // a CJK ideograph Liberation Sans lacks
  ASSERT_TRUE(font.GetGlyphBox(0x4E01, b));
  EXPECT_EQ(a.advance, b.advance);
  EXPECT_EQ(a.blackBoxX, b.blackBoxX);
  EXPECT_GT(a.blackBoxX, 1);  // the missing-glyph box has ink
}

TEST(FontMetrics, NullAndFailedFontsFailEveryCall) {
  plat::Font never;
  plat::Font failed;
  plat::FontResolver none;
  none.SetUseSystemFonts(false);
  EXPECT_FALSE(failed.Create(Request(u"Arial", -16), none));
  const uint8_t junk[] = {0, 1, 0, 0, 0, 9, 9, 9, 9, 9, 9, 9};
  plat::Font junkFont;
  EXPECT_FALSE(junkFont.CreateFromMemory(junk, sizeof junk, Request(u"", -16)));
  EXPECT_FALSE(junkFont.CreateFromMemory(nullptr, 0, Request(u"", -16)));

  for (plat::Font* f : {&never, &failed, &junkFont}) {
    EXPECT_FALSE(f->IsValid());
    plat::FontMetrics m;
    m.height = 77;
    EXPECT_FALSE(f->GetMetrics(m));
    EXPECT_EQ(m.height, 77);
    int w = 55, h = 66;
    EXPECT_FALSE(f->GetCharWidth(u'A', w));
    EXPECT_EQ(w, 55);
    plat::AbcWidth abc;
    EXPECT_FALSE(f->GetAbcWidths(u'A', abc));
    plat::GlyphBox box;
    EXPECT_FALSE(f->GetGlyphBox(u'A', box));
    EXPECT_FALSE(f->GetTextExtent(u"AB", w, h));
    EXPECT_EQ(h, 66);
    std::vector<plat::KernPair> pairs{{u'x', u'y', 1}};
    EXPECT_FALSE(f->GetKerningPairs(pairs));
    plat::FontCanvas canvas;
    ASSERT_TRUE(canvas.Create(8, 8));
    EXPECT_FALSE(f->DrawChar(canvas, 0, 0, nullptr, u'A', 0xFFFFFF, 0x123456, true));
    for (uint32_t p : canvas.Pixels()) EXPECT_EQ(p, 0u);
    EXPECT_TRUE(f->Family().empty());
  }
}

TEST(FontMetrics, FontFromMemoryMatchesTheSameFileFromDisk) {
  std::vector<uint8_t> bytes = testsupport::ReadFileBytes(fonttest::FontDir() + "/DejaVuSans.ttf");
  ASSERT_FALSE(bytes.empty());

  plat::Font memory, disk;
  ASSERT_TRUE(memory.CreateFromMemory(bytes.data(), bytes.size(), Request(u"ignored", -20)));
  ASSERT_TRUE(disk.Create(Request(u"DejaVu Sans", -20), TestResolver()));
  bytes.assign(bytes.size(), 0);  // the font keeps its own copy
  EXPECT_TRUE(memory.FilePath().empty());
  plat::FontMetrics a, b;
  ASSERT_TRUE(memory.GetMetrics(a));
  ASSERT_TRUE(disk.GetMetrics(b));
  EXPECT_EQ(a.height, b.height);
  EXPECT_EQ(a.ascent, b.ascent);
  for (char16_t c : std::u16string(u"AVWgj@")) {
    plat::GlyphBox x, y;
    ASSERT_TRUE(memory.GetGlyphBox(c, x));
    ASSERT_TRUE(disk.GetGlyphBox(c, y));
    EXPECT_EQ(x.advance, y.advance);
    EXPECT_EQ(x.blackBoxX, y.blackBoxX);
    EXPECT_EQ(x.originY, y.originY);
  }
}

}  // namespace
