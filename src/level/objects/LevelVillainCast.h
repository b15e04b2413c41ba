// LevelVillainCast - the villains of one level as the scene, the points'
// care and the saved level see them: the villain of each slot (made by the
// waves, driven off by the bees), every villain still on the map, the
// flying shots (updated each tick, drawn above the head-up display,
// found under the pointer), the damage each villain kind leaves, and the
// villains' part of the saved level.
//
// The game world makes one with every level it opens and binds it to the
// level's map once the level exists; until then it makes no villain.
// Deleting it deletes what it still holds. The villain and catapult
// descriptions' pictures are loaded with the first villain and released
// when the cast is unbound.
//
// Saved: the shot count and each shot's record; per slot the villain
// kind's id (0: none) and the villain's character record with its jobs.
// Only villains in a slot are kept: the ones leaving or running away have
// left their slot and are not.
#pragma once

#include <map>
#include <vector>

#include "content/LevelVillainDefs.h"
#include "level/map/LevelPointCare.h"
#include "level/scene/LevelVillains.h"
#include "level/state/LevelState.h"

class GameCharacter;
class LevelMap;
class MapVillain;
class VillainShot;

constexpr u32 kMaxSavedShots = 256;
constexpr i32 kShotReach = 40;  // pixels about a shot where the pointer finds it

class LevelVillainCast : public LevelVillains, public DamageSources, public LevelStateVillains {
 public:
  LevelVillainCast() = default;
  ~LevelVillainCast() override;
  LevelVillainCast(const LevelVillainCast&) = delete;
  LevelVillainCast& operator=(const LevelVillainCast&) = delete;

  // The level's map (with its characters); null unbinds after DeleteAll.
  void Bind(LevelMap* map);
  LevelMap* GetMap() const { return map_; }

  // --- LevelVillains ------------------------------------------------------------------------------
  // A villain of the kind in the slot (an earlier one there is deleted),
  // its arrival sound due and its marker shown; false without a map, the
  // kind, or the villain's character description (6).
  bool SpawnVillain(u32 slot, const VILLAINSLOT& where, u32 villainKind) override;
  bool IsSlotTaken(u32 slot) const override;
  void DriveOffAll() override;  // the bees' strike on every villain waiting or attacking
  MapObject* FindShotAt(i32 x, i32 y) const override;
  void UpdateShots(u32 ms) override;
  void DrawShots() override;
  void DeleteAll() override;

  // --- DamageSources -----------------------------------------------------------------------------
  const DAMAGESOURCE* FindDamageSource(u32 villainId) const override;

  // --- LevelStateVillains ------------------------------------------------------------------------
  bool SaveShots(kis::DataCursor* writer) override;
  bool LoadShots(kis::DataCursor* reader) override;  // at most kMaxSavedShots
  bool SaveVillain(u32 slot, kis::DataCursor* writer) override;
  bool LoadVillain(u32 slot, u32 kind, kis::DataCursor* reader) override;

  // --- The villains' and shots' own ---------------------------------------------------------------
  MapVillain* GetVillain(u32 slot) const { return slot < kMaxVillainSlots ? slots_[slot] : nullptr; }
  void ClearSlot(i32 slot, const MapVillain* villain);  // when it still holds the villain
  void AddVillain(MapVillain* v) { villains_.push_back(v); }
  void RemoveVillain(MapVillain* v);
  const std::vector<MapVillain*>& GetVillains() const { return villains_; }
  void AddShot(VillainShot* s) { shots_.push_back(s); }
  void RemoveShot(VillainShot* s);
  const std::vector<VillainShot*>& GetShots() const { return shots_; }

 private:
  MapVillain* MakeVillain(u32 slot, const VILLAINSLOT& where, u32 villainKind);
  void Hold(GameCharacter* description);

  LevelMap* map_ = nullptr;
  MapVillain* slots_[kMaxVillainSlots] = {};
  std::vector<MapVillain*> villains_;
  std::vector<VillainShot*> shots_;
  mutable std::map<u32, DAMAGESOURCE> sources_;
  std::vector<GameCharacter*> held_;  // descriptions loaded for the villains
};
