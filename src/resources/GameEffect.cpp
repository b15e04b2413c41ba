#include "resources/GameEffect.h"

#include <cstring>

#include "base/Clock.h"
#include "engine/DXLInput.h"
#include "gametext/TextServices.h"
#include "resources/ResourceServices.h"

namespace {

// The thirteen callback words in record order, with the mask bit of each.
using AnyCallback = void (*)();
constexpr int kSlots = 13;
constexpr u32 kSlotBits[kSlots] = {0x1,   0x2,   0x4,    0x10,    0x20,    0x100,  0x200,
                                   0x400, 0x800, 0x1000, 0x10000, 0x20000, 0x40000};
static_assert(sizeof(DXLCALLBACKS) == sizeof(AnyCallback) * kSlots, "DXLCALLBACKS is thirteen words");

struct Slots {
  AnyCallback at[kSlots];
};

Slots SlotsOf(const DXLCALLBACKS& record) {
  Slots s;
  std::memcpy(static_cast<void*>(s.at), &record, sizeof record);
  return s;
}

DXLCALLBACKS RecordOf(const Slots& s) {
  DXLCALLBACKS record;
  std::memcpy(static_cast<void*>(&record), s.at, sizeof record);
  return record;
}

// Hook flags and the frame callbacks each takes over, in hooking order and
// in unhooking order.
struct HookMask {
  u32 flag;
  u32 callbacks;
};
constexpr HookMask kHookOrder[] = {{kHookUpdate, kCallbackUpdate},
                                   {kHookRender, kCallbackRender},
                                   {kHookMouse, kCallbackMouse},
                                   {kHookKeyboard, kCallbackKeyboard},
                                   {kHookCursor, kCallbackCursorQuery}};
constexpr HookMask kUnhookOrder[] = {{kHookUpdate, kCallbackUpdate},
                                     {kHookRender, kCallbackRender},
                                     {kHookCursor, kCallbackCursorQuery},
                                     {kHookMouse, kCallbackMouse},
                                     {kHookKeyboard, kCallbackKeyboard}};

// Releases what the device holds pressed, for hook flags 1 and 2.
void ReleaseInput(u32 flag) {
  DXLInput* input = DXLGetInput();
  if (!input) return;
  if (flag == kHookMouse) input->ResetState(kInputMouse);
  if (flag == kHookKeyboard) input->ResetState(kInputKeyboard);
}

GameEffect*& Current() { return GetResourceServices().effect; }

// Each destructor unlinks its effect from the list.
void FlushRetired() {
  while (GameEffect* effect = GetResourceServices().retiredEffects) delete effect;
}

// --- The callbacks every effect installs ------------------------------------------------------

void EffectCursor(u32* slot) {
  GameEffectCall call;
  if (GameEffect* effect = Current(); effect && slot) *slot = effect->GetCursor();
}

// Updates the current effect; one that stopped running is deleted and its
// completion callback called, unless another effect has taken its place.
void EffectUpdate() {
  GameEffectCall call;
  GameEffect* effect = Current();
  if (!effect) return;
  const GameEffectCallback completion = effect->GetCompletion();
  effect->Update();
  if (Current() == effect && !effect->IsRunning()) RetireGameEffect(effect);
  if (!Current() && completion) completion();
}

void EffectRender() {
  GameEffectCall call;
  if (GameEffect* effect = Current()) effect->Draw();
}

}  // namespace

// --- GameEffect ----------------------------------------------------------------------------------

GameEffect::GameEffect(u32 realTime, u32 duration, u32 hookFlags)
    : hookFlags_(hookFlags), duration_(duration), progress_(duration == 0 ? 1.0f : 0.0f), realTime_(realTime) {
  if (Current()) RetireGameEffect(Current());
  Current() = this;
  start_ = Now();
  own_.cursorQuery = &EffectCursor;
  own_.update = &EffectUpdate;
  own_.render = &EffectRender;
}

GameEffect::~GameEffect() {
  Unhook();
  if (Current() == this) Current() = nullptr;
  GameEffect** link = &GetResourceServices().retiredEffects;
  while (*link && *link != this) link = &(*link)->nextRetired_;
  if (*link) *link = nextRetired_;
}

u32 GameEffect::Now() const { return realTime_ ? kis::GetTimeMs() : GameClock(); }

void GameEffect::RestartTimer(u32 elapsed) { start_ = Now() - elapsed; }

void GameEffect::Start() {
  if (running_ || duration_ == 0 || retired_) return;
  running_ = 1;
  Hook(hookFlags_);
}

void GameEffect::End() {
  running_ = 0;
  Unhook();
}

void GameEffect::Update() {
  if (saved_.update) saved_.update();
  if (retired_ || !running_ || duration_ == kEffectUntimed) return;
  const u32 elapsed = Now() - start_;
  elapsed_ = elapsed < duration_ ? elapsed : duration_;
  progress_ = duration_ == 0 ? 1.0f : static_cast<float>(elapsed_) / static_cast<float>(duration_);
  if (elapsed_ >= duration_) End();
}

void GameEffect::Draw() {
  if (saved_.render) saved_.render();
}

// Each group of callbacks is saved and replaced by the effect's own. A slot
// that already holds the effect's own callback (hooking again after a state
// change) keeps what was saved for it before.
void GameEffect::Hook(u32 flags) {
  if (retired_) return;
  if (running_ && !silencing_) {
    silencing_ = true;
    GetTextServices().messagesOff = true;
  }
  installed_ = flags;
  DXLCALLBACKS frame;
  DXLGetCallbacks(kCallbackAll, &frame);
  const Slots current = SlotsOf(frame), own = SlotsOf(own_);
  Slots saved = SlotsOf(saved_);
  for (const HookMask& m : kHookOrder) {
    if (!(flags & m.flag)) continue;
    ReleaseInput(m.flag);
    for (int i = 0; i < kSlots; ++i) {
      if (!(kSlotBits[i] & m.callbacks)) continue;
      if (!(own.at[i] && current.at[i] == own.at[i])) saved.at[i] = current.at[i];
    }
    saved_ = RecordOf(saved);
    DXLSetCallbacks(m.callbacks, &own_);
  }
}

// A slot that no longer holds the effect's callback (the state change of a
// screen switch installed the new screen's) keeps what it holds.
void GameEffect::Unhook() {
  if (silencing_) {
    silencing_ = false;
    GetTextServices().messagesOff = false;
  }
  if (!installed_) return;
  const Slots own = SlotsOf(own_), saved = SlotsOf(saved_);
  for (const HookMask& m : kUnhookOrder) {
    if (!(installed_ & m.flag)) continue;
    ReleaseInput(m.flag);
    DXLCALLBACKS frame;
    DXLGetCallbacks(kCallbackAll, &frame);
    Slots current = SlotsOf(frame);
    for (int i = 0; i < kSlots; ++i)
      if ((kSlotBits[i] & m.callbacks) && current.at[i] == own.at[i]) current.at[i] = saved.at[i];
    const DXLCALLBACKS restored = RecordOf(current);
    DXLSetCallbacks(m.callbacks, &restored);
  }
  installed_ = 0;
  saved_ = DXLCALLBACKS{};
}

// --- The current effect --------------------------------------------------------------------------

void RunGameEffect(GameEffect* effect) {
  if (effect) effect->Start();
}

GameEffect* GetGameEffect() { return Current(); }

void RetireGameEffect(GameEffect* effect) {
  if (!effect || effect->retired_) return;
  effect->Unhook();
  effect->running_ = 0;
  effect->retired_ = true;
  if (Current() == effect) Current() = nullptr;
  ResourceServices& g = GetResourceServices();
  effect->nextRetired_ = g.retiredEffects;
  g.retiredEffects = effect;
}

void ClearGameEffects() {
  if (Current()) RetireGameEffect(Current());
  FlushRetired();
}

GameEffectCall::GameEffectCall() { ++GetResourceServices().effectCalls; }

GameEffectCall::~GameEffectCall() {
  ResourceServices& g = GetResourceServices();
  if (--g.effectCalls == 0) FlushRetired();
}
