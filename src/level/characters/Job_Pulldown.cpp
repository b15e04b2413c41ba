#include "level/characters/Job_Pulldown.h"

#include "content/ContentArchive.h"
#include "content/PlantTable.h"
#include "level/state/JobRecord.h"
#include "level/characters/LevelCharacters.h"
#include "level/characters/Job_Clear.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelPoint.h"
#include "level/map/LevelPointCare.h"
#include "level/map/LevelPointMaker.h"
#include "level/characters/MapPlayer.h"
#include "resources/SpriteSet.h"

namespace {

constexpr wchar kPulldownIconName[] = u"small_ico_remove";

// A tree is felled, a plant bed dug up, anything else taken down.
const wchar* PulldownAnimation(const LevelPoint* point) {
  if (point->GetKind() != kPointKindPlant) return u"girl_build";
  POINTPARAMS info;
  point->GetInfo(&info);
  const PLANT* plant = FindPlant(info.id);
  return plant && plant->kind == kPlantTree ? u"girl_rubit" : u"girl_dig";
}

}  // namespace

Job_Pulldown::Job_Pulldown(MapCharacter* owner, LevelPoint* point) : Job(owner, kJobPulldown), point_(point) {
  if (PointJob* current = point->GetCurrentJob()) current->Finish();
  point->SetCurrentJob(this);
  const SpriteSet* set = GetSpriteSet(kIconSpriteSet);
  POINTPOS pos;
  point->GetPos(&pos);
  ShowIcon(pos.x, pos.y, set ? set->FindSprite(kPulldownIconName) : nullptr, point, kJobIconColor);
  NotifyTutorial();
}

Job_Pulldown::~Job_Pulldown() {
  if (point_ && point_->GetCurrentJob() == this) point_->SetCurrentJob(nullptr);
}

bool Job_Pulldown::NextStep(i32 step) {
  if (!Job::NextStep(step)) return false;
  if (point_ && step_ == 1) return NextStep(-1);
  if (point_ && step_ == 2) {
    POINTPOS pos, offset;
    point_->GetPos(&pos);
    point_->GetWorkOffset(&offset);
    return StartWalk(pos.x + offset.x, pos.y + offset.y, false, 1.0f, nullptr);
  }
  if (point_ && step_ == 3) {
    // The plant table's timing block holds the pull-down's time (0 without one).
    const PlantTable* plants = GetPlantTable();
    const bool playing = PlayAnimation(plants ? plants->GetTiming(kTimingPulldown) : 0, PulldownAnimation(point_), 0,
                                       kWorkActivity);
    point_->Suspend();
    return playing;
  }
  Finish();
  return false;
}

void Job_Pulldown::Update() {
  if (!UpdateWalkThenWork(2)) return;
  LevelPoint* point = point_;
  point_ = nullptr;
  if (!point) return;
  if (point->GetCurrentJob() == this) point->SetCurrentJob(nullptr);
  point->GetMaker()->MakeEmpty(point->GetIndex());
  if (level_ && level_->IsPlayer(owner_)) static_cast<MapPlayer*>(owner_)->MarkWorking();
}

bool Job_Pulldown::Finish() {
  if (!Job::Finish()) return false;
  if (LevelPoint* point = point_) {
    point_ = nullptr;
    if (point->GetCurrentJob() == this) point->SetCurrentJob(nullptr);
    point->Resume();
  }
  return true;
}

bool Job_Pulldown::Save(kis::DataCursor* cursor, u32 characterRecord) {
  return SavePointJob(this, cursor, characterRecord, point_, step_ == 3);
}

bool Job_Pulldown::Load(MapPlayer* owner, const u8* record, u32 size) {
  BaseLevelPoint* point = PointOfJobRecord(owner->GetMap(), record, size);
  if (!point || point->GetKind() == kPointKindEmpty) return false;
  return RestoreJobStep(new Job_Pulldown(owner, static_cast<LevelPoint*>(point)), record, 3);
}
