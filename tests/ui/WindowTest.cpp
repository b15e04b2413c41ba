#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "UiRig.h"
#include "resources/ResourceServices.h"
#include "resources/SpriteEffect.h"
#include "ui/WindowEffects.h"

using uitest::Dialog;
using uitest::UiRig;

namespace {

class Windows : public ::testing::Test {
 protected:
  WindowManager& M() { return *rig_.manager; }
  // A dialog 200 x 77 with its title across the top, shown at its default place.
  Dialog* Titled(u32 id) {
    auto* d = new Dialog(id, 200, 0);
    d->SetCaption(nullptr);
    d->Show(0, false);
    return d;
  }
  void Screen(i32 w, i32 h) {
    GetResourceServices().screen.width = w;
    GetResourceServices().screen.height = h;
  }
  // The world y the window's top row was drawn at in the last frame.
  float DrawnY() {
    const auto& p = rig_.calls.Primitives();
    return p.empty() ? -9999.0f : p.back().world.m[3][1];
  }

  UiRig rig_;
};

TEST_F(Windows, DraggingByTheTitleFollowsThePointerAndKeepsToTheScreen) {
  Dialog* d = Titled(1);
  EXPECT_EQ(d->GetTitleRect().right, 187);
  EXPECT_EQ(d->GetX(), 300);  // (800 - 200) / 2
  EXPECT_EQ(d->GetY(), 241);  // (600 - 77) / 2 - 20
  u32 cursor = 0;
  EXPECT_TRUE(M().OnMouseMove(320, 260, 0, 0));
  EXPECT_EQ(d->TitleState().GetState(), kStateHover);
  M().GetCursor(&cursor);
  EXPECT_EQ(cursor, kCursorPan);
  EXPECT_TRUE(M().OnMouseDown(320, 260, kMouseLeft, 0));
  EXPECT_EQ(d->TitleState().GetState(), kStatePressed);
  M().GetCursor(&cursor);
  EXPECT_EQ(cursor, kCursorPanOn);
  M().OnMouseMove(330, 270, 1, 0);
  EXPECT_EQ(d->GetX(), 310);
  EXPECT_EQ(d->GetY(), 251);
  EXPECT_TRUE(d->IsMoved());
  M().OnMouseMove(-50, 270, 1, 0);  // off the left edge: at 0
  EXPECT_EQ(d->GetX(), 0);
  M().OnMouseMove(20, 270, 1, 0);  // back: from the edge, not from where the pointer left
  EXPECT_EQ(d->GetX(), 20);
  M().OnMouseMove(900, 270, 1, 0);  // off the right edge: 4 pixels past it at most
  EXPECT_EQ(d->GetX(), 604);
  M().OnMouseMove(790, 270, 1, 0);
  EXPECT_EQ(d->GetX(), 591);
  EXPECT_EQ(d->GetRect().left, 591);
  M().OnMouseUp(790, 270, kMouseLeft, 0);  // off the title, on the window
  EXPECT_EQ(d->TitleState().GetState(), kStateNormal);
  EXPECT_EQ(d->TitleState().GetFade(), DragWindow::kTitleFadeOut);
  EXPECT_EQ(d->State().GetState(), kStateHover);

  // A tutorial that refuses title actions: a press on the title drags nothing.
  GetResourceServices().tutorial = &rig_.tutorial;
  rig_.tutorial.refused.push_back({kTutorialActionTitle, ~uintptr_t{0}});
  M().OnMouseDown(620, 270, kMouseLeft, 0);
  M().OnMouseMove(500, 200, 1, 0);
  EXPECT_EQ(d->GetX(), 591);
  EXPECT_EQ(d->TitleState().GetState(), kStateNormal);
  M().OnMouseUp(500, 200, kMouseLeft, 0);
  GetResourceServices().tutorial = nullptr;
  // A double click on the title grabs it as a press does.
  M().OnDoubleClick(611, 270, kMouseLeft);
  M().OnMouseMove(581, 270, 1, 0);
  EXPECT_EQ(d->GetX(), 561);
  M().OnMouseUp(581, 270, kMouseLeft, 0);

  // A smaller screen: the moved window keeps its place within it, an
  // unmoved one is centred again, and one wider than the screen sticks out left.
  auto* e = new Dialog(2, 300, 0);
  e->Show(0, false);
  auto* wide = new Dialog(3, 700, 0);
  wide->Show(0, false);
  Screen(640, 480);
  M().OnScreenResize();
  EXPECT_EQ(d->GetX(), 444);
  EXPECT_EQ(d->GetY(), 251);
  EXPECT_EQ(e->GetX(), 170);
  EXPECT_EQ(e->GetY(), 181);
  EXPECT_EQ(wide->GetX(), 644 - 700);
}

// Closing 90 ms into a show that waits 50 ms: the drop-in has run 50 of its
// 200 ms, so the lift-out starts 150 ms in, at the same height.
TEST_F(Windows, ClosingMidShowLiftsOutFromWhereTheShowHadGot) {
  GetResourceServices().appState = kGameStateLevel;
  GetResourceServices().level = &rig_.level;
  auto* d = new Dialog(5, 200, 0);
  EXPECT_EQ(rig_.level.seen, (std::vector<std::string>{"open 5"}));
  d->Show(0, true);
  const float distance = -(241.0f + 77.0f);
  rig_.calls.Clear();
  rig_.Frame();
  EXPECT_FLOAT_EQ(DrawnY(), 241 + distance);  // waiting above the screen
  EXPECT_TRUE(M().OnMouseDown(300, 250, kMouseLeft, 0));  // busy: taken, unseen
  EXPECT_EQ(d->State().GetState(), kStateHover);
  rig_.SetClock(1090);
  rig_.calls.Clear();
  rig_.Frame();
  const float showing = 241 + distance * (1 - std::sin(0.25f * 3.14159265f / 2));
  EXPECT_NEAR(DrawnY(), showing, 0.01);
  d->Close();
  SpriteEffect* hide = d->GetEffects()->Get(0);
  d->Close();  // once only
  ASSERT_EQ(d->GetEffects()->GetCount(), 1);
  EXPECT_EQ(d->GetEffects()->Get(0), hide);
  EXPECT_NE(dynamic_cast<SEffect_HideWindow*>(hide), nullptr);
  rig_.calls.Clear();
  rig_.Frame();
  EXPECT_FLOAT_EQ(hide->GetProgress(), 0.75f);
  EXPECT_NEAR(DrawnY(), showing, 0.01);
  rig_.SetClock(1140);
  rig_.calls.Clear();
  rig_.Frame();  // the lift-out ends: the window goes in this pass
  EXPECT_TRUE(rig_.calls.Primitives().empty());
  EXPECT_EQ(M().GetStack().GetCount(), 0);
  EXPECT_EQ(M().OpenDialogs().GetCount(), 0);
  EXPECT_EQ(rig_.level.seen, (std::vector<std::string>{"open 5", "close 5"}));

  // Outside the level state the level hears nothing.
  GetResourceServices().appState = kGameStateLevelMap;
  delete new Dialog(6, 100, 0);
  EXPECT_EQ(rig_.level.seen.size(), 2u);
}

// Opening a darkening dialog darkens the one below over 200 ms to black at
// alpha 96, only where its pictures are opaque (the stencil); closing the
// upper one lightens it again from there.
TEST_F(Windows, ADialogAboveDarkensTheOneBelowThroughTheStencil) {
  auto* a = new Dialog(1, 300, 2);
  a->MoveTo(100, 100);
  ASSERT_EQ(a->GetHeight(), 77 + 111 + 52);
  rig_.Frame();
  const u32 lit = rig_.Pixel(250, 200);
  const u32 background = rig_.Pixel(50, 50);
  EXPECT_NE(lit, background);
  EXPECT_EQ(rig_.Pixel(101, 101), background);  // the transparent corner

  auto* b = new Dialog(2, 200, 0, true);
  b->MoveTo(500, 450);
  EXPECT_TRUE(a->IsDimmed());
  const auto expectDarkened = [&](u32 alpha) {
    const u32 p = rig_.Pixel(250, 200);
    for (int shift : {0, 8, 16}) {
      const int want = static_cast<int>(((lit >> shift) & 0xFF) * (255 - alpha) / 255);
      EXPECT_NEAR(static_cast<int>((p >> shift) & 0xFF), want, 2) << "alpha " << alpha << " shift " << shift;
    }
    EXPECT_EQ(rig_.Pixel(101, 101), background);
    EXPECT_EQ(rig_.Pixel(450, 200), background);
  };
  rig_.Frame();
  EXPECT_EQ(a->GetDimAmount(), 0u);
  expectDarkened(0);
  rig_.AdvanceRealTime(100);
  rig_.Frame();
  EXPECT_EQ(a->GetDimAlpha(), 48u);
  expectDarkened(48);
  rig_.AdvanceRealTime(100);
  rig_.Frame();
  expectDarkened(96);
  rig_.AdvanceRealTime(300);
  rig_.Frame();
  EXPECT_EQ(a->GetDimAmount(), 200u);
  expectDarkened(96);

  b->Close();
  EXPECT_FALSE(a->IsDimmed());
  rig_.AdvanceRealTime(100);
  rig_.Frame();
  expectDarkened(48);
  rig_.AdvanceRealTime(150);
  rig_.Frame();
  EXPECT_EQ(a->GetDimAmount(), 0u);
  EXPECT_EQ(rig_.Pixel(250, 200), lit);

  // A dialog deleted by its owner without Close lightens the one below all
  // the same.
  auto* c = new Dialog(3, 200, 0, true);
  EXPECT_TRUE(a->IsDimmed());
  delete c;
  EXPECT_FALSE(a->IsDimmed());
}

TEST_F(Windows, AwardProgressCountsTwoSecondsPerUnit) {
  SpriteEffectList* list = nullptr;
  auto* p = new SEffect_SmAwProgress(0.25f, 0.75f, 0);
  EXPECT_EQ(p->GetDuration(), 1000u);
  AttachSpriteEffect(&list, p);
  rig_.SetClock(1000);
  UpdateSpriteEffects(&list);  // starts 10 ms in
  rig_.SetClock(1490);
  UpdateSpriteEffects(&list);
  EXPECT_FLOAT_EQ(p->GetValue(), 0.5f);
  std::unique_ptr<SpriteEffect> back(SEffect_SmAwProgress(0.5f, 0.25f, 0).Clone());
  EXPECT_EQ(back->GetDuration(), GameTimeStep());  // a count down takes one step
  DeleteSpriteEffects(&list);
}

}  // namespace
