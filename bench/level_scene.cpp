// A whole level scene on the 800 x 600 software device with the level view
// scaled by 0.694, so that every quad takes the device's scaled path with
// linear filtering: 40 ground tiles of 256 x 128 covering the screen, then
// 330 alpha-blended sprites from 32 to 200 pixels (most of them small, a
// tenth large, a few tinted or faded), all through one world transform.
//
// Then the same through the game's own level scene (GameLevel): the scenario
// data set's first level (the garbage yard) with 300 more map objects (its
// garbage pictures, standing where they fall) and 30 walkers going to and
// fro (the player among them), its update (a 16-ms frame) and its draw
// timed apart.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "FrameHash.h"
#include "SoftScene.h"
#include "common/ToolViewer.h"
#include "content/ContentArchive.h"
#include "content/GameCharacter.h"
#include "level/characters/Job_GoTo.h"
#include "level/characters/LevelCharacters.h"
#include "level/map/LevelMap.h"
#include "level/characters/MapCharacter.h"
#include "level/map/SpriteObject.h"
#include "platform/gfx/GfxD3dx.h"
#include "platform/gfx/GfxSoftDevice.h"
#include "platform/gfx/GfxSystem.h"
#include "platform/headless/Session.h"
#include "resources/MapSprite.h"
#include "testsupport/LevelWorld.h"

using namespace plat::gfx;

namespace {

constexpr float kViewScale = 0.694f;

using benchscene::MakeTexture;
using benchscene::Rand;
using benchscene::Vertex;

uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed) {
  uint32_t h = x * 374761393u + y * 668265263u + seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return h ^ (h >> 16);
}

// Opaque ground: a mottled colour per tile kind.
uint32_t Ground(uint32_t x, uint32_t y, uint32_t kind) {
  const uint32_t n = Hash(x / 3, y / 3, kind) & 0x1F;
  return 0xFF000000u | ((0x30 + n + kind * 16) << 16) | ((0x70 + n) << 8) | (0x20 + kind * 8);
}

// A sprite picture of `size` texels in a texture of `side`: an opaque body
// with a soft edge, clear around it and in the texture's unused part.
uint32_t Body(uint32_t x, uint32_t y, uint32_t size, uint32_t seed) {
  if (x >= size || y >= size) return 0;
  const double r = size / 2.0, dx = (x + 0.5 - r) / r, dy = (y + 0.5 - r) / (0.8 * r);
  const double d = std::sqrt(dx * dx + dy * dy);
  const double a = std::clamp((1.0 - d) * r / 3.0, 0.0, 1.0);
  const uint32_t n = Hash(x / 2, y / 2, seed);
  return (static_cast<uint32_t>(a * 255) << 24) | (n & 0x7F7F7F) | 0x404040;
}

struct Scene {
  std::unique_ptr<System> system;
  std::unique_ptr<Device> device;
  std::vector<std::unique_ptr<Texture>> tiles, sprites;
  struct Quad {
    Texture* texture;
    Vertex v[4];
  };
  std::vector<Quad> ground, objects;

  Scene() {
    benchscene::OpenDevice(system, device);
    for (uint32_t k = 0; k < 4; ++k) {
      tiles.push_back(MakeTexture(device.get(), 256, 128, [k](uint32_t x, uint32_t y) { return Ground(x, y, k); }));
    }
    // Pictures of 32 to 200 texels, each in the smallest texture that holds it.
    const uint32_t sizes[] = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 200};
    for (uint32_t i = 0; i < std::size(sizes); ++i) {
      const uint32_t size = sizes[i];
      uint32_t side = 32;
      while (side < size) side *= 2;
      sprites.push_back(MakeTexture(device.get(), side, side,
                                    [size, i](uint32_t x, uint32_t y) { return Body(x, y, size, i); }));
    }
    auto quad = [](Texture* t, float x, float y, float w, float h, uint32_t c, float u1, float v1) {
      Quad q{t, {}};
      q.v[0] = {x - 0.5f, y - 0.5f, 0, c, 0, 0};
      q.v[1] = {x + w - 0.5f, y - 0.5f, 0, c, u1, 0};
      q.v[2] = {x + w - 0.5f, y + h - 0.5f, 0, c, u1, v1};
      q.v[3] = {x - 0.5f, y + h - 0.5f, 0, c, 0, v1};
      return q;
    };
    uint32_t seed = 5;
    // 5 x 8 tiles, the view scrolled part of a tile into them.
    for (int j = 0; j < 8; ++j) {
      for (int i = 0; i < 5; ++i) {
        ground.push_back(quad(tiles[Rand(seed) % 4].get(), i * 256.0f, j * 128.0f, 256, 128, 0xFFFFFFFFu, 1, 1));
      }
    }
    for (int n = 0; n < 330; ++n) {
      const uint32_t pick = Rand(seed) % 10;
      const uint32_t i = pick < 6 ? Rand(seed) % 5 : pick < 9 ? 5 + Rand(seed) % 4 : 9 + Rand(seed) % 2;
      const float size = static_cast<float>(sizes[i]);
      float side = 32;
      while (side < size) side *= 2;
      const uint32_t tint = Rand(seed) % 10;
      const uint32_t colour = tint == 0 ? 0xC0FFFFFFu : tint == 1 ? 0xFFFFD0A0u : 0xFFFFFFFFu;
      const float x = static_cast<float>(Rand(seed) % 1180) - 40, y = static_cast<float>(Rand(seed) % 900) - 60;
      objects.push_back(quad(sprites[i].get(), x, y, size, size, colour, size / side, size / side));
    }
  }

  void States() {
    Device* d = device.get();
    Matrix ortho, world = IdentityMatrix();
    D3DXMatrixOrthoOffCenterLH(&ortho, 0, 800, 600, 0, 0, 0.1f);
    d->SetTransform(D3DTS_PROJECTION, &ortho);
    world.m[0][0] = world.m[1][1] = kViewScale;
    world.m[3][0] = -37.3f;
    world.m[3][1] = -21.6f;
    d->SetTransform(D3DTS_WORLD, &world);
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    d->SetFVF(0x142);
    d->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    d->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    d->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    d->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  }

  void Draw(const std::vector<Quad>& quads) {
    Device* d = device.get();
    for (const Quad& q : quads) {
      d->SetTexture(0, q.texture);
      d->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, q.v, sizeof(Vertex));
    }
  }

  void Frame() {
    Device* d = device.get();
    d->BeginScene();
    d->Clear(D3DCLEAR_TARGET | D3DCLEAR_STENCIL, 0xFF000000u, 0, 0);
    States();
    Draw(ground);
    Draw(objects);
    d->EndScene();
    d->Present();
  }
};

Scene& TheScene() {
  static Scene scene;
  return scene;
}

void BM_LevelFrame(benchmark::State& state) {
  Scene& s = TheScene();
  for (auto _ : state) s.Frame();
  state.counters["frame_hash"] = benchframe::FrameHash(s.device->GetSoftDevice());
}
BENCHMARK(BM_LevelFrame)->Unit(benchmark::kMillisecond);

// The ground and the sprites on their own.
void BM_LevelGround(benchmark::State& state) {
  Scene& s = TheScene();
  s.device->BeginScene();
  s.States();
  for (auto _ : state) s.Draw(s.ground);
  s.device->EndScene();
}
BENCHMARK(BM_LevelGround)->Unit(benchmark::kMillisecond);

void BM_LevelSprites(benchmark::State& state) {
  Scene& s = TheScene();
  s.device->BeginScene();
  s.States();
  for (auto _ : state) s.Draw(s.objects);
  s.device->EndScene();
}
BENCHMARK(BM_LevelSprites)->Unit(benchmark::kMillisecond);

// --- The level scene -----------------------------------------------------------------------------------

constexpr u32 kExtraObjects = 300;
constexpr u32 kWalkers = 30;
constexpr u32 kFrameMs = 16;

struct LevelBench {
  plat::headless::Session session;
  plat::PlatformServicesScope installed{session.Services()};
  std::unique_ptr<DXLWindowViewer> viewer = std::make_unique<DXLWindowViewer>();
  std::unique_ptr<leveltest::LevelWorld> world;
  uint32_t seed = 11;

  LevelBench() {
    tools::CreateToolWindow(*viewer, u"LevelBench");
    tools::SetToolDisplayMode(*viewer, 800, 600);
    world = std::make_unique<leveltest::LevelWorld>(TM_SCENARIO_DATA_DIR, viewer.get(), 800, 600);
    if (!world->loaded) return;
    GameLevel& level = world->Play(0);
    // The garbage's pictures, standing about the level.
    std::vector<MapSprite*> art;
    for (const wchar* name : {u"junk_heap", u"stones", u"scrap", u"logs", u"weeds"})
      if (MapSprite* m = GetSpriteSet(kMapSpriteSet)->FindMapSprite(name)) {
        m->Init();
        art.push_back(m);
      }
    for (u32 i = 0; i < kExtraObjects && !art.empty(); ++i) {
      const i32 x = 40 + static_cast<i32>(Rand(seed) % 1200), y = 40 + static_cast<i32>(Rand(seed) % 620);
      if (SpriteObject* o = SpriteObject::Create(level.Map(), art[i % art.size()], kLayerStanding, x, y, kObjectSprite, nullptr, 0))
        o->AttachToLevel(0);
    }
    // Her and 29 more of her kind, each walking to one random place after another.
    GameCharacter* girl = FindCharacterByName(GetCharacters(), u"girl");
    for (u32 i = 1; i < kWalkers && girl && level.Map().GetCharacters(); ++i)
      (new MapCharacter(*level.Map().GetCharacters(), girl, 0, u"girl_idle", 4, RandX(), RandY(), nullptr))
          ->AttachToLevel(0);
    if (const char* shot = std::getenv("TM_LEVEL_BENCH_PNG")) {
      for (u32 i = 0; i < 60; ++i) {
        Retarget();
        world->Step(kFrameMs, kFrameMs);
      }
      world->DrawFrame();
      world->WritePng(shot);
    }
  }
  ~LevelBench() {
    world.reset();
    viewer.reset();
  }
  float RandX() { return 150.0f + static_cast<float>(Rand(seed) % 980); }
  float RandY() { return 30.0f + static_cast<float>(Rand(seed) % 620); }
  // Every walker that has arrived sets off again.
  void Retarget() {
    const kis::list<MapCharacter*>& all = world->Level()->Map().GetCharacters()->GetCharacters();
    for (i32 i = 0; i < all.GetCount(); ++i)
      if (all[i]->GetJobs().GetCount() == 0)
        all[i]->AddJob(new Job_GoTo(all[i], static_cast<i32>(RandX()), static_cast<i32>(RandY()), 0.0f, false));
  }
};

LevelBench& TheLevel() {
  static LevelBench bench;
  return bench;
}

void BM_LevelSceneUpdate(benchmark::State& state) {
  LevelBench& b = TheLevel();
  if (!b.world->loaded) return state.SkipWithError("no scenario data set");
  for (auto _ : state) {
    b.Retarget();
    b.world->Step(kFrameMs, kFrameMs);
  }
  state.counters["objects"] = b.world->Level()->Map().GetObjects().GetCount();
}
BENCHMARK(BM_LevelSceneUpdate)->Unit(benchmark::kMillisecond);

void BM_LevelSceneDraw(benchmark::State& state) {
  LevelBench& b = TheLevel();
  if (!b.world->loaded) return state.SkipWithError("no scenario data set");
  for (auto _ : state) b.world->DrawFrame();
}
BENCHMARK(BM_LevelSceneDraw)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
