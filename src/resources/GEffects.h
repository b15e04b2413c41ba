// The screen effects (GameEffect.h):
//
// GEffect_ShowHide darkens the screen to black (the fade-in, phase 0),
// holds it covered (phase 1, whose start calls the covered callback),
// brightens it again (the fade-out, phase 2) and ends (phase 3); it runs on
// the millisecond timer, always takes over update and render, and draws a
// black quad over the game's screen rectangle on top of the screen below.
// Phases are never skipped, and ending early passes through the rest. A
// fade with no time at all still runs: its first update covers, switches and
// ends.
//
// GEffect_Regime is the screen change: a fade that, once the screen is
// covered, switches the application to its target state (unless the game is
// in it already) and hooks in again over the new screen's callbacks; the
// time the switch took does not count. It fades out the sounds of the
// screen's group (kSoundGroupScreen, over 250 ms) as it is made.
//
// GEffect_Skip waits on the game clock; a click (a button pressed and
// released during the wait) or any key released other than Shift, Control
// and Alt cuts it short and calls its skip callback.
#pragma once

#include "resources/GameEffect.h"

class GEffect_ShowHide : public GameEffect {
 public:
  GEffect_ShowHide(GameEffectCallback covered, u32 fadeIn, u32 fadeOut, u32 hold, u32 mode, u32 hookFlags);

  void Start() override;
  void End() override;
  void Update() override;
  void Draw() override;
  virtual void SetPhase(u8 phase);

  u8 GetPhase() const { return phase_; }
  u32 GetPhaseEnd() const { return phaseEnd_; }
  u32 GetMode() const { return mode_; }
  // The quad's alpha, 0..255, for the phase and time.
  u32 GetAlpha() const;

 protected:
  u32 mode_;
  u32 fadeOut_;
  u32 fadeIn_;
  u32 hold_;
  u8 phase_ = 0;
  u32 phaseEnd_;
  GameEffectCallback covered_;
  DXLCOLORVERTEX quad_[4] = {};
};

class GEffect_Regime : public GEffect_ShowHide {
 public:
  GEffect_Regime(u32 targetState, u32 fadeIn, u32 fadeOut, u32 hold, u32 mode);

  void Update() override;
  void SetPhase(u8 phase) override;
  u32 GetTarget() const { return target_; }

 private:
  u32 target_;
};

class GEffect_Skip : public GameEffect {
 public:
  GEffect_Skip(GameEffectCallback skip, u32 duration, u32 hookFlags);

  // Ends at once, after the skip callback, when running.
  virtual void Skip();
  void OnMouseDown(u32 button);
  void OnMouseUp(u32 button);
  void OnKeyUp(u16 key);
  u32 GetPressed() const { return pressed_; }

 private:
  u32 pressed_ = 0;
  GameEffectCallback skip_;
};
