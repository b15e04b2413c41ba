// Particles at the scale of a busy level: emitters in pairs in spaces, each
// making one particle every 10 ms that lives a second, so a hundred live
// particles per emitter (2,000, 4,000 and 8,000 in all), drawn from 16 to 32
// pixel sprites, alpha-blended, half of them turning and scaled over their
// life, on an 800 x 600 software device. The step (two simulation steps of a
// 60 Hz frame) and the drawing are timed apart, then a whole frame with its
// clear and present. Every benchmark builds its world afresh (seeded, a
// second and a half run in), so its figures and the drawing's frame hash do
// not depend on what ran before. Goals: step and draw of 2,000 particles
// within 2 ms, and a cost per particle that stays within 20 % across the
// three sizes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "FrameHash.h"
#include "GoalReport.h"
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
#include "resources/ParticleLibrary.h"
#include "resources/ResourceServices.h"
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

constexpr u32 kSizes[3] = {2000, 4000, 8000};
constexpr u32 kSystems = 20;          // particle systems, shared out over the emitters in turn
constexpr u32 kPerEmitter = 100;      // live particles an emitter keeps
constexpr u32 kEmittersPerSpace = 2;  // 200 particles a space, below its maximum

struct World {
  plat::headless::Session session;
  plat::PlatformServicesScope installed{session.Services()};
  DXLWindowViewer viewer;
  std::unique_ptr<SpriteSet> set;
  std::vector<std::unique_ptr<GPSSpace>> spaces;

  // Emitters for `particles` live particles; the first 20 on a 5 x 4 grid
  // over the screen, each further 20 on the same grid moved a little.
  explicit World(u32 particles) {
    tools::CreateToolWindow(viewer, u"BenchClass");
    tools::SetToolDisplayMode(viewer, 800, 600);
    SetGameViewer(&viewer);  // synthetic particles, no data set: the game viewer as the world's viewer stage sets it
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
    for (u32 i = 0; i < kSystems; ++i) {
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
    const u32 emitters = particles / kPerEmitter;
    for (u32 i = 0; i < emitters; ++i) {
      if (i % kEmittersPerSpace == 0) spaces.push_back(std::make_unique<GPSSpace>(0));
      const u32 layer = i / kSystems, k = i % kSystems;
      const float x = 100.0f + 150.0f * static_cast<float>(k % 5) + 37.0f * static_cast<float>(layer);
      const float y = 100.0f + 133.0f * static_cast<float>(k / 5) + 23.0f * static_cast<float>(layer);
      (new GPSEmiter(spaces.back().get(), lib.systems[k].get(), nullptr, x, y))->Start();
    }
    for (int i = 0; i < 90; ++i) Step();  // a second and a half: the particles at their full number
  }
  ~World() {
    spaces.clear();
    set.reset();
    FreeParticleLibrary();
    SetGameViewer(nullptr);
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

// Live particles and the cost per particle (seconds, shown per particle).
void Count(benchmark::State& state, const World& w) {
  state.counters["particles"] = w.Live();
  state.counters["per_particle"] =
      benchmark::Counter(w.Live(), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ParticleStep(benchmark::State& state) {
  World w(static_cast<u32>(state.range(0)));
  for (auto _ : state) w.Step();
  Count(state, w);
}

void BM_ParticleDraw(benchmark::State& state) {
  World w(static_cast<u32>(state.range(0)));
  w.viewer.BeginFrame();
  for (auto _ : state) w.Draw();
  w.viewer.Present();
  Count(state, w);
  // A hash of one frame of the same particles, to check that a faster
  // version draws the same pixels.
  w.viewer.BeginFrame();
  w.viewer.Clear(0xFF203040u);
  w.Draw();
  w.viewer.Present();
  state.counters["frame_hash"] = benchframe::FrameHash(w.viewer.GetDevice()->GetSoftDevice());
}

// Clear, step, draw, present.
void BM_ParticleFrame(benchmark::State& state) {
  World w(static_cast<u32>(state.range(0)));
  for (auto _ : state) {
    w.viewer.BeginFrame();
    w.viewer.Clear(0xFF203040u);
    w.Step();
    w.Draw();
    w.viewer.Present();
  }
  Count(state, w);
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (u32 n : kSizes) b->Arg(n);
  b->Unit(benchmark::kMicrosecond);
}
BENCHMARK(BM_ParticleStep)->Apply(Sizes);
BENCHMARK(BM_ParticleDraw)->Apply(Sizes);
BENCHMARK(BM_ParticleFrame)->Apply(Sizes);

// The spread of the cost per particle over the sizes: the largest over the
// smallest, less one. Negative when a size did not run.
double Spread(const benchgoal::Reporter& r, bool withDraw) {
  double least = 0.0, most = 0.0;
  for (u32 n : kSizes) {
    const std::string arg = std::string("/").append(std::to_string(n));
    const double live = r.Counter("BM_ParticleStep" + arg, "particles");
    const double step = r.Ms("BM_ParticleStep" + arg), draw = withDraw ? r.Ms("BM_ParticleDraw" + arg) : 0.0;
    if (live <= 0.0 || step < 0.0 || draw < 0.0) return -1.0;
    const double each = (step + draw) / live;
    least = least == 0.0 ? each : std::min(least, each);
    most = std::max(most, each);
  }
  return (most / least - 1.0) * 100.0;
}

}  // namespace

int main(int argc, char** argv) {
  benchgoal::Reporter reporter;
  if (!benchgoal::Run(&argc, argv, &reporter)) return 1;
  const double step = reporter.Ms("BM_ParticleStep/2000"), draw = reporter.Ms("BM_ParticleDraw/2000");
  benchgoal::Goal("step and draw of 2,000 particles, processor time", step < 0.0 || draw < 0.0 ? -1.0 : step + draw, 2.0, "ms");
  benchgoal::Goal("spread of the step's cost per particle over 2k, 4k, 8k", Spread(reporter, false), 20.0, "%");
  benchgoal::Goal("spread of step and draw per particle over 2k, 4k, 8k", Spread(reporter, true), 20.0, "%");
  return 0;
}
