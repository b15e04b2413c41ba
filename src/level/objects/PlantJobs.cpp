#include "level/objects/PlantJobs.h"

#include "base/LittleEndian.h"
#include "content/ContentArchive.h"
#include "content/PlantTable.h"
#include "level/characters/Job_Clear.h"
#include "level/characters/MapPlayer.h"
#include "level/map/LevelPointCare.h"
#include "level/objects/BasePointPlant.h"
#include "level/state/JobRecord.h"
#include "resources/SpriteSet.h"

namespace {

constexpr wchar kWaterIcon[] = u"small_ico_water";
constexpr wchar kHarvestIcon[] = u"small_ico_hand";
constexpr wchar kWaterAnimation[] = u"girl_water";
constexpr i32 kWalkStep = 1;  // then the work step, 2

Sprite* Icon(const wchar* name) {
  const SpriteSet* set = GetSpriteSet(kIconSpriteSet);
  return set ? set->FindSprite(name) : nullptr;
}

u32 Timing(u32 word) {
  const PlantTable* table = GetPlantTable();
  return table ? table->GetTiming(word) : 0;
}

bool WalkToWork(Job& job, const BasePointPlant& point) {
  POINTPOS spot;
  point.GetWorkOffset(&spot);
  return job.StartWalk(point.GetX() + spot.x, point.GetY() + spot.y, false, 1.0f, nullptr);
}

}  // namespace

// --- Job_Water ------------------------------------------------------------------------------------------

Job_Water::Job_Water(MapCharacter* owner, BasePointPlant* point) : Job(owner, kJobWater), point_(point) {
  if (Job* earlier = point->GetWaterJob()) earlier->Finish();
  point->SetWaterJob(this);
  ShowIcon(point->GetX(), point->GetY(), Icon(kWaterIcon), point, kJobIconColor);
  NotifyTutorial();
}

Job_Water::~Job_Water() {
  if (point_ && point_->GetWaterJob() == this) point_->SetWaterJob(nullptr);
}

bool Job_Water::NextStep(i32 step) {
  if (!Job::NextStep(step)) return false;
  if (point_ && step_ == kWalkStep) return WalkToWork(*this, *point_);
  if (point_ && step_ == kWalkStep + 1 && !point_->HasDamage()) {
    const bool tree = point_->GetPlant()->kind == kPlantTree;
    return PlayAnimation(Timing(tree ? kTimingTreeWater : kTimingBedWater), kWaterAnimation, 0, kWorkActivity);
  }
  Finish();
  return false;
}

void Job_Water::Update() {
  if (!UpdateWalkThenWork(kWalkStep)) return;
  BasePointPlant* point = std::exchange(point_, nullptr);
  if (!point) return;
  SetCost(0);
  point->SetWaterJob(nullptr);
  point->Water(true);
}

// Finished early: the water as it was (a dry point offers its watering again).
bool Job_Water::Finish() {
  if (!Job::Finish()) return false;
  if (BasePointPlant* point = std::exchange(point_, nullptr)) {
    if (point->GetWaterJob() == this) point->SetWaterJob(nullptr);
    point->SetWater(point->GetWaterLeft(), point->GetWaterMax(), true);
  }
  return true;
}

bool Job_Water::Save(kis::DataCursor* cursor, u32 characterRecord) {
  return SavePointJob(this, cursor, characterRecord, point_, step_ == kWalkStep + 1);
}

// --- Job_Harvest ----------------------------------------------------------------------------------------

Job_Harvest::Job_Harvest(MapCharacter* owner, BasePointPlant* point) : Job(owner, kJobHarvest), point_(point) {
  if (Job* earlier = point->GetHarvestJob()) earlier->Finish();
  point->SetHarvestJob(this);
  ShowIcon(point->GetX(), point->GetY(), Icon(kHarvestIcon), point, kJobIconColor);
  NotifyTutorial();
}

Job_Harvest::~Job_Harvest() {
  if (point_ && point_->GetHarvestJob() == this) point_->SetHarvestJob(nullptr);
}

bool Job_Harvest::NextStep(i32 step) {
  if (!Job::NextStep(step)) return false;
  if (point_ && step_ == kWalkStep) return WalkToWork(*this, *point_);
  if (point_ && step_ == kWalkStep + 1 && !point_->HasDamage()) {
    harvesting_ = true;
    return PlayAnimation(Timing(kTimingHarvest), point_->GetPlant()->harvestAnimation, 0, kWorkActivity);
  }
  Finish();
  return false;
}

void Job_Harvest::Update() {
  if (!UpdateWalkThenWork(kWalkStep)) return;
  BasePointPlant* point = std::exchange(point_, nullptr);
  harvesting_ = false;
  if (!point) return;
  point->SetHarvestJob(nullptr);
  point->CollectProducts(&messager_);
}

bool Job_Harvest::Finish() {
  if (!Job::Finish()) return false;
  harvesting_ = false;
  if (BasePointPlant* point = std::exchange(point_, nullptr))
    if (point->GetHarvestJob() == this) point->SetHarvestJob(nullptr);
  return true;
}

bool Job_Harvest::Save(kis::DataCursor* cursor, u32 characterRecord) {
  return SavePointJob(this, cursor, characterRecord, point_, step_ == kWalkStep + 1);
}

// --- Loading ----------------------------------------------------------------------------------------------

bool LoadPlantJob(u32 id, MapPlayer& player, const u8* record, u32 size) {
  if (id != kJobWater && id != kJobHarvest) return false;
  BaseLevelPoint* target = PointOfJobRecord(player.GetMap(), record, size);
  if (!target || target->GetKind() != kPointKindPlant) return false;
  auto* point = static_cast<BasePointPlant*>(target);
  if (point->GetLevel() < 1 || kis::GetI32LE(record + 12) != 0) return false;
  Job* job = id == kJobWater ? static_cast<Job*>(new Job_Water(&player, point))
                             : static_cast<Job*>(new Job_Harvest(&player, point));
  return RestoreJobStep(job, record, kWalkStep + 1);
}
