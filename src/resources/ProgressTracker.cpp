#include "resources/ProgressTracker.h"

#include "platform/os/Clock.h"
#include "resources/ResourceServices.h"

ProgressTracker::ProgressTracker(u32 intervalMs, Callback callback)
    : interval_(intervalMs), callback_(std::move(callback)) {}

void ProgressTracker::AddSteps(i32 count, const StepSpec* steps) {
  const u32 n = count < 0 ? kMaxSteps : static_cast<u32>(count);
  for (u32 i = 0; i < n; ++i) {
    if (count < 0 && steps[i].id == 0) break;
    Step* found = nullptr;
    for (u32 k = 0; k < count_; ++k)
      if (steps_[k].id == steps[i].id) found = &steps_[k];
    if (!found && count_ < kMaxSteps) {
      found = &steps_[count_++];
      found->id = steps[i].id;
      found->weight = 0;
    }
    if (!found) continue;
    if (steps[i].weight > found->weight) found->weight = steps[i].weight;
    found->done = false;
  }
}

// Weights of 0 only give 1.0 at once: nothing is left to wait for.
void ProgressTracker::Start() {
  if (started_) return;
  started_ = true;
  totalWeight_ = 0;
  for (u32 i = 0; i < count_; ++i) totalWeight_ += steps_[i].weight;
  intervalStart_ = plat::GetTimeMs();
  if (callback_) callback_(GetFraction(), 0);
}

void ProgressTracker::NextStep(u32 id) {
  EndStep();
  for (u32 i = 0; i < count_; ++i)
    if (steps_[i].id == id) {
      if (steps_[i].done) return;
      current_ = static_cast<i32>(i);
      progress_ = 0.0f;
      SetProgress(0.0f);
      return;
    }
}

void ProgressTracker::Report(float fraction, i32 step) {
  const u32 now = plat::GetTimeMs();
  reportedTime_ += now - intervalStart_;
  intervalStart_ = now;
  if (callback_) callback_(fraction, step);
}

bool ProgressTracker::SetProgress(float fraction) {
  progress_ = fraction < 0.0f ? 0.0f : fraction > 1.0f ? 1.0f : fraction;
  const u32 now = plat::GetTimeMs();
  if (now - intervalStart_ >= interval_) {
    Report(GetFraction(), GetCurrentStep());
    return true;
  }
  return slice_ != 0 && now - sliceStart_ >= slice_;
}

void ProgressTracker::EndStep() {
  if (current_ < 0) return;
  Step& step = steps_[current_];
  const bool last = stepsDone_ + 1 >= count_;
  if (!last) SetProgress(1.0f);
  doneWeight_ += step.weight;
  ++stepsDone_;
  step.done = true;
  current_ = -1;
  progress_ = 0.0f;
  if (last) Report(1.0f, -1);
}

void ProgressTracker::BeginSlice(u32 ms) {
  slice_ = ms;
  sliceStart_ = plat::GetTimeMs();
}

bool ProgressTracker::HasStep(u32 id) const {
  for (u32 i = 0; i < count_; ++i)
    if (steps_[i].id == id) return true;
  return false;
}

float ProgressTracker::GetFraction() const {
  if (totalWeight_ == 0 || stepsDone_ >= count_) return 1.0f;
  const float current = current_ >= 0 ? progress_ * static_cast<float>(steps_[current_].weight) : 0.0f;
  const float f = (static_cast<float>(doneWeight_) + current) / static_cast<float>(totalWeight_);
  return f > 1.0f ? 1.0f : f;
}

void InitStartupProgress(ProgressTracker* tracker) {
  static const ProgressTracker::StepSpec kSteps[] = {
      {10, 10, 0}, {11, 0, 0}, {12, 10, 0}, {20, 50, 0}, {45, 4, 0}, {46, 4, 0}, {62, 2, 0}, {63, 2, 0},
      {65, 4, 0},  {66, 4, 0}, {60, 2, 0},  {61, 5, 0},  {70, 1, 0}, {71, 1, 0}, {40, 1, 0}, {75, 5, 0},
      {81, 15, 0}, {80, 1, 0}, {50, 4, 0},  {85, 1, 0},  {86, 1, 0}, {90, 2, 0}, {93, 1, 0}, {95, 20, 0},
      {0, 0, 0}};
  tracker->AddSteps(-1, kSteps);
}

// The current tracker's calls; a reader driven alone may be given a yield
// rule of its own instead (ResourceServices::loadingProgress), asked as well.
void BeginLoadStep(u32 id) {
  if (ProgressTracker* t = GetResourceServices().progress) t->NextStep(id);
}

void EndLoadStep() {
  if (ProgressTracker* t = GetResourceServices().progress) t->EndStep();
}

bool StepLoadingProgress(float fraction) {
  const ResourceServices& s = GetResourceServices();
  bool yield = s.progress && s.progress->SetProgress(fraction);
  if (s.loadingProgress && s.loadingProgress(fraction)) yield = true;
  return yield;
}
