// TutorialLayer - the window a tutorial step shows its arrows and info
// texts in, stacked just above the window its step names (by its code,
// above the tutorial layers already there). It passes its state to its
// arrows and texts, which fade in as it shows and out as it hides; once
// hiding and empty it is done, and its tutorial deletes it.
//
// While its click counter is not 0 it catches clicks everywhere its step
// does not let them through (the level panel, the map's buttons), and a
// left click on it finishes the step; otherwise the pointer passes it by.
// It catches them only while an arrow or a text of it is drawn: a layer
// that showed nothing would take the player's click for a step never seen
// (unless its step shows the scene under it, as the villains' attack).
#pragma once

#include "base/List.h"
#include "base/Types.h"
#include "ui/GameWindow.h"

class GameTutorial;
class TutorialArrow;
class TutorialInfo;
class TutorialStep;

// Layer (and arrow and text) states: only ever upwards.
constexpr u32 kLayerNew = 0;
constexpr u32 kLayerShowing = 1;
constexpr u32 kLayerShown = 2;
constexpr u32 kLayerHiding = 3;
constexpr u32 kLayerGone = 4;

class TutorialLayer : public GameWindow {
 public:
  // Becomes the step's layer (deleting one it had) and one of its tutorial's.
  TutorialLayer(TutorialStep* step, u32 layerCode);
  ~TutorialLayer() override;  // its arrows and texts, then out of its step and tutorial

  // Upwards only; from hiding on the step lets the layer go and clicks pass.
  void SetState(u32 state);
  u32 GetState() const { return layerState_; }
  void CatchClicks();
  u32 GetClickCount() const { return clicks_; }

  // The arrow with the tag (the last added, not hiding); null when none.
  TutorialArrow* FindArrow(u32 tag) const;
  void HideArrow(u32 tag);
  void ShowArrow(TutorialArrow* arrow);  // an arrow added after the layer was built

  // The tutorial's frame: arrows and texts move on (ms); a hiding, empty layer is done.
  void MoveOn(u32 elapsed);
  // The tutorial's draw: arrows and texts find their targets again.
  void PlaceItems();
  // Covers the game area as it is now (made so; again when the screen changes).
  void FitToScreen();

  // GameWindow
  // A window over the layer holds the player (the level's menu, a modal
  // window): the hint is not drawn meanwhile.
  bool IsCovered() const;
  // An arrow or a text of it is drawn now: fading in or shown at a target
  // found, and no window covers the layer.
  bool IsDrawn() const;
  bool HitTest(i32 x, i32 y) const override;
  bool IsBusy() const override;
  void OnMouseUp(i32 x, i32 y, u32 button, u32 keys) override;
  void Draw() override;

  TutorialStep* GetStep() const { return step_; }
  GameTutorial* GetTutorial() const { return tutorial_; }
  kis::list<TutorialArrow*>& Arrows() { return arrows_; }
  kis::list<TutorialInfo*>& Texts() { return texts_; }

 private:
  void DeleteGone();
  TutorialStep* step_;
  GameTutorial* tutorial_;
  u32 layerState_ = kLayerNew;
  kis::list<TutorialArrow*> arrows_;
  kis::list<TutorialInfo*> texts_;
  u32 clicks_ = 0;
};
