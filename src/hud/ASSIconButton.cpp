#include "hud/ASSIconButton.h"

#include "base/Maths.h"
#include "resources/Sprite.h"
#include "hud/HudPieces.h"

ASSIconButton::ASSIconButton(u32 actionCode, i32 x, i32 y, const wchar* background, Sprite* icon, i32 radius)
    : ActiveScreenSprite(actionCode, x, y),
      background_(MakeImage(FindHudSprite(background), 0.5f, 0.5f)),
      icon_(MakeImage(icon, 0.5f, 0.5f)),
      radius_(radius),
      effectiveRadius_(radius) {
  if (icon && icon->GetFrameCount() > 1) {
    iconFrames_[1] = 1;
    iconFrames_[2] = iconFrames_[3] = 2;
  }
  UpdateHitRect();
}

ASSIconButton::~ASSIconButton() = default;

void ASSIconButton::UpdateHitRect() {
  effectiveRadius_ = ScaledLength(radius_);
  const i32 r = effectiveRadius_ + 1;
  rect_ = DXLRECT{x_ - r, y_ - r, x_ + r, y_ + r};
}

void ASSIconButton::SetKeepSize(bool keep) {
  ActiveScreenSprite::SetKeepSize(keep);
  UpdateHitRect();
}

void ASSIconButton::Relayout() {
  ActiveScreenSprite::Relayout();
  UpdateHitRect();
}

bool ASSIconButton::HitTest(i32 x, i32 y) const {
  return ActiveScreenSprite::HitTest(x, y) && kis::PointsWithin(x, y, x_, y_, effectiveRadius_);
}

bool ASSIconButton::Draw() {
  if (!ActiveScreenSprite::Draw()) return false;
  if (effectAlphaActive_) {
    if (background_) background_->SetColor(WithAlpha(background_->GetColor(), GetAlpha()));
    if (icon_) icon_->SetColor(WithAlpha(icon_->GetColor(), GetAlpha()));
  }
  return true;
}

void ASSIconButton::DrawContent() {
  if (background_) background_->SetFrame(static_cast<i32>(state_));
  if (icon_) icon_->SetFrame(static_cast<i32>(iconFrames_[state_ & 3]));
  DrawImageAt(background_.get(), 0.0f, 0.0f, drawTransform_);
  DrawImageAt(icon_.get(), 0.0f, 0.0f, drawTransform_);
}
