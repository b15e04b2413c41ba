#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "base/IniFile.h"
#include "engine/DXLLog.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextures.h"
#include "engine/image/D3DFormat.h"
#include "engine/image/DXLBitmap.h"
#include "engine/text/DXLBitmapFont.h"
#include "engine/text/DXLD3DXFont.h"
#include "engine/text/DXLFontProps.h"
#include "engine/text/DXLLiteFont.h"
#include "platform/encoding/Utf.h"
#include "testsupport/ViewerRig.h"

namespace {

class BitmapFonts : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(rig_.Open(64, 48), 0);
    list_ = std::make_unique<DXLTextures>(rig_.viewer.get());
  }
  void TearDown() override { list_.reset(); }

  // Writes the ini text beside the test's other files and reads its section.
  void Read(DXLBitmapFontW& font, const std::string& body, bool loadImage = false, bool loadNow = false) {
    const std::string path = rig_.Folder() + "/font.ini";
    std::ofstream(path) << "[BitmapFont]\n" << body;
    const std::u16string wide = plat::Utf8ToUtf16(path);
    kis::IniFileW ini(wide.c_str());
    font.ReadDescription(&ini, loadImage, loadNow);
  }
  DXLTexture* Picture(const char16_t* name, i32 w, i32 h) {
    DXLTexture* t = list_->NewTexture();
    t->SetName(name);
    DXLBitmap bitmap;
    bitmap.SetFormat(D3DFMT_A8R8G8B8);
    bitmap.SetSize(w, h);
    t->LoadFromBitmap(&bitmap);
    return t;
  }

  viewertest::ViewerRig rig_;
  std::unique_ptr<DXLTextures> list_;
};

TEST_F(BitmapFonts, DescriptionGivesCharactersMetricsAndCells) {
  DXLTexture* picture = Picture(u"Glyphs", 64, 32);
  DXLBitmapFontW font(list_.get());
  Read(font,
       "ImageName=glyphs\nName=Small\nSpaces=2,3\nColor=$FF00FF00\nChars=\"ABC\"\nChars2=#68-#70\n"
       "EmptyCharWidth=4\nDescent=3\nCharHeight=12\nCharWidth=9\nSpace=5\nSkip=1,2\nHSkip=7\n",
       true);
  EXPECT_EQ(font.GetTexture(), picture);
  EXPECT_EQ(std::u16string(font.GetName()), u"Small");
  EXPECT_EQ(font.GetHSpacing(), 2);
  EXPECT_EQ(font.GetVSpacing(), 3);
  EXPECT_EQ(font.GetColor(), 0xFF00FF00u);
  EXPECT_EQ(font.GetGlyph(u'D')->index, 3);
  EXPECT_EQ(font.GetGlyph(u'F')->index, 5);
  EXPECT_EQ(font.GetEmptyWidth(), 4);
  EXPECT_EQ(font.GetAscent(), 9);
  EXPECT_EQ(font.GetSpace(), 5);
  EXPECT_EQ(font.GetHSkip(), 1);  // "Skip" wins over "HSkip"
  EXPECT_EQ(font.GetVSkip(), 2);
  EXPECT_FALSE(font.HasCustomWidth());
  // Cells by the placing rule: 9 wide, 1 apart, rows 12 high and 2 apart.
  EXPECT_EQ(font.GetGlyph(u'B')->cell.left, 10);
  EXPECT_EQ(font.GetGlyph(u'F')->cell.left, 50);
  EXPECT_EQ(font.GetGlyph(u'F')->cell.top, 0);
  ASSERT_NE(font.GetQuad(u'F'), nullptr);
  EXPECT_EQ(font.GetQuad(u'F')->v[0].color, 0xFF00FF00u);
}

TEST_F(BitmapFonts, DefaultsAndNumberedKeysNeedTheirPredecessor) {
  DXLBitmapFontW font(list_.get());
  Read(font,
       "Chars=abc\nChars3=xyz\nCharWidth=8\nHSkip=3\nVSkip=4\nCustomWidth2='a'=2\nCustomSpaces='b'=1:1\n"
       "CustomSpaces2='c'=0:-2\nDescent=40\nCharHeight=10\n");
  EXPECT_EQ(font.GetGlyph(u'x'), nullptr);  // "Chars3" without "Chars2"
  EXPECT_EQ(font.GetGlyph(u'a')->width, 8);  // "CustomWidth2" without "CustomWidth"
  EXPECT_FALSE(font.HasCustomWidth());
  EXPECT_EQ(font.GetGlyph(u'b')->leftExtra, -1);
  EXPECT_EQ(font.GetGlyph(u'c')->rightExtra, 2);
  EXPECT_EQ(font.GetHSkip(), 3);
  EXPECT_EQ(font.GetVSkip(), 4);
  EXPECT_EQ(font.GetDescent(), 10);  // larger than the height
  EXPECT_EQ(font.GetAscent(), 0);
  EXPECT_EQ(font.GetColor(), 0xFFFFFFFFu);
  EXPECT_EQ(font.GetTexture(), nullptr);
  // The descent is held to the height also when the height does not change,
  // and when "CharHeight" is missing (a height of 0).
  Read(font, "Descent=30\nCharHeight=10\n");
  EXPECT_EQ(font.GetDescent(), 10);
  EXPECT_EQ(font.GetAscent(), 0);
  DXLBitmapFontW bare(list_.get());
  Read(bare, "Descent=5\n");
  EXPECT_EQ(bare.GetHeight(), 0);
  EXPECT_EQ(bare.GetDescent(), 0);
  EXPECT_EQ(bare.GetAscent(), 0);
}

TEST_F(BitmapFonts, CustomWidthSetsTheFlagAndItsContinuations) {
  DXLBitmapFontW font(list_.get());
  Read(font, "Chars=\"abcd\"\nCustomWidth='a'=3\nCustomWidth2='b'-'c'=6\nCustomWidth3='d'=x\n");
  EXPECT_TRUE(font.HasCustomWidth());
  EXPECT_EQ(font.GetGlyph(u'a')->width, 3);
  EXPECT_EQ(font.GetGlyph(u'c')->width, 6);
  EXPECT_EQ(font.GetGlyph(u'd')->width, 0);  // no width: no quads either
}

TEST_F(BitmapFonts, MissingSectionOrBadCharsKeepTheGlyphsAndNoCharsClearsThem) {
  DXLBitmapFontW font(list_.get());
  font.ReadDescription(nullptr, true, true);
  const std::string path = rig_.Folder() + "/other.ini";
  std::ofstream(path) << "[Other]\nChars=abc\n";
  const std::u16string wide = plat::Utf8ToUtf16(path);
  kis::IniFileW ini(wide.c_str());
  font.ReadDescription(&ini, true, true);
  EXPECT_EQ(font.GetGlyph(u'a'), nullptr);

  Read(font, "Chars=xy\n");
  Read(font, "Chars=#65-\n");
  EXPECT_NE(font.GetGlyph(u'x'), nullptr);
  // No "Chars" reads as an empty one: the old glyphs go, "Chars2" follows.
  Read(font, "Chars2=q\n");
  EXPECT_EQ(font.GetGlyph(u'x'), nullptr);
  ASSERT_NE(font.GetGlyph(u'q'), nullptr);
  EXPECT_EQ(font.GetGlyph(u'q')->index, 0);
  Read(font, "Space=3\n");
  EXPECT_EQ(font.GetGlyph(u'q'), nullptr);
}

TEST_F(BitmapFonts, ImageFileIsFoundOrAddedByItsBareName) {
  DXLBitmapFontW font(list_.get());
  Read(font, "ImageFile=pics/Letters.tga\nChars=ab\nCharHeight=8\n", true);
  DXLTexture* made = font.GetTexture();
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(std::u16string(made->GetName()), u"Letters");
  EXPECT_EQ(made->GetSourceKind(), kTextureSourceFile);
  const std::u16string file = made->GetFileName();
  EXPECT_EQ(file, plat::Utf8ToUtf16(rig_.Folder() + "/pics/Letters.tga"));
  EXPECT_EQ(made->GetDrawState().blendMode, 1u);
  EXPECT_FALSE(made->IsReady());  // the file does not exist

  DXLBitmapFontW second(list_.get());
  Read(second, "ImageFile=Letters.png\n", true, true);
  EXPECT_EQ(second.GetTexture(), made);
  EXPECT_EQ(list_->GetCount(), 1);

  DXLBitmapFontW copy(list_.get());
  copy.SetVSkip(9);
  font.SetHSkip(3);
  copy.AssignBitmap(font);
  EXPECT_EQ(copy.GetTexture(), made);
  EXPECT_EQ(copy.GetHSkip(), 3);
  EXPECT_EQ(copy.GetVSkip(), 0);
  EXPECT_EQ(copy.GetHeight(), 8);
  EXPECT_EQ(copy.GetKind(), 1u);
}

TEST_F(BitmapFonts, EightBitTwinReadsTheSameSyntax) {
  Picture(u"narrow", 32, 16);
  DXLBitmapFontA font(list_.get());
  const std::string path = rig_.Folder() + "/a.ini";
  std::ofstream(path) << "[BitmapFont]\nImageName=narrow\nChars=#250-#252,'a'\nCharHeight=8\nCharWidth=6\n";
  kis::IniFileA ini(path.c_str());
  font.ReadDescription(&ini, true, false);
  ASSERT_NE(font.GetTexture(), nullptr);
  EXPECT_EQ(font.GetGlyph(static_cast<char>(251))->index, 1);
  EXPECT_EQ(font.GetGlyph('a')->cell.left, 18);
}

TEST(FontProps, AssignCopiesEverythingInOneChange) {
  DXLFontPropsW a;
  a.SetFaceName(u"A face name that is far longer than thirty-one characters");
  EXPECT_EQ(std::u16string(a.GetFaceName()).size(), 31u);
  a.SetSize(14);
  a.SetStyle(kFontBold | kFontItalic);
  a.SetColor(0xFF102030u);
  a.SetCharSet(204);
  a.SetQuality(3);
  a.SetPitchAndFamily(2);
  DXLFontPropsW b;
  b.Assign(a);
  EXPECT_EQ(std::u16string(b.GetFaceName()), std::u16string(a.GetFaceName()));
  EXPECT_EQ(b.GetSize(), 14);
  EXPECT_EQ(b.GetStyle(), kFontBold | kFontItalic);
  EXPECT_EQ(b.GetColor(), 0xFF102030u);
  EXPECT_EQ(b.GetCharSet(), 204u);
  EXPECT_EQ(b.GetQuality(), 3);
  EXPECT_EQ(b.GetPitchAndFamily(), 2);
}

TEST_F(BitmapFonts, LiteFontForgetsItsTextureAndAsksForARebuild) {
  DXLLiteFontW lite;
  DXLTexture* t = Picture(u"lite", 8, 8);
  lite.SetTexture(t);
  EXPECT_FALSE(lite.NeedsRebuild());
  delete t;
  EXPECT_EQ(lite.GetTexture(), nullptr);
  EXPECT_TRUE(lite.NeedsRebuild());
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST_F(BitmapFonts, UtilityFontFollowsDeviceEventsAndFailsCleanly) {
  auto* props = new DXLFontPropsW;
  props->SetFaceName(u"Arial");
  props->SetSize(12);
  props->SetStyle(kFontBold);
  DXLD3DXFontW font(props);
  const i32 before = rig_.viewer->GetDeviceObjectCount();
  font.SetViewer(rig_.viewer.get());
  EXPECT_EQ(font.GetViewer(), rig_.viewer.get());
  EXPECT_EQ(rig_.viewer->GetDeviceObjectCount(), before + 1);
  EXPECT_EQ(font.GetDescription().height, -16);
  EXPECT_EQ(font.GetDescription().weight, 700u);
  EXPECT_EQ(std::u16string(font.GetDescription().faceName), u"Arial");
  EXPECT_EQ(font.GetFontObject(), nullptr);
  EXPECT_LT(font.GetLastResult(), 0);
  EXPECT_EQ(Count(rig_.Log(), "ERROR! D3DXCreateFontIndirect: "), 1u);

  // Releasing and resetting release; a reset done and a new device re-create.
  font.OnDeviceEvent(rig_.viewer.get(), kDeviceReleasing);
  font.OnDeviceEvent(rig_.viewer.get(), kDeviceResetting);
  EXPECT_EQ(Count(rig_.Log(), "D3DXCreateFontIndirect"), 1u);
  ASSERT_EQ(rig_.viewer->ResetDevice(), 0);
  EXPECT_EQ(Count(rig_.Log(), "D3DXCreateFontIndirect"), 2u);
  font.OnDeviceEvent(rig_.viewer.get(), kDeviceCreated);
  EXPECT_EQ(Count(rig_.Log(), "D3DXCreateFontIndirect"), 3u);

  // The viewer going first leaves the font without one.
  rig_.viewer.reset();
  EXPECT_EQ(font.GetViewer(), nullptr);
}

TEST_F(BitmapFonts, UtilityFontWithoutDescriptionOrViewerMakesNothing) {
  DXLD3DXFontA font;
  font.SetViewer(rig_.viewer.get());
  font.OnDeviceEvent(rig_.viewer.get(), kDeviceResetDone);
  EXPECT_EQ(rig_.Log().find("D3DXCreateFontIndirect"), std::string::npos);
  font.SetViewer(nullptr);
  EXPECT_EQ(font.GetViewer(), nullptr);
}

}  // namespace
