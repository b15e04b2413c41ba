// One busy 800 x 600 frame on the software device: clear, a full-screen
// background, 600 alpha-blended 64 x 64 sprites at 1:1, 100 rotated and
// scaled sprites and 2,000 glyph quads of 12 x 16 tinted by their colour.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "FrameHash.h"
#include "SoftScene.h"
#include "platform/gfx/GfxD3dx.h"
#include "platform/gfx/GfxSoftDevice.h"
#include "platform/gfx/GfxSystem.h"

using namespace plat::gfx;

namespace {

using benchscene::MakeTexture;
using benchscene::Rand;
using benchscene::Vertex;

// A soft-edged disc, transparent in the corners.
uint32_t Sprite(uint32_t x, uint32_t y) {
  const double dx = x - 31.5, dy = y - 31.5, r = std::sqrt(dx * dx + dy * dy);
  const double a = std::clamp((31.5 - r) / 4.0, 0.0, 1.0);
  return (static_cast<uint32_t>(a * 255) << 24) | ((x * 4) << 16) | ((y * 4) << 8) | 0x40;
}
uint32_t Background(uint32_t x, uint32_t y) { return 0xFF000000u | ((x & 0xFF) << 16) | ((y & 0xFF) << 8) | 0x80; }
// A 256 x 256 glyph sheet: white with alpha coverage.
uint32_t Glyphs(uint32_t x, uint32_t y) { return (((x * 7 + y * 13) % 5 < 3 ? 255u : 0u) << 24) | 0xFFFFFF; }

// Bilinear texels of the texture as they are, clamped at its edges, put
// on the target by source-alpha blending when `blend` (else copied).
void BilinearStates(Device* d, bool blend) {
  d->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
  d->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
  d->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
  d->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
  d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  d->SetRenderState(D3DRS_ALPHABLENDENABLE, blend);
  d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
}

struct Scene {
  std::unique_ptr<System> system;
  std::unique_ptr<Device> device;
  std::unique_ptr<Texture> sprite, background, glyphs;
  std::vector<Vertex> sprites, rotated, text;

  Scene() {
    benchscene::OpenDevice(system, device);
    sprite = MakeTexture(device.get(), 64, 64, Sprite);
    background = MakeTexture(device.get(), 1024, 1024, Background);
    glyphs = MakeTexture(device.get(), 256, 256, Glyphs);
    uint32_t seed = 1;
    auto quad = [](std::vector<Vertex>& out, float x, float y, float w, float h, uint32_t c, float u0, float v0,
                   float u1, float v1) {
      out.push_back({x - 0.5f, y - 0.5f, 0, c, u0, v0});
      out.push_back({x + w - 0.5f, y - 0.5f, 0, c, u1, v0});
      out.push_back({x + w - 0.5f, y + h - 0.5f, 0, c, u1, v1});
      out.push_back({x - 0.5f, y + h - 0.5f, 0, c, u0, v1});
    };
    for (int i = 0; i < 600; ++i) {
      quad(sprites, static_cast<float>(Rand(seed) % 736), static_cast<float>(Rand(seed) % 536), 64, 64,
           0xFFFFFFFFu, 0, 0, 1, 1);
    }
    for (int i = 0; i < 100; ++i) {
      const float cx = static_cast<float>(Rand(seed) % 800), cy = static_cast<float>(Rand(seed) % 600);
      const float angle = static_cast<float>(Rand(seed)) / 32768.0f * 6.2831853f;
      const float scale = 0.75f + static_cast<float>(Rand(seed)) / 32768.0f * 0.5f;
      const float c = std::cos(angle) * 32 * scale, s = std::sin(angle) * 32 * scale;
      const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
      const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
      for (int k = 0; k < 4; ++k) {
        rotated.push_back({cx + corners[k][0] * c - corners[k][1] * s, cy + corners[k][0] * s + corners[k][1] * c, 0,
                           0xFFFFFFFFu, uv[k][0], uv[k][1]});
      }
    }
    Matrix ortho;
    D3DXMatrixOrthoOffCenterLH(&ortho, 0, 800, 600, 0, 0, 0.1f);
    device->SetTransform(D3DTS_PROJECTION, &ortho);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    for (int i = 0; i < 2000; ++i) {
      const float gx = static_cast<float>(Rand(seed) % 21) * 12, gy = static_cast<float>(Rand(seed) % 16) * 16;
      quad(text, static_cast<float>(Rand(seed) % 788), static_cast<float>(Rand(seed) % 584), 12, 16,
           0xFF000000u | (Rand(seed) << 9) | Rand(seed), gx / 256, gy / 256, (gx + 12) / 256, (gy + 16) / 256);
    }
  }

  void Frame() {
    Device* d = device.get();
    d->BeginScene();
    d->Clear(D3DCLEAR_TARGET | D3DCLEAR_STENCIL, 0xFF000000u, 0, 0);
    d->SetFVF(0x142);
    BilinearStates(d, false);
    d->SetTexture(0, background.get());
    const Vertex bg[4] = {{-0.5f, -0.5f, 0, 0xFFFFFFFFu, 0, 0},
                          {799.5f, -0.5f, 0, 0xFFFFFFFFu, 800 / 1024.0f, 0},
                          {799.5f, 599.5f, 0, 0xFFFFFFFFu, 800 / 1024.0f, 600 / 1024.0f},
                          {-0.5f, 599.5f, 0, 0xFFFFFFFFu, 0, 600 / 1024.0f}};
    d->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, bg, sizeof(Vertex));
    BilinearStates(d, true);
    d->SetTexture(0, sprite.get());
    for (size_t i = 0; i < sprites.size(); i += 4) d->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, &sprites[i], sizeof(Vertex));
    for (size_t i = 0; i < rotated.size(); i += 4) d->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, &rotated[i], sizeof(Vertex));
    d->SetTexture(0, glyphs.get());
    d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    d->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    d->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    for (size_t i = 0; i < text.size(); i += 4) d->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, &text[i], sizeof(Vertex));
    d->EndScene();
    d->Present();
  }
};

Scene& TheScene() {
  static Scene scene;
  return scene;
}

void BM_BusyFrame(benchmark::State& state) {
  Scene& s = TheScene();
  for (auto _ : state) s.Frame();
  state.counters["frame_hash"] = benchframe::FrameHash(s.device->GetSoftDevice());
}
BENCHMARK(BM_BusyFrame)->Unit(benchmark::kMillisecond);

// The parts of the frame on their own, each with the states the frame draws
// it with, to see where the time goes.
void BM_Sprites600(benchmark::State& state) {
  Scene& s = TheScene();
  Device* d = s.device.get();
  d->BeginScene();
  d->SetFVF(0x142);
  d->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  d->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
  d->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
  d->SetTexture(0, s.sprite.get());
  for (auto _ : state) {
    for (size_t i = 0; i < s.sprites.size(); i += 4) {
      d->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, &s.sprites[i], sizeof(Vertex));
    }
  }
  d->EndScene();
}
BENCHMARK(BM_Sprites600)->Unit(benchmark::kMillisecond);

void BM_Rotated100(benchmark::State& state) {
  Scene& s = TheScene();
  Device* d = s.device.get();
  d->BeginScene();
  d->SetFVF(0x142);
  d->SetTexture(0, s.sprite.get());
  BilinearStates(d, true);
  for (auto _ : state) {
    for (size_t i = 0; i < s.rotated.size(); i += 4) {
      d->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, &s.rotated[i], sizeof(Vertex));
    }
  }
  d->EndScene();
}
BENCHMARK(BM_Rotated100)->Unit(benchmark::kMillisecond);

void BM_Glyphs2000(benchmark::State& state) {
  Scene& s = TheScene();
  Device* d = s.device.get();
  d->BeginScene();
  d->SetFVF(0x142);
  d->SetTexture(0, s.glyphs.get());
  d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  d->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
  d->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
  d->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  for (auto _ : state) {
    for (size_t i = 0; i < s.text.size(); i += 4) d->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, &s.text[i], sizeof(Vertex));
  }
  d->EndScene();
}
BENCHMARK(BM_Glyphs2000)->Unit(benchmark::kMillisecond);

// The background stretched over 640 x 600 pixels with the texels a pixel
// (state.range(0), in hundredths) of the title screen's layers at 1024 x 768
// (0.68) or at 800 x 600 (1.07) or of a level's ground seen from afar
// (1.44), drawn as a copy (range(1) 0) or blended over it (1): the scaled
// rectangles alone.
void BM_ScaledBackground(benchmark::State& state) {
  Scene& s = TheScene();
  Device* d = s.device.get();
  const float scale = static_cast<float>(state.range(0)) / 100.0f;
  d->BeginScene();
  d->SetFVF(0x142);
  d->SetTexture(0, s.background.get());
  BilinearStates(d, state.range(1) != 0);
  // Off the texel grid by a little more every frame, as a swaying layer is.
  float shift = 0;
  for (auto _ : state) {
    shift = shift > 8 ? 0 : shift + 0.37f;
    const float u1 = (640 * scale + shift) / 1024, v1 = (600 * scale + shift) / 1024;
    const float u0 = shift / 1024, v0 = shift / 1024;
    const Vertex quad[4] = {{-0.5f, -0.5f, 0, 0xFFFFFFFFu, u0, v0},
                            {639.5f, -0.5f, 0, 0xFFFFFFFFu, u1, v0},
                            {639.5f, 599.5f, 0, 0xFFFFFFFFu, u1, v1},
                            {-0.5f, 599.5f, 0, 0xFFFFFFFFu, u0, v1}};
    d->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(Vertex));
  }
  d->EndScene();
}
BENCHMARK(BM_ScaledBackground)
    ->Args({68, 1})
    ->Args({107, 0})
    ->Args({107, 1})
    ->Args({144, 1})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
