// The sample data set's first level (the wheat farm) and its last, the
// largest (level 41, the harvest festival: 13 points, 9 buildings, the
// most ground and decorations), each loaded as the level loading state
// drives it, through the game's world with its language and
// the game's own level panel: a fresh world each run; the level opened (the
// scene and its panel made), one GameLevel::Load call a frame until it is
// loaded, then entered and its first frame updated and drawn - the level
// running, as the game's level state has it. Reports the longest single
// loading call and the whole way, in processor time, with the number of
// calls. Goals: no call over 16 ms, so a loading bar never stops for a
// frame; the whole way under 0.5 s. The benchmark's argument is the
// level's number.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "GoalReport.h"
#include "LoadCalls.h"
#include "level/scene/GameLevel.h"
#include "platform/headless/Session.h"
#include "testsupport/LevelWorld.h"

namespace {

constexpr i64 kLoadLevels[] = {1, 41};

struct LoadRuns {
  std::vector<double> longest;  // per run, ms
  std::vector<double> loading;  // the Load calls alone
  std::vector<double> whole;    // opened to the first frame drawn
};
LoadRuns runs[std::size(kLoadLevels)];

void BM_LevelLoad(benchmark::State& state) {
  const i32 number = static_cast<i32>(state.range(0));
  LoadRuns& out = runs[number == 1 ? 0 : 1];
  for (auto _ : state) {
    state.PauseTiming();
    plat::headless::Session session;
    plat::PlatformServicesScope installed{session.Services()};
    auto viewer = benchgoal::OpenViewer(u"LevelLoadBench");
    auto world = std::make_unique<leveltest::LevelWorld>(TM_SAMPLE_DATA_DIR, viewer.get(), 800, 600, true);
    if (!world->loaded) return state.SkipWithError("no sample data set");
    state.ResumeTiming();
    const double start = benchgoal::ThreadCpuMs();
    GameLevelHooks hooks;  // the game's own panel, scene objects and villains
    hooks.rules.profile = &world->profile;
    GameLevel* level = world->world.OpenLevel(number - 1, LevelSetup{}, hooks);
    if (!level) return state.SkipWithError("the level does not open");
    benchgoal::LoadCalls calls;
    while (!level->IsLoaded() && calls.More()) calls.Time(level->GetLoadStage(), [&] { level->Load(); });
    level->Enter();
    world->world.Frame(16);
    if (viewer->BeginFrame() == 0) {
      viewer->Clear(0xFF000000u);
      world->world.Draw();
      viewer->Present();
    }
    const double all = benchgoal::ThreadCpuMs() - start;
    state.PauseTiming();
    if (!level->IsLoaded()) return state.SkipWithError("the level does not load");
    out.longest.push_back(calls.longestMs);
    out.loading.push_back(calls.sumMs);
    out.whole.push_back(all);
    calls.Count(state, "longest_in_stage");
    state.counters["load_ms"] = calls.sumMs;
    state.counters["to_running_ms"] = all;
    world.reset();
    viewer.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_LevelLoad)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(false)->Arg(kLoadLevels[0])->Arg(kLoadLevels[1]);

}  // namespace

int main(int argc, char** argv) {
  benchgoal::Reporter reporter;
  if (!benchgoal::Run(&argc, argv, &reporter)) return 1;
  for (size_t i = 0; i < std::size(kLoadLevels); ++i) {
    const std::string level = "level " + std::to_string(kLoadLevels[i]) + ": ";
    const LoadRuns& r = runs[i];
    if (r.whole.empty()) continue;
    benchgoal::PrintRuns((level + "longest call").c_str(), r.longest);
    benchgoal::PrintRuns((level + "loading calls").c_str(), r.loading);
    benchgoal::PrintRuns((level + "opened to running").c_str(), r.whole);
    benchgoal::Goal((level + "longest loading call").c_str(), benchgoal::Worst(r.longest), 16.0, "ms");
    benchgoal::Goal((level + "level opened to running").c_str(), benchgoal::Worst(r.whole), 500.0, "ms");
  }
  return 0;
}
