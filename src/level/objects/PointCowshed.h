// PointCowshed - the cow shed ("cowshed"): its cows are heads looking out of
// the shed, one per shed level, at the level record's places. Once fed the
// milk fills over the header's milk time on the level's animal-house rate
// times the shed's own while the cows eat at the trough; then the milk is
// ready and the cows call now and then (every 10 to 19.9 s, a random head)
// until the milk is taken, after which the shed must be fed again.
//
// The player milks through the shed's arrow (Job_MilkCows): she walks to
// the spot outside the door, into the shed, milks, stores the milk and
// walks out again.
//
// A milk time of 0 in the data makes the milk ready at once; the trough and
// the progress read a zero denominator as 1.
#pragma once

#include "gametext/GameMessager.h"
#include "level/characters/MapCharacter.h"
#include "level/objects/PointPetshouse.h"

class ASSArrowButton;
class Job_MilkCows;
class MapCowHead;
class MapPlayer;

constexpr wchar kCowshedName[] = u"cowshed";
constexpr u32 kCowshedRecordSize = 16;
constexpr u16 kJobMilkCows = 8;
constexpr u32 kMilkJobRecordSize = 52;
constexpr u32 kMilkButtonCode = 0x4D696C6Bu;  // 'Milk'
constexpr wchar kMilkCowsAnimation[] = u"girl_milkcows";
constexpr i32 kMaxCowHeads = 4;
constexpr u32 kMilkAwardKind = 1;
constexpr u32 kObjectCowHead = 0x20000101u;
constexpr u32 kCowHeadRateId = 0xC034EAD1u;  // the shed's rate on its heads
constexpr u32 kCowHeadPaceId = 0xC03u;       // each head's own random pace
constexpr u16 kJobCowHeadMilk = 0x1481;
constexpr u16 kJobCowHeadYelling = 0x1482;
constexpr u16 kJobCowHeadEat = 0x1483;
constexpr wchar kCowHeadMilkAnimation[] = u"cowhead_milk";
constexpr wchar kCowHeadYellingAnimation[] = u"cowhead_yelling";
constexpr wchar kCowHeadEatAnimation[] = u"cowhead_eat";

class PointCowshed : public PointPetshouse {
 public:
  PointCowshed(LevelMap& map, BUILDING* building);
  ~PointCowshed() override;

  void StopJobs(bool fade) override;  // and the milking
  u32 Update(u32 ms) override;
  void SetRateModifier(u32 id, bool additive, float value) override;  // and the heads' pace
  bool Collect(uintptr_t messager) override;  // a GameMessager*: CollectProducts
  // The 16-byte record, then the heads (a count and their records).
  bool SaveState(kis::DataCursor* writer) override;
  bool LoadState(kis::DataCursor* reader) override;
  void ShowFeedLevel() override;
  u32 StartAnimals(bool animate, u32 delay) override;
  u32 StopAnimals(bool animate, bool final, u32 delay) override;
  u32 RefreshState(bool animate, u32 delay) override;
  void SetFed(bool fed, bool animate) override;

  // The milk into the warehouse, one unit per cow; with no room it stays
  // ready. Whether it was stored.
  bool CollectProducts(GameMessager* messager);
  // The heads' milking animation on (every head) or off.
  void SetMilking(bool on);

  float MilkTime() const;  // the header's, ms
  // Where the milking player stands outside the door: 110 to the side of
  // the shed's place (the other side when mirrored), one unit up.
  void GetOutsideSpot(i32* x, i32* y) const;
  void StartMilking();  // the player's milking job, when the milk is ready
  Job_MilkCows* GetMilkJob() const { return milkJob_; }
  void SetMilkJob(Job_MilkCows* job) { milkJob_ = job; }
  ASSArrowButton* GetMilkButton() const { return milkButton_; }
  void HideMilkButton(bool animate, u32 delay) { DropArrowButton(milkButton_, animate, delay); }
  // Fed counts until the milk is taken: the heads stay out and call while
  // it waits, and no feed is offered.
  bool IsFilling() const { return IsFed() && milkTimer_ > 0.0f; }
  bool IsMilkReady() const { return fed_ && milkTimer_ <= 0.0f; }
  float GetMilkTimer() const { return milkTimer_; }
  float GetCallTimer() const { return callTimer_; }
  i32 GetCowCount() const { return cowCount_; }
  MapCowHead* GetCowHead(i32 slot) const { return slot >= 0 && slot < kMaxCowHeads ? heads_[slot] : nullptr; }
  void ForgetCowHead(const MapCowHead* head);
  // The heads' rate: the shed's own.
  float GetCowRate() const { return GetRates().GetRate(); }

 protected:
  u32 DoShutdown(bool fade, bool final, u32 delay) override;

 private:
  static u32 OnMilkClicked(ActiveScreenSprite* sprite, ScreenSpriteOwner* owner, u32 button);

  i32 cowCount_ = 0;
  MapCowHead* heads_[kMaxCowHeads] = {};
  Job_MilkCows* milkJob_ = nullptr;
  ASSArrowButton* milkButton_ = nullptr;
  float milkTimer_ = 0.0f;   // ms still to fill; 0 unfed or ready
  float callTimer_ = -1.0f;  // ms to the next call; below 0 not calling
};

// A cow's head looking out of its shed: it eats while the milk fills, calls
// when the shed gives it the word and is milked with the player. Its jobs
// are Job_Animation records (0x1481 to 0x1483).
class MapCowHead : public MapCharacter {
 public:
  MapCowHead(LevelCharacters& cast, PointCowshed& shed, i32 slot, float x, float y);
  ~MapCowHead() override;

  u32 StartRemoval(u32 delay) override;  // darkens and shrinks
  void OnIdle() override;                // eats while the milk fills
  bool LoadJob(const u8* record, u32 size) override;
  // Milked, it keeps the player's pace.
  float GetSpeedFactor() const override;

  void ApplyRate(float rate);
  void Forget() { shed_ = nullptr; }  // the shed went first
  // Every job finished, then the named animation job started.
  void Play(u16 jobId);
  void FinishJobs();

  PointCowshed* GetShed() const { return shed_; }
  i32 GetSlot() const { return slot_; }
  i32 GetRefX() const { return refX_; }
  i32 GetRefY() const { return refY_; }

 private:
  PointCowshed* shed_;
  i32 slot_;
  i32 refX_, refY_;
};

// The player milks the cows: to the spot outside the shed (skipped when she
// already stands on its row up to 100 units towards the shed), 100 units in,
// "girl_milkcows" for the header's milking time with the heads milked, the
// milk stored, and back out to the spot. Cancelled while inside or walking
// out, she still walks out first; a walk out that fails ends the job at once.
class Job_MilkCows : public Job {
 public:
  // With no shed (a saved job that was walking out) only the walk out is left.
  Job_MilkCows(MapCharacter* owner, PointCowshed* shed, i32 outX, i32 outY);
  ~Job_MilkCows() override;

  bool NextStep(i32 step) override;
  void Update() override;
  bool Finish() override;
  void ClearTarget() override { shed_ = nullptr; }
  bool Save(kis::DataCursor* cursor, u32 characterRecord) override;  // 52 bytes

  PointCowshed* GetShed() const { return shed_; }
  bool HasStarted() const { return started_; }
  bool IsCounted() const { return counted_; }
  i32 GetOutX() const { return outX_; }
  i32 GetOutY() const { return outY_; }

 private:
  void Unlink();  // the shed lets go: the heads stop milking, the arrow may return
  bool IsWalkGoingOn() const;
  void Count(bool on);

  PointCowshed* shed_;
  i32 outX_, outY_;
  bool done_ = false;
  bool counted_ = false;
  bool started_ = false;
  GameMessager messager_;
};

// The milking job of a saved record (id 8): 52 bytes naming the "cowshed"
// whose outside spot is the saved one, or no shed (index -1) and the spot.
bool LoadMilkJob(MapPlayer& player, const u8* record, u32 size);
