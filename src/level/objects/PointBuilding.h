// PointBuilding - a building standing on a level point: the warehouse, a
// factory or an animal house, on its kind of the building table
// (BuildingTable.h). Its level is -1 (nothing shown), 0 (a construction
// site, with the build job queued or running) or 1 up to the kind's level
// limit (the built MapBuilding with its stars). Upgrades and construction
// are the player's Job_Build.
//
// How the building's operations sit on LevelPoint: applying a level is
// SetLevel; clearing the point is DoShutdown (through Shutdown); "is built"
// is CanBeDamaged; the mirror rule is SetMark; collecting products is
// Collect; a command of the point's panel is Setup's caller's business
// (the panel calls the point); "is working" is HasProgress.
//
// Mirroring: the kind's rule A 0 means the mirror flag is rule B whatever
// the map asks; rules A and B both set invert the request; otherwise the
// request stands. Mirrored, every x offset of the kind is negated.
#pragma once

#include <vector>

#include "level/map/LevelPoint.h"
#include "level/map/SpriteObject.h"
#include "level/objects/FactoryAnimation.h"

struct BUILDING;
class Job_Build;
class MapBuilding;
class ParticlesObject;

constexpr u32 kObjectBuilding = 0x10002000u;       // the built building
constexpr u32 kObjectBuildingExtra = 0x10002001u;  // its extra sprites
constexpr u32 kObjectBuildingSite = 0x10002002u;   // the construction site
constexpr u32 kBuildingFadeTime = 200;              // ms of the buildings' show and hide effects

class PointBuilding : public LevelPoint {
 public:
  PointBuilding(LevelMap& map, BUILDING* building);
  ~PointBuilding() override;

  // Clamped to the kind's level limit; the same level changes nothing (true
  // when one is shown), a lower one is refused.
  bool SetLevel(i32 level, bool fade, u32 delay) override;
  i32 KindQuery() const override { return 4; }
  BaseLevelPoint* SetMark(u8 mark) override;
  bool CanBeDamaged() const override { return level_ > 0; }
  void GetWorkOffset(POINTPOS* out) const override;
  void GetStarsAnchor(POINTPOS* out) const override;
  void GetHintAnchor(POINTPOS* out) const override;  // 48 above the building's place
  void GetInfo(POINTPARAMS* out) const override;
  void StopJobs(bool fade) override;
  // The pending delay is used up first; the rest is the building's time.
  u32 Update(u32 ms) override;

  // The site or the building at the current level, then the stars; the
  // delay after their show effects.
  virtual u32 ShowBuilding(bool fade, u32 delay);
  virtual void BuildStarted() {}
  virtual void BuildEnded() {}
  // An upgrade was queued (true), or it ended or was given up (false);
  // animate: the level has been entered.
  virtual void BuildPause(bool /*queued*/, bool /*animate*/) {}

  BUILDING* GetBuilding() const { return building_; }
  // The highest level the point may reach: the kind's limit on this level,
  // within its level records (0 without a kind).
  i32 GetLevelLimit() const;
  i32 GetMapX() const { return mapX_; }
  i32 GetMapY() const { return mapY_; }
  u32 GetPendingDelay() const { return pending_; }
  bool IsBeingBuilt() const { return beingBuilt_; }
  void SetBeingBuilt(bool on);  // with BuildStarted or BuildEnded on a change
  SpriteObject* GetSite() const { return site_; }
  MapBuilding* GetMapBuilding() const { return mapBuilding_; }
  Job_Build* GetBuildJob() const { return buildJob_; }
  void SetBuildJob(Job_Build* job) {
    buildJob_ = job;
    RefreshPanel();
  }
  bool IsMirrored() const { return GetMark() != 0; }
  i32 Mirror(i32 x) const { return IsMirrored() ? -x : x; }

 protected:
  // The build job cut off and finished, the building and the site gone.
  u32 DoShutdown(bool fade, bool final, u32 delay) override;
  u32 RemoveMapBuilding(bool fade, u32 delay);

  BUILDING* building_;
  i32 mapX_ = 0;
  i32 mapY_ = 0;
  u32 pending_ = 0;
  bool beingBuilt_ = false;
  SpriteObject* site_ = nullptr;
  MapBuilding* mapBuilding_ = nullptr;
  Job_Build* buildJob_ = nullptr;
};

// The built building's sprite of its level, with that level's extra
// sprites on the ground layer; a factory's also has the level's production
// animations (drawn over the building, under its front sub-sprites) and
// its particle emitters (one space, mirrored with the building, at the
// building's position), all at rest until production starts.
class MapBuilding : public SpriteObject {
 public:
  MapBuilding(PointBuilding& point, i32 level);
  ~MapBuilding() override;

  void Release() override;  // the extra sprites and emitters go, the animations stop
  u32 StartRemoval(u32 delay) override;  // shrinks away
  void AddEffect(SpriteEffect* effect) override;
  void ClearEffects() override;
  void SetScale(float scale) override;
  void AttachToLevel(u32 flags) override;
  // The effects cleared; fading, the build effect after the delay.
  u32 ShowWithEffect(bool fade, u32 delay);

  void DrawOverSprite(u32 color) override;  // the production animations

  // The animations loop at the rate and the emitters run.
  void StartAnimations(float rate);
  // The animations finish their cycle, the emitters come to rest.
  void StopAnimations();
  void AdvanceAnimations(u32 ms);
  void SetAnimationScale(float rate);  // animations and emitters

  i32 GetLevel() const { return level_; }
  const kis::list<SpriteObject*>& GetExtras() const { return extras_; }
  const std::vector<FactoryAnimation>& GetAnimations() const { return animations_; }
  const kis::list<ParticlesObject*>& GetParticles() const { return particles_; }

 private:
  void MakeFactoryParts(PointBuilding& point);

  BUILDING* building_;
  i32 level_;
  kis::list<SpriteObject*> extras_;
  std::vector<FactoryAnimation> animations_;
  kis::list<ParticlesObject*> particles_;
};
