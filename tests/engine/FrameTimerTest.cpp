#include <gtest/gtest.h>

#include "engine/DXLFrameTimer.h"
#include "platform/os/Clock.h"
#include "platform/os/PlatformServices.h"

namespace {

class FrameTimer : public ::testing::Test {
 protected:
  plat::FakeClock clock_{0xFFFFFF00u};  // wraps during the tests
  plat::PlatformServicesScope scope_{{.clock = &clock_}};
  DXLFrameTimer timer_;
};

TEST_F(FrameTimer, StoppedTimerGivesNoTime) {
  clock_.Advance(100);
  EXPECT_EQ(timer_.Tick(), 0u);
  timer_.Start();
  clock_.Advance(30);
  EXPECT_EQ(timer_.Tick(), 30u);
  clock_.Advance(500);  // across the clock's wrap
  EXPECT_EQ(timer_.Tick(), 500u);
  EXPECT_EQ(timer_.GetGameTime(), 530u);
}

TEST_F(FrameTimer, PausedTimeCountsInTheTotalOnly) {
  timer_.Start();
  timer_.Pause();
  timer_.Pause();
  clock_.Advance(40);
  EXPECT_EQ(timer_.Tick(), 0u);
  timer_.Resume();
  clock_.Advance(40);
  EXPECT_EQ(timer_.Tick(), 0u);
  timer_.Resume();
  timer_.Resume();  // one too many does nothing
  clock_.Advance(25);
  EXPECT_EQ(timer_.Tick(), 25u);
  EXPECT_EQ(timer_.GetGameTime(), 25u);
  EXPECT_EQ(timer_.GetTotalTime(), 105u);
}

TEST_F(FrameTimer, TimeWhileStoppedNeverReachesTheGame) {
  timer_.Start();
  clock_.Advance(16);
  timer_.Tick();
  timer_.Stop();  // minimised for ten seconds
  clock_.Advance(10000);
  EXPECT_EQ(timer_.Tick(), 0u);
  EXPECT_EQ(timer_.GetLastDelta(), 0u);
  timer_.Start();
  clock_.Advance(16);
  EXPECT_EQ(timer_.Tick(), 16u);
  EXPECT_EQ(timer_.GetGameTime(), 32u);

  timer_.Start();  // nested: the inner stop keeps it running
  timer_.Stop();
  clock_.Advance(5);
  EXPECT_EQ(timer_.Tick(), 5u);
}

}  // namespace
