#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "KgeTestSupport.h"
#include "TextTestSupport.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextures.h"
#include "gametext/KGEBitmapFont.h"
#include "gametext/KGEFontBaker.h"
#include "gametext/KGEWinFont.h"
#include "testsupport/ByteBuilder.h"
#include "testsupport/ViewerRig.h"

using texttest::LoadDescription;
using texttest::MakePicture;
using texttest::WriteDescription;
using viewertest::ViewerRig;

namespace {

class BitmapFont : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(rig_.Open(320, 240), 0);
    picture_ = MakePicture(rig_.viewer.get(), 64, 32, [](i32 x, i32) { return x % 2 ? 0xFFFFFFFFu : 0x80FF0000u; });
  }
  std::unique_ptr<KGEBitmapFont> Load(const std::string& body, i32* hr) {
    return LoadDescription(rig_.viewer.get(), picture_.get(), WriteDescription(folder_, "font.txt", body), hr);
  }

  ViewerRig rig_;
  TempFolder folder_;
  std::unique_ptr<DXLTexture> picture_;
};

TEST_F(BitmapFont, ExplicitCellsGiveGlyphsAdvancesOffsetsAndKerning) {
  i32 hr = 0;
  auto font = Load("glyphs {\n"
                   "  height = 10\n"
                   "  glyphs = (0, 0, 5), (6, 2, 7), (60, 20, 10)\n"
                   "  chars = \"A B\"\n"
                   "  chars = \"C\"\n"
                   "  ascent = 8\n"
                   "  space = 4\n"
                   "  defchar = U+0042\n"
                   "  widthlist = 6, -1, -2147483648\n"
                   "  offsetlist = (1, 2), (0, -1), (3, 0)\n"
                   "  kerning = (U+0041, U+0042, -2), (U+0041, U+005A, 5)\n"
                   "  tracking = 1\n  leading = 3\n  color = 80FF0000\n"
                   "}\n",
                   &hr);
  ASSERT_EQ(hr, KGE_S_OK);
  ASSERT_EQ(font->GetGlyphCount(), 3u);  // the blank between A and B is no glyph
  ASSERT_EQ(font->GetImageCount(), 3u);
  EXPECT_EQ(font->GetCellHeight(), 10);
  EXPECT_EQ(font->GetHeight(), 10);
  EXPECT_EQ(font->GetAscent(), 8);
  EXPECT_EQ(font->GetDescent(), 2);
  EXPECT_EQ(font->GetSpace(), 4);
  EXPECT_EQ(font->GetDefaultGlyph(), font->FindGlyph(u'B'));
  EXPECT_EQ(font->GetTracking(), 1);
  EXPECT_EQ(font->GetLeading(), 3);
  EXPECT_EQ(font->GetColor(), 0x80FF0000u);
  EXPECT_EQ(font->GetGridLayout(), nullptr);
  const KGEGLYPH* a = font->FindGlyph(u'A');
  const KGEGLYPH* b = font->FindGlyph(u'B');
  const KGEGLYPH* c = font->FindGlyph(u'C');
  EXPECT_EQ(a->advance, 6);
  EXPECT_EQ(b->advance, 7);   // -1: the cell width
  EXPECT_EQ(c->advance, 10);  // 0x80000000 likewise
  EXPECT_EQ(a->xOffset, 1);
  EXPECT_EQ(a->yOffset, 2);
  EXPECT_EQ(b->yOffset, -1);
  // The pair naming a character without a glyph is dropped.
  EXPECT_EQ(font->GetKerningCount(), 1u);
  ASSERT_NE(font->FindKerning(a, b), nullptr);
  EXPECT_EQ(font->FindKerning(a, b)->amount, -2);

  ASSERT_EQ(font->Acquire(), KGE_S_OK);
  const KGEGLYPHIMAGE* cells = font->GetImages();
  EXPECT_EQ(cells[1].x, 6);
  EXPECT_EQ(cells[1].y, 2);
  EXPECT_EQ(cells[1].width, 7);
  EXPECT_EQ(cells[2].visible, 1);  // partly outside the 64 x 32 picture: cut, still visible
  EXPECT_TRUE(c->hasImage & 0xFF);
  const DXLQUAD* q = font->GetGlyphQuad(c);
  ASSERT_NE(q, nullptr);
  EXPECT_FLOAT_EQ(q->v[1].x - q->v[0].x, 4.0f);  // 64 - 60 pixels remain
  EXPECT_EQ(q->v[0].color, 0x80FF0000u);
  font->Release(false);
  EXPECT_FALSE(font->IsBuilt());
}

TEST_F(BitmapFont, GridCellsAreLaidOutInThePictureLessTheBordersWithSkips) {
  i32 hr = 0;
  auto font = Load("glyphs {\n  height = 10\n  width = 8\n  skip = 2, 1\n  borders = 1, 1, 1, 1\n"
                   "  chars = \"ABCDEF\"\n}\n",
                   &hr);
  ASSERT_EQ(hr, KGE_S_OK);
  ASSERT_NE(font->GetGridLayout(), nullptr);
  EXPECT_EQ(font->GetGridLayout()->flags, kKGEGridOn | kKGEGridSkips | kKGEGridBorders);
  EXPECT_EQ(font->GetImageCount(), 4096u);  // "width" without a list: every possible cell
  EXPECT_EQ(font->GetGlyphs()[5].advance, 8);
  ASSERT_EQ(font->Acquire(), KGE_S_OK);
  // Area (1, 1)-(63, 31): six cells of 8 + 2 per row (the last one fits exactly at 51..59).
  const KGEGLYPHIMAGE* c = font->GetImages();
  const i32 xs[] = {1, 11, 21, 31, 41, 51, 1};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(c[i].x, xs[i]) << i;
  EXPECT_EQ(c[5].y, 1);
  EXPECT_EQ(c[6].y, 12);  // next row: cell height 10 + vertical skip 1
  EXPECT_EQ(c[6].visible, 1);
  EXPECT_EQ(c[4000].visible, 0);  // far below the picture
}

TEST_F(BitmapFont, GridWithWidthListAndRectangle) {
  i32 hr = 0;
  auto font = Load("glyphs {\n  height = 5\n  widthlist = 4, -3, 6\n  rect = 10, 4, 11, 20\n  chars = \"abc\"\n}\n",
                   &hr);
  ASSERT_EQ(hr, KGE_S_OK);
  EXPECT_EQ(font->GetGridLayout()->flags, kKGEGridOn | kKGEGridWidthList | kKGEGridRect);
  EXPECT_EQ(font->GetGridLayout()->rect.right, 21);
  ASSERT_EQ(font->GetImageCount(), 3u);
  EXPECT_EQ(font->GetImages()[1].width, 0);  // negative widths count as 0
  // The same list gives the advances, as given (a negative one becomes 0).
  EXPECT_EQ(font->FindGlyph(u'a')->advance, 4);
  EXPECT_EQ(font->FindGlyph(u'b')->advance, 0);
  ASSERT_EQ(font->Acquire(), KGE_S_OK);
  const KGEGLYPHIMAGE* c = font->GetImages();
  EXPECT_EQ(c[0].x, 10);
  EXPECT_EQ(c[1].x, 14);  // a zero-width cell does not move the pen
  EXPECT_EQ(c[2].x, 14);
  EXPECT_EQ(c[2].y, 4);
}

TEST_F(BitmapFont, BadDescriptionsAreRefusedWithTheirCodes) {
  i32 hr = 0;
  EXPECT_EQ(Load("other {\n  chars = \"A\"\n}\n", &hr), nullptr);
  EXPECT_EQ(hr, KGE_E_BADDESCRIPTION);
  Load("glyphs {\n  height = 5\n  width = 4\n}\n", &hr);
  EXPECT_EQ(hr, KGE_E_NOCHARS);
  Load("glyphs {\n  height = 5\n  width = 4\n  charset = klingon\n  chars = \"A\"\n}\n", &hr);
  EXPECT_EQ(hr, KGE_E_BADDESCRIPTION);
  Load("glyphs {\n  height = 5\n  width = 4\n  chars = \"AB\"\n  glyphlist = 1\n}\n", &hr);
  EXPECT_EQ(hr, KGE_E_NOGLYPHLIST);
  Load("glyphs {\n  height = 5\n  glyphs = (0,0,4), (4,0,4)\n  chars = \"AB\"\n  widthlist = 1, 2, 3\n}\n", &hr);
  EXPECT_EQ(hr, KGE_E_NOWIDTHLIST);
  Load("glyphs {\n  height = 5\n  width = 4\n  chars = \"AB\"\n  offsetlist = (1, 1)\n}\n", &hr);
  EXPECT_EQ(hr, KGE_E_NOOFFSETLIST);
  Load("glyphs {\n  height = x5\n  width = 4\n  chars = \"A\"\n}\n", &hr);
  EXPECT_EQ(hr, KGE_E_BADDESCRIPTION);
  Load("glyphs {\n  height = 5\n  width = 4\n  chars = \"A\"\n  kerning = (U+0041, 7)\n}\n", &hr);
  EXPECT_EQ(hr, KGE_E_BADDESCRIPTION);
  // A glyph list naming a cell that does not exist is no error: that glyph has no image.
  auto font = Load("glyphs {\n  height = 5\n  glyphs = (0,0,4)\n  chars = \"AB\"\n  glyphlist = 0, 9\n}\n", &hr);
  ASSERT_EQ(hr, KGE_S_OK);
  ASSERT_EQ(font->Acquire(), KGE_S_OK);
  EXPECT_FALSE(font->FindGlyph(u'B')->hasImage & 0xFF);
  EXPECT_EQ(font->FindGlyph(u'B')->advance, 0);
}

TEST_F(BitmapFont, CharsetNamesMatchAsNameIdentifiers) {
  u32 set = 0;
  EXPECT_TRUE(KGEFindCharsetName(u"ShiftJIS", &set));
  EXPECT_EQ(set, 128u);
  EXPECT_TRUE(KGEFindCharsetName(u"CYRILLIC", &set));
  EXPECT_EQ(set, 204u);
  EXPECT_TRUE(KGEFindCharsetName(u"hangeul", &set));
  EXPECT_EQ(set, 129u);
  EXPECT_FALSE(KGEFindCharsetName(u"east europe", &set));
  EXPECT_FALSE(KGEFindCharsetName(u"", &set));
  i32 hr = 0;
  auto font = Load("glyphs {\n  height = 5\n  width = 4\n  charset = Russian\n  chars = \"A\"\n}\n", &hr);
  ASSERT_EQ(hr, KGE_S_OK);
  EXPECT_EQ(font->GetCharset(), 204u);
  EXPECT_EQ(font->GetCodePage(), 1251u);
}

TEST_F(BitmapFont, NoPictureMeansNoBuildAndAnOwnPictureFollowsTheUses) {
  i32 hr = 0;
  auto bare = LoadDescription(rig_.viewer.get(), nullptr,
                              WriteDescription(folder_, "bare.txt", "glyphs {\n height = 4\n width = 4\n chars = \"A\"\n}\n"),
                              &hr);
  ASSERT_EQ(hr, KGE_S_OK);
  EXPECT_EQ(bare->Acquire(), KGE_E_NOPICTURE);
  EXPECT_EQ(bare->GetUseCount(), 0u);

  ASSERT_TRUE(testsupport::WriteFileBytes(folder_.Path() + "/Pics.tga",
                                    imagefiles::Targa32(16, 8, std::vector<u32>(16 * 8, 0xFFFFFFFFu))));
  const std::string path =
      WriteDescription(folder_, "own.txt", "glyphs {\n image = \"sub/../Pics.tga\"\n height = 4\n width = 4\n chars = \"AB\"\n}\n");
  KGEBitmapFont* raw = nullptr;
  DXLTexture* picture = nullptr;
  ASSERT_EQ(KGELoadBitmapFontFile(rig_.viewer.get(), &picture, nullptr, true, plat::Utf8ToUtf16(path).c_str(), nullptr,
                                  &raw),
            KGE_S_OK);
  std::unique_ptr<KGEBitmapFont> font(raw);
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture, font->GetPicture());
  EXPECT_TRUE(font->OwnsPicture());
  EXPECT_EQ(std::u16string(picture->GetName()), u"Pics");
  EXPECT_FALSE(picture->IsReady());
  ASSERT_EQ(font->Acquire(), KGE_S_OK);
  EXPECT_TRUE(picture->IsReady());
  EXPECT_EQ(picture->GetImageWidth(), 16);
  EXPECT_EQ(font->GetImages()[3].x, 12);
  font->Release(false);
  EXPECT_FALSE(picture->IsReady());
  // A description without "image" cannot make its picture.
  const std::string noImage = WriteDescription(folder_, "noimage.txt", "glyphs {\n height = 4\n width = 4\n chars = \"A\"\n}\n");
  EXPECT_EQ(KGELoadBitmapFontFile(rig_.viewer.get(), &picture, nullptr, true, plat::Utf8ToUtf16(noImage).c_str(),
                                  nullptr, &raw),
            KGE_E_BADDESCRIPTION);
  EXPECT_EQ(raw, nullptr);
}

TEST_F(BitmapFont, PictureFoundInATextureListByItsName) {
  DXLTextures list(rig_.viewer.get());
  DXLTexture* named = list.NewTexture();
  named->SetName(u"GLYPHS");
  const std::string path =
      WriteDescription(folder_, "listed.txt", "glyphs {\n image = \"art/glyphs.tga\"\n height = 4\n width = 4\n chars = \"A\"\n}\n");
  KGEBitmapFont* raw = nullptr;
  DXLTexture* picture = nullptr;
  ASSERT_EQ(KGELoadBitmapFontFile(rig_.viewer.get(), &picture, &list, false, plat::Utf8ToUtf16(path).c_str(), nullptr,
                                  &raw),
            KGE_S_OK);
  std::unique_ptr<KGEBitmapFont> font(raw);
  EXPECT_EQ(font->GetPicture(), named);
  EXPECT_FALSE(font->OwnsPicture());
}

// A system font baked into picture and description loads back as a bitmap
// font that measures, hit-tests and kerns the same.
TEST_F(BitmapFont, BakedSystemFontLoadsBackAndMeasuresTheSame) {
  kgetest::UseTestFonts();
  std::u16string chars;
  for (char16_t c = 33; c < 127; ++c) chars.push_back(c);
  KGEWinFont* raw = nullptr;
  ASSERT_EQ(KGECreateWinFont(rig_.viewer.get(), kKGEWinFontKerning, 14, 0, 1, 0, 0, 0, 0xFFFFFF, u"Arial",
                             KGEWinFont::kMeasureSpace, chars.c_str(), static_cast<u32>(chars.size()), u'?', nullptr,
                             nullptr, 1, 2, 0xFFFFFFFFu, &raw),
            KGE_S_OK);
  std::unique_ptr<KGEWinFont> system(raw);
  ASSERT_EQ(system->Acquire(), KGE_S_OK);
  ASSERT_GT(system->GetKerningCount(), 0u);
  const std::string base = folder_.Path() + "/baked";
  ASSERT_EQ(KGEBakeBitmapFont(system.get(), base + ".tga", base + ".txt", "baked.tga"), KGE_S_OK);

  KGEBitmapFont* loaded = nullptr;
  DXLTexture* picture = nullptr;
  ASSERT_EQ(KGELoadBitmapFontFile(rig_.viewer.get(), &picture, nullptr, true, plat::Utf8ToUtf16(base + ".txt").c_str(),
                                  nullptr, &loaded),
            KGE_S_OK);
  std::unique_ptr<KGEBitmapFont> bitmap(loaded);
  ASSERT_EQ(bitmap->Acquire(), KGE_S_OK);
  EXPECT_EQ(bitmap->GetGlyphCount(), system->GetGlyphCount());
  EXPECT_EQ(bitmap->GetKerningCount(), system->GetKerningCount());
  EXPECT_EQ(bitmap->GetHeight(), system->GetHeight());
  EXPECT_EQ(bitmap->GetAscent(), system->GetAscent());
  EXPECT_EQ(bitmap->GetSpace(), system->GetSpace());
  for (const char16_t* text : {u"AVATAR To Wheat", u"Farm\r\nlife, 42!", u"T.Y.", u"\n\n"}) {
    KGESIZE a{}, b{};
    system->MeasureText(&a, text, KGEFont::kWholeText);
    bitmap->MeasureText(&b, text, KGEFont::kWholeText);
    EXPECT_EQ(a.cx, b.cx) << plat::Utf16ToUtf8(text);
    EXPECT_EQ(a.cy, b.cy) << plat::Utf16ToUtf8(text);
    for (i32 x = 0; x < a.cx; x += 7) EXPECT_EQ(system->GetCharIndexAt(x, text, KGEFont::kWholeText), bitmap->GetCharIndexAt(x, text, KGEFont::kWholeText));
  }
  // The glyph texture came through the picture unchanged.
  const KGEGLYPHIMAGE& cell = system->GetImages()[system->FindGlyph(u'W')->image];
  for (i32 y = cell.y; y < cell.y + system->GetCellHeight(); ++y)
    for (i32 x = cell.x; x < cell.x + cell.width; ++x)
      ASSERT_EQ(texttest::Texel(system->GetTexture(), x, y), texttest::Texel(bitmap->GetPicture(), x, y));
}

}  // namespace
