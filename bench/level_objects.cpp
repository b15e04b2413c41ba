// Eight flour mills at level 4 producing on the sample data set's first
// level, each with four working animations and sixteen smoke emitters
// (the mill's own, repeated to those counts), and a fed level-4 cow shed
// and sheep pen (four cows' heads eating, four sheep and their heads
// grazing), updated (a 16-ms frame) and
// drawn at 800 x 600 through the level view (scale 0.694). The goal: a
// whole frame, update and draw, under 4 ms on one core.
//
// TM_LEVEL_OBJECTS_PNG=<file> writes a frame of one working level-3 mill
// instead (after two seconds of work), for a look at it.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "common/ToolViewer.h"
#include "content/BuildingTable.h"
#include "content/ProductList.h"
#include "level/map/LevelMap.h"
#include "level/objects/PointCowshed.h"
#include "level/objects/PointFactory.h"
#include "level/objects/PointSheepRack.h"
#include "platform/headless/Session.h"
#include "testsupport/LevelWorld.h"

namespace {

constexpr u32 kFrameMs = 16;
constexpr i32 kMills = 8;

struct MillBench {
  plat::headless::Session session;
  std::unique_ptr<DXLWindowViewer> viewer = std::make_unique<DXLWindowViewer>();
  std::unique_ptr<leveltest::LevelWorld> world;
  std::vector<std::unique_ptr<PointFactory>> mills;
  std::vector<std::unique_ptr<PointPetshouse>> houses;

  // `count` mills of the level, every slot working.
  MillBench(i32 level, i32 count) {
    tools::CreateToolWindow(*viewer, u"LevelObjectsBench");
    tools::SetToolDisplayMode(*viewer, 800, 600);
    world = std::make_unique<leveltest::LevelWorld>(TM_SAMPLE_DATA_DIR, viewer.get(), 800, 600);
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
      f->SetPosition(count == 1 ? 520 : 180 + (i % 4) * 290, count == 1 ? 380 : 260 + (i / 4) * 280);
      f->SetLevel(level, false, 0);
      for (i32 s = 0; s < f->GetSlotCount(); ++s) f->StartProduction(0, s, false);
      mills.push_back(std::move(f));
    }
    if (count > 1) AddHouses(game);
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
  ~MillBench() {
    houses.clear();
    mills.clear();
    world.reset();
    viewer.reset();
  }
  void Update() {
    for (auto& m : mills) m->Update(kFrameMs);
    for (auto& h : houses) h->Update(kFrameMs);
    world->Step(kFrameMs, kFrameMs);
  }
};

// TM_LEVEL_OBJECTS_MILLS=<n> sets another count (0: the level alone, for comparison).
MillBench& TheMills() {
  const char* n = std::getenv("TM_LEVEL_OBJECTS_MILLS");
  static MillBench bench(4, n ? std::atoi(n) : kMills);
  return bench;
}

void BM_FactoriesFrame(benchmark::State& state) {
  MillBench& b = TheMills();
  if (!b.world->loaded) return state.SkipWithError("no sample data set");
  for (auto _ : state) {
    b.Update();
    b.world->DrawFrame();
  }
  state.counters["mills"] = static_cast<double>(b.mills.size());
  state.counters["houses"] = static_cast<double>(b.houses.size());
  state.counters["objects"] = b.world->Level()->Map().GetObjects().GetCount();
}
BENCHMARK(BM_FactoriesFrame)->Unit(benchmark::kMillisecond);

void BM_FactoriesUpdate(benchmark::State& state) {
  MillBench& b = TheMills();
  if (!b.world->loaded) return state.SkipWithError("no sample data set");
  for (auto _ : state) b.Update();
}
BENCHMARK(BM_FactoriesUpdate)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (const char* shot = std::getenv("TM_LEVEL_OBJECTS_PNG")) {
    MillBench one(3, 1);
    if (one.mills.empty()) return 1;
    for (u32 t = 0; t < 2000; t += kFrameMs) one.Update();
    one.world->DrawFrame();
    return one.world->WritePng(shot) ? 0 : 1;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
