// The software device's cache of filtered rows of scaled rectangles: scenes
// of sprites drawn frame after frame give the same pixels with the cache on
// and off, at every frame (first sighting, filling, drawing from the cache),
// whatever the texels' alpha, the tint, the addressing, the scissor and the
// scale; a texture whose texels change between frames is drawn with its new
// texels. Half the scenes are dimmed (each sprite marks the stencil again,
// then one colour fills what was marked): the marks read the cached texels.
#include <cstring>
#include <vector>

#include "GfxTestRig.h"
#include "testsupport/SeededRandom.h"

using namespace gfxtest;

namespace {

struct CachedSprite {
  int texWidth, texHeight;
  uint32_t addressU, addressV, op, colour;
  bool blend, scissor;
  float x0, y0, w, h, u0, v0, u1, v1;
};

// Clear, partly transparent and opaque texels, with clear rows and columns
// at the edges now and then (the blends then skip the clear margins).
uint32_t CachedTexel(int x, int y, uint32_t seed, int w, int h) {
  const uint32_t n = Noise(x, y, seed);
  if (seed % 3 == 0 && (x < w / 4 || y >= h - h / 5)) return n & 0x00FFFFFFu;
  const uint32_t pick = (n >> 5) % 7;
  return pick == 0 ? n & 0x00FFFFFFu : pick < 4 ? n | 0xFF000000u : n;
}

std::vector<CachedSprite> CachedScene(uint32_t seed) {
  const int sizes[][2] = {{3, 5}, {16, 16}, {40, 24}, {64, 64}, {100, 70}, {230, 40}};
  const uint32_t modes[] = {D3DTADDRESS_WRAP, D3DTADDRESS_CLAMP, D3DTADDRESS_MIRROR};
  testsupport::SeededRandom rng{seed};
  std::vector<CachedSprite> scene;
  for (int i = 0; i < 7; ++i) {
    CachedSprite s{};
    const auto& size = sizes[rng.Next() % 6];
    s.texWidth = size[0];
    s.texHeight = size[1];
    s.addressU = modes[rng.Next() % 3];
    s.addressV = modes[rng.Next() % 3];
    s.op = rng.Next() % 2 ? D3DTOP_MODULATE : D3DTOP_SELECTARG1;
    const uint32_t colours[] = {0xFFFFFFFFu, 0xFF000000u | rng.Next(), rng.Next() << 8 | 0x9F};
    s.colour = colours[rng.Next() % 3];
    s.blend = rng.Next() % 4 != 0;
    s.scissor = rng.Next() % 5 == 0;
    s.x0 = rng.Grid(-60, 220, 4);
    s.y0 = rng.Grid(-40, 160, 4);
    s.w = rng.Grid(32, 240, 4);
    s.h = rng.Grid(32, 180, 4);
    s.u0 = rng.Grid(-1, 1, 8);
    s.v0 = rng.Grid(-1, 1, 8);
    if (rng.Next() % 3 == 0) {
      // A texel a pixel, off the pixel grid: from the footprint table where the texture has one.
      s.w = static_cast<float>(size[0]);
      s.u1 = s.u0 + 1;
    } else {
      const float across = static_cast<float>(rng.Range(2, 18)) / 6.0f * (rng.Next() % 5 ? 1.0f : -1.0f);
      s.u1 = s.u0 + across * s.w / static_cast<float>(size[0]);
    }
    const float down = static_cast<float>(rng.Range(2, 18)) / 6.0f * (rng.Next() % 5 ? 1.0f : -1.0f);
    s.v1 = s.v0 + down * s.h / static_cast<float>(size[1]);
    scene.push_back(s);
  }
  return scene;
}

// Four frames of the scene of `seed`, the cache on or off. Before the
// third, sprite 0's texels are written anew through a lock and sprite 1's
// given at once; from the third on, sprite 2 is tinted otherwise. The
// presented frames, and (cache on) how many rectangles the cache held
// texels of after the second.
std::vector<std::vector<uint32_t>> DrawFrames(uint32_t seed, bool cached, size_t* held) {
  const std::vector<CachedSprite> scene = CachedScene(seed);
  Rig rig(320, 240);
  rig.Soft()->SetFrameKept(true);
  rig.Soft()->SetRowCache(cached);
  std::vector<std::unique_ptr<Texture>> textures;
  for (size_t i = 0; i < scene.size(); ++i) {
    const CachedSprite& s = scene[i];
    textures.push_back(rig.MakeTexture(static_cast<uint32_t>(s.texWidth), static_cast<uint32_t>(s.texHeight),
                                       [&](int x, int y) { return CachedTexel(x, y, seed * 31 + i, s.texWidth, s.texHeight); }));
  }
  std::vector<std::vector<uint32_t>> frames;
  for (int frame = 0; frame < 4; ++frame) {
    if (frame == 2) {
      LockedRect lr{};
      EXPECT_EQ(textures[0]->LockRect(0, &lr, nullptr, 0), D3D_OK);
      for (int y = 0; y < scene[0].texHeight; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(lr.bits) + y * lr.pitch);
        for (int x = 0; x < scene[0].texWidth; ++x) row[x] = Noise(x, y, seed + 7) | 0xFF000000u;
      }
      EXPECT_EQ(textures[0]->UnlockRect(0), D3D_OK);
      TexelBlock block(static_cast<size_t>(scene[1].texWidth) * scene[1].texHeight);
      for (size_t k = 0; k < block.size(); ++k) block.data()[k] = Noise(static_cast<int>(k), 3, seed) | 0x80000000u;
      EXPECT_EQ(textures[1]->TakeTexels(std::move(block)), D3D_OK);
    }
    if (frame > 0) {
      EXPECT_EQ(rig.Dev()->BeginScene(), D3D_OK);
    }
    rig.Dev()->SetRenderState(D3DRS_SCISSORTESTENABLE, 0);  // the whole target cleared
    rig.Fill(0xFF306090u);
    EXPECT_EQ(rig.Dev()->Clear(D3DCLEAR_STENCIL, 0, 0, 0), D3D_OK);
    rig.Dev()->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    rig.Dev()->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    const Rect clip{11, 7, 291, 217};
    rig.Dev()->SetScissorRect(&clip);
    for (size_t i = 0; i < scene.size(); ++i) {
      const CachedSprite& s = scene[i];
      const uint32_t colour = i == 2 && frame >= 2 ? s.colour ^ 0x00A0C050u : s.colour;
      rig.Dev()->SetTexture(0, textures[i].get());
      rig.Dev()->SetSamplerState(0, D3DSAMP_ADDRESSU, s.addressU);
      rig.Dev()->SetSamplerState(0, D3DSAMP_ADDRESSV, s.addressV);
      rig.Dev()->SetTextureStageState(0, D3DTSS_COLOROP, s.op);
      rig.Dev()->SetTextureStageState(0, D3DTSS_ALPHAOP, s.op);
      rig.Dev()->SetRenderState(D3DRS_ALPHABLENDENABLE, s.blend);
      rig.Dev()->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
      rig.Dev()->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
      rig.Dev()->SetRenderState(D3DRS_SCISSORTESTENABLE, s.scissor);
      EXPECT_EQ(rig.TexQuad(s.x0, s.y0, s.x0 + s.w, s.y0 + s.h, colour, s.u0, s.v0, s.u1, s.v1), D3D_OK);
      if (seed % 4 < 2) continue;
      // Dimmed (half the scenes): each sprite marks the stencil where its
      // alpha passes the test, as a dimmed window marks its pieces.
      rig.Dev()->SetRenderState(D3DRS_STENCILENABLE, 1);
      rig.Dev()->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
      rig.Dev()->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE);
      rig.Dev()->SetRenderState(D3DRS_STENCILREF, 0xFE);
      rig.Dev()->SetRenderState(D3DRS_ALPHATESTENABLE, 1);
      rig.Dev()->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
      rig.Dev()->SetRenderState(D3DRS_ALPHAREF, 128);
      rig.Dev()->SetRenderState(D3DRS_COLORWRITEENABLE, 0);
      EXPECT_EQ(rig.TexQuad(s.x0, s.y0, s.x0 + s.w, s.y0 + s.h, colour, s.u0, s.v0, s.u1, s.v1), D3D_OK);
      rig.Dev()->SetRenderState(D3DRS_COLORWRITEENABLE, 15);
      rig.Dev()->SetRenderState(D3DRS_ALPHATESTENABLE, 0);
      rig.Dev()->SetRenderState(D3DRS_STENCILENABLE, 0);
    }
    if (seed % 4 >= 2) {
      // The dim over what was marked, once.
      rig.Dev()->SetTexture(0, nullptr);
      rig.Dev()->SetRenderState(D3DRS_SCISSORTESTENABLE, 0);
      rig.Dev()->SetRenderState(D3DRS_STENCILENABLE, 1);
      rig.Dev()->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
      rig.Dev()->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_INCRSAT);
      rig.Blend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
      EXPECT_EQ(rig.ColourQuad(-0.5f, -0.5f, 319.5f, 239.5f, 0x80102030u), D3D_OK);
      rig.Dev()->SetRenderState(D3DRS_STENCILENABLE, 0);
    }
    EXPECT_EQ(rig.Dev()->EndScene(), D3D_OK);
    EXPECT_EQ(rig.Dev()->Present(), D3D_OK);
    frames.push_back(rig.Soft()->Frame());
    if (frame == 1) *held = rig.Soft()->RowCache().Held();
  }
  return frames;
}

}  // namespace

TEST(GfxRowCache, ScenesDrawnFrameAfterFrameMatchTheUncachedFramesExactly) {
  if (!WidePathsPresent()) GTEST_SKIP() << kNoWidePaths;
  size_t cachedScenes = 0;
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    // The ends of rows stored with the AVX2 masked moves and, where present, with AVX-512 masks.
    SetAvx512MasksAllowed(seed % 2 == 0);
    size_t held = 0, heldOff = 0;
    const auto cached = DrawFrames(seed, true, &held);
    const auto plain = DrawFrames(seed, false, &heldOff);
    EXPECT_EQ(heldOff, 0u);
    cachedScenes += held > 0;
    for (size_t f = 0; f < plain.size(); ++f) ASSERT_EQ(cached[f], plain[f]) << "seed " << seed << " frame " << f;
    // The frame after the texels changed shows them (the first two frames are alike).
    EXPECT_EQ(cached[0], cached[1]) << "seed " << seed;
    EXPECT_EQ(cached[2], cached[3]) << "seed " << seed;
  }
  SetAvx512MasksAllowed(true);
  EXPECT_GE(cachedScenes, 35u);
}

TEST(GfxRowCache, ChangedTexelsAndATextureLockedForWritingAreNotTakenFromTheCache) {
  if (!WidePathsPresent()) GTEST_SKIP() << kNoWidePaths;
  // One sprite filling most of the target, drawn three frames from the same
  // texels (the third from the cache), then after each kind of change.
  Rig rig(96, 64);
  rig.Soft()->SetFrameKept(true);
  auto tex = rig.MakeTexture(50, 30, [](int x, int y) { return Noise(x, y, 5) | 0xFF000000u; });
  const uint64_t first = tex->ContentId();
  rig.Dev()->SetTexture(0, tex.get());
  rig.Dev()->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
  rig.Dev()->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
  auto frame = [&](bool begin = true) {
    if (begin) {
      EXPECT_EQ(rig.Dev()->BeginScene(), D3D_OK);
    }
    rig.TexQuad(2.25f, 1.5f, 90.75f, 60.5f);
    EXPECT_EQ(rig.Dev()->EndScene(), D3D_OK);
    EXPECT_EQ(rig.Dev()->Present(), D3D_OK);
    return rig.Soft()->Frame();
  };
  const auto shown = frame(false);
  EXPECT_EQ(frame(), shown);
  EXPECT_GT(rig.Soft()->RowCache().Held(), 0u);
  EXPECT_EQ(frame(), shown);

  // A lock for writing: no content to key on while it lasts, a new one after.
  LockedRect lr{};
  ASSERT_EQ(tex->LockRect(0, &lr, nullptr, 0), D3D_OK);
  EXPECT_EQ(tex->ContentId(), 0u);
  std::memset(lr.bits, 0xFF, static_cast<size_t>(lr.pitch) * 30);
  ASSERT_EQ(tex->UnlockRect(0), D3D_OK);
  EXPECT_NE(tex->ContentId(), first);
  const auto white = frame();
  EXPECT_EQ(white[static_cast<size_t>(30 * 96 + 40)], 0xFFFFFFFFu);
  EXPECT_EQ(frame(), white);
  EXPECT_EQ(frame(), white);
  // A read-only lock keeps the content, and the texels drawn from the cache.
  const uint64_t kept = tex->ContentId();
  ASSERT_EQ(tex->LockRect(0, &lr, nullptr, D3DLOCK_READONLY), D3D_OK);
  EXPECT_EQ(tex->ContentId(), kept);
  ASSERT_EQ(tex->UnlockRect(0), D3D_OK);
  EXPECT_EQ(tex->ContentId(), kept);
  // New texels given at once, then the first ones again: the first frame
  // as at the start.
  TexelBlock block(50 * 30);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 50; ++x) block.data()[y * 50 + x] = Noise(x, y, 5) | 0xFF000000u;
  ASSERT_EQ(tex->TakeTexels(std::move(block)), D3D_OK);
  EXPECT_EQ(frame(), shown);
  EXPECT_EQ(frame(), shown);
  // Off, the cache lets go of everything; the frames stay the same.
  rig.Soft()->SetRowCache(false);
  EXPECT_EQ(rig.Soft()->RowCache().Count(), 0u);
  EXPECT_EQ(frame(), shown);
}
