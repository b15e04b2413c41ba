// Job_Pulldown - the player pulls a built point down to an empty place: she
// walks to its work place, digs up a plant bed ("girl_dig"), fells a tree
// ("girl_rubit") or takes down a building ("girl_build") for the pull-down
// time of the plant table, the point stopping meanwhile; then an empty
// place takes its index. Cancelled, the point resumes.
#pragma once

#include "level/characters/Job.h"

class MapPlayer;

class LevelPoint;

constexpr u16 kJobPulldown = 11;

class Job_Pulldown : public Job {
 public:
  Job_Pulldown(MapCharacter* owner, LevelPoint* point);
  ~Job_Pulldown() override;

  bool NextStep(i32 step) override;
  void Update() override;
  bool Finish() override;
  void ClearTarget() override { point_ = nullptr; }
  bool Save(kis::DataCursor* cursor, u32 characterRecord) override;
  static bool Load(MapPlayer* owner, const u8* record, u32 size);  // a point that is not empty

  LevelPoint* GetPoint() const { return point_; }

 private:
  LevelPoint* point_;
};
