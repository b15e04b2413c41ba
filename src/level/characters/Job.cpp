#include "level/characters/Job.h"

#include <cmath>

#include "base/Strings.h"
#include "content/GameCharacter.h"
#include "level/map/BaseLevelPoint.h"
#include "level/characters/LevelCharacters.h"
#include "level/rules/LevelMoney.h"
#include "level/characters/MapCharacter.h"
#include "level/characters/MapPlayer.h"
#include "resources/ResourceServices.h"
#include "resources/SEffects.h"
#include "resources/TutorialHooks.h"
#include "hud/SSColorIcon.h"
#include "hud/SSProgressLine.h"

namespace {

constexpr u32 kStyleFadePop = kShowFade | kShowPop;  // the hide of icons and lines
constexpr float kAnimationTurnTime = 40.0f;           // ms a direction step takes before work
constexpr u32 kIconBuildTime = 200;                   // ms of a new icon's build effect

}  // namespace

Job::Job(MapCharacter* owner, u16 jobId)
    : level_(owner ? &owner->GetCast() : nullptr),
      paths_(level_ ? &level_->Paths() : nullptr),
      owner_(owner),
      jobId_(jobId) {
  if (owner_) owner_->AddJob(this);
}

// Only the reservation leaves the running total: the money stays spent.
Job::~Job() {
  if (paths_) {
    paths_->AddReserved(-cost_);
    paths_->Dequeue(this);
    paths_->GetPathFinder()->CancelRequest(&request_);
  }
  cost_ = 0;
  delete[] request_.points;
  FreeLegs();
  delete icon_;
  delete progress_;
  if (BaseLevelPoint* point = GetListPoint()) point->DetachJob(this);
  if (owner_) owner_->RemoveJob(this);
}

void Job::GetIconPosition(i32* x, i32* y) const {
  *x = static_cast<i32>(owner_->GetX());
  *y = static_cast<i32>(owner_->GetY()) + 16;
}

bool Job::NextStep(i32 step) {
  if (state_ >= kJobFinished) return false;
  if (step == -1) step = step_ + 1;
  if (step > step_) {
    step_ = step;
    return true;
  }
  Finish();
  return false;
}

bool Job::Finish() {
  if (state_ >= kJobFinished) return false;
  if (owner_) owner_->ClearCurrentJob(this);
  Stop();
  state_ = kJobFinished;
  return true;
}

bool Job::GetIconAnchor(i32* x, i32* y) const {
  if (!icon_) return false;
  *x = iconX_;
  *y = iconY_;
  return true;
}

void Job::SetIconOffset(i32 dx, i32 dy) {
  if (icon_) icon_->SetOffset(dx, dy);
}

// --- Money ----------------------------------------------------------------------------------------

void Job::SetCost(i32 amount) {
  if (paths_) paths_->AddReserved(-cost_);
  cost_ = 0;
  if (amount < 0) amount = 0;
  LevelMoney* money = level_ ? level_->GetMoney() : nullptr;
  cost_ = money ? money->Reserve(amount) : amount;
  if (paths_) paths_->AddReserved(cost_);
}

// --- Icon -----------------------------------------------------------------------------------------

void Job::ShowIcon(i32 x, i32 y, Sprite* sprite, BaseLevelPoint* anchor, u32 color) {
  if (!sprite || !level_ || !level_->GetHud()) return;
  delete icon_;
  bool build = level_->IsEntered();
  if (build && owner_ && owner_->GetJobs().GetCount() == 1) {
    const float dx = static_cast<float>(x) - owner_->GetX(), dy = static_cast<float>(y) - owner_->GetY();
    if (dx * dx + dy * dy < 64.0f * 64.0f) build = false;
  }
  icon_ = new SSColorIcon(x, y, sprite, color, kJobIconBorder);
  icon_->Show(true, 0, 0, 0);
  if (build) icon_->AddEffect(new SEffect_Build(kIconBuildTime, 0));
  iconX_ = x;
  iconY_ = y;
  if (anchor) anchor->AddJob(this);
}

void Job::HideIcon() {
  if (!icon_) return;
  SSColorIcon* icon = icon_;
  icon_ = nullptr;
  if (level_ && level_->IsEntered()) {
    icon->Hide(true, false, 0, kStyleFadePop, 300);
  } else {
    delete icon;
  }
}

// Where the icon is drawn: its anchor moved by the offset its point gave it
// among the icons that share the place.
bool Job::GetIconPoint(i32* x, i32* y) const {
  if (!icon_) return false;
  *x = iconX_ + icon_->GetOffsetX();
  *y = iconY_ + icon_->GetOffsetY();
  return true;
}

void Job::NotifyTutorial() { TutorialNotify(kTutorialEventJob, jobId_, this); }

// --- Motion ---------------------------------------------------------------------------------------

bool Job::Stop() {
  if (state_ >= kJobFinished) return false;
  if (state_ == kJobWalking) EndWalk();
  if (state_ == kJobAnimating) EndAnimation();
  HideIcon();
  if (cost_ > 0)
    if (LevelMoney* money = level_ ? level_->GetMoney() : nullptr) money->Add(cost_);
  if (paths_) paths_->AddReserved(-cost_);
  cost_ = 0;
  state_ = kJobIdle;
  return true;
}

void Job::EndAnimation() {
  if (progress_) {
    progress_->Hide(true, false, 0, kStyleFadePop, 400);  // the list deletes it once hidden
    progress_ = nullptr;
  }
  state_ = kJobIdle;
}

// The facing to work in is the direction of the owner's running animation
// nearest to the angle the work animation has in the requested direction.
bool Job::PlayAnimation(u32 duration, const wchar* name, i32 direction, i32 activity) {
  if (progress_) {
    delete progress_;
    progress_ = nullptr;
  }
  HideIcon();
  duration_ = duration;
  activity_ = activity;
  elapsed_ = 0.0f;
  if (duration == 0) return true;
  state_ = kJobAnimating;
  kis::StrCopy(animName_, kAnimationNameSize, name ? name : u"");
  startPending_ = 1;
  direction_ = direction;
  animFacing_ = owner_->GetDirection();
  animTurnTimer_ = 0.0f;
  GameAnimation* running = owner_->GetAnimation();
  const GameCharacter* d = owner_->GetDescription();
  if (running && d)
    if (const GameAnimation* work = d->FindAnimation(owner_->GetSkin(), animName_)) {
      const i32 facing = running->FindDirection(work->GetDirectionAngle(&owner_->GetAnimationState(), direction));
      if (facing >= 0) animFacing_ = facing;
    }
  if (direction != -1 && direction != animFacing_)
    if (const GameAnimation* idle = d ? d->GetCharAnimation(owner_->GetSkin()) : nullptr)
      owner_->PlayAnimation(owner_->GetSkin(), idle->GetName(), owner_->GetDirection(), true, kActivityWork);
  if (level_ && level_->IsPlayer(owner_) && showProgress_ && level_->GetHud()) {
    i32 x, y;
    GetIconPosition(&x, &y);
    progress_ = new SSProgressLine(x, y, kJobProgressWidth, 1);
    progress_->SetProgress(0.0f);
  }
  return true;
}

bool Job::TurnOwner(i32 facing, float stepTime, float* timer, float* left) {
  if (owner_->GetDirection() == facing || !owner_->GetAnimation()) return true;
  const float rate = owner_->GetWalkActivityRate();
  float t = *left * rate;
  while (*timer <= t) {
    t -= *timer;
    if (owner_->TurnStep(facing)) {
      *timer = 0.0f;
      break;
    }
    *timer = stepTime;
  }
  if (owner_->GetDirection() != facing) {
    *timer -= t;
    return false;
  }
  *left = rate > 0.0f ? t / rate : 0.0f;
  return true;
}

bool Job::UpdateWalkThenWork(i32 walkStep) {
  if (step_ == 0) {
    NextStep(-1);
  } else if (step_ == walkStep) {
    if (UpdateWalk(1.0f)) NextStep(-1);
  } else if (step_ == walkStep + 1 && UpdateAnimation()) {
    step_ = walkStep + 2;
    state_ = kJobDone;
    return true;
  }
  return false;
}

bool Job::UpdateWaitWalkThenWork(i32 waitStep, bool waiting) {
  if (step_ != waitStep) return UpdateWalkThenWork(waitStep + 1);
  if (!waiting) NextStep(-1);
  return false;
}

bool Job::UpdateAnimation() {
  if (state_ != kJobAnimating) return state_ == kJobIdle;
  float left = static_cast<float>(GameTimeStep());
  if (startPending_) {
    if (!TurnOwner(animFacing_, kAnimationTurnTime, &animTurnTimer_, &left)) return false;
    // A direction step still running (the facing was reached from outside,
    // between two ticks) takes the rest of its time before the work starts.
    if (animTurnTimer_ > left) {
      animTurnTimer_ -= left;
      return false;
    }
    startPending_ = 0;
    owner_->PlayAnimation(owner_->GetSkin(), animName_, direction_, true, kActivityWork);
    if (progress_) progress_->Show(false, 0, kShowFade, 200);
  }
  if (duration_ == kJobOneRun) {
    const GameAnimation* a = owner_->GetAnimation();
    duration_ = a ? a->GetTotalTime() : 0;
  }
  float e = left * owner_->GetAnimationRate();
  if (activity_ >= 0 && level_) e *= level_->GetActivityFactor(activity_);
  elapsed_ += e;
  if (progress_ && duration_ > 0) progress_->SetProgress(elapsed_ / static_cast<float>(duration_) * 100.0f);
  if (static_cast<u64>(elapsed_) >= duration_) {
    elapsed_ = static_cast<float>(duration_);
    EndAnimation();
    if (level_ && level_->IsPlayer(owner_)) static_cast<MapPlayer*>(owner_)->AddWorkDone();
  }
  return state_ == kJobIdle;
}
