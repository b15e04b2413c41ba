// The seeded obstacle worlds of the path benchmarks and of the tests that
// hold the search to them: typical (1600 x 1200, 150 rectangles of sides 24
// to 80, about a fifth of the level; the crowded variant draws sides up to
// 192 and covers more than half), dense (4096 x 4096, 1,000 rectangles) and
// maze (2048 x 2048, 15 walls 32 wide every 128 units, open at the bottom
// and the top in turn, reaching past the level's edges).
#pragma once

#include <cstdint>
#include <vector>

#include "testsupport/SeededRandom.h"

namespace testsupport {

struct PathRect {
  int32_t l, t, r, b;  // half-open
};

struct PathWorld {
  const char* name;
  int32_t width, height;
  std::vector<PathRect> rects;
};

inline PathWorld TypicalPathWorld(bool crowded = false) {
  PathWorld w{crowded ? "crowded" : "typical", 1600, 1200, {}};
  SeededRandom rng(20240601);
  const int32_t most = crowded ? 192 : 80;
  for (int32_t i = 0; i < 150; ++i) {
    const int32_t rw = rng.Range(24, most), rh = rng.Range(24, most);
    const int32_t x = rng.Range(0, w.width - rw), y = rng.Range(0, w.height - rh);
    w.rects.push_back({x, y, x + rw, y + rh});
  }
  return w;
}

inline PathWorld DensePathWorld() {
  PathWorld w{"dense", 4096, 4096, {}};
  SeededRandom rng(777);
  for (int32_t i = 0; i < 1000; ++i) {
    const int32_t rw = rng.Range(16, 96), rh = rng.Range(16, 96);
    const int32_t x = rng.Range(0, w.width - rw), y = rng.Range(0, w.height - rh);
    w.rects.push_back({x, y, x + rw, y + rh});
  }
  return w;
}

inline PathWorld MazePathWorld() {
  PathWorld w{"maze", 2048, 2048, {}};
  const int32_t gap = 2048 / 16;
  for (int32_t i = 0; i < 15; ++i) {
    const int32_t x = gap * (i + 1) - 16;
    w.rects.push_back(i % 2 == 0 ? PathRect{x, -40, x + 32, 2048 - 240} : PathRect{x, 240, x + 32, 2088});
  }
  return w;
}

}  // namespace testsupport
