#include "level/objects/PlantJobs.h"

#include <utility>

#include "base/LittleEndian.h"
#include "content/ContentArchive.h"
#include "content/PlantTable.h"
#include "level/characters/Job_Clear.h"
#include "level/characters/LevelCharacters.h"
#include "level/characters/MapPlayer.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelPointCare.h"
#include "level/map/LevelPointMaker.h"
#include "level/state/JobRecord.h"
#include "resources/SpriteSet.h"

namespace {

constexpr wchar kWaterIcon[] = u"small_ico_water";
constexpr wchar kHarvestIcon[] = u"small_ico_hand";
constexpr wchar kUpgradeIcon[] = u"small_ico_upgrade";
constexpr wchar kWaterAnimation[] = u"girl_water";
constexpr i32 kDigActivity = 4;
constexpr u32 kCostAt = 12;
// Watering and harvest: walk, then work. Planting: wait, walk, dig.
constexpr i32 kWalkStep = 1;
constexpr i32 kWorkStep = 2;
constexpr i32 kWaitStep = 1;
constexpr i32 kPlantWalkStep = 2;
constexpr i32 kDigStep = 3;
constexpr u32 kPlantPrices = sizeof(PLANT::prices) / sizeof(PLANT::prices[0]);

Sprite* Icon(const wchar* name) {
  const SpriteSet* set = GetSpriteSet(kIconSpriteSet);
  return set ? set->FindSprite(name) : nullptr;
}

u32 Timing(u32 word) {
  const PlantTable* table = GetPlantTable();
  return table ? table->GetTiming(word) : 0;
}

}  // namespace

// --- PlantJob ---------------------------------------------------------------------------------------------

PlantJob::PlantJob(MapCharacter* owner, u16 id, BasePointPlant* point, PlantJobSlot slot, i32 workStep, Sprite* icon)
    : Job(owner, id), point_(point), slot_(slot), workStep_(workStep) {
  // The earlier job lets go of the point first: finishing it must not undo
  // what this one continues (an abandoned planting empties the place).
  if (Job* earlier = point->GetJob(slot)) {
    earlier->ClearTarget();
    earlier->Finish();
  }
  point->SetJob(slot, this);
  ShowIcon(point->GetX(), point->GetY(), icon, point, kJobIconColor);
}

PlantJob::~PlantJob() { Unlink(); }

bool PlantJob::Save(kis::DataCursor* cursor, u32 characterRecord) {
  return SavePointJob(this, cursor, characterRecord, point_, step_ == workStep_);
}

bool PlantJob::WalkToWork() {
  POINTPOS spot;
  point_->GetWorkOffset(&spot);
  return StartWalk(point_->GetX() + spot.x, point_->GetY() + spot.y, false, 1.0f, nullptr);
}

BasePointPlant* PlantJob::Unlink() {
  BasePointPlant* point = std::exchange(point_, nullptr);
  if (point && point->GetJob(slot_) == this) point->SetJob(slot_, nullptr);
  return point;
}

void PlantJob::MarkOwnerWorking() {
  if (level_ && level_->IsPlayer(owner_)) static_cast<MapPlayer*>(owner_)->MarkWorking();
}

// --- Job_Plant ------------------------------------------------------------------------------------------

// A step past the kind's level limit (or its four prices) has no price or
// digging time to read: no job.
Job_Plant* Job_Plant::Create(BasePointPlant& point) {
  MapPlayer* owner = PointJobOwner(point.GetMap());
  const PLANT* plant = point.GetPlant();
  const i32 level = point.GetLevel();
  if (!owner || !plant || level < 0 || level >= plant->levelLimit || level >= static_cast<i32>(kPlantPrices))
    return nullptr;
  return new Job_Plant(owner, point);
}

Job_Plant::Job_Plant(MapPlayer* owner, BasePointPlant& point)
    : PlantJob(owner, kJobPlant, &point, kPlantSlot, kDigStep,
               point.GetLevel() > 0 ? Icon(kUpgradeIcon) : point.GetPlant()->icon) {
  SetCost(point.GetPlant()->prices[point.GetLevel()]);
  NotifyTutorial();
}

bool Job_Plant::NextStep(i32 step) {
  if (!Job::NextStep(step)) return false;
  if (point_ && step_ == kWaitStep) return true;
  if (point_ && step_ == kPlantWalkStep) return WalkToWork();
  if (point_ && step_ == kDigStep && !point_->HasDamage() && point_->GetLevel() >= 0 &&
      point_->GetLevel() < static_cast<i32>(kPlantPrices)) {
    const u32 time = point_->GetPlant()->digTimes[point_->GetLevel()];
    if (!PlayAnimation(time > 0 ? time : 1, kDigAnimation, 0, kDigActivity)) return false;
    point_->SetDigging(true);
    return true;
  }
  Finish();
  return false;
}

void Job_Plant::Update() {
  if (!UpdateWaitWalkThenWork(kWaitStep, point_ && point_->GetPendingDelay() != 0)) return;
  BasePointPlant* point = Unlink();
  if (!point) return;
  point->SetDigging(false);
  point->Upgrade();
  MarkOwnerWorking();
}

bool Job_Plant::Finish() {
  if (!Job::Finish()) return false;
  BasePointPlant* point = Unlink();
  if (!point) return true;
  point->SetDigging(false);
  // An abandoned first planting leaves the place empty.
  if (point->GetLevel() == 0 && point->GetMaker()) point->GetMaker()->MakeEmpty(point->GetIndex());
  return true;
}

// --- Job_Water ------------------------------------------------------------------------------------------

Job_Water::Job_Water(MapCharacter* owner, BasePointPlant* point)
    : PlantJob(owner, kJobWater, point, kWaterSlot, kWorkStep, Icon(kWaterIcon)) {
  point->RemoveWaterButton(false);
  NotifyTutorial();
}

bool Job_Water::NextStep(i32 step) {
  if (!Job::NextStep(step)) return false;
  if (point_ && step_ == kWalkStep) return WalkToWork();
  if (point_ && step_ == kWorkStep && !point_->HasDamage()) {
    const bool tree = point_->GetPlant()->kind == kPlantTree;
    return PlayAnimation(Timing(tree ? kTimingTreeWater : kTimingBedWater), kWaterAnimation, 0, kWorkActivity);
  }
  Finish();
  return false;
}

void Job_Water::Update() {
  if (!UpdateWalkThenWork(kWalkStep)) return;
  BasePointPlant* point = Unlink();
  if (!point) return;
  SetCost(0);
  point->Water(true);
  MarkOwnerWorking();
}

// Finished early: the water as it was (a dry point offers its watering again).
bool Job_Water::Finish() {
  if (!Job::Finish()) return false;
  if (BasePointPlant* point = Unlink()) point->SetWater(point->GetWaterLeft(), point->GetWaterMax(), true);
  return true;
}

// --- Job_Harvest ----------------------------------------------------------------------------------------

Job_Harvest::Job_Harvest(MapCharacter* owner, BasePointPlant* point)
    : PlantJob(owner, kJobHarvest, point, kHarvestSlot, kWorkStep, Icon(kHarvestIcon)) {
  point->RemoveHarvestButton(false);
  NotifyTutorial();
}

bool Job_Harvest::NextStep(i32 step) {
  if (!Job::NextStep(step)) return false;
  if (point_ && step_ == kWalkStep) return WalkToWork();
  if (point_ && step_ == kWorkStep && !point_->HasDamage()) {
    harvesting_ = true;
    return PlayAnimation(Timing(kTimingHarvest), point_->GetPlant()->harvestAnimation, 0, kWorkActivity);
  }
  Finish();
  return false;
}

void Job_Harvest::Update() {
  if (!UpdateWalkThenWork(kWalkStep)) return;
  BasePointPlant* point = Unlink();
  harvesting_ = false;
  if (!point) return;
  // A store that failed leaves the crop ripe, to be harvested again.
  if (!point->CollectProducts(&messager_)) point->ShowHarvestButton(true);
  MarkOwnerWorking();
}

bool Job_Harvest::Finish() {
  if (!Job::Finish()) return false;
  harvesting_ = false;
  if (BasePointPlant* point = Unlink()) point->ShowHarvestButton(true);
  return true;
}

// --- Loading ----------------------------------------------------------------------------------------------

bool LoadPlantJob(u32 id, MapPlayer& player, const u8* record, u32 size) {
  if (id != kJobPlant && id != kJobWater && id != kJobHarvest) return false;
  BaseLevelPoint* target = PointOfJobRecord(player.GetMap(), record, size);
  if (!target || target->GetKind() != kPointKindPlant) return false;
  auto* point = static_cast<BasePointPlant*>(target);
  Job* job = nullptr;
  bool made = true;
  if (id == kJobPlant && point->GetLevel() == 0) {
    job = point->GetPlantJob();
    if (!job || job->GetOwner() != &player) return false;
    player.MoveJobToEnd(job);
    made = false;
  } else if (id == kJobPlant) {
    if (point->GetLevel() < 1 || point->GetPlantJob()) return false;
    job = Job_Plant::Create(*point);
  } else if (point->GetLevel() >= 1) {
    job = id == kJobWater ? static_cast<Job*>(new Job_Water(&player, point))
                          : static_cast<Job*>(new Job_Harvest(&player, point));
  }
  if (!job) return false;
  const i32 cost = kis::GetI32LE(record + kCostAt);
  if (cost != 0 && cost != job->GetCost()) {
    if (made) job->Finish();
    return false;
  }
  return RestoreJobStep(job, record, id == kJobPlant ? kDigStep : kWorkStep);
}
