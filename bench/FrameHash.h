// FrameHash - an FNV-1a hash of the software device's presented frame: the
// drawing benchmarks report it, so a faster version can show it draws the
// same pixels.
#pragma once

#include <cstdint>

#include "platform/gfx/GfxSoftDevice.h"

namespace benchframe {

inline uint32_t FrameHash(const plat::gfx::SoftDevice* device, uint32_t width = 800, uint32_t height = 600) {
  uint32_t hash = 2166136261u;
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x) hash = (hash ^ device->FramePixel(x, y)) * 16777619u;
  return hash;
}

}  // namespace benchframe
