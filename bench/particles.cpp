// Particles at the scale of a busy level: 20 emitters in 10 spaces holding
// 2,000 live particles between them (each emitter one particle every 10 ms,
// living a second), drawn from 16 to 32 pixel sprites, alpha-blended, half
// of them turning and scaled over their life, on an 800 x 600 software
// device. The step (two simulation steps of a 60 Hz frame) and the drawing
// are timed apart, then a whole frame with its clear and present.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "FrameHash.h"
#include "base/Random.h"
#include "common/ToolViewer.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextures.h"
#include "engine/DXLWindowViewer.h"
#include "engine/image/SaveBitmapTGA.h"
#include "platform/gfx/GfxSoftDevice.h"
#include "platform/headless/Session.h"
#include "resources/GPSEmiter.h"
#include "resources/GPSSpace.h"
#include "resources/GameDraw.h"
#include "resources/GameServices.h"
#include "resources/ParticleLibrary.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"

namespace {

constexpr float kFrameMs = 1000.0f / 60.0f;

// A soft white disc filling a size x size Targa picture.
std::vector<u8> Disc(u32 size) {
  std::vector<u32> argb(size * size);
  const float r = size / 2.0f;
  for (u32 y = 0; y < size; ++y)
    for (u32 x = 0; x < size; ++x) {
      const float d = std::hypot(x + 0.5f - r, y + 0.5f - r);
      const float a = d < r - 2 ? 1.0f : d < r ? (r - d) / 2 : 0.0f;
      argb[y * size + x] = static_cast<u32>(a * 255) << 24 | 0xFFFFFF;
    }
  return DXLEncodeTGA32(size, size, argb.data());
}

struct World {
  plat::headless::Session session;
  DXLWindowViewer viewer;
  std::unique_ptr<SpriteSet> set;
  std::vector<std::unique_ptr<GPSSpace>> spaces;

  World() {
    tools::CreateToolWindow(viewer, u"BenchClass");
    tools::SetToolDisplayMode(viewer, 800, 600);
    SetGameViewer(&viewer);
    kis::srand(1);
    set = std::make_unique<SpriteSet>(kParticleSpriteSet);
    const wchar* names[3] = {u"p16", u"p24", u"p32"};
    for (u32 i = 0; i < 3; ++i) {
      const u32 size = 16 + 8 * i;
      DXLTexture* t = set->GetTextures()->NewTexture();
      t->SetName(names[i]);
      const std::vector<u8> file = Disc(size);
      t->LoadFromMemory(file.data(), static_cast<u32>(file.size()));
      DXLDRAWSTATE state;
      DXLMakeSimpleDrawState(&state, 1, 3, kBlendAlpha, 4);
      t->SetDrawState(state);
      const i32 side = static_cast<i32>(size);
      (new Sprite(set.get(), names[i], t, SPRITEGRID{1, side, side, 0, 0, {0, 0, 0, 0}}, false, false, 0))->Init();
    }
    ParticleLibrary& lib = GetParticleLibrary();
    for (u32 i = 0; i < 20; ++i) {
      const bool turning = i % 2 == 1;
      GPSPARAMS p = MakeEmitterParams(i + 1);
      p.flags = kParticleFixedColor | kParticleGravity | (turning ? kParticleRotation | kParticleSpin | kParticleScale : 0);
      p.count[0] = p.count[1] = 1;
      p.life[0] = p.life[1] = 1000;
      p.gravity[0] = p.gravity[1] = 0.005f;
      p.spin[0] = -6;
      p.spin[1] = 6;
      p.angle[1] = 360;
      p.startScale[0] = p.startScale[1] = 0.7f;
      p.endScale[0] = p.endScale[1] = 1.3f;
      p.color = 0xC0000000u | (0x404040u + 0x0A0B0Cu * i);
      p.direction[1] = 360;
      p.speed[0] = 0.3f;
      p.speed[1] = 1.2f;
      lib.params.push_back(std::make_unique<GPSPARAMS>(p));
      GPSSYSTEM sys = MakeParticleSystem(u"bench", i + 1, turning ? u"p24" : names[i % 3]);
      sys.shape = kEmitDisc;
      sys.sizes[0] = 30;
      sys.burstInterval[0] = sys.burstInterval[1] = 10;
      lib.systems.push_back(std::make_unique<GPSSYSTEM>(sys));
    }
    for (u32 i = 0; i < 20; ++i) {
      if (i % 2 == 0) spaces.push_back(std::make_unique<GPSSpace>(0));
      const float x = 100.0f + 150.0f * static_cast<float>(i % 5), y = 100.0f + 133.0f * static_cast<float>(i / 5);
      (new GPSEmiter(spaces.back().get(), lib.systems[i].get(), nullptr, x, y))->Start();
    }
    for (int i = 0; i < 90; ++i) Step();  // a second and a half: the particles at their full number
  }
  ~World() {
    spaces.clear();
    set.reset();
    FreeParticleLibrary();
  }

  void Step() {
    for (auto& s : spaces) s->Update(kFrameMs);
  }
  void Draw() {
    for (auto& s : spaces) s->Draw();
    UnbindDrawTexture();
  }
  u32 Live() const {
    u32 n = 0;
    for (const auto& s : spaces) n += s->GetParticleCount();
    return n;
  }
};

World& TheWorld() {
  static World world;
  return world;
}

void BM_ParticleStep(benchmark::State& state) {
  World& w = TheWorld();
  for (auto _ : state) w.Step();
  state.counters["particles"] = w.Live();
}
BENCHMARK(BM_ParticleStep)->Unit(benchmark::kMicrosecond);

void BM_ParticleDraw(benchmark::State& state) {
  World& w = TheWorld();
  w.viewer.BeginFrame();
  for (auto _ : state) w.Draw();
  w.viewer.Present();
  state.counters["particles"] = w.Live();
  // A hash of one frame of the same particles, to check that a faster
  // version draws the same pixels.
  w.viewer.BeginFrame();
  w.viewer.Clear(0xFF203040u);
  w.Draw();
  w.viewer.Present();
  state.counters["frame_hash"] = benchframe::FrameHash(w.viewer.GetDevice()->GetSoftDevice());
}
BENCHMARK(BM_ParticleDraw)->Unit(benchmark::kMicrosecond);

// Clear, step, draw, present.
void BM_ParticleFrame(benchmark::State& state) {
  World& w = TheWorld();
  for (auto _ : state) {
    w.viewer.BeginFrame();
    w.viewer.Clear(0xFF203040u);
    w.Step();
    w.Draw();
    w.viewer.Present();
  }
  state.counters["particles"] = w.Live();
}
BENCHMARK(BM_ParticleFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
