#include "TestPicture.h"

#include <cstddef>

namespace sdl2check {

uint32_t SquareLeft(uint32_t frame, uint32_t width) {
  if (width <= kSquareSide) return 0;
  return (frame * kSquareStep) % (width - kSquareSide);
}

void DrawTestPicture(uint32_t frame, uint32_t width, uint32_t height, std::vector<uint32_t>* pixels) {
  pixels->assign(static_cast<size_t>(width) * height, 0xFF000000u);
  if (width == 0 || height == 0) return;
  for (uint32_t y = 0; y < height; ++y) {
    const uint32_t g = height > 1 ? y * 255 / (height - 1) : 0;
    for (uint32_t x = 0; x < width; ++x) {
      const uint32_t r = width > 1 ? x * 255 / (width - 1) : 0;
      (*pixels)[static_cast<size_t>(y) * width + x] = 0xFF000000u | r << 16 | g << 8 | 0x60u;
    }
  }
  const uint32_t left = SquareLeft(frame, width);
  const uint32_t top = height > kSquareSide ? (height - kSquareSide) / 2 : 0;
  for (uint32_t y = top; y < top + kSquareSide && y < height; ++y) {
    for (uint32_t x = left; x < left + kSquareSide && x < width; ++x) {
      (*pixels)[static_cast<size_t>(y) * width + x] = 0xFFFFFFFFu;
    }
  }
}

void DrawPointerCross(int32_t x, int32_t y, uint32_t width, uint32_t height, std::vector<uint32_t>* pixels) {
  for (int32_t d = -6; d <= 6; ++d) {
    const int32_t points[2][2] = {{x + d, y}, {x, y + d}};
    for (const auto& p : points) {
      if (p[0] >= 0 && p[1] >= 0 && p[0] < static_cast<int32_t>(width) && p[1] < static_cast<int32_t>(height)) {
        (*pixels)[static_cast<size_t>(p[1]) * width + static_cast<size_t>(p[0])] = 0xFFFF0000u;
      }
    }
  }
}

}  // namespace sdl2check
