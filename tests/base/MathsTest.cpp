#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "base/Maths.h"
#include "base/Random.h"

namespace {

using kis::FloatPoint;
using kis::Rect;

TEST(Rounding, HalvesGoUpAndNegativesRoundToNearest) {
  EXPECT_EQ(kis::RoundToInt(2.5f), 3);
  EXPECT_EQ(kis::RoundToInt(-2.5f), -2);
  EXPECT_EQ(kis::RoundToInt(-2.4f), -2);
  EXPECT_EQ(kis::RoundToInt(-2.6f), -3);
  // The float just below 0.5 must not be carried over by float addition.
  EXPECT_EQ(kis::RoundToInt(0.49999997f), 0);
  EXPECT_EQ(kis::FloorToInt(-0.5f), -1);
  EXPECT_EQ(kis::CeilToInt(0.25f), 1);
  EXPECT_EQ(kis::CeilToInt(-0.25f), 0);
  EXPECT_EQ(kis::Sign(-0.1f), -1);
  EXPECT_EQ(kis::Sign(0.0f), 0);
  // Out of range and NaN saturate instead of being undefined.
  EXPECT_EQ(kis::RoundToInt(1e20f), 2147483647);
  EXPECT_EQ(kis::FloorToInt(-1e20f), -2147483647 - 1);
  EXPECT_EQ(kis::CeilToInt(NAN), 0);
  EXPECT_EQ(kis::TruncToInt(-2.7), -2);
  EXPECT_EQ(kis::TruncToInt(1e30), 2147483647);
  EXPECT_EQ(kis::TruncToInt(-INFINITY), -2147483647 - 1);
  EXPECT_EQ(kis::TruncToInt(NAN), 0);
}

TEST(Angles, DirectionsAndNormalisationStayBelow360) {
  EXPECT_NEAR(kis::LineAngle(0, 0, 0, 10), 90.0f, 1e-4);
  EXPECT_NEAR(kis::LineAngle(0, 0, -10, 0), 180.0f, 1e-4);
  EXPECT_NEAR(kis::LineAngle(0, 0, 0, -10), 270.0f, 1e-4);
  EXPECT_NEAR(kis::LineAngleI(0, 0, -10, -10), 225.0f, 1e-4);
  EXPECT_EQ(kis::LineAngle(3, 4, 3, 4), 0.0f);
  EXPECT_NEAR(kis::AngleDistance(350, 10), 20.0f, 1e-4);
  EXPECT_NEAR(kis::NormalizeAngle(-30), 330.0f, 1e-4);
  EXPECT_EQ(kis::NormalizeAngle(720), 0.0f);
  EXPECT_LT(kis::NormalizeAngle(-1e-8f), 360.0f);
  // A direction a hair below the x axis must not come out as 360.
  EXPECT_LT(kis::LineAngle(0, 0, 1, -1e-9f), 360.0f);

  float angle = -1, length = -1;
  kis::VectorToPolar(FloatPoint{0, 0}, &angle, &length);
  EXPECT_EQ(angle, 0.0f);
  EXPECT_EQ(length, 0.0f);
  kis::VectorToPolar(FloatPoint{-3, 4}, &angle, &length);
  EXPECT_NEAR(length, 5.0f, 1e-5);
  EXPECT_NEAR(angle, 126.8699f, 1e-3);
}

TEST(Angles, AddPolarSetsOrAdds) {
  FloatPoint p{1, 1};
  kis::AddPolar(&p, 90, 0, false);
  EXPECT_EQ(p.x, 1.0f);
  kis::AddPolar(&p, 90, 0, true);
  EXPECT_EQ(p.x, 0.0f);
  EXPECT_EQ(p.y, 0.0f);
  kis::AddPolar(&p, 0, 5, false);
  EXPECT_EQ(p.x, 5.0f);
  EXPECT_EQ(p.y, 0.0f);
  kis::AddPolarXY(&p, 90, 2, 3, false);
  EXPECT_NEAR(p.x, 5.0f, 1e-5);
  EXPECT_NEAR(p.y, 3.0f, 1e-5);
}

TEST(Shapes, RectanglesExcludeRightAndBottomEdges) {
  const Rect r{0, 0, 10, 10};
  EXPECT_TRUE(kis::PointInRect(0, 0, r));
  EXPECT_FALSE(kis::PointInRect(10, 5, r));
  EXPECT_FALSE(kis::PointInRect(5, 10, r));
  EXPECT_FALSE(kis::RectsOverlap(r, Rect{10, 0, 20, 10}));
  EXPECT_TRUE(kis::RectsOverlap(r, Rect{9, 9, 20, 20}));
  Rect n;
  kis::NormalizeRect(&n, Rect{10, 20, 0, 5});
  EXPECT_EQ(n.left, 0);
  EXPECT_EQ(n.top, 5);
  EXPECT_EQ(n.right, 10);
  EXPECT_EQ(n.bottom, 20);
  kis::CombineRects(&n, Rect{0, 5, 3, 6}, Rect{-1, 7, 2, 9});
  EXPECT_EQ(n.left, -1);
  EXPECT_EQ(n.bottom, 9);
  EXPECT_TRUE(kis::PointsWithin(0, 0, 3, 4, 5));
  EXPECT_FALSE(kis::PointsWithin(0, 0, 3, 4, 4));
}

TEST(Shapes, EllipsesAndZeroRadii) {
  EXPECT_FALSE(kis::PointInEllipseXY(0, 0, 0, 0, 0, 0));
  EXPECT_TRUE(kis::PointInEllipseXY(5, 0, 0, 0, 5, 5));
  EXPECT_TRUE(kis::PointInEllipseXY(9.9f, 0, 0, 0, 10, 2));
  EXPECT_FALSE(kis::PointInEllipseXY(0, 2.1f, 0, 0, 10, 2));
  EXPECT_FALSE(kis::PointInEllipse(FloatPoint{7, 1.5f}, FloatPoint{0, 0}, 10, 2));
}

TEST(Shapes, RectEdgePointIsFiniteForFlatRectangles) {
  FloatPoint p;
  kis::RectEdgePoint(Rect{0, 0, 100, 50}, 0, &p);
  EXPECT_EQ(p.x, 100.0f);
  EXPECT_NEAR(p.y, 25.0f, 1e-4);
  kis::RectEdgePoint(Rect{0, 0, 100, 50}, 90, &p);
  EXPECT_NEAR(p.x, 50.0f, 1e-3);
  EXPECT_EQ(p.y, 50.0f);
  for (float a : {0.0f, 45.0f, 90.0f, 180.0f, 270.0f}) {
    kis::RectEdgePoint(Rect{0, 10, 100, 10}, a, &p);  // zero height
    EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << a;
    kis::RectEdgePoint(Rect{5, 0, 5, 40}, a, &p);  // zero width
    EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << a;
    kis::RectEdgePoint(Rect{5, 5, 5, 5}, a, &p);  // a point
    EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << a;
  }
  kis::RectEdgePoint(Rect{0, 10, 100, 10}, 180, &p);
  EXPECT_EQ(p.x, 0.0f);
  EXPECT_NEAR(p.y, 10.0f, 1e-4);
  kis::IntPoint ip;
  kis::RectEdgePointI(Rect{0, 0, 100, 50}, 270, &ip);
  EXPECT_EQ(ip.x, 50);
  EXPECT_EQ(ip.y, 0);
}

TEST(ArcVertices, NeverWritesPastTheCapacity) {
  // Radius 10 with step 100: the minimum of 8 segments, plus the closing vertex.
  std::vector<kis::ArcVertex> v(40, kis::ArcVertex{0, 0, 7.0f, 0});
  EXPECT_EQ(kis::MakeArcVertices(v.data(), 0, 0, 10, 10, 40, false, 0, 100), 9u);
  EXPECT_EQ(v[8].x, v[0].x);
  EXPECT_EQ(v[0].z, 7.0f);
  EXPECT_EQ(kis::MakeArcVertices(v.data(), 1, 2, 10, 10, 40, true, 0xFF00FF00u, 100), 10u);
  EXPECT_EQ(v[0].x, 1.0f);
  EXPECT_EQ(v[0].color, 0xFF00FF00u);
  EXPECT_NEAR(v[1].x, 11.0f, 1e-4);

  // Small capacities: the ring shrinks to fit, and below three segments nothing is drawn.
  for (u32 cap = 0; cap <= 12; ++cap) {
    for (bool centre : {false, true}) {
      std::vector<kis::ArcVertex> guard(cap + 4, kis::ArcVertex{-1, -1, -1, 0xDEADBEEFu});
      const u32 n = kis::MakeArcVertices(guard.data(), 0, 0, 10, 10, cap, centre, 0x1u, 1);
      EXPECT_LE(n, cap);
      const u32 minimum = centre ? 5u : 4u;
      EXPECT_EQ(n, cap < minimum ? 0u : cap) << cap;
      for (u32 i = cap; i < cap + 4; ++i) EXPECT_EQ(guard[i].color, 0xDEADBEEFu) << cap;
    }
  }
  EXPECT_EQ(kis::MakeArcVertices(v.data(), 0, 0, 0, 0, 40, false, 0, 1), 0u);
}

TEST(Interpolation, CurvesFallbacksAndNegativeTime) {
  EXPECT_EQ(kis::Interpolate(0, 10, -1, 0, 0, 0, false), -1.0f);
  EXPECT_EQ(kis::Interpolate(0, 10, -1, 100, 100, 0, false), 10.0f);
  EXPECT_EQ(kis::Interpolate(0, 10, -1, 100, 101, 0, false), -1.0f);
  EXPECT_EQ(kis::Interpolate(0, 10, -1, 100, 50, 7, false), -1.0f);
  for (u32 curve : {0u, 1u, 2u}) {
    EXPECT_EQ(kis::Interpolate(0, 10, -1, 100, -1, curve, false), -1.0f);
    EXPECT_EQ(kis::Interpolate(0, 10, -1, 100, -1e-7f, curve, true), -1.0f);
    EXPECT_EQ(kis::Interpolate(0, 10, -1, 100, NAN, curve, true), -1.0f);
  }
  // Curve 1 rises fast, curve 2 starts flat; both end at the target.
  const float t = 0.3f;
  EXPECT_NEAR(kis::Interpolate(0, 1, -1, 1, t, 1, true), std::sqrt(1 - (1 - t) * (1 - t)), 0.01);
  EXPECT_NEAR(kis::Interpolate(0, 1, -1, 1, t, 2, true), 1 - std::sqrt(1 - t * t), 0.01);
  EXPECT_NEAR(kis::Interpolate(0, 1, -1, 1, 1, 1, false), 1.0f, 1e-4);
  EXPECT_NEAR(kis::Interpolate(0, 1, -1, 1, 1, 2, false), 1.0f, 1e-4);
  // The first cell of the rising table holds the steepest value of its bin.
  EXPECT_NEAR(kis::Interpolate(0, 1, -1, 1, 0, 1, false), 0.0f, 0.035);
  EXPECT_NEAR(kis::Interpolate(0, 1, -1, 1, 0, 2, false), 0.0f, 1e-4);
}

TEST(Colours, ChannelInterpolation) {
  EXPECT_EQ(kis::LerpColor(0xFF000000u, 0xFFFFFFFFu, 0.5f), 0xFF808080u);
  EXPECT_EQ(kis::LerpColor(0x11223344u, 0x55667788u, 0.0f), 0x11223344u);
  EXPECT_EQ(kis::LerpColor(0x11223344u, 0x55667788u, 1.5f), 0x55667788u);
  EXPECT_EQ(kis::LerpColorRGB(0x10000000u, 0xFFFFFFFFu, 0.5f), 0x10808080u);
  EXPECT_EQ(kis::LerpColorRGB(0x10000000u, 0xFFFFFFFFu, 1.0f), 0x10FFFFFFu);
}

TEST(Random, ClassicSequenceFromSeedOne) {
  kis::srand(1);
  EXPECT_EQ(kis::rand(), 41u);
  EXPECT_EQ(kis::rand(), 18467u);
  EXPECT_EQ(kis::rand(), 6334u);
  kis::srand(1);
  EXPECT_EQ(kis::rand(), 41u);
}

TEST(Random, BoundedDrawsStayInRangeAndAreNotCut) {
  kis::srand(7);
  bool above255 = false;
  for (int i = 0; i < 5000; ++i) {
    const u32 b = kis::RandomBelow(1000);
    EXPECT_LT(b, 1000u);
    above255 |= b > 255;
    EXPECT_LT(kis::RandomShort(100000), 100000u);
    const i32 c = kis::RandomChar(-300);
    EXPECT_TRUE(c > -300 && c <= 0);
    const float f = kis::Random01();
    EXPECT_TRUE(f >= 0.0f && f <= 1.0f);
    const i32 r = kis::RandomRange(5, 3);
    EXPECT_TRUE(r >= 3 && r <= 5);
    EXPECT_LT(kis::RandomInt(3), 3u);
  }
  EXPECT_TRUE(above255);
  EXPECT_EQ(kis::RandomShort(0), 0u);
  EXPECT_EQ(kis::RandomShort(1), 0u);
  EXPECT_EQ(kis::RandomInt(0), 0u);
  EXPECT_EQ(kis::RandomRange(9, 9), 9);
  EXPECT_EQ(kis::RandomRange(2.5f, 2.5f), 2.5f);
}

TEST(Random, ExtremeDrawsStayBelowTheBound) {
  // Build a state whose next two draws are 32767 and at least 32766: the
  // unclamped formula would give n itself. The seed is the state one step
  // before, found through the inverse of the multiplier.
  u32 inverse = 214013u;
  for (int i = 0; i < 5; ++i) inverse *= 2u - 214013u * inverse;
  u32 seed = 0;
  bool found = false;
  for (u32 k = 0; k < 0x20000u && !found; ++k) {
    const u32 s1 = ((k >> 16) << 31) | (0x7FFFu << 16) | (k & 0xFFFFu);
    const u32 s2 = s1 * 214013u + 2531011u;
    if (((s2 >> 16) & 0x7FFFu) >= 32766u) {
      seed = (s1 - 2531011u) * inverse;
      found = true;
    }
  }
  ASSERT_TRUE(found);
  kis::srand(seed);
  EXPECT_EQ(kis::rand(), 32767u);
  EXPECT_GE(kis::rand(), 32766u);
  kis::srand(seed);
  EXPECT_EQ(kis::RandomInt(10), 9u);
  kis::srand(seed);
  EXPECT_EQ(kis::RandomRange(-2, 7), 7);

  // Two draws a, b (the first: 41, 18467) give (2a + b / 16383) / 65536 x n,
  // truncated: the second draw adds the fine part.
  for (const u32 n : {1000000u, 1000000000u, 65536u}) {
    kis::srand(1);
    const u32 want = n == 1000000u ? 1268u : n == 1000000000u ? 1268420u : 83u;
    EXPECT_EQ(kis::RandomInt(n), want) << n;
  }
}

}  // namespace
