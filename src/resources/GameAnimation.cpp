#include "resources/GameAnimation.h"

#include <cmath>
#include <cstdlib>

#include "base/Maths.h"
#include "base/Strings.h"
#include "engine/DXLFrameSeq.h"
#include "engine/DXLLog.h"
#include "engine/DXLViewer.h"
#include "resources/ResourceServices.h"
#include "resources/SoundSettings.h"
#include "resources/Sprite.h"

namespace {

kis::list<GameAnimation*>& List() { return GetResourceServices().registries->animations; }

i32 Clamp(i64 v, i64 lo, i64 hi) { return static_cast<i32>(v < lo ? lo : v > hi ? hi : v); }

}  // namespace

AnimationState::~AnimationState() {
  if (soundChannel) GetSoundSettings().StopSound(soundChannel);
}

GameAnimation::GameAnimation(const wchar* name, i32 directionCount)
    : directionCount_(directionCount > 0 ? directionCount : 0) {
  SetName(name);
  if (directionCount_ > 0) {
    directions_ = std::make_unique<ANIMDIRECTION[]>(static_cast<size_t>(directionCount_));
    for (i32 i = 0; i < directionCount_; ++i)
      directions_[i].angle = kis::NormalizeAngle(static_cast<float>(i) * 360.0f / directionCount_ + 270.0f);
  }
  List().Add(this);
}

// An animation deleted while still in use gives its sprites' uses back, so
// their textures are not held for good; the sprites outlive the animations
// (the game's tables go before its sprite sets).
GameAnimation::~GameAnimation() {
  Release(true);
  List().Remove(this);
}

void GameAnimation::SetName(const wchar* name) { kis::StrCopy(name_, kAnimationNameSize, name); }

void GameAnimation::SetSound(const wchar* name, u32 delay, u32 loop, u32 repeat, u32 id) {
  kis::StrCopy(soundName_, kAnimationNameSize, name);
  soundDelay_ = delay;
  soundLoop_ = loop;
  soundRepeat_ = repeat;
  soundId_ = id;
}

template <class F>
void GameAnimation::ForEachSprite(F f) const {
  for (i32 i = 0; i < directionCount_; ++i) {
    Sprite* s = directions_[i].spritePtr;
    bool seen = !s;
    for (i32 j = 0; j < i && !seen; ++j) seen = directions_[j].spritePtr == s;
    if (!seen) f(s);
  }
}

i32 GameAnimation::GetSpriteCount() const {
  i32 n = 0;
  ForEachSprite([&](Sprite*) { ++n; });
  return n;
}

Sprite* GameAnimation::GetSprite(i32 index) const {
  Sprite* found = nullptr;
  ForEachSprite([&](Sprite* s) {
    if (index-- == 0) found = s;
  });
  return found;
}

void GameAnimation::Init() {
  if (initCount_ == 0) {
    ForEachSprite([](Sprite* s) { s->Init(); });
    for (i32 i = 0; i < directionCount_; ++i) {
      ANIMDIRECTION& d = directions_[i];
      if (d.count == 0 && d.spritePtr) d.count = d.spritePtr->GetFrameCount();
      const u32 run = DXLFrameSeqGetTotalTime(mode_, d.count > 0 ? static_cast<u32>(d.count) : 0, frameTime_);
      if (run > totalTime_) totalTime_ = run;
    }
    const bool sound = soundName_[0] != 0 || soundId_ != 0;
    if (soundName_[0] && !soundId_) soundId_ = GetSoundSettings().LoadSound(soundName_, soundLoop_ != 0);
    if (sound && soundRepeat_ == kAnimRepeatTotal) soundRepeat_ = totalTime_;
  }
  ++initCount_;
}

void GameAnimation::Release(bool force) {
  if (DropInit(force)) ForEachSprite([](Sprite* s) { s->Release(false); });
}

// Both angles are taken into 0..360 (a direction read from the data may lie
// outside, and its distance would otherwise come out negative and win); on a
// tie the earlier direction stays.
i32 GameAnimation::FindDirection(float angle) const {
  const float a = kis::NormalizeAngle(angle);
  i32 best = -1;
  float bestDistance = 0.0f;
  for (i32 i = 0; i < directionCount_; ++i) {
    float d = std::fabs(kis::NormalizeAngle(directions_[i].angle) - a);
    if (d > 180.0f) d = 360.0f - d;
    if (best < 0 || d < bestDistance) {
      best = i;
      bestDistance = d;
      if (d <= 0.001f) break;
    }
  }
  return best;
}

float GameAnimation::GetDirectionAngle(const AnimationState* state, i32 direction) const {
  if (direction == -1 && state)
    direction = state->animation == this ? state->direction : FindDirection(state->angle);
  const ANIMDIRECTION* d = GetDirection(direction);
  return d ? d->angle : 0.0f;
}

void GameAnimation::Start(AnimationState* state, i32 direction, bool keepTime) {
  if (!state) return;
  const bool mine = state->animation == this;
  if (direction == -1) direction = mine ? state->direction : FindDirection(state->angle);
  if (direction > directionCount_ - 1) direction = directionCount_ - 1;
  if (direction < 0) direction = 0;
  bool kept = false;
  if (directionCount_ == 0) {
    state->frames = ANIMFRAMEBLOCK{};
    state->angle = 0.0f;
  } else {
    const ANIMDIRECTION& d = directions_[direction];
    kept = keepTime && mine;
    if (!kept) state->frames = ANIMFRAMEBLOCK{mode_, d.first, d.count, frameTime_, 0.0f, 0};
    state->offsetX = d.offsetX;
    state->offsetY = d.offsetY;
    state->angle = d.angle;
  }
  state->direction = direction;
  if (!kept) {
    StopSound(state);
    if (directionCount_ > 0 && soundId_) {
      state->soundState = kAnimSoundWaiting;
      state->soundDelay = static_cast<float>(soundDelay_);
    }
  }
  state->animation = this;
}

// A looping sound's first play is never dropped: while the cool-down of an
// earlier play runs (or when it is late) it goes on waiting, so the state
// never believes a loop plays that was not started.
void GameAnimation::Update(AnimationState* state, float dt) {
  if (!state) return;
  if (state->animation != this) {
    if (state->animation) state->animation->Update(state, dt);
    return;
  }
  state->frames.elapsed += dt;
  if (state->soundCooldown > 0.0f) state->soundCooldown -= dt;
  if (state->soundState != kAnimSoundWaiting && state->soundState != kAnimSoundRepeating) return;
  state->soundDelay -= dt;
  if (state->soundDelay > 0.0f) return;
  const bool loop = soundLoop_ != 0;
  const float interval = static_cast<float>(soundRepeat_);
  const bool late = soundRepeat_ != 0 && interval / 2.0f < -state->soundDelay;
  if (state->soundCooldown <= 0.0f && (loop || !late)) {
    const u32 channel = GetSoundSettings().PlaySound(soundId_, kAnimSoundGroups, loop ? 1 : 0);
    if (loop) state->soundChannel = channel;
    state->soundCooldown = kAnimSoundCooldown;
  } else if (loop && state->soundState == kAnimSoundWaiting) {
    return;
  }
  if (state->soundState == kAnimSoundWaiting) {
    state->soundState = soundRepeat_ != 0 && !loop ? kAnimSoundRepeating : loop ? kAnimSoundLooping : kAnimSoundNone;
  }
  if (state->soundState == kAnimSoundRepeating && state->soundDelay < 0.0f) {
    // Whole intervals at once: adding one at a time could run for ever on
    // a delay far below 0.
    state->soundDelay += std::ceil(-state->soundDelay / interval) * interval;
    if (state->soundDelay < 0.0f) state->soundDelay += interval;
  }
}

// The elapsed time counts in whole ms; the modes pick the index within the
// run, which is then placed after the first frame.
i32 GameAnimation::GetFrame(ANIMFRAMEBLOCK* frames) {
  if (!frames) return 0;
  const float e = frames->elapsed;
  const u32 k = e >= 1.0f ? (e < 4294967295.0f ? static_cast<u32>(e) : 0xFFFFFFFFu) : 0;
  const i64 count = frames->count;
  const u32 mode = frames->mode;
  i64 index = 0;
  if (k && frames->frameTime && count > 1) {
    const i64 n = k / frames->frameTime;
    switch (mode) {
      case kAnimOnce:
        index = n < count - 1 ? n : count - 1;
        break;
      case kAnimOnceBack:
        index = count - 1 - (n < count - 1 ? n : count - 1);
        break;
      case kAnimLoop:
        index = n % count;
        break;
      case kAnimLoopBack:
        index = count - 1 - n % count;
        break;
      case kAnimPingPong: {
        const i64 p = 2 * count - 2, r = n % p;
        index = r < count ? r : p - r;
        break;
      }
      default:
        break;
    }
  } else if (mode == kAnimOnceBack || mode == kAnimLoopBack) {
    index = count - 1;
  }
  frames->last = Clamp(frames->first + index, INT32_MIN, INT32_MAX);
  return frames->last;
}

void GameAnimation::Draw(AnimationState* state, bool applyOffset, bool highlight) {
  if (!state) return;
  if (state->animation != this) {
    if (state->animation) state->animation->Draw(state, applyOffset, highlight);
    return;
  }
  DXLViewer* viewer = GetGameViewer();
  if (state->frames.count == 0 || !viewer) return;
  if (applyOffset) viewer->Translate(-static_cast<float>(state->offsetX), -static_cast<float>(state->offsetY));
  viewer->ApplyTransform(nullptr);
  const u32 color = highlight ? (state->color & 0xFF000000u) | 0x202020u : state->color;
  const ANIMDIRECTION* d = GetDirection(Clamp(state->direction, 0, directionCount_ - 1));
  if (!d || !d->spritePtr || d->spritePtr->GetFrameCount() <= 0) return;
  const i32 frame = Clamp(GetFrame(&state->frames), 0, d->spritePtr->GetFrameCount() - 1);
  d->spritePtr->DrawFrame(frame, color, false);
}

void GameAnimation::StopSound(AnimationState* state) {
  if (!state) return;
  if (state->soundChannel) GetSoundSettings().StopSound(state->soundChannel);
  state->soundChannel = 0;
  state->soundState = kAnimSoundNone;
}

void StartAnimationIn(GameAnimation* animation, AnimationState* state, i32 direction, bool keepTime) {
  if (!animation || !state) return;
  animation->Start(state, direction, keepTime);
  if (const ANIMDIRECTION* d = animation->GetDirection(state->direction)) {
    state->frames.first = d->first;
    state->frames.count = d->count;
  }
}

bool TurnAnimationStep(AnimationState* state, i32 target) {
  GameAnimation* a = state ? state->animation : nullptr;
  if (!a) return true;
  const i32 n = a->GetDirectionCount();
  i32 now = state->direction;
  if (n <= 2) {
    now = target;
  } else {
    const i32 d = target - now;
    if (d == 0) return true;
    const i32 sign = d > 0 ? 1 : -1;
    now = ((now + (std::abs(d) <= n / 2 ? sign : -sign)) % n + n) % n;
  }
  StartAnimationIn(a, state, now, true);
  return state->direction == target;
}

const kis::list<GameAnimation*>& GetAnimations() { return List(); }

void FreeAnimations() {
  kis::list<GameAnimation*>& list = List();
  while (list.GetCount() > 0) delete list.Last();
}

GameAnimation* FindAnimation(const kis::list<GameAnimation*>& list, const wchar* name) {
  if (!name || !name[0]) return nullptr;
  // Ignoring case, as every name from the data (see AwardTable).
  for (i32 i = 0; i < list.GetCount(); ++i) {
    GameAnimation* a = list.Get(i);
    if (a && kis::StrICompare(a->GetName(), name) == 0) return a;
  }
  DXLLogLookupMissW("animation", name);
  return nullptr;
}
