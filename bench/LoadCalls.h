// LoadCalls - the figures of a loading driven one call a frame (the start-up
// loader, a level's loading): each call timed in processor time, the longest
// kept with the step it began in, and the viewer such a benchmark draws on.
// Header-only; a benchmark that includes it links tm_tools_common.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

#include "GoalReport.h"
#include "common/ToolViewer.h"

namespace benchgoal {

struct LoadCalls {
  static constexpr u32 kMostCalls = 100000;  // a loading that does not end stops here

  double longestMs = 0.0;  // the longest single call
  double sumMs = 0.0;      // all calls together
  u32 calls = 0;
  u32 longestStep = 0;  // the step the longest call began in

  bool More() const { return calls < kMostCalls; }

  // Times one call that begins in `step`.
  template <class Call>
  void Time(u32 step, Call&& call) {
    const double t0 = ThreadCpuMs();
    call();
    const double ms = ThreadCpuMs() - t0;
    if (ms > longestMs) longestStep = step;
    longestMs = std::max(longestMs, ms);
    sumMs += ms;
    ++calls;
  }

  // The longest call, the number of calls and the step of the longest as the
  // run's counters; the step's counter named `stepCounter`.
  void Count(benchmark::State& state, const char* stepCounter) const {
    state.counters["longest_call_ms"] = longestMs;
    state.counters["calls"] = calls;
    state.counters[stepCounter] = longestStep;
  }
};

// A headless viewer of 800 x 600 in a hidden window of the given class.
inline std::unique_ptr<DXLWindowViewer> OpenViewer(const char16_t* className) {
  auto viewer = std::make_unique<DXLWindowViewer>();
  tools::CreateToolWindow(*viewer, className);
  tools::SetToolDisplayMode(*viewer, 800, 600);
  return viewer;
}

}  // namespace benchgoal
