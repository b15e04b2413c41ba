#include "ui/ControlState.h"

#include <algorithm>
#include <cmath>

#include "resources/ResourceServices.h"

void ControlState::Update() {
  if (phase_ != kPhaseFading) return;
  elapsed_ = GameClock() - start_;
  if (elapsed_ < fade_) {
    progress_ = static_cast<float>(elapsed_) / static_cast<float>(fade_);
  } else {
    elapsed_ = fade_;
    progress_ = 1.0f;
    phase_ = kPhaseSettled;
  }
}

// A reversal is a change back to the state the running fade came from; it
// starts at the mirrored point: the share of the old fade still to run,
// taken of the new fade.
void ControlState::SetState(u32 newState, bool instant, u32 fade) {
  const u32 target = (newState & kStateBaseMask) + (flag_ > 0 ? kStateFlag : 0);
  const u32 time = fade == kFadeDefault ? defaultFade_ : fade;
  if (time == 0) instant = true;
  const bool fading = phase_ == kPhaseFading;
  if (target == state_ && !(instant && fading)) return;

  const u32 cameFrom = previous_.state;
  previous_ = Snapshot{state_, fade_, elapsed_, start_, progress_};
  state_ = target;
  fade_ = time;
  if (instant) {
    phase_ = kPhaseSettled;
    start_ = 0;
    elapsed_ = fade_;
    progress_ = 1.0f;
    return;
  }
  start_ = GameClock();
  elapsed_ = 0;
  progress_ = 0.0f;
  if (fading && target == cameFrom && previous_.fade > 0) {
    const float left = static_cast<float>(previous_.fade - std::min(previous_.elapsed, previous_.fade)) /
                       static_cast<float>(previous_.fade);
    const u32 ahead = static_cast<u32>(std::floor(left * static_cast<float>(fade_) + 0.5f));
    start_ -= ahead;
    elapsed_ = ahead;
    progress_ = static_cast<float>(ahead) / static_cast<float>(fade_);
  }
  phase_ = kPhaseFading;
}

void ControlState::SetVisible(bool visible, bool instant, u32 fade) {
  const bool shown = (state_ & kStateBaseMask) != 0;
  if (shown == visible && !(instant && phase_ == kPhaseFading)) return;
  SetState(visible ? kStateNormal : kStateHidden, instant, fade);
}

void ControlState::SetFlag(bool flag, bool instant, u32 fade) {
  if (!flagEnabled_) return;
  const u8 value = flag ? 1 : 0;
  if (value == flag_ && !instant) return;
  flag_ = value;
  SetState(state_ & kStateBaseMask, instant, fade);
}
