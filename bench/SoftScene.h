// SoftScene - what the drawing benchmarks share: the 800 x 600 windowed
// software device they draw on, the vertex they draw with (position, colour,
// one texture coordinate: FVF 0x142), their repeatable random numbers and
// textures filled texel by texel.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/gfx/GfxSystem.h"

namespace benchscene {

using plat::gfx::Device;
using plat::gfx::System;
using plat::gfx::Texture;

struct Vertex {
  float x, y, z;
  uint32_t colour;
  float u, v;
};

// The same numbers on every run, from the seed `s` (15 bits each).
inline uint32_t Rand(uint32_t& s) {
  s = s * 214013u + 2531011u;
  return (s >> 16) & 0x7FFF;
}

// An A8R8G8B8 texture of w x h whose texel (x, y) is f(x, y).
template <typename F>
std::unique_ptr<Texture> MakeTexture(Device* d, uint32_t w, uint32_t h, F f) {
  std::unique_ptr<Texture> t;
  d->CreateTexture(w, h, 1, 0, plat::gfx::D3DFMT_A8R8G8B8, plat::gfx::D3DPOOL_MANAGED, &t);
  plat::gfx::LockedRect lr{};
  t->LockRect(0, &lr, nullptr, 0);
  for (uint32_t y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(lr.bits) + y * lr.pitch);
    for (uint32_t x = 0; x < w; ++x) row[x] = f(x, y);
  }
  t->UnlockRect(0);
  return t;
}

// The graphics system and its windowed 800 x 600 device with a depth and
// stencil buffer.
inline void OpenDevice(std::unique_ptr<System>& system, std::unique_ptr<Device>& device) {
  using namespace plat::gfx;
  system = Direct3DCreate9(D3D_SDK_VERSION);
  PresentParams p{};
  p.backBufferWidth = 800;
  p.backBufferHeight = 600;
  p.backBufferFormat = D3DFMT_X8R8G8B8;
  p.swapEffect = D3DSWAPEFFECT_DISCARD;
  p.deviceWindow = 1;
  p.windowed = 1;
  p.enableAutoDepthStencil = 1;
  p.autoDepthStencilFormat = D3DFMT_D24S8;
  system->CreateDevice(0, D3DDEVTYPE_HAL, 1, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device);
}

}  // namespace benchscene
