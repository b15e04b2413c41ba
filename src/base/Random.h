// The game's one random generator: the classic C runtime linear congruential
// generator (state = state * 214013 + 2531011, result (state >> 16) & 0x7FFF),
// seeded with 1 at start-up, so a run is fully determined by the order of the
// calls. Every random draw of the game goes through kis::rand; the system's
// rand() is never used. The state is per thread; the game runs on one.
#pragma once

#include "base/Types.h"

namespace kis {

u32 rand();               // 0 .. 32767
void srand(u32 seed);     // restarts the sequence (tests and replays)

float Random01();                      // rand() / 32767: 0 to 1, both included
float RandomRange(float a, float b);   // a + Random01() * (b - a); a when equal

// rand() / 32768 * n, truncated: 0 .. n - 1 for a positive n, 0 for n = 0.
// The results are as wide as needed for every bound the type allows.
u32 RandomBelow(u16 n);
u32 RandomShort(u32 n);
i32 RandomChar(i16 n);  // a negative bound gives n + 1 .. 0

// Two draws a, b: trunc((2a + b / 16383) / 65536 * n), at most n - 1; 0 for 0.
u32 RandomInt(u32 n);
// Whole number between two bounds, both included, in either order.
i32 RandomRange(i32 lo, i32 hi);

}  // namespace kis
