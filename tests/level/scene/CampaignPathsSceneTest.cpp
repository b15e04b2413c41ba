// The campaign's levels of the sample data set as the game builds them: from
// where the player starts, the game's own path search finds a way to the
// work spot of every level point (no place walled in by buildings, beds,
// decorations or obstacles).
#include <gtest/gtest.h>

#include <cmath>

#include "level/characters/MapCharacter.h"
#include "level/map/BaseLevelPoint.h"
#include "level/map/LevelMap.h"
#include "level/scene/GameLevel.h"
#include "pathfinding/PathFinder.h"
#include "testsupport/LevelHarness.h"

namespace leveltest {
namespace {

TEST(CampaignPaths, ThePlayerFindsAWayFromHerStartToEveryPointOfEveryLevel) {
  LevelHarness h(SampleDataFolder(), 800, 600);
  ASSERT_TRUE(h.loaded);
  u32 levels = 0;
  for (u32 n = 0; n < kLevelCount; ++n) {
    if (!h.Levels().Get(n).loaded) continue;
    ++levels;
    GameLevel& level = h.Make(static_cast<i32>(n));
    h.LoadAll();
    h.Enter();
    auto* player = dynamic_cast<MapCharacter*>(level.GetPlayer());
    ASSERT_NE(player, nullptr) << "level " << n + 1;
    shpf::_SHAPEGRID* grid = player->GetGrid();
    shpf::PathFinder* finder = level.GetPathFinder();
    ASSERT_TRUE(grid && finder) << "level " << n + 1;
    ASSERT_GE(level.Map().GetPointCount(), 1) << "level " << n + 1;
    for (i32 i = 0; i < level.Map().GetPointCount(); ++i) {
      const BaseLevelPoint* point = level.Map().GetPoint(i);
      ASSERT_NE(point, nullptr) << "level " << n + 1 << " point " << i;
      POINTPOS work;
      point->GetWorkOffset(&work);
      const float tx = static_cast<float>(point->GetX() + work.x), ty = static_cast<float>(point->GetY() + work.y);
      shpf::_PATHREQUEST request{};
      finder->BeginWalkSearch(&request, grid->id, player->GetX(), player->GetY(), tx, ty);
      u32 state = shpf::PFS_SEARCHING;
      for (u32 slices = 0; slices < 100000 && state != shpf::PFS_FOUND && state != shpf::PFS_FAILED; ++slices)
        state = finder->StepWalkSearch(&request);
      EXPECT_EQ(state, shpf::PFS_FOUND) << "level " << n + 1 << ": no way to point " << i << " at " << tx << ", " << ty;
      if (state == shpf::PFS_FOUND && request.pointCount > 0) {
        // The way ends at the work spot or as near as its footing lets her.
        const float ex = request.points[2 * (request.pointCount - 1)], ey = request.points[2 * request.pointCount - 1];
        EXPECT_LT(std::hypot(ex - tx, ey - ty), 64.0f) << "level " << n + 1 << " point " << i;
      }
      finder->CancelRequest(&request);
      delete[] request.points;
    }
  }
  EXPECT_GE(levels, 21u) << "levels 1 to 20 and 29";
}

}  // namespace
}  // namespace leveltest
