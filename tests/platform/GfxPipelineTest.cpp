// Per-pixel rules: texture-stage operations, alpha test, stencil, blending
// and the colour write mask.
#include <cmath>
#include <vector>

#include "GfxTestRig.h"
#include "platform/gfx/GfxPipeline.h"
#include "platform/gfx/GfxSimdAvx2.h"
#include "testsupport/SeededRandom.h"

using namespace gfxtest;

namespace {

uint32_t Ch(uint32_t c, int shift) { return (c >> shift) & 0xFF; }

void ExpectNear(uint32_t got, uint32_t want, int tolerance = 1) {
  for (int s = 0; s < 24; s += 8) {
    EXPECT_NEAR(static_cast<int>(Ch(got, s)), static_cast<int>(Ch(want, s)), tolerance)
        << std::hex << got << " vs " << want;
  }
}

uint32_t Rgb(double r, double g, double b) {
  auto c = [](double v) { return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0, 255.0))); };
  return 0xFF000000u | (c(r) << 16) | (c(g) << 8) | c(b);
}

}  // namespace

TEST(GfxPipeline, FiveBlendModesAtChosenColours) {
  const uint32_t target = 0xFF40A0F0u;  // r 64, g 160, b 240
  const uint32_t source = 0x60C86420u;  // a 96, r 200, g 100, b 32
  const double a = 96 / 255.0;
  struct Mode {
    bool on;
    uint32_t src, dest;
    uint32_t want;
  } modes[] = {
      {false, D3DBLEND_ONE, D3DBLEND_ZERO, 0xFFC86420u},
      {true, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA,
       Rgb(200 * a + 64 * (1 - a), 100 * a + 160 * (1 - a), 32 * a + 240 * (1 - a))},
      {true, D3DBLEND_ZERO, D3DBLEND_INVSRCALPHA, Rgb(64 * (1 - a), 160 * (1 - a), 240 * (1 - a))},
      {true, D3DBLEND_SRCALPHA, D3DBLEND_ONE, Rgb(200 * a + 64, 100 * a + 160, 32 * a + 240)},
      {true, D3DBLEND_INVDESTCOLOR, D3DBLEND_INVSRCALPHA,
       Rgb(200 * (1 - 64 / 255.0) + 64 * (1 - a), 100 * (1 - 160 / 255.0) + 160 * (1 - a),
           32 * (1 - 240 / 255.0) + 240 * (1 - a))},
  };
  for (const Mode& m : modes) {
    Rig rig(8, 8);
    rig.Fill(target);
    rig.Dev()->SetRenderState(D3DRS_ALPHABLENDENABLE, m.on);
    rig.Dev()->SetRenderState(D3DRS_SRCBLEND, m.src);
    rig.Dev()->SetRenderState(D3DRS_DESTBLEND, m.dest);
    rig.ColourQuad(-0.5f, -0.5f, 7.5f, 7.5f, source);
    ExpectNear(rig.Pixel(3, 3), m.want);
  }
}

TEST(GfxPipeline, StageOperationsTheGameUses) {
  const uint32_t texel = 0xC0804020u, diffuse = 0x80A0C0FFu;
  struct Case {
    uint32_t op;
    uint32_t want;
  } cases[] = {
      {D3DTOP_SELECTARG1, texel},
      {D3DTOP_SELECTARG2, diffuse},
      {D3DTOP_MODULATE, Rgb(128 * 160 / 255.0, 64 * 192 / 255.0, 32 * 255 / 255.0)},
      {D3DTOP_MODULATE2X, Rgb(2 * 128 * 160 / 255.0, 2 * 64 * 192 / 255.0, 2 * 32)},
      {D3DTOP_ADD, Rgb(128 + 160, 64 + 192, 32 + 255)},
  };
  for (const Case& c : cases) {
    Rig rig(8, 8);
    auto tex = rig.MakeTexture(8, 8, [&](int, int) { return texel; });
    rig.Dev()->SetTexture(0, tex.get());
    rig.Dev()->SetTextureStageState(0, D3DTSS_COLOROP, c.op);
    rig.Dev()->SetTextureStageState(0, D3DTSS_ALPHAOP, c.op);
    rig.TexQuad(-0.5f, -0.5f, 7.5f, 7.5f, diffuse);
    ExpectNear(rig.Pixel(4, 4), c.want);
    // The alpha of the fragment follows the same operation (seen through blending).
    const uint32_t alpha = CombineStage(c.op, c.op, texel, diffuse) >> 24;
    const uint32_t wantAlpha[] = {0xC0, 0x80, 0x60, 0xC1, 0xFF};
    EXPECT_NEAR(static_cast<int>(alpha), static_cast<int>(wantAlpha[&c - cases]), 1);
  }
}

TEST(GfxPipeline, EveryStageOperationAtOneColour) {
  const uint32_t t = 0x40C08040u, d = 0xC0408080u;  // tex a 64 r 192 g 128 b 64; diff a 192 r 64 g 128 b 128
  auto red = [&](uint32_t op) { return Ch(CombineStage(op, op, t, d), 16); };
  EXPECT_EQ(CombineStage(D3DTOP_DISABLE, D3DTOP_SELECTARG1, t, d), d);
  EXPECT_EQ(red(D3DTOP_MODULATE4X), 193u);  // 192 * 64 * 4 / 255 = 192.75
  EXPECT_EQ(red(D3DTOP_ADDSIGNED), 128u);
  EXPECT_EQ(red(D3DTOP_ADDSIGNED2X), 255u);
  EXPECT_EQ(red(D3DTOP_SUBTRACT), 128u);
  EXPECT_EQ(red(D3DTOP_ADDSMOOTH), 192u + 16u);                        // 192 + 64 * 63 / 255
  EXPECT_EQ(red(D3DTOP_BLENDDIFFUSEALPHA), (192u * 192 + 64 * 63 + 127) / 255);
  EXPECT_EQ(red(D3DTOP_BLENDTEXTUREALPHA), (192u * 64 + 64 * 191 + 127) / 255);
  EXPECT_EQ(Ch(CombineStage(D3DTOP_MODULATE, D3DTOP_DISABLE, t, d), 24), 0xC0u);  // alpha from the vertex
  EXPECT_EQ(CombineStage(99, 99, t, d), CombineStage(D3DTOP_MODULATE, D3DTOP_MODULATE, t, d));
}

TEST(GfxPipeline, AlphaTestDropsFragmentsBelowTheReference) {
  Rig rig(16, 1);
  auto tex = rig.MakeTexture(16, 1, [](int x, int) { return (static_cast<uint32_t>(x * 16) << 24) | 0xFFFFFFu; });
  rig.Dev()->SetTexture(0, tex.get());
  rig.Fill(0xFF000000u);
  rig.Dev()->SetRenderState(D3DRS_ALPHATESTENABLE, 1);
  rig.Dev()->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
  rig.Dev()->SetRenderState(D3DRS_ALPHAREF, 128);
  rig.TexQuad(-0.5f, -0.5f, 15.5f, 0.5f);
  for (int x = 0; x < 16; ++x) EXPECT_EQ(rig.Pixel(x, 0), x >= 8 ? 0xFFFFFFFFu : 0xFF000000u) << x;
}

TEST(GfxPipeline, StencilMarkThenFillTintsOpaqueTexelsOnce) {
  Rig rig(32, 16);
  rig.Fill(0xFF000000u);
  ASSERT_EQ(rig.Dev()->Clear(D3DCLEAR_STENCIL, 0, 0, 0), D3D_OK);
  // A sprite whose left half is solid (alpha 200) and right half faint (alpha 100).
  auto tex = rig.MakeTexture(8, 8, [](int x, int) { return x < 4 ? 0xC8FFFFFFu : 0x64FFFFFFu; });
  rig.Dev()->SetTexture(0, tex.get());
  // Mark: stencil always replaced by 1 where the alpha test passes; colour untouched.
  rig.Dev()->SetRenderState(D3DRS_STENCILENABLE, 1);
  rig.Dev()->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
  rig.Dev()->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE);
  rig.Dev()->SetRenderState(D3DRS_STENCILREF, 1);
  rig.Dev()->SetRenderState(D3DRS_ALPHATESTENABLE, 1);
  rig.Dev()->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
  rig.Dev()->SetRenderState(D3DRS_ALPHAREF, 128);
  rig.Dev()->SetRenderState(D3DRS_COLORWRITEENABLE, 0);
  rig.TexQuad(1.5f, 3.5f, 9.5f, 11.5f);
  rig.TexQuad(3.5f, 3.5f, 11.5f, 11.5f);  // overlaps the first
  rig.Dev()->SetRenderState(D3DRS_COLORWRITEENABLE, 15);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 32; ++x) ASSERT_EQ(rig.Pixel(x, y), 0xFF000000u) << "mark pass wrote colour";
  }
  // Fill: an untextured quad where the stencil equals 1, incrementing it, so
  // a second overlapping fill does not tint again.
  rig.Dev()->SetTexture(0, nullptr);
  rig.Dev()->SetRenderState(D3DRS_ALPHATESTENABLE, 0);
  rig.Dev()->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
  rig.Dev()->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_INCRSAT);
  rig.Blend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
  rig.ColourQuad(-0.5f, -0.5f, 31.5f, 15.5f, 0x80FF0000u);
  rig.ColourQuad(-0.5f, -0.5f, 31.5f, 15.5f, 0x80FF0000u);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 32; ++x) {
      // Solid texels: columns 2..5 of the first sprite and 4..7 of the second.
      const bool marked = y >= 4 && y < 12 && x >= 2 && x < 8;
      ASSERT_EQ(rig.Pixel(x, y), marked ? 0xFF800000u : 0xFF000000u) << x << "," << y;
      ASSERT_EQ(rig.Soft()->StencilAt(x, y), marked ? 2 : 0) << x << "," << y;
    }
  }
}

TEST(GfxPipeline, StencilOperationsMasksAndFailPath) {
  Rig rig(8, 1);
  rig.Dev()->Clear(D3DCLEAR_STENCIL, 0, 0, 250);
  rig.Dev()->SetRenderState(D3DRS_STENCILENABLE, 1);
  rig.Dev()->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_LESS);  // ref < stencil
  rig.Dev()->SetRenderState(D3DRS_STENCILREF, 100);
  rig.Dev()->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_INCRSAT);
  rig.Dev()->SetRenderState(D3DRS_STENCILFAIL, D3DSTENCILOP_ZERO);
  for (int i = 0; i < 10; ++i) rig.ColourQuad(-0.5f, -0.5f, 3.5f, 0.5f, 0xFFFFFFFFu);
  EXPECT_EQ(rig.Soft()->StencilAt(0, 0), 255);  // saturates
  rig.Dev()->SetRenderState(D3DRS_STENCILREF, 255);
  rig.ColourQuad(-0.5f, -0.5f, 3.5f, 0.5f, 0xFFFFFFFFu);
  EXPECT_EQ(rig.Soft()->StencilAt(0, 0), 0);  // 255 < 255 fails: zero
  rig.Dev()->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
  rig.Dev()->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_DECR);
  rig.Dev()->SetRenderState(D3DRS_STENCILWRITEMASK, 0x0F);
  rig.ColourQuad(-0.5f, -0.5f, 3.5f, 0.5f, 0xFFFFFFFFu);
  EXPECT_EQ(rig.Soft()->StencilAt(0, 0), 0x0F);  // wrapped to 0xFF, only the low nibble written
  rig.Dev()->SetRenderState(D3DRS_STENCILWRITEMASK, 0xFF);
  rig.Dev()->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_INVERT);
  rig.ColourQuad(-0.5f, -0.5f, 3.5f, 0.5f, 0xFFFFFFFFu);
  EXPECT_EQ(rig.Soft()->StencilAt(0, 0), 0xF0);
  EXPECT_EQ(rig.Soft()->StencilAt(5, 0), 250);  // outside the quad

  // Without a stencil buffer the stencil states change nothing.
  Rig plain(4, 1, D3DFMT_D16);
  EXPECT_FALSE(plain.Soft()->HasStencil());
  EXPECT_EQ(plain.Dev()->Clear(D3DCLEAR_STENCIL, 0, 0, 1), D3DERR_INVALIDCALL);
  plain.Fill(0xFF000000u);
  plain.Dev()->SetRenderState(D3DRS_STENCILENABLE, 1);
  plain.Dev()->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_NEVER);
  plain.ColourQuad(-0.5f, -0.5f, 3.5f, 0.5f, 0xFFFFFFFFu);
  EXPECT_EQ(plain.Pixel(0, 0), 0xFFFFFFFFu);
}

TEST(GfxPipeline, ColourWriteMaskKeepsMaskedChannels) {
  Rig rig(4, 1);
  rig.Fill(0xFF102030u);
  rig.Dev()->SetRenderState(D3DRS_COLORWRITEENABLE, D3DCOLORWRITEENABLE_RED | D3DCOLORWRITEENABLE_BLUE);
  rig.ColourQuad(-0.5f, -0.5f, 3.5f, 0.5f, 0xFFAABBCCu);
  EXPECT_EQ(rig.Pixel(1, 0), 0xFFAA20CCu);
  rig.Blend(D3DBLEND_ONE, D3DBLEND_ONE);
  rig.Dev()->SetRenderState(D3DRS_COLORWRITEENABLE, D3DCOLORWRITEENABLE_GREEN);
  rig.ColourQuad(-0.5f, -0.5f, 3.5f, 0.5f, 0xFF010101u);
  EXPECT_EQ(rig.Pixel(1, 0), 0xFFAA21CCu);
}

TEST(GfxPipeline, XrgbTextureDrawsOpaque) {
  Rig rig(8, 8);
  rig.Fill(0xFF000000u);
  // X8R8G8B8 texels with a zero X byte: blending treats them as opaque.
  auto tex = rig.MakeTexture(8, 8, [](int, int) { return 0x00336699u; }, D3DFMT_X8R8G8B8);
  rig.Dev()->SetTexture(0, tex.get());
  rig.Blend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
  rig.TexQuad(-0.5f, -0.5f, 7.5f, 7.5f);
  EXPECT_EQ(rig.Pixel(3, 3), 0xFF336699u);
}

TEST(GfxPipeline, VectorPathsMatchThePlainOnes) {
  std::vector<uint32_t> src(1003), dest(1003), colour(1003);
  for (size_t i = 0; i < src.size(); ++i) {
    src[i] = Noise(static_cast<int>(i), 1);
    dest[i] = Noise(static_cast<int>(i), 2);
    if (i % 7 == 0) src[i] |= 0xFF000000u;  // opaque and clear runs take short cuts
    if (i % 11 == 0) src[i] &= 0x00FFFFFFu;
    if (i >= 400 && i < 420) src[i] |= 0xFF000000u;
    if (i >= 500 && i < 520) src[i] &= 0x00FFFFFFu;
  }
  std::vector<uint32_t> a = dest, b = dest, c = dest;
  BlendSrcAlphaSpan(src.data(), a.data(), static_cast<int>(a.size()));
  BlendSrcAlphaSpanPlain(src.data(), b.data(), static_cast<int>(b.size()));
  SetAvx2Allowed(false);
  BlendSrcAlphaSpan(src.data(), c.data(), static_cast<int>(c.size()));
  SetAvx2Allowed(true);
  EXPECT_EQ(a, b);
  EXPECT_EQ(c, b);
  for (size_t i = 0; i < src.size(); ++i) {
    const uint32_t general = BlendPixel(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, src[i], dest[i]);
    ASSERT_EQ(general & 0xFFFFFFu, a[i] & 0xFFFFFFu) << i;
  }
  std::vector<uint32_t> added = dest, addedPlain = dest;
  BlendAddSpan(src.data(), added.data(), static_cast<int>(added.size()));
  BlendAddSpanPlain(src.data(), addedPlain.data(), static_cast<int>(addedPlain.size()));
  EXPECT_EQ(added, addedPlain);
  for (size_t i = 0; i < src.size(); ++i)
    ASSERT_EQ(added[i], (src[i] >> 24) ? BlendPixel(D3DBLEND_SRCALPHA, D3DBLEND_ONE, src[i], dest[i]) : dest[i]) << i;
  std::vector<uint32_t> m1(src.size()), m2(src.size());
  ModulateSpan(src.data(), 0x80FF4001u, m1.data(), static_cast<int>(src.size()));
  ModulateSpanPlain(src.data(), 0x80FF4001u, m2.data(), static_cast<int>(src.size()));
  EXPECT_EQ(m1, m2);
  for (size_t i = 0; i < src.size(); ++i) {
    ASSERT_EQ(m1[i], CombineStage(D3DTOP_MODULATE, D3DTOP_MODULATE, src[i], 0x80FF4001u)) << i;
  }
  std::vector<uint32_t> f1 = dest, f2 = dest, f3 = dest;
  ModulateBlendSpan(src.data(), 0xC0FF4001u, f1.data(), static_cast<int>(src.size()));
  SetAvx2Allowed(false);
  ModulateBlendSpan(src.data(), 0xC0FF4001u, f3.data(), static_cast<int>(src.size()));
  SetAvx2Allowed(true);
  ModulateSpanPlain(src.data(), 0xC0FF4001u, m2.data(), static_cast<int>(src.size()));
  BlendSrcAlphaSpanPlain(m2.data(), f2.data(), static_cast<int>(src.size()));
  EXPECT_EQ(f1, f2);
  EXPECT_EQ(f3, f2);
}

TEST(GfxPipeline, WideAndNarrowVectorPathsDrawTheSameRotatedSprites) {
  if (!WidePathsPresent()) GTEST_SKIP() << kNoWidePaths;
  std::vector<uint32_t> images[2];
  for (int wide = 0; wide < 2; ++wide) {
    SetAvx2Allowed(wide == 1);
    Rig rig(64, 64);
    auto tex = rig.MakeTexture(16, 16, [](int x, int y) { return Noise(x, y, 3); });
    rig.Dev()->SetTexture(0, tex.get());
    rig.Dev()->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    rig.Dev()->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    rig.Dev()->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    rig.Dev()->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP);
    rig.Fill(0xFF204060u);
    rig.Blend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    for (int k = 0; k < 6; ++k) {
      const float a = 0.3f + k * 0.9f, r = 10.0f + k * 3.0f, cx = 20.0f + k * 5.0f, cy = 25.0f + k * 3.0f;
      TexVertex q[4];
      const float corner[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
      for (int i = 0; i < 4; ++i) {
        q[i] = {cx + r * (corner[i][0] * std::cos(a) - corner[i][1] * std::sin(a)),
                cy + r * (corner[i][0] * std::sin(a) + corner[i][1] * std::cos(a)), 0, 0xFFFFFFFFu,
                corner[i][0] > 0 ? 1.0f : 0.0f, corner[i][1] > 0 ? 2.0f : 0.0f};
      }
      rig.Dev()->SetFVF(0x142);
      rig.Dev()->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, q, sizeof(TexVertex));
    }
    for (int y = 0; y < 64; ++y) {
      for (int x = 0; x < 64; ++x) images[wide].push_back(rig.Pixel(x, y));
    }
  }
  SetAvx2Allowed(true);
  EXPECT_EQ(images[0], images[1]);
}

TEST(GfxPipeline, MagnifiedTexelsFollowTheBilinearWeights) {
  // Four texels over 8 x 8 pixels: pixel (i, j) samples at texel coordinate
  // (i + 0.5) / 4 - 0.5 from the first centre, i.e. fractions in quarters.
  Rig rig(8, 8);
  const uint32_t c[4] = {0xFF102030u, 0x80F0E0D0u, 0x40706050u, 0xFF00FF00u};
  auto tex = rig.MakeTexture(2, 2, [&](int x, int y) { return c[y * 2 + x]; });
  rig.Dev()->SetTexture(0, tex.get());
  rig.Dev()->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
  rig.Dev()->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
  rig.Dev()->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
  rig.TexQuad(-0.5f, -0.5f, 7.5f, 7.5f);
  for (int j = 2; j < 6; ++j) {
    for (int i = 2; i < 6; ++i) {
      const uint32_t fx = static_cast<uint32_t>((i + 0.5) / 4 * 256 - 128) >> 1;
      const uint32_t fy = static_cast<uint32_t>((j + 0.5) / 4 * 256 - 128) >> 1;
      EXPECT_EQ(rig.Pixel(i, j) & 0xFFFFFFu, BilinearPlain(c[0], c[1], c[2], c[3], fx, fy) & 0xFFFFFFu) << i << "," << j;
    }
  }
  EXPECT_EQ(BilinearPlain(c[0], c[1], c[2], c[3], 0, 0), c[0]);
  EXPECT_EQ(BilinearPlain(c[0], c[1], c[2], c[3], 64, 0) & 0xFF, (0x30u * 64 + 0xD0u * 64 + 64) >> 7);
}

TEST(GfxPipeline, ChosenSpanShadersMatchTheGeneralOneOnRandomSpans) {
  // Textures with clear, opaque and partly transparent texels; spans at random
  // positions, scales and angles, in and beyond the texture, with both
  // addressing modes and filters, on the wide and the narrow vector paths.
  const int tw = 16, th = 8, width = 300;
  std::vector<uint32_t> texels(tw * th);
  for (int i = 0; i < tw * th; ++i) {
    const uint32_t n = Noise(i, 5);
    texels[i] = i % 5 == 0 ? n & 0x00FFFFFFu : i % 3 == 0 ? n | 0xFF000000u : n;
  }
  const uint32_t ops[6][4] = {{D3DTOP_SELECTARG1, 0, D3DBLEND_ONE, D3DBLEND_ZERO},
                              {D3DTOP_SELECTARG1, 1, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA},
                              {D3DTOP_MODULATE, 0, D3DBLEND_ONE, D3DBLEND_ZERO},
                              {D3DTOP_MODULATE, 1, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA},
                              {D3DTOP_SELECTARG1, 1, D3DBLEND_SRCALPHA, D3DBLEND_ONE},
                              {D3DTOP_MODULATE, 1, D3DBLEND_SRCALPHA, D3DBLEND_ONE}};
  testsupport::SeededRandom random(12345);
  auto next = [&random]() { return random.Next(); };
  std::vector<std::vector<uint32_t>> narrow;
  for (int wide = 0; wide < 2; ++wide) {
    SetAvx2Allowed(wide == 1);
    random = testsupport::SeededRandom(12345);
    for (int trial = 0; trial < 600; ++trial) {
      const auto& op = ops[trial % 6];
      std::vector<uint32_t> fast(width), general(width);
      for (int i = 0; i < width; ++i) fast[i] = general[i] = Noise(i, trial);
      PixelState s;
      s.targetPitch = width;
      s.texels = texels.data();
      s.texWidth = tw;
      s.texHeight = th;
      s.addressU = trial / 4 % 4 < 2 ? D3DTADDRESS_CLAMP : D3DTADDRESS_WRAP;
      s.addressV = trial / 4 % 4 == 1 ? D3DTADDRESS_WRAP : D3DTADDRESS_CLAMP;
      s.linear = trial % 7 != 0;
      s.colourOp = s.alphaOp = op[0];
      s.blend = op[1] != 0;
      s.srcBlend = op[2];
      s.destBlend = op[3];
      SpanSource src;
      src.colour = 0xFF000000u | next();
      if (trial % 11 == 0) src.colour &= 0x80FFFFFFu;
      if (trial % 17 == 5) src.colour = 0xFFFFFFFFu;
      src.u = static_cast<int64_t>(next() % (40 << 16)) - (12 << 16);
      src.v = static_cast<int64_t>(next() % (24 << 16)) - (8 << 16);
      src.du = static_cast<int64_t>(next() % (3 << 16)) - (3 << 15);
      src.dv = static_cast<int64_t>(next() % (2 << 16)) - (1 << 16);
      if (trial % 13 == 0) src.du = 0x10000, src.dv = 0, src.u |= 0x8000, src.v |= 0x8000;  // unscaled row
      if (trial % 13 == 1) src.du = 0x10000, src.dv = 0;  // unscaled, off the texel centres
      const int x = static_cast<int>(next() % 40), n = 1 + static_cast<int>(next() % (width - 41));
      const SpanShader shader = ChooseSpanShader(s, true);
      ASSERT_NE(shader, &ShadeSpan) << trial;
      s.target = fast.data();
      shader(s, x, 0, n, src);
      std::vector<uint32_t> untinted = general;
      s.target = general.data();
      ShadeSpan(s, x, 0, n, src);
      ASSERT_EQ(fast, general) << "trial " << trial << " wide " << wide;
      if (src.colour == 0xFFFFFFFFu && s.colourOp == D3DTOP_MODULATE) {
        // A tint by white leaves the texels as they are: the routine without
        // the tint gives the same pixels.
        SpanOp tinted = SpanOp::kCopy;
        ASSERT_TRUE(ChooseSpanOp(s, true, &tinted) || ChooseAddSpanOp(s, true, &tinted));
        const SpanOp plain = tinted == SpanOp::kTint        ? SpanOp::kCopy
                             : tinted == SpanOp::kTintBlend ? SpanOp::kBlend
                                                            : SpanOp::kAdd;
        s.target = untinted.data();
        SpanShaderFor(plain)(s, x, 0, n, src);
        ASSERT_EQ(untinted, general) << "trial " << trial << " wide " << wide;
      }
      if (wide == 0) {
        narrow.push_back(general);
      } else {
        ASSERT_EQ(general, narrow[trial]) << "trial " << trial;
      }
    }
  }
  SetAvx2Allowed(true);
  PixelState tested;
  tested.texels = texels.data();
  tested.colourOp = tested.alphaOp = D3DTOP_SELECTARG1;
  tested.alphaTest = true;
  EXPECT_EQ(ChooseSpanShader(tested, true), &ShadeSpan);  // tests keep the general routine
  tested.alphaTest = false;
  EXPECT_EQ(ChooseSpanShader(tested, false), &ShadeSpan);  // so does a Gouraud colour
}

TEST(GfxPipeline, StagesThatKeepTheTexelsSimplifyToSelectingThem) {
  // Black added, white or opaque modulated: the stage gives each texel as it
  // is, so selecting the texel draws the same pixels (blended, under the
  // alpha test); any other stage or colour is left alone.
  const int tw = 8, th = 8, width = 64;
  std::vector<uint32_t> texels(tw * th);
  for (int i = 0; i < tw * th; ++i) texels[i] = Noise(i, 9);
  const uint32_t colourOps[] = {D3DTOP_ADD, D3DTOP_MODULATE, D3DTOP_SELECTARG1, D3DTOP_SELECTARG2};
  const uint32_t alphaOps[] = {D3DTOP_ADD, D3DTOP_MODULATE, D3DTOP_SELECTARG1, D3DTOP_DISABLE};
  const uint32_t colours[] = {0xFF000000u, 0x00000000u, 0xFFFFFFFFu, 0x00FFFFFFu, 0xFF000001u, 0x80102030u};
  int simplified = 0;
  for (uint32_t colourOp : colourOps) {
    for (uint32_t alphaOp : alphaOps) {
      for (uint32_t colour : colours) {
        PixelState s;
        s.targetPitch = width;
        s.texels = texels.data();
        s.texWidth = tw;
        s.texHeight = th;
        s.linear = true;
        s.colourOp = colourOp;
        s.alphaOp = alphaOp;
        s.blend = true;
        s.srcBlend = D3DBLEND_SRCALPHA;
        s.destBlend = D3DBLEND_INVSRCALPHA;
        s.alphaTest = true;
        s.alphaFunc = D3DCMP_GREATEREQUAL;
        s.alphaRef = 100;
        PixelState t = s;
        SimplifyStage(&t, colour);
        const bool keeps = (colourOp == D3DTOP_ADD && (colour & 0xFFFFFFu) == 0) ||
                           (colourOp == D3DTOP_MODULATE && (colour & 0xFFFFFFu) == 0xFFFFFFu) ||
                           colourOp == D3DTOP_SELECTARG1;
        const bool alphaKept = (alphaOp == D3DTOP_ADD && colour >> 24 == 0) ||
                               (alphaOp == D3DTOP_MODULATE && colour >> 24 == 0xFF) || alphaOp == D3DTOP_SELECTARG1;
        ASSERT_EQ(t.colourOp == D3DTOP_SELECTARG1 && t.alphaOp == D3DTOP_SELECTARG1, keeps && alphaKept)
            << colourOp << " " << alphaOp << " " << std::hex << colour;
        if (!(keeps && alphaKept)) {
          ASSERT_EQ(t.colourOp, colourOp);
          ASSERT_EQ(t.alphaOp, alphaOp);
          continue;
        }
        ++simplified;
        SpanSource src;
        src.colour = colour;
        src.u = -0x18000;
        src.v = 0x12345;
        src.du = 0x2100;
        src.dv = 0x0900;
        std::vector<uint32_t> before(width), after(width);
        for (int i = 0; i < width; ++i) before[i] = after[i] = Noise(i, 3);
        s.target = before.data();
        ShadeSpan(s, 0, 0, width, src);
        t.target = after.data();
        ShadeSpan(t, 0, 0, width, src);
        ASSERT_EQ(before, after) << colourOp << " " << alphaOp << " " << std::hex << colour;
      }
    }
  }
  EXPECT_EQ(simplified, 19);
}
