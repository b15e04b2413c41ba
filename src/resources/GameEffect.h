// GameEffect - the one current full-screen effect. While it runs it takes
// over some of the frame's callbacks (hook flags: 1 mouse, 2 keyboard, 4
// cursor, 8 update, 0x10 render) and forwards update and render to the ones
// it replaced, so the screen underneath goes on. The frame's callbacks carry
// no context: they reach the effect through the resource services.
//
// Lifecycle: the creator constructs the effect (which replaces the current
// one) and starts it with RunGameEffect. Each frame the update callback
// updates it; once it is no longer running it is deleted and its completion
// callback, if any, is called.
//
// A replaced effect gives the frame its callbacks back at once and is inert
// from then on; it is deleted when the frame's call into effects that is
// under way returns (or by ClearGameEffects). So an effect may be created
// from inside the current one's callbacks (a covered callback, the state
// change of a screen switch, a skip callback, the screen underneath).
// Unhooking restores only the callbacks the effect still holds: what a state
// change installed meanwhile stays.
//
// The game's messages are off while an effect runs (from its start until it
// ends, is replaced or is deleted): no message pops up over a fade.
#pragma once

#include "base/Types.h"
#include "engine/DXLApp.h"

using GameEffectCallback = void (*)();

constexpr u32 kHookMouse = 0x1;
constexpr u32 kHookKeyboard = 0x2;
constexpr u32 kHookCursor = 0x4;
constexpr u32 kHookUpdate = 0x8;
constexpr u32 kHookRender = 0x10;
constexpr u32 kHookAll = 0x1F;

constexpr u32 kEffectUntimed = 0xFFFFFFFFu;  // a duration the base does not advance
constexpr u32 kEffectCursorId = 258;          // the grey arrow

class GameEffect {
 public:
  // realTime: 0 runs on the game clock, else on the millisecond timer.
  // Replaces the current effect and becomes current; not running yet.
  GameEffect(u32 realTime, u32 duration, u32 hookFlags);
  GameEffect(const GameEffect&) = delete;
  GameEffect& operator=(const GameEffect&) = delete;
  virtual ~GameEffect();  // unhooks; no longer current

  // Runs and hooks in, unless running already or the duration is 0.
  virtual void Start();
  // Stops running and unhooks.
  virtual void End();
  // The replaced update callback, then the time; End once the duration is reached.
  virtual void Update();
  // The replaced render callback.
  virtual void Draw();

  void SetCompletion(GameEffectCallback callback) { completion_ = callback; }
  GameEffectCallback GetCompletion() const { return completion_; }
  bool IsRunning() const { return running_ != 0; }
  bool IsRetired() const { return retired_; }
  u32 GetElapsed() const { return elapsed_; }
  u32 GetDuration() const { return duration_; }
  float GetProgress() const { return progress_; }
  u32 GetHookFlags() const { return hookFlags_; }
  u32 GetInstalledFlags() const { return installed_; }
  u32 GetCursor() const { return cursor_; }
  void SetCursor(u32 id) { cursor_ = id; }

 protected:
  void Hook(u32 flags);
  void Unhook();
  u32 Now() const;
  // The time goes on from `elapsed`: start = now - elapsed.
  void RestartTimer(u32 elapsed);

  DXLCALLBACKS own_{};    // what the effect installs
  u32 hookFlags_;
  DXLCALLBACKS saved_{};  // what it replaced
  u32 installed_ = 0;
  GameEffectCallback completion_ = nullptr;
  u8 running_ = 0;
  u32 start_;
  u32 elapsed_ = 0;
  u32 duration_;
  float progress_;
  u32 cursor_ = kEffectCursorId;
  u32 realTime_;

 private:
  friend void RetireGameEffect(GameEffect* effect);
  friend void ClearGameEffects();
  bool retired_ = false;
  bool silencing_ = false;  // this effect switched the game's messages off
  GameEffect* nextRetired_ = nullptr;
};

// Starts the effect (Start). Null does nothing.
void RunGameEffect(GameEffect* effect);
GameEffect* GetGameEffect();  // the current effect, or null
// Unhooks the effect, makes it inert and no longer current, and queues it
// for deletion when the frame's call under way returns.
void RetireGameEffect(GameEffect* effect);
// Retires the current effect and deletes every retired one (shutdown and
// tests; never from inside an effect's code).
void ClearGameEffects();

// Brackets a call from the frame into the current effect; when the
// outermost one ends, the retired effects are deleted.
class GameEffectCall {
 public:
  GameEffectCall();
  ~GameEffectCall();
  GameEffectCall(const GameEffectCall&) = delete;
  GameEffectCall& operator=(const GameEffectCall&) = delete;
};
