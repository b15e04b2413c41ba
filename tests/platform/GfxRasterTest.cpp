// Coverage and sampling rules of the software rasteriser.
#include <cmath>
#include <vector>

#include "GfxTestRig.h"

using namespace gfxtest;

namespace {

std::vector<uint32_t> Snapshot(Rig& rig, int w, int h) {
  std::vector<uint32_t> out;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) out.push_back(rig.Pixel(x, y));
  }
  return out;
}

}  // namespace

TEST(GfxRaster, UnscaledQuadShiftedHalfPixelCopiesTextureExactlyUnderLinearFilter) {
  for (bool rectPass : {true, false}) {
    Rig rig(64, 64);
    rig.Soft()->SetRectanglePass(rectPass);
    auto tex = rig.MakeTexture(32, 16, [](int x, int y) { return Noise(x, y) | 0xFF000000u; });
    rig.Dev()->SetTexture(0, tex.get());
    rig.Dev()->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    rig.Dev()->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    rig.Dev()->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    rig.Dev()->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    rig.Fill(0xFF000000u);
    ASSERT_EQ(rig.TexQuad(5 - 0.5f, 7 - 0.5f, 37 - 0.5f, 23 - 0.5f), D3D_OK);
    for (int y = 0; y < 64; ++y) {
      for (int x = 0; x < 64; ++x) {
        const bool inside = x >= 5 && x < 37 && y >= 7 && y < 23;
        const uint32_t want = inside ? (Noise(x - 5, y - 7) | 0xFF000000u) : 0xFF000000u;
        ASSERT_EQ(rig.Pixel(x, y), want) << x << "," << y << " rect pass " << rectPass;
      }
    }
  }
}

TEST(GfxRaster, QuadsSharingAnEdgeBlendEachPixelOnce) {
  Rig rig(64, 64);
  rig.Fill(0xFF000000u);
  rig.Blend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
  // Two unrotated quads meeting at x = 20.5 and two slanted ones sharing a
  // diagonal edge: no pixel on either seam is covered twice.
  rig.ColourQuad(2.5f, 2.5f, 20.5f, 20.5f, 0x80FFFFFFu);
  rig.ColourQuad(20.5f, 2.5f, 40.25f, 20.5f, 0x80FFFFFFu);
  const ColourVertex left[4] = {{2, 30, 0, 0x80FFFFFFu}, {30.3f, 30, 0, 0x80FFFFFFu}, {20.7f, 61, 0, 0x80FFFFFFu},
                                {2, 61, 0, 0x80FFFFFFu}};
  const ColourVertex right[4] = {{30.3f, 30, 0, 0x80FFFFFFu}, {62, 30, 0, 0x80FFFFFFu}, {62, 61, 0, 0x80FFFFFFu},
                                 {20.7f, 61, 0, 0x80FFFFFFu}};
  rig.Dev()->SetFVF(0x42);
  rig.Dev()->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, left, sizeof(ColourVertex));
  rig.Dev()->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, right, sizeof(ColourVertex));
  const uint32_t once = 0xFF808080u;
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      const uint32_t p = rig.Pixel(x, y);
      ASSERT_TRUE(p == once || p == 0xFF000000u) << x << "," << y << " " << std::hex << p;
    }
  }
  // The seams themselves are covered, not left open.
  EXPECT_EQ(rig.Pixel(20, 10), once);
  EXPECT_EQ(rig.Pixel(21, 10), once);
  for (int y = 31; y < 61; ++y) {
    for (int x = 3; x < 61; ++x) ASSERT_EQ(rig.Pixel(x, y), once) << x << "," << y;
  }
}

TEST(GfxRaster, FanAroundACentreCoversEveryPixelOnce) {
  Rig rig(64, 64);
  rig.Fill(0xFF000000u);
  rig.Blend(D3DBLEND_ONE, D3DBLEND_ONE);
  std::vector<ColourVertex> fan;
  fan.push_back({31.3f, 30.7f, 0, 0xFF0A0A0Au});
  for (int i = 0; i <= 13; ++i) {
    const double a = i * 2 * 3.14159265358979 / 13;
    fan.push_back({static_cast<float>(31.3 + 25 * std::cos(a)), static_cast<float>(30.7 + 25 * std::sin(a)), 0,
                   0xFF0A0A0Au});
  }
  rig.Dev()->SetFVF(0x42);
  rig.Dev()->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 13, fan.data(), sizeof(ColourVertex));
  int covered = 0;
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      const uint32_t p = rig.Pixel(x, y);
      ASSERT_TRUE(p == 0xFF0A0A0Au || p == 0xFF000000u) << x << "," << y;
      covered += p != 0xFF000000u;
    }
  }
  const double area = 0.5 * 13 * 25 * 25 * std::sin(2 * 3.14159265358979 / 13);
  EXPECT_NEAR(covered, area, 60);
}

TEST(GfxRaster, RectanglePassMatchesTriangles) {
  const float coords[][4] = {{3.5f, 2.5f, 19.5f, 11.5f}, {4, 3, 20, 12},       {4.25f, 3.75f, 19.1f, 12.9f},
                             {19.5f, 11.5f, 3.5f, 2.5f}, {30.2f, 1, 1.7f, 30}, {-5, -5, 10.5f, 70}};
  for (const auto& c : coords) {
    std::vector<uint32_t> images[2];
    for (int pass = 0; pass < 2; ++pass) {
      Rig rig(40, 40);
      rig.Soft()->SetRectanglePass(pass == 0);
      auto tex = rig.MakeTexture(8, 8, [](int x, int y) { return Noise(x, y, 7); });
      rig.Dev()->SetTexture(0, tex.get());
      rig.Fill(0xFF204060u);
      rig.Blend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
      rig.Dev()->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
      rig.TexQuad(c[0], c[1], c[2], c[3], 0xC0FF8040u, 0.1f, 0.2f, 1.3f, 0.9f);
      images[pass] = Snapshot(rig, 40, 40);
    }
    EXPECT_EQ(images[0], images[1]) << c[0] << "," << c[1] << "," << c[2] << "," << c[3];
  }
}

TEST(GfxRaster, WrapRepeatsAndClampStretchesTheEdge) {
  Rig rig(32, 8);
  auto tex = rig.MakeTexture(4, 1, [](int x, int) { return 0xFF000000u | static_cast<uint32_t>(x * 0x40); });
  rig.Dev()->SetTexture(0, tex.get());
  rig.Fill(0xFF000000u);
  rig.Dev()->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
  rig.TexQuad(-0.5f, -0.5f, 15.5f, 0.5f, 0xFFFFFFFFu, 0, 0, 4, 1);  // four repeats over 16 pixels
  rig.Dev()->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
  rig.TexQuad(-0.5f, 0.5f, 15.5f, 1.5f, 0xFFFFFFFFu, 0, 0, 4, 1);
  rig.Dev()->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_MIRROR);
  rig.TexQuad(-0.5f, 1.5f, 15.5f, 2.5f, 0xFFFFFFFFu, 0, 0, 4, 1);
  for (int x = 0; x < 16; ++x) {
    EXPECT_EQ(rig.Pixel(x, 0) & 0xFF, static_cast<uint32_t>((x % 4) * 0x40)) << x;
    EXPECT_EQ(rig.Pixel(x, 1) & 0xFF, x < 4 ? static_cast<uint32_t>(x * 0x40) : 0xC0u) << x;
    const int m = x % 8;
    EXPECT_EQ(rig.Pixel(x, 2) & 0xFF, static_cast<uint32_t>((m < 4 ? m : 7 - m) * 0x40)) << x;
  }
}

TEST(GfxRaster, PointAndLinearFilteringOfAMagnifiedTexture) {
  Rig rig(16, 4);
  auto tex = rig.MakeTexture(2, 1, [](int x, int) { return x ? 0xFFFFFFFFu : 0xFF000000u; });
  rig.Dev()->SetTexture(0, tex.get());
  rig.Dev()->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
  rig.TexQuad(-0.5f, -0.5f, 7.5f, 0.5f);  // 2 texels over 8 pixels
  rig.Dev()->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
  rig.TexQuad(-0.5f, 0.5f, 7.5f, 1.5f);
  const uint32_t point[8] = {0, 0, 0, 0, 255, 255, 255, 255};
  for (int x = 0; x < 8; ++x) EXPECT_EQ(rig.Pixel(x, 0) & 0xFF, point[x]) << x;
  // Texel centres at pixels 1.5 and 5.5: clamped below, a ramp between.
  uint32_t last = 0;
  for (int x = 0; x < 8; ++x) {
    const uint32_t v = rig.Pixel(x, 1) & 0xFF;
    EXPECT_GE(v, last);
    last = v;
  }
  EXPECT_EQ(rig.Pixel(0, 1) & 0xFF, 0u);
  EXPECT_EQ(rig.Pixel(7, 1) & 0xFF, 255u);
  EXPECT_NEAR(static_cast<int>(rig.Pixel(3, 1) & 0xFF), 96, 2);  // 1.5 / 4 of the way
}

TEST(GfxRaster, RotatedAndScaledQuadThroughTheWorldTransform) {
  Rig rig(64, 64);
  rig.Fill(0xFF000000u);
  Matrix world = IdentityMatrix();
  const float c = std::cos(0.5f), s = std::sin(0.5f);
  world.m[0][0] = 2 * c;
  world.m[0][1] = 2 * s;
  world.m[1][0] = -2 * s;
  world.m[1][1] = 2 * c;
  world.m[3][0] = 32;
  world.m[3][1] = 32;
  rig.Dev()->SetTransform(D3DTS_WORLD, &world);
  rig.ColourQuad(-5, -5, 5, 5, 0xFF00FF00u);
  int covered = 0;
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) covered += rig.Pixel(x, y) == 0xFF00FF00u;
  }
  EXPECT_NEAR(covered, 400, 20);
  EXPECT_EQ(rig.Pixel(32, 32), 0xFF00FF00u);
  EXPECT_EQ(rig.Pixel(32 + 12, 32), 0xFF000000u);  // beyond the rotated half-diagonal
  Matrix back;
  rig.Dev()->GetTransform(D3DTS_WORLD, &back);
  EXPECT_EQ(back.m[3][0], 32.0f);
}

TEST(GfxRaster, GouraudColourAndUntexturedDrawTakeTheVertexColour) {
  Rig rig(32, 4);
  rig.Dev()->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);  // ignored: nothing bound
  const ColourVertex q[4] = {{-0.5f, -0.5f, 0, 0xFF000000u},
                             {31.5f, -0.5f, 0, 0xFFF8F8F8u},
                             {31.5f, 3.5f, 0, 0xFFF8F8F8u},
                             {-0.5f, 3.5f, 0, 0xFF000000u}};
  rig.Dev()->SetFVF(0x42);
  rig.Dev()->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, q, sizeof(ColourVertex));
  for (int x = 0; x < 32; ++x) EXPECT_NEAR(static_cast<int>(rig.Pixel(x, 1) & 0xFF), 248 * (x + 0.5) / 32, 1) << x;
  rig.ColourQuad(-0.5f, -0.5f, 3.5f, 0.5f, 0xFF123456u);
  EXPECT_EQ(rig.Pixel(2, 0), 0xFF123456u);
}

TEST(GfxRaster, ScissorLimitsQuadsAndLines) {
  Rig rig(32, 32);
  rig.Fill(0xFF000000u);
  const Rect clip{4, 6, 12, 10};
  rig.Dev()->SetScissorRect(&clip);
  rig.Dev()->SetRenderState(D3DRS_SCISSORTESTENABLE, 1);
  rig.ColourQuad(-0.5f, -0.5f, 31.5f, 31.5f, 0xFFFF0000u);
  const ColourVertex line[2] = {{0, 20, 0, 0xFF00FF00u}, {31, 20, 0, 0xFF00FF00u}};
  const Rect lineClip{10, 0, 20, 32};
  rig.Dev()->SetScissorRect(&lineClip);
  rig.Dev()->DrawPrimitiveUP(D3DPT_LINESTRIP, 1, line, sizeof(ColourVertex));
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      uint32_t want = 0xFF000000u;
      if (x >= 4 && x < 12 && y >= 6 && y < 10) want = 0xFFFF0000u;
      if (y == 20 && x >= 10 && x < 20) want = 0xFF00FF00u;
      ASSERT_EQ(rig.Pixel(x, y), want) << x << "," << y;
    }
  }
  rig.Dev()->SetRenderState(D3DRS_SCISSORTESTENABLE, 0);
  rig.ColourQuad(-0.5f, -0.5f, 31.5f, 31.5f, 0xFF0000FFu);
  EXPECT_EQ(rig.Pixel(0, 0), 0xFF0000FFu);
}

TEST(GfxRaster, ClosedLineFrameDrawsEachCornerOnceAndOmitsLastPixel) {
  Rig rig(32, 32);
  rig.Fill(0xFF000000u);
  rig.Blend(D3DBLEND_ONE, D3DBLEND_ONE);
  const ColourVertex frame[5] = {{2, 2, 0, 0xFF101010u},
                                 {12, 2, 0, 0xFF101010u},
                                 {12, 9, 0, 0xFF101010u},
                                 {2, 9, 0, 0xFF101010u},
                                 {2, 2, 0, 0xFF101010u}};
  rig.Dev()->SetFVF(0x42);
  ASSERT_EQ(rig.Dev()->DrawPrimitiveUP(D3DPT_LINESTRIP, 4, frame, sizeof(ColourVertex)), D3D_OK);
  int lit = 0;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const uint32_t p = rig.Pixel(x, y);
      ASSERT_TRUE(p == 0xFF000000u || p == 0xFF101010u) << x << "," << y;
      lit += p != 0xFF000000u;
    }
  }
  EXPECT_EQ(lit, 2 * 10 + 2 * 7);
  for (auto [x, y] : {std::pair{2, 2}, {12, 2}, {12, 9}, {2, 9}}) EXPECT_EQ(rig.Pixel(x, y), 0xFF101010u);

  // An open strip leaves out its final end point.
  rig.Fill(0xFF000000u);
  const ColourVertex open[2] = {{2, 20, 0, 0xFF101010u}, {8, 20, 0, 0xFF101010u}};
  rig.Dev()->DrawPrimitiveUP(D3DPT_LINESTRIP, 1, open, sizeof(ColourVertex));
  EXPECT_EQ(rig.Pixel(7, 20), 0xFF101010u);
  EXPECT_EQ(rig.Pixel(8, 20), 0xFF000000u);
}

TEST(GfxRaster, CullModesAndDegenerateOrFarGeometry) {
  Rig rig(16, 16);
  rig.Fill(0xFF000000u);
  // Counter-clockwise on screen (top-left, bottom-left, bottom-right, top-right).
  const ColourVertex ccw[4] = {{0, 0, 0, 0xFFFFFFFFu}, {0, 8, 0, 0xFFFFFFFFu}, {8, 8, 0, 0xFFFFFFFFu},
                               {8, 0, 0, 0xFFFFFFFFu}};
  rig.Dev()->SetFVF(0x42);
  rig.Dev()->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
  rig.Dev()->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, ccw, sizeof(ColourVertex));
  EXPECT_EQ(rig.Pixel(4, 4), 0xFF000000u);
  rig.Dev()->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
  rig.Dev()->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, ccw, sizeof(ColourVertex));
  EXPECT_EQ(rig.Pixel(4, 4), 0xFFFFFFFFu);

  rig.Fill(0xFF000000u);
  rig.Dev()->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  const ColourVertex far[4] = {{-1e30f, 0, 0, 0xFFFFFFFFu}, {1e30f, 0, 0, 0xFFFFFFFFu},
                               {std::nanf(""), 9, 0, 0xFFFFFFFFu}, {0, 1e30f, 0, 0xFFFFFFFFu}};
  EXPECT_EQ(rig.Dev()->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, far, sizeof(ColourVertex)), D3D_OK);
  const ColourVertex flat[3] = {{1, 1, 0, 0xFFFFFFFFu}, {5, 5, 0, 0xFFFFFFFFu}, {9, 9, 0, 0xFFFFFFFFu}};
  EXPECT_EQ(rig.Dev()->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 1, flat, sizeof(ColourVertex)), D3D_OK);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) ASSERT_EQ(rig.Pixel(x, y), 0xFF000000u);
  }
}
