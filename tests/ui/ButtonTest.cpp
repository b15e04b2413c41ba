#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ToolkitRig.h"
#include "resources/ResourceServices.h"
#include "ui/ImageButton.h"

using uitest::Dialog;
using uitest::R;
using uitest::ToolkitRig;

namespace {

using Lines = std::vector<std::string>;

SKINRECT StandardSkin() { return SKINRECT::InitSliced(433, 406, 128, 258, 32, 32, 0, 0, 0, 0, kInterfaceImage); }

// A standard button that counts its click sounds.
class CountingButton : public ImageButton {
 public:
  CountingButton(GameWindow* parent, u32 id, i32 x, i32 y)
      : ImageButton(parent, parent ? &parent->Controls() : nullptr, id, StandardSkin(), 100, true, 4, 2, x, y,
                    nullptr) {}
  void PlayClickSound() override { ++sounds; }
  void Checkable() { state_.EnableFlag(true); }
  int sounds = 0;
};

// A dialog at (100, 100) whose command handler answers `answer` (or runs
// `onCommand`) and notes what its buttons tell it.
class CommandWindow : public Dialog {
 public:
  explicit CommandWindow(Lines* log) : Dialog(1, 400, 3), log_(log) { MoveTo(100, 100); }
  u32 OnCommand(GameButton* control) override {
    log_->push_back("command " + std::to_string(control->GetId()));
    return onCommand ? onCommand(control) : answer;
  }
  void OnControlPress(GameButton* control) override { log_->push_back("press " + std::to_string(control->GetId())); }
  u32 answer = 0;
  std::function<u32(GameButton*)> onCommand;

 private:
  Lines* log_;
};

class Tutorial : public TutorialHooks {
 public:
  bool AllowAction(u32, uintptr_t, const void*) override { return true; }
  void Notify(u32 event, uintptr_t parameter, const void* object) override {
    told.push_back(std::to_string(event) + " " + std::to_string(parameter) + (object ? " button" : " none"));
  }
  Lines told;
};

class Buttons : public ::testing::Test {
 protected:
  void SetUp() override { GetResourceServices().tutorial = &tutorial_; }
  WindowManager& M() { return rig_.M(); }
  Lines Take() {
    Lines out;
    out.swap(log_);
    return out;
  }

  ToolkitRig rig_;
  Lines log_;
  Tutorial tutorial_;
};

// Points are on the screen: the window stands at (100, 100), the button at
// (20, 80) in it, 100 x 63.
TEST_F(Buttons, PressReleaseHoverAndDragFollowTheButtonsStateMachine) {
  auto* w = new CommandWindow(&log_);
  auto* b = new CountingButton(w, 7, 20, 80);
  EXPECT_EQ(R(b->GetRect()), (std::vector<i32>{20, 80, 120, 143}));
  // Onto it: hover over 70 ms; off it: normal over 200 ms.
  M().OnMouseMove(150, 200, 0, 0);
  EXPECT_EQ(b->State().GetState(), kStateHover);
  EXPECT_EQ(b->State().GetFade(), 70u);
  EXPECT_EQ(M().GetHoverControl(), b);
  M().OnMouseMove(400, 400, 0, 0);
  EXPECT_EQ(b->State().GetState(), kStateNormal);
  EXPECT_EQ(b->State().GetFade(), 200u);
  // A press shows at once; released outside it fires nothing.
  M().OnMouseDown(150, 200, kMouseLeft, 0);
  EXPECT_EQ(b->State().GetState(), kStatePressed);
  EXPECT_FALSE(b->State().IsFading());
  EXPECT_EQ(M().GetEventControl(), b);
  M().OnMouseMove(400, 400, 1, 0);  // the window is captured: a pressed button keeps its place
  EXPECT_EQ(b->State().GetState(), kStatePressed);
  M().OnMouseUp(400, 400, kMouseLeft, 0);
  EXPECT_EQ(b->State().GetState(), kStateNormal);
  EXPECT_TRUE(Take().empty());
  // Pressed, out and back in before the release: the click fires.
  M().OnMouseDown(150, 200, kMouseLeft, 0);
  M().OnMouseMove(400, 400, 1, 0);
  M().OnMouseMove(150, 200, 1, 0);
  M().OnMouseUp(150, 200, kMouseLeft, 0);
  EXPECT_EQ(Take(), (Lines{"command 7"}));
  EXPECT_EQ(b->sounds, 1);
  EXPECT_EQ(b->State().GetState(), kStateHover);
  EXPECT_EQ(tutorial_.told, (Lines{"1 " + std::to_string(w->GetId()) + " button"}));
  // A right press marks the press and changes nothing; its release does nothing.
  M().OnMouseDown(150, 200, 2, 0);
  EXPECT_TRUE(b->IsPressed());
  EXPECT_EQ(b->State().GetState(), kStateHover);
  M().OnMouseUp(150, 200, 2, 0);
  EXPECT_TRUE(Take().empty());
  // While the window is dragged (captured), a button not pressed takes no hover.
  M().OnMouseUp(150, 200, kMouseLeft, 0);  // a left release ends the right press too
  EXPECT_EQ(Take(), (Lines{}));
  M().OnMouseMove(400, 400, 0, 0);
  M().OnMouseDown(300, 300, kMouseLeft, 0);  // on the window, off the button
  EXPECT_EQ(w->State().GetEnableBits(), kStatePressed);
  M().OnMouseMove(150, 200, 1, 0);
  EXPECT_EQ(b->State().GetState(), kStateNormal);
  M().OnMouseUp(150, 200, kMouseLeft, 0);
  EXPECT_TRUE(Take().empty());
  // Disabled: takes the press (the event control), never clicks, shows the arrow.
  b->Show(false, true, 0);
  M().OnMouseDown(150, 200, kMouseLeft, 0);
  EXPECT_EQ(M().GetEventControl(), b);
  EXPECT_EQ(b->State().GetState(), kStateHidden);
  M().OnMouseUp(150, 200, kMouseLeft, 0);
  EXPECT_TRUE(Take().empty());
  u32 cursor = 0;
  EXPECT_TRUE(M().GetCursor(&cursor));
  EXPECT_EQ(cursor, kCursorArrow);
  b->Show(true, true, 0);
  M().OnMouseMove(150, 201, 0, 0);
  M().GetCursor(&cursor);
  EXPECT_EQ(cursor, kCursorHand);
  // Double clicks: a second press, or with them enabled a press told to the
  // window whose release never clicks.
  M().OnDoubleClick(150, 200, kMouseLeft);
  M().OnMouseUp(150, 200, kMouseLeft, 0);
  EXPECT_EQ(Take(), (Lines{"command 7"}));
  b->EnableDoubleClick(true);
  M().OnDoubleClick(150, 200, kMouseLeft);
  EXPECT_EQ(b->State().GetState(), kStatePressed);
  M().OnMouseUp(150, 200, kMouseLeft, 0);
  EXPECT_EQ(Take(), (Lines{"press 7"}));
  EXPECT_EQ(b->State().GetState(), kStateHover);
}

// Answer 1 is a radio choice: the other checked, unlocked buttons of the
// group in the same list uncheck; 8 more keeps it silent; 2 returns the
// button to normal; check boxes (group -1) never uncheck others.
TEST_F(Buttons, CommandAnswersMakeRadioChoicesSilenceClicksAndRelease) {
  auto* w = new CommandWindow(&log_);
  CountingButton* group0[3];
  for (int i = 0; i < 3; ++i) {
    group0[i] = new CountingButton(w, 10 + i, 20 + 110 * i, 20);
    group0[i]->Checkable();
    group0[i]->SetFlag(true, true, 0);
  }
  auto* other = new CountingButton(w, 20, 20, 90);
  other->Checkable();
  other->SetGroup(1);
  other->SetFlag(true, true, 0);
  group0[2]->SetLocked(true);
  auto click = [&](i32 x, i32 y) {
    M().OnMouseDown(x, y, kMouseLeft, 0);
    M().OnMouseUp(x, y, kMouseLeft, 0);
  };
  w->answer = kCommandRadio | kCommandSilent;
  click(150, 150);  // the first of group 0
  EXPECT_EQ(group0[0]->sounds, 0);
  EXPECT_TRUE(group0[0]->State().GetFlag());
  EXPECT_FALSE(group0[1]->State().GetFlag());
  EXPECT_EQ(group0[1]->State().GetState(), kStateNormal);
  EXPECT_EQ(group0[1]->State().GetFade(), GameButton::kFadeIn);
  EXPECT_TRUE(group0[2]->State().GetFlag());  // locked
  EXPECT_TRUE(other->State().GetFlag());      // another group
  group0[1]->SetFlag(true, true, 0);
  group0[0]->SetGroup(-1);
  w->answer = kCommandRadio;
  click(150, 150);
  EXPECT_EQ(group0[0]->sounds, 1);
  EXPECT_TRUE(group0[1]->State().GetFlag());
  // 2: back to normal at once after the click, keeping the flag.
  w->answer = kCommandRelease;
  click(150, 150);
  EXPECT_EQ(group0[0]->State().GetState(), kStateNormal | kStateFlag);
  EXPECT_EQ(group0[0]->State().GetFade(), GameButton::kFadeOut);
  EXPECT_EQ(Take(), (Lines{"command 10", "command 10", "command 10"}));
  // A button without a window clicks into nothing and tells the tutorial id 0.
  tutorial_.told.clear();
  CountingButton loose(nullptr, 30, 0, 0);
  loose.Click();
  EXPECT_EQ(loose.sounds, 1);
  EXPECT_EQ(tutorial_.told, (Lines{"1 0 button"}));
}

// A command handler may delete the clicked button, the buttons around it or
// the whole window: the click stops touching what went (clean under the
// sanitizers) and the tutorial still hears of the click.
TEST_F(Buttons, AHandlerThatDeletesItsButtonOrItsWindowEndsTheClickCleanly) {
  auto* w = new CommandWindow(&log_);
  auto* b = new CountingButton(w, 7, 20, 80);
  b->Checkable();
  b->SetFlag(true, true, 0);
  new CountingButton(w, 8, 130, 80);
  w->onCommand = [&](GameButton* control) {
    delete control;
    return kCommandRadio;
  };
  M().OnMouseMove(150, 200, 0, 0);
  M().OnMouseDown(150, 200, kMouseLeft, 0);
  M().OnMouseUp(150, 200, kMouseLeft, 0);
  EXPECT_EQ(w->FindControl(7, 0), nullptr);
  EXPECT_NE(w->FindControl(8, 0), nullptr);
  EXPECT_EQ(M().GetHoverControl(), nullptr);
  EXPECT_EQ(M().GetEventControl(), nullptr);
  EXPECT_EQ(tutorial_.told, (Lines{"1 1 none"}));
  // The handler rebuilds the window's buttons.
  w->onCommand = [&](GameButton*) {
    w->Controls().DeleteAll();
    new CountingButton(w, 9, 20, 80);
    return kCommandRelease;
  };
  M().OnMouseDown(250, 200, kMouseLeft, 0);
  M().OnMouseUp(250, 200, kMouseLeft, 0);
  ASSERT_NE(w->FindControl(9, 0), nullptr);
  EXPECT_EQ(w->FindControl(8, 0), nullptr);
  // The handler deletes the window.
  w->onCommand = [&](GameButton*) {
    delete w;
    return kCommandNothing;
  };
  M().OnMouseDown(150, 200, kMouseLeft, 0);
  M().OnMouseUp(150, 200, kMouseLeft, 0);
  EXPECT_EQ(M().GetStack().GetCount(), 0);
  EXPECT_EQ(Take(), (Lines{"command 7", "command 8", "command 9"}));
}

}  // namespace
