#include "level/map/LevelPoint.h"

#include "level/map/LevelMap.h"
#include "level/map/PointCare.h"
#include "level/map/PointJob.h"
#include "level/scene/LevelInterface.h"
#include <utility>

#include "resources/TutorialHooks.h"
#include "hud/SSProgressLine.h"
#include "hud/SSStars.h"

LevelPoint::~LevelPoint() {
  Shutdown(false, true, 0);
  DropSprite(std::exchange(progressLine_, nullptr), false, 0);
  DropSprite(std::exchange(stars_, nullptr), false, 0);
}

// A point set up at a level tells the tutorial its new kind; its state
// value (the level) says how far it stands (0: a site or a bed being dug).
bool LevelPoint::Setup(const POINTPARAMS& params, bool fade, u32 delay) {
  recordId_ = params.id;
  if (!SetLevel(params.level, fade, delay)) return false;
  TutorialNotify(kTutorialEventPointChanged, static_cast<uintptr_t>(GetKind()), static_cast<BaseLevelPoint*>(this));
  return true;
}

bool LevelPoint::OnHover(MapObject* hovered) {
  const bool answer = BaseLevelPoint::OnHover(hovered);
  if (!IsPointHovered()) progressDelay_ = kProgressLineDelay;
  return answer;
}

void LevelPoint::OnUnhover() { HideProgressLine(); }

void LevelPoint::StopJobs(bool) {
  if (currentJob_) currentJob_->Finish();
}

u32 LevelPoint::Update(u32 ms) {
  if (HasDamage()) {
    if (PointCare* care = GetMap().Hooks().care) ms = care->UpdateDamage(this, ms);
  }
  ms = BaseLevelPoint::Update(ms);
  if (progressDelay_ >= 0) {
    progressDelay_ -= static_cast<i32>(ms);
    if (progressDelay_ <= 0) {
      progressDelay_ = -1;
      ShowProgressLine();
    }
  }
  return ms;
}

void LevelPoint::GetInfo(POINTPARAMS* out) const {
  BaseLevelPoint::GetInfo(out);
  out->level = level_;
  if (GetKind() == kPointKindPlant || GetKind() == kPointKindBuilding) out->id = recordId_;
}

PointJob* LevelPoint::CreatePulldownJob() {
  PointCare* care = GetMap().Hooks().care;
  return care ? care->CreatePulldownJob(this) : nullptr;
}

void LevelPoint::GetProgressAnchor(POINTPOS* out) const {
  GetPos(out);
  out->y -= 100;
}

bool LevelPoint::ChangeLevel(i32 level, bool fade, u32 delay) {
  if (!SetLevel(level, fade, delay)) return false;
  TutorialNotify(kTutorialEventPointChanged, static_cast<uintptr_t>(GetKind()), static_cast<BaseLevelPoint*>(this));
  return true;
}

void LevelPoint::SetProgress(float progress) {
  progress_ = progress;
  if (progressLine_) progressLine_->SetProgress(progress * 100.0f);
}

void LevelPoint::ShowProgressLine() {
  if (level_ == 0 || !IsPointHovered() || progressLine_ || progressDelay_ != -1 || !HasProgress()) return;
  if (!GetMap().Hooks().hud) return;
  POINTPOS at;
  GetProgressAnchor(&at);
  progressLine_ = new SSProgressLine(at.x, at.y, kProgressLineWidth, 1);
  progressLine_->SetProgress(progress_ * 100.0f);
  progressLine_->Show(false, 0, kShowPop, kPointSpriteShowTime);
}

// The line is hidden for good: a later hover makes a new one.
void LevelPoint::HideProgressLine() {
  progressDelay_ = -1;
  DropSprite(std::exchange(progressLine_, nullptr), true, 0);
}

void LevelPoint::ShowStars(i32 count, bool fade, u32 delay) {
  if (level_ == 0 || stars_) return;
  if (!GetMap().Hooks().hud) return;
  POINTPOS at;
  GetStarsAnchor(&at);
  stars_ = new SSStars(at.x, at.y, count, level_);
  FadeSprite(stars_, fade, static_cast<i32>(delay), kShowPop, kPointSpriteShowTime);
}

void LevelPoint::FadeSprite(ScreenSprite* sprite, bool fade, i32 delay, u32 style, u32 duration) {
  if (!sprite) return;
  sprite->Show(!fade, static_cast<u32>(delay < 0 ? GetShowDelay() : delay), style, duration);
}

u32 LevelPoint::DoShutdown(bool fade, bool final, u32 delay) {
  if (final && currentJob_) {
    PointJob* job = currentJob_;
    currentJob_ = nullptr;
    job->ClearTarget();
    job->Finish();
  }
  progressDelay_ = -1;
  DropSprite(std::exchange(progressLine_, nullptr), fade, delay);
  DropSprite(std::exchange(stars_, nullptr), fade, delay);
  DeleteDamage();
  return BaseLevelPoint::DoShutdown(fade, final, delay);
}

void LevelPoint::DropSprite(ScreenSprite* s, bool fade, u32 delay) {
  if (!s) return;
  if (fade)
    s->Hide(true, false, delay, kShowFade | kShowScale, kPointSpriteShowTime);
  else
    delete s;
}

void LevelPoint::RefreshPanel() {
  if (LevelInterface* panels = GetMap().Hooks().panels) panels->RefreshPointPanel(this);
}

void LevelPoint::OnDeselect() {
  BaseLevelPoint::OnDeselect();
  if (LevelInterface* panels = GetMap().Hooks().panels) panels->HidePointPanel(this);
}
