// MapCharacter - a map object that walks and acts: it draws one animation of
// its description (GameCharacter) in its current direction, runs a queue of
// jobs, checks its footing on its path grid whenever the grid has changed,
// and carries rate records that scale its walking, turning and animation.
// The player (MapPlayer), the animals and the villains derive from it.
//
// The queue owns its jobs. Each update deletes the ended jobs at its head
// and runs the first live one (the current job). A job queued behind a walk
// replaces that walk: a new order overrides one not yet begun.
//
// Footing: when the grid's version differs from the one last seen and the
// character stands on blocked ground, an animation it was playing is
// finished and a walk to the nearest free point is queued. A walk that
// finds no way out finishes (written to the engine log) and the character
// stays where it is; the version counts as seen, so it is not tried again
// until the grid changes once more.
//
// Activities select the rate record of the animation's time: 0 idle, 1
// walk, 2 work, 3 at construction.
#pragma once

#include "base/List.h"
#include "base/Types.h"
#include "content/RateModifiers.h"
#include "level/map/DynObject.h"
#include "resources/GameAnimation.h"

namespace kis {
class DataCursor;
}

class BaseLevelPoint;
class GameCharacter;
class Job;
class LevelCharacters;
namespace shpf {
struct _SHAPEGRID;
}

constexpr u32 kObjectCharacter = 0x20000100u;
constexpr u32 kObjectSilhouette = 0x20000200u;

constexpr i32 kActivityIdle = 0;
constexpr i32 kActivityWalk = 1;
constexpr i32 kActivityWork = 2;
constexpr i32 kActivityStart = 3;
constexpr i32 kActivityCount = 4;

constexpr float kSilhouetteInterval = 50.0f;  // ms of rate-scaled time between two

class MapCharacter : public DynObject {
 public:
  // One of the level's characters (on their map, in their list); plays the
  // named animation of the skin (activity 3) at (x, y); its grid from the
  // path service, its footing checked at the first update. owner: the level
  // point it belongs to, or null.
  MapCharacter(LevelCharacters& cast, GameCharacter* description, i32 skin, const wchar* animation, i32 direction, float x, float y,
               BaseLevelPoint* owner);
  ~MapCharacter() override;  // leaves the level's list, deletes its jobs, stops its sound

  LevelCharacters& GetCast() const { return cast_; }

  // --- MapObject ---------------------------------------------------------------------------------
  void Release() override;  // also deletes every job; not running
  void Draw() override;
  void ClearEffects() override;  // and the animation's colour back to full alpha
  // Cut to whole units (callers add 0.5 to round); the shadow follows.
  // False when unchanged.
  bool MoveTo(float x, float y) override;

  // --- Overridable -------------------------------------------------------------------------------
  virtual void DrawFrame();
  virtual void OnIdle() {}
  virtual void UpdateAnimation();  // the tick times the activity's rate
  virtual void RunCurrentJob();
  virtual void PlayAnimation(i32 skin, const wchar* name, i32 direction, bool keepTime, i32 activity);
  virtual float GetSpeedFactor() const;  // the current activity's rate
  virtual void Update();                 // once per tick
  virtual void AddJob(Job* job);         // a walk at the end of the queue goes first

  // --- Saved state (CharacterRecords.cpp) ------------------------------------------------------------
  // A mark, the 132-byte record (SaveState) and the jobs' records in queue
  // order; a disposed character writes nothing. False on the first failure.
  bool Save(kis::DataCursor* cursor);
  // The mark and the record, kept for RestoreState and LoadJobs; the
  // character moves to its place. False on a bad mark, a short record, a
  // name without terminator, a time that is not finite or a place off the map.
  bool Load(kis::DataCursor* cursor);
  virtual void SaveState(u8* record) const;  // into the zero-filled record
  virtual void RestoreState();               // the saved animation at its time
  // The job records (in the record area, where the record says they
  // start), each re-made through LoadJob in saved order.
  virtual bool LoadJobs(kis::DataCursor* cursor);
  virtual bool LoadJob(const u8* record, u32 size);  // none by default
  const u8* GetLoadedRecord() const { return loaded_; }

  // --- Jobs ----------------------------------------------------------------------------------------
  void RemoveJob(Job* job);  // by the job's destructor
  void ClearCurrentJob(const Job* job) {
    if (current_ == job) current_ = nullptr;
  }
  void DeleteAllJobs();
  void MoveJobToEnd(Job* job);  // a queued job goes behind the others
  const kis::list<Job*>& GetJobs() const { return jobs_; }
  Job* GetCurrentJob() const { return current_; }
  bool CheckFooting();  // true when sound (see above)

  // --- Rates ---------------------------------------------------------------------------------------
  void SetRunning(bool on);  // counted: silhouettes while above 0
  void SetRateModifier(u32 record, u32 id, bool additive, float value);  // negative as 0
  void SetWalkModifier(u32 id, bool additive, float value);  // activity 1 and the walk speed
  void SetSpeedModifier(u32 id, bool additive, float animationValue, float activityValue);
  float GetActivityRate(i32 activity) const { return activityRates_[activity & 3].GetRate(); }
  float GetWalkActivityRate() const { return activityRates_[kActivityWalk].GetRate(); }
  float GetWalkRate() const { return walkRate_.GetRate(); }
  float GetAnimationRate() const { return animationRate_.GetRate(); }
  i32 GetRunningCount() const { return running_; }
  // A count the level's buildings keep on the characters that are part of
  // their work (a cow head in its shed, the player milking inside it); it
  // changes nothing else and is not saved: the work raises it again.
  void RaiseCounter() { ++counter_; }
  void LowerCounter() {
    if (counter_ > 0) --counter_;
  }
  i32 GetCounter() const { return counter_; }

  // --- Animation and facing ------------------------------------------------------------------------
  void SetSkin(i32 skin);  // another skin in range: the same entry there, keeping time
  void PlayAction(i32 skin, i32 direction);  // the skin's idle animation, activity 0
  // One direction step toward the target the short way round (a jump with
  // two directions or fewer); true when the target is reached.
  bool TurnStep(i32 target);
  const wchar* GetAnimationName() const;
  GameAnimation* GetAnimation() const { return state_.animation; }
  i32 GetDirection() const { return state_.direction; }
  i32 GetSkin() const { return state_.user1; }
  i32 GetActivity() const { return state_.user2; }
  AnimationState& GetAnimationState() { return state_; }
  GameCharacter* GetDescription() const { return description_; }

  // --- Path grid -----------------------------------------------------------------------------------
  float GetBaseSpeed() const { return baseSpeed_; }
  shpf::_SHAPEGRID* GetGrid() const { return grid_; }
  u32 GetSeenVersion() const { return seenVersion_; }
  void SetSeenVersion(u32 version) { seenVersion_ = version; }
  void SetSkipFootingCheck(bool skip) { skipFooting_ = skip ? 1 : 0; }

  float drawOffsetX = 0.0f;
  float drawOffsetY = 0.0f;

 protected:
  void MakeSilhouette();

  LevelCharacters& cast_;
  GameCharacter* description_;
  AnimationState state_;
  float baseSpeed_;
  shpf::_SHAPEGRID* grid_ = nullptr;
  u32 seenVersion_ = 0;
  kis::list<Job*> jobs_;
  Job* current_ = nullptr;
  u32 skipFooting_ = 0;
  RateModifiers animationRate_;
  RateModifiers walkRate_;
  RateModifiers activityRates_[kActivityCount];
  i32 running_ = 0;
  i32 counter_ = 0;
  float silhouetteTimer_ = 0.0f;
  u8 loaded_[132] = {};  // the record read last
};
