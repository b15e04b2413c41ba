#include "resources/SEffects.h"

#include <cmath>

#include "base/Maths.h"
#include "resources/ColorEffects.h"
#include "resources/MotionEffects.h"
#include "resources/ResourceServices.h"
#include "resources/WaitEffects.h"

namespace {

constexpr float kPi = 3.14159265f;

void PlaySoundCall(uintptr_t sample, uintptr_t playFlags, uintptr_t) {
  GetSoundSettings().PlaySound(static_cast<u32>(sample), static_cast<u32>(playFlags), -1);
}

u32 PeriodOf(u32 period) { return period < 2 ? 1 : period; }

}  // namespace

// --- Sound and call --------------------------------------------------------------------------

SEffect_Sound::SEffect_Sound(u32 sample, u32 playFlags, u32 delay)
    : SpriteEffect(0, delay, 0, false), sample_(sample), playFlags_(playFlags), startDelay_(delay) {}

SpriteEffect* SEffect_Sound::Clone() const { return new SEffect_Sound(sample_, playFlags_, startDelay_); }

bool SEffect_Sound::Step() {
  if (!SpriteEffect::Step()) return false;
  if (delay_ != 0) return true;
  removeWhenDone_ = 1;
  DeferEffectCall(DEFERREDEFFECTCALL{&PlaySoundCall, {sample_, playFlags_, 0}});
  return false;
}

SEffect_Proc::SEffect_Proc(EffectProc function, uintptr_t a, uintptr_t b, uintptr_t c, u32 delay)
    : SpriteEffect(0, delay, 0, false), function_(function), args_{a, b, c}, startDelay_(delay) {}

SpriteEffect* SEffect_Proc::Clone() const {
  return new SEffect_Proc(function_, args_[0], args_[1], args_[2], startDelay_);
}

bool SEffect_Proc::Step() {
  if (!SpriteEffect::Step()) return false;
  if (delay_ != 0) return true;
  removeWhenDone_ = 1;
  DeferEffectCall(DEFERREDEFFECTCALL{function_, {args_[0], args_[1], args_[2]}});
  return false;
}

SEffect_Wait::SEffect_Wait(u32 duration) : SpriteEffect(0, 0, duration, true) {}

SpriteEffect* SEffect_Wait::Clone() const { return new SEffect_Wait(duration_); }

// --- Moves -----------------------------------------------------------------------------------------

SEffect_Pos::SEffect_Pos(float fromX, float fromY, float toX, float toY, u32 duration, bool removeWhenDone,
                         u32 delay)
    : SpriteEffect(kEffectPosition, delay, duration, removeWhenDone), fromX_(fromX), fromY_(fromY), toX_(toX),
      toY_(toY), startDelay_(delay) {}

SpriteEffect* SEffect_Pos::Clone() const {
  return new SEffect_Pos(fromX_, fromY_, toX_, toY_, duration_, removeWhenDone_ != 0, startDelay_);
}

bool SEffect_Pos::Step() {
  if (!SpriteEffect::Step()) return false;
  const float f = Fraction(progress_);
  owner_->posX = fromX_ + (toX_ - fromX_) * f;
  owner_->posY = fromY_ + (toY_ - fromY_) * f;
  return true;
}

SpriteEffect* SEffect_PosBump::Clone() const {
  return new SEffect_PosBump(fromX_, fromY_, toX_, toY_, duration_, removeWhenDone_ != 0, startDelay_);
}

float SEffect_PosBump::Fraction(float p) const {
  if (p <= 0.75f) return std::sin(p / 0.75f * kPi / 2) * 1.3f;
  return std::sin(kPi - (1.0f - p) / 0.25f * kPi / 2) * 0.3f + 1.0f;
}

SEffect_DisCenter::SEffect_DisCenter(u32 duration, i32 dx, i32 dy, u32 delay)
    : SpriteEffect(kEffectPosition | kEffectCentre, delay, duration, true), dx_(static_cast<float>(dx)),
      dy_(static_cast<float>(dy)), startDelay_(delay) {}

SpriteEffect* SEffect_DisCenter::Clone() const {
  return new SEffect_DisCenter(duration_, static_cast<i32>(dx_), static_cast<i32>(dy_), startDelay_);
}

bool SEffect_DisCenter::Step() {
  if (!SpriteEffect::Step()) return false;
  owner_->posX = -dx_;
  owner_->posY = -dy_;
  owner_->centreX = dx_;
  owner_->centreY = dy_;
  return true;
}

// --- Scales ------------------------------------------------------------------------------------------

SEffect_Build::SEffect_Build(u32 duration, u32 delay)
    : SpriteEffect(kEffectScale, delay, duration, true), startDelay_(delay) {}

SpriteEffect* SEffect_Build::Clone() const { return new SEffect_Build(duration_, startDelay_); }

// Rises tall and thin, squashes, overshoots wide and settles at 1 x 1.
void SEffect_Build::ScaleAt(float p, float* x, float* y) {
  float sx, sy;
  if (p < 0.7f) {
    sx = (1.0f - std::cos(p / 0.7f * kPi / 2)) * 1.2f;
    sy = p < 0.4f ? p * 1.5f / 0.4f : 1.5f - (p - 0.4f) * 0.7f / 0.3f;
  } else if (p < 0.9f) {
    sx = 1.2f - (p - 0.7f) * 0.3f / 0.2f;
    sy = (p - 0.7f) * 0.3f / 0.2f + 0.8f;
  } else {
    sx = (p - 0.9f) * 0.1f / 0.1f + 0.9f;
    sy = 1.1f - (p - 0.9f) * 0.1f / 0.1f;
  }
  if (x) *x = sx;
  if (y) *y = sy;
}

bool SEffect_Build::Step() {
  if (!SpriteEffect::Step()) return false;
  ScaleAt(progress_, &owner_->scaleX, &owner_->scaleY);
  return true;
}

SEffect_Scale::SEffect_Scale(float from, float to, u32 duration, bool removeWhenDone, u32 delay)
    : SpriteEffect(kEffectScale, delay, duration, removeWhenDone), from_(from), to_(to), startDelay_(delay) {}

SpriteEffect* SEffect_Scale::Clone() const {
  return new SEffect_Scale(from_, to_, duration_, removeWhenDone_ != 0, startDelay_);
}

float SEffect_Scale::ScaleAt() const { return from_ + (to_ - from_) * progress_; }

bool SEffect_Scale::Step() {
  if (!SpriteEffect::Step()) return false;
  owner_->scaleX = owner_->scaleY = ScaleAt();
  return true;
}

SpriteEffect* SEffect_PPScale::Clone() const {
  return new SEffect_PPScale(from_, to_, duration_, removeWhenDone_ != 0, startDelay_);
}

float SEffect_PPScale::ScaleAt() const {
  if (progress_ <= 0.5f) return from_ + 2.0f * (to_ - from_) * progress_;
  return to_ - 2.0f * (to_ - from_) * (progress_ - 0.5f);
}

SEffect_SinScale::SEffect_SinScale(float from, float to, u32 period, u32 duration, bool removeWhenDone, u32 delay)
    : SEffect_Scale(from, to, duration, removeWhenDone, delay), period_(PeriodOf(period)) {}

SpriteEffect* SEffect_SinScale::Clone() const {
  return new SEffect_SinScale(from_, to_, period_, duration_, removeWhenDone_ != 0, startDelay_);
}

float SEffect_SinScale::ScaleAt() const {
  const double phase = static_cast<double>(rawElapsed_) / period_ * 360.0 - 90.0;
  return static_cast<float>(std::sin(phase * kPi / 180.0) / 2 + 0.5) * (to_ - from_) + from_;
}

// --- Colours -------------------------------------------------------------------------------------------

SEffect_Color::SEffect_Color(u32 from, u32 to, u32 duration, bool removeWhenDone, u32 delay)
    : SpriteEffect(kEffectColor, delay, duration, removeWhenDone), from_(from), to_(to), startDelay_(delay) {}

SpriteEffect* SEffect_Color::Clone() const {
  return new SEffect_Color(from_, to_, duration_, removeWhenDone_ != 0, startDelay_);
}

bool SEffect_Color::Step() {
  if (!SpriteEffect::Step()) return false;
  owner_->color = kis::LerpColor(from_, to_, progress_);
  return true;
}

SEffect_Alpha::SEffect_Alpha(float from, float to, u32 duration, bool removeWhenDone, u32 delay)
    : SpriteEffect(kEffectColor, delay, duration, removeWhenDone), from_(from), to_(to), startDelay_(delay) {}

SpriteEffect* SEffect_Alpha::Clone() const {
  return new SEffect_Alpha(from_, to_, duration_, removeWhenDone_ != 0, startDelay_);
}

// The alpha byte is held to 0..255: ends beyond 0..1 would otherwise wrap
// into another value (or spill out of the byte).
bool SEffect_Alpha::Step() {
  if (!SpriteEffect::Step()) return false;
  const float a = from_ + (to_ - from_) * progress_;
  const i32 byte = kis::RoundToInt(a * 255.0f);
  const u32 alpha = static_cast<u32>(byte < 0 ? 0 : byte > 255 ? 255 : byte);
  owner_->color = (owner_->color & 0x00FFFFFFu) | alpha << 24;
  return true;
}

constexpr u32 kLogoFade = 500;

SEffect_Logo::SEffect_Logo(u32 duration)
    : SpriteEffect(kEffectColor, 0, duration + 2 * kLogoFade, true), logoDuration_(duration),
      fadeOutStart_(duration + kLogoFade) {}

SpriteEffect* SEffect_Logo::Clone() const { return new SEffect_Logo(logoDuration_); }

u32 SEffect_Logo::AlphaAt(u32 t) const {
  i32 a = 255;
  if (t < kLogoFade) a = kis::RoundToInt(255.0f * static_cast<float>(t) / kLogoFade);
  else if (t > fadeOutStart_)
    a = kis::RoundToInt(255.0f - 255.0f * static_cast<float>(t - fadeOutStart_) / kLogoFade);
  return static_cast<u32>(a < 0 ? 0 : a > 255 ? 255 : a);
}

bool SEffect_Logo::Step() {
  if (!SpriteEffect::Step()) return false;
  owner_->color = (owner_->color & 0x00FFFFFFu) | AlphaAt(elapsed_) << 24;
  return true;
}

SEffect_Gradient::SEffect_Gradient(bool removeWhenDone, u32 delay, u32 count, const u32* pairs)
    : SpriteEffect(kEffectColor, delay, 0, removeWhenDone), startDelay_(delay) {
  gradient_.AddStops(count, pairs);
  duration_ = gradient_.GetTotalTime();
}

SEffect_Gradient::SEffect_Gradient(bool removeWhenDone, u32 delay, const Gradient& gradient)
    : SpriteEffect(kEffectColor, delay, 0, removeWhenDone), startDelay_(delay) {
  gradient_.Assign(gradient);
  duration_ = gradient_.GetTotalTime();
}

SpriteEffect* SEffect_Gradient::Clone() const { return new SEffect_Gradient(removeWhenDone_ != 0, startDelay_, gradient_); }

bool SEffect_Gradient::Step() {
  if (!SpriteEffect::Step()) return false;
  owner_->color = gradient_.ColorAtProgress(progress_, false);
  return true;
}

// --- Rotation ----------------------------------------------------------------------------------------------

SEffect_Rotation::SEffect_Rotation(float startAngle, float degreesPerPeriod, u32 period, u32 duration,
                                   bool removeWhenDone, u32 delay)
    : SpriteEffect(kEffectRotation, delay, duration, removeWhenDone), startAngle_(startAngle),
      degrees_(degreesPerPeriod), period_(PeriodOf(period)), startDelay_(delay) {}

SpriteEffect* SEffect_Rotation::Clone() const {
  return new SEffect_Rotation(startAngle_, degrees_, period_, duration_, removeWhenDone_ != 0, startDelay_);
}

bool SEffect_Rotation::Step() {
  if (!SpriteEffect::Step()) return false;
  const double turned = static_cast<double>(rawElapsed_) / period_ * degrees_ + startAngle_;
  owner_->angle = kis::NormalizeAngle(static_cast<float>(turned));
  return true;
}
