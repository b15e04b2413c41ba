#include <gtest/gtest.h>

#include "ToolkitRig.h"
#include "gametext/KGEBaseTextSprite.h"
#include "resources/GameDraw.h"
#include "resources/ImageSprite.h"
#include "resources/ResourceServices.h"
#include "ui/CaptionHintWindow.h"
#include "ui/HILine.h"
#include "ui/HISprite.h"
#include "ui/HIText.h"
#include "ui/HintTextParams.h"

using uitest::Dialog;
using uitest::ItemDescriptionFake;
using uitest::PlainButton;
using uitest::R;
using uitest::ToolkitRig;

namespace {

// A hint balloon that leaves the manager's list as it is drawn.
class SelfHiding : public CaptionHintWindow {
 public:
  using CaptionHintWindow::CaptionHintWindow;
  void Draw() override {
    ++draws;
    CaptionHintWindow::Draw();
    Hide();
  }
  int draws = 0;
};

class Hints : public ::testing::Test {
 protected:
  WindowManager& M() { return rig_.M(); }
  // A balloon whose only item is a picture of w x h at (x, y).
  HintWindow* Sized(GameHint* owner, i32 x, i32 y, i32 w, i32 h) {
    auto* window = new HintWindow(owner);
    (new HISprite(window, rig_.balloon, 0, 0xFFFFFFFFu))->SetRect(x, y, w, h);
    return window;
  }

  ToolkitRig rig_;
};

// Caption centred on top, the separator under it, the body below; the
// balloon is the content with margins of 14 and 8, and its frame reaches 3
// and 4 pixels further. Texts go through the mark-up with the colour words.
TEST_F(Hints, CaptionSeparatorAndBodyStackInsideTheBalloon) {
  GameHint owner;
  auto* w = new CaptionHintWindow(&owner, u"Wheat", true, u"Sown in [summer]", 7, 9, nullptr, 1, 2, 200);
  EXPECT_EQ(owner.GetHintWindow(), w);
  EXPECT_EQ(ItemDescriptionFake::asked, (std::vector<std::string>{"summer 7 9"}));
  ASSERT_NE(w->GetCaption(), nullptr);
  ASSERT_NE(w->GetBody(), nullptr);
  ASSERT_NE(w->GetSeparator(), nullptr);
  const i32 cw = w->GetCaption()->GetWidth(), ch = w->GetCaption()->GetHeight();
  const i32 bw = w->GetBody()->GetWidth(), bh = w->GetBody()->GetHeight();
  EXPECT_EQ(ch, 12);  // game font 4
  EXPECT_EQ(bh, 11);  // game font 3
  ASSERT_GT(bw, cw);
  EXPECT_EQ(w->GetBody()->GetContext1(), 7u);
  EXPECT_EQ(plat::Utf16ToUtf8(w->GetBody()->GetSource()), "Sown in [summer]");
  w->Relayout(0);
  EXPECT_EQ(w->GetCaption()->GetRect().left, (bw - cw) / 2);
  EXPECT_EQ(R(w->GetSeparator()->GetRect()), (std::vector<i32>{0, ch, bw, ch + 10}));
  EXPECT_EQ(w->GetBody()->GetY(), ch + 10);
  EXPECT_EQ(w->GetWidth(), bw + 28);
  EXPECT_EQ(w->GetHeight(), ch + 10 + bh + 16);
  EXPECT_EQ(R(w->GetContent()), (std::vector<i32>{14, 8, 14 + bw, 8 + ch + 10 + bh}));
  // The balloon: a stretched nine-slice frame over the window and its shadow.
  const QuadBlockList& balloon = w->GetBlocks();
  ASSERT_EQ(balloon.GetCount(), 3);
  EXPECT_FLOAT_EQ(balloon.Get(2)->quads[1].v[2].x + 0.5f, static_cast<float>(w->GetWidth() + 3));  // right cap
  EXPECT_FLOAT_EQ(balloon.Get(2)->quads[1].v[2].y + 0.5f, static_cast<float>(w->GetHeight() + 4));
  // The separator is a three-part row as wide as the content.
  ASSERT_EQ(w->GetSeparator()->GetPieces().GetCount(), 1);
  EXPECT_EQ(w->GetSeparator()->GetPieces().Get(0)->count, 3);

  // The window's alpha reaches texts, pictures, lines and the balloon.
  auto* picture = new HISprite(w, rig_.balloon, 0, 0xFF123456u);
  w->SetColor(0x80FFFFFFu);
  EXPECT_EQ(w->GetColor(), 0x80000000u);
  EXPECT_EQ(w->GetBody()->GetTextObject()->GetColor() >> 24, 0x80u);
  EXPECT_EQ(picture->GetImage()->GetColor(), 0x80123456u);
  EXPECT_EQ(w->GetSeparator()->GetPieces().Get(0)->quads[1].v[2].color >> 24, 0x80u);
  EXPECT_EQ(balloon.Get(1)->quads[0].v[0].color >> 24, 0x80u);

  // A new caption text is built through the mark-up again; the caption keeps
  // its source.
  w->SetText(u"Wheat [gold]");
  EXPECT_EQ(ItemDescriptionFake::asked.back(), "gold 7 9");
  w->SetCaption(nullptr, nullptr, true);  // no caption: no separator either
  EXPECT_EQ(w->GetSeparator(), nullptr);
  w->SetText(u"Oats");
  ASSERT_NE(w->GetCaption(), nullptr);
  EXPECT_EQ(w->GetSeparator(), nullptr);

  // A new balloon made for the owner takes the shown one's place, which
  // goes from the screen (and from memory) with it.
  w->Show();
  ASSERT_EQ(M().HintWindows().GetCount(), 1);
  auto* replaced = new HintWindow(&owner);
  EXPECT_EQ(owner.GetHintWindow(), replaced);
  EXPECT_EQ(M().HintWindows().GetCount(), 0);
}

// Sizes: a box from the layout rectangle is kept within 8..512 (the body
// parameters' box width reaches it), only -1 asks for the natural size, the
// items' area is cut to 512 and a run of items is measured alone, an item at
// a negative place pushes the origin, and a line of width 0 has no pieces.
TEST_F(Hints, ItemsMeasureThemselvesAndTheContentIsBounded) {
  GameHint owner;
  HintWindow* w = Sized(&owner, -10, -4, 600, 700);
  KGETEXTPARAMS params;
  InitBodyTextParams(&params, kKGERect, 0, 0, 0);
  params.right = 4;
  params.bottom = 1000;
  auto* boxed = new HIText(w, GetGameFont(3), &params, nullptr, u"Hay", false, nullptr);
  const auto* sprite = static_cast<const KGEBaseTextSprite*>(boxed->GetTextObject());
  EXPECT_EQ(sprite->GetSpriteParams().maxWidth, 8);
  EXPECT_EQ(sprite->GetSpriteParams().maxHeight, 512);
  EXPECT_EQ(boxed->GetSource(), nullptr);
  boxed->SetRect(3, 4, -5, -2);
  EXPECT_EQ(R(boxed->GetRect()), (std::vector<i32>{3, 4, 3, 4}));
  boxed->SetSize(-1, -1);
  EXPECT_EQ(boxed->GetHeight(), 11);
  HIText* plain = HIText::HITextPlain(w, GetGameFont(1), nullptr, u"Hay", true, nullptr);
  EXPECT_FALSE(plain->IsSprite());
  EXPECT_EQ(plain->GetHeight(), 9);
  auto* line = new HILine(w, 30, 5, 0);
  EXPECT_EQ(R(line->GetRect()), (std::vector<i32>{0, 30, 0, 40}));
  EXPECT_EQ(line->GetPieces().GetCount(), 0);
  line->SetSize(60, -1);
  ASSERT_EQ(line->GetPieces().GetCount(), 1);
  EXPECT_FLOAT_EQ(line->GetPieces().Get(0)->quads[0].v[0].x + 0.5f, 5.0f);  // the inset
  EXPECT_FLOAT_EQ(line->GetPieces().Get(0)->quads[0].v[0].y + 0.5f, 2.0f);   // (10 - 4) / 2 - 1
  line->SetSize(0, -1);
  EXPECT_EQ(line->GetPieces().GetCount(), 0);
  w->Relayout(0);
  EXPECT_EQ(w->GetWidth(), 512 + 28);
  EXPECT_EQ(w->GetHeight(), 512 + 16);
  EXPECT_FLOAT_EQ(w->GetOriginX(), 24.0f);
  EXPECT_FLOAT_EQ(w->GetOriginY(), 12.0f);
  EXPECT_EQ(w->AddTextItem(nullptr, nullptr, false), nullptr);

  // A box width narrows the layout rectangle's right edge to it, never widens it.
  InitBodyTextParams(&params, kKGERect, 100, 0, 0);
  auto* narrow = new HIText(w, GetGameFont(3), &params, nullptr, u"Hay", false, nullptr);
  EXPECT_EQ(static_cast<const KGEBaseTextSprite*>(narrow->GetTextObject())->GetSpriteParams().maxWidth, 100);
  InitCaptionTextParams(&params, 0, 600, 0, 0);
  EXPECT_EQ(params.wrapWidth, 600);
  EXPECT_EQ(params.right, 512);
  // No block to fill: none comes back, rather than one shared by every caller.
  EXPECT_EQ(InitBodyTextParams(nullptr, 0, 100, 0, 0), nullptr);
  EXPECT_EQ(InitCaptionTextParams(nullptr, 0, 100, 0, 0), nullptr);

  // A run of items: first to last - 1 (-1 or past the end: to the last),
  // united with the origin or with the rectangle kept.
  HintWindow* run = Sized(nullptr, -10, -10, 10, 10);
  (new HISprite(run, rig_.balloon, 0, 0xFFFFFFFFu))->SetRect(20, 5, 10, 10);
  (new HISprite(run, rig_.balloon, 0, 0xFFFFFFFFu))->SetRect(5, 30, 10, 10);
  DXLRECT r{40, 40, 50, 50};
  run->GetItemsBoundsRange(&r, true, 1, 2);
  EXPECT_EQ(R(r), (std::vector<i32>{20, 5, 50, 50}));
  run->GetItemsBoundsRange(&r, false, 1, -1);
  EXPECT_EQ(R(r), (std::vector<i32>{0, 0, 30, 40}));
  run->GetItemsBoundsRange(&r, false, 0, 2);
  EXPECT_EQ(R(r), (std::vector<i32>{-10, -10, 30, 15}));
  run->GetItemsBoundsRange(&r, false, 0, 9);
  EXPECT_EQ(R(r), (std::vector<i32>{-10, -10, 30, 40}));
  delete run;
}

// Before, centred on or after the anchor; a side that leaves the game area
// flips for this placement only, and what fits nowhere is pushed inside.
TEST_F(Hints, PlacementFlipsAtTheEdgesAndClampsWhatFitsNowhere) {
  GameHint owner;
  HintWindow* w = Sized(&owner, 0, 0, 122, 64);  // a balloon of 150 x 80
  struct Case {
    DXLRECT anchor;
    u32 alignX, alignY;
    float x, y;
  };
  const Case cases[] = {
      {{100, 200, 200, 260}, 1, 2, 75, 260},   // centred, below
      {{100, 500, 200, 560}, 1, 2, 75, 420},   // below would leave the area: above
      {{100, 20, 200, 40}, 0, 0, 200, 40},     // left and above would leave it: right and below
      {{700, 100, 780, 120}, 2, 1, 550, 70},   // right would leave it: left
      {{700, 100, 780, 120}, 7, 9, 550, 120},  // other values act as after
      {{-300, 550, 900, 590}, 2, 2, 0, 470},   // fits on neither side: flipped, then pushed inside
  };
  for (const Case& c : cases) {
    w->SetFrame(c.anchor.left, c.anchor.top, c.anchor.right, c.anchor.bottom, c.alignX, c.alignY);
    w->Relayout(0);
    EXPECT_FLOAT_EQ(w->GetPosX(), c.x) << c.anchor.left << "," << c.anchor.top;
    EXPECT_FLOAT_EQ(w->GetPosY(), c.y) << c.anchor.left << "," << c.anchor.top;
    EXPECT_EQ(w->GetAlignX(), c.alignX);  // the stored alignment stays
  }
  // Taller than the area: its top at 0.
  HintWindow* tall = Sized(nullptr, 0, 0, 10, 512);
  GetResourceServices().screen.height = 300;
  tall->SetFrame(10, 100, 20, 110, 2, 2);
  tall->Relayout(0);
  EXPECT_FLOAT_EQ(tall->GetPosY(), 0.0f);
  delete tall;
}

// Resting on a button shows its hint once more than 400 ms have passed;
// a disabled hint waits, a pending refresh rebuilds a shown hint at once,
// leaving the button hides it, and the manager draws shown hints after the
// windows, each once even when it hides itself while drawn.
TEST_F(Hints, TheHintShowsAfterTheRestFollowsItsOwnerAndIsDrawnOverTheWindows) {
  auto* d = new Dialog(1, 300, 2);
  d->MoveTo(100, 100);
  auto* b = new PlainButton(d, &d->Controls(), 10, DXLRECT{20, 90, 120, 120});
  auto* hint = new CaptionHintWindow(b, u"Sell", false, u"All of it", 0, 0, nullptr, 1, 2, 0);
  b->SetRefreshMask(kHintRefreshLevel);
  M().OnMouseMove(150, 200, 0, 0);
  EXPECT_EQ(M().GetHintOwner(), b);
  rig_.Step(400);
  EXPECT_FALSE(hint->IsShown());
  M().OnMouseMove(151, 200, 0, 0);  // a jitter does not restart the rest
  rig_.Step(1);
  ASSERT_TRUE(hint->IsShown());
  EXPECT_EQ(M().HintWindows().GetCount(), 1);
  // Anchored at the button in screen pixels, grown by 8: below it, centred.
  EXPECT_EQ(R(hint->GetAnchor()), (std::vector<i32>{112, 182, 228, 228}));
  EXPECT_FLOAT_EQ(hint->GetPosY(), 228.0f);
  EXPECT_FLOAT_EQ(hint->GetPosX(), static_cast<float>(170 - (hint->GetWidth() + 1) / 2));
  EXPECT_EQ(b->GetPendingRefresh(), 0u);
  // Drawn after the window: the balloon follows the window's skin.
  rig_.ui.calls.Clear();
  rig_.ui.Frame();
  const auto& drawn = rig_.ui.calls.Primitives();
  const int balloon = rig_.ui.TextureId(rig_.balloon->GetTexture());
  const int skin = rig_.ui.TextureId(rig_.ui.interfaceImage.get());
  size_t firstBalloon = drawn.size(), lastSkin = 0;
  for (size_t i = 0; i < drawn.size(); ++i) {
    if (drawn[i].texture == balloon) firstBalloon = std::min(firstBalloon, i);
    if (drawn[i].texture == skin) lastSkin = i;
  }
  EXPECT_LT(lastSkin, firstBalloon);
  EXPECT_LT(firstBalloon, drawn.size());

  // A change of content shows at once.
  const i32 width = hint->GetWidth();
  hint->GetBody()->SetText(u"All of it and more", nullptr);
  HintRefreshOnLevelChange();
  rig_.Step(10);
  EXPECT_GT(hint->GetWidth(), width);
  // Disabled: hidden, and not shown again until enabled.
  b->SetHintEnabled(false);
  EXPECT_FALSE(hint->IsShown());
  rig_.Step(1000);
  EXPECT_FALSE(hint->IsShown());
  b->SetHintEnabled(true);
  rig_.Step(10);
  EXPECT_TRUE(hint->IsShown());
  // Another control taking the hint lets this one's go at once.
  GameHint other;
  new CaptionHintWindow(&other, u"Buy", false, nullptr, 0, 0, nullptr, 1, 2, 0);
  other.ShowHint();
  EXPECT_EQ(M().GetHintOwner(), &other);
  EXPECT_FALSE(hint->IsShown());
  b->ShowHint();
  // Off the button: released and hidden.
  M().OnMouseMove(400, 400, 0, 0);
  EXPECT_EQ(M().GetHintOwner(), nullptr);
  EXPECT_FALSE(hint->IsShown());
  EXPECT_EQ(M().HintWindows().GetCount(), 0);

  // Two hints that hide while drawn: each drawn once, both gone from the list.
  GameHint a, c;
  auto* first = new SelfHiding(&a);
  auto* second = new SelfHiding(&c);
  first->Show();
  second->Show();
  rig_.ui.Frame();
  EXPECT_EQ(first->draws, 1);
  EXPECT_EQ(second->draws, 1);
  EXPECT_EQ(M().HintWindows().GetCount(), 0);
  // A button that goes takes its shown hint with it.
  M().OnMouseMove(150, 200, 0, 0);
  rig_.Step(401);
  EXPECT_EQ(M().HintWindows().GetCount(), 1);
  delete b;
  EXPECT_EQ(M().HintWindows().GetCount(), 0);
  EXPECT_EQ(M().GetHintOwner(), nullptr);
}

}  // namespace
