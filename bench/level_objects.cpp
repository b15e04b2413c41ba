// Eight flour mills at level 4 producing on the scenario data set's first
// level, each with four working animations and sixteen smoke emitters
// (the mill's own, repeated to those counts), and a fed level-4 cow shed
// and sheep pen (four cows' heads eating, four sheep and their heads
// grazing), updated (a 16-ms frame) and
// drawn at 800 x 600 through the level view (scale 0.694). The goal: a
// whole frame, update and draw, under 4 ms on one core. The smoke takes
// about three seconds of game time to reach its full density (a frame
// costs a third as much at the start), and two of the mills finish their
// products at 8 s: the mills first run 3.2 s untimed, and the figure is of
// the fixed 300 frames after that (3.2 s to 8 s, all eight working),
// whatever the speed of the machine.
//
// A busy level on the same map: thirteen working points (four of those
// mills, three fed chicken houses of level 4 with their four chickens
// each, five growing beds and an apple tree with 24 fruits), three villains
// attacking with six shots always in flight, and the player walking to
// and fro. The same goal.
//
// TM_LEVEL_OBJECTS_PNG=<file> writes a frame of one working level-3 mill
// instead (after two seconds of work), for a look at it;
// TM_LEVEL_OBJECTS_BUSY_PNG=<file> one of the busy level after six seconds.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "FrameHash.h"
#include "common/ToolViewer.h"
#include "content/BuildingTable.h"
#include "content/ContentServices.h"
#include "content/PlantTable.h"
#include "content/ProductList.h"
#include "content/VillainList.h"
#include "level/characters/LevelCharacters.h"
#include "level/characters/MapPlayer.h"
#include "level/map/LevelMap.h"
#include "level/objects/LevelVillainCast.h"
#include "level/objects/MapVillain.h"
#include "level/objects/PlantGrowth.h"
#include "level/objects/PointCowshed.h"
#include "level/objects/PointFactory.h"
#include "level/objects/PointHenhouse.h"
#include "level/objects/PointPlant.h"
#include "level/objects/PointSheepRack.h"
#include "level/objects/PointTree.h"
#include "level/objects/VillainShot.h"
#include "level/scene/GameLevel.h"
#include "platform/headless/Session.h"
#include "testsupport/LevelWorld.h"

namespace {

constexpr u32 kFrameMs = 16;
constexpr i32 kMills = 8;
constexpr i32 kSettleFrames = 200;  // 3.2 s of game time
constexpr i32 kTimedFrames = 300;   // 4.8 s

struct MillBench {
  plat::headless::Session session;
  plat::PlatformServicesScope installed{session.Services()};
  std::unique_ptr<DXLWindowViewer> viewer = std::make_unique<DXLWindowViewer>();
  std::unique_ptr<leveltest::LevelWorld> world;
  std::vector<std::unique_ptr<PointFactory>> mills;
  std::vector<std::unique_ptr<PointPetshouse>> houses;

  // `count` mills of the level, every slot working.
  MillBench(i32 level, i32 count, const std::vector<POINTPOS>& places = {}) {
    tools::CreateToolWindow(*viewer, u"LevelObjectsBench");
    tools::SetToolDisplayMode(*viewer, 800, 600);
    world = std::make_unique<leveltest::LevelWorld>(TM_SCENARIO_DATA_DIR, viewer.get(), 800, 600);
    if (!world->loaded) return;
    GameLevel& game = world->Play(0);
    BUILDING* mill = FindBuildingByName(u"prod_flour");
    ProductList* products = GetProductList();
    if (!mill || !products || mill->levelCount < level) return;
    mill->EnableForLevel(4);
    products->UseProduct(products->FindByName(u"wheat"));
    BUILDINGLEVEL& l = mill->levels[level - 1];
    if (count > 1) {  // the counts the goal asks for, from the mill's own
      for (u32 a = l.factory.animationCount; a > 0 && a < kMaxFactoryAnimations; ++a) {
        l.factory.animations[a] = l.factory.animations[0];
        l.factory.animations[a].x += 12 * static_cast<i32>(a);
        l.animationImages[a] = l.animationImages[0];
        l.factory.animationCount = a + 1;
      }
      for (u32 e = l.emitterCount; e > 0 && e < kMaxBuildingEmitters; ++e) {
        l.emitters[e] = l.emitters[0];
        l.emitters[e].x += 4 * static_cast<i32>(e % 4);
        l.emitterCount = e + 1;
      }
    }
    for (i32 i = 0; i < count; ++i) {
      auto f = std::make_unique<PointFactory>(game.Map(), mill);
      if (static_cast<size_t>(i) < places.size())
        f->SetPosition(places[i].x, places[i].y);
      else
        f->SetPosition(count == 1 ? 520 : 180 + (i % 4) * 290, count == 1 ? 380 : 260 + (i / 4) * 280);
      f->SetLevel(level, false, 0);
      for (i32 s = 0; s < f->GetSlotCount(); ++s) f->StartProduction(0, s, false);
      mills.push_back(std::move(f));
    }
  }
  // The fed cow shed and sheep pen at level 4, between the mills' rows.
  void AddHouses(GameLevel& game) {
    BUILDING* shed = FindBuildingByName(u"cowshed");
    BUILDING* pen = FindBuildingByName(u"sheep_rack");
    if (!shed || !pen) return;
    for (BUILDING* b : {shed, pen}) b->EnableForLevel(4);
    houses.push_back(std::make_unique<PointCowshed>(game.Map(), shed));
    houses.push_back(std::make_unique<PointSheepRack>(game.Map(), pen));
    for (size_t i = 0; i < houses.size(); ++i) {
      houses[i]->SetPosition(i == 0 ? 325 : 905, 400);
      houses[i]->SetLevel(4, false, 0);
      houses[i]->SetFed(true, false);
    }
  }
  virtual ~MillBench() {
    houses.clear();
    mills.clear();
    world.reset();
    viewer.reset();
  }
  virtual void Update() {
    for (auto& m : mills) m->Update(kFrameMs);
    for (auto& h : houses) h->Update(kFrameMs);
    world->Step(kFrameMs, kFrameMs);
  }
};

constexpr i32 kBusyMills = 4, kHouses = 3, kBeds = 5, kVillains = 3, kShots = 6;

// The busy level: the mills of MillBench, then the other points, the
// villains and their shots, and the player sent back and forth.
struct BusyBench : MillBench {
  std::vector<std::unique_ptr<LevelPoint>> points;
  LevelVillainCast* cast = nullptr;
  const VILLAININFO* raider = nullptr;
  i32 walks = 0;

  BusyBench() : MillBench(4, kBusyMills, {{160, 300}, {420, 300}, {680, 300}, {940, 300}}) {
    if (!world->loaded || mills.empty()) return;
    GameLevel& game = *world->Level();
    LevelMap& map = game.Map();
    AddHouses(game);
    ProductList* products = GetProductList();
    BUILDING* house = FindBuildingByName(u"henhouse");
    PLANT* wheat = FindPlantByName(u"wheat");
    PLANT* apple = FindPlantByName(u"apple_tree");
    if (!house || !wheat || !apple || house->levelCount < 4) return;
    house->EnableForLevel(4);
    for (PLANT* plant : {wheat, apple}) GetPlantTable()->UsePlant(plant, 4);  // as a level allowing them
    for (const wchar* p : {u"wheat", u"egg"}) products->UseProduct(products->FindByName(p));
    for (i32 i = 0; i < kHouses; ++i) {
      auto* h = new PointHenhouse(map, house);
      points.emplace_back(h);
      h->SetPosition(240 + i * 330, 600);
      h->SetLevel(4, false, 0);
      h->SetFed(true, false);
    }
    for (i32 i = 0; i < kBeds; ++i) {
      auto* bed = new PointPlant(map, wheat);
      points.emplace_back(bed);
      bed->SetPosition(130 + i * 110, 470);
      POINTPARAMS p{};
      p.kind = kPointKindPlant;
      p.level = 4;
      p.id = wheat->id;
      PutPlantInfo({10.0f * static_cast<float>(i + 1), 2, 2}, &p);
      bed->Setup(p, false, 0);
    }
    // The tree's fruits: its own places, repeated to the 24 the goal asks.
    const u32 own = apple->fruitCounts[3] > 0 ? apple->fruitCounts[3] : 1;
    for (u32 f = own; f < kMaxTreeFruits; ++f) {
      apple->fruits[f] = apple->fruits[f % own];
      apple->fruits[f].x += static_cast<i32>(f / own) * 6 - 9;
      apple->fruits[f].y += static_cast<i32>(f / own) * 5;
    }
    apple->fruitCounts[3] = kMaxTreeFruits;
    auto* tree = new PointTree(map, apple);
    points.emplace_back(tree);
    tree->SetPosition(1060, 480);
    POINTPARAMS p{};
    p.kind = kPointKindPlant;
    p.level = 4;
    p.id = apple->id;
    PutPlantInfo({90.0f, 2, 2}, &p);
    tree->Setup(p, false, 0);

    // Villains of the first kind that keep shooting.
    cast = dynamic_cast<LevelVillainCast*>(game.Hooks().villains);
    const VillainList* kinds = GetContentServices().villains;
    VILLAININFO* kind = kinds ? FindVillainInfo(kis::NameId(u"raider")) : nullptr;
    if (!cast || !kind) return;
    kind->shots = 1000000;
    kind->enterInterval = 0;
    raider = kind;
    const VILLAINSLOT spots[kVillains] = {
        {-60, 160, 120, 160, 2}, {1340, 200, 1150, 200, 6}, {640, -60, 640, 120, 4}};
    for (u32 v = 0; v < kVillains; ++v) cast->SpawnVillain(v, spots[v], kind->id);
    TopUpShots();
  }
  ~BusyBench() override {
    if (cast) cast->DeleteAll();
    points.clear();
  }
  i32 FlyingShots() const {
    i32 flying = 0;
    for (const VillainShot* s : cast->GetShots()) flying += s->IsDead() || s->IsBurst() ? 0 : 1;
    return flying;
  }
  // Six shots in flight from the villains' places at the level's points.
  void TopUpShots() {
    if (!cast || !raider) return;
    const i32 targets = world->Level()->Map().GetPointCount();
    for (i32 n = 0, flying = FlyingShots(); flying < kShots && targets > 0; ++n, ++flying) {
      const MapVillain* from = cast->GetVillain(static_cast<u32>(n % kVillains));
      const float x = from ? from->GetX() : 640.0f, y = from ? from->GetY() - 40.0f : 100.0f;
      new VillainShot(*cast, x, y, n % targets, raider, false);
    }
  }
  void Update() override {
    for (auto& p : points) p->Update(kFrameMs);
    MapPlayer* player = world->Level()->Map().GetCharacters()->GetPlayer();
    if (player && player->GetJobs().GetCount() == 0) {
      const bool east = (walks++ & 1) == 0;
      world->ClickMap(east ? 820 : 290, 400);
    }
    MillBench::Update();
    TopUpShots();
  }
};

// One world at a time: the bench asked for, the other one taken down first.
// TM_LEVEL_OBJECTS_MILLS=<n> sets another count of mills (0: the level
// alone, for comparison).
std::unique_ptr<MillBench>& HeldBench() {
  static std::unique_ptr<MillBench> bench;
  return bench;
}

MillBench& TheBench(bool busy) {
  std::unique_ptr<MillBench>& bench = HeldBench();
  static bool isBusy = false;
  if (!bench || isBusy != busy) {
    bench.reset();
    const char* n = std::getenv("TM_LEVEL_OBJECTS_MILLS");
    if (busy)
      bench = std::make_unique<BusyBench>();
    else
      bench = std::make_unique<MillBench>(4, n ? std::atoi(n) : kMills);
    isBusy = busy;
    if (!busy && bench->world->loaded) {
      for (i32 i = 0; i < kSettleFrames; ++i) {
        bench->Update();
        bench->world->DrawFrame();
      }
    }
  }
  return *bench;
}
MillBench& TheMills() { return TheBench(false); }

void BM_FactoriesFrame(benchmark::State& state) {
  MillBench& b = TheMills();
  if (!b.world->loaded) return state.SkipWithError("no scenario data set");
  for (auto _ : state) {
    b.Update();
    b.world->DrawFrame();
  }
  state.counters["mills"] = static_cast<double>(b.mills.size());
  state.counters["houses"] = static_cast<double>(b.houses.size());
  state.counters["objects"] = b.world->Level()->Map().GetObjects().GetCount();
  // The last frame drawn, so a faster renderer can show it draws the same
  // pixels (the timed frames are fixed, so the frame is too).
  state.counters["frame_hash"] = benchframe::FrameHash(b.viewer->GetDevice()->GetSoftDevice());
}
BENCHMARK(BM_FactoriesFrame)->Unit(benchmark::kMillisecond)->Iterations(kTimedFrames);

void BM_FactoriesUpdate(benchmark::State& state) {
  MillBench& b = TheMills();
  if (!b.world->loaded) return state.SkipWithError("no scenario data set");
  for (auto _ : state) b.Update();
}
BENCHMARK(BM_FactoriesUpdate)->Unit(benchmark::kMillisecond);

void BM_BusyLevelFrame(benchmark::State& state) {
  auto& b = static_cast<BusyBench&>(TheBench(true));
  if (!b.world->loaded || !b.cast) return state.SkipWithError("no scenario data set");
  for (auto _ : state) {
    b.Update();
    b.world->DrawFrame();
  }
  state.counters["points"] = static_cast<double>(b.mills.size() + b.points.size());
  state.counters["villains"] = static_cast<double>(b.cast->GetVillains().size());
  state.counters["shots"] = static_cast<double>(b.FlyingShots());
}
BENCHMARK(BM_BusyLevelFrame)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (const char* shot = std::getenv("TM_LEVEL_OBJECTS_PNG")) {
    MillBench one(3, 1);
    if (one.mills.empty()) return 1;
    for (u32 t = 0; t < 2000; t += kFrameMs) one.Update();
    one.world->DrawFrame();
    return one.world->WritePng(shot) ? 0 : 1;
  }
  if (const char* shot = std::getenv("TM_LEVEL_OBJECTS_BUSY_PNG")) {
    BusyBench busy;
    if (!busy.cast) return 1;
    for (u32 t = 0; t < 6000; t += kFrameMs) busy.Update();
    busy.world->DrawFrame();
    return busy.world->WritePng(shot) ? 0 : 1;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  HeldBench().reset();  // before the game's statics go
  return 0;
}
