#include "hud/ActiveScreenSprite.h"

#include <cstdlib>

#include "resources/ResourceServices.h"
#include "resources/SoundSettings.h"
#include "ui/HintWindow.h"
#include "resources/CurrentLevel.h"
#include "hud/ScreenSpriteOwner.h"
#include "hud/ScreenSpriteList.h"

namespace {

constexpr u32 kScreenClickGroups = 0x41000000u;
constexpr i32 kHintMargin = 8;

}  // namespace

ActiveScreenSprite::ActiveScreenSprite(u32 actionCode, i32 x, i32 y) : ScreenSprite(x, y), actionCode_(actionCode) {
  if (owner_) owner_->AddActive(this);
}

ActiveScreenSprite::~ActiveScreenSprite() {
  lifetime_.End();
  SetHover(false);
  if (owner_) owner_->RemoveActive(this);
}

// Hiding or showing drops the hover of a lit sprite. Leaving hover fully
// (rather than only forgetting the list's pointer) keeps the sprite's own
// hovered flag in step, so it can be hovered again once it is back.
void ActiveScreenSprite::OnShowChanged() {
  if (state_ != 1 && owner_ && owner_->GetHovered() == this) SetHover(false);
}

void ActiveScreenSprite::SetState(u32 state) {
  if (state == state_) return;
  state_ = state;
  OnStateChanged();
}

bool ActiveScreenSprite::IsActive() const {
  return visible_ && !removeWhenHidden_ && showState_ == kShowSettled;
}

bool ActiveScreenSprite::HitTest(i32 x, i32 y) const {
  return IsActive() && x >= rect_.left && x < rect_.right && y >= rect_.top && y < rect_.bottom;
}

bool ActiveScreenSprite::SetDisabled(bool disabled) {
  if (disabled) {
    if (state_ == 0) return false;
    SetState(0);
    return true;
  }
  if (state_ != 0) return false;
  SetState(1);
  return true;
}

bool ActiveScreenSprite::SetHover(bool enter) {
  pressButton_ = 0;
  if (enter) {
    if (hovered_ || !IsActive()) return false;
    if (owner_) owner_->SetHovered(this);
    ShowHint();
    hovered_ = 1;
    hintDelay_ = kScreenHoverSettle;
    return true;
  }
  if (!hovered_) return false;
  ReleaseHint();
  if (state_ == 2 || state_ == 3) {
    OnUnhighlight();
    SetState(1);
  }
  hovered_ = 0;
  hintDelay_ = 0;
  lastPointerX_ = lastPointerY_ = -1;
  if (owner_ && owner_->GetHovered() == this) owner_->SetHovered(nullptr);
  return true;
}

bool ActiveScreenSprite::Highlight() {
  if (!hovered_ || state_ != 1 || !IsActive()) return false;
  SetState(2);
  ShowHint();
  return true;
}

bool ActiveScreenSprite::SetPressed(bool pressed) {
  if (pressed && state_ == 2) {
    SetState(3);
    return true;
  }
  if (!pressed && state_ == 3) {
    SetState(2);
    return true;
  }
  return false;
}

void ActiveScreenSprite::OnClick() {
  if (!onClick_) return;
  LifeGuard guard(lifetime_);
  const u32 result = onClick_(this, handlerOwner_, pressButton_);
  // The callback may have deleted the sprite; the sound still plays.
  if (guard.Alive() && (result & kScreenClickRemove)) removeWhenHidden_ = 1;
  if (result & kScreenClickSound) GetSoundSettings().PlaySound(GetStandardSound(kSoundClick), kScreenClickGroups, -1);
}

void ActiveScreenSprite::Update() {
  if (removeWhenHidden_) return;
  RefreshEnabled();
  const u32 step = GetResourceServices().timeStep;
  if (hintDelay_ != 0) {
    i32 px = -1, py = -1;
    if (const CurrentLevel* host = GetCurrentLevel()) host->GetPointer(&px, &py);
    const bool moved = std::abs(px - lastPointerX_) > 1 || std::abs(py - lastPointerY_) > 1;
    lastPointerX_ = px;
    lastPointerY_ = py;
    if (moved)
      hintDelay_ = kScreenHoverSettle;
    else
      hintDelay_ = hintDelay_ > step ? hintDelay_ - step : 0;
  } else if (hovered_ && state_ == 1) {
    Highlight();
  }
  clickCooldown_ = clickCooldown_ > step ? clickCooldown_ - step : 0;
}

void ActiveScreenSprite::PlaceHint() {
  HintWindow* hint = GetHintWindow();
  if (!hint) return;
  DXLRECT r{};
  GetScreenRect(&r);
  hint->SetFrame(r.left - kHintMargin, r.top - kHintMargin, r.right + kHintMargin, r.bottom + kHintMargin,
                 hint->GetAlignX(), hint->GetAlignY());
}

void ActiveScreenSprite::SetHandler(ScreenSpriteOwner* owner, ScreenClickProc onClick, ScreenDisabledProc isDisabled) {
  handlerOwner_ = owner;
  onClick_ = onClick;
  isDisabled_ = isDisabled;
  RefreshEnabled();
}

void ActiveScreenSprite::RefreshEnabled() {
  const bool disabled = isDisabled_ && isDisabled_(this, handlerOwner_) != 0;
  if (disabled != (state_ == 0)) SetDisabled(disabled);
}

u8 ActiveScreenSprite::IsPriceUnaffordable(ActiveScreenSprite*, ScreenSpriteOwner* owner) {
  const CurrentLevel* host = GetCurrentLevel();
  if (!owner || !host) return 0;
  return host->HasMoney(owner->GetScreenPrice()) ? 0 : 1;
}
