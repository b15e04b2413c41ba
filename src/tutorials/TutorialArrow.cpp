#include "tutorials/TutorialArrow.h"

#include <cmath>

#include "engine/DXLViewer.h"
#include "level/rules/LevelLocks.h"
#include "level/rules/LevelRules.h"
#include "level/scene/GameLevel.h"
#include "resources/GameDraw.h"
#include "resources/ImageSprite.h"
#include "resources/ResourceServices.h"
#include "resources/SEffects.h"
#include "resources/Sprite.h"
#include "tutorials/TutorialLayer.h"
#include "tutorials/TutorialTargets.h"
#include "ui/WindowManager.h"

namespace {

constexpr float kDegToRad = 3.14159265358979f / 180.0f;
constexpr float kStrike = 0.7f;  // from this height of the swing on, the arrow is squashed
constexpr u32 kArrowFadeIn = 200;
constexpr u32 kArrowFadeInDelay = 200;
constexpr u32 kArrowFadeOut = 150;

}  // namespace

// --- SEffect_Arrow --------------------------------------------------------------------------------------

SEffect_Arrow::SEffect_Arrow(float amplitude, float squashX, float squashY, u32 period)
    : SpriteEffect(kEffectPosition | kEffectScale, 0, 0, false),
      amplitude_(amplitude),
      squashX_(squashX),
      squashY_(squashY),
      period_(period < 2 ? 1 : period) {}

SpriteEffect* SEffect_Arrow::Clone() const { return new SEffect_Arrow(amplitude_, squashX_, squashY_, period_); }

// v runs 0 -> 1 -> 0 once a period; below 0.7 the arrow is pushed back
// along its own axis, above it squashed against its target.
void SEffect_Arrow::At(u32 elapsed, float* offset, float* scaleX, float* scaleY) const {
  const float phase = static_cast<float>(elapsed % period_) / static_cast<float>(period_) * 360.0f - 90.0f;
  const float v = (std::sin(phase * kDegToRad) + 1.0f) / 2.0f;
  if (v >= kStrike) {
    const float k = (v - kStrike) / (1.0f - kStrike);
    *offset = 0.0f;
    *scaleX = (squashX_ - 1.0f) * k + 1.0f;
    *scaleY = (squashY_ - 1.0f) * k + 1.0f;
  } else {
    *offset = amplitude_ * (1.0f - v / kStrike);
    *scaleX = *scaleY = 1.0f;
  }
}

bool SEffect_Arrow::Step() {
  if (!SpriteEffect::Step() || !owner_) return true;
  float offset = 0.0f, sx = 1.0f, sy = 1.0f;
  At(rawElapsed_, &offset, &sx, &sy);
  owner_->posX = offset;
  owner_->posY = 0.0f;
  owner_->scaleX = sx;
  owner_->scaleY = sy;
  return true;
}

// --- TutorialArrow ----------------------------------------------------------------------------------------

TutorialArrow::TutorialArrow(TutorialLayer* layer, u32 tag) : layer_(layer), tag_(tag) {
  if (layer_) layer_->Arrows().Add(this);
  WindowManager* manager = GetWindowManager();
  Sprite* sprite = manager ? manager->GetInterfaceSprite(u"tutorial_arrow") : nullptr;
  if (sprite) image_ = sprite->CreateImageSprite(false);
  if (image_) {
    const i32 h = sprite->GetFrameHeight();
    image_->SetPivot(0.0f, h > 0 ? static_cast<float>(h / 2) / static_cast<float>(h) : 0.5f);
  }
  AttachSpriteEffect(&bounce_, new SEffect_Arrow(kArrowAmplitude, kArrowSquashX, kArrowSquashY, kArrowPeriod));
}

TutorialArrow::~TutorialArrow() {
  if (layer_) layer_->Arrows().Remove(this);
  DeleteSpriteEffects(&bounce_);
  DeleteSpriteEffects(&fade_);
  delete image_;
  delete target_;
}

void TutorialArrow::SetState(u32 state) {
  if (state <= state_) return;
  state_ = state;
  DeleteSpriteEffects(&fade_);
  if (state == kLayerShowing)
    AttachSpriteEffect(&fade_, new SEffect_Alpha(0.0f, 1.0f, kArrowFadeIn, true, kArrowFadeInDelay));
  else if (state == kLayerHiding)
    AttachSpriteEffect(&fade_, new SEffect_Alpha(1.0f, 0.0f, kArrowFadeOut, true, 0));
}

void TutorialArrow::Update(u32 elapsed) {
  if (state_ == kLayerShowing && !fade_) state_ = kLayerShown;
  elapsed_ += elapsed;
}

void TutorialArrow::SetTarget(TutorialTarget* target) {
  if (target == target_) return;
  delete target_;
  target_ = target;
  UpdateTarget();
}

void TutorialArrow::UpdateTarget() {
  if (target_) target_->UpdatePosition();
}

// Its fade moves on even while the target cannot be found (an arrow
// hiding over a closed window still goes), but it is drawn only at a valid
// target.
void TutorialArrow::Draw() {
  u32 colour = 0xFFFFFFFFu;
  if (fade_) {
    if (UpdateSpriteEffects(&fade_)) {
      colour = GetEffectColor(fade_, colour);
    } else if (state_ == kLayerShowing) {
      state_ = kLayerShown;
    } else {
      state_ = kLayerGone;
      return;
    }
  }
  DXLViewer* viewer = GetGameViewer();
  if (!viewer || !target_ || !target_->IsValid() || !image_) return;
  LoadGameAreaTransform();
  // Under the developer switch "Places" the log tells where the arrow's tip
  // stands whenever that changes, and what it points at.
  target_->TellWhere("arrow", static_cast<i32>(tag_), &toldX_, &toldY_);
  viewer->Translate(target_->GetFloatX(), target_->GetFloatY());
  viewer->RotateDeg(target_->GetAngle());
  if (bounce_) {
    bounce_->ownTime = elapsed_;  // the swing stands still while the arrow is not updated
    UpdateSpriteEffects(&bounce_);
  }
  image_->SetColor(colour);
  image_->Draw();
}

bool TutorialArrow::GetLine(kis::FloatPoint* tip, kis::FloatPoint* tail) const {
  const Sprite* sprite = image_ ? image_->GetSprite() : nullptr;
  if (!sprite || !target_ || !target_->IsValid()) return false;
  *tip = *tail = kis::FloatPoint{target_->GetFloatX(), target_->GetFloatY()};
  kis::AddPolar(tail, target_->GetAngle(), static_cast<float>(sprite->GetFrameWidth()), false);
  return true;
}

// --- LevelTutorialArrow --------------------------------------------------------------------------------------

LevelTutorialArrow::LevelTutorialArrow(TutorialLayer* layer, u32 tag, GameLevel* level, u32 lockMask)
    : TutorialArrow(layer, tag), level_(level), lockMask_(lockMask | kLockStart | kLockTutorial) {}

void LevelTutorialArrow::Update(u32 elapsed) {
  if (level_ && !level_->Rules().Locks().IsLockedExcept(lockMask_)) TutorialArrow::Update(elapsed);
}
