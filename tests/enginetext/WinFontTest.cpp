#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "MarkupTestSupport.h"
#include "engine/DXLTextures.h"
#include "engine/image/PixelFormat.h"
#include "engine/text/DXLFontProps.h"
#include "engine/text/DXLText.h"
#include "engine/text/DXLWinFont.h"
#include "engine/text/EngineTextServices.h"
#include "platform/encoding/Utf.h"
#include "platform/font/Font.h"
#include "platform/font/FontResolver.h"
#include "platform/gfx/GfxSystem.h"

namespace {

class WinFonts : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::FontResolver& r = plat::DefaultFontResolver();
    r.SetFolder(plat::Utf8ToUtf16(std::string(TM_TEST_DATA_DIR) + "/fonts"));
    r.SetUseSystemFonts(false);
    ResetEngineTextServices();
  }
  void Open() { ASSERT_EQ(rig_.Open(64, 48), 0); }

  template <class Ch>
  static void Describe(DXLFontPropsT<Ch>& p, const Ch* face, i16 size, u8 style = 0, u32 color = 0xFFFFFFFFu) {
    p.SetFaceName(face);
    p.SetSize(size);
    p.SetStyle(style);
    p.SetColor(color);
  }
  // A font of the given glyphs, made in one bracket.
  std::unique_ptr<DXLWinFontW> Make(const char16_t* chars, i16 size, u8 style = 0) {
    auto font = std::make_unique<DXLWinFontW>(rig_.viewer.get());
    DXLFontPropsW props;
    Describe<wchar>(props, u"Arial", size, style);
    font->BeginUpdate();
    font->SetDescription(&props);
    font->AddGlyphs(chars, 0, true);
    font->EndUpdate();
    return font;
  }
  static std::vector<u32> Argb(DXLTexture* texture) {
    std::vector<u32> out;
    const u8* bits = texture->Lock(0x10);
    if (!bits) return out;
    const u32 bpp = texture->GetFormat() == D3DFMT_A8R8G8B8 ? 4 : 2;
    for (i32 y = 0; y < texture->GetHeight(); ++y)
      for (i32 x = 0; x < texture->GetWidth(); ++x) {
        u32 argb = 0;
        DXLPixelToARGB(bits + y * texture->GetLockPitch() + x * bpp, texture->GetFormat(), &argb);
        out.push_back(argb);
      }
    texture->Unlock();
    return out;
  }
  static i32 Measured(char16_t c, i16 size, bool italic = false) {
    plat::Font f;
    plat::FontRequest r;
    r.face = u"Arial";
    r.height = plat::FontHeightFromPoints(size);
    r.weight = 400;
    r.italic = italic;
    int w = 0;
    if (!f.Create(r) || !f.GetCharWidth(c, w)) return -1;
    return w;
  }

  viewertest::ViewerRig rig_;
};

// Glyphs 30 wide in rows 16 high: 32 x 32 holds two, 64 x 32 and 32 x 64
// four each, 128 x 32, 64 x 64 and 32 x 128 eight each.
TEST_F(WinFonts, TextureSizeTakesTheSmallestAreaAndTheSquarerOfATie) {
  DXLWinFontW font(nullptr);
  auto sized = [&](const char16_t* chars, i32* w, i32* h) {
    font.RemoveGlyphs(1, 0xFFFF);
    font.AddGlyphs(chars, 0, true);
    font.SetHeight(16);
    for (const char16_t* c = chars; *c; ++c) font.SetGlyphWidth(*c, 30);
    return font.ChooseTextureSize(w, h);
  };
  i32 w = 0;
  i32 h = 0;
  ASSERT_TRUE(sized(u"ab", &w, &h));
  EXPECT_EQ(w, 32);
  EXPECT_EQ(h, 32);
  ASSERT_TRUE(sized(u"abcd", &w, &h));
  EXPECT_EQ(w, 64);  // the earlier pair of the tie stays: 32 x 64 is not squarer
  EXPECT_EQ(h, 32);
  ASSERT_TRUE(sized(u"abcde", &w, &h));
  EXPECT_EQ(w, 64);  // 64 x 64 is squarer than 128 x 32 and replaces it
  EXPECT_EQ(h, 64);

  // Nothing holds 65,535 glyphs of 30 x 16.
  std::u16string many;
  for (u32 c = 1; c <= 0xFFFF; ++c) many.push_back(static_cast<char16_t>(c));
  EXPECT_FALSE(sized(many.c_str(), &w, &h));
}

TEST_F(WinFonts, GlyphsAreMeasuredAndRenderedIntoTheirCells) {
  Open();
  auto font = Make(u"AB.", 12);
  DXLTexture* texture = font->GetTexture();
  ASSERT_TRUE(texture->IsReady());
  EXPECT_EQ(texture->GetFormat(), static_cast<u32>(D3DFMT_A8L8));
  EXPECT_EQ(font->GetLeftGap(), 2);
  EXPECT_EQ(font->GetRightGap(), 2);
  EXPECT_EQ(font->GetAscent() + font->GetDescent(), font->GetHeight());
  EXPECT_EQ(font->GetSpace(), Measured(u' ', 12));
  const std::vector<u32> px = Argb(texture);
  const i32 tw = texture->GetWidth();
  std::vector<bool> inCell(px.size(), false);
  for (char16_t c : {u'A', u'B', u'.'}) {
    const DXLFONTGLYPH* g = font->GetGlyph(c);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->width, Measured(c, 12) + 4) << char(c);
    EXPECT_EQ(font->GetAdvance(c), Measured(c, 12));
    ASSERT_NE(font->GetQuad(c), nullptr);
    bool ink = false;
    for (i32 y = g->cell.top; y < g->cell.bottom; ++y)
      for (i32 x = g->cell.left; x < g->cell.right; ++x) {
        inCell[y * tw + x] = true;
        ink = ink || (px[y * tw + x] >> 24) > 0x80;
        EXPECT_EQ(px[y * tw + x] & 0xFFFFFFu, 0xFFFFFFu);  // white, coloured by the quads
      }
    EXPECT_TRUE(ink) << char(c);
  }
  EXPECT_EQ(font->GetGlyph(u'.')->index, 0);  // indices in ascending code order
  EXPECT_EQ(font->GetGlyph(u'A')->index, 1);
  for (size_t i = 0; i < px.size(); ++i)
    if (!inCell[i]) {
      EXPECT_EQ(px[i] >> 24, 0u) << i;
    }

  // The description alone is not enough: without it an update leaves the
  // texture as it is.
  font->SetDescription(nullptr);
  font->SetMargins(1, 1, 1, 1);
  EXPECT_TRUE(texture->IsReady());
  EXPECT_EQ(font->GetGlyph(u'A')->width, Measured(u'A', 12) + 4);
}

TEST_F(WinFonts, MarginsExtraWidthAndItalicWidenTheCells) {
  Open();
  auto font = Make(u"Hi", 14);
  const u8 height = font->GetHeight();
  font->BeginUpdate();
  font->SetMargins(-3, 2, 1, 3);
  font->SetExtraWidthFactor(0.5f);
  font->EndUpdate();
  EXPECT_EQ(font->GetMargins()[0], 0);  // negative margins become 0
  EXPECT_EQ(font->GetHeight(), height + 5);
  const i32 w = Measured(u'H', 14);
  const DXLFONTGLYPH* g = font->GetGlyph(u'H');
  const i32 extra = static_cast<i32>(w * 0.5 / 2 + 0.5);
  EXPECT_EQ(g->leftExtra, extra);
  EXPECT_EQ(g->rightExtra, extra);
  EXPECT_EQ(g->width, w + 4 + 2 * extra + 1);
  EXPECT_EQ(font->GetSpace(), Measured(u' ', 14) + 1);

  auto italic = Make(u"Hi", 14, kFontItalic);
  for (char16_t c : {u'H', u'i'}) {
    const DXLFONTGLYPH* gi = italic->GetGlyph(c);
    EXPECT_GE(gi->rightExtra, Measured(c, 14, true)) << char(c);
    EXPECT_EQ(gi->leftExtra, 0);
  }
}

TEST_F(WinFonts, TooLargeOrTooManyIsLoggedAndLeavesNoTexture) {
  Open();
  auto huge = Make(u"AB", 250);  // a line taller than the font's byte holds
  EXPECT_FALSE(huge->GetTexture()->IsReady());
  EXPECT_EQ(huge->GetQuad(u'A'), nullptr);
  std::u16string many;
  for (char16_t c = 0x21; c < 0x400; ++c) many.push_back(c);
  auto crowd = Make(many.c_str(), 60);
  EXPECT_FALSE(crowd->GetTexture()->IsReady());
  const std::string log = rig_.Log();
  size_t at = log.find("DXLWinFontW: Characters are too large or too many.");
  ASSERT_NE(at, std::string::npos);
  EXPECT_NE(log.find("DXLWinFontW: Characters are too large or too many.", at + 1), std::string::npos);
}

TEST_F(WinFonts, EffectLayersGiveColouredThirtyTwoBitGlyphs) {
  Open();
  auto font = std::make_unique<DXLWinFontW>(rig_.viewer.get());
  DXLFontPropsW props;
  Describe<wchar>(props, u"Arial", 12, 0, 0xFF20C040);
  font->BeginUpdate();
  font->SetDescription(&props);
  font->AddGlyphs(u"W", 0, true);
  font->SetShadowLayer(DXLSHADOWLAYER{1, 1, 1, 0xFF000000u, 0});
  font->EndUpdate();
  DXLTexture* texture = font->GetTexture();
  ASSERT_TRUE(texture->IsReady());
  EXPECT_EQ(texture->GetFormat(), static_cast<u32>(D3DFMT_A8R8G8B8));
  bool coloured = false;
  bool shadow = false;
  for (u32 p : Argb(texture)) {
    coloured = coloured || p == 0xFF20C040u;
    shadow = shadow || ((p >> 24) > 0 && (p & 0xFFFFFF) == 0);
  }
  EXPECT_TRUE(coloured);
  EXPECT_TRUE(shadow);
}

TEST_F(WinFonts, WithoutEightBitLuminanceTheGlyphsAreSixteenBitColour) {
  Open();
  rig_.viewer->GetSystem()->Settings().refusedTextureFormats = {D3DFMT_A8L8};
  auto font = Make(u"M", 12);
  ASSERT_TRUE(font->GetTexture()->IsReady());
  EXPECT_EQ(font->GetTexture()->GetFormat(), static_cast<u32>(D3DFMT_A4R4G4B4));
}

TEST_F(WinFonts, AssignCopiesTheDescriptionAndTheEffects) {
  Open();
  auto a = Make(u"x", 12, kFontBold);
  a->SetMargins(1, 2, 3, 4);
  a->SetAlphaFactor(0.5f);
  DXLWinFontW b(rig_.viewer.get());
  b.AssignWin(*a);
  ASSERT_NE(b.GetDescription(), nullptr);
  EXPECT_NE(b.GetDescription(), a->GetDescription());
  EXPECT_EQ(std::u16string(b.GetDescription()->GetFaceName()), u"Arial");
  EXPECT_EQ(b.GetDescription()->GetStyle(), kFontBold);
  EXPECT_EQ(b.GetMargins()[3], 4);
  EXPECT_FLOAT_EQ(b.GetAlphaFactor(), 0.5f);
  EXPECT_EQ(b.GetKind(), 2u);
}

TEST_F(WinFonts, EightBitFontDrawsItsCodePage) {
  Open();
  DXLWinFontA font(rig_.viewer.get());
  DXLFontPropsA props;
  Describe<char>(props, "Arial", 12);
  font.BeginUpdate();
  font.SetDescription(&props);
  const char codes[] = {'e', static_cast<char>(0xE9), static_cast<char>(0x80), 0};  // e, e acute, euro
  font.AddGlyphs(codes, 0, true);
  font.EndUpdate();
  ASSERT_TRUE(font.GetTexture()->IsReady());
  EXPECT_EQ(font.GetGlyph(static_cast<char>(0xE9))->width, Measured(u'\u00E9', 12) + 4);
  EXPECT_EQ(font.GetGlyph(static_cast<char>(0x80))->width, Measured(u'\u20AC', 12) + 4);
}

TEST_F(WinFonts, TheTextureIsRenderedAgainWhenTheDeviceIsMadeAnew) {
  Open();
  auto font = Make(u"Q", 12);
  ASSERT_TRUE(font->GetTexture()->IsReady());
  font->GetTexture()->OnDeviceEvent(rig_.viewer.get(), kDeviceReleasing);
  EXPECT_FALSE(font->GetTexture()->IsReady());
  font->GetTexture()->OnDeviceEvent(rig_.viewer.get(), kDeviceCreated);
  EXPECT_TRUE(font->GetTexture()->IsReady());
}

TEST_F(WinFonts, MarkupTextRendersARasterisedFont) {
  Open();
  auto font = Make(u"Hi", 12);
  DXLTextW text;
  text.SetUseTexture(true);
  text.SetFont(font.get());
  text.SetText(u"<COLOR=ff0000>Hi");
  ASSERT_TRUE(text.GetTexture()->IsReady());
  EXPECT_EQ(text.GetWidth(), Measured(u'H', 12) + Measured(u'i', 12));
  bool red = false;
  for (u32 p : Argb(text.GetTexture())) {
    if ((p >> 24) == 0) continue;
    EXPECT_EQ(p & 0xFFFFFF, 0xFF0000u);
    red = true;
  }
  EXPECT_TRUE(red);
}

}  // namespace
