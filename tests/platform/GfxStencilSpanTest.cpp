// The narrow stencil routines against ShadeSpan: textured pieces marking the
// stencil without writing colour under the alpha test, and one untextured
// colour blended under the stencil test (a dimmed window's two passes), over
// random rectangles, texel steps, filters, colours, references, alpha
// references, write masks and stencil contents. Colour and stencil must come
// out the same to the bit.
#include <vector>

#include "GfxTestRig.h"
#include "platform/gfx/GfxPipeline.h"
#include "testsupport/SeededRandom.h"

using namespace gfxtest;

namespace {

constexpr int kStencilRigW = 96, kStencilRigH = 24;

struct StencilBuffers {
  std::vector<uint32_t> colour;
  std::vector<uint8_t> stencil;
};

// Shades the rows [top, bottom) of a rectangle from `left`, `width` pixels
// wide, with `shade`, the texel coordinates stepping down the rows as the
// rasteriser steps them.
void ShadeRect(SpanShader shade, PixelState s, StencilBuffers* b, int left, int top, int bottom, int width,
               SpanSource src, int64_t duRow, int64_t dvRow) {
  s.target = b->colour.data();
  s.stencil = b->stencil.data();
  for (int y = top; y < bottom; ++y, src.u += duRow, src.v += dvRow) shade(s, left, y, width, src);
}

}  // namespace

TEST(GfxStencilSpan, MarkAndFillRoutinesMatchTheGeneralPathExactly) {
  testsupport::SeededRandom rng{1107};
  const uint32_t funcs[] = {D3DCMP_NEVER, D3DCMP_LESS, D3DCMP_EQUAL, D3DCMP_LESSEQUAL, D3DCMP_GREATER,
                            D3DCMP_NOTEQUAL, D3DCMP_GREATEREQUAL, D3DCMP_ALWAYS};
  const uint32_t stencilOps[] = {D3DSTENCILOP_KEEP, D3DSTENCILOP_ZERO, D3DSTENCILOP_REPLACE, D3DSTENCILOP_INCRSAT,
                                 D3DSTENCILOP_DECRSAT, D3DSTENCILOP_INVERT, D3DSTENCILOP_INCR, D3DSTENCILOP_DECR};
  const uint32_t alphaOps[] = {D3DTOP_SELECTARG1, D3DTOP_MODULATE, D3DTOP_DISABLE, D3DTOP_SELECTARG2, D3DTOP_ADD};
  const uint32_t blends[] = {D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DBLEND_ONE, D3DBLEND_ZERO,
                             D3DBLEND_DESTCOLOR};
  int marks = 0, fills = 0;
  for (int trial = 0; trial < 1200; ++trial) {
    const bool mark = trial % 2 == 0;
    // Half the trials take the states the windows use; the rest any others.
    const bool usual = trial % 4 < 2;
    const int tw = rng.Range(1, 40), th = rng.Range(1, 20);
    std::vector<uint32_t> texels(static_cast<size_t>(tw * th));
    for (int i = 0; i < tw * th; ++i) {
      const uint32_t n = Noise(i, trial);
      const uint32_t texelAlphas[] = {0, 255, 127, 128, n >> 24};
      texels[static_cast<size_t>(i)] = (n & 0x00FFFFFFu) | (texelAlphas[rng.Next() % 5] << 24);
    }
    PixelState s;
    s.targetPitch = s.stencilPitch = kStencilRigW;
    s.stencilTest = true;
    s.stencilRef = rng.Next() % 4 == 0 ? rng.Next() : rng.Next() % 3;
    s.stencilMask = rng.Next() % 3 == 0 ? rng.Next() : 0xFF;
    s.stencilWriteMask = rng.Next() % 3 == 0 ? rng.Next() : 0xFF;
    s.alphaTest = !usual ? rng.Next() % 2 == 0 : mark;
    s.alphaFunc = usual ? D3DCMP_GREATEREQUAL : funcs[rng.Next() % 8];
    s.alphaRef = rng.Next() % 3 == 0 ? rng.Next() : 128;
    if (mark) {
      s.texels = texels.data();
      s.texWidth = tw;
      s.texHeight = th;
      s.addressU = 1 + rng.Next() % 5;
      s.addressV = 1 + rng.Next() % 5;
      s.borderColour = rng.Next() << 8 | rng.Next() % 256;
      s.linear = rng.Next() % 2 == 0;
      const uint32_t colourOps[] = {D3DTOP_MODULATE, D3DTOP_SELECTARG1, D3DTOP_ADD, D3DTOP_SELECTARG2};
      s.colourOp = usual ? D3DTOP_MODULATE : colourOps[rng.Next() % 4];
      s.alphaOp = usual ? alphaOps[rng.Next() % 2] : alphaOps[rng.Next() % 5];
      s.stencilFunc = usual ? D3DCMP_ALWAYS : funcs[rng.Next() % 8];
      s.stencilPass = usual ? D3DSTENCILOP_REPLACE : stencilOps[rng.Next() % 8];
      s.stencilFail = stencilOps[rng.Next() % 8];
      s.writeMask = usual ? 0 : (rng.Next() % 2) * D3DCOLORWRITEENABLE_ALPHA;
      s.blend = rng.Next() % 2 == 0;
    } else {
      if (rng.Next() % 4 == 0) {  // a texture bound but the stage disabled
        s.texels = texels.data();
        s.texWidth = tw;
        s.texHeight = th;
        s.colourOp = D3DTOP_DISABLE;
      }
      s.stencilFunc = usual ? D3DCMP_EQUAL : funcs[rng.Next() % 8];
      s.stencilPass = usual ? D3DSTENCILOP_INCRSAT : stencilOps[rng.Next() % 8];
      s.stencilFail = usual ? D3DSTENCILOP_KEEP : stencilOps[rng.Next() % 8];
      s.writeMask = usual ? 0xF : rng.Next() % 16;
      s.blend = usual || rng.Next() % 4 != 0;
      s.srcBlend = usual ? D3DBLEND_SRCALPHA : blends[rng.Next() % 5];
      s.destBlend = usual ? D3DBLEND_INVSRCALPHA : blends[rng.Next() % 5];
    }

    SpanSource src;
    const uint32_t alphas[] = {0x80u, 0xFFu, 0x00u, rng.Next() % 256};
    src.colour = (rng.Next() & 0x00FFFFFFu) | (alphas[rng.Next() % 4] << 24);
    // Texel steps from a unit step on texel centres (unscaled pieces) to
    // scaled and flipped ones, starting anywhere near the texture.
    const bool unit = rng.Next() % 3 == 0;
    src.du = unit ? 0x10000 : static_cast<int64_t>(rng.Next() % (3 << 16)) - (1 << 16);
    src.dv = unit || rng.Next() % 2 == 0 ? 0 : static_cast<int64_t>(rng.Next() % 0x8000);
    src.u = unit ? (static_cast<int64_t>(rng.Range(-2, tw)) << 16) + 0x8000
                 : static_cast<int64_t>(rng.Next() % (static_cast<uint32_t>(tw + 4) << 16)) - (2 << 16);
    src.v = unit ? (static_cast<int64_t>(rng.Range(-2, th)) << 16) + 0x8000
                 : static_cast<int64_t>(rng.Next() % (static_cast<uint32_t>(th + 4) << 16)) - (2 << 16);
    const int64_t duRow = unit ? 0 : static_cast<int64_t>(rng.Next() % 0x8000);
    const int64_t dvRow = unit ? 0x10000 : static_cast<int64_t>(rng.Next() % (2 << 16)) - 0x8000;
    const int left = rng.Range(0, kStencilRigW - 1), top = rng.Range(0, kStencilRigH - 1);
    const int width = rng.Range(1, kStencilRigW - left), bottom = rng.Range(top + 1, kStencilRigH);

    // Stencil pre-filled with values around the reference and saturated ones.
    StencilBuffers start;
    for (int i = 0; i < kStencilRigW * kStencilRigH; ++i) {
      start.colour.push_back(Noise(i, trial + 5000));
      const uint8_t around[] = {static_cast<uint8_t>(s.stencilRef), static_cast<uint8_t>(s.stencilRef + 1), 0, 255,
                                static_cast<uint8_t>(rng.Next())};
      start.stencil.push_back(around[rng.Next() % 5]);
    }
    s.stencil = start.stencil.data();  // the routines are chosen for a device with a stencil buffer
    const SpanShader narrow = ChooseSpanShader(s, true);
    ASSERT_NE(narrow, &ShadeSpan) << "trial " << trial;
    (mark ? marks : fills)++;
    StencilBuffers general = start, fast = start;
    ShadeRect(ShadeSpan, s, &general, left, top, bottom, width, src, duRow, dvRow);
    ShadeRect(narrow, s, &fast, left, top, bottom, width, src, duRow, dvRow);
    ASSERT_EQ(fast.stencil, general.stencil) << "trial " << trial << (mark ? " mark" : " fill");
    ASSERT_EQ(fast.colour, general.colour) << "trial " << trial << (mark ? " mark" : " fill");
    if (mark) {
      ASSERT_EQ(fast.colour, start.colour) << "trial " << trial;
    }
  }
  EXPECT_GT(marks, 500);
  EXPECT_GT(fills, 500);
}
