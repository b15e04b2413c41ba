#include "resources/Gradient.h"

#include "base/Maths.h"
#include "resources/ResourceServices.h"

namespace {

kis::list<Gradient*>& Registry() { return GetResourceServices().registries->gradients; }

}  // namespace

const kis::list<Gradient*>& GetGradients() { return Registry(); }

Gradient::Gradient() { Registry().Add(this); }

Gradient::~Gradient() { Registry().Remove(this); }

void Gradient::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0) Rebuild();
}

void Gradient::AddStop(u32 time, u32 color) {
  stops_.push_back(GRADIENTENTRY{time, color});
  Rebuild();
}

void Gradient::AddStops(u32 count, const u32* pairs) {
  if (!pairs) return;
  BeginUpdate();
  for (u32 i = 0; i < count; ++i) AddStop(pairs[2 * i + 1], pairs[2 * i]);
  EndUpdate();
}

void Gradient::Clear() {
  stops_.clear();
  Rebuild();
}

void Gradient::SetSampleStep(u32 step) {
  if (step == step_) return;
  step_ = step;
  Rebuild();
}

void Gradient::Assign(const Gradient& other) {
  if (&other == this) return;
  BeginUpdate();
  Clear();
  SetSampleStep(other.step_);
  for (const GRADIENTENTRY& e : other.stops_) AddStop(e.time, e.color);
  EndUpdate();
}

// The table holds 1 + ceil(total / step) samples, so the last one lies at or
// past the total and stands for "the end".
void Gradient::Rebuild() {
  if (updateCount_ > 0) return;
  total_ = 0;
  for (const GRADIENTENTRY& e : stops_) total_ += e.time;
  table_.clear();
  if (step_ == 0 || stops_.empty()) return;
  u32 count = 1;
  if (total_ > 0) count += static_cast<u32>(kis::CeilToInt(static_cast<float>(total_) / static_cast<float>(step_)));
  table_.resize(count);
  for (u32 i = 0; i < count; ++i) table_[i] = Evaluate(i * step_, false);
}

// A run of 0-ms stops at the start stands for the first stop's colour (the
// last of the run wins); a 0-ms stop later on is reached together with the
// stop before it, so the blend never divides by its time.
u32 Gradient::Evaluate(u32 time, bool loop) const {
  if (stops_.empty() || updateCount_ > 0) return 0;
  if (total_ == 0 || stops_.size() == 1) return stops_[0].color;
  if (time > total_) {
    if (!loop) return stops_.back().color;
    time %= total_;
  }
  size_t first = 0;
  while (first + 1 < stops_.size() && stops_[first + 1].time == 0) ++first;
  if (time <= stops_[0].time) return stops_[first].color;
  u32 reached = stops_[0].time;
  for (size_t i = 1; i < stops_.size(); ++i) {
    const u32 before = reached;
    reached += stops_[i].time;
    if (reached < time) continue;
    if (reached == time) return stops_[i].color;
    const float t = static_cast<float>(time - before) / static_cast<float>(stops_[i].time);
    return kis::LerpColor(stops_[i - 1].color, stops_[i].color, t);
  }
  return stops_.back().color;
}

u32 Gradient::ColorAt(u32 time, bool loop) const {
  if (updateCount_ > 0) return 0;
  if (step_ == 0 || table_.empty()) return Evaluate(time, loop);
  if (time > total_) {
    if (!loop || total_ == 0) return table_.back();
    time %= total_;
  }
  const i32 index = kis::RoundToInt(static_cast<float>(time) / static_cast<float>(step_));
  const size_t at = index < 0 ? 0 : static_cast<size_t>(index);
  return table_[at < table_.size() ? at : table_.size() - 1];
}

u32 Gradient::ColorAtProgress(float progress, bool loop) const {
  const i32 time = kis::RoundToInt(static_cast<float>(total_) * progress);
  return ColorAt(time < 0 ? 0 : static_cast<u32>(time), loop);
}
