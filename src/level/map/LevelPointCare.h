// LevelPointCare - the level's care of its points: toxic damage (a
// PointDamage on the point, its saved record) and the player's jobs on the
// points (clearing garbage, pulling down, repairing), with the repair arrow
// that offers a repair. The level scene installs one in the map's hooks.
//
// The villains (the level objects library's) poison points through
// AddDamage and pick them with PickVillainTarget; their records are looked
// up by id through DamageSources when a saved damage is read back.
#pragma once

#include "level/map/PointCare.h"
#include "level/map/PointDamage.h"

class Job;
class LevelMap;
class MapPlayer;

constexpr u32 kRepairButtonCode = 0x52657061u;  // 'Repa'
constexpr u32 kRepairGlowColor = 0xFFFF0000u;
constexpr float kRepairGlowScale = 3.5f;
constexpr float kVillainTargetDistance = 150.0f;

// The villains' damage records by villain id; null for an unknown id. The
// level objects library (its villains) will implement it; it is optional:
// without one no saved damage is read back.
class DamageSources {
 public:
  virtual ~DamageSources() = default;
  virtual const DAMAGESOURCE* FindDamageSource(u32 villainId) const = 0;
};

class LevelPointCare : public PointCare {
 public:
  // villains: optional (see DamageSources).
  explicit LevelPointCare(const DamageSources* villains) : villains_(villains) {}

  u32 UpdateDamage(BaseLevelPoint* point, u32 ms) override;
  u32 GetDamageVillain(const BaseLevelPoint* point) const override;
  bool SaveDamageRecord(const BaseLevelPoint* point, kis::DataCursor* writer) override;
  // A damage of the villain's record (unknown villains refuse), then its
  // record; a refused record leaves the point without damage.
  bool LoadDamage(BaseLevelPoint* point, u32 villain, kis::DataCursor* reader) override;
  void StartClearJob(EmptyLevelPoint* place) override;
  PointJob* CreatePulldownJob(LevelPoint* point) override;

 private:
  const DamageSources* villains_;
};

// The point's damage when it has one.
PointDamage* GetPointDamage(const BaseLevelPoint* point);
// Poisons the map's point at `index` when it can be damaged: a longer time for a
// point already damaged, else new damage (and the point's jobs stop); the
// repair arrow shows.
void AddDamage(LevelMap& map, i32 index, const DAMAGESOURCE* source, bool fade);
// The repair arrow at the position of a point whose damage runs, without
// arrow or repair.
void ShowRepairArrow(BaseLevelPoint* point, bool fade);
// With damage and no repair job: the arrow goes and the player repairs.
void StartRepair(BaseLevelPoint* point);
// A random damageable point of the map 150 or more from (x, y); else a
// random nearer one; -1 when none can be damaged.
i32 PickVillainTarget(LevelMap& map, i32 x, i32 y);
// The player of the characters on the map, who does the point jobs; null
// when none.
MapPlayer* PointJobOwner(const LevelMap& map);

// The point jobs' 44-byte records: header, motion (at the animation step)
// and the target point's index at 40.
constexpr u32 kPointJobRecordSize = 44;
bool SavePointJob(Job* job, kis::DataCursor* cursor, u32 characterRecord, const BaseLevelPoint* target,
                  bool animating);
// The target of a record: its size 44 and its index one of the map's
// points; null otherwise.
BaseLevelPoint* PointOfJobRecord(const LevelMap& map, const u8* record, u32 size);
