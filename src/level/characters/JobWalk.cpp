// The walking of a job: a path asked of the level's path service (or points
// given), then the owner turned toward each leg a direction step per 16 ms
// and moved along it at its walking speed, one tick at a time. Positions
// are computed from the leg's start each tick, so errors do not add up.
#include <algorithm>
#include <cmath>

#include "base/Strings.h"
#include "content/GameCharacter.h"
#include "level/characters/Job.h"
#include "level/characters/LevelCharacters.h"
#include "level/characters/LevelPathFinder.h"
#include "level/characters/MapCharacter.h"
#include "level/characters/MapPlayer.h"
#include "resources/ResourceServices.h"

namespace {

constexpr float kLongWalk = 200.0f;      // the player walks faster from here
constexpr float kLongWalkSpan = 800.0f;  // ... reaching the most at 200 + this
constexpr float kLongWalkBonus = 0.5f;
constexpr float kTurnTime = 16.0f;       // ms a direction step takes while walking
constexpr float kIconLeftAt = 32.0f;     // the icon goes this far before the end

i32 Whole(float v) { return static_cast<i32>(std::trunc(v)); }

float Angle(float dx, float dy) {
  float a = static_cast<float>(std::atan2(static_cast<double>(dy), static_cast<double>(dx)) * 180.0 / 3.14159265358979323846);
  return a < 0.0f ? a + 360.0f : a;
}

}  // namespace

void Job::FreeLegs() {
  delete[] legs_;
  legs_ = nullptr;
  legCount_ = 0;
}

void Job::FinishWalkFailure(const char* why) {
  LevelPathFinder::LogWalkFailure(why, owner_->GetX(), owner_->GetY(), targetX_, targetY_);
  Finish();
}

bool Job::StartWalk(i32 x, i32 y, bool exact, float speed, const wchar* walkAnimation) {
  EndWalk();
  if (paths_) paths_->GetPathFinder()->CancelRequest(&request_);
  delete[] request_.points;
  request_ = shpf::_PATHREQUEST{};
  startMoved_ = 0;
  walkMode_ = kWalkSearch;
  speedFactor_ = speed;
  exact_ = exact ? 1 : 0;
  const GameCharacter* d = owner_->GetDescription();
  const wchar* name = walkAnimation ? walkAnimation : d ? d->GetWalkAnimation(owner_->GetSkin()) : nullptr;
  kis::StrCopy(walkName_, kAnimationNameSize, name ? name : u"");
  grid_ = owner_->GetGrid();
  request_.gridId = grid_ ? grid_->id : 0;
  request_.interval = 10;
  targetX_ = static_cast<float>(x);
  targetY_ = static_cast<float>(y);
  if (!paths_ || !grid_) {
    FinishWalkFailure("no path grid");
    return false;
  }
  RequestPath();
  return state_ != kJobFinished;
}

bool Job::StartWalkAlong(i32 count, const i32* points, float speed, const wchar* walkAnimation) {
  EndWalk();
  walkMode_ = kWalkAlong;
  speedFactor_ = speed;
  startMoved_ = 0;
  const GameCharacter* d = owner_->GetDescription();
  const wchar* name = walkAnimation ? walkAnimation : d ? d->GetWalkAnimation(owner_->GetSkin()) : nullptr;
  kis::StrCopy(walkName_, kAnimationNameSize, name ? name : u"");
  if (count < 0 || !points) count = 0;
  legCount_ = std::max(2, count + 1);
  legs_ = new LegPoint[static_cast<size_t>(legCount_)];
  legs_[0] = LegPoint{owner_->GetX(), owner_->GetY(), 0.0f};
  legs_[1] = legs_[0];
  for (i32 i = 0; i < count; ++i)
    legs_[i + 1] = LegPoint{static_cast<float>(points[2 * i]), static_cast<float>(points[2 * i + 1]), 0.0f};
  state_ = kJobWalking;
  leg_ = 0;
  PreparePath();
  return state_ != kJobFinished;
}

// A search still running after its slice keeps its place in the queue, so
// the service goes on with it in the next update.
void Job::RequestPath() {
  if (state_ >= kJobFinished) {
    if (paths_) paths_->Dequeue(this);
    return;
  }
  state_ = kJobWalking;
  if (!paths_ || !grid_) return FinishWalkFailure("no path grid");
  if (!paths_->TakeSearch()) return paths_->Enqueue(this);
  shpf::PathFinder* finder = paths_->GetPathFinder();
  if (request_.prState == shpf::PFS_NEW) {
    const float x = owner_->GetX(), y = owner_->GetY();
    const shpf::FloatPoint s = finder->BeginWalkSearch(&request_, grid_->id, x, y, targetX_, targetY_);
    if (Whole(s.x) != Whole(x) || Whole(s.y) != Whole(y)) {
      startMoved_ = 1;
      realStartX_ = x;
      realStartY_ = y;
    }
  }
  const u32 result = finder->StepWalkSearch(&request_);
  owner_->SetSeenVersion(grid_->version);
  if (result == shpf::PFS_FAILED) {
    paths_->Dequeue(this);
    return FinishWalkFailure("no way found");
  }
  if (result != shpf::PFS_FOUND) return paths_->Enqueue(this);
  paths_->Dequeue(this);
  FreeLegs();
  legCount_ = static_cast<i32>(request_.pointCount);
  if (legCount_ < 1) return FinishWalkFailure("empty path");
  legs_ = new LegPoint[static_cast<size_t>(legCount_)];
  for (i32 i = 0; i < legCount_; ++i) legs_[i] = LegPoint{request_.points[2 * i], request_.points[2 * i + 1], 0.0f};
  const LegPoint& last = legs_[legCount_ - 1];
  if (exact_ && (Whole(last.x) != Whole(targetX_) || Whole(last.y) != Whole(targetY_)))
    return FinishWalkFailure("the path misses its exact target");
  PreparePath();
}

bool Job::PreparePath() {
  totalLength_ = 0.0f;
  for (i32 i = 0; i < legCount_; ++i) {
    LegPoint& p = legs_[i];
    p.x = std::trunc(p.x);
    p.y = std::trunc(p.y);
    if (i > 0) totalLength_ += std::hypot(p.x - legs_[i - 1].x, p.y - legs_[i - 1].y);
    p.before = totalLength_;
  }
  if (level_ && level_->IsPlayer(owner_) && totalLength_ >= kLongWalk)
    speedFactor_ *= 1.0f + std::min((totalLength_ - kLongWalk) / kLongWalkSpan * kLongWalkBonus, kLongWalkBonus);
  if (!(speedFactor_ > 0.0f) || !AcceptPath()) {
    Finish();
    return false;
  }
  return StartLeg(startMoved_ ? 0 : 1);
}

bool Job::StartLeg(i32 i) {
  for (;; ++i) {
    if (i >= legCount_) {
      state_ = kJobIdle;
      const LegPoint& last = legs_[legCount_ - 1];
      owner_->MoveTo(last.x, last.y);
      HideIcon();
      if (walkMode_ == kWalkAlong) owner_->SetSeenVersion(owner_->GetSeenVersion() - 1);
      return true;
    }
    if (i == 0) {
      legStartX_ = realStartX_;
      legStartY_ = realStartY_;
      lengthBefore_ = 0.0f;
    } else {
      legStartX_ = legs_[i - 1].x;
      legStartY_ = legs_[i - 1].y;
      lengthBefore_ = legs_[i].before;
    }
    legDx_ = legs_[i].x - legStartX_;
    legDy_ = legs_[i].y - legStartY_;
    if (std::fabs(legDx_) >= 0.1f || std::fabs(legDy_) >= 0.1f) break;
  }
  leg_ = i;
  legLength_ = std::hypot(legDx_, legDy_);
  legWalked_ = 0.0f;
  owner_->MoveTo(legStartX_ + 0.5f, legStartY_ + 0.5f);
  owner_->PlayAnimation(owner_->GetSkin(), walkName_, owner_->GetDirection(), true, kActivityWalk);
  const GameAnimation* a = owner_->GetAnimation();
  const i32 facing = a ? a->FindDirection(Angle(legDx_, legDy_)) : -1;
  targetFacing_ = facing >= 0 ? facing : owner_->GetDirection();
  turnTimer_ = 0.0f;
  return false;
}

bool Job::UpdateWalk(float fraction) {
  if (state_ != kJobWalking) return state_ == kJobIdle;
  if (walkMode_ == kWalkSearch) {
    if (!legs_) return false;  // the search is still under way
    if (grid_ && grid_->version != request_.gridVersion) {
      EndWalk();
      request_.prState = shpf::PFS_NEW;
      RequestPath();
      if (state_ != kJobWalking) return state_ == kJobIdle;
      if (!legs_) return false;
    }
  }
  if (fraction <= 0.0f) return false;
  if (!TurnOwner(targetFacing_, kTurnTime / static_cast<float>(std::max<u32>(GameTimeStep(), 1)), &turnTimer_, &fraction))
    return false;
  const float speed = owner_->GetBaseSpeed() * speedFactor_ * owner_->GetWalkRate();
  if (!(speed > 0.0f)) {
    FinishWalkFailure("no walking speed");
    return false;
  }
  const bool player = level_ && level_->IsPlayer(owner_);
  const float before = legWalked_;
  legWalked_ += speed * fraction;
  if (legWalked_ >= legLength_) {
    if (player) static_cast<MapPlayer*>(owner_)->AddWalked(legLength_ - before);
    const float left = (legWalked_ - legLength_) / speed;
    if (StartLeg(leg_ + 1)) return true;
    return UpdateWalk(left);  // at most once per leg: each call starts the next
  }
  const float k = legWalked_ / legLength_;
  owner_->MoveTo(legStartX_ + legDx_ * k + 0.5f, legStartY_ + legDy_ * k + 0.5f);
  if (icon_ && leg_ == legCount_ - 1 && totalLength_ - lengthBefore_ - legWalked_ < kIconLeftAt) HideIcon();
  if (player) static_cast<MapPlayer*>(owner_)->AddWalked(legWalked_ - before);
  return false;
}

void Job::EndWalk() {
  if (paths_) paths_->Dequeue(this);
  if (walkMode_ == kWalkSearch && request_.prState == shpf::PFS_SEARCHING) {
    request_.prState = shpf::PFS_FAILED;
    if (paths_) {
      paths_->GetPathFinder()->CancelRequest(&request_);
      request_.prState = shpf::PFS_FAILED;
      paths_->Dequeue(this);
    }
  } else if (legs_ && (walkMode_ == kWalkAlong || !startMoved_ || leg_ > 0) && leg_ < legCount_) {
    const LegPoint& end = legs_[leg_];
    auto clampAxis = [](float now, float d, float endValue) {
      const float whole = std::trunc(now);
      if (d < -0.00001f) return std::max(whole, endValue);
      if (d > 0.00001f) return std::min(whole, endValue);
      return endValue;
    };
    owner_->MoveTo(clampAxis(owner_->GetX(), legDx_, end.x), clampAxis(owner_->GetY(), legDy_, end.y));
  }
  if (walkMode_ == kWalkAlong || startMoved_) owner_->SetSeenVersion(owner_->GetSeenVersion() - 1);
  FreeLegs();
}
