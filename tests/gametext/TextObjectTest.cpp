#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "TextTestSupport.h"
#include "engine/DXLTexture.h"
#include "gametext/KGEBaseText.h"
#include "gametext/KGEBaseTextSprite.h"
#include "gametext/KGEBitmapFont.h"
#include "gametext/KGELayout.h"
#include "gametext/TextServices.h"
#include "platform/gfx/GfxRecordingDevice.h"
#include "testsupport/ViewerRig.h"

using viewertest::ViewerRig;

namespace {

bool g_failAllocations = false;
bool FailAllocations(size_t) { return g_failAllocations; }
void NoExit() {}

// A font of two solid white blocks: A is 4 x 6 (advance 5), B 3 x 6 (advance 4).
class TextObject : public ::testing::Test {
 protected:
  void SetUp() override {
    rig_.viewer->GetSystem()->RecordDeviceCalls(&calls_);
    ASSERT_EQ(rig_.Open(320, 240), 0);
    picture_ = texttest::MakePicture(rig_.viewer.get(), 16, 8, [](i32 x, i32 y) {
      return (y < 6 && (x < 4 || (x >= 8 && x < 11))) ? 0xFFFFFFFFu : 0x00000000u;
    });
    i32 hr = 0;
    font_ = texttest::LoadDescription(
        rig_.viewer.get(), picture_.get(),
        texttest::WriteDescription(folder_, "blocks.txt",
                                   "glyphs {\n height = 6\n glyphs = (0,0,4), (8,0,3)\n chars = \"AB\"\n"
                                   " widthlist = 5, 4\n space = 2\n}\n"),
        &hr);
    ASSERT_EQ(hr, KGE_S_OK);
    ASSERT_EQ(font_->Acquire(), KGE_S_OK);
    GetTextServices().outOfMemory = &NoExit;
  }
  void TearDown() override {
    GetTextServices().allocationHook = nullptr;
    GetTextServices().outOfMemory = nullptr;
    g_failAllocations = false;
  }

  KGETEXTPARAMS Params(u32 flags) {
    KGETEXTPARAMS p = KGEDefaultTextParams();
    p.flags = flags;
    return p;
  }

  ViewerRig rig_;
  TempFolder folder_;
  plat::gfx::CallLog calls_;
  std::unique_ptr<DXLTexture> picture_;
  std::unique_ptr<KGEBitmapFont> font_;
};

TEST_F(TextObject, SetFontNormalisesTheBlock) {
  KGETextW text(rig_.viewer.get());
  KGETEXTPARAMS p = Params(kKGEFixedColor | kKGEAlpha);
  p.maxChars = 10000;
  p.color = 0x00FF0000u;
  p.alpha = 0x80123456u;
  p.left = 5;
  p.right = 50;
  p.extra = 9;
  text.SetFont(font_.get(), &p);
  EXPECT_EQ(text.GetParams().maxChars, 8192u);
  EXPECT_EQ(text.GetParams().color, 0xFFFF0000u);
  EXPECT_EQ(text.GetParams().alpha, 0x80000000u);
  EXPECT_EQ(text.GetParams().left, 0);  // no rectangle flag
  EXPECT_EQ(text.GetParams().right, 0);
  EXPECT_EQ(text.GetParams().extra, 0u);
  p = Params(kKGERect | kKGEKeepExtra);
  p.left = 5;
  p.extra = 9;
  p.alpha = 0x12345678u;
  text.SetFont(font_.get(), &p);
  EXPECT_EQ(text.GetParams().maxChars, 8192u);  // 0x80000000
  EXPECT_EQ(text.GetParams().alpha, 0xFF000000u);
  EXPECT_EQ(text.GetParams().left, 5);
  EXPECT_EQ(text.GetParams().extra, 9u);
  text.SetFont(font_.get(), nullptr);
  EXPECT_EQ(text.GetParams().color, 0xFFFFFFFFu);
}

TEST_F(TextObject, QuadsAreGlyphQuadsMovedIntoPlaceAndColoured) {
  KGETextW* raw = nullptr;
  KGETEXTPARAMS p = Params(kKGEFixedColor | kKGEAlpha);
  p.color = 0x00FF0000u;
  p.alpha = 0x80000000u;
  ASSERT_EQ(KGECreateTextW(rig_.viewer.get(), font_.get(), &p, u"AB A", kKGEWholeText, nullptr, &raw), KGE_S_OK);
  std::unique_ptr<KGETextW> text(raw);
  EXPECT_EQ(text->GetWidth(), 16);  // advances: A 5, B 4, blank 2, A 5
  EXPECT_EQ(text->GetHeight(), 6);
  ASSERT_EQ(text->GetQuadCount(), 3u);
  ASSERT_EQ(text->GetRunCount(), 1u);  // one texture, one run
  EXPECT_EQ(text->GetRuns()[0].texture, picture_.get());
  const DXLQUAD* q = text->GetQuads();
  const DXLQUAD* a = font_->GetGlyphQuad(font_->FindGlyph(u'A'));
  EXPECT_FLOAT_EQ(q[2].v[0].x, a->v[0].x + 11.0f);
  EXPECT_FLOAT_EQ(q[1].v[0].y, a->v[0].y);
  EXPECT_EQ(q[0].v[0].color, 0x80FF0000u);  // red at the alpha of word 3

  // Opacity changes keep each glyph's own colour; the same alpha again is no change.
  ASSERT_EQ(text->SetText(u"A<c=00ff00>B", kKGEWholeText, nullptr), KGE_S_OK);  // no mark-up flag: text
  KGETEXTPARAMS m = Params(kKGEMarkup);
  text->SetFont(font_.get(), &m);
  ASSERT_EQ(text->SetText(u"A<c=00ff00>B", kKGEWholeText, nullptr), KGE_S_OK);
  ASSERT_EQ(text->GetQuadCount(), 2u);
  text->SetAlpha(0x80000000u);
  EXPECT_EQ(text->GetQuads()[0].v[2].color, 0x80FFFFFFu);
  EXPECT_EQ(text->GetQuads()[1].v[2].color, 0x8000FF00u);
  EXPECT_EQ(text->GetColor(), 0x80FFFFFFu);
  text->SetAlpha(0x80123456u);
  EXPECT_EQ(text->GetQuads()[1].v[2].color, 0x8000FF00u);
  text->SetColor(0xFF0000FFu);
  EXPECT_EQ(text->GetQuads()[0].v[0].color, 0xFF0000FFu);
  EXPECT_EQ(text->GetQuads()[1].v[3].color, 0xFF0000FFu);
}

TEST_F(TextObject, DrawBindsEachRunOnceAndPutsInkOnScreen) {
  KGETextW* raw = nullptr;
  KGETEXTPARAMS p = Params(0);
  ASSERT_EQ(KGECreateTextW(rig_.viewer.get(), font_.get(), &p, u"ABA", 3, nullptr, &raw), KGE_S_OK);
  std::unique_ptr<KGETextW> text(raw);
  ASSERT_EQ(rig_.viewer->BeginFrame(), 0);
  rig_.viewer->Clear(0xFF000000u);
  DXLMATRIX m = plat::gfx::IdentityMatrix();
  m.m[3][0] = 20.0f;
  m.m[3][1] = 10.0f;
  rig_.viewer->SetTransform(&m);
  calls_.Clear();
  text->Draw();
  EXPECT_EQ(calls_.Matching("DrawPrimitiveUP").size(), 3u);
  EXPECT_EQ(rig_.viewer->GetCurrentTexture(), nullptr);  // unbound afterwards
  ASSERT_EQ(rig_.viewer->Present(), 0);
  plat::gfx::SoftDevice* soft = rig_.Soft();
  EXPECT_EQ(soft->FramePixel(21, 12) & 0xFFFFFF, 0xFFFFFFu);  // in A
  EXPECT_EQ(soft->FramePixel(24, 12) & 0xFFFFFF, 0u);         // between A and B
  EXPECT_EQ(soft->FramePixel(26, 12) & 0xFFFFFF, 0xFFFFFFu);  // in B
  EXPECT_EQ(soft->FramePixel(21, 17) & 0xFFFFFF, 0u);         // below the line
}

TEST_F(TextObject, OwnCopiesGrowAndBadTextsClear) {
  KGETextW text(rig_.viewer.get());
  KGETEXTPARAMS p = Params(kKGEOwnCopy);
  text.SetFont(font_.get(), &p);
  const std::u16string t200(200, u'A'), t300(300, u'B');
  ASSERT_EQ(text.SetText(t200.c_str(), 200, nullptr), KGE_S_OK);
  EXPECT_EQ(text.GetTextCapacity(), 201u);
  EXPECT_EQ(text.GetTextLength(), 200u);
  ASSERT_EQ(text.SetText(t300.c_str(), 300, nullptr), KGE_S_OK);
  EXPECT_EQ(text.GetTextCapacity(), 384u);
  EXPECT_EQ(std::u16string(text.GetText()), t300);
  EXPECT_EQ(text.SetText(text.GetText(), 300, nullptr), KGE_S_OK);  // its own buffer: kept as it is
  EXPECT_EQ(text.GetQuadCount(), 300u);

  EXPECT_EQ(text.SetText(nullptr, 5, nullptr), KGE_E_NULLTEXT);
  EXPECT_FALSE(text.IsLaidOut());
  EXPECT_EQ(text.GetQuadCount(), 0u);
  ASSERT_EQ(text.SetText(u"", kKGEWholeText, nullptr), KGE_S_OK);
  EXPECT_EQ(text.GetHeight(), 0);
  EXPECT_EQ(text.GetQuadCount(), 0u);

  KGETextW noFont(rig_.viewer.get());
  noFont.SetFont(nullptr, nullptr);
  EXPECT_EQ(noFont.SetText(u"AB", 2, nullptr), KGE_S_OK);
  EXPECT_EQ(noFont.GetHeight(), 0);
  noFont.Draw();  // nothing to draw, nothing breaks

  GetTextServices().allocationHook = &FailAllocations;
  g_failAllocations = true;
  KGETextW starved(rig_.viewer.get());
  KGETEXTPARAMS own = Params(kKGEOwnCopy);
  starved.SetFont(font_.get(), &own);
  EXPECT_EQ(starved.SetText(t200.c_str(), 200, nullptr), KGE_E_OUTOFMEMORY);
  EXPECT_FALSE(starved.IsLaidOut());
}

bool Names(const wchar* name, u32 length, wchar* out, u32 room, u32* written, uintptr_t context1, uintptr_t) {
  if (std::u16string(name, length) != u"two" || room < 2) return false;
  out[0] = context1 == 2 ? u'B' : u'A';
  out[1] = u'B';
  *written = 2;
  return true;
}

TEST_F(TextObject, BracketNamesReachTheCallbackWithTheContextWords) {
  KGETextW text(rig_.viewer.get());
  text.SetFont(font_.get(), nullptr);
  ASSERT_EQ(text.SetTextEx(u"A[two]", kKGEWholeText, 2, 0, &Names), KGE_S_OK);
  EXPECT_EQ(text.GetQuadCount(), 3u);
  EXPECT_EQ(text.GetWidth(), 5 + 4 + 4);  // A, B, B
}

// The sprite's texture holds the glyphs in the text's colour, an outline and a
// drop shadow, and nothing else: the expected picture is made by hand from
// the blocks and decorated with the same outline and shadow.
TEST_F(TextObject, SpriteRendersGlyphsWithOutlineAndShadow) {
  KGESPRITEPARAMS sp{};
  sp.flags = kKGESpriteOutline | kKGESpriteShadow;
  DXLMakeOutline(&sp.outline, 1, 1.0f, 0xFF0000FFu, 1, 0);
  sp.shadow = KGESHADOW{1, 2, 3, 0x80000000u};
  KGETEXTPARAMS p = Params(kKGEFixedColor);
  p.color = 0xFF0000u;
  KGETextSpriteW* raw = nullptr;
  ASSERT_EQ(KGECreateTextSpriteW(rig_.viewer.get(), font_.get(), &p, &sp, u"AB", kKGEWholeText, nullptr, &raw),
            KGE_S_OK);
  std::unique_ptr<KGETextSpriteW> sprite(raw);
  // Ink (0, 0)-(9, 6), one pixel of outline all round, the shadow 2 right and 3 down.
  const DXLRECT& r = sprite->GetTextureRect();
  EXPECT_EQ(r.left, -1);
  EXPECT_EQ(r.top, -1);
  EXPECT_EQ(r.right, 12);
  EXPECT_EQ(r.bottom, 10);
  DXLTexture* t = sprite->GetTexture();
  ASSERT_NE(t, nullptr);
  const i32 w = 13, h = 11;
  ASSERT_EQ(t->GetImageWidth(), w);
  std::vector<u32> expected(static_cast<size_t>(w) * h, 0x00FFFFFFu);
  for (i32 y = 0; y < 6; ++y) {
    for (i32 x = 0; x < 4; ++x) expected[(y + 1) * w + x + 1] = 0xFFFF0000u;
    for (i32 x = 5; x < 8; ++x) expected[(y + 1) * w + x + 1] = 0xFFFF0000u;
  }
  DXLDrawGlyphOutline(w, h, w, expected.data(), sp.outline);
  DXLDrawGlyph(w, h, w, expected.data(), true, 2, 3, 0x80000000u);
  for (i32 y = 0; y < h; ++y)
    for (i32 x = 0; x < w; ++x) ASSERT_EQ(texttest::Texel(t, x, y), expected[y * w + x]) << x << "," << y;
  // Spot checks that do not lean on the decorations: glyph, outline, shadow, bare corner.
  EXPECT_EQ(texttest::Texel(t, 2, 2), 0xFFFF0000u);
  EXPECT_EQ(texttest::Texel(t, 0, 3) & 0xFFFFFF, 0x0000FFu);
  EXPECT_NE(texttest::Texel(t, 10, 9) >> 24, 0u);
  EXPECT_EQ(texttest::Texel(t, 12, 0), 0x00FFFFFFu);
  EXPECT_EQ(sprite->GetQuad().v[0].color, 0xFFFFFFFFu);

  ASSERT_EQ(rig_.viewer->BeginFrame(), 0);
  calls_.Clear();
  sprite->Draw();
  EXPECT_EQ(calls_.Matching("DrawPrimitiveUP").size(), 1u);
  rig_.viewer->Present();
}

TEST_F(TextObject, ReusedSpriteTexturesAreClearedAndCutByAlignment) {
  KGESPRITEPARAMS sp{};
  sp.flags = kKGESpriteKeepLarger;
  sp.maxWidth = 4;
  sp.maxHeight = 6;
  KGETEXTPARAMS p = Params(kKGEAlignRight);
  KGETextSpriteW* raw = nullptr;
  ASSERT_EQ(KGECreateTextSpriteW(rig_.viewer.get(), font_.get(), &p, &sp, u"AB", 2, nullptr, &raw), KGE_S_OK);
  std::unique_ptr<KGETextSpriteW> sprite(raw);
  // Wider than 4: the right-hand part stays (B from 5 to 8 and the end of A).
  EXPECT_EQ(sprite->GetTextureRect().left, 5);
  EXPECT_EQ(sprite->GetTextureRect().right, 9);
  DXLTexture* t = sprite->GetTexture();
  EXPECT_EQ(texttest::Texel(t, 0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(texttest::Texel(t, 3, 0), 0x00FFFFFFu);
  // Mark every pixel, then lay out something smaller into the same texture.
  u8* bits = t->Lock(0);
  for (i32 y = 0; y < t->GetHeight(); ++y)
    for (i32 x = 0; x < t->GetWidth(); ++x) kis::PutU32LE(bits + y * t->GetLockPitch() + x * 4, 0xFF123456u);
  t->Unlock();
  ASSERT_EQ(sprite->SetText(u"B", 1, nullptr), KGE_S_OK);
  EXPECT_EQ(sprite->GetTexture(), t);  // kept: large enough
  EXPECT_EQ(texttest::Texel(t, 0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(texttest::Texel(t, 3, 5), 0x00FFFFFFu);
  // A new texture starts clear too: no pixel outside the glyph has any alpha.
  KGETextSpriteW* fresh = nullptr;
  ASSERT_EQ(KGECreateTextSpriteW(rig_.viewer.get(), font_.get(), nullptr, nullptr, u"A B", 3, nullptr, &fresh),
            KGE_S_OK);
  std::unique_ptr<KGETextSpriteW> second(fresh);
  EXPECT_EQ(texttest::Texel(second->GetTexture(), 5, 2), 0x00FFFFFFu);
  second->SetAlpha(0x40000000u);
  EXPECT_EQ(second->GetQuad().v[1].color, 0x40FFFFFFu);
}

// A new device takes every texture's pixels. The sprite fills its texture
// again from its own copy of the text (it was not asked to keep one); while
// the font's picture is still gone it tries again at each draw, and once the
// picture is back the sprite shows what it showed before, in its colour.
TEST_F(TextObject, SpriteTextComesBackAfterTheDeviceIsMadeAnew) {
  KGETextSpriteW* raw = nullptr;
  ASSERT_EQ(KGECreateTextSpriteW(rig_.viewer.get(), font_.get(), nullptr, nullptr, u"ABBA", 4, nullptr, &raw),
            KGE_S_OK);
  std::unique_ptr<KGETextSpriteW> sprite(raw);
  sprite->SetColor(0x80FFFFFFu);
  DXLTexture* t = sprite->GetTexture();
  ASSERT_NE(t, nullptr);
  const i32 w = t->GetImageWidth(), h = t->GetImageHeight();
  std::vector<u32> before;
  for (i32 y = 0; y < h; ++y)
    for (i32 x = 0; x < w; ++x) before.push_back(texttest::Texel(t, x, y));
  EXPECT_EQ(before[0], 0xFFFFFFFFu);

  DXLDEVICESETTINGS s = *rig_.viewer->GetSettings();
  s.hardwareVertexProcessing ^= 1;  // a new device, not a reset
  ASSERT_EQ(rig_.viewer->ChangeDisplayMode(&s), 0);
  EXPECT_FALSE(picture_->IsReady());
  ASSERT_TRUE(t->IsReady());  // made again, but the glyphs had nothing to come from
  EXPECT_EQ(sprite->GetTexture(), t);
  EXPECT_TRUE(sprite->IsRestorePending());
  EXPECT_EQ(texttest::Texel(t, 0, 0), 0x00FFFFFFu);
  ASSERT_EQ(rig_.viewer->BeginFrame(), 0);
  sprite->Draw();  // the picture is still gone: nothing changes
  EXPECT_TRUE(sprite->IsRestorePending());

  // The font's picture is back (as the game restores its fonts).
  const auto blocks = [](i32 x, i32 y) {
    return (y < 6 && (x < 4 || (x >= 8 && x < 11))) ? 0xFFFFFFFFu : 0x00000000u;
  };
  picture_->Create(16, 8, plat::gfx::D3DFMT_A8R8G8B8, true);
  u8* bits = picture_->Lock(0);
  ASSERT_NE(bits, nullptr);
  for (i32 y = 0; y < picture_->GetHeight(); ++y)
    for (i32 x = 0; x < picture_->GetWidth(); ++x)
      kis::PutU32LE(bits + y * picture_->GetLockPitch() + x * 4, blocks(x, y));
  picture_->Unlock();
  calls_.Clear();
  sprite->Draw();
  EXPECT_FALSE(sprite->IsRestorePending());
  EXPECT_EQ(calls_.Matching("DrawPrimitiveUP").size(), 1u);
  std::vector<u32> after;
  for (i32 y = 0; y < h; ++y)
    for (i32 x = 0; x < w; ++x) after.push_back(texttest::Texel(t, x, y));
  EXPECT_EQ(after, before);
  EXPECT_EQ(sprite->GetQuad().v[2].color, 0x80FFFFFFu);
  EXPECT_EQ(sprite->GetWidth(), 5 + 4 + 4 + 5);
  rig_.viewer->Present();
}

}  // namespace
