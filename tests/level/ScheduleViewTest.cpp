// The villain-wave schedule, the lock counters and the view fitted to the
// screen.
#include "LevelRig.h"
#include "base/Random.h"

using namespace leveltest;

namespace {

struct Slots : VillainSlots {
  u32 GetSlotCount() const override { return count; }
  bool IsSlotTaken(u32 slot) const override { return slot < 16 && taken[slot]; }
  void SpawnVillain(u32 slot, u32 kind) override {
    if (!stayFree) taken[slot] = true;
    spawns.push_back({slot, kind});
  }
  u32 count = 4;
  bool taken[16] = {};
  bool stayFree = false;
  std::vector<std::pair<u32, u32>> spawns;
};

using Spawns = std::vector<std::pair<u32, u32>>;

LEVELINFO Waves(std::vector<WAVEDEF> waves, i32 first, i32 length) {
  LEVELINFO l;
  l.waves = std::move(waves);
  l.firstRepeatWave = first;
  l.repeatLength = length;
  return l;
}

}  // namespace

// Wave 0 after 1 s into slot 2, wave 1 at once after it into any free slot,
// wave 2 after 0.5 s into slot 3; waves 1 and 2 repeat.
TEST(VillainWaves, RunByTheTableRepeatTheirTailAndNeverSpawnIntoATakenSlot) {
  const LEVELINFO level = Waves({{2, 100, 1000}, {-1, 101, 0}, {3, 102, 500}}, 1, 2);
  VillainWaves w;
  Slots slots;
  w.Start(&level);
  EXPECT_TRUE(w.IsEnabled());
  EXPECT_EQ(w.GetTimeToNext(), 1000u);
  w.Run(990, false, slots);
  EXPECT_TRUE(slots.spawns.empty());
  kis::srand(1);
  w.Run(10, false, slots);  // wave 0 and, with no delay, wave 1 in the same run
  ASSERT_EQ(slots.spawns.size(), 2u);
  EXPECT_EQ(slots.spawns[0], (std::pair<u32, u32>{2, 100}));
  EXPECT_NE(slots.spawns[1].first, 2u);
  EXPECT_EQ(slots.spawns[1].second, 101u);
  EXPECT_EQ(w.GetTimeToNext(), 500u);
  w.Run(500, true, slots);  // the bees hold the waves
  w.SetHeld(true);
  w.Run(500, false, slots);
  EXPECT_EQ(slots.spawns.size(), 2u);
  w.SetHeld(false);
  slots.taken[3] = true;
  // Wave 2's slot is taken: nobody comes; back to wave 1, which at once
  // takes the last free slot.
  w.Run(500, false, slots);
  EXPECT_EQ(w.GetIndex(), 2u);
  EXPECT_EQ(w.GetCount(), 3u);
  EXPECT_EQ(slots.spawns.size(), 3u);
  EXPECT_EQ(slots.spawns[2].second, 101u);
  for (u32 s = 0; s < 4; ++s) EXPECT_TRUE(slots.taken[s]) << s;
  EXPECT_EQ(VillainWaves::PickSlot(slots), -1);
  w.Run(500, false, slots);
  w.Run(0, false, slots);
  EXPECT_EQ(slots.spawns.size(), 3u);
  EXPECT_TRUE(w.IsEnabled());

  // Without a repeating part, or with one that starts outside the table,
  // the waves end after the last.
  for (const LEVELINFO& once : {Waves({{0, 1, 0}, {1, 2, 10}}, 0, 0), Waves({{0, 1, 0}, {1, 2, 10}}, 2, 3),
                                Waves({{0, 1, 0}, {1, 2, 10}}, -1, 1)}) {
    VillainWaves v;
    Slots s;
    v.Start(&once);
    v.Run(100000, false, s);
    EXPECT_EQ(s.spawns, (Spawns{{0, 1}, {1, 2}}));
    EXPECT_FALSE(v.IsEnabled());
  }
  VillainWaves none;
  none.Start(nullptr);
  none.Run(1000, false, slots);
  EXPECT_FALSE(none.IsEnabled());
}

// A repeating wave with no delay would come without end: 16 a run.
TEST(VillainWaves, AtMostSixteenComeInOneRun) {
  const LEVELINFO level = Waves({{-1, 7, 0}}, 0, 1);
  VillainWaves w;
  Slots slots;
  slots.count = 16;
  slots.stayFree = true;
  w.Start(&level);
  w.Run(10, false, slots);
  EXPECT_EQ(slots.spawns.size(), 16u);
  w.Run(10, false, slots);
  EXPECT_EQ(slots.spawns.size(), 32u);
  // A random pick only lands on free slots.
  slots.stayFree = false;
  for (u32 i = 0; i < 16; ++i) slots.taken[i] = i != 11;
  EXPECT_EQ(VillainWaves::PickSlot(slots), 11);
}

TEST(LevelLocks, CountEveryHolderAndReleaseOnlyWhatIsHeld) {
  LevelLocks locks;
  locks.OnWindowOpened(0x44696167u);  // 'Diag'
  locks.OnWindowOpened(0x4D656E75u);  // 'Menu'
  locks.OnWindowOpened(kWarehouseWindowId);
  EXPECT_EQ(locks.GetMask(), kLockWindow | kLockWarehouse);
  EXPECT_EQ(locks.GetCounter(1), 2);
  EXPECT_TRUE(locks.AreSoundsPaused());
  locks.OnWindowClosed(0x44696167u);
  EXPECT_EQ(locks.GetMask(), kLockWindow | kLockWarehouse);  // one window is still open
  EXPECT_TRUE(locks.IsLockedExcept(kLockWarehouse));
  EXPECT_FALSE(locks.IsLockedExcept(kLockWindow | kLockWarehouse));
  locks.Unlock(kLockTutorial | kLockStart);  // not held: nothing
  EXPECT_EQ(locks.GetCounter(4), 0);
  locks.OnWindowClosed(0x4D656E75u);
  locks.OnWindowClosed(0x4D656E75u);
  EXPECT_EQ(locks.GetCounter(1), 0);
  locks.OnWindowClosed(kWarehouseWindowId);
  EXPECT_EQ(locks.GetMask(), 0u);
  EXPECT_FALSE(locks.AreSoundsPaused());
  EXPECT_FALSE(locks.IsLockedExcept(0));
  locks.Lock(kLockExit | kLockTutorial);
  EXPECT_EQ(locks.GetMask(), kLockExit | kLockTutorial);
  locks.Reset();
  EXPECT_EQ(locks.GetMask(), 0u);
  EXPECT_EQ(locks.GetCounter(2), 0);
}

TEST(LevelView, FitsThePlayfieldAndThePanelIntoEveryScreen) {
  struct Case {
    i32 w, h;
    float scale;
    i32 scrollX, scrollY, drawnW, drawnH;
  };
  const Case cases[] = {
      {1280, 1024, 1.25f, 160, -24, 1280, 1000},  // too tall: the width decides
      {800, 600, 500.0f / 720, 44, 0, 800, 600},
      {1024, 768, 1.0f, 128, 26, 1024, 768},
      {1280, 820, 1.0f, 0, 0, 1280, 820},          // exact
      {1300, 820, 1.015625f, 0, 11, 1300, 820},    // a little wider: fill the width
      {1920, 1080, 980.0f / 720, -89, 0, 1742, 1080},
      {640, 100, 500.0f / 720, 44, 0, 800, 600},   // below the smallest screen: as 800 x 600
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
    LEVELVIEW v;
    const LEVELVIEWSIZE size = FitLevelView(&v, c.w, c.h);
    EXPECT_FLOAT_EQ(v.scale, c.scale);
    EXPECT_EQ(v.scaling, c.scale != 1.0f);
    EXPECT_EQ(v.scrollX, c.scrollX);
    EXPECT_EQ(v.scrollY, c.scrollY);
    EXPECT_EQ(size.width, c.drawnW);
    EXPECT_EQ(size.height, c.drawnH);
  }

  LevelView view;
  view.UpdateViewport(800, 600);
  EXPECT_EQ(view.GetViewHeight(), 520);
  EXPECT_FLOAT_EQ(view.GetTranslateX(), -44.0f);
  i32 x = 720, y = 360;
  view.MapToScreen(&x, &y);
  EXPECT_EQ(x, 456);  // 500 - 44
  EXPECT_EQ(y, 250);
  view.ScreenToMap(&x, &y);
  EXPECT_EQ(x, 720);
  EXPECT_EQ(y, 360);
  view.UpdateViewport(1024, 768);
  x = 100, y = 100;
  view.ScreenToMap(&x, &y);
  EXPECT_EQ(x, 228);
  EXPECT_EQ(y, 126);
}
