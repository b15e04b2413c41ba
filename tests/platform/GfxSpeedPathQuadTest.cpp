// Quads drawn as one primitive against the same fans drawn triangle by
// triangle: the same pixels covered, each once, and texels within a level or
// two where the single-plane fixed-point stepping departs from the per-row
// set-up of each triangle.
#include <cmath>
#include <cstdlib>
#include <vector>

#include "GfxTestRig.h"
#include "testsupport/SeededRandom.h"

using namespace gfxtest;

namespace {

using testsupport::SeededRandom;

std::vector<uint32_t> Snapshot(Rig& rig, int w, int h) {
  std::vector<uint32_t> out;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) out.push_back(rig.Pixel(x, y));
  }
  return out;
}

// Four corners around (cx, cy) at increasing angles: a convex quad in either
// turning direction, on the grid of 1 / steps.
void ConvexQuad(SeededRandom& rng, int steps, float out[4][2]) {
  const float cx = rng.Grid(8, 40, steps), cy = rng.Grid(8, 40, steps);
  const bool reverse = rng.Next() % 2 == 0;
  for (int i = 0; i < 4; ++i) {
    const double a = (i + 0.1 + 0.8 * (rng.Next() % 1000) / 1000.0) * 1.5707963267948966;
    const double r = 3 + (rng.Next() % 2000) / 100.0;
    const int k = reverse ? 3 - i : i;
    out[k][0] = std::round(static_cast<float>(cx + r * std::cos(a)) * steps) / steps;
    out[k][1] = std::round(static_cast<float>(cy + r * std::sin(a)) * steps) / steps;
  }
}

bool Convex(const float c[4][2]) {
  int positive = 0, negative = 0;
  for (int i = 0; i < 4; ++i) {
    const float* a = c[i];
    const float* b = c[(i + 1) % 4];
    const float* d = c[(i + 2) % 4];
    const float turn = (b[0] - a[0]) * (d[1] - a[1]) - (b[1] - a[1]) * (d[0] - a[0]);
    positive += turn > 0;
    negative += turn < 0;
  }
  return positive == 4 || negative == 4;
}

// Draws the fan once through the quad pass and once as two triangles.
template <typename Draw>
void BothWays(int w, int h, Draw draw, std::vector<uint32_t>* quad, std::vector<uint32_t>* triangles) {
  for (int pass = 0; pass < 2; ++pass) {
    Rig rig(static_cast<uint32_t>(w), static_cast<uint32_t>(h));
    rig.Soft()->SetRectanglePass(pass == 0);
    draw(rig);
    *(pass == 0 ? quad : triangles) = Snapshot(rig, w, h);
  }
}

int ChannelDifference(uint32_t a, uint32_t b) {
  int most = 0;
  for (int s = 0; s < 32; s += 8) {
    most = std::max(most, std::abs(static_cast<int>((a >> s) & 0xFF) - static_cast<int>((b >> s) & 0xFF)));
  }
  return most;
}

}  // namespace

TEST(GfxSpeedPathQuad, ConvexQuadsCoverTheTrianglesPixelsEachOnce) {
  // Half-transparent white over black: a pixel drawn twice would come out
  // lighter than one drawn once.
  SeededRandom rng{7};
  int convex = 0;
  for (int trial = 0; trial < 400; ++trial) {
    float c[4][2];
    const int steps = trial % 3 == 0 ? 1 : trial % 3 == 1 ? 2 : 256;
    ConvexQuad(rng, steps, c);
    const uint32_t colour = 0x80FFFFFFu;
    const ColourVertex q[4] = {{c[0][0], c[0][1], 0, colour}, {c[1][0], c[1][1], 0, colour},
                               {c[2][0], c[2][1], 0, colour}, {c[3][0], c[3][1], 0, colour}};
    std::vector<uint32_t> quad, triangles;
    BothWays(
        48, 48,
        [&](Rig& rig) {
          rig.Fill(0xFF000000u);
          rig.Blend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
          rig.Dev()->SetFVF(0x42);
          rig.Dev()->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, q, sizeof(ColourVertex));
        },
        &quad, &triangles);
    ASSERT_EQ(quad, triangles) << "trial " << trial;
    // Corners moved onto a coarse grid may leave the quad concave, where the
    // two triangles overlap; the rest is drawn once.
    if (!Convex(c)) continue;
    ++convex;
    for (uint32_t p : quad) ASSERT_TRUE(p == 0xFF000000u || p == 0xFF808080u) << "trial " << trial << " " << std::hex << p;
  }
  EXPECT_GT(convex, 300);
}

TEST(GfxSpeedPathQuad, NeighboursSharingAnEdgeDrawItsPixelsOnce) {
  // A strip of quads with slanted shared edges whose ends sit on pixel
  // centres and pixel edges; every pixel between the outer edges is drawn
  // exactly once.
  SeededRandom rng{11};
  for (int trial = 0; trial < 60; ++trial) {
    const int steps = trial % 2 ? 2 : 4;
    std::vector<float> topX, bottomX;
    float tx = 2, bx = 2;
    for (int k = 0; k < 7; ++k) {
      topX.push_back(tx);
      bottomX.push_back(bx);
      tx += rng.Grid(3, 9, steps);
      bx += rng.Grid(3, 9, steps);
    }
    const float top = rng.Grid(1, 6, steps), bottom = rng.Grid(30, 38, steps);
    Rig rig(64, 40);
    rig.Fill(0xFF000000u);
    rig.Blend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    rig.Dev()->SetFVF(0x42);
    for (size_t k = 0; k + 1 < topX.size(); ++k) {
      const uint32_t colour = 0x80FFFFFFu;
      const ColourVertex q[4] = {{topX[k], top, 0, colour}, {topX[k + 1], top, 0, colour},
                                 {bottomX[k + 1], bottom, 0, colour}, {bottomX[k], bottom, 0, colour}};
      rig.Dev()->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, q, sizeof(ColourVertex));
    }
    for (int y = 0; y < 40; ++y) {
      for (int x = 0; x < 64; ++x) {
        const uint32_t p = rig.Pixel(x, y);
        ASSERT_TRUE(p == 0xFF000000u || p == 0xFF808080u) << x << "," << y << " trial " << trial;
        // Centres strictly between the first and last slanted edges and the
        // top and bottom are covered.
        if (y > top && y < bottom) {
          const float t = (y - top) / (bottom - top);
          const float l = topX.front() + (bottomX.front() - topX.front()) * t;
          const float r = topX.back() + (bottomX.back() - topX.back()) * t;
          if (x > l + 0.01f && x < r - 0.01f) {
            ASSERT_EQ(p, 0xFF808080u) << x << "," << y << " trial " << trial;
          }
        }
      }
    }
  }
}

TEST(GfxSpeedPathQuad, OtherFansDrawExactlyAsTriangles) {
  // Concave, crossed, degenerate, Gouraud and off-plane quads are left to
  // the triangle pass: identical pixels either way.
  SeededRandom rng{3};
  auto tex = [](Rig& rig) { return rig.MakeTexture(16, 16, [](int x, int y) { return Noise(x, y, 9); }); };
  const float shapes[][4][2] = {
      {{4, 4}, {30, 6}, {12, 12}, {6, 30}},      // concave at the third corner
      {{4, 4}, {30, 30}, {30, 4}, {4, 30}},      // crossed
      {{4, 4}, {17, 17}, {30, 30}, {4, 30}},     // three corners in a line
      {{4, 4}, {30, 4}, {30, 4}, {4, 30}},       // a corner repeated
      {{12, 3}, {31, 14}, {20, 33}, {2, 21}},    // convex, used below with off-plane or Gouraud corners
  };
  for (int trial = 0; trial < 40; ++trial) {
    const auto& s = shapes[trial % 5];
    TexVertex q[4];
    for (int i = 0; i < 4; ++i) {
      q[i] = {s[i][0] + 0.25f * (trial % 3), s[i][1], 0, 0xFFFFFFFFu, i == 1 || i == 2 ? 1.0f : 0.0f,
              i >= 2 ? 1.0f : 0.0f};
    }
    if (trial % 5 == 4) {
      if (trial % 2) {
        q[3].u += 0.01f + (rng.Next() % 100) / 1000.0f;  // the fourth corner off the plane
      } else {
        q[2].colour = 0xFF804020u;
      }
    }
    std::vector<uint32_t> quad, triangles;
    BothWays(
        40, 40,
        [&](Rig& rig) {
          auto t = tex(rig);
          rig.Dev()->SetTexture(0, t.get());
          rig.Dev()->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
          rig.Dev()->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
          rig.Dev()->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
          rig.Fill(0xFF102030u);
          rig.Blend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
          rig.Dev()->SetFVF(0x142);
          rig.Dev()->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, q, sizeof(TexVertex));
        },
        &quad, &triangles);
    ASSERT_EQ(quad, triangles) << "trial " << trial;
  }
}

TEST(GfxSpeedPathQuad, RotatedAndScaledTexelsStayWithinAFewLevelsOfTheTriangles) {
  // Noise textures (the harshest case for a shifted sample point) on random
  // parallelograms and slightly skewed quads, both filters and addressing
  // modes; the coverage is the same and no channel moves by more than two.
  SeededRandom rng{21};
  int differing = 0, total = 0, pointFlips = 0, parallelogramDiffering = 0, parallelogramTotal = 0;
  for (int trial = 0; trial < 200; ++trial) {
    // Corners on the sub-pixel grid, so the parallelogram stays one; about
    // one texel per pixel, magnified or minified up to twice.
    const float cx = rng.Grid(10, 54, 256), cy = rng.Grid(10, 54, 256);
    const double angle = (rng.Next() % 6283) / 1000.0, scale = 4 + (rng.Next() % 2400) / 100.0;
    const double stretch = 0.5 + (rng.Next() % 100) / 100.0;
    const float ax = std::round(static_cast<float>(std::cos(angle) * scale) * 256) / 256;
    const float ay = std::round(static_cast<float>(std::sin(angle) * scale) * 256) / 256;
    const float sx = std::round(static_cast<float>(-std::sin(angle) * scale * stretch) * 256) / 256;
    const float sy = std::round(static_cast<float>(std::cos(angle) * scale * stretch) * 256) / 256;
    const float corner[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    const float texels = static_cast<float>(scale) * (0.5f + static_cast<float>(rng.Next() % 150) / 100) / 8;
    const float u0 = static_cast<float>(rng.Next() % 64) / 16 - 2, v0 = static_cast<float>(rng.Next() % 64) / 16 - 2;
    TexVertex q[4];
    for (int i = 0; i < 4; ++i) {
      q[i] = {cx + corner[i][0] * ax + corner[i][1] * sx, cy + corner[i][0] * ay + corner[i][1] * sy, 0, 0xFFFFFFFFu,
              u0 + (corner[i][0] > 0 ? texels : 0), v0 + (corner[i][1] > 0 ? texels : 0)};
    }
    const bool skewed = trial % 4 == 3;
    if (skewed) q[3].x += 1.0f / 256;  // a sub-pixel step off the parallelogram
    const bool linear = trial % 5 != 0;
    const uint32_t address = trial % 3 == 0 ? D3DTADDRESS_WRAP : trial % 3 == 1 ? D3DTADDRESS_CLAMP : D3DTADDRESS_MIRROR;
    std::vector<uint32_t> quad, triangles;
    BothWays(
        64, 64,
        [&](Rig& rig) {
          auto t = rig.MakeTexture(16, 16, [&](int x, int y) { return Noise(x, y, static_cast<uint32_t>(trial)); });
          rig.Dev()->SetTexture(0, t.get());
          const uint32_t filter = linear ? D3DTEXF_LINEAR : D3DTEXF_POINT;
          rig.Dev()->SetSamplerState(0, D3DSAMP_MAGFILTER, filter);
          rig.Dev()->SetSamplerState(0, D3DSAMP_MINFILTER, filter);
          rig.Dev()->SetSamplerState(0, D3DSAMP_ADDRESSU, address);
          rig.Dev()->SetSamplerState(0, D3DSAMP_ADDRESSV, address);
          rig.Fill(0xFF000000u);
          rig.Dev()->SetFVF(0x142);
          rig.Dev()->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, q, sizeof(TexVertex));
        },
        &quad, &triangles);
    for (size_t i = 0; i < quad.size(); ++i) {
      ASSERT_EQ(quad[i] == 0xFF000000u, triangles[i] == 0xFF000000u) << "trial " << trial << " pixel " << i;
      if (linear) {
        // On a parallelogram only the last bit of a texel coordinate may
        // differ, moving one bilinear weight by a step (two levels at most);
        // off it, both weights may move a step.
        ASSERT_LE(ChannelDifference(quad[i], triangles[i]), skewed ? 4 : 2) << "trial " << trial << " pixel " << i;
        if (!skewed) {
          parallelogramDiffering += quad[i] != triangles[i];
          parallelogramTotal += quad[i] != 0xFF000000u;
        }
      } else {
        pointFlips += quad[i] != triangles[i];
      }
      differing += quad[i] != triangles[i];
      total += quad[i] != 0xFF000000u;
    }
  }
  // Almost every texel is the same; under point filtering a sample point
  // moved across a texel border now and then takes the neighbour.
  EXPECT_LT(differing * 25, total);
  EXPECT_LT(parallelogramDiffering * 200, parallelogramTotal);
  EXPECT_LT(pointFlips * 200, total);
}
