#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "base/Random.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextures.h"
#include "resources/GameDraw.h"
#include "resources/ImageSprite.h"
#include "resources/MapSprite.h"
#include "resources/Sprite.h"
#include "testsupport/SeededRandom.h"
#include "testsupport/SpriteRig.h"

using spritetest::Picture;
using spritetest::SpriteRig;

namespace {

class SpriteFrames : public ::testing::Test {
 protected:
  // A texture of the set made from a w x h picture, loaded.
  DXLTexture* Texture(u32 w, u32 h, const wchar* name = u"sheet") {
    DXLTexture* t = rig_.Set(0).GetTextures()->NewTexture();
    t->SetName(name);
    const std::vector<u8> file = Picture(w, h, 1);
    t->LoadFromMemory(file.data(), static_cast<u32>(file.size()));
    return t;
  }
  Sprite* Grid(DXLTexture* t, SPRITEGRID grid, i32 turn = 0) {
    return new Sprite(&rig_.Set(0), u"s", t, grid, false, false, turn);
  }
  static void ExpectCorners(const DXLQUAD* q, std::vector<float> xy) {
    ASSERT_NE(q, nullptr);
    for (int i = 0; i < 4; ++i) {
      EXPECT_FLOAT_EQ(q->v[i].x, xy[2 * i]) << "vertex " << i;
      EXPECT_FLOAT_EQ(q->v[i].y, xy[2 * i + 1]) << "vertex " << i;
    }
  }

  SpriteRig rig_;
};

TEST_F(SpriteFrames, GridLayoutsDeriveSizesAndCounts) {
  DXLTexture* t = Texture(128, 64);
  // 100 wide, frames 30 x 20 with gaps of 5: (105 / 35) x (69 / 25) = 3 x 2.
  Sprite* cells = Grid(t, {0, 30, 20, 5, 5, {0, 0, 100, 64}});
  cells->Init();
  ASSERT_EQ(cells->GetFrameCount(), 6);
  DXLRECT r;
  ASSERT_TRUE(cells->GetFrameRect(4, &r));
  EXPECT_EQ(r.left, 35);
  EXPECT_EQ(r.top, 25);
  EXPECT_EQ(r.right, 65);
  EXPECT_EQ(r.bottom, 45);
  const DXLQUAD* q = cells->GetQuad(4, false);
  ExpectCorners(q, {-0.5f, -0.5f, 29.5f, -0.5f, 29.5f, 19.5f, -0.5f, 19.5f});
  EXPECT_FLOAT_EQ(q->v[0].u, 35.0f / 128);
  EXPECT_FLOAT_EQ(q->v[2].v, 45.0f / 64);
  const DXLQUAD* m = cells->GetQuad(4, true);  // the mirror image swaps u only
  EXPECT_FLOAT_EQ(m->v[0].u, 65.0f / 128);
  EXPECT_FLOAT_EQ(m->v[1].u, 35.0f / 128);
  EXPECT_FLOAT_EQ(m->v[0].v, 25.0f / 64);
  EXPECT_FALSE(cells->GetFrameRect(6, &r));
  EXPECT_EQ(r.right, 0);

  // Four frames wanted, no size: 128 / 4 wide and the whole height.
  Sprite* strip = Grid(t, {4, 0, 0, 0, 0, {0, 0, 0, 0}});
  strip->Init();
  ASSERT_EQ(strip->GetFrameCount(), 4);
  EXPECT_EQ(strip->GetFrameWidth(), 32);
  EXPECT_EQ(strip->GetFrameHeight(), 64);
  strip->GetFrameRect(3, &r);
  EXPECT_EQ(r.left, 96);

  // A frame wider than the area still gets a column: one frame per row.
  Sprite* wide = Grid(t, {3, 200, 10, 0, 0, {0, 0, 100, 64}});
  wide->Init();
  ASSERT_EQ(wide->GetFrameCount(), 3);
  wide->GetFrameRect(2, &r);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 20);

  // Layouts that would divide by zero or less, or ask for too much, build
  // nothing and never load.
  const SPRITEGRID broken[] = {
      {0, 0, 0, 0, 0, {0, 0, 0, 0}},           // no count, no size
      {0, 30, 20, -30, 0, {0, 0, 0, 0}},       // gap cancels the width
      {4, 30, 20, -40, 0, {0, 0, 100, 64}},    // negative pitch
      {0, 10, 10, -20, -20, {0, 0, 0, 0}},     // negative pitches both ways
      {5000, 1, 1, 0, 0, {0, 0, 0, 0}},        // more than kMaxFrames
      {0, 1, 1, 0, 0, {0, 0, 0x7FFFFFFF, 0x7FFFFFFF}},  // a huge area
      {17, 8, 8, 0, 0x7FFFFFF0, {0, 0x7FFFFFF0, 0, 0}},  // a second row past the i32 range
  };
  for (const SPRITEGRID& g : broken) {
    Sprite* s = Grid(t, g);
    s->Init();
    EXPECT_FALSE(s->IsLoaded()) << g.frameCount << " " << g.frameWidth << " " << g.gapX;
    EXPECT_EQ(s->GetFrameCount(), 0);
  }
}

TEST_F(SpriteFrames, ExplicitRectanglesFillInFromTheImage) {
  DXLTexture* t = Texture(128, 32);
  const DXLRECT rects[] = {{8, 4, 0, 0}, {0, 0, 0, 0}, {16, 8, 40, 20}};
  Sprite* s = new Sprite(&rig_.Set(0), u"", t, 3, rects, true, false, 0);
  EXPECT_EQ(std::u16string(s->GetName()), u"sheet");  // the texture's name
  s->Init();
  ASSERT_EQ(s->GetFrameCount(), 3);
  DXLRECT r;
  s->GetFrameRect(0, &r);
  EXPECT_EQ(r.right, 8 + 128);
  EXPECT_EQ(r.bottom, 4 + 32);
  s->GetFrameRect(1, &r);
  EXPECT_EQ(r.right, 128);
  EXPECT_EQ(r.bottom, 32);
  EXPECT_EQ(s->GetFrameWidth(), 24);  // of the last rectangle
  EXPECT_EQ(s->GetFrameHeight(), 12);
  // Flipped horizontally: the plain quad runs right to left, its mirror left to right.
  EXPECT_FLOAT_EQ(s->GetQuad(2, false)->v[0].u, 40.0f / 128);
  EXPECT_FLOAT_EQ(s->GetQuad(2, true)->v[0].u, 16.0f / 128);
  Sprite* none = new Sprite(&rig_.Set(0), u"none", t, -3, nullptr, false, false, 0);
  none->Init();
  EXPECT_FALSE(none->IsLoaded());
  const DXLRECT huge[] = {{0, 0, 4, 4}, {-0x7FFFFFFF - 1, 0, 8, 8}};  // wider than an i32 holds
  Sprite* broken = new Sprite(&rig_.Set(0), u"broken", t, 2, huge, false, false, 0);
  broken->Init();
  EXPECT_FALSE(broken->IsLoaded());
}

TEST_F(SpriteFrames, TurnsMoveCornersAndQuarterTurnsSwapTheSize) {
  // A 30 x 20 quad at (-0.5, -0.5), corners top-left, top-right, bottom-right, bottom-left.
  const std::vector<float> quarter = {19.5f, -0.5f, 19.5f, 29.5f, -0.5f, 29.5f, -0.5f, -0.5f};
  const std::vector<float> half = {29.5f, 19.5f, -0.5f, 19.5f, -0.5f, -0.5f, 29.5f, -0.5f};
  const std::vector<float> back = {-0.5f, 29.5f, -0.5f, -0.5f, 19.5f, -0.5f, 19.5f, 29.5f};
  const struct {
    i32 mode;
    const std::vector<float>* corners;
    i32 width, height;
  } cases[] = {{1, &quarter, 20, 30}, {5, &quarter, 20, 30}, {-3, &quarter, 20, 30}, {2, &half, 30, 20},
               {-2, &half, 30, 20},   {6, &half, 30, 20},    {3, &back, 20, 30},     {-1, &back, 20, 30},
               {-5, &back, 20, 30}};
  DXLTexture* t = Texture(128, 64);
  for (const auto& c : cases) {
    Sprite* s = Grid(t, {1, 30, 20, 0, 0, {0, 0, 0, 0}}, c.mode);
    s->Init();
    SCOPED_TRACE(c.mode);
    ExpectCorners(s->GetQuad(0, false), *c.corners);
    ExpectCorners(s->GetQuad(0, true), *c.corners);
    EXPECT_EQ(s->GetFrameWidth(), c.width);
    EXPECT_EQ(s->GetFrameHeight(), c.height);
    EXPECT_FLOAT_EQ(s->GetQuad(0, false)->v[0].u, 0.0f);  // texture coordinates stay
  }
  // Into another quad, the source untouched.
  DXLQUAD src{}, dst{};
  src.v[0] = {0, 0, 0, 1, 0, 0};
  src.v[1] = {4, 0, 0, 2, 1, 0};
  src.v[2] = {4, 2, 0, 3, 1, 1};
  src.v[3] = {0, 2, 0, 4, 0, 1};
  TransformQuadVertices(&dst, &src, 1);
  ExpectCorners(&dst, {2, 0, 2, 4, 0, 4, 0, 0});
  EXPECT_EQ(dst.v[2].color, 3u);
  EXPECT_FLOAT_EQ(src.v[1].x, 4.0f);
}

TEST_F(SpriteFrames, InitCountsAndReleaseFrees) {
  DXLTexture* t = Texture(64, 32);
  Sprite* s = Grid(t, {2, 0, 0, 0, 0, {0, 0, 0, 0}});
  s->Init();
  s->Init();
  EXPECT_EQ(s->GetInitCount(), 2);
  EXPECT_EQ(t->GetUserWord(), 1u);  // one user, whatever the count
  s->Release(false);
  EXPECT_TRUE(s->IsLoaded());
  s->Release(false);
  EXPECT_FALSE(s->IsLoaded());
  EXPECT_EQ(s->GetFrameCount(), 0);
  EXPECT_EQ(t->GetUserWord(), 0u);
  s->Release(false);  // at 0: nothing
  s->Init();
  s->Init();
  s->Release(true);
  EXPECT_EQ(s->GetInitCount(), 0);
  EXPECT_EQ(s->GetQuad(0, false), nullptr);

  // No texture, or one that cannot load: never loaded, and no user counted.
  Sprite* bare = Grid(nullptr, {2, 0, 0, 0, 0, {0, 0, 0, 0}});
  bare->Init();
  EXPECT_FALSE(bare->IsLoaded());
  DXLTexture* empty = rig_.Set(0).GetTextures()->NewTexture();
  Sprite* unloadable = Grid(empty, {2, 0, 0, 0, 0, {0, 0, 0, 0}});
  unloadable->Init();
  EXPECT_FALSE(unloadable->IsLoaded());
  Sprite* frameless = Grid(t, {0, 0, 0, 0, 0, {0, 0, 0, 0}});
  frameless->Init();
  frameless->Init();
  EXPECT_EQ(t->GetUserWord(), 0u);
}

TEST_F(SpriteFrames, FrameStatesAndDrawItems) {
  DXLTexture* t = Texture(128, 64);
  Sprite* s = Grid(t, {0, 32, 16, 0, 0, {0, 0, 0, 0}});  // 4 x 4 frames
  SpriteFrameState state;
  s->InitFrameState(&state, true, true);  // not loaded: cleared, no frames
  EXPECT_EQ(state.sprite, s);
  EXPECT_EQ(state.frame, 0);
  EXPECT_EQ(state.mirror, 1);
  s->Init();
  kis::srand(1);
  s->InitFrameState(&state, true, false);  // draws 41 / 32768 x 16
  EXPECT_EQ(state.frame, 0);
  s->InitFrameState(&state, true, false);  // draws 18467 / 32768 x 16
  EXPECT_EQ(state.frame, 9);
  EXPECT_EQ(state.animated, 0);

  // A default animation of 0 frames takes the sprite's, and starts now.
  DXLFRAMESEQ loop{kFrameSeqLoop, 0, 0, 100, 0, 0};
  Sprite* animated = Grid(t, {0, 32, 16, 0, 0, {0, 0, 0, 0}});
  animated->SetDefaultAnimation(&loop);
  animated->Init();
  EXPECT_EQ(animated->GetDefaultAnimation()->count, 16u);
  spritetest::g_frameNow = 5000;
  animated->InitFrameState(&state, true, false);
  EXPECT_EQ(state.animated, 1);
  EXPECT_EQ(state.seq.elapsed, 5000u);
  spritetest::g_frameNow = 5000 + 1750;
  EXPECT_EQ(UpdateAnimFrame(&state.seq), 1u);  // 17 frames on: past the first loop of 16
  EXPECT_EQ(state.seq.current, 1u);

  SPRITEDRAWITEM item;
  s->MakeDrawItemAt(&item, 5, 10.0f, 20.0f, nullptr, 0xFF00FF00u, false, 0);
  EXPECT_EQ(item.texture, t);
  EXPECT_EQ(item.flags, 0xFFFFFFFFu);
  ExpectCorners(&item.quad, {9.5f, 19.5f, 41.5f, 19.5f, 41.5f, 35.5f, 9.5f, 35.5f});
  EXPECT_FLOAT_EQ(item.quad.v[0].u, 32.0f / 128);  // frame 5: column 1, row 1
  EXPECT_FLOAT_EQ(item.quad.v[0].v, 16.0f / 64);
  EXPECT_EQ(item.quad.v[3].color, 0xFF00FF00u);
  // Mirrored and turned a quarter: the destination swaps its size.
  s->MakeDrawItemAtI(&item, 5, 10, 20, nullptr, 0xFF00FF00u, true, 1);
  EXPECT_FLOAT_EQ(item.quad.v[0].u, 64.0f / 128);
  EXPECT_FLOAT_EQ(item.dest.right, 26.0f);
  EXPECT_FLOAT_EQ(item.dest.bottom, 52.0f);
  EXPECT_EQ(item.bounds.right, 26);
  // A source rectangle gives the size when the destination has none.
  const DXLRECT source{4, 4, 12, 10};
  s->MakeDrawItemRect(&item, 0, DXLRECT{1, 2, 1, 2}, &source, 0, false, 0);
  EXPECT_FLOAT_EQ(item.dest.right, 9.0f);
  EXPECT_FLOAT_EQ(item.dest.bottom, 8.0f);
  EXPECT_FLOAT_EQ(item.quad.v[1].u, 12.0f / 128);
  // Fractions reach the whole pixels around them.
  s->MakeDrawItem(&item, 0, DXLRECTF{0.25f, 0.75f, 3.5f, 4.25f}, nullptr, 0, false, 0);
  EXPECT_EQ(item.bounds.left, 0);
  EXPECT_EQ(item.bounds.bottom, 5);
  s->MakeDrawItemAt(&item, 16, 0, 0, nullptr, 0, false, 0);  // out of range
  EXPECT_EQ(item.texture, nullptr);
  EXPECT_EQ(item.flags, 0u);
}

TEST_F(SpriteFrames, MapSpritesTakeAndGiveBackTheirPictures) {
  DXLTexture* t = Texture(64, 64);
  Sprite* body = Grid(t, {1, 40, 0, 0, 0, {0, 0, 0, 0}});
  Sprite* leaf = Grid(t, {1, 0, 0, 0, 0, {0, 0, 0, 0}});
  Sprite* shade = Grid(t, {2, 0, 0, 0, 0, {0, 0, 0, 0}});
  MapSprite* house = new MapSprite(&rig_.Set(0), nullptr, body, 12, 30);
  EXPECT_EQ(std::u16string(house->GetName()), u"s");
  SSDATA d = MakeSubSprite(u"s", 0, 0);
  d.sprite = leaf;
  house->InFront().push_back(d);
  d.kind = 2;  // not an image: no picture taken
  house->Behind().push_back(d);
  house->SetShadow(std::make_unique<SHADOWDATA>(SHADOWDATA{shade, 0, 0, 0.5f, 0.5f, 0.3f}));

  house->Init();
  house->Init();
  EXPECT_EQ(house->GetInitCount(), 2);
  EXPECT_EQ(body->GetInitCount(), 1);
  EXPECT_EQ(leaf->GetInitCount(), 1);
  EXPECT_EQ(shade->GetInitCount(), 1);
  EXPECT_EQ(house->GetFrameWidth(), 40);
  float x = 0, y = 0;
  house->GetHotSpotOffset(false, &x, &y);
  EXPECT_FLOAT_EQ(x, -12.0f);
  EXPECT_FLOAT_EQ(y, -30.0f);
  house->GetHotSpotOffset(true, &x, &y);
  EXPECT_FLOAT_EQ(x, 12.0f - 40.0f);
  house->Release(false);
  EXPECT_EQ(leaf->GetInitCount(), 1);
  house->Release(false);
  EXPECT_EQ(body->GetInitCount(), 0);
  EXPECT_EQ(leaf->GetInitCount(), 0);
  EXPECT_EQ(shade->GetInitCount(), 0);
  house->Init();
  house->Init();
  house->Release(true);
  EXPECT_EQ(house->GetInitCount(), 0);
  EXPECT_EQ(body->GetInitCount(), 0);

  MapSprite* orphan = new MapSprite(&rig_.Set(0), u"orphan", nullptr, 0, 0);
  orphan->Init();
  EXPECT_FALSE(orphan->IsLoaded());
  EXPECT_EQ(rig_.Set(0).FindMapSprite(u"ORPHAN"), orphan);

  // Image sprites register with their set, which deletes any left over.
  body->Init();
  ImageSprite* image = rig_.Set(0).CreateImageSpriteByName(u"S", true);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->FrameState().mirror, 1);
  ImageSprite* other = body->CreateImageSprite(false);
  EXPECT_EQ(rig_.Set(0).GetImageSpriteCount(), 2);
  delete other;
  EXPECT_EQ(rig_.Set(0).GetImageSpriteCount(), 1);
}

// Image sprites made and deleted in a seeded order, one in three from a
// second set: after every step each set's chain holds exactly its live image
// sprites, once each, oldest first, with the right count. The ones still
// alive go with their sets (the leak checker sees any the sets miss).
TEST_F(SpriteFrames, ImageSpritesLeaveTheirSetInAnyOrder) {
  Sprite* a = Grid(Texture(8, 8), {1, 0, 0, 0, 0, {0, 0, 0, 0}});
  a->Init();
  auto other = std::make_unique<SpriteSet>(40);  // outside the global table
  Sprite* b = new Sprite(other.get(), u"b", a->GetTexture(), SPRITEGRID{1, 0, 0, 0, 0, {0, 0, 0, 0}}, false, false, 0);
  b->Init();
  std::vector<ImageSprite*> live[2];
  auto expectChains = [&](int step) {
    SpriteSet* sets[2] = {&rig_.Set(0), other.get()};
    for (int k = 0; k < 2; ++k) {
      std::vector<ImageSprite*> chain;
      for (ImageSprite* i = sets[k]->GetFirstImageSprite(); i && chain.size() <= live[k].size(); i = i->GetNextInSet())
        chain.push_back(i);
      ASSERT_EQ(chain, live[k]) << "set " << k << " after step " << step;
      ASSERT_EQ(sets[k]->GetImageSpriteCount(), static_cast<i32>(live[k].size()));
    }
  };
  testsupport::SeededRandom rng(4242);
  for (int step = 0; step < 3000; ++step) {
    const int k = rng.Range(0, 2) == 2 ? 1 : 0;
    // Growing for the first half, shrinking towards empty after.
    const bool make = live[k].empty() || rng.Range(0, 99) < (step < 1500 ? 65 : 30);
    if (make) {
      live[k].push_back((k ? b : a)->CreateImageSprite(step % 2 == 0));
      ASSERT_NE(live[k].back(), nullptr);
    } else {
      // First, last or anywhere between: each end of the chain is its own case.
      const int pick = rng.Range(0, 3);
      const size_t at = pick == 0 ? 0 : pick == 1 ? live[k].size() - 1 : static_cast<size_t>(rng.Range(0, static_cast<i32>(live[k].size()) - 1));
      delete live[k][at];
      live[k].erase(live[k].begin() + static_cast<std::ptrdiff_t>(at));
    }
    expectChains(step);
    if (HasFatalFailure()) return;
  }
  for (int n = 0; n < 3; ++n) {
    live[0].push_back(a->CreateImageSprite(false));
    live[1].push_back(b->CreateImageSprite(false));
  }
  expectChains(-1);
  other.reset();  // its image sprites and sprite with it
  EXPECT_EQ(rig_.Set(0).GetImageSpriteCount(), static_cast<i32>(live[0].size()));
}

}  // namespace
