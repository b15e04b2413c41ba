// Job - one action of a character (MapCharacter): walk somewhere, play an
// animation, clear a place, build, ... Every character runs the job at the
// head of its queue once per tick and deletes the jobs that have ended.
// The base carries the life cycle (state and step), the icon that marks
// where the job happens, the progress line over the player while a work
// step runs, the money the job holds reserved, and the two motions jobs
// are made of: walking along a found path (JobWalk.cpp) and playing one
// animation of the owner, facing a direction, for a time or for one run.
//
// States: idle (between motions) -> walking -> idle, idle -> animating ->
// idle; any of these -> finished by Finish (cancelled or failed); a concrete
// job sets done after its last step. Finished and done jobs are deleted by
// the owner's queue in its next update.
//
// Money: SetCost takes from the level's money only what there is, and
// remembers what it took; Stop (through Finish) gives exactly that back. A
// job that is done keeps the money spent: its destructor only clears the
// reservation from the path service's total.
//
// Made with its owner, the job appends itself to the owner's queue, which
// owns it from then on.
#pragma once

#include "base/Types.h"
#include "level/map/PointJob.h"
#include "pathfinding/PathRecords.h"
#include "resources/GameAnimation.h"

namespace kis {
class DataCursor;
}

class BaseLevelPoint;
class LevelCharacters;
class LevelPathFinder;
class MapCharacter;
class SSColorIcon;
class SSProgressLine;
class Sprite;
namespace shpf {
struct _SHAPEGRID;
}

// Job states.
constexpr i32 kJobIdle = 0;
constexpr i32 kJobWalking = 1;
constexpr i32 kJobAnimating = 2;
constexpr i32 kJobFinished = 3;  // stopped before its end
constexpr i32 kJobDone = 4;      // ran to its end

constexpr u16 kJobGoTo = 1;
constexpr u32 kJobOneRun = 0xFFFFFFFEu;  // an animation step lasting one run
constexpr u32 kJobIconColor = 0xFF001751u;
constexpr u32 kJobIconBorder = 0xFFFFFFFFu;
constexpr i32 kJobProgressWidth = 48;

// Saved job records (in the record area of the level's saved state, after
// their character's record): a 16-byte header {size, job id (u16, 2 bytes
// unwritten), step, reserved money}, then the job's own fields. Bytes 16 to
// 39 of the jobs that animate hold the motion of their animation step
// (WriteTarget): activity, duration, elapsed ms, the owner's animation time.
constexpr u32 kJobHeaderSize = 16;
constexpr u32 kJobMotionSize = 24;
constexpr u32 kCharacterSaveSize = 132;
constexpr u32 kCharacterJobCount = 92;   // where the character record counts its jobs
constexpr u32 kCharacterFirstJob = 96;   // and keeps the record position of the first

// Walk modes.
constexpr i32 kWalkAlong = 0;   // along given points
constexpr i32 kWalkSearch = 1;  // by path search

class Job : public PointJob {
 public:
  Job(MapCharacter* owner, u16 jobId);
  ~Job() override;
  Job(const Job&) = delete;
  Job& operator=(const Job&) = delete;

  // --- Overridable ---------------------------------------------------------------------------------
  virtual bool AcceptPath() { return true; }  // asked once a walk's path is known
  virtual void GetIconPosition(i32* x, i32* y) const;  // 16 below the owner
  // Goes to the step (-1: the next). Refused when ended; a step that is not
  // ahead finishes the job (false).
  virtual bool NextStep(i32 step);
  virtual void Update() = 0;
  // The job's record after its character's record (at that offset of the
  // data area); a job that has ended writes nothing. The base writes
  // nothing (a job without a record is not kept).
  virtual bool Save(kis::DataCursor* cursor, u32 characterRecord);

  // --- Records -------------------------------------------------------------------------------------
  // Reserves the job's record of `size` bytes, writes the header and counts
  // the job in the character record; null when the buffer fails.
  u8* WriteHeader(kis::DataCursor* cursor, u32 characterRecord, u32 size);
  // The motion of the animation step into bytes 16..39, or zeros.
  void WriteTarget(u8* record, bool animating) const;
  // The motion back, the job just having entered its animation step: the
  // duration and activity must match the job's (a one-run job takes the
  // saved length); the elapsed time must be finite and within the duration.
  // The animation plays at once (no turning) at the owner's saved time.
  bool ReadState(const u8* record);

  // --- PointJob ------------------------------------------------------------------------------------
  // Stops the motion, gives the reserved money back, leaves the owner's
  // current-job link: finished. False when already ended.
  bool Finish() override;
  void ClearTarget() override {}
  bool GetIconAnchor(i32* x, i32* y) const override;
  void SetIconOffset(i32 dx, i32 dy) override;
  u16 GetJobId() const override { return jobId_; }
  bool HasEnded() const override { return state_ >= kJobFinished; }

  // --- Services ------------------------------------------------------------------------------------
  void SetCost(i32 amount);  // reserves (see above); negative counts as 0
  // With a sprite: the icon at (x, y), shown at once; with the build effect
  // while the level is entered, unless this is the owner's only job and the
  // place is within 64 of it. An anchor point lists the job.
  void ShowIcon(i32 x, i32 y, Sprite* sprite, BaseLevelPoint* anchor, u32 color);
  void HideIcon();  // deleted at once before the level is entered, else faded out
  bool GetIconPoint(i32* x, i32* y) const;  // the icon's place with its offset
  void NotifyTutorial();
  // An animation step (see Job.cpp); a duration of 0 changes nothing.
  bool PlayAnimation(u32 duration, const wchar* name, i32 direction, i32 activity);
  bool UpdateAnimation();  // one tick of the step; true once it has ended
  // One tick of a job that walks at walkStep and then works (its animation)
  // at walkStep + 1; true on the tick the work ends, the job then done at
  // walkStep + 2.
  bool UpdateWalkThenWork(i32 walkStep);
  // The same after a step at waitStep that lasts while `waiting` (the
  // walk at waitStep + 1).
  bool UpdateWaitWalkThenWork(i32 waitStep, bool waiting);
  bool Stop();             // ends any motion, hides the icon, refunds; false when ended
  void EndAnimation();

  // --- Walking (JobWalk.cpp) -----------------------------------------------------------------------
  // By path search to (x, y); false when the job finished at once (no path).
  // exact: the path must end on the target. walkAnimation null: the owner's.
  bool StartWalk(i32 x, i32 y, bool exact, float speed, const wchar* walkAnimation);
  // Along the owner's position and the count points (x, y pairs).
  bool StartWalkAlong(i32 count, const i32* points, float speed, const wchar* walkAnimation);
  void RequestPath();             // one search slice, or a place in the queue
  bool UpdateWalk(float fraction);  // one tick's move; true on arrival
  void EndWalk();

  // --- State ---------------------------------------------------------------------------------------
  i32 GetState() const { return state_; }
  i32 GetStep() const { return step_; }
  i32 GetCost() const { return cost_; }
  MapCharacter* GetOwner() const { return owner_; }
  SSColorIcon* GetIcon() const { return icon_; }
  SSProgressLine* GetProgressLine() const { return progress_; }
  bool IsRunning() const { return running_; }
  void SetRunning(bool running) { running_ = running; }
  void SetShowProgress(bool show) { showProgress_ = show ? 1 : 0; }
  // Walk figures, for the tests and the developer overlay.
  u32 GetSearchState() const { return request_.prState; }
  const shpf::_PATHREQUEST& GetPathRequest() const { return request_; }
  float GetSpeedFactor() const { return speedFactor_; }
  float GetPathLength() const { return totalLength_; }
  i32 GetLegCount() const { return legCount_; }
  i32 GetLeg() const { return leg_; }
  i32 GetTargetFacing() const { return targetFacing_; }

 protected:
  // Turns the owner toward the facing a direction step per stepTime (in the
  // unit of `left`, this tick's share scaled by the walk activity's rate);
  // false while still turning, else `left` keeps what the turn left over.
  bool TurnOwner(i32 facing, float stepTime, float* timer, float* left);
  void FinishWalkFailure(const char* why);
  bool PreparePath();
  bool StartLeg(i32 i);
  void FreeLegs();

  LevelCharacters* level_;
  LevelPathFinder* paths_;
  i32 state_ = kJobIdle;
  i32 step_ = 0;
  i32 cost_ = 0;  // what SetCost really took
  SSColorIcon* icon_ = nullptr;
  i32 iconX_ = 0, iconY_ = 0;
  u32 showProgress_ = 1;

  // Animation step.
  i32 activity_ = -1;
  u32 duration_ = 0;
  float elapsed_ = 0.0f;
  SSProgressLine* progress_ = nullptr;
  u32 startPending_ = 0;
  wchar animName_[kAnimationNameSize] = {};
  i32 direction_ = -1;
  i32 animFacing_ = 0;
  float animTurnTimer_ = 0.0f;

  // Walk.
  i32 walkMode_ = kWalkSearch;
  shpf::_SHAPEGRID* grid_ = nullptr;
  shpf::_PATHREQUEST request_{};
  float targetX_ = 0.0f, targetY_ = 0.0f;
  struct LegPoint {
    float x, y, before;
  };
  LegPoint* legs_ = nullptr;
  i32 legCount_ = 0;
  i32 leg_ = 0;
  float realStartX_ = 0.0f, realStartY_ = 0.0f;
  u32 startMoved_ = 0;
  u32 exact_ = 0;
  float speedFactor_ = 1.0f;
  float legLength_ = 0.0f, legWalked_ = 0.0f, lengthBefore_ = 0.0f, totalLength_ = 0.0f;
  float legDx_ = 0.0f, legDy_ = 0.0f, legStartX_ = 0.0f, legStartY_ = 0.0f;
  i32 targetFacing_ = 0;
  float turnTimer_ = 0.0f;
  wchar walkName_[kAnimationNameSize] = {};

  MapCharacter* owner_;
  u16 jobId_;
  bool running_ = false;  // inside its Update: a new order finishes it instead of deleting it
};
