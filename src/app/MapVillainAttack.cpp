#include "app/MapVillainAttack.h"

#include <algorithm>
#include <cmath>

#include "base/Identifier.h"
#include "base/Maths.h"
#include "content/GameCharacter.h"
#include "engine/DXLViewer.h"
#include "resources/GPSEmiter.h"
#include "resources/GPSSpace.h"
#include "resources/ImageSprite.h"
#include "resources/ParticleLibrary.h"
#include "resources/ResourceServices.h"
#include "resources/SEffects.h"
#include "resources/Sprite.h"
#include "resources/SpriteEffect.h"
#include "resources/SpriteSet.h"

namespace {

constexpr MapCharKind kVillainKind{kMapCharVillain, 0.65f, 1.5f, 1.0f, 1.0f, 0};
constexpr MapCharKind kCatapultKind{kMapCharCatapult, 1.0f, 1.0f, 1.0f, 1.0f, 0};

constexpr u32 kShotGrowMs = 300;
constexpr u32 kShotFrameMs = 60;  // a shot picture's frame time when its sprite names none

// The villain's catapult place and shot start by variant (its own units).
constexpr float kCatapultAt[8][2] = {{11, -25}, {40, -14}, {48, 5},   {27, 25},
                                     {-11, 29}, {-27, 25}, {-48, 5}, {-40, -14}};
constexpr float kShotFrom[8][2] = {{10, -93},  {50, -79},  {62, -56},  {39, -29},
                                   {-7, -18}, {-39, -29}, {-62, -56}, {-50, -79}};

}  // namespace

// --- The villains' attack ---------------------------------------------------------------------------------

MLCCatapult::MLCCatapult() : MapLevelCharacter(nullptr, kCatapultKind) {}

MLCVillainShot::MLCVillainShot(MapAttackHost* host, float x, float y, i32 level)
    : host_(host), startX_(x), startY_(y), level_(level), x_(x), y_(y) {
  float tx = x, ty = y;
  if (host_) host_->GetLevelNodePos(level, &tx, &ty);
  SetImage(u"bullet_01");
  if (image_) image_->SetAngle(kis::LineAngle(x, y, tx, ty) - 45.0f);
  dx_ = tx - x;
  dy_ = ty - y;
  length_ = kis::VectorLengthXY(dx_, dy_);
  static const u32 gasId = kis::NameId(u"bullet_gas");
  GPSSpace* space = host_ ? host_->GetAttackParticles() : nullptr;
  if (const GPSSYSTEM* system = FindParticleSystem(gasId); system && space) {
    GPSSYSTEM gas = *system;  // the emitter copies it
    for (i32& interval : gas.burstInterval) interval = interval / 2 + interval % 2;
    emitter_ = new GPSEmiter(space, &gas, nullptr, x, y);
    emitter_->Start();
  }
  AttachSpriteEffect(&effects_, new SEffect_Scale(0.8f, 1.0f, kShotGrowMs, true, 0));
}

MLCVillainShot::~MLCVillainShot() {
  delete emitter_;
  DeleteSpriteEffects(&effects_);
}

void MLCVillainShot::SetImage(const wchar* name) {
  image_.reset();
  SpriteSet* set = GetSpriteSet(kParticleSpriteSet);
  Sprite* sprite = GetSpriteByName(kParticleSpriteSet, name);
  if (!set || !sprite) return;
  if (!sprite->IsLoaded()) sprite->Init();
  image_.reset(sprite->CreateImageSprite(false));
  if (!image_) return;
  image_->SetPivot(0.5f, 0.5f);
  // The shot sets the picture's frames from its own updates (at its
  // sequence's pace), so they stop with the map's update, under a modal
  // window too: the sprite's own animation on the frame clock is stopped.
  const DXLFRAMESEQ* seq = sprite->GetDefaultAnimation();
  frameTime_ = seq && seq->timePerFrame ? seq->timePerFrame : kShotFrameMs;
  frameCount_ = std::max(sprite->GetFrameCount(), 1);
  imageTime_ = 0;
  frame_ = 0;
  image_->SetAnimation(nullptr, false);
  image_->SetFrame(0);
}

void MLCVillainShot::Update(u32 ms) {
  if (finished_) return;
  imageTime_ += ms;
  frame_ = static_cast<i32>(imageTime_ / frameTime_);
  if (exploded_) {
    if (frame_ + 1 >= frameCount_) finished_ = true;
    if (image_) image_->SetFrame(std::min(frame_, frameCount_ - 1));
    return;
  }
  if (image_) image_->SetFrame(frame_ % frameCount_);
  travelled_ += kMapShotSpeed;
  if (travelled_ >= length_) {
    x_ = startX_ + dx_;
    y_ = startY_ + dy_;
    Explode();
    return;
  }
  const float f = travelled_ / length_;
  x_ = startX_ + dx_ * f;
  y_ = startY_ + dy_ * f;
  if (emitter_) emitter_->SetPosition(x_, y_);
}

void MLCVillainShot::Explode() {
  exploded_ = true;
  SetImage(u"gas");
  if (image_) {
    image_->SetScale(2.0f, 2.0f);
    image_->SetAngle(0.0f);
  }
  imageTime_ = 2 * frameTime_;
  frameCount_ += 1;
  frame_ = 2;
  if (image_) image_->SetFrame(std::min(frame_, frameCount_ - 1));  // two frames in from the start
  delete emitter_;
  emitter_ = nullptr;
  if (host_) host_->LockLevelNode(level_);
}

void MLCVillainShot::Draw(const DXLMATRIX& base) {
  DXLViewer* viewer = GetGameViewer();
  if (finished_ || !viewer || !image_) return;
  viewer->SetTransform(&base);
  viewer->Translate(x_, y_);
  viewer->Scale(0.8f);
  UpdateSpriteEffects(&effects_);
  image_->Draw();
  viewer->SetTransform(&base);
}

MLCVillain::MLCVillain(MapAttackHost* host, i32 startX, i32 startY, float targetX, float targetY, i32 variant,
                       u32 count, const i32* levels)
    : MapLevelCharacter(nullptr, kVillainKind), host_(host), startX_(startX), startY_(startY), pointX_(targetX),
      pointY_(targetY), variant_(std::clamp(variant, 0, 7)) {
  idleDirection_ = variant_;
  SetHome(static_cast<float>(startX), static_cast<float>(startY));
  targetCount_ = std::min(count, kMaxTargets);
  for (u32 i = 0; i < targetCount_; ++i) targets_[i] = levels[i] - 1;
  Init(nullptr);
}

MLCVillain::~MLCVillain() {
  while (shots_.GetCount() > 0) {
    delete shots_.Last();
    shots_.Delete(shots_.GetCount() - 1);
  }
}

void MLCVillain::SetStep(i32 step) {
  step_ = step;
  const wchar* idle = nullptr;
  if (GameAnimation* a = description_ ? description_->GetEntry(0, kind_.idle) : nullptr) idle = a->GetName();
  switch (step) {
    case 0: break;
    case 1: new MLCJob_GoTo(this, 1, 100, pointX_, pointY_); break;
    case 2: new MLCJob_Animation(this, 2, 0, u"villain_install_begin", variant_, -1); break;
    case 3:
      catapult_ = std::make_unique<MLCCatapult>();
      catapult_->SetPosition(kCatapultAt[variant_][0], kCatapultAt[variant_][1]);
      catapult_->PlayIdle(variant_);
      catapult_->shadowShown = true;
      new MLCJob_Animation(this, 3, 0, u"villain_install_end", variant_, -1);
      break;
    case 4:
      if (catapult_) catapult_->bodyShown = true;
      new MLCJob_Animation(this, 4, 0, idle, variant_, fired_ == 0 ? 300 : 50);
      break;
    case 5:
      if (catapult_) catapult_->bodyShown = false;
      new MLCJob_Animation(this, 5, 0, u"villain_shoot_begin", variant_, -1);
      break;
    case 6: {
      float tx = 0, ty = 0;
      // A target level without a node is passed over (nothing to aim at).
      if (fired_ < targetCount_ && host_ && host_->GetLevelNodePos(targets_[fired_], &tx, &ty))
        shots_.Add(new MLCVillainShot(host_, x_ + kShotFrom[variant_][0] * kind_.scale,
                                      y_ + kShotFrom[variant_][1] * kind_.scale, targets_[fired_]));
      new MLCJob_Animation(this, 6, 0, u"villain_shoot_end", variant_, -1);
      break;
    }
    case 7:
      ++fired_;
      if (fired_ < targetCount_) {
        SetStep(3);
        break;
      }
      if (catapult_) catapult_->bodyShown = true;
      PlayIdle(variant_);
      break;
    case 8:
      catapult_.reset();
      new MLCJob_Animation(this, 8, 0, u"villain_remove", variant_, -1);
      break;
    case 9: new MLCJob_GoTo(this, 9, 0, static_cast<float>(startX_), static_cast<float>(startY_)); break;
    default: step_ = -1; break;
  }
}

void MLCVillain::Update(u32 ms) {
  if (step_ == 0 && !job_) {
    SetStep(1);
  } else if (step_ == 7) {
    bool landed = true;
    for (i32 i = 0; i < shots_.GetCount(); ++i) landed = landed && (shots_[i]->IsExploded() || shots_[i]->IsFinished());
    if (landed) SetStep(8);
  }
  MapLevelCharacter::Update(ms);
  for (i32 i = 0; i < shots_.GetCount(); ++i) shots_[i]->Update(ms);
}

void MLCVillain::DrawAll(const DXLMATRIX& base) {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  constexpr u32 kOpaque = 0xFF000000u;
  // The catapult stands relative to the villain, at the villain's scale.
  const auto atVillain = [&] {
    viewer->SetTransform(&base);
    viewer->Translate(x_, y_);
    viewer->Scale(kind_.scale);
  };
  if (catapult_ && catapult_->shadowShown) {
    atVillain();
    catapult_->DrawShadow(kOpaque);
  }
  viewer->SetTransform(&base);
  DrawShadow(kOpaque);
  if (catapult_ && catapult_->bodyShown) {
    atVillain();
    catapult_->Draw(kOpaque, false);
  }
  viewer->SetTransform(&base);
  Draw(kOpaque, false);
  for (i32 i = 0; i < shots_.GetCount();) {
    MLCVillainShot* shot = shots_[i];
    shot->Draw(base);
    if (shot->IsFinished()) {
      delete shot;
      shots_.Delete(i);
    } else {
      ++i;
    }
  }
  viewer->SetTransform(&base);
}
