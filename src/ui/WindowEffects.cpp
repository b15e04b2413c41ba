#include "ui/WindowEffects.h"

#include <algorithm>
#include <cmath>

#include "resources/ResourceServices.h"
#include "resources/SoundSettings.h"

namespace {

constexpr float kPi = 3.14159265358979f;

void PlayWindowSound(uintptr_t, uintptr_t, uintptr_t) {
  GetSoundSettings().PlaySound(GetStandardSound(kSoundWindow), kSoundGroupScreen, -1);
}

}  // namespace

SEffect_ShowWindow::SEffect_ShowWindow(float distance, u32 duration, u32 delay)
    : SpriteEffect(kEffectPosition, delay, duration, true), distance_(distance), startDelay_(delay) {}

SpriteEffect* SEffect_ShowWindow::Clone() const { return new SEffect_ShowWindow(distance_, duration_, startDelay_); }

float SEffect_ShowWindow::OffsetAt(float progress) const {
  return distance_ * (1.0f - std::sin(progress * kPi / 2));
}

bool SEffect_ShowWindow::Step() {
  if (!SpriteEffect::Step()) return false;
  if (delay_ == 0 && soundPending_) {
    soundPending_ = 0;
    DeferEffectCall(DEFERREDEFFECTCALL{&PlayWindowSound, {0, 0, 0}});
  }
  owner_->posX = 0.0f;
  owner_->posY = OffsetAt(progress_);
  return true;
}

SpriteEffect* SEffect_HideWindow::Clone() const { return new SEffect_HideWindow(distance_, duration_, startDelay_); }

float SEffect_HideWindow::OffsetAt(float progress) const {
  return distance_ * (1.0f - std::cos(progress * kPi / 2));
}

namespace {

u32 ProgressDuration(float start, float end) {
  const double ms = std::trunc((static_cast<double>(end) - start) * 2000.0);
  return static_cast<u32>(std::clamp<double>(ms, GameTimeStep(), 0xFFFFFFF0u));
}

}  // namespace

SEffect_SmAwProgress::SEffect_SmAwProgress(float start, float end, u32 delay)
    : SpriteEffect(0, delay, ProgressDuration(start, end), true), start_(start), distance_(end - start),
      value_(start), startDelay_(delay) {}

SpriteEffect* SEffect_SmAwProgress::Clone() const {
  return new SEffect_SmAwProgress(start_, start_ + distance_, startDelay_);
}

bool SEffect_SmAwProgress::Step() {
  if (!SpriteEffect::Step()) return false;
  value_ = start_ + distance_ * progress_;
  return true;
}
