// Every day's introduction keeps its texts inside their labels, in the
// running game on the sample data set (its fonts, its language) on the
// smallest screen and on a large one: the day's title and each item's name
// inside its row (short of the row's right border or its level badge), the
// badge in its place, and each text inside the lines its block gives it.
// The plants and buildings take the day's level limits, as its loading
// gives them, so every row shows.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "RunningGame.h"
#include "content/BuildingTable.h"
#include "content/LevelTable.h"
#include "content/PlantTable.h"
#include "gametext/KGEBaseTextSprite.h"
#include "ui/InfoWindow.h"

namespace {

TEST(IntroTexts, EveryDaysTitleAndTextsFitTheirLabels) {
  if (SampleDataFolder().empty()) GTEST_SKIP() << "no sample data set";
  for (const auto& [w, hgt] : {std::pair{800u, 600u}, std::pair{1920u, 1080u}}) {
    SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(hgt));
    RunningGame run(w, hgt, true);
    ASSERT_TRUE(run.ok);
    ASSERT_TRUE(run.RunTo(kGameStateMainScreen));
    u32 days = 0;
    for (u32 level = 0; level < kLevelCount; ++level) {
      const LEVELINFO& info = GetLevelTable()->Get(level);
      if (!info.loaded || info.intro.empty()) continue;
      for (u32 i = 0; i < info.plantCount; ++i)
        if (PLANT* p = FindPlant(info.plants[i].id)) p->levelLimit = info.plants[i].value;
      for (u32 i = 0; i < info.buildingCount; ++i)
        if (BUILDING* b = FindBuilding(info.buildings[i].id)) b->levelLimit = info.buildings[i].value;
      auto* intro = new InfoWindow(info.intro.data(), static_cast<u32>(info.intro.size()));
      days += intro->GetTexts().empty() ? 0 : 1;
      for (const IWTEXT& t : intro->GetTexts()) {
        const size_t n = static_cast<size_t>(&t - intro->GetTexts().data());
        const i32 x = static_cast<i32>(t.x), y = static_cast<i32>(t.y);
        const DXLRECT& r = t.room;
        EXPECT_TRUE(x >= r.left && y >= r.top && x + t.text->GetWidth() <= r.right &&
                    y + t.text->GetHeight() <= r.bottom)
            << "day " << level + 1 << ", text " << n << " at " << x << ", " << y << ", " << t.text->GetWidth() << " x " << t.text->GetHeight()
            << " out of its label " << r.left << ", " << r.top << " to " << r.right << ", " << r.bottom;
      }
      delete intro;
    }
    EXPECT_GE(days, 30u);
  }
}

}  // namespace
