// DXLFrameTimer - the game's clock, ticked once per idle pass of the main
// loop. Start and Stop nest (a running count), Pause and Resume nest (a pause
// count). Each tick adds the time since the previous tick to the total and,
// unless paused, to the game time; a stopped timer gives deltas of 0. Every
// start that takes the timer from stopped to running takes "now" as its last
// time, so time spent stopped (the window minimised) never reaches the game.
#pragma once

#include "base/Types.h"

class DXLFrameTimer {
 public:
  DXLFrameTimer() = default;
  DXLFrameTimer(const DXLFrameTimer&) = delete;
  DXLFrameTimer& operator=(const DXLFrameTimer&) = delete;
  ~DXLFrameTimer() { Stop(); }

  u32 Tick();  // the delta of this tick (0 while stopped or paused)
  void Start();
  void Stop();
  void Pause() { ++pauseCount_; }
  void Resume() {
    if (pauseCount_ > 0) --pauseCount_;
  }

  bool IsRunning() const { return runningCount_ != 0; }
  bool IsPaused() const { return pauseCount_ != 0; }
  u32 GetGameTime() const { return gameTime_; }
  u32 GetTotalTime() const { return totalTime_; }
  u32 GetLastDelta() const { return lastDelta_; }

 private:
  u32 runningCount_ = 0;
  u32 pauseCount_ = 0;
  u32 lastTime_ = 0;
  u32 totalTime_ = 0;
  u32 gameTime_ = 0;
  u32 lastDelta_ = 0;
};
