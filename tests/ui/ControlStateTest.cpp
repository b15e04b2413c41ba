#include <gtest/gtest.h>

#include "content/ContentServices.h"
#include "resources/ResourceServices.h"
#include "ui/ControlState.h"
#include "ui/UiServices.h"

namespace {

class ControlStates : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetResourceServices();
    ResetContentServices();
    ResetUiServices();
    Clock(1000);
  }
  void TearDown() override { ResetResourceServices(); ResetContentServices(); ResetUiServices(); }
  static void Clock(u32 ms) { GetResourceServices().clock = ms; }
};

TEST_F(ControlStates, FadesRunOnTheGameClockAndAReversalStartsWhereTheFadeStood) {
  ControlState s;
  EXPECT_EQ(s.GetState(), kStateNormal);
  EXPECT_EQ(s.GetPhase(), kPhaseSettled);
  EXPECT_FLOAT_EQ(s.GetProgress(), 1.0f);

  s.SetState(kStateHover, false, 70);
  EXPECT_EQ(s.GetState(), kStateHover);
  EXPECT_EQ(s.GetPrevious().state, kStateNormal);
  EXPECT_TRUE(s.IsFading());
  Clock(1035);
  s.Update();
  EXPECT_FLOAT_EQ(s.GetProgress(), 0.5f);

  // Leaving hover halfway: the 200 ms fade-out starts 100 ms in.
  s.SetState(kStateNormal, false, 200);
  EXPECT_EQ(s.GetStart(), 1035u - 100u);
  s.Update();
  EXPECT_EQ(s.GetElapsed(), 100u);
  EXPECT_FLOAT_EQ(s.GetProgress(), 0.5f);
  EXPECT_EQ(s.GetPrevious().state, kStateHover);
  Clock(1135);
  s.Update();
  EXPECT_EQ(s.GetPhase(), kPhaseSettled);
  EXPECT_FLOAT_EQ(s.GetProgress(), 1.0f);
  EXPECT_EQ(s.GetElapsed(), 200u);

  // A change that does not go back where the fade came from starts at 0.
  s.SetState(kStateHover, false, 70);
  Clock(1170);
  s.Update();
  s.SetState(kStatePressed, false, 70);
  EXPECT_EQ(s.GetStart(), 1170u);
  s.Update();
  EXPECT_FLOAT_EQ(s.GetProgress(), 0.0f);

  // The same state with a time changes nothing; instant ends the fade.
  s.SetState(kStatePressed, false, 50);
  EXPECT_EQ(s.GetFade(), 70u);
  EXPECT_TRUE(s.IsFading());
  s.SetState(kStatePressed, true, 50);
  EXPECT_FALSE(s.IsFading());
  EXPECT_FLOAT_EQ(s.GetProgress(), 1.0f);

  // A time of 0 is instant whatever the flag says; -1 takes the default.
  s.SetState(kStateNormal, false, 0);
  EXPECT_EQ(s.GetState(), kStateNormal);
  EXPECT_FALSE(s.IsFading());
  s.SetState(kStateHover, false, kFadeDefault);  // default 0
  EXPECT_FALSE(s.IsFading());
  s.SetDefaultFade(120);
  s.SetState(kStateNormal, false, kFadeDefault);
  EXPECT_EQ(s.GetFade(), 120u);
  EXPECT_TRUE(s.IsFading());
  // Time that runs past the fade settles it.
  Clock(5000);
  s.Update();
  EXPECT_EQ(s.GetPhase(), kPhaseSettled);
}

TEST_F(ControlStates, TheFlagAddsFourOnlyWhileItMayChange) {
  ControlState s;
  s.SetFlag(true, true, 0);
  EXPECT_EQ(s.GetState(), kStateNormal);  // the flag may not change
  s.EnableFlag(true);
  s.SetFlag(true, false, 100);
  EXPECT_EQ(s.GetState(), kStateNormal + kStateFlag);
  EXPECT_TRUE(s.IsFading());
  const u32 start = s.GetStart();
  Clock(1050);
  s.SetFlag(true, false, 100);  // unchanged
  EXPECT_EQ(s.GetStart(), start);
  s.SetState(kStateHover, true, 0);
  EXPECT_EQ(s.GetState(), kStateHover + kStateFlag);
  EXPECT_EQ(s.GetEnableBits(), kStateHover);
  s.SetVisible(false, true, 0);
  EXPECT_EQ(s.GetState(), kStateFlag);
  s.SetVisible(false, false, 100);  // hidden already
  EXPECT_FALSE(s.IsFading());
  s.SetVisible(true, false, 100);
  EXPECT_EQ(s.GetState(), kStateNormal + kStateFlag);
  s.SetFlag(false, true, 0);
  EXPECT_EQ(s.GetState(), kStateNormal);
}

}  // namespace
