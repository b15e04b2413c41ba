// Job_Water and Job_Harvest - the player's jobs at a plant point: she walks
// to the point's work spot and waters it ("girl_water", for the timing
// block's bed or tree watering time: a new draw of the kind's water), or
// harvests it (the kind's harvesting animation for the harvest time: the
// point's CollectProducts). A point keeps one of each; a new one finishes
// the old. Finished early, a watering leaves the point's water as it was.
// Both are saved as the point jobs' 44-byte records (LevelPointCare.h) and
// loaded by LoadPlantJob.
#pragma once

#include "gametext/GameMessager.h"
#include "level/characters/Job.h"

class BasePointPlant;
class MapPlayer;

constexpr u16 kJobWater = 3;
constexpr u16 kJobHarvest = 4;

class Job_Water : public Job {
 public:
  Job_Water(MapCharacter* owner, BasePointPlant* point);
  ~Job_Water() override;

  bool NextStep(i32 step) override;
  void Update() override;
  bool Finish() override;
  void ClearTarget() override { point_ = nullptr; }
  bool Save(kis::DataCursor* cursor, u32 characterRecord) override;

  BasePointPlant* GetPoint() const { return point_; }

 private:
  BasePointPlant* point_;
};

class Job_Harvest : public Job {
 public:
  Job_Harvest(MapCharacter* owner, BasePointPlant* point);
  ~Job_Harvest() override;

  bool NextStep(i32 step) override;
  void Update() override;
  bool Finish() override;
  void ClearTarget() override { point_ = nullptr; }
  bool Save(kis::DataCursor* cursor, u32 characterRecord) override;

  BasePointPlant* GetPoint() const { return point_; }
  bool IsHarvesting() const { return harvesting_; }

 private:
  BasePointPlant* point_;
  GameMessager messager_;
  bool harvesting_ = false;
};

// The player's plant job of a saved record (id 3 water, 4 harvest): its
// size 44, its point a plant point, a saved cost 0; false when refused.
bool LoadPlantJob(u32 id, MapPlayer& player, const u8* record, u32 size);
