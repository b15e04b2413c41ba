// The sample data set's first level played by clicks alone through the
// level scene and the game's level panel: a click starts the day; for each
// garbage place a click on the place shows its garbage panel, a click on
// the panel's clear button reaches the place (its price button over the
// map goes). The clearing itself is the point care's, not here yet.
#include <gtest/gtest.h>

#include "level/GameLevel.h"
#include "level/LevelClock.h"
#include "level/LevelMap.h"
#include "level/LevelRules.h"
#include "level/LevelTasks.h"
#include "level/EmptyLevelPoint.h"
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
    host.DeletePanel();  // before the harness's window manager goes
  }
  GameLevel& Make() {
    GAMELEVELHOOKS hooks;
    hooks.rules.panel = &host;
    hooks.rules.profile = &h.profile;
    hooks.map.panels = host.Panels();
    hooks.villains = &h.villains;
    hooks.iface = &host;
    h.level = std::make_unique<GameLevel>(0, LEVELSETUP{}, hooks);
    h.LoadAll();
    h.Enter();
    return *h.level;
  }
  // A click at a screen point: the pointer arrives, presses, releases.
  void Click(i32 x, i32 y) {
    h.level->OnMouseMove(x, y + 1, 0, 0);
    h.level->OnMouseMove(x, y, 0, 0);
    h.level->OnMouseDown(x, y, kMouseLeft, 0);
    h.level->OnMouseUp(x, y, kMouseLeft, 0);
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

TEST_F(Played, SampleLevelByClicks) {
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
  for (i32 i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    i32 x = points[static_cast<size_t>(i)].x, y = points[static_cast<size_t>(i)].y;
    h.MapToScreen(&x, &y);
    Click(x, y);
    auto* garbage = dynamic_cast<GarbagePanel*>(panel->GetCurrentChild());
    ASSERT_NE(garbage, nullptr);
    auto* place = static_cast<EmptyLevelPoint*>(level.Map().GetPoint(i));
    EXPECT_EQ(garbage->GetPlace(), place);
    EXPECT_EQ(panel->Children().size(), 2u);  // the empty panel and the one garbage panel
    ASSERT_TRUE(garbage->GetClearButton()->IsEnabled());
    EXPECT_NE(place->GetClearButton(), nullptr);
    ClickButton(garbage->GetClearButton());
    EXPECT_EQ(place->GetClearButton(), nullptr);
  }
  // A click on open ground deselects: the empty panel with the level's clock.
  Click(400, 300);
  EXPECT_EQ(panel->GetCurrentChild()->GetKind(), kPanelKindEmpty);
  h.Step(500);
  EXPECT_LE(panel->PromptAlpha(), 0.0f);  // faded out once the day began
}

}  // namespace
}  // namespace windowstest
