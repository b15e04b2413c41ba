// Shared set-up for the graphics tests: a system, a device of a given size
// with an orthographic projection whose units are pixels (as the engine sets
// it), and helpers to build textures and draw quads and lines.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/gfx/GfxD3dx.h"
#include "platform/gfx/GfxSimdAvx2.h"
#include "platform/gfx/GfxSoftDevice.h"
#include "platform/gfx/GfxSystem.h"

namespace gfxtest {

using namespace plat::gfx;

struct TexVertex {
  float x, y, z;
  uint32_t colour;
  float u, v;
};
struct ColourVertex {
  float x, y, z;
  uint32_t colour;
};

inline PresentParams Params(uint32_t w, uint32_t h, uint32_t depth = D3DFMT_D24S8) {
  PresentParams p{};
  p.backBufferWidth = w;
  p.backBufferHeight = h;
  p.backBufferFormat = D3DFMT_X8R8G8B8;
  p.swapEffect = D3DSWAPEFFECT_DISCARD;
  p.deviceWindow = 0x1234;
  p.windowed = 1;
  p.enableAutoDepthStencil = 1;
  p.autoDepthStencilFormat = depth;
  p.flags = D3DPRESENTFLAG_DISCARD_DEPTHSTENCIL;
  p.presentationInterval = D3DPRESENT_INTERVAL_ONE;
  return p;
}

class Rig {
 public:
  explicit Rig(uint32_t w = 64, uint32_t h = 64, uint32_t depth = D3DFMT_D24S8) : w_(w), h_(h) {
    system_ = Direct3DCreate9(D3D_SDK_VERSION);
    PresentParams p = Params(w, h, depth);
    EXPECT_EQ(system_->CreateDevice(0, D3DDEVTYPE_HAL, 0x1234, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device_),
              D3D_OK);
    soft_ = device_->GetSoftDevice();
    PrepareStates();
    EXPECT_EQ(device_->BeginScene(), D3D_OK);
  }

  // The states the engine establishes after creating the device.
  void PrepareStates() {
    Matrix ortho;
    D3DXMatrixOrthoOffCenterLH(&ortho, 0, static_cast<float>(w_), static_cast<float>(h_), 0, 0, 0.1f);
    device_->SetTransform(D3DTS_PROJECTION, &ortho);
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device_->SetRenderState(D3DRS_LIGHTING, 0);
    device_->SetRenderState(D3DRS_ZENABLE, 0);
    device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  }

  std::unique_ptr<Texture> MakeTexture(uint32_t w, uint32_t h, const std::function<uint32_t(int, int)>& argb,
                                       uint32_t format = D3DFMT_A8R8G8B8) {
    std::unique_ptr<Texture> t;
    EXPECT_EQ(device_->CreateTexture(w, h, 1, 0, format, D3DPOOL_MANAGED, &t), D3D_OK);
    LockedRect lr{};
    EXPECT_EQ(t->LockRect(0, &lr, nullptr, 0), D3D_OK);
    for (uint32_t y = 0; y < h; ++y) {
      for (uint32_t x = 0; x < w; ++x) {
        uint8_t* p = static_cast<uint8_t*>(lr.bits) + y * lr.pitch + x * 4;
        const uint32_t c = argb(static_cast<int>(x), static_cast<int>(y));
        p[0] = static_cast<uint8_t>(c);
        p[1] = static_cast<uint8_t>(c >> 8);
        p[2] = static_cast<uint8_t>(c >> 16);
        p[3] = static_cast<uint8_t>(c >> 24);
      }
    }
    EXPECT_EQ(t->UnlockRect(0), D3D_OK);
    return t;
  }

  // A textured quad over the rectangle (x0, y0)-(x1, y1) in the engine's
  // vertex order (top-left, top-right, bottom-right, bottom-left).
  HRESULT TexQuad(float x0, float y0, float x1, float y1, uint32_t colour = 0xFFFFFFFFu, float u0 = 0, float v0 = 0,
                  float u1 = 1, float v1 = 1) {
    const TexVertex q[4] = {{x0, y0, 0, colour, u0, v0},
                            {x1, y0, 0, colour, u1, v0},
                            {x1, y1, 0, colour, u1, v1},
                            {x0, y1, 0, colour, u0, v1}};
    device_->SetFVF(0x142);
    return device_->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, q, sizeof(TexVertex));
  }

  HRESULT ColourQuad(float x0, float y0, float x1, float y1, uint32_t colour) {
    const ColourVertex q[4] = {{x0, y0, 0, colour}, {x1, y0, 0, colour}, {x1, y1, 0, colour}, {x0, y1, 0, colour}};
    device_->SetFVF(0x42);
    return device_->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, q, sizeof(ColourVertex));
  }

  void Blend(uint32_t src, uint32_t dest) {
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    device_->SetRenderState(D3DRS_SRCBLEND, src);
    device_->SetRenderState(D3DRS_DESTBLEND, dest);
  }

  uint32_t Pixel(int x, int y) const { return soft_->BackPixel(static_cast<uint32_t>(x), static_cast<uint32_t>(y)); }
  void Fill(uint32_t colour) { EXPECT_EQ(device_->Clear(D3DCLEAR_TARGET, colour, 0, 0), D3D_OK); }

  Device* Dev() { return device_.get(); }
  SoftDevice* Soft() { return soft_; }
  System* Sys() { return system_.get(); }

 private:
  uint32_t w_, h_;
  std::unique_ptr<System> system_;
  std::unique_ptr<Device> device_;
  SoftDevice* soft_ = nullptr;
};

// A repeatable pseudo-random texel source for tests.
inline uint32_t Noise(int x, int y, uint32_t seed = 1) {
  uint32_t h = static_cast<uint32_t>(x) * 73856093u ^ static_cast<uint32_t>(y) * 19349663u ^ seed * 83492791u;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  return h;
}

// Whether the processor runs the wide (AVX2) paths at all. Without them a
// test that only compares them with the narrow paths would compare the
// narrow paths with themselves: it skips instead, saying why.
inline bool WidePathsPresent() {
  SetAvx2Allowed(true);
  return Avx2Active();
}
inline constexpr const char* kNoWidePaths =
    "this processor has no AVX2: the wide paths never run, so there is nothing to compare them with";

}  // namespace gfxtest
