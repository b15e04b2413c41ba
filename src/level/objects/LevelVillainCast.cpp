#include "level/objects/LevelVillainCast.h"

#include <algorithm>
#include <cstdlib>

#include "base/DataCursor.h"
#include "base/LittleEndian.h"
#include "content/GameCharacter.h"
#include "content/LevelInfo.h"
#include "content/VillainList.h"
#include "engine/DXLViewer.h"
#include "level/characters/LevelCharacters.h"
#include "level/map/LevelMap.h"
#include "level/objects/MapVillain.h"
#include "level/objects/VillainShot.h"
#include "level/rules/LevelRules.h"
#include "resources/ResourceServices.h"
#include "resources/TutorialHooks.h"

namespace {

bool PutWord(kis::DataCursor* w, u32 v) {
  u8 b[4];
  kis::PutU32LE(b, v);
  return w->Write(b, 4);
}

bool GetWord(kis::DataCursor* r, u32* v) {
  u8 b[4];
  if (!r->Read(b, 4)) return false;
  *v = kis::GetU32LE(b);
  return true;
}

}  // namespace

LevelVillainCast::~LevelVillainCast() { Bind(nullptr); }

void LevelVillainCast::Bind(LevelMap* map) {
  if (map != map_) {
    DeleteAll();
    for (GameCharacter* c : held_) c->Release(false);
    held_.clear();
  }
  map_ = map;
}

// A description's pictures are loaded with its first villain and kept
// while the cast is bound to the level.
void LevelVillainCast::Hold(GameCharacter* description) {
  if (!description || std::find(held_.begin(), held_.end(), description) != held_.end()) return;
  description->Init();
  held_.push_back(description);
}

MapVillain* LevelVillainCast::MakeVillain(u32 slot, const VILLAINSLOT& where, u32 villainKind) {
  if (!map_ || !map_->GetCharacters() || slot >= kMaxVillainSlots) return nullptr;
  const VILLAININFO* info = FindVillainInfo(villainKind);
  GameCharacter* villain = FindCharInfo(GetCharacters(), kVillainCharacterId);
  if (!info || !villain) return nullptr;
  if (MapVillain* old = slots_[slot]) delete old;
  GameCharacter* catapult = FindCharInfo(GetCharacters(), kCatapultCharacterId);
  Hold(villain);
  Hold(catapult);
  auto* v = new MapVillain(*this, villain, catapult, slot, where, info);
  slots_[slot] = v;
  return v;
}

bool LevelVillainCast::SpawnVillain(u32 slot, const VILLAINSLOT& where, u32 villainKind) {
  MapVillain* v = MakeVillain(slot, where, villainKind);
  if (!v) return false;
  v->SetArrivalSoundPending(true);
  v->ShowArrivalMarker();
  return true;
}

bool LevelVillainCast::IsSlotTaken(u32 slot) const { return slot >= kMaxVillainSlots || slots_[slot] != nullptr; }

void LevelVillainCast::DriveOffAll() {
  for (MapVillain*& slot : slots_)
    if (MapVillain* v = slot; v && v->GetState() <= kVillainAttacking) v->OnBonusStrike();
}

void LevelVillainCast::ClearSlot(i32 slot, const MapVillain* villain) {
  if (slot >= 0 && slot < static_cast<i32>(kMaxVillainSlots) && slots_[slot] == villain) slots_[slot] = nullptr;
}

void LevelVillainCast::RemoveVillain(MapVillain* v) {
  for (MapVillain*& slot : slots_)
    if (slot == v) slot = nullptr;
  villains_.erase(std::remove(villains_.begin(), villains_.end(), v), villains_.end());
}

void LevelVillainCast::RemoveShot(VillainShot* s) { shots_.erase(std::remove(shots_.begin(), shots_.end(), s), shots_.end()); }

// From the newest shot (drawn on top) to the oldest: the first within reach
// that the tutorial lets the player touch, however near an older one is.
MapObject* LevelVillainCast::FindShotAt(i32 x, i32 y) const {
  for (auto it = shots_.rbegin(); it != shots_.rend(); ++it) {
    VillainShot* s = *it;
    if (s->IsDead() || s->IsBurst()) continue;
    const float dx = s->GetX() - static_cast<float>(x), dy = s->GetY() - static_cast<float>(y);
    if (dx * dx + dy * dy > static_cast<float>(kShotReach * kShotReach)) continue;
    if (TutorialAllowAction(kTutorialActionObject, kObjectVillainShot, s)) return s;
  }
  return nullptr;
}

// Shots gone in the tick before are deleted here: they are in no band of
// the map, so its drawing would only purge them once drawn.
void LevelVillainCast::UpdateShots(u32 ms) {
  for (size_t i = shots_.size(); i-- > 0;)
    if (shots_[i]->IsDead()) delete shots_[i];
  const std::vector<VillainShot*> shots = shots_;  // a shot may go while the others move
  for (VillainShot* s : shots)
    if (std::find(shots_.begin(), shots_.end(), s) != shots_.end()) s->Update(ms);
}

void LevelVillainCast::DrawShots() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  const DXLMATRIX base = viewer->CurrentTransform();
  for (VillainShot* s : shots_) {
    viewer->SetTransform(&base);
    s->Draw();
  }
  viewer->SetTransform(&base);
}

void LevelVillainCast::DeleteAll() {
  while (!shots_.empty()) delete shots_.back();
  while (!villains_.empty()) delete villains_.back();
  for (MapVillain*& slot : slots_) slot = nullptr;
}

const DAMAGESOURCE* LevelVillainCast::FindDamageSource(u32 villainId) const {
  const VILLAININFO* info = FindVillainInfo(villainId);
  if (!info) return nullptr;
  DAMAGESOURCE& source = sources_[villainId];
  source.villainId = villainId;
  source.damageTime = info->damageTime;
  return &source;
}

// --- Saved level --------------------------------------------------------------------------------------------

bool LevelVillainCast::SaveShots(kis::DataCursor* writer) {
  u32 count = 0;
  for (VillainShot* s : shots_) count += s->IsDead() || s->IsBurst() ? 0 : 1;
  if (!PutWord(writer, std::min(count, kMaxSavedShots))) return false;
  u32 written = 0;
  for (VillainShot* s : shots_) {
    if (s->IsDead() || s->IsBurst() || written == kMaxSavedShots) continue;
    if (!s->Save(writer)) return false;
    ++written;
  }
  return true;
}

bool LevelVillainCast::LoadShots(kis::DataCursor* reader) {
  u32 count;
  if (!GetWord(reader, &count) || count > kMaxSavedShots || !map_) return false;
  for (u32 i = 0; i < count; ++i)
    if (!VillainShot::Load(*this, reader)) return false;
  return true;
}

bool LevelVillainCast::SaveVillain(u32 slot, kis::DataCursor* writer) {
  MapVillain* v = GetVillain(slot);
  if (!v || v->IsDead() || v->GetState() > kVillainDone) return PutWord(writer, 0);
  return PutWord(writer, v->GetInfo()->id) && v->Save(writer);
}

bool LevelVillainCast::LoadVillain(u32 slot, u32 kind, kis::DataCursor* reader) {
  const LevelRules* rules = map_ ? map_->GetRules() : nullptr;
  const LEVELINFO* level = rules ? rules->GetInfo() : nullptr;
  if (!level || slot >= level->villainSlotCount || slot >= kMaxVillainSlots) return false;
  MapVillain* v = MakeVillain(slot, level->villainSlots[slot], kind);
  if (!v) return false;
  if (v->Load(reader) && v->RestoreVillain(slot) && v->LoadJobs(reader)) return true;
  delete v;
  return false;
}
