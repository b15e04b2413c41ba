#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "MarkupTestSupport.h"
#include "engine/text/EngineTextServices.h"

namespace {

using markuptest::HandFont;
using markuptest::MarkupWorld;
using markuptest::RunText;

class MarkupParse : public MarkupWorld {
 protected:
  // Colour of vertex `v` of glyph `k` of item `i`.
  u32 Color(u32 i, u32 k, u32 v = 0) const { return text_->GetItem(i).quads[k]->v[v].color; }
  std::u16string Hex(u32 v) {
    static const char16_t* digits = u"0123456789ABCDEF";
    std::u16string s;
    do {
      s.insert(s.begin(), digits[v & 15]);
      v >>= 4;
    } while (v);
    return s;
  }
};

TEST_F(MarkupParse, TextBecomesRunsSpacesAndBreaks) {
  font_->SetHSpacing(1);
  font_->SetVSpacing(2);
  DXLTextW& t = Text(u"ab cd\ne");
  ASSERT_EQ(t.GetItemCount(), 5u);
  const DXLTEXTITEM& run = t.GetItem(0);
  EXPECT_EQ(run.kind, kTextItemRun);
  EXPECT_EQ(RunText(t, run), u"ab");
  EXPECT_EQ(run.width, 10);  // (4 + 1) per glyph
  EXPECT_EQ(run.height, 8);
  EXPECT_EQ(run.baseline, 6);
  EXPECT_EQ(run.extraSpacing, 2);
  EXPECT_EQ(run.hSpacing, 1);
  EXPECT_EQ(t.GetItem(1).kind, kTextItemSpace);
  EXPECT_EQ(t.GetItem(1).width, 4);  // space 3 + spacing 1
  EXPECT_EQ(t.GetItem(3).kind, kTextItemBreak);
  EXPECT_EQ(t.GetItem(3).height, 10);
  EXPECT_EQ(t.GetItem(3).baseline, 10);
  EXPECT_EQ(RunText(t, t.GetItem(4)), u"e");
}

TEST_F(MarkupParse, OnlyEmptySpacesAndBreaksAreDropped) {
  // Space 3 - 4 and height 8 - 9: both items stay, one pixel back or up.
  font_->SetHSpacing(-4);
  font_->SetVSpacing(-9);
  DXLTextW& t = Text(u"ab cd\ne");
  ASSERT_EQ(t.GetItemCount(), 5u);
  EXPECT_EQ(t.GetItem(1).kind, kTextItemSpace);
  EXPECT_EQ(t.GetItem(1).width, -1);
  EXPECT_EQ(t.GetItem(3).kind, kTextItemBreak);
  EXPECT_EQ(t.GetItem(3).height, -1);
  // Exactly 0: neither is kept, the runs stand side by side.
  font_->SetHSpacing(-3);
  font_->SetVSpacing(-8);
  DXLTextW& u = Text(u"ab cd\ne");
  ASSERT_EQ(u.GetItemCount(), 3u);
  for (u32 i = 0; i < 3; ++i) EXPECT_EQ(u.GetItem(i).kind, kTextItemRun);
}

TEST_F(MarkupParse, CharactersWithoutGlyphsAddNoWidthAndTabsAreCharacters) {
  DXLTextW& t = Text(u"a\tB?b");
  ASSERT_EQ(t.GetItemCount(), 1u);
  EXPECT_EQ(t.GetItem(0).charCount, 5u);
  EXPECT_EQ(t.GetItem(0).width, 8);
  EXPECT_EQ(t.GetItem(0).quads[1], nullptr);
  EXPECT_NE(t.GetItem(0).quads[4], nullptr);
}

TEST_F(MarkupParse, WithoutAFontNothingIsKept) {
  DXLTextW t;
  t.SetText(u"ab cd\n<COLOR=ff0000>e");
  EXPECT_EQ(t.GetItemCount(), 0u);
  EXPECT_EQ(t.GetWidth(), 0);
  EXPECT_EQ(t.GetHeight(), 0);
}

TEST_F(MarkupParse, UnknownTagsAndUnknownHandlesStayText) {
  DXLTextW& t = Text(u"x<b>y");
  ASSERT_EQ(t.GetItemCount(), 1u);
  EXPECT_EQ(RunText(t, t.GetItem(0)), u"x<b>y");

  t.SetText(u"<FONT=1234>a<IMAGE=77>b<FONTS>");
  ASSERT_EQ(t.GetItemCount(), 1u);
  EXPECT_EQ(RunText(t, t.GetItem(0)), u"<FONT=1234>a<IMAGE=77>b<FONTS>");

  // With mark-up off even known tags are characters.
  t.SetMarkupDisabled(true);
  t.SetText(u"<COLOR=ff0000>a");
  ASSERT_EQ(t.GetItemCount(), 1u);
  EXPECT_EQ(t.GetItem(0).charCount, 15u);
}

TEST_F(MarkupParse, ClosingTagsOfAnyNameAreConsumed) {
  DXLTextW& t = Text(u"a</b>c</ grad junk>d</LINK");
  ASSERT_EQ(t.GetItemCount(), 3u);
  EXPECT_EQ(RunText(t, t.GetItem(0)), u"a");
  EXPECT_EQ(RunText(t, t.GetItem(1)), u"c");
  EXPECT_EQ(RunText(t, t.GetItem(2)), u"d");
}

TEST_F(MarkupParse, FontAndColorTagsColourRuns) {
  font_->SetColor(0xFF123456);
  DXLTextW& t = Text(u"a<FONT COLOR=ff0000>b</FONT><color=00ff00>c</COLOR><COLOR=0>d");
  ASSERT_EQ(t.GetItemCount(), 4u);
  EXPECT_EQ(Color(0, 0), 0xFF123456u);
  EXPECT_EQ(Color(1, 0), 0xFFFF0000u);  // six digits: opaque
  EXPECT_EQ(Color(2, 0), 0xFF00FF00u);
  EXPECT_EQ(Color(3, 0), 0xFF123456u);  // COLOR 0 changes nothing
  for (u32 v = 0; v < 4; ++v) EXPECT_EQ(Color(1, 0, v), 0xFFFF0000u);

  t.SetText(u"<FONT COLOR=0>a<FONT COLOR=80112233>b");
  EXPECT_EQ(Color(0, 0), 0xFF000000u);  // FONT takes 0 as opaque black
  EXPECT_EQ(Color(1, 0), 0x80112233u);  // an alpha given stays
}

TEST_F(MarkupParse, ClosingFontRemovesTheInnerColorState) {
  DXLTextW& t = Text(u"<FONT COLOR=ff0000><COLOR=ff0000ff>a</FONT>b");
  ASSERT_EQ(t.GetItemCount(), 2u);
  EXPECT_EQ(Color(0, 0), 0xFF0000FFu);
  EXPECT_EQ(Color(1, 0), 0xFFFF0000u);
}

TEST_F(MarkupParse, FontTagTakesARegisteredFontByHandle) {
  HandFont other;
  other.Make(u"ab");
  other.SetTexture(picture_.get());
  other.SetColor(0xFF00AA00);
  other.SetHSpacing(2);
  const u32 h = GetEngineTextServices().handles.AddFont(&other);
  DXLTextW& t = Text((u"a<font = " + Hex(h) + u">a</font>a").c_str());
  ASSERT_EQ(t.GetItemCount(), 3u);
  EXPECT_EQ(t.GetItem(1).font, &other);
  EXPECT_EQ(t.GetItem(1).width, 6);
  EXPECT_EQ(Color(1, 0), 0xFFFFFFFFu);  // the colour of the enclosing font state
  EXPECT_EQ(t.GetItem(2).font, font_.get());

  // A FONT with neither address nor colour pushes nothing; one with only a
  // colour keeps the current font.
  t.SetText(u"<FONT>a<FONT COLOR=ff>b");
  ASSERT_EQ(t.GetItemCount(), 2u);
  EXPECT_EQ(t.GetItem(0).font, font_.get());
  EXPECT_EQ(Color(1, 0), 0xFF0000FFu);
}

TEST_F(MarkupParse, AFontThatGoesAwayLeavesNoItemsPointingAtIt) {
  auto other = std::make_unique<HandFont>();
  other->Make(u"ab");
  other->SetTexture(picture_.get());
  const u32 h = GetEngineTextServices().handles.AddFont(other.get());
  DXLTextW& t = Text((u"<FONT=" + Hex(h) + u">ab").c_str());
  ASSERT_EQ(t.GetItemCount(), 1u);
  t.BeginUpdate();  // even inside a bracket the items go at once
  other.reset();
  EXPECT_EQ(t.GetItemCount(), 0u);
  EXPECT_EQ(GetEngineTextServices().handles.FindFont<wchar>(h), nullptr);
  t.EndUpdate();
  ASSERT_EQ(t.GetItemCount(), 1u);  // the tag is now text
  EXPECT_EQ(t.GetItem(0).font, font_.get());

  font_.reset();  // the base font too
  EXPECT_EQ(t.GetFont(), nullptr);
  EXPECT_EQ(t.GetItemCount(), 0u);
}

TEST_F(MarkupParse, AFontThatRebuildsItsGlyphsIsParsedAgain) {
  DXLTextW& t = Text(u"ab");
  EXPECT_EQ(t.GetItem(0).width, 8);
  font_->SetAllWidths(6);
  EXPECT_EQ(t.GetItem(0).width, 12);
}

TEST_F(MarkupParse, HandlesNameOnlyLiveRegisteredObjects) {
  DXLTextHandles& r = GetEngineTextServices().handles;
  const u32 f = FontHandle();
  EXPECT_EQ(FontHandle(), f);  // once per object
  auto texture = std::make_unique<DXLTexture>(rig_.viewer.get());
  const u32 tex = r.AddTexture(texture.get());
  const u32 q = r.AddQuad(DXLQUAD{});
  EXPECT_NE(tex, f);
  EXPECT_EQ(r.FindTexture(f), nullptr);  // a handle of another kind
  EXPECT_EQ(r.FindFont<wchar>(f), font_.get());
  texture.reset();
  EXPECT_EQ(r.FindTexture(tex), nullptr);
  r.Remove(f);
  EXPECT_EQ(r.FindFont<wchar>(f), nullptr);
  EXPECT_EQ(font_->GetListenerCount(), 0);
  EXPECT_NE(r.FindQuad(q), nullptr);
  EXPECT_EQ(r.AddFont(static_cast<DXLFontW*>(nullptr)), 0u);
  EXPECT_EQ(r.FindFont<wchar>(0), nullptr);
}

TEST_F(MarkupParse, ServicesResetForgetsEveryHandleAndCountsFromOne) {
  DXLTextHandles& r = GetEngineTextServices().handles;
  const u32 f = FontHandle();
  const u32 q = r.AddQuad(DXLQUAD{});
  EXPECT_EQ(font_->GetListenerCount(), 1);
  ResetEngineTextServices();
  EXPECT_EQ(r.GetCount(), 0u);
  EXPECT_EQ(r.FindFont<wchar>(f), nullptr);
  EXPECT_EQ(r.FindQuad(q), nullptr);
  EXPECT_EQ(font_->GetListenerCount(), 0);  // no longer listened to
  EXPECT_EQ(r.AddQuad(DXLQUAD{}), 1u);
}

TEST_F(MarkupParse, GradientColoursTakeTheirOwnRules) {
  DXLTextW& t = Text(u"<GRAD COLOR1=ff0000 COLOR2=0000ff>abcd</GRAD>");
  ASSERT_EQ(t.GetItemCount(), 1u);
  EXPECT_EQ(Color(0, 0, 0), 0x00FF0000u);  // taken as written: alpha 0
  EXPECT_EQ(Color(0, 0, 3), 0x00FF0000u);
  EXPECT_EQ(Color(0, 3, 1), 0x000000FFu);  // the last glyph reaches the second colour
  EXPECT_EQ(Color(0, 3, 2), 0x000000FFu);

  t.SetText(u"<grad color1=ffff0000>ab</grad>");
  EXPECT_EQ(Color(0, 0, 0), 0xFFFF0000u);
  EXPECT_EQ(Color(0, 1, 1), 0xFFFFFFFFu);  // the missing colour is white

  t.SetText(u"<GRAD COLOR1=0 COLOR2=0>ab</GRAD>");
  EXPECT_EQ(Color(0, 1, 1), 0xFF000000u);

  // A gradient left open applies nothing.
  t.SetText(u"<GRAD COLOR1=ff0000>ab");
  EXPECT_EQ(Color(0, 0, 0), 0xFFFFFFFFu);
}

TEST_F(MarkupParse, LinksRecordTheirSpanIdAndData) {
  DXLTextW& t = Text(u"a<LINK ID=12ab DATA=123456789abcdef0>b c</LINK>d<LINK ID=5></LINK>e<LINK ID=6>f");
  ASSERT_EQ(t.GetLinkCount(), 1u);  // the empty span and the open one record nothing
  const DXLTEXTLINK& link = t.GetLink(0);
  EXPECT_EQ(link.first, 1u);
  EXPECT_EQ(link.last, 3u);
  EXPECT_EQ(link.id, 0x12ABu);
  EXPECT_EQ(link.data, 0x9ABCDEF0u);  // the low 32 bits of 16 digits
  EXPECT_EQ(RunText(t, t.GetItem(link.last)), u"c");

  t.SetText(u"<LINK>a</LINK><LINK ID=1 ID=2>b</GRAD></COLOR></LINK>");
  ASSERT_EQ(t.GetLinkCount(), 1u);
  EXPECT_EQ(t.GetLink(0).id, 2u);
}

TEST_F(MarkupParse, AttributesAreFoundAmongNoise) {
  // Unknown words and a name without "=" are skipped; a tag cut off at the
  // end still takes effect when it read an attribute.
  DXLTextW& t = Text(u"<FONT xyz COLOR junk COLOR  =  ff00ff >a<COLOR=ff00>b<FONT COLOR=ff");
  ASSERT_EQ(t.GetItemCount(), 2u);
  EXPECT_EQ(Color(0, 0), 0xFFFF00FFu);
  EXPECT_EQ(Color(1, 0), 0xFF00FF00u);
  // A COLOR without "=" pushes nothing; the rest stays text.
  t.SetText(u"<COLOR ff>a");
  ASSERT_EQ(t.GetItemCount(), 1u);
  EXPECT_EQ(RunText(t, t.GetItem(0)), u"ff>a");
}

TEST_F(MarkupParse, ImagesTakeTheirBoxFromAttributes) {
  DXLTexture image(rig_.viewer.get());
  DXLBitmap bitmap;
  bitmap.SetFormat(D3DFMT_A8R8G8B8);
  bitmap.SetSize(20, 10);
  image.LoadFromBitmap(&bitmap);
  const u32 h = GetEngineTextServices().handles.AddTexture(&image);
  const std::u16string tag = u"<IMAGE=" + Hex(h);
  DXLTextW& t = Text((u"a" + tag + u">b").c_str());
  ASSERT_EQ(t.GetItemCount(), 3u);
  const DXLTEXTITEM& img = t.GetItem(1);
  EXPECT_EQ(img.kind, kTextItemImage);
  EXPECT_EQ(img.image, &image);
  EXPECT_EQ(img.width, 20);
  EXPECT_EQ(img.height, 10);
  EXPECT_EQ(img.baseline, 10);
  EXPECT_EQ(img.placement.v[0].color, 0xFFFFFFFFu);  // colour 0: the texture's default

  t.SetText((tag + u" WIDTH=150% HEIGHT=5 LT=-50% AL=50% OFSY=-3 COLOR=ff>").c_str());
  ASSERT_EQ(t.GetItemCount(), 1u);
  EXPECT_EQ(t.GetItem(0).width, 30);
  EXPECT_EQ(t.GetItem(0).height, 5);
  EXPECT_EQ(t.GetItem(0).baseline, -2);  // -2.5 rounded half up
  EXPECT_EQ(t.GetItem(0).placement.v[0].color, 0xFF0000FFu);
  EXPECT_FLOAT_EQ(t.GetItem(0).placement.v[0].x + 0.5f - t.GetItem(0).x, 5.0f);  // half of 30 - 20
  EXPECT_FLOAT_EQ(t.GetItem(0).placement.v[0].y + 0.5f - t.GetItem(0).y, -3.0f);
  EXPECT_FLOAT_EQ(t.GetItem(0).placement.v[1].x - t.GetItem(0).placement.v[0].x, 20.0f);

  // Out-of-range sizes are clamped; WIDTH 0, a missing texture or no
  // attribute adds nothing; a value without digits stays unset.
  t.SetText((tag + u" WIDTH=99999>" + tag + u" WIDTH=0>" + u"<IMAGE WIDTH=4><IMAGE>" + tag + u" HEIGHT=x>").c_str());
  ASSERT_EQ(t.GetItemCount(), 2u);
  EXPECT_EQ(t.GetItem(0).width, 1024);
  EXPECT_EQ(t.GetItem(1).height, 10);

  // A registered quad gives the image size; an unknown quad leaves the tag as text.
  DXLQUAD quad = image.QuadAtI(0, 0);
  for (int v : {1, 2}) quad.v[v].x = quad.v[0].x + 7.9f;
  for (int v : {2, 3}) quad.v[v].y = quad.v[0].y + 3.0f;
  const u32 q = GetEngineTextServices().handles.AddQuad(quad);
  t.SetText((tag + u" QUAD=" + Hex(q) + u">" + tag + u" QUAD=12345678901>").c_str());
  ASSERT_EQ(t.GetItemCount(), 4u);  // the image, then the second tag as text with its space
  EXPECT_EQ(t.GetItem(0).width, 7);  // truncated
  EXPECT_EQ(t.GetItem(0).height, 3);
  EXPECT_EQ(t.GetItem(1).kind, kTextItemRun);
}

TEST_F(MarkupParse, UserTagsAreReplacedBeforeTheMarkup) {
  DXLTextW& t = Text(u"a[x]b");
  ASSERT_EQ(t.GetItemCount(), 1u);
  EXPECT_EQ(RunText(t, t.GetItem(0)), u"a[x]b");  // no callbacks: plain text

  static std::u16string seen;
  auto mine = [](DXLTextW*, const wchar* tag, u32 count, wchar* out, u32 room) -> u8 {
    seen.assign(tag, count);
    if (seen == u"skip") return 0;
    const std::u16string rep = seen == u"red" ? u"<COLOR=ff0000>" : u"[" + seen + u"]!";
    if (rep.size() + 1 > room) return 0;
    std::memcpy(out, rep.c_str(), (rep.size() + 1) * sizeof(wchar));
    return 1;
  };
  t.GetUserTags().Add(+mine);
  t.SetText(u"[red]a[a[b]c]b[skip][]c[d");
  EXPECT_EQ(std::u16string(t.GetParsedText()), u"<COLOR=ff0000>a[a[b]c]!b[skip][]c[d");
  ASSERT_EQ(t.GetItemCount(), 1u);
  EXPECT_EQ(Color(0, 0), 0xFFFF0000u);

  // Each text keeps its own expansion: another text does not change it.
  DXLTextW other;
  other.SetFont(font_.get());
  other.GetUserTags().Add(+mine);
  other.SetText(u"[zzzz]");
  EXPECT_EQ(RunText(t, t.GetItem(0)).substr(0, 3), u"a[a");

  // A callback that fills its room without a terminator is cut.
  auto greedy = [](DXLTextW*, const wchar*, u32, wchar* out, u32 room) -> u8 {
    for (u32 i = 0; i < room; ++i) out[i] = u'a';
    return 1;
  };
  DXLTextW third;
  third.SetFont(font_.get());
  third.GetUserTags().Add(+greedy);
  third.SetText(u"[x]");
  EXPECT_EQ(std::u16string(third.GetParsedText()).size(), DXLTextW::kUserTagRoom - 1);
}

TEST_F(MarkupParse, CapacityCutsTheText) {
  DXLTextW& t = Text(u"abcdef");
  t.SetTextCapacity(4);
  EXPECT_EQ(std::u16string(t.GetText()), u"abcd");
  t.SetText(u"ghijklmn");
  EXPECT_EQ(std::u16string(t.GetText()), u"ghij");
  EXPECT_EQ(t.GetLength(), 4u);
  t.SetText(t.GetText() + 1);  // from inside its own buffer
  EXPECT_EQ(std::u16string(t.GetText()), u"hij");
  t.SetTextCapacity(0);
  EXPECT_EQ(std::u16string(t.GetText()), u"hij");
  t.SetText(u"abcdefghij");
  EXPECT_EQ(t.GetLength(), 10u);
  ASSERT_EQ(t.GetItemCount(), 1u);
  EXPECT_EQ(t.GetItem(0).charCount, 10u);
}

TEST_F(MarkupParse, WorkWaitsForTheOutermostBracket) {
  DXLTextW& t = Text();
  t.BeginUpdate();
  t.SetText(u"ab");
  t.SetWordWrap(true);
  EXPECT_TRUE(t.NeedsParse());
  EXPECT_EQ(t.GetItemCount(), 0u);
  t.EndUpdate();
  EXPECT_FALSE(t.NeedsParse());
  EXPECT_FALSE(t.NeedsLayout());
  EXPECT_EQ(t.GetItemCount(), 1u);

  DXLTextW copy;
  copy.Assign(t);
  EXPECT_EQ(copy.GetFont(), font_.get());
  EXPECT_TRUE(copy.GetWordWrap());
  EXPECT_EQ(std::u16string(copy.GetText()), u"ab");
  EXPECT_EQ(copy.GetItemCount(), 1u);
}

TEST_F(MarkupParse, EightBitTextParsesTheSameTags) {
  markuptest::HandFontT<char> font;
  font.Make("abc");
  font.SetTexture(picture_.get());
  const u32 h = GetEngineTextServices().handles.AddFont(&font);
  EXPECT_EQ(GetEngineTextServices().handles.FindFont<wchar>(h), nullptr);  // a font of the other width
  DXLTextA t;
  t.SetFont(&font);
  t.SetText("a<COLOR=ff>b <b>c");
  ASSERT_EQ(t.GetItemCount(), 4u);
  EXPECT_EQ(t.GetItem(1).quads[0]->v[0].color, 0xFF0000FFu);
  EXPECT_EQ(t.GetItem(3).charCount, 4u);
}

}  // namespace
