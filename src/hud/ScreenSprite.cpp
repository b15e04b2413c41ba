#include "hud/ScreenSprite.h"

#include <algorithm>

#include "base/Maths.h"
#include "engine/DXLViewer.h"
#include "platform/gfx/GfxTypes.h"
#include "resources/CurrentLevel.h"
#include "hud/ScreenSpriteHost.h"
#include "hud/ScreenSpriteList.h"
#include "resources/ResourceServices.h"

ScreenSpriteList* GetLevelScreenSprites() {
  auto* host = dynamic_cast<ScreenSpriteHost*>(GetCurrentLevel());
  return host ? host->GetScreenSprites() : nullptr;
}

ScreenSprite::ScreenSprite(i32 x, i32 y) : x_(x), y_(y), rect_{x, y, x, y} {
  owner_ = GetLevelScreenSprites();
  if (owner_) owner_->AddSprite(this);
}

ScreenSprite::~ScreenSprite() {
  DeleteSpriteEffects(&effects_);
  if (owner_) owner_->RemoveSprite(this);
}

void ScreenSprite::Show(bool instant, u32 delay, u32 style, u32 duration) {
  if (visible_ && (showState_ == kShowSettled || (showState_ == kShowShowing && !instant))) return;
  showState_ = kShowShowing;
  DeleteSpriteEffects(&effects_);
  visible_ = 1;
  if (!instant) AttachSpriteEffect(&effects_, new SEffect_SSShowHide(false, style, delay, duration, true));
  OnShowChanged();
}

void ScreenSprite::Hide(bool removeWhenHidden, bool instant, u32 delay, u32 style, u32 duration) {
  if (removeWhenHidden) removeWhenHidden_ = 1;
  if (!visible_ || (showState_ == kShowHiding && !instant)) return;
  showState_ = kShowHiding;
  DeleteSpriteEffects(&effects_);
  if (instant)
    visible_ = 0;
  else
    AttachSpriteEffect(&effects_, new SEffect_SSShowHide(true, style, delay, duration, true));
  OnShowChanged();
}

void ScreenSprite::AddEffect(SpriteEffect* effect) { AttachSpriteEffect(&effects_, effect); }

void ScreenSprite::GetScreenRect(DXLRECT* out) const {
  if (!out) return;
  *out = rect_;
  const CurrentLevel* host = GetCurrentLevel();
  if (!host) return;
  float l = 0, t = 0, r = 0, b = 0;
  host->MapToScreen(static_cast<float>(rect_.left), static_cast<float>(rect_.top), &l, &t);
  host->MapToScreen(static_cast<float>(rect_.right), static_cast<float>(rect_.bottom), &r, &b);
  *out = DXLRECT{static_cast<i32>(l), static_cast<i32>(t), static_cast<i32>(r), static_cast<i32>(b)};
}

bool ScreenSprite::IsScaledDown() const {
  const CurrentLevel* host = GetCurrentLevel();
  return keepSize_ && host && host->IsViewScaling() && host->GetViewScale() < 1.0f;
}

bool ScreenSprite::Draw() {
  if (!visible_) return false;
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return false;
  const CurrentLevel* host = GetCurrentLevel();
  DXLMATRIX view = host ? host->GetLevelTransform() : plat::gfx::IdentityMatrix();
  viewer->SetTransform(&view);
  viewer->Translate(static_cast<float>(x_ + offsetX_), static_cast<float>(y_ + offsetY_));
  if (IsScaledDown()) {
    viewer->SetScale(GetResourceServices().screen.scale);
    viewer->RoundTranslation();
  }
  effectAlphaActive_ = effects_ ? 1 : 0;
  UpdateSpriteEffects(&effects_);
  if (!effects_) {
    if (showState_ == kShowHiding || removeWhenHidden_)
      visible_ = 0;
    else if (showState_ == kShowShowing)
      showState_ = kShowSettled;
  }
  if (!visible_) return false;
  if (!effectAlphaActive_) return true;
  if (effects_ && !(effects_->flags & kEffectColor)) {
    effectAlphaActive_ = 0;
    return true;
  }
  color_ = effects_ ? effects_->color & 0xFF000000u : 0xFF000000u;
  return true;
}

void ScreenSprite::Render() {
  if (!Draw()) return;
  if (DXLViewer* viewer = GetGameViewer()) viewer->GetTransform(&drawTransform_);
  DrawContent();
}

void ScreenSprite::ApplyAlpha(DXLQUAD* quad) const {
  for (DXLVERTEX& v : quad->v) v.color = (v.color & 0x00FFFFFFu) | (color_ & 0xFF000000u);
}

i32 ScreenSprite::ScaledLength(i32 pixels) const {
  const CurrentLevel* host = GetCurrentLevel();
  if (!IsScaledDown() || host->GetViewScale() <= 0.0f) return pixels;
  return kis::CeilToInt(static_cast<float>(pixels) / host->GetViewScale());
}

void ScreenSprite::StandAbove(i32 baseX, i32 baseY, i32 lift, i32 halfWidth, i32 halfHeight) {
  x_ = baseX;
  y_ = std::max(baseY - ScaledLength(lift), 32);
  rect_ = DXLRECT{x_ - halfWidth, y_ - halfHeight, x_ + halfWidth, y_ + halfHeight};
  KeepAbovePanel();
}

void ScreenSprite::KeepAbovePanel() {
  const CurrentLevel* host = GetCurrentLevel();
  DXLRECT panel{};
  if (!host || !host->GetPanelRect(&panel)) return;
  DXLRECT r{};
  GetScreenRect(&r);
  r = DXLRECT{r.left + 8, r.top + 8, r.right - 8, r.bottom - 8};
  const bool meets = r.left < panel.right && panel.left < r.right && r.top < panel.bottom && panel.top < r.bottom;
  if (!meets) return;
  float lx = 0.0f, ly = 0.0f;
  host->ScreenToMap(0.0f, static_cast<float>(host->GetPanelLine() - 8), &lx, &ly);
  const i32 dy = static_cast<i32>(ly) - rect_.top;
  y_ += dy;
  rect_.top += dy;
  rect_.bottom += dy;
}

// --- SEffect_SSShowHide ---------------------------------------------------------------------------

namespace {

u8 ShowHideKind(u32 style) {
  u8 kind = 0;
  if (style & (kShowScale | kShowPop)) kind |= kEffectScale;
  if (style & kShowFade) kind |= kEffectColor;
  return kind;
}

}  // namespace

SEffect_SSShowHide::SEffect_SSShowHide(bool hide, u32 style, u32 delay, u32 duration, bool removeWhenDone)
    : SpriteEffect(ShowHideKind(style), delay, duration, removeWhenDone),
      hide_(hide ? 1 : 0),
      style_(style),
      startDelay_(delay) {}

SpriteEffect* SEffect_SSShowHide::Clone() const {
  return new SEffect_SSShowHide(hide_ != 0, style_, startDelay_, duration_, removeWhenDone_ != 0);
}

float SEffect_SSShowHide::PopScale(float v) { return v < 0.75f ? v * 1.25f / 0.75f : 2.0f - v; }

bool SEffect_SSShowHide::Step() {
  if (!SpriteEffect::Step()) return false;
  if (style_ == 0 || !owner_) return true;
  const float v = hide_ ? 1.0f - progress_ : progress_;
  if (style_ & kShowFade) {
    const i32 a = std::clamp(kis::RoundToInt(v * 255.0f), 0, 255);
    owner_->color = (owner_->color & 0x00FFFFFFu) | static_cast<u32>(a) << 24;
  }
  if (style_ & kShowPop)
    owner_->scaleX = PopScale(v);
  else if (style_ & kShowScale)
    owner_->scaleX = v;
  else
    return true;
  owner_->scaleY = owner_->scaleX;
  return true;
}
