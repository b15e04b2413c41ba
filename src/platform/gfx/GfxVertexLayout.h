// Where the parts of a vertex lie in a flexible vertex format, as the software
// device reads them (and the recording device logs them). Only untransformed
// XYZ positions are drawn; any other position kind gives size 0.
#pragma once

#include <cstdint>

#include "platform/gfx/GfxTypes.h"

namespace plat::gfx {

struct VertexLayout {
  uint32_t size = 0;     // bytes of one vertex; 0 for a format that is not drawn
  int32_t diffuse = -1;  // offset of the ARGB colour, or -1
  int32_t tex = -1;      // offset of the first texture coordinate set, or -1
};

inline VertexLayout LayoutOf(uint32_t fvf) {
  VertexLayout l;
  constexpr uint32_t kKnown = 0x00E | D3DFVF_NORMAL | D3DFVF_PSIZE | D3DFVF_DIFFUSE | D3DFVF_SPECULAR |
                              D3DFVF_TEXCOUNT_MASK | 0xFFFF0000u;
  if ((fvf & 0x00E) != D3DFVF_XYZ || (fvf & ~kKnown) != 0) return l;
  uint32_t offset = 12;
  if (fvf & D3DFVF_NORMAL) offset += 12;
  if (fvf & D3DFVF_PSIZE) offset += 4;
  if (fvf & D3DFVF_DIFFUSE) {
    l.diffuse = static_cast<int32_t>(offset);
    offset += 4;
  }
  if (fvf & D3DFVF_SPECULAR) offset += 4;
  const uint32_t sets = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
  if (sets > 8) return l;
  for (uint32_t i = 0; i < sets; ++i) {
    static const uint32_t kFloats[4] = {2, 3, 4, 1};
    const uint32_t floats = kFloats[(fvf >> (16 + 2 * i)) & 3];
    if (i == 0) l.tex = static_cast<int32_t>(offset);
    offset += 4 * floats;
  }
  l.size = offset;
  return l;
}

}  // namespace plat::gfx
