#include "engine/DXLRect.h"

#include <cmath>

#include "base/Maths.h"
#include "engine/DXLDrawTypes.h"

namespace {

// Screen positions snap to whole pixels by adding 0.5, then rounding halves up.
inline i32 SnapToPixel(float v) { return kis::TruncToInt(std::floor(static_cast<double>(v) + 0.5 + 0.5)); }

}  // namespace

void DXLSetRect(DXLRECT* rect, i32 left, i32 top, i32 right, i32 bottom) {
  rect->left = left;
  rect->top = top;
  rect->right = right;
  rect->bottom = bottom;
}

void SetShortRect(SHORTRECT* rect, i16 left, i16 top, i16 right, i16 bottom) {
  rect->left = left;
  rect->top = top;
  rect->right = right;
  rect->bottom = bottom;
}

void SetShortRectXYWH(SHORTRECT* rect, i16 x, i16 y, i16 width, i16 height) {
  SetShortRect(rect, x, y, static_cast<i16>(x + width), static_cast<i16>(y + height));
}

void NormalizeShortRect(SHORTRECT* out, const SHORTRECT* in) {
  SHORTRECT r = *in;
  if (r.right < r.left) {
    const i16 t = r.left;
    r.left = r.right;
    r.right = t;
  }
  if (r.bottom < r.top) {
    const i16 t = r.top;
    r.top = r.bottom;
    r.bottom = t;
  }
  *out = r;
}

void DXLFitTextRect(kis::list<DXLRECT*>* queue, DXLRECT* rect, float x0, float y0, float x1, float y3) {
  const i32 top = SnapToPixel(y0), bottom = SnapToPixel(y3);
  if (rect->top != rect->bottom && top != rect->top && bottom != rect->bottom) {
    if (queue) queue->Add(new DXLRECT(*rect));
    rect->top = rect->bottom = 0;
  }
  if (rect->top == rect->bottom) {
    rect->top = top;
    rect->bottom = bottom;
    rect->left = SnapToPixel(x0);
  }
  rect->right = SnapToPixel(x1);
}

void DXLFitTextRect(kis::list<DXLRECT*>* queue, DXLRECT* rect, const DXLQUAD* quad) {
  if (!rect || !quad) return;
  DXLFitTextRect(queue, rect, quad->v[0].x, quad->v[0].y, quad->v[1].x, quad->v[3].y);
}
