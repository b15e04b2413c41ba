#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/DXLTexture.h"
#include "engine/DXLTextures.h"
#include "engine/image/D3DFormat.h"
#include "engine/image/DXLBitmap.h"
#include "engine/text/DXLBitmapFont.h"
#include "engine/text/DXLCharList.h"
#include "testsupport/ViewerRig.h"

namespace {

std::u16string List(const char16_t* text, char16_t stop = 0, u32 maxLength = 0, bool* ok = nullptr,
                    u32* stopped = nullptr) {
  std::vector<char16_t> out;
  const bool parsed = DXLParseCharList<wchar>(text, stop, maxLength, &out, stopped);
  if (ok) *ok = parsed;
  return std::u16string(out.begin(), out.end());
}

bool Fails(const char16_t* text) {
  bool ok = true;
  List(text, 0, 0, &ok);
  return !ok;
}

TEST(CharLists, CodesRangesAndQuotedRuns) {
  EXPECT_EQ(List(u"#65-#67"), u"ABC");
  EXPECT_EQ(List(u"#65-#67,"), u"ABC");
  EXPECT_EQ(List(u"'a'-'c',#48"), u"abc0");
  EXPECT_EQ(List(u" $41 , \"xyz\" , '-'"), u"Axyz-");
  EXPECT_EQ(List(u"#20-#34"), u" !\"");  // a range starts at 32 at the earliest
  EXPECT_EQ(List(u"$1F-$21"), u" !");
  EXPECT_EQ(List(u""), u"");
}

TEST(CharLists, OtherFirstCharacterMakesALiteralList) {
  EXPECT_EQ(List(u"abc, #1"), u"abc, #1");
  EXPECT_TRUE(Fails(u" abc"));  // after a space it is an error
  u32 stopped = 0;
  EXPECT_EQ(List(u"xy=5", u'=', 0, nullptr, &stopped), u"xy");
  EXPECT_EQ(stopped, 3u);
}

TEST(CharLists, MalformedListsYieldNothing) {
  EXPECT_TRUE(Fails(u"\"abc"));      // no closing quote
  EXPECT_TRUE(Fails(u"#65-"));       // a range without its end
  EXPECT_TRUE(Fails(u"-#65"));       // a dash first
  EXPECT_TRUE(Fails(u"#65 #66"));    // a second code without ","
  EXPECT_TRUE(Fails(u"#65-#66-#67"));
  EXPECT_TRUE(Fails(u"#6x"));
  EXPECT_TRUE(Fails(u"#"));
  EXPECT_TRUE(Fails(u"#70000"));     // beyond the code units
  EXPECT_TRUE(Fails(u"'ab'"));
  EXPECT_TRUE(Fails(u"#65,x"));
  std::vector<char> narrow;
  EXPECT_FALSE(DXLParseCharList<char>("#256", 0, 0, &narrow, nullptr));
  EXPECT_TRUE(DXLParseCharList<char>("#250-#252", 0, 0, &narrow, nullptr));
  EXPECT_EQ(narrow.size(), 3u);
}

TEST(CharLists, StopCharacterAndMaximumLength) {
  u32 stopped = 0;
  EXPECT_EQ(List(u"#65-#67=12", u'=', 0, nullptr, &stopped), u"ABC");
  EXPECT_EQ(stopped, 8u);
  EXPECT_EQ(List(u"\"abcdef\"", 0, 5), u"");  // cut at 4 characters: the quote is left open
  EXPECT_EQ(List(u"abcdef", 0, 4), u"abc");
}

TEST(CharLists, LongListsKeepTheFirst8191Codes) {
  const std::u16string all = List(u"#32-#65535");
  ASSERT_EQ(all.size(), 8191u);
  EXPECT_EQ(all.front(), u' ');
  EXPECT_EQ(all.back(), static_cast<char16_t>(32 + 8190));
}

// A bitmap font used for the base's rules, without a picture.
class FontBase : public ::testing::Test {
 protected:
  void AddChars(const char16_t* codes, u8 width) {
    font_.AddGlyphs(codes, 0, true);
    for (const char16_t* c = codes; *c; ++c) font_.SetGlyphWidth(*c, width);
  }
  DXLBitmapFontW font_;
};

TEST_F(FontBase, HeightAscentAndDescentStayConsistent) {
  font_.SetHeight(20);
  font_.SetDescent(5);
  EXPECT_EQ(font_.GetAscent(), 15);
  font_.SetHeight(3);  // below the descent
  EXPECT_EQ(font_.GetDescent(), 3);
  EXPECT_EQ(font_.GetAscent(), 0);
  font_.SetAscent(2);
  EXPECT_EQ(font_.GetDescent(), 1);
}

TEST_F(FontBase, WidthsClampExtrasAndAdvanceNeverWraps) {
  AddChars(u"ab", 10);
  font_.SetGlyphExtras(u'a', 4, 3);
  EXPECT_EQ(font_.GetAdvance(u'a'), 3);
  font_.SetGlyphWidth(u'a', 2);
  EXPECT_EQ(font_.GetGlyph(u'a')->leftExtra, 2);
  EXPECT_EQ(font_.GetGlyph(u'a')->rightExtra, 2);
  EXPECT_EQ(font_.GetAdvance(u'a'), 0);  // 2 - 2 - 2 stops at 0
  font_.SetGlyphExtras(u'b', -100, -100);
  EXPECT_EQ(font_.GetAdvance(u'b'), 210);
  font_.SetGlyphWidth(u'b', 250);
  font_.SetGlyphExtras(u'b', -10, 0);
  EXPECT_EQ(font_.GetAdvance(u'b'), 255);  // 260 is capped, not wrapped to 4
  EXPECT_EQ(font_.GetAdvance(u'z'), 0);
}

TEST_F(FontBase, CustomWidthsAndSpacesStopAtTheFirstBadItem) {
  AddChars(u"abcdxy", 8);
  font_.ParseCustomWidths(u"'a'-'c'=5, \"x\"=9 , #100=oops, 'y'=2");
  EXPECT_EQ(font_.GetGlyph(u'a')->width, 5);
  EXPECT_EQ(font_.GetGlyph(u'c')->width, 5);
  EXPECT_EQ(font_.GetGlyph(u'x')->width, 9);
  EXPECT_EQ(font_.GetGlyph(u'd')->width, 8);
  EXPECT_EQ(font_.GetGlyph(u'y')->width, 8);  // after the bad item
  // A cell is at most 255 wide (300 is not wrapped to 44); a negative width
  // is a bad item like any other.
  font_.ParseCustomWidths(u"'b'=300, 'd'=-1, 'y'=2");
  EXPECT_EQ(font_.GetGlyph(u'b')->width, 255);
  EXPECT_EQ(font_.GetGlyph(u'd')->width, 8);
  EXPECT_EQ(font_.GetGlyph(u'y')->width, 8);

  font_.ParseCustomSpaces(u"'a'=2:-1, 'x'=-3 : 1, 'y'=1");
  EXPECT_EQ(font_.GetGlyph(u'a')->leftExtra, -2);
  EXPECT_EQ(font_.GetGlyph(u'a')->rightExtra, 1);
  EXPECT_EQ(font_.GetAdvance(u'a'), 5 + 2 - 1);
  EXPECT_EQ(font_.GetGlyph(u'x')->leftExtra, 3);
  EXPECT_EQ(font_.GetGlyph(u'x')->rightExtra, -1);
  EXPECT_EQ(font_.GetGlyph(u'y')->leftExtra, 0);  // no ":" part: stopped
  font_.ParseCustomSpaces(u"'d'=-200:0");
  EXPECT_EQ(font_.GetGlyph(u'd')->leftExtra, 8);  // at most the width
}

TEST_F(FontBase, GlyphSetAndIndices) {
  font_.AddGlyphs(u"cab", 5, true);
  EXPECT_EQ(font_.GetGlyph(u'a')->index, 6);
  char16_t codes[8];
  EXPECT_EQ(font_.GetCodes(codes, 8), 3u);
  EXPECT_EQ(std::u16string(codes), u"abc");
  EXPECT_EQ(font_.GetCodes(codes, 3), 2u);
  EXPECT_EQ(std::u16string(codes), u"ab");
  EXPECT_EQ(font_.AssignIndices(u"bcz"), u'z');
  EXPECT_EQ(font_.GetGlyph(u'c')->index, 1);
  EXPECT_EQ(font_.AssignIndices(u""), 0);
  font_.RemoveGlyphs(0, u'b');
  EXPECT_EQ(font_.GetGlyph(u'a'), nullptr);
  EXPECT_NE(font_.GetGlyph(u'c'), nullptr);
  EXPECT_EQ(font_.GetGlyphByIndex(1), font_.GetGlyph(u'c'));
}

TEST_F(FontBase, PlacingRuleFillsRowsAndSkipsEmptyIndices) {
  font_.SetHeight(10);
  font_.SetHSkip(1);
  font_.SetVSkip(2);
  font_.SetEmptyWidth(4);
  font_.AddGlyphs(u"abcd", 0, true);
  font_.SetAllWidths(10);
  font_.RemoveGlyph(u'b');  // index 1 is now empty
  i32 x = 0;
  i32 y = 0;
  ASSERT_TRUE(font_.PlaceGlyph(u'a', 32, 40, &x, &y));
  EXPECT_EQ(x, 0);
  ASSERT_TRUE(font_.PlaceGlyph(u'c', 32, 40, &x, &y));
  EXPECT_EQ(x, 11 + 4 + 1);  // after a and the empty index
  EXPECT_EQ(y, 0);
  ASSERT_TRUE(font_.PlaceGlyph(u'd', 32, 40, &x, &y));  // 27 + 10 > 32: next row
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 12);
  EXPECT_FALSE(font_.PlaceGlyph(u'd', 32, 21, &x, &y));  // the second row does not fit
  EXPECT_FALSE(font_.PlaceGlyph(u'a', 8, 40, &x, &y) && x + 10 <= 8);
  // A picture narrower than a glyph leaves it and every later one unplaced.
  font_.SetGlyphWidth(u'a', 40);
  EXPECT_FALSE(font_.PlaceGlyph(u'c', 32, 400, &x, &y));
  EXPECT_FALSE(font_.PlaceGlyph(u'd', 32, 400, &x, &y));
}

// With a picture: the quads follow the placing rule and the texture.
class FontTextures : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(rig_.Open(64, 48), 0);
    list_ = std::make_unique<DXLTextures>(rig_.viewer.get());
    picture_ = list_->NewTexture();
    picture_->SetName(u"glyphs");
    Load(picture_, 64, 32);
  }
  void TearDown() override { list_.reset(); }
  static void Load(DXLTexture* texture, i32 w, i32 h) {
    DXLBitmap bitmap;
    bitmap.SetFormat(D3DFMT_A8R8G8B8);
    bitmap.SetSize(w, h);
    texture->LoadFromBitmap(&bitmap);
  }

  viewertest::ViewerRig rig_;
  std::unique_ptr<DXLTextures> list_;
  DXLTexture* picture_ = nullptr;
};

class Listener : public DXLNotifyObject {
 public:
  void Notify(DXLNotifyObject*, u32 code) override { codes.push_back(code); }
  std::vector<u32> codes;
};

TEST_F(FontTextures, UpdateBuildsQuadsAndTellsListeners) {
  DXLBitmapFontW font(list_.get());
  Listener listener;
  font.AddListener(&listener);
  font.BeginUpdate();
  font.SetTexture(picture_);
  font.SetHeight(16);
  font.AddGlyphs(u"ABCDEFG", 0, true);
  font.SetAllWidths(20);
  font.SetGlyphExtras(u'B', 3, 0);
  EXPECT_TRUE(listener.codes.empty());
  font.EndUpdate();
  EXPECT_EQ(listener.codes, (std::vector<u32>{kNotifyFontRebuilt}));

  const DXLFONTGLYPH* b = font.GetGlyph(u'B');
  ASSERT_NE(b->quadB, nullptr);
  EXPECT_EQ(b->cell.left, 20);
  EXPECT_EQ(b->cell.bottom, 16);
  // Quad B starts left of the origin by the left extra; quad A half a pixel on.
  EXPECT_FLOAT_EQ(b->quadB->v[0].x, -3.0f - 0.5f);
  EXPECT_FLOAT_EQ(b->quadA->v[0].x, -3.0f);
  EXPECT_FLOAT_EQ(b->quadA->v[0].y, 0.0f);
  EXPECT_EQ(font.GetGlyph(u'D')->cell.top, 16);  // the fourth glyph opens row two
  EXPECT_EQ(font.GetGlyph(u'F')->cell.left, 40);
  EXPECT_EQ(font.GetQuad(u'G'), nullptr);  // row three is below the picture
  // A metric set to what it is tells nobody; each change rebuilds at once.
  listener.codes.clear();
  font.SetHeight(16);
  font.SetHSkip(0);
  font.SetVSkip(0);
  font.SetEmptyWidth(0);
  font.SetAscent(font.GetAscent());
  font.SetDescent(font.GetDescent());
  EXPECT_TRUE(listener.codes.empty());
  font.SetHSkip(1);
  font.SetHSkip(0);
  font.SetDescent(static_cast<i16>(font.GetDescent() + 1));
  EXPECT_EQ(listener.codes.size(), 3u);
  EXPECT_EQ(font.GetAscent() + font.GetDescent(), 16);

  font.SetColor(0x80112233u);
  EXPECT_EQ(b->quadA->v[2].color, 0x80112233u);
  EXPECT_EQ(font.GetQuad(u'A')->v[3].color, 0x80112233u);

  // A larger picture places the last glyph too.
  picture_->Unload();
  EXPECT_EQ(font.GetQuad(u'A'), nullptr);  // an unloaded picture has no size
  Load(picture_, 64, 64);
  EXPECT_NE(font.GetQuad(u'G'), nullptr);
  // The picture going away frees every quad.
  listener.codes.clear();
  list_.reset();
  EXPECT_EQ(font.GetTexture(), nullptr);
  EXPECT_EQ(font.GetQuad(u'A'), nullptr);
  EXPECT_FALSE(listener.codes.empty());
  font.RemoveListener(&listener);
}

}  // namespace
