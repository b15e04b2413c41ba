// Every place of the campaign's 41 levels can be clicked at every window
// size the game offers (800 x 600, 1,024 x 768, 1,280 x 800): in the level
// scene with the game's own level windows on the sample data set, its
// introduction closed and the day started with the most bonuses a player
// may take (their buttons above the panel's strip), no spot of a place's
// inner click area (its middle and the spots half way to the edges of the
// click ellipse, 35 level pixels to the sides and 22 up and down) lies
// under a window (the money strip along the top, the menu plate, the
// panel's strip, the bonus buttons, also raised as while a bonus runs),
// and the pointer moved onto its middle hovers that place (what a click
// there chooses). Both play modes at 800 x 600, the smallest screen; the
// easy one at the others (the places are the same). At 800 x 600, with the
// language read, each day's introduction shows its texts whole: none is
// laid out taller or wider than the room its block gives it.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "content/LevelInfo.h"
#include "content/LevelTable.h"
#include "gametext/KGEBaseTextSprite.h"
#include "gametext/KGETextParams.h"
#include "level/map/LevelMap.h"
#include "level/rules/LevelBonuses.h"
#include "level/rules/LevelRules.h"
#include "level/scene/GameLevel.h"
#include "platform/encoding/Utf.h"
#include "testsupport/LevelHarness.h"
#include "ui/InfoWindow.h"
#include "ui/WindowManager.h"
#include "windows/BonusButton.h"
#include "windows/LevelPanel.h"
#include "windows/LevelPanelHost.h"

namespace windowstest {
namespace {

constexpr i32 kInnerX = 35, kInnerY = 22;  // half the click ellipse's radii
constexpr i32 kBonusRaise = 12;            // a running bonus's button stands this much higher

std::string WindowName(const GameWindow& w) {
  std::string name;
  for (i32 shift = 24; shift >= 0; shift -= 8) name += static_cast<char>((w.GetId() >> shift) & 0xFF);
  return name;
}

// The window over a screen spot (the bonus buttons also as if raised), or
// an empty name.
std::string WindowOver(const LevelPanel& panel, i32 x, i32 y) {
  const kis::list<GameWindow*>& stack = GetWindowManager()->GetStack();
  for (i32 i = stack.GetCount() - 1; i >= 0; --i)
    if (stack.Get(i)->HitTest(x, y)) return WindowName(*stack.Get(i));
  kis::IntPoint p{};
  panel.ScreenToClient(&p, x, y + kBonusRaise);
  for (u32 s = 0; s < kLevelBonusSlots; ++s)
    if (const BonusButtonPart* b = panel.GetBonusButton(s); b && b->Contains(p.x, p.y)) return "a raised bonus button";
  return {};
}

void CheckLevelPlaces(leveltest::LevelHarness& h, i32 level, i32 regime) {
  SCOPED_TRACE("level " + std::to_string(level + 1) + (regime ? " hard" : " easy"));
  GameLevelHooks hooks;
  hooks.rules.profile = &h.profile;
  hooks.villains = &h.villains;
  hooks.saves = &h.windows;
  LevelSetup setup;
  setup.regime = regime;
  setup.chosen.count = kMaxChosenBonuses;
  for (u32 i = 0; i < kMaxChosenBonuses; ++i) setup.chosen.slots[i] = i;
  GameLevel* scene = h.world.OpenLevel(level, setup, hooks);
  ASSERT_NE(scene, nullptr);
  h.LoadAll();
  ASSERT_TRUE(scene->IsLoaded());
  h.Enter();
  // The level's introduction closed by Enter, as a player does, then the
  // day started.
  WindowManager* windows = GetWindowManager();
  if (const auto* intro = dynamic_cast<const InfoWindow*>(windows->GetInfoWindow()))
    for (const IWTEXT& t : intro->GetTexts()) {
      const KGESPRITEPARAMS& room = t.text->GetSpriteParams();
      if ((room.flags & kKGESpriteMaxSize) == 0) continue;
      const std::string text = plat::Utf16ToUtf8(t.text->GetText() ? t.text->GetText() : u"");
      EXPECT_LE(t.text->GetHeight(), room.maxHeight) << "cut below: " << text << " at " << t.x << ", " << t.y;
      EXPECT_LE(t.text->GetWidth(), room.maxWidth) << "cut beside: " << text;
    }
  if (GameWindow* intro = windows->GetInfoWindow()) intro->OnKeyDown(kLevelKeyEnter, 0);
  for (i32 n = 0; n < 30 && windows->GetInfoWindow(); ++n) {
    h.Step(20);
    windows->Update();
    windows->Draw();  // its hide effect runs as it is drawn
  }
  ASSERT_EQ(windows->GetInfoWindow(), nullptr);
  h.Start();
  h.Step(200);
  ASSERT_TRUE(scene->Rules().IsStarted());
  LevelPanelHost* host = h.world.Panel();
  ASSERT_TRUE(host && host->GetPanel());
  const LevelPanel& panel = *host->GetPanel();
  u32 buttons = 0;
  for (u32 s = 0; s < kLevelBonusSlots; ++s) buttons += panel.GetBonusButton(s) ? 1 : 0;
  ASSERT_EQ(buttons, kMaxChosenBonuses);
  const LEVELINFO* info = scene->GetInfo();
  ASSERT_NE(info, nullptr);
  LevelMap& map = scene->Map();
  for (i32 i = 0; i < map.GetPointCount() && i < static_cast<i32>(info->points.size()); ++i) {
    const i32 px = info->points[i].x, py = info->points[i].y;
    const std::pair<const char*, std::pair<i32, i32>> spots[] = {{"middle", {0, 0}},
                                                                  {"left", {-kInnerX, 0}},
                                                                  {"right", {kInnerX, 0}},
                                                                  {"top", {0, -kInnerY}},
                                                                  {"foot", {0, kInnerY}}};
    for (const auto& [what, d] : spots) {
      i32 x = px + d.first, y = py + d.second;
      h.MapToScreen(&x, &y);
      const std::string over = WindowOver(panel, x, y);
      EXPECT_TRUE(over.empty()) << "level " << level + 1 << "'s place " << i << " (" << px << ", " << py << "): its "
                                << what << " at " << x << ", " << y << " under " << over;
    }
    // The pointer on the middle (twice: the windows' hover follows the
    // level's) hovers the place.
    i32 x = px, y = py;
    h.MapToScreen(&x, &y);
    for (i32 n = 0; n < 2; ++n) {
      scene->Input().OnMouseMove(x + n, y, 0, 0);
      h.Step(20);
    }
    EXPECT_EQ(map.GetHoveredPoint(), i) << "level " << level + 1 << "'s place " << i << " at " << x << ", " << y;
  }
  h.world.CloseLevel();
}

TEST(LevelPlacesClear, EveryPlaceOfEveryLevelClearOfTheLevelWindowsAndHoveredAtEveryWindowSize) {
  if (leveltest::SampleDataFolder().empty()) GTEST_SKIP() << "no sample data set";
  for (const auto& [w, hgt] : {std::pair{800u, 600u}, std::pair{1024u, 768u}, std::pair{1280u, 800u}}) {
    SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(hgt));
    leveltest::LevelHarness h(leveltest::SampleDataFolder(), w, hgt, w == 800u);
    ASSERT_TRUE(h.loaded);
    for (i32 level = 0; level < static_cast<i32>(kLevelCount); ++level)
      for (i32 regime = 0; regime < (w == 800u ? 2 : 1); ++regime) CheckLevelPlaces(h, level, regime);
  }
}

}  // namespace
}  // namespace windowstest
