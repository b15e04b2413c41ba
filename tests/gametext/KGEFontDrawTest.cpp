#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "KgeTestSupport.h"
#include "engine/DXLTexture.h"
#include "gametext/KGEWinFont.h"
#include "platform/font/Font.h"
#include "platform/gfx/GfxRecordingDevice.h"
#include "platform/gfx/GfxSoftDevice.h"
#include "testsupport/ViewerRig.h"

namespace gfx = plat::gfx;
using kgetest::HandFont;
using viewertest::ViewerRig;

namespace {

class KgeFontDraw : public ::testing::Test {
 protected:
  void SetUp() override {
    kgetest::UseTestFonts();
    rig_.viewer->GetSystem()->RecordDeviceCalls(&calls_);
    ASSERT_EQ(rig_.Open(320, 240), 0);
    KGEWinFont* f = nullptr;
    ASSERT_EQ(KGECreateWinFont(rig_.viewer.get(), 0, 16, 0, 0, 0, 0, 0, 0xFFFFFF, u"Arial", KGEWinFont::kMeasureSpace,
                               u"HAB", 3, 0, nullptr, nullptr, 0, 2, 0xFFFFFFFFu, &f),
              KGE_S_OK);
    font_.reset(f);
    ASSERT_EQ(font_->Acquire(), KGE_S_OK);
    ASSERT_EQ(rig_.viewer->BeginFrame(), 0);
    rig_.viewer->Clear(0xFF000000u);
    calls_.Clear();
  }

  DXLMATRIX World() {
    DXLMATRIX m;
    rig_.viewer->ReadWorldTransform(&m);
    return m;
  }
  size_t Draws() const { return calls_.Matching("DrawPrimitiveUP").size(); }

  ViewerRig rig_;
  gfx::CallLog calls_;
  std::unique_ptr<KGEWinFont> font_;
};

TEST_F(KgeFontDraw, DrawTextAtIgnoresTheCurrentTransformAndPutsInkWhereTheFontSays) {
  DXLMATRIX skew = gfx::IdentityMatrix();
  skew.m[0][0] = 2.0f;
  skew.m[3][0] = 77.0f;
  rig_.viewer->SetTransform(&skew);
  font_->DrawTextAt(20.0f, 30.0f, u"H");
  EXPECT_EQ(Draws(), 1u);
  const KGEGLYPH* h = font_->FindGlyph(u'H');
  const DXLMATRIX w = World();
  EXPECT_FLOAT_EQ(w.m[0][0], 1.0f);
  EXPECT_FLOAT_EQ(w.m[3][0], 20.0f + h->xOffset);
  EXPECT_FLOAT_EQ(w.m[3][1], 30.0f + h->yOffset);
  ASSERT_EQ(rig_.viewer->Present(), 0);

  // The ink on screen is the glyph's ink box, placed by the pen and the ascent.
  plat::Font system;
  plat::FontRequest r;
  r.face = u"Arial";
  r.height = plat::FontHeightFromPoints(16);
  ASSERT_TRUE(system.Create(r));
  plat::GlyphBox box;
  ASSERT_TRUE(system.GetGlyphBox(u'H', box));
  gfx::SoftDevice* soft = rig_.Soft();
  i32 left = 1000, top = 1000, right = -1, bottom = -1;
  for (u32 y = 0; y < 240; ++y)
    for (u32 x = 0; x < 320; ++x)
      if ((soft->FramePixel(x, y) & 0xFFFFFF) != 0) {
        left = std::min<i32>(left, x);
        top = std::min<i32>(top, y);
        right = std::max<i32>(right, x + 1);
        bottom = std::max<i32>(bottom, y + 1);
      }
  EXPECT_EQ(left, 20 + box.originX);
  EXPECT_EQ(top, 30 + font_->GetAscent() - box.originY);
  EXPECT_EQ(right - left, box.blackBoxX);
  EXPECT_EQ(bottom - top, box.blackBoxY);
}

TEST_F(KgeFontDraw, DrawTextStartsEachLineAlongTheRotatedYAxis) {
  DXLMATRIX turn = gfx::IdentityMatrix();
  turn.m[0][0] = 0.0f;
  turn.m[0][1] = 1.0f;
  turn.m[1][0] = -1.0f;
  turn.m[1][1] = 0.0f;
  turn.m[3][0] = 200.0f;
  turn.m[3][1] = 50.0f;
  rig_.viewer->SetTransform(&turn);
  font_->DrawText(u"H\r\nA");
  EXPECT_EQ(Draws(), 2u);
  const KGEGLYPH* a = font_->FindGlyph(u'A');
  const float dy = static_cast<float>(font_->GetHeight() + font_->GetLeading());
  const DXLMATRIX w = World();
  EXPECT_FLOAT_EQ(w.m[0][1], 1.0f);
  EXPECT_FLOAT_EQ(w.m[1][0], -1.0f);
  EXPECT_FLOAT_EQ(w.m[3][0], 200.0f - dy - a->yOffset);
  EXPECT_FLOAT_EQ(w.m[3][1], 50.0f + a->xOffset);
  EXPECT_FALSE(font_->GetTexture()->IsSelected());
}

TEST_F(KgeFontDraw, OnlyBuiltFontsDrawAndOnlyGlyphsWithCells) {
  font_->DrawTextAt(0, 0, u"H H");
  EXPECT_EQ(Draws(), 2u);
  calls_.Clear();
  font_->DrawTextAt(0, 0, u"xyz \n");  // no glyph and no default glyph
  font_->DrawTextAt(0, 0, u"");
  font_->DrawTextAt(0, 0, nullptr);
  EXPECT_EQ(Draws(), 0u);
  font_->Release(false);
  font_->DrawTextAt(0, 0, u"H");
  EXPECT_EQ(Draws(), 0u);
}

TEST_F(KgeFontDraw, CellsOutsideTheTextureDrawNothingButStillAdvance) {
  DXLTexture texture(rig_.viewer.get());
  texture.Create(64, 32, gfx::D3DFMT_A8R8G8B8, false);
  ASSERT_TRUE(texture.IsReady());
  HandFont font(rig_.viewer.get());
  font.Make(u"abc", {10, 12, 6}, 8, 8);
  font.Image(0).x = 100;                  // wholly right of the texture
  font.Image(1).x = -4;                   // partly left of it
  font.Image(2).y = 28;                   // partly below it
  font.SetTexture(&texture);
  ASSERT_EQ(font.Acquire(), KGE_S_OK);
  EXPECT_EQ(font.FindGlyph(u'a')->hasImage, 0u);
  EXPECT_EQ(font.FindGlyph(u'b')->hasImage, 1u);
  EXPECT_EQ(font.FindGlyph(u'c')->hasImage, 1u);

  // The part left of the texture is cut and the rest drawn where it was.
  const DXLQUAD* b = font.GetGlyphQuad(font.FindGlyph(u'b'));
  ASSERT_NE(b, nullptr);
  EXPECT_FLOAT_EQ(b->v[0].x, 4.0f - 0.5f);
  EXPECT_FLOAT_EQ(b->v[1].x, 12.0f - 0.5f);
  EXPECT_FLOAT_EQ(b->v[0].u, 0.0f);
  const DXLQUAD* c = font.GetGlyphQuad(font.FindGlyph(u'c'));
  EXPECT_FLOAT_EQ(c->v[3].y - c->v[0].y, 4.0f);
  EXPECT_EQ(c->v[0].color, 0xFFFFFFFFu);

  font.DrawTextAt(5.0f, 6.0f, u"ab");
  EXPECT_EQ(Draws(), 1u);
  EXPECT_FLOAT_EQ(World().m[3][0], 15.0f);
  font.Release(true);
}

}  // namespace
