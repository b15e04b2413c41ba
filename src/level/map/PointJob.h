// PointJob - what a level point needs of a job that works on it: the point
// keeps a list of the jobs aimed at it (without owning them), arranges
// their icons around one another, and tells them when it goes. The jobs of
// the characters (Job.h) derive from it.
//
// A job is in the list of one point at a time (BaseLevelPoint::AddJob and
// DetachJob keep GetListPoint); a job deleted while listed must be
// detached first (the job's destructor does it).
#pragma once

#include "base/Types.h"

class BaseLevelPoint;

// The player's jobs that work on a point of their own (their ids in the
// level's saved records): plant, water, harvest, build, feed, take eggs,
// milk and shear. While one of them waits or runs, its point is busy.
constexpr u16 kJobPlant = 2;
constexpr u16 kJobShear = 9;

class PointJob {
 public:
  virtual ~PointJob() = default;
  // Stops the job (cancelled or failed); false when it had already ended.
  virtual bool Finish() = 0;
  // The point is going: the job forgets it as its target.
  virtual void ClearTarget() = 0;
  // Where the job's icon stands on the map (its anchor, without offset);
  // false when the job shows no icon.
  virtual bool GetIconAnchor(i32* x, i32* y) const = 0;
  // Moves the icon's picture by (dx, dy) from its anchor.
  virtual void SetIconOffset(i32 dx, i32 dy) = 0;
  // The job's kind: its id in the level's saved records.
  virtual u16 GetJobId() const = 0;
  // Finished or done: it waits only to be deleted.
  virtual bool HasEnded() const = 0;

  BaseLevelPoint* GetListPoint() const { return listPoint_; }

 private:
  friend class BaseLevelPoint;
  BaseLevelPoint* listPoint_ = nullptr;  // the point whose job list holds the job
};
