// LevelLoadProgress - the weighted steps of a level's loading: one step per
// load stage with its weight, the current step's progress, and the overall
// fraction they give, reported to the loading screen through the game's
// loading-progress hook (which also says when the loader must yield).
//
// Overall fraction = (weights of the steps done + the current step's
// progress x its weight) / all the weights; 1 once every step is done.
#pragma once

#include <vector>

#include "base/Types.h"

class LevelLoadProgress {
 public:
  struct Step {
    u32 id;
    u32 weight;
  };
  explicit LevelLoadProgress(std::vector<Step> steps);

  // Ends the current step and makes the step of this id current (none when
  // it is not listed or already done).
  void Begin(u32 id);
  void End();  // the current step done
  // The current step's progress (0..1) reported; true: the loader yields.
  bool Report(float fraction);

  float GetFraction() const;
  u32 GetDoneWeight() const { return doneWeight_; }
  u32 GetTotalWeight() const { return totalWeight_; }
  u32 GetStepsDone() const { return stepsDone_; }
  u32 GetReports() const { return reports_; }  // Report calls so far

 private:
  std::vector<Step> steps_;
  std::vector<bool> done_;
  i32 current_ = -1;
  float progress_ = 0.0f;
  u32 totalWeight_ = 0;
  u32 doneWeight_ = 0;
  u32 stepsDone_ = 0;
  u32 reports_ = 0;
};
