#include "resources/SpriteEffect.h"

#include "engine/DXLViewer.h"
#include "resources/ResourceServices.h"

// --- Deferred calls ---------------------------------------------------------------------------

namespace {

DeferredEffectQueue& Deferred() { return GetResourceServices().deferredEffectCalls; }

// Runs the queue in order; calls queued meanwhile run in the same pass.
void Drain() {
  DeferredEffectQueue& d = Deferred();
  d.draining = true;
  for (size_t i = 0; i < d.calls.size(); ++i) {
    const DEFERREDEFFECTCALL call = d.calls[i];
    if (call.function) call.function(call.args[0], call.args[1], call.args[2]);
  }
  d.calls.clear();
  d.draining = false;
}

}  // namespace

void DeferEffectCall(const DEFERREDEFFECTCALL& call) {
  DeferredEffectQueue& d = Deferred();
  d.calls.push_back(call);
  if (d.depth == 0 && !d.draining) Drain();
}

DeferredEffectCalls::DeferredEffectCalls() { ++Deferred().depth; }

DeferredEffectCalls::~DeferredEffectCalls() {
  DeferredEffectQueue& d = Deferred();
  if (--d.depth == 0 && !d.draining && !d.calls.empty()) Drain();
}

// --- SpriteEffect ------------------------------------------------------------------------------

SpriteEffect::SpriteEffect(u8 kind, u32 delay, u32 duration, bool removeWhenDone)
    : duration_(duration), delay_(delay), kind_(kind), delayFlags_(kind), removeWhenDone_(removeWhenDone ? 1 : 0) {}

SpriteEffect::~SpriteEffect() {
  if (owner_) owner_->Leave(this);
}

u32 SpriteEffect::Now() const {
  if (owner_ && owner_->ownTime != kEffectGameClock) return owner_->ownTime;
  return GameClock();
}

void SpriteEffect::SetOwner(SpriteEffectList* list) {
  if (list == owner_) return;
  if (owner_) owner_->Leave(this);
  owner_ = list;
  if (owner_) owner_->Join(this);
}

void SpriteEffect::Restart(u32 delay) {
  start_ = Now();
  delay_ = delay;
}

void SpriteEffect::SetElapsed(u32 time) { start_ = Now() - (time < duration_ ? time : duration_); }

// Times are unsigned: a list's own time set behind an effect's start makes
// the elapsed time huge, and the effect jumps to its end.
bool SpriteEffect::Step() {
  const u32 now = Now();
  if (start_ == kEffectNotStarted) start_ = now - 10;
  u32 elapsed = now - start_;
  if (delay_ != 0) {
    if (elapsed < delay_) {
      if (owner_) owner_->flags |= delayFlags_;
      return true;
    }
    elapsed -= delay_;
    start_ += delay_;
    delay_ = 0;
  }
  rawElapsed_ = elapsed;
  elapsed_ = elapsed < duration_ ? elapsed : duration_;
  if (elapsed_ == duration_ && removeWhenDone_) return false;
  if (owner_) owner_->flags |= kind_;
  progress_ = duration_ == 0 ? 1.0f : static_cast<float>(elapsed_) / static_cast<float>(duration_);
  return true;
}

// --- SpriteEffectList ----------------------------------------------------------------------------

// Where the step under way stands: an effect that leaves the list moves the
// index back, so the next one, which moved into its place, is stepped next.
struct SpriteEffectList::StepState {
  i32 index = 0;
  bool currentGone = false;
  bool listDeleted = false;
};

SpriteEffectList::~SpriteEffectList() {
  if (stepping_) stepping_->listDeleted = true;
  for (i32 i = effects_.GetCount() - 1; i >= 0; --i) {
    SpriteEffect* effect = effects_.Get(i);
    effects_.Delete(i);
    if (!effect) continue;
    effect->owner_ = nullptr;
    delete effect;
  }
}

void SpriteEffectList::Add(SpriteEffect* effect) {
  if (effect) effect->SetOwner(this);
}

void SpriteEffectList::Join(SpriteEffect* effect) { effects_.Add(effect); }

void SpriteEffectList::Leave(SpriteEffect* effect) {
  const i32 index = effects_.IndexOf(effect);
  if (index < 0) return;
  effects_.Delete(index);
  if (stepping_ && index <= stepping_->index) {
    if (index == stepping_->index) stepping_->currentGone = true;
    --stepping_->index;
  }
}

bool SpriteEffectList::StepEffects() {
  if (stepping_) return true;
  flags = 0;
  if (!enabled || effects_.GetCount() == 0) return true;
  posX = posY = 0.0f;
  scaleX = scaleY = 1.0f;
  centreX = centreY = 0.0f;
  angle = 0.0f;
  color = 0xFFFFFFFFu;
  StepState state;
  stepping_ = &state;
  for (state.index = 0; state.index < effects_.GetCount(); ++state.index) {
    SpriteEffect* effect = effects_.Get(state.index);
    state.currentGone = false;
    const bool keep = effect->Step();
    if (state.listDeleted) return false;
    if (!keep && !state.currentGone) delete effect;
  }
  stepping_ = nullptr;
  flags |= persistentFlags;
  ApplyTransform();
  if (!(flags & kEffectColor)) color = 0xFFFFFFFFu;
  return true;
}

void SpriteEffectList::Step() {
  DeferredEffectCalls calls;
  StepEffects();
}

void SpriteEffectList::ApplyTransform() const {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  if (flags & kEffectPosition) viewer->Translate(posX, posY);
  if (flags & kEffectRotation) viewer->RotateDeg(angle);
  if (flags & kEffectScale) viewer->ScaleXY(scaleX, scaleY);
  if (flags & kEffectCentre) viewer->Translate(centreX, centreY);
}

void SpriteEffectList::ApplyAlpha(DXLQUAD* quad) const {
  if (!quad) return;
  const u32 alpha = color & 0xFF000000u;
  if ((quad->v[0].color & 0xFF000000u) == alpha) return;
  const u32 value = (quad->v[0].color & 0x00FFFFFFu) | alpha;
  for (DXLVERTEX& v : quad->v) v.color = value;
}

// --- Owner slots ---------------------------------------------------------------------------------

void AttachSpriteEffect(SpriteEffectList** slot, SpriteEffect* effect) {
  if (!slot || !effect) return;
  if (!*slot) *slot = new SpriteEffectList;
  (*slot)->Add(effect);
}

bool UpdateSpriteEffects(SpriteEffectList** slot) {
  if (!slot || !*slot) return false;
  DeferredEffectCalls calls;
  SpriteEffectList* list = *slot;
  if (!list->StepEffects()) return false;
  if (list->GetCount() > 0) return true;
  delete list;
  *slot = nullptr;
  return false;
}

u32 GetEffectColor(const SpriteEffectList* list, u32 color) {
  if (list && (list->flags & kEffectColor)) return (list->color & 0xFF000000u) | (color & 0x00FFFFFFu);
  return color | 0xFF000000u;
}

void DeleteSpriteEffects(SpriteEffectList** slot) {
  if (!slot) return;
  delete *slot;
  *slot = nullptr;
}
