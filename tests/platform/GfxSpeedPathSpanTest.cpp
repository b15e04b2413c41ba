// The wide vector span paths against the narrow ones on the cases they treat
// specially: bilinear footprints that reach past clamped edges of small and
// odd-sized textures (also a texel a pixel, as sprites drawn at 1:1 off the
// pixel grid sample them), and blended sprites whose rows mix clear, opaque and
// partly transparent runs.
#include <vector>

#include "GfxTestRig.h"
#include "platform/gfx/GfxPipeline.h"
#include "platform/gfx/GfxSimdAvx2.h"
#include "testsupport/SeededRandom.h"

using namespace gfxtest;

namespace {

using testsupport::SeededRandom;

// Runs `shade` over one row on both vector paths and returns both rows.
template <typename Shade>
void WideAndNarrow(const std::vector<uint32_t>& start, Shade shade, std::vector<uint32_t>* wide,
                   std::vector<uint32_t>* narrow) {
  *wide = start;
  *narrow = start;
  SetAvx2Allowed(true);
  shade(wide->data());
  SetAvx2Allowed(false);
  shade(narrow->data());
  SetAvx2Allowed(true);
}

}  // namespace

TEST(GfxSpeedPathSpan, BilinearSpansPastClampedEdgesMatchOnBothPaths) {
  // Texture sizes down to one texel wide or high, clamped in both directions
  // or clamped across and wrapped down; spans start and end far outside.
  const int sizes[][2] = {{1, 1}, {2, 1}, {1, 5}, {2, 2}, {3, 7}, {5, 3}, {16, 8}, {64, 64}};
  SeededRandom rng{99};
  for (const auto& size : sizes) {
    const int tw = size[0], th = size[1];
    std::vector<uint32_t> texels(static_cast<size_t>(tw * th));
    for (int i = 0; i < tw * th; ++i) texels[static_cast<size_t>(i)] = Noise(i, tw * 100 + th);
    for (int trial = 0; trial < 150; ++trial) {
      PixelState s;
      s.targetPitch = 200;
      s.texels = texels.data();
      s.texWidth = tw;
      s.texHeight = th;
      s.addressU = D3DTADDRESS_CLAMP;
      const bool wrapV = trial % 3 == 2 && (th & (th - 1)) == 0;
      s.addressV = wrapV ? D3DTADDRESS_WRAP : D3DTADDRESS_CLAMP;
      s.linear = true;
      s.colourOp = s.alphaOp = D3DTOP_SELECTARG1;
      SpanSource src;
      const int64_t reachU = (tw + 8) << 16, reachV = (th + 8) << 16;
      src.u = static_cast<int64_t>(rng.Next() % static_cast<uint32_t>(2 * reachU)) - reachU;
      src.v = static_cast<int64_t>(rng.Next() % static_cast<uint32_t>(2 * reachV)) - reachV;
      src.du = static_cast<int64_t>(rng.Next() % (4 << 16)) - (2 << 16);
      src.dv = static_cast<int64_t>(rng.Next() % (2 << 16)) - (1 << 16);
      if (trial % 5 == 0) src.dv = 0;  // along a row of texels
      if (trial % 5 == 1) src.du = 0x10000, src.dv = 0;  // a texel a pixel, off the texel centres
      const int x = static_cast<int>(rng.Next() % 20), n = 1 + static_cast<int>(rng.Next() % 170);
      std::vector<uint32_t> start(200, 0xFF123456u), wide, narrow, general;
      WideAndNarrow(
          start,
          [&](uint32_t* row) {
            s.target = row;
            ShadeSpan(s, x, 0, n, src);
          },
          &wide, &narrow);
      ASSERT_EQ(wide, narrow) << tw << "x" << th << " trial " << trial;
      // Spot checks against the plain bilinear weights with clamped texels.
      for (int i = 0; i < n; i += 7) {
        const int64_t tu = src.u + src.du * i - 0x8000, tv = src.v + src.dv * i - 0x8000;
        auto texel = [&](int64_t cx, int64_t cy) {
          cx = std::clamp<int64_t>(cx, 0, tw - 1);
          cy = wrapV ? (cy & (th - 1)) : std::clamp<int64_t>(cy, 0, th - 1);
          return texels[static_cast<size_t>(cy * tw + cx)];
        };
        const int64_t ix = tu >> 16, iy = tv >> 16;
        const uint32_t want = BilinearPlain(texel(ix, iy), texel(ix + 1, iy), texel(ix, iy + 1), texel(ix + 1, iy + 1),
                                            static_cast<uint32_t>(tu >> 9) & 127, static_cast<uint32_t>(tv >> 9) & 127);
        ASSERT_EQ(wide[static_cast<size_t>(x + i)], want) << tw << "x" << th << " trial " << trial << " at " << i;
      }
    }
  }
}

TEST(GfxSpeedPathSpan, UnscaledSpritesDrawTheSameRowByRowAsTriangleByTriangle) {
  // Sprites at 1:1 with every narrow routine (copy, blend, tint, tint and
  // blend) under both filters, whole or cut by the screen edge and the
  // scissor, with texel rows inside the texture and reaching past it.
  struct Case {
    uint32_t op;
    bool blend, linear, scissor;
    float x, y, u0, v0;
  };
  const Case cases[] = {
      {D3DTOP_SELECTARG1, false, true, false, 3, 4, 0, 0},    {D3DTOP_SELECTARG1, true, true, false, 10, 2, 0, 0},
      {D3DTOP_MODULATE, false, true, false, -5, 7, 0, 0},     {D3DTOP_MODULATE, true, true, false, 30, 30, 0, 0},
      {D3DTOP_SELECTARG1, true, false, true, 2, 2, 0.25f, 0}, {D3DTOP_MODULATE, true, true, true, 1, -3, 0, 0.125f},
      {D3DTOP_SELECTARG1, true, true, false, 4, 4, 0.5f, 0},  {D3DTOP_MODULATE, true, false, false, 4, 4, 0, 0.75f},
      {D3DTOP_SELECTARG1, true, true, false, 4, 4, -0.25f, 0}, {D3DTOP_MODULATE, true, true, false, 4.3f, 4.6f, 0, 0},
  };
  for (bool wide : {true, false}) {
    for (const Case& c : cases) {
      std::vector<uint32_t> images[2];
      for (int pass = 0; pass < 2; ++pass) {
        SetAvx2Allowed(wide);
        Rig rig(48, 40);
        rig.Soft()->SetRectanglePass(pass == 0);
        auto tex = rig.MakeTexture(32, 16, [](int x, int y) {
          const uint32_t n = Noise(x, y, 4);
          return (x + y) % 5 == 0 ? n & 0x00FFFFFFu : (x * y) % 3 == 0 ? n | 0xFF000000u : n;
        });
        rig.Dev()->SetTexture(0, tex.get());
        const uint32_t filter = c.linear ? D3DTEXF_LINEAR : D3DTEXF_POINT;
        rig.Dev()->SetSamplerState(0, D3DSAMP_MINFILTER, filter);
        rig.Dev()->SetSamplerState(0, D3DSAMP_MAGFILTER, filter);
        rig.Dev()->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
        rig.Dev()->SetTextureStageState(0, D3DTSS_COLOROP, c.op);
        rig.Dev()->SetTextureStageState(0, D3DTSS_ALPHAOP, c.op);
        rig.Fill(0xFF306090u);
        if (c.blend) rig.Blend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
        const Rect clip{5, 3, 40, 30};
        rig.Dev()->SetScissorRect(&clip);
        rig.Dev()->SetRenderState(D3DRS_SCISSORTESTENABLE, c.scissor);
        rig.TexQuad(c.x - 0.5f, c.y - 0.5f, c.x + 31.5f, c.y + 15.5f, 0xC080FF40u, c.u0, c.v0, c.u0 + 1, c.v0 + 1);
        for (int y = 0; y < 40; ++y) {
          for (int x = 0; x < 48; ++x) images[pass].push_back(rig.Pixel(x, y));
        }
      }
      SetAvx2Allowed(true);
      ASSERT_EQ(images[0], images[1]) << "op " << c.op << " at " << c.x << "," << c.y << " wide " << wide;
    }
  }
}
