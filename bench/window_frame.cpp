// The window toolkit's frame on the software device at 800 x 600: twelve open
// skinned windows of 300 x 200 (a top row and a frame whose middles are
// stretched), each with 20 plain buttons of three quads, updated and drawn
// by the window manager once per frame. The parts alone beside it: the
// manager's update, the frame without windows, and the windows without
// buttons.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "WindowStage.h"
#include "resources/ResourceServices.h"
#include "testsupport/PlainButton.h"
#include "ui/SpritesWindow.h"

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
  benchwindows::WindowStage stage{u"WindowBench", kScreenWidth, kScreenHeight, 1};
  WindowManager* manager = nullptr;

  void Open(bool buttons) {
    stage.OpenManager();
    manager = stage.manager.get();
    for (i32 i = 0; i < 12; ++i) new BenchWindow(static_cast<u32>(i + 1), (i % 4) * 166, (i / 4) * 200, buttons);
  }
  void Frame(bool windows) { stage.Frame(windows); }
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
    GetResourceServices().clock += 16;
    scene.manager->Update();
  }
}
BENCHMARK(BM_WindowsUpdate)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
