// Job_Repair - the player repairs a poisoned point: she walks to its work
// place and plays "girl_repair" until the damage is gone; each tick of her
// work takes four ticks' worth off the damage on top of its own wearing
// off. The damage line rises 32 pixels meanwhile. Cancelled, the arrow
// offers the repair again.
#pragma once

#include "level/characters/Job.h"

class MapPlayer;

class BaseLevelPoint;

constexpr u16 kJobRepair = 12;
constexpr u32 kRepairSpeed = 4;  // ticks of damage one tick of repair removes

class Job_Repair : public Job {
 public:
  Job_Repair(MapCharacter* owner, BaseLevelPoint* point);
  ~Job_Repair() override;

  bool NextStep(i32 step) override;
  void Update() override;
  bool Finish() override;
  void ClearTarget() override { point_ = nullptr; }
  bool Save(kis::DataCursor* cursor, u32 characterRecord) override;
  static bool Load(MapPlayer* owner, const u8* record, u32 size);  // a point with damage

  BaseLevelPoint* GetPoint() const { return point_; }
  bool IsRepairing() const { return repairing_; }

 private:
  BaseLevelPoint* point_;
  bool repairing_ = false;
};
