// SpriteEffect and SpriteEffectList - timed effects on anything drawn.
//
// An owner keeps one pointer slot for its list. AttachSpriteEffect creates
// the list on first use; each frame the owner calls UpdateSpriteEffects just
// before drawing: the effects advance on the game clock (or on the list's own
// time), write their values into the list's accumulators, and the position,
// angle, scale and centre are applied to the game viewer's current transform
// (not to the device); the owner reads the colour (GetEffectColor). Finished
// effects delete themselves, and an empty list deletes itself and clears the
// slot, which tells the owner that its animation is over.
//
// Effects that call out of the list (a delayed sound, a delayed call) never
// run that code while a list is being stepped: the call waits until the
// step, and any DeferredEffectCalls scope around it, has finished, so the
// called code may delete the list, its effects or their owner. A list that is
// already being stepped is not stepped again from inside.
#pragma once

#include <vector>

#include "base/List.h"
#include "base/Types.h"
#include "engine/DXLDrawTypes.h"

class SpriteEffectList;

// The list properties an effect writes.
constexpr u8 kEffectPosition = 1;
constexpr u8 kEffectScale = 2;
constexpr u8 kEffectCentre = 4;
constexpr u8 kEffectColor = 8;
constexpr u8 kEffectRotation = 16;

constexpr u32 kEffectNotStarted = 0xFFFFFFFFu;
constexpr u32 kEffectGameClock = 0xFFFFFFFFu;  // a list's own time when it has none

class SpriteEffect {
 public:
  // kind: the properties the effect writes (also marked while its delay
  // runs); duration 0: complete as soon as the delay has passed.
  SpriteEffect(u8 kind, u32 delay, u32 duration, bool removeWhenDone);
  SpriteEffect(const SpriteEffect&) = delete;
  SpriteEffect& operator=(const SpriteEffect&) = delete;
  virtual ~SpriteEffect();  // leaves its owner's list

  // A new, unstarted effect of the same class from the same construction values.
  virtual SpriteEffect* Clone() const = 0;
  // Advances the effect; false when it is over (the list then deletes it).
  // The first step starts it 10 ms in; while the delay runs it marks its
  // kind and the subclass writes its starting value.
  virtual bool Step();

  // Leaves the old owner's list (if any) and joins the end of the new one's
  // (null: no owner). The owner list owns the effect.
  void SetOwner(SpriteEffectList* list);
  SpriteEffectList* GetOwner() const { return owner_; }
  void Restart(u32 delay);      // starts again now, after `delay`
  void SetElapsed(u32 time);    // as if started `time` ms ago (at most the duration)

  u8 GetKind() const { return kind_; }
  u32 GetDuration() const { return duration_; }
  u32 GetDelay() const { return delay_; }
  u32 GetElapsed() const { return elapsed_; }
  u32 GetRawElapsed() const { return rawElapsed_; }
  u32 GetStartTime() const { return start_; }
  float GetProgress() const { return progress_; }
  bool RemovesWhenDone() const { return removeWhenDone_ != 0; }

 protected:
  u32 Now() const;  // the owner's own time, or the game clock

  friend class SpriteEffectList;
  SpriteEffectList* owner_ = nullptr;
  u32 duration_;
  u32 rawElapsed_ = 0;
  u32 elapsed_ = 0;
  u32 start_ = kEffectNotStarted;
  u32 delay_;
  u8 kind_;
  u8 delayFlags_;
  u8 removeWhenDone_;
  float progress_ = 0.0f;
};

// A call an effect makes out of its list, run once no list step is under way.
struct DEFERREDEFFECTCALL {
  void (*function)(uintptr_t, uintptr_t, uintptr_t);
  uintptr_t args[3];
};

// The calls waiting for the outermost DeferredEffectCalls to end (below),
// kept in the resource services (ResourceServices::deferredEffectCalls).
struct DeferredEffectQueue {
  std::vector<DEFERREDEFFECTCALL> calls;
  u32 depth = 0;  // DeferredEffectCalls alive
  bool draining = false;
};

class SpriteEffectList {
 public:
  SpriteEffectList() = default;
  SpriteEffectList(const SpriteEffectList&) = delete;
  SpriteEffectList& operator=(const SpriteEffectList&) = delete;
  ~SpriteEffectList();  // deletes its effects, last to first

  void Add(SpriteEffect* effect);  // null does nothing
  // Resets the accumulators, steps every effect in order (deleting those
  // that end), adds the persistent flags and applies position, angle, scale
  // and centre to the viewer's current transform; the colour stays white
  // unless an effect wrote it. Disabled or empty: only the flags clear.
  void Step();
  // When the list's alpha differs from the quad's first vertex alpha, all
  // four vertices take the first vertex's RGB with the list's alpha.
  void ApplyAlpha(DXLQUAD* quad) const;

  i32 GetCount() const { return effects_.GetCount(); }
  SpriteEffect* Get(i32 index) const { return effects_.Get(index); }
  bool IsStepping() const { return stepping_ != nullptr; }

  // The accumulators, written by the effects during a step.
  u8 enabled = 1;
  u8 persistentFlags = 0;
  u8 flags = 0;
  float posX = 0.0f, posY = 0.0f;
  float scaleX = 1.0f, scaleY = 1.0f;
  float centreX = 0.0f, centreY = 0.0f;
  u32 color = 0xFFFFFFFFu;
  float angle = 0.0f;  // degrees
  u32 ownTime = kEffectGameClock;

 private:
  friend class SpriteEffect;
  friend bool UpdateSpriteEffects(SpriteEffectList** slot);
  struct StepState;
  void Join(SpriteEffect* effect);
  void Leave(SpriteEffect* effect);
  // Steps without running deferred calls; false when the list was deleted
  // during the step.
  bool StepEffects();
  void ApplyTransform() const;

  kis::list<SpriteEffect*> effects_;
  StepState* stepping_ = nullptr;  // the step under way
};

// Creates the list in the slot when it is empty and adds the effect; a null
// effect does nothing.
void AttachSpriteEffect(SpriteEffectList** slot, SpriteEffect* effect);
// Steps the slot's list: false for an empty slot; true while effects remain;
// when none do, deletes the list, clears the slot and gives false. The calls
// the effects made run as it returns (unless a DeferredEffectCalls scope is
// open): an owner that reads its list afterwards reads it through the slot,
// or opens a scope around its own draw.
bool UpdateSpriteEffects(SpriteEffectList** slot);
// The list's alpha with the colour's RGB when the list wrote a colour in its
// last step; otherwise the colour with alpha 0xFF.
u32 GetEffectColor(const SpriteEffectList* list, u32 color);
// Deletes the slot's list (if any) and clears the slot.
void DeleteSpriteEffects(SpriteEffectList** slot);

// Queues a call to run once the outermost DeferredEffectCalls scope ends
// (at once when none is open).
void DeferEffectCall(const DEFERREDEFFECTCALL& call);

// While one of these lives, calls that effects make out of their lists wait;
// the outermost one runs them, in order, when it ends. Open one around a
// loop over owners whose effects might delete owners of that loop.
class DeferredEffectCalls {
 public:
  DeferredEffectCalls();
  ~DeferredEffectCalls();
  DeferredEffectCalls(const DeferredEffectCalls&) = delete;
  DeferredEffectCalls& operator=(const DeferredEffectCalls&) = delete;
};
