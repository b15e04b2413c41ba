// The developer's keys and overlay on the scenario data set's levels: with
// the switch off nothing is taken or drawn; money, speed, the instant wins
// at the medal limits, the failure, the restart with a modifier held, the
// displays toggled only in their states, the warehouse without limits, the
// villains brought in by hand and switched off, the award notices; and a
// frame with every display on written to developer_overlay.png.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "base/Random.h"
#include "content/AwardTable.h"
#include "content/ContentServices.h"
#include "content/GameCharacter.h"
#include "content/LevelRegime.h"
#include "content/LevelTable.h"
#include "content/ProductList.h"
#include "engine/DXLViewer.h"
#include "gametext/KGEFont.h"
#include "level/characters/Job.h"
#include "level/characters/LevelCharacters.h"
#include "level/characters/MapCharacter.h"
#include "level/map/LevelMap.h"
#include "level/rules/LevelClock.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelTasks.h"
#include "level/rules/VillainWaves.h"
#include "level/rules/WarehouseStock.h"
#include "level/scene/DeveloperOverlay.h"
#include "level/scene/GameLevel.h"
#include "level/scene/LevelServices.h"
#include "pathfinding/MapShapes.h"
#include "pathfinding/PathFinder.h"
#include "platform/input/KeyCodes.h"
#include "resources/ResourceServices.h"
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
    GetLevelServices().developer = &overlay;
    GetResourceServices().appState = kGameStateLevel;
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
    if (GetLevelServices().developer == &overlay) GetLevelServices().developer = nullptr;
    GetLevelServices().warehouseNoLimits = false;
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
  // The start's overlay makes its fonts only where it may draw.
  InitDebugOverlay(false);
  ASSERT_NE(GetDeveloperOverlay(), nullptr);
  EXPECT_EQ(GetDeveloperOverlay()->GetFont(0), nullptr);
  InitDebugOverlay(true);
  ASSERT_NE(GetDeveloperOverlay(), nullptr);
  for (u32 i = 0; i < 3; ++i) EXPECT_NE(GetDeveloperOverlay()->GetFont(i), nullptr) << i;
  ReleaseDebugOverlay();
  EXPECT_EQ(GetDeveloperOverlay(), nullptr);
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
  ASSERT_TRUE(GetContentServices().products && GetContentServices().products->GetCount() > 0);
  const PRODUCT* product = GetContentServices().products->Get(0);
  ASSERT_GT(stock->GetCapacity(product), 1);
  const i32 stored = stock->GetTrueCount(product);
  EXPECT_TRUE(r.Key(plat::DIK_W, kCtrl));
  EXPECT_EQ(stock->GetCount(product), stock->GetCapacity(product));
  stock->Add(product, 1, false);
  EXPECT_EQ(stock->GetTrueCount(product), stored + 1);

  // Displays: the map's own Ctrl+S, the level's; level keys outside a level pass on.
  GetResourceServices().appState = kGameStateLevelMap;
  EXPECT_TRUE(r.Key(plat::DIK_S, kCtrl));
  EXPECT_TRUE(r.overlay.ShowsMapCharacters());
  EXPECT_FALSE(r.overlay.ShowsShapes());
  for (u8 k : {plat::DIK_P, kJ, kC, k1, k2}) EXPECT_FALSE(r.Key(k, kCtrl));
  EXPECT_TRUE(r.Key(kT, kCtrl));
  EXPECT_TRUE(r.Key(kF, kCtrl));
  EXPECT_TRUE(r.overlay.ShowsClock() && r.overlay.ShowsFrameRate());
  GetResourceServices().appState = kGameStateLevel;
  for (u8 k : {plat::DIK_S, plat::DIK_P, kJ, kC, k1, k2}) EXPECT_TRUE(r.Key(k, kCtrl));
  EXPECT_TRUE(r.overlay.ShowsShapes() && r.overlay.ShowsPointNumbers() && r.overlay.ShowsCounters() &&
              r.overlay.ShowsMarkers());
  EXPECT_TRUE(r.overlay.ShowsMapCharacters()) << "the level's Ctrl+S is the shapes'";
  EXPECT_EQ(r.overlay.GetPathFlags(), kDebugPathsGirl | kDebugPathsChicken);
  EXPECT_FALSE(r.Key(plat::DIK_S, kCtrl | kAlt)) << "Alt with Ctrl is neither";

  // Lines: the stock's, the player's jobs in a row, the frame rate; from y = 50, a line height + 2 apart.
  GetResourceServices().profilePlayTime = 3723000;
  r.h.ClickMap(200, 300);  // the player walks: her path drawn
  r.h.Step(100);
  r.Draw();
  EXPECT_EQ(r.overlay.GetLinesDrawn(), 3u);
  const float step = static_cast<float>(r.overlay.GetFont(1)->GetHeight() + 2);
  EXPECT_FLOAT_EQ(r.overlay.GetLinePosition(), kDebugFirstLine + 3 * step);
  r.h.WritePng("developer_overlay.png");
  // The clock's black box at (width - 104, 100).
  EXPECT_EQ(r.h.Pixel(800 - 103, 121), 0xFF000000u);

  // A saved job that could not be restored: its error at (10, height - 150).
  auto errorBand = [&] {
    std::vector<u32> band;
    const u32 h = static_cast<u32>(r.overlay.GetFont(1)->GetHeight());
    for (u32 y = 600 - 150; y < 600 - 150 + h; ++y)
      for (u32 x = 10; x < 400; ++x) band.push_back(r.h.Pixel(x, y));
    return band;
  };
  r.Draw();
  const std::vector<u32> none = errorBand();
  ASSERT_NE(r.Level().Map().GetCharacters(), nullptr);
  r.Level().Map().GetCharacters()->SetLoadError(u"Ошибка загрузки работы JOBID_CLEAR");
  r.Draw();
  EXPECT_NE(errorBand(), none);
  r.Level().Map().GetCharacters()->SetLoadError(nullptr);
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


// One channel of `under` with `fill` (ARGB) blended over it at the fill's alpha.
u32 OverlayBlend(u32 under, u32 fill, int shift) {
  const u32 a = fill >> 24, u = (under >> shift) & 0xFF, f = (fill >> shift) & 0xFF;
  return (f * a + u * (255 - a)) / 255;
}
// True when `seen` is `fill` blended once over `under`, within rounding.
bool BlendedOnce(u32 seen, u32 under, u32 fill) {
  for (int shift : {0, 8, 16})
    if (std::abs(static_cast<int>((seen >> shift) & 0xFF) - static_cast<int>(OverlayBlend(under, fill, shift))) > 3)
      return false;
  return true;
}

// Ctrl+S: the tile cells' hit shapes in yellow, each once however many
// tiles it spans, then the global sets in green; Ctrl+1: the cells the
// girl's path search ran through in red, those between the path's points
// too; every display read back against the frame without it.
TEST(DeveloperOverlay, ShapePassesAndPathSearchCellsReadBack) {
  OverlayRig r(0);
  ASSERT_TRUE(r.h.loaded);
  GameLevel& level = r.Level();
  LevelMap& map = level.Map();
  const LevelScreen& screen = level.Screen();
  auto onScreen = [&](float x, float y) {
    float sx = 0, sy = 0;
    screen.MapToScreen(x, y, &sx, &sy);
    return std::pair<u32, u32>{static_cast<u32>(std::clamp(sx, 0.0f, 799.0f)), static_cast<u32>(std::clamp(sy, 0.0f, 599.0f))};
  };
  // A place no shape of the level covers, for the two sets of the test.
  auto covered = [&](i32 x, i32 y) {
    for (i32 row = 0; row < map.GetTileRows(); ++row)
      for (i32 column = 0; column < map.GetTileColumns(); ++column)
        if (const kis::list<MAPSHAPE*>* tile = map.GetTileShapes(column, row))
          for (i32 i = 0; i < tile->GetCount(); ++i)
            if (ShapeContainsPoint(&(*tile)[i]->desc, x, y)) return true;
    return false;
  };
  // The yellow rectangle straddles the tiles' column boundary at x = 512.
  SHAPEDESC straddling{SHAPE_RECT, {492, 10, 532, 50, 0, 0, 0}};
  SHAPEDESC round{SHAPE_CIRCLE, {600, 30, 20, 0, 0, 0, 0}};
  for (auto [x, y] : {std::pair{512, 30}, std::pair{600, 30}}) ASSERT_FALSE(covered(x, y)) << x << "," << y;
  MapShapes tileSet(&map), globalSet(&map);
  tileSet.Create(0, &straddling, 1, 0, 0, 0, 0);
  globalSet.Create(1, &round, 1, 0, 0, 0, 0);
  ASSERT_EQ(tileSet.GetShape(0)->tileRight - tileSet.GetShape(0)->tileLeft, 1) << "spans two tiles";

  r.h.ClickMap(360, 520);  // the girl walks far: a path of several cells
  r.h.Step(200);
  r.Draw();
  const std::vector<u32> plain = r.h.Frame();
  const auto [w, h] = std::pair<u32, u32>{800, 600};
  auto at = [&](const std::vector<u32>& f, std::pair<u32, u32> p) { return f[p.second * w + p.first]; };

  EXPECT_TRUE(r.Key(plat::DIK_S, kCtrl));
  r.Draw();
  const std::vector<u32> shapes = r.h.Frame();
  for (auto p : {onScreen(512, 30), onScreen(500, 40)})
    EXPECT_TRUE(BlendedOnce(at(shapes, p), at(plain, p), 0x40FFFF00u)) << std::hex << at(shapes, p) << " over " << at(plain, p);
  const auto centre = onScreen(600, 30);
  EXPECT_TRUE(BlendedOnce(at(shapes, centre), at(plain, centre), 0x4000FF00u)) << std::hex << at(shapes, centre);
  // The outlines: yellow round the rectangle, green round the circle, on the level's edges of them.
  auto outlined = [&](const std::vector<u32>& f, std::pair<u32, u32> p, u32 color) {
    for (u32 dy = 0; dy < 5; ++dy)
      for (u32 dx = 0; dx < 5; ++dx)
        if (p.first + dx >= 2 && p.second + dy >= 2 && f[(p.second + dy - 2) * w + p.first + dx - 2] == color) return true;
    return false;
  };
  EXPECT_TRUE(outlined(shapes, onScreen(532, 30), 0xFFFFFF00u));
  EXPECT_TRUE(outlined(shapes, onScreen(620, 30), 0xFF00FF00u));
  EXPECT_FALSE(outlined(shapes, onScreen(560, 30), 0xFF00FF00u)) << "nothing between them";
  EXPECT_TRUE(r.Key(plat::DIK_S, kCtrl));

  // The girl's search cells: red over the cells her path crosses, between its points as well.
  const shpf::PathFinder* finder = level.GetPathFinder();
  ASSERT_NE(finder, nullptr);
  const Job* walk = nullptr;
  for (i32 i = 0; !walk && i < map.GetCharacters()->GetCharacters().GetCount(); ++i) {
    const MapCharacter* c = map.GetCharacters()->GetCharacters()[i];
    if (c && c->GetDescription() && std::u16string(c->GetDescription()->name) == u"girl" && c->GetJobs().GetCount() > 0)
      walk = c->GetJobs()[0];
  }
  ASSERT_NE(walk, nullptr);
  const shpf::_PATHREQUEST& path = walk->GetPathRequest();
  ASSERT_EQ(path.prState, shpf::PFS_FOUND);
  ASSERT_GE(path.pointCount, 2u);
  const float cw = finder->GetCellWidth(), ch = finder->GetCellHeight();
  // A cell inside the longest leg that holds neither of its ends.
  u32 leg = 0;
  auto legCells = [&](u32 k) {
    return std::max(std::fabs(path.points[2 * k + 2] - path.points[2 * k]) / cw,
                    std::fabs(path.points[2 * k + 3] - path.points[2 * k + 1]) / ch);
  };
  for (u32 k = 1; k + 1 < path.pointCount; ++k)
    if (legCells(k) > legCells(leg)) leg = k;
  const float x0 = path.points[2 * leg], y0 = path.points[2 * leg + 1];
  const float x1 = path.points[2 * leg + 2], y1 = path.points[2 * leg + 3];
  ASSERT_GT(std::max(std::fabs(x1 - x0) / cw, std::fabs(y1 - y0) / ch), 2.5f) << "a leg over several cells: " << path.pointCount << " points, cells " << cw << " x " << ch << " from " << path.startX << "," << path.startY << " to " << path.finishX << "," << path.finishY;
  const float mx = (x0 + x1) / 2, my = (y0 + y1) / 2;
  const float cellX = std::floor(mx / cw) * cw, cellY = std::floor(my / ch) * ch;
  const auto inside = onScreen(cellX + cw / 2, cellY + ch / 2);
  EXPECT_TRUE(r.Key(k1, kCtrl));
  r.Draw();
  const std::vector<u32> cells = r.h.Frame();
  EXPECT_TRUE(BlendedOnce(at(cells, inside), at(plain, inside), 0x40FF0000u)) << std::hex << at(cells, inside);
  EXPECT_TRUE(outlined(cells, onScreen(cellX, cellY), 0xFFFF0000u));
  // A cell far from the walk stays as it was; the chickens' flag alone draws none of hers.
  const auto far = onScreen(x0 < 640 ? 1100.0f : 100.0f, std::max(y0, y1) + 3 * ch);
  EXPECT_EQ(at(cells, far), at(plain, far));
  EXPECT_TRUE(r.Key(k1, kCtrl));
  EXPECT_TRUE(r.Key(k2, kCtrl));
  r.Draw();
  EXPECT_EQ(at(r.h.Frame(), inside), at(plain, inside));
}

}  // namespace
}  // namespace leveltest
