// LevelPathFinder - the level's path service: the obstacle world of the map
// (a shpf::PathFinder over the level's area in 64 x 64 cells), one grid per
// walker footprint, the queue of walks waiting for a search slice, and the
// money all queued jobs hold reserved.
//
// At most kSearchesPerUpdate search slices run per level update: a walk that
// asks for one beyond that waits in the queue, in arrival order, and Update
// serves the queue first in the next update. A walk whose search is still
// running after its slice stays queued until the search ends, so no search
// is left behind. A failed search finishes its job and is written to the
// engine log (with the finder's failure dump when an invariant broke); the
// game goes on.
#pragma once

#include "base/List.h"
#include "base/Types.h"
#include "pathfinding/PathFinder.h"

class Job;

class LevelPathFinder {
 public:
  static constexpr i32 kSearchesPerUpdate = 3;
  static constexpr u16 kCellSize = 64;

  LevelPathFinder(i32 width, i32 height);  // the level's map area from 0, 0
  ~LevelPathFinder();
  LevelPathFinder(const LevelPathFinder&) = delete;
  LevelPathFinder& operator=(const LevelPathFinder&) = delete;

  // Once per level update: the slice count starts again and the queue is
  // served from its head while slices remain.
  void Update();
  // The grid of a footprint (left, top, right, bottom) for walkers of the
  // grid id (the obstacle mask they obey); made on first need.
  shpf::_SHAPEGRID* GetGrid(const i16 (&foot)[4], u32 gridId);
  shpf::PathFinder* GetPathFinder() { return &finder_; }

  // --- For the walks ------------------------------------------------------------------------------
  bool TakeSearch();  // counts one slice; false when this update's slices are used
  void Enqueue(Job* job) { queue_.AddUnique(job); }
  void Dequeue(Job* job) { queue_.Remove(job); }
  bool IsQueued(const Job* job) const { return queue_.IndexOf(const_cast<Job*>(job)) >= 0; }
  i32 GetQueueLength() const { return queue_.GetCount(); }
  i32 GetSearchesThisUpdate() const { return searches_; }
  // Writes a failed walk to the engine log.
  static void LogWalkFailure(const char* why, float x, float y, float targetX, float targetY);

  // --- Reserved money ----------------------------------------------------------------------------
  void AddReserved(i32 delta) { reserved_ += delta; }
  i32 GetReserved() const { return reserved_; }

 private:
  class LogSink : public shpf::PathFailureSink {
   public:
    void Report(const std::u16string& caption, const std::u16string& message) override;
  };

  shpf::PathFinder finder_;
  LogSink sink_;
  kis::list<Job*> queue_;
  i32 searches_ = 0;
  i32 reserved_ = 0;
};
