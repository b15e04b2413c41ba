// The weighted loading tracker on a fake clock: weights of 0 only give 1.0
// at once, a step added twice keeps its larger weight, reports come at most
// once per interval while the work slice alone asks for the frame back, a
// step is made current once, and the last step's end reports the whole.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/os/Clock.h"
#include "platform/os/PlatformServices.h"
#include "resources/ProgressTracker.h"
#include "resources/ResourceServices.h"

namespace {

using Report = std::pair<float, i32>;

struct Rig {
  plat::FakeClock clock{1000};
  plat::PlatformServicesScope scoped{{.clock = &clock}};
  std::vector<Report> reports;
  ProgressTracker tracker{100, [this](float f, i32 step) { reports.emplace_back(f, step); }};
};

TEST(ProgressTracker, WeightsOfNothingReportTheWholeAtOnceAndTheLargerWeightStays) {
  Rig zero;
  const ProgressTracker::StepSpec none[] = {{1, 0, 0}, {2, 0, 0}, {0, 0, 0}, {3, 9, 0}};
  zero.tracker.AddSteps(-1, none);  // up to the first id 0
  EXPECT_EQ(zero.tracker.GetStepCount(), 2u);
  zero.tracker.Start();
  EXPECT_EQ(zero.reports, (std::vector<Report>{{1.0f, 0}}));
  zero.tracker.Start();  // once only
  EXPECT_EQ(zero.reports.size(), 1u);

  Rig r;
  const ProgressTracker::StepSpec first[] = {{20, 50, 0}, {21, 10, 0}};
  const ProgressTracker::StepSpec again[] = {{20, 30, 0}, {21, 40, 0}};
  r.tracker.AddSteps(2, first);
  r.tracker.AddSteps(2, again);
  r.tracker.Start();
  EXPECT_EQ(r.tracker.GetStepCount(), 2u);
  EXPECT_EQ(r.tracker.GetTotalWeight(), 90u) << "20 keeps 50, 21 takes 40";
  EXPECT_EQ(r.reports, (std::vector<Report>{{0.0f, 0}}));

  ProgressTracker startup(100, nullptr);
  InitStartupProgress(&startup);
  startup.Start();
  EXPECT_EQ(startup.GetStepCount(), 24u);
  EXPECT_EQ(startup.GetTotalWeight(), 150u);
  for (u32 sub : {21u, 26u, 51u, 52u, 1u, 255u}) EXPECT_FALSE(startup.HasStep(sub)) << sub;
  // Each step's weight, as the start-up's table gives it: what its end adds.
  const u32 weights[][2] = {{10, 10}, {11, 0}, {12, 10}, {20, 50}, {45, 4}, {46, 4}, {62, 2}, {63, 2},
                            {65, 4},  {66, 4}, {60, 2},  {61, 5},  {70, 1}, {71, 1}, {40, 1}, {75, 5},
                            {81, 15}, {80, 1}, {50, 4},  {85, 1},  {86, 1}, {90, 2}, {93, 1}, {95, 20}};
  for (const auto& w : weights) {
    const u32 before = startup.GetDoneWeight();
    startup.NextStep(w[0]);
    startup.EndStep();
    EXPECT_EQ(startup.GetDoneWeight() - before, w[1]) << "step " << w[0];
  }
  EXPECT_FLOAT_EQ(startup.GetFraction(), 1.0f);
}

// A step's progress is reported at most once per 100 ms: between reports
// only the work slice running out gives the frame back. The fraction of a
// step is its share of the weights; an unknown or finished step is not
// current; the last step's end says 1.0 and -1 with the time measured.
TEST(ProgressTracker, ReportsOncePerIntervalYieldsOnTheSliceAndEndsWithTheWhole) {
  Rig r;
  const ProgressTracker::StepSpec steps[] = {{10, 30, 0}, {11, 10, 0}, {0, 0, 0}};
  r.tracker.AddSteps(-1, steps);
  r.tracker.Start();
  r.reports.clear();

  r.tracker.NextStep(10);
  EXPECT_EQ(r.tracker.GetCurrentStep(), 10);
  EXPECT_TRUE(r.reports.empty()) << "no time has passed";
  r.tracker.BeginSlice(16);
  r.clock.Advance(10);
  EXPECT_FALSE(r.tracker.SetProgress(0.5f));
  EXPECT_FLOAT_EQ(r.tracker.GetFraction(), 15.0f / 40.0f);
  r.clock.Advance(6);
  EXPECT_TRUE(r.tracker.SetProgress(0.6f)) << "16 ms of work: the frame goes back";
  EXPECT_TRUE(r.reports.empty()) << "but the bar is not told";
  r.clock.Advance(84);  // 100 ms since the start
  EXPECT_TRUE(r.tracker.SetProgress(2.0f));  // clamped to 1
  ASSERT_EQ(r.reports.size(), 1u);
  EXPECT_FLOAT_EQ(r.reports[0].first, 30.0f / 40.0f);
  EXPECT_EQ(r.reports[0].second, 10);
  r.tracker.BeginSlice(0);
  r.clock.Advance(50);
  EXPECT_FALSE(r.tracker.SetProgress(1.0f)) << "no slice, no report";

  r.tracker.NextStep(99);  // not a step: 10 done, none current
  EXPECT_EQ(r.tracker.GetCurrentStep(), -2);
  EXPECT_EQ(r.tracker.GetDoneWeight(), 30u);
  r.tracker.NextStep(10);  // done already
  EXPECT_EQ(r.tracker.GetCurrentStep(), -2);
  r.clock.Advance(60);
  EXPECT_TRUE(r.tracker.SetProgress(0.5f)) << "between steps: reported as -2";
  EXPECT_EQ(r.reports.back(), Report(30.0f / 40.0f, -2));

  r.tracker.NextStep(11);
  r.clock.Advance(40);
  r.tracker.EndStep();
  EXPECT_EQ(r.reports.back(), Report(1.0f, -1));
  EXPECT_EQ(r.tracker.GetReportedTime(), 250u);
  EXPECT_FLOAT_EQ(r.tracker.GetFraction(), 1.0f);
  r.tracker.EndStep();  // none current: nothing
  EXPECT_EQ(r.tracker.GetStepsDone(), 2u);

  // The global calls reach the published tracker only.
  GetResourceServices().progress = nullptr;
  BeginLoadStep(11);
  EXPECT_FALSE(StepLoadingProgress(0.5f));
  GetResourceServices().progress = &r.tracker;
  r.clock.Advance(100);
  EXPECT_TRUE(StepLoadingProgress(0.5f));
  GetResourceServices().progress = nullptr;
}

}  // namespace
