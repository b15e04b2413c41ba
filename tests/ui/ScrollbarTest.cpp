#include <gtest/gtest.h>

#include "UiRig.h"
#include "ui/GameScrollbar.h"
#include "ui/GameScrollbarTrack.h"

using uitest::UiRig;

namespace {

// A window that counts its scroll notices and draws its controls.
class ScrollWindow : public GameWindow {
 public:
  explicit ScrollWindow(const DXLRECT& rect) : GameWindow(0x5343524Cu, false) { rect_ = rect; }
  void Draw() override {
    GetGameViewer()->Translate(static_cast<float>(rect_.left), static_cast<float>(rect_.top));
    GetGameViewer()->GetTransform(&transform_);
    DrawControls();
  }
  void OnScroll() override { ++scrolls; }
  int scrolls = 0;
};

class Scrollbars : public ::testing::Test {
 protected:
  // A window at (100, 50) with a bar at (0, 0) of `height`: arrows 0..34 and
  // height - 34..height, the track between.
  GameScrollbar* Make(i32 height) {
    window_ = new ScrollWindow(DXLRECT{100, 50, 300, 50 + height});
    return new GameScrollbar(window_, 0, 0, height);
  }
  UiRig rig_;
  ScrollWindow* window_ = nullptr;
};

TEST_F(Scrollbars, HeldArrowRepeatsAfterHalfASecondThenEveryTenthAndCatchesUpAtMostTenSteps) {
  GameScrollbar* bar = Make(234);
  bar->SetRange(0, 100, 10, 0);
  EXPECT_TRUE(bar->IsActive());
  EXPECT_EQ(window_->GetScrollbar(), bar);
  EXPECT_TRUE(bar->OnMouseDown(10, 220, BaseScrollbar::kLeft));  // the second arrow
  EXPECT_EQ(bar->GetPosition(), 1);                               // one step at once
  EXPECT_EQ(bar->GetArrow(1)->State().GetState(), kStatePressed);
  EXPECT_EQ(window_->GetCursor(), kCursorHand);
  const auto at = [&](u32 ms) {
    rig_.AdvanceRealTime(ms);
    window_->Update();
    return bar->GetPosition();
  };
  EXPECT_EQ(at(499), 1);
  EXPECT_EQ(at(1), 2);      // 500 ms
  EXPECT_EQ(at(99), 2);
  EXPECT_EQ(at(1), 3);      // 600 ms
  EXPECT_EQ(at(2050), 13);  // 2 s late: ten steps, not twenty
  EXPECT_EQ(at(49), 13);    // the next one on the 100 ms beat: 100 less the overrun's rest (50)
  EXPECT_EQ(at(1), 14);
  // Off the arrow (still held) nothing piles up; back on it, it goes on.
  bar->OnMouseMove(10, 100, BaseScrollbar::kLeft);
  EXPECT_EQ(at(3000), 14);
  bar->OnMouseMove(10, 220, BaseScrollbar::kLeft);
  EXPECT_EQ(at(50), 15);
  EXPECT_EQ(at(49), 15);
  // Released off the bar: the repeat ends for good.
  EXPECT_TRUE(bar->OnMouseUp(500, 500, BaseScrollbar::kLeft));
  EXPECT_EQ(bar->GetRepeatStep(), 0);
  EXPECT_EQ(bar->GetArrow(1)->State().GetState(), kStateNormal);
  bar->OnMouseMove(10, 220, 0);
  EXPECT_EQ(at(1000), 15);
  EXPECT_EQ(window_->scrolls, 15);
  // The first arrow steps back; the wheel steps one a notch, not with Control or Shift held.
  bar->OnMouseDown(10, 5, BaseScrollbar::kLeft);
  bar->OnMouseUp(10, 5, BaseScrollbar::kLeft);
  EXPECT_EQ(bar->GetPosition(), 14);
  EXPECT_EQ(bar->GetArrow(0)->State().GetState(), kStateHover);
  EXPECT_TRUE(rig_.manager->OnMouseWheel(150, 100, -120, 0, 0));
  EXPECT_EQ(bar->GetPosition(), 15);
  EXPECT_FALSE(bar->OnMouseWheel(0, 0, 120, 2));
  EXPECT_EQ(bar->GetPosition(), 15);
}

TEST_F(Scrollbars, TrackClickCentresTheThumbAndDragsItUpToEitherEnd) {
  GameScrollbar* bar = Make(234);  // track 34..200: 166 long
  bar->SetRange(0, 100, 20, 0);
  // floor(166 x 20 / 100) = 33: nine over the natural 24 is odd, so 32.
  EXPECT_EQ(bar->GetThumbLength(), 32);
  EXPECT_EQ(bar->GetThumbButton()->GetLength(), 32);
  // Through the window (screen coordinates): a press at track offset 100.
  rig_.manager->OnMouseMove(110, 50 + 134, 0, 0);
  EXPECT_TRUE(rig_.manager->OnMouseDown(110, 50 + 134, kMouseLeft, 0));
  EXPECT_EQ(bar->GetThumbOffset(), 84);  // its middle under the pointer
  EXPECT_EQ(bar->GetPosition(), 50);     // round(80 x 84 / 134)
  EXPECT_EQ(bar->GetPress(0).part, BaseScrollbar::kThumb);
  EXPECT_EQ(bar->GetPart(BaseScrollbar::kThumb).state, kStatePressed);
  EXPECT_EQ(bar->GetThumbButton()->GetY(), 34 + 84);
  rig_.manager->OnMouseMove(110, 50 + 144, 1, 0);  // 10 down: the thumb follows
  EXPECT_EQ(bar->GetThumbOffset(), 94);
  EXPECT_EQ(bar->GetPosition(), 56);
  rig_.manager->OnMouseMove(110, 900, 1, 0);
  EXPECT_EQ(bar->GetThumbOffset(), 134);
  EXPECT_EQ(bar->GetPosition(), 80);  // maximum - page
  rig_.manager->OnMouseMove(110, -400, 1, 0);
  EXPECT_EQ(bar->GetThumbOffset(), 0);
  EXPECT_EQ(bar->GetPosition(), 0);
  rig_.manager->OnMouseUp(110, -400, kMouseLeft, 0);
  EXPECT_EQ(bar->GetPress(0).part, BaseScrollbar::kNoPart);
  EXPECT_EQ(bar->GetPart(BaseScrollbar::kThumb).state, kStateNormal);
  // A position set from outside places the thumb by it.
  EXPECT_TRUE(bar->ScrollTo(40));
  EXPECT_EQ(bar->GetThumbOffset(), 67);  // floor(134 x 40 / 80)
  EXPECT_FALSE(bar->ScrollTo(500) && bar->ScrollTo(500));
  EXPECT_EQ(bar->GetPosition(), 80);
  // Drawn in the window: the first arrow's normal frame and the thumb's top cap from their skins.
  bar->ScrollTo(40);
  rig_.AdvanceClock(500);
  rig_.Frame();
  rig_.Frame();
  EXPECT_EQ(rig_.Pixel(100, 50), uitest::InterfaceTexel(563, 634 + 38));
  EXPECT_EQ(rig_.Pixel(110, 50 + 34 + 67 + 3), uitest::InterfaceTexel(760 + 10, 904 + 3));
  EXPECT_EQ(rig_.Pixel(110, 50 + 34 + 67 + 33), uitest::InterfaceTexel(760 + 10, 904 + 64 - 1));
}

TEST_F(Scrollbars, AnInactiveBarIsDisabledTakesTheWheelAndChangesNothing) {
  GameScrollbar* bar = Make(234);
  bar->SetRange(0, 100, 100, 0);  // page = range: nothing to scroll
  EXPECT_FALSE(bar->IsActive());
  EXPECT_FALSE(bar->IsThumbShown());
  EXPECT_EQ(bar->GetThumbOffset(), 0);
  for (i32 part = 0; part < 4; ++part) EXPECT_EQ(bar->GetPart(part).state, 0) << part;
  EXPECT_EQ(bar->GetArrow(0)->State().GetState(), kStateHidden);
  EXPECT_TRUE(rig_.manager->OnMouseWheel(150, 100, -120, 0, 0));  // taken by the window
  EXPECT_TRUE(bar->OnMouseDown(10, 220, BaseScrollbar::kLeft));    // on a disabled arrow: no step
  EXPECT_EQ(bar->GetRepeatStep(), 0);
  EXPECT_EQ(bar->GetPosition(), 0);
  EXPECT_EQ(window_->scrolls, 0);
  bar->OnMouseUp(10, 220, BaseScrollbar::kLeft);
  // A maximum below the minimum is the minimum; a negative page is 0.
  bar->SetRange(5, 2, -3, 9);
  EXPECT_EQ(bar->GetMaximum(), 5);
  EXPECT_EQ(bar->GetPage(), 0);
  EXPECT_EQ(bar->GetPosition(), 5);
  // Growing the range wakes it: arrows normal, the thumb shown.
  bar->SetRange(0, 300, 100, 0);
  EXPECT_TRUE(bar->IsThumbShown());
  EXPECT_EQ(bar->GetArrow(1)->State().GetState(), kStateNormal);
  EXPECT_EQ(bar->GetThumbLength(), 54);  // floor(166 / 3) = 55, excess 31 odd
  // The window deletes its bar with it; a bar deleted first leaves the window.
  delete bar;
  EXPECT_EQ(window_->GetScrollbar(), nullptr);
}

TEST_F(Scrollbars, AShortTrackHasRoomForEveryThumbItAllows) {
  GameScrollbar* bar = Make(125);  // the drop-down list's bar: a track of 57
  GameScrollbarTrack* thumb = bar->GetThumbButton();
  EXPECT_EQ(bar->GetTrackLength(), 57);
  EXPECT_GE(thumb->GetRoom(), 2);
  for (i32 length = 1; length <= 57; ++length) {
    thumb->SetLength(length);
    EXPECT_LE(thumb->GetQuadsPerFrame(), thumb->GetRoom()) << length;
    EXPECT_EQ(thumb->GetTopCap() + thumb->GetBottomCap() <= length + 2, true) << length;
  }
  // Caps grow a tile each before tiles are added; a short thumb shares its length.
  i32 top = 0, bottom = 0;
  EXPECT_EQ(GameScrollbarTrack::QuadsFor(42, &top, &bottom), 2);
  EXPECT_EQ(top, 31);
  EXPECT_EQ(bottom, 11);
  EXPECT_EQ(GameScrollbarTrack::QuadsFor(200, &top, &bottom), 5);  // 53 + 55, then 92 in three tiles
  EXPECT_EQ(top, 53);
  EXPECT_EQ(bottom, 55);
  EXPECT_EQ(GameScrollbarTrack::QuadsFor(10, &top, &bottom), 2);
  EXPECT_EQ(top, 5);  // round(10 x 9 / 20)
  EXPECT_EQ(bottom, 5);
  // Four rows of five: the thumb is drawn within its strip, from its frame's source.
  bar->SetRange(0, 8, 5, 3);
  EXPECT_EQ(bar->GetThumbLength(), 34);  // floor(57 x 5 / 8) = 35, its excess of 11 evened
  rig_.calls.Clear();
  rig_.Frame();
}

}  // namespace
