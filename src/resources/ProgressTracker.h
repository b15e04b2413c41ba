// ProgressTracker - the weighted steps of a loading, the current step's
// progress and the overall fraction they give, reported to the loading
// screen at most once per report interval. A report is also the loader's
// cue to give the frame back; so is a work slice running out (the time since
// BeginSlice), so no loading call holds a frame longer than the slice even
// while the bar has nothing new to show.
//
// Overall fraction = (weights of the steps done + the current step's
// progress x its weight) / all the weights; 1 once every step is done or
// when the weights add up to 0.
//
// One tracker at a time is the current one (ResourceServices::progress): the
// start-up loader's or the loading level's. BeginLoadStep, EndLoadStep and
// StepLoadingProgress (ResourceServices.h) work on it and do nothing without one.
#pragma once

#include <functional>

#include "base/Types.h"

class ProgressTracker {
 public:
  // Told the overall fraction and the current step's id (-2 between steps,
  // -1 with the final 1.0).
  using Callback = std::function<void(float fraction, i32 step)>;
  struct StepSpec {
    u32 id;
    u32 weight;
    u32 unused;
  };
  static constexpr u32 kMaxSteps = 128;

  ProgressTracker(u32 intervalMs, Callback callback);

  // `count` steps, or with -1 those up to the first id 0. An id already
  // there keeps the larger weight; every step added is marked not done.
  void AddSteps(i32 count, const StepSpec* steps);
  void Start();             // once: the weights summed, (0, 0) reported, the clock taken
  void NextStep(u32 id);    // the current step ended, then the step of `id` current (none when unknown or done)
  bool SetProgress(float fraction);  // the current step's progress; true: give the frame back
  void EndStep();           // the current step done
  // A work slice of `ms` (0: none) begins now: SetProgress asks for the
  // frame back once it has run out.
  void BeginSlice(u32 ms);

  bool HasStep(u32 id) const;
  float GetFraction() const;
  i32 GetCurrentStep() const { return current_ < 0 ? -2 : static_cast<i32>(steps_[current_].id); }
  u32 GetTotalWeight() const { return totalWeight_; }
  u32 GetDoneWeight() const { return doneWeight_; }
  u32 GetStepsDone() const { return stepsDone_; }
  u32 GetStepCount() const { return count_; }
  u32 GetReportedTime() const { return reportedTime_; }  // ms from Start to the last report

 private:
  struct Step {
    u32 id = 0;
    u32 weight = 0;
    bool done = false;
  };
  void Report(float fraction, i32 step);

  u32 intervalStart_ = 0;
  u32 count_ = 0;
  Step steps_[kMaxSteps];
  i32 current_ = -1;
  u32 totalWeight_ = 0;
  u32 doneWeight_ = 0;
  u32 stepsDone_ = 0;
  float progress_ = 0.0f;
  bool started_ = false;
  u32 interval_;
  u32 reportedTime_ = 0;
  Callback callback_;
  u32 sliceStart_ = 0;
  u32 slice_ = 0;
};

// The start-up loader's steps and weights (ids are the loader's steps; 150
// in all) added to `tracker`.
void InitStartupProgress(ProgressTracker* tracker);
constexpr u32 kStartupReportInterval = 100;  // ms between two reports of the start-up bar
// Ms of loading work before the frame is given back: short of a 16 ms frame
// by the item under way when it runs out.
constexpr u32 kLoadWorkSlice = 10;
