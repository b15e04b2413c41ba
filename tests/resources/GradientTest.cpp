#include <gtest/gtest.h>

#include "resources/Gradient.h"

namespace {

constexpr u32 kClear = 0x00FFFFFFu;
constexpr u32 kOpaque = 0xFFFFFFFFu;

TEST(Gradient, StopsBlendLoopAndTheirZeroTimeRuns) {
  Gradient g;
  EXPECT_EQ(g.ColorAt(0, false), 0u);  // no stops
  const u32 pairs[] = {kClear, 0, kOpaque, 250, kClear, 500};
  g.AddStops(3, pairs);
  EXPECT_EQ(g.GetTotalTime(), 750u);
  EXPECT_EQ(g.ColorAt(0, false), kClear);
  EXPECT_EQ(g.ColorAt(125, false) >> 24, 0x80u);  // half-way up
  EXPECT_EQ(g.ColorAt(250, false), kOpaque);
  EXPECT_EQ(g.ColorAt(500, false) >> 24, 0x80u);  // half-way back
  EXPECT_EQ(g.ColorAt(750, false), kClear);
  EXPECT_EQ(g.ColorAt(800, false), kClear);
  EXPECT_EQ(g.ColorAt(1000, true), kOpaque);  // 1000 mod 750 = 250
  EXPECT_EQ(g.ColorAtProgress(1.0f / 3.0f, false), kOpaque);

  // A 0-ms stop after the first replaces its colour up to the first stop's time.
  Gradient run;
  run.AddStop(100, 0xFF000000u);
  run.AddStopColorFirst(0xFF0000C8u, 0);
  run.AddStop(100, 0xFF00C800u);
  EXPECT_EQ(run.ColorAt(0, false), 0xFF0000C8u);
  EXPECT_EQ(run.ColorAt(100, false), 0xFF0000C8u);
  EXPECT_EQ(run.ColorAt(150, false), 0xFF006464u);  // from the 0-ms stop's colour
  Gradient single;
  single.AddStop(300, 0x12345678u);
  EXPECT_EQ(single.ColorAt(0, false), 0x12345678u);
  EXPECT_EQ(single.ColorAt(9999, true), 0x12345678u);
}

TEST(Gradient, TableUpdatesAssignAndTheRegistry) {
  const i32 before = GetGradients().GetCount();
  auto* g = new Gradient;
  EXPECT_EQ(GetGradients().GetCount(), before + 1);
  EXPECT_EQ(GetGradients().Last(), g);
  g->BeginUpdate();
  g->AddStop(0, kClear);
  g->AddStop(250, kOpaque);
  g->AddStop(500, kClear);
  g->SetSampleStep(100);
  EXPECT_EQ(g->ColorAt(250, false), 0u);  // look-ups wait for the update
  EXPECT_EQ(g->GetSampleCount(), 0);
  g->EndUpdate();
  ASSERT_EQ(g->GetSampleCount(), 9);  // 0, 100, ..., 800
  EXPECT_EQ(g->ColorAt(240, false) >> 24, 0xCCu);  // the sample at 200: 0.8 of the way up
  EXPECT_EQ(g->ColorAt(160, false), g->ColorAt(240, false));
  EXPECT_EQ(g->ColorAt(260, false), g->ColorAt(300, false));
  EXPECT_EQ(g->ColorAt(760, false), kClear);    // past the total: the last sample
  EXPECT_EQ(g->ColorAt(850, true), g->ColorAt(100, true));

  Gradient copy;
  copy.Assign(*g);
  EXPECT_EQ(copy.GetSampleStep(), 100u);
  ASSERT_EQ(copy.GetStopCount(), 3);
  EXPECT_EQ(copy.GetStop(1).time, 250u);
  EXPECT_EQ(copy.GetStop(1).color, kOpaque);
  copy.Clear();
  EXPECT_EQ(copy.GetTotalTime(), 0u);
  EXPECT_EQ(copy.GetSampleCount(), 0);
  delete g;
  EXPECT_EQ(GetGradients().GetCount(), before + 1);  // `copy` remains
  EXPECT_EQ(GetGradients().IndexOf(g), -1);
}

}  // namespace
