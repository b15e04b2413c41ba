// Depth-band upkeep of a busy level: 400 moving map objects spread over the
// three bands of rows 64 to 255, each moving once per 10 ms simulation tick
// (about 150 pixels a second, turning at the edges), two ticks a frame.
// The bands stay sorted on every move; a frame's upkeep is timed.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "base/Random.h"
#include "level/map/DynObject.h"
#include "level/map/LevelMap.h"

namespace {

constexpr i32 kObjects = 400;
constexpr float kTop = 64.0f;
constexpr float kBottom = 255.0f;

struct Walker : DynObject {
  using DynObject::DynObject;
  void Draw() override {}
  float vx = 0.0f;
  float vy = 0.0f;
  void Step() {
    float x = GetX() + vx, y = GetY() + vy;
    if (x < 0.0f || x >= static_cast<float>(kLevelWidth)) vx = -vx, x = GetX() + vx;
    if (y < kTop || y > kBottom) vy = -vy, y = GetY() + vy;
    MoveTo(x, y);
  }
};

void BM_BandUpkeepPerFrame(benchmark::State& state) {
  kis::srand(5);
  LevelMap map(nullptr, LevelMapHooks{});
  std::vector<Walker*> walkers;
  for (i32 i = 0; i < kObjects; ++i) {
    auto* w = new Walker(map);
    w->MoveTo(static_cast<float>(kis::rand() % kLevelWidth), kTop + static_cast<float>(kis::rand() % 192));
    w->vx = static_cast<float>(kis::rand() % 300 - 150) / 100.0f;
    w->vy = static_cast<float>(kis::rand() % 200 - 100) / 100.0f;
    w->AttachToLevel(0);
    walkers.push_back(w);
  }
  for (auto _ : state) {
    for (i32 tick = 0; tick < 2; ++tick)
      for (Walker* w : walkers) w->Step();
  }
  state.counters["moves/frame"] = 2.0 * kObjects;
}
BENCHMARK(BM_BandUpkeepPerFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
