#include "level/characters/Job_Repair.h"

#include "content/ContentArchive.h"
#include "level/map/BaseLevelPoint.h"
#include "level/state/JobRecord.h"
#include "level/characters/Job_Clear.h"
#include "level/characters/LevelCharacters.h"
#include "level/map/LevelPointCare.h"
#include "level/characters/MapPlayer.h"
#include "resources/ResourceServices.h"
#include "resources/SpriteSet.h"

namespace {

constexpr wchar kRepairIconName[] = u"small_ico_clean";
constexpr wchar kRepairAnimation[] = u"girl_repair";
constexpr u32 kNoTimeLimit = 0xFFFFFFFFu;

}  // namespace

Job_Repair::Job_Repair(MapCharacter* owner, BaseLevelPoint* point) : Job(owner, kJobRepair), point_(point) {
  if (PointJob* earlier = point->GetRepairJob()) earlier->Finish();
  point->SetRepairJob(this);
  if (PointDamage* damage = GetPointDamage(point)) damage->RaiseLine(true);
  const SpriteSet* set = GetSpriteSet(kIconSpriteSet);
  POINTPOS pos;
  point->GetPos(&pos);
  ShowIcon(pos.x, pos.y, set ? set->FindSprite(kRepairIconName) : nullptr, point, kJobIconColor);
  point->RemoveRepairArrow(false, 0);
  NotifyTutorial();
}

Job_Repair::~Job_Repair() {
  if (point_ && point_->GetRepairJob() == this) point_->SetRepairJob(nullptr);
}

bool Job_Repair::NextStep(i32 step) {
  if (!Job::NextStep(step)) return false;
  if (point_ && step_ == 1) {
    POINTPOS pos, offset;
    point_->GetPos(&pos);
    point_->GetWorkOffset(&offset);
    return StartWalk(pos.x + offset.x, pos.y + offset.y, false, 1.0f, nullptr);
  }
  if (point_ && step_ == 2) return PlayAnimation(kNoTimeLimit, kRepairAnimation, 0, kWorkActivity);
  Finish();
  return false;
}

void Job_Repair::Update() {
  if (step_ == 0) {
    NextStep(-1);
  } else if (step_ == 1) {
    if (UpdateWalk(1.0f)) NextStep(-1);
  } else if (step_ == 2) {
    if (UpdateAnimation()) {
      step_ = 3;
      state_ = kJobDone;
      BaseLevelPoint* point = point_;
      point_ = nullptr;
      if (!point) return;
      if (point->GetRepairJob() == this) point->SetRepairJob(nullptr);
      if (PointDamage* damage = GetPointDamage(point)) damage->Dispose();
      if (level_ && level_->IsPlayer(owner_)) static_cast<MapPlayer*>(owner_)->MarkWorking();
      return;
    }
    PointDamage* damage = GetPointDamage(point_);
    if (elapsed_ == 0.0f || !damage) return;
    repairing_ = true;
    const u32 most = kRepairSpeed * GameTimeStep();
    const u32 amount = damage->GetRemaining() < most ? damage->GetRemaining() : most;
    damage->SetRemaining(damage->GetRemaining() - amount, true);  // at 0 the damage ends and so does this job
    repairing_ = false;
  }
}

bool Job_Repair::Finish() {
  const bool inRepair = repairing_;
  if (!Job::Finish()) return false;
  if (BaseLevelPoint* point = point_) {
    point_ = nullptr;
    if (PointDamage* damage = GetPointDamage(point)) damage->RaiseLine(false);
    if (point->GetRepairJob() == this) point->SetRepairJob(nullptr);
    ShowRepairArrow(point, true);
    if (inRepair && level_ && level_->IsPlayer(owner_)) static_cast<MapPlayer*>(owner_)->MarkWorking();
  }
  return true;
}

bool Job_Repair::Save(kis::DataCursor* cursor, u32 characterRecord) {
  return SavePointJob(this, cursor, characterRecord, point_, step_ == 2);
}

bool Job_Repair::Load(MapPlayer* owner, const u8* record, u32 size) {
  BaseLevelPoint* point = PointOfJobRecord(owner->GetMap(), record, size);
  if (!point || !GetPointDamage(point)) return false;
  return RestoreJobStep(new Job_Repair(owner, point), record, 2);  // an earlier repair of the point finishes
}
