// TutorialFollower - plays a level by following its running tutorial, as
// a player who does what the hints say: each frame it reads the current
// step's layer and clicks what a player would - the layer when it catches
// clicks, else the target of its first arrow, else that of its first text
// (a control of a window, a level point, a head-up display sprite). It
// asks the tutorial first whether that action would be let through; when
// not (or the target is a computed point) the step only waits on time or
// growth, and the follower waits with it. A short table of per-step
// overrides takes the place of that choice where a step needs another
// action (a panel command with its data, a sprite of a point).
//
// It plays through a FollowerHost: the level harness's world (frames of
// the world, input straight to the level) or the running game's (a frame
// of the program, input through the game as the platform delivers it).
//
// It records the trace of the steps that became active and, for each, the
// step a save made then would resume at. The world's frames are 20 ms;
// the level and its windows are drawn every `drawEvery` frames (effects
// that run as they are drawn move on then).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "base/DataBuffer.h"
#include "base/DataCursor.h"
#include "base/LittleEndian.h"
#include "engine/DXLViewer.h"
#include "level/map/BaseLevelPoint.h"
#include "level/map/LevelMap.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelView.h"
#include "level/scene/GameLevel.h"
#include "level/scene/LevelInput.h"
#include "resources/ResourceServices.h"
#include "testsupport/LevelHarness.h"
#include "tutorials/GameTutorial.h"
#include "tutorials/TutorialArrow.h"
#include "tutorials/TutorialInfo.h"
#include "tutorials/TutorialLayer.h"
#include "tutorials/TutorialMaker.h"
#include "tutorials/TutorialTargets.h"
#include "hud/ActiveScreenSprite.h"
#include "ui/GameButton.h"
#include "ui/GameWindow.h"
#include "ui/WindowManager.h"

namespace testsupport {

// The level of the index opened with the hooks (the harness's profile in
// them), its tutorial made by `maker` and started with the level.
inline GameLevel& OpenTutorialLevel(leveltest::LevelHarness& h, TutorialMaker& maker, i32 index,
                                    const LevelSetup& setup, GameLevelHooks hooks) {
  hooks.rules.profile = &h.profile;
  GameLevel* level = h.world.OpenLevel(index, setup, hooks);
  maker.SetLevel(level);
  h.LoadAll();
  h.Enter();
  h.Start();
  return *level;
}

// What the follower plays on: the level, a 20 ms frame, a drawing of the
// scene, the pointer moved and a left click (screen coordinates).
class FollowerHost {
 public:
  virtual ~FollowerHost() = default;
  virtual GameLevel* Level() = 0;
  virtual void Frame() = 0;
  virtual void Draw() = 0;
  virtual void Move(i32 x, i32 y) = 0;
  virtual void Click(i32 x, i32 y) = 0;
};

// The level harness's world: input straight to the level's.
class HarnessFollowerHost : public FollowerHost {
 public:
  explicit HarnessFollowerHost(leveltest::LevelHarness& h) : h_(h) {}
  GameLevel* Level() override { return h_.Level(); }
  void Frame() override { h_.world.Frame(20); }
  void Draw() override {
    DXLViewer* viewer = GetGameViewer();
    if (!viewer || viewer->BeginFrame() != 0) return;
    viewer->Clear(0xFF000000u);
    h_.world.Draw();
    viewer->Present();
  }
  void Move(i32 x, i32 y) override { h_.Level()->Input().OnMouseMove(x, y, 0, 0); }
  void Click(i32 x, i32 y) override {
    h_.Level()->Input().OnMouseDown(x, y, kMouseLeft, 0);
    h_.Level()->Input().OnMouseUp(x, y, kMouseLeft, 0);
  }

 private:
  leveltest::LevelHarness& h_;
};

class TutorialFollower {
 public:
  // An override acts for its step instead of the follower's choice; true
  // when it did something (the follower then rests a moment).
  using Action = std::function<bool(TutorialFollower&)>;

  explicit TutorialFollower(leveltest::LevelHarness& h, u32 drawEvery = 4)
      : own_(std::make_unique<HarnessFollowerHost>(h)), h_(*own_), drawEvery_(drawEvery) {}
  explicit TutorialFollower(FollowerHost& host, u32 drawEvery = 4) : h_(host), drawEvery_(drawEvery) {}

  void Override(TutorialId step, Action action) { overrides_[step] = std::move(action); }
  // Called once a frame after the trace is noted (a test's own check or action).
  std::function<void(TutorialFollower&)> everyFrame;
  // Told of every pointer move and click the follower makes (screen
  // coordinates), with the milliseconds of frames played before it: a
  // replay of the same play can be written from them.
  std::function<void(u32 ms, i32 x, i32 y, bool click)> onPointer;

  // Frames until the tutorial has ended (none current) or `limitMs` of game
  // time passed; true when it ended.
  bool Run(u32 limitMs) {
    for (u32 t = 0; t < limitMs; t += kFrame) {
      GameTutorial* tutorial = GetCurrentTutorial();
      if (!tutorial) return true;
      Note(tutorial);
      if (everyFrame) everyFrame(*this);
      tutorial = GetCurrentTutorial();  // the hook may have left the level or stopped it
      if (!tutorial) return true;
      if (rest_ > 0) {
        rest_ = rest_ > kFrame ? rest_ - kFrame : 0;
      } else if (TutorialStep* step = tutorial->GetCurrentStep()) {
        auto o = overrides_.find(step->GetId());
        const bool acted = o != overrides_.end() ? o->second(*this) : Follow(step);
        if (acted) rest_ = kRest;
      }
      Frame();
    }
    return GetCurrentTutorial() == nullptr;
  }

  // One 20 ms frame of the world, drawn every `drawEvery` frames.
  void Frame() {
    h_.Frame();
    if (++frames_ % drawEvery_ == 0) Draw();
  }
  void Draw() { h_.Draw(); }

  // --- What a player does -------------------------------------------------------------------------
  void ClickAt(i32 x, i32 y) {
    Pointer(x, y, false);
    h_.Move(x, y);
    Frame();
    Pointer(x, y, true);
    h_.Click(x, y);
  }
  bool ClickButton(GameWindow* window, GameButton* button) {
    if (!window || !button || !button->IsEnabled()) return false;
    const DXLRECT& r = button->GetRect();
    kis::IntPoint p{};
    window->ClientToScreen(&p, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ClickAt(p.x, p.y);
    return true;
  }
  bool ClickPoint(i32 index) {
    BaseLevelPoint* point = h_.Level()->Map().GetPoint(index);
    if (!point) return false;
    i32 x = point->GetX(), y = point->GetY();
    h_.Level()->Rules().View().MapToScreen(&x, &y);
    ClickAt(x, y);
    return true;
  }
  // A sprite of the head-up display, once it has come up.
  bool ClickSprite(ScreenSprite* sprite) {
    auto* s = dynamic_cast<ActiveScreenSprite*>(sprite);
    if (!s || !s->IsActive()) return false;
    DXLRECT r{};
    s->GetScreenRect(&r);
    const i32 x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    Pointer(x, y, false);
    h_.Move(x, y);
    for (i32 n = 0; n < 3; ++n) Frame();
    Pointer(x, y, true);
    h_.Click(x, y);
    return true;
  }
  // A click on the layer where it catches clicks (off the level panel and
  // the windows above it).
  bool ClickLayer(TutorialLayer* layer) {
    const GAMESCREENAREA& screen = GetResourceServices().screen;
    const i32 spots[][2] = {{screen.width / 2, screen.height / 3}, {screen.width / 4, screen.height / 2},
                            {screen.width * 3 / 4, screen.height / 2}, {screen.width / 2, 40}, {40, 40}};
    WindowManager* windows = GetWindowManager();
    for (const auto& s : spots)
      if (windows && windows->FindWindowAt(s[0], s[1]) == layer) {
        ClickAt(s[0], s[1]);
        return true;
      }
    return false;
  }
  // The action a target stands for, when the tutorial lets it through.
  bool Act(TutorialTarget* target) {
    if (!target) return false;
    if (auto* b = dynamic_cast<TutTargetButton*>(target)) {
      GameWindow* window = nullptr;
      GameButton* button = b->FindControl(&window);
      if (!button || !TutorialAllowAction(kTutorialActionButton, window->GetId(), button)) return false;
      return ClickButton(window, button);
    }
    if (auto* p = dynamic_cast<TutTargetLevelPoint*>(target)) {
      BaseLevelPoint* point = h_.Level()->Map().GetPoint(p->GetPointIndex());
      if (!TutorialAllowAction(kTutorialActionSelect, static_cast<uintptr_t>(p->GetPointIndex()), point)) return false;
      return ClickPoint(p->GetPointIndex());
    }
    if (auto* s = dynamic_cast<TutTargetScreenSprite*>(target)) {
      auto* sprite = dynamic_cast<ActiveScreenSprite*>(s->GetSprite());
      if (!sprite || !TutorialAllowAction(kTutorialActionHover, sprite->GetActionCode(), sprite)) return false;
      return ClickSprite(sprite);
    }
    return false;  // a computed point: nothing to click
  }

  // The layer when it catches clicks, else its first arrow's target, else
  // its first text's (shown, not hiding).
  bool Follow(TutorialStep* step) {
    TutorialLayer* layer = step->GetLayer();
    if (!layer || layer->GetState() < kLayerShowing || layer->GetState() >= kLayerHiding) return false;
    // A player reads the hint first: nothing while its pieces still fade in.
    for (i32 i = 0; i < layer->Arrows().GetCount(); ++i) {
      TutorialArrow* a = layer->Arrows().Get(i);
      if (a->GetState() < kLayerShown && a->GetTarget() && a->GetTarget()->IsValid()) return false;
    }
    for (i32 i = 0; i < layer->Texts().GetCount(); ++i) {
      TutorialInfo* t = layer->Texts().Get(i);
      if (t->GetState() < kLayerShown && t->GetTarget() && t->GetTarget()->IsValid()) return false;
    }
    if (layer->GetClickCount() > 0) return ClickLayer(layer);
    for (i32 i = 0; i < layer->Arrows().GetCount(); ++i) {
      TutorialArrow* a = layer->Arrows().Get(i);
      if (a && a->GetState() < kLayerHiding && a->GetTarget() && a->GetTarget()->IsValid()) return Act(a->GetTarget());
    }
    for (i32 i = 0; i < layer->Texts().GetCount(); ++i) {
      TutorialInfo* t = layer->Texts().Get(i);
      if (t && t->GetState() < kLayerHiding && t->GetTarget() && t->GetTarget()->IsValid()) return Act(t->GetTarget());
    }
    return false;
  }

  // The current step of the running tutorial once its hint has shown whole
  // (its first text and every arrow faded in, not hiding); null before.
  static TutorialStep* ShownStep() {
    GameTutorial* t = GetCurrentTutorial();
    TutorialStep* step = t ? t->GetCurrentStep() : nullptr;
    TutorialLayer* layer = step ? step->GetLayer() : nullptr;
    if (!layer || layer->GetState() >= kLayerHiding || layer->Texts().GetCount() < 1 ||
        layer->Texts().Get(0)->GetState() != kLayerShown)
      return nullptr;
    for (i32 i = 0; i < layer->Arrows().GetCount(); ++i)
      if (layer->Arrows().Get(i)->GetState() != kLayerShown) return nullptr;  // still fading in
    return step;
  }

  // The step a save made now resumes at (0 when it would not save).
  static TutorialId SavedResumeStep(GameTutorial* tutorial) {
    kis::DataCursor w;
    kis::LevelSaveInfo info{};
    if (!tutorial || !w.Begin(info) || !tutorial->Save(&w)) return 0;
    const kis::DataBuffer* b = w.GetBuffer();
    return w.GetDataPosition() >= 16 ? kis::GetU32LE(b->Data() + 12) : 0;
  }

  FollowerHost& Host() { return h_; }
  u32 Ms() const { return frames_ * kFrame; }  // of the frames played
  const std::vector<TutorialId>& Trace() const { return trace_; }
  // Per step of the trace, the step its save resumed at.
  const std::map<TutorialId, TutorialId>& Resumes() const { return resumes_; }

 private:
  static constexpr u32 kFrame = 20;
  static constexpr u32 kRest = 300;

  void Pointer(i32 x, i32 y, bool click) {
    if (onPointer) onPointer(frames_ * kFrame, x, y, click);
  }
  // A newly active step joins the trace; its save's resume step is kept.
  void Note(GameTutorial* tutorial) {
    TutorialStep* step = tutorial->GetCurrentStep();
    if (!step || step == last_) return;
    last_ = step;
    trace_.push_back(step->GetId());
    resumes_[step->GetId()] = SavedResumeStep(tutorial);
  }

  std::unique_ptr<FollowerHost> own_;
  FollowerHost& h_;
  u32 drawEvery_;
  u32 frames_ = 0;
  u32 rest_ = 0;
  const TutorialStep* last_ = nullptr;
  std::map<TutorialId, Action> overrides_;
  std::vector<TutorialId> trace_;
  std::map<TutorialId, TutorialId> resumes_;
};

}  // namespace testsupport
