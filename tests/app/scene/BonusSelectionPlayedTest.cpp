// A newly unlocked bonus in the running game on the sample data set
// (headless, hints off, every step by the player's clicks and keys): level
// 2 won through its window unlocks the bees, which fill the first slot of
// the easy regime's selection; level 3's window shows them chosen, its
// "play" starts the day with the bees' button charging; a restart after the
// choice was emptied starts without them; the profile file holds the bees.
#include <gtest/gtest.h>

#include "RunningGame.h"
#include "app/LevelSelectMap.h"
#include "app/MapNodes.h"
#include "app/ProfileFiles.h"
#include "level/rules/LevelRules.h"
#include "level/scene/GameLevel.h"
#include "windows/LevelMenuHandler.h"
#include "ui/WindowManager.h"
#include "windows/LevelPanelHost.h"
#include "windows/LevelResultWindow.h"
#include "windows/LevelWindow.h"
#include "windows/MenuWindow.h"

namespace {

constexpr i32 kBees = 0;

// A left click at a screen point, moved over first (the map hovers on moves).
void ClickAt(RunningGame& run, i32 x, i32 y) {
  run.game.MouseMove(x, y, 0, 0);
  run.Frame();
  run.game.MouseDown(x, y, kMouseLeft, 0);
  run.game.MouseUp(x, y, kMouseLeft, 0);
  for (int i = 0; i < 5; ++i) run.Frame();
}

// The map's node of `level` clicked: its level window, shown.
LevelWindow* OpenLevelWindow(RunningGame& run, i32 level) {
  LevelSelectMap* map = run.game.Map();
  if (!map || !map->GetNode(level)) return nullptr;
  const DXLPOINT node = map->ToScreen(map->GetNode(level)->GetX(), map->GetNode(level)->GetY());
  ClickAt(run, node.x, node.y);
  for (int i = 0; i < 30; ++i) run.Frame();  // the show effect
  return FindWindowOf<LevelWindow>();
}

// The centre of a window's control on the screen.
kis::IntPoint ControlCentre(const GameWindow& window, const GameButton& control) {
  const DXLRECT& r = control.GetRect();
  kis::IntPoint at;
  window.ClientToScreen(&at, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  return at;
}

TEST(BonusSelectionPlayed, BeesEarnedOnLevelTwoAreChosenForLevelThreeAndKeptInTheFile) {
  if (SampleDataFolder().empty()) GTEST_SKIP() << "no sample data set";
  RunningGame run;
  ASSERT_TRUE(run.ok);
  ASSERT_TRUE(run.RunTo(kGameStateMainScreen));
  run.NameFirstProfile(u"Bea");
  Profile* profile = run.game.Profiles()->GetCurrent();
  ASSERT_NE(profile, nullptr);
  profile->SetTutorials(false);
  LEVELRESULT result;
  profile->RecordUnplayedResult(0, &result);  // level 1 behind her: level 2 open
  run.game.ChooseRegime();
  ASSERT_TRUE(run.RunTo(kGameStateLevelMap));
  for (int i = 0; i < 100; ++i) run.Frame();

  // Level 2's window: no bonus owned, no bonus area; "play" starts it.
  LevelWindow* window = OpenLevelWindow(run, 1);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->GetAvailableBonuses(), 0u);
  EXPECT_EQ(window->GetSlot(0), nullptr);
  const GameButton* play = window->FindControl(kLevelWindowPlay, 0);
  ASSERT_NE(play, nullptr);
  kis::IntPoint at = ControlCentre(*window, *play);
  ClickAt(run, at.x, at.y);
  ASSERT_TRUE(run.RunTo(kGameStateLevel));
  GameLevel* level = run.game.World().Level();
  ASSERT_NE(level, nullptr);
  EXPECT_EQ(level->GetChosenBonuses().count, 0u);

  // The day won; the result window's Enter (skip) and Enter (leave).
  ClickAt(run, 400, 300);  // the day starts
  level->Rules().Tasks().Win(0);
  for (int i = 0; i < 60 && !FindWindowOf<LevelResultWindow>(); ++i) run.Frame();
  ASSERT_NE(FindWindowOf<LevelResultWindow>(), nullptr);
  for (int i = 0; i < 10 && run.game.State() == kGameStateLevel; ++i) {
    run.game.KeyDown(plat::DIK_RETURN, 0);
    run.game.KeyUp(plat::DIK_RETURN, 0);
    for (int f = 0; f < 20; ++f) run.Frame();
  }
  ASSERT_TRUE(run.RunTo(kGameStateLevelMap));
  ASSERT_TRUE(profile->HasBonus(kBees));
  const BONUSSELECTION& kept = profile->GetBonusSelection(0);
  EXPECT_EQ(kept.count, 1u);
  EXPECT_EQ(kept.slots[0], kBees);
  EXPECT_EQ(profile->GetBonusSelection(1).count, 0u) << "the hard regime's choice is its own";
  for (int i = 0; i < 200; ++i) run.Frame();  // the map's result animation

  // Level 3's window: the bees in the first slot, enabled, the others empty;
  // "play" takes them into the day.
  window = OpenLevelWindow(run, 2);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->GetAvailableBonuses(), 1u);
  EXPECT_EQ(window->GetSelectButton(), nullptr);
  ASSERT_NE(window->GetSlot(0), nullptr);
  EXPECT_EQ(window->GetSlot(0)->GetBonus(), kBees);
  EXPECT_EQ(window->GetSlot(1)->GetBonus(), -1);
  EXPECT_EQ(window->GetSlot(2)->GetBonus(), -1);
  EXPECT_TRUE(run.Shot("level3_window_bees.png"));
  play = window->FindControl(kLevelWindowPlay, 0);
  ASSERT_NE(play, nullptr);
  at = ControlCentre(*window, *play);
  ClickAt(run, at.x, at.y);
  ASSERT_TRUE(run.RunTo(kGameStateLevel));
  level = run.game.World().Level();
  ASSERT_NE(level, nullptr);
  EXPECT_EQ(level->GetLevelIndex(), 2);
  ASSERT_EQ(level->Rules().GetChosenBonuses().count, 1u);
  EXPECT_EQ(level->Rules().GetChosenBonuses().slots[0], static_cast<u32>(kBees));
  EXPECT_NE(level->Rules().Bonuses().GetSlot(kBees).available, 0u);
  EXPECT_EQ(level->Rules().Bonuses().GetSlot(1).available, 0u);

  // The profile file as the next start reads it: the choice and the bees.
  PROFILEHEADER header;
  PROFILEPROGRESS progress;
  ASSERT_TRUE(ReadProfileFile(profile->GetPath(), &header, &progress));
  EXPECT_EQ(progress.selection[0].count, 1u);
  EXPECT_EQ(progress.selection[0].slots[0], kBees);
  EXPECT_NE(progress.regimes[0].bonuses[kBees], 0u);

  // The choice emptied meanwhile (as the bonuses window can), then the
  // menu's restart and its window's "restart": the new day starts without.
  profile->SetBonusSelection(0, BONUSSELECTION{0, {-1, -1, -1}});
  ClickAt(run, 400, 300);  // the day starts
  run.game.World().Panel()->OpenMenu(false);
  for (int i = 0; i < 20; ++i) run.Frame();
  MenuWindow* menu = GetOpenMenuWindow();
  ASSERT_NE(menu, nullptr);
  const GameButton* restart = menu->FindControl(kMenuRestart, 0);
  ASSERT_NE(restart, nullptr);
  at = ControlCentre(*menu, *restart);
  ClickAt(run, at.x, at.y);
  for (int i = 0; i < 30; ++i) run.Frame();
  window = FindWindowOf<LevelWindow>();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->GetSlot(0)->GetBonus(), -1);
  restart = window->FindControl(kLevelWindowRestart, 0);
  ASSERT_NE(restart, nullptr);
  at = ControlCentre(*window, *restart);
  ClickAt(run, at.x, at.y);
  for (int i = 0; i < 60; ++i) run.Frame();  // the fade over the restart
  EXPECT_EQ(level->Rules().GetChosenBonuses().count, 0u);
  EXPECT_EQ(level->Rules().Bonuses().GetSlot(kBees).available, 0u);
  level->ExitToMap();
  ASSERT_TRUE(run.RunTo(kGameStateLevelMap));
}

}  // namespace
