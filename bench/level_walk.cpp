// The level's path work: 30 characters on the typical world of the path
// benchmark (1600 x 1200, 150 rectangles of sides 24 to 80, seed 20240601),
// each given a new order to a random free point every second (all 30 in
// the same tick, the worst case for the three search slices an update),
// walking at 2.5 units a tick. An iteration is one frame of two 10-ms ticks
// (LevelCharacters::Update twice: the queued searches, then every
// character's job). Besides the mean, the counters give the slowest frame,
// the 99th percentile, the slowest frame in processor time (free of
// preemption on a busy machine), how many searches had to wait, and how far the
// characters moved (so a run where nobody walks shows).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <memory>
#include <vector>

#include "content/GameCharacter.h"
#include "level/characters/Job_GoTo.h"
#include "level/characters/LevelCharacters.h"
#include "level/map/LevelMap.h"
#include "level/characters/MapCharacter.h"
#include "resources/GameAnimation.h"
#include "resources/GameServices.h"
#include "testsupport/SeededRandom.h"

namespace {

using Clock = std::chrono::steady_clock;
using testsupport::SeededRandom;

constexpr i32 kWidth = 1600, kHeight = 1200;
constexpr i32 kCharacters = 30;
constexpr i32 kFramesPerOrder = 50;  // two ticks a frame: one second

// This thread's processor time: a busy machine preempting the run lengthens
// the wall-clock frame, not this.
double ThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

void BM_LevelWalkPerFrame(benchmark::State& state) {
  ResetGameServices();
  LevelMap map(nullptr, LevelMapHooks{});
  GameAnimation* idle = new GameAnimation(u"girl_idle", 8);
  idle->SetTiming(kAnimPingPong, 220, 880);
  GameAnimation* walk = new GameAnimation(u"girl_walk", 8);
  walk->SetTiming(kAnimLoop, 85, 680);
  auto* girl = new GameCharacter(u"girl", 1, 0xE0000000u);
  girl->speed = 2.5f;
  girl->foot[0] = girl->foot[2] = 14;
  girl->foot[1] = girl->foot[3] = 8;
  girl->SetSkinCount(1);
  girl->AddToSkin(0, idle);
  girl->AddToSkin(0, walk);
  girl->walkIndex = 1;
  {
    LevelMap ground(nullptr, LevelMapHooks{});
    LevelCharacters level(ground, nullptr, nullptr, kWidth, kHeight);
    shpf::PathFinder* finder = level.Paths().GetPathFinder();
    SeededRandom world(20240601);
    for (i32 i = 0; i < 150; ++i) {
      const i32 rw = world.Range(24, 80), rh = world.Range(24, 80);
      const i32 x = world.Range(0, kWidth - rw), y = world.Range(0, kHeight - rh);
      finder->AddShape(shpf::PackPair(x, y), shpf::PackPair(x + rw, y + rh), 0);
    }
    SeededRandom rng(77);
    shpf::_SHAPEGRID* grid = level.Paths().GetGrid(girl->foot, girl->gridId);
    auto freePoint = [&](i32* x, i32* y) {
      do {
        *x = rng.Range(grid->boundLeft, grid->boundRight - 1);
        *y = rng.Range(grid->boundTop, grid->boundBottom - 1);
      } while (finder->GridShapeAt(grid, *x, *y));
    };
    std::vector<MapCharacter*> walkers;
    for (i32 i = 0; i < kCharacters; ++i) {
      i32 x, y;
      freePoint(&x, &y);
      walkers.push_back(new MapCharacter(level, girl, 0, u"girl_idle", i % 8, static_cast<float>(x), static_cast<float>(y), nullptr));
    }
    std::vector<double> frames;
    i64 frame = 0, waited = 0;
    double walked = 0.0, cpuMax = 0.0;
    for (auto _ : state) {
      if (frame++ % kFramesPerOrder == 0)
        for (MapCharacter* c : walkers) {
          i32 x, y;
          freePoint(&x, &y);
          new Job_GoTo(c, x, y, 0.0f, false);
        }
      std::vector<float> before;
      for (MapCharacter* c : walkers) before.push_back(c->GetX() + c->GetY());
      const double cpuStart = ThreadCpuMs();
      const auto start = Clock::now();
      for (i32 tick = 0; tick < 2; ++tick) {
        GetGameServices().clock += 10;
        level.Update();
        waited += level.Paths().GetQueueLength();
      }
      frames.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
      cpuMax = std::max(cpuMax, ThreadCpuMs() - cpuStart);
      for (size_t i = 0; i < walkers.size(); ++i) walked += std::fabs(walkers[i]->GetX() + walkers[i]->GetY() - before[i]);
    }
    std::sort(frames.begin(), frames.end());
    double sum = 0.0;
    for (double f : frames) sum += f;
    state.counters["mean_ms"] = frames.empty() ? 0.0 : sum / static_cast<double>(frames.size());
    state.counters["p99_ms"] = frames.empty() ? 0.0 : frames[frames.size() * 99 / 100];
    state.counters["max_ms"] = frames.empty() ? 0.0 : frames.back();
    state.counters["cpu_max_ms"] = cpuMax;
    state.counters["moved/frame"] = frame ? walked / static_cast<double>(frame) : 0.0;  // |dx + dy| summed, a sign of life
    state.counters["waits/tick"] = frame ? static_cast<double>(waited) / static_cast<double>(2 * frame) : 0.0;
  }
  FreeCharacters();
  FreeAnimations();
}
BENCHMARK(BM_LevelWalkPerFrame)->Unit(benchmark::kMicrosecond)->Iterations(3000);

}  // namespace

BENCHMARK_MAIN();
