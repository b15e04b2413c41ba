// The quad builders of DXLTexture: every destination rectangle is shifted by
// half a pixel up and left so that texel centres land on pixel centres.
#include <utility>

#include "engine/DXLTexture.h"

namespace {

DXLRECTF ToFloat(const DXLRECT& r) {
  return DXLRECTF{static_cast<float>(r.left), static_cast<float>(r.top), static_cast<float>(r.right),
                  static_cast<float>(r.bottom)};
}

}  // namespace

float DXLTexture::TexU(float px) const {
  return px / static_cast<float>(textureWidth_ < 2 ? 1 : textureWidth_);
}

float DXLTexture::TexV(float py) const {
  return py / static_cast<float>(textureHeight_ < 2 ? 1 : textureHeight_);
}

DXLQUAD* DXLTexture::MakeQuadUV(DXLQUAD* quad, const DXLRECTF& dest, float leftU, float topV, float rightU,
                                float bottomV, u32 color, bool flipX, bool flipY) {
  if (!quad) quad = new DXLQUAD;
  if (color == 0) color = defaultColor_;
  if (flipX) std::swap(leftU, rightU);
  if (flipY) std::swap(topV, bottomV);
  const float l = dest.left - 0.5f, t = dest.top - 0.5f, r = dest.right - 0.5f, b = dest.bottom - 0.5f;
  quad->v[0] = DXLVERTEX{l, t, 0.0f, color, leftU, topV};
  quad->v[1] = DXLVERTEX{r, t, 0.0f, color, rightU, topV};
  quad->v[2] = DXLVERTEX{r, b, 0.0f, color, rightU, bottomV};
  quad->v[3] = DXLVERTEX{l, b, 0.0f, color, leftU, bottomV};
  return quad;
}

DXLQUAD* DXLTexture::MakeQuad(DXLQUAD* quad, float x, float y, u32 color, bool flipX, bool flipY) {
  const float w = static_cast<float>(GetImageWidth()), h = static_cast<float>(GetImageHeight());
  return MakeQuadUV(quad, DXLRECTF{x, y, x + w, y + h}, leftU_, topV_, rightU_, bottomV_, color, flipX, flipY);
}

DXLQUAD* DXLTexture::MakeQuadSized(DXLQUAD* quad, float x, float y, float w, float h, u32 color, bool flipX,
                                   bool flipY) {
  return MakeQuadUV(quad, DXLRECTF{x, y, x + w, y + h}, leftU_, topV_, rightU_, bottomV_, color, flipX, flipY);
}

DXLQUAD* DXLTexture::MakeQuadStretched(DXLQUAD* quad, const DXLRECT& dest, u32 color, bool flipX, bool flipY) {
  return MakeQuadUV(quad, ToFloat(dest), leftU_, topV_, rightU_, bottomV_, color, flipX, flipY);
}

DXLQUAD* DXLTexture::MakeQuadRectsF(DXLQUAD* quad, const DXLRECTF& dest, const DXLRECTF& source, u32 color,
                                    bool flipX, bool flipY) {
  return MakeQuadUV(quad, dest, TexU(source.left), TexV(source.top), TexU(source.right), TexV(source.bottom), color,
                    flipX, flipY);
}

DXLQUAD* DXLTexture::MakeQuadRects(DXLQUAD* quad, const DXLRECT& dest, const DXLRECT& source, u32 color,
                                   bool flipX, bool flipY) {
  return MakeQuadRectsF(quad, ToFloat(dest), ToFloat(source), color, flipX, flipY);
}

DXLQUAD* DXLTexture::MakeQuadFromRectF(DXLQUAD* quad, float x, float y, const DXLRECTF& source, u32 color,
                                       bool flipX, bool flipY) {
  const DXLRECTF dest{x, y, x + (source.right - source.left), y + (source.bottom - source.top)};
  return MakeQuadRectsF(quad, dest, source, color, flipX, flipY);
}

DXLQUAD* DXLTexture::MakeQuadFromRect(DXLQUAD* quad, float x, float y, const DXLRECT& source, u32 color,
                                      bool flipX, bool flipY) {
  return MakeQuadFromRectF(quad, x, y, ToFloat(source), color, flipX, flipY);
}

DXLQUAD* DXLTexture::MakeQuadPart(DXLQUAD* quad, float x, float y, float sx, float sy, float sw, float sh,
                                  u32 color, bool flipX, bool flipY) {
  return MakeQuadRectsF(quad, DXLRECTF{x, y, x + sw, y + sh}, DXLRECTF{sx, sy, sx + sw, sy + sh}, color, flipX,
                        flipY);
}

DXLQUAD* DXLTexture::MakeQuadPartScaled(DXLQUAD* quad, float x, float y, float w, float h, float sx, float sy,
                                        float sw, float sh, u32 color, bool flipX, bool flipY) {
  return MakeQuadRectsF(quad, DXLRECTF{x, y, x + w, y + h}, DXLRECTF{sx, sy, sx + sw, sy + sh}, color, flipX,
                        flipY);
}

DXLQUAD* DXLTexture::MakeQuadAt(DXLQUAD* quad, i32 x, i32 y, u32 color, bool flipX, bool flipY) {
  return MakeQuad(quad, static_cast<float>(x), static_cast<float>(y), color, flipX, flipY);
}

DXLQUAD DXLTexture::QuadAtI(i32 x, i32 y, u32 color) {
  DXLQUAD quad;
  MakeQuadAt(&quad, x, y, color);
  return quad;
}

DXLQUAD* DXLTexture::MakeQuadPartInt(DXLQUAD* quad, i32 x, i32 y, i32 sx, i32 sy, i32 sw, i32 sh, u32 color,
                                     bool flipX, bool flipY) {
  return MakeQuadPart(quad, static_cast<float>(x), static_cast<float>(y), static_cast<float>(sx),
                      static_cast<float>(sy), static_cast<float>(sw), static_cast<float>(sh), color, flipX, flipY);
}

DXLQUAD* DXLTexture::MakeQuadPartScaledInt(DXLQUAD* quad, i32 x, i32 y, i32 w, i32 h, i32 sx, i32 sy, i32 sw,
                                           i32 sh, u32 color, bool flipX, bool flipY) {
  return MakeQuadPartScaled(quad, static_cast<float>(x), static_cast<float>(y), static_cast<float>(w),
                            static_cast<float>(h), static_cast<float>(sx), static_cast<float>(sy),
                            static_cast<float>(sw), static_cast<float>(sh), color, flipX, flipY);
}

DXLQUAD DXLTexture::QuadFromRects(const DXLRECT& dest, const DXLRECT& source, u32 color) {
  DXLQUAD quad;
  MakeQuadRects(&quad, dest, source, color, false, false);
  return quad;
}

DXLQUAD DXLTexture::QuadFromRectsF(const DXLRECTF& dest, const DXLRECTF& source, u32 color) {
  DXLQUAD quad;
  MakeQuadRectsF(&quad, dest, source, color, false, false);
  return quad;
}

DXLQUAD DXLTexture::QuadFromRectsColors(const DXLRECT& dest, const DXLRECT& source, const u32* colors) {
  DXLQUAD quad;
  MakeQuadRects(&quad, dest, source, 0, false, false);
  if (colors) {
    for (int i = 0; i < 4; ++i) quad.v[i].color = colors[i] ? colors[i] : defaultColor_;
  }
  return quad;
}
