#include "resources/SpriteBatch.h"

#include <algorithm>

#include "engine/DXLViewer.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"

namespace {

// Stencil on, always, replace; alpha test on, greater-or-equal.
constexpr u32 kMarkFlags = 0xC783;
// Stencil on, equal, increment-and-saturate; alpha test off.
constexpr u32 kFillFlags = 0x9034;

}  // namespace

SpriteBatch::SpriteBatch() : entries_{}, scratch_{} {
  DXLMakeStencilData(&mark_, kMarkFlags, 0, 128);
  DXLMakeStencilData(&fill_, kFillFlags, 0, 0);
}

void SpriteBatch::Begin(bool merge, u32 reference, u32 alphaReference) {
  if (collecting_) return;
  collecting_ = 1;
  count_ = 0;
  merge_ = merge ? 1 : 0;
  mark_.stencilRef = reference;
  fill_.stencilRef = reference;
  mark_.alphaRef = alphaReference;
}

void SpriteBatch::End() { collecting_ = 0; }

// Entry 0 grows to enclose the quad moved by the difference between the
// translations now and when entry 0 was queued.
void SpriteBatch::Merge(const DXLQUAD& quad, const DXLMATRIX& now) {
  Entry& e = entries_[0];
  const float dx = now.m[3][0] - e.transform.m[3][0];
  const float dy = now.m[3][1] - e.transform.m[3][1];
  float minX = quad.v[0].x, maxX = quad.v[0].x, minY = quad.v[0].y, maxY = quad.v[0].y;
  for (const DXLVERTEX& v : quad.v) {
    minX = std::min(minX, v.x);
    maxX = std::max(maxX, v.x);
    minY = std::min(minY, v.y);
    maxY = std::max(maxY, v.y);
  }
  minX += dx;
  maxX += dx;
  minY += dy;
  maxY += dy;
  e.quad[0].x = std::min(e.quad[0].x, minX);
  e.quad[0].y = std::min(e.quad[0].y, minY);
  e.quad[1].x = std::max(e.quad[1].x, maxX);
  e.quad[1].y = std::min(e.quad[1].y, minY);
  e.quad[2].x = std::max(e.quad[2].x, maxX);
  e.quad[2].y = std::max(e.quad[2].y, maxY);
  e.quad[3].x = std::min(e.quad[3].x, minX);
  e.quad[3].y = std::max(e.quad[3].y, maxY);
}

void SpriteBatch::AddQuad(const DXLQUAD* quad) {
  DXLViewer* viewer = GetGameViewer();
  if (!quad || (quad->v[0].color >> 24) == 0 || !viewer) return;
  bool queued = true;
  if (!merge_ || count_ == 0) {
    if (count_ < kCapacity) {
      Entry& e = entries_[count_++];
      for (int i = 0; i < 4; ++i) e.quad[i] = DXLCOLORVERTEX{quad->v[i].x, quad->v[i].y, quad->v[i].z, 0};
      viewer->GetTransform(&e.transform);
    } else {
      queued = false;  // still drawn below
    }
  } else {
    viewer->GetTransform(&scratch_);
    Merge(*quad, scratch_);
  }
  viewer->DrawQuad(quad);
  if (!queued) return;
  // Again into the stencil buffer only.
  viewer->SetStencilState(&mark_);
  viewer->SetColorWriteMask(0);
  viewer->DrawQuad(quad);
  viewer->SetColorWriteMask(0xF);
  viewer->SetStencilMode(kStencilFlagsAllOff, 0, 0);
}

void SpriteBatch::Flush(u32 color, u32 blendMode) {
  DXLViewer* viewer = GetGameViewer();
  if (collecting_ || count_ == 0 || !viewer) return;
  UnbindDrawTexture();
  viewer->SetStencilState(&fill_);
  viewer->SetBlendMode((color >> 24) < 0xFF ? blendMode : kBlendNone);
  for (i32 i = 0; i < count_; ++i) {
    Entry& e = entries_[i];
    for (DXLCOLORVERTEX& v : e.quad)
      if (v.color != color) v.color = color;
    viewer->ApplyTransform(&e.transform);
    viewer->DrawColorQuad(e.quad);
  }
  viewer->SetStencilMode(kStencilFlagsAllOff, 0, 0);
  count_ = 0;
}
