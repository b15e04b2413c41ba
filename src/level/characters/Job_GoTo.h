// Job_GoTo - the job that only walks: to a place (with the boots icon there
// when asked, and a distance limit beyond which it refuses the path), or,
// made with its owner alone, to the owner's own position at the time it
// starts, which steps the owner off blocked ground onto the nearest free
// point.
#pragma once

#include "level/characters/Job.h"

constexpr wchar kBootsIconName[] = u"small_ico_boots";

class Job_GoTo : public Job {
 public:
  explicit Job_GoTo(MapCharacter* owner);  // to the owner's own position
  // limit: the longest path taken (0: any); icon: the boots at the target.
  Job_GoTo(MapCharacter* owner, i32 x, i32 y, float limit, bool icon);
  ~Job_GoTo() override = default;

  bool AcceptPath() override;  // within the limit (always when staying)
  void Update() override;
  bool Save(kis::DataCursor* cursor, u32 characterRecord) override;  // 36 bytes
  // A walk from its record (size 36; finite limit): it starts again from
  // step 0. False when refused.
  static bool Load(MapCharacter* owner, const u8* record, u32 size);

  bool IsStay() const { return stay_ != 0; }
  i32 GetTargetX() const { return x_; }
  i32 GetTargetY() const { return y_; }
  float GetLimit() const { return limit_; }
  bool HasIconFlag() const { return iconFlag_ != 0; }

 private:
  u32 stay_ = 0;
  i32 x_ = 0;
  i32 y_ = 0;
  float limit_ = 0.0f;
  u32 iconFlag_ = 0;
};
