// The result window's reveal on the game clock: the marks at
// 1000, 1400 and 1800 ms, the record swap from 2200 ms, then the medal;
// Enter in the middle shows the end and leaves; a click hurries the medal
// to 250 ms and keeps the window; mode 0 hides bronze. And the level panel
// host as the level's windows: a won level's result window leading out,
// the restart offers opening the level window in both forms.
#include <gtest/gtest.h>

#include "PanelRig.h"
#include "resources/ResourceServices.h"
#include "ui/WindowManager.h"
#include "windows/LevelPanelHost.h"
#include "windows/LevelResultWindow.h"
#include "windows/LevelWindow.h"
#include "testsupport/WindowDoor.h"

namespace windowstest {
namespace {

class ResultWindowTest : public ::testing::Test {
 protected:
  ResultWindowTest() {
    for (const wchar* name : {u"level_uncompl", u"gold_medal", u"silver_medal", u"bronze_medal"})
      rig.AddPicture(1, name, 84, 108);
    tick = rig.AddPicture(2, u"big_tick", 32, 32);
    rig.AddPicture(1, u"red_cross_big", 26, 32);
  }
  LevelResultWindow& Open(LEVELRESULT record) {
    start = GetResourceServices().clock;
    window = new LevelResultWindow(record, [this] { ++exits; });
    return *window;
  }
  void At(u32 ms) { GetResourceServices().clock = start + ms; }
  static LEVELRESULT Won(i32 regime, i32 grade, u32 flags) {
    LEVELRESULT r;
    r.level = 0;
    r.flags = flags;
    r.regime = regime;
    r.limits[0] = 180000;
    r.limits[1] = 120000;
    r.limits[2] = 60000;
    r.grade = grade;
    r.previousBest = flags & 1 ? 0 : 100000;
    r.time = 90000;
    return r;
  }

  PanelRig rig;
  Sprite* tick = nullptr;
  LevelResultWindow* window = nullptr;
  u32 start = 0;
  i32 exits = 0;
};

// Silver in mode 1, a new record: gold crossed first, then the ticks.
TEST_F(ResultWindowTest, TheRevealRunsMarksRecordThenMedal) {
  Open(Won(1, 5, 1));
  EXPECT_TRUE(window->IsColumnShown(0));
  EXPECT_FALSE(window->IsTick(2));
  EXPECT_TRUE(window->IsTick(1));
  EXPECT_TRUE(window->IsTick(0));
  EXPECT_EQ(window->GetGauge().GetValue(), 90000u);
  At(999);
  EXPECT_FALSE(window->IsMarkRevealed(2));
  At(1000);
  EXPECT_TRUE(window->IsMarkRevealed(2));
  EXPECT_FALSE(window->IsMarkRevealed(1));
  At(1400);
  EXPECT_TRUE(window->IsMarkRevealed(1));
  EXPECT_FALSE(window->IsMarkRevealed(0));
  At(1800);
  EXPECT_TRUE(window->IsMarkRevealed(0));
  EXPECT_TRUE(window->IsRecordRowShown());
  EXPECT_FALSE(window->IsNewRecordRowShown());
  At(2399);
  EXPECT_TRUE(window->IsRecordRowShown());
  At(2400);
  EXPECT_FALSE(window->IsRecordRowShown());
  EXPECT_TRUE(window->IsNewRecordRowShown());
  At(2799);
  EXPECT_EQ(window->GetMedalProgress(), 0.0f);
  EXPECT_TRUE(window->IsShowing());
  At(2900);
  EXPECT_FLOAT_EQ(window->GetMedalProgress(), 0.5f);
  EXPECT_TRUE(window->IsUncompletedShown());
  At(3000);
  EXPECT_FALSE(window->IsShowing());
  EXPECT_FALSE(window->IsUncompletedShown());
  EXPECT_EQ(exits, 0);
  delete window;
}

// Mode 0 without a new record: no bronze column, the medal after 2200 ms;
// a double click at 1100 ms shows every mark at its last frame and brings the
// medal 250 ms later; Enter then leaves once.
TEST_F(ResultWindowTest, AClickHurriesAndEnterLeaves) {
  Open(Won(0, 6, 0));
  testsupport::PlaceWindow(*window);
  testsupport::Settle(*window);
  EXPECT_FALSE(window->IsColumnShown(0));
  EXPECT_FALSE(window->IsMarkRevealed(0));
  EXPECT_TRUE(window->IsRecordRowShown());
  At(1100);
  EXPECT_EQ(window->GetMarkFrame(2), 0);  // a one-frame tick
  const kis::IntPoint inside = testsupport::OnScreen(*window, 20, 20);
  rig.manager->OnDoubleClick(inside.x, inside.y, kMouseLeft);  // through the window manager
  EXPECT_TRUE(window->IsMarkRevealed(1));
  EXPECT_FALSE(window->IsUncompletedShown());
  EXPECT_TRUE(window->IsShowing());
  At(1225);
  EXPECT_FLOAT_EQ(window->GetMedalProgress(), 0.5f);
  At(1350);
  EXPECT_FALSE(window->IsShowing());
  EXPECT_TRUE(window->IsRecordRowShown());
  EXPECT_FALSE(window->IsNewRecordRowShown());
  EXPECT_EQ(exits, 0);
  delete window;

  Open(Won(1, 4, 1));
  At(1500);
  EXPECT_TRUE(window->OnKeyDown(kKeyEnter, 0));
  EXPECT_EQ(exits, 1);
  EXPECT_FALSE(window->IsShowing());
  EXPECT_EQ(window->GetMedalProgress(), 1.0f);
  EXPECT_TRUE(window->IsMarkRevealed(0));
  EXPECT_TRUE(window->IsNewRecordRowShown());
  EXPECT_FALSE(window->IsRecordRowShown());
  delete window;
}

// The host: a won level opens the result window once, whose Enter leaves
// through the level's way out (recorded without one); the restart offer
// after a loss opens the play form with "to_map", whose cancel leaves; the
// menu's restart form only closes on cancel and restarts on start.
TEST_F(ResultWindowTest, TheHostOpensTheLevelsWindows) {
  LevelPanelHost& host = rig.host;
  host.OpenResultWindow(Won(0, 5, 0));
  LevelResultWindow* result = FindWindowOf<LevelResultWindow>();
  ASSERT_NE(result, nullptr);
  host.OpenResultWindow(Won(0, 5, 0));
  EXPECT_EQ(FindWindowOf<LevelResultWindow>(), result);
  result->OnKeyDown(kKeyEnter, 0);
  EXPECT_TRUE(host.HasExited());
  delete result;

  i32 restarts = 0, leaves = 0;
  host.SetLevelActions([&] { ++leaves; }, [&] { ++restarts; });
  host.OfferRestart();  // from the menu: the level is not lost
  LevelWindow* levelWindow = FindWindowOf<LevelWindow>();
  ASSERT_NE(levelWindow, nullptr);
  EXPECT_EQ(levelWindow->GetKind(), kLevelWindowRestartForm);
  levelWindow->OnKeyDown(kKeyEscape, 0);
  levelWindow->OnKeyDown(kKeyEnter, 0);
  EXPECT_EQ(leaves, 0);
  EXPECT_EQ(restarts, 1);
  delete levelWindow;

  rig.MakeLevel({});
  rig.level.rules->Tasks().Lose(1000);  // lost (its window not shown yet)
  host.OfferRestart();
  levelWindow = FindWindowOf<LevelWindow>();
  ASSERT_NE(levelWindow, nullptr);
  EXPECT_EQ(levelWindow->GetKind(), kLevelWindowLost);
  levelWindow->OnKeyDown(kKeyEscape, 0);
  EXPECT_EQ(leaves, 1);
  delete levelWindow;
}

}  // namespace
}  // namespace windowstest
