#include <gtest/gtest.h>

#include <array>
#include <string>

#include "MarkupTestSupport.h"
#include "engine/text/EngineTextServices.h"

namespace {

using markuptest::MarkupWorld;

std::array<i32, 4> Edges(const DXLRECT& r) { return {r.left, r.top, r.right, r.bottom}; }

class TextLayout : public MarkupWorld {
 protected:
  // Left edge and top edge, in whole pixels, of glyph k of item i.
  i32 GlyphX(u32 i, u32 k = 0) const { return Edge(text_->GetItem(i).quads[k]->v[0].x); }
  i32 GlyphY(u32 i, u32 k = 0) const { return Edge(text_->GetItem(i).quads[k]->v[0].y); }
  static i32 Edge(float v) { return static_cast<i32>(v + 0.5f); }
  DXLTextW& Wrapped(u32 width, u32 alignment, const char16_t* text) {
    DXLTextW& t = Text();
    t.BeginUpdate();
    t.SetWordWrap(true);
    t.SetMaxWidth(width);
    t.SetAlignment(alignment);
    t.SetText(text);
    t.EndUpdate();
    return t;
  }
  u32 ImageHandle(i32 w, i32 h) {
    image_ = std::make_unique<DXLTexture>(rig_.viewer.get());
    DXLBitmap bitmap;
    bitmap.SetFormat(D3DFMT_A8R8G8B8);
    bitmap.SetSize(w, h);
    image_->LoadFromBitmap(&bitmap);
    return GetEngineTextServices().handles.AddTexture(image_.get());
  }
  static std::u16string Hex(u32 v) {
    std::u16string s;
    do {
      s.insert(s.begin(), u"0123456789ABCDEF"[v & 15]);
      v >>= 4;
    } while (v);
    return s;
  }
  void TearDown() override {
    MarkupWorld::TearDown();
    image_.reset();
  }
  std::unique_ptr<DXLTexture> image_;
};

TEST_F(TextLayout, EmptyTextHasNoSizeAndRendersNothing) {
  DXLTextW& t = Text();
  t.SetUseTexture(true);
  t.SetText(u"");
  EXPECT_EQ(t.GetNaturalWidth(), 0);
  EXPECT_EQ(t.GetLaidOutWidth(), 0);
  EXPECT_EQ(t.GetHeight(), 0);
  ASSERT_NE(t.GetTexture(), nullptr);
  EXPECT_FALSE(t.GetTexture()->IsReady());
}

TEST_F(TextLayout, OneLineIsPlacedOnItsBaseline) {
  DXLTextW& t = Text(u"ab cd");
  EXPECT_EQ(t.GetNaturalWidth(), 19);
  EXPECT_EQ(t.GetWidth(), 19);
  EXPECT_EQ(t.GetHeight(), 8);
  EXPECT_EQ(GlyphX(0, 1), 4);
  EXPECT_EQ(GlyphX(2, 0), 11);
  EXPECT_EQ(GlyphY(2), 0);
  ASSERT_EQ(t.GetLineCount(), 1u);
  EXPECT_EQ(t.GetLine(0).end, 3u);

  // A taller image raises the baseline: the run sits on it.
  const u32 h = ImageHandle(20, 10);
  t.SetText((u"a<IMAGE=" + Hex(h) + u">").c_str());
  EXPECT_EQ(GlyphY(0), 4);
  EXPECT_EQ(t.GetHeight(), 12);
  EXPECT_EQ(Edge(t.GetItem(1).placement.v[0].x), 4);
  EXPECT_EQ(Edge(t.GetItem(1).placement.v[0].y), 0);
}

TEST_F(TextLayout, LineSpacingAndFontSpacingMakeTheHeight) {
  font_->SetVSpacing(2);
  DXLTextW& t = Text();
  t.SetLineSpacing(3);
  t.SetText(u"a\nb");
  ASSERT_EQ(t.GetLineCount(), 2u);
  EXPECT_EQ(t.GetLine(0).height, 13);  // 8 + 2 + 3
  EXPECT_EQ(t.GetLine(1).height, 8);   // the last loses the font's spacing
  EXPECT_EQ(t.GetHeight(), 21);
  EXPECT_EQ(GlyphY(2), 13);
}

TEST_F(TextLayout, AlignmentWithinTheNaturalWidth) {
  DXLTextW& t = Text();
  t.SetAlignment(kTextAlignCentre);
  t.SetText(u"abcd\nab\nabc");
  EXPECT_EQ(GlyphX(2), 4);
  EXPECT_EQ(GlyphX(4), 2);
  t.SetAlignment(kTextAlignRight);
  EXPECT_EQ(GlyphX(2), 8);
  EXPECT_EQ(GlyphX(4), 4);
}

TEST_F(TextLayout, TrailingSpaceBeforeABreakStaysInTheWidth) {
  DXLTextW& t = Text();
  t.SetAlignment(kTextAlignRight);
  t.SetText(u"ab \ncd");
  EXPECT_EQ(t.GetNaturalWidth(), 11);
  EXPECT_EQ(GlyphX(0), 0);
  EXPECT_EQ(GlyphX(3), 3);
}

TEST_F(TextLayout, ALineThatBreaksAfterASpaceDoesNotCountIt) {
  DXLTextW& t = Wrapped(12, kTextAlignRight, u"ab cd");
  ASSERT_EQ(t.GetLineCount(), 2u);
  EXPECT_EQ(t.GetLine(0).end, 1u);
  EXPECT_EQ(GlyphX(0), 4);  // 12 - 8, not 12 - 11
  EXPECT_EQ(GlyphX(2), 4);
  EXPECT_EQ(GlyphY(2), 8);
  EXPECT_EQ(t.GetLaidOutWidth(), 11);  // the greedy width still held the space
}

TEST_F(TextLayout, AWordWiderThanTheLineStandsAlone) {
  DXLTextW& t = Wrapped(10, kTextAlignLeft, u"abcdef gh");
  ASSERT_EQ(t.GetLineCount(), 2u);
  EXPECT_EQ(t.GetLaidOutWidth(), 24);
  EXPECT_EQ(t.GetWidth(true), 24);
  EXPECT_EQ(t.GetWidth(false), 10);
  EXPECT_EQ(GlyphX(2), 0);
  EXPECT_EQ(GlyphY(2), 8);
  EXPECT_EQ(t.GetHeight(), 16);
}

TEST_F(TextLayout, ABreakAfterTheWrappingSpaceMakesNoEmptyLine) {
  DXLTextW& t = Wrapped(8, kTextAlignLeft, u"ab \ncd");
  ASSERT_EQ(t.GetLineCount(), 2u);
  EXPECT_EQ(GlyphY(3), 8);
  EXPECT_EQ(t.GetHeight(), 16);
}

TEST_F(TextLayout, JustifySharesTheFreeRoomAmongTheGaps) {
  // Free room 7 over three gaps: the runs move 2, 5 and 7.
  DXLTextW& t = Wrapped(32, kTextAlignJustify, u"a b c d efghijkl");
  EXPECT_EQ(t.GetLaidOutWidth(), 32);
  EXPECT_EQ(GlyphX(0), 0);
  EXPECT_EQ(GlyphX(2), 9);
  EXPECT_EQ(GlyphX(4), 19);
  EXPECT_EQ(GlyphX(6), 28);
  // The last line keeps the left alignment.
  EXPECT_EQ(GlyphX(8), 0);
  EXPECT_EQ(GlyphX(8, 7), 28);
}

TEST_F(TextLayout, JustifySpreadsALoneWordOverTheLine) {
  Wrapped(18, kTextAlignJustify, u"abcd efgh");
  EXPECT_EQ(GlyphX(0, 0), 0);
  EXPECT_EQ(GlyphX(0, 1), 5);
  EXPECT_EQ(GlyphX(0, 2), 9);
  EXPECT_EQ(GlyphX(0, 3), 14);
  EXPECT_EQ(GlyphX(2, 3), 12);  // the last line is not spread
}

TEST_F(TextLayout, LastLinesOfParagraphsAreNeverJustified) {
  // The text ends in a space and the first paragraph in a break: neither
  // last line is stretched.
  DXLTextW& t = Wrapped(40, kTextAlignJustify, u"ab cd\nef gh ");
  EXPECT_EQ(GlyphX(2), 11);
  EXPECT_EQ(GlyphX(6), 11);
  EXPECT_EQ(t.GetLaidOutWidth(), 40);
}

TEST_F(TextLayout, JustifyMovesALoneRunAfterLeadingSpaces) {
  // One run among spaces: the spaces before it take free x width / W.
  DXLTextW& t = Wrapped(20, kTextAlignJustify, u" abc de");
  ASSERT_EQ(t.GetLine(0).end, 2u);
  // W = 15, S = 3, free = 5: shift 1, spread (1 - 3/15) x 5 / 2 = 2 per glyph.
  EXPECT_EQ(GlyphX(1, 0), 4);
  EXPECT_EQ(GlyphX(1, 1), 10);
  EXPECT_EQ(GlyphX(1, 2), 16);
}

TEST_F(TextLayout, GradientsColourGlyphsAndImagesAcrossTheSpan) {
  const u32 h = ImageHandle(8, 8);
  DXLTextW& t = Text((u"<GRAD COLOR1=ff000000 COLOR2=ff0000ff>ab <IMAGE=" + Hex(h) + u"></GRAD>").c_str());
  ASSERT_EQ(t.GetItemCount(), 3u);  // run, space, image: T = 8 + 3 + 8 = 19
  const DXLQUAD& b = *t.GetItem(0).quads[1];
  EXPECT_EQ(b.v[0].color, kis::LerpColor(0xFF000000u, 0xFF0000FFu, 3.5f / 19));
  EXPECT_EQ(b.v[1].color, kis::LerpColor(0xFF000000u, 0xFF0000FFu, 8.0f / 19));
  const DXLQUAD& img = t.GetItem(2).placement;
  EXPECT_EQ(img.v[0].color, kis::LerpColor(0xFF000000u, 0xFF0000FFu, 11.0f / 19));
  EXPECT_EQ(img.v[2].color, 0xFF0000FFu);
}

TEST_F(TextLayout, LinkRectanglesFollowLinesAndImages) {
  DXLTextW& t = Wrapped(20, kTextAlignLeft, u"<LINK ID=1>ab cd ef</LINK>");
  ASSERT_EQ(t.GetLinkCount(), 1u);
  const auto& rects = t.GetLink(0).rects;
  ASSERT_EQ(rects.size(), 2u);
  EXPECT_EQ(Edges(rects[0]), (std::array<i32, 4>{0, 0, 19, 8}));
  EXPECT_EQ(Edges(rects[1]), (std::array<i32, 4>{0, 8, 8, 16}));

  const u32 h = ImageHandle(20, 10);
  t.SetWordWrap(false);
  t.SetText((u"<LINK ID=1>a<IMAGE=" + Hex(h) + u">b</LINK>").c_str());
  ASSERT_EQ(t.GetLinkCount(), 1u);
  const auto& three = t.GetLink(0).rects;
  ASSERT_EQ(three.size(), 3u);
  EXPECT_EQ(Edges(three[0]), (std::array<i32, 4>{0, 4, 4, 12}));
  EXPECT_EQ(Edges(three[1]), (std::array<i32, 4>{4, 0, 24, 10}));
  EXPECT_EQ(Edges(three[2]), (std::array<i32, 4>{24, 4, 28, 12}));
}

// --- Rendering into the text's texture ---------------------------------------------------

class TextRender : public TextLayout {
 protected:
  std::vector<u32> Render(const char16_t* text, i32* w = nullptr, i32* h = nullptr) {
    DXLTextW& t = Text();
    t.SetUseTexture(true);
    t.SetText(text);
    DXLTexture* tex = t.GetTexture();
    if (w) *w = tex->GetWidth();
    if (h) *h = tex->GetHeight();
    return Pixels(tex);
  }
};

TEST_F(TextRender, GlyphsAreCopiedAtTheirPlaces) {
  i32 w = 0;
  i32 h = 0;
  const std::vector<u32> px = Render(u"ab", &w, &h);
  ASSERT_EQ(w, 8);
  ASSERT_EQ(h, 8);
  for (i32 y = 0; y < 8; ++y)
    for (i32 x = 0; x < 8; ++x) EXPECT_EQ(px[y * 8 + x], x < 4 ? 0xFFFFFFFFu : 0x40FFFFFFu) << x << "," << y;
  EXPECT_FLOAT_EQ(text_->GetQuad().v[1].x - text_->GetQuad().v[0].x, 8.0f);
}

TEST_F(TextRender, VertexColoursTintTheGlyphs) {
  std::vector<u32> px = Render(u"<COLOR=ff0000>ab");
  EXPECT_EQ(px[0], 0xFFFF0000u);  // a white pixel takes the colour
  EXPECT_EQ(px[4], 0x40FF0000u);
  px = Render(u"<COLOR=80ff0000>ab");
  EXPECT_EQ(px[0], 0x80FF0000u);
  EXPECT_EQ(px[4], 0x20FF0000u);
  // Left and right colours of a glyph blend across its columns.
  px = Render(u"<GRAD COLOR1=ffff0000 COLOR2=ff0000ff>a</GRAD>");
  EXPECT_EQ(px[0], 0xFFFF0000u);
  EXPECT_EQ(px[3], 0xFF0000FFu);
  EXPECT_EQ(px[1], kis::LerpColor(0xFFFF0000u, 0xFF0000FFu, 1.0f / 3) );
}

TEST_F(TextRender, OverlappingGlyphsKeepTheMoreOpaquePixel) {
  font_->SetHSpacing(-2);  // each glyph overlaps the right half of the one before
  for (const char16_t* s : {u"ab", u"ba"}) {
    const bool aFirst = s[0] == u'a';
    const std::vector<u32> px = Render(s);
    ASSERT_EQ(px.size(), 64u);
    EXPECT_EQ(px[0], aFirst ? 0xFFFFFFFFu : 0x40FFFFFFu) << aFirst;
    EXPECT_EQ(px[2], 0xFFFFFFFFu) << aFirst;  // the overlap
    EXPECT_EQ(px[3], 0xFFFFFFFFu) << aFirst;
    EXPECT_EQ(px[4], aFirst ? 0x40FFFFFFu : 0xFFFFFFFFu) << aFirst;
    EXPECT_EQ(px[6], 0u);
  }
}

TEST_F(TextRender, TextsWiderOrTallerThan1024AreCut) {
  i32 w = 0;
  i32 h = 0;
  std::vector<u32> px = Render(std::u16string(300, u'a').c_str(), &w, &h);
  EXPECT_EQ(text_->GetNaturalWidth(), 1200);
  ASSERT_EQ(w, 1024);
  ASSERT_EQ(h, 8);
  EXPECT_EQ(px[1023], 0xFFFFFFFFu);
  EXPECT_EQ(px[7 * 1024 + 1023], 0xFFFFFFFFu);

  std::u16string tall;
  for (int i = 0; i < 130; ++i) tall += u"c\n";
  px = Render(tall.c_str(), &w, &h);
  EXPECT_EQ(text_->GetHeight(), 1040);
  ASSERT_EQ(w, 4);
  ASSERT_EQ(h, 1024);
  EXPECT_EQ(px[1023 * 4 + 3], 0xFFFFFFFFu);
}

TEST_F(TextRender, AlignedTextsRenderAtTheMaximumWidth) {
  DXLTextW& t = Text();
  t.BeginUpdate();
  t.SetWordWrap(true);
  t.SetMaxWidth(20);
  t.SetAlignment(kTextAlignCentre);
  t.SetUseTexture(true);
  t.SetText(u"ab");
  t.EndUpdate();
  ASSERT_EQ(t.GetTexture()->GetWidth(), 32);
  const std::vector<u32> px = Pixels(t.GetTexture());
  EXPECT_EQ(px[5], 0u);
  EXPECT_EQ(px[6], 0xFFFFFFFFu);
  EXPECT_EQ(px[13], 0x40FFFFFFu);
  EXPECT_EQ(px[14], 0u);
}

TEST_F(TextRender, ImagesAreLeftToTheOwner) {
  const u32 h = ImageHandle(8, 8);
  i32 w = 0;
  const std::vector<u32> px = Render((u"<IMAGE=" + Hex(h) + u">a").c_str(), &w);
  ASSERT_EQ(w, 16);
  for (i32 y = 0; y < 8; ++y) EXPECT_EQ(px[y * 16], 0u);
  EXPECT_EQ(px[2 * 16 + 8], 0xFFFFFFFFu);  // the run sits on the image's baseline
}

TEST_F(TextRender, WithoutAViewerNothingIsRendered) {
  DXLTextW t;
  t.SetUseTexture(true);
  t.SetFont(font_.get());  // the font's viewer reaches the text and its texture
  t.SetText(u"a");
  EXPECT_TRUE(t.GetTexture()->IsReady());

  DXLTextW lone;
  lone.SetUseTexture(true);
  lone.SetText(u"a");
  EXPECT_FALSE(lone.GetTexture()->IsReady());
}

}  // namespace
