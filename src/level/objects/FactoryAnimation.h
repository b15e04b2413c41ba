// FactoryAnimation - one production animation of a factory building: an
// image of the map-sprite set drawn over the building at an offset, playing
// a sequence of its frames. Stopped (0), it shows its first entry; looping
// (2) it wraps; asked to stop while running (1) it plays to the end of the
// cycle and stops there.
#pragma once

#include "content/BuildingTable.h"

class Sprite;

class FactoryAnimation {
 public:
  // A negative frame count plays the image's own frames in order, at most
  // 32; a count above 32 is cut to 32. Mirrored, x is measured from the
  // building's other side: building width - image width - x.
  void Init(const FACTORYANIM& entry, Sprite* image, bool mirrored, i32 buildingWidth);
  // Looping at the time scale, when it has frames to change and a frame time.
  void Start(float timeScale);
  void Stop();  // a running animation finishes its cycle
  void Advance(float ms);
  void SetTimeScale(float scale) { timeScale_ = scale; }

  i32 GetState() const { return state_; }
  i32 GetFrame() const { return frame_; }  // position in the sequence
  i32 GetFrameCount() const { return frameCount_; }
  u32 GetShownFrame() const { return frameCount_ > 0 ? sequence_[frame_] : 0; }  // of the image
  float GetX() const { return x_; }
  float GetY() const { return y_; }
  float GetTimeScale() const { return timeScale_; }
  Sprite* GetImage() const { return image_; }

 private:
  Sprite* image_ = nullptr;
  float x_ = 0.0f;
  float y_ = 0.0f;
  i32 state_ = 0;
  i32 frame_ = 0;
  i32 frameCount_ = 0;
  i32 frameTime_ = 0;
  float timeScale_ = 1.0f;
  u32 sequence_[kMaxFactoryFrames] = {};
  float elapsed_ = 0.0f;
};
