#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/DXLTexture.h"
#include "engine/DXLTextures.h"
#include "engine/DXLViewer.h"
#include "gametext/DXLLanguage.h"
#include "gametext/TextServices.h"
#include "platform/gfx/GfxSoftDevice.h"
#include "resources/GameAnimation.h"
#include "resources/GPSSpace.h"
#include "resources/GameDraw.h"
#include "resources/Gradient.h"
#include "resources/ImageSprite.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "testsupport/SpriteRig.h"

namespace gfx = plat::gfx;
using spritetest::Picture;
using spritetest::SpriteRig;

namespace {

class GameDraw : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(V().BeginFrame(), 0);
    rig_.calls.Clear();
  }
  DXLViewer& V() { return *rig_.rig.viewer; }
  gfx::CallLog& Calls() { return rig_.calls; }
  DXLTexture* Texture(u32 w, u32 h, const wchar* name) {
    DXLTexture* t = rig_.Set(0).GetTextures()->NewTexture();
    t->SetName(name);
    const std::vector<u8> file = Picture(w, h, 1);
    t->LoadFromMemory(file.data(), static_cast<u32>(file.size()));
    return t;
  }
  int Id(const DXLTexture* t) { return Calls().TextureId(t->GetD3DTexture()); }
  void MoveTo(float x, float y) {
    DXLMATRIX m = gfx::IdentityMatrix();
    m.m[3][0] = x;
    m.m[3][1] = y;
    V().SetTransform(&m);
    V().ApplyTransform(nullptr);
  }
  // A w x h quad at the origin in one colour, no texture coordinates.
  static DXLQUAD Quad(float w, float h, u32 color) {
    DXLQUAD q{};
    const float xy[4][2] = {{0, 0}, {w, 0}, {w, h}, {0, h}};
    for (int i = 0; i < 4; ++i) q.v[i] = DXLVERTEX{xy[i][0], xy[i][1], 0, color, 0, 0};
    return q;
  }
  // The last line starting with `prefix` before line `at`, and the first after it.
  std::string Before(size_t at, const std::string& prefix) {
    std::string found;
    for (size_t i = 0; i < at; ++i)
      if (Calls().Lines()[i].rfind(prefix, 0) == 0) found = Calls().Lines()[i];
    return found;
  }
  std::string After(size_t at, const std::string& prefix) {
    for (size_t i = at + 1; i < Calls().Lines().size(); ++i)
      if (Calls().Lines()[i].rfind(prefix, 0) == 0) return Calls().Lines()[i];
    return "";
  }
  static void ExpectVertices(const gfx::LoggedPrimitive& p, const std::vector<float>& xy) {
    ASSERT_EQ(p.vertices.size(), 4u);
    for (int i = 0; i < 4; ++i) {
      EXPECT_FLOAT_EQ(p.vertices[i].x, xy[2 * i]) << "vertex " << i;
      EXPECT_FLOAT_EQ(p.vertices[i].y, xy[2 * i + 1]) << "vertex " << i;
    }
  }

  SpriteRig rig_;
};

TEST_F(GameDraw, TexturesBindLazily) {
  DXLTexture* a = Texture(8, 8, u"a");
  DXLTexture* b = Texture(8, 8, u"b");
  DXLTexture* idle = rig_.Set(0).GetTextures()->NewTexture();  // never built
  BindDrawTexture(a);
  EXPECT_EQ(Calls().Matching("SetTexture 0"), std::vector<std::string>{"SetTexture 0 #" + std::to_string(Id(a))});
  EXPECT_FALSE(Calls().Matching("SetSamplerState").empty());  // a's own draw state
  Calls().Clear();
  BindDrawTexture(a);
  EXPECT_TRUE(Calls().Lines().empty());
  BindDrawTexture(b);
  EXPECT_EQ(Calls().Matching("SetTexture 0"), std::vector<std::string>{"SetTexture 0 #" + std::to_string(Id(b))});
  EXPECT_NE(Id(a), Id(b));
  Calls().Clear();
  BindDrawTexture(idle);  // b goes, and the viewer keeps no texture
  EXPECT_EQ(Calls().Matching("SetTexture 0"), std::vector<std::string>{"SetTexture 0 null"});
  EXPECT_EQ(GetDrawTexture(), idle);
  BindDrawTexture(nullptr);
  EXPECT_EQ(GetDrawTexture(), nullptr);
  Calls().Clear();
  UnbindDrawTexture();
  EXPECT_TRUE(Calls().Lines().empty());
}

TEST_F(GameDraw, BlendStatesBracketAndFallBackToTheTexturesOwn) {
  DXLTexture* a = Texture(64, 32, u"a");
  DXLTexture* b = Texture(8, 8, u"b");
  a->SetBlendMode(kBlendAlpha);
  DXLDRAWSTATE add;
  DXLMakeSimpleDrawState(&add, 1, 3, kBlendAdd, 4);

  BindDrawTexture(a);
  EXPECT_EQ(V().GetBlendMode(), kBlendAlpha);
  const DXLDRAWSTATE* previous = SetBlendState(&add);
  EXPECT_EQ(previous, nullptr);
  EXPECT_EQ(V().GetBlendMode(), kBlendAdd);
  BindDrawTexture(b);  // a record is set: b's own state stays out
  EXPECT_EQ(V().GetBlendMode(), kBlendAdd);
  EXPECT_EQ(SetBlendState(previous), &add);
  EXPECT_EQ(V().GetBlendMode(), kBlendNone);  // b's own
  UnbindDrawTexture();
  Calls().Clear();
  SetBlendState(&add);  // no texture: only stored
  EXPECT_TRUE(Calls().Lines().empty());
  BindDrawTexture(a);
  EXPECT_EQ(V().GetBlendMode(), kBlendAdd);
  SetBlendState(nullptr);
  EXPECT_EQ(V().GetBlendMode(), kBlendAlpha);

  // A sprite with its own draw state brackets its one quad.
  Sprite* s = new Sprite(&rig_.Set(0), u"s", a, SPRITEGRID{0, 16, 16, 0, 0, {0, 0, 0, 0}}, false, false, 0);
  s->SetDrawState(&add);
  s->Init();
  MoveTo(100, 50);
  Calls().Clear();
  s->DrawFrame(5, 0x80FFFFFFu, false);  // column 1, row 1 of 4 x 2
  s->DrawFrame(8, 0x80FFFFFFu, false);  // out of range
  s->DrawFrame(-1, 0x80FFFFFFu, false);
  ASSERT_EQ(Calls().Primitives().size(), 1u);
  const gfx::LoggedPrimitive& p = Calls().Primitives()[0];
  EXPECT_EQ(p.texture, Id(a));
  EXPECT_EQ(p.fvf, kFvfTextured);
  ExpectVertices(p, {-0.5f, -0.5f, 15.5f, -0.5f, 15.5f, 15.5f, -0.5f, 15.5f});
  EXPECT_FLOAT_EQ(p.vertices[0].u, 16.0f / 64);
  EXPECT_FLOAT_EQ(p.vertices[0].v, 16.0f / 32);
  EXPECT_FLOAT_EQ(p.vertices[2].u, 32.0f / 64);
  EXPECT_FLOAT_EQ(p.vertices[2].v, 1.0f);
  EXPECT_EQ(p.vertices[3].color, 0x80FFFFFFu);
  EXPECT_FLOAT_EQ(p.world.m[3][0], 100.0f);
  EXPECT_EQ(Before(p.line, "SetRenderState 20 "), "SetRenderState 20 2");  // source alpha, plus
  EXPECT_EQ(After(p.line, "SetRenderState 20 "), "SetRenderState 20 6");   // back to a's
  EXPECT_EQ(GetBlendState(), nullptr);

  // Mirrored, and as an image sprite scaled about its centre.
  Calls().Clear();
  s->DrawFrame(5, 0xFFFFFFFFu, true);
  EXPECT_FLOAT_EQ(Calls().Primitives()[0].vertices[0].u, 32.0f / 64);
  ImageSprite* image = s->CreateImageSprite(false);
  image->SetPivot(0.5f, 0.5f);
  image->SetScale(2.0f, 2.0f);
  image->SetFrame(2);
  Calls().Clear();
  image->Draw();
  ASSERT_EQ(Calls().Primitives().size(), 1u);
  const DXLMATRIX& w = Calls().Primitives()[0].world;
  EXPECT_FLOAT_EQ(w.m[0][0], 2.0f);
  EXPECT_FLOAT_EQ(w.m[0][1], 0.0f);
  EXPECT_FLOAT_EQ(w.m[3][0], 100.0f - 8 * 2);
  EXPECT_FLOAT_EQ(w.m[3][1], 50.0f - 8 * 2);
  EXPECT_FLOAT_EQ(Calls().Primitives()[0].vertices[0].u, 32.0f / 64);
}

TEST_F(GameDraw, MergingBatchEnclosesEveryQuadAndFlushesOnce) {
  SpriteBatch& batch = GetSpriteBatch();
  const DXLQUAD q = Quad(10, 10, 0xFFFFFFFFu);
  batch.Begin(true, 254, 128);
  batch.Begin(false, 1, 1);  // already collecting: nothing changes
  EXPECT_TRUE(batch.IsMerging());
  MoveTo(0, 0);
  DrawQuad(&q);
  MoveTo(20, 5);
  DrawQuad(&q);
  MoveTo(-5, 30);
  DrawQuad(&q);
  const DXLQUAD clear = Quad(10, 10, 0x00FFFFFFu);
  DrawQuad(&clear);  // fully transparent: dropped
  DrawQuad(nullptr);
  batch.End();
  ASSERT_EQ(batch.GetCount(), 1);
  const SpriteBatch::Entry& e = batch.GetEntry(0);
  const float want[4][2] = {{-5, 0}, {30, 0}, {30, 40}, {-5, 40}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_FLOAT_EQ(e.quad[i].x, want[i][0]);
    EXPECT_FLOAT_EQ(e.quad[i].y, want[i][1]);
  }
  // Each quad drawn, then drawn again into the stencil only.
  EXPECT_EQ(Calls().Primitives().size(), 6u);
  EXPECT_EQ(Calls().Matching("SetRenderState 168 "),
            (std::vector<std::string>{"SetRenderState 168 0", "SetRenderState 168 15", "SetRenderState 168 0",
                                      "SetRenderState 168 15", "SetRenderState 168 0", "SetRenderState 168 15"}));
  const size_t mark = Calls().Primitives()[1].line;
  EXPECT_EQ(Before(mark, "SetRenderState 57 "), "SetRenderState 57 254");  // stencil reference
  EXPECT_EQ(Before(mark, "SetRenderState 56 "), "SetRenderState 56 8");    // always
  EXPECT_EQ(Before(mark, "SetRenderState 24 "), "SetRenderState 24 128");  // alpha reference
  EXPECT_EQ(After(mark, "SetRenderState 52 "), "SetRenderState 52 0");     // stencil off again

  Calls().Clear();
  batch.Flush(0x40000000u, kBlendAlpha);
  ASSERT_EQ(Calls().Primitives().size(), 1u);
  const gfx::LoggedPrimitive& fill = Calls().Primitives()[0];
  EXPECT_EQ(fill.fvf, kFvfColor);
  EXPECT_EQ(fill.texture, 0);
  ExpectVertices(fill, {-5, 0, 30, 0, 30, 40, -5, 40});
  EXPECT_EQ(fill.vertices[1].color, 0x40000000u);
  EXPECT_FLOAT_EQ(fill.world.m[3][0], 0.0f);  // entry 0's transform
  EXPECT_EQ(Before(fill.line, "SetRenderState 56 "), "SetRenderState 56 3");  // equal
  EXPECT_EQ(Before(fill.line, "SetRenderState 55 "), "SetRenderState 55 4");  // increment, saturate
  EXPECT_EQ(V().GetBlendMode(), kBlendAlpha);
  EXPECT_EQ(batch.GetCount(), 0);
  Calls().Clear();
  batch.Flush(0x40000000u, kBlendAlpha);  // empty
  EXPECT_TRUE(Calls().Lines().empty());
}

TEST_F(GameDraw, FullBatchStillDrawsAndFlushWaitsForEnd) {
  SpriteBatch& batch = GetSpriteBatch();
  const DXLQUAD q = Quad(4, 4, 0xFFFFFFFFu);
  batch.Begin(false, 254, 128);
  for (int i = 0; i < SpriteBatch::kCapacity + 1; ++i) {
    MoveTo(static_cast<float>(i), 0);
    DrawQuad(&q);
  }
  EXPECT_EQ(batch.GetCount(), SpriteBatch::kCapacity);
  EXPECT_EQ(Calls().Primitives().size(), 2u * SpriteBatch::kCapacity + 1);  // the 33rd drawn, not marked
  EXPECT_FLOAT_EQ(Calls().Primitives().back().world.m[3][0], 32.0f);
  Calls().Clear();
  batch.Flush(0x40000000u, kBlendAlpha);  // still collecting
  EXPECT_TRUE(Calls().Lines().empty());
  EXPECT_EQ(batch.GetCount(), SpriteBatch::kCapacity);
  batch.End();
  batch.Flush(0xFF000000u, kBlendAlpha);  // opaque: no blending
  EXPECT_EQ(Calls().Primitives().size(), static_cast<size_t>(SpriteBatch::kCapacity));
  EXPECT_FLOAT_EQ(Calls().Primitives()[7].world.m[3][0], 7.0f);
  EXPECT_EQ(V().GetBlendMode(), kBlendNone);
}

TEST_F(GameDraw, OverlappingAreasAreTintedOnce) {
  V().ClearEx(gfx::D3DCLEAR_TARGET | gfx::D3DCLEAR_STENCIL, 0xFF000000u, 0);
  SpriteBatch& batch = GetSpriteBatch();
  const DXLQUAD q = Quad(20, 10, 0xFFFFFFFFu);
  batch.Begin(false, 254, 128);
  MoveTo(0, 0);
  DrawQuad(&q);
  MoveTo(10, 0);
  DrawQuad(&q);
  batch.End();
  batch.Flush(0x80FF0000u, kBlendAlpha);
  ASSERT_EQ(V().Present(), 0);
  gfx::SoftDevice* soft = rig_.rig.Soft();
  const u32 once = soft->FramePixel(5, 5);
  EXPECT_EQ(once >> 16 & 0xFF, 0xFFu);
  EXPECT_NEAR(static_cast<int>(once >> 8 & 0xFF), 127, 2);
  EXPECT_EQ(soft->FramePixel(15, 5), once);  // covered by both entries
  EXPECT_EQ(soft->FramePixel(25, 5), once);
  EXPECT_EQ(soft->FramePixel(35, 5), 0xFF000000u);
}

TEST_F(GameDraw, BordersFontsAnimationsAndTheServicesReset) {
  DrawScreenBorders();  // no pieces
  EXPECT_TRUE(Calls().Lines().empty());
  DXLTexture* border = Texture(8, 8, u"border");
  const DXLQUAD pieces[2] = {Quad(8, 600, 0xFFFFFFFFu), Quad(8, 600, 0xFFFFFFFFu)};
  GetResourceServices().borders = SCREENBORDERS{border, pieces, 2};
  MoveTo(40, 40);
  Calls().Clear();
  DrawScreenBorders();
  ASSERT_EQ(Calls().Primitives().size(), 2u);
  EXPECT_EQ(Calls().Primitives()[1].texture, Id(border));
  EXPECT_FLOAT_EQ(Calls().Primitives()[0].world.m[3][0], 0.0f);
  EXPECT_EQ(Calls().Matching("SetTexture 0").back(), "SetTexture 0 null");
  EXPECT_EQ(GetDrawTexture(), nullptr);

  KGEFont* fonts[kGameFontSlots];
  for (u32 i = 0; i < kGameFontSlots; ++i) {
    fonts[i] = reinterpret_cast<KGEFont*>(static_cast<uintptr_t>(0x100 + 0x10 * i));
    GetResourceServices().fonts[i] = fonts[i];
  }
  EXPECT_EQ(GetGameFont(0), nullptr);
  EXPECT_EQ(GetGameFont(1), nullptr);  // no language
  EXPECT_EQ(GetGameFont(5), fonts[0]);
  EXPECT_EQ(GetGameFont(9), fonts[4]);
  EXPECT_EQ(GetGameFont(10), nullptr);

  DXLFRAMESEQ pingPong{kFrameSeqPingPong, 2, 4, 100, 1000, 0};
  spritetest::g_frameNow = 1000 + 450;
  EXPECT_EQ(UpdateAnimFrame(&pingPong), 2u + 2);  // 0 1 2 3 2: the fifth step
  EXPECT_EQ(pingPong.current, 4u);

  EXPECT_EQ(GetGameViewer(), &V());
  EXPECT_EQ(GetTextServices().languageViewer, &V());
  GetSpriteBatch().Begin(true, 1, 1);
  GetResourceServices().clock = 1234;
  const i32 gradients = GetGradients().GetCount();
  const i32 animations = GetAnimations().GetCount();
  {
    Gradient gradient;
    GameAnimation walk(u"walk", 2);
    GPSSpace space(0);
    DeferredEffectCalls deferring;
    ResetResourceServices();
    // The live objects stay listed through the reset, and leave when they go.
    EXPECT_EQ(GetGradients().IndexOf(&gradient), gradients);
    EXPECT_EQ(FindAnimation(GetAnimations(), u"WALK"), &walk);
    GPSSpace after(0);  // a handle of its own, not the live space's
    EXPECT_EQ(GetParticleLibrary().spaces.GetCount(), 2u);
    EXPECT_EQ(GetResourceServices().deferredEffectCalls.depth, 1u);
  }
  EXPECT_EQ(GetParticleLibrary().spaces.GetCount(), 0u);
  EXPECT_EQ(GetResourceServices().deferredEffectCalls.depth, 0u);
  EXPECT_EQ(GetGradients().GetCount(), gradients);
  EXPECT_EQ(GetAnimations().GetCount(), animations);
  EXPECT_EQ(GetGameViewer(), nullptr);
  EXPECT_EQ(GetTextServices().languageViewer, nullptr);
  EXPECT_EQ(GameClock(), 0u);
  EXPECT_EQ(GameTimeStep(), 10u);
  EXPECT_EQ(GameFrameTime(), 0u);  // the engine's frame timer, not running
  EXPECT_FALSE(StepLoadingProgress(0.5f));
  EXPECT_FALSE(GetSpriteBatch().IsCollecting());
  EXPECT_EQ(GetGameFont(5), nullptr);
  EXPECT_EQ(GetResourceServices().borders.count, 0u);
}

}  // namespace
