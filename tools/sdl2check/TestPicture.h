// The frames the check draws: a colour gradient over the whole frame, a
// white square that moves to the right by a few pixels each frame, and,
// when asked, a red cross where the pointer is. Frame n depends on nothing
// but n and the size, so a screenshot can be checked against it.
#pragma once

#include <cstdint>
#include <vector>

namespace sdl2check {

constexpr uint32_t kSquareSide = 48;
constexpr uint32_t kSquareStep = 8;

void DrawTestPicture(uint32_t frame, uint32_t width, uint32_t height, std::vector<uint32_t>* pixels);
void DrawPointerCross(int32_t x, int32_t y, uint32_t width, uint32_t height, std::vector<uint32_t>* pixels);

// Left edge of the square in a frame.
uint32_t SquareLeft(uint32_t frame, uint32_t width);

}  // namespace sdl2check
