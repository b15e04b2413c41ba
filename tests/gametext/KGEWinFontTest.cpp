#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "KgeTestSupport.h"
#include "engine/DXLTexture.h"
#include "gametext/KGECellLayout.h"
#include "gametext/KGEWinFont.h"
#include "gametext/TextServices.h"
#include "platform/font/Font.h"
#include "platform/font/FontResolver.h"
#include "testsupport/FontTables.h"
#include "testsupport/ViewerRig.h"

using viewertest::ViewerRig;

namespace {

using testsupport::ReadFontTables;

// round(a * b / c), halves up, for positive values.
long Scale(long a, long b, long c) { return (2 * a * b + c) / (2 * c); }

std::u16string PrintableAscii() {
  std::u16string s;
  for (char16_t c = 33; c < 127; ++c) s.push_back(c);
  return s;
}

struct Pixels {
  i32 width = 0;
  i32 height = 0;
  std::vector<u32> argb;
  u32 At(i32 x, i32 y) const { return argb[static_cast<size_t>(y) * width + x]; }
};

Pixels ReadTexture(DXLTexture* texture) {
  Pixels p;
  if (!texture || !texture->IsReady()) return p;
  const u8* bits = texture->Lock(0);
  if (!bits) return p;
  p.width = texture->GetWidth();
  p.height = texture->GetHeight();
  p.argb.resize(static_cast<size_t>(p.width) * p.height);
  for (i32 y = 0; y < p.height; ++y)
    std::memcpy(&p.argb[static_cast<size_t>(y) * p.width], bits + static_cast<size_t>(y) * texture->GetLockPitch(),
                static_cast<size_t>(p.width) * 4);
  texture->Unlock();
  return p;
}

bool IsPowerOfTwo(u32 v) { return v != 0 && (v & (v - 1)) == 0; }

struct Options {
  u32 flags = 0;
  i32 weight = 0;
  u8 style = 0;
  u32 color = 0xFFFFFF;
  const DXLOUTLINE* outline = nullptr;
  const KGESHADOW* shadow = nullptr;
  i32 space = KGEWinFont::kMeasureSpace;
};

class KgeWinFonts : public ::testing::Test {
 protected:
  void SetUp() override {
    kgetest::UseTestFonts();
    ASSERT_EQ(rig_.Open(320, 240), 0);
  }

  i32 Make(const char16_t* face, i32 points, const std::u16string& chars, const Options& o = Options{}) {
    font_.reset();
    KGEWinFont* f = nullptr;
    const i32 hr = KGECreateWinFont(rig_.viewer.get(), o.flags, points, o.weight, 0, o.style, 0, 0, o.color, face,
                                    o.space, chars.c_str(), static_cast<u32>(chars.size()), u'?', o.outline,
                                    o.shadow, 0, 0, 0xFFFFFFFFu, &f);
    font_.reset(f);
    return hr;
  }

  // The platform font the game font is made from.
  std::unique_ptr<plat::Font> SystemFont(const char16_t* face, i32 points) {
    auto f = std::make_unique<plat::Font>();
    plat::FontRequest r;
    r.face = face;
    r.height = plat::FontHeightFromPoints(points);
    EXPECT_TRUE(f->Create(r));
    return f;
  }

  // Every pixel with alpha lies in a cell (or, with `slack`, that many pixels
  // from one); each cell of a glyph with ink holds ink, starting no further
  // left than 1 + the left margin.
  void ExpectInkInCells(const KGEWinFont& font, i32 slack = 0) {
    const Pixels px = ReadTexture(font.GetTexture());
    ASSERT_GT(px.width, 0);
    EXPECT_EQ(static_cast<u32>(px.width), font.GetTextureWidth());
    EXPECT_EQ(static_cast<u32>(px.height), font.GetTextureHeight());
    std::vector<int> owner(px.argb.size(), -1);
    const KGEGLYPHIMAGE* cells = font.GetImages();
    for (u32 i = 0; i < font.GetImageCount(); ++i) {
      const KGEGLYPHIMAGE& c = cells[i];
      ASSERT_GE(c.x, 0);
      ASSERT_GE(c.y, 0);
      ASSERT_LE(c.x + c.width, px.width) << i;
      ASSERT_LE(c.y + font.GetCellHeight(), px.height) << i;
      for (i32 y = c.y; y < c.y + font.GetCellHeight(); ++y)
        for (i32 x = c.x; x < c.x + c.width; ++x) {
          ASSERT_EQ(owner[static_cast<size_t>(y) * px.width + x], -1) << "cells overlap at " << x << "," << y;
          owner[static_cast<size_t>(y) * px.width + x] = static_cast<int>(i);
        }
    }
    for (u32 i = 0; slack > 0 && i < font.GetImageCount(); ++i) {
      const KGEGLYPHIMAGE& c = cells[i];
      for (i32 y = std::max(c.y - slack, 0); y < std::min(c.y + font.GetCellHeight() + slack, px.height); ++y)
        for (i32 x = std::max(c.x - slack, 0); x < std::min(c.x + c.width + slack, px.width); ++x)
          if (owner[static_cast<size_t>(y) * px.width + x] == -1) owner[static_cast<size_t>(y) * px.width + x] = -2;
    }
    for (i32 y = 0; y < px.height; ++y)
      for (i32 x = 0; x < px.width; ++x)
        if ((px.At(x, y) >> 24) != 0) {
          ASSERT_NE(owner[static_cast<size_t>(y) * px.width + x], -1) << x << "," << y;
        }
    for (u32 g = 0; g < font.GetGlyphCount(); ++g) {
      const KGEGLYPH& glyph = font.GetGlyphs()[g];
      const KGEGLYPHIMAGE& c = cells[glyph.image];
      i32 left = INT32_MAX;
      for (i32 y = c.y; y < c.y + font.GetCellHeight(); ++y)
        for (i32 x = c.x; x < c.x + c.width; ++x)
          if ((px.At(x, y) >> 24) != 0) left = std::min(left, x);
      ASSERT_NE(left, INT32_MAX) << "no ink for " << static_cast<int>(glyph.code);
      if (!font.GetOutline() && !font.GetShadow()) {
        EXPECT_GE(left, c.x + 1) << static_cast<int>(glyph.code);
      }
    }
  }

  ViewerRig rig_;
  std::unique_ptr<KGEWinFont> font_;
};

// --- Metrics --------------------------------------------------------------------------

TEST_F(KgeWinFonts, ArialAtTwelvePointsHasTheMetricsOfLiberationSansTables) {
  plat::FontFileChoice choice;
  ASSERT_TRUE(plat::DefaultFontResolver().Resolve(u"Arial", 400, false, choice));
  EXPECT_EQ(choice.family, "Liberation Sans");

  ASSERT_EQ(Make(u"Arial", 12, u"AHgj"), KGE_S_OK);
  const testsupport::FontTables t = ReadFontTables("LiberationSans-Regular.ttf");
  ASSERT_GT(t.unitsPerEm, 0);
  // 12 points at 96 dpi are an em of 16 pixels.
  const long ascent = Scale(t.winAscent, 16, t.unitsPerEm);
  const long descent = Scale(t.winDescent, 16, t.unitsPerEm);
  EXPECT_EQ(font_->GetAscent(), ascent);
  EXPECT_EQ(font_->GetDescent(), descent);
  EXPECT_EQ(font_->GetHeight(), ascent + descent);
  EXPECT_EQ(font_->GetCellHeight(), ascent + descent);

  auto system = SystemFont(u"Arial", 12);
  int space = 0, a = 0;
  ASSERT_TRUE(system->GetCharWidth(u' ', space));
  ASSERT_TRUE(system->GetCharWidth(u'A', a));
  EXPECT_EQ(font_->GetSpace(), space);
  EXPECT_EQ(font_->FindGlyph(u'A')->advance, a);
  plat::GlyphBox box;
  ASSERT_TRUE(system->GetGlyphBox(u'j', box));
  const KGEGLYPH* j = font_->FindGlyph(u'j');
  EXPECT_EQ(j->xOffset, box.originX - 1);
  EXPECT_EQ(j->yOffset, 0);
  EXPECT_EQ(font_->GetImages()[j->image].width, std::max(box.blackBoxX + 2, j->advance));
  EXPECT_EQ(font_->GetDefaultGlyph(), nullptr);  // '?' is not in the list
}

TEST_F(KgeWinFonts, ParametersAreNormalised) {
  EXPECT_EQ(KGERoundWeight(450), 500);
  EXPECT_EQ(KGERoundWeight(449), 400);
  EXPECT_EQ(KGERoundWeight(1200), 1000);
  EXPECT_EQ(KGERoundWeight(0), 0);
  EXPECT_EQ(KGERoundWeight(-5), 0);
  EXPECT_EQ(KGERoundWeight(50), 100);

  Options o;
  o.weight = 450;
  o.style = 0xF3;
  o.color = 0xAA123456;
  ASSERT_EQ(Make(u"A very long face name that goes on and on", -3, u"A", o), KGE_S_OK);
  const KGEWINFONTPARAMS& p = font_->GetParams();
  EXPECT_EQ(p.size, 0);
  EXPECT_EQ(p.weight, 500);
  EXPECT_EQ(p.style, 3);
  EXPECT_EQ(p.color, 0x123456u);
  EXPECT_EQ(std::u16string(p.face), u"A very long face name that goes");  // 31 characters
  EXPECT_EQ(font_->GetSpaceParam(), KGEWinFont::kMeasureSpace);

  o = Options{};
  o.space = 9;
  ASSERT_EQ(Make(u"Arial", 12, u"A", o), KGE_S_OK);
  EXPECT_EQ(font_->GetSpace(), 9);
}

TEST_F(KgeWinFonts, OutlinesAndShadowsWidenTheCells) {
  ASSERT_EQ(Make(u"Arial", 12, u"A"), KGE_S_OK);
  const i32 plain = font_->GetHeight();
  EXPECT_EQ(font_->GetCellHeight(), plain);
  DXLOUTLINE outline;
  DXLMakeOutline(&outline, 1, 1.5f, 0xFF000000u, 1, 0);
  Options o;
  o.flags = kKGEWinFontOutline;
  o.outline = &outline;
  ASSERT_EQ(Make(u"Arial", 12, u"A", o), KGE_S_OK);
  EXPECT_EQ(font_->GetMargins().left, 2);
  EXPECT_EQ(font_->GetMargins().bottom, 2);
  EXPECT_EQ(font_->GetOriginX(), 0);
  EXPECT_EQ(font_->GetExtraWidth(), 4);
  EXPECT_EQ(font_->GetHeight(), plain + 4);
  EXPECT_EQ(font_->GetCellHeight(), plain + 4);

  DXLMakeOutline(&outline, 1, 1.2f, 0xFF000000u, 1, 0);
  ASSERT_EQ(Make(u"Arial", 12, u"A", o), KGE_S_OK);
  EXPECT_EQ(font_->GetMargins().top, 2);
  EXPECT_EQ(font_->GetOriginY(), -1);
  EXPECT_EQ(font_->GetExtraHeight(), 2);

  KGESHADOW shadow{1, -3, 2, 0x80000000u};
  o = Options{};
  o.flags = kKGEWinFontShadow;
  o.shadow = &shadow;
  ASSERT_EQ(Make(u"Arial", 12, u"A", o), KGE_S_OK);
  EXPECT_EQ(font_->GetMargins().left, 3);
  EXPECT_EQ(font_->GetMargins().right, 0);
  EXPECT_EQ(font_->GetMargins().bottom, 2);
  EXPECT_EQ(font_->GetOriginX(), -3);
  EXPECT_EQ(font_->GetOriginY(), 0);
  EXPECT_EQ(font_->GetCellHeight(), plain + 2);
  EXPECT_EQ(font_->GetHeight(), plain);
}

TEST_F(KgeWinFonts, InvalidDecorationsAreIgnoredAndMissingOnesFail) {
  Options o;
  o.flags = kKGEWinFontShadow;
  KGESHADOW far{1, 40, 0, 0xFF000000u};
  o.shadow = &far;
  ASSERT_EQ(Make(u"Arial", 12, u"A", o), KGE_S_OK);
  EXPECT_EQ(font_->GetShadow(), nullptr);
  EXPECT_EQ(font_->GetMargins().right, 0);
  KGESHADOW clear{1, 2, 2, 0x00FFFFFFu};
  o.shadow = &clear;
  ASSERT_EQ(Make(u"Arial", 12, u"A", o), KGE_S_OK);
  EXPECT_EQ(font_->GetShadow(), nullptr);
  EXPECT_FALSE(KGEIsShadowValid(nullptr));
  const KGESHADOW edge{1, -32, 32, 0x01000000u};
  EXPECT_TRUE(KGEIsShadowValid(&edge));

  DXLOUTLINE wide;
  DXLMakeOutline(&wide, 1, 40.0f, 0xFF000000u, 1, 0);
  o = Options{};
  o.flags = kKGEWinFontOutline;
  o.outline = &wide;
  ASSERT_EQ(Make(u"Arial", 12, u"A", o), KGE_S_OK);
  EXPECT_EQ(font_->GetOutline(), nullptr);
  EXPECT_EQ(font_->GetExtraWidth(), 0);

  KGEWinFont* f = reinterpret_cast<KGEWinFont*>(1);
  EXPECT_EQ(KGECreateWinFont(rig_.viewer.get(), kKGEWinFontOutline, 12, 0, 0, 0, 0, 0, 0, u"Arial", 0, u"A", 1, 0,
                             nullptr, nullptr, 0, 0, 0, &f),
            KGE_E_NOOUTLINE);
  EXPECT_EQ(f, nullptr);
  EXPECT_EQ(KGECreateWinFont(rig_.viewer.get(), kKGEWinFontShadow, 12, 0, 0, 0, 0, 0, 0, u"Arial", 0, u"A", 1, 0,
                             nullptr, nullptr, 0, 0, 0, &f),
            KGE_E_NOSHADOW);
  EXPECT_EQ(KGECreateWinFont(rig_.viewer.get(), 0, 12, 0, 0, 0, 0, 0, 0, u"Arial", 0, nullptr, 3, 0, nullptr,
                             nullptr, 0, 0, 0, &f),
            KGE_E_NOCHARS);
  // Far too large for any font.
  EXPECT_EQ(Make(u"Arial", 100000, u"A"), KGE_E_FONTCONTEXT);
}

TEST_F(KgeWinFonts, CountsToTheTerminatorStopAtFourThousand) {
  KGEWinFont* f = nullptr;
  ASSERT_EQ(KGECreateWinFont(rig_.viewer.get(), 0, 9, 0, 0, 0, 0, 0, 0xFFFFFF, u"Arial", 0, u"AB C", 0xFFFFFFFFu, 0,
                             nullptr, nullptr, 2, 3, 0x80FFFFFFu, &f),
            KGE_S_OK);
  std::unique_ptr<KGEWinFont> owned(f);
  EXPECT_EQ(f->GetGlyphCount(), 3u);
  EXPECT_EQ(f->GetTracking(), 2);
  EXPECT_EQ(f->GetLeading(), 3);
  EXPECT_EQ(f->GetColor(), 0x80FFFFFFu);
  ASSERT_EQ(KGECreateWinFont(rig_.viewer.get(), 0, 9, 0, 0, 0, 0, 0, 0xFFFFFF, u"Arial", 0, nullptr, 0x80000000u, 0,
                             nullptr, nullptr, 0, 0, 0, &f),
            KGE_S_OK);
  owned.reset(f);
  EXPECT_EQ(f->GetGlyphCount(), 0u);
}

// --- Kerning ----------------------------------------------------------------------------

TEST_F(KgeWinFonts, DejaVuKernsAThenVInMeasuring) {
  Options o;
  o.flags = kKGEWinFontKerning;
  ASSERT_EQ(Make(u"DejaVu Sans", 24, u"AVT", o), KGE_S_OK);
  const KGEGLYPH* a = font_->FindGlyph(u'A');
  const KGEGLYPH* v = font_->FindGlyph(u'V');
  const KGEKERNPAIR* pair = font_->FindKerning(a, v);
  ASSERT_NE(pair, nullptr);
  const i32 amount = pair->amount;
  EXPECT_LT(amount, 0);

  auto system = SystemFont(u"DejaVu Sans", 24);
  std::vector<plat::KernPair> pairs;
  ASSERT_TRUE(system->GetKerningPairs(pairs));
  for (const plat::KernPair& p : pairs)
    if (p.first == u'A' && p.second == u'V') {
      EXPECT_EQ(p.amount, amount);
    }

  KGESIZE kerned{};
  font_->MeasureText(&kerned, u"AV", KGEFont::kWholeText);
  EXPECT_EQ(kerned.cx, a->advance + v->advance + amount);
  EXPECT_EQ(font_->GetCharIndexAt(0, u"AV", 2), 0);

  ASSERT_EQ(Make(u"DejaVu Sans", 24, u"AVT"), KGE_S_OK);
  EXPECT_EQ(font_->GetKerningCount(), 0u);
  KGESIZE plain{};
  font_->MeasureText(&plain, u"AV", KGEFont::kWholeText);
  EXPECT_EQ(plain.cx, kerned.cx - amount);
}

// --- Texture -------------------------------------------------------------------------------

TEST_F(KgeWinFonts, EveryGlyphsInkLiesInItsCell) {
  std::u16string chars = PrintableAscii() + u"\u00E9\u00C4\u00DF\u4E00";  // the last one no face has
  ASSERT_EQ(Make(u"Arial", 12, chars), KGE_S_OK);
  ASSERT_EQ(font_->Acquire(), KGE_S_OK);
  ExpectInkInCells(*font_);
  EXPECT_TRUE(IsPowerOfTwo(font_->GetTextureWidth()));
  EXPECT_TRUE(IsPowerOfTwo(font_->GetTextureHeight()));
  for (u32 g = 0; g < font_->GetGlyphCount(); ++g) EXPECT_EQ(font_->GetGlyphs()[g].hasImage, 1u);

  Options o;
  o.style = kKGEStyleItalic | kKGEStyleBold;
  ASSERT_EQ(Make(u"Arial", 20, chars, o), KGE_S_OK);
  ASSERT_EQ(font_->Acquire(), KGE_S_OK);
  ExpectInkInCells(*font_);
}

TEST_F(KgeWinFonts, DecoratedInkStaysInItsCell) {
  DXLOUTLINE outline;
  DXLMakeOutline(&outline, 1, 2.0f, 0xFF0000FFu, 1, 0);
  KGESHADOW shadow{1, 3, -2, 0xC0000000u};
  Options o;
  o.flags = kKGEWinFontOutline | kKGEWinFontShadow;
  o.outline = &outline;
  o.shadow = &shadow;
  o.color = 0x336699;
  ASSERT_EQ(Make(u"Arial", 12, PrintableAscii(), o), KGE_S_OK);
  ASSERT_EQ(font_->Acquire(), KGE_S_OK);
  // Glyphs that reach below the font's descent (the underscore) carry their
  // outline into the pixel between two rows of cells, never further.
  ExpectInkInCells(*font_, 1);
}

TEST_F(KgeWinFonts, TexelsTakeTheFontColourAndTheCoverageAsAlpha) {
  Options o;
  o.color = 0xAA336699;
  ASSERT_EQ(Make(u"Arial", 16, u"H", o), KGE_S_OK);
  ASSERT_EQ(font_->Acquire(), KGE_S_OK);
  EXPECT_EQ(font_->GetTexture()->GetFormat(), plat::gfx::D3DFMT_A8R8G8B8);
  const Pixels px = ReadTexture(font_->GetTexture());
  ASSERT_FALSE(px.argb.empty());
  int opaque = 0;
  for (u32 p : px.argb) {
    EXPECT_EQ(p & 0xFFFFFF, 0x336699u);
    if ((p >> 24) == 0xFF) ++opaque;
  }
  EXPECT_GT(opaque, 10);  // the stems of an H are solid

  DXLOUTLINE outline;
  DXLMakeOutline(&outline, 1, 1.0f, 0xFF00FF00u, 1, 0);
  o.flags = kKGEWinFontOutline;
  o.outline = &outline;
  ASSERT_EQ(Make(u"Arial", 16, u"H", o), KGE_S_OK);
  ASSERT_EQ(font_->Acquire(), KGE_S_OK);
  const Pixels out = ReadTexture(font_->GetTexture());
  EXPECT_EQ(out.At(out.width - 1, out.height - 1), 0x0000FF00u);  // far from the glyph: outline colour, clear
}

TEST_F(KgeWinFonts, TheTextureFollowsUsesAndComesBackAfterALoss) {
  ASSERT_EQ(Make(u"Arial", 12, u"Hello"), KGE_S_OK);
  EXPECT_EQ(font_->GetTexture(), nullptr);
  EXPECT_EQ(font_->RestoreAfterDeviceLoss(), KGE_S_OK);  // not in use: nothing
  EXPECT_EQ(font_->GetTexture(), nullptr);
  ASSERT_EQ(font_->Acquire(), KGE_S_OK);
  ASSERT_NE(font_->GetTexture(), nullptr);
  EXPECT_TRUE(font_->GetTexture()->IsReady());
  const Pixels before = ReadTexture(font_->GetTexture());

  font_->GetTexture()->Suspend();
  EXPECT_FALSE(font_->GetTexture()->IsReady());
  ASSERT_EQ(font_->RestoreAfterDeviceLoss(), KGE_S_OK);
  EXPECT_TRUE(font_->IsBuilt());
  EXPECT_EQ(ReadTexture(font_->GetTexture()).argb, before.argb);

  ASSERT_EQ(font_->Acquire(), KGE_S_OK);
  font_->Release(false);
  EXPECT_NE(font_->GetTexture(), nullptr);
  font_->Release(false);
  EXPECT_EQ(font_->GetTexture(), nullptr);
  EXPECT_FALSE(font_->IsBuilt());
}

TEST_F(KgeWinFonts, ABuildWithoutADeviceFailsAndLeavesTheFontUnbuilt) {
  KGEWinFont* f = nullptr;
  DXLViewer bare;  // no device
  ASSERT_EQ(KGECreateWinFont(&bare, 0, 12, 0, 0, 0, 0, 0, 0, u"Arial", 0, u"AB", 2, 0, nullptr, nullptr, 0, 0,
                             0xFFFFFFFFu, &f),
            KGE_S_OK);
  std::unique_ptr<KGEWinFont> owned(f);
  EXPECT_EQ(f->Acquire(), KGE_E_GLYPHTEXTURE);
  EXPECT_FALSE(f->IsBuilt());
  EXPECT_EQ(f->GetUseCount(), 0u);
  EXPECT_EQ(f->GetTexture(), nullptr);
  f->DrawTextAt(0, 0, u"AB");  // nothing to draw with
}

int g_reports = 0;
void CountReports() { ++g_reports; }
bool FailEverything(size_t) { return true; }

TEST_F(KgeWinFonts, OutOfMemoryDuringCreationReturnsTheCode) {
  g_reports = 0;
  GetTextServices().outOfMemory = &CountReports;
  GetTextServices().allocationHook = &FailEverything;
  KGEWinFont* f = reinterpret_cast<KGEWinFont*>(1);
  EXPECT_EQ(KGECreateWinFont(rig_.viewer.get(), 0, 12, 0, 0, 0, 0, 0, 0, u"Arial", 0, u"AB", 2, 0, nullptr, nullptr,
                             0, 0, 0, &f),
            KGE_E_OUTOFMEMORY);
  EXPECT_EQ(f, nullptr);
  EXPECT_GE(g_reports, 1);
  GetTextServices().allocationHook = nullptr;
  GetTextServices().outOfMemory = nullptr;
}

// --- Texture size ------------------------------------------------------------------------

TEST_F(KgeWinFonts, TheTextureIsTheSmallestThatAStrictLayoutAllows) {
  for (i32 points : {8, 12, 20, 36}) {
    for (const std::u16string& chars : {std::u16string(u"A"), PrintableAscii(), PrintableAscii() + u"\u00C0\u00C1"}) {
      ASSERT_EQ(Make(u"Arial", points, chars), KGE_S_OK);
      const u32 w = font_->GetTextureWidth(), h = font_->GetTextureHeight();
      ASSERT_TRUE(IsPowerOfTwo(w) && IsPowerOfTwo(h)) << w << "x" << h;
      ASSERT_GE(w, 32u);
      ASSERT_LE(w, 1024u);
      // No other width of the search gives a smaller power-of-two area.
      std::vector<KGEGLYPHIMAGE> cells(font_->GetImages(), font_->GetImages() + font_->GetImageCount());
      for (i32 other = 32; other <= 1024; other *= 2) {
        i64 needed = 0;
        if (!KGELayoutCells(cells.data(), static_cast<u32>(cells.size()), font_->GetCellHeight(),
                            DXLRECT{0, 0, other, 1024}, 1, 1, other != 1024, &needed))
          continue;
        i64 pow2 = 1;
        while (pow2 < needed) pow2 <<= 1;
        EXPECT_GE(other * pow2, static_cast<i64>(w) * h) << points << " pt, width " << other;
      }
    }
  }
  ASSERT_EQ(Make(u"Arial", 12, u"A"), KGE_S_OK);
  EXPECT_EQ(font_->GetTextureWidth(), 32u);
  EXPECT_EQ(font_->GetTextureHeight(), 32u);
}

TEST(KgeCellLayout, RowsWrapAndStrictLayoutsRefuseWhatDoesNotFit) {
  std::vector<KGEGLYPHIMAGE> cells(4);
  const i32 widths[] = {10, 0, 12, 30};
  for (size_t i = 0; i < cells.size(); ++i) cells[i].width = widths[i];
  i64 needed = 0;
  ASSERT_TRUE(KGELayoutCells(cells.data(), 4, 8, DXLRECT{0, 0, 32, 100}, 1, 2, true, &needed));
  EXPECT_EQ(cells[0].x, 0);
  EXPECT_EQ(cells[1].x, 11);  // a cell without width takes no room
  EXPECT_EQ(cells[2].x, 11);
  EXPECT_EQ(cells[3].x, 0);
  EXPECT_EQ(cells[3].y, 10);
  EXPECT_EQ(needed, 18);

  // Too wide for the rectangle: strict fails, otherwise it gets a row.
  cells[3].width = 40;
  EXPECT_FALSE(KGELayoutCells(cells.data(), 4, 8, DXLRECT{0, 0, 32, 100}, 1, 2, true, &needed));
  ASSERT_TRUE(KGELayoutCells(cells.data(), 4, 8, DXLRECT{0, 0, 32, 100}, 1, 2, false, &needed));
  EXPECT_EQ(cells[3].y, 10);
  // Rows below the bottom.
  cells[3].width = 30;
  EXPECT_FALSE(KGELayoutCells(cells.data(), 4, 8, DXLRECT{0, 0, 32, 12}, 1, 2, true, &needed));
  ASSERT_TRUE(KGELayoutCells(cells.data(), 4, 8, DXLRECT{5, 7, 37, 12}, -4, -4, false, &needed));
  EXPECT_EQ(cells[2].x, 15);  // negative skips count as 0
  EXPECT_EQ(cells[3].y, 15);
  EXPECT_EQ(needed, 16);
  // An empty rectangle.
  EXPECT_FALSE(KGELayoutCells(cells.data(), 4, 8, DXLRECT{3, 4, 3, 50}, 1, 1, true, &needed));
  ASSERT_TRUE(KGELayoutCells(cells.data(), 4, 8, DXLRECT{3, 4, 3, 50}, 1, 1, false, &needed));
  for (const auto& c : cells) {
    EXPECT_EQ(c.x, 3);
    EXPECT_EQ(c.y, 4);
  }
}

}  // namespace
