#include "engine/DXLFrameTimer.h"

#include "platform/os/Clock.h"

u32 DXLFrameTimer::Tick() {
  if (runningCount_ == 0) {
    lastDelta_ = 0;
    return 0;
  }
  const u32 now = plat::GetTimeMs();
  u32 delta = now - lastTime_;
  totalTime_ += delta;
  if (pauseCount_ != 0) {
    delta = 0;
  } else {
    gameTime_ += delta;
  }
  lastTime_ = now;
  lastDelta_ = delta;
  return delta;
}

void DXLFrameTimer::Start() {
  if (runningCount_++ == 0) lastTime_ = plat::GetTimeMs();
}

void DXLFrameTimer::Stop() {
  if (runningCount_ == 0) return;
  if (--runningCount_ == 0) lastDelta_ = 0;
}
