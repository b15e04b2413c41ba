#include "resources/GEffects.h"

#include "base/Maths.h"
#include "engine/DXLViewer.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"

// --- GEffect_ShowHide ------------------------------------------------------------------------

GEffect_ShowHide::GEffect_ShowHide(GameEffectCallback covered, u32 fadeIn, u32 fadeOut, u32 hold, u32 mode,
                                   u32 hookFlags)
    : GameEffect(1, fadeIn + fadeOut + hold, hookFlags | kHookUpdate | kHookRender), mode_(mode),
      fadeOut_(fadeOut), fadeIn_(fadeIn), hold_(hold), phaseEnd_(fadeIn), covered_(covered) {}

// A fade without time must still cover and uncover (a screen change would
// otherwise be lost): it runs, and its first update does the rest.
void GEffect_ShowHide::Start() {
  if (duration_ != 0 || running_ || IsRetired()) {
    GameEffect::Start();
    return;
  }
  running_ = 1;
  Hook(hookFlags_);
}

void GEffect_ShowHide::End() {
  while (phase_ < 3 && !IsRetired()) SetPhase(static_cast<u8>(phase_ + 1));
  if (!IsRetired()) GameEffect::End();
}

void GEffect_ShowHide::Update() {
  if (running_ && phase_ != 3 && phaseEnd_ <= elapsed_) SetPhase(static_cast<u8>(phase_ + 1));
  if (IsRetired()) return;
  GameEffect::Update();
}

void GEffect_ShowHide::SetPhase(u8 phase) {
  if (phase > phase_ + 1) {
    SetPhase(static_cast<u8>(phase_ + 1));
    if (IsRetired()) return;
  }
  phase_ = phase;
  if (phase == 1) {
    phaseEnd_ = fadeIn_ + hold_;
    if (covered_) covered_();
    if (IsRetired()) return;
  } else if (phase == 2) {
    phaseEnd_ = fadeIn_ + hold_ + fadeOut_;
  }
  RestartTimer(elapsed_);
}

u32 GEffect_ShowHide::GetAlpha() const {
  float f = 0.0f;
  if (phase_ == 0) {
    f = fadeIn_ == 0 ? 1.0f : static_cast<float>(elapsed_ < fadeIn_ ? elapsed_ : fadeIn_) / fadeIn_;
  } else if (phase_ == 1) {
    f = 1.0f;
  } else if (phase_ == 2 && fadeOut_ != 0) {
    f = (static_cast<float>(phaseEnd_) - static_cast<float>(elapsed_)) / fadeOut_;
  }
  const i32 a = kis::RoundToInt(f * 255.0f);
  return static_cast<u32>(a < 0 ? 0 : a > 255 ? 255 : a);
}

// The screen below, then black over the game's screen rectangle grown by a
// pixel on every side, untextured and alpha-blended, in screen pixels.
void GEffect_ShowHide::Draw() {
  GameEffect::Draw();
  DXLViewer* viewer = GetGameViewer();
  if (IsRetired() || !viewer) return;
  const DXLRECT& r = GetResourceServices().screen.rect;
  const float l = static_cast<float>(r.left - 1), t = static_cast<float>(r.top - 1);
  const float rt = static_cast<float>(r.right + 1), b = static_cast<float>(r.bottom + 1);
  const u32 color = GetAlpha() << 24;
  quad_[0] = DXLCOLORVERTEX{l, t, 0.0f, color};
  quad_[1] = DXLCOLORVERTEX{rt, t, 0.0f, color};
  quad_[2] = DXLCOLORVERTEX{rt, b, 0.0f, color};
  quad_[3] = DXLCOLORVERTEX{l, b, 0.0f, color};
  UnbindDrawTexture();
  viewer->SetTexture(nullptr);
  viewer->SetBlendMode(kBlendAlpha);
  viewer->ResetWorldTransform();
  viewer->DrawColorQuad(quad_);
}

// --- GEffect_Regime -----------------------------------------------------------------------------

GEffect_Regime::GEffect_Regime(u32 targetState, u32 fadeIn, u32 fadeOut, u32 hold, u32 mode)
    : GEffect_ShowHide(nullptr, fadeIn, fadeOut, hold, mode, kHookAll), target_(targetState) {
  GetSoundSettings().FadeOutSounds(kSoundGroupScreen);
}

void GEffect_Regime::Update() {
  if (running_) GEffect_ShowHide::Update();
}

// The state change tears down the old screen and installs the new one's
// callbacks over the effect's; hooking again puts the effect back on top
// with the new screen underneath.
void GEffect_Regime::SetPhase(u8 phase) {
  GEffect_ShowHide::SetPhase(phase);
  if (IsRetired()) return;
  if (phase == 1 && target_ != DXLGetAppState()) {
    DXLSetAppState(target_, false);
    if (IsRetired()) return;
    if (installed_) Hook(hookFlags_);
  }
  RestartTimer(elapsed_);
}

// --- GEffect_Skip -----------------------------------------------------------------------------------

namespace {

GEffect_Skip* CurrentSkip() { return dynamic_cast<GEffect_Skip*>(GetGameEffect()); }

void SkipMouseDown(DXLPOINT, u32 button, u32) {
  GameEffectCall call;
  if (GEffect_Skip* skip = CurrentSkip()) skip->OnMouseDown(button);
}

void SkipMouseUp(DXLPOINT, u32 button, u32) {
  GameEffectCall call;
  if (GEffect_Skip* skip = CurrentSkip()) skip->OnMouseUp(button);
}

void SkipKeyUp(u16 key, u32) {
  GameEffectCall call;
  if (GEffect_Skip* skip = CurrentSkip()) skip->OnKeyUp(key);
}

u32 ButtonBit(u32 button) { return button < 32 ? 1u << button : 0; }

}  // namespace

GEffect_Skip::GEffect_Skip(GameEffectCallback skip, u32 duration, u32 hookFlags)
    : GameEffect(0, duration, hookFlags | kHookMouse | kHookKeyboard), skip_(skip) {
  own_.mouseDown = &SkipMouseDown;
  own_.mouseUp = &SkipMouseUp;
  own_.keyUp = &SkipKeyUp;
}

void GEffect_Skip::Skip() {
  if (!running_) return;
  elapsed_ = duration_;
  progress_ = 1.0f;
  RestartTimer(duration_);
  if (skip_) skip_();
  if (!IsRetired()) End();
}

void GEffect_Skip::OnMouseDown(u32 button) {
  if (running_) pressed_ |= ButtonBit(button);
}

void GEffect_Skip::OnMouseUp(u32 button) {
  if (running_ && (pressed_ & ButtonBit(button))) Skip();
}

// Releasing a modifier alone (Control, Shift, Alt on either side) does not skip.
void GEffect_Skip::OnKeyUp(u16 key) {
  switch (key) {
    case 0x1D: case 0x9D: case 0x2A: case 0x36: case 0x38: case 0xB8:
      return;
    default:
      Skip();
  }
}
