// MapLevelCharacter - a small animated character of the level-selection
// map (MapAnimals.h: the nodes' chickens, cows and sheep; MapVillainAttack.h:
// the villains' attack of a fresh profile) and the jobs it runs.
//
// Every character plays the animations of a level character description
// (GameCharacter, found by id) through its own AnimationState and runs at
// most one job at a time: an animation (MLCJob_Animation), a walk
// (MLCJob_GoTo) or a wait (MLCJob_Wait), each after a start delay. When its
// job ends the character is told (OnJobDone / OnJobCancelled); a character
// without a job picks its next one (OnIdle). Time comes in milliseconds from
// the map's fixed-step update; walk speeds are map units per game frame
// (GameTimeStep).
//
// Random draws go through the base library's generator (kis::RandomShort,
// kis::RandomChar), so a seeded run repeats.
#pragma once

#include <memory>

#include "base/Types.h"
#include "content/MapSection.h"
#include "pathfinding/MapShapes.h"
#include "resources/GameAnimation.h"

class GameCharacter;
class MapLevelCharacter;
class MapShadow;
class MLSChars;

constexpr u32 kMapCharTurnMs = 30;
constexpr float kMapCharNear = 0.1f;  // a walk this close on both axes is done at once

// Job states.
constexpr u32 kMapJobNew = 0;
constexpr u32 kMapJobRunning = 1;
constexpr u32 kMapJobCancelled = 2;
constexpr u32 kMapJobCompleted = 3;

class MapLevelCharJob {
 public:
  // Replaces (deletes) the owner's job; with a delay the owner shows its
  // idle animation meanwhile.
  MapLevelCharJob(MapLevelCharacter* owner, u32 tag, u32 delay);
  virtual ~MapLevelCharJob();  // cancels, and leaves its owner
  MapLevelCharJob(const MapLevelCharJob&) = delete;
  MapLevelCharJob& operator=(const MapLevelCharJob&) = delete;

  virtual bool Start() = 0;  // false: the job is cancelled
  virtual void Update(u32 ms) = 0;
  // State 3 (2) unless already ended; true when changed.
  virtual bool Complete();
  virtual bool Cancel();

  MapLevelCharacter* GetOwner() const { return owner_; }
  u32 GetTag() const { return tag_; }
  u32 delay;
  u32 state = kMapJobNew;

 protected:
  friend class MapLevelCharacter;
  MapLevelCharacter* owner_;
  u32 tag_;
};

class MLCJob_Animation : public MapLevelCharJob {
 public:
  // Duration 0: done at once; -1: the animation's own length.
  MLCJob_Animation(MapLevelCharacter* owner, u32 tag, u32 delay, const wchar* name, i32 direction, i32 duration);
  bool Start() override;
  void Update(u32 ms) override;
  i32 GetDuration() const { return duration_; }
  const wchar* GetName() const { return name_; }
  i32 GetDirection() const { return direction_; }

 private:
  wchar name_[33] = {};
  i32 direction_;
  i32 duration_;
};

class MLCJob_GoTo : public MapLevelCharJob {
 public:
  MLCJob_GoTo(MapLevelCharacter* owner, u32 tag, u32 delay, float x, float y);
  bool Start() override;
  void Update(u32 ms) override;
  bool Complete() override;
  bool Cancel() override;
  i32 GetTargetDirection() const { return targetDirection_; }

 private:
  float startX_ = 0, startY_ = 0;
  float targetX_, targetY_;
  float dx_ = 0, dy_ = 0;
  float length_ = 0;
  i32 targetDirection_ = 0;
  u32 turnTimer_ = 0;
  float walked_ = 0;
};

class MLCJob_Wait : public MapLevelCharJob {
 public:
  using MapLevelCharJob::MapLevelCharJob;
  bool Start() override { return true; }
  void Update(u32) override { Complete(); }
};

struct MapCharKind {
  u32 id;
  float scale;
  float walkSpeed;
  float walkAnimSpeed;
  float spacing;
  i32 idle;  // entry of skin 0
};

class MapLevelCharacter {
 public:
  // Joins the group's lists (none for villains and catapults).
  MapLevelCharacter(MLSChars* group, const MapCharKind& kind);
  virtual ~MapLevelCharacter();
  // The level character description of the id, its animations loaded on first use; null when absent.
  static GameCharacter* LoadedDescription(u32 id);
  MapLevelCharacter(const MapLevelCharacter&) = delete;
  MapLevelCharacter& operator=(const MapLevelCharacter&) = delete;

  // No job, on its home, idle in its idle direction.
  virtual void Init(const MAPCHARENTRY* entry);
  virtual void Update(u32 ms);
  // From the current transform; the colour's top byte is the alpha.
  virtual void Draw(u32 color, bool hovered);
  virtual void OnJobDone(u32 /*tag*/) {}
  virtual void OnJobCancelled(u32 /*tag*/) {}
  void DrawShadow(u32 color);
  void DrawShapes();

  // Keeps the group's drawing list by y, then x.
  void SetPosition(float x, float y);
  void SetHome(float x, float y) {
    homeX_ = x;
    homeY_ = y;
  }
  void SetWalkTarget(float x, float y) {
    targetX_ = x;
    targetY_ = y;
  }
  // An animation of skin 0 by name (or the idle / walk entry) in a
  // direction (-1: keep or nearest), time restarted, at a speed factor.
  bool PlayAnimation(const wchar* name, i32 direction, float speed = 1.0f);
  bool PlayIdle(i32 direction);
  GameAnimation* GetWalkAnimation() const;
  // Turning one step toward a direction (true once facing it).
  bool TurnStep(i32 direction) { return TurnAnimationStep(&state_, direction); }
  void SetJob(MapLevelCharJob* job);  // the current one deleted

  // What is read about it.
  float GetX() const { return x_; }
  float GetY() const { return y_; }
  float GetTargetX() const { return targetX_; }
  float GetTargetY() const { return targetY_; }
  float GetScale() const { return kind_.scale; }
  float GetWalkSpeed() const { return kind_.walkSpeed; }
  float GetWalkAnimSpeed() const { return kind_.walkAnimSpeed; }
  float GetSpacing() const { return kind_.spacing; }
  MapLevelCharJob* GetJob() const { return job_; }
  AnimationState& State() { return state_; }
  const AnimationState& State() const { return state_; }
  float GetAnimSpeed() const { return animSpeed_; }
  void SetAnimSpeed(float f) { animSpeed_ = f; }
  GameCharacter* GetDescription() const { return description_; }
  MLSChars* GetGroup() const { return group_; }
  u32 GetShapeCount() const { return shapeCount_; }
  const SHAPEDESC* GetShapes() const { return shapes_; }
  void AddShape(const SHAPEDESC& shape);

  // Chickens' point searches (public for tests).
  bool TestPoint(float x, float y, bool final) const;
  bool PathFree(float x, float y) const;
  // A free point of the area: 500 tries for placement (no path test), 100 for a walk.
  bool FindFreePoint(bool placement, float* x, float* y) const;

 protected:
  // A character without a job picks its next (nothing in the base).
  virtual void OnIdle() {}
  // Home from the entry, then initialised facing the entry's direction.
  void InitAtEntry(const MAPCHARENTRY* entry);

  MLSChars* group_;
  MapCharKind kind_;
  GameCharacter* description_ = nullptr;
  AnimationState state_;
  float animSpeed_ = 1.0f;
  std::unique_ptr<MapShadow> shadow_;
  float shadowAlpha_ = 1.0f;
  i32 idleDirection_ = 0;
  float x_ = 0, y_ = 0, homeX_ = 0, homeY_ = 0, targetX_ = 0, targetY_ = 0;
  SHAPEDESC shapes_[kMapCharShapes] = {};
  u32 shapeCount_ = 0;
  SHAPERECT bounds_{0, 0, 0, 0};
  MapLevelCharJob* job_ = nullptr;

 private:
  friend class MapLevelCharJob;
};
