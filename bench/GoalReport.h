// GoalReport - the console reporter that also keeps every run, so that a
// benchmark's main can weigh the figures against its goals once the runs are
// done and print one line per goal, ending "met" or "NOT met".
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace benchgoal {

class Reporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration && !r.error_occurred) runs_.push_back(r);
    ConsoleReporter::ReportRuns(runs);
  }

  // Processor time of one iteration of the named run, in milliseconds (on a
  // shared machine the wall time also counts the turns other programs take);
  // negative when it did not run (filtered out, or failed). Of repeated runs
  // the fastest.
  double Ms(const std::string& name) const {
    double best = -1.0;
    for (const Run& r : runs_) {
      if (r.benchmark_name() != name) continue;
      const double ms = r.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(r.time_unit) * 1e3;
      if (best < 0.0 || ms < best) best = ms;
    }
    return best;
  }
  // A counter of the named run (its last repetition); negative when absent.
  double Counter(const std::string& name, const std::string& counter) const {
    double value = -1.0;
    for (const Run& r : runs_) {
      if (r.benchmark_name() != name) continue;
      const auto it = r.counters.find(counter);
      if (it != r.counters.end()) value = it->second.value;
    }
    return value;
  }

 private:
  std::vector<Run> runs_;
};

// This thread's processor time in milliseconds: a busy machine preempting a
// run lengthens its wall-clock figures, not this.
inline double ThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Prints "goal: <what> <value> <unit> (at most <limit>): met" and says
// whether it was; a negative value is a figure that was not measured.
inline bool Goal(const char* what, double value, double limit, const char* unit) {
  if (value < 0.0) {
    std::printf("goal: %s not measured (at most %.3g %s)\n", what, limit, unit);
    return false;
  }
  const bool met = value <= limit;
  std::printf("goal: %s %.3f %s (at most %.3g %s): %s\n", what, value, unit, limit, unit, met ? "met" : "NOT met");
  return met;
}

// Runs the benchmarks of the command line through the reporter; false when
// the arguments were not understood.
inline bool Run(int* argc, char** argv, Reporter* reporter) {
  benchmark::Initialize(argc, argv);
  if (benchmark::ReportUnrecognizedArguments(*argc, argv)) return false;
  benchmark::RunSpecifiedBenchmarks(reporter);
  benchmark::Shutdown();
  return true;
}

// Min and median of per-run figures, one line; the worst of them (-1 for
// none), to weigh against a goal.
inline void PrintRuns(const char* what, std::vector<double> v) {
  std::sort(v.begin(), v.end());
  if (!v.empty()) std::printf("%s: min %.2f ms, median %.2f ms over %zu runs\n", what, v.front(), v[v.size() / 2], v.size());
}
inline double Worst(const std::vector<double>& v) { return v.empty() ? -1.0 : *std::max_element(v.begin(), v.end()); }

}  // namespace benchgoal
