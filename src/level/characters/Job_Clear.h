// Job_Clear - the player clears an empty place of its garbage: the price is
// reserved as the job's cost, she walks to 65 below the place, works
// ("girl_build") for the garbage's clearing time, and the garbage goes
// (tiered award 7 rises by one). Cancelled, the money comes back and the
// place offers its clear button again.
#pragma once

#include "level/characters/Job.h"

class MapPlayer;

class EmptyLevelPoint;

constexpr u16 kJobClear = 10;
constexpr i32 kClearStandBelow = 65;
constexpr i32 kClearIconBelow = 32;
constexpr u32 kAwardGarbageCleared = 7;  // the tiered award of cleared garbage
constexpr i32 kWorkActivity = 5;         // the level rate the point jobs work at

class Job_Clear : public Job {
 public:
  Job_Clear(MapCharacter* owner, EmptyLevelPoint* place);
  ~Job_Clear() override;

  bool NextStep(i32 step) override;
  void Update() override;
  bool Finish() override;
  void ClearTarget() override { place_ = nullptr; }
  bool Save(kis::DataCursor* cursor, u32 characterRecord) override;
  // The job from its record: an empty place with garbage, the saved cost
  // (when not 0) equal to the new reservation; false when refused.
  static bool Load(MapPlayer* owner, const u8* record, u32 size);

  EmptyLevelPoint* GetPlace() const { return place_; }

 private:
  EmptyLevelPoint* place_;
};
