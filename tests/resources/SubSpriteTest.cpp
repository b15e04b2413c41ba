#include <gtest/gtest.h>

#include <vector>

#include "engine/DXLTexture.h"
#include "engine/DXLTextures.h"
#include "engine/DXLViewer.h"
#include "platform/gfx/GfxD3dx.h"
#include "resources/ImageSprite.h"
#include "resources/MapSprite.h"
#include "resources/MapSpriteUser.h"
#include "resources/ResourceServices.h"
#include "resources/SEffects.h"
#include "resources/WaitEffects.h"
#include "testsupport/SpriteRig.h"

namespace gfx = plat::gfx;
using spritetest::Picture;
using spritetest::SpriteRig;

namespace {

DXLMATRIX SubSpriteAt(float x, float y) {
  DXLMATRIX m = gfx::IdentityMatrix();
  m.m[3][0] = x;
  m.m[3][1] = y;
  return m;
}

// A map sprite "house" (two 32 x 32 frames, hot spot (10, 30), second point
// (5, 7)) with one sub-sprite of the 8 x 8 "flag" in front and, behind, one
// of kind 2 and one more flag.
class SubSprites : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(V().BeginFrame(), 0);
    GetResourceServices().clock = 1000;
    house_ = new Sprite(&Set(), u"house", Texture(64, 32, u"houses"), SPRITEGRID{0, 32, 32, 0, 0, {0, 0, 0, 0}},
                        false, false, 0);
    flag_ = new Sprite(&Set(), u"flag", Texture(16, 8, u"flags"), SPRITEGRID{0, 8, 8, 0, 0, {0, 0, 0, 0}}, false,
                       false, 0);
    map_ = new MapSprite(&Set(), u"", house_, 10, 30);
    map_->SetSecondPoint(5, 7);
    map_->InFront().push_back(SSDATA{96, 1, u"flag", 20, -5, 0.5f, 1, 2, 1, flag_});
    map_->Behind().push_back(SSDATA{96, 2, u"flag", 0, 0, 0, 0, 1, 1, flag_});
    map_->Behind().push_back(SSDATA{96, 1, u"flag", 4, 0, 0, 0, 1, 1, flag_});
    map_->Init();
    ASSERT_TRUE(map_->IsLoaded());
    ASSERT_TRUE(flag_->IsLoaded());
    rig_.calls.Clear();
  }
  SpriteSet& Set() { return rig_.Set(3); }
  DXLViewer& V() { return *rig_.rig.viewer; }
  gfx::CallLog& Calls() { return rig_.calls; }
  DXLTexture* Texture(u32 w, u32 h, const wchar* name) {
    DXLTexture* t = Set().GetTextures()->NewTexture();
    t->SetName(name);
    const std::vector<u8> file = Picture(w, h, 1);
    t->LoadFromMemory(file.data(), static_cast<u32>(file.size()));
    return t;
  }
  int Id(const Sprite* s) { return Calls().TextureId(s->GetTexture()->GetD3DTexture()); }
  static SubSpriteImage* Image(SubSpriteList* list, i32 i) { return static_cast<SubSpriteImage*>(list->Get(i)); }
  static DXLRECT Bounds(SubSpriteCustom* s) {
    DXLRECT r;
    s->GetBounds(&r);
    return r;
  }
  static void ExpectRect(const DXLRECT& r, i32 l, i32 t, i32 rt, i32 b) {
    EXPECT_EQ(r.left, l);
    EXPECT_EQ(r.top, t);
    EXPECT_EQ(r.right, rt);
    EXPECT_EQ(r.bottom, b);
  }
  static void ExpectCorners(const gfx::LoggedPrimitive& p, float l, float t, float r, float b) {
    ASSERT_EQ(p.vertices.size(), 4u);
    EXPECT_FLOAT_EQ(p.vertices[0].x, l);
    EXPECT_FLOAT_EQ(p.vertices[0].y, t);
    EXPECT_FLOAT_EQ(p.vertices[2].x, r);
    EXPECT_FLOAT_EQ(p.vertices[2].y, b);
  }

  SpriteRig rig_;
  Sprite* house_ = nullptr;
  Sprite* flag_ = nullptr;
  MapSprite* map_ = nullptr;
};

TEST_F(SubSprites, MapSpriteUserBuildsMirrorsKeepsAndClears) {
  MapSpriteUser user;
  user.SetMapSprite(map_, false);
  EXPECT_EQ(user.FrameState().sprite, house_);
  EXPECT_EQ(user.FrameState().mirror, 0);
  EXPECT_FLOAT_EQ(user.GetHotSpotX(), -10);
  EXPECT_FLOAT_EQ(user.GetHotSpotY(), -30);
  EXPECT_EQ(user.GetSecondX(), 5);
  ASSERT_NE(user.FrontSubSprites(), nullptr);
  ASSERT_EQ(user.FrontSubSprites()->GetCount(), 1);
  ASSERT_EQ(user.BehindSubSprites()->GetCount(), 1);  // the kind-2 description made none
  SubSpriteCustom* front = user.FrontSubSprites()->Get(0);
  ExpectRect(Bounds(front), 12, -13, 28, -5);  // 16 x 8 with its pivot (bottom middle) on (20, -5)
  ExpectRect(Bounds(user.BehindSubSprites()->Get(0)), 4, 0, 12, 8);
  EXPECT_EQ(CreateSubSprite(map_->Behind()[0], false, 32), nullptr);

  user.FrameState().frame = 1;
  user.SetMapSprite(map_, false);  // the same in the same mirror state: untouched
  EXPECT_EQ(user.FrontSubSprites()->Get(0), front);
  EXPECT_EQ(user.FrameState().frame, 1);

  user.SetMirror(true);
  user.SetMapSprite(map_, false);
  EXPECT_EQ(user.FrameState().mirror, 1);
  EXPECT_FLOAT_EQ(user.GetHotSpotX(), 10 - 32);
  EXPECT_EQ(user.GetSecondX(), 32 - 5);
  EXPECT_EQ(user.GetSecondY(), 7);
  SubSpriteImage* mirrored = Image(user.FrontSubSprites(), 0);
  EXPECT_FLOAT_EQ(mirrored->GetX(), 12);  // width - x
  EXPECT_FLOAT_EQ(mirrored->GetImage()->GetPivotX(), 0.5f);
  EXPECT_EQ(mirrored->GetImage()->FrameState().mirror, 1);
  ExpectRect(Bounds(mirrored), 4, -13, 20, -5);
  SubSpriteImage* back = Image(user.BehindSubSprites(), 0);
  EXPECT_FLOAT_EQ(back->GetX(), 28);
  EXPECT_FLOAT_EQ(back->GetImage()->GetPivotX(), 1);
  ExpectRect(Bounds(back), 20, 0, 28, 8);

  // A clone keeps place, mirror and colour, without the effects.
  mirrored->GetImage()->SetColor(0x80FF0000u);
  mirrored->AttachEffect(new SEffect_Wait(100));
  SubSpriteCustom* clone = mirrored->Clone();
  ExpectRect(Bounds(clone), 4, -13, 20, -5);
  EXPECT_EQ(static_cast<SubSpriteImage*>(clone)->GetImage()->GetColor(), 0x80FF0000u);
  EXPECT_EQ(static_cast<SubSpriteImage*>(clone)->GetImage()->FrameState().mirror, 1);
  EXPECT_EQ(clone->GetEffects(), nullptr);
  AddSubSprite(&user.FrontSubSprites(), clone);
  AddSubSprite(&user.FrontSubSprites(), nullptr);
  EXPECT_EQ(user.FrontSubSprites()->GetCount(), 2);

  user.SetMirror(false);
  user.SetMapSprite(map_, true);  // kept, and the new ones after them
  EXPECT_EQ(user.FrontSubSprites()->GetCount(), 3);
  EXPECT_FLOAT_EQ(Image(user.FrontSubSprites(), 2)->GetX(), 20);
  const i32 live = Set().GetImageSpriteCount();
  user.SetMapSprite(nullptr, false);
  EXPECT_EQ(user.FrontSubSprites(), nullptr);
  EXPECT_EQ(user.BehindSubSprites(), nullptr);
  EXPECT_EQ(user.FrameState().sprite, nullptr);
  EXPECT_EQ(Set().GetImageSpriteCount(), live - 5);  // every image sprite went with its sub-sprite
}

TEST_F(SubSprites, DrawOrderAndGeometryBehindMainInFront) {
  MapSpriteUser user;
  user.SetMapSprite(map_, false);
  user.FrameState().frame = 1;
  const DXLMATRIX object = SubSpriteAt(100, 200), sprite = SubSpriteAt(100 - 10, 200 - 30);
  V().SetTransform(&object);
  user.DrawBackSubSprites(sprite, false);
  EXPECT_FLOAT_EQ(V().CurrentTransform().m[3][0], 90);  // left on the sprite's matrix
  user.DrawSprite(sprite, 0xFFFFFFFFu);
  user.DrawFrontSubSprites(sprite, true);
  const auto& p = Calls().Primitives();
  ASSERT_EQ(p.size(), 3u);
  // Behind: the flag at (4, 0) from the object's position.
  EXPECT_EQ(p[0].texture, Id(flag_));
  EXPECT_FLOAT_EQ(p[0].world.m[3][0], 104);
  EXPECT_FLOAT_EQ(p[0].world.m[3][1], 200);
  ExpectCorners(p[0], -0.5f, -0.5f, 7.5f, 7.5f);
  // Main: frame 1 of the house from the sprite's matrix.
  EXPECT_EQ(p[1].texture, Id(house_));
  EXPECT_FLOAT_EQ(p[1].world.m[3][0], 90);
  EXPECT_FLOAT_EQ(p[1].world.m[3][1], 170);
  EXPECT_FLOAT_EQ(p[1].vertices[0].u, 0.5f);
  ExpectCorners(p[1], -0.5f, -0.5f, 31.5f, 31.5f);
  // In front, dark: moved by (20, -5) from the sprite's matrix, scaled 2 x 1
  // about its pivot: its left top at 90 + 20 - 8, 170 - 5 - 8.
  EXPECT_FLOAT_EQ(p[2].world.m[0][0], 2);
  EXPECT_FLOAT_EQ(p[2].world.m[3][0], 102);
  EXPECT_FLOAT_EQ(p[2].world.m[3][1], 157);
  for (const auto& v : p[2].vertices) EXPECT_EQ(v.color, 0xFF202020u);
  EXPECT_EQ(Image(user.FrontSubSprites(), 0)->GetImage()->GetColor(), 0xFFFFFFFFu);  // restored

  // Animation: a copy of the sequence from the frame clock's now.
  ImageSprite* image = Image(user.FrontSubSprites(), 0)->GetImage();
  spritetest::g_frameNow = 5000;
  const DXLFRAMESEQ seq{kFrameSeqLoop, 0, 2, 100, 0, 0};
  image->SetAnimation(&seq, true);
  EXPECT_EQ(image->FrameState().seq.elapsed, 5000u);
  spritetest::g_frameNow = 5150;
  Calls().Clear();
  user.DrawFrontSubSprites(sprite, false);
  EXPECT_FLOAT_EQ(Calls().Primitives()[0].vertices[0].u, 0.5f);  // frame 1
  image->SetAnimation(nullptr, false);
  EXPECT_EQ(image->FrameState().animated, 0);
}

TEST_F(SubSprites, EffectsFadeAndFinishedSubSpritesGoWithTheirList) {
  MapSpriteUser user;
  user.SetMapSprite(map_, false);
  SubSpriteCustom* front = user.FrontSubSprites()->Get(0);
  front->AttachEffect(new SEffect_Alpha(1, 0, 100, true, 0));
  front->SetHideWhenEffectsEnd(true);
  SubSpriteCustom* back = user.BehindSubSprites()->Get(0);
  back->AttachEffect(new SEffect_Alpha(0.5f, 0.5f, 100, true, 0));  // ends, but stays
  const DXLMATRIX sprite = SubSpriteAt(0, 0);
  auto draw = [&] {
    Calls().Clear();
    V().SetTransform(&sprite);
    user.DrawBackSubSprites(sprite, false);
    user.DrawFrontSubSprites(sprite, false);
    return Calls().Primitives();
  };
  auto p = draw();  // 10 ms in
  ASSERT_EQ(p.size(), 2u);
  EXPECT_EQ(p[0].vertices[0].color, 0x80FFFFFFu);
  EXPECT_EQ(p[1].vertices[0].color, 0xE6FFFFFFu);  // alpha 0.9
  GetResourceServices().clock = 1090;
  p = draw();  // both effects end in this draw
  ASSERT_EQ(p.size(), 1u);
  EXPECT_EQ(p[0].vertices[0].color, 0xFFFFFFFFu);  // back to opaque
  EXPECT_EQ(user.FrontSubSprites(), nullptr);      // deleted with its last member
  ASSERT_NE(user.BehindSubSprites(), nullptr);
  EXPECT_EQ(back->GetEffects(), nullptr);
}

}  // namespace
