// The viewer's 2-D drawing layer: current transform, immediate drawing from
// caller memory, blend modes, stencil and alpha test, clip rectangles and the
// render states re-established after every device creation and reset.
#include <cstring>

#include "base/Maths.h"
#include "engine/DXLTexture.h"
#include "engine/DXLViewer.h"
#include "engine/DXLD3DX.h"
#include "platform/gfx/GfxD3dx.h"

namespace gfx = plat::gfx;

// --- Transform -----------------------------------------------------------------

void DXLViewer::SetTransform(const DXLMATRIX* matrix) {
  if (matrix) transform_ = *matrix;
}

void DXLViewer::LoadIdentity(DXLMATRIX* out) { (out ? *out : transform_) = gfx::IdentityMatrix(); }

void DXLViewer::GetTransform(DXLMATRIX* out) const {
  if (out) *out = transform_;
}

void DXLViewer::ReadWorldTransform(DXLMATRIX* out) {
  DXLMATRIX& target = out ? *out : transform_;
  if (!device_ || gfx::Failed(device_->GetTransform(gfx::D3DTS_WORLD, &target))) target = gfx::IdentityMatrix();
}

void DXLViewer::ApplyTransform(const DXLMATRIX* matrix) {
  if (device_) device_->SetTransform(gfx::D3DTS_WORLD, matrix ? matrix : &transform_);
}

void DXLViewer::ResetWorldTransform() {
  if (!device_) return;
  const DXLMATRIX identity = gfx::IdentityMatrix();
  device_->SetTransform(gfx::D3DTS_WORLD, &identity);
}

void DXLViewer::SetWorldOffset(float x, float y) {
  offset_.m[3][0] = x;
  offset_.m[3][1] = y;
  if (device_) device_->SetTransform(gfx::D3DTS_WORLD, &offset_);
}

void DXLViewer::Translate(float x, float y) {
  if (x == 0.0f && y == 0.0f) return;
  float(&m)[4][4] = transform_.m;
  m[3][0] += x * m[0][0] + y * m[1][0];
  m[3][1] += x * m[0][1] + y * m[1][1];
}

void DXLViewer::Scale(float s) {
  if (s == 1.0f) return;
  float(&m)[4][4] = transform_.m;
  m[0][0] *= s;
  m[0][1] *= s;
  m[1][0] *= s;
  m[1][1] *= s;
}

void DXLViewer::ScaleXY(float sx, float sy) {
  if (sx == 1.0f && sy == 1.0f) return;
  float(&m)[4][4] = transform_.m;
  m[0][0] *= sx;
  m[0][1] *= sx;
  m[1][0] *= sy;
  m[1][1] *= sy;
}

void DXLViewer::SetScale(float s) {
  float(&m)[4][4] = transform_.m;
  m[0][1] = m[0][0] != 0.0f ? s * (m[0][1] / m[0][0]) : 0.0f;
  m[0][0] = s;
  m[1][0] = m[1][1] != 0.0f ? s * (m[1][0] / m[1][1]) : 0.0f;
  m[1][1] = s;
}

void DXLViewer::Rotate(float radians) {
  if (radians == 0.0f) return;
  float s = 0.0f, c = 1.0f;
  kis::SinCos(radians, &s, &c);
  float(&m)[4][4] = transform_.m;
  const float m11 = m[0][0], m12 = m[0][1], m21 = m[1][0], m22 = m[1][1];
  m[0][0] = c * m11 + s * m21;
  m[1][0] = c * m21 - s * m11;
  m[0][1] = c * m12 + s * m22;
  m[1][1] = c * m22 - s * m12;
}

void DXLViewer::RotateDeg(float degrees) {
  if (degrees == 0.0f) return;
  Rotate(static_cast<float>(degrees * 3.1415927 / 180.0));
}

void DXLViewer::RoundTranslation() {
  transform_.m[3][0] = static_cast<float>(kis::RoundToInt(transform_.m[3][0]));
  transform_.m[3][1] = static_cast<float>(kis::RoundToInt(transform_.m[3][1]));
}

void DXLViewer::PushTransform() { transformStack_.push_back(transform_); }

void DXLViewer::PopTransform() {
  if (transformStack_.empty()) return;
  transform_ = transformStack_.back();
  transformStack_.pop_back();
  ApplyTransform(nullptr);
}

// --- Clip rectangles ---------------------------------------------------------------

void DXLViewer::PushClip(const DXLRECT& rect) {
  if (!device_) return;
  scissors_.Add(new DXLSCISSORDATA{scissorRect_, scissorEnabled_});
  ++scissorDepth_;
  DXLRECT clip = rect;
  if (scissorEnabled_) {
    DXLIntersectRect(&clip, &scissorRect_);
  } else if (settings_) {
    const DXLRECT whole{0, 0, static_cast<i32>(settings_->present.backBufferWidth),
                        static_cast<i32>(settings_->present.backBufferHeight)};
    DXLIntersectRect(&clip, &whole);
  }
  // An empty intersection clips everything away.
  if (clip.right < clip.left) clip.right = clip.left;
  if (clip.bottom < clip.top) clip.bottom = clip.top;
  scissorRect_ = clip;
  scissorEnabled_ = 1;
  const gfx::Rect r{clip.left, clip.top, clip.right, clip.bottom};
  device_->SetScissorRect(&r);
  device_->SetRenderState(gfx::D3DRS_SCISSORTESTENABLE, 1);
}

void DXLViewer::PopClip() {
  if (!device_ || scissors_.GetCount() == 0) return;
  DXLSCISSORDATA* saved = scissors_.Last();
  scissors_.Delete(scissors_.GetCount() - 1);
  --scissorDepth_;
  scissorRect_ = saved->rect;
  scissorEnabled_ = saved->enabled;
  delete saved;
  if (scissorEnabled_) {
    const gfx::Rect r{scissorRect_.left, scissorRect_.top, scissorRect_.right, scissorRect_.bottom};
    device_->SetScissorRect(&r);
  }
  device_->SetRenderState(gfx::D3DRS_SCISSORTESTENABLE, scissorEnabled_);
}

void DXLViewer::ClearScissorState() {
  scissorEnabled_ = 0;
  scissorRect_ = DXLRECT{0, 0, 0, 0};
  scissorDepth_ = 0;
  scissors_.DeleteAll();
}

// --- Drawing ---------------------------------------------------------------------

i32 DXLViewer::DrawQuad(const DXLQUAD* quad) {
  if (!device_ || !quad) return 0;
  device_->SetFVF(kFvfTextured);
  return device_->DrawPrimitiveUP(gfx::D3DPT_TRIANGLEFAN, 2, quad, sizeof(DXLVERTEX));
}

i32 DXLViewer::DrawQuads(u32 count, const DXLQUAD* quads) {
  if (!device_ || !quads) return 0;
  device_->SetFVF(kFvfTextured);
  i32 hr = 0;
  for (u32 i = 0; i < count; ++i) hr = device_->DrawPrimitiveUP(gfx::D3DPT_TRIANGLEFAN, 2, quads + i, sizeof(DXLVERTEX));
  return hr;
}

i32 DXLViewer::DrawColorQuad(const DXLCOLORVERTEX* vertices) {
  if (!device_ || !vertices) return 0;
  device_->SetFVF(kFvfColor);
  return device_->DrawPrimitiveUP(gfx::D3DPT_TRIANGLEFAN, 2, vertices, sizeof(DXLCOLORVERTEX));
}

i32 DXLViewer::DrawColorFrame(const DXLCOLORVERTEX* vertices) {
  if (!device_ || !vertices) return 0;
  device_->SetFVF(kFvfColor);
  return device_->DrawPrimitiveUP(gfx::D3DPT_LINESTRIP, 4, vertices, sizeof(DXLCOLORVERTEX));
}

i32 DXLViewer::DrawFrame(u32 fvf, const void* vertices, u32 stride) {
  if (!device_ || !vertices) return 0;
  device_->SetFVF(fvf);
  return device_->DrawPrimitiveUP(gfx::D3DPT_LINESTRIP, 4, vertices, stride);
}

i32 DXLViewer::DrawLineStrip(u32 fvf, u32 points, const void* vertices, u32 stride) {
  if (!device_ || !vertices || points < 2) return 0;
  device_->SetFVF(fvf);
  return device_->DrawPrimitiveUP(gfx::D3DPT_LINESTRIP, points - 1, vertices, stride);
}

i32 DXLViewer::DrawTriangleFan(u32 fvf, u32 count, const void* vertices, u32 stride) {
  if (!device_ || !vertices || count < 3) return 0;
  device_->SetFVF(fvf);
  return device_->DrawPrimitiveUP(gfx::D3DPT_TRIANGLEFAN, count - 2, vertices, stride);
}

// --- States -------------------------------------------------------------------------

bool DXLViewer::SetTexture(DXLTexture* texture) {
  if (!device_) return false;
  if (texture == currentTexture_) return true;
  currentTexture_ = texture;
  device_->SetTexture(0, texture ? texture->GetD3DTexture() : nullptr);
  return true;
}

void DXLViewer::SetBlendMode(u32 mode) {
  if (!device_ || mode == blendMode_) return;
  blendMode_ = mode;
  ApplyBlendStates();
}

void DXLViewer::ApplyBlendStates() {
  if (!device_) return;
  struct Blend {
    u32 enable, src, dest;
  };
  static constexpr Blend kModes[] = {
      {0, 0, 0},
      {1, gfx::D3DBLEND_SRCALPHA, gfx::D3DBLEND_INVSRCALPHA},
      {1, gfx::D3DBLEND_ZERO, gfx::D3DBLEND_INVSRCALPHA},
      {1, gfx::D3DBLEND_SRCALPHA, gfx::D3DBLEND_ONE},
      {1, gfx::D3DBLEND_INVDESTCOLOR, gfx::D3DBLEND_INVSRCALPHA},
  };
  if (blendMode_ > 4) return;
  const Blend& b = kModes[blendMode_];
  device_->SetRenderState(gfx::D3DRS_ALPHABLENDENABLE, b.enable);
  if (!b.enable) return;
  device_->SetRenderState(gfx::D3DRS_SRCBLEND, b.src);
  device_->SetRenderState(gfx::D3DRS_DESTBLEND, b.dest);
}

void DXLViewer::ApplyDrawState(const DXLDRAWSTATE& state) {
  if (!device_) return;
  SetBlendMode(state.blendMode);
  device_->SetSamplerState(0, gfx::D3DSAMP_MINFILTER, state.minFilter ? gfx::D3DTEXF_LINEAR : gfx::D3DTEXF_POINT);
  device_->SetSamplerState(0, gfx::D3DSAMP_MAGFILTER, state.magFilter ? gfx::D3DTEXF_LINEAR : gfx::D3DTEXF_POINT);
  device_->SetSamplerState(0, gfx::D3DSAMP_ADDRESSU, state.addressU);
  device_->SetSamplerState(0, gfx::D3DSAMP_ADDRESSV, state.addressV);
  device_->SetTextureStageState(0, gfx::D3DTSS_COLOROP, state.colorOp);
  device_->SetTextureStageState(0, gfx::D3DTSS_ALPHAOP, state.alphaOp);
}

void DXLViewer::SetStencilState(const DXLSTENCILDATA* data) {
  if (data) stencil_ = *data;
  ApplyStencil();
}

void DXLViewer::SetStencilMode(u32 flags, u32 stencilRef, u32 alphaRef) {
  DXLMakeStencilData(&stencil_, flags, stencilRef, alphaRef);
  ApplyStencil();
}

void DXLViewer::SetColorWriteMask(u32 mask) {
  if (device_) device_->SetRenderState(gfx::D3DRS_COLORWRITEENABLE, mask & 0xFu);
}

void DXLViewer::ApplyStencil() {
  if (!device_) return;
  const DXLSTENCILDATA& s = stencil_;
  if (s.stencilMode != 2) {
    device_->SetRenderState(gfx::D3DRS_STENCILENABLE, s.stencilMode == 1);
    if (s.stencilMode == 0) {
      device_->SetRenderState(gfx::D3DRS_STENCILPASS, gfx::D3DSTENCILOP_KEEP);
    } else {
      device_->SetRenderState(gfx::D3DRS_STENCILFUNC, s.stencilFunc);
      device_->SetRenderState(gfx::D3DRS_STENCILPASS, s.stencilPass);
      device_->SetRenderState(gfx::D3DRS_STENCILREF, s.stencilRef);
    }
  }
  if (s.alphaMode != 2) {
    device_->SetRenderState(gfx::D3DRS_ALPHATESTENABLE, s.alphaMode == 1);
    if (s.alphaMode == 1) {
      device_->SetRenderState(gfx::D3DRS_ALPHAFUNC, s.alphaFunc);
      device_->SetRenderState(gfx::D3DRS_ALPHAREF, s.alphaRef);
    }
  }
}

void DXLViewer::RestoreStates() {
  if (!device_) return;
  device_->SetRenderState(gfx::D3DRS_ZENABLE, 0);
  device_->SetRenderState(gfx::D3DRS_ZWRITEENABLE, 0);
  device_->SetRenderState(gfx::D3DRS_ZFUNC, gfx::D3DCMP_ALWAYS);
  device_->SetRenderState(gfx::D3DRS_ALPHATESTENABLE, 0);
  device_->SetRenderState(gfx::D3DRS_LIGHTING, 0);
  device_->SetRenderState(gfx::D3DRS_CULLMODE, gfx::D3DCULL_NONE);
  device_->SetRenderState(gfx::D3DRS_DITHERENABLE, 0);
  device_->SetRenderState(gfx::D3DRS_CLIPPING, 0);

  ClearScissorState();
  device_->SetRenderState(gfx::D3DRS_SCISSORTESTENABLE, 0);

  SetStencilMode(kStencilFlagsAllOff, 0, 0);
  savedStencils_.DeleteAll();

  const float w = settings_ ? static_cast<float>(settings_->present.backBufferWidth) : 0.0f;
  const float h = settings_ ? static_cast<float>(settings_->present.backBufferHeight) : 0.0f;
  if (const auto ortho = DXLGetD3DX().MatrixOrthoOffCenterLH) {
    DXLMATRIX projection;
    ortho(&projection, 0.0f, w, h, 0.0f, 0.0f, 0.1f);
    device_->SetTransform(gfx::D3DTS_PROJECTION, &projection);
  }
  const DXLMATRIX identity = gfx::IdentityMatrix();
  device_->SetTransform(gfx::D3DTS_WORLD, &identity);
  device_->SetTransform(gfx::D3DTS_VIEW, &identity);

  blendMode_ = 0;
  ApplyBlendStates();
  currentTexture_ = nullptr;
  device_->SetTexture(0, nullptr);
}
