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

class MapVillain;

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
  bool WalkTo(i32 x, i32 y, const wchar* walkAnimation);

  friend bool LoadVillainJob(MapVillain* villain, const u8* record, u32 size);
};

class Job_VillainEnter : public VillainJob {
 public:
  explicit Job_VillainEnter(MapVillain* villain);
  bool NextStep(i32 step) override;
  void Update() override;

 protected:
  bool IsAnimationStep(i32 step) const override { return step == 2 || step == 3; }
};

class Job_VillainLeave : public VillainJob {
 public:
  explicit Job_VillainLeave(MapVillain* villain);
  bool NextStep(i32 step) override;
  void Update() override;

 protected:
  bool IsAnimationStep(i32 step) const override { return step == 1; }
};

class Job_VillainRunaway : public VillainJob {
 public:
  explicit Job_VillainRunaway(MapVillain* villain);
  bool NextStep(i32 step) override;
  void Update() override;

 protected:
  bool IsAnimationStep(i32 step) const override { return step == 1 || step == 2; }
};

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
