// Sprites of bilinear texels drawn by the wide paths (unrotated rectangles
// whose texel columns are weighted once per row; turned quads and sprites
// a texel a pixel read from the texture's footprint table) against the
// narrow span path: the same pixels under every narrow routine, magnified,
// minified, flipped and turned, in quads and in single triangles, at every
// addressing mode, on textures narrower than a vector, cut by the screen's
// edges and the scissor, and after the texture or its addressing changes.
#include <cmath>
#include <cstring>
#include <vector>

#include "GfxTestRig.h"
#include "platform/gfx/GfxFootprints.h"
#include "platform/gfx/GfxSimdAvx2.h"
#include "testsupport/SeededRandom.h"

using namespace gfxtest;

namespace {

const uint32_t kModes[] = {D3DTADDRESS_WRAP, D3DTADDRESS_CLAMP, D3DTADDRESS_MIRROR, D3DTADDRESS_MIRRORONCE,
                           D3DTADDRESS_BORDER};

// Clear, opaque and partly transparent texels (all opaque when `opaque`);
// with `disc`, an opaque disc with a soft rim, clear outside, so that
// whole groups of pixels are opaque or clear; with `blob`, a small ellipse
// of texels that are not clear somewhere in a clear texture (on its border
// now and then, none at all for every fifth seed).
uint32_t SpriteTexel(int x, int y, uint32_t seed, bool opaque, bool disc = false, int w = 1, int h = 1,
                     bool blob = false) {
  const uint32_t n = Noise(x, y, seed);
  if (opaque) return n | 0xFF000000u;
  if (blob) {
    const double cx = seed % 7 == 0 ? 0.0 : 0.25 + (seed % 11) / 20.0, cy = 0.2 + (seed % 13) / 20.0;
    const double rx = 0.08 + (seed % 4) / 20.0, ry = 0.1 + (seed % 3) / 20.0;
    const double dx = ((x + 0.5) / w - cx) / rx, dy = ((y + 0.5) / h - cy) / ry;
    return seed % 5 != 0 && dx * dx + dy * dy < 1.0 ? n | 0x20000000u : n & 0x00FFFFFFu;
  }
  if (disc) {
    const double dx = (x + 0.5) / w - 0.5, dy = (y + 0.5) / h - 0.5, d = std::sqrt(dx * dx + dy * dy);
    return d < 0.4 ? n | 0xFF000000u : d < 0.5 ? (n & 0x00FFFFFFu) | 0x80000000u : n & 0x00FFFFFFu;
  }
  return (x + 2 * y) % 5 == 0 ? n & 0x00FFFFFFu : (x * y) % 3 == 0 ? n | 0xFF000000u : n;
}

struct Sprite {
  int width, height;     // of the texture
  uint32_t addressU, addressV, op, colour;
  bool blend, opaque, scissor;
  uint32_t seed;
  TexVertex corners[4];
  bool disc = false;
  uint32_t triangles = 2;  // of the fan over the corners
  bool blob = false;
  bool added = false;  // added to the target by the texels' alpha (source alpha, one)
};

// The sprite drawn with the wide paths on and off.
void DrawBothWays(const Sprite& s, std::vector<uint32_t>* wide, std::vector<uint32_t>* narrow) {
  for (int pass = 0; pass < 2; ++pass) {
    SetAvx2Allowed(pass == 0);
    Rig rig(64, 48);
    auto tex = rig.MakeTexture(static_cast<uint32_t>(s.width), static_cast<uint32_t>(s.height),
                               [&](int x, int y) { return SpriteTexel(x, y, s.seed, s.opaque, s.disc, s.width, s.height, s.blob); });
    rig.Dev()->SetTexture(0, tex.get());
    rig.Dev()->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    rig.Dev()->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    rig.Dev()->SetSamplerState(0, D3DSAMP_ADDRESSU, s.addressU);
    rig.Dev()->SetSamplerState(0, D3DSAMP_ADDRESSV, s.addressV);
    rig.Dev()->SetSamplerState(0, D3DSAMP_BORDERCOLOR, 0x80402010u);
    rig.Dev()->SetTextureStageState(0, D3DTSS_COLOROP, s.op);
    rig.Dev()->SetTextureStageState(0, D3DTSS_ALPHAOP, s.op);
    rig.Fill(0xFF306090u);
    if (s.blend) rig.Blend(D3DBLEND_SRCALPHA, s.added ? D3DBLEND_ONE : D3DBLEND_INVSRCALPHA);
    const Rect clip{5, 3, 41, 30};
    rig.Dev()->SetScissorRect(&clip);
    rig.Dev()->SetRenderState(D3DRS_SCISSORTESTENABLE, s.scissor);
    rig.Dev()->SetFVF(0x142);
    rig.Dev()->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, s.triangles, s.corners, sizeof(TexVertex));
    std::vector<uint32_t>& out = pass == 0 ? *wide : *narrow;
    for (int y = 0; y < 48; ++y) {
      for (int x = 0; x < 64; ++x) out.push_back(rig.Pixel(x, y));
    }
  }
  SetAvx2Allowed(true);
}

// The sprite's corners around (cx, cy), `side` pixels across and `stretch`
// times that down, turned by `angle`, on the sub-pixel grid; its texture
// from (u0, v0) on, `repeat` times over.
void PlaceTurned(Sprite* s, float cx, float cy, double angle, double side, double stretch, float u0, float v0,
                 float repeat) {
  auto grid = [](double x) { return std::round(static_cast<float>(x) * 256) / 256; };
  const float ax = grid(std::cos(angle) * side / 2), ay = grid(std::sin(angle) * side / 2);
  const float bx = grid(-std::sin(angle) * side * stretch / 2), by = grid(std::cos(angle) * side * stretch / 2);
  const float corner[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
  for (int i = 0; i < 4; ++i) {
    s->corners[i] = {cx + corner[i][0] * ax + corner[i][1] * bx, cy + corner[i][0] * ay + corner[i][1] * by, 0,
                     s->colour, u0 + (corner[i][0] > 0 ? repeat : 0), v0 + (corner[i][1] > 0 ? repeat : 0)};
  }
}

}  // namespace

TEST(GfxWideSprites, ScaledRectanglesMatchTheNarrowPathExactly) {
  if (!WidePathsPresent()) GTEST_SKIP() << kNoWidePaths;
  const int sizes[][2] = {{1, 1}, {2, 1}, {5, 3}, {7, 9}, {8, 8}, {13, 5}, {16, 16}, {32, 8}, {64, 32}};
  const uint32_t ops[] = {D3DTOP_SELECTARG1, D3DTOP_MODULATE};
  testsupport::SeededRandom rng{2024};
  for (int trial = 0; trial < 400; ++trial) {
    const auto& size = sizes[trial % 9];
    const uint32_t addressU = kModes[rng.Next() % 5], addressV = kModes[rng.Next() % 5];
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
    Sprite s{size[0], size[1], addressU, addressV, op, colour, blend, false, scissor, static_cast<uint32_t>(trial), {},
             trial % 8 == 3};
    s.corners[0] = {x0, y0, 0, colour, u0, v0};
    s.corners[1] = {x0 + w, y0, 0, colour, u1, v0};
    s.corners[2] = {x0 + w, y0 + h, 0, colour, u1, v1};
    s.corners[3] = {x0, y0 + h, 0, colour, u0, v1};
    std::vector<uint32_t> wide, narrow;
    DrawBothWays(s, &wide, &narrow);
    ASSERT_EQ(wide, narrow) << "trial " << trial << " texture " << size[0] << "x" << size[1] << " modes " << addressU
                            << "," << addressV << " op " << op << " blend " << blend;
  }
}

TEST(GfxWideSprites, ScaledRectanglesOverLongRunsOfColumnsMatchTheNarrowPathExactly) {
  if (!WidePathsPresent()) GTEST_SKIP() << kNoWidePaths;
  // Textures a few hundred texels wide shrunk onto the whole target, so that
  // a row weights its columns in several pieces (and a short last one), the
  // rows ahead asked for as they go; starting off the texture now and then.
  testsupport::SeededRandom rng{4242};
  for (int trial = 0; trial < 60; ++trial) {
    const int width = rng.Range(70, 300), height = rng.Range(2, 40);
    const uint32_t addressU = kModes[rng.Next() % 4], addressV = kModes[rng.Next() % 4];
    const uint32_t colour = trial % 3 == 0 ? 0xFFFFFFFFu : 0xFF000000u | rng.Next();
    Sprite s{width, height, addressU, addressV, trial % 2 ? D3DTOP_MODULATE : D3DTOP_SELECTARG1, colour,
             trial % 4 >= 2, trial % 5 == 0, false, static_cast<uint32_t>(trial), {}, trial % 6 == 1};
    const float x0 = rng.Grid(-4, 4, 4), y0 = rng.Grid(-4, 8, 4), w = rng.Grid(40, 70, 4), h = rng.Grid(8, 44, 4);
    const float across = rng.Grid(1.1f, 4.0f, 16) * w / static_cast<float>(width);
    const float down = rng.Grid(0.3f, 3.0f, 16) * h / static_cast<float>(height);
    const float u0 = rng.Next() % 3 ? rng.Grid(0, 0.2f, 16) : rng.Grid(-0.3f, 0.3f, 16), v0 = rng.Grid(-0.2f, 0.2f, 16);
    s.corners[0] = {x0, y0, 0, colour, u0, v0};
    s.corners[1] = {x0 + w, y0, 0, colour, u0 + across, v0};
    s.corners[2] = {x0 + w, y0 + h, 0, colour, u0 + across, v0 + down};
    s.corners[3] = {x0, y0 + h, 0, colour, u0, v0 + down};
    std::vector<uint32_t> wide, narrow;
    DrawBothWays(s, &wide, &narrow);
    ASSERT_EQ(wide, narrow) << "trial " << trial << " texture " << width << "x" << height << " modes " << addressU
                            << "," << addressV;
  }
}

TEST(GfxWideSprites, TurnedAndUnitStepSpritesMatchTheNarrowPathExactly) {
  if (!WidePathsPresent()) GTEST_SKIP() << kNoWidePaths;
  const int sizes[][2] = {{1, 1}, {2, 2}, {3, 5}, {8, 8}, {16, 4}, {32, 32}, {64, 16}};
  const uint32_t ops[] = {D3DTOP_SELECTARG1, D3DTOP_MODULATE};
  testsupport::SeededRandom rng{77};
  for (int trial = 0; trial < 400; ++trial) {
    Sprite s{};
    const auto& size = sizes[trial % 7];
    s.width = size[0];
    s.height = size[1];
    s.addressU = kModes[rng.Next() % 5];
    s.addressV = rng.Next() % 2 ? s.addressU : kModes[rng.Next() % 5];
    s.op = ops[rng.Next() % 2];
    s.blend = rng.Next() % 4 != 0;
    s.opaque = rng.Next() % 4 == 0;
    s.disc = trial % 8 == 5;
    s.scissor = trial % 7 == 0;
    s.seed = static_cast<uint32_t>(trial);
    const uint32_t colours[] = {0xFFFFFFFFu, 0xC080FF40u, 0xFF000000u | rng.Next(), rng.Next() << 8 | 0x7F};
    s.colour = colours[rng.Next() % 4];
    // Every third sprite unturned at a texel a pixel, off the pixel grid;
    // the others turned, scaled and stretched, corners on the sub-pixel grid.
    const bool unit = trial % 3 == 0;
    const float cx = rng.Grid(-4, 68, 256), cy = rng.Grid(-4, 52, 256);
    const double angle = unit ? 0 : (rng.Next() % 6283) / 1000.0;
    const double side = unit ? s.width : 3 + (rng.Next() % 3000) / 100.0;
    const double stretch = unit ? static_cast<double>(s.height) / s.width : 0.3 + (rng.Next() % 150) / 100.0;
    // The texture once over the sprite, or a part or several times over.
    float u0 = rng.Next() % 3 ? 0 : rng.Grid(-2, 2, 8), v0 = rng.Next() % 3 ? 0 : rng.Grid(-2, 2, 8);
    if (unit) {  // up to a texel and a half off, where the entries just reach the table's edge or pass it
      u0 = static_cast<float>(rng.Range(-3, 3)) * 0.5f / static_cast<float>(s.width);
      v0 = static_cast<float>(rng.Range(-3, 3)) * 0.5f / static_cast<float>(s.height);
    }
    const float repeat = unit || rng.Next() % 2 ? 1 : rng.Grid(0.25f, 3, 8);
    PlaceTurned(&s, cx, cy, angle, side, stretch, u0, v0, repeat);
    std::vector<uint32_t> wide, narrow;
    DrawBothWays(s, &wide, &narrow);
    ASSERT_EQ(wide, narrow) << "trial " << trial << " texture " << s.width << "x" << s.height << " modes "
                            << s.addressU << "," << s.addressV << " op " << s.op << " blend " << s.blend;
  }
}

TEST(GfxWideSprites, TrianglesMatchTheNarrowPathExactly) {
  if (!WidePathsPresent()) GTEST_SKIP() << kNoWidePaths;
  // Single triangles, and turned quads whose fourth corner lies off the
  // texture plane of the first three (so drawn as two triangles), scaled up
  // and down, at every addressing mode: the wide path's spans start where
  // the narrow ones do and give the same pixels.
  const int sizes[][2] = {{2, 2}, {5, 3}, {16, 16}, {64, 64}, {32, 8}};
  const uint32_t ops[] = {D3DTOP_SELECTARG1, D3DTOP_MODULATE};
  testsupport::SeededRandom rng{91};
  for (int trial = 0; trial < 300; ++trial) {
    Sprite s{};
    s.width = sizes[trial % 5][0];
    s.height = sizes[trial % 5][1];
    s.addressU = kModes[rng.Next() % 5];
    s.addressV = rng.Next() % 2 ? s.addressU : kModes[rng.Next() % 5];
    s.op = ops[rng.Next() % 2];
    s.blend = rng.Next() % 4 != 0;
    s.opaque = trial % 6 == 0;
    s.disc = trial % 4 == 1;
    s.scissor = trial % 7 == 0;
    s.seed = static_cast<uint32_t>(trial);
    s.triangles = trial % 2 ? 1 : 2;
    const uint32_t colours[] = {0xFFFFFFFFu, 0xC080FF40u, 0xFF000000u | rng.Next(), rng.Next() << 8 | 0x7F};
    s.colour = colours[rng.Next() % 4];
    const float cx = rng.Grid(-4, 68, 256), cy = rng.Grid(-4, 52, 256);
    const double angle = (rng.Next() % 6283) / 1000.0, side = 3 + (rng.Next() % 4000) / 100.0;
    const float ax = static_cast<float>(std::cos(angle) * side / 2), ay = static_cast<float>(std::sin(angle) * side / 2);
    const float bx = static_cast<float>(-std::sin(angle) * side / 2), by = static_cast<float>(std::cos(angle) * side / 2);
    const float repeat = rng.Next() % 2 ? 1 : rng.Grid(0.25f, 3, 8), u0 = rng.Grid(-2, 2, 8), v0 = rng.Grid(-2, 2, 8);
    const float corner[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (int i = 0; i < 4; ++i) {
      s.corners[i] = {cx + corner[i][0] * ax + corner[i][1] * bx, cy + corner[i][0] * ay + corner[i][1] * by, 0,
                      s.colour, u0 + (corner[i][0] > 0 ? repeat : 0), v0 + (corner[i][1] > 0 ? repeat : 0)};
    }
    s.corners[3].x += rng.Grid(0.5f, 2, 8);  // off the plane
    std::vector<uint32_t> wide, narrow;
    DrawBothWays(s, &wide, &narrow);
    ASSERT_EQ(wide, narrow) << "trial " << trial << " texture " << s.width << "x" << s.height << " modes "
                            << s.addressU << "," << s.addressV << " op " << s.op << " blend " << s.blend;
  }
}

TEST(GfxWideSprites, FootprintsFollowTheTextureAndItsAddressing) {
  if (!WidePathsPresent()) GTEST_SKIP() << kNoWidePaths;
  // One texture drawn turned under clamp, then wrap, then again after its
  // texels change from opaque to partly clear: each drawing as the narrow
  // path draws it.
  std::vector<uint32_t> images[2];
  for (int pass = 0; pass < 2; ++pass) {
    SetAvx2Allowed(pass == 0);
    Rig rig(64, 48);
    auto tex = rig.MakeTexture(16, 16, [](int x, int y) { return SpriteTexel(x, y, 1, true); });
    rig.Dev()->SetTexture(0, tex.get());
    rig.Dev()->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    rig.Dev()->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    rig.Blend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    rig.Fill(0xFF306090u);
    auto draw = [&](float cx, float cy) {
      const TexVertex q[4] = {{cx, cy - 14, 0, 0xFFFFFFFFu, -0.5f, -0.5f},
                              {cx + 14, cy, 0, 0xFFFFFFFFu, 1.5f, -0.5f},
                              {cx, cy + 14, 0, 0xFFFFFFFFu, 1.5f, 1.5f},
                              {cx - 14, cy, 0, 0xFFFFFFFFu, -0.5f, 1.5f}};
      rig.Dev()->SetFVF(0x142);
      rig.Dev()->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, q, sizeof(TexVertex));
    };
    rig.Dev()->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    rig.Dev()->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    draw(15.3f, 15.6f);
    rig.Dev()->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
    draw(47.3f, 15.6f);
    LockedRect lr{};
    ASSERT_EQ(tex->LockRect(0, &lr, nullptr, 0), D3D_OK);
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        const uint32_t texel = SpriteTexel(x, y, 2, false);
        std::memcpy(static_cast<uint8_t*>(lr.bits) + y * lr.pitch + x * 4, &texel, 4);
      }
    }
    ASSERT_EQ(tex->UnlockRect(0), D3D_OK);
    draw(31.3f, 32.6f);
    for (int y = 0; y < 48; ++y) {
      for (int x = 0; x < 64; ++x) images[pass].push_back(rig.Pixel(x, y));
    }
  }
  SetAvx2Allowed(true);
  EXPECT_EQ(images[0], images[1]);
}

TEST(GfxWideSprites, BlendsSkippingClearMarginsMatchTheNarrowPathExactly) {
  if (!WidePathsPresent()) GTEST_SKIP() << kNoWidePaths;
  // Sprites whose rows are clear at both ends by different amounts (some
  // rows wholly, one reaching each edge), blended at clamp, scaled down,
  // up and a texel a pixel, tinted or not, then again after a lock fills
  // the margins: the wide path skips the clear parts of its rows and must
  // still draw every pixel as the narrow path does.
  auto margined = [](int x, int y, int w, uint32_t seed) -> uint32_t {
    const int left = (y * 7 + static_cast<int>(seed)) % (w / 2), right = w - (y * 5 + 3) % (w / 2);
    const bool clearRow = y % 6 == 1, edge = y == 3 ? x == 0 : y == 4 ? x == w - 1 : false;
    return (!clearRow && x >= left && x < right) || edge ? Noise(x, y, seed) | 0x40000000u : Noise(x, y, seed) & 0x00FFFFFFu;
  };
  const float scales[] = {0.694f, 1.37f, 1.0f, 0.31f};
  const uint32_t colours[] = {0xFFFFFFFFu, 0xB0C0FF60u};
  for (int trial = 0; trial < 16; ++trial) {
    const int w = trial % 2 ? 40 : 23, h = 18;
    const float scale = scales[trial % 4];
    const uint32_t colour = colours[(trial / 4) % 2];
    std::vector<uint32_t> images[2];
    for (int pass = 0; pass < 2; ++pass) {
      SetAvx2Allowed(pass == 0);
      Rig rig(64, 48);
      auto tex = rig.MakeTexture(static_cast<uint32_t>(w), h, [&](int x, int y) { return margined(x, y, w, 3); });
      rig.Dev()->SetTexture(0, tex.get());
      rig.Dev()->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
      rig.Dev()->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
      rig.Dev()->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
      rig.Dev()->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
      rig.Dev()->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
      rig.Dev()->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
      rig.Fill(0xFF306090u);
      rig.Blend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
      auto draw = [&](float x, float y) {
        const float r = x + w * scale, b = y + h * scale, u = trial % 3 == 0 ? -0.2f : 0.0f;
        const TexVertex q[4] = {{x, y, 0, colour, u, 0}, {r, y, 0, colour, 1, 0}, {r, b, 0, colour, 1, 1},
                                {x, b, 0, colour, u, 1}};
        rig.Dev()->SetFVF(0x142);
        rig.Dev()->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, q, sizeof(TexVertex));
      };
      draw(1.3f + 0.1f * trial, 2.6f);
      LockedRect lr{};
      ASSERT_EQ(tex->LockRect(0, &lr, nullptr, 0), D3D_OK);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          const uint32_t texel = margined(x, y, w, 9) | 0x10000000u;  // nothing clear now
          std::memcpy(static_cast<uint8_t*>(lr.bits) + y * lr.pitch + x * 4, &texel, 4);
        }
      ASSERT_EQ(tex->UnlockRect(0), D3D_OK);
      draw(20.5f, 24.25f);
      for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) images[pass].push_back(rig.Pixel(x, y));
    }
    SetAvx2Allowed(true);
    EXPECT_EQ(images[0], images[1]) << "trial " << trial;
  }
}

TEST(GfxWideSprites, TurnedBlendsCutToTheHullOfTheirTexelsMatchTheNarrowPathExactly) {
  if (!WidePathsPresent()) GTEST_SKIP() << kNoWidePaths;
  // The hull of a small blob (or of none) at clamp; none under wrap.
  FootprintTable table;
  std::vector<uint32_t> texels(32 * 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x) texels[y * 32 + x] = SpriteTexel(x, y, 3, false, false, 32, 16, true);
  ASSERT_TRUE(table.Get(texels.data(), 32, 16, D3DTADDRESS_CLAMP, D3DTADDRESS_CLAMP));
  ASSERT_NE(table.Hull(), nullptr);
  EXPECT_FALSE(table.Hull()->empty);
  EXPECT_LT(table.Hull()->area, 0.4 * 32 * 16);
  ASSERT_TRUE(table.Get(texels.data(), 32, 16, D3DTADDRESS_WRAP, D3DTADDRESS_CLAMP));
  EXPECT_EQ(table.Hull(), nullptr);
  // Blobs turned, scaled and stretched, blended and tinted, the texture once
  // over the sprite or reaching past its edges (where clamping repeats the
  // border's texels) or a part of it, as quads, single triangles and quads
  // drawn as two triangles (the fourth corner off the plane): the rows the
  // wide path cuts short must leave every pixel as the narrow path draws it.
  testsupport::SeededRandom rng{53};
  const int sizes[][2] = {{16, 16}, {32, 16}, {24, 40}, {64, 64}};
  for (int trial = 0; trial < 400; ++trial) {
    Sprite s{};
    s.width = sizes[trial % 4][0];
    s.height = sizes[trial % 4][1];
    s.addressU = s.addressV = trial % 9 == 4 ? D3DTADDRESS_WRAP : D3DTADDRESS_CLAMP;
    s.op = trial % 3 == 0 ? D3DTOP_SELECTARG1 : D3DTOP_MODULATE;
    s.blend = true;
    s.blob = true;
    s.scissor = trial % 7 == 0;
    s.seed = static_cast<uint32_t>(trial);
    s.colour = trial % 2 ? 0xFFFFFFFFu : 0xC080FF40u;
    const float cx = rng.Grid(0, 64, 256), cy = rng.Grid(0, 48, 256);
    const double angle = (rng.Next() % 6283) / 1000.0, side = 8 + (rng.Next() % 5000) / 100.0;
    const double stretch = 0.5 + (rng.Next() % 100) / 100.0;
    const float u0 = trial % 4 == 1 ? rng.Grid(-0.6f, 0.3f, 16) : 0, v0 = trial % 4 == 1 ? rng.Grid(-0.6f, 0.3f, 16) : 0;
    const float repeat = trial % 4 == 1 ? rng.Grid(0.5f, 1.8f, 16) : 1;
    PlaceTurned(&s, cx, cy, angle, side, stretch, u0, v0, repeat);
    s.triangles = trial % 5 == 2 ? 1 : 2;
    if (trial % 5 == 3) s.corners[3].x += rng.Grid(0.25f, 1, 16);
    std::vector<uint32_t> wide, narrow;
    DrawBothWays(s, &wide, &narrow);
    ASSERT_EQ(wide, narrow) << "trial " << trial << " texture " << s.width << "x" << s.height << " op " << s.op
                            << " triangles " << s.triangles;
  }
}

TEST(GfxWideSprites, TurnedSpritesAddedToTheTargetMatchTheNarrowPathExactly) {
  if (!WidePathsPresent()) GTEST_SKIP() << kNoWidePaths;
  // Light rays and glows: texels, tinted or not, added by their alpha,
  // turned, scaled and stretched, on textures up to the largest whose
  // footprints the wide path reads for them (and one past it), over a target
  // bright enough to saturate now and then, at every addressing mode.
  const int sizes[][2] = {{1, 1}, {3, 5}, {8, 8}, {16, 4}, {64, 64}, {32, 256}, {128, 512}, {256, 512}};
  testsupport::SeededRandom rng{4242};
  for (int trial = 0; trial < 240; ++trial) {
    Sprite s{};
    s.width = sizes[trial % 8][0];
    s.height = sizes[trial % 8][1];
    s.addressU = kModes[rng.Next() % 5];
    s.addressV = rng.Next() % 2 ? s.addressU : kModes[rng.Next() % 5];
    s.op = trial % 3 == 0 ? D3DTOP_SELECTARG1 : D3DTOP_MODULATE;
    s.blend = s.added = true;
    s.opaque = trial % 5 == 0;
    s.disc = trial % 4 == 1;
    s.scissor = trial % 7 == 0;
    s.seed = static_cast<uint32_t>(trial);
    const uint32_t colours[] = {0xFFFFFFFFu, 0x60FFF8D8u, 0x80FFFFFFu, rng.Next()};
    s.colour = colours[rng.Next() % 4];
    const float cx = rng.Grid(-4, 68, 256), cy = rng.Grid(-4, 52, 256);
    const double angle = (rng.Next() % 6283) / 1000.0, side = 3 + (rng.Next() % 4000) / 100.0;
    const double stretch = 0.3 + (rng.Next() % 400) / 100.0;
    const float u0 = rng.Next() % 3 ? 0 : rng.Grid(-2, 2, 8), v0 = rng.Next() % 3 ? 0 : rng.Grid(-2, 2, 8);
    const float repeat = rng.Next() % 2 ? 1 : rng.Grid(0.25f, 3, 8);
    PlaceTurned(&s, cx, cy, angle, side, stretch, u0, v0, repeat);
    std::vector<uint32_t> wide, narrow;
    DrawBothWays(s, &wide, &narrow);
    ASSERT_EQ(wide, narrow) << "trial " << trial << " texture " << s.width << "x" << s.height << " modes "
                            << s.addressU << "," << s.addressV << " op " << s.op << " colour " << s.colour;
  }
}
