// Unrotated rectangles of bilinear texels drawn by the wide path (texel
// columns weighted once per row) against the narrow span path: the same
// pixels under every narrow routine, magnified, minified, flipped, at every
// addressing mode, on textures narrower than a vector and cut by the
// screen's edges and the scissor.
#include <vector>

#include "GfxTestRig.h"
#include "platform/gfx/GfxSimdAvx2.h"
#include "testsupport/SeededRandom.h"

using namespace gfxtest;

TEST(GfxScaledRect, ScaledRectanglesMatchTheNarrowPathExactly) {
  const int sizes[][2] = {{1, 1}, {2, 1}, {5, 3}, {7, 9}, {8, 8}, {13, 5}, {16, 16}, {32, 8}, {64, 32}};
  const uint32_t modes[] = {D3DTADDRESS_WRAP, D3DTADDRESS_CLAMP, D3DTADDRESS_MIRROR, D3DTADDRESS_MIRRORONCE,
                            D3DTADDRESS_BORDER};
  const uint32_t ops[] = {D3DTOP_SELECTARG1, D3DTOP_MODULATE};
  testsupport::SeededRandom rng{2024};
  for (int trial = 0; trial < 400; ++trial) {
    const auto& size = sizes[trial % 9];
    const uint32_t addressU = modes[rng.Next() % 5], addressV = modes[rng.Next() % 5];
    const uint32_t op = ops[trial % 2];
    const bool blend = trial % 4 >= 2, scissor = trial % 7 == 0;
    const uint32_t colours[] = {0xFFFFFFFFu, 0xC080FF40u, 0xFF000000u | rng.Next(), rng.Next() << 8 | 0x7F};
    const uint32_t colour = colours[rng.Next() % 4];
    // Corners on a quarter-pixel grid, partly off the screen now and then;
    // texel ranges from a sixth of a texel to four texels a pixel, either
    // way round.
    const float x0 = rng.Grid(-8, 50, 4), y0 = rng.Grid(-6, 36, 4);
    const float w = rng.Grid(1, 40, 4), h = rng.Grid(1, 30, 4);
    const float across = static_cast<float>(rng.Range(1, 24) * size[0]) / 6.0f / w * (rng.Next() % 2 ? 1 : -1);
    const float down = static_cast<float>(rng.Range(1, 24) * size[1]) / 6.0f / h * (rng.Next() % 2 ? 1 : -1);
    const float u0 = rng.Grid(-1.5f, 1.5f, 8), v0 = rng.Grid(-1.5f, 1.5f, 8);
    const float u1 = u0 + across * w / static_cast<float>(size[0]), v1 = v0 + down * h / static_cast<float>(size[1]);
    std::vector<uint32_t> images[2];
    for (int wide = 0; wide < 2; ++wide) {
      SetAvx2Allowed(wide == 1);
      Rig rig(64, 48);
      auto tex = rig.MakeTexture(static_cast<uint32_t>(size[0]), static_cast<uint32_t>(size[1]), [&](int x, int y) {
        const uint32_t n = Noise(x, y, static_cast<uint32_t>(trial));
        return (x + 2 * y) % 5 == 0 ? n & 0x00FFFFFFu : (x * y) % 3 == 0 ? n | 0xFF000000u : n;
      });
      rig.Dev()->SetTexture(0, tex.get());
      rig.Dev()->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
      rig.Dev()->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
      rig.Dev()->SetSamplerState(0, D3DSAMP_ADDRESSU, addressU);
      rig.Dev()->SetSamplerState(0, D3DSAMP_ADDRESSV, addressV);
      rig.Dev()->SetSamplerState(0, D3DSAMP_BORDERCOLOR, 0x80402010u);
      rig.Dev()->SetTextureStageState(0, D3DTSS_COLOROP, op);
      rig.Dev()->SetTextureStageState(0, D3DTSS_ALPHAOP, op);
      rig.Fill(0xFF306090u);
      if (blend) rig.Blend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
      const Rect clip{5, 3, 41, 30};
      rig.Dev()->SetScissorRect(&clip);
      rig.Dev()->SetRenderState(D3DRS_SCISSORTESTENABLE, scissor);
      rig.TexQuad(x0, y0, x0 + w, y0 + h, colour, u0, v0, u1, v1);
      for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) images[wide].push_back(rig.Pixel(x, y));
      }
    }
    SetAvx2Allowed(true);
    ASSERT_EQ(images[0], images[1]) << "trial " << trial << " texture " << size[0] << "x" << size[1] << " modes "
                                    << addressU << "," << addressV << " op " << op << " blend " << blend;
  }
}
