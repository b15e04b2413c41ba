// TutorialTarget - what an arrow or an info text of a tutorial hangs on: an
// object that works out a screen point and a direction every frame. The
// point lies on the thing's border in the target's angle (degrees; the
// arrow points along it) and is moved by the distance along that angle. A
// target that cannot be resolved (window closed, control gone, point
// missing, sprite hidden) is invalid for that frame, and what hangs on it
// is not drawn.
//
// Kinds: a control of a window (TutTargetButton), a point a function
// computes (TutTargetCustom), a level node of the level-selection map
// (TutTargetMapLevel), a level point (TutTargetLevelPoint), a head-up
// display sprite of the level (TutTargetScreenSprite).
#pragma once

#include "base/Maths.h"
#include "base/Types.h"
#include "engine/DXLRect.h"

class BaseLevelPoint;
class GameButton;
class GameLevel;
class GameWindow;
class ScreenSprite;

constexpr u32 kTargetButton = 1;
constexpr u32 kTargetCustom = 2;
constexpr u32 kTargetMapLevel = 0x40000001u;
constexpr u32 kTargetScreenSprite = 0x80000001u;
constexpr u32 kTargetLevelPoint = 0x80000002u;

class TutorialTarget {
 public:
  TutorialTarget(u32 kind, float angle, float distance) : kind_(kind), angle_(angle), distance_(distance) {}
  virtual ~TutorialTarget() = default;
  TutorialTarget& operator=(const TutorialTarget&) = delete;

  // A new target of the same kind and fields with this distance (caller owns it).
  virtual TutorialTarget* Clone(float distance) const = 0;
  // Works the point out again; valid when it could.
  virtual void UpdatePosition() = 0;
  // The screen rectangle of what the target stands for: a control's, a
  // level point's pictures with the head-up buttons it shows, a map
  // node's cell. With `control`, only what the player clicks there (a
  // head-up button, not the building it stands over). False for a bare
  // point.
  virtual bool GetArea(DXLRECT* /*out*/, bool /*control*/) const { return false; }

  u32 GetKind() const { return kind_; }
  float GetAngle() const { return angle_; }
  float GetDistance() const { return distance_; }
  bool IsValid() const { return valid_ != 0; }
  i32 GetX() const { return x_; }
  i32 GetY() const { return y_; }
  float GetFloatX() const { return fx_; }
  float GetFloatY() const { return fy_; }
  // Under the developer switch "Places": "Placed WHAT TAG ANGLE DISTANCE X Y
  // 0 0" in the log when the point has moved from where `told` last saw it
  // (what it stands for then lies DISTANCE pixels from X, Y against ANGLE).
  void TellWhere(const char* what, i32 tag, i32* toldX, i32* toldY) const;

 protected:
  // Copied only by the kinds' Clone.
  TutorialTarget(const TutorialTarget&) = default;
  // The point found (screen pixels): valid, moved by the distance.
  void Found(float x, float y);
  // As a new target at this distance: no point worked out yet.
  void Unresolved(float distance) {
    distance_ = distance;
    valid_ = 0;
    x_ = y_ = 0;
    fx_ = fy_ = 0.0f;
  }

  u32 kind_;
  float angle_;
  float distance_;
  u32 valid_ = 0;
  i32 x_ = 0, y_ = 0;
  float fx_ = 0.0f, fy_ = 0.0f;
};

// What every kind's Clone does: a copy of the kind's fields at the new
// distance, not yet worked out.
template <class Kind>
class TutorialTargetKind : public TutorialTarget {
 public:
  using TutorialTarget::TutorialTarget;
  TutorialTarget* Clone(float distance) const override {
    Kind* copy = new Kind(static_cast<const Kind&>(*this));
    copy->Unresolved(distance);
    return copy;
  }
};

// A control of a window of the stack: the window found by its code, in it
// the last control with the id and, unless data is 0, that data word.
class TutTargetButton : public TutorialTargetKind<TutTargetButton> {
 public:
  TutTargetButton(u32 windowCode, u32 controlId, uintptr_t controlData, float angle, float distance)
      : TutorialTargetKind(kTargetButton, angle, distance),
        window_(windowCode),
        control_(controlId),
        data_(controlData) {}
  void UpdatePosition() override;
  bool GetArea(DXLRECT* out, bool control) const override;
  // The control it names and its window (null when either is gone).
  GameButton* FindControl(GameWindow** window) const;
  u32 GetWindowCode() const { return window_; }
  u32 GetControlId() const { return control_; }
  uintptr_t GetControlData() const { return data_; }

 private:
  u32 window_;
  u32 control_;
  uintptr_t data_;
};

// out: the screen point; true when it is valid.
using TutorialPointFunction = bool (*)(kis::FloatPoint* out, float angle, float distance, u32 argument, u32 extra);
// out: the screen rectangle of what the point stands for (see GetArea).
using TutorialAreaFunction = bool (*)(DXLRECT* out, u32 argument, bool control);

class TutTargetCustom : public TutorialTargetKind<TutTargetCustom> {
 public:
  TutTargetCustom(TutorialPointFunction function, u32 argument, float angle, float distance, u32 extra,
                  TutorialAreaFunction area = nullptr)
      : TutorialTargetKind(kTargetCustom, angle, distance),
        function_(function),
        area_(area),
        argument_(argument),
        extra_(extra) {}
  void UpdatePosition() override;
  bool GetArea(DXLRECT* out, bool control) const override {
    return valid_ && area_ && area_(out, argument_, control);
  }
  TutorialPointFunction GetFunction() const { return function_; }
  u32 GetArgument() const { return argument_; }

 private:
  TutorialPointFunction function_;
  TutorialAreaFunction area_;
  u32 argument_;
  u32 extra_;
};

// The level's centre above its panel: (width / 2, (height - 115) / 2).
bool LevelScreenCentre(kis::FloatPoint* out, float angle, float distance, u32 argument, u32 extra);

// A level node of the level-selection map (LevelSelectMap), by level index:
// its map position moved by the distance (map units), then onto the screen.
// Invalid for an index outside the 41 levels or while no map is loaded.
class TutTargetMapLevel : public TutorialTargetKind<TutTargetMapLevel> {
 public:
  static constexpr float kDistance = 64.0f;
  TutTargetMapLevel(i32 levelIndex, float angle)
      : TutorialTargetKind(kTargetMapLevel, angle, kDistance), level_(levelIndex) {}
  void UpdatePosition() override;
  bool GetArea(DXLRECT* out, bool control) const override;  // the node's cell
  i32 GetLevelIndex() const { return level_; }

 private:
  i32 level_;
};

// A level point of the level, by index; the distance is in level units.
class TutTargetLevelPoint : public TutorialTargetKind<TutTargetLevelPoint> {
 public:
  TutTargetLevelPoint(GameLevel* level, i32 pointIndex, float angle, float distance)
      : TutorialTargetKind(kTargetLevelPoint, angle, distance), level_(level), point_(pointIndex) {}
  void UpdatePosition() override;
  bool GetArea(DXLRECT* out, bool control) const override;  // LevelPointArea
  i32 GetPointIndex() const { return point_; }

 private:
  GameLevel* level_;
  i32 point_;
};

// A sprite of the running level's head-up display, while it is in the
// level's list and shown.
class TutTargetScreenSprite : public TutorialTargetKind<TutTargetScreenSprite> {
 public:
  TutTargetScreenSprite(ScreenSprite* sprite, float angle, float distance)
      : TutorialTargetKind(kTargetScreenSprite, angle, distance), sprite_(sprite) {}
  void UpdatePosition() override;
  // The sprite's rectangle; unless `control`, with the level point whose
  // button it is (LevelPointArea).
  bool GetArea(DXLRECT* out, bool control) const override;
  ScreenSprite* GetSprite() const { return sprite_; }

 private:
  ScreenSprite* sprite_;
};

// The screen rectangle a level point covers: the pictures of its map
// objects (their sub-pictures too) and the head-up buttons it shows; false
// when it shows none.
bool LevelPointArea(const BaseLevelPoint* point, DXLRECT* out);
// Widens `into` to take in `r` too (`into` starts empty when `any` is false).
void UniteArea(DXLRECT* into, const DXLRECT& r, bool* any);
