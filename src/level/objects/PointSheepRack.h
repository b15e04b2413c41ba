// PointSheepRack - the sheep pen ("sheep_rack"): one sheep stands in the pen
// per pen level. Once fed the wool grows over the header's wool time on the
// level's animal-house rate times the pen's own while the sheep graze; then
// the sheep wear their wool, one of them bleats every 5,000 ms and the
// shear arrow waits for the player (Job_CutSheeps), who stores one unit of
// wool per sheep; then the pen must be fed again.
//
// A wool time of 0 in the data makes the wool ready at once; the trough and
// the progress read a zero denominator as 1.
#pragma once

#include "gametext/GameMessager.h"
#include "level/objects/PointPetshouse.h"

class Job_CutSheeps;
class MapSheep;

constexpr wchar kSheepRackName[] = u"sheep_rack";
constexpr u32 kSheepRackRecordSize = 16;
constexpr i32 kMaxSheep = 4;
constexpr u32 kWoolAwardKind = 1;  // counted as the eggs and the milk are
constexpr u16 kJobCutSheeps = 9;
constexpr u32 kShearButtonCode = 0x43757453u;  // 'CutS'
constexpr wchar kCutSheepAnimation[] = u"girl_cutsheep";
constexpr float kBleatInterval = 5000.0f;  // ms of pen time between two bleats

class PointSheepRack : public PointPetshouse {
 public:
  PointSheepRack(LevelMap& map, BUILDING* building);
  ~PointSheepRack() override;

  void StopJobs(bool fade) override;  // and the shearing
  u32 Update(u32 ms) override;
  void SetRateModifier(u32 id, bool additive, float value) override;  // and the sheep's pace
  bool Collect(uintptr_t messager) override;  // a GameMessager*: CollectProducts
  // The 16-byte record, then the sheep with their heads (a count and their records).
  bool SaveState(kis::DataCursor* writer) override;
  bool LoadState(kis::DataCursor* reader) override;
  bool IsFed() const override { return PointPetshouse::IsFed() && woolLeft_ > 0.0f; }
  u32 ShowBuilding(bool fade, u32 delay) override;  // the sheep stand in the built pen
  void ShowFeedLevel() override;
  u32 StopAnimals(bool animate, bool final, u32 delay) override;
  u32 RefreshState(bool animate, u32 delay) override;
  void SetFed(bool fed, bool animate) override;

  // One unit of wool per sheep into the warehouse; with no room it stays
  // ready. Whether it was stored.
  bool CollectProducts(GameMessager* messager);
  void StartShearing();  // the player's shearing job, when the wool is ready

  float WoolTime() const;  // the header's, ms
  bool IsWoolReady() const { return fed_ && woolLeft_ <= 0.0f; }
  bool IsGrowing() const { return IsFed(); }
  float GetWoolLeft() const { return woolLeft_; }
  float GetBleatTimer() const { return bleatTimer_; }
  i32 GetSheepCount() const { return sheepCount_; }
  MapSheep* GetSheep(i32 slot) const { return slot >= 0 && slot < kMaxSheep ? sheep_[slot] : nullptr; }
  void ForgetSheep(const MapSheep* sheep);
  Job_CutSheeps* GetCutJob() const { return cutJob_; }
  void SetCutJob(Job_CutSheeps* job) { cutJob_ = job; }
  ASSArrowButton* GetShearButton() const { return shearButton_; }
  void HideShearButton(bool animate, u32 delay) { DropArrowButton(shearButton_, animate, delay); }
  float GetSheepRate() const { return GetRates().GetRate(); }  // the pen's own
  // A random delay before a sheep starts grazing: below a fifth of the wool
  // time left, at most 1,000 ms.
  float DrawEatDelay() const;

 protected:
  u32 DoShutdown(bool fade, bool final, u32 delay) override;

 private:
  void PlaceSheep(bool animate, u32 delay);
  void RemoveSheep(bool animate, u32 delay);
  void FinishSheepJobs(u16 onlyId);  // 0: every job
  static u32 OnShearClicked(ActiveScreenSprite* sprite, ScreenSpriteOwner* owner, u32 button);

  i32 sheepCount_ = 0;
  MapSheep* sheep_[kMaxSheep] = {};
  Job_CutSheeps* cutJob_ = nullptr;
  ASSArrowButton* shearButton_ = nullptr;
  float woolLeft_ = 0.0f;     // ms still to grow; 0 unfed or ready
  float bleatTimer_ = -1.0f;  // ms to the next bleat; below 0 off
};

// The player shears the sheep: she walks to the pen's work spot and plays
// "girl_cutsheep" for the header's shearing time; then the wool goes to the
// warehouse. Cancelled or short of room, the pen keeps its wool and its arrow.
class Job_CutSheeps : public Job {
 public:
  Job_CutSheeps(MapCharacter* owner, PointSheepRack* pen);
  ~Job_CutSheeps() override;

  bool NextStep(i32 step) override;
  void Update() override;
  bool Finish() override;
  void ClearTarget() override { pen_ = nullptr; }
  bool Save(kis::DataCursor* cursor, u32 characterRecord) override;  // 44 bytes

  PointSheepRack* GetPen() const { return pen_; }
  bool HasStarted() const { return started_; }

 private:
  PointSheepRack* pen_;
  bool started_ = false;
  GameMessager messager_;
};

// The shearing job of a saved record (id 9): 44 bytes naming the "sheep_rack".
bool LoadCutSheepsJob(MapPlayer& player, const u8* record, u32 size);
