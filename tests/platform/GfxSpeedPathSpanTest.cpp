// The wide vector span paths against the narrow ones on the cases they treat
// specially: bilinear footprints that reach past clamped edges of small and
// odd-sized textures, and blended sprites whose rows mix clear, opaque and
// partly transparent runs.
#include <vector>

#include "GfxTestRig.h"
#include "platform/gfx/GfxPipeline.h"
#include "platform/gfx/GfxSimdAvx2.h"

using namespace gfxtest;

namespace {

struct Lcg {
  uint32_t s;
  uint32_t Next() {
    s = s * 1664525u + 1013904223u;
    return s >> 8;
  }
};

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
  Lcg rng{99};
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
