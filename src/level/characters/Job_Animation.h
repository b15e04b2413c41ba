// Job_Animation - a job that plays one animation of its owner, facing a
// direction (-1 keeps the facing), for a time in ms or for one run
// (kJobOneRun); it is done when the animation step ends.
#pragma once

#include "level/characters/Job.h"

class Job_Animation : public Job {
 public:
  Job_Animation(MapCharacter* owner, u16 jobId, const wchar* name, i32 direction, u32 duration);
  ~Job_Animation() override = default;

  bool NextStep(i32 step) override;
  void Update() override;
  bool Save(kis::DataCursor* cursor, u32 characterRecord) override;  // 112 bytes
  // The job from its record (size 112, a terminated name), at its saved
  // step with its timing; false when refused.
  static bool Load(MapCharacter* owner, const u8* record, u32 size);

  const wchar* GetName() const { return name_; }
  i32 GetDirection() const { return direction_; }
  u32 GetDuration() const { return duration_; }

 private:
  wchar name_[kAnimationNameSize] = {};
  i32 direction_;
  u32 duration_;
};
