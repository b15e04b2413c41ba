#include <gtest/gtest.h>

#include <climits>
#include <set>

#include "FontTestUtil.h"

namespace {

using fonttest::InkBounds;
using fonttest::Request;
using fonttest::TestResolver;

// Draws every character of a range the way the game's glyph builder lays them
// into cells: cell width max(ink + 2, advance), pen at cell x + 1 - ink origin,
// top of the cell at the cell's top. Each glyph's ink must be exactly the box
// the font reported and lie inside its cell's width. Letters and digits lie
// inside its height too; marks that reach the font's full ascent or descent
// (accented capitals, '|', '_') may pass the rounded line metrics by a pixel
// or two after hinting, as with any font that has no device-metrics table,
// and the builder's clip to the cell cuts them there.
void ExpectInkInsideCells(plat::Font& font, char16_t first, char16_t last) {
  plat::FontMetrics m;
  ASSERT_TRUE(font.GetMetrics(m));
  plat::FontCanvas canvas;
  const int margin = 2 * m.emHeight;
  for (char16_t c = first; c <= last; ++c) {
    plat::GlyphBox box;
    ASSERT_TRUE(font.GetGlyphBox(c, box));
    const int cellWidth = std::max(box.blackBoxX + 2, box.advance);
    ASSERT_TRUE(canvas.Create(cellWidth + 2 * margin, m.height + 2 * margin));
    const int cellX = margin;
    const int cellY = margin;
    ASSERT_TRUE(font.DrawChar(canvas, cellX + 1 - box.originX, cellY, nullptr, c, 0xFFFFFF));
    plat::FontRect ink;
    if (!InkBounds(canvas, ink)) {
      EXPECT_EQ(box.blackBoxX, 1) << int(c);  // no ink: the one-pixel box
      continue;
    }
    EXPECT_GE(ink.left, cellX) << int(c);
    EXPECT_LE(ink.right, cellX + cellWidth) << int(c);
    if ((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')) {
      EXPECT_GE(ink.top, cellY) << int(c);
      EXPECT_LE(ink.bottom, cellY + m.height) << int(c);
    } else {
      EXPECT_GE(ink.top, cellY - 2) << int(c);
      EXPECT_LE(ink.bottom, cellY + m.height + 2) << int(c);
    }
    EXPECT_EQ(ink.left, cellX + 1) << int(c);
    EXPECT_EQ(ink.right - ink.left, box.blackBoxX) << int(c);
    EXPECT_EQ(ink.top, cellY + m.ascent - box.originY) << int(c);
    EXPECT_EQ(ink.bottom - ink.top, box.blackBoxY) << int(c);
  }
}

TEST(FontDraw, EveryGlyphsInkLiesInsideItsCell) {
  const plat::FontResolver r = TestResolver();
  struct Case {
    const char16_t* face;
    int height;
    int weight;
    bool italic;
    uint8_t quality;
  };
  for (const Case& k : {Case{u"Arial", -16, 0, false, 0}, Case{u"Arial", -16, 700, false, 0},
                        Case{u"Arial", -13, 400, false, 3}, Case{u"DejaVu Sans", -24, 700, true, 0},
                        Case{u"Arial", -11, 400, true, 3}}) {
    plat::Font font;
    ASSERT_TRUE(font.Create(Request(k.face, k.height, k.weight, k.italic, k.quality), r));
    SCOPED_TRACE(font.Family() + " " + std::to_string(k.height) + " " + std::to_string(k.weight));
    ExpectInkInsideCells(font, 0x21, 0x7E);
    ExpectInkInsideCells(font, 0xA1, 0xFF);
  }
}

// The set of distinct red values of the ink drawn for `text`.
std::set<uint32_t> Coverages(plat::Font& font, const std::u16string& text) {
  plat::FontCanvas canvas;
  EXPECT_TRUE(canvas.Create(64 * static_cast<int>(text.size()), 64));
  int x = 4;
  for (char16_t c : text) {
    int w = 0;
    EXPECT_TRUE(font.DrawChar(canvas, x, 4, nullptr, c, 0xFFFFFF));
    EXPECT_TRUE(font.GetCharWidth(c, w));
    x += w;
  }
  std::set<uint32_t> values;
  for (uint32_t p : canvas.Pixels()) values.insert((p >> 16) & 0xFF);
  return values;
}

TEST(FontDraw, QualityThreeIsMonochromeAndOtherQualitiesAreGrey) {
  const plat::FontResolver r = TestResolver();
  for (uint8_t quality : {0, 1, 2, 4, 5}) {
    plat::Font grey;
    ASSERT_TRUE(grey.Create(Request(u"Arial", -20, 0, false, quality), r));
    EXPECT_FALSE(grey.Monochrome());
    EXPECT_GT(Coverages(grey, u"AaWg0").size(), 8u) << int(quality);
  }
  plat::Font mono;
  ASSERT_TRUE(mono.Create(Request(u"Arial", -20, 0, false, plat::kFontQualityNonAntialiased), r));
  EXPECT_TRUE(mono.Monochrome());
  EXPECT_EQ(Coverages(mono, u"AaWg0"), (std::set<uint32_t>{0, 255}));
}

TEST(FontDraw, CoverageBlendsTowardsTheInkAndIntoAlpha) {
  const plat::FontResolver r = TestResolver();
  plat::Font font;
  ASSERT_TRUE(font.Create(Request(u"Arial", -24), r));
  plat::FontCanvas canvas;
  ASSERT_TRUE(canvas.Create(40, 40));
  // White on black: grey and alpha both carry the coverage.
  ASSERT_TRUE(font.DrawChar(canvas, 4, 4, nullptr, u'O', 0xFFFFFF));
  bool partial = false;
  for (uint32_t p : canvas.Pixels()) {
    const uint32_t a = p >> 24, red = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    EXPECT_EQ(red, a);
    EXPECT_EQ(g, a);
    EXPECT_EQ(b, a);
    partial |= a > 0 && a < 255;
  }
  EXPECT_TRUE(partial);
  // Red ink (the colour the game's builder draws with) leaves green and blue
  // alone; the red byte is the coverage.
  canvas.Clear();
  ASSERT_TRUE(font.DrawChar(canvas, 4, 4, nullptr, u'O', 0xFF0000));
  for (uint32_t p : canvas.Pixels()) {
    EXPECT_EQ(p & 0xFFFF, 0u);
    EXPECT_EQ((p >> 16) & 0xFF, p >> 24);
  }
  // Ink over ink saturates instead of wrapping.
  ASSERT_TRUE(font.DrawChar(canvas, 4, 4, nullptr, u'O', 0xFF0000));
  for (uint32_t p : canvas.Pixels()) EXPECT_LE(p >> 24, 255u);
}

TEST(FontDraw, ClipAndBackgroundFill) {
  const plat::FontResolver r = TestResolver();
  plat::Font font;
  ASSERT_TRUE(font.Create(Request(u"Arial", -24), r));
  plat::FontMetrics m;
  ASSERT_TRUE(font.GetMetrics(m));
  int w = 0;
  ASSERT_TRUE(font.GetCharWidth(u'W', w));

  // Clipped to the left half of the cell: nothing right of it, the rest filled.
  plat::FontCanvas canvas;
  ASSERT_TRUE(canvas.Create(60, 60));
  canvas.Clear(0xFF00FF00);
  const plat::FontRect clip{10, 10, 10 + w / 2, 10 + m.height};
  ASSERT_TRUE(font.DrawChar(canvas, 10, 10, &clip, u'W', 0xFFFFFF, 0x000080, true));
  bool inked = false;
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 60; ++x) {
      const uint32_t p = canvas.Pixel(x, y);
      const bool inside = x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
      if (!inside) {
        EXPECT_EQ(p, 0xFF00FF00u) << x << "," << y;
      } else {
        EXPECT_EQ((p >> 8) & 0xFF, (p >> 16) & 0xFF);  // the green is gone
        inked |= (p >> 24) != 0;
      }
    }
  }
  EXPECT_TRUE(inked);

  // Without a clip the fill covers the character cell: advance by line height.
  canvas.Clear(0xFF00FF00);
  ASSERT_TRUE(font.DrawChar(canvas, 5, 7, nullptr, u' ', 0xFFFFFF, 0x102030, true));
  int space = 0;
  ASSERT_TRUE(font.GetCharWidth(u' ', space));
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 60; ++x) {
      const bool inCell = x >= 5 && x < 5 + space && y >= 7 && y < 7 + m.height;
      EXPECT_EQ(canvas.Pixel(x, y), inCell ? 0x00102030u : 0xFF00FF00u) << x << "," << y;
    }
  }

  // Far outside the canvas (and at the ends of the int range) nothing is drawn.
  canvas.Clear();
  EXPECT_TRUE(font.DrawChar(canvas, INT_MAX - 3, INT_MAX - 3, nullptr, u'W', 0xFFFFFF, 0xFFFFFF, true));
  EXPECT_TRUE(font.DrawChar(canvas, INT_MIN, INT_MIN, nullptr, u'W', 0xFFFFFF, 0xFFFFFF, true));
  const plat::FontRect outside{100, 100, 200, 200};
  EXPECT_TRUE(font.DrawChar(canvas, 0, 0, &outside, u'W', 0xFFFFFF, 0xFFFFFF, true));
  for (uint32_t p : canvas.Pixels()) EXPECT_EQ(p, 0u);
}

TEST(FontDraw, UnderlineAndStrikeOutSpanTheAdvance) {
  const plat::FontResolver r = TestResolver();
  plat::FontRequest request = Request(u"Arial", -32);
  request.underline = true;
  plat::Font under;
  ASSERT_TRUE(under.Create(request, r));
  request.underline = false;
  request.strikeOut = true;
  plat::Font strike;
  ASSERT_TRUE(strike.Create(request, r));
  plat::FontMetrics m;
  ASSERT_TRUE(under.GetMetrics(m));
  int space = 0;
  ASSERT_TRUE(under.GetCharWidth(u' ', space));

  // A space shows only the stroke: full rows across the advance.
  auto strokeRows = [&](plat::Font& font, int& first, int& last) {
    plat::FontCanvas canvas;
    ASSERT_TRUE(canvas.Create(40, 60));
    ASSERT_TRUE(font.DrawChar(canvas, 0, 0, nullptr, u' ', 0xFFFFFF));
    first = -1;
    last = -1;
    for (int y = 0; y < 60; ++y) {
      int inked = 0;
      for (int x = 0; x < 40; ++x) inked += canvas.Pixel(x, y) == 0xFFFFFFFFu;
      if (inked == 0) continue;
      EXPECT_EQ(inked, space) << y;
      if (first < 0) first = y;
      last = y;
    }
  };
  int first = 0, last = 0;
  strokeRows(under, first, last);
  EXPECT_GT(first, m.ascent - 1);  // below the base line
  EXPECT_LT(last, m.height);
  strokeRows(strike, first, last);
  EXPECT_LT(last, m.ascent);  // above the base line
  EXPECT_GT(first, 0);
}

TEST(FontDraw, RealBoldFaceIsPickedAndMissingBoldIsSynthesised) {
  const plat::FontResolver r = TestResolver();
  plat::Font regular, bold, dejaVu, dejaVuBold, italic;
  ASSERT_TRUE(regular.Create(Request(u"Arial", -32), r));
  ASSERT_TRUE(bold.Create(Request(u"Arial", -32, 700), r));
  EXPECT_NE(bold.FilePath().find("LiberationSans-Bold.ttf"), std::string::npos);
  EXPECT_FALSE(bold.SynthesisedBold());
  EXPECT_FALSE(regular.SynthesisedBold());

  ASSERT_TRUE(dejaVu.Create(Request(u"DejaVu Sans", -32), r));
  ASSERT_TRUE(dejaVuBold.Create(Request(u"DejaVu Sans", -32, 700), r));
  EXPECT_EQ(dejaVuBold.FilePath(), dejaVu.FilePath());
  EXPECT_TRUE(dejaVuBold.SynthesisedBold());
  EXPECT_FALSE(dejaVuBold.SynthesisedItalic());
  // Emboldening at 32 pixels widens strokes and advances by one pixel.
  for (char16_t c : std::u16string(u"lIW")) {
    plat::GlyphBox a, b;
    ASSERT_TRUE(dejaVu.GetGlyphBox(c, a));
    ASSERT_TRUE(dejaVuBold.GetGlyphBox(c, b));
    EXPECT_EQ(b.advance, a.advance + 1) << char(c);
    EXPECT_GT(b.blackBoxX, a.blackBoxX) << char(c);
    EXPECT_EQ(b.originX, a.originX) << char(c);
  }

  // No italic face is shipped: the upright face is slanted, ink leaning right.
  ASSERT_TRUE(italic.Create(Request(u"Arial", -32, 0, true), r));
  EXPECT_TRUE(italic.SynthesisedItalic());
  EXPECT_FALSE(italic.SynthesisedBold());
  plat::GlyphBox up, slanted;
  ASSERT_TRUE(regular.GetGlyphBox(u'l', up));
  ASSERT_TRUE(italic.GetGlyphBox(u'l', slanted));
  EXPECT_EQ(slanted.advance, up.advance);
  EXPECT_GE(slanted.blackBoxX, up.blackBoxX + 4);
}

TEST(FontDraw, CanvasRefusesSizesBeyondItsLimits) {
  plat::FontCanvas canvas;
  EXPECT_FALSE(canvas.Create(0, 10));
  EXPECT_FALSE(canvas.Create(10, -1));
  EXPECT_FALSE(canvas.Create(plat::FontCanvas::kMaxSide + 1, 1));
  EXPECT_FALSE(canvas.Create(plat::FontCanvas::kMaxSide, plat::FontCanvas::kMaxSide));
  EXPECT_TRUE(canvas.Empty());
  ASSERT_TRUE(canvas.Create(3, 2));
  EXPECT_EQ(canvas.Pixels().size(), 6u);
  EXPECT_EQ(canvas.Pixel(3, 0), 0u);
  canvas.Fill({-5, -5, 2, 1}, 7);
  EXPECT_EQ(canvas.Pixels(), (std::vector<uint32_t>{7, 7, 0, 0, 0, 0}));
}

}  // namespace
