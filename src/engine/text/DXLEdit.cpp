#include "engine/text/DXLEdit.h"

template class _DXLEdit<wchar, 16, 1>;

void DXLSetRectF(DXLRECTF* rect, float x, float y, float width, float height) {
  if (!rect) return;
  *rect = DXLRECTF{x, y, x + width, y + height};
}

void DXLFillRectVertices(float* vertices, const DXLRECTF& rect, bool close, bool zero) {
  if (!vertices) return;
  const float corners[4][2] = {{rect.left, rect.top}, {rect.right, rect.top}, {rect.right, rect.bottom},
                               {rect.left, rect.bottom}};
  const i32 count = close ? 5 : 4;
  for (i32 i = 0; i < count; ++i) {
    float* v = vertices + 4 * i;
    v[0] = corners[i % 4][0];
    v[1] = corners[i % 4][1];
    if (zero) v[2] = 0.0f;
  }
}
