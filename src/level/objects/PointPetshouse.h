// PointPetshouse - what the animal houses (the chicken house, the cow shed,
// the sheep pen) share: a building of the animal-house kind whose animals
// work only while the house is fed. It draws the feed trough beside the
// house, offers the feed price button while unfed, runs the player's
// Job_Feed that carries the feed there, and starts and stops its animals
// through the hooks each house overrides (StartAnimals, StopAnimals).
//
// The feed leaves the warehouse when the feeding is ordered; a feeding that
// does not finish gives it back (LevelRules::GiveBack: stored where it
// fits, the rest sold), one that finishes uses it up.
#pragma once

#include "level/characters/Job.h"
#include "level/objects/PointBuilding.h"
#include "hud/ScreenSprite.h"

class ASSArrowButton;
class ASSPriceButton;
class ActiveScreenSprite;
class MapPlayer;
struct HOUSELEVEL;

constexpr u16 kJobFeed = 6;
constexpr u32 kFeedButtonCode = 0x46656564u;  // 'Feed'
constexpr u32 kObjectTrough = 0x10002003u;
constexpr u32 kFeedJobRecordSize = 52;
constexpr i32 kFeedActivity = 5;
constexpr i32 kAnimalFacingRight = 2;  // of eight directions from 270 degrees
constexpr i32 kAnimalFacingLeft = 6;

class Job_Feed;

class PointPetshouse : public PointBuilding {
 public:
  PointPetshouse(LevelMap& map, BUILDING* building);
  ~PointPetshouse() override;

  void StopJobs(bool fade) override;
  u32 ShowBuilding(bool fade, u32 delay) override;
  void BuildStarted() override;
  void BuildEnded() override;
  void BuildPause(bool queued, bool animate) override;
  void Suspend() override;
  void Resume() override;
  void Refresh() override;       // the animals, buttons and panel follow the state
  void CancelRepair() override;  // the base's, then Refresh: the animals come back
  void OnSelect() override;  // the level panel's animal-house page
  bool HasProgress() const override { return IsFed(); }
  void GetProgressAnchor(POINTPOS* out) const override;

  // --- The houses' hooks -------------------------------------------------------------------------
  virtual bool IsFed() const { return level_ > 0 && fed_; }
  // Relative to the map object: the house's fixed places when it set them,
  // else the trough's place (the button a little above it).
  virtual void GetFeedIconAnchor(POINTPOS* out) const;
  virtual void GetFeedButtonAnchor(POINTPOS* out) const;
  virtual void ShowFeedLevel() {}
  // The animals come out (or go in); the delay after their effects.
  virtual u32 StartAnimals(bool animate, u32 delay);
  virtual u32 StopAnimals(bool animate, bool final, u32 delay);
  // Animals, feed button and progress line to match the fed state.
  virtual u32 RefreshState(bool animate, u32 delay);
  virtual void SetFed(bool fed, bool animate);

  // --- Feeding -------------------------------------------------------------------------------------
  // The level record's feed amount is in the warehouse.
  bool HasFeed() const;
  // Takes the feed from stock and orders the feeding; nothing without feed.
  void Feed();
  void ShowFeedButton(bool animate, u32 delay);
  void HideFeedButton(bool animate, u32 delay);

  const HOUSELEVEL* LevelRecord() const;  // of the current level; null below 1
  u32 FeedAmount() const;                 // of the current level (level 1's below it)
  bool IsFedFlag() const { return fed_; }
  bool AnimalsActive() const { return animalsActive_; }
  float GetRateFactor() const { return GetRates().GetRate(); }  // the house's own rate (bonuses)
  Job_Feed* GetFeedJob() const { return feedJob_; }
  void SetFeedJob(Job_Feed* job) {
    feedJob_ = job;
    RefreshPanel();
  }
  ASSPriceButton* GetFeedButton() const { return feedButton_; }
  SpriteObject* GetTrough() const { return trough_; }
  bool IsEntered() const;  // the level has been entered: animations run
  // The direction the animals face: right (0 degrees), left when mirrored.
  i32 AnimalFacing() const { return IsMirrored() ? kAnimalFacingLeft : kAnimalFacingRight; }

 protected:
  using ButtonClick = u32 (*)(ActiveScreenSprite* sprite, ScreenSpriteOwner* owner, u32 button);

  u32 DoShutdown(bool fade, bool final, u32 delay) override;
  void SetFeedIconAnchor(i32 x, i32 y);
  void SetFeedButtonAnchor(i32 x, i32 y);
  // The trough's frame for what is left of a time: ceil((frames - 1) x
  // left / total); a total of 0 reads as 1.
  void ShowTroughFill(float left, float total);
  // The house's arrow that takes its produce in (the eggs, the milk, the
  // wool): the hand icon over (x, y), faded in after the delay. Null
  // without a screen to show it on.
  ASSArrowButton* MakeArrowButton(u32 code, i32 x, i32 y, ButtonClick click, bool animate, u32 delay);
  // Hidden with its effect (then deleted by its list), or deleted at once.
  // Taken by a click or a collection it fades and pops out; taken with the
  // animals it fades and shrinks.
  static void DropArrowButton(ASSArrowButton*& button, bool animate, u32 delay, u32 style = kShowFade | kShowPop);

  SpriteObject* trough_ = nullptr;
  bool fed_ = false;
  Job_Feed* feedJob_ = nullptr;
  ASSPriceButton* feedButton_ = nullptr;
  bool animalsActive_ = false;

 private:
  bool fixedIcon_ = false, fixedButton_ = false;
  POINTPOS iconAnchor_{}, buttonAnchor_{};

  static u32 OnFeedClicked(ActiveScreenSprite* sprite, ScreenSpriteOwner* owner, u32 button);
  static u8 IsFeedShort(ActiveScreenSprite* sprite, ScreenSpriteOwner* owner);
};

// The player's feeding of an animal house: she walks to the feeding spot
// and plays the house's feeding animation; then the house is fed.
class Job_Feed : public Job {
 public:
  Job_Feed(MapCharacter* owner, PointPetshouse* house, u32 amount);
  ~Job_Feed() override;

  bool NextStep(i32 step) override;
  void Update() override;
  bool Finish() override;  // a carried amount goes back to the warehouse
  void ClearTarget() override { house_ = nullptr; }
  bool Save(kis::DataCursor* cursor, u32 characterRecord) override;  // 52 bytes

  PointPetshouse* GetHouse() const { return house_; }
  u32 GetCarried() const { return carried_; }

 private:
  PointPetshouse* house_;
  u32 carried_;
};

// The player's feeding job of a saved record (id 6): 52 bytes naming an
// animal house of the same feed product, carrying 0 or its feed amount.
bool LoadFeedJob(MapPlayer& player, const u8* record, u32 size);

// A sprite held on one frame (clamped to its frames), not animating.
void StillFrame(SpriteObject* sprite, i32 frame);
