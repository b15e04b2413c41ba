#include "level/map/ParticlesObject.h"

#include "engine/DXLViewer.h"
#include "level/map/LevelMap.h"
#include "resources/GPSSpace.h"
#include "resources/ResourceServices.h"
#include "resources/WaitEffects.h"
#include "resources/SpriteEffect.h"

namespace {

constexpr u32 kDyingTime = 30000;  // ms a disposed emitter waits for its particles

}  // namespace

ParticlesObject::ParticlesObject(LevelMap& map, u32 layer, GPSSpace* space, i32 x, i32 y, i32 sortX, i32 sortY)
    : MapObject(map, layer), x_(x), y_(y), space_(space) {
  kind_ = kObjectParticles;
  if (space_) space_->SetTimeScale(1.0f);
  StoreSortOffset(sortX, sortY);
  SetPos(x, y);
  AttachToLevel(0);
  map.AddParticles(this);
}

ParticlesObject::~ParticlesObject() {
  GetMap().RemoveParticles(this);
  DetachFromLevel();
  delete space_;
}

void ParticlesObject::Release() {
  AddEffect(new SEffect_Wait(kDyingTime));
  StopEmitters();
}

void ParticlesObject::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer || !space_) return;
  if (effects_) {
    viewer->Translate(static_cast<float>(x_), static_cast<float>(y_));
    if (!UpdateEffects() && IsDead()) return;
  } else {
    if (IsDead()) return;
    viewer->Translate(static_cast<float>(x_), static_cast<float>(y_));
  }
  space_->Draw();
  if (IsDead() && space_->GetParticleCount() == 0) DeleteSpriteEffects(&effects_);
}

void ParticlesObject::Update(u32 ms) {
  if (space_) space_->Update(static_cast<float>(ms));
}

void ParticlesObject::StartEmitters() {
  if (space_) space_->StartEmitters();
}

void ParticlesObject::StopEmitters() {
  if (space_) space_->StopEmitters(false);
}

void ParticlesObject::SetTimeScale(float scale) {
  if (space_) space_->SetTimeScale(scale);
}

bool ParticlesObject::GetSortPosition(i32* x, i32* y) const {
  *x = x_;
  *y = y_;
  return true;
}
