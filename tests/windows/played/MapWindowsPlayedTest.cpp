// The map's windows over the sample level, drawn for a person to look at:
// the level window in mode 1 with three bonuses chosen (level_window.png)
// the medals panel in both variants (medals_panel.png) and the bonuses
// window with five bonuses owned and two chosen (bonuses_window.png), its
// panels' white texts readable in every state and the chosen ones' check
// marks plain to see.
#include <gtest/gtest.h>

#include "../FakeMapProfile.h"
#include "engine/DXLViewer.h"
#include "level/scene/GameLevel.h"
#include "resources/ResourceServices.h"
#include "testsupport/Contrast.h"
#include "testsupport/LevelHarness.h"
#include "ui/UiServices.h"
#include "ui/WindowManager.h"
#include "windows/BonusesWindow.h"
#include "windows/LevelWindow.h"
#include "windows/MapMedalsPanel.h"
#include "windows/WindowServices.h"

namespace windowstest {
namespace {

class MapWindows : public ::testing::Test {
 protected:
  MapWindows() : h(leveltest::SampleDataFolder(), 800, 600, true) {
    GameLevelHooks hooks;
    hooks.rules.profile = &h.profile;
    level = h.world.OpenLevel(0, LevelSetup{}, hooks);
    h.LoadAll();
    h.Enter();
    GetWindowServices().mapProfile = &profile;
  }
  ~MapWindows() override { GetWindowServices().mapProfile = nullptr; }
  // Frames of the level and the windows over it (their drop-in plays as
  // they are drawn), the last with the given drawing; then the picture.
  template <class F>
  void Shoot(const char* name, F over) {
    DXLViewer* viewer = GetGameViewer();
    for (i32 i = 0; i < 20; ++i) {
      h.Step(20);
      ASSERT_EQ(viewer->BeginFrame(), 0);
      viewer->Clear(0xFF000000u);
      level->Draw();
      viewer->LoadIdentity(nullptr);
      viewer->ResetWorldTransform();
      GetUiServices().windowManager->Draw();
      if (i == 19) over();
      ASSERT_EQ(viewer->Present(), 0);
    }
    EXPECT_TRUE(h.WritePng(name));
  }

  leveltest::LevelHarness h;
  GameLevel* level = nullptr;
  FakeMapProfile profile;
};

TEST_F(MapWindows, LevelWindowInModeOneWithThreeBonuses) {
  profile.regime = 1;
  profile.owned = 3;
  profile.selection[1] = BONUSSELECTION{3, {0, 1, 2}};
  profile.levels[1][0] = {5, 74000};
  auto* window = new LevelWindow(0, kLevelWindowFromMap, nullptr);
  EXPECT_EQ(window->GetRows(), 3);
  EXPECT_EQ(window->GetSlot(2)->GetBonus(), 2);
  Shoot("level_window.png", [] {});
}

TEST_F(MapWindows, BonusesWindowWithFiveOwnedAndTwoChosen) {
  profile.owned = 5;
  BONUSSELECTION choice{2, {4, 1, -1}};
  auto* window = new BonusesWindow(0, &choice);
  ASSERT_EQ(window->Panels().size(), 5u);
  EXPECT_TRUE(window->HasClosingPiece());
  // One panel hovered and one pressed: each panel's white name and
  // description read on its face at 4.5:1 and more, chosen or not, in
  // every state's tint.
  window->Panels()[0]->State().SetState(kStateHover, true, 0);
  window->Panels()[1]->State().SetState(kStatePressed, true, 0);
  Shoot("bonuses_window.png", [] {});
  const std::vector<u32> frame = h.Frame();
  for (const BonusWindowPanel* panel : window->Panels()) {
    const DXLRECT& r = panel->GetRect();
    kis::IntPoint a, b;
    window->ClientToScreen(&a, r.left + 50, r.top + 6);
    window->ClientToScreen(&b, r.right - 50, r.bottom - 6);
    EXPECT_GE(testsupport::TextContrast(frame, 800, DXLRECT{a.x, a.y, b.x, b.y}, 0xFFFFFFu), 4.5)
        << "panel of bonus " << panel->GetBonus();
    // A chosen panel's check mark (24 x 22 at the panel's width less 43,
    // 7 down), white in the frame's colour: its brightest colour at 3:1 and
    // more against what lies round it.
    if (!panel->IsChecked()) continue;
    window->ClientToScreen(&a, r.right - 43, r.top + 7);
    const DXLRECT mark{a.x, a.y, a.x + 24, a.y + 22};
    u32 core = 0;
    for (i32 y = mark.top; y < mark.bottom; ++y)
      for (i32 x = mark.left; x < mark.right; ++x) {
        const u32 c = frame[static_cast<size_t>(y) * 800 + static_cast<size_t>(x)];
        if (testsupport::RelativeLuminance(c) > testsupport::RelativeLuminance(core)) core = c;
      }
    EXPECT_GE(testsupport::TextContrast(frame, 800, mark, core), 3.0) << "check mark of bonus " << panel->GetBonus();
  }
}

TEST_F(MapWindows, MedalsPanelInBothVariants) {
  profile.medals[0] = 3;
  profile.medals[1] = 7;
  profile.medals[2] = 12;
  MapMedalsPanel map(0, 0, 0, 0, 0);
  MapMedalsPanel awards(0, 0, 0, 0, 1);
  map.Refresh(0);
  awards.Refresh(0);
  awards.SetCaption(u"Medals won");
  map.SetDrawPosition(40.0f, 120.0f);
  awards.SetDrawPosition(40.0f, 220.0f);
  EXPECT_EQ(map.GetCount(2), 12u);
  Shoot("medals_panel.png", [&] {
    map.Draw();
    awards.Draw();
  });
}

}  // namespace
}  // namespace windowstest
