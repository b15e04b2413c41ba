// Building points on a level with a player: levels applied, clamped and
// refused, the kinds' mirror rules, construction by the player's build job
// and its abandonment, and the build job refused at the level limit.
#include <gtest/gtest.h>

#include "../CareRig.h"
#include "level/objects/Job_Build.h"
#include "level/objects/PointBuilding.h"
#include "level/objects/PointWarehouse.h"
#include "level/rules/WarehouseStock.h"
#include "hud/SSStars.h"

using namespace leveltest;

namespace {

struct BuildingLevel : ::testing::Test {
  BuildingLevel() {
    rig.level.LoadKinds({}, {{u"mill", 3, true, kBuildingFactory}});
    mill = rig.level.kinds.Building(u"mill");
    mill->objectOffset[0] = 10;
    mill->objectOffset[1] = -5;
    mill->workSpot[0] = 4;
    mill->workSpot[1] = 8;
    mill->starsOffset[0] = 7;
    mill->starsOffset[1] = -40;
    mill->levels[0].buildTime = 500;
    rig.classes.make = [](LevelMap& map, PointClass, void* record) -> LevelPoint* {
      if (!record) return PointWarehouse::Create(map);
      return new PointBuilding(map, static_cast<BUILDING*>(record));
    };
  }
  PointBuilding* Point(i32 i) { return dynamic_cast<PointBuilding*>(rig.map->GetPoint(i)); }
  static POINTDEF Mill(i32 level, i32 x) { return POINTDEF{3, level, kis::NameId(u"mill"), 0, {0, 0}, x, 300, 0}; }
  i32 Money() { return rig.level.rules->Money().Get(); }

  CareRig rig;
  BUILDING* mill = nullptr;
};

TEST_F(BuildingLevel, LevelsAreClampedKeptOrRefusedAndMirrorRulesNegateEveryOffset) {
  rig.Build({Mill(2, 300)});
  PointBuilding* p = Point(0);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->GetLevel(), 2);
  ASSERT_NE(p->GetStars(), nullptr);
  EXPECT_EQ(p->GetStars()->GetMaximum(), 3) << "the level out of the limit";
  EXPECT_EQ(p->GetStars()->GetCount(), 2);
  EXPECT_TRUE(p->SetLevel(9, false, 0));  // above the limit: the limit
  EXPECT_EQ(p->GetLevel(), 3);
  EXPECT_TRUE(p->SetLevel(3, false, 0));  // equal: nothing changes
  EXPECT_FALSE(p->SetLevel(1, false, 0));  // lower: refused
  EXPECT_EQ(p->GetLevel(), 3);
  EXPECT_EQ(Job_Build::Create(*p), nullptr) << "no step past the limit";
  EXPECT_EQ(p->GetBuildJob(), nullptr);

  struct Case {
    u8 a, b, asked, mirrored;
  };
  for (const Case& c : {Case{0, 1, 0, 1}, Case{1, 1, 1, 0}, Case{1, 0, 1, 1}, Case{0, 0, 1, 0}}) {
    mill->mirrorRule[0] = c.a;
    mill->mirrorRule[1] = c.b;
    PointBuilding q(*rig.map, mill);
    q.SetPosition(200, 200);
    q.SetMark(c.asked);
    EXPECT_EQ(q.IsMirrored(), c.mirrored != 0) << int(c.a) << int(c.b) << int(c.asked);
    ASSERT_TRUE(q.SetLevel(1, false, 0));
    const i32 sign = c.mirrored ? -1 : 1;
    EXPECT_EQ(q.GetMapX(), 200 + sign * 10);
    EXPECT_EQ(q.GetMapY(), 195);
    POINTPOS work, stars, hint;
    q.GetWorkOffset(&work);
    q.GetStarsAnchor(&stars);
    q.GetHintAnchor(&hint);
    EXPECT_EQ(work.x, sign * 14);
    EXPECT_EQ(work.y, 3);
    EXPECT_EQ(stars.x, q.GetMapX() + sign * 7);
    EXPECT_EQ(stars.y, 155);
    EXPECT_EQ(hint.x, q.GetMapX());
    EXPECT_EQ(hint.y, 147);
    EXPECT_NE(q.GetMapBuilding(), nullptr) << "built even where its level has no picture";
    POINTPARAMS info;
    q.GetInfo(&info);
    EXPECT_EQ(info.kind, 3u);
    EXPECT_EQ(info.id, mill->id);
  }
}

TEST_F(BuildingLevel, TheSiteIsBuiltByThePlayerAndAnAbandonedSiteLeavesAnEmptyPlace) {
  rig.Build({Mill(0, 300), Mill(0, 900)});
  rig.MakeDefinedPoints();  // again, now that the player is there to build
  const i32 money = Money();
  PointBuilding* p = Point(0);
  ASSERT_NE(p, nullptr);
  Job_Build* job = p->GetBuildJob();
  ASSERT_NE(job, nullptr);
  ASSERT_NE(Point(1)->GetBuildJob(), nullptr);
  EXPECT_EQ(Money(), money);  // both steps were reserved when the sites were made
  EXPECT_GE(rig.TickUntil([&] { return p->IsBeingBuilt(); }), 1);
  const i32 building = rig.TickUntil([&] { return p->GetLevel() == 1; });
  EXPECT_GE(building, 49);  // 500 ms of the animation, ten a tick
  EXPECT_LE(building, 51);
  EXPECT_FALSE(p->IsBeingBuilt());
  EXPECT_EQ(p->GetBuildJob(), nullptr);
  EXPECT_TRUE(rig.player->HasWorked());

  const i32 before = Money();
  ASSERT_NE(Point(1)->GetBuildJob(), nullptr);
  Point(1)->GetBuildJob()->Finish();
  EXPECT_EQ(Point(1), nullptr);
  EXPECT_NE(rig.Place(1), nullptr);
  EXPECT_EQ(Money(), before + mill->levels[0].price) << "the reserved price comes back";
}

}  // namespace

namespace leveltest {
namespace {

// The saved level with a site whose construction is mid-animation and an
// upgrade queued behind it: both jobs come back in order, at their steps;
// records that do not fit are refused.
TEST_F(BuildingLevel, BuildJobRecordsRoundTripAndEveryMisfitIsRefused) {
  rig.classes.loadJob = [](u32 id, MapPlayer& player, const u8* record, u32 size) {
    return id == kJobBuild && Job_Build::Load(&player, record, size);
  };
  rig.Build({Mill(0, 300), Mill(1, 900)});
  rig.MakeDefinedPoints();
  ASSERT_GT(rig.TickUntil([&] { return Point(0)->IsBeingBuilt(); }), 0);
  rig.Tick(20);
  ASSERT_NE(Job_Build::Create(*Point(1)), nullptr);
  ASSERT_EQ(rig.player->GetJobs().GetCount(), 2);
  const std::vector<u8> records = rig.SaveAndReload();
  ASSERT_FALSE(records.empty());
  ASSERT_EQ(rig.player->GetJobs().GetCount(), 2);
  auto* first = dynamic_cast<Job_Build*>(rig.player->GetJobs()[0]);
  auto* second = dynamic_cast<Job_Build*>(rig.player->GetJobs()[1]);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(first->GetPoint(), Point(0));
  EXPECT_EQ(first->GetStep(), 3);
  EXPECT_EQ(first->GetState(), kJobAnimating);
  EXPECT_EQ(second->GetPoint(), Point(1));
  EXPECT_EQ(second->GetStep(), 0);
  ASSERT_TRUE(SaveLevelState(rig));
  EXPECT_EQ(rig.SavedRecords(), records);

  // Straight at the loader: an upgrade record takes over from the one the
  // point has (its price back, the new one's reserved); a short record and
  // another cost are refused.
  u8 record[kPointJobRecordSize] = {};
  kis::PutU32LE(record, kPointJobRecordSize);
  kis::PutU16LE(record + 4, kJobBuild);
  kis::PutU32LE(record + 40, 1);
  const i32 money = Money();
  EXPECT_TRUE(Job_Build::Load(rig.player, record, sizeof record));
  EXPECT_TRUE(second->HasEnded());
  ASSERT_NE(Point(1)->GetBuildJob(), nullptr);
  EXPECT_NE(Point(1)->GetBuildJob(), second);
  EXPECT_EQ(Money(), money);
  Point(1)->GetBuildJob()->Finish();
  EXPECT_EQ(Money(), money + mill->levels[1].price);
  EXPECT_FALSE(Job_Build::Load(rig.player, record, sizeof record - 4));
  kis::PutI32LE(record + 12, 7);
  EXPECT_FALSE(Job_Build::Load(rig.player, record, sizeof record)) << "another cost";
  EXPECT_EQ(Point(1)->GetBuildJob(), nullptr) << "a refused record leaves no job";
  kis::PutI32LE(record + 12, mill->levels[1].price);
  EXPECT_TRUE(Job_Build::Load(rig.player, record, sizeof record));
  EXPECT_NE(Point(1)->GetBuildJob(), nullptr);
}

// The warehouse's level is the stock's storage level at once; clicked, it
// opens the warehouse window and is never selected; without its kind in
// the table there is no warehouse point.
TEST_F(BuildingLevel, TheWarehouseSetsTheCapacityAndOpensItsWindow) {
  rig.level.kinds.Building(kWarehouseName)->EnableForLevel(4);
  rig.Build({POINTDEF{1, 1, 0, 0, {0, 0}, 640, 200, 0}});
  auto* w = dynamic_cast<PointWarehouse*>(rig.map->GetPoint(0));
  ASSERT_NE(w, nullptr);
  POINTPARAMS info;
  w->GetInfo(&info);
  EXPECT_EQ(info.kind, 1u);
  EXPECT_EQ(info.id, kis::NameId(kWarehouseName));
  const PRODUCT* wheat = rig.level.Product(u"wheat");
  EXPECT_EQ(rig.level.rules->Stock()->GetCapacity(wheat), 10);
  EXPECT_TRUE(w->ChangeLevel(3, true, 0));
  EXPECT_EQ(rig.level.rules->Stock()->GetCapacity(wheat), 30);
  EXPECT_FALSE(w->CanBeDamaged());
  const size_t from = rig.Mark();
  w->Select(nullptr);
  EXPECT_EQ(rig.Since(from), (Log{"warehouse window -"}));
  EXPECT_FALSE(w->IsSelected());
}

}  // namespace
}  // namespace leveltest
