#include "level/objects/BasePointPlant.h"

#include <utility>

#include "content/GameBonuses.h"
#include "content/PlantTable.h"
#include "level/characters/Job.h"
#include "level/map/LevelMap.h"
#include "level/objects/PlantJobs.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelTasks.h"
#include "resources/TutorialHooks.h"

BasePointPlant::BasePointPlant(LevelMap& map, PLANT* plant) : LevelPoint(map), plant_(plant) {
  kind_ = kPointKindPlant;
  waterLeft_ = waterMax_ = plant_ ? DrawWater(*plant_) : 0;
}

BasePointPlant::~BasePointPlant() { Shutdown(false, true, 0); }

namespace {

// The job no longer works on the point, and ends.
void CutJob(Job*& link) {
  if (Job* job = std::exchange(link, nullptr)) {
    job->ClearTarget();
    job->Finish();
  }
}

}  // namespace

u32 BasePointPlant::DoShutdown(bool fade, bool final, u32 delay) {
  if (final) {
    CutJob(waterJob_);
    CutJob(harvestJob_);
  }
  return LevelPoint::DoShutdown(fade, final, delay);
}

void BasePointPlant::StopJobs(bool fade) {
  LevelPoint::StopJobs(fade);
  if (waterJob_) waterJob_->Finish();
  if (harvestJob_) harvestJob_->Finish();
}

// A planted point takes its growth and water from the header; a header
// without a water maximum (a level definition's point) keeps the drawn
// water. A header no play gives is refused before anything changes.
bool BasePointPlant::Setup(const POINTPARAMS& params, bool fade, u32 delay) {
  PlantInfo info;
  if (!plant_ || (params.level >= 1 && !GetPlantInfo(params, &info))) return false;
  if (!LevelPoint::Setup(params, fade, delay)) return false;
  if (level_ >= 1) {
    SetGrowthAndTime(info.percent, false);
    if (info.waterMax > 0) SetWater(info.waterLeft, info.waterMax, false);
  }
  return true;
}

// Only upwards: the same level answers whether the point is planted, a
// lower one changes nothing.
bool BasePointPlant::SetLevel(i32 level, bool fade, u32 delay) {
  if (!plant_) return false;
  if (level > plant_->levelLimit) level = plant_->levelLimit;
  if (level == level_) return level > 0;
  if (level < level_) return false;
  pendingDelay_ = delay;
  if (level_ >= 0) delay = Shutdown(fade, false, delay);
  level_ = level;
  growth_.SetFullTime(static_cast<float>(plant_->growthTime));
  const u32 built = BuildVisual(fade, delay);
  ShowStars(plant_->levelLimit, fade, delay);
  pendingDelay_ = built > pendingDelay_ ? built - pendingDelay_ : 0;
  if (level_ > 0) {
    SetGrowthAndTime(growth_.GetPercent(), false);
    SetWater(waterLeft_, waterMax_, fade);
    if (LevelRules* rules = GetMap().GetRules()) rules->Tasks().UpdateTask(kTaskPlantBeds, plant_->id, level_, fade);
  }
  ShowProgressLine();
  showDelay_ = 0;
  return true;
}

u32 BasePointPlant::Update(u32 ms) {
  ms = LevelPoint::Update(ms);
  if (pendingDelay_ > 0) {
    if (pendingDelay_ > ms) {
      pendingDelay_ -= ms;
      return ms;
    }
    ms -= pendingDelay_;
    pendingDelay_ = 0;
  }
  if (level_ < 1 || growth_.IsRipe() || digging_ || HasDamage() || IsSuspended() || waterLeft_ == 0) return ms;
  if (!TutorialAllowAction(kTutorialActionGrow, plant_->id, this)) return ms;
  LevelRules* rules = GetMap().GetRules();
  const float grown = static_cast<float>(ms) * (rules ? rules->GetRate(1) : 1.0f);
  if (!(grown > 0.0f)) return ms;
  if (growth_.Grow(grown)) UpdateVisual(true);
  if (growth_.IsRipe()) TutorialNotify(kTutorialEventRipe, plant_->id, this);
  return ms;
}

void BasePointPlant::GetInfo(POINTPARAMS* out) const {
  LevelPoint::GetInfo(out);
  if (level_ >= 1) PutPlantInfo({growth_.GetPercent(), waterLeft_, waterMax_}, out);
}

bool BasePointPlant::Collect(uintptr_t messager) { return CollectProducts(reinterpret_cast<GameMessager*>(messager)); }

bool BasePointPlant::HasProgress() const {
  return level_ >= 1 && waterLeft_ >= 1 && growth_.GetPercent() < 100.0f && !HasDamage();
}

void BasePointPlant::OnLevelNotify(u32 event) {
  if (event == kLevelNotifyRain) Water(true);
}

// The harvest counts for the sample harvest award (award kind 0).
bool BasePointPlant::CollectProducts(GameMessager* messager) {
  LevelRules* rules = GetMap().GetRules();
  if (!growth_.IsRipe() || !rules || !plant_->product) return false;
  POINTPOS at;
  GetButtonAnchor(&at);
  if (rules->StoreProduct(plant_->product, GetYield(), 0, static_cast<float>(at.x), static_cast<float>(at.y), 0.0f,
                          messager) <= 0) {
    if (harvestJob_) harvestJob_->Finish();
    return false;
  }
  if (waterLeft_ > 0) {
    SetGrowthAndTime(0.0f, true);
    if (!rules->Bonuses().IsActive(kBonusRain)) SetWater(waterLeft_ - 1, waterMax_, true);
    ShowProgressLine();
    pendingDelay_ = kHarvestPause;
  }
  // A harvest under way (the instant bonus collected first) has nothing left to do.
  if (auto* job = static_cast<Job_Harvest*>(harvestJob_); job && job->IsHarvesting()) job->Finish();
  TutorialNotify(kTutorialEventStored, plant_->productId, this);
  return true;
}

void BasePointPlant::SetWater(i32 left, i32 maximum, bool) {
  waterMax_ = maximum < 0 ? 0 : maximum;
  waterLeft_ = left < 0 ? 0 : left > waterMax_ ? waterMax_ : left;
  if (waterLeft_ > 0) CutJob(waterJob_);
}

void BasePointPlant::Water(bool animate) {
  const i32 w = DrawWater(*plant_);
  SetWater(w, w, animate);
  ShowProgressLine();
}

void BasePointPlant::UpdateVisual(bool) {
  if (!growth_.IsRipe()) SetProgress(growth_.GetPercent() / 100.0f);
}

void BasePointPlant::SetGrowthAndTime(float percent, bool animate) {
  growth_.SetWithTime(percent);
  UpdateVisual(animate);
}
