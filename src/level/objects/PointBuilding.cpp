#include "level/objects/PointBuilding.h"

#include <cmath>

#include "content/BuildingTable.h"
#include "engine/DXLViewer.h"
#include "level/map/LevelMap.h"
#include "level/map/ParticlesObject.h"
#include "level/objects/Job_Build.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelTasks.h"
#include "resources/GPSEmiter.h"
#include "resources/GPSSpace.h"
#include "resources/GameDraw.h"
#include "resources/MapSprite.h"
#include "resources/ParticleLibrary.h"
#include "resources/ResourceServices.h"
#include "resources/SEffects.h"
#include "resources/Sprite.h"

namespace {

constexpr i32 kHintRise = 48;  // the building's offers over its place

}  // namespace

// --- PointBuilding ---------------------------------------------------------------------------------------

PointBuilding::PointBuilding(LevelMap& map, BUILDING* building) : LevelPoint(map), building_(building) {
  kind_ = kPointKindBuilding;
}

PointBuilding::~PointBuilding() { Shutdown(false, true, 0); }

i32 PointBuilding::GetLevelLimit() const {
  if (!building_) return 0;
  return building_->levelLimit < building_->levelCount ? building_->levelLimit : building_->levelCount;
}

bool PointBuilding::SetLevel(i32 level, bool fade, u32 delay) {
  if (!building_) return false;
  const i32 limit = GetLevelLimit();
  if (level > limit) level = limit;
  if (level == level_) return level_ >= 0;
  if (level < level_) return false;
  u32 at = delay;
  if (level_ >= 0) at = Shutdown(fade, false, delay);
  level_ = level;
  mapX_ = GetX() + Mirror(building_->objectOffset[0]);
  mapY_ = GetY() + building_->objectOffset[1];
  const u32 shown = ShowBuilding(fade, at);
  pending_ = shown > delay ? shown - delay : 0;
  if (level_ == 0) {
    Job_Build::Create(*this);
  } else if (LevelRules* rules = GetMap().GetRules()) {
    rules->Tasks().UpdateTask(kTaskBuildings, building_->id, level_, fade);
  }
  RefreshPanel();
  return true;
}

BaseLevelPoint* PointBuilding::SetMark(u8 mark) {
  const u8 a = building_ ? building_->mirrorRule[0] : 1;
  const u8 b = building_ ? building_->mirrorRule[1] : 0;
  u8 mirrored = mark != 0;
  if (a == 0) {
    mirrored = b != 0;
  } else if (b != 0) {
    mirrored = !mirrored;
  }
  return LevelPoint::SetMark(mirrored);
}

void PointBuilding::GetWorkOffset(POINTPOS* out) const {
  out->x = mapX_ - GetX() + (building_ ? Mirror(building_->workSpot[0]) : 0);
  out->y = mapY_ - GetY() + (building_ ? building_->workSpot[1] : 0);
}

void PointBuilding::GetStarsAnchor(POINTPOS* out) const {
  out->x = mapX_ + (building_ ? Mirror(building_->starsOffset[0]) : 0);
  out->y = mapY_ + (building_ ? building_->starsOffset[1] : 0);
}

void PointBuilding::GetHintAnchor(POINTPOS* out) const {
  out->x = mapX_;
  out->y = mapY_ - kHintRise;
}

void PointBuilding::GetInfo(POINTPARAMS* out) const {
  LevelPoint::GetInfo(out);
  if (building_) out->id = building_->id;
}

void PointBuilding::StopJobs(bool fade) {
  LevelPoint::StopJobs(fade);
  if (Job_Build* job = buildJob_) job->Finish();
}

u32 PointBuilding::Update(u32 ms) {
  ms = LevelPoint::Update(ms);
  if (pending_ >= ms) {
    pending_ -= ms;
    return 0;
  }
  ms -= pending_;
  pending_ = 0;
  return ms;
}

void PointBuilding::SetBeingBuilt(bool on) {
  if (beingBuilt_ == on) return;
  beingBuilt_ = on;
  if (on) {
    BuildStarted();
  } else {
    BuildEnded();
  }
}

u32 PointBuilding::ShowBuilding(bool fade, u32 delay) {
  const float scale = building_->scale > 0.0f ? building_->scale : 1.0f;
  if (level_ == 0) {
    site_ = SpriteObject::Create(GetMap(), building_->site, kLayerStanding, mapX_, mapY_, kObjectBuildingSite, this,
                                 IsMirrored() ? 1 : 0);
    if (site_) {
      site_->SetScale(scale);
      site_->AttachToLevel(kAttachObstacles | kAttachClickShapes);
      if (fade) {
        site_->AddEffect(new SEffect_Alpha(0.0f, 1.0f, kBuildingFadeTime, true, delay));
        delay += kBuildingFadeTime;
      }
    }
  } else if (level_ > 0 && !mapBuilding_) {
    mapBuilding_ = new MapBuilding(*this, level_);
    mapBuilding_->SetScale(scale);
    delay = mapBuilding_->ShowWithEffect(fade, delay);
  }
  if (level_ > 0) ShowStars(GetLevelLimit(), fade, delay);  // the level out of the limit
  return delay;
}

u32 PointBuilding::DoShutdown(bool fade, bool final, u32 delay) {
  delay = LevelPoint::DoShutdown(fade, final, delay);
  if (final && level_ > 0 && building_) {
    LevelRules* rules = GetMap().GetRules();
    if (rules) rules->Tasks().UpdateTask(kTaskBuildings, building_->id, level_, false);
  }
  if (Job_Build* job = buildJob_) {
    buildJob_ = nullptr;
    job->ClearTarget();
    job->Finish();
  }
  SetBeingBuilt(false);
  delay = RemoveMapBuilding(fade, delay);
  if (SpriteObject* site = site_) {
    site_ = nullptr;
    if (fade) {
      site->DisposeWithEffect(delay, new SEffect_Alpha(1.0f, 0.0f, kBuildingFadeTime, true, delay));
    } else {
      delete site;
    }
  }
  return delay;
}

u32 PointBuilding::RemoveMapBuilding(bool fade, u32 delay) {
  MapBuilding* building = mapBuilding_;
  if (!building) return delay;
  mapBuilding_ = nullptr;
  if (fade) return building->DisposeWithEffect(delay, nullptr);
  delete building;
  return delay;
}

// --- MapBuilding -----------------------------------------------------------------------------------------

MapBuilding::MapBuilding(PointBuilding& point, i32 level)
    : SpriteObject(point.GetMap(), kLayerStanding, point.GetBuilding()->levels[level - 1].mapSprite,
                   point.IsMirrored() ? 1 : 0, point.GetMapX(), point.GetMapY(), &point),
      building_(point.GetBuilding()),
      level_(level) {
  kind_ = kObjectBuilding;
  const BUILDINGLEVEL& record = building_->levels[level - 1];
  for (u32 i = 0; i < record.extraCount && i < kMaxBuildingExtras; ++i) {
    SpriteObject* extra = SpriteObject::Create(point.GetMap(), record.extraSprites[i], kLayerGround, x_, y_,
                                               kObjectBuildingExtra, &point, point.IsMirrored() ? 1 : 0);
    if (extra) extras_.Add(extra);
  }
  if (building_->kind == kBuildingFactory) MakeFactoryParts(point);
}

void MapBuilding::MakeFactoryParts(PointBuilding& point) {
  const BUILDINGLEVEL& record = building_->levels[level_ - 1];
  const bool mirrored = point.IsMirrored();
  DXLRECT r{};
  Sprite* own = mapSprite_ ? mapSprite_->GetSprite() : nullptr;
  const i32 width = own && own->GetFrameRect(0, &r) ? r.right - r.left : 0;
  const u32 count = record.factory.animationCount < kMaxFactoryAnimations ? record.factory.animationCount
                                                                          : kMaxFactoryAnimations;
  for (u32 i = 0; i < count; ++i) {
    MapSprite* image = record.animationImages[i];
    animations_.emplace_back();
    animations_.back().Init(record.factory.animations[i], image ? image->GetSprite() : nullptr, mirrored, width);
  }
  const u32 emitters = record.emitterCount < kMaxBuildingEmitters ? record.emitterCount : kMaxBuildingEmitters;
  if (emitters == 0) return;
  const float scale = building_->scale > 0.0f ? building_->scale : 1.0f;
  auto* space = new GPSSpace(mirrored ? 1 : 0);
  for (u32 i = 0; i < emitters; ++i) {
    const BUILDINGEMITTER& e = record.emitters[i];
    if (const GPSSYSTEM* system = FindParticleSystem(e.systemId))
      new GPSEmiter(space, system, nullptr, std::round(static_cast<float>(e.x) * scale),
                    std::round(static_cast<float>(e.y) * scale));
  }
  // In front of the building, so the smoke rises over its roof.
  auto* particles = new ParticlesObject(point.GetMap(), kLayerStanding, space, x_, y_, 0, 1);
  particles->SetOwnerPoint(&point);
  particles->StopEmitters();
  particles_.Add(particles);
}

MapBuilding::~MapBuilding() {
  for (i32 i = 0; i < extras_.GetCount(); ++i) delete extras_[i];
  extras_.RemoveAll();
  for (i32 i = 0; i < particles_.GetCount(); ++i) delete particles_[i];
  particles_.RemoveAll();
}

void MapBuilding::Release() {
  SpriteObject::Release();
  for (i32 i = 0; i < extras_.GetCount(); ++i) extras_[i]->Dispose();
  extras_.RemoveAll();
  for (i32 i = 0; i < particles_.GetCount(); ++i) particles_[i]->Dispose();
  particles_.RemoveAll();
  animations_.clear();
}

void MapBuilding::DrawOverSprite(u32 color) {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  for (const FactoryAnimation& a : animations_) {
    if (!a.GetImage()) continue;
    viewer->SetTransform(&transform_);
    viewer->Translate(a.GetX(), a.GetY());
    viewer->ApplyTransform(nullptr);
    a.GetImage()->DrawFrame(static_cast<i32>(a.GetShownFrame()), color, GetMirror());
  }
}

void MapBuilding::StartAnimations(float rate) {
  for (FactoryAnimation& a : animations_) a.Start(rate);
  for (i32 i = 0; i < particles_.GetCount(); ++i) {
    particles_[i]->SetTimeScale(rate);
    particles_[i]->StartEmitters();
  }
}

void MapBuilding::StopAnimations() {
  for (FactoryAnimation& a : animations_) a.Stop();
  for (i32 i = 0; i < particles_.GetCount(); ++i) particles_[i]->StopEmitters();
}

void MapBuilding::AdvanceAnimations(u32 ms) {
  for (FactoryAnimation& a : animations_) a.Advance(static_cast<float>(ms));
}

void MapBuilding::SetAnimationScale(float rate) {
  for (FactoryAnimation& a : animations_) a.SetTimeScale(rate);
  for (i32 i = 0; i < particles_.GetCount(); ++i) particles_[i]->SetTimeScale(rate);
}

u32 MapBuilding::StartRemoval(u32 delay) {
  SpriteObject::AddEffect(new SEffect_Scale(1.0f, 0.0f, kBuildingFadeTime, true, delay));
  return delay + kBuildingFadeTime;
}

void MapBuilding::AddEffect(SpriteEffect* effect) {
  for (i32 i = 0; i < extras_.GetCount(); ++i) extras_[i]->AddEffect(effect->Clone());
  SpriteObject::AddEffect(effect);
}

void MapBuilding::ClearEffects() {
  SpriteObject::ClearEffects();
  for (i32 i = 0; i < extras_.GetCount(); ++i) extras_[i]->ClearEffects();
}

void MapBuilding::SetScale(float scale) {
  SpriteObject::SetScale(scale);
  for (i32 i = 0; i < extras_.GetCount(); ++i) extras_[i]->SetScale(scale);
}

void MapBuilding::AttachToLevel(u32 flags) {
  SpriteObject::AttachToLevel(flags);
  for (i32 i = 0; i < extras_.GetCount(); ++i) extras_[i]->AttachToLevel(0);
}

u32 MapBuilding::ShowWithEffect(bool fade, u32 delay) {
  if (!IsAttached()) AttachToLevel(kAttachObstacles | kAttachClickShapes);
  ClearEffects();
  if (!fade) return delay;
  AddEffect(new SEffect_Build(kBuildingFadeTime, delay));
  return delay + kBuildingFadeTime;
}
