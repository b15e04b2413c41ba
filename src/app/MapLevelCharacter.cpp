#include "app/MapLevelCharacter.h"

#include <algorithm>
#include <cmath>

#include "app/MapAnimals.h"
#include "base/Maths.h"
#include "base/Random.h"
#include "content/GameCharacter.h"
#include "engine/DXLFrameSeq.h"
#include "engine/DXLViewer.h"
#include "level/scene/DeveloperOverlay.h"
#include "resources/GameDraw.h"
#include "resources/MapShadow.h"
#include "resources/ResourceServices.h"

namespace {

constexpr u32 kPlacementTries = 500;
constexpr u32 kWalkTries = 100;
constexpr u32 kBlockedPathCost = 5;
constexpr float kTooNear = 10.0f;
constexpr u32 kShapeFill = 0x40FFFFFFu;
constexpr u32 kShapeOutline = 0xFFFFFFFFu;
constexpr u32 kOriginMark = 0xFFFF0000u;

// The total time of the state's run of frames (0 without one).
u32 RunTime(const AnimationState& s) {
  if (!s.animation || s.frames.count <= 0) return 0;
  return DXLFrameSeqGetTotalTime(s.frames.mode, static_cast<u32>(s.frames.count), s.frames.frameTime);
}

}  // namespace

// --- Jobs -----------------------------------------------------------------------------------------------

MapLevelCharJob::MapLevelCharJob(MapLevelCharacter* owner, u32 tag, u32 delay_)
    : delay(delay_), owner_(owner), tag_(tag) {
  owner_->SetJob(this);
  if (delay > 0) owner_->PlayIdle(-1);
}

MapLevelCharJob::~MapLevelCharJob() {
  Cancel();
  if (owner_ && owner_->job_ == this) owner_->job_ = nullptr;
}

bool MapLevelCharJob::Complete() {
  if (state == kMapJobCancelled || state == kMapJobCompleted) return false;
  state = kMapJobCompleted;
  return true;
}

bool MapLevelCharJob::Cancel() {
  if (state == kMapJobCancelled || state == kMapJobCompleted) return false;
  state = kMapJobCancelled;
  return true;
}

MLCJob_Animation::MLCJob_Animation(MapLevelCharacter* owner, u32 tag, u32 delay_, const wchar* name, i32 direction,
                                   i32 duration)
    : MapLevelCharJob(owner, tag, delay_), direction_(direction), duration_(duration) {
  for (u32 i = 0; name && name[i] && i < 32; ++i) name_[i] = name[i];
}

bool MLCJob_Animation::Start() {
  if (duration_ == 0) {
    Complete();
    return true;
  }
  if (!owner_->PlayAnimation(name_, direction_)) return false;
  if (duration_ < 0) duration_ = static_cast<i32>(RunTime(owner_->State()));
  if (duration_ == 0) Complete();
  return true;
}

void MLCJob_Animation::Update(u32 ms) {
  if (duration_ > static_cast<i32>(ms)) {
    duration_ -= static_cast<i32>(ms);
  } else {
    Complete();
  }
}

MLCJob_GoTo::MLCJob_GoTo(MapLevelCharacter* owner, u32 tag, u32 delay_, float x, float y)
    : MapLevelCharJob(owner, tag, delay_), targetX_(x), targetY_(y) {
  owner_->SetWalkTarget(x, y);
}

bool MLCJob_GoTo::Start() {
  startX_ = owner_->GetX();
  startY_ = owner_->GetY();
  dx_ = targetX_ - startX_;
  dy_ = targetY_ - startY_;
  if (std::fabs(dx_) < kMapCharNear && std::fabs(dy_) < kMapCharNear) {
    Complete();
    return true;
  }
  float angle = 0;
  kis::VectorToPolar(kis::FloatPoint{dx_, dy_}, &angle, &length_);
  GameAnimation* walk = owner_->GetWalkAnimation();
  if (walk) {
    StartAnimationIn(walk, &owner_->State(), -1, false);
    owner_->SetAnimSpeed(owner_->GetWalkAnimSpeed());
    targetDirection_ = std::max(walk->FindDirection(angle), 0);
  } else {
    targetDirection_ = owner_->State().direction;
  }
  turnTimer_ = 0;
  walked_ = 0;
  return true;
}

void MLCJob_GoTo::Update(u32 ms) {
  // Turning first, a step every 30 ms (the first at once); the time is used
  // for walking only once the character faces its way.
  while (owner_->State().direction != targetDirection_ && owner_->State().animation) {
    if (turnTimer_ > ms) {
      turnTimer_ -= ms;
      return;
    }
    ms -= turnTimer_;
    turnTimer_ = kMapCharTurnMs;
    owner_->TurnStep(targetDirection_);
  }
  const float frame = static_cast<float>(std::max(GameTimeStep(), 1u));
  walked_ += static_cast<float>(ms) / frame * owner_->GetWalkSpeed();
  if (walked_ >= length_) {
    owner_->SetPosition(targetX_, targetY_);
    Complete();
    return;
  }
  const float f = walked_ / length_;
  owner_->SetPosition(startX_ + dx_ * f, startY_ + dy_ * f);
}

bool MLCJob_GoTo::Complete() {
  if (!MapLevelCharJob::Complete()) return false;
  owner_->SetWalkTarget(owner_->GetX(), owner_->GetY());
  return true;
}

bool MLCJob_GoTo::Cancel() {
  if (!MapLevelCharJob::Cancel()) return false;
  owner_->SetWalkTarget(owner_->GetX(), owner_->GetY());
  return true;
}

// --- The character --------------------------------------------------------------------------------------

MapLevelCharacter::MapLevelCharacter(MLSChars* group, const MapCharKind& kind) : group_(group), kind_(kind) {
  if (group_) group_->Add(this);
  description_ = LoadedDescription(kind.id);
  if (description_ && description_->GetShadow()) {
    shadow_ = std::make_unique<MapShadow>(description_->GetShadow(), 0.0f, 0.0f);
    shadowAlpha_ = shadow_->GetBaseAlpha();
  }
}

GameCharacter* MapLevelCharacter::LoadedDescription(u32 id) {
  GameCharacter* c = FindCharInfo(GetCharacters(), id);
  if (c && !c->IsLoaded()) c->Init();
  return c;
}

MapLevelCharacter::~MapLevelCharacter() {
  delete job_;
  GameAnimation::StopSound(&state_);
  if (group_) group_->Remove(this);
}

void MapLevelCharacter::SetJob(MapLevelCharJob* job) {
  MapLevelCharJob* old = job_;
  job_ = job;
  if (old && old != job) {
    // Cancelled while it still has its owner (a walk puts the walk target
    // back on the character's place), then let go so that its deletion
    // leaves the new job in place.
    old->Cancel();
    old->owner_ = nullptr;
    delete old;
  }
}

void MapLevelCharacter::Init(const MAPCHARENTRY*) {
  SetJob(nullptr);
  SetPosition(homeX_, homeY_);
  targetX_ = x_;
  targetY_ = y_;
  PlayIdle(idleDirection_);
}

bool MapLevelCharacter::PlayAnimation(const wchar* name, i32 direction, float speed) {
  GameAnimation* a = description_ ? description_->FindAnimation(0, name) : nullptr;
  if (!a) return false;
  StartAnimationIn(a, &state_, direction, false);
  animSpeed_ = speed;
  return true;
}

bool MapLevelCharacter::PlayIdle(i32 direction) {
  GameAnimation* a = description_ ? description_->GetEntry(0, kind_.idle) : nullptr;
  if (!a) return false;
  StartAnimationIn(a, &state_, direction, false);
  animSpeed_ = 1.0f;
  return true;
}

GameAnimation* MapLevelCharacter::GetWalkAnimation() const {
  return description_ ? description_->GetWalkAnimationPtr(0) : nullptr;
}

void MapLevelCharacter::SetPosition(float x, float y) {
  x_ = x;
  y_ = y;
  if (group_) group_->Reorder(this);
}

void MapLevelCharacter::AddShape(const SHAPEDESC& shape) {
  if (shapeCount_ >= kMapCharShapes) return;
  SHAPERECT r{};
  ShapeBounds(&shape, &r);
  if (shapeCount_ == 0) {
    bounds_ = r;
  } else {
    bounds_.left = std::min(bounds_.left, r.left);
    bounds_.top = std::min(bounds_.top, r.top);
    bounds_.right = std::max(bounds_.right, r.right);
    bounds_.bottom = std::max(bounds_.bottom, r.bottom);
  }
  shapes_[shapeCount_++] = shape;
}

bool MapLevelCharacter::TestPoint(float x, float y, bool final) const {
  if (!group_) return true;
  const i32 rx = kis::RoundToInt(x), ry = kis::RoundToInt(y);
  bool inside = false;
  for (u32 i = 0; i < shapeCount_ && !inside; ++i) inside = ShapeContainsPoint(&shapes_[i], rx, ry);
  if (!inside) return false;
  if (!final) return true;
  const kis::list<MapLevelCharacter*>& all = group_->Characters();
  for (i32 i = 0; i < all.GetCount(); ++i) {
    const MapLevelCharacter* o = all[i];
    if (o == this) continue;
    const float r = kind_.spacing + o->kind_.spacing;
    if (kis::Distance(x, y, o->x_, o->y_) < r || kis::Distance(x, y, o->targetX_, o->targetY_) < r) return false;
  }
  return true;
}

bool MapLevelCharacter::PathFree(float x, float y) const {
  const float dx = x - x_, dy = y - y_;
  const i32 n = std::max({static_cast<i32>(std::ceil(std::fabs(dx))), static_cast<i32>(std::ceil(std::fabs(dy))), 1});
  for (i32 i = 0; i <= n; ++i) {
    const float f = static_cast<float>(i) / static_cast<float>(n);
    if (!TestPoint(x_ + dx * f, y_ + dy * f, i == n)) return false;
  }
  return true;
}

bool MapLevelCharacter::FindFreePoint(bool placement, float* x, float* y) const {
  const i32 w = bounds_.right - bounds_.left, h = bounds_.bottom - bounds_.top;
  if (shapeCount_ == 0 || w <= 0 || h <= 0) return false;
  i32 tries = static_cast<i32>(placement ? kPlacementTries : kWalkTries);
  while (tries > 0) {
    const float px = static_cast<float>(bounds_.left + static_cast<i32>(kis::RandomShort(static_cast<u32>(w))));
    const float py = static_cast<float>(bounds_.top + static_cast<i32>(kis::RandomShort(static_cast<u32>(h))));
    if (kis::Distance(px, py, x_, y_) < kTooNear || !TestPoint(px, py, true)) {
      --tries;
      continue;
    }
    if (placement || PathFree(px, py)) {
      *x = px;
      *y = py;
      return true;
    }
    tries -= static_cast<i32>(kBlockedPathCost);
  }
  return false;
}

void MapLevelCharacter::Update(u32 ms) {
  if (state_.animation) state_.animation->Update(&state_, static_cast<float>(ms) * animSpeed_);
  if (!job_) OnIdle();
  MapLevelCharJob* job = job_;
  if (!job) return;
  if (job->delay > ms) {
    job->delay -= ms;
    return;
  }
  ms -= job->delay;
  job->delay = 0;
  if (job->state == kMapJobNew) {
    if (!job->Start()) {
      job->Cancel();
    } else if (job->state == kMapJobNew) {
      job->state = kMapJobRunning;
      if (ms > 0) job->Update(ms);
    }
  } else if (job->state == kMapJobRunning && ms > 0) {
    job->Update(ms);
  }
  if (job_ == job && job->state >= kMapJobCancelled) {
    const u32 tag = job->GetTag();
    const bool cancelled = job->state == kMapJobCancelled;
    delete job;
    if (cancelled) {
      OnJobCancelled(tag);
    } else {
      OnJobDone(tag);
    }
  }
}

void MapLevelCharacter::Draw(u32 color, bool hovered) {
  DXLViewer* viewer = GetGameViewer();
  if (!state_.animation || !viewer) return;
  DXLMATRIX at{}, here{};
  viewer->GetTransform(&at);
  viewer->Translate(x_, y_);
  viewer->Scale(kind_.scale);
  viewer->GetTransform(&here);
  state_.color = (color & 0xFF000000u) | 0x00FFFFFFu;
  state_.animation->Draw(&state_, true, false);
  if (hovered) {
    const u32 a = color >> 24;
    viewer->SetTransform(&here);
    const DXLDRAWSTATE* previous = SetBlendState(MapHoverDrawState());
    state_.color = ((a == 255 ? 0x40 : a / 4) << 24) | 0x00FFFFFFu;
    state_.animation->Draw(&state_, true, false);
    SetBlendState(previous);
  }
  viewer->SetTransform(&at);
}

void MapLevelCharacter::DrawShadow(u32 color) {
  DXLViewer* viewer = GetGameViewer();
  if (!shadow_ || !viewer) return;
  DXLMATRIX at{};
  viewer->GetTransform(&at);
  shadow_->SetAlpha(static_cast<float>(color >> 24) / 255.0f * shadowAlpha_);
  viewer->Translate(x_, y_);
  viewer->Scale(kind_.scale);
  shadow_->Draw();
  viewer->SetTransform(&at);
}

void MapLevelCharacter::DrawShapes() {
  if (!GetGameViewer()) return;
  for (u32 i = 0; i < shapeCount_; ++i) DrawShapeDesc(shapes_[i], kShapeFill, kShapeOutline);
  SHAPEDESC mark{SHAPE_RECT, {static_cast<u32>(-1), static_cast<u32>(-1), 1, 1, 0, 0, 0}};
  DrawShapeDesc(mark, kOriginMark, kOriginMark);
}

void MapLevelCharacter::InitAtEntry(const MAPCHARENTRY* entry) {
  if (entry) SetHome(static_cast<float>(entry->x), static_cast<float>(entry->y));
  MapLevelCharacter::Init(entry);
  if (state_.animation && entry) StartAnimationIn(state_.animation, &state_, entry->direction, false);
}
