// Gradient - a colour that changes over time: colour stops, each reached a
// number of milliseconds after the one before it, blended linearly between
// stops, with an optional table sampled every `step` ms for quick look-ups.
//
// Every change rebuilds the total time and the table, except between
// BeginUpdate and EndUpdate: there the rebuild waits for the last EndUpdate,
// and look-ups answer 0. Stops of 0 ms are allowed anywhere (they never
// divide). Every gradient is in the global list while it lives.
#pragma once

#include <vector>

#include "base/List.h"
#include "base/Types.h"

// One stop: the milliseconds after the previous stop (the first stop's time
// is its offset from 0) and the colour reached then.
struct GRADIENTENTRY {
  u32 time;
  u32 color;  // ARGB
};

class Gradient {
 public:
  Gradient();
  Gradient(const Gradient&) = delete;
  Gradient& operator=(const Gradient&) = delete;
  ~Gradient();

  void BeginUpdate() { ++updateCount_; }
  void EndUpdate();  // rebuilds when the count returns to 0

  void AddStop(u32 time, u32 color);
  void AddStopColorFirst(u32 color, u32 time) { AddStop(time, color); }
  // `count` stops from (colour, time) pairs, in one update.
  void AddStops(u32 count, const u32* pairs);
  void Clear();
  void SetSampleStep(u32 step);  // 0: no table
  // Clear, then the other's sample step and stops, in one update.
  void Assign(const Gradient& other);

  // The colour `time` ms in. Past the total: the last colour, or with loop
  // the time taken modulo the total. From the table when there is one.
  u32 ColorAt(u32 time, bool loop) const;
  // ColorAt(round(total x progress), loop).
  u32 ColorAtProgress(float progress, bool loop) const;

  i32 GetStopCount() const { return static_cast<i32>(stops_.size()); }
  const GRADIENTENTRY& GetStop(i32 index) const { return stops_[static_cast<size_t>(index)]; }
  u32 GetTotalTime() const { return total_; }
  u32 GetSampleStep() const { return step_; }
  i32 GetSampleCount() const { return static_cast<i32>(table_.size()); }
  bool IsUpdating() const { return updateCount_ > 0; }

 private:
  void Rebuild();
  u32 Evaluate(u32 time, bool loop) const;

  i32 updateCount_ = 0;
  std::vector<GRADIENTENTRY> stops_;
  u32 total_ = 0;
  u32 step_ = 0;
  std::vector<u32> table_;  // the colour at 0, step, 2 x step, ...
};

// Every live gradient, in the order they were made.
const kis::list<Gradient*>& GetGradients();
