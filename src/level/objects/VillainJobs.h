// VillainJobs - the four jobs of a villain (MapVillain): walking in and
// setting up, firing one shot, walking off after the last shot and running
// away once driven off. Enter, leave and run-away hold the villain's
// movement link (a new one finishes the one before), the shot its shot
// link; each leaves its link as it goes.
//
// Records: enter, leave and run-away keep the 40-byte header with the
// motion of their animation steps (enter 2 and 3, leave 1, run-away 1 and
// 2); the shot 44 bytes, the target point's index at 40 (animation steps 1
// and 2). A record is read back only with its size and in the villain's
// state the job belongs to (enter 0, leave 2, run-away 3; a shot's target
// must be one of the level's points).
#pragma once

#include "level/characters/Job.h"
#include "level/objects/MapVillain.h"

constexpr u16 kJobVillainEnter = 0x2001;
constexpr u16 kJobVillainLeave = 0x2002;
constexpr u16 kJobVillainRunaway = 0x2003;
constexpr u16 kJobVillainShot = 0x2004;
constexpr u32 kVillainJobRecordSize = 40;
constexpr u32 kVillainShotJobRecordSize = 44;
constexpr u32 kRunawayPause = 150;       // ms of the standing pause of an installed villain
constexpr u32 kRunawayAngryTime = 800;   // ms of its anger, or at least of the bees
constexpr u32 kRunawayBeesSpread = 600;  // the bees' random extra (0 to 599 ms)

class VillainJob : public Job {
 public:
  VillainJob(MapVillain* villain, u16 jobId);
  ~VillainJob() override;  // the villain's link goes
  bool Finish() override;   // and its link goes
  bool Save(kis::DataCursor* cursor, u32 characterRecord) override;

 protected:
  MapVillain* Villain() const;
  virtual bool IsAnimationStep(i32 step) const = 0;
  virtual u32 RecordSize() const { return kVillainJobRecordSize; }
  virtual void WriteOwn(u8*) const {}
  // A step that plays the named (skinned) animation once, facing the spot.
  bool PlayOnce(const wchar* name);
  void HoldMoveLink();  // the villain's movement link becomes this job
  // Step 0 starts the first step; an animation or walk that ends goes to
  // the next step, or after the last one ends the job with the villain in
  // the state given.
  void UpdateSteps(i32 lastStep, i32 endState);
  bool WalkTo(i32 x, i32 y, const wchar* walkAnimation);

  friend bool LoadVillainJob(MapVillain* villain, const u8* record, u32 size);
};

// The three jobs that move the villain differ only in their steps: steps
// kFirstAnimation to kLastAnimation play animations, the others walk; the
// end of step kLastStep leaves the villain in state kEndState. Each holds
// the villain's movement link. NextStep is each job's own.
template <u16 kId, i32 kFirstAnimation, i32 kLastAnimation, i32 kLastStep, i32 kEndState>
class VillainMoveJob : public VillainJob {
 public:
  explicit VillainMoveJob(MapVillain* villain) : VillainJob(villain, kId) { HoldMoveLink(); }
  bool NextStep(i32 step) override;
  void Update() override { UpdateSteps(kLastStep, kEndState); }

 protected:
  bool IsAnimationStep(i32 step) const override { return step >= kFirstAnimation && step <= kLastAnimation; }
};

// In: walks to the spot (1), sets up (2, 3), then attacks.
using Job_VillainEnter = VillainMoveJob<kJobVillainEnter, 2, 3, 3, kVillainAttacking>;
// Off after the last shot: packs up (1), walks back to its start (2), gone.
using Job_VillainLeave = VillainMoveJob<kJobVillainLeave, 1, 1, 2, kVillainGone>;
// Away once driven off: a pause when set up (1), anger or the bees (2),
// runs back to its start (3), gone.
using Job_VillainRunaway = VillainMoveJob<kJobVillainRunaway, 1, 2, 3, kVillainGone>;

template <>
bool Job_VillainEnter::NextStep(i32 step);
template <>
bool Job_VillainLeave::NextStep(i32 step);
template <>
bool Job_VillainRunaway::NextStep(i32 step);

class Job_VillainShot : public VillainJob {
 public:
  Job_VillainShot(MapVillain* villain, i32 target);
  bool NextStep(i32 step) override;
  void Update() override;
  i32 GetTarget() const { return target_; }

 protected:
  bool IsAnimationStep(i32 step) const override { return step == 1 || step == 2; }
  u32 RecordSize() const override { return kVillainShotJobRecordSize; }
  void WriteOwn(u8* record) const override;

 private:
  i32 target_;
};

// A saved villain job re-made on the villain (see the header comment);
// false (and the load-error text) when refused, false for another job id.
bool LoadVillainJob(MapVillain* villain, const u8* record, u32 size);
