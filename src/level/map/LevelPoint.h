// LevelPoint - what the working points (warehouse, plant beds, trees,
// factories, animal houses) share: a level, the job that works on the point
// (a pull-down, say), suspension, the progress line shown while the point
// is hovered, and its stars. The point classes of the level objects derive
// from it and build or upgrade the point in SetLevel.
//
// The progress line shows 600 ms after the mouse came over a point that
// has progress to show; it goes when the mouse leaves.
#pragma once

#include "level/map/BaseLevelPoint.h"

class SSProgressLine;
class SSStars;
class ScreenSprite;

constexpr i32 kProgressLineDelay = 600;  // ms of hover before the progress line shows
constexpr i32 kProgressLineWidth = 64;

class LevelPoint : public BaseLevelPoint {
 public:
  // The point's panel follows its state, when it shows this point.
  void RefreshPanel();
  void OnDeselect() override;  // its panel hides
  explicit LevelPoint(LevelMap& map) : BaseLevelPoint(map) {}
  ~LevelPoint() override;

  // Keeps the record's id (a plant's or building's), then SetLevel; the
  // tutorial hears the new kind (0x80000003, state value: the level).
  bool Setup(const POINTPARAMS& params, bool fade, u32 delay) override;
  bool OnHover(MapObject* hovered) override;
  void OnUnhover() override;  // the progress line goes
  void StopJobs(bool fade) override;  // the current job finishes
  // The damage takes its share first; then a waiting progress line counts down.
  u32 Update(u32 ms) override;
  // The base's, with the level and, for plant beds, trees and buildings,
  // the record's id.
  void GetInfo(POINTPARAMS* out) const override;

  // Builds or upgrades the point to a level.
  virtual bool SetLevel(i32 level, bool fade, u32 delay) = 0;
  // A query answered by the point classes (a plant bed answers 4).
  virtual i32 KindQuery() const = 0;
  virtual void Suspend() { suspended_ = true; }  // production stops
  virtual void Resume() { suspended_ = false; }
  virtual void Refresh() {}  // what the point shows follows the warehouse stock
  virtual PointJob* CreatePulldownJob();
  virtual void GetStarsAnchor(POINTPOS* out) const { GetPos(out); }
  virtual bool HasProgress() const { return false; }
  virtual void GetProgressAnchor(POINTPOS* out) const;  // 100 above the position

  void Upgrade() { ChangeLevel(level_ + 1, true, 0); }
  // SetLevel; on success the tutorial hears the point's kind (0x80000003,
  // state value: the new level).
  bool ChangeLevel(i32 level, bool fade, u32 delay);

  void SetProgress(float progress);  // 0..1; a shown line follows
  void ShowProgressLine();
  void HideProgressLine();
  void ShowStars(i32 count, bool fade, u32 delay);
  // Shows a sprite, with its show effect when fading, after the delay (-1:
  // the point's show delay).
  void FadeSprite(ScreenSprite* sprite, bool fade, i32 delay, u32 style, u32 duration);

  i32 GetLevel() const { return level_; }
  u32 GetRecordId() const { return recordId_; }
  PointJob* GetCurrentJob() const { return currentJob_; }
  void SetCurrentJob(PointJob* job) { currentJob_ = job; }
  bool IsSuspended() const { return suspended_; }
  float GetProgress() const { return progress_; }
  SSProgressLine* GetProgressLine() const { return progressLine_; }
  SSStars* GetStars() const { return stars_; }
  i32 GetProgressDelay() const { return progressDelay_; }

 protected:
  // The current job is let go (final), the line and stars hidden, the
  // damage deleted; then the base.
  u32 DoShutdown(bool fade, bool final, u32 delay) override;

  i32 level_ = -1;

 private:
  u32 recordId_ = 0;
  // With fade the sprite hides for good (its list deletes it); without, it
  // goes at once.
  static void DropSprite(ScreenSprite* sprite, bool fade, u32 delay);

  PointJob* currentJob_ = nullptr;
  bool suspended_ = false;
  SSProgressLine* progressLine_ = nullptr;
  i32 progressDelay_ = -1;
  float progress_ = 0.0f;
  SSStars* stars_ = nullptr;
};
