#include "level/characters/MapCharacter.h"

#include <cmath>

#include "content/GameCharacter.h"
#include "engine/DXLViewer.h"
#include "level/characters/CharSilhouette.h"
#include "level/characters/Job.h"
#include "level/characters/Job_GoTo.h"
#include "level/characters/LevelCharacters.h"
#include "level/characters/MapPlayer.h"
#include "resources/GameDraw.h"
#include "resources/MapShadow.h"
#include "resources/ResourceServices.h"

MapCharacter::MapCharacter(LevelCharacters& cast, GameCharacter* description, i32 skin, const wchar* animation,
                           i32 direction, float x, float y, BaseLevelPoint* owner)
    : DynObject(cast.GetMap()), cast_(cast), description_(description),
      baseSpeed_(description ? description->speed : 0.0f) {
  kind_ = kObjectCharacter;
  SetOwnerPoint(owner);
  cast_.AddCharacter(this);
  state_.color = 0xFFFFFFFFu;
  if (description && description->GetShadow()) SetShadow(new LevelShadow(description->GetShadow(), x, y));
  PlayAnimation(skin, animation, direction, false, kActivityStart);
  MoveTo(x, y);
  if (description) {
    grid_ = cast_.Paths().GetGrid(description->foot, description->gridId);
    if (grid_) seenVersion_ = grid_->version - 1;
  }
}

MapCharacter::~MapCharacter() {
  cast_.RemoveCharacter(this);
  DeleteAllJobs();
  DetachFromLevel();
  GameAnimation::StopSound(&state_);
}

void MapCharacter::Release() {
  DynObject::Release();
  DeleteAllJobs();
  running_ = 0;
}

// A job's destructor takes it out of the queue.
void MapCharacter::DeleteAllJobs() {
  while (jobs_.GetCount() > 0) delete jobs_.Last();
  current_ = nullptr;
}

void MapCharacter::RemoveJob(Job* job) {
  jobs_.Remove(job);
  ClearCurrentJob(job);
}

// A walk that is running its own update at this moment cannot be deleted
// under its feet: it is finished instead, and the queue drops it.
void MapCharacter::AddJob(Job* job) {
  Job* last = jobs_.Last();
  if (last && last != job && last->GetJobId() == kJobGoTo) {
    if (last->IsRunning()) {
      last->Finish();
    } else {
      delete last;
    }
  }
  jobs_.AddUnique(job);
}

void MapCharacter::MoveJobToEnd(Job* job) {
  if (jobs_.Remove(job)) jobs_.Add(job);
}

bool MapCharacter::MoveTo(float x, float y) {
  const float rx = std::floor(x), ry = std::floor(y);
  if (!DynObject::MoveTo(rx, ry)) return false;
  if (MapShadow* s = GetShadow()) s->SetPosition(rx, ry);
  return true;
}

void MapCharacter::ClearEffects() {
  DynObject::ClearEffects();
  state_.color |= 0xFF000000u;
}

void MapCharacter::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  viewer->Translate(x_ + drawOffsetX, y_ + drawOffsetY);
  const bool effects = effects_ && UpdateEffects();
  state_.color = effects ? GetColor() : 0xFFFFFFFFu;
  if (IsDead() && !effects) return;
  viewer->GetTransform(&transform_);
  if (state_.animation) DrawFrame();
}

void MapCharacter::DrawFrame() {
  // Lit only while no effect runs on her, whatever the effect does.
  const bool lit = IsHighlighted() && !effects_;
  const DXLDRAWSTATE* previous = lit ? SetBlendState(MapHighlightBlend()) : nullptr;
  state_.animation->Draw(&state_, true, lit);
  if (lit) SetBlendState(previous);
}

void MapCharacter::UpdateAnimation() {
  if (state_.animation)
    state_.animation->Update(&state_, static_cast<float>(GameTimeStep()) * GetActivityRate(state_.user2));
}

// A job that ends in its own update is deleted at once; one ended from
// outside (cancelled by a right click, or a walk finished by a new order)
// waits in the queue until its next update. Nothing would read an ended
// job in between (the cancel and the save pass it by, its progress line
// left when it ended), so deleting it here only takes its icon (an arrived
// walk's boots) away in the tick it ends and lets the character go idle
// (streak, idle animation, the step aside) in that same tick.
void MapCharacter::RunCurrentJob() {
  Job* job = current_;
  if (!job) return;
  job->SetRunning(true);
  job->Update();
  job->SetRunning(false);
  if (current_ == job && job->GetState() >= kJobFinished) delete job;
}

void MapCharacter::PlayAnimation(i32 skin, const wchar* name, i32 direction, bool keepTime, i32 activity) {
  state_.user2 = activity;
  GameAnimation* a = description_ ? description_->FindAnimation(skin, name) : nullptr;
  if (!a) return;
  state_.user1 = skin;
  StartAnimationIn(a, &state_, direction, keepTime);
}

float MapCharacter::GetSpeedFactor() const { return GetActivityRate(state_.user2); }

void MapCharacter::Update() {
  if (running_ > 0) {
    silhouetteTimer_ += static_cast<float>(GameTimeStep()) * GetWalkActivityRate();
    if (silhouetteTimer_ >= kSilhouetteInterval) {
      silhouetteTimer_ = std::fmod(silhouetteTimer_, kSilhouetteInterval);
      MakeSilhouette();
    }
  }
  if (state_.animation) UpdateAnimation();
  if (IsDead()) return;
  if (jobs_.GetCount() == 0) {
    if (CheckFooting()) OnIdle();
    return;
  }
  while (jobs_.GetCount() > 0 && jobs_[0]->GetState() >= kJobFinished) delete jobs_[0];
  if (jobs_.GetCount() > 0) {
    current_ = jobs_[0];
    RunCurrentJob();
  }
  if (jobs_.GetCount() > 0) return;
  if (cast_.IsPlayer(this)) static_cast<MapPlayer*>(this)->SetWorkStreak(0, true);
  if (CheckFooting()) OnIdle();
  if (jobs_.GetCount() == 0) PlayAction(GetSkin(), GetDirection());
}

bool MapCharacter::CheckFooting() {
  if (skipFooting_ || !grid_ || grid_->version == seenVersion_) return true;
  if (!cast_.Paths().GetPathFinder()->GridShapeAt(grid_, static_cast<i32>(x_), static_cast<i32>(y_))) {
    seenVersion_ = grid_->version;
    return true;
  }
  if (current_ && current_->GetState() == kJobAnimating) current_->Finish();
  new Job_GoTo(this);
  return false;
}

void MapCharacter::SetRunning(bool on) {
  if (on) {
    ++running_;
  } else if (running_ > 0) {
    --running_;
  }
}

void MapCharacter::SetRateModifier(u32 record, u32 id, bool additive, float value) {
  activityRates_[record & 3].Set(id, additive, value < 0.0f ? 0.0f : value);
}

void MapCharacter::SetWalkModifier(u32 id, bool additive, float value) {
  SetRateModifier(kActivityWalk, id, additive, value);
  walkRate_.Set(id, additive, value);
}

void MapCharacter::SetSpeedModifier(u32 id, bool additive, float animationValue, float activityValue) {
  SetRateModifier(kActivityWork, id, additive, activityValue);
  animationRate_.Set(id, additive, animationValue);
}

void MapCharacter::SetSkin(i32 skin) {
  if (!description_ || skin == GetSkin() || skin < 0 || skin >= description_->GetSkinCount()) return;
  const float elapsed = state_.frames.elapsed;
  const i32 entry = description_->FindEntry(GetSkin(), state_.animation);
  GameAnimation* next = description_->GetEntry(skin, entry);
  state_.user1 = skin;
  if (next) StartAnimationIn(next, &state_, state_.direction, true);
  state_.frames.elapsed = elapsed;
}

void MapCharacter::PlayAction(i32 skin, i32 direction) {
  GameAnimation* idle = description_ ? description_->GetCharAnimation(skin) : nullptr;
  if (!idle) return;
  PlayAnimation(skin, idle->GetName(), direction, true, kActivityIdle);
}

bool MapCharacter::TurnStep(i32 target) { return TurnAnimationStep(&state_, target); }

const wchar* MapCharacter::GetAnimationName() const { return state_.animation ? state_.animation->GetName() : nullptr; }

void MapCharacter::MakeSilhouette() { new CharSilhouette(this); }
