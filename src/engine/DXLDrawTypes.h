// Records of the viewer's 2-D drawing: vertex layouts as the device reads
// them, the four-vertex quad, the per-texture draw state, the stencil and
// alpha-test settings with their packed form, and small rectangle and number
// helpers. Everything here is plain data and free functions; nothing talks to
// a device.
#pragma once

#include "base/Types.h"
#include "engine/DXLRect.h"
#include "platform/gfx/GfxTypes.h"

using DXLMATRIX = plat::gfx::Matrix;

// Vertex formats of the two layouts below.
constexpr u32 kFvfColor = 0x42;     // position, colour
constexpr u32 kFvfTextured = 0x142;  // position, colour, one texture coordinate pair

// Coloured vertex, 16 bytes.
struct DXLCOLORVERTEX {
  float x, y, z;
  u32 color;  // ARGB
};

// Textured vertex, 24 bytes.
struct DXLVERTEX {
  float x, y, z;
  u32 color;  // ARGB
  float u, v;
};

// Four textured vertices: top-left, top-right, bottom-right, bottom-left,
// drawn as one triangle fan.
struct DXLQUAD {
  DXLVERTEX v[4];
};

static_assert(sizeof(DXLCOLORVERTEX) == 16, "coloured vertices are 16 bytes");
static_assert(sizeof(DXLVERTEX) == 24, "textured vertices are 24 bytes");
static_assert(sizeof(DXLQUAD) == 96, "a quad is four textured vertices");

// A packed ARGB colour.
struct DXLColor {
  u32 argb;
  explicit DXLColor(u32 value = 0) : argb(value) {}
};

// A rectangle with float edges.
struct DXLRECTF {
  float left, top, right, bottom;
};

// Blend modes of the viewer.
constexpr u32 kBlendNone = 0;      // source only
constexpr u32 kBlendAlpha = 1;     // source x a + target x (1 - a)
constexpr u32 kBlendErase = 2;     // target x (1 - a)
constexpr u32 kBlendAdd = 3;       // source x a + target
constexpr u32 kBlendInvert = 4;    // source x (1 - target) + target x (1 - a)

// How a texture is sampled and combined when it is selected.
struct DXLDRAWSTATE {
  u8 minFilter;  // 0 point, otherwise linear
  u8 magFilter;
  u32 addressU;  // texture address mode
  u32 addressV;
  u32 blendMode;  // 0..4
  u32 colorOp;    // texture-stage operation
  u32 alphaOp;
};

void DXLMakeDrawState(DXLDRAWSTATE* out, u8 minFilter, u8 magFilter, u32 addressU, u32 addressV, u32 blendMode,
                      u32 colorOp, u32 alphaOp);
void DXLMakeSimpleDrawState(DXLDRAWSTATE* out, u8 filter, u32 addressMode, u32 blendMode, u32 op);

// Stencil and alpha-test settings. Modes: 0 off, 1 on, 2 leave unchanged.
struct DXLSTENCILDATA {
  u32 stencilMode;
  u32 stencilFunc;  // comparison 1..8
  u32 stencilPass;  // stencil operation 1..8
  u32 stencilRef;
  u32 alphaMode;
  u32 alphaFunc;  // comparison 1..8
  u32 alphaRef;
};

// Packed stencil flags: bits 0-3 pass operation, 4-7 stencil comparison, 8-11
// alpha comparison (0 counts as 1, above 8 as 8); 0x1000 alpha test off,
// 0x2000 stencil off, 0x4000 alpha test on, 0x8000 stencil on (on wins).
constexpr u32 kStencilFlagAlphaOff = 0x1000;
constexpr u32 kStencilFlagStencilOff = 0x2000;
constexpr u32 kStencilFlagAlphaOn = 0x4000;
constexpr u32 kStencilFlagStencilOn = 0x8000;
constexpr u32 kStencilFlagsAllOff = 0x3000;

void DXLMakeStencilData(DXLSTENCILDATA* out, u32 flags, u32 stencilRef, u32 alphaRef);

// A clip rectangle saved by PushClip.
struct DXLSCISSORDATA {
  DXLRECT rect;
  u32 enabled;
};

// Set x and y of four vertices of 24 (or 16) bytes to (left, top), (right,
// top), (right, bottom), (left, bottom). With `close` a fifth vertex becomes a
// copy of the first; with `zero` z of every written vertex is 0.
void SetQuadRect24(void* vertices, float left, float top, float right, float bottom, bool close, bool zero);
void SetQuadRect16(void* vertices, float left, float top, float right, float bottom, bool close, bool zero);

void DXLSetRectXYWH(DXLRECT* rect, i32 x, i32 y, i32 w, i32 h);
// a becomes the intersection of a and b (the larger left and top, the smaller
// right and bottom); the result may be empty or inverted.
void DXLIntersectRect(DXLRECT* a, const DXLRECT* b);

float DXLFraction(float x);    // x less its integer part (towards zero)
i32 DXLRoundHalfUp(float x);   // integer part, plus 1 when the fraction is at least 0.5
