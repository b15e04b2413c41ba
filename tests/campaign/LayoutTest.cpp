// Every place of every level of the sample data set on the screen at the
// screen sizes players have (4:3, 5:4 and wide, the smallest the game takes):
// the place's pictures and its head-up buttons, as the tutorials' notes see
// them (LevelPointArea: the sprites' bounds through the level's view), lie
// inside the playfield as drawn (the level's corners through its view) and
// the screen above the panel. Each place is tried as the level has it and
// with what the level's solutions build there, a bed ripe, a building or
// bed at the top level its kind reaches on the level.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <string>
#include <vector>

#include "content/BuildingTable.h"
#include "content/LevelTable.h"
#include "content/PlantTable.h"
#include "level/map/BaseLevelPoint.h"
#include "level/map/LevelMap.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelView.h"
#include "level/scene/GameLevel.h"
#include "testsupport/LevelHarness.h"
#include "testsupport/LevelSolution.h"
#include "tutorials/TutorialTargets.h"

namespace campaign {
namespace {

// The level's limit of the kind (0 when it does not offer it).
i32 Limit(const KINDPAIR* pairs, u32 count, u32 id) {
  for (u32 k = 0; k < count; ++k)
    if (pairs[k].id == id) return pairs[k].value;
  return 0;
}

TEST(CampaignLayout, EveryPlaceWithItsButtonsLiesOnTheScreenAtEverySize) {
  for (const auto& [width, height] : {std::pair{800, 600}, {1024, 768}, {1280, 1024}, {1366, 768}, {1920, 1080}}) {
    leveltest::LevelHarness h(TM_SAMPLE_DATA_DIR, width, height);
    ASSERT_TRUE(h.loaded);
    for (u32 n = 0; n < kLevelCount; ++n) {
      const LEVELINFO& info = h.Levels().Get(n);
      if (!info.loaded) continue;
      GameLevel& level = h.Make(static_cast<i32>(n));
      h.LoadAll();
      h.Enter();
      DXLRECT field{0, 0, kLevelViewWidth, kLevelViewHeight};
      level.Rules().View().MapToScreen(&field.left, &field.top);
      level.Rules().View().MapToScreen(&field.right, &field.bottom);
      field = {std::max(field.left, 0), std::max(field.top, 0), std::min(field.right, width),
               std::min(field.bottom, height - kLevelPanelHeight)};
      // Per point: as it stands (kind 0), then the kinds at their top levels.
      std::vector<std::vector<POINTPARAMS>> tried(static_cast<size_t>(level.Map().GetPointCount()), {{}});
      const auto add = [&](size_t point, u32 kind, u32 id) {
        const i32 top = kind == 2 ? Limit(info.plants, info.plantCount, id)
                                  : Limit(info.buildings, info.buildingCount, id);
        if (point < tried.size() && top > 0)
          tried[point].push_back({kind, top, id, kind == 2 ? std::bit_cast<u32>(100.0f) : 0u, {2, 2}});
      };
      for (size_t i = 0; i < info.points.size(); ++i)
        if (info.points[i].kind >= 2) add(i, info.points[i].kind, info.points[i].id);
      char file[24];
      std::snprintf(file, sizeof file, "/level_%02u.txt", n + 1);
      for (int regime = 0; regime < 2; ++regime) {
        testsupport::LevelSolution solution;
        std::string error;
        ASSERT_TRUE(testsupport::ReadLevelSolution(TM_LEVEL_SOURCES_DIR + std::string(file), regime, &solution, &error))
            << error;
        for (const testsupport::SolutionAction& a : solution.actions) {
          if (a.word != "build") continue;
          const std::u16string name(a.Text(1).begin(), a.Text(1).end());
          if (const PLANT* plant = FindPlantByName(name.c_str())) add(static_cast<size_t>(a.Int(0)), 2, plant->id);
          else if (const BUILDING* b = FindBuildingByName(name.c_str())) add(static_cast<size_t>(a.Int(0)), 3, b->id);
        }
      }
      for (i32 i = 0; i < level.Map().GetPointCount(); ++i)
        for (const POINTPARAMS& params : tried[static_cast<size_t>(i)]) {
          if (params.kind != 0 && !level.Map().Points().MakePoint(i, params, false)) continue;
          h.Step(40);
          DXLRECT area{};
          ASSERT_TRUE(LevelPointArea(level.Map().GetPoint(i), &area)) << "level " << n + 1 << " point " << i;
          EXPECT_TRUE(area.left >= field.left && area.top >= field.top && area.right <= field.right &&
                      area.bottom <= field.bottom)
              << width << " x " << height << ": level " << n + 1 << " point " << i << " ("
              << info.points[static_cast<size_t>(i)].x << ", " << info.points[static_cast<size_t>(i)].y << ")"
              << (params.kind ? " built up" : "") << " spans " << area.left << "," << area.top << " to "
              << area.right << "," << area.bottom << ", the field " << field.left << "," << field.top << " to "
              << field.right << "," << field.bottom;
        }
    }
  }
}

}  // namespace
}  // namespace campaign
