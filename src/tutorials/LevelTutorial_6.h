// LevelTutorial_6 - the sixth level's tutorial (0x80060000): the first
// villain. Its first wave comes at once; the first shot (event 0x80000008,
// which the villains send for every shot they fire) makes its villain the
// tutorial's: the shot flies and poisons a point, then the villain stands
// (its timer is held, code 130 for kObjectVillain) while the steps show
// the villain and the damage (6_1), its next shot to burst (6_2), the
// villain to drive off by clicks (6_3), the repair arrow (6_4) and the
// repair running to its end (6_5).
//
// The terms of the script and what stands for them here:
//   villain list     LevelVillainCast::GetVillains (the first: index 0)
//   villain index    its place in that list (-1: none stored)
//   arrival          event 0x80000008 (a shot fired)
//   resume operation its next shot leaves the catapult at once (FireShot)
//   rate, base rate  the villain's shot timer, its kind's shot interval
//   health ratio     health / the kind's health
//   active shot      a shot of LevelVillainCast::GetShots not burst
//   villain delay    the waves' time to the next wave
#pragma once

#include "tutorials/LevelTutorial.h"

class MapVillain;
class VillainShot;

constexpr TutorialId kLevelTutorial6 = 0x00060000u;
constexpr u32 kLevelTutorial6RecordSize = 32;

// The villain's rate: base / (1000 div the frame interval); the base itself
// when that divisor is 0 (a frame interval of 0 or above 1000 ms).
float VillainTutorialRate(float base, u32 frameInterval);

class LevelTutorial_6 : public LevelTutorial {
 public:
  explicit LevelTutorial_6(GameLevel* level);

  void OnStart() override;
  void Notify(u32 event, uintptr_t param, const void* object) override;
  void Update(u32 elapsed) override;
  bool FilterAction(u32 code, uintptr_t param, const void* object) override;
  u32 RecordSize() const override { return kLevelTutorial6RecordSize; }
  void FillRecord(u8* record) override;
  bool LoadRecord(const u8* record, u32 size) override;

  MapVillain* GetVillain() const;       // the stored villain (null: none or gone)
  MapVillain* GetFirstVillain() const;  // the first of the level's list
  VillainShot* GetFirstShot() const;    // the first shot not burst
  i32 GetVillainIndex() const { return villain_; }
  u32 GetArrivals() const { return arrivals_; }
  u32 IsFirstStart() const { return firstStart_; }

 private:
  u32 firstStart_ = 1;
  i32 villain_ = -1;
  u32 arrivals_ = 0;
  u32 doneOnce_ = 0;
};
