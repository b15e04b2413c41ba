// The wide row loops with the AVX2 masked moves and with AVX-512 mask
// registers at the ends of their spans: the same pixels either way, and
// nothing written outside the spans (rows whose last group already took
// their end included). Where the processor lacks AVX-512 both runs take the
// AVX2 moves; the second check still holds.
#include <gtest/gtest.h>

#include <vector>

#include "platform/gfx/GfxFootprints.h"
#include "platform/gfx/GfxSimdAvx2.h"
#include "testsupport/SeededRandom.h"

using namespace plat::gfx;

namespace {

using testsupport::SeededRandom;

constexpr int kPitch = 160;

struct Span {
  int row, x, n;
};

// Runs `draw` on a copy of `start` with each kind of masked move; both
// copies must agree, and match `start` outside the spans.
template <typename Draw>
void ExpectSameOnBothMoves(const std::vector<uint32_t>& start, const std::vector<Span>& spans, Draw draw,
                           const char* what, int trial) {
  std::vector<uint32_t> images[2] = {start, start};
  for (int k = 0; k < 2; ++k) {
    SetAvx512MasksAllowed(k == 1);
    draw(images[k].data());
  }
  SetAvx512MasksAllowed(true);
  ASSERT_EQ(images[0], images[1]) << what << " trial " << trial;
  std::vector<bool> inside(start.size(), false);
  for (const Span& s : spans) {
    for (int i = 0; i < s.n; ++i) inside[static_cast<size_t>(s.row * kPitch + s.x + i)] = true;
  }
  for (size_t i = 0; i < start.size(); ++i) {
    if (!inside[i]) {
      ASSERT_EQ(images[1][i], start[i]) << what << " trial " << trial << " wrote pixel " << i;
    }
  }
}

std::vector<uint32_t> Noise(SeededRandom& rng, size_t n) {
  std::vector<uint32_t> v(n);
  for (uint32_t& p : v) p = rng.Next() << 8 | rng.Next();
  return v;
}

}  // namespace

TEST(GfxMaskedMoves, FootprintAndScaledRowsMatchAndStayInTheirSpans) {
  if (!Avx2Active()) GTEST_SKIP() << "no AVX2";
  SeededRandom rng{7};
  const int tw = 24, th = 20;
  const std::vector<uint32_t> texels = Noise(rng, static_cast<size_t>(tw * th));
  FootprintTable table;
  FootprintSource f;
  f.table = table.Get(texels.data(), tw, th, 3, 3);  // clamped both ways
  f.width = tw;
  f.height = th;
  ASSERT_NE(f.table, nullptr);
  for (int trial = 0; trial < 400; ++trial) {
    const SpanOp op = static_cast<SpanOp>(trial % 4);
    const int rows = 1 + rng.Range(0, 40);
    const std::vector<uint32_t> start = Noise(rng, static_cast<size_t>(rows * kPitch));
    std::vector<Span> spans;
    for (int r = 0; r < rows; ++r) {
      // Lengths around whole groups of eight: short ends that pair up, ends of
      // five to seven, and rows that end with a whole group.
      const int n = trial % 5 == 0 ? 8 * rng.Range(1, 4) - rng.Range(0, 3) : rng.Range(1, 40);
      spans.push_back(Span{r, rng.Range(0, kPitch - 40), n});
    }
    // Turned and scaled steps, and a texel a pixel (one row of entries).
    const bool unit = trial % 3 == 0;
    const int32_t du = unit ? 0x10000 : rng.Range(-0x18000, 0x18000), dv = unit ? 0 : rng.Range(-0x18000, 0x18000);
    const uint32_t colour = 0x80000000u | rng.Next();
    std::vector<FootprintRow> starts;
    for (const Span& s : spans) {
      starts.push_back(FootprintRow{nullptr, rng.Range(0, (tw - 1) << 16), rng.Range(0, (th - 1) << 16), s.n});
    }
    ExpectSameOnBothMoves(
        start, spans,
        [&](uint32_t* target) {
          std::vector<FootprintRow> list = starts;
          for (size_t i = 0; i < spans.size(); ++i) list[i].dest = target + spans[i].row * kPitch + spans[i].x;
          FootprintRowsAvx2(op, f, list.data(), static_cast<int>(list.size()), du, dv, colour);
        },
        "footprints", trial);
    // The scaled rectangles' rows, a texel a pixel, from weighted columns.
    std::vector<int16_t> columns(4 * 64);
    for (int16_t& c : columns) c = static_cast<int16_t>(rng.Range(-16384, 16256));
    const uint32_t x = static_cast<uint32_t>(rng.Range(0, 128));
    ExpectSameOnBothMoves(
        start, spans,
        [&](uint32_t* target) {
          for (const Span& s : spans) UnitRowAvx2(op, columns.data(), x, s.n, colour, target + s.row * kPitch + s.x);
        },
        "unit rows", trial);
  }
}
