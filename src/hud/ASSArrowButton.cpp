#include "hud/ASSArrowButton.h"

#include "engine/DXLViewer.h"
#include "resources/ResourceServices.h"
#include "resources/SEffects.h"
#include "hud/HudPieces.h"

namespace {

constexpr i32 kArrowRadius = 18;
constexpr i32 kArrowLift = 32;

}  // namespace

ASSArrowButton::ASSArrowButton(u32 actionCode, i32 x, i32 y, Sprite* icon, const wchar* background, Sprite* arrow)
    : ASSIconButton(actionCode, x, y, background ? background : u"icon_btn", icon, kArrowRadius),
      baseX_(x),
      baseY_(y),
      arrow_(MakeImage(arrow ? arrow : FindHudSprite(u"button_arrow"), 0.5f, 0.0f)) {
  SetKeepSize(true);
  Relayout();
}

ASSArrowButton::~ASSArrowButton() { DeleteSpriteEffects(&glowEffects_); }

void ASSArrowButton::Relayout() {
  ASSIconButton::Relayout();
  const i32 r = effectiveRadius_ + 1;
  StandAbove(baseX_, baseY_, kArrowLift, r, r);
}

void ASSArrowButton::SetGlow(Sprite* glow, float scale, u32 color) {
  DeleteSpriteEffects(&glowEffects_);
  glow_ = MakeImage(glow, 0.5f, 0.5f);
  if (!glow_) return;
  glow_->SetScale(scale, scale);
  glow_->SetColor(color);
  glowAlpha_ = color >> 24;
  AttachSpriteEffect(&glowEffects_, new SEffect_SinScale(1.0f, 1.25f, 1000, 0, false, 0));
}

bool ASSArrowButton::Draw() {
  if (!ASSIconButton::Draw()) return false;
  if (effectAlphaActive_ && arrow_) arrow_->SetColor(WithAlpha(arrow_->GetColor(), GetAlpha()));
  if (glow_) glow_->SetColor(WithAlpha(glow_->GetColor(), ((GetAlpha() >> 24) * glowAlpha_ / 255) << 24));
  return true;
}

void ASSArrowButton::DrawContent() {
  DXLViewer* viewer = GetGameViewer();
  if (glow_ && viewer) {
    viewer->SetTransform(&drawTransform_);
    UpdateSpriteEffects(&glowEffects_);
    glow_->Draw();
    viewer->SetTransform(&drawTransform_);
  }
  DrawImageAt(arrow_.get(), arrowX_, arrowY_, drawTransform_);
  ASSIconButton::DrawContent();
}
