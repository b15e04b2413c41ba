#include "level/map/LevelPoint.h"

#include "level/map/LevelMap.h"
#include "level/map/PointCare.h"
#include "level/map/PointJob.h"
#include "level/map/PointSprites.h"
#include "resources/TutorialHooks.h"

LevelPoint::~LevelPoint() {
  Shutdown(false, true, 0);
  DropSprite(&progressLine_, false, 0);
  DropSprite(&stars_, false, 0);
}

bool LevelPoint::Setup(const POINTPARAMS& params, bool fade, u32 delay) { return SetLevel(params.level, fade, delay); }

bool LevelPoint::OnHover(MapObject* hovered) {
  const bool answer = BaseLevelPoint::OnHover(hovered);
  if (!IsHovered()) progressDelay_ = kProgressLineDelay;
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
  TutorialNotify(kTutorialEventPointChanged, static_cast<uintptr_t>(GetIndex()), this);
  return true;
}

void LevelPoint::SetProgress(float progress) {
  progress_ = progress;
  if (progressLine_) progressLine_->SetProgress(progress * 100.0f);
}

void LevelPoint::ShowProgressLine() {
  if (level_ == 0 || !IsHovered() || progressLine_ || progressDelay_ != -1 || !HasProgress()) return;
  PointSprites* sprites = GetMap().Hooks().sprites;
  if (!sprites) return;
  POINTPOS at;
  GetProgressAnchor(&at);
  progressLine_ = sprites->MakeProgressLine(at.x, at.y, kProgressLineWidth, 1);
  if (!progressLine_) return;
  progressLine_->SetProgress(progress_ * 100.0f);
  progressLine_->Show(false, 0, kSpritePop, kSpriteShowTime);
}

// The line is hidden for good: a later hover makes a new one.
void LevelPoint::HideProgressLine() {
  progressDelay_ = -1;
  DropSprite(&progressLine_, true, 0);
}

void LevelPoint::ShowStars(i32 count, bool fade, u32 delay) {
  if (level_ == 0 || stars_) return;
  PointSprites* sprites = GetMap().Hooks().sprites;
  if (!sprites) return;
  POINTPOS at;
  GetStarsAnchor(&at);
  stars_ = sprites->MakeStars(at.x, at.y, count, level_);
  if (stars_) FadeSprite(stars_, fade, static_cast<i32>(delay), kSpritePop, kSpriteShowTime);
}

void LevelPoint::FadeSprite(PointSprite* sprite, bool fade, i32 delay, u32 style, u32 duration) {
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
  DropSprite(&progressLine_, fade, delay);
  DropSprite(&stars_, fade, delay);
  DeleteDamage();
  return BaseLevelPoint::DoShutdown(fade, final, delay);
}

// With fade the sprite hides (and its list deletes it); without, it goes at once.
void LevelPoint::DropSprite(PointSprite** sprite, bool fade, u32 delay) {
  PointSprite* s = *sprite;
  *sprite = nullptr;
  if (!s) return;
  if (fade)
    s->Hide(true, false, delay, kSpriteFade | kSpriteScale, kSpriteShowTime);
  else
    delete s;
}
