// TutorialArrow - a bouncing arrow of a tutorial layer pointing at its
// target: the interface sprite "tutorial_arrow" (its tip at the left
// middle, pointing left) drawn at the target's point, turned by the
// target's angle, so it lies away from the target and points back at it.
// It takes its layer's state (upwards only): fading in over 200 ms after
// 200 ms as the layer shows, out over 150 ms as it hides, then gone.
//
// The bounce (SEffect_Arrow) runs on the arrow's own time, which moves only
// in its Update: 1,200 ms a swing, pushed back by up to 16 pixels and
// squashed to 0.7 x 1.3 as it strikes. A level arrow (LevelTutorialArrow)
// stands still while the level is held for another reason than its mask.
#pragma once

#include "base/Types.h"
#include "base/Maths.h"
#include "resources/SpriteEffect.h"

class GameLevel;
class ImageSprite;
class TutorialLayer;
class TutorialTarget;

constexpr float kArrowAmplitude = 16.0f;
constexpr float kArrowSquashX = 0.7f;
constexpr float kArrowSquashY = 1.3f;
constexpr u32 kArrowPeriod = 1200;

class SEffect_Arrow : public SpriteEffect {
 public:
  // A period below 2 ms counts as 1.
  SEffect_Arrow(float amplitude, float squashX, float squashY, u32 period);
  SpriteEffect* Clone() const override;
  bool Step() override;

  // The swing at `elapsed` ms: the push along the arrow and its scale.
  void At(u32 elapsed, float* offset, float* scaleX, float* scaleY) const;
  u32 GetPeriod() const { return period_; }

 private:
  float amplitude_;
  float squashX_;
  float squashY_;
  u32 period_;
};

class TutorialArrow {
 public:
  // Joins the layer's arrows.
  TutorialArrow(TutorialLayer* layer, u32 tag);
  virtual ~TutorialArrow();  // leaves its layer
  TutorialArrow(const TutorialArrow&) = delete;
  TutorialArrow& operator=(const TutorialArrow&) = delete;

  // States 1-3: a finished fade-in leaves it shown; its time runs on.
  virtual void Update(u32 elapsed);
  void SetState(u32 state);  // upwards only; each change starts its fade
  // Replaces the target (deleting the old one) and places it at once.
  void SetTarget(TutorialTarget* target);
  void UpdateTarget();  // the target's point found again
  void Draw();
  // Its picture's middle line at rest on the screen, from the tip back
  // along the angle; false while it is not drawn (no picture, no valid
  // target).
  bool GetLine(kis::FloatPoint* tip, kis::FloatPoint* tail) const;

  u32 GetTag() const { return tag_; }
  u32 GetState() const { return state_; }
  TutorialTarget* GetTarget() const { return target_; }
  TutorialLayer* GetLayer() const { return layer_; }
  u32 GetElapsed() const { return elapsed_; }
  ImageSprite* GetImage() const { return image_; }
  void Forget() { layer_ = nullptr; }  // its layer is going

 private:
  TutorialLayer* layer_;
  u32 tag_;
  TutorialTarget* target_ = nullptr;
  u32 state_ = 0;
  ImageSprite* image_ = nullptr;
  SpriteEffectList* bounce_ = nullptr;
  u32 elapsed_ = 0;
  SpriteEffectList* fade_ = nullptr;
  i32 toldX_ = -100000;  // where the arrow was last told to point (TellPlace)
  i32 toldY_ = -100000;
};

class LevelTutorialArrow : public TutorialArrow {
 public:
  // The mask always holds the start lock and the tutorial's own (17).
  LevelTutorialArrow(TutorialLayer* layer, u32 tag, GameLevel* level, u32 lockMask);
  void Update(u32 elapsed) override;
  u32 GetLockMask() const { return lockMask_; }

 private:
  GameLevel* level_;
  u32 lockMask_;
};

// SetArrowTarget of the scripts.
inline void SetArrowTarget(TutorialArrow* arrow, TutorialTarget* target) {
  if (arrow) arrow->SetTarget(target);
}
