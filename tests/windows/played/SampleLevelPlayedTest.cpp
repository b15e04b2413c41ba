// The sample data set's first level played by clicks alone through the
// level scene (with its own point care) and the game's level panel: a
// click starts the day; for each garbage place a click on the place shows
// its garbage panel, a click on the panel's clear button starts the
// clearing (the button then waits); the three heaps cleared, the day is
// won with a medal.
#include <gtest/gtest.h>

#include "level/scene/GameLevel.h"
#include "level/rules/LevelClock.h"
#include "level/map/LevelMap.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelTasks.h"
#include "level/map/EmptyLevelPoint.h"
#include "content/LevelInfo.h"
#include "testsupport/LevelHarness.h"
#include "ui/WindowManager.h"
#include "windows/EmptyPlacePanels.h"
#include "windows/LevelPanel.h"
#include "windows/LevelPanelHost.h"

namespace windowstest {
namespace {

using leveltest::LevelHarness;

class Played : public ::testing::Test {
 protected:
  Played() : h(leveltest::SampleDataFolder(), 800, 600) {}
  ~Played() override {
    h.level.reset();
    GetGameServices().level = nullptr;
    host.DeletePanel();  // before the harness's window manager goes
  }
  GameLevel& Make() {
    GAMELEVELHOOKS hooks;
    hooks.rules.profile = &h.profile;
    hooks.villains = &h.villains;
    hooks.iface = &host;
    h.level = std::make_unique<GameLevel>(0, LEVELSETUP{}, hooks);
    GetGameServices().level = &h.level->Screen();
    h.LoadAll();
    h.Enter();
    return *h.level;
  }
  // A click at a screen point, the pointer jumping there from the last
  // click (from a panel button onto the map and back) with no move between.
  void Click(i32 x, i32 y) {
    h.level->Input().OnMouseDown(x, y, kMouseLeft, 0);
    h.level->Input().OnMouseUp(x, y, kMouseLeft, 0);
    h.Step(20);
  }
  void ClickButton(const GameButton* b) {
    const DXLRECT& panel = host.GetPanel()->GetRect();
    const DXLRECT& r = b->GetRect();
    Click(panel.left + (r.left + r.right) / 2, panel.top + (r.top + r.bottom) / 2);
  }

  LevelHarness h;
  LevelPanelHost host;
};

TEST_F(Played, SampleLevelToAMedalByClicks) {
  ASSERT_TRUE(h.loaded);
  GameLevel& level = Make();
  LevelPanel* panel = host.GetPanel();
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->GetCurrentChild()->GetKind(), kPanelKindEmpty);
  EXPECT_NE(panel->GetPrompt(), nullptr);
  Click(400, 300);  // the day starts
  ASSERT_TRUE(level.Rules().IsStarted());
  const std::vector<POINTDEF>& points = level.GetInfo()->points;
  ASSERT_EQ(points.size(), 3u);
  const i32 money = level.Rules().Money().Get();
  for (i32 i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    i32 x = points[static_cast<size_t>(i)].x, y = points[static_cast<size_t>(i)].y;
    h.MapToScreen(&x, &y);
    Click(x, y);
    auto* garbage = dynamic_cast<GarbagePanel*>(panel->GetCurrentChild());
    ASSERT_NE(garbage, nullptr);
    auto* place = static_cast<EmptyLevelPoint*>(level.Map().GetPoint(i));
    EXPECT_EQ(garbage->GetPlace(), place);
    ASSERT_TRUE(garbage->GetClearButton()->IsEnabled());
    ClickButton(garbage->GetClearButton());
    EXPECT_NE(place->GetClearJob(), nullptr);
    EXPECT_FALSE(garbage->GetClearButton()->IsEnabled());
  }
  EXPECT_EQ(level.Rules().Money().Get(), money - 300);
  for (u32 t = 0; t < 60000 && level.Rules().Tasks().GetResultShown() == kResultNone; t += 100) h.Step(100);
  ASSERT_EQ(level.Rules().Tasks().GetResultShown(), kResultWon);
  EXPECT_EQ(level.Rules().Tasks().GetProgress(0), 3);
  EXPECT_GE(level.Rules().Clock().GetMedal(), 4);
  EXPECT_TRUE(h.windows.Saw("recorded 0 at " + std::to_string(level.Rules().Clock().GetTime())));
  for (i32 i = 0; i < 3; ++i) EXPECT_EQ(static_cast<EmptyLevelPoint*>(level.Map().GetPoint(i))->GetGarbage(), nullptr);
  // The last place cleared while selected shows the empty place's categories.
  EXPECT_NE(dynamic_cast<EmptyPointPanel*>(panel->GetCurrentChild()), nullptr);
  EXPECT_LE(panel->PromptAlpha(), 0.0f);  // faded out once the day began
}

}  // namespace
}  // namespace windowstest
