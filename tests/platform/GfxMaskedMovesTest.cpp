// The wide row loops with the AVX2 masked moves and with AVX-512 mask
// registers at the ends of their spans (the footprint loops then compiled
// for AVX-512 where the processor has BW too): the same pixels either way,
// and nothing written outside the spans (rows whose last group already took
// their end included). Without AVX-512 both runs take the AVX2 moves.
#include <gtest/gtest.h>

#include <vector>

#include "platform/gfx/GfxFootprints.h"
#include "platform/gfx/GfxSimdAvx2.h"
#include "testsupport/SeededRandom.h"

using namespace plat::gfx;

TEST(GfxMaskedMoves, FootprintAndUnitRowsMatchAndStayInTheirSpans) {
  if (!Avx2Active()) GTEST_SKIP() << "no AVX2";
  constexpr int kPitch = 160, tw = 24, th = 20;
  testsupport::SeededRandom rng{7};
  auto noise = [&rng](size_t n) {
    std::vector<uint32_t> v(n);
    for (uint32_t& p : v) p = rng.Next() << 8 | rng.Next();
    return v;
  };
  const std::vector<uint32_t> texels = noise(tw * th);
  FootprintTable table;
  const FootprintSource f{table.Get(texels.data(), tw, th, 3, 3), tw, th, false, false};  // clamped
  ASSERT_NE(f.table, nullptr);
  for (int trial = 0; trial < 400; ++trial) {
    const SpanOp op = static_cast<SpanOp>(trial % 4);
    const int rows = rng.Range(1, 40);
    const std::vector<uint32_t> start = noise(static_cast<size_t>(rows * kPitch));
    std::vector<FootprintRow> spans;
    std::vector<int> offsets;  // of the spans in the image
    std::vector<bool> inside(start.size(), false);
    for (int r = 0; r < rows; ++r) {
      // Ends that pair up, ends of five to seven, rows ending with a whole group.
      const int n = trial % 5 == 0 ? 8 * rng.Range(1, 4) - rng.Range(0, 3) : rng.Range(1, 40);
      const int at = r * kPitch + rng.Range(0, kPitch - 40);
      spans.push_back(FootprintRow{nullptr, rng.Range(0, (tw - 1) << 16), rng.Range(0, (th - 1) << 16), n});
      offsets.push_back(at);
      for (int i = 0; i < n; ++i) inside[static_cast<size_t>(at + i)] = true;
    }
    // Turned and scaled steps, and a texel a pixel (one row of entries).
    const bool unit = trial % 3 == 0;
    const int32_t du = unit ? 0x10000 : rng.Range(-0x18000, 0x18000), dv = unit ? 0 : rng.Range(-0x18000, 0x18000);
    const uint32_t colour = 0x80000000u | rng.Next(), x = rng.Next() % 129;
    std::vector<int16_t> columns(4 * 64);  // the scaled rectangles' weighted columns
    for (int16_t& c : columns) c = static_cast<int16_t>(rng.Range(-16384, 16256));
    for (int kind = 0; kind < 2; ++kind) {
      std::vector<uint32_t> images[2] = {start, start};
      for (int k = 0; k < 2; ++k) {
        SetAvx512MasksAllowed(k == 1);
        std::vector<FootprintRow> list = spans;
        for (size_t i = 0; i < list.size(); ++i) {
          list[i].dest = images[k].data() + offsets[i];
          if (kind == 1) UnitRowAvx2(op, columns.data(), x, list[i].n, colour, list[i].dest);
        }
        if (kind == 0) FootprintRowsAvx2(op, f, list.data(), static_cast<int>(list.size()), du, dv, colour);
      }
      SetAvx512MasksAllowed(true);
      ASSERT_EQ(images[0], images[1]) << "kind " << kind << " trial " << trial;
      for (size_t i = 0; i < start.size(); ++i) {
        if (!inside[i]) {
          ASSERT_EQ(images[1][i], start[i]) << "kind " << kind << " trial " << trial << " pixel " << i;
        }
      }
    }
  }
}
