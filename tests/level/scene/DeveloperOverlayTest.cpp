// The developer's keys and overlay on the scenario data set's levels: with
// the switch off nothing is taken or drawn; money, speed, the instant wins
// at the medal limits, the failure, the restart with a modifier held, the
// displays toggled only in their states, the warehouse without limits, the
// villains brought in by hand and switched off, the award notices; and a
// frame with every display on written to developer_overlay.png.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Random.h"
#include "content/AwardTable.h"
#include "content/LevelInfo.h"
#include "content/LevelTable.h"
#include "content/ProductList.h"
#include "engine/DXLViewer.h"
#include "gametext/KGEFont.h"
#include "level/rules/LevelClock.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelTasks.h"
#include "level/rules/VillainWaves.h"
#include "level/rules/WarehouseStock.h"
#include "level/scene/DeveloperOverlay.h"
#include "level/scene/GameLevel.h"
#include "platform/input/KeyCodes.h"
#include "testsupport/LevelHarness.h"

namespace leveltest {
namespace {

constexpr u8 kR = 0x13, kT = 0x14, kF = 0x21, kJ = 0x24, kC = 0x2E, kV = 0x2F, kB = 0x30;
constexpr u8 k1 = plat::DIK_1, k2 = 0x03, k3 = 0x04;
constexpr u32 kCtrl = 1, kShift = 2, kAlt = 4;
constexpr i32 kOverlayRaidLevel = 5;  // a level with villain slots

struct Notices : AwardNotices {
  void ShowAward(i32 kind, u32 index, i32 tier) override {
    shown.push_back(std::to_string(kind) + "/" + std::to_string(index) + "/" + std::to_string(tier));
  }
  std::vector<std::string> shown;
};

// A level of the scenario set played with the fake award notices, the
// overlay installed and pointed at it.
struct OverlayRig {
  explicit OverlayRig(i32 index, bool villains = false, bool enabled = true) : overlay(enabled) {
    if (!h.loaded) return;
    h.fakeVillains = villains;
    GetGameServices().developer = &overlay;
    GetGameServices().appState = kGameStateLevel;
    GameLevelHooks hooks;
    hooks.rules.profile = &h.profile;
    hooks.rules.awards = &notices;
    hooks.villains = villains ? &h.villains : nullptr;
    hooks.saves = &h.windows;
    hooks.iface = &h.windows;
    h.world.OpenLevel(index, {}, hooks);
    h.LoadAll();
    h.Enter();
    h.Start();
    held = [this](u8 key) { return key == heldKey; };
    overlay.SetHeldKeyQuery(held);
  }
  ~OverlayRig() {
    if (GetGameServices().developer == &overlay) GetGameServices().developer = nullptr;
    GetGameServices().warehouseNoLimits = false;
  }
  GameLevel& Level() { return *h.Level(); }
  LevelRules& Rules() { return h.Level()->Rules(); }
  const LEVELREGIME& Regime() { return h.Level()->GetInfo()->regimes[Rules().GetRegime()]; }
  i32 Medal() { return h.Levels().GetMedal(Rules().GetRegime(), Level().GetLevelIndex(), Rules().Clock().GetTime()); }
  bool Key(u16 key, u32 modifiers = 0) { return DebugKeyDown(key, modifiers); }
  // A frame of the level with the overlay over it.
  void Draw() {
    DXLViewer* viewer = h.rig.viewer.get();
    ASSERT_EQ(viewer->BeginFrame(), 0);
    viewer->Clear(0xFF000000u);
    h.Level()->Draw();
    viewer->LoadIdentity(nullptr);
    viewer->ResetWorldTransform();
    DrawDebugOverlay();
    ASSERT_EQ(viewer->Present(), 0);
  }

  LevelHarness h{ScenarioDataFolder(), 800, 600};
  Notices notices;
  DeveloperOverlay overlay;  // after the world: its fonts go first
  u8 heldKey = 0;
  std::function<bool(u8)> held;
};

TEST(DeveloperOverlay, SwitchedOffItTakesNoKeyAndDrawsNothing) {
  OverlayRig r(0, false, false);
  ASSERT_TRUE(r.h.loaded);
  r.Rules().Money().Set(5000);
  for (u32 m : {0u, kCtrl, kShift}) EXPECT_FALSE(r.Key(plat::DIK_EQUALS, m));
  EXPECT_FALSE(r.Key(kC));
  EXPECT_FALSE(r.Key(kR, kCtrl));
  EXPECT_EQ(r.Rules().Money().Get(), 5000);
  EXPECT_EQ(r.Rules().Tasks().GetResult(), kResultNone);
  EXPECT_FALSE(r.overlay.ShowsClock());
  r.h.DrawFrame();
  const std::vector<u32> before = r.h.Frame();
  r.Draw();
  EXPECT_EQ(r.overlay.GetLinesDrawn(), 0u);
  EXPECT_EQ(r.h.Frame(), before);
}

TEST(DeveloperOverlay, MoneySpeedStockAndDisplaysInTheirStates) {
  OverlayRig r(0);
  ASSERT_TRUE(r.h.loaded);
  LevelRules& rules = r.Rules();
  ASSERT_NE(r.overlay.GetFont(2), nullptr) << "the debug fonts were made";
  EXPECT_EQ(r.overlay.GetFont(2)->GetColor() | 0xFF000000u, 0xFFFFFF00u);

  rules.Money().Set(95000);
  EXPECT_TRUE(r.Key(plat::DIK_EQUALS, kCtrl));
  EXPECT_EQ(rules.Money().Get(), 99999);
  rules.Money().Set(5000);
  EXPECT_TRUE(r.Key(plat::DIK_MINUS, kCtrl));
  EXPECT_EQ(rules.Money().Get(), 0);

  // Speed: 1..4, the level clock runs that much faster.
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(r.Key(plat::DIK_EQUALS, kShift)) << "goes on to the restart check";
  EXPECT_EQ(rules.Clock().GetSpeed(), 4);
  const u32 t0 = rules.Clock().GetTime();
  r.h.Step(1000, 20);
  EXPECT_EQ(rules.Clock().GetTime() - t0, 4000u);
  for (int i = 0; i < 5; ++i) r.Key(plat::DIK_MINUS, kShift);
  EXPECT_EQ(rules.Clock().GetSpeed(), 1);

  // The warehouse reports every stock full while storing still works.
  WarehouseStock* stock = rules.Stock();
  ASSERT_NE(stock, nullptr);
  ASSERT_TRUE(GetGameServices().products && GetGameServices().products->GetCount() > 0);
  const PRODUCT* product = GetGameServices().products->Get(0);
  ASSERT_GT(stock->GetCapacity(product), 1);
  const i32 stored = stock->GetTrueCount(product);
  EXPECT_TRUE(r.Key(plat::DIK_W, kCtrl));
  EXPECT_EQ(stock->GetCount(product), stock->GetCapacity(product));
  stock->Add(product, 1, false);
  EXPECT_EQ(stock->GetTrueCount(product), stored + 1);

  // Displays: the map's own Ctrl+S, the level's; level keys outside a level pass on.
  GetGameServices().appState = kGameStateLevelMap;
  EXPECT_TRUE(r.Key(plat::DIK_S, kCtrl));
  EXPECT_TRUE(r.overlay.ShowsMapCharacters());
  EXPECT_FALSE(r.overlay.ShowsShapes());
  for (u8 k : {plat::DIK_P, kJ, kC, k1, k2}) EXPECT_FALSE(r.Key(k, kCtrl));
  EXPECT_TRUE(r.Key(kT, kCtrl));
  EXPECT_TRUE(r.Key(kF, kCtrl));
  EXPECT_TRUE(r.overlay.ShowsClock() && r.overlay.ShowsFrameRate());
  GetGameServices().appState = kGameStateLevel;
  for (u8 k : {plat::DIK_S, plat::DIK_P, kJ, kC, k1, k2}) EXPECT_TRUE(r.Key(k, kCtrl));
  EXPECT_TRUE(r.overlay.ShowsShapes() && r.overlay.ShowsPointNumbers() && r.overlay.ShowsCounters() &&
              r.overlay.ShowsMarkers());
  EXPECT_TRUE(r.overlay.ShowsMapCharacters()) << "the level's Ctrl+S is the shapes'";
  EXPECT_EQ(r.overlay.GetPathFlags(), kDebugPathsGirl | kDebugPathsChicken);
  EXPECT_FALSE(r.Key(plat::DIK_S, kCtrl | kAlt)) << "Alt with Ctrl is neither";

  // Lines: the stock's, the player's jobs in a row, the frame rate; from y = 50, a line height + 2 apart.
  GetGameServices().profilePlayTime = 3723000;
  r.h.ClickMap(200, 300);  // the player walks: her path drawn
  r.h.Step(100);
  r.Draw();
  EXPECT_EQ(r.overlay.GetLinesDrawn(), 3u);
  const float step = static_cast<float>(r.overlay.GetFont(1)->GetHeight() + 2);
  EXPECT_FLOAT_EQ(r.overlay.GetLinePosition(), kDebugFirstLine + 3 * step);
  r.h.WritePng("developer_overlay.png");
  // The clock's black box at (width - 104, 100).
  EXPECT_EQ(r.h.Pixel(800 - 103, 121), 0xFF000000u);
}

TEST(DeveloperOverlay, InstantWinsAtTheMedalLimitsFailAndRestart) {
  OverlayRig r(0);
  ASSERT_TRUE(r.h.loaded);
  LevelRules& rules = r.Rules();
  const LEVELREGIME regime = r.Regime();
  ASSERT_GT(regime.bronze, regime.silver);

  EXPECT_TRUE(r.Key(kC));
  EXPECT_EQ(rules.Clock().GetTime(), static_cast<u32>(regime.bronze));
  EXPECT_EQ(rules.Tasks().GetResult(), kResultWon);
  EXPECT_EQ(r.Medal(), kGradeBronze) << "a time equal to a limit earns it";
  EXPECT_FALSE(r.Key(kC)) << "a won level takes no second win";
  EXPECT_FALSE(r.Key(k1, kShift));
  EXPECT_FALSE(r.Key(plat::DIK_L));

  const std::pair<u8, i32> wins[] = {{k1, kGradeGold}, {k2, kGradeSilver}, {k3, kGradeBronze}};
  for (auto [key, medal] : wins) {
    EXPECT_TRUE(r.Key(kR, kCtrl | kShift)) << "R restarts with modifiers held";
    EXPECT_EQ(rules.Tasks().GetResult(), kResultNone);
    r.h.Start();
    EXPECT_TRUE(r.Key(key, kShift));
    EXPECT_EQ(rules.Tasks().GetResult(), kResultWon);
    EXPECT_EQ(r.Medal(), medal);
  }

  // Shift+C keeps the time; L fails a level with time limits only.
  EXPECT_TRUE(r.Key(kR));
  r.h.Start();
  r.h.Step(200);
  const u32 t = rules.Clock().GetTime();
  EXPECT_TRUE(r.Key(kC, kShift));
  EXPECT_EQ(rules.Clock().GetTime(), t);
  EXPECT_TRUE(r.Key(kR, kAlt));
  r.h.Start();
  auto& limits = const_cast<LEVELREGIME&>(r.Level().GetInfo()->regimes[rules.GetRegime()]);
  limits.bronze = 0;
  EXPECT_FALSE(r.Key(plat::DIK_L));
  EXPECT_EQ(rules.Tasks().GetResult(), kResultNone);
  EXPECT_TRUE(r.Key(kC)) << "without limits C wins at 99:59:59";
  EXPECT_EQ(rules.Clock().GetTime(), 359999000u);
  limits.bronze = regime.bronze;
  EXPECT_TRUE(r.Key(kR));
  r.h.Start();
  EXPECT_TRUE(r.Key(plat::DIK_L));
  EXPECT_EQ(rules.Tasks().GetResult(), kResultLost);
}

TEST(DeveloperOverlay, VillainsByHandSwitchedOffAndAwardNotices) {
  OverlayRig r(kOverlayRaidLevel, true);
  ASSERT_TRUE(r.h.loaded);
  GameLevel& level = r.Level();
  ASSERT_TRUE(level.HasVillains());
  const u32 slots = level.GetInfo()->villainSlotCount;
  const VillainList* list = GetVillainList();
  ASSERT_NE(list, nullptr);
  ASSERT_GT(list->GetCount(), 0u);

  EXPECT_FALSE(r.Key(k1));
  EXPECT_TRUE(r.h.villains.spawns.empty()) << "only while V is held";
  r.heldKey = kV;
  EXPECT_FALSE(r.Key(static_cast<u16>(k1 + list->GetCount()))) << "no such record";
  EXPECT_TRUE(r.h.villains.spawns.empty());
  for (u32 i = 0; i < slots; ++i) r.Key(k1);
  ASSERT_EQ(r.h.villains.spawns.size(), slots);
  EXPECT_EQ(r.h.villains.spawns[0], "0:" + std::to_string(list->Get(0)->id));
  r.Key(k1);
  EXPECT_EQ(r.h.villains.spawns.size(), slots) << "no slot free";
  r.heldKey = 0;

  EXPECT_FALSE(r.Key(kV, kCtrl));
  EXPECT_TRUE(level.Rules().Waves().IsSwitchedOff());
  r.Draw();
  EXPECT_EQ(r.overlay.GetLinesDrawn(), 1u);

  // Award notices with the seeded generator's indices.
  kis::srand(11);
  const u32 a0 = kis::RandomBelow(9), a1 = kis::RandomBelow(9), a2 = kis::RandomBelow(9), b = kis::RandomBelow(8);
  kis::srand(11);
  r.Key(plat::DIK_A);
  r.Key(plat::DIK_A, kShift);
  r.Key(plat::DIK_A, kCtrl);
  r.Key(kB);
  r.Key(kT);
  r.Key(plat::DIK_A, kAlt);
  const std::vector<std::string> expected = {"0/" + std::to_string(a0) + "/1", "0/" + std::to_string(a1) + "/2",
                                             "0/" + std::to_string(a2) + "/3", "1/" + std::to_string(b) + "/1",
                                             "2/0/0"};
  EXPECT_EQ(r.notices.shown, expected);
}

}  // namespace
}  // namespace leveltest
