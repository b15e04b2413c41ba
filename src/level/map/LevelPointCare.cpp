#include "level/map/LevelPointCare.h"

#include "base/DataCursor.h"
#include "base/LittleEndian.h"
#include "base/Random.h"
#include "content/ContentArchive.h"
#include "level/map/EmptyLevelPoint.h"
#include "level/characters/Job.h"
#include "level/characters/Job_Clear.h"
#include "level/characters/Job_Pulldown.h"
#include "level/characters/LevelCharacters.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelPoint.h"
#include "level/map/LevelPointMaker.h"
#include "level/characters/Job_Repair.h"
#include "level/characters/MapPlayer.h"
#include "resources/SpriteSet.h"
#include "hud/ASSArrowButton.h"

namespace {

constexpr i32 kDamageSortY = 100;  // the damage sorts in front of its point

u32 OnRepairClicked(ActiveScreenSprite*, ScreenSpriteOwner* owner, u32) {
  auto* point = static_cast<BaseLevelPoint*>(owner);
  StartRepair(point);
  point->GetMap().ClosePanelExcept(point);
  return kScreenClickSound;
}

PointDamage* MakeDamage(BaseLevelPoint* point, const DAMAGESOURCE* source, bool fade) {
  POINTPOS pos;
  point->GetPos(&pos);
  auto* damage = new PointDamage(point, pos.x, pos.y, 0, kDamageSortY, source, fade);
  point->SetDamage(damage);
  return damage;
}

}  // namespace

// --- PointCare ---------------------------------------------------------------------------------------------

u32 LevelPointCare::UpdateDamage(BaseLevelPoint* point, u32 ms) {
  PointDamage* damage = GetPointDamage(point);
  return damage ? damage->Update(ms) : ms;
}

u32 LevelPointCare::GetDamageVillain(const BaseLevelPoint* point) const {
  const PointDamage* damage = GetPointDamage(point);
  return damage && !damage->IsDead() && !damage->IsCleared() ? damage->GetSource().villainId : 0;
}

bool LevelPointCare::SaveDamageRecord(const BaseLevelPoint* point, kis::DataCursor* writer) {
  const PointDamage* damage = GetPointDamage(point);
  return damage && damage->SaveRecord(writer);
}

bool LevelPointCare::LoadDamage(BaseLevelPoint* point, u32 villain, kis::DataCursor* reader) {
  const DAMAGESOURCE* source = villains_ ? villains_->FindDamageSource(villain) : nullptr;
  if (!source || point->HasDamage() || !point->CanBeDamaged()) return false;
  if (MakeDamage(point, source, false)->LoadRecord(reader)) return true;
  point->RemoveRepairArrow(false, 0);
  point->DeleteDamage();
  return false;
}

void LevelPointCare::StartClearJob(EmptyLevelPoint* place) {
  if (MapPlayer* player = PointJobOwner(place->GetMap())) new Job_Clear(player, place);
}

PointJob* LevelPointCare::CreatePulldownJob(LevelPoint* point) {
  MapPlayer* player = PointJobOwner(point->GetMap());
  return player ? new Job_Pulldown(player, point) : nullptr;
}

// --- Damage and repair ---------------------------------------------------------------------------------

PointDamage* GetPointDamage(const BaseLevelPoint* point) {
  MapObject* damage = point ? point->GetDamage() : nullptr;
  return damage && damage->GetKind() == kObjectDamage ? static_cast<PointDamage*>(damage) : nullptr;
}

void AddDamage(LevelMap& map, i32 index, const DAMAGESOURCE* source, bool fade) {
  BaseLevelPoint* point = map.Points().GetDamageablePoint(index);
  if (!point || !source) return;
  if (PointDamage* damage = GetPointDamage(point)) {
    damage->SetRemaining(source->damageTime, fade);
  } else {
    MakeDamage(point, source, fade);
    point->StopJobs(fade);
  }
  ShowRepairArrow(point, fade);
}

void ShowRepairArrow(BaseLevelPoint* point, bool fade) {
  const PointDamage* damage = GetPointDamage(point);
  if (!damage || damage->IsCleared() || point->GetRepairArrow() || point->GetRepairJob()) return;
  if (!point->GetMap().Hooks().hud) return;
  // At the point's own position, for a bed and a building alike (the
  // button stands 32 above it): where the tutorials' point targets aim too.
  POINTPOS pos;
  point->GetPos(&pos);
  auto* arrow = new ASSArrowButton(kRepairButtonCode, pos.x, pos.y, GetSpriteByName(kIconSpriteSet, u"icon_btn_toxic"),
                                   nullptr, GetSpriteByName(kIconSpriteSet, u"toxic_arrow"));
  arrow->SetGlow(GetSpriteByName(kEffectSpriteSet, u"particle"), kRepairGlowScale, kRepairGlowColor);
  arrow->SetHandler(point, &OnRepairClicked, nullptr);
  point->SetRepairArrow(arrow);
  arrow->Show(!fade, 0, kShowPop, kPointSpriteShowTime);
}

void StartRepair(BaseLevelPoint* point) {
  MapPlayer* player = PointJobOwner(point->GetMap());
  if (!player || !GetPointDamage(point) || point->GetRepairJob()) return;
  if (ASSArrowButton* arrow = point->GetRepairArrow()) {
    point->SetRepairArrow(nullptr);
    arrow->Hide(true, false, 0, kShowFade | kShowPop, kPointSpriteShowTime);
  }
  new Job_Repair(player, point);
}

i32 PickVillainTarget(LevelMap& map, i32 x, i32 y) {
  i32 far[kMaxPoints], near[kMaxPoints];
  i32 farCount = 0, nearCount = 0;
  for (i32 i = 0; i < map.GetPointCount() && i < kMaxPoints; ++i) {
    BaseLevelPoint* point = map.Points().GetDamageablePoint(i);
    if (!point) continue;
    POINTPOS pos;
    point->GetPos(&pos);
    const float dx = static_cast<float>(pos.x - x), dy = static_cast<float>(pos.y - y);
    if (dx * dx + dy * dy >= kVillainTargetDistance * kVillainTargetDistance)
      far[farCount++] = i;
    else
      near[nearCount++] = i;
  }
  if (farCount > 0) return far[kis::RandomBelow(static_cast<u16>(farCount))];
  if (nearCount > 0) return near[kis::RandomBelow(static_cast<u16>(nearCount))];
  return -1;
}

MapPlayer* PointJobOwner(const LevelMap& map) {
  const LevelCharacters* characters = map.GetCharacters();
  return characters ? characters->GetPlayer() : nullptr;
}

// --- Job records --------------------------------------------------------------------------------------------

bool SavePointJob(Job* job, kis::DataCursor* cursor, u32 characterRecord, const BaseLevelPoint* target,
                  bool animating) {
  if (job->GetState() >= kJobFinished || !target) return true;
  u8* r = job->WriteHeader(cursor, characterRecord, kPointJobRecordSize);
  if (!r) return false;
  job->WriteTarget(r, animating);
  kis::PutU32LE(r + 40, static_cast<u32>(target->GetIndex()));
  return true;
}

BaseLevelPoint* PointOfJobRecord(const LevelMap& map, const u8* record, u32 size) {
  if (size != kPointJobRecordSize) return nullptr;
  const u32 index = kis::GetU32LE(record + 40);
  return index < static_cast<u32>(map.GetPointCount()) ? map.GetPoint(static_cast<i32>(index)) : nullptr;
}
