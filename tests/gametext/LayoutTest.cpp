#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "KgeTestSupport.h"
#include "TextTestSupport.h"
#include "engine/DXLTexture.h"
#include "gametext/KGEHandleRegistry.h"
#include "gametext/KGELayout.h"
#include "gametext/KGEMarkup.h"
#include "gametext/TextServices.h"
#include "testsupport/ViewerRig.h"

using kgetest::HandFont;

namespace {

// Glyphs a, b, c, w, x, <, >, 1 with advances 10, 10, 10, 50, 7, 4, 4, 6;
// line height 12, ascent 9, space 1.
class Layout : public ::testing::Test {
 protected:
  void SetUp() override {
    font_.Make(u"abcwx<>1", {10, 10, 10, 50, 7, 4, 4, 6}, 12, 12);
    font_.SetMetrics(12, 9, 1, 0);
    font_.SetStyle(0, 0, 0xFF336699u);
  }
  void TearDown() override { GetTextServices().handles.Reset(); }

  KGETEXTPARAMS Params(u32 flags) {
    KGETEXTPARAMS p = KGEDefaultTextParams();
    p.flags = flags;
    p.maxChars = kKGEMaxChars;
    p.alpha = 0xFF000000u;
    return p;
  }
  const KGELayout& Run(const KGETEXTPARAMS& p, const std::u16string& text) {
    EXPECT_EQ(layout_.Layout<wchar>(&font_, &p, text.c_str(), static_cast<u32>(text.size())), KGE_S_OK);
    return layout_;
  }
  // Codes of the glyphs laid out, in order.
  std::u16string Glyphs() const {
    std::u16string s;
    for (u32 i = 0; i < layout_.GlyphCount(); ++i) s.push_back(layout_.Glyphs()[i].glyph->code);
    return s;
  }
  // Where the glyph and image runs of a line start (space runs left out).
  std::vector<i32> RunXs(u32 line) const {
    std::vector<i32> xs;
    const KGELINE& l = layout_.Lines()[line];
    for (u32 r = l.firstRun; r < l.firstRun + l.runCount; ++r)
      if (layout_.Runs()[r].kind != kKGERunSpace) xs.push_back(layout_.Runs()[r].x);
    return xs;
  }
  // Every run of a line as "kind@x+width".
  std::string RunsOf(u32 line) const {
    std::string out;
    const KGELINE& l = layout_.Lines()[line];
    for (u32 r = l.firstRun; r < l.firstRun + l.runCount; ++r) {
      const KGERUN& run = layout_.Runs()[r];
      out += (out.empty() ? "" : " ") + std::to_string(run.kind) + "@" + std::to_string(run.x) + "+" +
             std::to_string(run.width);
    }
    return out;
  }

  HandFont font_;
  KGELayout layout_;
};

TEST_F(Layout, PlainLinesBreakOnceForEachPairAndMeasureWithoutTrailingBlanks) {
  Run(Params(0), u"ab c  \r\nab\n\ra\r\r");
  ASSERT_EQ(layout_.LineCount(), 4u);  // CR LF and LF CR break once, CR CR twice; the empty last line is not kept
  EXPECT_EQ(layout_.Lines()[0].width, 31);  // "ab", a blank of 1, "c"; the trailing blanks do not count
  EXPECT_EQ(layout_.Lines()[0].endKind, kKGELineBreak);
  EXPECT_EQ(layout_.Lines()[1].y, 12);
  EXPECT_EQ(layout_.Lines()[3].runCount, 0u);  // the empty line between CR and CR
  EXPECT_EQ(layout_.Width(), 31);
  EXPECT_EQ(layout_.Height(), 48);
  EXPECT_EQ(layout_.Glyphs()[0].color, 0xFF336699u);  // the font's own colour
}

TEST_F(Layout, WordsWrapAtTheWrapWidthAndALongWordStaysWhole) {
  KGETEXTPARAMS p = Params(kKGEWrap);
  p.wrapWidth = 100;
  font_.SetMetrics(12, 9, 10, 0);
  Run(p, u"wx ww wx");  // words of 57, 100 and 57 pixels with blanks of 10
  ASSERT_EQ(layout_.LineCount(), 3u);
  for (u32 i = 0; i < 3; ++i) EXPECT_EQ(RunXs(i), std::vector<i32>{0}) << i;
  // Each blank is a space run, kept at the end of the line it closes.
  EXPECT_EQ(RunsOf(0), "2@0+57 1@57+10");
  EXPECT_EQ(RunsOf(1), "2@0+100 1@100+10");
  EXPECT_EQ(RunsOf(2), "2@0+57");
  EXPECT_EQ(layout_.Lines()[0].width, 57);
  EXPECT_EQ(layout_.Lines()[0].endKind, kKGELineWrapped);
  EXPECT_EQ(layout_.Lines()[1].width, 100);
  EXPECT_EQ(layout_.Lines()[2].endKind, kKGELineEnd);

  Run(p, u"www a");  // 150 pixels: alone on its line, not cut
  ASSERT_EQ(layout_.LineCount(), 2u);
  EXPECT_EQ(layout_.Lines()[0].width, 150);
  EXPECT_EQ(layout_.Width(), 150);

  p.flags |= kKGESingleLine;
  Run(p, u"wx ww\nwx");
  EXPECT_EQ(layout_.LineCount(), 1u);
}

TEST_F(Layout, JustificationSharesTheExtraWidthWithCarriedFractions) {
  KGETEXTPARAMS p = Params(kKGEWrap | kKGEJustify);
  p.wrapWidth = 50;
  Run(p, u"a a a a a");  // four words and three gaps fill 43 pixels: 7 to share
  ASSERT_EQ(layout_.LineCount(), 2u);
  EXPECT_EQ(RunXs(0), (std::vector<i32>{0, 11 + 2, 22 + 4, 33 + 7}));
  EXPECT_EQ(layout_.Lines()[0].width, 50);
  EXPECT_EQ(RunXs(1), std::vector<i32>{0});  // the last line is not justified
  EXPECT_EQ(layout_.Lines()[1].width, 10);

  // One word too wide to share gaps with: its glyphs spread out instead.
  p.wrapWidth = 28;
  Run(p, u"abc a");
  ASSERT_EQ(layout_.LineCount(), 2u);
  EXPECT_EQ(layout_.Lines()[0].width, 30);  // wider than the wrap width: untouched
  p.wrapWidth = 33;
  Run(p, u"abc ab");
  ASSERT_EQ(layout_.LineCount(), 2u);
  const KGELAYOUTGLYPH* g = layout_.Glyphs();
  EXPECT_EQ(g[0].x, 0);
  EXPECT_EQ(g[1].x, 11);  // 3 extra pixels over two steps: 1.5, 3
  EXPECT_EQ(g[2].x, 23);
  EXPECT_EQ(layout_.Runs()[0].width, 33);
}

TEST_F(Layout, AlignmentUsesTheWidestLineOrTheRectangle) {
  Run(Params(kKGEAlignRight), u"a\nabc");
  EXPECT_EQ(RunXs(0), std::vector<i32>{20});
  EXPECT_EQ(RunXs(1), std::vector<i32>{0});

  KGETEXTPARAMS p = Params(kKGEAlignCenter | kKGEVAlignBottom | kKGERect);
  p.left = 100;
  p.top = 10;
  p.right = 200;
  p.bottom = 60;
  Run(p, u"ab");
  EXPECT_EQ(RunXs(0), std::vector<i32>{100 + 40});
  EXPECT_EQ(layout_.Lines()[0].y, 10 + 38);
  EXPECT_EQ(layout_.Lines()[0].x, 140);

  // A rectangle at the origin still centres vertically.
  p = Params(kKGEVAlignCenter);
  p.right = 100;
  p.bottom = 40;
  Run(p, u"a");
  EXPECT_EQ(layout_.Lines()[0].y, 14);
}

TEST_F(Layout, LineSpacingPlacesBaselinesAStepApart) {
  KGETEXTPARAMS p = Params(kKGELineSpacing | kKGELineGap);
  p.lineSpacing = 20;
  p.lineGap = 2;
  Run(p, u"a\nb\nc");
  ASSERT_EQ(layout_.LineCount(), 3u);
  EXPECT_EQ(layout_.Lines()[0].y, 0);
  EXPECT_EQ(layout_.Lines()[1].y, 22);
  EXPECT_EQ(layout_.Lines()[2].y, 44);
  EXPECT_EQ(layout_.Height(), 56);
  p.lineSpacing = -5;  // counts as 0: only the gap remains
  Run(p, u"a\nb");
  EXPECT_EQ(layout_.Lines()[1].y, 2);
}

TEST_F(Layout, ColourTagsAndTheAlphaOverride) {
  KGETEXTPARAMS p = Params(kKGEMarkup | kKGEAlpha);
  p.alpha = 0x80000000u;
  Run(p, u"a<c=ff0000>b<color = 80ff0000>c</c>a</color>a<c=default>b");
  ASSERT_EQ(Glyphs(), u"abcaab");
  const KGELAYOUTGLYPH* g = layout_.Glyphs();
  EXPECT_EQ(g[0].color, 0x80336699u);
  EXPECT_EQ(g[1].color, 0x80FF0000u);
  EXPECT_EQ(g[2].color, 0x80FF0000u);  // the value's own alpha never counts
  EXPECT_EQ(g[3].color, 0x80FF0000u);
  EXPECT_EQ(g[4].color, 0x80336699u);
  EXPECT_EQ(g[5].color, 0x80336699u);
  // Colour changes do not end a run.
  EXPECT_EQ(layout_.RunCount(), 1u);

  p = Params(kKGEFixedColor);
  p.color = 0x00FF0000u;
  Run(p, u"a");
  EXPECT_EQ(layout_.Glyphs()[0].color, 0xFFFF0000u);
}

TEST_F(Layout, WhatIsNotATagIsText) {
  const KGETEXTPARAMS p = Params(kKGEMarkup);
  Run(p, u"a< b");
  EXPECT_EQ(Glyphs(), u"a<b");
  Run(p, u"<abcdefghi>");  // nine letters
  EXPECT_EQ(Glyphs(), u"<abc>");  // d to i have no glyphs
  Run(p, u"<c=1ff0000ab>a");  // nine significant digits
  EXPECT_EQ(Glyphs().substr(0, 2), u"<c");
  Run(p, u"<font=@7>a</font>");  // no font under that handle; the closing tag is one
  EXPECT_EQ(Glyphs(), u"<>a");
  Run(p, u"<image=@1 w=5>");
  EXPECT_EQ(Glyphs()[0], u'<');
  Run(Params(0), u"<br>");  // without the mark-up flag
  EXPECT_EQ(Glyphs(), u"<b>");
}

TEST_F(Layout, BreakTagsAndSpacesAndSingleLines) {
  KGETEXTPARAMS p = Params(kKGEMarkup);
  Run(p, u"a<br>b<space=7>c<SPACE = -3>a");
  ASSERT_EQ(layout_.LineCount(), 2u);
  EXPECT_EQ(RunXs(1), (std::vector<i32>{0, 17, 27}));
  EXPECT_EQ(RunsOf(1), "2@0+10 1@10+7 2@17+10 1@27+0 2@27+10");
  p.flags |= kKGESingleLine;
  Run(p, u"a<br>b\nc");
  EXPECT_EQ(layout_.LineCount(), 1u);
  EXPECT_EQ(Glyphs(), u"abc");
}

TEST_F(Layout, FontsAndImagesByRegistryHandle) {
  HandFont big;
  big.Make(u"a", {20}, 30, 30);
  big.SetMetrics(30, 24, 1, 0);
  const u32 handle = GetTextServices().handles.RegisterFont(&big);
  char tag[128];
  std::snprintf(tag, sizeof(tag), "a<font=@%x>a</font>a<font=default>b", handle);
  std::u16string text;
  for (const char* c = tag; *c; ++c) text.push_back(static_cast<char16_t>(*c));
  Run(Params(kKGEMarkup), text);
  ASSERT_EQ(layout_.GlyphCount(), 4u);
  EXPECT_EQ(layout_.RunCount(), 4u);  // font changes end runs
  EXPECT_EQ(layout_.Runs()[1].font, &big);
  EXPECT_EQ(layout_.Runs()[1].x, 10);
  EXPECT_EQ(layout_.Runs()[2].x, 30);
  const KGELINE& line = layout_.Lines()[0];
  EXPECT_EQ(line.ascent, 24);
  EXPECT_EQ(line.height, 30);  // largest ascent 24 + largest descent 6
  // The small font's glyphs sit on the big font's base line.
  EXPECT_EQ(KGELayout::GlyphTop(line, layout_.Runs()[0], layout_.Glyphs()[0]), 15);
  GetTextServices().handles.ForgetFont(&big);
  Run(Params(kKGEMarkup), text);
  EXPECT_EQ(Glyphs()[1], u'<');

  viewertest::ViewerRig rig;
  ASSERT_EQ(rig.Open(320, 240), 0);
  auto picture = texttest::MakePicture(rig.viewer.get(), 16, 8, [](i32, i32) { return 0xFFFFFFFFu; });
  const u32 image = GetTextServices().handles.RegisterTexture(picture.get());
  std::snprintf(tag, sizeof(tag), "a <image=@%X rect=2,1,default,4 h=6 layout=bottom color=current>b", image);
  text.clear();
  for (const char* c = tag; *c; ++c) text.push_back(static_cast<char16_t>(*c));
  Run(Params(kKGEMarkup), text);
  ASSERT_EQ(layout_.ImageCount(), 1u);
  const KGELAYOUTIMAGE& im = layout_.Images()[0];
  EXPECT_EQ(im.source.left, 2);
  EXPECT_EQ(im.source.right, 18);  // "default": the picture's width
  EXPECT_EQ(im.width, 16);
  EXPECT_EQ(im.height, 6);
  EXPECT_EQ(im.color, 0xFF336699u);
  EXPECT_EQ(layout_.Runs()[1].kind, kKGERunSpace);
  EXPECT_EQ(layout_.Runs()[2].kind, kKGERunImage);
  EXPECT_EQ(layout_.Runs()[2].x, 11);
  EXPECT_EQ(layout_.Runs()[3].x, 27);
  EXPECT_EQ(layout_.ImageTop(layout_.Lines()[0], layout_.Runs()[2]), 9 - 6);
  picture.reset();  // a texture that goes away is forgotten
  EXPECT_EQ(GetTextServices().handles.FindTexture(image), nullptr);
}

TEST_F(Layout, MarkupParserReadsValuesStrictly) {
  KGETAG tag;
  auto parse = [&](const std::u16string& s) { return KGEParseTag(s.c_str(), static_cast<u32>(s.size()), &tag); };
  EXPECT_EQ(parse(u"<c=>"), 4u);
  EXPECT_EQ(tag.color, 0xFF000000u);
  EXPECT_EQ(parse(u"<C=00000000ff8000>x"), 18u);  // leading zeros do not count
  EXPECT_EQ(tag.color, 0xFFFF8000u);
  EXPECT_EQ(parse(u"<space=2147483647>"), 18u);
  EXPECT_EQ(parse(u"<space=2147483648>"), 0u);
  EXPECT_EQ(parse(u"<space=-2147483647>"), 19u);
  EXPECT_EQ(parse(u"<space=1x>"), 0u);
  EXPECT_EQ(parse(u"<br/>"), 0u);
  EXPECT_EQ(parse(u"</space>"), 0u);
  EXPECT_EQ(parse(u"<image=@a offset=1, -2 w=default>"), 33u);
  EXPECT_EQ(tag.offsetY, -2);
  EXPECT_EQ(tag.width, kKGEMarkupDefault);
  EXPECT_EQ(parse(u"<image=@a w=1 w=2>"), 0u);  // an attribute twice
  EXPECT_EQ(parse(u"<image=@a layout=middle>"), 0u);
  EXPECT_EQ(parse(u"<image=@>"), 0u);
  EXPECT_EQ(parse(u"<font=@1"), 0u);  // cut off
  const u8 bytes[] = "<c=00ff00>";
  EXPECT_EQ(KGEParseTag(bytes, 10, &tag), 10u);
  EXPECT_EQ(tag.color, 0xFF00FF00u);
}

bool Expand(const wchar* name, u32 length, wchar* out, u32 room, u32* written, uintptr_t context1, uintptr_t) {
  const std::u16string n(name, length);
  if (n == u"x") {
    const std::u16string value = context1 == 7 ? u"seven" : u"?";
    *written = std::min<u32>(room, static_cast<u32>(value.size()));
    std::copy(value.begin(), value.begin() + *written, out);
    return true;
  }
  return n == u"drop";  // writes nothing
}

TEST_F(Layout, BracketNamesExpandThroughTheCallback) {
  const wchar* out = nullptr;
  u32 n = 0;
  const std::u16string text = u"a[x]b[[x]]c[drop]d[keep]e[open";
  ASSERT_EQ(layout_.ExpandNames(text.c_str(), static_cast<u32>(text.size()), 100, &Expand, 7, 0, &out, &n), KGE_S_OK);
  EXPECT_EQ(std::u16string(out, n), u"asevenb[[x]]cd[keep]e[open");  // only the outermost pair is a name
  ASSERT_EQ(layout_.ExpandNames(text.c_str(), static_cast<u32>(text.size()), 4, &Expand, 7, 0, &out, &n), KGE_S_OK);
  EXPECT_EQ(std::u16string(out, n), u"asev");  // the buffer is full
  EXPECT_EQ(out[n], 0);
}

TEST_F(Layout, NothingToLayOut) {
  EXPECT_EQ(layout_.Layout<wchar>(nullptr, nullptr, u"abc", 3), KGE_S_OK);
  EXPECT_EQ(layout_.LineCount(), 0u);
  Run(Params(0), u"");
  EXPECT_EQ(layout_.LineCount(), 0u);
  EXPECT_EQ(layout_.Height(), 0);
  KGETEXTPARAMS p = Params(0);
  p.maxChars = 2;
  Run(p, u"abc");
  EXPECT_EQ(Glyphs(), u"ab");
  const u8 bytes[] = "ab";
  ASSERT_EQ(layout_.Layout<u8>(&font_, &p, bytes, 2), KGE_S_OK);
  EXPECT_EQ(Glyphs(), u"ab");
}

TEST_F(Layout, ArraysGrowInSteps) {
  EXPECT_EQ(KGEGrowArray<int>::NextCapacity(0), 16u);
  EXPECT_EQ(KGEGrowArray<int>::NextCapacity(48), 64u);
  EXPECT_EQ(KGEGrowArray<int>::NextCapacity(64), 96u);
  EXPECT_EQ(KGEGrowArray<int>::NextCapacity(216), 324u);
  EXPECT_EQ(KGEGrowArray<int>::NextCapacity(324), 648u);
}

}  // namespace
