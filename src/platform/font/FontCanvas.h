// A top-down 32-bit image that fonts draw characters into, in place of a DIB
// section. Pixels are 0xAARRGGBB words, row after row, with no padding.
//
// The canvas never grows by itself: Create sizes it once (both sides at most
// kMaxSide, the area at most kMaxPixels) and refuses anything larger, so a
// bad size from a caller cannot become a huge allocation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace plat {

// A rectangle in canvas pixels; right and bottom are exclusive.
struct FontRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

class FontCanvas {
 public:
  static constexpr int kMaxSide = 16384;
  static constexpr int64_t kMaxPixels = 64 * 1024 * 1024;

  FontCanvas() = default;

  bool Create(int width, int height);  // all pixels 0; false (and empty) when too large
  void Clear(uint32_t pixel = 0);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return pixels_.empty(); }

  uint32_t Pixel(int x, int y) const;  // 0 outside the canvas
  uint32_t* Row(int y) { return pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(width_); }
  const uint32_t* Row(int y) const {
    return pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(width_);
  }
  const std::vector<uint32_t>& Pixels() const { return pixels_; }

  // `rect` cut to the canvas; false when nothing is left.
  bool Clip(FontRect& rect) const;

  // Sets every pixel of `rect` (cut to the canvas) to `pixel`.
  void Fill(FontRect rect, uint32_t pixel);

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<uint32_t> pixels_;
};

}  // namespace plat
