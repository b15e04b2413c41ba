// PointHenhouse - the chicken house ("henhouse"): once fed, one chicken per
// house level comes out, wanders about the yard, eats at the trough, lays an
// egg beside the nest and goes back in; the player collects the eggs with
// Job_TakeEggs, and the house must be fed again.
//
// The fed cycle runs through five phases on the level's animal-house rate
// times the house's own: 0 wandering, 1 eating (its clock waits until every
// chicken stands at the trough), 2 wandering, 3 laying (waiting likewise),
// 4 the eggs on the ground and the chickens gone. Phases 0 to 3 together
// last the header's cycle time T; phase 1 the eating time E; phase 3 200 ms.
// A time of 0 in the data ends its phase at once; the progress and the
// trough read a zero denominator as 1.
#pragma once

#include "gametext/GameMessager.h"
#include "level/objects/PointPetshouse.h"

class ASSArrowButton;
class Job_TakeEggs;
class MapChicken;

constexpr wchar kHenhouseName[] = u"henhouse";
constexpr u16 kJobTakeEggs = 7;
constexpr u32 kTakeEggsButtonCode = 0x45676773u;  // 'Eggs'
constexpr u32 kObjectNest = 0x10002004u;
constexpr u32 kObjectEgg = 0x10000000u;
constexpr u32 kHenhouseRecordSize = 64;
constexpr i32 kMaxChickens = 4;
constexpr u32 kLayTime = 200;  // ms of phase 3
constexpr u32 kPhaseEggs = 4;
constexpr u32 kEggAwardKind = 1;

// The fed cycle, as saved: the phase, the phase timers (ms), the egg spots
// and the number of eggs on the ground.
struct HENCYCLE {
  u32 phase = 0;
  float timers[4] = {};
  i32 eggSpots[kMaxChickens][2] = {};
  u32 eggCount = 0;
};

class PointHenhouse : public PointPetshouse {
 public:
  PointHenhouse(LevelMap& map, BUILDING* building);
  ~PointHenhouse() override;

  void StopJobs(bool fade) override;
  u32 Update(u32 ms) override;
  void SetRateModifier(u32 id, bool additive, float value) override;  // and the chickens' pace
  bool Collect(uintptr_t messager) override;  // a GameMessager*: CollectProducts
  // The 64-byte record, then the chickens (a count and their records).
  bool SaveState(kis::DataCursor* writer) override;
  bool LoadState(kis::DataCursor* reader) override;
  bool IsFed() const override { return PointPetshouse::IsFed() && cycle_.phase <= 3; }
  u32 ShowBuilding(bool fade, u32 delay) override;
  void ShowFeedLevel() override;
  u32 StartAnimals(bool animate, u32 delay) override;
  u32 StopAnimals(bool animate, bool final, u32 delay) override;
  u32 RefreshState(bool animate, u32 delay) override;
  void SetFed(bool fed, bool animate) override;

  // The eggs into the warehouse (what does not fit sold); with no room at
  // all they stay. Whether they were stored.
  bool CollectProducts(GameMessager* messager);
  void ChangePhase(u32 phase);
  void GetNestCentre(i32* x, i32* y) const;
  // The eating facing and spot of the chicken slot at the current level.
  i32 GetEatingFacing(i32 slot) const;
  void GetEatingSpot(i32 slot, i32* x, i32* y) const;
  void StartTakeEggs();

  const HENCYCLE& GetCycle() const { return cycle_; }
  HENCYCLE& Cycle() { return cycle_; }
  i32 GetChickenCount() const { return chickenCount_; }
  MapChicken* GetChicken(i32 slot) const { return slot >= 0 && slot < kMaxChickens ? chickens_[slot] : nullptr; }
  void ForgetChicken(const MapChicken* chicken);
  const kis::list<SpriteObject*>& GetEggs() const { return eggs_; }
  SpriteObject* GetNest() const { return nest_; }
  ASSArrowButton* GetTakeEggsButton() const { return takeButton_; }
  Job_TakeEggs* GetTakeEggsJob() const { return takeJob_; }
  void SetTakeEggsJob(Job_TakeEggs* job) { takeJob_ = job; }
  void HideTakeEggsButton(bool animate);
  float GetProgressPercent() const;
  // The chickens' rate: the house's own.
  float GetChickenRate() const { return GetRates().GetRate(); }

 protected:
  u32 DoShutdown(bool fade, bool final, u32 delay) override;

 private:
  void ChooseEggSpots();
  void PlaceEggs(bool animate);
  void ClearEggs(bool fade, u32 delay);
  void FinishPhaseJobs();
  bool AllAtSpot() const;
  void ShowTakeEggsButton(bool animate);
  static u32 OnTakeEggsClicked(ActiveScreenSprite* sprite, ScreenSpriteOwner* owner, u32 button);

  SpriteObject* nest_ = nullptr;
  i32 chickenCount_ = 0;
  MapChicken* chickens_[kMaxChickens] = {};
  MapChicken* leaving_[kMaxChickens] = {};
  bool restart_ = false;
  HENCYCLE cycle_;
  Job_TakeEggs* takeJob_ = nullptr;
  ASSArrowButton* takeButton_ = nullptr;
  kis::list<SpriteObject*> eggs_;
};

// The player collects the eggs: she walks to the nest and plays "girl_work"
// for the header's collecting time; then the eggs go to the warehouse.
class Job_TakeEggs : public Job {
 public:
  Job_TakeEggs(MapCharacter* owner, PointHenhouse* house);
  ~Job_TakeEggs() override;

  bool NextStep(i32 step) override;
  void Update() override;
  bool Finish() override;
  void ClearTarget() override { house_ = nullptr; }
  bool Save(kis::DataCursor* cursor, u32 characterRecord) override;  // 44 bytes

  PointHenhouse* GetHouse() const { return house_; }
  bool HasStarted() const { return started_; }

 private:
  PointHenhouse* house_;
  bool started_ = false;
  GameMessager messager_;
};

// The take-eggs job of a saved record (id 7): 44 bytes naming a chicken
// house with eggs on the ground.
bool LoadTakeEggsJob(MapPlayer& player, const u8* record, u32 size);
