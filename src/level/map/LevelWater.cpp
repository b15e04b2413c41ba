#include "level/map/LevelWater.h"

#include "engine/DXLViewer.h"
#include "resources/MapSprite.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"

namespace {

constexpr u32 kDefaultPeriod = 1500;

u32 Alpha(float a) {
  const float v = a * 255.0f;
  const u32 alpha = v <= 0.0f ? 0 : v >= 255.0f ? 255 : static_cast<u32>(v);
  return (alpha << 24) | 0x00FFFFFFu;
}

}  // namespace

LevelWater::LevelWater(LevelMap& map, MapSprite* mapSprite, u8 flagByte, i32 x, i32 y)
    : SpriteObject(map, kLayerGround, mapSprite, flagByte, x, y, nullptr), start_(GameClock()) {
  kind_ = kObjectWater;
  Sprite* sprite = mapSprite_ ? mapSprite_->GetSprite() : nullptr;
  if (frameState_.animated) {
    stepCount_ = frameState_.seq.count;
    period_ = frameState_.seq.timePerFrame;
    frameState_.animated = 0;
  } else {
    stepCount_ = sprite ? static_cast<u32>(sprite->GetFrameCount()) : 0;
    period_ = kDefaultPeriod;
  }
  if (period_ == 0) period_ = kDefaultPeriod;
  stepCount_ += 1;
}

void LevelWater::Draw() {
  Sprite* sprite = mapSprite_ ? mapSprite_->GetSprite() : nullptr;
  DXLViewer* viewer = GetGameViewer();
  if (!sprite || !viewer || stepCount_ == 1) return;
  const u32 t = GameClock() - start_;
  step_ = (t / period_) % stepCount_;
  fraction_ = static_cast<float>(t % period_) / static_cast<float>(period_);
  viewer->Translate(static_cast<float>(x_) + GetHotSpotX(), static_cast<float>(y_) + GetHotSpotY());
  viewer->GetTransform(&transform_);
  const bool mirrored = frameState_.mirror != 0;
  const u32 last = stepCount_ - 1;
  const u32 previous = (step_ + stepCount_ - 1) % stepCount_;
  if (step_ < last && previous < last) sprite->DrawFrame(static_cast<i32>(previous), 0xFFFFFFFFu, mirrored);
  if (step_ != last)
    sprite->DrawFrame(static_cast<i32>(step_), Alpha(fraction_), mirrored);
  else
    sprite->DrawFrame(static_cast<i32>(step_) - 1, Alpha(1.0f - fraction_), mirrored);
}
