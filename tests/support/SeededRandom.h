// The seeded generator of the randomised tests and the benchmarks: a 32-bit
// linear congruential generator (x = x * 1664525 + 1013904223) whose results
// drop the weak low 8 bits, so a seed gives the same run on every machine. It
// is not the game's generator (kis::rand), whose sequence tests pin apart.
#pragma once

#include <cstdint>

namespace testsupport {

class SeededRandom {
 public:
  explicit SeededRandom(uint32_t seed) : state_(seed) {}

  // The next 24-bit result.
  uint32_t Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return state_ >> 8;
  }
  // A value in [lo, hi], both included (lo <= hi).
  int32_t Range(int32_t lo, int32_t hi) {
    return lo + static_cast<int32_t>(Next() % (static_cast<uint32_t>(hi - lo) + 1));
  }
  // A value in [lo, hi) on a grid of 1 / steps, so that values often fall on
  // pixel centres and pixel edges.
  float Grid(float lo, float hi, int steps) {
    const int n = static_cast<int>((hi - lo) * steps);
    return lo + static_cast<float>(Next() % static_cast<uint32_t>(n)) / static_cast<float>(steps);
  }

 private:
  uint32_t state_;
};

}  // namespace testsupport
