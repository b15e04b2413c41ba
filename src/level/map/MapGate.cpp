#include "level/map/MapGate.h"

#include <algorithm>
#include <cmath>

#include "level/map/DynObject.h"
#include "level/map/LevelMap.h"
#include "level/rules/LevelRules.h"
#include "resources/MapSprite.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"

namespace {

constexpr float kNearDistance = 60.0f;
constexpr u32 kOpenTime = 120;  // ms for the whole way
constexpr u32 kMinFrameTime = 10;

}  // namespace

MapGate::MapGate(LevelMap& map, MapSprite* mapSprite, u8 flagByte, i32 x, i32 y)
    : SpriteObject(map, kLayerStanding, mapSprite, flagByte, x, y, nullptr) {
  kind_ = kObjectGate;
  frameState_.animated = 0;
  frameState_.frame = 0;
}

void MapGate::Draw() {
  Sprite* sprite = mapSprite_ ? mapSprite_->GetSprite() : nullptr;
  const i32 frames = sprite ? sprite->GetFrameCount() : 0;
  // A gate of one frame has nothing to open: it stands as it is drawn.
  if (frames < 2) {
    frameState_.animated = 0;
    frameState_.frame = 0;
    SpriteObject::Draw();
    return;
  }
  bool near = false;
  if (const DynObject* player = GetMap().GetPlayer()) {
    const float dx = std::fabs(player->GetX() - static_cast<float>(x_));
    const float dy = std::fabs(player->GetY() - static_cast<float>(y_) - 10.0f);
    near = dx < kNearDistance && dy < kNearDistance && std::sqrt(dx * dx + dy * dy) < kNearDistance;
  }
  if (near != near_) {
    near_ = near;
    timePerFrame_ = kOpenTime / static_cast<u32>(frames);
    if (timePerFrame_ < kMinFrameTime) timePerFrame_ = kMinFrameTime;
    target_ = near ? frames - 1 : 0;
    from_ = frame_;
    elapsed_ = 0;
  }
  LevelRules* rules = GetMap().GetRules();
  const bool held = rules && rules->Locks().IsLockedExcept(0);
  if (frame_ != target_ && !held) {
    const u32 speed = rules ? static_cast<u32>(rules->Clock().GetSpeed()) : 1;
    elapsed_ += GameTimeStep() * speed;
    const i32 steps = static_cast<i32>(elapsed_ / timePerFrame_);
    frame_ = target_ > from_ ? std::min(from_ + steps, target_) : std::max(from_ - steps, target_);
  }
  frameState_.animated = 0;
  frameState_.frame = frame_;
  SpriteObject::Draw();
}
