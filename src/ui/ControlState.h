// ControlState - the visual state of a window or a control: one of four
// states (0 hidden or disabled, 1 normal, 2 hover, 3 pressed or dragging),
// plus 4 while its secondary flag is set (checked, selected, open), and a
// timed cross-fade from the state it left. Owners draw the previous state
// under the current one by the progress (0..1, 1 when settled) and step it
// once per frame with Update. Fades run on the game clock.
//
// A change that reverses a running fade starts as far along as the
// interrupted fade still had to go, so the picture never jumps. A fade time
// of 0 is always instant.
#pragma once

#include "base/Types.h"

// The base states (low two bits of the state word).
constexpr u32 kStateHidden = 0;
constexpr u32 kStateNormal = 1;
constexpr u32 kStateHover = 2;
constexpr u32 kStatePressed = 3;
constexpr u32 kStateBaseMask = 3;
constexpr u32 kStateFlag = 4;  // added while the secondary flag is set

constexpr u32 kFadeDefault = 0xFFFFFFFFu;  // a fade time of -1: the owner's default

// Phases.
constexpr u32 kPhaseSettled = 1;
constexpr u32 kPhaseFading = 2;

class ControlState {
 public:
  // The part of the state that a change copies into the previous state.
  struct Snapshot {
    u32 state;
    u32 fade;     // ms
    u32 elapsed;  // ms
    u32 start;    // game-clock ms at which the fade began
    float progress;
  };

  ControlState() = default;
  virtual ~ControlState() = default;

  // Once per frame: advances a running fade by the game clock.
  virtual void Update();

  // Moves to newState (its base; the flag adds 4 by itself) over `fade` ms
  // (kFadeDefault: the default fade), or at once with `instant`. The same
  // state again changes nothing, except that an instant change ends a
  // running fade at once.
  void SetState(u32 newState, bool instant, u32 fade);
  // State 1 or 0; nothing when already so, unless an instant change ends a fade.
  void SetVisible(bool visible, bool instant, u32 fade);
  // Only while the flag may change; the same flag again changes nothing
  // unless instant.
  void SetFlag(bool flag, bool instant, u32 fade);

  u32 GetEnableBits() const { return state_ & kStateBaseMask; }  // non-zero: shown and enabled
  u32 GetState() const { return state_; }
  u32 GetPhase() const { return phase_; }
  bool IsFading() const { return phase_ == kPhaseFading; }
  u32 GetFade() const { return fade_; }
  u32 GetElapsed() const { return elapsed_; }
  u32 GetStart() const { return start_; }
  float GetProgress() const { return progress_; }
  const Snapshot& GetPrevious() const { return previous_; }
  bool GetFlag() const { return flag_ != 0; }

  u32 GetDefaultFade() const { return defaultFade_; }
  void SetDefaultFade(u32 ms) { defaultFade_ = ms; }
  bool IsFlagEnabled() const { return flagEnabled_ != 0; }
  void EnableFlag(bool on) { flagEnabled_ = on ? 1 : 0; }

 private:
  u32 defaultFade_ = 0;
  u8 flagEnabled_ = 0;
  u8 flag_ = 0;
  u32 phase_ = kPhaseSettled;
  u32 state_ = kStateNormal;
  u32 fade_ = 0;
  u32 elapsed_ = 0;
  u32 start_ = 0;
  float progress_ = 1.0f;
  Snapshot previous_{kStateNormal, 0, 0, 0, 1.0f};
};
