#include "engine/DXLDrawTypes.h"

#include <cmath>
#include <cstring>

#include "base/Maths.h"

void DXLMakeDrawState(DXLDRAWSTATE* out, u8 minFilter, u8 magFilter, u32 addressU, u32 addressV, u32 blendMode,
                      u32 colorOp, u32 alphaOp) {
  if (!out) return;
  out->minFilter = minFilter;
  out->magFilter = magFilter;
  out->addressU = addressU;
  out->addressV = addressV;
  out->blendMode = blendMode;
  out->colorOp = colorOp;
  out->alphaOp = alphaOp;
}

void DXLMakeSimpleDrawState(DXLDRAWSTATE* out, u8 filter, u32 addressMode, u32 blendMode, u32 op) {
  DXLMakeDrawState(out, filter, filter, addressMode, addressMode, blendMode, op, op);
}

namespace {

// A comparison or stencil-operation nibble: 0 counts as 1, above 8 as 8.
u32 Nibble(u32 flags, u32 shift) {
  const u32 v = (flags >> shift) & 0xF;
  return v == 0 ? 1 : v > 8 ? 8 : v;
}

template <size_t kStride>
void SetQuadRect(void* vertices, float left, float top, float right, float bottom, bool close, bool zero) {
  if (!vertices) return;
  u8* base = static_cast<u8*>(vertices);
  const float xy[4][2] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
  for (int i = 0; i < 4; ++i) {
    u8* v = base + i * kStride;
    std::memcpy(v, &xy[i][0], 4);
    std::memcpy(v + 4, &xy[i][1], 4);
    if (zero) {
      const float z = 0.0f;
      std::memcpy(v + 8, &z, 4);
    }
  }
  if (close) std::memcpy(base + 4 * kStride, base, kStride);
}

}  // namespace

void DXLMakeStencilData(DXLSTENCILDATA* out, u32 flags, u32 stencilRef, u32 alphaRef) {
  if (!out) return;
  out->stencilPass = Nibble(flags, 0);
  out->stencilFunc = Nibble(flags, 4);
  out->alphaFunc = Nibble(flags, 8);
  out->stencilRef = stencilRef;
  out->alphaRef = alphaRef;
  out->stencilMode = (flags & kStencilFlagStencilOn) ? 1 : (flags & kStencilFlagStencilOff) ? 0 : 2;
  out->alphaMode = (flags & kStencilFlagAlphaOn) ? 1 : (flags & kStencilFlagAlphaOff) ? 0 : 2;
}

void SetQuadRect24(void* vertices, float left, float top, float right, float bottom, bool close, bool zero) {
  SetQuadRect<24>(vertices, left, top, right, bottom, close, zero);
}

void SetQuadRect16(void* vertices, float left, float top, float right, float bottom, bool close, bool zero) {
  SetQuadRect<16>(vertices, left, top, right, bottom, close, zero);
}

void DXLSetRectXYWH(DXLRECT* rect, i32 x, i32 y, i32 w, i32 h) {
  if (!rect) return;
  rect->left = x;
  rect->top = y;
  rect->right = x + w;
  rect->bottom = y + h;
}

void DXLIntersectRect(DXLRECT* a, const DXLRECT* b) {
  if (!a || !b) return;
  if (b->left > a->left) a->left = b->left;
  if (b->top > a->top) a->top = b->top;
  if (b->right < a->right) a->right = b->right;
  if (b->bottom < a->bottom) a->bottom = b->bottom;
}

float DXLFraction(float x) { return x - std::trunc(x); }

i32 DXLRoundHalfUp(float x) {
  const float whole = std::trunc(x);
  return kis::TruncToInt(whole) + ((x - whole) >= 0.5f ? 1 : 0);
}
