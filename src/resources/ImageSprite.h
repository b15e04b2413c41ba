// ImageSprite - a light drawable instance of a Sprite with its own colour,
// pivot, scale, angle, frame or animation and optional draw state; windows,
// buttons, the head-up display, sub-sprites and particles draw through it.
// It is made by SpriteSet::CreateImageSprite, joins its set's chain of image
// sprites and leaves it when deleted; a set deletes the ones still alive
// when it goes.
// Drawing changes the viewer's current transform: the caller places the
// image by setting the transform before.
#pragma once

#include <memory>

#include "base/Types.h"
#include "engine/DXLDrawTypes.h"
#include "resources/Sprite.h"

class SpriteSet;

class ImageSprite {
 public:
  ImageSprite(SpriteSet* set, Sprite* sprite, bool mirror);
  ImageSprite(const ImageSprite&) = delete;
  ImageSprite& operator=(const ImageSprite&) = delete;
  ~ImageSprite();

  void SetDrawState(const DXLDRAWSTATE* state);  // a copy; null drops it
  void SetDrawStateValues(u8 minFilter, u8 magFilter, u32 addressU, u32 addressV, u32 blendMode, u32 colorOp,
                          u32 alphaOp);
  // Colour, pivot, scale and angle of another image sprite.
  void CopyParams(const ImageSprite& other);
  // Scales, rotates and moves back by the pivot on the current transform,
  // applies it and draws the frame state.
  void Draw();

  SpriteSet* GetSet() const { return set_; }
  Sprite* GetSprite() const { return sprite_; }
  u32 GetColor() const { return color_; }
  void SetColor(u32 color) { color_ = color; }
  float GetPivotX() const { return pivotX_; }
  float GetPivotY() const { return pivotY_; }
  void SetPivot(float x, float y) {
    pivotX_ = x;
    pivotY_ = y;
  }
  float GetScaleX() const { return scaleX_; }
  float GetScaleY() const { return scaleY_; }
  void SetScale(float x, float y) {
    scaleX_ = x;
    scaleY_ = y;
  }
  float GetAngle() const { return angle_; }     // degrees
  void SetAngle(float degrees) { angle_ = degrees; }
  SpriteFrameState& FrameState() { return frameState_; }
  const SpriteFrameState& FrameState() const { return frameState_; }
  void SetFrame(i32 frame) { frameState_.frame = frame; }
  // Null stops the animation (the frame stays); otherwise plays a copy of
  // the sequence, from the frame clock's now when restarting.
  void SetAnimation(const DXLFRAMESEQ* seq, bool restart);
  const DXLDRAWSTATE* GetDrawState() const { return drawState_.get(); }
  ImageSprite* GetNextInSet() const { return nextInSet_; }  // the next younger one of the set

 private:
  friend class SpriteSet;  // keeps the chain links
  SpriteSet* set_;
  Sprite* sprite_;
  u32 color_ = 0xFFFFFFFFu;
  float pivotX_ = 0.0f;
  float pivotY_ = 0.0f;
  float scaleX_ = 1.0f;
  float scaleY_ = 1.0f;
  float angle_ = 0.0f;
  SpriteFrameState frameState_{};
  std::unique_ptr<DXLDRAWSTATE> drawState_;
  ImageSprite* prevInSet_ = nullptr;
  ImageSprite* nextInSet_ = nullptr;
};
