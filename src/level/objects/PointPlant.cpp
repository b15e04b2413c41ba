#include "level/objects/PointPlant.h"

#include <algorithm>

#include "content/PlantTable.h"
#include "level/map/LevelMap.h"
#include "level/objects/PlantGrowth.h"
#include "resources/ImageSprite.h"
#include "resources/MapSprite.h"
#include "resources/SEffects.h"
#include "resources/SubSprite.h"

namespace {

constexpr u8 kCropScales = 1;
constexpr u8 kCropFades = 2;
constexpr u32 kCropRemovalGap = 50;  // ms between the crops' removal and the ground's
constexpr u32 kGroundLag = 100;      // ms the ground of an upgraded bed waits before it fades

MapSprite* GroundSprite(i32 level) {
  const PlantTable* table = GetPlantTable();
  const GAMEBEDS* look = table ? table->GetBedLook(0) : nullptr;
  return look ? look->grounds[std::clamp(level - 1, 0, static_cast<i32>(kBedStageCount) - 1)] : nullptr;
}

}  // namespace

// --- PointPlant ------------------------------------------------------------------------------------------

PointPlant::PointPlant(LevelMap& map, PLANT* plant) : BasePointPlant(map, plant) {}

PointPlant::~PointPlant() { Shutdown(false, true, 0); }

const BEDSTAGE& PointPlant::Stage() const {
  static const BEDSTAGE kNone{};
  const PlantTable* table = GetPlantTable();
  return table ? table->GetStage(static_cast<u32>(std::max(level_ - 1, 0))) : kNone;
}

void PointPlant::GetWorkOffset(POINTPOS* out) const {
  out->x = Stage().workSpot[0];
  out->y = Stage().workSpot[1];
}

void PointPlant::GetStarsAnchor(POINTPOS* out) const {
  out->x = GetX() + Stage().starsAnchor[0];
  out->y = GetY() + Stage().starsAnchor[1];
}

void PointPlant::GetProgressAnchor(POINTPOS* out) const {
  out->x = GetX() + Stage().progressAnchor[0];
  out->y = GetY() + Stage().progressAnchor[1];
}

void PointPlant::GetButtonAnchor(POINTPOS* out) const {
  out->x = GetX() + Stage().buttonAnchor[0];
  out->y = GetY() + Stage().buttonAnchor[1];
}

// The ground of the level (half transparent while the bed is dug), then
// the stage's crops; the delay once the last has appeared.
u32 PointPlant::BuildVisual(bool animate, u32 delay) {
  ground_ = SpriteObject::Create(GetMap(), GroundSprite(level_), kLayerGround, GetX(), GetY(), kObjectBedGround, this, 0);
  if (ground_) {
    ground_->AttachToLevel(level_ >= 1 ? kAttachObstacles | kAttachClickShapes : 0);
    if (animate) {
      const float to = level_ < 1 ? 0.5f : 1.0f;
      ground_->AddEffect(new SEffect_Alpha(level_ < 2 ? 0.5f : 0.0f, to, kBedGroundFadeTime, level_ >= 1, delay));
    } else if (level_ < 1) {
      ground_->AddEffect(new SEffect_Alpha(0.0f, 0.5f, kBedGroundFadeTime, false, delay));
    }
  }
  if (animate) delay += kBedGroundFadeTime;
  if (level_ < 1) return delay;
  const BEDSTAGE& stage = Stage();
  cropCount_ = std::min(stage.cropCount, kMaxBedCrops);
  showDelay_ = static_cast<i32>(delay > GetPendingDelay() ? delay - GetPendingDelay() : 0);
  u32 last = delay;
  if (GetPlant()->crop) {
    for (u32 i = 0; i < cropCount_; ++i) {
      auto* crop = new MapPlant(*this, GetX() + stage.crops[i][0], GetY() + stage.crops[i][1]);
      crops_.push_back(crop);
      last = std::max(last, crop->ShowWithEffect(animate, delay));
    }
  }
  return last;
}

void PointPlant::UpdateVisual(bool animate) {
  BasePointPlant::UpdateVisual(animate);
  const Sprite* sprite = GetPlant()->crop ? GetPlant()->crop->GetSprite() : nullptr;
  const i32 frame = CropFrame(Growth().GetPercent(), sprite ? static_cast<u32>(sprite->GetFrameCount()) : 0);
  for (MapPlant* crop : crops_) crop->SetFrame(frame, animate);
}

void PointPlant::HighlightCrop() {
  for (MapPlant* crop : crops_) crop->Highlight();
}

u32 PointPlant::DoShutdown(bool fade, bool final, u32 delay) {
  delay = BasePointPlant::DoShutdown(fade, final, delay);
  std::vector<MapPlant*> crops;
  crops.swap(crops_);
  SpriteObject* ground = std::exchange(ground_, nullptr);
  if (!fade) {
    for (MapPlant* crop : crops) delete crop;
    delete ground;
    return delay;
  }
  if (!crops.empty()) {
    u32 gone = delay;
    for (MapPlant* crop : crops) gone = std::max(gone, crop->DisposeWithEffect(delay, nullptr));
    delay = gone + kCropRemovalGap;
  }
  if (ground && (level_ > 0 || final)) {
    const u32 start = final ? delay : delay + kGroundLag;
    ground->DisposeWithEffect(start, new SEffect_Alpha(level_ < 1 ? 0.5f : 1.0f, 0.0f, kBedGroundFadeTime, true, start));
    if (final) delay += kBedGroundFadeTime;
  } else {
    delete ground;
  }
  return delay;
}

// --- MapPlant --------------------------------------------------------------------------------------------

MapPlant::MapPlant(PointPlant& point, i32 x, i32 y)
    : SpriteObject(point.GetMap(), kLayerStanding, point.GetPlant()->crop, 0, x, y, &point),
      effect_(point.GetPlant()->cropEffect) {
  kind_ = kObjectCrop;
  frameState_.frame = -1;  // shown once the growth gives it a frame
  frameState_.animated = 0;
}

u32 MapPlant::ShowWithEffect(bool animate, u32 delay) {
  AttachToLevel(kAttachClickShapes);
  if (!animate) return delay;
  if (effect_ == kCropScales) {
    AddEffect(new SEffect_Build(kBedGroundFadeTime, delay));
    return delay + kBedGroundFadeTime;
  }
  if (effect_ == kCropFades) {
    AddEffect(new SEffect_Alpha(0.0f, 1.0f, kCropEffectTime, true, delay));
    return delay + kCropEffectTime;
  }
  return delay;
}

u32 MapPlant::StartRemoval(u32 delay) {
  if (effect_ == kCropScales) {
    AddEffect(new SEffect_Scale(1.0f, 0.0f, kCropEffectTime, true, delay));
    return delay + kCropEffectTime;
  }
  if (effect_ == kCropFades) {
    AddEffect(new SEffect_Alpha(1.0f, 0.0f, kCropEffectTime, true, delay));
    return delay + kCropEffectTime;
  }
  return delay;
}

void MapPlant::SetFrame(i32 frame, bool animate) {
  if (frame == frame_) return;
  if (animate && frame_ >= 0) CrossFadeFrame(*this, frame_);
  frame_ = frame;
  frameState_.frame = frame;
}

void CrossFadeFrame(SpriteObject& object, i32 oldFrame) {
  constexpr u32 kOverlayTime = 100, kOverlayWait = 120;
  Sprite* sprite = object.GetMapSprite() ? object.GetMapSprite()->GetSprite() : nullptr;
  ImageSprite* image = sprite ? sprite->CreateImageSprite(object.GetMirror()) : nullptr;
  if (!image) return;
  object.AddEffect(new SEffect_Alpha(0.2f, 1.0f, kCropEffectTime, true, 0));
  image->SetFrame(oldFrame);
  auto* overlay = new SubSpriteImage(image, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f);
  overlay->AttachEffect(new SEffect_Alpha(1.0f, 0.0f, kOverlayTime, true, kOverlayWait));
  overlay->SetHideWhenEffectsEnd(true);
  AddSubSprite(&object.FrontSubSprites(), overlay);
}
