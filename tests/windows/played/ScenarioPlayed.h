// ScenarioPlayed - the fixture of the scenario levels played through the
// level scene and the level panel: one level of the scenario data set (or
// of the sample set, for the campaign's own levels) opened by the game's
// world with its saved levels kept in a store, clicks on the screen and on
// the panel's buttons, and the level left and entered again.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/DataBuffer.h"
#include "engine/DXLViewer.h"
#include "resources/ResourceServices.h"
#include "ui/UiServices.h"
#include "ui/WindowManager.h"
#include "level/scene/GameLevel.h"
#include "level/state/GameLevelSaves.h"
#include "testsupport/LevelHarness.h"
#include "testsupport/SavedLevelStore.h"
#include "hud/ActiveScreenSprite.h"
#include "content/BuildingTable.h"
#include "windows/EmptyPlacePanels.h"
#include "windows/LevelPanel.h"
#include "windows/LevelPanelHost.h"

namespace windowstest {

// A screen sprite of the level (a button over a point) clicked in its
// middle once it has appeared (its show effect runs as it is drawn) and
// the pointer has rested on it.
inline void ClickScreenSprite(leveltest::LevelHarness& h, const ActiveScreenSprite* s) {
  ASSERT_NE(s, nullptr);
  for (i32 n = 0; n < 100 && !s->IsActive(); ++n) h.Step(20, 20, true);
  ASSERT_TRUE(s->IsActive());
  DXLRECT r{};
  s->GetScreenRect(&r);
  const i32 x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
  h.Level()->Input().OnMouseMove(x, y, 0, 0);
  h.Step(60);
  h.Level()->Input().OnMouseDown(x, y, kMouseLeft, 0);
  h.Step(20);
  h.Level()->Input().OnMouseUp(x, y, kMouseLeft, 0);
  h.Step(20);
}

class ScenarioPlayed : public ::testing::Test {
 protected:
  // The level's index in the set, its regime (0 easy, 1 hard); the
  // language read when asked (the panel's texts and the hints' fonts); the
  // data set's folder.
  explicit ScenarioPlayed(i32 level, i32 regime = 0, bool language = false,
                          const std::string& folder = leveltest::ScenarioDataFolder(), u32 width = 800,
                          u32 height = 600)
      : h(folder, width, height, language),
        saves(&store, &store, nullptr),
        level_(level),
        regime_(regime) {}

  // Opened, loaded and entered (not started).
  GameLevel& Make() {
    GameLevelHooks hooks;
    hooks.rules.profile = &h.profile;
    hooks.villains = &h.villains;
    hooks.saves = &saves;
    LevelSetup setup;
    setup.regime = regime_;
    GameLevel* level = h.world.OpenLevel(level_, setup, hooks);
    host = h.world.Panel();
    h.LoadAll();
    h.Enter();
    return *level;
  }
  // A click at a screen point, then a 20 ms frame.
  void Click(i32 x, i32 y) {
    h.Level()->Input().OnMouseMove(x, y, 0, 0);
    h.Level()->Input().OnMouseDown(x, y, kMouseLeft, 0);
    h.Level()->Input().OnMouseUp(x, y, kMouseLeft, 0);
    h.Step(20);
  }
  // Frames of 20 ms for `ms`, each drawing the level and the windows over
  // it (a window's show and hide effects run as it is drawn).
  void DrawnFrames(u32 ms) {
    DXLViewer* viewer = GetGameViewer();
    for (u32 t = 0; t < ms; t += 20) {
      h.Step(20);
      ASSERT_EQ(viewer->BeginFrame(), 0);
      viewer->Clear(0xFF000000u);
      h.Level()->Draw();
      viewer->LoadIdentity(nullptr);
      viewer->ResetWorldTransform();
      GetUiServices().windowManager->Draw();
      ASSERT_EQ(viewer->Present(), 0);
    }
  }
  // After `settle` ms of drawn frames, the last frame written to a PNG for
  // a person to look at.
  void Shoot(const char* name, u32 settle = 400) {
    DrawnFrames(settle < 20 ? 20 : settle);
    EXPECT_TRUE(h.WritePng(name));
  }
  // 10 ms steps until the test holds; the ms it took (-1: not within the limit).
  template <class F>
  i32 MsUntil(F done, i32 limitMs = 120000) {
    for (i32 t = 0; t <= limitMs; t += 10) {
      if (done()) return t;
      h.Step(10, 10);
    }
    return -1;
  }
  // The place clicked, the factories' category, then the factory `kind`.
  void BuildFactory(i32 place, const wchar* kind) {
    i32 x = h.Level()->GetInfo()->points[place].x, y = h.Level()->GetInfo()->points[place].y;
    h.MapToScreen(&x, &y);
    Click(x, y);
    auto* categories = dynamic_cast<EmptyPointPanel*>(host->GetPanel()->GetCurrentChild());
    ASSERT_NE(categories, nullptr) << "the place at " << x << ", " << y << " not selected";
    const GameButton* factories = nullptr;
    for (const LevelPanelButton* b : categories->RowButtons())
      if (b && b->GetId() == kPanelOpenFactories) factories = b;
    ClickButton(factories);
    auto* build = dynamic_cast<BuildPanel*>(host->GetPanel()->GetCurrentChild());
    ASSERT_NE(build, nullptr);
    const GameButton* button = nullptr;
    for (const LevelPanelButton* b : build->RowButtons())
      if (b && b->GetRecord() == FindBuildingByName(kind)) button = b;
    ClickButton(button);
  }
  void ClickButton(const GameButton* b) {
    ASSERT_NE(b, nullptr);
    const DXLRECT& panel = host->GetPanel()->GetRect();
    const DXLRECT& r = b->GetRect();
    Click(panel.left + (r.left + r.right) / 2, panel.top + (r.top + r.bottom) / 2);
  }
  // Left and entered again, then started: the saved bytes of both
  // leavings are the same.
  void LeaveAndEnterEqual() {
    GameLevel& level = *h.Level();
    level.Leave();
    ASSERT_NE(store.slots[regime_][level_], nullptr);
    const std::vector<u8> first = Saved();
    h.Enter();
    level.Leave();
    EXPECT_EQ(Saved(), first);
    h.Enter();
    h.Start();
  }

  leveltest::LevelHarness h;
  testsupport::SavedLevelStore store;
  GameLevelSaves saves;
  LevelPanelHost* host = nullptr;

 private:
  // The stored level's data, then its records.
  std::vector<u8> Saved() const {
    const kis::DataBuffer* b = store.slots[regime_][level_];
    if (!b) return {};
    std::vector<u8> v(b->Data(), b->Data() + b->dataSize);
    v.insert(v.end(), b->Records(), b->Records() + b->recordSize);
    return v;
  }

  i32 level_;
  i32 regime_;
};

}  // namespace windowstest
