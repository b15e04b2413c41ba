#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "engine/image/GlyphEffects.h"

namespace {

constexpr u8 kTable[256] = {
    0,   15,  22,  26,  30,  30,  34,  36,  39,  42,  41,  44,  46,  48,  48,  50,  51,  50,  53,  55,  56,  57,
    58,  59,  60,  61,  62,  62,  63,  65,  65,  66,  67,  67,  68,  67,  69,  70,  70,  71,  72,  73,  74,  73,
    75,  76,  76,  76,  76,  77,  78,  79,  79,  79,  80,  81,  81,  82,  82,  83,  83,  84,  83,  84,  86,  86,
    86,  86,  87,  87,  88,  88,  89,  89,  89,  90,  90,  90,  91,  92,  91,  92,  92,  93,  93,  94,  93,  94,
    93,  95,  95,  96,  95,  96,  97,  97,  96,  97,  98,  98,  99,  98,  98,  99,  99,  100, 100, 100, 100, 101,
    101, 102, 101, 102, 102, 103, 102, 103, 103, 103, 103, 104, 104, 105, 105, 105, 105, 106, 106, 106, 106, 106,
    107, 107, 107, 108, 108, 108, 108, 109, 109, 109, 109, 109, 109, 109, 110, 110, 110, 110, 111, 111, 111, 111,
    111, 112, 111, 111, 112, 113, 113, 112, 113, 113, 114, 114, 114, 114, 114, 115, 115, 115, 115, 115, 115, 116,
    116, 115, 115, 116, 117, 117, 117, 117, 117, 118, 118, 118, 118, 118, 118, 118, 119, 119, 119, 119, 119, 120,
    120, 120, 120, 120, 120, 120, 120, 121, 121, 121, 121, 121, 121, 121, 122, 122, 121, 122, 122, 123, 123, 123,
    123, 123, 123, 123, 123, 124, 124, 124, 124, 124, 124, 124, 125, 125, 125, 125, 125, 125, 125, 125, 126, 126,
    126, 126, 126, 126, 126, 126, 127, 127, 127, 127, 127, 127, 127, 127,
};

// The contrast rule written out plainly.
u32 Contrast(u32 pixel, u32 colour, u32 s) {
  const int a = static_cast<int>(pixel >> 24);
  if (a == 0) return (colour & 0xFFFFFF) | (s << 24);
  if (a == 255) return pixel;
  const int t = kTable[s], u = 255 - t;
  const int f = a >= t ? u + t * (a - t) / u : u * a / t;
  u32 out = (s + (255 - s) * a / 255) << 24;
  for (int sh = 0; sh < 24; sh += 8) {
    const int sc = (colour >> sh) & 0xFF, c = (pixel >> sh) & 0xFF;
    out |= static_cast<u32>(sc + (c - sc) * f / 255) << sh;
  }
  return out;
}

// The outline without the neighbour shortcut: every strong pixel spreads its
// whole kernel.
void ReferenceOutline(int w, int h, std::vector<u32>& px, const DXLOUTLINE& o) {
  const i64 fifths = static_cast<i64>(static_cast<double>(o.radius) * 100000.0);
  i64 th = fifths / 100 + (fifths % 100 > 50 ? 1 : 0);
  const double R = th / 1000.0 + 1.0;
  const int K = 2 * static_cast<int>(std::ceil(R)) - 1;
  if (K >= 64) return;
  const int half = K / 2;
  const int ca = static_cast<int>(o.colour >> 24);
  const u32 strength = o.strength ? o.strength : 1;
  std::vector<int> cov(static_cast<size_t>(w) * h, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int a = static_cast<int>(px[y * w + x] >> 24);
      if (a < static_cast<int>(strength)) continue;
      for (int j = -half; j <= half; ++j)
        for (int i = -half; i <= half; ++i) {
          if (x + i < 0 || x + i >= w || y + j < 0 || y + j >= h) continue;
          const double e = R - std::sqrt(static_cast<double>(i * i + j * j));
          int full = 0, open = 0;
          if (e > 0) {
            open = static_cast<int>(ca * e);
            full = e >= 1 ? ca : open;
          }
          int v = a == 255 ? full : o.soft ? std::min(open * a / 255, ca) : std::clamp(ca * a / 255 - 255 + open, 0, ca);
          int& c = cov[(y + j) * w + (x + i)];
          c = std::max(c, v);
        }
    }
  for (size_t k = 0; k < px.size(); ++k)
    if (cov[k] > 0) px[k] = Contrast(px[k], o.colour, static_cast<u32>(cov[k]));
}

DXLOUTLINE Outline(float radius, u32 colour, u8 strength = 1, u32 soft = 0) {
  DXLOUTLINE o;
  DXLMakeOutline(&o, 1, radius, colour, strength, soft);
  return o;
}

TEST(GlyphOutline, Validity) {
  EXPECT_FALSE(DXLIsOutlineValid(nullptr));
  DXLOUTLINE o = Outline(2, 0xFF000000);
  EXPECT_TRUE(DXLIsOutlineValid(&o));
  o.mode = 0;
  EXPECT_FALSE(DXLIsOutlineValid(&o));
  o = Outline(32, 0xFF000000);
  EXPECT_TRUE(DXLIsOutlineValid(&o));
  o = Outline(32.5f, 0xFF000000);
  EXPECT_FALSE(DXLIsOutlineValid(&o));
  o = Outline(-0.5f, 0xFF000000);
  EXPECT_FALSE(DXLIsOutlineValid(&o));
}

TEST(GlyphOutline, RadiusThirtyTwoDrawsNothingAndRadiusZeroOnePixel) {
  std::vector<u32> px(9, 0);
  px[4] = 0xFFFFFFFF;
  auto copy = px;
  DXLDrawGlyphOutline(3, 3, -1, px.data(), Outline(32, 0xFFFF0000));
  EXPECT_EQ(px, copy);

  DXLDrawGlyphOutline(3, 3, -1, px.data(), Outline(0, 0xFFFF0000));
  EXPECT_EQ(px, copy);  // the kernel covers only the opaque pixel itself

  std::vector<u32> half(9, 0);
  half[4] = 0x80FFFFFF;
  DXLDrawGlyphOutline(3, 3, -1, half.data(), Outline(0, 0xFFFF0000, 100));
  EXPECT_EQ(half[4], 0xBFFFA4A4u);  // s = 128 mixed under alpha 128
  EXPECT_EQ(half[3], 0u);

  DXLDrawGlyphOutline(3, 3, -1, half.data(), Outline(1, 0xFFFF0000, 200));  // below the strength
  EXPECT_EQ(half[3], 0u);
}

TEST(GlyphOutline, RadiusOneReachesTheNeighbours) {
  std::vector<u32> px(25, 0);
  px[12] = 0xFFFFFFFF;
  DXLDrawGlyphOutline(5, 5, -1, px.data(), Outline(1, 0xFF0000FF));
  EXPECT_EQ(px[12], 0xFFFFFFFFu);
  EXPECT_EQ(px[7], 0xFF0000FFu);   // distance 1: e = 1, full
  EXPECT_EQ(px[6], 0x950000FFu);   // distance 1.414: trunc(255 * 0.586) = 149
  EXPECT_EQ(px[2], 0u);            // outside the 3 x 3 kernel
}

TEST(GlyphOutline, OptimisedEqualsBruteForceOnRandomGlyphs) {
  std::mt19937 rng(12345);
  const float radii[] = {0.0f, 0.4f, 1.0f, 1.3f, 2.5f, 3.0004f, 4.7f, 7.0f};
  for (int round = 0; round < 300; ++round) {
    const int w = 1 + static_cast<int>(rng() % 24), h = 1 + static_cast<int>(rng() % 20);
    std::vector<u32> px(static_cast<size_t>(w) * h);
    for (u32& p : px) {
      const u32 kind = rng() % 10;
      const u32 a = kind < 5 ? 0 : kind < 8 ? 255 : rng() % 256;
      p = (a << 24) | (rng() & 0xFFFFFF);
    }
    const u32 alphas[] = {255, 128, 3};
    const u8 strengths[] = {0, 1, 128, 255};
    const DXLOUTLINE o = Outline(radii[rng() % 8], (alphas[rng() % 3] << 24) | (rng() & 0xFFFFFF),
                                 strengths[rng() % 4], rng() % 2);
    auto expect = px;
    ReferenceOutline(w, h, expect, o);
    DXLDrawGlyphOutline(w, h, -1, px.data(), o);
    ASSERT_EQ(px, expect) << "round " << round << " " << w << "x" << h << " radius " << o.radius;
  }
}

TEST(GlyphOutline, PitchLeavesTheGapAlone) {
  std::vector<u32> px(8, 0x00ABCDEF);  // 2 x 2 image in rows of 4
  px[0] = 0xFF000000;
  DXLDrawGlyphOutline(2, 2, 4, px.data(), Outline(1, 0xFFFFFFFF));
  EXPECT_EQ(px[1], 0xFFFFFFFFu);
  EXPECT_EQ(px[2], 0x00ABCDEFu);
  EXPECT_EQ(px[3], 0x00ABCDEFu);
  EXPECT_EQ(px[4], 0xFFFFFFFFu);
}

TEST(GlyphShadow, ContrastRuleWorkedExample) {
  // Opaque source, target of alpha 128: halfway in colour, alpha 255.
  u32 px[2] = {0xFF000000, 0x80FFFFFF};
  DXLDrawGlyph(2, 1, -1, px, true, 1, 0, 0xFF000000);
  EXPECT_EQ(px[0], 0xFF000000u);
  EXPECT_EQ(px[1], 0xFF808080u);
  EXPECT_EQ(Contrast(0x80FFFFFF, 0xFF000000, 255), 0xFF808080u);
}

TEST(GlyphShadow, ReadsEverySourceBeforeWritingIt) {
  u32 right[4] = {0xFF112233, 0, 0, 0};
  DXLDrawGlyph(4, 1, -1, right, true, 1, 0, 0xFF445566);
  EXPECT_EQ(right[1], 0xFF445566u);
  EXPECT_EQ(right[2], 0u);  // no shadow of the shadow

  u32 up[4] = {0, 0, 0, 0x80112233};  // a 1 x 4 column, shadow upwards
  DXLDrawGlyph(1, 4, -1, up, true, 0, -1, 0x80445566);
  EXPECT_EQ(up[2], 0x40445566u);  // s = 128 * 128 / 255 = 64
  EXPECT_EQ(up[1], 0u);
}

TEST(GlyphShadow, OffsetsAsLargeAsTheImageDrawNothing) {
  u32 px[4] = {0xFF000000, 0, 0, 0};
  DXLDrawGlyph(2, 2, -1, px, true, 2, 0, 0xFF00FF00);
  DXLDrawGlyph(2, 2, -1, px, true, 0, -2, 0xFF00FF00);
  DXLDrawGlyph(2, 2, -1, px, false, 1, 1, 0xFF00FF00);
  DXLDrawGlyph(2, 2, 1, px, true, 1, 1, 0xFF00FF00);  // pitch below the width
  EXPECT_EQ(px[3], 0u);
  DXLDrawGlyph(2, 2, -1, px, true, 1, 1, 0xFF00FF00);
  EXPECT_EQ(px[3], 0xFF00FF00u);
}

TEST(ShadowLayer, KeyedBackgroundCastsNoShadow) {
  // 3 x 3 of half-transparent white with one opaque black pixel in the middle.
  auto image = [] {
    std::vector<u32> px(9, 0x40FFFFFF);
    px[4] = 0xFF000000;
    return px;
  };
  std::vector<u32> keyed = image();
  DXLApplyShadowLayer(keyed.data(), 3, 3, 0, 1, 1, 0xFF000000, 0x00FFFFFF);
  EXPECT_EQ(keyed[1], 0x40FFFFFFu);  // background: no shadow
  EXPECT_EQ(keyed[8], 0xFF404040u);  // under the black pixel's shadow: a quarter white
  EXPECT_EQ(keyed[4], 0xFF000000u);

  std::vector<u32> plain = image();
  DXLApplyShadowLayer(plain.data(), 3, 3, 0, 1, 1, 0xFF000000, 0);
  EXPECT_NE(plain[5], 0x40FFFFFFu);  // without the key the background shades itself
}

TEST(ShadowLayer, ReachesTheLastRowAndColumn) {
  std::vector<u32> px(9, 0);
  px[4] = 0xFF00FF00;
  DXLApplyShadowLayer(px.data(), 3, 3, 0, 1, 1, 0x80102030, 0);
  EXPECT_EQ(px[8], 0x80102030u);
  std::vector<u32> up(9, 0);
  up[4] = 0xFF00FF00;
  DXLApplyShadowLayer(up.data(), 3, 3, 0, -1, -1, 0xFF102030, 0);
  EXPECT_EQ(up[0], 0xFF102030u);
  std::vector<u32> still(4, 0);
  still[3] = 0xFFFFFFFF;
  DXLApplyShadowLayer(still.data(), 2, 2, 0, 0, 0, 0xFF000000, 0);
  EXPECT_EQ(still[3], 0xFFFFFFFFu);  // an opaque pixel keeps its colour over its own shadow
}

TEST(ShadowLayer, MixesUnderHalfTransparentPixels) {
  u32 px[2] = {0xFF000000, 0x80646464};
  DXLApplyShadowLayer(px, 2, 1, 0, 1, 0, 0xFF000000, 0);
  EXPECT_EQ(px[1], 0xFF323232u);  // 100 * 128 / 255 = 50.2
}

TEST(BlurLayer, GlowFallsOffWithDistance) {
  std::vector<u32> px(25, 0);
  px[12] = 0xFF00FF00;
  DXLApplyBlurLayer(px.data(), 5, 5, 0, 1.0f, 0xFFFF0000, 1);
  EXPECT_EQ(px[12], 0xFF00FF00u);
  EXPECT_EQ(px[7], 0xFFFF0000u);
  EXPECT_EQ(px[6], 0x95FF0000u);  // round(255 * (2 - sqrt 2))
  EXPECT_EQ(px[0], 0u);
  EXPECT_EQ(px[2], 0u);

  std::vector<u32> faint(25, 0);
  faint[12] = 0x10FFFFFF;
  DXLApplyBlurLayer(faint.data(), 5, 5, 0, 3.0f, 0xFFFF0000, 0x20);  // below the threshold
  EXPECT_EQ(faint[11], 0u);
  DXLApplyBlurLayer(faint.data(), 5, 5, 0, NAN, 0xFFFF0000, 0);
  EXPECT_EQ(faint[11], 0u);
  DXLApplyBlurLayer(faint.data(), 5, 5, 0, -1e30f, 0xFFFF0000, 0);  // a negative radius reaches nothing
  EXPECT_EQ(faint[11], 0u);
  DXLApplyBlurLayer(faint.data(), 5, 5, 0, 1e30f, 0xFFFF0000, 0);  // a huge one the whole image
  EXPECT_EQ(faint[0] >> 24, 255u);
}

TEST(BlurLayer, LargeOffsetsUseComputedDistances) {
  std::vector<u32> px(40 * 1, 0);
  px[0] = 0xFFFFFFFF;
  DXLApplyBlurLayer(px.data(), 40, 1, 0, 20.0f, 0xFF0000FF, 1);
  EXPECT_EQ(px[20] >> 24, 255u);  // f = 20 - 20 + 1
  EXPECT_EQ(px[21] >> 24, 0u);
  EXPECT_EQ(px[16] >> 24, 255u);
}

}  // namespace
