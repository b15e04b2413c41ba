#include "level/objects/Job_Build.h"

#include "base/LittleEndian.h"
#include "content/BuildingTable.h"
#include "level/characters/LevelCharacters.h"
#include "level/characters/MapPlayer.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelPointCare.h"
#include "level/map/LevelPointMaker.h"
#include "level/objects/PointBuilding.h"
#include "level/rules/LevelRules.h"
#include "level/state/JobRecord.h"
#include "resources/SpriteSet.h"

namespace {

constexpr i32 kWaitStep = 1;
constexpr i32 kWalkStep = 2;
constexpr i32 kBuildStep = 3;
constexpr u32 kCostAt = 12;

// Nothing animates while the level is built or restored.
bool IsLevelEntered(const PointBuilding& point) {
  const LevelRules* rules = point.GetMap().GetRules();
  return rules && rules->IsEntered();
}

}  // namespace

Job_Build* Job_Build::Create(PointBuilding& point) {
  MapPlayer* owner = PointJobOwner(point.GetMap());
  // A step past the kind's last level record has no price or time to read.
  if (!owner || point.GetLevel() < 0 || point.GetLevel() >= point.GetLevelLimit()) return nullptr;
  return new Job_Build(owner, point);
}

Job_Build::Job_Build(MapPlayer* owner, PointBuilding& point) : Job(owner, kJobBuild), point_(&point) {
  // The earlier job lets go of the point first: finishing it must not
  // abandon the construction this job continues.
  if (Job_Build* earlier = point.GetBuildJob()) {
    earlier->ClearTarget();
    earlier->Finish();
    point.SetBeingBuilt(false);
  }
  point.SetBuildJob(this);
  const BUILDINGLEVEL& record = point.GetBuilding()->levels[point.GetLevel()];
  Sprite* icon = point.GetBuilding()->levels[0].buildIcon;
  if (point.GetLevel() > 0) {
    const SpriteSet* set = GetSpriteSet(kIconSpriteSet);
    icon = set ? set->FindSprite(kUpgradeIconName) : nullptr;
  }
  ShowIcon(point.GetMapX(), point.GetMapY(), icon, &point, kJobIconColor);
  SetCost(record.price);
  NotifyTutorial();
  if (point.GetLevel() > 0) point.BuildPause(true, IsLevelEntered(point));
}

Job_Build::~Job_Build() {
  if (point_ && point_->GetBuildJob() == this) point_->SetBuildJob(nullptr);
}

bool Job_Build::NextStep(i32 step) {
  if (!Job::NextStep(step)) return false;
  if (point_ && step_ == kWaitStep) return true;
  if (point_ && step_ == kWalkStep) {
    POINTPOS pos, offset;
    point_->GetPos(&pos);
    point_->GetWorkOffset(&offset);
    return StartWalk(pos.x + offset.x, pos.y + offset.y, false, 1.0f, nullptr);
  }
  if (point_ && step_ == kBuildStep && point_->GetLevel() >= 0 &&
      point_->GetLevel() < point_->GetBuilding()->levelCount) {
    const u32 time = point_->GetBuilding()->levels[point_->GetLevel()].buildTime;
    if (!PlayAnimation(time > 0 ? time : 1, kBuildAnimation, 0, kBuildActivity)) return false;
    point_->SetBeingBuilt(true);
    return true;
  }
  Finish();
  return false;
}

void Job_Build::Update() {
  if (!UpdateWaitWalkThenWork(kWaitStep, point_ && point_->GetPendingDelay() != 0)) return;
  PointBuilding* point = point_;
  point_ = nullptr;
  if (!point) return;
  if (point->GetBuildJob() == this) point->SetBuildJob(nullptr);
  point->SetBeingBuilt(false);
  point->Upgrade();
  if (level_ && level_->IsPlayer(owner_)) static_cast<MapPlayer*>(owner_)->MarkWorking();
}

bool Job_Build::Finish() {
  if (!Job::Finish()) return false;
  PointBuilding* point = point_;
  if (!point) return true;
  point_ = nullptr;
  if (point->GetBuildJob() == this) point->SetBuildJob(nullptr);
  point->SetBeingBuilt(false);
  // An abandoned construction leaves the place empty.
  if (point->GetLevel() == 0 && point->GetMaker()) {
    point->GetMaker()->MakeEmpty(point->GetIndex());
  } else if (point->GetLevel() > 0) {
    point->BuildPause(false, IsLevelEntered(*point));
  }
  return true;
}

bool Job_Build::Save(kis::DataCursor* cursor, u32 characterRecord) {
  return SavePointJob(this, cursor, characterRecord, point_, step_ == kBuildStep);
}

bool Job_Build::Load(MapPlayer* owner, const u8* record, u32 size) {
  PointBuilding* point = dynamic_cast<PointBuilding*>(PointOfJobRecord(owner->GetMap(), record, size));
  if (!point || point->GetLevel() < 0) return false;
  Job_Build* job = nullptr;
  if (point->GetLevel() == 0) {
    job = point->GetBuildJob();
    if (!job || job->GetOwner() != owner) return false;
    owner->MoveJobToEnd(job);
  } else {
    job = Create(*point);  // an upgrade already there gives way to it
    if (!job) return false;
  }
  const i32 cost = kis::GetI32LE(record + kCostAt);
  if (cost != 0 && cost != job->GetCost()) {
    if (point->GetLevel() > 0) job->Finish();
    return false;
  }
  return RestoreJobStep(job, record, kBuildStep);
}
