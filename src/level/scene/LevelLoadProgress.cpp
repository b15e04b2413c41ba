#include "level/scene/LevelLoadProgress.h"

#include "resources/GameServices.h"

LevelLoadProgress::LevelLoadProgress(std::vector<Step> steps) : steps_(std::move(steps)), done_(steps_.size(), false) {
  for (const Step& s : steps_) totalWeight_ += s.weight;
}

void LevelLoadProgress::Begin(u32 id) {
  End();
  for (size_t i = 0; i < steps_.size(); ++i)
    if (steps_[i].id == id && !done_[i]) {
      current_ = static_cast<i32>(i);
      progress_ = 0.0f;
      StepLoadingProgress(GetFraction());
      return;
    }
}

void LevelLoadProgress::End() {
  if (current_ < 0) return;
  doneWeight_ += steps_[current_].weight;
  done_[current_] = true;
  ++stepsDone_;
  current_ = -1;
  progress_ = 0.0f;
}

bool LevelLoadProgress::Report(float fraction) {
  progress_ = fraction < 0.0f ? 0.0f : fraction > 1.0f ? 1.0f : fraction;
  ++reports_;
  return StepLoadingProgress(GetFraction());
}

float LevelLoadProgress::GetFraction() const {
  if (totalWeight_ == 0 || stepsDone_ == steps_.size()) return 1.0f;
  const float current = current_ >= 0 ? progress_ * static_cast<float>(steps_[current_].weight) : 0.0f;
  return (static_cast<float>(doneWeight_) + current) / static_cast<float>(totalWeight_);
}
