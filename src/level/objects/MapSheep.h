// MapSheep - a sheep of a sheep pen, standing at the pen's place and drawn
// at its own spot of the pen, with its head (MapSheepHead) a character of
// its own drawn over it. It grazes while the wool grows and otherwise turns
// its head or blinks now and then; one bleats while the wool waits.
//
// Skins: 1 woolly, 0 shorn. A body animation "sheepbody..." is the skin-1
// name; skin 0 inserts "_skin" after "sheepbody" ("sheepbody_blink" is
// "sheepbody_skin_blink"). The head plays "sheephead" followed by what
// follows "sheepbody" in the name asked for, on the body's clock.
#pragma once

#include "level/characters/MapCharacter.h"

class MapSheepHead;
class PointSheepRack;

constexpr u32 kObjectSheep = 0x20000102u;
constexpr u32 kObjectSheepHead = 0x20000103u;
constexpr u32 kSheepHeadCharacter = 5;     // the heads' character description
constexpr u32 kSheepRateId = 0xC034EAD1u;  // the pen's rate on its sheep
constexpr u32 kSheepPaceId = 0x54337u;     // each sheep's own random pace
constexpr u16 kJobSheepCut = 0x1581;       // reserved: loaded, never made
constexpr u16 kJobSheepEat = 0x1582;
constexpr u16 kJobSheepYelling = 0x1583;
constexpr u16 kJobSheepTurnLeft = 0x1584;
constexpr u16 kJobSheepTurnRight = 0x1585;
constexpr u16 kJobSheepBlink = 0x1586;
constexpr wchar kSheepEatAnimation[] = u"sheepbody_skin_eat";

// The animation name a sheep body plays for `name` in `skin`, and its
// head's, into 32-character buffers.
void SheepBodyName(const wchar* name, i32 skin, wchar (&out)[kAnimationNameSize]);
void SheepHeadName(const wchar* name, wchar (&out)[kAnimationNameSize]);

class MapSheep : public MapCharacter {
 public:
  // At the pen's place, drawn at (dx, dy) from it; not yet shown.
  MapSheep(LevelCharacters& cast, PointSheepRack& pen, i32 slot, float dx, float dy);
  ~MapSheep() override;

  // Attached, and with animate grown in after the delay (the head too).
  void Show(bool animate, u32 delay);
  u32 StartRemoval(u32 delay) override;  // shrinks into its spot, the head too
  void OnIdle() override;
  void PlayAnimation(i32 skin, const wchar* name, i32 direction, bool keepTime, i32 activity) override;
  void AddJob(Job* job) override;  // the running jobs finish first
  void SaveState(u8* record) const override;  // the eat delay at 100
  void RestoreState() override;               // and the saved eat delay
  bool LoadJob(const u8* record, u32 size) override;

  void ApplyRate(float rate);
  void SetWoolly(bool woolly);  // the skin, the head's too
  void Play(u16 jobId);         // one of the sheep's animation jobs
  void FinishJobs(u16 onlyId);  // 0: every job
  void Forget() { pen_ = nullptr; }
  void ForgetHead() { head_ = nullptr; }

  PointSheepRack* GetPen() const { return pen_; }
  MapSheepHead* GetHead() const { return head_; }
  i32 GetSlot() const { return slot_; }
  float GetEatDelay() const { return eatDelay_; }
  void SetEatDelay(float ms) { eatDelay_ = ms; }
  float GetIdleTimer() const { return idleTimer_; }
  u16 GetJobId() const;  // of its live job; 0 without

 private:
  PointSheepRack* pen_;
  i32 slot_;
  MapSheepHead* head_ = nullptr;
  float eatDelay_ = 0.0f;
  float idleTimer_;
};

class MapSheepHead : public MapCharacter {
 public:
  MapSheepHead(LevelCharacters& cast, MapSheep& sheep, float x, float y);
  ~MapSheepHead() override;

  u32 StartRemoval(u32 delay) override;
  void UpdateAnimation() override;  // on the body's clock
  float GetSpeedFactor() const override;
  void Forget() { sheep_ = nullptr; }

  MapSheep* GetSheep() const { return sheep_; }

 private:
  MapSheep* sheep_;
};
