// The easter egg hidden on the scenario set's garbage yard (level 1),
// played through the game's world with the language: a click on the golden
// egg raises award record 0 to the profile's count of eggs found, the egg
// goes, and the flying label rising from it shows the egg's picture (its
// text's "[icon easter_egg]"), drawn as easter_egg_label.png for a person to
// look at.
#include <gtest/gtest.h>

#include "content/ContentArchive.h"
#include "content/KindSections.h"
#include "level/map/MapAward.h"
#include "level/map/LevelMap.h"
#include "level/scene/GameLevel.h"
#include "level/scene/LevelScreen.h"
#include "level/state/GameLevelSaves.h"
#include "resources/MapSprite.h"
#include "testsupport/LevelHarness.h"
#include "testsupport/SavedLevelStore.h"
#include "hud/ScreenLabel.h"
#include "hud/ScreenSpriteList.h"

namespace windowstest {
namespace {

struct EggFinderProfile : leveltest::FakeLevelProfile {
  using FakeLevelProfile::FakeLevelProfile;
  AWARDCOUNTERS* GetAwardCounters() override { return &counters; }
  i32 SetEasterEggFound(i32 level) override {
    found.push_back(level);
    return 3;  // two found on other levels before
  }
  AWARDCOUNTERS counters;
  std::vector<i32> found;
};

// Golden pixels (the egg's picture) in the rectangle of the frame.
i32 GoldenPixels(leveltest::LevelHarness& h, i32 x0, i32 y0, i32 x1, i32 y1) {
  i32 n = 0;
  for (i32 y = std::max(y0, 0); y < std::min(y1, 600); ++y)
    for (i32 x = std::max(x0, 0); x < std::min(x1, 800); ++x) {
      const u32 c = h.Pixel(static_cast<u32>(x), static_cast<u32>(y));
      const i32 r = c >> 16 & 0xFF, g = c >> 8 & 0xFF, b = c & 0xFF;
      n += r > 180 && g > 110 && b < 110 && r - b > 110 ? 1 : 0;
    }
  return n;
}

TEST(EasterEggPlayed, AClickOnTheEggRaisesRecordZeroAndItsLabelShowsThePicture) {
  leveltest::LevelHarness h(leveltest::ScenarioDataFolder(), 800, 600, true);
  ASSERT_TRUE(h.loaded);
  EggFinderProfile profile(h.windows);
  testsupport::SavedLevelStore store;
  GameLevelSaves saves(&store, &store, nullptr);
  GameLevelHooks hooks;
  hooks.rules.profile = &profile;
  hooks.villains = &h.villains;
  hooks.saves = &saves;
  GameLevel* level = h.world.OpenLevel(0, LevelSetup{}, hooks);
  ASSERT_NE(level, nullptr);
  h.LoadAll();
  h.Enter();
  h.Start();
  h.Step(200);

  // The egg on the grass left of the crossing, away from the heaps and the
  // paths.
  MapSprite* sprite = FindMapSpriteIn(kMapSpriteSet, u"golden_egg");
  ASSERT_NE(sprite, nullptr);
  sprite->Init();  // as the level loads its decorations
  i32 ox = 0, oy = 0;
  h.MapToScreen(&ox, &oy);
  const i32 ex = 280 - ox, ey = 240 - oy;
  auto* egg = static_cast<MapAward*>(
      SpriteObject::Create(level->Map(), sprite, kLayerStanding, ex, ey, kObjectAward, nullptr, 0));
  ASSERT_NE(egg, nullptr);
  egg->AttachToLevel(0);
  h.Step(100, 20, true);
  i32 sx = ex, sy = ey;
  h.MapToScreen(&sx, &sy);
  EXPECT_GT(GoldenPixels(h, sx - 30, sy - 50, sx + 30, sy + 5), 20);  // the egg itself

  // Over it (the level finds what lies under the pointer as it updates),
  // pressed and released.
  i32 cx = ex, cy = ey - 14;
  h.MapToScreen(&cx, &cy);
  level->Input().OnMouseMove(cx, cy, 0, 0);
  h.Step(60);
  level->Input().OnMouseDown(cx, cy, kMouseLeft, 0);
  h.Step(20);
  level->Input().OnMouseUp(cx, cy, kMouseLeft, 0);
  EXPECT_EQ(profile.found, (std::vector<i32>{0}));
  EXPECT_EQ(profile.counters.records[0], 3);
  EXPECT_TRUE(egg->IsDead());
  const auto& labels = level->Screen().GetScreenSprites()->Labels();
  ASSERT_EQ(labels.GetCount(), 1);
  const ScreenLabel* label = labels.Get(0);
  EXPECT_NE(label->GetText(), nullptr);

  // The egg has shrunk away; the label, risen a little, shows the golden
  // egg: the frame holds more gold than once the label has gone.
  h.Step(400, 20, true);
  ASSERT_EQ(labels.GetCount(), 1);
  EXPECT_EQ(level->Map().GetAward(), nullptr);  // gone from the level
  // The picture leads the text: the label's first 28 pixels, above the egg.
  const i32 left = sx + label->GetLayout().left;  // labels keep their pixel size
  const i32 withLabel = GoldenPixels(h, left, sy - 200, left + 28, sy);
  EXPECT_TRUE(h.WritePng("easter_egg_label.png"));
  h.Step(2500, 20, true);
  EXPECT_EQ(labels.GetCount(), 0);
  EXPECT_GT(withLabel - GoldenPixels(h, left, sy - 200, left + 28, sy), 60);
  h.world.CloseLevel();
  sprite->Release(false);
}

}  // namespace
}  // namespace windowstest
