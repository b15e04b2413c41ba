#include "ui/SkinRect.h"

#include <algorithm>
#include <cmath>

#include "engine/DXLTexture.h"
#include "resources/ResourceServices.h"

namespace {

DXLTexture* ResolveImage(DXLTexture* image) {
  return image == kInterfaceImage ? GetResourceServices().interfaceImage : image;
}

i32 Extent(i32 value, i32 imageExtent) {
  if (value == -1) return imageExtent;
  return value < 0 ? 0 : value;
}

// Borders that overlap keep their proportion of the size; the middle is empty.
void ShareBorders(i32 size, i32* first, i32* second, i32* middle) {
  *first = std::max(std::min(*first, size), 0);
  *second = std::max(std::min(*second, size), 0);
  *middle = size - *first - *second;
  if (*middle >= 0) return;
  *first = *first >= 1 ? static_cast<i32>(std::floor(static_cast<double>(*first) * size / (*first + *second) + 0.5))
                       : 0;
  *second = size - *first;
  *middle = 0;
}

}  // namespace

SKINRECT SKINRECT::InitSliced(i32 x, i32 y, i32 w, i32 h, i32 left, i32 right, i32 top, i32 bottom, i32 stepX,
                              i32 stepY, DXLTexture* image) {
  SKINRECT s{};
  s.image = ResolveImage(image);
  s.x = x;
  s.y = y;
  s.width = Extent(w, s.image ? s.image->GetImageWidth() : 0);
  s.height = Extent(h, s.image ? s.image->GetImageHeight() : 0);
  s.right = x + s.width;
  s.bottom = y + s.height;
  s.left = left;
  s.rightBorder = right;
  s.top = top;
  s.bottomBorder = bottom;
  ShareBorders(s.width, &s.left, &s.rightBorder, &s.middleWidth);
  ShareBorders(s.height, &s.top, &s.bottomBorder, &s.middleHeight);
  s.stepX = stepX;
  s.stepY = stepY;
  return s;
}

SKINRECT SKINRECT::InitPlain(i32 x, i32 y, i32 w, i32 h, i32 stepX, i32 stepY, DXLTexture* image) {
  return InitSliced(x, y, w, h, 0, 0, 0, 0, stepX, stepY, image);
}
