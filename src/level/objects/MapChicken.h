// MapChicken - a chicken of a chicken house: it appears at its door after a
// delay, wanders the yard on free ground away from the other chickens, and
// takes the jobs its house gives it for the eating and laying phases. A
// leaving chicken is removed once it has no job left. Its pace follows the
// house's rate (a factor of id kChickenRateId on its idle and work
// activities and its walk).
#pragma once

#include "level/characters/Job.h"
#include "level/characters/MapCharacter.h"

class PointHenhouse;
class Job_ChickenEat;
class Job_ChickenEgg;

constexpr u32 kChickenRateId = 0xC41C3E40u;
constexpr u16 kJobChickenEat = 0x1001;
constexpr u16 kJobChickenEgg = 0x1101;
constexpr u32 kChickenGoToRecordSize = 24;
constexpr u32 kChickenJobRecordSize = 48;
constexpr wchar kChickenEatAnimation[] = u"chicken_eat";

class MapChicken : public MapCharacter {
 public:
  // At (x, y), hidden for the appear delay (ms), then shown and wandering.
  MapChicken(LevelCharacters& cast, PointHenhouse& house, i32 slot, float x, float y, u32 appearDelay, bool fade);
  ~MapChicken() override;

  u32 StartRemoval(u32 delay) override;  // fades out
  void OnIdle() override;
  void SaveState(u8* record) const override;  // the wander delay at 100
  void RestoreState() override;               // and the saved wander delay
  bool LoadJob(const u8* record, u32 size) override;
  void Update() override;

  void ApplyRate(float rate);
  void Wander();
  void Forget() { house_ = nullptr; }  // the house went first
  void SetLeaving() { leaving_ = true; }
  void SetTarget(float x, float y) {
    targetX_ = x;
    targetY_ = y;
  }
  void SetTargetHere() { SetTarget(GetX(), GetY()); }
  void ResetWanderDelay() { wanderDelay_ = 0.0f; }

  PointHenhouse* GetHouse() const { return house_; }
  i32 GetSlot() const { return slot_; }
  Job_ChickenEat* GetEatJob() const { return eatJob_; }
  void SetEatJob(Job_ChickenEat* job) { eatJob_ = job; }
  Job_ChickenEgg* GetEggJob() const { return eggJob_; }
  void SetEggJob(Job_ChickenEgg* job) { eggJob_ = job; }
  float GetTargetX() const { return targetX_; }
  float GetTargetY() const { return targetY_; }
  bool IsAtSpot() const { return atSpot_; }
  void SetAtSpot(bool on) { atSpot_ = on; }
  bool IsLeaving() const { return leaving_; }
  bool IsShown() const { return appeared_; }
  float GetWanderDelay() const { return wanderDelay_; }

 private:
  // Whether another chicken of the house aims within 32 units of (x, y).
  bool IsCrowded(float x, float y) const;

  PointHenhouse* house_;
  i32 slot_;
  Job_ChickenEat* eatJob_ = nullptr;
  Job_ChickenEgg* eggJob_ = nullptr;
  u32 appearDelay_;
  bool fadeIn_;
  bool appeared_ = false;
  float idleTimer_ = 0.0f;
  float wanderDelay_ = 0.0f;
  float targetX_, targetY_;
  bool atSpot_ = false;
  bool leaving_ = false;
};

// A walk to the chicken's target (id 1, its own 24-byte record).
class Job_ChickenGoTo : public Job {
 public:
  explicit Job_ChickenGoTo(MapChicken* chicken);
  bool NextStep(i32 step) override;
  void Update() override;
  bool Finish() override;
  bool Save(kis::DataCursor* cursor, u32 characterRecord) override;

 private:
  MapChicken* chicken_;
};

// A chicken's job at a spot of its house: it walks there, then stays in an
// endless animation until the house ends the phase; finished, it leaves the
// spot where it stands.
class ChickenSpotJob : public Job {
 public:
  void Update() override;

 protected:
  ChickenSpotJob(MapChicken* chicken, u16 id) : Job(chicken, id), chicken_(chicken) {}
  void LeaveSpot();

  MapChicken* chicken_;
};

// The chicken walks to its eating spot at the trough and eats until the
// house ends the phase.
class Job_ChickenEat : public ChickenSpotJob {
 public:
  explicit Job_ChickenEat(MapChicken* chicken);
  ~Job_ChickenEat() override;
  bool NextStep(i32 step) override;
  bool Finish() override;
  bool Save(kis::DataCursor* cursor, u32 characterRecord) override;

  i32 GetTargetX() const { return x_; }
  i32 GetTargetY() const { return y_; }

 private:
  i32 x_ = 0, y_ = 0;
};

// The chicken walks to its egg spot and sits there until the house ends the phase.
class Job_ChickenEgg : public ChickenSpotJob {
 public:
  explicit Job_ChickenEgg(MapChicken* chicken);
  ~Job_ChickenEgg() override;
  bool NextStep(i32 step) override;
  bool Finish() override;
  bool Save(kis::DataCursor* cursor, u32 characterRecord) override;
};
