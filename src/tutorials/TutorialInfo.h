// TutorialInfo - a framed text of a tutorial layer placed next to its
// target: on the side the target's angle points to (or centred on it),
// moved by its distance along the angle, kept inside the game area and
// clear of the level's bars, beside what its target stands for (the
// building with its buttons, the control), where it can clear of the
// level's other head-up buttons and its layer's arrows too. It
// takes its layer's state (upwards only): fading in and rising 5 pixels
// over 120 ms as the layer shows, fading and shrinking to 0.8 over 150 ms
// as it hides, then gone.
//
// TutorialInfoText holds the text (game font 3, 400 pixels wide, brown with
// a light drop shadow; item references rendered by the game's item mark-up) and,
// when asked, the grey "click to continue" line 4 pixels below it. Its frame
// is the interface's "tutorial_info_frame" piece (ui/SkinTable.h).
#pragma once

#include "base/Types.h"
#include "resources/SpriteEffect.h"
#include "ui/BaseHintWindow.h"

class HIText;
class TutorialLayer;
class TutorialTarget;

constexpr i32 kInfoTextWidth = 400;
constexpr u32 kInfoTextColour = 0xFF872900u;
constexpr u32 kInfoClickColour = 0xFF808080u;
constexpr u32 kInfoShadowColour = 0x80FFF7DDu;
constexpr i32 kInfoShadowOffset = 1;  // pixels right and down

class TutorialInfo : public BaseHintWindow {
 public:
  explicit TutorialInfo(TutorialLayer* layer);  // joins the layer's texts
  ~TutorialInfo() override;

  void SetState(u32 state);  // upwards only; each change starts its fade
  // Takes the target (owned) and places the text at once.
  void SetTarget(TutorialTarget* target, bool centred, float distance);
  // Places the text at its target (nothing while the target is invalid).
  void Place();
  // Where a note may stand on the screen as it is now (its window's
  // rectangle, the frame drawn round it kept inside too).
  static DXLRECT Room();
  void UpdateTarget();  // the target found again, then placed
  void OnLayerUpdate();  // a finished fade-in leaves it shown

  // BaseHintWindow
  void BuildFrame() override;
  bool BeginDraw() override;
  void Draw() override;  // without a viewer only the fade moves on

  u32 GetState() const { return state_; }
  TutorialTarget* GetTarget() const { return target_; }
  float GetDistance() const { return distance_; }  // moved this far along the target's angle
  bool IsCentred() const { return centred_ != 0; }
  float GetPivotX() const { return pivotX_; }
  float GetPivotY() const { return pivotY_; }
  void Forget() { layer_ = nullptr; }

 private:
  TutorialLayer* layer_;
  TutorialTarget* target_ = nullptr;
  u32 state_ = 0;
  SpriteEffectList* fade_ = nullptr;
  float distance_ = 0.0f;
  u32 centred_ = 0;
  float pivotX_ = 0.0f;
  float pivotY_ = 0.0f;
  i32 toldX_ = -100000;  // where the target was last told to stand (TellPlace)
  i32 toldY_ = -100000;
};

class TutorialInfoText : public TutorialInfo {
 public:
  TutorialInfoText(TutorialLayer* layer, const wchar* text, bool withClickText, u32 itemKind, uintptr_t item);
  HIText* GetMainText() const { return main_; }
  HIText* GetClickText() const { return click_; }

 private:
  HIText* main_ = nullptr;
  HIText* click_ = nullptr;
};

// The scripts' SetInfoTarget (a target of its own) and SetInfoSharedTarget
// (a copy of an arrow's target, same angle and distance).
void SetInfoTarget(TutorialInfo* info, TutorialTarget* target, bool centred, float distance);
void SetInfoSharedTarget(TutorialInfo* info, const TutorialTarget* target, bool centred, float distance);
// A text of the layer on the target (owned, or with `shared` a copy of an
// arrow's); with the click line the layer catches clicks. Null (an owned
// target deleted) without a layer or target.
TutorialInfo* AddLayerText(TutorialLayer* layer, const wchar* text, TutorialTarget* target, bool shared, bool centred,
                           float distance, bool click, u32 itemKind = 0, uintptr_t item = 0);
