#include "level/objects/FactoryAnimation.h"

#include <cmath>

#include "resources/Sprite.h"

void FactoryAnimation::Init(const FACTORYANIM& entry, Sprite* image, bool mirrored, i32 buildingWidth) {
  image_ = image;
  const i32 own = image ? image->GetFrameCount() : 0;
  if (entry.frameCount < 0) {
    frameCount_ = own < static_cast<i32>(kMaxFactoryFrames) ? own : static_cast<i32>(kMaxFactoryFrames);
    for (i32 i = 0; i < frameCount_; ++i) sequence_[i] = static_cast<u32>(i);
  } else {
    frameCount_ = entry.frameCount < static_cast<i32>(kMaxFactoryFrames) ? entry.frameCount
                                                                        : static_cast<i32>(kMaxFactoryFrames);
    for (i32 i = 0; i < frameCount_; ++i) sequence_[i] = entry.sequence[i];
  }
  frameTime_ = entry.frameTime;
  DXLRECT r{};
  const i32 width = image && image->GetFrameRect(0, &r) ? r.right - r.left : 0;
  x_ = static_cast<float>(mirrored ? buildingWidth - width - entry.x : entry.x);
  y_ = static_cast<float>(entry.y);
  state_ = frame_ = 0;
  elapsed_ = 0.0f;
}

void FactoryAnimation::Start(float timeScale) {
  timeScale_ = timeScale;
  if (frameCount_ > 1 && frameTime_ > 0) state_ = 2;
}

void FactoryAnimation::Stop() {
  if (state_ != 0) state_ = 1;
}

void FactoryAnimation::Advance(float ms) {
  if (state_ == 0) return;
  const float step = ms * timeScale_;
  if (std::isfinite(step) && step > 0.0f) elapsed_ += step;
  const float cycle = static_cast<float>(frameCount_) * static_cast<float>(frameTime_);
  const i32 frame = static_cast<i32>(elapsed_ / static_cast<float>(frameTime_));
  if (frame < frameCount_) {
    frame_ = frame;
  } else if (state_ == 1) {
    state_ = frame_ = 0;
    elapsed_ = 0.0f;
  } else {
    elapsed_ = std::fmod(elapsed_, cycle);
    frame_ = static_cast<i32>(elapsed_ / static_cast<float>(frameTime_)) % frameCount_;
  }
}
