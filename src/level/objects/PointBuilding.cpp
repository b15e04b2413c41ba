#include "level/objects/PointBuilding.h"

#include "content/BuildingTable.h"
#include "level/map/LevelMap.h"
#include "level/objects/Job_Build.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelTasks.h"
#include "resources/SEffects.h"

// --- PointBuilding ---------------------------------------------------------------------------------------

PointBuilding::PointBuilding(LevelMap& map, BUILDING* building) : LevelPoint(map), building_(building) {
  kind_ = kPointKindBuilding;
}

PointBuilding::~PointBuilding() { Shutdown(false, true, 0); }

bool PointBuilding::SetLevel(i32 level, bool fade, u32 delay) {
  if (!building_) return false;
  const i32 limit = building_->levelLimit < building_->levelCount ? building_->levelLimit : building_->levelCount;
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
  } else if (level_ > 0 && !mapBuilding_ && building_->levels[level_ - 1].mapSprite) {
    mapBuilding_ = new MapBuilding(*this, level_);
    mapBuilding_->SetScale(scale);
    delay = mapBuilding_->ShowWithEffect(fade, delay);
  }
  if (level_ > 0) ShowStars(level_, fade, delay);
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
}

MapBuilding::~MapBuilding() {
  for (i32 i = 0; i < extras_.GetCount(); ++i) delete extras_[i];
  extras_.RemoveAll();
}

void MapBuilding::Release() {
  SpriteObject::Release();
  for (i32 i = 0; i < extras_.GetCount(); ++i) extras_[i]->Dispose();
  extras_.RemoveAll();
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
