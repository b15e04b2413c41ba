#include "platform/font/FontCanvas.h"

#include <algorithm>

namespace plat {

bool FontCanvas::Create(int width, int height) {
  pixels_.clear();
  width_ = 0;
  height_ = 0;
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
      static_cast<int64_t>(width) * height > kMaxPixels) {
    return false;
  }
  pixels_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  width_ = width;
  height_ = height;
  return true;
}

void FontCanvas::Clear(uint32_t pixel) { std::fill(pixels_.begin(), pixels_.end(), pixel); }

uint32_t FontCanvas::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) {
    return 0;
  }
  return Row(y)[x];
}

bool FontCanvas::Clip(FontRect& rect) const {
  rect.left = std::max(rect.left, 0);
  rect.top = std::max(rect.top, 0);
  rect.right = std::min(rect.right, width_);
  rect.bottom = std::min(rect.bottom, height_);
  return rect.left < rect.right && rect.top < rect.bottom;
}

void FontCanvas::Fill(FontRect rect, uint32_t pixel) {
  if (!Clip(rect)) {
    return;
  }
  for (int y = rect.top; y < rect.bottom; ++y) {
    std::fill(Row(y) + rect.left, Row(y) + rect.right, pixel);
  }
}

}  // namespace plat
