#include "level/characters/Job_Clear.h"

#include "base/LittleEndian.h"
#include "content/ContentArchive.h"
#include "content/GarbageList.h"
#include "level/map/EmptyLevelPoint.h"
#include "level/state/JobRecord.h"
#include "level/characters/LevelCharacters.h"
#include "level/map/LevelPointCare.h"
#include "level/rules/LevelRules.h"
#include "level/characters/MapPlayer.h"
#include "resources/SpriteSet.h"

namespace {

constexpr wchar kClearIconName[] = u"small_ico_clear";
constexpr wchar kClearAnimation[] = u"girl_build";

}  // namespace

Job_Clear::Job_Clear(MapCharacter* owner, EmptyLevelPoint* place) : Job(owner, kJobClear), place_(place) {
  if (PointJob* earlier = place->GetClearJob()) earlier->Finish();
  place->SetClearJob(this);
  const SpriteSet* set = GetSpriteSet(kIconSpriteSet);
  ShowIcon(place->GetX(), place->GetY() + kClearIconBelow, set ? set->FindSprite(kClearIconName) : nullptr, place,
           kJobIconColor);
  SetCost(static_cast<i32>(place->GetPrice()));
  place->DeleteClearButton();
  NotifyTutorial();
}

Job_Clear::~Job_Clear() {
  if (place_ && place_->GetClearJob() == this) place_->SetClearJob(nullptr);
}

bool Job_Clear::NextStep(i32 step) {
  if (!Job::NextStep(step)) return false;
  if (place_ && step_ == 1) return StartWalk(place_->GetX(), place_->GetY() + kClearStandBelow, false, 1.0f, nullptr);
  if (place_ && step_ == 2) {
    const GARBAGEINFO* garbage = place_->GetGarbage();
    return PlayAnimation(garbage ? garbage->clearTime : 0, kClearAnimation, 0, kWorkActivity);
  }
  Finish();
  return false;
}

void Job_Clear::Update() {
  if (!UpdateWalkThenWork(1)) return;
  EmptyLevelPoint* place = place_;
  place_ = nullptr;
  if (!place) return;
  place->SetClearJob(nullptr);
  place->SetGarbage(nullptr, 0, true, 0);
  if (LevelRules* rules = level_ ? level_->GetRules() : nullptr) rules->AddAwardProgress(kAwardGarbageCleared, 1);
}

bool Job_Clear::Finish() {
  if (!Job::Finish()) return false;
  if (EmptyLevelPoint* place = place_) {
    place_ = nullptr;
    if (place->GetClearJob() == this) place->SetClearJob(nullptr);
    place->ShowClearButton(true, 0);
  }
  return true;
}

bool Job_Clear::Save(kis::DataCursor* cursor, u32 characterRecord) {
  return SavePointJob(this, cursor, characterRecord, place_, step_ == 2);
}

bool Job_Clear::Load(MapPlayer* owner, const u8* record, u32 size) {
  BaseLevelPoint* point = PointOfJobRecord(owner->GetMap(), record, size);
  if (!point || point->GetKind() != kPointKindEmpty) return false;
  auto* place = static_cast<EmptyLevelPoint*>(point);
  if (!place->GetGarbage()) return false;
  auto* job = new Job_Clear(owner, place);  // an earlier clear job of the place finishes
  const i32 cost = kis::GetI32LE(record + 12);
  if (cost != 0 && cost != job->GetCost()) {
    job->Finish();
    return false;
  }
  return RestoreJobStep(job, record, 2);
}
