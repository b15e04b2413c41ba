#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "engine/DXLTexture.h"
#include "engine/DXLTextures.h"
#include "engine/DXLViewer.h"
#include "platform/gfx/GfxD3dx.h"
#include "resources/CurrentLevel.h"
#include "resources/GameDraw.h"
#include "resources/MapShadow.h"
#include "resources/ResourceServices.h"
#include "resources/SEffects.h"
#include "resources/Sprite.h"
#include "resources/WaitEffects.h"
#include "testsupport/FakeCurrentLevel.h"
#include "testsupport/SpriteRig.h"

namespace gfx = plat::gfx;
using spritetest::Picture;
using spritetest::SpriteRig;

namespace {

class Shadows : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(V().BeginFrame(), 0);
    GetResourceServices().clock = 1000;
    GetResourceServices().level = &level_;
    DXLTexture* t = Set().GetTextures()->NewTexture();
    t->SetName(u"shades");
    const std::vector<u8> file = Picture(32, 16, 2);
    t->LoadFromMemory(file.data(), static_cast<u32>(file.size()));
    shade_ = new Sprite(&Set(), u"shade", t, SPRITEGRID{1, 0, 0, 0, 0, {0, 0, 0, 0}}, false, false, 0);
  }
  SpriteSet& Set() { return rig_.Set(kShadowSpriteSet); }
  DXLViewer& V() { return *rig_.rig.viewer; }
  gfx::CallLog& Calls() { return rig_.calls; }
  // Draws the shadow from the identity transform; the alpha of each quad drawn.
  std::vector<u32> Draw(MapShadow& s) {
    const DXLMATRIX id = gfx::IdentityMatrix();
    V().SetTransform(&id);
    Calls().Clear();
    s.Draw();
    std::vector<u32> alphas;
    for (const auto& p : Calls().Primitives()) alphas.push_back(p.vertices[0].color >> 24);
    return alphas;
  }

  SpriteRig rig_;
  leveltest::FakeCurrentLevel level_;
  Sprite* shade_ = nullptr;
};

TEST_F(Shadows, QuadAlphaRegistrationAndThePass) {
  SHADOWDATA early{shade_, 40, 0, 0.5f, 0.5f, 1.5f};
  LevelShadow unloaded(&early, 0, 0);  // made before its sprite was loaded: never draws
  shade_->Init();
  SHADOWDATA data = early;
  LevelShadow a(&data, 100, 50);
  EXPECT_FALSE(unloaded.HasSprite());
  ASSERT_TRUE(a.HasSprite());
  EXPECT_FLOAT_EQ(a.GetBaseAlpha(), 1.0f);  // 1.5 clamped
  const DXLQUAD& q = a.GetQuad();  // 40 x 16 (its own height) about the middle
  EXPECT_FLOAT_EQ(q.v[0].x, -20.5f);
  EXPECT_FLOAT_EQ(q.v[0].y, -8.5f);
  EXPECT_FLOAT_EQ(q.v[2].x, 19.5f);
  EXPECT_FLOAT_EQ(q.v[2].y, 7.5f);
  EXPECT_FLOAT_EQ(q.v[2].u, 1.0f);
  for (const DXLVERTEX& v : q.v) EXPECT_EQ(v.color, 0xFF000000u);
  a.SetAlpha(-0.2f);
  EXPECT_FLOAT_EQ(a.GetBaseAlpha(), 0);
  EXPECT_EQ(a.GetQuad().v[3].color, 0u);
  a.SetAlpha(std::nanf(""));
  EXPECT_FLOAT_EQ(a.GetBaseAlpha(), 0);
  a.SetAlpha(0.4f);
  EXPECT_EQ(a.GetQuad().v[1].color, 0x66000000u);

  SHADOWDATA unknown{nullptr, 10, 10, 0, 0, 1};  // a name the shadow set lacks
  LevelShadow none(&unknown, 0, 0);
  LevelShadow nothing(nullptr, 0, 0);
  for (LevelShadow* s : {&unloaded, &none, &nothing, &a, &a}) s->Register();
  ASSERT_EQ(level_.shadows.GetCount(), 1);
  EXPECT_EQ(level_.shadows[0], &a);
  EXPECT_TRUE(Draw(none).empty());

  // The pass: each shadow from the level's transform, then no texture.
  auto b = std::make_unique<LevelShadow>(&data, 10, 20);
  b->Register();
  level_.scale = 0.5f;
  level_.tx = 5;
  level_.ty = 7;
  Calls().Clear();
  DrawShadows(level_.shadows);
  const auto& p = Calls().Primitives();
  ASSERT_EQ(p.size(), 2u);
  EXPECT_EQ(p[0].texture, Calls().TextureId(shade_->GetTexture()->GetD3DTexture()));
  EXPECT_FLOAT_EQ(p[0].world.m[3][0], 5 + 100 * 0.5f);
  EXPECT_FLOAT_EQ(p[0].world.m[3][1], 7 + 50 * 0.5f);
  EXPECT_FLOAT_EQ(p[1].world.m[3][0], 5 + 10 * 0.5f);
  EXPECT_FLOAT_EQ(p[1].world.m[0][0], 0.5f);
  EXPECT_EQ(p[0].vertices[0].color, 0x66000000u);
  EXPECT_EQ(p[1].vertices[0].color, 0xFF000000u);
  EXPECT_EQ(GetDrawTexture(), nullptr);
  EXPECT_EQ(Calls().Matching("SetTexture 0").back(), "SetTexture 0 null");
  b.reset();  // unregisters
  EXPECT_EQ(level_.shadows.GetCount(), 1);
  a.Unregister();
  EXPECT_FALSE(a.IsRegistered());
  EXPECT_EQ(level_.shadows.GetCount(), 0);
}

TEST_F(Shadows, EffectsFadeOverTheBaseAlphaAndADisposedOwnersShadowGoes) {
  shade_->Init();
  SHADOWDATA data{shade_, 0, 0, 0, 0, 0.5f};
  MapShadow alive(&data, 0, 0), disposed(&data, 0, 0);
  const SEffect_Alpha removal(1, 0, 200, true, 0);
  disposed.AttachEffect(removal.Clone());  // the owner hands over a copy of its removal effect
  disposed.SetOwnerAlive(false);
  alive.AttachEffect(removal.Clone());
  alive.AttachEffect(new SEffect_Wait(300));
  EXPECT_EQ(Draw(disposed), std::vector<u32>{121});  // round(0.95 x 255) x 0.5
  EXPECT_EQ(Draw(alive), std::vector<u32>{121});
  GetResourceServices().clock = 1100;
  EXPECT_EQ(Draw(disposed), std::vector<u32>{58});  // round(0.45 x 255) x 0.5
  EXPECT_EQ(Draw(alive), std::vector<u32>{58});
  GetResourceServices().clock = 1190;
  EXPECT_TRUE(Draw(disposed).empty());  // its effects ended: gone
  EXPECT_TRUE(Draw(disposed).empty());
  EXPECT_EQ(Draw(alive), std::vector<u32>{58});  // the wait writes no colour: unchanged
  GetResourceServices().clock = 1290;
  EXPECT_EQ(Draw(alive), std::vector<u32>{128});  // effects over: the base alpha
  EXPECT_EQ(alive.GetEffects(), nullptr);
  alive.AttachEffect(new SEffect_Alpha(0, 0, 100, false, 0));
  EXPECT_EQ(Draw(alive), std::vector<u32>{0});
  alive.StopEffects();
  EXPECT_EQ(Draw(alive), std::vector<u32>{128});
  EXPECT_FLOAT_EQ(Calls().Primitives()[0].world.m[3][0], 0);
  alive.SetPosition(3, 4);
  Draw(alive);
  EXPECT_FLOAT_EQ(Calls().Primitives()[0].world.m[3][1], 4);
}

}  // namespace
