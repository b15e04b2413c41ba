// The window toolkit's frame on the software device at 800 x 600: twelve open
// skinned windows of 300 x 200 (a top row and a frame whose middles are
// stretched), each with 20 plain buttons of three quads, updated and drawn
// by the window manager once per frame. The parts alone beside it: the
// manager's update, the frame without windows, and the windows without
// buttons.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "common/ToolViewer.h"
#include "engine/DXLTexture.h"
#include "platform/headless/Session.h"
#include "resources/GameServices.h"
#include "testsupport/PlainButton.h"
#include "ui/SpritesWindow.h"
#include "ui/WindowManager.h"

namespace {

constexpr i32 kScreenWidth = 800;
constexpr i32 kScreenHeight = 600;

class BenchWindow : public SpritesWindow {
 public:
  BenchWindow(u32 id, i32 x, i32 y, bool buttons) : SpritesWindow(id, false, false) {
    AddTopRow(300);
    AddStretchedFrame(0, kBelow, 300, 123,
                      SKINRECT::InitSliced(489, 0, 227, 163, 110, 113, 44, 52, 0, 0, kInterfaceImage));
    x_ = x;
    y_ = y;
    ClampToScreen();
    if (!buttons) return;
    const SKINRECT face = SKINRECT::InitSliced(0, 600, 60, 30, 10, 10, 0, 0, 0, 0, kInterfaceImage);
    for (i32 i = 0; i < 20; ++i) {
      const i32 bx = 20 + (i % 5) * 54, by = 80 + (i / 5) * 28;
      auto* b = new uitest::PlainButton(this, &Controls(), static_cast<u32>(i + 1), DXLRECT{bx, by, bx + 50, by + 24});
      b->SetFace(face);
    }
  }
};

struct Scene {
  plat::headless::Session session;
  std::unique_ptr<DXLWindowViewer> viewer = std::make_unique<DXLWindowViewer>();
  std::unique_ptr<DXLTexture> interface;
  std::unique_ptr<WindowManager> manager;

  Scene() {
    ResetGameServices();
    tools::CreateToolWindow(*viewer, u"WindowBench");
    tools::SetToolDisplayMode(*viewer, kScreenWidth, kScreenHeight);
    SetGameViewer(viewer.get());
    GameServices& s = GetGameServices();
    s.screen.width = kScreenWidth;
    s.screen.height = kScreenHeight;
    interface = std::make_unique<DXLTexture>(viewer.get());
    interface->Create(1024, 1024, plat::gfx::D3DFMT_A8R8G8B8, true);
    interface->SetBlendMode(kBlendAlpha);
    interface->SetFilter(1);
    u8* bits = interface->Lock(0);
    for (i32 y = 0; y < 1024; ++y) {
      auto* row = reinterpret_cast<u32*>(bits + static_cast<size_t>(y) * interface->GetLockPitch());
      for (i32 x = 0; x < 1024; ++x)
        row[x] = 0xFF000000u | static_cast<u32>(x & 0xFF) << 16 | static_cast<u32>(y & 0xFF) << 8;
    }
    interface->Unlock();
    s.interfaceImage = interface.get();
  }
  ~Scene() {
    Close();
    interface.reset();
    ResetGameServices();
  }

  void Open(bool buttons) {
    Close();
    manager = std::make_unique<WindowManager>();
    GetGameServices().windowManager = manager.get();
    for (i32 i = 0; i < 12; ++i) new BenchWindow(static_cast<u32>(i + 1), (i % 4) * 166, (i / 4) * 200, buttons);
  }
  void Close() {
    manager.reset();
    GetGameServices().windowManager = nullptr;
  }
  void Frame(bool windows) {
    GetGameServices().clock += 16;
    if (windows) manager->Update();
    viewer->BeginFrame();
    viewer->Clear(0xFF204060u);
    const DXLMATRIX identity = plat::gfx::IdentityMatrix();
    viewer->SetTransform(&identity);
    if (windows) manager->Draw();
    viewer->Present();
  }
};

void BM_WindowsFrame(benchmark::State& state) {
  Scene scene;
  scene.Open(true);
  for (auto _ : state) scene.Frame(true);
}
BENCHMARK(BM_WindowsFrame)->Unit(benchmark::kMillisecond);

void BM_WindowsWithoutButtons(benchmark::State& state) {
  Scene scene;
  scene.Open(false);
  for (auto _ : state) scene.Frame(true);
}
BENCHMARK(BM_WindowsWithoutButtons)->Unit(benchmark::kMillisecond);

void BM_EmptyFrame(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) scene.Frame(false);
}
BENCHMARK(BM_EmptyFrame)->Unit(benchmark::kMillisecond);

void BM_WindowsUpdate(benchmark::State& state) {
  Scene scene;
  scene.Open(true);
  for (auto _ : state) {
    GetGameServices().clock += 16;
    scene.manager->Update();
  }
}
BENCHMARK(BM_WindowsUpdate)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
